#pragma once
// The puzzles bundled with the game: one theme each, with its words, the
// seed of its layout and, for most, a picture.

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// Bundled pictures fill the game's picture window.
inline constexpr int PictureWidth = 351;
inline constexpr int PictureHeight = 264;
inline constexpr int BundledGridSize = 12;

struct TPuzzleTheme {
  QString baseName;      // lower case, no folder, no extension
  QStringList words;     // upper case, in list order
  std::uint64_t seed;
  std::function<QImage()> picture;  // empty: the puzzle has no picture
};

const QList<TPuzzleTheme>& BundledThemes();

// Writes base.vrb, base.lst and (when the theme has one) base.bmp of every
// bundled puzzle into folder, which must exist.
void WriteBundledPuzzles(const QString& folder);
