#pragma once
// The installer library's own directory, found through the library search
// path that the development environment keeps in the registry. Part of the
// install object model's unit (cmp_TInstallContainer).

#include <QString>

// The key and value that hold the search path, and the file that marks the
// installer library's directory.
inline constexpr char kLibrarySearchKey[] = "\\Software\\Corvane\\Tessera\\3.0\\Library";
inline constexpr char kLibrarySearchValue[] = "SearchPath";
inline constexpr char kOndrixMarkerFile[] = "Q32V31.TXT";

// The first ';'-separated entry of the search path (without trailing
// delimiter) whose directory holds the marker file. None found: an empty
// text, or with raise IEcdeCannotFindOndrixPath.
QString FindOndrixDirectory(bool raise);
