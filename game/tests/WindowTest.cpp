// The main window, the picture window and the about box: placement, menus,
// help, the settings and the recent files kept between runs.
#include "components/Lumbtn.h"
#include "components/FormFill.h"
#include "components/Lumcompf.h"
#include "components/MRUList.h"
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Timer.h"
#include "platform/controls/ColorDialog.h"
#include "platform/controls/FontDialog.h"
#include "platform/controls/HelpViewer.h"
#include "platform/controls/Label.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/Screen.h"
#include "platform/registry/RegIniFile.h"
#include "platform/registry/Registry.h"
#include "platform/printing/Printer.h"
#include "platform/printing/QtPrintBackend.h"
#include "components/PrnCells.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>

#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>

namespace {

class MainWindow : public GameWindowTest {};

// Left edge by the screen width; the window then stays where it was put.
TEST_F(MainWindow, PlacedByScreenWidthAndPinned) {
  const struct {
    int width;
    int left;
  } rows[] = {{640, 1}, {800, 60}, {1024, 76}, {1280, 90}, {1920, 90}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.width);
    TearDown();
    SetUp();
    Screen->OverrideSize(row.width, 900);
    StartTrovaly(TStartOptions{0});
    EXPECT_EQ(Form1->Left(), row.left);
    EXPECT_EQ(Form1->Top(), 450 - Form1->Height() / 2);
    const int top = Form1->Top();
    EXPECT_EQ(Form1->FormSizer1->LeftMin(), row.left);
    EXPECT_EQ(Form1->FormSizer1->LeftMax(), row.left);
    EXPECT_EQ(Form1->FormSizer1->TopMin(), top);
    EXPECT_EQ(Form1->FormSizer1->TopMax(), top);
    Form1->SetBounds(row.left + 200, top - 30, Form1->Width(), Form1->Height());
    EXPECT_EQ(Form1->Left(), row.left);
    EXPECT_EQ(Form1->Top(), top);
  }
}

TEST_F(MainWindow, HomeOfThePictureWindowFollowsGridAndWindow) {
  Screen->OverrideSize(1280, 1024);
  Start();
  const TGameState& state = Form1->State();
  TStringAlignGrid* grid = Form1->stringgrid1;
  EXPECT_EQ(state.PictureHomeLeft, grid->Left() + grid->Width() + Form1->Left() + 14);
  EXPECT_EQ(state.PictureHomeTop, Form1->Top() + 76);
  EXPECT_EQ(Form3->FormSizer1->LeftMax(), Form1->Left() + Form1->Width() - 20);
  EXPECT_EQ(Form3->FormSizer1->TopMax(), Form1->Top() + Form1->Height() - 20);
}

