#pragma once
// Records of the grid's stored properties.
//
// A block is a run of fixed-size records, numbers little-endian:
//   cell level ("AlignCell", "EditCell"):   column u16, row u16, value u8  (5 bytes)
//   column/row level ("AlignCol", ...):      index u16, value u8            (3 bytes)
// Alignment values are the TMyAlign ordinals 0..2, edit permissions 0 or 1.
// A block whose length is not a whole number of records, or a value out of
// its range, raises EReadError; nothing of such a block is used.
//
// Font record (list items): colour, height, face name, pitch (0 default,
// 1 variable, 2 fixed), style (bit 0 bold, 1 italic, 2 underline, 3
// strike-out; only these four bits are read). Brush record: colour, style
// (the TBrushStyle ordinal 0..7). A pitch or brush style out of range raises
// EReadError.

#include <QByteArray>
#include <QString>

#include <vector>

class TReader;
class TWriter;
class TFont;
class TBrush;

namespace aligrid {

struct TBlockRecord {
  int col = 0;  // the index for column and row levels
  int row = 0;
  int value = 0;
};

// Decodes a whole block; name is the property's, for the message.
std::vector<TBlockRecord> DecodeBlock(const QByteArray& bytes, bool cellLevel, int maxValue,
                                      const QString& name);
void AppendRecord(QByteArray& out, const TBlockRecord& record, bool cellLevel);

// A stored column or row number: its low 16 bits (a number modulo 65536).
int StoredIndex(long long value);

// Read into (set in the record's order) or write a font or brush record.
void ReadFontRecord(TReader& reader, TFont& font);
void WriteFontRecord(TWriter& writer, const TFont& font);
void ReadBrushRecord(TReader& reader, TBrush& brush);
void WriteBrushRecord(TWriter& writer, const TBrush& brush);

}  // namespace aligrid
