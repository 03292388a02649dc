// Animation control: opening clips (numbered PNG frames and an interval),
// playing through the timer hook, repetitions, seeking, transparency.

#include "platform/controls/Animate.h"

#include "platform/controls/tests/ControlsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <sys/stat.h>

namespace {

// Writes a clip of solid frames (each with a fuchsia top-left corner) to
// folder; returns the folder.
QString WriteClip(const QString& folder, const QList<QRgb>& colours, const QByteArray& interval) {
  QDir().mkpath(folder);
  for (int i = 0; i < colours.size(); ++i) {
    QImage frame(10, 10, QImage::Format_RGB32);
    frame.fill(colours[i]);
    frame.setPixel(0, 0, qRgb(255, 0, 255));
    frame.save(QStringLiteral("%1/%2.png").arg(folder).arg(i + 1, 3, 10, QChar(u'0')));
  }
  if (!interval.isEmpty()) {
    QFile f(folder + QStringLiteral("/interval"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(interval);
  }
  QFile notes(folder + QStringLiteral("/readme.txt"));  // ignored
  EXPECT_TRUE(notes.open(QIODevice::WriteOnly));
  return folder;
}

class AnimateTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterAnimateClasses();
    TTimer::SetTimerHook([this](TTimer* t, bool running, unsigned interval) {
      timer = t;
      timerRunning = running;
      timerInterval = interval;
    });
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 100, 60);
    anim = new TAnimate(form.get());
    anim->SetParent(form.get());
    anim->SetBounds(0, 0, 30, 30);
    anim->SetColor(clWhite);
    clip = WriteClip(QDir::tempPath() + QStringLiteral("/lehma"),
                     {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(0, 0, 0)},
                     "40\n");
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  // The colour at the middle of the control.
  TColor Middle() {
    form->Show();
    return QRgbToColor(form->PaintToImage().pixel(15, 15));
  }
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      ASSERT_NE(timer, nullptr);
      ASSERT_TRUE(timerRunning);
      timer->Tick();
    }
  }

  std::unique_ptr<TForm> form;
  TAnimate* anim = nullptr;
  QString clip;
  TTimer* timer = nullptr;
  bool timerRunning = false;
  unsigned timerInterval = 0;
};

TEST_F(AnimateTest, OpensAClipFolderInNumericOrder) {
  int opened = 0;
  anim->OnOpen = [&opened](TObject*) { ++opened; };
  anim->SetFileName(clip);
  EXPECT_TRUE(anim->Open());
  EXPECT_EQ(anim->FrameCount(), 4);
  EXPECT_EQ(anim->FrameWidth(), 10);
  EXPECT_EQ(anim->FrameInterval(), 40u);
  EXPECT_EQ(anim->CurrentFrame(), 1);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(Middle(), clRed);
}

TEST_F(AnimateTest, WithoutAClipTheControlIsItsColour) {
  EXPECT_FALSE(anim->Open());
  EXPECT_EQ(Middle(), clWhite);
  anim->SetColor(clBlack);
  EXPECT_EQ(Middle(), clBlack);
}

TEST_F(AnimateTest, AMissingClipRaisesAndStaysClosed) {
  EXPECT_THROW(anim->SetResName(QStringLiteral("ei-ole")), EInvalidOperation);
  EXPECT_FALSE(anim->Open());
  EXPECT_THROW(anim->SetActive(true), EInvalidOperation);
  EXPECT_FALSE(anim->Active());
}

TEST_F(AnimateTest, ActivePlaysThroughTheTimerAndLoopsForever) {
  anim->SetFileName(clip);
  QStringList log;
  anim->OnStart = [&log](TObject*) { log << "start"; };
  anim->OnStop = [&log](TObject*) { log << "stop"; };
  anim->SetActive(true);
  EXPECT_TRUE(timerRunning);
  EXPECT_EQ(timerInterval, 40u);
  EXPECT_EQ(Middle(), clRed);
  Tick();
  EXPECT_EQ(Middle(), clLime);
  Tick(3);
  EXPECT_EQ(anim->CurrentFrame(), 1);  // round again
  Tick(8);
  EXPECT_TRUE(anim->Active());
  anim->SetActive(false);
  EXPECT_FALSE(timerRunning);
  EXPECT_EQ(log, (QStringList{"start", "stop"}));
}

TEST_F(AnimateTest, RepetitionsStopOnTheLastFrame) {
  anim->SetFileName(clip);
  anim->SetStartFrame(2);
  anim->SetStopFrame(3);
  anim->SetRepetitions(2);
  int stops = 0;
  anim->OnStop = [&stops](TObject*) { ++stops; };
  anim->SetActive(true);
  EXPECT_EQ(anim->CurrentFrame(), 2);
  Tick(3);  // 3, 2, 3
  EXPECT_EQ(anim->CurrentFrame(), 3);
  EXPECT_TRUE(anim->Active());
  Tick();
  EXPECT_FALSE(anim->Active());
  EXPECT_FALSE(timerRunning);
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(Middle(), clBlue);
}

