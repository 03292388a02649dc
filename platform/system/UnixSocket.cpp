#include "platform/system/UnixSocket.h"

#include "platform/rtl/Exceptions.h"

#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Fills addr; false when the path does not fit.
bool MakeAddress(const QString& path, sockaddr_un& addr) {
  const QByteArray name = QFile::encodeName(path);
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (name.isEmpty() || name.size() > MaxSocketPathLength())
    return false;
  std::memcpy(addr.sun_path, name.constData(), std::size_t(name.size()));
  return true;
}

TUniqueFd NewDatagramSocket() {
  return TUniqueFd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
}

}  // namespace

TUniqueFd& TUniqueFd::operator=(TUniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = other.Release();
  }
  return *this;
}

TUniqueFd::~TUniqueFd() {
  if (fd_ >= 0)
    ::close(fd_);
}

int TUniqueFd::Release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

int MaxSocketPathLength() {
  return int(sizeof(sockaddr_un::sun_path)) - 1;
}

TUniqueFd BindDatagramSocket(const QString& path) {
  sockaddr_un addr{};
  if (!MakeAddress(path, addr))
    throw EOSError(ENAMETOOLONG, QStringLiteral("Socket path too long: %1").arg(path));
  TUniqueFd fd = NewDatagramSocket();
  if (!fd.Valid())
    RaiseLastOSError();
  ::unlink(addr.sun_path);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
    RaiseLastOSError();
  return fd;
}

// The socket is connected to the receiver so that poll() reports when the
// receiver's queue has room again.
int SendDatagram(const QString& path, const QByteArray& datagram, int waitMs) {
  sockaddr_un addr{};
  if (!MakeAddress(path, addr))
    return ENAMETOOLONG;
  TUniqueFd fd = NewDatagramSocket();
  if (!fd.Valid() ||
      ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
    return errno;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const ssize_t sent =
        ::send(fd.Get(), datagram.constData(), std::size_t(datagram.size()), MSG_NOSIGNAL);
    if (sent >= 0)
      return sent == datagram.size() ? 0 : EMSGSIZE;
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN)
      return errno;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      return EAGAIN;
    pollfd wait{fd.Get(), POLLOUT, 0};
    ::poll(&wait, 1, int(left.count()));
  }
}

bool SocketAnswers(const QString& path) {
  sockaddr_un addr{};
  if (!MakeAddress(path, addr))
    return false;
  TUniqueFd fd = NewDatagramSocket();
  // Connecting a datagram socket only checks that someone is bound there.
  return fd.Valid() &&
         ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
}

std::optional<QByteArray> ReceiveDatagram(int fd, int maxSize) {
  QByteArray buffer(maxSize + 1, Qt::Uninitialized);
  for (;;) {
    const ssize_t got = ::recv(fd, buffer.data(), std::size_t(buffer.size()), 0);
    if (got >= 0) {
      buffer.truncate(int(got));
      return buffer;
    }
    if (errno != EINTR)
      return std::nullopt;
  }
}
