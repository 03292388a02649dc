// The time limit: seconds per word from the pop-up menu, the whole limit at
// the start, the expiry at the first tick past it, and the stop.
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Progress.h"
#include "tests/support/TestSupport.h"

#include <QMenu>

namespace {

TEST(TimeLimitFor, ProductWithoutWrapAround) {
  const struct {
    int words;
    std::uint32_t perWord;
    std::uint32_t limit;
  } rows[] = {{12, 90, 1080}, {200, 600, 120000}, {0, 600, 0}, {3, 0, 0}, {1, 30, 30},
              {1000, 600, 600000}, {-1, 60, 0}};
  for (const auto& row : rows)
    EXPECT_EQ(TForm1::TimeLimitFor(row.words, row.perWord), row.limit)
        << row.words << " x " << row.perWord;
}

class TimeLimit : public GameWindowTest {
 protected:
  void SetUp() override {
    GameWindowTest::SetUp();
    Start();
  }

  // A puzzle whose list has the given number of words.
  void OpenWithWords(int count) {
    TPlainCells cells(GridSize, GridSize);
    for (int c = 0; c < GridSize; ++c)
      for (int r = 0; r < GridSize; ++r) cells.SetCell(c, r, "A");
    const QString grid = qxtest::TempPath("aika/aika.vrb");
    qxtest::WriteBytes(grid, "");
    SaveGrid(cells, grid);
    QByteArray list;
    for (int i = 0; i < count; ++i) list += "SANA\r\n";
    qxtest::WriteBytes(qxtest::TempPath("aika/aika.lst"), list);
    OpenThroughDialog(grid);
    ASSERT_EQ(Form1->WordList().Count(), count);
  }

  void Choose(const char* itemName) {
    FindComponentAs<TMenuItem>(Form1, QString::fromLatin1(itemName))->Click();
  }

  // A left click on the time-limit button, as the mouse gives it.
  void ClickTimeButton(Qt::MouseButton button = Qt::LeftButton) {
    QWidget* w = Form1->SpeedButton2->Widget();
    ASSERT_NE(w, nullptr);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held =
          type == QEvent::MouseButtonPress ? Qt::MouseButtons(button) : Qt::NoButton;
      QMouseEvent e(type, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), button, held,
                    Qt::NoModifier);
      QCoreApplication::sendEvent(w, &e);
    }
  }

  // Lets the clock run on by ms, then the one-second timer fires.
  void TickAfter(std::uint64_t ms) {
    ticks += ms;
    Form1->Timer2->Tick();
  }
};

TEST_F(TimeLimit, PopUpEntriesSetSecondsPerWord) {
  const struct {
    const char* item;
    const char* caption;
    std::uint32_t seconds;
  } rows[] = {{"N05min1", "0.5 min.", 30},  {"N10min1", "1.0 min", 60},
              {"N15min1", "1.5 min.", 90},  {"N20min1", "2.0 min.", 120},
              {"N25min1", "2.5 min.", 150}, {"N30min1", "3.0 min.", 180},
              {"N40min1", "4.0 min.", 240}, {"N60min1", "6.0 min.", 360},
              {"N80min1", "8.0 min", 480},  {"N100min1", "10.0 min.", 600}};
  for (const auto& row : rows) {
    auto* item = FindComponentAs<TMenuItem>(Form1, QString::fromLatin1(row.item));
    EXPECT_EQ(item->Caption(), QString::fromLatin1(row.caption));
    item->Click();
    EXPECT_EQ(Form1->State().TimeLimitSeconds, row.seconds) << row.item;
    EXPECT_FALSE(Running(Form1->Timer2));
  }
}

TEST_F(TimeLimit, RightClickOpensThePopUpBelowTheWindowCorner) {
  // A shown menu raises and grabs, which the offscreen platform cannot.
  qxtest::ExpectQtWarning("does not support raise");
  qxtest::ExpectQtWarning("does not support grabbing");
  ClickTimeButton(Qt::RightButton);
  EXPECT_EQ(Form1->PopupMenu1->PopupPoint(), (TPoint{Form1->Left() + 50, Form1->Top() + 70}));
  EXPECT_FALSE(Form1->SpeedButton2->Down());
  EXPECT_FALSE(Running(Form1->Timer2));
  Form1->PopupMenu1->CloseUp();
}

TEST_F(TimeLimit, TwelveWordsAtNinetySecondsEndAfter1080Seconds) {
  OpenWithWords(12);
  Choose("N15min1");
  ClickTimeButton();
  EXPECT_TRUE(Form1->SpeedButton2->Down());
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 1080u);
  EXPECT_EQ(Form1->bar->Max(), 1080);
  ASSERT_TRUE(Running(Form1->Timer2));
  TickAfter(1000);
  EXPECT_EQ(Form1->bar->Position(), 1);
  TickAfter(1079 * 1000 + 999);  // 1080.999 s: not past yet
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_TRUE(Running(Form1->Timer2));
  TickAfter(1);  // 1081 s
  EXPECT_EQ(boxes, QStringList({"AIKA LOPPUI !"}));
  EXPECT_FALSE(Running(Form1->Timer2));
  EXPECT_FALSE(Form1->SpeedButton2->Down());
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 0u);
  EXPECT_EQ(Form1->bar->Position(), 0);
}

TEST_F(TimeLimit, TwoHundredWordsAtTenMinutesDoNotWrap) {
  OpenWithWords(200);
  Choose("N100min1");
  ClickTimeButton();
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 120000u);
  EXPECT_EQ(Form1->bar->Max(), 120000);
  TickAfter(54465 * 1000);  // where a 16-bit limit would have ended
  EXPECT_TRUE(boxes.isEmpty());
  TickAfter((120001 - 54465) * 1000);
  EXPECT_EQ(boxes, QStringList({"AIKA LOPPUI !"}));
}

TEST_F(TimeLimit, StopForgetsTheChoiceSoTheNextStartEndsAfterOneSecond) {
  OpenWithWords(12);
  Choose("N30min1");
  ClickTimeButton();
  ASSERT_TRUE(Running(Form1->Timer2));
  ClickTimeButton();
  EXPECT_FALSE(Form1->SpeedButton2->Down());
  EXPECT_FALSE(Running(Form1->Timer2));
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 0u);
  EXPECT_EQ(Form1->bar->Position(), 0);
  ClickTimeButton();
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 0u);
  TickAfter(999);
  EXPECT_TRUE(boxes.isEmpty());
  TickAfter(1000);
  EXPECT_EQ(boxes, QStringList({"AIKA LOPPUI !"}));
}

TEST_F(TimeLimit, OpeningAPuzzleDoesNotStopTiming) {
  OpenWithWords(12);
  Choose("N10min1");
  ClickTimeButton();
  OpenWithWords(3);
  EXPECT_TRUE(Running(Form1->Timer2));
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 720u);
}

TEST_F(TimeLimit, LastWordFoundStopsTimingSilently) {
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  Choose("N100min1");
  ClickTimeButton();
  ASSERT_TRUE(Running(Form1->Timer2));
  TPlainCells cells;
  LoadGrid(cells, PuzzlePath("kuvaDALMATIALAISET"));
  DragAll(PlaceWords(cells, ReadLines(PuzzleFolder() + "/kuvaDALMATIALAISET.lst")));
  EXPECT_TRUE(WordsLeft().isEmpty());
  EXPECT_FALSE(Running(Form1->Timer2));
  EXPECT_FALSE(Form1->SpeedButton2->Down());
  EXPECT_EQ(Form1->State().TimeLimitSeconds, 0u);
  EXPECT_TRUE(boxes.isEmpty());
}

}  // namespace
