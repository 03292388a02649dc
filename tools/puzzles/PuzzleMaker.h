#pragma once
// Builds a word-search grid: words laid on straight lines in the eight
// directions, the cells left over filled with random letters.
//
// Everything is driven by TPuzzleRandom, seeded by the caller, so one seed
// and one word list always give the same grid.

#include "platform/rtl/Exceptions.h"
#include "puzzle/IO.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// A small deterministic generator (splitmix64); no clock, no global state.
class TPuzzleRandom {
 public:
  explicit TPuzzleRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // 0 .. range-1; range must be positive.
  int Below(int range);

 private:
  std::uint64_t state_;
};

// One of the eight straight directions a word may run in.
struct TDirection {
  int dx;
  int dy;
};

// Right, left, down, up, down-right, up-left, up-right, down-left.
const QList<TDirection>& AllDirections();

// The letters a grid may hold: A..Z, Ä, Ö, Å.
const QString& GridAlphabet();

struct TPlacement {
  QString word;
  int col = 0;
  int row = 0;
  TDirection dir{1, 0};
};

// The grid cannot hold the words (too long, or no layout was found).
QX_EXCEPTION(EPuzzleLayout, Exception);

struct TMadePuzzle {
  TPlainCells cells;
  QList<TPlacement> placements;  // in the order of the word list
};

// Lays out words (upper case, letters of GridAlphabet) on a cols x rows
// grid. The first eight words, longest first, each take a different
// direction, so every direction is used once there are eight words.
TMadePuzzle MakePuzzle(const QStringList& words, int cols, int rows, std::uint64_t seed);

// Where word lies on a straight line of cells, reading exactly the word;
// false when it lies nowhere.
bool FindWord(const IGridCells& grid, const QString& word, TPlacement& where);

// Every line of cells that reads word, in the order of AllDirections.
QList<TPlacement> FindWordEverywhere(const IGridCells& grid, const QString& word);
