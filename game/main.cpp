#include "game/main.h"

#include "components/ActivApp.h"
#include "components/Aligrid.h"
#include "components/Lumexctl.h"
#include "components/MRUList.h"
#include "components/RegistryEnhanced.h"
#include "game/GameResources.h"
#include "game/GridCells.h"
#include "game/kuvapas.h"
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
  DefineMethod("FormCreate", this, &TForm1::FormCreate);
  DefineMethod("FormClose", this, &TForm1::FormClose);
  DefineMethod("Avaa1Click", this, &TForm1::Avaa1Click);
  DefineMethod("MRUManager1Click", this, &TForm1::MRUManager1Click);
  DefineMethod("Muokkain1Click", this, &TForm1::Muokkain1Click);
  DefineMethod("Tulosta1Click", this, &TForm1::Tulosta1Click);
  DefineMethod("Lopeta1Click", this, &TForm1::Lopeta1Click);
  DefineMethod("sanatjarjestyksessaClick", this, &TForm1::sanatjarjestyksessaClick);
  DefineMethod("Ruudukonsanatmuutetaannumeroiksi1Click", this,
               &TForm1::Ruudukonsanatmuutetaannumeroiksi1Click);
  DefineMethod("Ruudukonkirjasin1Click", this, &TForm1::Ruudukonkirjasin1Click);
  DefineMethod("Lydetynvri1Click", this, &TForm1::Lydetynvri1Click);
  DefineMethod("Ohje2Click", this, &TForm1::Ohje2Click);
  DefineMethod("Tietoaohjelmasta1Click", this, &TForm1::Tietoaohjelmasta1Click);
  DefineMethod("StringGrid1MouseDown", this, &TForm1::StringGrid1MouseDown);
  DefineMethod("stringgrid1MouseUp", this, &TForm1::stringgrid1MouseUp);
  DefineMethod("SpeedButton2MouseUp", this, &TForm1::SpeedButton2MouseUp);
  DefineMethod("AikaClick", this, &TForm1::AikaClick);
  DefineMethod("Timer2Timer", this, &TForm1::Timer2Timer);
  DefineMethod("Tanssivalehm1Click", this, &TForm1::Tanssivalehm1Click);
  DefineMethod("Vieteriukko1Click", this, &TForm1::Vieteriukko1Click);
  DefineMethod("Eimitn1Click", this, &TForm1::Eimitn1Click);
  DefineMethod("Timer3Timer", this, &TForm1::Timer3Timer);
  DefineMethod("esiinnappiMouseDown", this, &TForm1::esiinnappiMouseDown);
  DefineMethod("esiinalasMouseDown", this, &TForm1::esiinalasMouseDown);
  DefineMethod("RepeatMouseUp", this, &TForm1::RepeatMouseUp);
  DefineMethod("RepeatTimerTimer", this, &TForm1::RepeatTimerTimer);
  ReadForm(this);
  FindComponents();
}

TForm1::~TForm1() {
  if (Form1 == this) {
    SetMainGrid(nullptr);
    Form1 = nullptr;
  }
}

void TForm1::FindComponents() {
  if (stringgrid1 != nullptr) return;
  auto find = [this](auto*& field, const char* name) {
    using T = std::remove_pointer_t<std::remove_reference_t<decltype(field)>>;
    field = FindComponentAs<T>(this, QString::fromLatin1(name));
  };
  find(MainMenu1, "MainMenu1");
  find(Tiedosto1, "Tiedosto1");
  find(sanatjarjestyksessa, "sanatjarjestyksessa");
  find(Ruudukonsanatmuutetaannumeroiksi1, "Ruudukonsanatmuutetaannumeroiksi1");
  find(Tanssivalehm1, "Tanssivalehm1");
  find(Vieteriukko1, "Vieteriukko1");
  find(Eimitn1, "Eimitn1");
  find(PopupMenu1, "PopupMenu1");
  find(Panel1, "Panel1");
  find(SpeedButton1, "SpeedButton1");
  find(SpeedButton2, "SpeedButton2");
  find(SpeedButton3, "SpeedButton3");
  find(SpeedButton4, "SpeedButton4");
  find(esiinnappi, "esiinnappi");
  find(esiinalas, "esiinalas");
  find(monta, "monta");
  find(bar, "bar");
  find(RichEdit1, "RichEdit1");
  find(Animate1, "Animate1");
  find(OpenDialog1, "OpenDialog1");
  find(FontDialog1, "FontDialog1");
  find(ColorDialog1, "ColorDialog1");
  find(Timer2, "Timer2");
  find(Timer3, "Timer3");
  find(RepeatTimer, "RepeatTimer");
  find(MRUManager1, "MRUManager1");
  find(rekisteri, "rekisteri");
  find(ActivApp1, "ActivApp1");
  find(stringgrid1, "stringgrid1");
}

// Creation and closing -------------------------------------------------------

void TForm1::FormCreate(TObject*) {
  FindComponents();
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
  OpenDialog1->SetInitialDir(ProgramFolder() + QStringLiteral("puzzles"));
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
  FormSizer1.Pin(Left(), Top());
}

void TForm1::FormClose(TObject*, TCloseAction&) {
  if (RegIni != nullptr) MRUManager1->SaveToRegIni(RegIni.get(), QStringLiteral("MenunViimeiset"));
  WriteSettings(*this);
}

void TForm1::WndProc(TMessage& message) {
  FormSizer1.Filter(message);
  TForm::WndProc(message);
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

void TForm1::Tulosta1Click(TObject*) {
  ShowMessage(QStringLiteral("Tulostaminen ei ole vielä mahdollista."));
}

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
