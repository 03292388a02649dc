// The aligned grid's stored properties: every one through a form file and
// back, the present flags, the older colour names, and corrupt records.
#include "components/tests/AligridTestSupport.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/rtl/Exceptions.h"

namespace {

const char* const kAllNames[] = {
    "AlignCell",     "AlignCol",      "FixedAlignCol",  "AlignRow",      "FixedAlignRow",
    "EditCell",      "EditCol",       "EditRow",        "HintCell",      "Cells",
    "FontCell",      "FontCol",       "FontFixedCol",   "FontRow",       "FontFixedRow",
    "BrushCell",     "BrushCol",      "BrushFixedCol",  "BrushRow",      "BrushFixedRow",
    "ColorCell",     "ColorCol",      "ColorFixedCol",  "ColorRow",      "ColorFixedRow",
    "SelectedColorCell", "SelectedColorCol", "SelectedColorRow"};

// Every stored property, each with entries inside a 5 x 5 grid.
const QByteArray kEverything =
    "  AlignCell = { 0100010002 }\n"
    "  AlignCol = { 020000 }\n"
    "  FixedAlignCol = { 000002 }\n"
    "  AlignRow = { 030002 }\n"
    "  FixedAlignRow = { 000000 }\n"
    "  EditCell = { 0200020000 }\n"
    "  EditCol = { 030000 }\n"
    "  EditRow = { 040000 }\n"
    "  HintCell = ( 1 1 'eka' 2 3 'toinen vihje' )\n"
    "  Cells = ( 1 1 'A' 4 4 #214 )\n"
    "  FontCell = ( 1 2 255 -16 'Arial' 2 5 )\n"
    "  FontCol = ( 3 65280 -11 'Times New Roman' 1 2 )\n"
    "  FontFixedCol = ( 0 16711680 -13 'Courier New' 0 8 )\n"
    "  FontRow = ( 2 128 -20 'Arial' 0 1 )\n"
    "  FontFixedRow = ( 0 32768 -9 'Arial' 0 0 )\n"
    "  BrushCell = ( 2 2 65280 0 )\n"
    "  BrushCol = ( 4 255 2 )\n"
    "  BrushFixedCol = ( 0 8421504 0 )\n"
    "  BrushRow = ( 1 12632256 6 )\n"
    "  BrushFixedRow = ( 0 8388608 1 )\n"
    "  SelectedColorCell = ( 1 1 255 )\n"
    "  SelectedColorCol = ( 2 65280 )\n"
    "  SelectedColorRow = ( 3 16711680 )\n";

void Load(TStringAlignGrid* grid, const QByteArray& body) {
  ReadRootComponent(grid, "object Grid: TStringAlignGrid\n" + body + "end\n",
                    QStringLiteral("grid.form"));
}

// What the grid shows of one cell, as text, for comparing two grids.
QString Describe(TStringAlignGrid* g, int c, int r) {
  const TFont* f = g->ResolveCellFont(c, r);
  const TBrush* b = g->ResolveCellBrush(c, r);
  return QStringLiteral("%1 %2 [%3 %4 %5 %6 %7] [%8 %9] %10 %11 '%12' '%13'")
      .arg(static_cast<int>(g->GetCellAlignment(c, r)))
      .arg(g->GetCellEditable(c, r))
      .arg(f->Color())
      .arg(f->Height())
      .arg(f->Name())
      .arg(static_cast<int>(f->Pitch()))
      .arg(f->Style().Bits())
      .arg(b->Color())
      .arg(static_cast<int>(b->Style()))
      .arg(g->ResolveSelectedCellColor(c, r))
      .arg(g->ResolveSelectedFontColor(c, r))
      .arg(g->GetCellHint(c, r), g->Cells(c, r));
}

class AligridStore : public AligridTest {
 protected:
  TStringAlignGrid* NewGrid() {
    auto* g = new TStringAlignGrid(form);
    g->SetColCount(5);
    g->SetRowCount(5);
    g->SetFixedCols(1);
    g->SetFixedRows(1);
    return g;
  }
};

TEST_F(AligridStore, EveryStoredPropertyRoundTrips) {
  TStringAlignGrid* first = NewGrid();
  Load(first, kEverything);
  EXPECT_EQ(first->GetCellAlignment(1, 1), TMyAlign::alCenter);
  EXPECT_EQ(first->ResolveCellFont(1, 2)->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(first->ResolveCellFont(1, 2)->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(first->Cells(4, 4), QStringLiteral("Ö"));

  const QByteArray text = WriteComponentText(first);
  for (const char* name : kAllNames) {
    const bool written = text.contains("\n  " + QByteArray(name) + " = ");
    EXPECT_EQ(written, !QByteArray(name).startsWith("Color")) << name << "\n" << text.constData();
  }
  TStringAlignGrid* second = NewGrid();
  ReadRootComponent(second, text, QStringLiteral("again.form"));
  for (int c = -1; c <= 5; ++c)
    for (int r = -1; r <= 5; ++r)
      EXPECT_EQ(Describe(second, c, r), Describe(first, c, r)) << c << "," << r;
  const QByteArray again = WriteComponentText(second);  // named Grid_1: compare after the name
  EXPECT_EQ(again.mid(again.indexOf('\n')), text.mid(text.indexOf('\n')));
}

TEST_F(AligridStore, FormWithAGridKeepsItsPublishedProperties) {
  const QByteArray formText =
      "object Lomake: TForm\n"
      "  object Ruudukko: TStringAlignGrid\n"
      "    Alignment = alCenter\n"
      "    Editable = False\n"
      "    FixedColor = clRed\n"
      "    ShowCellHints = False\n"
      "    SelectedCellColor = clLime\n"
      "    SelectedFontColor = clBlack\n"
      "    AutoEditNextCell = True\n"
      "    NextCellEdit = nc_downleft\n"
      "    NextCellTab = nc_upright\n"
      "    AfterLastCellEdit = lc_stop\n"
      "    AfterLastCellTab = lc_newcolrow\n"
      "    DrawSelection = False\n"
      "  end\n"
      "end\n";
  TForm target(nullptr);
  ReadRootComponent(&target, formText, QStringLiteral("lomake.form"));
  auto* g = dynamic_cast<TStringAlignGrid*>(target.FindComponent(QStringLiteral("Ruudukko")));
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Alignment(), TMyAlign::alCenter);
  EXPECT_FALSE(g->Editable());
  EXPECT_EQ(g->FixedColor(), clRed);
  EXPECT_EQ(g->FixedBrush()->Color(), clRed);
  EXPECT_FALSE(g->ShowCellHints());
  EXPECT_EQ(g->SelectedCellColor(), clLime);
  EXPECT_EQ(g->SelectedFontColor(), clBlack);
  EXPECT_TRUE(g->AutoEditNextCell());
  EXPECT_EQ(g->NextCellEdit(), nc_downleft);
  EXPECT_EQ(g->NextCellTab(), nc_upright);
  EXPECT_EQ(g->AfterLastCellEdit(), lc_stop);
  EXPECT_EQ(g->AfterLastCellTab(), lc_newcolrow);
  EXPECT_FALSE(g->DrawSelection());

  const QByteArray written = WriteComponentText(&target);
  qsizetype last = -1;
  for (const char* name : {"Alignment", "Editable", "ShowCellHints", "SelectedCellColor",
                           "SelectedFontColor", "AutoEditNextCell", "NextCellEdit", "NextCellTab",
                           "AfterLastCellEdit", "AfterLastCellTab", "DrawSelection"}) {
    const qsizetype at = written.indexOf(QByteArray("    ") + name + " = ");
    EXPECT_GT(at, last) << name << "\n" << written.constData();
    last = at;
  }
}

TEST_F(AligridStore, DefaultsAreNotWritten) {
  TStringAlignGrid* g = NewGrid();
  const QByteArray text = WriteComponentText(g);
  for (const char* name : {"Alignment", "Editable", "FixedColor", "ShowCellHints",
                           "SelectedCellColor", "SelectedFontColor", "AutoEditNextCell",
                           "NextCellEdit", "NextCellTab", "AfterLastCell", "DrawSelection"})
    EXPECT_FALSE(text.contains(QByteArray(name) + " = ")) << name << "\n" << text.constData();
}

TEST_F(AligridStore, AGridThatNeverHadStoredDataWritesNone) {
  TStringAlignGrid* g = NewGrid();
  g->SetCellColor(1, 1, clRed);
  g->GetCellFont(2, 2)->SetSize(20);
  g->GetColBrush(3)->SetColor(clBlue);
  g->SetCells(1, 1, QStringLiteral("x"));
  const QByteArray text = WriteComponentText(g);
  for (const char* name : kAllNames)
    EXPECT_FALSE(text.contains("\n  " + QByteArray(name) + " = ")) << name << "\n" << text.constData();
}

TEST_F(AligridStore, SettingAHintMakesHintsStoredEvenWhenEmpty) {
  TStringAlignGrid* g = NewGrid();
  g->SetCellHint(1, 1, QString());
  const QByteArray text = WriteComponentText(g);
  EXPECT_TRUE(text.contains("HintCell = ")) << text.constData();
}

TEST_F(AligridStore, CellFontIsWrittenOnlyOnceItDiffersFromANewFont) {
  TStringAlignGrid* g = NewGrid();
  TFont fresh;
  g->Font()->Assign(&fresh);
  Load(g, "  FontCell = ( 4 4 255 -16 'Arial' 0 0 )\n");  // the table is stored
  TMyFont* font = g->GetCellFont(2, 3);
  EXPECT_FALSE(font->IsChanged());
  TStringAlignGrid* before = NewGrid();
  ReadRootComponent(before, WriteComponentText(g), QStringLiteral("before.form"));
  EXPECT_EQ(before->ResolveCellFont(2, 3), before->Font());  // not written
  font->SetSize(14);
  EXPECT_TRUE(font->IsChanged());
  TStringAlignGrid* again = NewGrid();
  ReadRootComponent(again, WriteComponentText(g), QStringLiteral("again.form"));
  EXPECT_EQ(again->ResolveCellFont(2, 3)->Height(), font->Height());
  EXPECT_EQ(again->ResolveCellFont(2, 3)->Name(), font->Name());
}

TEST_F(AligridStore, CellFontCopiedFromAnotherGridFontIsWrittenUnchanged) {
  TStringAlignGrid* g = NewGrid();
  g->Font()->SetName(QStringLiteral("Courier New"));
  Load(g, "  FontCell = ( 4 4 255 -16 'Arial' 0 0 )\n");
  EXPECT_TRUE(g->GetCellFont(2, 3)->IsChanged());
  TStringAlignGrid* again = NewGrid();
  ReadRootComponent(again, WriteComponentText(g), QStringLiteral("again.form"));
  EXPECT_EQ(again->ResolveCellFont(2, 3)->Name(), QStringLiteral("Courier New"));
}

// A font stored with a new font's values is written back too (it was
// stored, so it still overrides the grid's font after the next load).
TEST_F(AligridStore, StoredFontWithDefaultValuesSurvivesTwoRoundTrips) {
  TStringAlignGrid* g = NewGrid();
  g->Font()->SetName(QStringLiteral("Courier New"));
  const TFont fresh;
  Load(g, QStringLiteral("  FontCell = ( 2 2 %1 %2 '%3' 0 0 )\n")
              .arg(fresh.Color())
              .arg(fresh.Height())
              .arg(fresh.Name())
              .toUtf8());
  TStringAlignGrid* again = NewGrid();
  again->Font()->SetName(QStringLiteral("Courier New"));
  ReadRootComponent(again, WriteComponentText(g), QStringLiteral("again.form"));
  EXPECT_EQ(again->ResolveCellFont(2, 2)->Name(), fresh.Name());
}

TEST_F(AligridStore, OlderColourPropertiesBecomeBrushes) {
  TStringAlignGrid* g = NewGrid();
  Load(g,
       "  ColorCell = ( 2 2 255 )\n"
       "  ColorCol = ( 3 65280 )\n"
       "  ColorFixedCol = ( 0 16711680 )\n"
       "  ColorRow = ( 4 128 )\n"
       "  ColorFixedRow = ( 0 32768 )\n");
  EXPECT_EQ(g->GetCellColor(2, 2), 255);
  EXPECT_EQ(g->GetCellColor(3, 1), 65280);
  EXPECT_EQ(g->GetCellColor(0, 1), 16711680);
  EXPECT_EQ(g->GetCellColor(1, 4), 128);
  EXPECT_EQ(g->GetCellColor(1, 0), 32768);
  const QByteArray text = WriteComponentText(g);
  for (const char* name : {"BrushCell", "BrushCol", "BrushFixedCol", "BrushRow", "BrushFixedRow"})
    EXPECT_TRUE(text.contains(QByteArray(name) + " = ")) << name << "\n" << text.constData();
  EXPECT_FALSE(text.contains("\n  ColorCell = ")) << text.constData();
}

// Even a colour equal to a new brush's is kept: it was stored.
TEST_F(AligridStore, OlderColourEqualToANewBrushIsStillWrittenBack) {
  TStringAlignGrid* g = NewGrid();
  g->SetColor(clWhite);
  Load(g, "  ColorCell = ( 2 2 16777215 )\n");
  TStringAlignGrid* again = NewGrid();
  ReadRootComponent(again, WriteComponentText(g), QStringLiteral("again.form"));
  again->SetColor(clYellow);
  EXPECT_EQ(again->GetCellColor(2, 2), clWhite);
  EXPECT_EQ(again->GetCellColor(3, 3), clYellow);
}

TEST_F(AligridStore, RecordsBeyondTheCountsWaitForTheGridToGrow) {
  TStringAlignGrid* g = NewGrid();
  Load(g, "  AlignCell = { 0900090002 0100010000 }\n");
  EXPECT_EQ(g->GetCellAlignment(9, 9), TMyAlign::alCenter);
  EXPECT_FALSE(WriteComponentText(g).contains("09000900")) << WriteComponentText(g).constData();
  g->SetColCount(10);
  g->SetRowCount(10);
  EXPECT_TRUE(WriteComponentText(g).contains("0900090002")) << WriteComponentText(g).constData();
}

TEST_F(AligridStore, EmptyBlockLeavesItsTableUnstored) {
  TStringAlignGrid* g = NewGrid();
  Load(g, "  AlignCol = { }\n");
  EXPECT_FALSE(WriteComponentText(g).contains("AlignCol"));
}

TEST_F(AligridStore, ColumnAndRowNumbersAreTakenModulo65536) {
  TStringAlignGrid* g = NewGrid();
  Load(g, "  HintCell = ( 65537 65538 'kierros' )\n");
  EXPECT_EQ(g->GetCellHint(1, 2), QStringLiteral("kierros"));
}

TEST_F(AligridStore, LoadedCellsReplaceEveryText) {
  TStringAlignGrid* g = NewGrid();
  g->SetCells(3, 3, QStringLiteral("vanha"));
  Load(g, "  Cells = ( 1 2 'uusi' )\n");
  EXPECT_EQ(g->Cells(1, 2), QStringLiteral("uusi"));
  EXPECT_EQ(g->Cells(3, 3), QString());
}

struct CorruptCase {
  const char* property;
};

class AligridCorrupt : public AligridStore, public testing::WithParamInterface<CorruptCase> {};

// Each bad value raises EReadError; the grid keeps what it had.
TEST_P(AligridCorrupt, IsAReadErrorAndChangesNothing) {
  TStringAlignGrid* g = NewGrid();
  Load(g, "  AlignCell = { 0100010002 }\n  HintCell = ( 1 1 'ennen' )\n");
  EXPECT_THROW(Load(g, QByteArray("  ") + GetParam().property + "\n"), EReadError);
  EXPECT_EQ(g->GetCellAlignment(1, 1), TMyAlign::alCenter);
  EXPECT_EQ(g->GetCellHint(1, 1), QStringLiteral("ennen"));
  EXPECT_EQ(g->GetCellAlignment(2, 2), TMyAlign::alLeft);
  EXPECT_EQ(g->ResolveCellFont(2, 2), g->Font());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AligridCorrupt,
    testing::Values(CorruptCase{"AlignCell = { 0200020000 0100 }"},   // truncated
                    CorruptCase{"AlignCell = { 0100010003 }"},        // no such alignment
                    CorruptCase{"AlignCol = { 0200 }"},               // truncated
                    CorruptCase{"EditCell = { 0200020002 }"},         // not 0 or 1
                    CorruptCase{"HintCell = ( 1 1 'uusi' 2 )"},      // item cut short
                    CorruptCase{"FontCell = ( 2 2 255 -16 'Arial' 3 0 )"},  // pitch
                    CorruptCase{"FontCol = ( 2 255 -16 'Arial' )"},  // record cut short
                    CorruptCase{"BrushCell = ( 2 2 255 8 )"},         // brush style
                    CorruptCase{"BrushRow = ( 2 255 -1 )"},
                    CorruptCase{"AlignCell = ( 1 1 2 )"},             // list for a block
                    CorruptCase{"HintCell = { 00 }"}));                // block for a list

}  // namespace
