#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include "platform/rtl/GuardedEntry.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/MessageWire.h"
#include "platform/system/UnixSocket.h"
#include "tests/support/TestSupport.h"

#include "SystemTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

struct Received {
  std::uint32_t window;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Received&) const = default;
};

// A directory that records what it receives.
class PostMessageTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_.OnMessage = [this](std::uint32_t w, UINT msg, WPARAM wp, LPARAM lp) {
      got_.push_back({w, msg, wp, lp});
    };
    wnd_ = dir_.PublishWindow(1, QStringLiteral("Trovaly 1.0"), true);
  }
  bool WaitFor(std::size_t count) {
    return systest::ProcessEventsUntil([&] { return got_.size() >= count; });
  }

  TWindowDirectory dir_;
  HWND wnd_ = 0;
  std::vector<Received> got_;
};

TEST_F(PostMessageTest, OwnWindowGetsItFromTheEventLoopInOrder) {
  for (UINT i = 0; i < 5; ++i)
    ASSERT_TRUE(PostMessage(wnd_, WM_USER + i, i, -LPARAM(i)));
  EXPECT_TRUE(got_.empty());  // posted, not sent
  ASSERT_TRUE(WaitFor(5));
  for (UINT i = 0; i < 5; ++i)
    EXPECT_EQ(got_[i], (Received{1, WM_USER + i, i, -LPARAM(i)}));
  systest::ProcessPendingEvents();
  EXPECT_EQ(got_.size(), 5u);
}

TEST_F(PostMessageTest, UnknownWindowsAreRefused) {
  EXPECT_FALSE(PostMessage(0, 1426, 0, 0));
  EXPECT_FALSE(PostMessage(dir_.HandleOf(1) + 1, 1426, 0, 0));
  EXPECT_FALSE(PostMessage(MakeWindowHandle(0, 1), 1426, 0, 0));
  EXPECT_EQ(LastPostMessageError(), ERROR_INVALID_WINDOW_HANDLE);
  systest::ProcessPendingEvents();
  EXPECT_TRUE(got_.empty());
}

TEST_F(PostMessageTest, TheLocalQueueHasALimit) {
  for (int i = 0; i < 10000; ++i)
    ASSERT_TRUE(PostMessage(wnd_, WM_USER, WPARAM(i), 0));
  EXPECT_FALSE(PostMessage(wnd_, WM_USER, 10000, 0));
  EXPECT_EQ(LastPostMessageError(), ERROR_NOT_ENOUGH_QUOTA);
  ASSERT_TRUE(WaitFor(10000));
  EXPECT_EQ(got_.back().wParam, 9999u);
  EXPECT_TRUE(PostMessage(wnd_, WM_USER, 10001, 0));  // room again
  EXPECT_EQ(LastPostMessageError(), ERROR_SUCCESS);
}

TEST_F(PostMessageTest, MessagesForAWindowThatWentAwayAreDropped) {
  const HWND second = dir_.PublishWindow(2, QStringLiteral("Other"), true);
  ASSERT_TRUE(PostMessage(second, 1426, 0, 0));
  ASSERT_TRUE(PostMessage(wnd_, 1426, 1, 1));
  dir_.UnpublishWindow(2);
  ASSERT_TRUE(WaitFor(1));
  systest::ProcessPendingEvents();
  EXPECT_EQ(got_, std::vector<Received>({{1, 1426, 1, 1}}));
}

TEST_F(PostMessageTest, ArrivesThroughTheSocketToo) {
  ResetProcessState();  // no current directory: the message goes by socket
  ASSERT_TRUE(PostMessage(wnd_, 1426, 0, 0));
  ASSERT_TRUE(PostMessage(wnd_, 1427, 2, 3));
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(got_, std::vector<Received>({{1, 1426, 0, 0}, {1, 1427, 2, 3}}));
}

