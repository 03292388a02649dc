// Two processes: the test and a peer program that publishes a window and
// prints every message it gets.
#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include "SystemTestSupport.h"
#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

namespace {

using systest::SendQueued;

class WindowPeer : public qxtest::TPeerProcess {
 public:
  explicit WindowPeer(const QString& title) : TPeerProcess(QStringLiteral(QX_WINDOW_PEER), {title}) {}
};

TEST(CrossProcess, FindsThePeerByTitleAndPostsInOrder) {
  WindowPeer peer(QStringLiteral("Muokkain"));
  const QString ready = peer.ReadLine();
  ASSERT_TRUE(ready.startsWith(QStringLiteral("ready "))) << ready.toStdString();

  const HWND wnd = FindWindow(QString(), QStringLiteral("muokkain"));
  ASSERT_NE(wnd, HWND(0));
  EXPECT_EQ(QString::number(wnd), ready.mid(6));
  EXPECT_EQ(ProcessOfHandle(wnd), std::uint32_t(peer.Pid()));

  ASSERT_TRUE(PostMessage(wnd, 1426, 0, 0));
  for (int i = 1; i <= 20; ++i)
    ASSERT_TRUE(PostMessage(wnd, 1426, WPARAM(i), -LPARAM(i) * 1000));
  ASSERT_TRUE(SendQueued(wnd));
  EXPECT_EQ(peer.ReadLine(), QStringLiteral("1426 0 0"));
  for (int i = 1; i <= 20; ++i)
    EXPECT_EQ(peer.ReadLine(), QStringLiteral("1426 %1 %2").arg(i).arg(-i * 1000));
}

TEST(CrossProcess, ABurstLargerThanTheSocketQueueArrivesWholeAndInOrder) {
  WindowPeer peer(QStringLiteral("Muokkain"));
  ASSERT_TRUE(peer.ReadLine().startsWith(QStringLiteral("ready ")));
  const HWND wnd = FindWindow(QString(), QStringLiteral("Muokkain"));
  for (int i = 0; i < 300; ++i)
    ASSERT_TRUE(PostMessage(wnd, WM_USER + 1, WPARAM(i), 0)) << i;
  ASSERT_TRUE(SendQueued(wnd));
  for (int i = 0; i < 300; ++i)
    ASSERT_EQ(peer.ReadLine(), QStringLiteral("1025 %1 0").arg(i));
}

TEST(CrossProcess, TheTitleMustMatchWhole) {
  WindowPeer peer(QStringLiteral("Muokkain - uusi"));
  ASSERT_TRUE(peer.ReadLine().startsWith(QStringLiteral("ready ")));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
  EXPECT_NE(FindWindow(QString(), QStringLiteral("MUOKKAIN - UUSI")), HWND(0));
}

TEST(CrossProcess, APeerThatEndedIsNoLongerFound) {
  HWND wnd = 0;
  {
    WindowPeer peer(QStringLiteral("Muokkain"));
    ASSERT_TRUE(peer.ReadLine().startsWith(QStringLiteral("ready ")));
    wnd = FindWindow(QString(), QStringLiteral("Muokkain"));
    ASSERT_NE(wnd, HWND(0));
    peer.Stop();
    EXPECT_EQ(peer.ExitCode(), 0);
  }
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
  EXPECT_FALSE(PostMessage(wnd, 1426, 0, 0));
}

TEST(CrossProcess, OwnWindowsAndThePeersAreFoundSideBySide) {
  TWindowDirectory dir;
  const HWND own = dir.PublishWindow(1, QStringLiteral("Trovaly 1.0"), true);
  WindowPeer peer(QStringLiteral("Muokkain"));
  ASSERT_TRUE(peer.ReadLine().startsWith(QStringLiteral("ready ")));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("trovaly 1.0")), own);
  EXPECT_EQ(ProcessOfHandle(FindWindow(QString(), QStringLiteral("muokkain"))),
            std::uint32_t(peer.Pid()));
}

}  // namespace
