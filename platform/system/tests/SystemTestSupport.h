#pragma once
// Waiting helpers for tests that involve the event loop or other processes.
// The bound only keeps a broken test from hanging; tests assert on what
// happened, never on how long it took.

#include "platform/system/MessageOutbox.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/WinTypes.h"
#include "platform/system/WindowEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>

#include <cerrno>
#include <functional>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace systest {

inline constexpr int WaitBoundMs = 20000;

// Processes events until done() holds or the bound passes; returns done().
inline bool ProcessEventsUntil(const std::function<bool()>& done, int boundMs = WaitBoundMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < boundMs)
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  return done();
}

// Runs every event already pending (queued calls, ready sockets).
inline void ProcessPendingEvents() {
  for (int i = 0; i < 3; ++i)
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// The socket of the process that has the window.
inline QString SocketOf(HWND wnd) {
  return WindowDirectoryFolder() + QLatin1Char('/') + WindowSocketName(ProcessOfHandle(wnd));
}

// Runs the event loop until what the window's socket could not take yet
// has gone from this process's outbox (reading a peer's output does not run
// the loop).
inline bool SendQueued(HWND wnd) {
  return ProcessEventsUntil([&] { return QueuedDatagrams(SocketOf(wnd)) == 0; });
}

// A tmpfs of the given size mounted at path for the test's lifetime; needs
// the right to mount (CI runs as root). Error() is the errno of a failed
// mount.
class TSmallFileSystem {
 public:
  TSmallFileSystem(const QString& path, int kilobytes) : path_(QFile::encodeName(path)) {
    QDir().mkpath(path);
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", path_.constData(), "tmpfs", 0, options.constData()) != 0)
      error_ = errno;
  }
  ~TSmallFileSystem() {
    if (error_ == 0)
      ::umount2(path_.constData(), MNT_DETACH);
  }
  TSmallFileSystem(const TSmallFileSystem&) = delete;
  TSmallFileSystem& operator=(const TSmallFileSystem&) = delete;

  bool Mounted() const { return error_ == 0; }
  int Error() const { return error_; }

  // Writes a file at fillerPath until the file system has no room left.
  bool Fill(const QString& fillerPath) const {
    const int fd = ::open(QFile::encodeName(fillerPath).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
      return false;
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), std::size_t(block.size())) > 0) {
    }
    const bool full = errno == ENOSPC;
    while (full && ::write(fd, block.constData(), 1) > 0) {
    }
    ::close(fd);
    return full;
  }

 private:
  QByteArray path_;
  int error_ = 0;
};

}  // namespace systest
