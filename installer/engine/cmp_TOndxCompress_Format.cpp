#include "installer/engine/cmp_TOndxCompress_Format.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/Streams.h"

#include <cmath>
#include <cstring>

namespace {

void PutInt32(char* p, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

std::int32_t GetInt32(const char* p) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i)
    u |= static_cast<std::uint32_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return static_cast<std::int32_t>(u);
}

void PutDouble(char* p, double v) {
  std::uint64_t u = 0;
  std::memcpy(&u, &v, sizeof u);
  for (int i = 0; i < 8; ++i)
    p[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

double GetDouble(const char* p) {
  std::uint64_t u = 0;
  for (int i = 0; i < 8; ++i)
    u |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  double v = 0;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

// A length byte and the text's bytes; the field is zero filled.
void PutShortString(char* p, const QByteArray& bytes) {
  p[0] = static_cast<char>(bytes.size());
  std::memcpy(p + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString GetShortString(const char* p, int maxLen) {
  const int len = static_cast<unsigned char>(p[0]);
  if (len > maxLen)
    throw EocDamaged(QString::fromLatin1(kOcCorrupt));
  return QString::fromUtf8(p + 1, len);
}

}  // namespace

QByteArray EncodeFileHeader(const TFileHeaderRec& rec) {
  CheckHeaderFits(rec);
  QByteArray out(kOcHeaderSize, '\0');
  char* p = out.data();
  PutInt32(p + 0, rec.Number);
  PutDouble(p + 4, rec.FileDate);
  p[12] = static_cast<char>(rec.EndDisk);
  PutInt32(p + 16, rec.LastByte);
  PutShortString(p + 20, rec.SourceName.toUtf8());
  PutInt32(p + 124, rec.NextHeader);
  PutInt32(p + 128, rec.FileSize);
  PutInt32(p + 132, rec.DataStart);
  PutInt32(p + 136, rec.CompressedSize);
  p[140] = static_cast<char>(rec.StartDisk);
  PutShortString(p + 141, rec.Version.toUtf8());
  return out;
}

TFileHeaderRec DecodeFileHeader(const QByteArray& bytes) {
  if (bytes.size() != kOcHeaderSize)
    throw EocDamaged(QString::fromLatin1(kOcCorrupt));
  const char* p = bytes.constData();
  TFileHeaderRec rec;
  rec.Number = GetInt32(p + 0);
  rec.FileDate = GetDouble(p + 4);
  rec.EndDisk = static_cast<std::uint8_t>(p[12]);
  rec.LastByte = GetInt32(p + 16);
  rec.SourceName = GetShortString(p + 20, kOcMaxSourceName);
  rec.NextHeader = GetInt32(p + 124);
  rec.FileSize = GetInt32(p + 128);
  rec.DataStart = GetInt32(p + 132);
  rec.CompressedSize = GetInt32(p + 136);
  rec.StartDisk = static_cast<std::uint8_t>(p[140]);
  rec.Version = GetShortString(p + 141, kOcMaxVersion);
  return rec;
}

void CheckHeaderFits(const TFileHeaderRec& rec) {
  if (rec.SourceName.toUtf8().size() > kOcMaxSourceName)
    throw EOndxCompress(QString::fromLatin1(kOcNameTooLong), {rec.SourceName});
  if (rec.Version.toUtf8().size() > kOcMaxVersion)
    throw EOndxCompress(QString::fromLatin1(kOcVersionTooLong), {rec.Version, rec.SourceName});
}

bool IsValidFileDate(TDateTime date) {
  // Before 1899-12-30 the whole part counts the day and the fraction still
  // adds a time: -693593.5 is noon on 0001-01-01.
  constexpr TDateTime kDayBeforeFirst = -693594.0;  // 0000-12-31
  constexpr TDateTime kDayAfterLast = 2958466.0;    // 10000-01-01
  return std::isfinite(date) && date > kDayBeforeFirst && date < kDayAfterLast;
}

QString MemberFileName(const QString& storedName) {
  const qsizetype cut = std::max(storedName.lastIndexOf(QLatin1Char('/')),
                                 storedName.lastIndexOf(QLatin1Char('\\')));
  return storedName.mid(cut + 1);
}

bool IsSafeFileName(const QString& name) {
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
    return false;
  for (const QChar c : name)
    if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F)
      return false;
  return true;
}

void TFileHeaders::Add(bool readFromArchive, const TFileHeaderRec& rec) {
  if (rec.SourceName.trimmed().isEmpty())
    throw EOndxCompress(QString::fromLatin1(kOcInvalidHeader));
  list_.push_back(std::make_unique<TFileHeader>(readFromArchive, rec));
}

TFileHeader& TFileHeaders::FileHeaders(int index) {
  if (index < 0 || index >= Count())
    throw EOndxCompress(QString::fromLatin1(kOcBadHeaderIndex), {index});
  return *list_[static_cast<size_t>(index)];
}

const TFileHeader& TFileHeaders::FileHeaders(int index) const {
  return const_cast<TFileHeaders*>(this)->FileHeaders(index);
}

QByteArray EncodeHeaderBlock(TFileHeaders& headers) {
  QByteArray block(kOcBlockHeadSize, '\0');
  PutInt32(block.data(), headers.Count());
  block[4] = static_cast<char>(headers.Layout());
  if (headers.Layout() != 1)
    return block;
  std::int32_t pos = kOcBlockHeadSize;
  for (int i = 0; i < headers.Count(); ++i) {
    TFileHeaderRec& rec = headers.FileHeaders(i).Rec();
    rec.NextHeader = pos + kOcHeaderSize;
    block += EncodeFileHeader(rec);
    pos += kOcHeaderSize;
  }
  return block;
}

void WriteHeaderBlock(TStream& stream, TFileHeaders& headers) {
  const QByteArray block = EncodeHeaderBlock(headers);
  stream.Seek(0, soBeginning);
  if (stream.Write(block.constData(), block.size()) != block.size())
    throw EOndxCompress(QString::fromLatin1(kOcCannotWriteHeaders));
}
