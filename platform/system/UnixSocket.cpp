#include "platform/system/UnixSocket.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/GuardedEntry.h"

#include <QCoreApplication>
#include <QFile>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
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

TUniqueFd ConnectDatagramSocket(const QString& path, int& error) {
  error = 0;
  sockaddr_un addr{};
  if (!MakeAddress(path, addr)) {
    error = ENAMETOOLONG;
    return {};
  }
  TUniqueFd fd = NewDatagramSocket();
  if (!fd.Valid() ||
      ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    error = errno;
    return {};
  }
  return fd;
}

int SendConnected(int fd, const QByteArray& datagram) {
  for (;;) {
    const ssize_t sent =
        ::send(fd, datagram.constData(), std::size_t(datagram.size()), MSG_NOSIGNAL);
    if (sent >= 0)
      return sent == datagram.size() ? 0 : EMSGSIZE;
    if (errno != EINTR)
      return errno;
  }
}

bool WaitWritable(int fd, int waitMs) {
  pollfd wait{fd, POLLOUT, 0};
  int ready = 0;
  do
    ready = ::poll(&wait, 1, waitMs);
  while (ready < 0 && errno == EINTR);
  return ready > 0;
}

int SendDatagram(const QString& path, const QByteArray& datagram, int waitMs) {
  int error = 0;
  const TUniqueFd fd = ConnectDatagramSocket(path, error);
  if (!fd.Valid())
    return error;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    const int result = SendConnected(fd.Get(), datagram);
    if (result != EAGAIN)
      return result;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0)
      return EAGAIN;
    WaitWritable(fd.Get(), int(left.count()));
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

namespace {

bool InApplicationThread() {
  return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace

TWritableWatch::TWritableWatch(int fd, int retryMs, std::function<void()> onWritable)
    : fd_(fd),
      retryMs_(retryMs),
      onWritable_(std::move(onWritable)),
      context_(std::make_unique<QObject>()) {
  context_->moveToThread(QCoreApplication::instance()->thread());
}

TWritableWatch::~TWritableWatch() = default;

// A call queued from another thread dies with the context, so it never
// reaches a watch that is gone.
void TWritableWatch::Enable() {
  if (InApplicationThread()) {
    EnableHere();
    return;
  }
  GuardedPost(nullptr, context_.get(), [this] { EnableHere(); });
}

void TWritableWatch::EnableHere() {
  if (!notifier_) {
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
    retry_ = std::make_unique<QTimer>();
    retry_->setInterval(retryMs_);
    GuardedConnect(nullptr, notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { onWritable_(); });
    GuardedConnect(nullptr, retry_.get(), &QTimer::timeout, retry_.get(),
                   [this] { onWritable_(); });
  }
  notifier_->setEnabled(true);
  if (!retry_->isActive())
    retry_->start();
}

void TWritableWatch::Disable() {
  if (!notifier_)
    return;
  notifier_->setEnabled(false);
  retry_->stop();
}
