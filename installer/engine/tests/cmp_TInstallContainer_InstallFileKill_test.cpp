// A setup run killed at any moment (SIGKILL, at seeded random points of a
// run read from a form file) leaves every existing file whole, old or new,
// never a new file half-written, and a second run completes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <random>

#include "InstallFileTestSupport.h"
#include "OndxCompressTestSupport.h"

extern char** environ;

namespace {

using qxtest::ReadBytes;

constexpr int kRounds = 20;
constexpr int kFiles = 3;

pid_t StartRun(const QString& form, const QString& build) {
  const QByteArray program = QByteArrayLiteral(QX_INSTALL_KILLEE);
  const QByteArray a1 = form.toLocal8Bit();
  const QByteArray a2 = build.toLocal8Bit();
  char* argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(a1.constData()),
                  const_cast<char*>(a2.constData()), nullptr};
  pid_t pid = 0;
  return ::posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) == 0 ? pid : 0;
}

int Wait(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(InstallFileKillTest, AKilledRunNeverLeavesAFileHalfWrittenAndTheNextRunCompletes) {
  qxtest::TInstallScript script;
  TInstallFileGroup* group = script.Group(QStringLiteral("Game"), QStringLiteral("/Game"));
  QStringList names;
  QList<QByteArray> fresh;
  for (int i = 0; i < kFiles; ++i) {
    names << QStringLiteral("f%1.bin").arg(i);
    fresh << octest::Content(250000 + 1000 * i, 20 + i);
    script.File(group, names.back(), fresh.back());
  }
  script.Build();
  const QString form = qxtest::TempPath(QStringLiteral("script.form"));
  qxtest::WriteBytes(form, qxtest::GroupScriptForm(script.SourceDir(), names));
  const QString build = qxtest::TempPath(QStringLiteral("build"));
  const QString dir = qxtest::TempPath(QStringLiteral("opt/Trovaly/Game"));
  const auto target = [&](int i) { return dir + QLatin1Char('/') + names[i]; };
  const QList<QByteArray> old = {"old f0", "old f1"};
  // f0 and f1 exist with their old contents, f2 is new.
  const auto reset = [&] {
    for (int i = 0; i < 2; ++i)
      qxtest::WriteBytes(target(i), old[i]);
    QFile::remove(target(2));
  };

  // One whole run gives the span over which the kills are spread.
  reset();
  QElapsedTimer timer;
  timer.start();
  ASSERT_EQ(Wait(StartRun(form, build)), 0);
  const qint64 spanUs = std::max<qint64>(timer.nsecsElapsed() / 1000, 1000);
  for (int i = 0; i < kFiles; ++i)
    ASSERT_EQ(ReadBytes(target(i)), fresh[i]);

  int replaced = 0;
  for (int seed = 1; seed <= kRounds; ++seed) {
    SCOPED_TRACE(testing::Message() << "seed " << seed);
    std::mt19937 rng(static_cast<std::uint32_t>(seed));
    const auto delay = static_cast<useconds_t>(rng() % static_cast<std::uint32_t>(spanUs));
    reset();
    const pid_t pid = StartRun(form, build);
    ASSERT_GT(pid, 0);
    ::usleep(delay);
    ::kill(pid, SIGKILL);
    Wait(pid);
    for (int i = 0; i < kFiles; ++i) {
      const QByteArray now = ReadBytes(target(i));
      if (i < 2) {
        EXPECT_TRUE(now == old[i] || now == fresh[i])
            << names[i].toStdString() << " has " << now.size();
        replaced += now == fresh[i] ? 1 : 0;
      } else {
        EXPECT_TRUE(!QFile::exists(target(i)) || now == fresh[i]) << "f2 has " << now.size();
      }
    }
  }
  std::printf("killed runs: %d, existing files found replaced: %d of %d\n", kRounds, replaced,
              2 * kRounds);

  // The run after the kills completes and leaves no temporary behind.
  reset();
  ASSERT_EQ(Wait(StartRun(form, build)), 0);
  for (int i = 0; i < kFiles; ++i)
    EXPECT_EQ(ReadBytes(target(i)), fresh[i]);
  EXPECT_EQ(octest::FolderFiles(dir), names);
}

}  // namespace
