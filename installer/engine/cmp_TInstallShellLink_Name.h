#pragma once
// Link names that a link's ObjectLocation gives it.

#include <QString>

#include <optional>

// The name of an internet shortcut for an http:// or ftp:// location (the
// scheme compared without regard to case): the text after the first scheme,
// made one clean file name, then ".URL". Nothing for any other location.
//
// The text is a URL, so it may hold '/', "..", control characters and any
// length: '/' becomes '-', the characters a file name may not hold on the
// shells the script was written for are dropped (CleanFileName), control
// characters too, leading dots and blanks and trailing blanks go, and the
// name is cut to fit one file name (255 bytes in UTF-8). What is left never
// leaves the link's folder; when nothing is left the name is blank.
std::optional<QString> URLLinkName(const QString& location);