TEST_F(AnimateTest, PlayChecksItsFrames) {
  anim->SetFileName(clip);
  EXPECT_THROW(anim->Play(0, 2, 1), EInvalidOperation);
  EXPECT_THROW(anim->Play(1, 5, 1), EInvalidOperation);
  EXPECT_THROW(anim->Play(3, 2, 1), EInvalidOperation);
  EXPECT_FALSE(anim->Active());
  anim->Play(4, 4, 1);
  EXPECT_EQ(Middle(), clBlack);
  Tick();
  EXPECT_FALSE(anim->Active());
}

TEST_F(AnimateTest, SeekStopsAndShowsTheFrame) {
  anim->SetFileName(clip);
  anim->SetActive(true);
  anim->Seek(3);
  EXPECT_FALSE(anim->Active());
  EXPECT_EQ(Middle(), clBlue);
  EXPECT_THROW(anim->Seek(9), EInvalidOperation);
}

TEST_F(AnimateTest, StopFramePastTheClipIsCutToIt) {
  anim->SetStopFrame(8);
  anim->SetFileName(clip);
  EXPECT_EQ(anim->StopFrame(), 4);
}

TEST_F(AnimateTest, TransparentShowsTheColourForTheCornerColour) {
  anim->SetBounds(0, 0, 10, 10);  // frame at (0, 0)
  anim->SetColor(clAqua);
  anim->SetFileName(clip);
  form->Show();
  EXPECT_EQ(QRgbToColor(form->PaintToImage().pixel(0, 0)), clAqua);
  anim->SetTransparent(false);
  EXPECT_EQ(QRgbToColor(form->PaintToImage().pixel(0, 0)), clFuchsia);
}

TEST_F(AnimateTest, ClosingStopsAndEmpties) {
  anim->SetFileName(clip);
  anim->SetActive(true);
  anim->SetOpen(false);
  EXPECT_FALSE(anim->Active());
  EXPECT_EQ(anim->FrameCount(), 0);
  EXPECT_EQ(Middle(), clWhite);
}

TEST_F(AnimateTest, DefaultIntervalWithoutAnIntervalFile) {
  const QString other = WriteClip(QDir::tempPath() + QStringLiteral("/narri"),
                                  {qRgb(1, 2, 3)}, QByteArray());
  anim->SetFileName(other);
  EXPECT_EQ(anim->FrameInterval(), 100u);
}

// Opening a FIFO would wait for a writer that never comes.
TEST_F(AnimateTest, AnIntervalThatIsNoRegularFileGivesTheDefaultWithoutWaiting) {
  const QString fifo = WriteClip(QDir::tempPath() + QStringLiteral("/fifo"), {qRgb(1, 2, 3)}, {});
  ASSERT_EQ(::mkfifo((fifo + QStringLiteral("/interval")).toLocal8Bit().constData(), 0600), 0);
  const QString folder = WriteClip(QDir::tempPath() + QStringLiteral("/folder"), {qRgb(1, 2, 3)}, {});
  ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/interval")));
  for (const QString& clipFolder : {fifo, folder}) {
    anim->SetFileName(clipFolder);
    EXPECT_TRUE(anim->Open());
    EXPECT_EQ(anim->FrameInterval(), 100u);
  }
}

TEST_F(AnimateTest, FormFileStartsPlayingOnceLoaded) {
  const QByteArray text = "object Sivu: TForm\n"
                          "  object Animate1: TAnimate\n"
                          "    Active = True\n    StopFrame = 2\n    FileName = '" +
                          clip.toUtf8() +
                          "'\n"
                          "  end\n"
                          "end\n";
  ReadRootComponent(form.get(), text, QStringLiteral("sivu.form"));
  auto* a = FindComponentAs<TAnimate>(form.get(), QStringLiteral("Animate1"));
  EXPECT_TRUE(a->Open());
  EXPECT_TRUE(a->Active());
  EXPECT_EQ(a->StopFrame(), 2);
}

}  // namespace

namespace {

TEST_F(AnimateTest, ResNameOpensAClipOfTheResources) {
  if (!QFile::exists(QStringLiteral(":/anim/testclip/1.png")))
    GTEST_SKIP() << "std_controls_tests.qrc is not built into this binary";
  anim->SetResName(QStringLiteral("testclip"));
  EXPECT_EQ(anim->FrameCount(), 2);
  EXPECT_EQ(anim->FrameInterval(), 50u);
  EXPECT_EQ(anim->FileName(), QString());
  anim->SetTransparent(false);
  EXPECT_EQ(Middle(), clRed);
  anim->Seek(2);
  EXPECT_EQ(Middle(), clBlue);
}

}  // namespace
