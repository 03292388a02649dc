#include "game/main.h"

#include "components/ActivApp.h"
#include "components/Aligrid.h"
#include "components/Lumbtn.h"
#include "components/Lumcompf.h"
#include "components/Lumexctl.h"
#include "components/MRUList.h"
#include "components/PrnCells.h"
#include "components/RegistryEnhanced.h"
#include "game/GameResources.h"
#include "components/GridCells.h"
#include "game/kuvapas.h"
#include "game/mainprint.h"
#include "game/numero.h"
#include "game/ohjelmasta.h"
#include "game/rekisteri.h"
#include "game/sana.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Application.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/ColorDialog.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/FontDialog.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Label.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/Progress.h"
#include "platform/controls/Screen.h"
#include "platform/controls/Timer.h"
#include "platform/registry/RegIniFile.h"

#include <QCoreApplication>

TForm1* Form1 = nullptr;

namespace {

// The folder of the program's own file, with its trailing delimiter.
QString ProgramFolder() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

}  // namespace

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  InitGameResources();
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
      Field("sanatjarjestyksessa", &TForm1::sanatjarjestyksessa),
      Field("Ruudukonsanatmuutetaannumeroiksi1", &TForm1::Ruudukonsanatmuutetaannumeroiksi1),
      Field("Tanssivalehm1", &TForm1::Tanssivalehm1),
      Field("Vieteriukko1", &TForm1::Vieteriukko1),
      Field("Eimitn1", &TForm1::Eimitn1),
      Field("PopupMenu1", &TForm1::PopupMenu1),
      Field("Panel1", &TForm1::Panel1),
      Field("SpeedButton1", &TForm1::SpeedButton1),
      Field("SpeedButton2", &TForm1::SpeedButton2),
      Field("SpeedButton3", &TForm1::SpeedButton3),
      Field("SpeedButton4", &TForm1::SpeedButton4),
      Field("esiinnappi", &TForm1::esiinnappi),
      Field("esiinalas", &TForm1::esiinalas),
      Field("monta", &TForm1::monta),
      Field("bar", &TForm1::bar),
      Field("RichEdit1", &TForm1::RichEdit1),
      Field("Animate1", &TForm1::Animate1),
      Field("OpenDialog1", &TForm1::OpenDialog1),
      Field("FontDialog1", &TForm1::FontDialog1),
      Field("ColorDialog1", &TForm1::ColorDialog1),
      Field("Timer2", &TForm1::Timer2),
      Field("Timer3", &TForm1::Timer3),
      Field("MRUManager1", &TForm1::MRUManager1),
      Field("rekisteri", &TForm1::rekisteri),
      Field("ActivApp1", &TForm1::ActivApp1),
      Field("PrnCells1", &TForm1::PrnCells1),
      Field("FormSizer1", &TForm1::FormSizer1),
      Field("stringgrid1", &TForm1::stringgrid1),
      Handler("FormCreate", &TForm1::FormCreate),
      Handler("FormClose", &TForm1::FormClose),
      Handler("Avaa1Click", &TForm1::Avaa1Click),
      Handler("MRUManager1Click", &TForm1::MRUManager1Click),
      Handler("Muokkain1Click", &TForm1::Muokkain1Click),
      Handler("Tulosta1Click", &TForm1::Tulosta1Click),
      Handler("Lopeta1Click", &TForm1::Lopeta1Click),
      Handler("sanatjarjestyksessaClick", &TForm1::sanatjarjestyksessaClick),
      Handler("Ruudukonsanatmuutetaannumeroiksi1Click",
              &TForm1::Ruudukonsanatmuutetaannumeroiksi1Click),
      Handler("Ruudukonkirjasin1Click", &TForm1::Ruudukonkirjasin1Click),
      Handler("Lydetynvri1Click", &TForm1::Lydetynvri1Click),
      Handler("Ohje2Click", &TForm1::Ohje2Click),
      Handler("Tietoaohjelmasta1Click", &TForm1::Tietoaohjelmasta1Click),
      Handler("StringGrid1MouseDown", &TForm1::StringGrid1MouseDown),
      Handler("stringgrid1MouseUp", &TForm1::stringgrid1MouseUp),
      Handler("SpeedButton2MouseUp", &TForm1::SpeedButton2MouseUp),
      Handler("AikaClick", &TForm1::AikaClick),
      Handler("Timer2Timer", &TForm1::Timer2Timer),
      Handler("Tanssivalehm1Click", &TForm1::Tanssivalehm1Click),
      Handler("Vieteriukko1Click", &TForm1::Vieteriukko1Click),
      Handler("Eimitn1Click", &TForm1::Eimitn1Click),
      Handler("Timer3Timer", &TForm1::Timer3Timer),
      Handler("esiinnappiTimer", &TForm1::esiinnappiTimer),
      Handler("esiinalasTimer", &TForm1::esiinalasTimer),
  };
}

