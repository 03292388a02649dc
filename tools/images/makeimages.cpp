// makeimages FOLDER [FORM]: draws the game's splash.png and about.png into
// FOLDER and, given the game's main form file, puts the tool-button glyphs
// into it.
#include "platform/rtl/AtomicFile.h"
#include "tools/images/GameImages.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <exception>

namespace {

bool WritePictures(const QString& folder) {
  const QDir dir(folder);
  return QDir().mkpath(folder) &&
         DrawSplashPicture().save(dir.filePath(QStringLiteral("splash.png")), "PNG") &&
         DrawAboutPicture().save(dir.filePath(QStringLiteral("about.png")), "PNG");
}

// The form is replaced only once its new text is completely written.
bool WriteGlyphsIntoForm(const QString& path) {
  QFile in(path);
  if (!in.open(QIODevice::ReadOnly))
    return false;
  const QByteArray text = PutToolGlyphsIntoForm(in.readAll());
  try {
    WriteFileAtomically(path, text);
    return true;
  } catch (const EAtomicFileError& e) {
    std::fprintf(stderr, "makeimages: %s\n", e.what());
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: makeimages FOLDER [FORM]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (!WritePictures(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "makeimages: cannot write the pictures\n");
    return 1;
  }
  try {
    if (argc == 3 && !WriteGlyphsIntoForm(QString::fromLocal8Bit(argv[2]))) {
      std::fprintf(stderr, "makeimages: cannot rewrite %s\n", argv[2]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "makeimages: %s: %s\n", argv[2], e.what());
    return 1;
  }
  return 0;
}
