// Encoding and decoding of the grid's stored records (formats: AligridStore.h).
#include "components/AligridStore.h"

#include "platform/classes/Filer.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/PenBrush.h"
#include "platform/rtl/Exceptions.h"

#include <cstdint>

namespace aligrid {

namespace {

int ReadU16(const QByteArray& b, qsizetype at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}

void WriteU16(QByteArray& out, int v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>((v >> 8) & 0xFF));
}

int ReadRanged(TReader& r, const QString& what, int low, int high) {
  const int v = r.ReadInteger();
  if (v < low || v > high) throw EReadError(QStringLiteral("Invalid stored %1: %2").arg(what).arg(v));
  return v;
}

}  // namespace

std::vector<TBlockRecord> DecodeBlock(const QByteArray& bytes, bool cellLevel, int maxValue,
                                      const QString& name) {
  const qsizetype size = cellLevel ? 5 : 3;
  if (bytes.size() % size != 0) {
    throw EReadError(QStringLiteral("Property %1: truncated record at byte %2 of %3")
                         .arg(name)
                         .arg(bytes.size() - bytes.size() % size)
                         .arg(bytes.size()));
  }
  std::vector<TBlockRecord> records;
  records.reserve(static_cast<std::size_t>(bytes.size() / size));
  for (qsizetype at = 0; at < bytes.size(); at += size) {
    TBlockRecord r;
    r.col = ReadU16(bytes, at);
    r.row = cellLevel ? ReadU16(bytes, at + 2) : 0;
    r.value = static_cast<unsigned char>(bytes[at + size - 1]);
    if (r.value > maxValue) {
      throw EReadError(QStringLiteral("Property %1: value %2 out of range at byte %3")
                           .arg(name)
                           .arg(r.value)
                           .arg(at + size - 1));
    }
    records.push_back(r);
  }
  return records;
}

void AppendRecord(QByteArray& out, const TBlockRecord& record, bool cellLevel) {
  WriteU16(out, record.col & 0xFFFF);
  if (cellLevel) WriteU16(out, record.row & 0xFFFF);
  out.append(static_cast<char>(record.value));
}

int StoredIndex(long long value) { return static_cast<int>(static_cast<std::uint64_t>(value) & 0xFFFF); }

void ReadFontRecord(TReader& r, TFont& font) {
  font.SetColor(r.ReadInteger());
  font.SetHeight(r.ReadInteger());
  font.SetName(r.ReadString());
  font.SetPitch(static_cast<TFontPitch>(ReadRanged(r, QStringLiteral("font pitch"), 0, 2)));
  font.SetStyle(TFontStyles::FromBits(static_cast<std::uint64_t>(r.ReadInteger()) & 0xF));
}

void WriteFontRecord(TWriter& w, const TFont& font) {
  w.WriteInteger(font.Color());
  w.WriteInteger(font.Height());
  w.WriteString(font.Name());
  w.WriteInteger(static_cast<int>(font.Pitch()));
  w.WriteInteger(static_cast<int>(font.Style().Bits() & 0xF));
}

void ReadBrushRecord(TReader& r, TBrush& brush) {
  brush.SetColor(r.ReadInteger());
  brush.SetStyle(
      static_cast<TBrushStyle>(ReadRanged(r, QStringLiteral("brush style"), bsSolid, bsDiagCross)));
}

void WriteBrushRecord(TWriter& w, const TBrush& brush) {
  w.WriteInteger(brush.Color());
  w.WriteInteger(static_cast<int>(brush.Style()));
}

}  // namespace aligrid
