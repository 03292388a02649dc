#include "components/PCUtils.h"
#include "components/PrnCells.h"
#include "platform/graphics/Graphic.h"
#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/Printer.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A layout without an owner, freed by the test.
struct Layout {
  Layout() : cells(new TPrnCells(nullptr)) {}
  ~Layout() { cells->Free(); }
  TPrnCells* operator->() const { return cells; }
  TPrnCells* cells;
};

QStringList Names(const TPrnCells& cells) {
  QStringList names;
  for (int i = 0; i < cells.CellCount(); ++i)
    names << cells.CellName(cells.Cells(i));
  return names;
}

QStringList SelectedNames(const TPrnCells& cells) {
  QStringList names;
  for (int i = 0; i < cells.SelectedCount(); ++i)
    names << cells.CellName(cells.Selected(i));
  return names;
}

std::vector<float> Expand(const TSizeList& list) {
  std::vector<float> out;
  TSizeCursor cursor;
  float size = 0;
  while (NextSize(list, cursor, size))
    out.push_back(size);
  return out;
}

// A printer on one A4 sheet image at dpi.
TImagePrintBackend* UseImagePrinter(int dpi) {
  auto backend = std::make_unique<TImagePrintBackend>(dpi);
  TImagePrintBackend* raw = backend.get();
  SetPrinter(std::make_unique<TPrinter>(std::move(backend)));
  return raw;
}

// ---- Utilities

TEST(PrintUtilities, SizeListsExpandAsCounted) {
  struct Row {
    TSizeList list;
    std::vector<float> sizes;
  };
  const Row rows[] = {
      {{-3.0F, 1.0F, 2.0F}, {1, 1, 1, 2}},
      {{-2.4F, 5.0F}, {5, 5}},
      {{-2.5F, 5.0F}, {5, 5}},   // halves to even
      {{-3.5F, 5.0F}, {5, 5, 5, 5}},
      {{-0.2F, 5.0F}, {5}},
      {{1.0F, -2.0F}, {1}},
      {{-4.0F, -2.0F, 7.0F}, {7, 7}},  // only the last of a negative run counts
      {{}, {}},
      {{0.0F, 0.5F}, {0, 0.5F}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Expand(row.list), row.sizes);
    EXPECT_EQ(CountSizes(row.list), static_cast<int>(row.sizes.size()));
  }
  EXPECT_EQ(CountSizes({-50.0F, 0.5F}), 50);
}

TEST(PrintUtilities, UnitsConvertAtThePrintersResolution) {
  struct Row {
    TMeasurement from, to;
    int dpi, extent;
    float value, expected;
  };
  const Row rows[] = {
      {mtCentimeters, mtPixels, 300, 3507, 2.54F, 300.0F},
      {mtCentimeters, mtPixels, 600, 7015, 2.54F, 600.0F},
      {mtCentimeters, mtPixels, 300, 3507, 2.0F, 236.2205F},
      {mtPercentage, mtPixels, 300, 4799, 1.0F, 4799.0F},
      {mtInches, mtPixels, 600, 4959, 0.5F, 300.0F},
      {mtPixels, mtCentimeters, 300, 2479, 300.0F, 2.54F},
      {mtPixels, mtPercentage, 300, 2479, 2479.0F, 1.0F},
      {mtInches, mtCentimeters, 300, 0, 1.0F, 2.54F},
      {mtPercentage, mtCentimeters, 300, 3000, 0.5F, 12.7F},
      {mtCentimeters, mtPercentage, 600, 6000, 25.4F, 1.0F},
      {mtPixels, mtPercentage, 300, 0, 10.0F, 0.0F},  // no extent: no division
  };
  for (const Row& row : rows)
    EXPECT_NEAR(ConvertUnits(row.from, row.to, row.dpi, row.extent, row.value), row.expected,
                1e-3)
        << row.from << "->" << row.to << " " << row.value;
  EXPECT_EQ(RoundPixels(std::nan("")), 0);
  EXPECT_EQ(RoundPixels(INFINITY), 1 << 24);
  EXPECT_EQ(RoundPixels(2.5), 2);
  EXPECT_EQ(RoundPixels(-47.24), -47);
}

