#include "puzzle/fuzz/GridFileCheck.h"

#include "platform/rtl/Exceptions.h"
#include "puzzle/IO.h"
#include "tests/support/FuzzCheck.h"

#include <QFile>

namespace {

// The format allows a million cells from a file of a few bytes; reading one
// is fuzzed at any size, the save and read-back only up to this many cells.
constexpr long long kRoundTripCells = 10000;

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString FirstDifference(const TPlainCells& a, const TPlainCells& b) {
  if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount())
    return QStringLiteral("size %1x%2 read back as %3x%4")
        .arg(a.ColCount()).arg(a.RowCount()).arg(b.ColCount()).arg(b.RowCount());
  for (int col = 0; col < a.ColCount(); ++col)
    for (int row = 0; row < a.RowCount(); ++row)
      if (a.Cell(col, row) != b.Cell(col, row))
        return QStringLiteral("cell %1,%2 read back changed").arg(col).arg(row);
  return {};
}

QString Check(const QByteArray& bytes, const QString& folder) {
  const QString input = folder + QStringLiteral("/input.vrb");
  const QString output = folder + QStringLiteral("/output.vrb");
  if (!WriteFile(input, bytes))
    return QStringLiteral("cannot write the scratch file");
  TPlainCells first;
  try {
    LoadGrid(first, input);
  } catch (const EInOutError&) {
    return {};
  }
  if (first.ColCount() > MaxGridCount || first.RowCount() > MaxGridCount)
    return QStringLiteral("a read grid is larger than the format allows");
  if (static_cast<long long>(first.ColCount()) * first.RowCount() > kRoundTripCells)
    return {};
  SaveGrid(first, output);
  const QByteArray written = ReadFile(output);
  TPlainCells second;
  LoadGrid(second, output);
  if (const QString diff = FirstDifference(first, second); !diff.isEmpty())
    return diff;
  SaveGrid(second, output);
  if (ReadFile(output) != written)
    return QStringLiteral("a grid read back saves to other bytes");
  return {};
}

}  // namespace

QString CheckGridFile(const QByteArray& bytes, const QString& folder) {
  return qxfuzz::Guarded([&] { return Check(bytes, folder); });
}
