#pragma once
// Internet shortcut files (".URL"): an initialisation file with the section
// "InternetShortcut" and its key "URL".
//
// A new file is exactly
//   [InternetShortcut]<CR><LF>URL=<url><CR><LF>
// in UTF-8. Writing over an existing file changes only that key, as an
// initialisation-file write does: its other sections, keys and lines stay,
// a missing section is added at the end. The file is replaced through a
// TAtomicFile, so a failed write leaves the old one byte-identical.

#include <QByteArray>
#include <QString>

#include <optional>

// Writes url as the "URL" of fileName's "InternetShortcut" section; the
// folder must exist. EDesktopEntryError (ShellLinkEntry.h) when url holds
// a line break or NUL (it would make keys of its own); EAtomicFileError when
// the file cannot be written.
void WriteURLShortcut(const QString& fileName, const QString& url);

// The content WriteURLShortcut gives a file whose content is old (empty:
// a new file).
QByteArray URLShortcutText(const QByteArray& old, const QString& url);

// The "URL" of fileName's "InternetShortcut" section (section and key
// compared without regard to case); nullopt when the file, the section or
// the key is missing.
std::optional<QString> ReadURLShortcut(const QString& fileName);
