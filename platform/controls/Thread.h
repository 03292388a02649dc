#pragma once
// TThread: a worker thread. Execute runs on the new thread; Synchronize runs
// a method on the GUI thread and waits for it. WaitFor, called on the GUI
// thread, keeps running the pending Synchronize calls while it waits, so a
// GUI thread that stops a worker cannot deadlock with it.
//
// An exception escaping Execute is kept (FatalException) and ends the
// thread; one raised by a synchronized method is raised again in the worker.

#include "platform/classes/Persistent.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
 public:
  // A suspended thread starts at Resume (or Start).
  explicit TThread(bool createSuspended);
  // Terminates and waits for a thread still running. A descendant whose
  // Execute uses its own members must stop the thread (Terminate, WaitFor)
  // in its own destructor, before those members go.
  ~TThread() override;

  void Resume();
  void Start() { Resume(); }
  bool Suspended() const { return suspended_; }
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // Waits until Execute has returned; gives ReturnValue.
  int WaitFor();
  bool Finished() const;
  bool FreeOnTerminate() const { return freeOnTerminate_; }
  void SetFreeOnTerminate(bool v) { freeOnTerminate_ = v; }
  TThreadPriority Priority() const { return priority_; }
  // Kept for the caller's sake; threads run at the normal priority.
  void SetPriority(TThreadPriority v) { priority_ = v; }
  int ReturnValue() const { return returnValue_; }
  std::exception_ptr FatalException() const { return fatal_; }

  // Runs on the GUI thread once the thread has finished (before a
  // FreeOnTerminate thread frees itself).
  TNotifyEvent OnTerminate;

  // Runs method on the GUI thread and waits (directly when called there).
  void Synchronize(const std::function<void()>& method);
  static void Synchronize(TThread* thread, const std::function<void()>& method);
  // Runs the pending Synchronize calls (GUI thread); true when any ran.
  static bool CheckSynchronize();
  // Waits up to timeout until a Synchronize call is queued, without running
  // it; true when one is.
  static bool WaitForQueuedSynchronize(std::chrono::milliseconds timeout);
  static bool IsMainThread();

 protected:
  virtual void Execute() = 0;
  void SetReturnValue(int v) { returnValue_ = v; }

 private:
  void Run();

  std::thread thread_;
  mutable std::mutex mutex_;
  bool suspended_;
  bool finished_ = false;
  std::atomic<bool> terminated_{false};
  bool freeOnTerminate_ = false;
  TThreadPriority priority_ = tpNormal;
  int returnValue_ = 0;
  std::exception_ptr fatal_;
};
