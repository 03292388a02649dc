#include "platform/system/WindowDirectory.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/GuardedEntry.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/MessageWire.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/UnixSocket.h"
#include "platform/system/WindowScan.h"

#include <QFile>
#include <QMetaObject>
#include <QSocketNotifier>

#include <algorithm>
#include <deque>
#include <exception>
#include <mutex>

#include <unistd.h>

namespace {

// The process's current directory. Owned by the application, so the reset
// only forgets it.
struct CurrentDirectory {
  std::mutex lock;
  TWindowDirectory* dir = nullptr;
  // The directory that exists, current or not; it owns this process's entry
  // and socket names, so there is never a second one. Not touched by the
  // reset: it follows the object's life.
  TWindowDirectory* alive = nullptr;
};

CurrentDirectory& TheCurrent() {
  static CurrentDirectory current;  // trivially reset; owns nothing
  return current;
}

const TResetHook kResetCurrent([] {
  CurrentDirectory& c = TheCurrent();
  std::lock_guard guard(c.lock);
  c.dir = nullptr;
});

void Register(TWindowDirectory* dir) {
  CurrentDirectory& c = TheCurrent();
  std::lock_guard guard(c.lock);
  if (c.alive)
    throw EInvalidOperation(QStringLiteral("This process already has a window directory"));
  c.alive = dir;
}

void SetCurrent(TWindowDirectory* dir) {
  CurrentDirectory& c = TheCurrent();
  std::lock_guard guard(c.lock);
  c.dir = dir;
}

void Unregister(TWindowDirectory* dir) {
  CurrentDirectory& c = TheCurrent();
  std::lock_guard guard(c.lock);
  if (c.dir == dir)
    c.dir = nullptr;
  if (c.alive == dir)
    c.alive = nullptr;
}

// Undoes a construction that fails half-way: the registration and a socket
// file already bound.
struct ConstructionGuard {
  TWindowDirectory* dir;
  QString socketPath;
  bool done = false;
  ~ConstructionGuard() {
    if (done)
      return;
    if (!socketPath.isEmpty())
      QFile::remove(socketPath);
    Unregister(dir);
  }
};

// Like a thread's message queue, the local queue has a limit; a poster that
// runs away gets false instead of eating memory.
constexpr std::size_t MaxPendingMessages = 10000;

std::uint32_t OwnPid() {
  return std::uint32_t(::getpid());
}

template <typename Windows>
auto FindById(Windows& windows, std::uint32_t id) {
  return std::find_if(windows.begin(), windows.end(),
                      [id](const TPublishedWindow& w) { return w.id == id; });
}

}  // namespace

struct TWindowDirectory::Impl {
  QString folder;
  QString entryPath;
  QString socketPath;
  TUniqueFd fd;
  std::unique_ptr<QSocketNotifier> notifier;
  mutable std::mutex lock;  // windows and pending; PostLocal may come from any thread
  std::vector<TPublishedWindow> windows;
  std::deque<TWireMessage> pending;
  bool deliveryScheduled = false;
  bool entryWritten = false;  // the entry file holds this process's windows

  bool Has(std::uint32_t id) const { return FindById(windows, id) != windows.end(); }
};

