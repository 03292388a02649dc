#pragma once
// Operating-system queries of the installer engine. Failures raise EAPIRoutines.

#include <QString>

// The short form of a path. Linux file systems have no short (8.3) names, so
// the path comes back unchanged.
QString GetShortPath(const QString& longPath);

// The platform kind: 0 Win32s, 1 the Windows 95 family, 2 or 3 the NT family
// (3 for version 3.5), 4 anything else. Linux reports 2: it behaves as the NT
// family of a later version (per-user settings, long names, no 3.5 quirks).
int GetWindowsVersionKind();

// A new, empty file "bat....tmp" in the temporary folder, created exclusively;
// it is deleted again unless keep. Returns its full name.
QString CreateTempFileName(bool keep);

// The "Windows" folder, $XDG_DATA_HOME/qx/windows, and its "system" folder;
// both are created when missing and returned without a trailing delimiter.
QString GetWindowsDir();
QString GetSystemDir();