TEST_F(PostMessageTest, MalformedDatagramsAreDroppedAndTheReceiverGoesOn) {
  const QByteArray good = EncodeWireMessage({1, 1426, 7, 8});
  QByteArray badMagic = good;
  badMagic[0] = 'x';
  QByteArray badVersion = good;
  badVersion[4] = 9;
  const QByteArray toUnknownWindow = EncodeWireMessage({99, 1426, 0, 0});
  for (const QByteArray& bad : {QByteArray(), QByteArray("garbage"), good.left(31), good + "x",
                                QByteArray(4096, 'Z'), badMagic, badVersion, toUnknownWindow})
    ASSERT_EQ(SendDatagram(dir_.SocketPath(), bad), 0);
  ASSERT_EQ(SendDatagram(dir_.SocketPath(), good), 0);
  ASSERT_TRUE(WaitFor(1));
  systest::ProcessPendingEvents();
  EXPECT_EQ(got_, std::vector<Received>({{1, 1426, 7, 8}}));
}

QStringList& SinkMessages() {
  static QStringList messages;
  return messages;
}

void RecordInSink(TObject*) {
  try {
    throw;
  } catch (const std::exception& e) {
    SinkMessages().append(QString::fromUtf8(e.what()));
  }
}

// Installs RecordInSink for the scope.
struct RecordingSink {
  RecordingSink() : previous(SetExceptionSink(&RecordInSink)) { SinkMessages().clear(); }
  ~RecordingSink() { SetExceptionSink(previous); }
  TExceptionSink previous;
};

TEST_F(PostMessageTest, AHandlerThatThrowsReachesTheSinkAndDeliveryGoesOn) {
  const RecordingSink sink;
  auto record = dir_.OnMessage;
  dir_.OnMessage = [record](std::uint32_t w, UINT msg, WPARAM wp, LPARAM lp) {
    record(w, msg, wp, lp);
    if (msg == 1)
      throw std::runtime_error("handler failed");
  };
  ASSERT_TRUE(PostMessage(wnd_, 1, 0, 0));
  ASSERT_TRUE(PostMessage(wnd_, 2, 0, 0));
  ASSERT_TRUE(WaitFor(2));
  EXPECT_EQ(got_[1].msg, 2u);
  EXPECT_EQ(SinkMessages(), QStringList{QStringLiteral("handler failed")});
}

TEST_F(PostMessageTest, NestedEventLoopKeepsTheOrder) {
  auto record = dir_.OnMessage;
  dir_.OnMessage = [this, record](std::uint32_t w, UINT msg, WPARAM wp, LPARAM lp) {
    record(w, msg, wp, lp);
    if (msg == 1)  // a modal loop inside the handler
      systest::ProcessPendingEvents();
  };
  ResetProcessState();
  for (UINT i = 1; i <= 4; ++i)
    ASSERT_TRUE(PostMessage(wnd_, i, 0, 0));
  ASSERT_TRUE(WaitFor(4));
  for (UINT i = 1; i <= 4; ++i)
    EXPECT_EQ(got_[i - 1].msg, i);
}

TEST_F(PostMessageTest, MessagesReachAModalLoopInsideAHandler) {
  std::size_t seenInsideModal = 0;
  auto record = dir_.OnMessage;
  dir_.OnMessage = [&, record](std::uint32_t w, UINT msg, WPARAM wp, LPARAM lp) {
    record(w, msg, wp, lp);
    if (msg == 1) {  // a modal loop that waits for the next two messages
      systest::ProcessEventsUntil([&] { return got_.size() >= 3; });
      seenInsideModal = got_.size();
    }
  };
  for (UINT i = 1; i <= 3; ++i)
    ASSERT_TRUE(PostMessage(wnd_, i, 0, 0));
  ASSERT_TRUE(WaitFor(3));
  EXPECT_EQ(seenInsideModal, 3u);
  EXPECT_EQ(got_[1].msg, 2u);
  EXPECT_EQ(got_[2].msg, 3u);
}

}  // namespace
