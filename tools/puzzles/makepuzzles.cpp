// makepuzzles FOLDER: writes the game's bundled puzzles into FOLDER.
#include "tools/puzzles/PuzzleThemes.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <exception>
#include <stdexcept>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makepuzzles FOLDER\n");
    return 2;
  }
  // The pictures are drawn off screen; no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString folder = QString::fromLocal8Bit(argv[1]);
  try {
    if (!QDir().mkpath(folder))
      throw std::runtime_error("cannot create the folder");
    WriteBundledPuzzles(folder);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "makepuzzles: %s\n", e.what());
    return 1;
  }
  return 0;
}
