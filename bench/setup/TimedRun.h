#pragma once
// The whole-program timings of the setup benchmarks.
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Runs program in folder (empty: the current one) to its end; -1 ms when it
// failed.
inline qint64 Timed(const QString& program, const QStringList& arguments, const QProcessEnvironment& env,
                    const QString& folder = {},
                    QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) {
  QProcess process;
  process.setProcessEnvironment(env);
  if (!folder.isEmpty()) process.setWorkingDirectory(folder);
  process.setProcessChannelMode(channels);
  QElapsedTimer timer;
  timer.start();
  process.start(program, arguments);
  if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0)
    return -1;
  return timer.elapsed();
}
