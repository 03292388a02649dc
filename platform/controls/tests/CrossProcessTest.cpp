// Messages from another program reach the application's handlers and the
// target form's WindowProc.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/system/WindowMessages.h"

#include <QElapsedTimer>
#include <QProcess>

namespace {

class CrossProcessTest : public ControlsTest {
 protected:
  // Runs the posting program and processes events until cond holds.
  static bool PostFromOtherProcess(const QString& title, UINT msg, const std::function<bool()>& cond) {
    QProcess poster;
    poster.start(QStringLiteral(QX_POST_MESSAGE), {title, QString::number(msg), "0", "0"});
    QElapsedTimer bound;
    bound.start();
    // The bound only keeps a broken test from hanging.
    while (!cond() && bound.elapsed() < 20000)
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    poster.waitForFinished(20000);
    EXPECT_EQ(poster.exitCode(), 0);
    return cond();
  }
};

TEST_F(CrossProcessTest, FormIsFoundByItsCaption) {
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Trovaly 1.0"));
  form.HandleNeeded();
  EXPECT_NE(form.WindowHandle(), 0u);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("TROVALY 1.0")), form.WindowHandle());
  form.SetCaption(QStringLiteral("Muokkain"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Trovaly 1.0")), 0u);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("muokkain")), form.WindowHandle());
}

TEST_F(CrossProcessTest, Message1426ArrivesInTheHandlerChain) {
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Trovaly 1.0"));
  form.HandleNeeded();
  TMsg got;
  bool seen = false;
  app->AddMessageHandler([&](TMsg& m, bool& handled) {
    if (m.message != 1426) return;
    got = m;
    seen = true;
    handled = true;
  });
  ASSERT_TRUE(PostFromOtherProcess(QStringLiteral("trovaly 1.0"), 1426, [&] { return seen; }));
  EXPECT_EQ(got.Control, &form);
  EXPECT_EQ(got.hwnd, form.WindowHandle());
}

TEST_F(CrossProcessTest, UnhandledMessageReachesTheFormWindowProc) {
  std::vector<UINT> log;
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Muokkain"));
  form.HandleNeeded();
  TWndMethod previous = form.WindowProc;
  form.WindowProc = TWndMethod([&log, previous](TMessage& m) {
    if (m.Msg == 1426) log.push_back(m.Msg);
    previous(m);
  });
  ASSERT_TRUE(PostFromOtherProcess(QStringLiteral("Muokkain"), 1426, [&] { return !log.empty(); }));
  form.WindowProc = previous;
}

TEST_F(CrossProcessTest, ApplicationWindowKeepsTheTitleWhenTheFormCaptionChanges) {
  app->SetTitle(QStringLiteral("Muokkain"));
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Muokkain"));
  form.HandleNeeded();
  form.SetCaption(QStringLiteral("Muokkain - [elaimet]"));
  ASSERT_NE(app->Handle(), 0u);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("muokkain")), app->Handle());
  TMsg got;
  bool seen = false;
  app->AddMessageHandler([&](TMsg& m, bool& handled) {
    if (m.message != 1426) return;
    got = m;
    seen = true;
    handled = true;
  });
  ASSERT_TRUE(PostFromOtherProcess(QStringLiteral("MUOKKAIN"), 1426, [&] { return seen; }));
  EXPECT_EQ(got.Control, nullptr);
  EXPECT_EQ(got.hwnd, app->Handle());
  app->SetTitle(QStringLiteral("Trovaly 1.0"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("muokkain")), 0u);
}

}  // namespace
