// The main window on a real X server (Xvfb): it stands where
// its placement rule puts it, as the server reports it.
#include "tests/support/XvfbServer.h"

#include <QMap>

#include <gtest/gtest.h>

namespace {

// The probe's numbers by their line's first word.
QMap<QString, QList<int>> RunProbe(TXvfb& server) {
  QProcess probe;
  probe.setProcessEnvironment(server.Environment());
  probe.start(QStringLiteral(QX_PLACEMENT_PROBE), {});
  QMap<QString, QList<int>> lines;
  if (!probe.waitForFinished(qxtest::WaitMs(60000)) || probe.exitCode() != 0) {
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
    ASSERT_FALSE(server.Display().isEmpty()) << "Xvfb did not start: " << server.Log().toStdString();
    const auto lines = RunProbe(server);
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
