#pragma once
// The puzzles bundled with the game and installed by the setup under these
// names: one theme each, with its words, the seed of its layout and, for
// one, a picture.

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
// The game's word list (240 px high, lines of 16 px Courier New bold) shows
// twelve lines whole and cannot be scrolled: no bundled list is longer.
inline constexpr int BundledWordsMax = 12;

struct TPuzzleTheme {
  QString baseName;      // as installed (case kept), no folder, no extension
  QStringList words;     // upper case, in list order
  std::uint64_t seed;
  std::function<QImage()> picture;  // empty: the puzzle has no picture
};

const QList<TPuzzleTheme>& BundledThemes();

// Writes base.vrb, base.lst and (when the theme has one) base.bmp of every
// bundled puzzle into folder, which must exist. A theme of more than
// BundledWordsMax words raises EPuzzleLayout.
void WriteBundledPuzzles(const QString& folder);
