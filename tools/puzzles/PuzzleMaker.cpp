#include "tools/puzzles/PuzzleMaker.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int MaxLayoutAttempts = 2000;

bool Inside(const IGridCells& grid, int col, int row) {
  return col >= 0 && row >= 0 && col < grid.ColCount() && row < grid.RowCount();
}

// Whether word can lie from (col, row) towards dir: every cell inside and
// either empty or already holding the same letter.
bool Fits(const IGridCells& grid, const QString& word, int col, int row, TDirection dir) {
  for (qsizetype i = 0; i < word.size(); ++i) {
    const int c = col + dir.dx * static_cast<int>(i);
    const int r = row + dir.dy * static_cast<int>(i);
    if (!Inside(grid, c, r))
      return false;
    const QString cell = grid.Cell(c, r);
    if (!cell.isEmpty() && cell != QString(word[i]))
      return false;
  }
  return true;
}

bool ReadsAt(const IGridCells& grid, const QString& word, int col, int row, TDirection dir) {
  for (qsizetype i = 0; i < word.size(); ++i) {
    const int c = col + dir.dx * static_cast<int>(i);
    const int r = row + dir.dy * static_cast<int>(i);
    if (!Inside(grid, c, r) || grid.Cell(c, r) != QString(word[i]))
      return false;
  }
  return true;
}

void Lay(IGridCells& grid, const TPlacement& p) {
  for (qsizetype i = 0; i < p.word.size(); ++i)
    grid.SetCell(p.col + p.dir.dx * static_cast<int>(i), p.row + p.dir.dy * static_cast<int>(i),
                 QString(p.word[i]));
}

// A random fitting start for word in dir; false when there is none.
bool PlaceInDirection(IGridCells& grid, const QString& word, TDirection dir, TPuzzleRandom& rnd,
                      TPlacement& out) {
  QList<TPlacement> starts;
  for (int c = 0; c < grid.ColCount(); ++c)
    for (int r = 0; r < grid.RowCount(); ++r)
      if (Fits(grid, word, c, r, dir))
        starts.append(TPlacement{word, c, r, dir});
  if (starts.isEmpty())
    return false;
  out = starts[rnd.Below(static_cast<int>(starts.size()))];
  Lay(grid, out);
  return true;
}

// Any direction, tried in random order.
bool PlaceAnywhere(IGridCells& grid, const QString& word, TPuzzleRandom& rnd, TPlacement& out) {
  QList<TDirection> dirs = AllDirections();
  for (qsizetype i = dirs.size() - 1; i > 0; --i)
    dirs.swapItemsAt(i, rnd.Below(static_cast<int>(i) + 1));
  return std::any_of(dirs.begin(), dirs.end(), [&](TDirection d) {
    return PlaceInDirection(grid, word, d, rnd, out);
  });
}

// Placement order: longest first (stable, so equal lengths keep list order).
QList<int> PlacementOrder(const QStringList& words) {
  QList<int> order(words.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return words[a].size() > words[b].size(); });
  return order;
}

// One try at a layout; false when some word found no room.
bool TryLayout(const QStringList& words, TPuzzleRandom& rnd, TMadePuzzle& out) {
  const QList<int> order = PlacementOrder(words);
  const QList<TDirection>& dirs = AllDirections();
  const int turn = rnd.Below(static_cast<int>(dirs.size()));
  for (qsizetype k = 0; k < order.size(); ++k) {
    const QString& word = words[order[k]];
    TPlacement& p = out.placements[order[k]];
    const bool placed = k < dirs.size()
                            ? PlaceInDirection(out.cells, word, dirs[(k + turn) % dirs.size()], rnd, p)
                            : PlaceAnywhere(out.cells, word, rnd, p);
    if (!placed)
      return false;
  }
  return true;
}

void FillEmpty(IGridCells& grid, TPuzzleRandom& rnd) {
  const QString& letters = GridAlphabet();
  for (int c = 0; c < grid.ColCount(); ++c)
    for (int r = 0; r < grid.RowCount(); ++r)
      if (grid.Cell(c, r).isEmpty())
        grid.SetCell(c, r, QString(letters[rnd.Below(static_cast<int>(letters.size()))]));
}

void CheckWords(const QStringList& words, int cols, int rows) {
  for (const QString& w : words) {
    if (w.isEmpty() || w.size() > std::max(cols, rows))
      throw EPuzzleLayout(QStringLiteral("Word does not fit the grid: %s"), {w});
    for (QChar ch : w)
      if (!GridAlphabet().contains(ch))
        throw EPuzzleLayout(QStringLiteral("Word holds a letter the grid cannot: %s"), {w});
  }
}

}  // namespace

std::uint64_t TPuzzleRandom::Next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

int TPuzzleRandom::Below(int range) {
  // The top 32 bits scaled to the range: no modulo bias worth noting here.
  return static_cast<int>(((Next() >> 32) * static_cast<std::uint64_t>(range)) >> 32);
}

const QList<TDirection>& AllDirections() {
  static const QList<TDirection> dirs{{1, 0},  {-1, 0}, {0, 1},  {0, -1},
                                      {1, 1},  {-1, -1}, {1, -1}, {-1, 1}};
  return dirs;
}

const QString& GridAlphabet() {
  static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00C4\u00D6\u00C5");
  return letters;
}

TMadePuzzle MakePuzzle(const QStringList& words, int cols, int rows, std::uint64_t seed) {
  CheckWords(words, cols, rows);
  TPuzzleRandom rnd(seed);
  for (int attempt = 0; attempt < MaxLayoutAttempts; ++attempt) {
    TMadePuzzle made;
    made.cells.SetSize(cols, rows);
    made.placements.resize(words.size());
    if (TryLayout(words, rnd, made)) {
      FillEmpty(made.cells, rnd);
      return made;
    }
  }
  throw EPuzzleLayout(QStringLiteral("No layout found for the word list"));
}

bool FindWord(const IGridCells& grid, const QString& word, TPlacement& where) {
  const QList<TPlacement> found = FindWordEverywhere(grid, word);
  if (found.isEmpty())
    return false;
  where = found.first();
  return true;
}

QList<TPlacement> FindWordEverywhere(const IGridCells& grid, const QString& word) {
  QList<TPlacement> found;
  if (word.isEmpty())
    return found;
  for (TDirection d : AllDirections())
    for (int c = 0; c < grid.ColCount(); ++c)
      for (int r = 0; r < grid.RowCount(); ++r)
        if (ReadsAt(grid, word, c, r, d))
          found.append(TPlacement{word, c, r, d});
  return found;
}