TEST(PrintUtilities, BorderSpansPullInAtThinnerJoins) {
  const TCellBorder thick{0, 5, 0}, thin{0, 1, 0}, none{0, 9, kClearBorder};
  const TRect r = Rect(100, 200, 300, 400);
  const TBorderSpan both = HorzBorderSpan(thick, thin, thin, r);
  EXPECT_EQ(both.Start, 102);  // (5 - 1 + 1) div 2 at each end
  EXPECT_EQ(both.Length, 200 - 4);
  // A clear join, or a join as thick or thicker, leaves the end alone.
  const TBorderSpan clear = VertBorderSpan(thick, none, TCellBorder{0, 7, 0}, r);
  EXPECT_EQ(clear.Start, 200);
  EXPECT_EQ(clear.Length, 200);
}

// ---- Names and selection

TEST(PrintCells, PatternsSelectInListThenCreationOrder) {
  Layout l;
  for (const char* name : {"ruudukkoR1C1", "ruudukkoR1C2", "ruudukkoR2C1", "rivitR1", "aba", "abba"})
    l->AddCell(QString::fromLatin1(name), 0, 0, 1, 1);
  struct Row {
    const char* pattern;
    QStringList selected;
  };
  const Row rows[] = {
      {"ruudukko*", {"ruudukkoR1C1", "ruudukkoR1C2", "ruudukkoR2C1"}},
      {"*C1", {"ruudukkoR1C1", "ruudukkoR2C1"}},
      {"*R1*", {"ruudukkoR1C1", "ruudukkoR1C2", "rivitR1"}},
      {"rivitR1;ruudukkoR1C2", {"rivitR1", "ruudukkoR1C2"}},
      {"ruudukkoR1C2;ruudukko*", {"ruudukkoR1C2", "ruudukkoR1C1", "ruudukkoR2C1"}},
      {"ruudukkoR*C1", {"ruudukkoR1C1", "ruudukkoR2C1"}},
      {"ab*ba", {"abba"}},  // "aba" is shorter than the fixed parts
      {"RIVITR1", {}},      // exact case
      {"nothing", {}},
      {"", {}},
      {"*", {"ruudukkoR1C1", "ruudukkoR1C2", "ruudukkoR2C1", "rivitR1", "aba", "abba"}},
  };
  for (const Row& row : rows) {
    TCell* first = l->Select(QString::fromLatin1(row.pattern));
    EXPECT_EQ(SelectedNames(*l.cells), row.selected) << row.pattern;
    EXPECT_EQ(first == nullptr, row.selected.isEmpty()) << row.pattern;
  }
  EXPECT_EQ(l->Selected(99), nullptr);
  EXPECT_EQ(l->Selected(-1), nullptr);
}

TEST(PrintCells, FailedOperationsLeaveTheLayoutAsItWas) {
  Layout l;
  l->AddCell(QStringLiteral("temp"), 1, 1, 2, 2);
  const auto expectError = [&](auto call, const QString& message) {
    try {
      call();
      ADD_FAILURE() << "no error: " << message.toStdString();
    } catch (const ECellError& e) {
      EXPECT_EQ(e.Message(), message);
    }
    EXPECT_EQ(Names(*l.cells), QStringList{QStringLiteral("temp")});
  };
  expectError([&] { l->AddCell(QStringLiteral("temp"), 0, 0, 1, 1); },
              QStringLiteral("Cell \"temp\" already exists"));
  expectError([&] { l->AddCell(QStringLiteral("TEMP"), 0, 0, 1, 1); },
              QStringLiteral("Cell \"TEMP\" already exists"));
  expectError([&] { l->AddCell(QStringLiteral("wide"), 0, 0, -1, 1); },
              QStringLiteral("Invalid property error - wide.Width"));
  expectError([&] { l->AddCell(QStringLiteral("flat"), 0, 0, 1, -0.5F); },
              QStringLiteral("Invalid property error - flat.Height"));
  // The failed names stay free.
  EXPECT_NE(l->AddCell(QStringLiteral("wide"), 0, 0, 1, 1), nullptr);
  l->DeleteCell(l->Select(QStringLiteral("wide")));
  TCell* temp = l->Select(QStringLiteral("temp"));
  expectError([&] { temp->SetLeft(3.5F); }, QStringLiteral("Invalid property error - temp.Left"));
  expectError([&] { temp->SetBottom(0.5F); },
              QStringLiteral("Invalid property error - temp.Bottom"));
  EXPECT_EQ(temp->Left(), 1.0F);
  EXPECT_EQ(temp->Bottom(), 3.0F);
  l->Select(QString());
  expectError([&] { l->SplitCellRows(QStringLiteral("x"), {1.0F}); },
              QStringLiteral("Invalid cell"));
  TPrnCells other(nullptr);
  TCell* foreign = other.AddCell(QStringLiteral("temp"), 0, 0, 1, 1);
  expectError([&] { l->DeleteCell(foreign); }, QStringLiteral("Invalid cell"));
  expectError([&] { l->CellName(foreign); }, QStringLiteral("Invalid cell"));
}

