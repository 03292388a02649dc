// Opening a puzzle: through the open dialog or from the recent-files menu.
#include "components/Lumbtn.h"
#include "components/Lumexctl.h"
#include "components/Aligrid.h"
#include "components/MRUList.h"
#include "game/kuvapas.h"
#include "game/main.h"
#include "game/numero.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"

#include <QFile>
#include <QScopeGuard>

#include <memory>

namespace {

// Every cell back to a white background without a hint.
void ClearCellMarks(TStringAlignGrid& grid) {
  for (int c = 0; c < grid.ColCount(); ++c) {
    for (int r = 0; r < grid.RowCount(); ++r) {
      grid.SetCellColor(c, r, clWhite);
      grid.SetCellHint(c, r, QString());
    }
  }
}

// The puzzle's picture, or nullptr when there is none: a file that cannot
// be opened (a folder, no read permission) or is no picture counts as none.
std::unique_ptr<TPicture> ReadPicture(const QString& pictureFile) {
  if (!QFile::exists(pictureFile)) return nullptr;
  auto picture = std::make_unique<TPicture>();
  try {
    picture->LoadFromFile(pictureFile);
  } catch (const EInvalidGraphic&) {
    return nullptr;
  } catch (const EStreamError&) {
    return nullptr;
  }
  return picture;
}

}  // namespace

void TForm1::Avaa1Click(TObject*) {
  stringgrid1->SetEnabled(false);
  // However the open ends (also cancelled or failed), the grid is usable again.
  const auto enable = qScopeGuard([this] { Guard(this, [this] { stringgrid1->SetEnabled(true); }); });
  if (!OpenDialog1->Execute()) {
    // A cancelled open keeps the puzzle but drops its marks and colours.
    ClearCellMarks(*stringgrid1);
    ResetCellFonts();
    return;
  }
  const QString fileName = OpenDialog1->FileName();
  OpenDialog1->SetInitialDir(GridFolder(fileName));
  OpenPuzzle(fileName);
  MRUManager1->Add(fileName, 0);
}

void TForm1::MRUManager1Click(TObject*, const QString& recentName, const QString&, int) {
  // The stored path itself: a caption stops at a "|" that a path may hold.
  OpenPuzzle(recentName);
}

void TForm1::ResetBoardForOpen() {
  ClearCellMarks(*stringgrid1);
  state_.InOrder = false;
  state_.NumbersMode = false;
  sanatjarjestyksessa->SetChecked(false);
  ShowNumbersMode();
  ClearHintSlots(state_);
  HideAnimation();
  for (int c = 0; c < stringgrid1->ColCount(); ++c)
    for (int r = 0; r < stringgrid1->RowCount(); ++r)
      stringgrid1->GetCellFont(c, r)->SetColor(clBlack);
  state_.ClearDirections();
}

void TForm1::OpenPuzzle(const QString& fileName) {
  // The files are read whole before anything changes: a missing or broken
  // grid or list leaves the puzzle, its options, colours and state as they
  // were (the grid may show number codes that only the current table
  // decodes), and the picture can no longer fail half-way through.
  const QString listFile = WordListFileName(fileName);
  TStringList words;
  words.LoadFromFile(listFile);
  TPlainCells cells;
  LoadGrid(cells, fileName);
  const std::unique_ptr<TPicture> picture = ReadPicture(PictureFileName(fileName));

  const auto fonts = qScopeGuard([this] { Guard(this, [this] { ResetCellFonts(); }); });
  ResetBoardForOpen();
  CopyCells(cells, *cells_);
  state_.FileName = fileName;
  const QString base = PuzzleBaseName(fileName);
  state_.PrintTitle = GameTitle() + QStringLiteral(" - ") + base;
  SetCaption(GameTitle() + QStringLiteral(" - [") + base + QLatin1Char(']'));
  state_.ListFileName = listFile;
  ShowPicture(picture.get(), words.Count());
  RichEdit1->Lines()->Assign(words);
}

void TForm1::ShowPicture(TPicture* picture, int words) {
  if (picture == nullptr || Form3 == nullptr) {
    HidePicture();
    return;
  }
  Form3->Image1->Picture()->Assign(picture);
  esiinnappi->Show();
  esiinalas->Show();
  monta->Show();
  monta->SetCaption(QString::number(words));
  Form3->Show();
}

void TForm1::HidePicture() {
  esiinnappi->Hide();
  esiinalas->Hide();
  monta->Hide();
  monta->SetCaption(QString());
  if (Form3 != nullptr) Form3->Close();
}

void TForm1::ResetCellFonts() {
  TFont* font = stringgrid1->Font();
  for (int c = 0; c < stringgrid1->ColCount(); ++c) {
    for (int r = 0; r < stringgrid1->RowCount(); ++r) {
      TFont* cell = stringgrid1->GetCellFont(c, r);
      cell->SetColor(font->Color());
      cell->SetSize(font->Size());
    }
  }
}
