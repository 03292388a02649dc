// Program start-up: the platform a program gets, with and without a display.
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace {

struct ProbeResult {
  int exitCode;
  QString out;
  QString err;
};

ProbeResult RunProbe(const QStringList& args, const QProcessEnvironment& env) {
  QProcess probe;
  probe.setProcessEnvironment(env);
  probe.start(QStringLiteral(QX_PLATFORM_PROBE), args);
  EXPECT_TRUE(probe.waitForFinished(60000));
  return {probe.exitCode(), QString::fromLocal8Bit(probe.readAllStandardOutput()),
          QString::fromLocal8Bit(probe.readAllStandardError())};
}

QProcessEnvironment WithoutDisplay() {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  return env;
}

TEST(PlatformTest, WindowProgramWithoutDisplaySaysSoAndFails) {
  const ProbeResult r = RunProbe({QStringLiteral("window")}, WithoutDisplay());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "qx_platform_probe: no display (DISPLAY is not set)\n");
  EXPECT_TRUE(r.out.isEmpty());
}

TEST(PlatformTest, ProgramWithoutWindowsRunsOffscreen) {
  const ProbeResult r = RunProbe({}, WithoutDisplay());
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "platform offscreen\n");
}

TEST(PlatformTest, ChosenPlatformIsKept) {
  QProcessEnvironment env = WithoutDisplay();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  const ProbeResult r = RunProbe({QStringLiteral("window")}, env);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "platform offscreen\n");
}

}  // namespace
