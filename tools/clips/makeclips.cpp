// makeclips FOLDER: draws the end-of-game clips into FOLDER/lehma and
// FOLDER/jester (numbered PNG frames and an "interval" file each).
#include "tools/clips/ClipFrames.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <functional>

namespace {

bool WriteClip(const QString& folder, const std::function<QImage(int)>& draw) {
  if (!QDir().mkpath(folder))
    return false;
  const QDir dir(folder);
  for (int frame = 1; frame <= ClipFrameCount; ++frame) {
    const QString name = QStringLiteral("%1.png").arg(frame, 2, 10, QLatin1Char('0'));
    if (!draw(frame).save(dir.filePath(name), "PNG"))
      return false;
  }
  QFile interval(dir.filePath(QStringLiteral("interval")));
  if (!interval.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  return interval.write(QByteArray::number(ClipFrameMs) + '\n') > 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makeclips FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir root(QString::fromLocal8Bit(argv[1]));
  if (!WriteClip(root.filePath(QStringLiteral("lehma")), DrawCowFrame) ||
      !WriteClip(root.filePath(QStringLiteral("jester")), DrawJesterFrame)) {
    std::fprintf(stderr, "makeclips: cannot write the clips\n");
    return 1;
  }
  return 0;
}
