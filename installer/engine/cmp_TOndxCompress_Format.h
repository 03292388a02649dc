#pragma once
// The installer archive format, read and written here and nowhere else.
//
// All numbers little-endian; positions are relative to the start of the
// archive, which lies at the compressor's Offset in its file (non-zero when
// the archive is appended to the self-extracting setup program).
//
// Header block, at position 0:
//   pos size field
//     0    4 int32 member count
//     4    1 layout: 0 = each member header directly before its data;
//              1 = all headers together after this byte, then the data
//     5      the first member header
//
// Member header, 164 bytes (TFileHeaderRec):
//   off size field
//     0    4 int32   Number: 1-based position of the file in the list of the
//                    Add that stored it
//     4    8 float64 FileDate: modification time, days since 1899-12-30 (local)
//    12    1 byte    EndDisk: disk whose part holds the last data byte
//                    (0 in an archive that is not split)
//    13    3         zero padding
//    16    4 int32   LastByte: position of the last data byte in its end part
//    20  101         SourceName: length byte and up to 100 bytes (UTF-8), the
//                    name the member was added under (the source path, or
//                    the name given with it: the install file's key); zero
//                    filled. A longer name is refused, never cut
//   121    3         zero padding
//   124    4 int32   NextHeader: layout 0: the position right after this
//                    member's data; layout 1: this header's position + 164
//   128    4 int32   FileSize: uncompressed size
//   132    4 int32   DataStart: position of the first data byte in its start part
//   136    4 int32   CompressedSize
//   140    1 byte    StartDisk: disk whose part holds the first data byte
//                    (0 in an archive that is not split)
//   141   21         Version: length byte and up to 20 bytes, the file version
//                    of the source file, empty when it has none; zero filled
//   162    2         zero padding
//
// A member's data is one complete zlib stream (RFC 1950, with its Adler-32
// checksum) of the file's bytes. The parts of a split archive (layout 1) are
// named like the archive with the disk number as extension (.1, .2, ...);
// the header block lies at the start of part 1, Offset applies to every part.
//
// What the reader accepts (everything else is "corrupt"): a count from 0 to
// what the file can hold; layout 0 or 1; name and version lengths within
// their fields; a FileDate within the years 1 to 9999 (IsValidFileDate: no
// NaN, no infinity); a non-blank name whose last component (after '/' or '\') is
// neither empty, "." nor ".."; no control characters in the name;
// layout 0: disks 0, DataStart = header + 164, LastByte = DataStart +
// CompressedSize - 1 inside the file, NextHeader = LastByte + 1;
// layout 1: NextHeader = header + 164, 1 <= StartDisk <= EndDisk, data
// behind the header block on disk 1, a one-part member exactly
// CompressedSize long, members in disk and position order without overlap;
// totals of sizes below 2 GB. So header chains only move forward and cannot
// loop, and nothing is allocated from a size read from the file.
//
// Errors: EocDamaged "Could not read the file header count for the
// compressed file" (fewer than 5 bytes) or the corrupt text kOcCorrupt (any
// other fault of the block); EOndxCompress kOcCannotWriteHeaders (a short
// write).

#include "platform/rtl/DateTime.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class TStream;

inline constexpr int kOcHeaderSize = 164;
inline constexpr int kOcBlockHeadSize = 5;
inline constexpr int kOcMaxSourceName = 100;
inline constexpr int kOcMaxVersion = 20;

// One member header as the archive holds it.
struct TFileHeaderRec {
  std::int32_t Number = 0;
  TDateTime FileDate = 0;
  std::uint8_t EndDisk = 0;
  std::int32_t LastByte = 0;
  QString SourceName;
  std::int32_t NextHeader = 0;
  std::int32_t FileSize = 0;
  std::int32_t DataStart = 0;
  std::int32_t CompressedSize = 0;
  std::uint8_t StartDisk = 0;
  QString Version;

  bool operator==(const TFileHeaderRec&) const = default;
};

// The 164 bytes of a header. The name and version must fit their fields
// (CheckHeaderFits); the encoder never cuts them.
QByteArray EncodeFileHeader(const TFileHeaderRec& rec);
// Raises the corrupt error for lengths beyond the fields.
TFileHeaderRec DecodeFileHeader(const QByteArray& bytes);
// Raises EOndxCompress when the name or the version is too long.
void CheckHeaderFits(const TFileHeaderRec& rec);

// True for a date that names a day of the years 1 to 9999.
bool IsValidFileDate(TDateTime date);

// The last component of a stored name, split at '/' and '\'.
QString MemberFileName(const QString& storedName);
// True for a name that may be written inside a folder: not empty, not "."
// or "..", no '/', '\' or control character.
bool IsSafeFileName(const QString& name);

class TFileHeader {
 public:
  TFileHeader(bool readFromArchive, const TFileHeaderRec& rec)
      : readFromArchive_(readFromArchive), rec_(rec) {}
  bool ReadFromArchive() const { return readFromArchive_; }
  TFileHeaderRec& Rec() { return rec_; }
  const TFileHeaderRec& Rec() const { return rec_; }

 private:
  bool readFromArchive_;
  TFileHeaderRec rec_;
};

class TFileHeaders {
 public:
  int Count() const { return static_cast<int>(list_.size()); }
  // Raises "Tried to add an invalid file header" for a blank source name.
  void Add(bool readFromArchive, const TFileHeaderRec& rec);
  // An index outside the list raises EOndxCompress.
  TFileHeader& FileHeaders(int index);
  const TFileHeader& FileHeaders(int index) const;
  void Clear() { list_.clear(); }
  std::uint8_t Layout() const { return layout_; }
  void SetLayout(std::uint8_t layout) { layout_ = layout; }

 private:
  std::vector<std::unique_ptr<TFileHeader>> list_;
  std::uint8_t layout_ = 0;
};

// Reads and checks the header block of the archive at offset in stream.
// Replaces the contents of headers.
void ReadHeaderBlock(TStream& stream, std::int64_t offset, TFileHeaders& headers);
// The count and the layout; with layout 1 also every header, each with
// NextHeader := its own position + 164 (set in headers too).
QByteArray EncodeHeaderBlock(TFileHeaders& headers);
// Writes EncodeHeaderBlock at position 0 of stream.
void WriteHeaderBlock(TStream& stream, TFileHeaders& headers);
