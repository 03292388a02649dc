#include "editor/alustus.h"

#include "components/Aligrid.h"
#include "editor/verbman.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "platform/controls/Memo.h"
#include "platform/rtl/Random.h"

#include <QStringList>

namespace {

constexpr int kSlots = 29;

TForm1& Form() { return *Form1; }

// Random fills walk column by column, each column from its first row.
template <class Next>
void FillEmptyCells(Next next) {
  TStringAlignGrid& grid = *Form().StringGrid1;
  for (int c = 0; c < grid.ColCount(); ++c)
    for (int r = 0; r < grid.RowCount(); ++r)
      if (grid.Cells(c, r).isEmpty()) grid.SetCells(c, r, next());
}

}  // namespace

void FillPalette() {
  TStringAlignGrid& palette = *Form().StringGrid2;
  for (int c = 0; c < 15; ++c) palette.SetCells(c, 0, QString(QChar(u'A' + c)));
  for (int c = 0; c < 11; ++c) palette.SetCells(c, 1, QString(QChar(u'P' + c)));
  palette.SetCells(11, 1, QStringLiteral("Å"));
  palette.SetCells(12, 1, QStringLiteral("Ä"));
  palette.SetCells(13, 1, QStringLiteral("Ö"));
  palette.SetCells(14, 1, QString());
  Form().kir->SetCaption(QString());
}

void ClearGrid() {
  TStringAlignGrid& grid = *Form().StringGrid1;
  for (int c = 0; c < grid.ColCount(); ++c)
    for (int r = 0; r < grid.RowCount(); ++r) grid.SetCells(c, r, QString());
}

QString RandomLetter() {
  int code = 0;
  do {
    code = Random(91);
  } while (code < 65);
  return QString(QChar(code));
}

void FillRandomLetters() {
  Randomize();
  FillEmptyCells([] { return RandomLetter(); });
}

QStringList WordCharacters(const QStringList& lines) {
  QStringList found;
  for (const QString& line : lines)
    for (const QChar ch : line)
      if (found.size() < kSlots && !found.contains(QString(ch))) found << QString(ch);
  return found;
}

void FillWordLetters() {
  TStrings& list = *Form().richedit1->Lines();
  QStringList lines;
  for (int i = 0; i < list.Count(); ++i) lines << list.Strings(i);
  const QStringList found = WordCharacters(lines);
  Randomize();
  if (found.isEmpty()) return;
  const int n = static_cast<int>(found.size());
  FillEmptyCells([&] { return found.at(Random(n)); });
}
