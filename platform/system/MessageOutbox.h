#pragma once
// Window messages on their way to other processes. Posting never waits for
// the receiver: while its socket's queue is full, a datagram waits here, in
// a queue of that receiver, behind everything posted to it before, and goes
// out as soon as there is room (from the event loop of the application's
// thread, and on the next post). A queue is dropped only once the
// receiver's socket refuses (the process ended or closed its directory), so
// nothing is lost while the receiver lives. What still waits when the
// QCoreApplication goes away is sent within OutboxFlushBoundMs.

#include <QByteArray>
#include <QString>

#include <cstddef>

// Messages that may wait for one receiver: as many as the receiving side
// itself queues (TWindowDirectory::PostLocal), 32 bytes each.
inline constexpr std::size_t MaxQueuedPerReceiver = 10000;
// The longest shutdown waits for receivers to make room.
inline constexpr int OutboxFlushBoundMs = 2000;
// How often a waiting queue is retried when its receiver gives no sign.
inline constexpr int OutboxRetryMs = 200;

enum class TPostResult {
  Sent,    // in the receiver's socket queue
  Queued,  // waits here for room
  Full,    // MaxQueuedPerReceiver already wait: not posted
  Gone,    // nobody receives at the socket: not posted
};

// Posts one datagram to the socket at socketPath. Safe from any thread.
// Without a QCoreApplication there is no event loop to send it later, so a
// full receiver gives Full.
TPostResult PostDatagram(const QString& socketPath, const QByteArray& datagram);

// How many datagrams wait for the receiver at socketPath.
std::size_t QueuedDatagrams(const QString& socketPath);

// Sends what waits, giving receivers at most boundMs to make room, then
// drops the rest; returns how many were dropped.
std::size_t FlushOutbox(int boundMs = OutboxFlushBoundMs);