TEST(PrintCells, DefaultsReachOnlyLaterCells) {
  Layout l;
  TCell* before = l->AddCell(QStringLiteral("a"), 0, 0, 1, 1);
  l->Select(QString());
  l->SetFont(QStringLiteral("A font name longer than thirty-one characters"), 0xFF, -0.4F,
             TFontStyles{fsBold});
  l->SetAlignment(0);
  l->SetBorders(kSideOutline, 0x00FF00, 0, 3);
  TCell* after = l->AddCell(QStringLiteral("b"), 0, 0, 1, 1);
  EXPECT_EQ(before->Font.Name, QStringLiteral("Arial"));
  EXPECT_EQ(before->HorzAlign, 2);
  EXPECT_EQ(before->Borders[csLeft].Style, kClearBorder);
  EXPECT_EQ(after->Font.Name, QStringLiteral("A font name longer than thirty-"));
  EXPECT_EQ(after->Font.Size, -0.4F);
  EXPECT_EQ(after->HorzAlign, 0);
  for (const TCellBorder& b : after->Borders) {
    EXPECT_EQ(b.Width, 3);
    EXPECT_EQ(b.Style, 0);
  }
  l->Select(QStringLiteral("a;b"));
  l->SetText({QStringLiteral("one")});
  EXPECT_EQ(before->Text(), QStringLiteral("one"));
  EXPECT_EQ(after->Text(), QString());
  l->Clear();
  EXPECT_EQ(l->CellCount(), 0);
  EXPECT_EQ(l->SelectedCount(), 0);
  EXPECT_EQ(l->Defaults().Font.Name, QStringLiteral("Arial"));
  EXPECT_EQ(l->Defaults().HorzAlign, 2);
}

TEST(PrintCells, PixelLayoutsTruncateEdges) {
  Layout l;
  l->SetMeasurement(mtPixels);
  TCell* cell = l->AddCell(QStringLiteral("p"), 10.7F, 5.2F, 20.9F, 3.99F);
  EXPECT_EQ(cell->Left(), 10.0F);
  EXPECT_EQ(cell->Top(), 5.0F);
  EXPECT_EQ(cell->Right(), 30.0F);
  EXPECT_EQ(cell->Bottom(), 8.0F);
}

// ---- Splitting

