// Test main shared by every suite.
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#ifdef QX_TEST_GUI
#include <QApplication>
using TestApp = QApplication;
#else
#include <QCoreApplication>
using TestApp = QCoreApplication;
#endif

namespace {

QStringList& ExpectedWarnings() {
  static QStringList list;
  return list;
}

void FailOnQtWarning(QtMsgType type, const QMessageLogContext&, const QString& msg) {
  if (type == QtDebugMsg || type == QtInfoMsg)
    return;
  for (const QString& fragment : ExpectedWarnings())
    if (msg.contains(fragment))
      return;
  std::fprintf(stderr, "Qt message: %s\n", qPrintable(msg));
  ADD_FAILURE() << "unexpected Qt message: " << msg.toStdString();
}

// Gives each test its own XDG tree and a clean process state.
class FreshEnvironment : public testing::EmptyTestEventListener {
 public:
  void OnTestStart(const testing::TestInfo&) override {
    ExpectedWarnings().clear();
    static const QString base = QDir::tempPath();  // before TMPDIR is moved
    dir_ = std::make_unique<QTemporaryDir>(base + QStringLiteral("/qxtest-XXXXXX"));
    ASSERT_TRUE(dir_->isValid());
    const QString root = dir_->path();
    const char* names[][2] = {{"XDG_DATA_HOME", "data"},     {"XDG_CONFIG_HOME", "config"},
                              {"XDG_RUNTIME_DIR", "runtime"}, {"XDG_CACHE_HOME", "cache"},
                              {"HOME", "home"},               {"TMPDIR", "tmp"},
                              {"QX_PROGRAM_FILES_DIR", "programfiles"}};
    for (const auto& [var, sub] : names) {
      const QString path = root + QLatin1Char('/') + QLatin1String(sub);
      QDir().mkpath(path);
      QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      qputenv(var, QFile::encodeName(path));
    }
    qputenv("QX_TEST_ROOT", QFile::encodeName(root));
    ResetProcessState();
  }
  void OnTestEnd(const testing::TestInfo& info) override {
    ResetProcessState();
    dir_.reset();
    if (info.result()->Skipped()) LogSkip(info);
  }

  // With QX_SKIP_LOG naming a file, a skipped test adds a line to it: its
  // name, a tab, and its reason (.ci/run reads them).
  static void LogSkip(const testing::TestInfo& info) {
    const QString log = qEnvironmentVariable("QX_SKIP_LOG");
    if (log.isEmpty()) return;
    QString reason;
    for (int i = 0; i < info.result()->total_part_count(); ++i) {
      const testing::TestPartResult& part = info.result()->GetTestPartResult(i);
      if (part.skipped()) reason += QString::fromUtf8(part.message()).simplified();
    }
    const QByteArray line = QStringLiteral("%1.%2\t%3\n")
                                .arg(QLatin1String(info.test_suite_name()), QLatin1String(info.name()), reason)
                                .toUtf8();
    // One write in append mode: the lines of tests run at once stay whole.
    QFile file(log);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) ||
        file.write(line) != line.size())
      std::fprintf(stderr, "cannot add to the skip log %s\n", qPrintable(log));
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

}  // namespace

namespace qxtest {
void ExpectQtWarning(const QString& fragment) {
  ExpectedWarnings().append(fragment);
}
}  // namespace qxtest

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(FailOnQtWarning);
  // The application object reads XDG_RUNTIME_DIR when it starts: give the
  // process a private one before any test gives each case its own.
  QTemporaryDir processRoot(QDir::tempPath() + QStringLiteral("/qxtest-XXXXXX"));
  const QString runtime = processRoot.path() + QStringLiteral("/runtime");
  QDir().mkpath(runtime);
  QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  TestApp app(argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new FreshEnvironment);
  return RUN_ALL_TESTS();
}
