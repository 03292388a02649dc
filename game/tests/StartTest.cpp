// Program start (splash pause, windows made in order) and the editor
// command, which raises a running editor or starts one.
#include "components/ActivApp.h"
#include "components/KvUtils.h"
#include "components/Lumtimag.h"
#include "game/intro.h"
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Screen.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QPoint>

namespace {

TEST(WaitMs, ReturnsOnceTheTickCountHasMovedOnFarEnough) {
  const struct {
    std::uint64_t start;
    int ms;
  } rows[] = {{1000, 2000}, {0xFFFFFF00ull, 2000}, {5000, 0}, {5000, 1}};
  for (const auto& row : rows) {
    std::uint64_t now = row.start;
    int reads = 0;
    SetTickCountHook([&] {
      ++reads;
      return now += 100;
    });
    WaitMs(row.ms);
    SetTickCountHook(nullptr);
    EXPECT_GE(now - row.start - 100, static_cast<std::uint64_t>(row.ms)) << row.start;
    EXPECT_LE(now - row.start, static_cast<std::uint64_t>(row.ms) + 200) << row.start;
  }
}

class Startup : public GameWindowTest {};

TEST_F(Startup, SplashPausesThenTheWindowsAreMadeAndTheSplashGoes) {
  const std::uint64_t begin = ticks;
  SetTickCountHook([this] { return ticks += 50; });
  StartTrovaly(TStartOptions{2000});
  EXPECT_GE(ticks - begin, 2000u);
  EXPECT_EQ(Application->Title(), "Trovaly 1.0");
  ASSERT_NE(Form1, nullptr);
  ASSERT_NE(AboutBox, nullptr);
  ASSERT_NE(Form3, nullptr);
  EXPECT_EQ(Form2, nullptr);
  EXPECT_EQ(Application->MainForm(), Form1);
  EXPECT_FALSE(Form3->Visible());
  // The hand and the fist are ready before any window asks for them.
  EXPECT_EQ(Screen->Cursors(crKvHand).hotSpot(), QPoint(6, 16));
  EXPECT_EQ(Screen->Cursors(crKvDrag).hotSpot(), QPoint(15, 16));
}

TEST_F(Startup, SplashPausesOnlyOnce) {
  TForm2 splash(nullptr);
  EXPECT_EQ(splash.PauseMs(), 2000);
  splash.SetPauseMs(300);
  const std::uint64_t begin = ticks;
  SetTickCountHook([this] { return ticks += 10; });
  splash.FormActivate(&splash);
  EXPECT_TRUE(splash.Paused());
  EXPECT_GE(ticks - begin, 300u);
  const std::uint64_t after = ticks;
  splash.Pause();
  splash.FormActivate(&splash);
  EXPECT_LE(ticks - after, 20u);
}

TEST_F(Startup, SplashShowsItsPictureCentredInTheLoweredPanel) {
  TForm2 splash(nullptr);
  ASSERT_NE(splash.Image1, nullptr);
  EXPECT_EQ(splash.Image1->PicDrawStyle(), dsCenter);
  EXPECT_FALSE(splash.Image1->Transparent());
  const int w = splash.Image1->Picture()->Width();
  const int h = splash.Image1->Picture()->Height();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);
  const TRect inner = splash.Image1->ClientRect();
  EXPECT_EQ(inner, Rect(0, 0, 408, 309));
  const TRect at = splash.Image1->PictureRect();
  EXPECT_EQ(at, Bounds((408 - w) / 2, (309 - h) / 2, w, h));
  splash.Show();
  const QImage shown = splash.PaintToImage();
  // The panel's lowered bevel, then white around the picture.
  EXPECT_EQ(QRgbToColor(shown.pixel(0, 100)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(QRgbToColor(shown.pixel(409, 100)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(QRgbToColor(shown.pixel(1 + at.Left - 1, 1 + at.Top + h / 2)), clWhite);
  EXPECT_EQ(QRgbToColor(shown.pixel(1 + at.Right, 1 + at.Top + h / 2)), clWhite);
  // The picture's own pixels, unscaled.
  TBitmap* picture = splash.Image1->Picture()->Bitmap();
  for (const auto& [x, y] : {std::pair{0, 0}, {w - 1, h - 1}, {w / 2, h / 3}})
    EXPECT_EQ(QRgbToColor(shown.pixel(1 + at.Left + x, 1 + at.Top + y)),
              picture->Canvas()->Pixel(x, y))
        << x << "," << y;
}

// The editor ---------------------------------------------------------------------

#ifdef QX_WINDOW_PEER
// The platform's peer program: publishes one window titled by its argument
// and prints "<msg> <wParam> <lParam>" for every message it gets.
class EditorStandIn : public qxtest::TPeerProcess {
 public:
  explicit EditorStandIn(const QString& title) : TPeerProcess(QStringLiteral(QX_WINDOW_PEER), {title}) {}
};

TEST_F(Startup, EditorCommandRaisesTheRunningEditor) {
  EditorStandIn editor(QStringLiteral("Muokkain"));
  ASSERT_TRUE(editor.ReadLine().startsWith("ready "));
  Start();
  EXPECT_EQ(Form1->ActivApp1->MainFormTitle(), "muokkain");
  Form1->ActivApp1->SetExePath(qxtest::TempPath("nowhere/muokkain"));
  Form1->Muokkain1Click(nullptr);
  EXPECT_EQ(editor.ReadLine(), "1426 0 0");
}
#endif

TEST_F(Startup, EditorCommandStartsTheEditorBesideTheGame) {
  Start();
  EXPECT_EQ(Form1->ActivApp1->ExePath(), QCoreApplication::applicationDirPath() + "/muokkain");
  // A stand-in program at ExePath that leaves a marker.
  const QString marker = qxtest::TempPath("started");
  const QString program = qxtest::TempPath("bin/muokkain");
  qxtest::WriteBytes(program, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
  QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
  Form1->ActivApp1->SetExePath(program);
  Form1->Muokkain1Click(nullptr);
  EXPECT_TRUE(qxtest::WaitForFile(marker));
}

TEST_F(Startup, GameAnswersTheBringToFrontMessage) {
  Start();
  Application->Minimize();
  ASSERT_TRUE(Form1->Widget()->isMinimized());
  TMsg msg;
  msg.message = ActivAppMessage;
  Application->DeliverMessage(msg);
  EXPECT_FALSE(Form1->Widget()->isMinimized());
}

}  // namespace
