#include "platform/controls/Thread.h"

#include "platform/controls/Guard.h"

#include <QCoreApplication>
#include <QThread>

#include <deque>

namespace {

struct SyncItem {
  std::function<void()> method;
  bool done = false;
  std::exception_ptr error;
};

// Calls waiting for the GUI thread. The condition is signalled when a call
// is queued, when one is done and when a thread finishes, so WaitFor can
// wait for either. Never destroyed: worker threads may outlive main().
struct SyncQueue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<SyncItem*> items;
};

SyncQueue& Queue() {
  static auto* queue = new SyncQueue;
  return *queue;
}

void WakeGuiThread() {
  if (QCoreApplication* app = QCoreApplication::instance())
    GuardedPost(nullptr, app, [] { TThread::CheckSynchronize(); });
}

}  // namespace

bool TThread::IsMainThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

TThread::TThread(bool createSuspended) : suspended_(true) {
  if (!createSuspended) Resume();
}

TThread::~TThread() {
  if (thread_.joinable()) {
    Terminate();
    WaitFor();
  }
}

void TThread::Resume() {
  std::lock_guard lock(mutex_);
  if (!suspended_) return;
  suspended_ = false;
  thread_ = std::thread([this] { Run(); });
}

bool TThread::Finished() const {
  std::lock_guard lock(Queue().mutex);
  return finished_;
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    fatal_ = std::current_exception();
  }
  if (OnTerminate) {
    try {
      Synchronize([this] { Guard(this, [this] { OnTerminate(this); }); });
    } catch (...) {
    }
  }
  {
    std::lock_guard lock(Queue().mutex);
    finished_ = true;
  }
  Queue().changed.notify_all();
  if (freeOnTerminate_) {
    thread_.detach();
    delete this;
  }
}

int TThread::WaitFor() {
  SyncQueue& q = Queue();
  const bool gui = IsMainThread();
  std::unique_lock lock(q.mutex);
  while (!finished_) {
    if (gui && !q.items.empty()) {
      lock.unlock();
      CheckSynchronize();
      lock.lock();
      continue;
    }
    q.changed.wait(lock, [&] { return finished_ || (gui && !q.items.empty()); });
  }
  lock.unlock();
  if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
  return returnValue_;
}

void TThread::Synchronize(const std::function<void()>& method) { Synchronize(this, method); }

void TThread::Synchronize(TThread*, const std::function<void()>& method) {
  if (IsMainThread()) {
    method();
    return;
  }
  SyncQueue& q = Queue();
  SyncItem item;
  item.method = method;
  {
    std::lock_guard lock(q.mutex);
    q.items.push_back(&item);
  }
  q.changed.notify_all();
  WakeGuiThread();
  std::unique_lock lock(q.mutex);
  q.changed.wait(lock, [&] { return item.done; });
  if (item.error) std::rethrow_exception(item.error);
}

bool TThread::WaitForQueuedSynchronize(std::chrono::milliseconds timeout) {
  SyncQueue& q = Queue();
  std::unique_lock lock(q.mutex);
  return q.changed.wait_for(lock, timeout, [&] { return !q.items.empty(); });
}

bool TThread::CheckSynchronize() {
  if (!IsMainThread()) return false;
  SyncQueue& q = Queue();
  bool ran = false;
  for (;;) {
    SyncItem* item = nullptr;
    {
      std::lock_guard lock(q.mutex);
      if (q.items.empty()) break;
      item = q.items.front();
      q.items.pop_front();
    }
    std::exception_ptr error;
    try {
      item->method();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(q.mutex);
      item->error = error;
      item->done = true;
    }
    q.changed.notify_all();
    ran = true;
  }
  return ran;
}
