#pragma once
// The moves and deletes of the restart service (RestartService.h): nothing
// that was there before is lost on any failure.

#include "platform/rtl/WinError.h"

#include <QString>

// Moves source onto target. On one file system a rename (with replace
// false, one that refuses an existing target); across file systems, when
// copyAllowed, a copy into a temporary beside the target that is synced
// and renamed over it, and only then the source removed. The target's
// folder is synced after the rename. Returns ERROR_SUCCESS or the
// Windows-style code of the failure, with its text in *why:
// ERROR_FILE_NOT_FOUND only when the source does not exist.
DWORD SafeMove(const QString& source, const QString& target, bool replace, bool copyAllowed,
               QString* why);

// Copies source's bytes and mode into a temporary beside target that is
// synced and renamed over it (TAtomicFile), so target is always its old or
// its whole new self; with replace false an existing target stays. The
// result: 0, or the errno value and whether reading the source failed.
struct TCopyResult {
  int code = 0;
  bool reading = false;
};
TCopyResult CopyFileAtomically(const QString& source, const QString& target, bool replace);

// Removes a file (or an empty folder); one that is already gone counts as
// removed.
DWORD SafeDelete(const QString& path, QString* why);
