#pragma once
// The "[Rename]" section of WININIT.INI (RestartService.h): its lines read,
// carried out and removed under the same lock as TIniFile's writers
// ("<file>.lock"), so no line added meanwhile is lost.

#include <QString>

#include <functional>
#include <optional>

struct TWininitEntry {
  QString target;  // "NUL": delete the source
  QString source;
  int line = 0;  // 1-based, in the file as read
};

// The entry of one line of the section ("target=source", either side in
// double quotes); nullopt for blank lines, comments and anything else.
std::optional<TWininitEntry> ParseWininitLine(const QString& line);

// The line that holds target=source, each path quoted.
QString WininitLine(const QString& target, const QString& source);

// Appends line to the end of the first "[Rename]" section (making the
// section when there is none). Raises EIniFileException or EAtomicFileError.
void AppendWininitLine(const QString& line);

// Calls carry for every entry of the "[Rename]" sections in file order and
// rewrites the file without the entries for which it returned true.
// Raises EIniFileException or EAtomicFileError; the file then keeps every
// line it had.
void CarryOutWininitEntries(const std::function<bool(const TWininitEntry&)>& carry);

// Whether any "[Rename]" section holds an entry.
bool HasWininitEntries();
