#pragma once
// Window handles, message parameters and the numeric constants of the
// window-message and program-start calls.

#include "platform/rtl/WinError.h"

#include <cstdint>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

// A top-level window of some process: the process id in the high 32 bits,
// the window's id inside that process (never 0) in the low 32 bits; 0 is
// "no window".
using HWND = std::uint64_t;

inline constexpr HWND MakeWindowHandle(std::uint32_t pid, std::uint32_t localId) {
  return (HWND(pid) << 32) | localId;
}
inline constexpr std::uint32_t ProcessOfHandle(HWND wnd) {
  return std::uint32_t(wnd >> 32);
}
inline constexpr std::uint32_t LocalIdOfHandle(HWND wnd) {
  return std::uint32_t(wnd & 0xFFFFFFFFu);
}

inline constexpr UINT WM_USER = 0x0400;

// Why PostMessage failed: no such window, or its message queue is full.
inline constexpr LONG ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr LONG ERROR_NOT_ENOUGH_QUOTA = 1816;

// Show-window modes.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

// Result codes of WinExec below 32 (a result above 31 is success) are the
// ERROR_* codes of platform/rtl/WinError.h.
