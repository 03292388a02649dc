#include "platform/system/MessageOutbox.h"

#include "platform/system/UnixSocket.h"
#include "tests/support/TestSupport.h"

#include "SystemTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

namespace {

// A receiver that reads only when told to.
class MessageOutboxTest : public testing::Test {
 protected:
  QString path_ = qxtest::TempPath(QStringLiteral("runtime/receiver.sock"));
  std::optional<TUniqueFd> receiver_{BindDatagramSocket(path_)};

  // Posts until the outbox holds count datagrams; returns how many went.
  int PostUntilQueued(std::size_t count) {
    int posted = 0;
    while (QueuedDatagrams(path_) < count) {
      const TPostResult result = PostDatagram(path_, QByteArray::number(posted));
      EXPECT_TRUE(result == TPostResult::Sent || result == TPostResult::Queued);
      if (++posted > int(count) + 100000)
        break;
    }
    return posted;
  }
  // Reads what the socket holds, processing events between reads.
  QList<QByteArray> ReadAll(int expected) {
    QList<QByteArray> got;
    systest::ProcessEventsUntil([&] {
      while (auto d = ReceiveDatagram(receiver_->Get(), 64))
        got.append(*d);
      return got.size() >= expected;
    });
    return got;
  }
};

TEST_F(MessageOutboxTest, WhatTheSocketCannotTakeWaitsAndFollowsInOrder) {
  const int posted = PostUntilQueued(50);
  EXPECT_GT(posted, 50);  // the socket took the first ones
  const QList<QByteArray> got = ReadAll(posted);
  ASSERT_EQ(got.size(), posted);
  for (int i = 0; i < posted; ++i)
    ASSERT_EQ(got[i], QByteArray::number(i));
  EXPECT_EQ(QueuedDatagrams(path_), 0u);
}

TEST_F(MessageOutboxTest, PostsFromAnotherThreadAreSentByTheApplicationsEventLoop) {
  int posted = 0;
  std::thread([&] { posted = PostUntilQueued(30); }).join();
  const QList<QByteArray> got = ReadAll(posted);
  ASSERT_EQ(got.size(), posted);
  EXPECT_EQ(got.back(), QByteArray::number(posted - 1));
}

TEST_F(MessageOutboxTest, AFullQueueRefusesAndShutdownDropsWhatCannotGo) {
  PostUntilQueued(MaxQueuedPerReceiver);
  EXPECT_EQ(PostDatagram(path_, "one too many"), TPostResult::Full);
  EXPECT_EQ(QueuedDatagrams(path_), MaxQueuedPerReceiver);
  EXPECT_EQ(FlushOutbox(0), MaxQueuedPerReceiver);  // the receiver never reads
  EXPECT_EQ(QueuedDatagrams(path_), 0u);
}

TEST(MessageOutbox, NobodyListeningIsGone) {
  EXPECT_EQ(PostDatagram(qxtest::TempPath(QStringLiteral("runtime/none.sock")), "x"),
            TPostResult::Gone);
}

}  // namespace
