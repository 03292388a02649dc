#pragma once
// Starting a program from a Windows-style command line (see CommandLine.h).
//
// The program path may use "\" or "/" between its parts. Each part that does
// not exist as written is matched case-insensitively in its folder (the
// first match in name order). Programs carry no ".exe" on Linux: when a name
// ending in ".exe" matches nothing, the name without it is used
// ("muokkain.exe" starts "muokkain"). A name without any delimiter is looked
// for in the program's own folder, the current folder and then $PATH. An
// unquoted program path containing blanks is tried word by word, shortest
// first, as Windows does; when no try finds a program, the last one (the
// whole line) gives the result.

#include "platform/system/WinTypes.h"

#include <QString>
#include <QStringList>

// Result of looking up a program file: the existing file, or why not.
struct TProgramLookup {
  QString path;
  UINT error = 0;  // 0, ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND
};

// Resolves one path (absolute, or relative to the current folder) with the
// case-insensitive and ".exe" rules above. Only a file (not a folder) is
// found: a missing last part gives ERROR_FILE_NOT_FOUND, a missing folder
// part ERROR_PATH_NOT_FOUND.
TProgramLookup ResolveProgramPath(const QString& path);

// The program file and the arguments of a command line, found as WinExec
// finds them (lookup.error is not 0 when there is no such program).
struct TCommandLookup {
  TProgramLookup lookup;
  QStringList arguments;
};
TCommandLookup LookupCommandLine(const QString& commandLine);

// Starts the program detached, in its own folder. Returns 33 when started;
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, or ERROR_BAD_FORMAT when the
// file is not executable or cannot be run. showCmd (SW_*) is accepted for
// the caller's sake; a started program chooses how it shows itself.
UINT WinExec(const QString& commandLine, int showCmd);
