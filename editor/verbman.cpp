#include "editor/verbman.h"

#include "components/ActivApp.h"
#include "components/Aligrid.h"
#include "components/FormFill.h"
#include "components/GridCells.h"
#include "components/PrnCells.h"
#include "editor/EditorResources.h"
#include "editor/FileOp.h"
#include "editor/alustus.h"
#include "editor/verbmanprint.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "platform/controls/Application.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Image.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/UpdateScope.h"
#include "puzzle/IO.h"

#include <QCoreApplication>

TForm1* Form1 = nullptr;

namespace {

QString ProgramFolder() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

}  // namespace

QString UpperWordList(const QString& text) {
  QString upper = text;
  for (QChar& ch : upper) {
    const char16_t c = ch.unicode();
    if ((c >= u'a' && c <= u'z') || c == u'å' || c == u'ä' || c == u'ö') ch = ch.toUpper();
  }
  return upper;
}

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  InitEditorResources();
  Form1 = this;
  ReadForm(this);
}

TForm1::~TForm1() {
  if (Form1 == this) {
    SetMainGrid(nullptr);
    Form1 = nullptr;
  }
}

TFormBinding TForm1::Binding() {
  return {
      Field("MainMenu1", &TForm1::MainMenu1),
      Field("Tiedosto1", &TForm1::Tiedosto1),
      Field("Muokkaa1", &TForm1::Muokkaa1),
      Field("Ohje1", &TForm1::Ohje1),
      Field("Panel1", &TForm1::Panel1),
      Field("SpeedButton1", &TForm1::SpeedButton1),
      Field("SpeedButton2", &TForm1::SpeedButton2),
      Field("SpeedButton3", &TForm1::SpeedButton3),
      Field("SpeedButton4", &TForm1::SpeedButton4),
      Field("SpeedButton5", &TForm1::SpeedButton5),
      Field("SpeedButton6", &TForm1::SpeedButton6),
      Field("SpeedButton7", &TForm1::SpeedButton7),
      Field("SpeedButton8", &TForm1::SpeedButton8),
      Field("SpeedButton9", &TForm1::SpeedButton9),
      Field("SpeedButton10", &TForm1::SpeedButton10),
      Field("SpeedButton11", &TForm1::SpeedButton11),
      Field("SpeedButton12", &TForm1::SpeedButton12),
      Field("SpeedButton13", &TForm1::SpeedButton13),
      Field("SpeedButton14", &TForm1::SpeedButton14),
      Field("SpeedButton15", &TForm1::SpeedButton15),
      Field("StringGrid1", &TForm1::StringGrid1),
      Field("StringGrid2", &TForm1::StringGrid2),
      Field("kir", &TForm1::kir),
      Field("richedit1", &TForm1::richedit1),
      Field("Panel2", &TForm1::Panel2),
      Field("Image1", &TForm1::Image1),
      Field("PwFormFill1", &TForm1::PwFormFill1),
      Field("ActivApp1", &TForm1::ActivApp1),
      Field("PrnCells1", &TForm1::PrnCells1),
      Field("SaveDialog1", &TForm1::SaveDialog1),
      Field("OpenDialog1", &TForm1::OpenDialog1),
      Field("OpenPictureDialog1", &TForm1::OpenPictureDialog1),
      Field("FileOperation1", &TForm1::FileOperation1),
      Handler("FormCreate", &TForm1::FormCreate),
      Handler("StringGrid2MouseDown", &TForm1::StringGrid2MouseDown),
      Handler("StringGrid1MouseUp", &TForm1::StringGrid1MouseUp),
      Handler("StringGrid1MouseDown", &TForm1::StringGrid1MouseDown),
      Handler("SpeedButton4Click", &TForm1::SpeedButton4Click),
      Handler("Tydenn1Click", &TForm1::Tydenn1Click),
      Handler("SpeedButton14Click", &TForm1::SpeedButton14Click),
      Handler("Tallenna1Click", &TForm1::Tallenna1Click),
      Handler("Lataa1Click", &TForm1::Lataa1Click),
      Handler("Uusi1Click", &TForm1::Uusi1Click),
      Handler("SpeedButton13Click", &TForm1::SpeedButton13Click),
      Handler("SpeedButton11Click", &TForm1::SpeedButton11Click),
      Handler("SpeedButton15Click", &TForm1::SpeedButton15Click),
      Handler("SpeedButton5Click", &TForm1::SpeedButton5Click),
      Handler("Lopeta2Click", &TForm1::Lopeta2Click),
      Handler("Leikkaasanalistalta1Click", &TForm1::Leikkaasanalistalta1Click),
      Handler("Kopioisanalistalta1Click", &TForm1::Kopioisanalistalta1Click),
      Handler("sClick", &TForm1::sClick),
      Handler("Poistasanalistasta1Click", &TForm1::Poistasanalistasta1Click),
      Handler("SpeedButton12Click", &TForm1::SpeedButton12Click),
  };
}