TEST_F(MainWindow, PictureWindowGoesHomeWhenActivatedAndNudgesStopAtTheEdge) {
  Start();
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  ASSERT_TRUE(Form3->Visible());
  Form3->Perform(WM_ACTIVATE, WA_ACTIVE, 0);  // as the window manager does on showing
  TGameState& state = Form1->State();
  for (int i = 0; i < 5; ++i) Form1->NudgePictureRight();
  for (int i = 0; i < 3; ++i) Form1->NudgePictureDown();
  EXPECT_EQ(Form3->Left(), state.PictureHomeLeft + 5);
  EXPECT_EQ(Form3->Top(), state.PictureHomeTop + 3);
  EXPECT_EQ(state.PictureLeft, Form3->Left());
  Form3->Perform(WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(Form3->Left(), state.PictureHomeLeft);
  EXPECT_EQ(Form3->Top(), state.PictureHomeTop);
  EXPECT_EQ(state.PictureLeft, state.PictureHomeLeft);
  EXPECT_EQ(state.PictureTop, state.PictureHomeTop);
  for (int i = 0; i < 2000; ++i) Form1->NudgePictureRight();
  EXPECT_EQ(Form3->Left(), Form3->FormSizer1->LeftMax());
  EXPECT_EQ(state.PictureLeft, Form3->FormSizer1->LeftMax());
  for (int i = 0; i < 2000; ++i) Form1->NudgePictureDown();
  EXPECT_EQ(Form3->Top(), Form3->FormSizer1->TopMax());
  EXPECT_EQ(state.PictureTop, Form3->FormSizer1->TopMax());
}

TEST_F(MainWindow, HeldNudgeButtonRepeatsAfter400ThenEvery100Ms) {
  Start();
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  Form3->Perform(WM_ACTIVATE, WA_ACTIVE, 0);  // as the window manager does on showing
  const int home = Form1->State().PictureHomeLeft;
  TRepSpeedBtn* right = Form1->esiinnappi;
  right->Show();
  right->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_NE(right->RepeatTimer(), nullptr);
  ASSERT_TRUE(Running(right->RepeatTimer()));
  EXPECT_EQ(right->RepeatTimer()->Interval(), 400u);
  EXPECT_EQ(Form3->Left(), home);
  right->RepeatTimer()->Tick();
  EXPECT_EQ(Form3->Left(), home + 1);
  EXPECT_EQ(right->RepeatTimer()->Interval(), 100u);
  right->RepeatTimer()->Tick();
  EXPECT_EQ(Form3->Left(), home + 2);
  right->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(Running(right->RepeatTimer()));
  const int top = Form3->Top();
  TRepSpeedBtn* down = Form1->esiinalas;
  down->Show();
  down->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_NE(down->RepeatTimer(), nullptr);
  down->RepeatTimer()->Tick();
  EXPECT_EQ(Form3->Top(), top + 1);
  EXPECT_EQ(Form3->Left(), home + 2);
  down->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TEST_F(MainWindow, LayoutAndComponents) {
  Start();
  EXPECT_EQ(Form1->Caption(), "Trovaly 1.0");
  EXPECT_EQ(Form1->ClientWidth(), 473);
  EXPECT_EQ(Form1->ClientHeight(), 310);
  EXPECT_EQ(Form1->BorderStyle(), bsSingle);
  EXPECT_EQ(Form1->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
  TStringAlignGrid* grid = Form1->stringgrid1;
  EXPECT_EQ(grid->ColCount(), 12);
  EXPECT_EQ(grid->RowCount(), 12);
  EXPECT_EQ(grid->FixedCols(), 0);
  EXPECT_EQ(grid->FixedRows(), 0);
  EXPECT_EQ(grid->DefaultColWidth(), 20);
  EXPECT_EQ(grid->GridLineWidth(), 0);
  EXPECT_FALSE(grid->Editable());
  EXPECT_FALSE(grid->DrawSelection());
  EXPECT_EQ(grid->Alignment(), TMyAlign::alCenter);
  EXPECT_EQ(Form1->Animate1->BoundsRect(), Form1->RichEdit1->BoundsRect());
  EXPECT_EQ(Form1->Animate1->Width(), 177);
  EXPECT_EQ(Form1->Animate1->Height(), 240);
  EXPECT_EQ(Form1->Animate1->StopFrame(), 8);
  EXPECT_FALSE(Form1->RichEdit1->Enabled());
  EXPECT_TRUE(Form1->RichEdit1->ReadOnly());
  EXPECT_FALSE(Running(Form1->Timer2));
  EXPECT_FALSE(Running(Form1->Timer3));
  EXPECT_EQ(Form1->Timer3->Interval(), 11000u);
  EXPECT_FALSE(Form1->esiinnappi->Visible());
  EXPECT_FALSE(Form1->esiinalas->Visible());
  const struct {
    TControl* button;
    const char* hint;
  } buttons[] = {{Form1->SpeedButton1, "Uusi peli"}, {Form1->SpeedButton4, "Muokkain"},
                 {Form1->SpeedButton3, "Ohje"},      {Form1->SpeedButton2, "Ajanotto"},
                 {Form1->esiinnappi, "Siirrä kuvaa sivulle"},
                 {Form1->esiinalas, "Siirrä kuvaa alas"}};
  for (const auto& b : buttons) EXPECT_EQ(b.button->Hint(), QString::fromUtf8(b.hint));
  EXPECT_EQ(Form1->monta->Hint(), QString::fromUtf8("Kuinka monta sanaa jäljellä"));
  EXPECT_EQ(Form1->SpeedButton2->GroupIndex(), 1);
  EXPECT_TRUE(Form1->SpeedButton2->AllowAllUp());
}

TEST_F(MainWindow, MenusAsListed) {
  Start();
  const struct {
    const char* name;
    const char* caption;
    char key;  // Ctrl + key; 0: none
  } items[] = {
      {"Avaa1", "&Avaa", 'A'},
      {"Muokkain1", "Muokkain", 'E'},
      {"Tulosta1", "&Tulosta", 'T'},
      {"Lopeta1", "&Lopeta", 'L'},
      {"sanatjarjestyksessa", "Sanat on valittava &järjestyksessä", 'J'},
      {"Ruudukonsanatmuutetaannumeroiksi1", "Ruudukon kirjaimet muutetaan &numeroiksi", 'N'},
      {"Tanssivalehm1", "Tanssiva &lehmä", 0},
      {"Vieteriukko1", "Vieteri&ukko", 0},
      {"Eimitn1", "&Ei mitään", 0},
      {"Ruudukonkirjasin1", "Ruudukon &fontti", 0},
      {"Lydetynvri1", "Löydetyn &väri", 0},
      {"Ohje2", "&Ohje", 'O'},
      {"Tietoaohjelmasta1", "&Tietoa ohjelmasta", 0},
  };
  for (const auto& item : items) {
    auto* menuItem = FindComponentAs<TMenuItem>(Form1, QString::fromLatin1(item.name));
    EXPECT_EQ(menuItem->Caption(), QString::fromUtf8(item.caption)) << item.name;
    const TShortCut expected = item.key == 0 ? scNone : ShortCut(item.key, TShiftState{ssCtrl});
    EXPECT_EQ(menuItem->ShortCut(), expected) << item.name;
  }
  // The three animation items tick one at a time.
  Form1->Vieteriukko1Click(nullptr);
  EXPECT_FALSE(Form1->Tanssivalehm1->Checked());
  EXPECT_TRUE(Form1->Vieteriukko1->Checked());
  EXPECT_FALSE(Form1->Eimitn1->Checked());
  EXPECT_TRUE(Form1->State().AnimJester);
  EXPECT_FALSE(Form1->State().AnimCow);
}

TEST_F(MainWindow, HelpOpensTheGamesHelpAtContext1) {
  Start();
  Form1->Ohje2Click(nullptr);
  ASSERT_NE(Application->HelpViewer(), nullptr);
  EXPECT_TRUE(Application->HelpViewer()->IsOpen());
  EXPECT_TRUE(Application->HelpViewer()->Source().toString().endsWith("trovaly10.html#context-1"));
}

TEST_F(MainWindow, ThePuzzleSitsOnAShadowedCard) {
  Start();
  auto* fill = dynamic_cast<TPwFormFill*>(Form1->FindComponent(QStringLiteral("PwFormFill1")));
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->FillType(), QStringLiteral("Philadelphia"));
  EXPECT_EQ(fill->Top(), Form1->Panel1->Height());
  const QImage image = fill->PaintToImage();
  const int w = image.width(), h = image.height();
  EXPECT_EQ(QRgbToColor(image.pixel(w - 8, h - 8)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(QRgbToColor(image.pixel(5, 5)), clBlack);
  EXPECT_EQ(QRgbToColor(image.pixel(w / 2, h / 2)), clWhite);
}

TEST_F(MainWindow, PrintingToAFileTellsWhereThePageWent) {
  Start();
  const QString folder = qxtest::TempPath(QStringLiteral("prints"));
  ASSERT_TRUE(QDir().mkpath(folder));
  TQtPrintOptions options;
  options.SystemPrinters = false;
  options.FileFolder = folder;
  SetPrinter(std::make_unique<TPrinter>(std::make_unique<TQtPrintBackend>(options)));
  Form1->Tulosta1Click(nullptr);
  SetPrinter(nullptr);
  const QString file = folder + QStringLiteral("/koe.pdf");
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes.first(), QStringLiteral("Tulostettu tiedostoon ") + file);
  EXPECT_GT(QFileInfo(file).size(), 0);
  EXPECT_EQ(Form1->PrnCells1->CellCount(), 50 + 144);
}

TEST_F(MainWindow, AboutBoxBesideTheMainWindowWithScrollingCredits) {
  Start();
  EXPECT_EQ(AboutBox->Caption(), "Tietoa ohjelmasta");
  EXPECT_EQ(AboutBox->Left(), Form1->Left() + AboutBox->Width() / 2);
  EXPECT_EQ(AboutBox->KvLabel1->Caption(), "Trovaly 1.0");
  EXPECT_EQ(AboutBox->KvLabel1->ShadowColor(), clWhite);
  // The credits scroll from the start on, shown or not, on the panel's own timer.
  TSecretPanel* credits = AboutBox->SecretPanel1;
  ASSERT_TRUE(credits->Active());
  EXPECT_TRUE(Running(credits->ScrollTimer()));
  EXPECT_EQ(credits->ScrollTimer()->Interval(), 30u);
  EXPECT_TRUE(credits->Cycled());
  ASSERT_GT(credits->Lines()->Count(), 1);
  EXPECT_EQ(credits->Lines()->Strings(0), "Trovaly 1.0");
  credits->ScrollTimer()->FireTick();
  EXPECT_EQ(credits->ScrollPos(), 1);
  // With the last line at the top they start again from the first.
  const int end = (credits->Lines()->Count() - 1) * credits->LineHeight();
  for (int i = 1; i < end; ++i) credits->ScrollTimer()->FireTick();
  EXPECT_EQ(credits->ScrollPos(), end);
  credits->ScrollTimer()->FireTick();
  EXPECT_EQ(credits->ScrollPos(), 0);
  EXPECT_TRUE(credits->Active());
  TObject* shown = nullptr;
  otherModal = [&](TObject* modal) {
    shown = modal;
    AboutBox->OKButton->Click();
  };
  Form1->Tietoaohjelmasta1Click(nullptr);
  EXPECT_EQ(shown, AboutBox);
  EXPECT_EQ(AboutBox->ModalResult(), mrOk);
}

// Settings and recent files between runs ---------------------------------------

class BetweenRuns : public GameWindowTest {
 protected:
  void Restart() {
    Form1->Close();
    TearDown();
    SetUp();
    Start();
  }
};

TEST_F(BetweenRuns, SettingsWrittenAtCloseAreReadAtStart) {
  Start();
  TFont* font = Form1->stringgrid1->Font();
  font->SetSize(13);
  font->SetName("Arial");
  font->SetColor(0x00FF0000);
  font->SetStyle(TFontStyles{fsItalic});
  Form1->State().FoundColor = 0x0000FF00;
  Form1->Eimitn1Click(nullptr);
  Restart();
  font = Form1->stringgrid1->Font();
  EXPECT_EQ(font->Size(), 13);
  EXPECT_EQ(font->Name(), "Arial");
  EXPECT_EQ(font->Color(), 0x00FF0000);
  EXPECT_EQ(font->Style(), TFontStyles{fsItalic});
  EXPECT_EQ(Form1->State().FoundColor, 0x0000FF00);
  EXPECT_TRUE(Form1->State().AnimNone);
  EXPECT_TRUE(Form1->Eimitn1->Checked());
  EXPECT_FALSE(Form1->Tanssivalehm1->Checked());
  // Stored where the setup program writes them.
  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  ASSERT_TRUE(reg.OpenKey("\\Software\\QXTrovaly\\Ruudukko", false));
  EXPECT_EQ(reg.ReadInteger("fon_koko"), 13);
  EXPECT_EQ(reg.ReadString("fon_Bold"), "fsNorm");
  EXPECT_EQ(reg.ReadString("fon_Italic"), "fsItalic");
}

TEST_F(BetweenRuns, RecentFilesKeptInSectionMenunViimeiset) {
  Start();
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  OpenThroughDialog(PuzzlePath("LINNUT1"));
  Restart();
  TRegIniFile ini("Software\\QXTrovaly");
  EXPECT_EQ(ini.ReadString("MenunViimeiset", "Item_0", ""), PuzzlePath("LINNUT1"));
  EXPECT_EQ(ini.ReadString("MenunViimeiset", "Item_1", ""), PuzzlePath("kuvaDALMATIALAISET"));
  TRecentStrings* list = Form1->MRUManager1->Strings();
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Strings(0), PuzzlePath("LINNUT1"));
  EXPECT_EQ(list->Strings(1), PuzzlePath("kuvaDALMATIALAISET"));
}

// Dialogs of the settings --------------------------------------------------------

TEST_F(MainWindow, FontDialogRestylesGridAndFoundWords) {
  Start();
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  TPlainCells cells;
  LoadGrid(cells, PuzzlePath("kuvaDALMATIALAISET"));
  const TPlacedWord word = PlaceWords(cells, ReadLines(PuzzleFolder() + "/kuvaDALMATIALAISET.lst")).first();
  Drag(word.col, word.row, word.endCol, word.endRow);
  otherModal = [](TObject* modal) {
    auto* dialog = dynamic_cast<TFontDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    TFontDialogForm* form = dialog->FontDialogForm();
    form->sizeEdit->setText("12");
    form->colorCombo->setCurrentIndex(form->colorCombo->findData(QVariant(int(clBlue))));
    form->accept();
  };
  Form1->Ruudukonkirjasin1Click(nullptr);
  EXPECT_EQ(Form1->stringgrid1->Font()->Size(), 12);
  EXPECT_EQ(Form1->stringgrid1->Font()->Color(), clBlue);
  // The found word shows the dialog's colour, not the found colour.
  EXPECT_EQ(Form1->stringgrid1->GetCellFont(word.col, word.row)->Color(), clBlue);
  EXPECT_EQ(Form1->stringgrid1->GetCellFont(word.col, word.row)->Size(), 12);
}

TEST_F(MainWindow, FoundColourAppliesToWordsFoundAfterwards) {
  Start();
  OpenThroughDialog(PuzzlePath("kuvaDALMATIALAISET"));
  TPlainCells cells;
  LoadGrid(cells, PuzzlePath("kuvaDALMATIALAISET"));
  const QList<TPlacedWord> words =
      PlaceWords(cells, ReadLines(PuzzleFolder() + "/kuvaDALMATIALAISET.lst"));
  ASSERT_GE(words.size(), 2);
  Drag(words[0].col, words[0].row, words[0].endCol, words[0].endRow);
  const TColor before = Form1->State().FoundColor;
  otherModal = [](TObject* modal) {
    auto* dialog = dynamic_cast<TColorDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    dialog->ColorDialogWidget()->setCurrentColor(QColor(0, 255, 0));
    dialog->ColorDialogWidget()->accept();
  };
  Form1->Lydetynvri1Click(nullptr);
  EXPECT_EQ(Form1->State().FoundColor, 0x0000FF00);
  Drag(words[1].col, words[1].row, words[1].endCol, words[1].endRow);
  EXPECT_EQ(Form1->stringgrid1->GetCellFont(words[1].endCol, words[1].endRow)->Color(),
            0x0000FF00);
  EXPECT_EQ(Form1->stringgrid1->GetCellFont(words[0].col, words[0].row)->Color(), before);
}

}  // namespace
