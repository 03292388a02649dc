#pragma once
// Waiting helpers for tests that involve the event loop or other processes.
// The bound only keeps a broken test from hanging; tests assert on what
// happened, never on how long it took.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <functional>

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

}  // namespace systest
