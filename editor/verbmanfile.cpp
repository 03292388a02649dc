// Saving and loading a puzzle: the grid file, the word list and the picture.
#include "components/Aligrid.h"
#include "editor/FileOp.h"
#include "editor/verbman.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Image.h"
#include "platform/controls/Memo.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kGridSize = 12;

// Two names of one file: the same canonical path when the file exists.
bool SamePath(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return a == b;
  const QFileInfo fa(a);
  const QFileInfo fb(b);
  if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
  return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

}  // namespace

void TForm1::Tallenna1Click(TObject*) {
  // The dialog offers the puzzle shown: the name of its last save or load.
  if (!FileName.isEmpty()) SaveDialog1->SetFileName(FileName);
  if (!SaveDialog1->Execute()) return;
  StringGrid1->SetEnabled(false);
  TStrings& list = *richedit1->Lines();
  list.SetText(UpperWordList(list.Text()));
  const QString fileName = SaveDialog1->FileName();
  SaveGrid(fileName);
  FileName = fileName;
  const QString folder = GridFolder(fileName);
  const QString base = PuzzleBaseName(fileName);
  SetCaption(EditorTitle() + QStringLiteral(" - [") + base + QLatin1Char(']'));
  ListPath = WordListFileName(fileName);
  list.SaveToFile(ListPath);
  CurrentLetter.clear();
  PlacePicture(folder, base);
}

void TForm1::PlacePicture(const QString& folder, const QString& base) {
  const QString target = folder + base + QStringLiteral(".bmp");
  // A different picture under the puzzle's name stays beside it; with
  // renaming on collision an earlier copy is never replaced.
  if (QFileInfo::exists(target) && !SamePath(target, PictureSource)) {
    FileOperation1->SetOperation(foRename);
    FileOperation1->SetFromPaths({target});
    FileOperation1->SetToPaths({folder + QStringLiteral("Kopio ") + base + QStringLiteral(".bmp")});
    FileOperation1->Execute();
  }
  if (!PictureSource.isEmpty() && QFileInfo(PictureSource).isFile() &&
      !SamePath(PictureSource, target)) {
    FileOperation1->SetOperation(foCopy);
    FileOperation1->SetFromPaths({PictureSource});
    FileOperation1->SetToPaths({target});
    FileOperation1->Execute();
  }
}

void TForm1::Lataa1Click(TObject*) {
  StringGrid1->SetEnabled(false);
  if (!OpenDialog1->Execute()) {
    CurrentLetter.clear();
    return;
  }
  const QString fileName = OpenDialog1->FileName();
  // Everything is read before anything on screen changes: a broken or
  // missing file leaves the puzzle shown as it was.
  TPlainCells cells;
  LoadGrid(cells, fileName);
  if (cells.ColCount() != kGridSize || cells.RowCount() != kGridSize)
    throw EInOutError(EInOutError::InvalidNumericFormat,
                      QStringLiteral("%1 ei ole 12 x 12 -ruudukko (%2 x %3)")
                          .arg(QDir::toNativeSeparators(fileName))
                          .arg(cells.ColCount())
                          .arg(cells.RowCount()));
  const QString listPath = WordListFileName(fileName);
  TStringList words;
  words.LoadFromFile(listPath);
  const QString folder = GridFolder(fileName);
  const QString base = PuzzleBaseName(fileName);
  const QString picture = folder + base + QStringLiteral(".bmp");
  TPicture preview;
  if (QFileInfo::exists(picture)) {
    try {
      preview.LoadFromFile(picture);
    } catch (const EInvalidGraphic&) {
      // A picture that cannot be read shows as none.
    }
  }

  ClearPicture();
  for (int c = 0; c < kGridSize; ++c)
    for (int r = 0; r < kGridSize; ++r) StringGrid1->SetCells(c, r, cells.Cell(c, r));
  FileName = fileName;
  SetCaption(EditorTitle() + QStringLiteral(" - [") + base + QLatin1Char(']'));
  ListPath = listPath;
  richedit1->Lines()->Assign(words);
  if (preview.Graphic() != nullptr) Image1->Picture()->Assign(&preview);
  PictureSource = picture;
  CurrentLetter.clear();
}
