// The scroll bars: shown by ScrollBars only while the cells do not fit,
// taking their room from the client area, and scrolling the grid.
#include "platform/controls/tests/GridsTestSupport.h"

#include <QScrollBar>

namespace {

class GridsScrollTest : public GridsTest {
 protected:
  // The grid's visible scroll bar of that orientation; nullptr if none.
  QScrollBar* Bar(Qt::Orientation o) {
    for (QScrollBar* b : grid->Widget()->findChildren<QScrollBar*>())
      if (b->orientation() == o && b->isVisibleTo(grid->Widget())) return b;
    return nullptr;
  }
};

TEST_F(GridsScrollTest, BarsShowOnlyWhenTheCellsDoNotFit) {
  ShowForm();
  EXPECT_EQ(Bar(Qt::Vertical), nullptr);
  EXPECT_EQ(Bar(Qt::Horizontal), nullptr);
  EXPECT_EQ(grid->ClientWidth(), 200);
  grid->SetRowCount(30);
  QScrollBar* v = Bar(Qt::Vertical);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(Bar(Qt::Horizontal), nullptr);
  EXPECT_EQ(grid->ClientWidth(), 200 - v->width());
  EXPECT_EQ(grid->ClientHeight(), 100);
  EXPECT_EQ(v->minimum(), 1);
  EXPECT_EQ(v->maximum(), 30 - (100 - 11 + 1) / 11);  // the last full page
  grid->SetScrollBars(ssHorizontal);
  EXPECT_EQ(Bar(Qt::Vertical), nullptr);
  EXPECT_EQ(grid->ClientWidth(), 200);
}

TEST_F(GridsScrollTest, TheBarFollowsAndMovesTheTopRow) {
  grid->SetRowCount(30);
  ShowForm();
  QScrollBar* v = Bar(Qt::Vertical);
  ASSERT_NE(v, nullptr);
  for (int i = 0; i < 12; ++i) Key(kKeyDown);
  EXPECT_EQ(v->value(), grid->TopRow());
  EXPECT_GT(grid->TopRow(), 1);
  v->setValue(3);
  EXPECT_EQ(grid->TopRow(), 3);
  EXPECT_EQ(grid->Row(), 13);  // scrolling leaves the current cell
}

TEST_F(GridsScrollTest, NoBarsWithSsNone) {
  grid->SetScrollBars(ssNone);
  grid->SetColCount(30);
  grid->SetRowCount(30);
  ShowForm();
  EXPECT_EQ(Bar(Qt::Vertical), nullptr);
  EXPECT_EQ(Bar(Qt::Horizontal), nullptr);
  EXPECT_EQ(grid->ClientRect(), Rect(0, 0, 200, 100));
}

}  // namespace
