// The main window on a real X server (Xvfb, when installed): it stands where
// its placement rule puts it, as the server reports it.
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <gtest/gtest.h>

namespace {

// An X server of the given screen size on a free display, for one test.
class TXvfb {
 public:
  explicit TXvfb(const QString& size) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) return;
    // -displayfd 1: the server picks a free display and writes its number
    // to standard output once it takes connections.
    server_.start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), size + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
    if (!server_.waitForStarted(10000)) return;
    while (!server_.canReadLine() && server_.waitForReadyRead(20000)) {
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

 private:
  QProcess server_;
  QString display_;
};

// The probe's numbers by their line's first word.
QMap<QString, QList<int>> RunProbe(const QString& display) {
  QProcess probe;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DISPLAY"), display);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  // The X platform's session-bus library keeps a buffer to the end; that is
  // not ours to report.
  QTemporaryFile suppressions;
  if (suppressions.open()) {
    suppressions.write("leak:libdbus-1.so\n");
    suppressions.flush();
    env.insert(QStringLiteral("LSAN_OPTIONS"),
               QStringLiteral("suppressions=") + suppressions.fileName());
  }
  probe.setProcessEnvironment(env);
  probe.start(QStringLiteral(QX_PLACEMENT_PROBE), {});
  QMap<QString, QList<int>> lines;
  if (!probe.waitForFinished(60000) || probe.exitCode() != 0) {
    ADD_FAILURE() << probe.readAllStandardError().toStdString();
    return lines;
  }
  const QStringList out = QString::fromLatin1(probe.readAllStandardOutput()).split(QLatin1Char('\n'));
  for (const QString& line : out) {
    QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) continue;
    const QString key = words.takeFirst();
    for (const QString& w : words) lines[key].append(w.toInt());
  }
  return lines;
}

TEST(XvfbPlacement, TheMainWindowStandsWhereTheScreenWidthPutsIt) {
  const struct {
    const char* size;
    int left;
  } rows[] = {{"800x600", 60}, {"1280x1024", 90}};
  for (const auto& row : rows) {
    TXvfb server(QString::fromLatin1(row.size));
    if (server.Display().isEmpty()) GTEST_SKIP() << "no X server (Xvfb) to run on";
    const auto lines = RunProbe(server.Display());
    ASSERT_EQ(lines.value("screen").size(), 2) << row.size;
    ASSERT_EQ(lines.value("form").size(), 4) << row.size;
    ASSERT_EQ(lines.value("native").size(), 2) << row.size;
    const int screenHeight = lines["screen"][1];
    const int top = screenHeight / 2 - lines["form"][3] / 2;
    EXPECT_EQ(lines["form"][0], row.left) << row.size;
    EXPECT_EQ(lines["form"][1], top) << row.size;
    EXPECT_EQ(lines["native"][0], row.left) << row.size;
    EXPECT_EQ(lines["native"][1], top) << row.size;
  }
}

}  // namespace
