#pragma once
// Unix-domain datagram sockets named by a path: the transport of window
// messages between processes. A datagram keeps its boundaries and the
// kernel delivers datagrams of one sender in order.

#include <QByteArray>
#include <QString>

#include <optional>

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

// Sends one datagram. The kernel queues only a few unread datagrams per
// receiver (net.unix.max_dgram_qlen, 10 by default); while that queue is
// full the call waits for room, up to waitMs. Returns 0 or the errno of the
// failure (ECONNREFUSED: nobody listens; EAGAIN: the queue stayed full).
int SendDatagram(const QString& path, const QByteArray& datagram, int waitMs = 2000);

// True when a socket is bound and listening at path (nothing is sent).
bool SocketAnswers(const QString& path);

// Takes the next pending datagram of a non-blocking socket; nullopt when
// none waits. A datagram longer than maxSize comes back cut to maxSize + 1
// bytes so the caller sees it as too long.
std::optional<QByteArray> ReceiveDatagram(int fd, int maxSize);
