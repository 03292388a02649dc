#pragma once
// The version block of our programs, carried in an ELF note and stamped at
// build time (cmake/VersionNote.cmake, qx_stamp_version). Nothing of the file
// is run: the reader parses the file's headers, and a file that is not a
// little-endian ELF file, is malformed, or carries no note has no version.
//
// The note (section ".note.qxversion", SHT_NOTE, 4-byte aligned):
//   namesz = 10, descsz = size of the descriptor, type = 1,
//   name "QXVersion\0" padded with zeros to 12 bytes.
// The descriptor, all numbers little-endian:
//   offset size
//     0     4   format, 1
//     4     4   file version, most significant: major << 16 | minor
//     8     4   file version, least significant: release << 16 | build
//    12     4   product version, most significant
//    16     4   product version, least significant
//    20     4   file OS (0: unknown)
//    24     4   file type (1: application)
//    28     4   file subtype
//    32     4   number of string tables, at most 64
//    36         the string tables, each:
//                 2  language identifier (0x0409: US English)
//                 2  code page (1252: multilingual)
//                 4  n, the byte length of the entries
//                 n  entries "Name\0Text\0", UTF-8, one after another
//               then zeros up to a multiple of 4 (not counted in n).
// Entry names: Comments, CompanyName, FileDescription, FileVersion,
// InternalName, LegalCopyright, LegalTradeMarks, OriginalFileName,
// PrivateBuild, ProductName, ProductVersion, SpecialBuild.
// A descriptor that breaks any of these rules makes the note invalid.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>
#include <optional>

inline constexpr char kVersionNoteName[] = "QXVersion";
inline constexpr std::uint32_t kVersionNoteType = 1;
inline constexpr std::uint32_t kVersionNoteFormat = 1;

struct TVersionStringTable {
  std::uint16_t Language = 0;
  std::uint16_t CodePage = 0;
  QList<QPair<QString, QString>> Entries;  // in file order
};

struct TVersionNote {
  std::uint32_t FileVersionMS = 0;
  std::uint32_t FileVersionLS = 0;
  std::uint32_t ProductVersionMS = 0;
  std::uint32_t ProductVersionLS = 0;
  std::uint32_t FileOS = 0;
  std::uint32_t FileType = 0;
  std::uint32_t FileSubType = 0;
  QList<TVersionStringTable> Tables;
};

// The descriptor decoded; nothing when it breaks the layout above.
std::optional<TVersionNote> DecodeVersionNote(const QByteArray& descriptor);

// The first valid version note of an ELF file (section headers first, then
// PT_NOTE program headers); nothing when there is none or the file cannot be
// read or parsed.
std::optional<TVersionNote> ReadVersionNote(const QString& fileName);
