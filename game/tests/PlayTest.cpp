// Whole games on the bundled puzzles: open, find every word by mouse drags,
// see the list empty and the end animation start.
#include "components/Lumbtn.h"
#include "components/MRUList.h"
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Label.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

class Play : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    Start();
  }

  // The bundled puzzles' base names, in name order.
  static QStringList Puzzles() {
    QStringList names;
    for (const QFileInfo& f : QDir(PuzzleFolder()).entryInfoList({"*.vrb"}, QDir::Files, QDir::Name))
      names.append(f.completeBaseName());
    return names;
  }

  QList<TPlacedWord> Placement(const QString& base) {
    TPlainCells cells;
    LoadGrid(cells, PuzzlePath(base));
    return PlaceWords(cells, ReadLines(PuzzleFolder() + "/" + base + ".lst"));
  }

  // The recent-files items of the "&Tiedosto" menu (its separator left out).
  static QList<TMenuItem*> RecentItems() {
    TMenuItem* menu = Form1->Tiedosto1;
    TMenuItem* last = FindComponentAs<TMenuItem>(Form1, "Lopeta1");
    QList<TMenuItem*> items;
    for (int i = menu->IndexOf(last) + 1; i < menu->Count(); ++i)
      if (!menu->Items(i)->IsLine()) items.append(menu->Items(i));
    return items;
  }

  void ExpectGameOver() {
    EXPECT_TRUE(WordsLeft().isEmpty());
    EXPECT_TRUE(Form1->Animate1->Visible());
    EXPECT_TRUE(Form1->Animate1->Active());
    EXPECT_TRUE(Running(Form1->Timer3));
    EXPECT_FALSE(Form3->Visible());
  }
};

TEST_F(Play, BundledPuzzlesExist) {
  EXPECT_EQ(Puzzles().size(), 22);
}

TEST_F(Play, EveryWordFoundInAllEightDirections) {
  QSet<QPair<int, int>> directions;
  for (const QString& base : Puzzles()) {
    SCOPED_TRACE(base.toStdString());
    OpenThroughDialog(PuzzlePath(base));
    ASSERT_TRUE(boxes.isEmpty()) << boxes.join(" ").toStdString();
    const QList<TPlacedWord> placed = Placement(base);
    ASSERT_EQ(placed.size(), WordsLeft().size());
    EXPECT_FALSE(Form1->Animate1->Visible());
    // The whole list shows: the word list cannot be scrolled.
    EXPECT_EQ(Form1->RichEdit1->Editor()->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(Form1->RichEdit1->Editor()->horizontalScrollBar()->maximum(), 0);
    // Backwards through the list: order does not matter without "in order".
    QList<TPlacedWord> reversed(placed.rbegin(), placed.rend());
    directions.unite(DragAll(reversed));
    ExpectGameOver();
    // The found letters show the found colour.
    const TPlacedWord& first = placed.first();
    EXPECT_EQ(Form1->stringgrid1->GetCellFont(first.col, first.row)->Color(),
              Form1->State().FoundColor);
  }
  EXPECT_EQ(directions.size(), 8);
}

TEST_F(Play, OpenDialogStartsInTheBundledPuzzles) {
  OpenThroughDialog(PuzzlePath(Puzzles().first()));
  ASSERT_FALSE(dialogFolders.isEmpty());
  EXPECT_EQ(dialogFolders.first(), QDir(PuzzleFolder()).absolutePath());
}

TEST_F(Play, NumbersModeDecodesTheSelections) {
  const QString base = Puzzles().first();
  OpenThroughDialog(PuzzlePath(base));
  const QList<TPlacedWord> placed = Placement(base);
  Form1->Ruudukonsanatmuutetaannumeroiksi1Click(nullptr);
  ASSERT_TRUE(Form1->State().NumbersMode);
  // The grid shows numbers only.
  for (int c = 0; c < GridSize; ++c)
    for (int r = 0; r < GridSize; ++r) {
      bool number = false;
      Form1->stringgrid1->Cells(c, r).toInt(&number);
      EXPECT_TRUE(number) << c << "," << r;
    }
  DragAll(placed);
  ExpectGameOver();
}

TEST_F(Play, WordsInOrderCountOnlyInListOrder) {
  const QString base = Puzzles().first();
  OpenThroughDialog(PuzzlePath(base));
  const QList<TPlacedWord> placed = Placement(base);
  ASSERT_GE(placed.size(), 2);
  Form1->sanatjarjestyksessaClick(nullptr);
  ASSERT_TRUE(Form1->State().InOrder);
  // The second word first: nothing goes.
  const TPlacedWord& second = placed[1];
  Drag(second.col, second.row, second.endCol, second.endRow);
  EXPECT_EQ(WordsLeft().size(), placed.size());
  DragAll(placed);
  ExpectGameOver();
}

TEST_F(Play, RecentFilesPathOpensWithoutTheDialog) {
  const QStringList names = Puzzles();
  OpenThroughDialog(PuzzlePath(names[0]));
  OpenThroughDialog(PuzzlePath(names[1]));
  const QList<TMenuItem*> items = RecentItems();
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->Caption(), PuzzlePath(names[1]));
  EXPECT_EQ(items[1]->Caption(), PuzzlePath(names[0]));
  dialogFolders.clear();
  Guard(Form1, [&] { items[1]->Click(); });
  EXPECT_TRUE(dialogFolders.isEmpty());
  EXPECT_EQ(Form1->State().FileName, PuzzlePath(names[0]));
  EXPECT_EQ(Form1->Caption(), "Trovaly 1.0 - [" + names[0] + "]");
  EXPECT_EQ(Form1->State().PrintTitle, "Trovaly 1.0 - " + names[0]);
  // Nothing moves in the list.
  EXPECT_EQ(RecentItems()[0]->Caption(), PuzzlePath(names[1]));
  DragAll(Placement(names[0]));
  ExpectGameOver();
}