void TForm1::FormCreate(TObject*) {
  cells_ = std::make_unique<TGridCells>(*StringGrid1);
  SetMainGrid([this]() -> IGridCells* { return cells_.get(); });
  ClearGrid();
  FillPalette();
  WordInProgress.clear();
}

// Grid editing ---------------------------------------------------------------

void TForm1::StringGrid2MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  StringGrid1->SetEnabled(true);
  if (button != mbLeft) return;
  int col = -1;
  int row = -1;
  StringGrid2->MouseToCell(x, y, col, row);
  if (col < 0 || row < 0 || col >= StringGrid2->ColCount() || row >= StringGrid2->RowCount())
    return;
  CurrentLetter = StringGrid2->Cells(col, row);
  kir->SetCaption(CurrentLetter);
}

void TForm1::StringGrid1MouseUp(TObject*, TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  int col = -1;
  int row = -1;
  StringGrid1->MouseToCell(x, y, col, row);
  // A release off the grid (the press began on it) places nothing.
  if (col < 0 || row < 0 || col >= StringGrid1->ColCount() || row >= StringGrid1->RowCount())
    return;
  StringGrid1->SetCells(col, row, CurrentLetter);
  WordInProgress += CurrentLetter;
}

void TForm1::StringGrid1MouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != mbRight) return;
  TStrings& list = *richedit1->Lines();
  TUpdateScope batch(list);
  for (int i = list.Count() - 1; i >= 0; --i)
    if (list.Strings(i).isEmpty()) list.Delete(i);
  batch.Close();
  if (list.Count() <= 12 && !WordInProgress.isEmpty()) AppendWord();
}

void TForm1::AppendWord() {
  richedit1->Lines()->Add(WordInProgress);
  WordInProgress.clear();
}

void TForm1::SpeedButton4Click(TObject*) { AppendWord(); }

void TForm1::Tydenn1Click(TObject*) { FillRandomLetters(); }

void TForm1::SpeedButton14Click(TObject*) { FillWordLetters(); }

// Commands -------------------------------------------------------------------

void TForm1::ClearPicture() { Image1->Picture()->SetGraphic(nullptr); }

void TForm1::Uusi1Click(TObject*) {
  for (int c = 0; c < 12; ++c)
    for (int r = 0; r < 12; ++r) StringGrid1->SetCells(c, r, QString());
  richedit1->Lines()->Clear();
  SetCaption(EditorTitle());
  kir->SetCaption(QString());
  CurrentLetter.clear();
  ClearPicture();
  PictureSource.clear();
}

void TForm1::SpeedButton13Click(TObject*) {
  StringGrid1->SetEnabled(false);
  kir->SetCaption(QString());
  CurrentLetter.clear();
  if (!OpenPictureDialog1->Execute()) return;
  const QString chosen = OpenPictureDialog1->FileName();
  Image1->Picture()->LoadFromFile(chosen);
  PictureSource = chosen;
}

void TForm1::SpeedButton11Click(TObject*) {
  ClearPicture();
  PictureSource.clear();
}

void TForm1::SpeedButton15Click(TObject*) {
  PrintEditorPuzzle(*PrnCells1, *richedit1->Lines(), *StringGrid1);
}

void TForm1::SpeedButton5Click(TObject*) {
  Application->SetHelpFile(ProgramFolder() + QStringLiteral("editori.hlp"));
  Application->HelpContext(1);
}

void TForm1::Lopeta2Click(TObject*) { Close(); }

void TForm1::Leikkaasanalistalta1Click(TObject*) {
  richedit1->CutToClipboard();
  SpeedButton12->SetEnabled(true);
}

void TForm1::Kopioisanalistalta1Click(TObject*) {
  richedit1->CopyToClipboard();
  SpeedButton12->SetEnabled(true);
}

void TForm1::sClick(TObject*) {
  richedit1->PasteFromClipboard();
  SpeedButton12->SetEnabled(true);
}

void TForm1::Poistasanalistasta1Click(TObject*) {
  richedit1->ClearSelection();
  SpeedButton12->SetEnabled(true);
}

void TForm1::SpeedButton12Click(TObject*) {
  if (!richedit1->HandleAllocated()) return;
  richedit1->Perform(EM_UNDO, 0, 0);
  SpeedButton12->SetEnabled(false);
}