TEST(PrintCells, SplitsNameAndPlaceTheirCells) {
  Layout l;
  l->AddCell(QStringLiteral("temp"), 2, 2, 13, 13);
  l->SplitCellRows(QStringLiteral("rivit"), {-13.0F, 0.5F});
  ASSERT_EQ(l->CellCount(), 13);
  EXPECT_EQ(l->CellName(l->Cells(0)), QStringLiteral("rivitR1"));
  EXPECT_EQ(l->CellName(l->Cells(12)), QStringLiteral("rivitR13"));
  EXPECT_EQ(l->SelectedCount(), 13);
  EXPECT_EQ(l->Cells(12)->Top(), 8.0F);
  EXPECT_EQ(l->Cells(12)->Bottom(), 8.5F);  // the rest of the base stays uncovered
  EXPECT_EQ(l->Cells(5)->Width(), 13.0F);

  l->Clear();
  l->AddCell(QStringLiteral("temp"), 2, 2, 13, 13);
  l->SplitCellGrid(QStringLiteral("ruudukko"), {-12.0F, 0.8F}, {-12.0F, 0.8F});
  ASSERT_EQ(l->CellCount(), 144);
  EXPECT_EQ(l->CellName(l->Cells(0)), QStringLiteral("ruudukkoR1C1"));
  EXPECT_EQ(l->CellName(l->Cells(13)), QStringLiteral("ruudukkoR2C2"));
  EXPECT_EQ(l->CellName(l->Cells(143)), QStringLiteral("ruudukkoR12C12"));
  EXPECT_NEAR(l->Cells(143)->Right(), 11.6F, 1e-4);
  EXPECT_NEAR(l->Cells(143)->Bottom(), 11.6F, 1e-4);

  // Sizes past the base are cut at its edges; no further rows or columns.
  l->Clear();
  l->AddCell(QStringLiteral("base"), 0, 0, 2, 2);
  l->SplitCellGrid(QStringLiteral("g"), {1.5F, 1.5F, 1.5F}, {1.5F, 1.5F, 1.5F});
  EXPECT_EQ(Names(*l.cells),
            (QStringList{"gR1C1", "gR1C2", "gR2C1", "gR2C2"}));
  EXPECT_EQ(l->Cells(3)->Right(), 2.0F);
  EXPECT_EQ(l->Cells(3)->Bottom(), 2.0F);

  l->Clear();
  l->AddCell(QStringLiteral("base"), 0, 0, 2, 2);
  l->SplitCellGrid(QStringLiteral("one"), {1.0F}, {1.0F});
  EXPECT_EQ(Names(*l.cells), QStringList{QStringLiteral("one")});

  // A fraction layout sizes by parts of the base.
  l->Clear();
  l->SetMeasurement(mtPercentage);
  l->AddCell(QStringLiteral("base"), 0.1F, 0.2F, 0.4F, 0.4F);
  l->SplitCellRows(QStringLiteral("r"), {0.25F, 0.75F});
  ASSERT_EQ(l->CellCount(), 2);
  EXPECT_NEAR(l->Cells(0)->Height(), 0.1F, 1e-6);
  EXPECT_NEAR(l->Cells(1)->Width(), 0.4F, 1e-6);
}

TEST(PrintCells, FailedSplitRemovesItsCellsAndKeepsTheBase) {
  Layout l;
  l->AddCell(QStringLiteral("temp"), 0, 0, 4, 4);
  l->SplitCellRows(QStringLiteral("r"), {-2.0F, 1.0F});
  l->AddCell(QStringLiteral("second"), 0, 0, 4, 4);
  l->AddCell(QStringLiteral("base"), 0, 0, 4, 4);
  const QStringList before = Names(*l.cells);
  try {
    l->SplitCellRows(QStringLiteral("r"), {-3.0F, 1.0F});
    ADD_FAILURE() << "split under a taken name";
  } catch (const ECellError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cell \"rR1\" already exists"));
  }
  EXPECT_EQ(Names(*l.cells), before);
  EXPECT_EQ(SelectedNames(*l.cells), QStringList{QStringLiteral("base")});
  // A later failing name removes the earlier new ones too.
  l->AddCell(QStringLiteral("newC2"), 9, 9, 1, 1);
  l->Select(QStringLiteral("second"));
  EXPECT_THROW(l->SplitCellGrid(QStringLiteral("new"), {1.0F, 1.0F}, {1.0F}), ECellError);
  EXPECT_EQ(l->Select(QStringLiteral("newC1")), nullptr);
  EXPECT_NE(l->Select(QStringLiteral("second")), nullptr);
}

TEST(PrintCells, OutlineFramesTheWholeSelection) {
  Layout l;
  l->AddCell(QStringLiteral("g"), 0, 0, 3, 3);
  l->SplitCellGrid(QStringLiteral("g"), {-3.0F, 1.0F}, {-3.0F, 1.0F});
  l->SetBorders(kSideOutline, 0, 0, 1);
  auto styles = [&](const char* name) {
    const TCell* c = l->Select(QString::fromLatin1(name));
    QString s;
    for (const TCellBorder& b : c->Borders) s += b.Style == kClearBorder ? u'.' : u'#';
    return s;
  };
  EXPECT_EQ(styles("gR1C1"), QStringLiteral("##.."));
  EXPECT_EQ(styles("gR2C2"), QStringLiteral("...."));
  EXPECT_EQ(styles("gR3C3"), QStringLiteral("..##"));
  EXPECT_EQ(styles("gR1C2"), QStringLiteral(".#.."));
  l->SetBorders(kSideLeft | kSideBottom, 0, 1, 2);
  EXPECT_EQ(styles("gR1C2"), QStringLiteral("##.#"));
}