TEST_F(Play, PictureShowsTheCounterAndNudgeButtons) {
  for (const QString& base : Puzzles()) {
    SCOPED_TRACE(base.toStdString());
    OpenThroughDialog(PuzzlePath(base));
    const bool picture = QFileInfo::exists(PuzzleFolder() + "/" + base + ".bmp");
    EXPECT_EQ(Form3->Visible(), picture);
    EXPECT_EQ(Form1->monta->Visible(), picture);
    EXPECT_EQ(Form1->esiinnappi->Visible(), picture);
    EXPECT_EQ(Form1->esiinalas->Visible(), picture);
    EXPECT_EQ(Form1->monta->Caption(),
              picture ? QString::number(WordsLeft().size()) : QString());
  }
}

TEST_F(Play, EndAnimationFollowsTheChoice) {
  const QString base = Puzzles().first();
  struct Row {
    std::function<void()> choose;
    bool plays;
    TColor colour;
    QString clip;
  };
  const QList<Row> rows = {
      {[] { Form1->Tanssivalehm1Click(nullptr); }, true, clWhite, "lehma"},
      {[] { Form1->Vieteriukko1Click(nullptr); }, true, clBlack, "jester"},
      {[] { Form1->Eimitn1Click(nullptr); }, false, clWhite, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.clip.toStdString());
    row.choose();
    OpenThroughDialog(PuzzlePath(base));
    DragAll(Placement(base));
    EXPECT_TRUE(WordsLeft().isEmpty());
    EXPECT_EQ(Form1->Animate1->Visible(), row.plays);
    EXPECT_EQ(Form1->Animate1->Active(), row.plays);
    EXPECT_EQ(Running(Form1->Timer3), row.plays);
    if (row.plays) {
      EXPECT_EQ(Form1->Animate1->Color(), row.colour);
      EXPECT_EQ(Form1->Animate1->ResName(), row.clip);
      // 11 s later the clip stops and stays on show.
      Form1->Timer3->Tick();
      EXPECT_FALSE(Form1->Animate1->Active());
      EXPECT_TRUE(Form1->Animate1->Visible());
      EXPECT_FALSE(Running(Form1->Timer3));
    }
  }
}

TEST_F(Play, AnimationAreaShowsAtStartAndTheFirstOpenHidesIt) {
  EXPECT_TRUE(Form1->Animate1->Visible());
  EXPECT_FALSE(Form1->Animate1->Open());
  OpenThroughDialog(PuzzlePath(Puzzles().first()));
  EXPECT_FALSE(Form1->Animate1->Visible());
}

}  // namespace
