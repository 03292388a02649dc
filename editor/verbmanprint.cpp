#include "editor/verbmanprint.h"

#include "components/Aligrid.h"
#include "components/PrnCells.h"
#include "platform/controls/Dialogs.h"
#include "platform/printing/PrintFile.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr int kRows = 13;
constexpr int kGridSize = 12;

}  // namespace

void PrintEditorPuzzle(TPrnCells& cells, TStrings& words, TStringAlignGrid& grid) {
  cells.Clear();
  cells.SetFont(QStringLiteral("Arial"), 0, -0.4F, {});
  cells.SetAlignment(2);
  cells.AddCell(QStringLiteral("temp2"), 2, 2, 27, 13);
  cells.SplitCellRows(QStringLiteral("rivit"), {-13.0F, 0.5F});
  for (int i = 0; i < words.Count() && i < kRows; ++i) {
    TCell* row = cells.Select(QStringLiteral("rivitR%1").arg(i + 1));
    if (row != nullptr) row->SetText(words[i]);
  }
  cells.AddCell(QStringLiteral("temp"), 2, 2, 13, 13);
  cells.SplitCellGrid(QStringLiteral("ruudukko"), {-12.0F, 0.8F}, {-12.0F, 0.8F});
  cells.SetBorders(kSideOutline, 0, 0, 1);
  for (int c = 1; c <= kGridSize; ++c) {
    for (int r = 1; r <= kGridSize; ++r) {
      cells.Select(QStringLiteral("ruudukkoR%1C%2").arg(r).arg(c));
      cells.SetText({grid.Cells(c - 1, r - 1)});
    }
  }
  cells.Print(QStringLiteral("koe"));
}

void AnnounceEditorPrintFiles() {
  SetPrintFileNotice([](const QString& path) {
    ShowMessage(QStringLiteral("Tulostettu tiedostoon %1").arg(path));
  });
}
