#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>

// Defined per test binary by qx_test(): the suite's tests/data folder.
extern const char* const qxtest_data_dir;

namespace {

// Started with the process: CTest's time-out counts from there.
const QElapsedTimer kSinceStart = [] {
  QElapsedTimer timer;
  timer.start();
  return timer;
}();

// What a failing test still needs after its last wait: its message, a
// screenshot, its programs stopped.
constexpr qint64 kReportMs = 20000;

}  // namespace

namespace qxtest {

double LoadFactor() {
  QFile loadavg(QStringLiteral("/proc/loadavg"));
  if (!loadavg.open(QIODevice::ReadOnly)) return 1.0;
  const double load = loadavg.readAll().split(' ').value(0).toDouble();
  return std::clamp(load / std::max(1, QThread::idealThreadCount()), 1.0, 4.0);
}

qint64 TimeLeftMs() {
  const qint64 limit = qEnvironmentVariableIntValue("QX_TEST_LIMIT");
  if (limit <= 0) return 24LL * 3600 * 1000;
  return std::max<qint64>(0, limit * 1000 - kSinceStart.elapsed() - kReportMs);
}

int WaitMs(int idleMs) {
  const double scaled = idleMs * LoadFactor();
  return static_cast<int>(std::min<double>(scaled, static_cast<double>(TimeLeftMs())));
}

bool WaitUntil(const std::function<bool()>& condition, int idleMs, int pollUs) {
  QDeadlineTimer deadline(WaitMs(idleMs));
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QThread::usleep(static_cast<unsigned long>(pollUs));
  }
  return true;
}

std::string SkipBecause(TCapability missing, const QString& detail) {
  QString what;
  switch (missing) {
    case TCapability::SmallTmpfsMount:
      what = QStringLiteral("mount rights for a small tmpfs");
      break;
  }
  return (QStringLiteral("[capability: ") + what + QStringLiteral("] ") + detail).toStdString();
}

QString TempRoot() {
  return QString::fromLocal8Bit(qgetenv("QX_TEST_ROOT"));
}

QString TempPath(const QString& relative) {
  return TempRoot() + QLatin1Char('/') + relative;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return f.readAll();
}

QString DataPath(const QString& relative) {
  return QString::fromUtf8(qxtest_data_dir) + QLatin1Char('/') + relative;
}

void ReplayFuzzInputs(const std::function<QString(const QByteArray&)>& check) {
  const QString fuzz = QDir::cleanPath(QString::fromUtf8(qxtest_data_dir) + QStringLiteral("/../../fuzz"));
  QStringList files;
  for (const QString& folder : {QStringLiteral("corpus"), QStringLiteral("regressions")}) {
    const QDir dir(fuzz + QLatin1Char('/') + folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
      files.append(dir.filePath(name));
  }
  ASSERT_FALSE(files.isEmpty()) << "no fuzz inputs under " << fuzz.toStdString();
  for (const QString& file : files) {
    const QFileInfo info(file);
    SCOPED_TRACE(info.dir().dirName().toStdString() + "/" + info.fileName().toStdString());
    EXPECT_EQ(check(ReadBytes(file)).toStdString(), "");
  }
}

}  // namespace qxtest
