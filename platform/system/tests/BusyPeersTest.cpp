// Messages between programs that are busy: none is lost while the receiver
// lives, and no PostMessage call waits for the receiver.
#include "platform/system/MessageOutbox.h"
#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include "SystemTestSupport.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include <csignal>

namespace {

// A call that waited for a busy receiver would wait for good (the kernel
// queue of a receiver that reads nothing never gets room); the bound is
// loose, so that a loaded machine's scheduling alone never reaches it.
constexpr long long PostBoundUs = 2 * 1000 * 1000;

class MessagePeer : public qxtest::TPeerProcess {
 public:
  explicit MessagePeer(const QStringList& args)
      : TPeerProcess(QStringLiteral(QX_MESSAGE_PEER), args) {}

  // The numbers of the peer's "result name value ..." line.
  std::map<QString, long long> Result() {
    const QString line = ReadLine();
    std::map<QString, long long> values;
    const QStringList words = line.split(QLatin1Char(' '));
    EXPECT_EQ(words.value(0), QStringLiteral("result")) << line.toStdString();
    for (int i = 1; i + 1 < words.size(); i += 2)
      values[words[i]] = words[i + 1].toLongLong();
    return values;
  }
};

using systest::SendQueued;
using systest::SocketOf;

TEST(BusyPeers, TwoBusyProgramsPostingTenThousandEachLoseNothingAndNeverWait) {
  constexpr int Count = 10000;
  MessagePeer a({QStringLiteral("pair"), QStringLiteral("Pari A"), QStringLiteral("Pari B"),
                 QString::number(Count)});
  MessagePeer b({QStringLiteral("pair"), QStringLiteral("Pari B"), QStringLiteral("Pari A"),
                 QString::number(Count)});
  ASSERT_EQ(a.ReadLine(), QStringLiteral("ready"));
  ASSERT_EQ(b.ReadLine(), QStringLiteral("ready"));
  for (MessagePeer* peer : {&a, &b}) {
    auto result = peer->Result();
    EXPECT_EQ(result[QStringLiteral("posted")], Count);
    EXPECT_EQ(result[QStringLiteral("failed")], 0);
    EXPECT_EQ(result[QStringLiteral("received")], Count);
    EXPECT_EQ(result[QStringLiteral("in_order")], 1);
    EXPECT_LT(result[QStringLiteral("slowest_us")], PostBoundUs);
  }
}

TEST(BusyPeers, MessagesStillQueuedWhenAProgramEndsAreSentAsItEnds) {
  constexpr int Count = 300;
  TWindowDirectory dir;
  std::vector<WPARAM> got;
  dir.OnMessage = [&got](std::uint32_t, UINT, WPARAM wParam, LPARAM) { got.push_back(wParam); };
  dir.PublishWindow(1, QStringLiteral("Vastaanottaja"), true);
  // This process reads nothing until the poster has posted everything.
  MessagePeer poster(
      {QStringLiteral("post"), QStringLiteral("Vastaanottaja"), QString::number(Count)});
  auto result = poster.Result();
  EXPECT_EQ(result[QStringLiteral("posted")], Count);
  EXPECT_GT(result[QStringLiteral("queued")], 0);  // the socket could not take them all
  EXPECT_LT(result[QStringLiteral("slowest_us")], PostBoundUs);
  ASSERT_TRUE(systest::ProcessEventsUntil([&] { return got.size() >= std::size_t(Count); }));
  for (int i = 0; i < Count; ++i)
    ASSERT_EQ(got[std::size_t(i)], WPARAM(i));
  poster.Stop();
  EXPECT_EQ(poster.ExitCode(), 0);
}

TEST(BusyPeers, AStalledReceiverGetsEverythingUpToTheBoundOnceItReads) {
  const QString resume = qxtest::TempPath(QStringLiteral("resume"));
  MessagePeer peer({QStringLiteral("stall"), QStringLiteral("Jumissa"), resume});
  ASSERT_EQ(peer.ReadLine(), QStringLiteral("ready"));
  const HWND wnd = FindWindow(QString(), QStringLiteral("Jumissa"));
  ASSERT_NE(wnd, HWND(0));

  std::size_t posted = 0;
  long long slowestUs = 0;
  QElapsedTimer call;
  for (;;) {
    call.start();
    const bool ok = PostMessage(wnd, WM_USER + 1, WPARAM(posted), 0);
    slowestUs = std::max(slowestUs, call.nsecsElapsed() / 1000);
    if (!ok)
      break;
    ASSERT_LT(++posted, 2 * MaxQueuedPerReceiver);
  }
  EXPECT_EQ(LastPostMessageError(), ERROR_NOT_ENOUGH_QUOTA);
  EXPECT_EQ(QueuedDatagrams(SocketOf(wnd)), MaxQueuedPerReceiver);
  EXPECT_GT(posted, MaxQueuedPerReceiver);  // the socket's own queue took the first few
  EXPECT_LT(slowestUs, PostBoundUs);

  qxtest::WriteBytes(resume, "go");
  ASSERT_TRUE(SendQueued(wnd));
  ASSERT_TRUE(PostMessage(wnd, WM_USER + 2, 0, 0));
  ASSERT_TRUE(SendQueued(wnd));
  auto result = peer.Result();
  EXPECT_EQ(result[QStringLiteral("received")], qint64(posted));
  EXPECT_EQ(result[QStringLiteral("in_order")], 1);
}

TEST(BusyPeers, AReceiverKilledWhileBusyTakesItsQueueWithIt) {
  MessagePeer peer({QStringLiteral("stall"), QStringLiteral("Jumissa"),
                    qxtest::TempPath(QStringLiteral("never"))});
  ASSERT_EQ(peer.ReadLine(), QStringLiteral("ready"));
  const HWND wnd = FindWindow(QString(), QStringLiteral("Jumissa"));
  for (int i = 0; i < 100; ++i)
    ASSERT_TRUE(PostMessage(wnd, WM_USER + 1, WPARAM(i), 0));
  ASSERT_GT(QueuedDatagrams(SocketOf(wnd)), 0u);
  ASSERT_EQ(::kill(pid_t(peer.Pid()), SIGKILL), 0);
  peer.Stop();
  // Its entry is still there; its socket refuses.
  EXPECT_TRUE(SendQueued(wnd));
  EXPECT_FALSE(PostMessage(wnd, WM_USER + 1, 0, 0));
  EXPECT_EQ(LastPostMessageError(), ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
