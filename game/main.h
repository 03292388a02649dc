#pragma once
// The game's main window (TForm1): the 12 x 12 letter grid, the word list,
// the tool bar and the menus. The word, number and settings units reach it
// through TGameBoard; the one instance is Form1. The client area below the
// tool bar shows the form's own white colour as its background.

#include "game/GameState.h"
#include "platform/controls/Form.h"

#include <memory>

class IGridCells;
class TActivApp;
class TAnimate;
class TColorDialog;
class TFontDialog;
class TFormSizer;
class TLabel;
class TMainMenu;
class TMenuItem;
class TMRUManager;
class TOpenDialog;
class TPanel;
class TPicture;
class TPopupMenu;
class TPrnCells;
class TProgressBar;
class TRegIniFile;
class TRepSpeedBtn;
class TRichEdit;
class TSpeedButton;
class TSuperLabel;
class TTimer;

class TForm1 : public TForm, public TGameBoard {
 public:
  explicit TForm1(TComponent* owner);
  ~TForm1() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/main.form"); }
  // The components and handlers main.form names.
  static TFormBinding Binding();

  // TGameBoard.
  TGameState& State() override { return state_; }
  TStringAlignGrid& Grid() override { return *stringgrid1; }
  TStrings& WordList() override;
  void SetWordsLeft(const QString& text) override;
  void ShowAnimation() override;
  void EndOfGame() override;
  TRegistryEnhanced& Rekisteri() override { return *rekisteri; }
  void ShowAnimationChoice() override;
  void ShowNumbersMode() override;

  // Creation and closing.
  void FormCreate(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  // Left edge by the screen width, vertically centred; then pinned there.
  void PlaceMainWindow();

  // Opening a puzzle.
  void Avaa1Click(TObject* sender);
  void MRUManager1Click(TObject* sender, const QString& recentName, const QString& caption,
                        int userData);

  // Menus and tool buttons.
  void Muokkain1Click(TObject* sender);
  void Tulosta1Click(TObject* sender);
  void Lopeta1Click(TObject* sender);
  void sanatjarjestyksessaClick(TObject* sender);
  void Ruudukonsanatmuutetaannumeroiksi1Click(TObject* sender);
  void Ruudukonkirjasin1Click(TObject* sender);
  void Lydetynvri1Click(TObject* sender);
  void Ohje2Click(TObject* sender);
  void Tietoaohjelmasta1Click(TObject* sender);

  // The grid.
  void StringGrid1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                            int y);
  void stringgrid1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  // Time limit.
  void SpeedButton2MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x,
                           int y);
  // A pop-up entry: its Tag holds the seconds per word.
  void AikaClick(TObject* sender);
  void aloita_ajanotto();
  void lopeta_ajanotto();
  void Timer2Timer(TObject* sender);
  // The whole limit for a number of words at seconds per word.
  static std::uint32_t TimeLimitFor(int words, std::uint32_t secondsPerWord);

  // End animation.
  void Tanssivalehm1Click(TObject* sender);
  void Vieteriukko1Click(TObject* sender);
  void Eimitn1Click(TObject* sender);
  void HideAnimation();
  void Timer3Timer(TObject* sender);

  // Each repeat of a held nudge button moves the picture window one pixel.
  void esiinnappiTimer(TObject* sender);
  void esiinalasTimer(TObject* sender);
  void NudgePictureRight();
  void NudgePictureDown();

  // Components.
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* Tiedosto1 = nullptr;
  TMenuItem* sanatjarjestyksessa = nullptr;
  TMenuItem* Ruudukonsanatmuutetaannumeroiksi1 = nullptr;
  TMenuItem* Tanssivalehm1 = nullptr;
  TMenuItem* Vieteriukko1 = nullptr;
  TMenuItem* Eimitn1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TPanel* Panel1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TSpeedButton* SpeedButton3 = nullptr;
  TSpeedButton* SpeedButton4 = nullptr;
  TRepSpeedBtn* esiinnappi = nullptr;
  TRepSpeedBtn* esiinalas = nullptr;
  TSuperLabel* monta = nullptr;
  TProgressBar* bar = nullptr;
  TStringAlignGrid* stringgrid1 = nullptr;
  TRichEdit* RichEdit1 = nullptr;
  TAnimate* Animate1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TFontDialog* FontDialog1 = nullptr;
  TColorDialog* ColorDialog1 = nullptr;
  TTimer* Timer2 = nullptr;
  TTimer* Timer3 = nullptr;
  TMRUManager* MRUManager1 = nullptr;
  TRegistryEnhanced* rekisteri = nullptr;
  TActivApp* ActivApp1 = nullptr;
  TPrnCells* PrnCells1 = nullptr;
  // Keeps the window where it was placed.
  TFormSizer* FormSizer1 = nullptr;
  // The recent-files store, HKEY_CURRENT_USER\Software\QXTrovaly.
  std::unique_ptr<TRegIniFile> RegIni;

 private:
  // Steps shared by both open paths, from the options to the word list.
  void OpenPuzzle(const QString& fileName);
  void ResetBoardForOpen();
  void ShowPicture(TPicture* picture, int words);
  void HidePicture();
  // Every cell's own font takes the grid font's colour and size.
  void ResetCellFonts();
  void SelectAnimation(bool cow, bool jester, bool none);

  TGameState state_;
  // The grid as the grid-file reader sees it.
  std::unique_ptr<IGridCells> cells_;
};

// The main window while it exists; nullptr otherwise.
extern TForm1* Form1;

// The window title of the game.
inline QString GameTitle() { return QStringLiteral("Trovaly 1.0"); }