TEST(PrintCells, MeasurementChangeConvertsEdgesAndFontSizes) {
  UseImagePrinter(300);
  Layout l;
  TCell* cell = l->AddCell(QStringLiteral("c"), 2.54F, 0, 2.54F, 1.27F);
  cell->Font.Size = -0.4F;
  l->SetMeasurement(mtPixels);
  EXPECT_NEAR(cell->Left(), 300.0F, 1e-3);
  EXPECT_NEAR(cell->Right(), 600.0F, 1e-3);
  EXPECT_NEAR(cell->Bottom(), 150.0F, 1e-3);
  EXPECT_NEAR(cell->Font.Size, -47.244F, 1e-2);
  l->SetMeasurement(mtPercentage);
  EXPECT_NEAR(cell->Font.Size, -47.244F / 150.0F, 1e-4);  // a part of the cell's height
  l->SetMeasurement(mtCentimeters);
  EXPECT_NEAR(cell->Left(), 2.54F, 1e-4);
  EXPECT_NEAR(cell->Font.Size, -0.4F, 1e-4);
  TCell* flat = l->AddCell(QStringLiteral("flat"), 0, 0, 1, 0);
  flat->Font.Size = 0.3F;
  l->SetMeasurement(mtPercentage);
  EXPECT_EQ(flat->Font.Size, 0.0F);
  SetPrinter(nullptr);
}

// Ink bounds of the page inside r.
TRect InkIn(const QImage& page, const TRect& r) {
  TRect ink{r.Right, r.Bottom, r.Left, r.Top};
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if ((page.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
        ink.Left = std::min(ink.Left, x);
        ink.Top = std::min(ink.Top, y);
        ink.Right = std::max(ink.Right, x + 1);
        ink.Bottom = std::max(ink.Bottom, y + 1);
      }
  return ink;
}

TEST(PrintCells, TextIsPlacedWrappedTurnedAndClipped) {
  TImagePrintBackend* backend = UseImagePrinter(300);
  Layout l;
  l->SetMeasurement(mtPixels);
  l->SetFont(QStringLiteral("Arial"), 0, -40, {});
  const QString words = QStringLiteral("yksi kaksi kolme nelja viisi kuusi");
  l->AddCell(QStringLiteral("right"), 0, 0, 1000, 100)->SetText(QStringLiteral("oikea"));
  l->Select(QStringLiteral("right"));
  l->SetAlignment(1);
  l->AddCell(QStringLiteral("wrap"), 0, 200, 300, 400)->SetText(words);
  l->AddCell(QStringLiteral("cut"), 0, 700, 300, 60)->SetText(words);
  TCell* turned = l->AddCell(QStringLiteral("turned"), 1200, 0, 100, 800);
  turned->SetText(QStringLiteral("pystyyn"));
  turned->VerticalText = true;
  l->Print(QStringLiteral("t"));
  ASSERT_EQ(backend->PageCount(), 1);
  const QImage& page = backend->Page(0);
  const TRect right = InkIn(page, Rect(0, 0, 1000, 100));
  EXPECT_GT(right.Left, 700);
  EXPECT_LE(right.Right, 1000);
  const TRect wrap = InkIn(page, Rect(0, 200, 300, 600));
  EXPECT_GT(wrap.Height(), 70);  // two lines of a 40-pixel font
  EXPECT_LE(wrap.Right, 300);
  const TRect cut = InkIn(page, Rect(0, 690, 300, 800));
  EXPECT_LE(cut.Bottom, 760);  // clipped at the cell's lower edge
  const TRect up = InkIn(page, Rect(1200, 0, 1300, 800));
  EXPECT_GT(up.Height(), 2 * up.Width());
  SetPrinter(nullptr);
}

}  // namespace
