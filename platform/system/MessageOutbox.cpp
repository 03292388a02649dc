#include "platform/system/MessageOutbox.h"

#include "platform/rtl/ProcessState.h"
#include "platform/system/UnixSocket.h"

#include <QCoreApplication>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include <poll.h>

namespace {

// One receiver with datagrams waiting, reached through a socket connected
// to it (so poll() can tell when it has room).
struct TReceiver {
  TUniqueFd fd;
  std::deque<QByteArray> queue;
  std::unique_ptr<TWritableWatch> watch;  // destroyed in the application's thread
};

enum class TServed { Drained, Blocked, Gone };

// Temporary shortages keep the queue; anything else means the receiver's
// socket is closed or unusable.
bool Blocked(int error) {
  return error == EAGAIN || error == EWOULDBLOCK || error == ENOBUFS || error == ENOMEM;
}

TServed Serve(TReceiver& r) {
  while (!r.queue.empty()) {
    const int error = SendConnected(r.fd.Get(), r.queue.front());
    if (error != 0)
      return Blocked(error) ? TServed::Blocked : TServed::Gone;
    r.queue.pop_front();
  }
  return TServed::Drained;
}

struct TOutboxState {
  std::map<QString, TReceiver> receivers;
};

// The process's outbox, made on first use. The state is freed by the reset
// and when the application goes away, never by a static destructor.
struct TOutboxHolder {
  std::mutex lock;
  TOutboxState* state = nullptr;  // owned
  bool postRoutineAdded = false;
};

TOutboxHolder& TheHolder() {
  static TOutboxHolder holder;  // trivially destroyed; owns through state
  return holder;
}

void FreeState() {
  TOutboxHolder& h = TheHolder();
  std::unique_ptr<TOutboxState> old;
  {
    std::lock_guard guard(h.lock);
    old.reset(h.state);
    h.state = nullptr;
  }
}

const TResetHook kResetOutbox(FreeState);

void FlushWithApplication() {
  if (const std::size_t dropped = FlushOutbox())
    qWarning("%zu window messages could not be delivered before the program ended", dropped);
  FreeState();
  std::lock_guard guard(TheHolder().lock);
  TheHolder().postRoutineAdded = false;
}

// Called with the lock held.
TOutboxState& State(TOutboxHolder& h) {
  if (!h.postRoutineAdded && QCoreApplication::instance() != nullptr) {
    qAddPostRoutine(FlushWithApplication);
    h.postRoutineAdded = true;
  }
  if (h.state == nullptr)
    h.state = std::make_unique<TOutboxState>().release();
  return *h.state;
}

bool InApplicationThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

// Receivers whose queue is done with. Never called from inside a watch's
// callback, so no notifier is destroyed while it signals; and a watch dies
// only in its own thread (another thread leaves it to the next sweep; its
// next call finds the queue empty and disables it).
void Sweep(TOutboxState& s) {
  const bool ownThread = InApplicationThread();
  std::erase_if(s.receivers, [ownThread](const auto& item) {
    return item.second.queue.empty() && (ownThread || !item.second.watch);
  });
}

void ServeFromEventLoop(TReceiver& r) {
  std::lock_guard guard(TheHolder().lock);
  if (Serve(r) != TServed::Blocked) {
    r.queue.clear();  // drained, or nobody left to read it
    r.watch->Disable();
  }
}

// Called with the lock held, from any thread.
void Arm(TReceiver& r) {
  if (!r.watch) {
    TReceiver* receiver = &r;  // map nodes stay put; the watch dies with it
    r.watch = std::make_unique<TWritableWatch>(r.fd.Get(), OutboxRetryMs,
                                               [receiver] { ServeFromEventLoop(*receiver); });
  }
  r.watch->Enable();
}

}  // namespace

TPostResult PostDatagram(const QString& socketPath, const QByteArray& datagram) {
  TOutboxHolder& h = TheHolder();
  std::lock_guard guard(h.lock);
  TOutboxState& s = State(h);
  Sweep(s);
  auto it = s.receivers.find(socketPath);
  if (it == s.receivers.end()) {
    int error = 0;
    TUniqueFd fd = ConnectDatagramSocket(socketPath, error);
    if (!fd.Valid())
      return TPostResult::Gone;
    it = s.receivers.emplace(socketPath, TReceiver{std::move(fd), {}, {}}).first;
  }
  TReceiver& r = it->second;
  // What waits goes first, even while this thread's event loop is busy.
  TServed served = Serve(r);
  if (served == TServed::Blocked && r.queue.size() >= MaxQueuedPerReceiver)
    return TPostResult::Full;
  if (served != TServed::Gone) {
    r.queue.push_back(datagram);
    served = Serve(r);
  }
  if (served != TServed::Blocked) {
    r.queue.clear();
    Sweep(s);
    return served == TServed::Gone ? TPostResult::Gone : TPostResult::Sent;
  }
  if (QCoreApplication::instance() == nullptr) {
    r.queue.pop_back();
    return TPostResult::Full;
  }
  Arm(r);
  return TPostResult::Queued;
}

std::size_t QueuedDatagrams(const QString& socketPath) {
  TOutboxHolder& h = TheHolder();
  std::lock_guard guard(h.lock);
  if (h.state == nullptr)
    return 0;
  const auto it = h.state->receivers.find(socketPath);
  return it == h.state->receivers.end() ? 0 : it->second.queue.size();
}

std::size_t FlushOutbox(int boundMs) {
  TOutboxHolder& h = TheHolder();
  std::lock_guard guard(h.lock);
  if (h.state == nullptr)
    return 0;
  TOutboxState& s = *h.state;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  for (;;) {
    std::vector<pollfd> waiting;
    for (auto& [path, r] : s.receivers) {
      if (Serve(r) == TServed::Blocked)
        waiting.push_back({r.fd.Get(), POLLOUT, 0});
      else
        r.queue.clear();
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (waiting.empty() || left.count() <= 0)
      break;
    if (::poll(waiting.data(), waiting.size(), int(left.count())) < 0 && errno != EINTR)
      break;
  }
  std::size_t dropped = 0;
  for (const auto& [path, r] : s.receivers)
    dropped += r.queue.size();
  for (auto& [path, r] : s.receivers)
    r.queue.clear();
  if (InApplicationThread())
    for (auto& [path, r] : s.receivers)
      if (r.watch)
        r.watch->Disable();
  return dropped;
}
