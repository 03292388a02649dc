#include "platform/system/UnixSocket.h"

#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>

namespace {

QString SocketPath() {
  return qxtest::TempPath(QStringLiteral("runtime/test.sock"));
}

TEST(UnixSocket, DatagramsArriveWholeAndInOrder) {
  const TUniqueFd receiver = BindDatagramSocket(SocketPath());
  EXPECT_TRUE(SocketAnswers(SocketPath()));
  for (const QByteArray& d : {QByteArray("one"), QByteArray(), QByteArray(100, 'x')})
    ASSERT_EQ(SendDatagram(SocketPath(), d), 0);
  EXPECT_EQ(ReceiveDatagram(receiver.Get(), 200), QByteArray("one"));
  EXPECT_EQ(ReceiveDatagram(receiver.Get(), 200), QByteArray());
  EXPECT_EQ(ReceiveDatagram(receiver.Get(), 200), QByteArray(100, 'x'));
  EXPECT_EQ(ReceiveDatagram(receiver.Get(), 200), std::nullopt);
}

TEST(UnixSocket, OversizedDatagramComesBackOneByteTooLong) {
  const TUniqueFd receiver = BindDatagramSocket(SocketPath());
  ASSERT_EQ(SendDatagram(SocketPath(), QByteArray(500, 'y')), 0);
  EXPECT_EQ(ReceiveDatagram(receiver.Get(), 32), QByteArray(33, 'y'));
}

TEST(UnixSocket, NobodyListening) {
  EXPECT_FALSE(SocketAnswers(SocketPath()));
  EXPECT_NE(SendDatagram(SocketPath(), "x"), 0);
  {
    const TUniqueFd gone = BindDatagramSocket(SocketPath());
  }
  ASSERT_TRUE(QFile::exists(SocketPath()));  // the file outlives the socket
  EXPECT_FALSE(SocketAnswers(SocketPath()));
  EXPECT_EQ(SendDatagram(SocketPath(), "x"), ECONNREFUSED);
}

TEST(UnixSocket, AFullQueueRefusesUntilTheReceiverReads) {
  const TUniqueFd receiver = BindDatagramSocket(SocketPath());
  int sent = 0;
  while (SendDatagram(SocketPath(), "m", 0) == 0)
    ASSERT_LT(++sent, 100000);
  EXPECT_EQ(SendDatagram(SocketPath(), "m", 0), EAGAIN);
  ASSERT_TRUE(ReceiveDatagram(receiver.Get(), 8).has_value());
  EXPECT_EQ(SendDatagram(SocketPath(), "m", 0), 0);
}

TEST(UnixSocket, ASenderWaitsForRoomWhileTheReceiverCatchesUp) {
  const TUniqueFd receiver = BindDatagramSocket(SocketPath());
  constexpr int Count = 60;
  std::atomic<int> sent{0};
  std::atomic<bool> failed{false};
  std::thread sender([&] {
    for (int i = 0; i < Count; ++i) {
      if (SendDatagram(SocketPath(), QByteArray::number(i), 20000) != 0) {
        failed = true;
        return;
      }
      ++sent;
    }
  });
  // Start reading only once the queue has filled up behind the sender.
  QElapsedTimer timer;
  timer.start();
  while (sent < 11 && !failed && timer.elapsed() < 20000)
    std::this_thread::yield();
  QList<QByteArray> got;
  while (got.size() < Count && !failed && timer.elapsed() < 20000) {
    if (auto d = ReceiveDatagram(receiver.Get(), 16))
      got.append(*d);
    else
      std::this_thread::yield();
  }
  sender.join();
  ASSERT_FALSE(failed);
  ASSERT_EQ(got.size(), Count);
  for (int i = 0; i < Count; ++i)
    EXPECT_EQ(got[i], QByteArray::number(i));
}

TEST(UnixSocket, TooLongAPathIsAnError) {
  const QString path = qxtest::TempPath(QString(MaxSocketPathLength(), QLatin1Char('s')));
  EXPECT_THROW(BindDatagramSocket(path), EOSError);
  EXPECT_EQ(SendDatagram(path, "x"), ENAMETOOLONG);
  EXPECT_FALSE(SocketAnswers(path));
}

TEST(UnixSocket, BindingReplacesAStaleSocketFile) {
  qxtest::WriteBytes(SocketPath(), "stale");
  const TUniqueFd receiver = BindDatagramSocket(SocketPath());
  EXPECT_TRUE(SocketAnswers(SocketPath()));
}

}  // namespace
