// makeimages FOLDER: draws the game's splash.png and about.png into FOLDER.
#include "tools/images/GameImages.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makeimages FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  const QDir dir(folder);
  if (!QDir().mkpath(folder) ||
      !DrawSplashPicture().save(dir.filePath(QStringLiteral("splash.png")), "PNG") ||
      !DrawAboutPicture().save(dir.filePath(QStringLiteral("about.png")), "PNG")) {
    std::fprintf(stderr, "makeimages: cannot write the pictures\n");
    return 1;
  }
  return 0;
}
