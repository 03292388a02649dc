#pragma once
// The remote file list "filelist.lst" of a network distribution: an int32
// count, then that many 72-byte records (little-endian):
//
//   off size field
//     0    4 int32   Size
//     4    8 float64 Date (days since 1899-12-30)
//    12   40         component Name, NUL-terminated, zero-padded (39 at most)
//    52   20         Version text, zero-padded; NUL-terminated when shorter
//
// Bytes after a terminating NUL are not significant. Texts are Windows-1252.
// The reader checks the count against the file's size before it reads a
// record, so a damaged count neither allocates nor reads past the end.

#include "platform/rtl/DateTime.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

inline constexpr int kFileListRecordSize = 72;
inline constexpr int kFileListMaxName = 39;
inline constexpr int kFileListMaxVersion = 20;
inline constexpr char kTextCannotReadFileList[] = "Cannot read the remote list of files: %s";

struct TFileListRecord {
  std::int32_t Size = 0;
  TDateTime Date = 0;
  QString Name;
  QString Version;

  bool operator==(const TFileListRecord&) const = default;
};

// The 72 bytes of a record; longer texts are cut to their fields.
QByteArray EncodeFileListRecord(const TFileListRecord& record);
TFileListRecord DecodeFileListRecord(const QByteArray& bytes);

// Reads a list; IEInstall kTextCannotReadFileList (with path) when the file
// cannot be read, or its size is not that of its count of records.
QList<TFileListRecord> ReadRemoteFileList(const QString& path);
// Writes a list atomically (EAtomicFileError on failure).
void WriteRemoteFileList(const QString& path, const QList<TFileListRecord>& records);
