// Reading the header block of an untrusted archive: every count, length,
// position and size is checked before it is used (rules in
// cmp_TOndxCompress_Format.h).
#include "installer/engine/cmp_TOndxCompress_Format.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/Streams.h"

#include <cstdint>
#include <limits>

namespace {

constexpr std::int64_t kMaxTotal = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void Corrupt() {
  throw EocDamaged(QString::fromLatin1(kOcCorrupt));
}

void Require(bool condition) {
  if (!condition)
    Corrupt();
}

// Checks one member after another; positions are relative to the archive.
class TMemberChecker {
 public:
  TMemberChecker(int layout, std::int64_t count, std::int64_t archiveSize)
      : layout_(layout),
        dataArea_(kOcBlockHeadSize + count * kOcHeaderSize),
        archiveSize_(archiveSize) {}

  void Check(const TFileHeaderRec& rec, std::int64_t pos) {
    CheckName(rec.SourceName);
    Require(IsValidFileDate(rec.FileDate));
    Require(rec.FileSize >= 0 && rec.CompressedSize > 0);
    if (layout_ == 0)
      CheckLayout0(rec, pos);
    else
      CheckLayout1(rec, pos);
    totalSize_ += rec.FileSize;
    totalCompressed_ += rec.CompressedSize;
    Require(totalSize_ <= kMaxTotal && totalCompressed_ <= kMaxTotal);
  }

 private:
  static void CheckName(const QString& name) {
    Require(!name.trimmed().isEmpty());
    Require(IsSafeFileName(MemberFileName(name)));
    for (const QChar c : name)
      Require(c.unicode() >= 0x20 && c.unicode() != 0x7F);
  }

  void CheckLayout0(const TFileHeaderRec& rec, std::int64_t pos) const {
    const std::int64_t lastByte = std::int64_t{rec.DataStart} + rec.CompressedSize - 1;
    Require(rec.StartDisk == 0 && rec.EndDisk == 0);
    Require(rec.DataStart == pos + kOcHeaderSize);
    Require(rec.LastByte == lastByte && lastByte < archiveSize_);
    Require(rec.NextHeader == lastByte + 1);
  }

  void CheckLayout1(const TFileHeaderRec& rec, std::int64_t pos) {
    Require(rec.NextHeader == pos + kOcHeaderSize);
    Require(rec.StartDisk >= 1 && rec.EndDisk >= rec.StartDisk);
    Require(rec.DataStart >= 0 && rec.LastByte >= 0);
    if (rec.StartDisk == 1)
      Require(rec.DataStart >= dataArea_);
    if (rec.EndDisk == 1)
      Require(rec.LastByte < archiveSize_);
    if (rec.StartDisk == rec.EndDisk)
      Require(std::int64_t{rec.LastByte} - rec.DataStart + 1 == rec.CompressedSize);
    // Members follow each other: this one starts at or after the end of the last.
    Require(rec.StartDisk > endDisk_ || (rec.StartDisk == endDisk_ && rec.DataStart >= nextFree_));
    endDisk_ = rec.EndDisk;
    nextFree_ = std::int64_t{rec.LastByte} + 1;
  }

  int layout_;
  std::int64_t dataArea_;
  std::int64_t archiveSize_;
  std::int64_t totalSize_ = 0;
  std::int64_t totalCompressed_ = 0;
  int endDisk_ = 0;
  std::int64_t nextFree_ = 0;
};

}  // namespace

void ReadHeaderBlock(TStream& stream, std::int64_t offset, TFileHeaders& headers) {
  headers.Clear();
  const std::int64_t archiveSize = stream.Size() - offset;
  char head[kOcBlockHeadSize];
  if (offset < 0 || archiveSize < kOcBlockHeadSize || stream.Seek(offset, soBeginning) != offset ||
      stream.Read(head, kOcBlockHeadSize) != kOcBlockHeadSize)
    throw EocDamaged(QString::fromLatin1(kOcCannotReadCount));
  std::int64_t count = 0;
  for (int i = 3; i >= 0; --i)
    count = count * 256 + static_cast<unsigned char>(head[i]);
  const int layout = static_cast<unsigned char>(head[4]);
  // The int32 count: a set top bit is a negative count.
  Require(count <= kMaxTotal && layout <= 1);
  Require(count <= (archiveSize - kOcBlockHeadSize) / kOcHeaderSize);
  headers.SetLayout(static_cast<std::uint8_t>(layout));
  TMemberChecker checker(layout, count, archiveSize);
  std::int64_t pos = kOcBlockHeadSize;
  QByteArray bytes(kOcHeaderSize, '\0');
  for (std::int64_t i = 0; i < count; ++i) {
    Require(pos + kOcHeaderSize <= archiveSize);
    Require(stream.Seek(offset + pos, soBeginning) == offset + pos);
    Require(stream.Read(bytes.data(), kOcHeaderSize) == kOcHeaderSize);
    const TFileHeaderRec rec = DecodeFileHeader(bytes);
    checker.Check(rec, pos);
    headers.Add(true, rec);
    pos = rec.NextHeader;
  }
}
