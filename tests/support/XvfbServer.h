#pragma once
// An X server (Xvfb) on a free display for one test, and the environment a
// program of ours runs in on it.

#include "tests/support/TestSupport.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <QThread>

#include <functional>

// How long a desktop test waits for another process's window to change,
// on an idle machine (every wait is scaled by qxtest::WaitMs).
inline constexpr int kDesktopWaitMs = 15000;

// Polls a condition of other processes' windows until it holds or the time
// is up: timeoutMs on an idle machine, longer on a loaded one, never past
// the test's own time-out.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kDesktopWaitMs) {
  return qxtest::WaitUntil(condition, timeoutMs, 50000);
}

class TXvfb {
 public:
  explicit TXvfb(const QString& size) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) return;
    // -displayfd 1: the server picks a free display and writes its number
    // to standard output once it takes connections. -r: no key repeat; a
    // typist stalled between a key's press and release on a loaded machine
    // would otherwise type the key many times.
    server_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp"), QStringLiteral("-r")});
    if (!server_.waitForStarted(qxtest::WaitMs(10000))) return;
    QDeadlineTimer deadline(qxtest::WaitMs(20000));
    while (!server_.canReadLine() && server_.waitForReadyRead(int(deadline.remainingTime()))) {
    }
    const QString number = QString::fromLatin1(server_.readLine()).trimmed();
    if (!number.isEmpty()) display_ = QLatin1Char(':') + number;
  }
  ~TXvfb() {
    server_.terminate();
    if (!server_.waitForFinished(5000)) server_.kill();
    server_.waitForFinished(5000);
  }
  TXvfb(const TXvfb&) = delete;
  TXvfb& operator=(const TXvfb&) = delete;

  QString Display() const { return display_; }
  // What the server said on its error output so far, and how it ended.
  QString Log() {
    QString log = QString::fromLocal8Bit(server_.readAllStandardError());
    if (server_.state() == QProcess::NotRunning)
      log += QStringLiteral("\n(Xvfb ended with %1: %2)").arg(server_.exitCode()).arg(server_.errorString());
    return log.trimmed();
  }

  // The test's environment on this display, on the X platform. The X
  // platform's session-bus library keeps a buffer to the end; that is not
  // ours to report.
  QProcessEnvironment Environment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    if (!suppressions_.isOpen() && suppressions_.open()) {
      suppressions_.write("leak:libdbus-1.so\n");
      suppressions_.flush();
    }
    env.insert(QStringLiteral("LSAN_OPTIONS"), QStringLiteral("suppressions=") + suppressions_.fileName());
    return env;
  }

 private:
  QProcess server_;
  QString display_;
  QTemporaryFile suppressions_;
};
