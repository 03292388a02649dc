#pragma once
// The text of freedesktop desktop entries: value escapes, the Exec key's
// quoting, and reading one group of an entry back.
//
// A string value escapes "\" as "\\", LF as "\n", CR as "\r", TAB as "\t"
// and a leading blank as "\s"; other control characters cannot be carried.
// Exec is a string value too, and its string escapes are undone before its
// quoting: an argument with a reserved character (blank, tab, newline, " '
// \ > < ~ | & ; $ * ? # ( ) `) or an empty one is put in double quotes with
// " ` $ \ escaped by a backslash; every "%" is written "%%" (a field code
// otherwise). So a literal backslash in a quoted argument is "\\\\" in the
// file and a dollar "\\$".

#include "platform/rtl/Exceptions.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A value or argument a desktop entry cannot carry.
QX_EXCEPTION(EDesktopEntryError, Exception);

// The escaped form of a string value. EDesktopEntryError for a control
// character other than LF, CR and TAB.
QString EscapeDesktopString(const QString& value);
// The value an escaped string stands for (unknown escapes are kept as
// written).
QString UnescapeDesktopString(const QString& escaped);

// The Exec value (already string-escaped, ready for the file) that runs
// argv[0] with the other arguments. EDesktopEntryError when argv is empty,
// the program is empty or holds "=", or an argument holds a control
// character that cannot be carried.
QString DesktopExecValue(const QStringList& argv);
// The argument vector of an Exec key's value with its string escapes undone
// (as ReadDesktopGroup gives it); nullopt when a quote is not closed or a
// reserved character stands outside quotes. Field codes other than "%%"
// are kept as written.
std::optional<QStringList> SplitDesktopExec(const QString& value);

// The keys of one group ("Desktop Entry") of an entry's text, values
// unescaped; nullopt when the group is missing. Localised keys
// ("Name[fi]") are kept under their full name.
std::optional<QMap<QString, QString>> ReadDesktopGroup(const QByteArray& text,
                                                       const QString& group);
