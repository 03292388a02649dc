#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

// Defined per test binary by qx_test(): the suite's tests/data folder.
extern const char* const qxtest_data_dir;

namespace qxtest {

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
