#pragma once
// Unix-domain datagram sockets named by a path: the transport of window
// messages between processes. A datagram keeps its boundaries and the
// kernel delivers datagrams of one sender in order.

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class QSocketNotifier;
class QTimer;

// Owns one file descriptor.
class TUniqueFd {
 public:
  TUniqueFd() = default;
  explicit TUniqueFd(int fd) : fd_(fd) {}
  TUniqueFd(TUniqueFd&& other) noexcept : fd_(other.Release()) {}
  TUniqueFd& operator=(TUniqueFd&& other) noexcept;
  TUniqueFd(const TUniqueFd&) = delete;
  TUniqueFd& operator=(const TUniqueFd&) = delete;
  ~TUniqueFd();

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release();

 private:
  int fd_ = -1;
};

// The longest socket path the kernel accepts (bytes, without the NUL).
int MaxSocketPathLength();

// A non-blocking datagram socket bound to path (a stale socket file left at
// the path is replaced). Raises EOSError on failure.
TUniqueFd BindDatagramSocket(const QString& path);

// A non-blocking datagram socket connected to the receiver bound at path,
// so that poll() tells when the receiver's queue has room. Invalid, with
// error set to the errno, on failure.
TUniqueFd ConnectDatagramSocket(const QString& path, int& error);

// Sends one datagram on a connected socket without waiting. Returns 0 or
// the errno (EAGAIN: the receiver's queue is full; ECONNREFUSED: the
// receiver is gone).
int SendConnected(int fd, const QByteArray& datagram);

// Waits up to waitMs for a connected socket to take a datagram; true when it
// may (or has an error to report on the next send).
bool WaitWritable(int fd, int waitMs);

// Sends one datagram. The kernel queues only a few unread datagrams per
// receiver (net.unix.max_dgram_qlen, 10 by default); while that queue is
// full the call waits for room, up to waitMs (0: not at all). Returns 0 or
// the errno of the failure (ECONNREFUSED: nobody listens; EAGAIN: the queue
// stayed full).
int SendDatagram(const QString& path, const QByteArray& datagram, int waitMs = 0);

// True when a socket is bound and listening at path (nothing is sent).
bool SocketAnswers(const QString& path);

// Takes the next pending datagram of a non-blocking socket; nullopt when
// none waits. A datagram longer than maxSize comes back cut to maxSize + 1
// bytes so the caller sees it as too long.
std::optional<QByteArray> ReceiveDatagram(int fd, int maxSize);

// Calls onWritable from the event loop of the application's thread while
// enabled: when the connected socket fd has room again, and every retryMs
// besides (a receiver that closes its socket need not wake a waiting
// sender). Made and enabled from any thread; disabled and destroyed in the
// application's thread only, so a QCoreApplication must exist. An exception
// from onWritable is logged and goes no further.
class TWritableWatch {
 public:
  TWritableWatch(int fd, int retryMs, std::function<void()> onWritable);
  ~TWritableWatch();
  TWritableWatch(const TWritableWatch&) = delete;
  TWritableWatch& operator=(const TWritableWatch&) = delete;

  void Enable();
  void Disable();

 private:
  void EnableHere();

  int fd_;
  int retryMs_;
  std::function<void()> onWritable_;
  std::unique_ptr<QObject> context_;  // lives in the application's thread
  // Made in the application's thread on the first Enable.
  std::unique_ptr<QSocketNotifier> notifier_;
  std::unique_ptr<QTimer> retry_;
};
