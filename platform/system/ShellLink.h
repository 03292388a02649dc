#pragma once
// Shell links, kept as freedesktop desktop entries.
//
// TShellLink has the calls of the shell's link object and of its persist
// interface: each setter and Save/Load answer with a COM result code, so a
// caller checks every step (OleCheck raises EOleSysError with the code).
//
// Save writes "<name>.desktop" in place of "<name>.lnk" (ShellLinkFileName)
// through a TAtomicFile:
//   [Desktop Entry]
//   Type=Application
//   Name=<file name without extension>
//   Comment=<description>               only when there is one
//   Exec=<target> <arguments>           quoted and escaped (ShellLinkEntry.h)
//   Path=<working directory>            only when there is one
//   Icon=<icon file>                    only when it exists
//   Terminal=false
//   X-QX-HotKey=<decimal hot key>       only when it is not 0
// An absolute target that does not exist as written is looked up as a
// program is started (WinExec.h: names matched without regard to case,
// "trovaly.exe" found as "trovaly"). A target that is not an executable
// file (a document, a folder, a file that does not exist) opens through
// "xdg-open <target>"; xdg-open takes no further arguments, so the
// arguments of such a link are not written.
// A file saved into a folder of the applications menu makes that folder a
// link group and lists the entry in the group's menu (ProgramGroups.h).
// The icon index and the show command have no place in a desktop entry:
// the object keeps them, the file does not.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/WinError.h"

#include <QString>
#include <QStringList>

#include <cstdint>

using HRESULT = std::int32_t;
using WORD = std::uint16_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
inline constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
inline constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HRESULT(0x80040154u);
inline constexpr HRESULT E_ACCESSDENIED = HRESULT(0x80070005u);
inline constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);

inline constexpr bool SUCCEEDED(HRESULT hr) {
  return hr >= 0;
}
inline constexpr bool FAILED(HRESULT hr) {
  return hr < 0;
}
// A Win32 error code as a result code (facility 7); 0 stays S_OK.
inline constexpr HRESULT HRESULT_FROM_WIN32(LONG code) {
  return code <= 0 ? HRESULT(code) : HRESULT((std::uint32_t(code) & 0xFFFFu) | 0x80070000u);
}

// Hot-key modifier flags (the high byte of a hot key).
inline constexpr WORD HOTKEYF_SHIFT = 0x01;
inline constexpr WORD HOTKEYF_CONTROL = 0x02;
inline constexpr WORD HOTKEYF_ALT = 0x04;
inline constexpr WORD HOTKEYF_EXT = 0x08;

// COM for the calling thread: S_OK the first time, S_FALSE when it is
// initialised already; each call is matched by a CoUninitialize.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();

// The text of a result code ("Access is denied", "Unspecified error", ...).
QString OleErrorMessage(HRESULT code);

// A failed COM call, carrying its result code.
class EOleSysError : public Exception {
 public:
  EOleSysError(const QString& msg, HRESULT code) : Exception(msg), errorCode_(code) {}
  HRESULT ErrorCode() const { return errorCode_; }

 private:
  HRESULT errorCode_;
};

// Raises EOleSysError(OleErrorMessage(code), code) when code failed.
void OleCheck(HRESULT code);

// The name a link file has on disk: an extension ".lnk" (any case) becomes
// ".desktop"; a name ending in ".desktop" stays; any other gets ".desktop"
// appended.
QString ShellLinkFileName(const QString& linkFileName);

class TShellLink {
 public:
  TShellLink() = default;

  // The target: a program, a document or a folder (absolute path).
  // E_INVALIDARG for an empty path.
  HRESULT SetPath(const QString& path);
  const QString& Path() const { return path_; }
  // The arguments as one Windows-style command-line text (CommandLine.h).
  HRESULT SetArguments(const QString& arguments);
  const QString& Arguments() const { return arguments_; }
  HRESULT SetWorkingDirectory(const QString& dir);
  const QString& WorkingDirectory() const { return workingDirectory_; }
  HRESULT SetDescription(const QString& description);
  const QString& Description() const { return description_; }
  HRESULT SetIconLocation(const QString& iconPath, int iconIndex);
  const QString& IconPath() const { return iconPath_; }
  int IconIndex() const { return iconIndex_; }
  // SW_* (WinTypes.h); SW_SHOWNORMAL at creation.
  HRESULT SetShowCmd(int showCmd);
  int ShowCmd() const { return showCmd_; }
  // Virtual key in the low byte, HOTKEYF_* in the high byte.
  HRESULT SetHotkey(WORD hotKey);
  WORD Hotkey() const { return hotKey_; }

  // Writes the link to ShellLinkFileName(fileName); the folder must exist.
  // With remember the written file becomes the current file. Results:
  // S_OK; E_INVALIDARG when there is no target, a program path holds "="
  // or a text holds a control character a desktop entry cannot carry;
  // HRESULT_FROM_WIN32 of ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED,
  // ERROR_DISK_FULL; E_FAIL for any other write failure. On failure the
  // file that was there is unchanged. LastErrorText() says why.
  HRESULT Save(const QString& fileName, bool remember);
  // Reads a desktop entry written by Save (or any with an Exec key) back
  // into the object: target, arguments, working directory, description,
  // icon, hot key. HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when it is
  // missing, E_FAIL when it is no desktop entry or its Exec cannot be read.
  HRESULT Load(const QString& fileName);
  // The current file (empty before a remembered Save or a Load).
  const QString& CurFile() const { return curFile_; }
  // The reason of the last failed Save or Load ("" after a success).
  const QString& LastErrorText() const { return lastError_; }

 private:
  HRESULT Fail(HRESULT code, const QString& why);
  // The entry's text; EDesktopEntryError for what it cannot carry.
  QByteArray EntryText(const QString& name) const;

  QString path_;
  QString arguments_;
  QString workingDirectory_;
  QString description_;
  QString iconPath_;
  int iconIndex_ = 0;
  int showCmd_ = 1;
  WORD hotKey_ = 0;
  QString curFile_;
  QString lastError_;
};
