// Grids in form files: published properties and the stored column widths
// and row heights (written only when one differs from the default).
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/GridsTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

class GridsStoreTest : public GridsTest {
 protected:
  static std::unique_ptr<TForm> ReadForm(const QByteArray& text) {
    auto copy = std::make_unique<TForm>(nullptr);
    ReadRootComponent(copy.get(), text, QStringLiteral("grids.form"));
    return copy;
  }
  // A form with one string grid named Grid whose widths and heights are set
  // by the test.
  std::unique_ptr<TForm> PlainForm() {
    auto f = std::make_unique<TForm>(nullptr);
    f->SetName(QStringLiteral("Plain"));
    auto* g = new TStringGrid(f.get());  // owned by the form
    g->SetName(QStringLiteral("Grid"));
    g->SetParent(f.get());
    plain = g;
    return f;
  }
  TStringGrid* plain = nullptr;
};

TEST_F(GridsStoreTest, DefaultSizesWriteNoLists) {
  auto f = PlainForm();
  const QByteArray text = WriteComponentText(f.get());
  EXPECT_FALSE(text.contains("ColWidths"));
  EXPECT_FALSE(text.contains("RowHeights"));
  plain->SetColWidths(2, 80);
  plain->SetColWidths(2, 64);  // back to the default
  EXPECT_FALSE(WriteComponentText(f.get()).contains("ColWidths"));
}

TEST_F(GridsStoreTest, ChangedSizesRoundTrip) {
  auto f = PlainForm();
  plain->SetColCount(3);
  plain->SetColWidths(1, 80);
  plain->SetRowHeights(4, 7);
  const QByteArray text = WriteComponentText(f.get());
  EXPECT_TRUE(text.contains("ColWidths = (\n      64\n      80\n      64)")) << text.toStdString();
  auto copy = ReadForm(text);
  auto* g = FindComponentAs<TStringGrid>(copy.get(), "Grid");
  EXPECT_EQ(g->ColCount(), 3);
  EXPECT_EQ(g->ColWidths(0), 64);
  EXPECT_EQ(g->ColWidths(1), 80);
  EXPECT_EQ(g->RowHeights(4), 7);
  EXPECT_EQ(g->RowHeights(3), 24);
  EXPECT_EQ(WriteComponentText(copy.get()).toStdString(), text.toStdString());
}

TEST_F(GridsStoreTest, FixtureReadsEveryPublishedProperty) {
  RegisterControlClasses();
  auto f = ReadForm(qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("grids.form"))));
  auto* board = FindComponentAs<TStringGrid>(f.get(), "Board");
  EXPECT_EQ(board->ColCount(), 4);
  EXPECT_EQ(board->RowCount(), 3);
  EXPECT_EQ(board->FixedCols(), 0);
  EXPECT_EQ(board->FixedRows(), 1);
  EXPECT_EQ(board->DefaultColWidth(), 30);
  EXPECT_EQ(board->ScrollBars(), ssNone);
  EXPECT_EQ(board->Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                                            goHorzLine, goEditing, goTabs}));
  // Items past the column count are read and left.
  EXPECT_EQ(board->ColWidths(1), 45);
  EXPECT_EQ(board->ColWidths(3), 30);
  EXPECT_EQ(board->RowHeights(1), 12);
  EXPECT_EQ(board->RowHeights(2), 24);
  auto* pictures = FindComponentAs<TDrawGrid>(f.get(), "Pictures");
  EXPECT_EQ(pictures->ClassName(), "TDrawGrid");
  EXPECT_EQ(pictures->FixedColor(), clYellow);
  EXPECT_EQ(pictures->GridLineWidth(), 2);
  EXPECT_FALSE(pictures->DefaultDrawing());
  EXPECT_EQ(pictures->ColCount(), 5);
  // Written again, the lists keep the current counts only.
  auto again = ReadForm(WriteComponentText(f.get()));
  auto* board2 = FindComponentAs<TStringGrid>(again.get(), "Board");
  EXPECT_EQ(board2->ColWidths(1), 45);
  EXPECT_EQ(board2->Options(), board->Options());
  EXPECT_EQ(WriteComponentText(again.get()), WriteComponentText(f.get()));
}

TEST_F(GridsStoreTest, BadSizeListsAreReadErrors) {
  const char* bad[] = {
      "ColWidths = (\n 10\n -4)",
      "RowHeights = 'tall'",
      "ColWidths = (\n 'wide')",
  };
  for (const char* line : bad) {
    const QByteArray text = QByteArray("object Plain: TForm\n  object Grid: TStringGrid\n    ") +
                            line + "\n  end\nend\n";
    EXPECT_THROW(ReadForm(text), EReadError) << line;
  }
}

TEST_F(GridsStoreTest, FixedCountsAboveTheCountAreRefused) {
  const QByteArray text =
      "object Plain: TForm\n  object Grid: TStringGrid\n    ColCount = 2\n    FixedCols = 2\n"
      "  end\nend\n";
  EXPECT_ANY_THROW(ReadForm(text));
}

}  // namespace
