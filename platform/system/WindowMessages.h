#pragma once
// Finding top-level windows by title and posting messages to them, across
// every process of the user that keeps a window directory.

#include "platform/system/WinTypes.h"

#include <QString>

// The first window whose title equals title, ignoring case (Unicode case
// folding; same length, so a title that only begins with it does not match).
// Hidden windows count. This process's own windows are searched first, then
// those of other live processes in ascending process id. className is not
// used. 0 when there is none or the folder cannot be trusted.
HWND FindWindow(const QString& className, const QString& title);

// Queues a message for a window without waiting for it to be handled, and
// never waits for the receiver. A window of this process gets it from its
// event loop; a window of another process through its socket, or, while
// that process is behind with reading, through this process's outbox (see
// MessageOutbox.h). False, with LastPostMessageError() telling why, when
// the handle names no published window of a live process
// (ERROR_INVALID_WINDOW_HANDLE) or 10000 messages already wait for the
// receiver (ERROR_NOT_ENOUGH_QUOTA).
bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Why this thread's last failed PostMessage failed; ERROR_SUCCESS after one
// that succeeded.
LONG LastPostMessageError();
