// The grid's extra stored properties: per-cell, per-column and per-row
// attributes, hints and cell texts, beside the published properties.
//
// Block properties (records: AligridStore.h): AlignCell, AlignCol,
// FixedAlignCol, AlignRow, FixedAlignRow, EditCell, EditCol, EditRow.
// List properties, one item after another up to the list end:
//   HintCell, Cells           column, row, text
//   Font*                     [column,] [row,] colour, height, face name,
//                             pitch (0..2), style (bits: bold, italic,
//                             underline, strike-out)
//   Brush*                    [column,] [row,] colour, style (0..7)
//   SelectedColor*, Color*    [column,] [row,] colour
// Color* are older names, read into the brush tables and never written.
// Each table is written only when its present flag is set, and only its
// entries inside the current column and row counts. A value out of range
// raises EReadError and leaves the tables as they were.
#include "components/Aligrid.h"
#include "components/AligridStore.h"

#include "platform/classes/Filer.h"
#include "platform/rtl/Streams.h"

#include <tuple>
#include <vector>

namespace {

using aligrid::StoredIndex;
using aligrid::TAttrTables;

enum class TLevel { Cell, Col, FixedCol, Row, FixedRow };

template <class S>
aligrid::TSparseList<S>& LevelList(TAttrTables<S>& t, TLevel level) {
  switch (level) {
    case TLevel::Col: return t.col;
    case TLevel::FixedCol: return t.fixedCol;
    case TLevel::Row: return t.row;
    default: return t.fixedRow;
  }
}

template <class S>
bool& LevelFlag(TAttrTables<S>& t, TLevel level) {
  switch (level) {
    case TLevel::Cell: return t.stored.cell;
    case TLevel::Col: return t.stored.col;
    case TLevel::FixedCol: return t.stored.fixedCol;
    case TLevel::Row: return t.stored.row;
    default: return t.stored.fixedRow;
  }
}

template <class S>
S& LevelSlot(TAttrTables<S>& t, TLevel level, int col, int row) {
  return level == TLevel::Cell ? t.cell.At(col, row) : LevelList(t, level).At(col);
}

bool IsColLevel(TLevel level) { return level == TLevel::Col || level == TLevel::FixedCol; }

QByteArray RestOf(TStream& s) {
  QByteArray bytes(static_cast<qsizetype>(s.Size() - s.Position()), '\0');
  s.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace

class TAligridStore {
 public:
  explicit TAligridStore(TStringAlignGrid& grid) : g_(grid) {}

  void Define(TFiler* f) {
    DefineBlock(f, "AlignCell", g_.align_, TLevel::Cell, 2);
    DefineBlock(f, "AlignCol", g_.align_, TLevel::Col, 2);
    DefineBlock(f, "FixedAlignCol", g_.align_, TLevel::FixedCol, 2);
    DefineBlock(f, "AlignRow", g_.align_, TLevel::Row, 2);
    DefineBlock(f, "FixedAlignRow", g_.align_, TLevel::FixedRow, 2);
    DefineBlock(f, "EditCell", g_.edit_, TLevel::Cell, 1);
    DefineBlock(f, "EditCol", g_.edit_, TLevel::Col, 1);
    DefineBlock(f, "EditRow", g_.edit_, TLevel::Row, 1);
    DefineTexts(f, "HintCell", g_.hint_);
    DefineCells(f);
    const TLevel levels[] = {TLevel::Cell, TLevel::Col, TLevel::FixedCol, TLevel::Row,
                             TLevel::FixedRow};
    const char* fonts[] = {"FontCell", "FontCol", "FontFixedCol", "FontRow", "FontFixedRow"};
    for (int i = 0; i < 5; ++i) DefineFonts(f, fonts[i], levels[i]);
    const char* brushes[] = {"BrushCell", "BrushCol", "BrushFixedCol", "BrushRow",
                             "BrushFixedRow"};
    for (int i = 0; i < 5; ++i) DefineBrushes(f, brushes[i], levels[i]);
    const char* colors[] = {"ColorCell", "ColorCol", "ColorFixedCol", "ColorRow",
                            "ColorFixedRow"};
    for (int i = 0; i < 5; ++i) DefineOldColors(f, colors[i], levels[i]);
    DefineSelected(f, "SelectedColorCell", TLevel::Cell);
    DefineSelected(f, "SelectedColorCol", TLevel::Col);
    DefineSelected(f, "SelectedColorRow", TLevel::Row);
  }

 private:
  // Calls fn(col, row, entry) for every filled slot inside the counts.
  template <class S, class F>
  void Visit(TAttrTables<S>& t, TLevel level, F&& fn) const {
    if (level == TLevel::Cell) {
      for (int c = 0; c < g_.ColCount(); ++c)
        for (int r = 0; r < g_.RowCount(); ++r)
          if (const S* s = t.cell.Find(c, r)) fn(c, r, *s);
      return;
    }
    const int count = IsColLevel(level) ? g_.ColCount() : g_.RowCount();
    for (int i = 0; i < count; ++i)
      if (const S* s = aligrid::FindSlot(LevelList(t, level), i)) fn(i, 0, *s);
  }

  template <class V>
  void DefineBlock(TFiler* f, const char* name, TAttrTables<std::optional<V>>& t, TLevel level,
                   int maxValue) {
    const bool cell = level == TLevel::Cell;
    const QString prop = QString::fromLatin1(name);
    f->DefineBinaryProperty(
        prop,
        [&t, level, cell, maxValue, prop](TStream& s) {
          const auto records = aligrid::DecodeBlock(RestOf(s), cell, maxValue, prop);
          for (const auto& rec : records)
            LevelSlot(t, level, rec.col, rec.row) = static_cast<V>(rec.value);
          if (!records.empty()) LevelFlag(t, level) = true;
        },
        [this, &t, level, cell](TStream& s) {
          QByteArray out;
          Visit(t, level, [&out, cell](int c, int r, const std::optional<V>& v) {
            aligrid::AppendRecord(out, {c, r, static_cast<int>(*v)}, cell);
          });
          s.WriteBuffer(out.constData(), out.size());
        },
        LevelFlag(t, level));
  }

  // A list of items: [column,] [row,] then what readValue reads. The items
  // are read whole before any is stored.
  template <class S, class Read, class Write, class Keep>
  void DefineList(TFiler* f, const char* name, TAttrTables<S>& t, TLevel level, Read readValue,
                  Write writeValue, Keep keep) {
    const bool cell = level == TLevel::Cell;
    f->DefineProperty(
        QString::fromLatin1(name),
        [&t, level, cell, readValue](TReader& r) {
          std::vector<std::tuple<int, int, S>> items;
          r.ReadListBegin();
          while (!r.EndOfList()) {
            const int c = StoredIndex(r.ReadInteger());
            const int row = cell ? StoredIndex(r.ReadInteger()) : 0;
            items.emplace_back(c, row, readValue(r));
          }
          r.ReadListEnd();
          for (auto& [c, row, value] : items) LevelSlot(t, level, c, row) = std::move(value);
          if (!items.empty()) LevelFlag(t, level) = true;
        },
        [this, &t, level, cell, writeValue, keep](TWriter& w) {
          w.WriteListBegin();
          Visit(t, level, [&](int c, int row, const S& s) {
            if (!keep(s)) return;
            w.WriteInteger(c);
            if (cell) w.WriteInteger(row);
            writeValue(w, s);
          });
          w.WriteListEnd();
        },
        LevelFlag(t, level));
  }

  void DefineTexts(TFiler* f, const char* name, TAttrTables<std::optional<QString>>& t) {
    DefineList(
        f, name, t, TLevel::Cell,
        [](TReader& r) { return std::optional<QString>(r.ReadString()); },
        [](TWriter& w, const std::optional<QString>& s) { w.WriteString(*s); },
        [](const std::optional<QString>&) { return true; });
  }

  void DefineFonts(TFiler* f, const char* name, TLevel level) {
    DefineList(
        f, name, g_.font_, level, [this](TReader& r) { return ReadFont(r); },
        [](TWriter& w, const TStringAlignGrid::TFontSlot& font) {
          aligrid::WriteFontRecord(w, *font);
        },
        [](const TStringAlignGrid::TFontSlot& font) { return font->IsChanged(); });
  }

  void DefineBrushes(TFiler* f, const char* name, TLevel level) {
    DefineList(
        f, name, g_.brush_, level, [this](TReader& r) { return ReadBrush(r); },
        [](TWriter& w, const TStringAlignGrid::TBrushSlot& brush) {
          aligrid::WriteBrushRecord(w, *brush);
        },
        [](const TStringAlignGrid::TBrushSlot& brush) { return brush->IsChanged(); });
  }

  void DefineSelected(TFiler* f, const char* name, TLevel level) {
    DefineList(
        f, name, g_.selCellColor_, level,
        [](TReader& r) { return std::optional<TColor>(r.ReadInteger()); },
        [](TWriter& w, const std::optional<TColor>& c) { w.WriteInteger(*c); },
        [](const std::optional<TColor>&) { return true; });
  }

  // Older colour properties: each colour goes to the brush of its cell,
  // column or row (made on demand), which the brush properties store.
  void DefineOldColors(TFiler* f, const char* name, TLevel level) {
    f->DefineProperty(
        QString::fromLatin1(name),
        [this, level](TReader& r) {
          std::vector<std::tuple<int, int, TColor>> items;
          r.ReadListBegin();
          while (!r.EndOfList()) {
            const int c = StoredIndex(r.ReadInteger());
            const int row = level == TLevel::Cell ? StoredIndex(r.ReadInteger()) : 0;
            items.emplace_back(c, row, r.ReadInteger());
          }
          r.ReadListEnd();
          for (const auto& [c, row, color] : items) {
            TMyBrush* brush = OldColorBrush(level, c, row);
            brush->SetColor(color);
            brush->SetIsChanged(true);  // stored, so written back as a brush
          }
          if (!items.empty()) LevelFlag(g_.brush_, level) = true;
        },
        nullptr, false);
  }

  TMyBrush* OldColorBrush(TLevel level, int c, int r) {
    switch (level) {
      case TLevel::Cell: return g_.GetCellBrush(c, r);
      case TLevel::Col: return g_.GetColBrush(c);
      case TLevel::FixedCol: return g_.GetFixedColBrush(c);
      case TLevel::Row: return g_.GetRowBrush(c);
      default: return g_.GetFixedRowBrush(c);
    }
  }

  // "Cells": read into the table of stored texts (Loaded copies them into
  // the cells); written from the cells' current texts.
  void DefineCells(TFiler* f) {
    f->DefineProperty(
        QStringLiteral("Cells"),
        [this](TReader& r) {
          std::vector<std::tuple<int, int, QString>> items;
          r.ReadListBegin();
          while (!r.EndOfList()) {
            const int c = StoredIndex(r.ReadInteger());
            const int row = StoredIndex(r.ReadInteger());
            items.emplace_back(c, row, r.ReadString());
          }
          r.ReadListEnd();
          if (!g_.storedTexts_) g_.storedTexts_ = std::make_unique<aligrid::TCellTable<std::optional<QString>>>();
          for (auto& [c, row, text] : items) g_.storedTexts_->At(c, row) = std::move(text);
          if (!items.empty()) g_.storedTextsFlag_ = true;
        },
        [this](TWriter& w) {
          w.WriteListBegin();
          for (int c = 0; c < g_.ColCount(); ++c) {
            for (int r = 0; r < g_.RowCount(); ++r) {
              const QString text = g_.Cells(c, r);
              if (text.isEmpty()) continue;
              w.WriteInteger(c);
              w.WriteInteger(r);
              w.WriteString(text);
            }
          }
          w.WriteListEnd();
        },
        g_.storedTextsFlag_);
  }

  // A stored font or brush is written back as stored, so it counts as
  // changed.
  TStringAlignGrid::TFontSlot ReadFont(TReader& r) {
    auto font = g_.NewFont();
    aligrid::ReadFontRecord(r, *font);
    font->SetIsChanged(true);
    return font;
  }

  TStringAlignGrid::TBrushSlot ReadBrush(TReader& r) {
    auto brush = g_.NewBrush();
    aligrid::ReadBrushRecord(r, *brush);
    brush->SetIsChanged(true);
    return brush;
  }

  TStringAlignGrid& g_;
};

void TStringAlignGrid::DefineProperties(TFiler* filer) {
  TStringGrid::DefineProperties(filer);
  TAligridStore(*this).Define(filer);
}
