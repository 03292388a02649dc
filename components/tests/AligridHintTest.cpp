// Cell hints through the application's hint machinery (driven directly, no
// waiting for the hint timer) and the chain of show-hint handlers.
#include "components/tests/AligridTestSupport.h"

#include "platform/controls/HintWindow.h"
#include "platform/rtl/ProcessState.h"

#include <QWidget>

namespace {

// 3 x 2 cells of 60 x 30, no fixed cells; hints on two cells.
class AligridHint : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColCount(3);
    grid->SetRowCount(2);
    grid->SetDefaultColWidth(60);
    grid->SetDefaultRowHeight(30);
    grid->SetShowHint(true);
    grid->SetCellHint(0, 0, QStringLiteral("eka"));
    grid->SetCellHint(1, 0, QStringLiteral("toka"));
    form->Show();
  }
  TPoint Middle(int col, int row) {
    const TRect r = grid->CellRect(col, row);
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
  }
  void MoveTo(int col, int row) {
    const TPoint p = Middle(col, row);
    grid->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(p.X, p.Y));
  }
  // What the hint timer does when it expires over the cell.
  void Rest(int col, int row) { app->ActivateHint(grid->ClientToScreen(Middle(col, row))); }
  bool HintShown() const { return app->HintWindow() != nullptr && app->HintWindow()->Visible(); }
  QPoint HintTopLeft() const { return app->HintWindow()->Widget()->geometry().topLeft(); }
  QPoint BelowCell(int col, int row) {
    const TRect r = grid->CellRect(col, row);
    const TPoint p = grid->ClientToScreen({r.Left, r.Bottom + 6});
    return {p.X, p.Y};
  }
};

TEST_F(AligridHint, HintShowsSixPixelsBelowTheCellWithItsText) {
  MoveTo(0, 0);
  ASSERT_EQ(app->HintControl(), grid);
  Rest(0, 0);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("eka"));
  EXPECT_EQ(HintTopLeft(), BelowCell(0, 0));
}

TEST_F(AligridHint, MovingToAnotherCellCancelsAndTheNewCellGetsItsOwnHint) {
  MoveTo(0, 0);
  Rest(0, 0);
  ASSERT_TRUE(HintShown());
  MoveTo(0, 0);  // the same cell: the hint stays
  EXPECT_TRUE(HintShown());
  MoveTo(1, 0);
  EXPECT_FALSE(HintShown());
  EXPECT_EQ(app->HintControl(), grid);  // the application starts over
  Rest(1, 0);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("toka"));
  EXPECT_EQ(HintTopLeft(), BelowCell(1, 0));
}

TEST_F(AligridHint, CellWithoutHintShowsNoneEvenWhenTheGridHasOne) {
  grid->SetHint(QStringLiteral("ruudukko"));
  MoveTo(2, 1);
  Rest(2, 1);
  EXPECT_FALSE(HintShown());
}

TEST_F(AligridHint, WithCellHintsOffTheGridsOwnHintShows) {
  grid->SetHint(QStringLiteral("ruudukko"));
  grid->SetShowCellHints(false);
  MoveTo(0, 0);
  Rest(0, 0);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("ruudukko"));
  EXPECT_NE(HintTopLeft(), BelowCell(0, 0));
}

TEST_F(AligridHint, TwoGridsBothGetTheirCellHints) {
  auto* second = new TStringAlignGrid(form);
  second->SetParent(form);
  second->SetBounds(0, 150, 200, 100);
  second->SetFixedCols(0);
  second->SetFixedRows(0);
  second->SetShowHint(true);
  second->SetCellHint(0, 0, QStringLiteral("toinen"));
  const TRect r = second->CellRect(0, 0);
  second->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(r.Left + 3, r.Top + 3));
  app->ActivateHint(second->ClientToScreen({r.Left + 3, r.Top + 3}));
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("toinen"));
  MoveTo(0, 0);
  Rest(0, 0);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(app->HintWindow()->Caption(), QStringLiteral("eka"));
}

// The chain itself, with an application of its own per test.
class HintChain : public testing::Test {
 protected:
  void TearDown() override { app.reset(); }
  std::unique_ptr<TApplication> app = std::make_unique<TApplication>();
};

TEST_F(HintChain, AHandlerAssignedBeforeTheFirstGridKeepsRunning) {
  int calls = 0;
  app->OnShowHint = [&calls](QString&, bool&, THintInfo&) { ++calls; };
  TForm form(nullptr);
  auto* grid = new TStringAlignGrid(&form);
  EXPECT_EQ(HintChainCount(), 2);
  QString text;
  bool canShow = true;
  THintInfo info;
  app->OnShowHint(text, canShow, info);
  EXPECT_EQ(calls, 1);
  grid->Free();
  EXPECT_EQ(HintChainCount(), 1);
  app->OnShowHint(text, canShow, info);
  EXPECT_EQ(calls, 2);
}

TEST_F(HintChain, DispatchRunsTheLastJoinedFirstAndEachSeesTheOthersText) {
  TObject a, b;
  const char routine = 0;
  JoinHintChain(&a, &routine, [](QString& t, bool&, THintInfo&) { t += QLatin1Char('a'); });
  JoinHintChain(&b, &routine, [](QString& t, bool&, THintInfo&) { t += QLatin1Char('b'); });
  JoinHintChain(&b, &routine, [](QString& t, bool&, THintInfo&) { t += QLatin1Char('c'); });
  QString text;
  bool canShow = true;
  THintInfo info;
  app->OnShowHint(text, canShow, info);
  EXPECT_EQ(text, QStringLiteral("cba"));
  LeaveHintChain(&b, &routine);  // every entry of the pair
  EXPECT_EQ(HintChainCount(), 1);
  text.clear();
  app->OnShowHint(text, canShow, info);
  EXPECT_EQ(text, QStringLiteral("a"));
  LeaveHintChain(&a, &routine);
}

TEST_F(HintChain, TheChainGoesWithTheApplicationAndGivesBackTheOldHandler) {
  int calls = 0;
  app->OnShowHint = [&calls](QString&, bool&, THintInfo&) { ++calls; };
  TObject a;
  const char routine = 0;
  JoinHintChain(&a, &routine, [](QString& t, bool&, THintInfo&) { t = QStringLiteral("x"); });
  ResetProcessState();
  EXPECT_EQ(HintChainCount(), 0);
  QString text;
  bool canShow = true;
  THintInfo info;
  app->OnShowHint(text, canShow, info);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(text.isEmpty());
  LeaveHintChain(&a, &routine);  // nothing left to leave: no effect
  app.reset();
  EXPECT_EQ(HintChainCount(), 0);
  TObject b;
  JoinHintChain(&b, &routine, [](QString&, bool&, THintInfo&) {});  // no application: nothing
  EXPECT_EQ(HintChainCount(), 0);
}

}  // namespace
