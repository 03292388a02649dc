#pragma once
// The calling thread's last error, as the Windows-shaped calls of this
// folder that answer with a Boolean leave it (MoveFileEx, the
// self-registration calls). Each such call sets it, to ERROR_SUCCESS when
// it succeeds.

#include "platform/rtl/WinError.h"

DWORD GetLastError();
void SetLastError(DWORD code);

inline constexpr LONG ERROR_INVALID_FUNCTION = 1;
inline constexpr LONG ERROR_NOT_SAME_DEVICE = 17;
inline constexpr LONG ERROR_SHARING_VIOLATION = 32;
inline constexpr LONG ERROR_FILE_EXISTS = 80;
inline constexpr LONG ERROR_MOD_NOT_FOUND = 126;
inline constexpr LONG ERROR_PROC_NOT_FOUND = 127;
inline constexpr LONG ERROR_TIMEOUT = 1460;

// The Windows code closest to an errno value (ERROR_ACCESS_DENIED for
// EACCES, ERROR_DISK_FULL for ENOSPC, ...).
DWORD ErrorFromErrno(int code);