bool SameWindowTitle(const QString& a, const QString& b) {
  return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

TWindowDirectory::TWindowDirectory() : d_(std::make_unique<Impl>()) {
  Register(this);
  ConstructionGuard guard{this, {}};
  d_->folder = WindowDirectoryFolder();
  RemoveStaleEntries(d_->folder);
  d_->entryPath = d_->folder + QLatin1Char('/') + WindowEntryFileName(OwnPid());
  d_->socketPath = d_->folder + QLatin1Char('/') + WindowSocketName(OwnPid());
  d_->fd = BindDatagramSocket(d_->socketPath);
  guard.socketPath = d_->socketPath;
  Rewrite({});
  d_->notifier = std::make_unique<QSocketNotifier>(d_->fd.Get(), QSocketNotifier::Read);
  GuardedConnect(nullptr, d_->notifier.get(), &QSocketNotifier::activated, d_->notifier.get(),
                 [this] { ReadSocket(); });
  SetCurrent(this);
  guard.done = true;
}

TWindowDirectory::~TWindowDirectory() {
  Unregister(this);
  d_->notifier.reset();
  QFile::remove(d_->entryPath);
  QFile::remove(d_->socketPath);
}

TWindowDirectory* TWindowDirectory::Current() {
  CurrentDirectory& c = TheCurrent();
  std::lock_guard guard(c.lock);
  return c.dir;
}

HWND TWindowDirectory::PublishWindow(std::uint32_t localId, const QString& title, bool visible) {
  if (localId == 0)
    throw EInvalidOperation(QStringLiteral("A window id must not be 0"));
  std::vector<TPublishedWindow> windows = Windows();
  const auto it = FindById(windows, localId);
  if (it == windows.end())
    windows.push_back({localId, title, visible});
  else
    *it = {localId, title, visible};
  Rewrite(std::move(windows));
  return MakeWindowHandle(OwnPid(), localId);
}

void TWindowDirectory::UpdateTitle(std::uint32_t localId, const QString& title) {
  std::vector<TPublishedWindow> windows = Windows();
  const auto it = FindById(windows, localId);
  if (it == windows.end())
    throw EInvalidOperation(QStringLiteral("Window %1 is not published").arg(localId));
  it->title = title;
  Rewrite(std::move(windows));
}

void TWindowDirectory::UnpublishWindow(std::uint32_t localId) {
  std::vector<TPublishedWindow> windows = Windows();
  const auto old = windows.size();
  std::erase_if(windows, [localId](const TPublishedWindow& w) { return w.id == localId; });
  if (windows.size() != old)
    Rewrite(std::move(windows));
}

HWND TWindowDirectory::HandleOf(std::uint32_t localId) const {
  std::lock_guard guard(d_->lock);
  return d_->Has(localId) ? MakeWindowHandle(OwnPid(), localId) : 0;
}

std::vector<TPublishedWindow> TWindowDirectory::Windows() const {
  std::lock_guard guard(d_->lock);
  return d_->windows;
}

std::uint32_t TWindowDirectory::FindOwnWindow(const QString& title) const {
  std::lock_guard guard(d_->lock);
  for (const TPublishedWindow& w : d_->windows)
    if (SameWindowTitle(w.title, title))
      return w.id;
  return 0;
}

bool TWindowDirectory::PostLocal(std::uint32_t localId, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard guard(d_->lock);
  if (!d_->Has(localId) || d_->pending.size() >= MaxPendingMessages)
    return false;
  d_->pending.push_back({localId, msg, wParam, lParam});
  ScheduleDelivery();
  return true;
}

// At most one delivery waits in the event loop at a time. Called with the
// lock held.
void TWindowDirectory::ScheduleDelivery() {
  if (d_->deliveryScheduled)
    return;
  d_->deliveryScheduled = true;
  GuardedPost(nullptr, d_->notifier.get(), [this] {
    {
      std::lock_guard guard(d_->lock);
      d_->deliveryScheduled = false;
    }
    Deliver();
  });
}

QString TWindowDirectory::Folder() const {
  return d_->folder;
}

QString TWindowDirectory::EntryPath() const {
  return d_->entryPath;
}

QString TWindowDirectory::SocketPath() const {
  return d_->socketPath;
}

// The entry file is written first: when that fails the published state
// stays as it was. The file is read back, because a full file system can
// leave an empty file behind a write that reported success; the old entry
// is put back where it fits, and no empty or cut entry is left behind.
void TWindowDirectory::Rewrite(std::vector<TPublishedWindow> windows) {
  const TWindowEntry entry{OwnPid(), WindowSocketName(OwnPid()), windows};
  WriteWindowEntry(d_->entryPath, entry);
  if (ReadWindowEntry(d_->entryPath) != entry) {
    const TWindowEntry old{OwnPid(), WindowSocketName(OwnPid()), Windows()};
    if (d_->entryWritten) {
      try {
        WriteWindowEntry(d_->entryPath, old);
      } catch (const EFCreateError&) {
        // checked below
      }
    }
    if (!d_->entryWritten || ReadWindowEntry(d_->entryPath) != old) {
      QFile::remove(d_->entryPath);
      d_->entryWritten = false;
    }
    throw EFCreateError(
        QStringLiteral("Cannot write window entry %1: the file system did not keep it (is it full?)")
            .arg(d_->entryPath));
  }
  d_->entryWritten = true;
  std::lock_guard guard(d_->lock);
  d_->windows = std::move(windows);
}

// What waits on the socket joins the queue behind what is already there, so
// a handler that runs a nested event loop cannot reorder messages. Senders
// refill the socket as it empties: one turn reads a batch, and the notifier
// calls again for the rest, so the rest of the event loop gets its turn.
void TWindowDirectory::ReadSocket() {
  constexpr int BatchSize = 512;
  for (int i = 0; i < BatchSize; ++i) {
    auto datagram = ReceiveDatagram(d_->fd.Get(), WireMessageSize);
    if (!datagram)
      break;
    const auto message = DecodeWireMessage(*datagram);
    if (!message)
      continue;
    std::lock_guard guard(d_->lock);
    d_->pending.push_back(*message);
  }
  Deliver();
}

void TWindowDirectory::Deliver() {
  for (;;) {
    TWireMessage m;
    {
      std::lock_guard guard(d_->lock);
      if (d_->pending.empty())
        return;
      m = d_->pending.front();
      d_->pending.pop_front();
      if (!d_->Has(m.window))
        continue;
      // A handler may run a modal loop; the rest must reach it there.
      if (!d_->pending.empty())
        ScheduleDelivery();
    }
    if (!OnMessage)
      continue;
    // A failing handler loses its message only; the rest still arrive.
    GuardedCall(nullptr, [&] { OnMessage(m.window, m.msg, m.wParam, m.lParam); });
  }
}
