#pragma once
// What this process is about to change on disk, told before the change is
// made to the one recorder in place (an install run's undo journal, which
// keeps enough to take the change back). Without a recorder the calls do
// nothing. The file routines of rtl (atomic writes, ForceDirectories,
// DeleteFile, RenameFile) tell it themselves; code that changes files by
// other means calls the Record functions first.

#include "platform/rtl/Exceptions.h"

#include <QString>

// A change the recorder would not let be made: what it needed could not be
// kept (its code is the errno of that failure), or a test's fault hook
// stands in for the change failing. The change must then fail as it
// would have with that errno.
class EChangeRefused : public EOSError {
 public:
  EChangeRefused(int code, const QString& what);
};

class TChangeRecorder {
 public:
  TChangeRecorder() = default;
  TChangeRecorder(const TChangeRecorder&) = delete;
  TChangeRecorder& operator=(const TChangeRecorder&) = delete;
  virtual ~TChangeRecorder() = default;

  // The folders of path (and path itself) that do not exist yet are about
  // to be made.
  virtual void FoldersToMake(const QString& path) = 0;
  // A file is about to be written at path: made anew, or replaced whole.
  virtual void FileToWrite(const QString& path) = 0;
  // The file at path is about to be removed (or renamed away).
  virtual void FileToRemove(const QString& path) = 0;
};

// Puts recorder in place (nullptr: none); returns the one before. The
// recorder is not owned.
TChangeRecorder* SetChangeRecorder(TChangeRecorder* recorder);
TChangeRecorder* CurrentChangeRecorder();

// Tell the recorder in place, if any. A recorder that cannot keep what it
// needs raises, and the change must then not be made.
void RecordFoldersToMake(const QString& path);
void RecordFileToWrite(const QString& path);
void RecordFileToRemove(const QString& path);