// Creation and closing -------------------------------------------------------

void TForm1::FormCreate(TObject*) {
  ClearHintSlots(state_);
  state_.PrintTitle.clear();
  state_.InOrder = false;
  state_.NumbersMode = false;
  PlaceMainWindow();
  state_.PictureLeft = state_.PictureHomeLeft =
      stringgrid1->Left() + stringgrid1->Width() + Left() + 14;
  state_.PictureTop = state_.PictureHomeTop = Top() + 76;
  ActivApp1->SetExePath(ProgramFolder() + QStringLiteral("muokkain"));
  // The bundled puzzles lie beside the program.
  OpenDialog1->SetInitialDir(ProgramFolder());
  cells_ = std::make_unique<TGridCells>(*stringgrid1);
  SetMainGrid([this]() -> IGridCells* { return cells_.get(); });
  RegIni = std::make_unique<TRegIniFile>(QStringLiteral("Software\\QXTrovaly"));
  MRUManager1->LoadFromRegIni(RegIni.get(), QStringLiteral("MenunViimeiset"));
  state_.ClearDirections();
  ReadSettings(*this);
}

void TForm1::PlaceMainWindow() {
  const int width = Screen != nullptr ? Screen->Width() : 800;
  const int height = Screen != nullptr ? Screen->Height() : 600;
  const int left = width <= 640 ? 1 : width <= 800 ? 60 : width <= 1024 ? 76 : 90;
  SetLeft(left);
  SetTop(height / 2 - Height() / 2);
  FormSizer1->SetLeftMax(Left());
  FormSizer1->SetLeftMin(Left());
  FormSizer1->SetTopMax(Top());
  FormSizer1->SetTopMin(Top());
}

void TForm1::FormClose(TObject*, TCloseAction&) {
  if (RegIni != nullptr) MRUManager1->SaveToRegIni(RegIni.get(), QStringLiteral("MenunViimeiset"));
  WriteSettings(*this);
}

// The board ------------------------------------------------------------------

TStrings& TForm1::WordList() { return *RichEdit1->Lines(); }

void TForm1::SetWordsLeft(const QString& text) { monta->SetCaption(text); }

void TForm1::EndOfGame() {
  if (Form3 != nullptr) Form3->Close();
  SpeedButton2->SetDown(false);
  lopeta_ajanotto();
}

void TForm1::ShowAnimationChoice() {
  Tanssivalehm1->SetChecked(state_.AnimCow);
  Vieteriukko1->SetChecked(state_.AnimJester);
  Eimitn1->SetChecked(state_.AnimNone);
}

void TForm1::ShowNumbersMode() {
  Ruudukonsanatmuutetaannumeroiksi1->SetChecked(state_.NumbersMode);
}

// Menus and tool buttons -----------------------------------------------------

void TForm1::Muokkain1Click(TObject*) { ActivApp1->ActivateApp(); }

void TForm1::Tulosta1Click(TObject*) { PrintPuzzle(*this, *PrnCells1); }

void TForm1::Lopeta1Click(TObject*) { Close(); }

void TForm1::sanatjarjestyksessaClick(TObject*) {
  state_.InOrder = !state_.InOrder;
  sanatjarjestyksessa->SetChecked(state_.InOrder);
}

void TForm1::Ruudukonsanatmuutetaannumeroiksi1Click(TObject*) { ToggleNumbersMode(*this); }

void TForm1::Ohje2Click(TObject*) {
  Application->SetHelpFile(ProgramFolder() + QStringLiteral("trovaly10.hlp"));
  Application->HelpContext(1);
}

void TForm1::Tietoaohjelmasta1Click(TObject*) {
  if (AboutBox != nullptr) AboutBox->ShowModal();
}

// The grid -------------------------------------------------------------------

void TForm1::StringGrid1MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  int col = -1;
  int row = -1;
  stringgrid1->MouseToCell(x, y, col, row);
  PressCell(*this, col, row);
}

void TForm1::stringgrid1MouseUp(TObject*, TMouseButton button, TShiftState, int x, int y) {
  int col = -1;
  int row = -1;
  stringgrid1->MouseToCell(x, y, col, row);
  if (button == mbRight)
    HintReleased(*this, col, row);
  else if (button == mbLeft)
    SelectionReleased(*this, col, row);
}
