#pragma once
// A program a test starts beside itself (a window peer, a stand-in), read
// line by line, and a wait for a file another process leaves. Every wait is
// bounded (an idle machine's bound, scaled to the load within the test's
// time-out), so a peer that never answers fails the test instead of hanging.

#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace qxtest {

inline constexpr int PeerWaitBoundMs = 20000;

class TPeerProcess {
 public:
  TPeerProcess(const QString& program, const QStringList& arguments) {
    process_.setProgram(program);
    process_.setArguments(arguments);
    process_.start();
  }
  ~TPeerProcess() {
    if (process_.state() != QProcess::NotRunning) Stop();
  }
  TPeerProcess(const TPeerProcess&) = delete;
  TPeerProcess& operator=(const TPeerProcess&) = delete;

  // The next line the peer prints; empty when it prints none in time.
  QString ReadLine() {
    QElapsedTimer timer;
    timer.start();
    while (!process_.canReadLine() && process_.state() != QProcess::NotRunning &&
           timer.elapsed() < WaitMs(PeerWaitBoundMs))
      process_.waitForReadyRead(100);
    return QString::fromUtf8(process_.readLine()).trimmed();
  }
  // Closes the peer's input (its signal to end) and waits for it.
  void Stop() {
    process_.closeWriteChannel();
    if (!process_.waitForFinished(WaitMs(PeerWaitBoundMs))) process_.kill();
    process_.waitForFinished();
  }
  qint64 Pid() const { return process_.processId(); }
  int ExitCode() const { return process_.exitCode(); }

 private:
  QProcess process_;
};

// Whether path comes into being in time; the event loop runs meanwhile.
inline bool WaitForFile(const QString& path) {
  QElapsedTimer timer;
  timer.start();
  const int bound = WaitMs(PeerWaitBoundMs);
  while (!QFile::exists(path) && timer.elapsed() < bound)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return QFile::exists(path);
}

}  // namespace qxtest
