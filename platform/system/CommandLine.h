#pragma once
// Windows-style command lines.
//
// The program name (first word) is taken as written: from a leading quote to
// the next quote, or up to the first blank; backslashes mean nothing there.
// The arguments follow the classic rules:
//   - blanks (space, tab) outside quotes separate arguments;
//   - a quote toggles quoting and is dropped; inside quotes, two quotes give
//     one literal quote and end the quoting;
//   - 2n backslashes before a quote give n backslashes (the quote acts as
//     above); 2n+1 backslashes before a quote give n backslashes and a
//     literal quote; backslashes not before a quote are literal.

#include <QString>
#include <QStringList>

// The program name followed by the arguments.
QStringList CommandLineToArgs(const QString& commandLine);

// The arguments of a command line whose program name is already removed.
QStringList SplitCommandArguments(const QString& text);

// The program name and the position where the arguments begin.
struct TProgramPart {
  QString program;
  qsizetype rest = 0;
  bool quoted = false;
};
TProgramPart ProgramPartOf(const QString& commandLine);

// The argument quoted so that SplitCommandArguments gives it back whole:
// in quotes, a quote inside as \", the backslashes before it or before
// the closing quote doubled (every character, blanks, tabs and line feeds
// included, stays as it is).
QString QuoteCommandArgument(const QString& argument);

// The program name in quotes, as ProgramPartOf reads it back. The program
// part has no escape: a name holding a quote cannot be written, and the
// result is then empty.
QString QuoteCommandProgram(const QString& program);
