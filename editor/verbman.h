#pragma once
// The editor's main window (TForm1): the 12 x 12 puzzle grid, the letter
// palette, the current letter, the word list, the picture preview, the tool
// bar and the menus. The one instance is Form1.

#include "platform/controls/Form.h"

#include <memory>

class IGridCells;
class TActivApp;
class TFileOperation;
class TImage;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TOpenPictureDialog;
class TPanel;
class TPrnCells;
class TPwFormFill;
class TRichEdit;
class TRotate3DLabel;
class TSaveDialog;
class TSpeedButton;
class TStringAlignGrid;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  ~TForm1() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/verbman.form"); }
  // The components and handlers verbman.form names.
  static TFormBinding Binding();

  void FormCreate(TObject* sender);

  // Grid editing.
  void StringGrid2MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                            int y);
  void StringGrid1MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void StringGrid1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x,
                            int y);
  void SpeedButton4Click(TObject* sender);
  void Tydenn1Click(TObject* sender);
  void SpeedButton14Click(TObject* sender);

  // The puzzle's files.
  void Tallenna1Click(TObject* sender);
  void Lataa1Click(TObject* sender);

  // Commands.
  void Uusi1Click(TObject* sender);
  void SpeedButton13Click(TObject* sender);
  void SpeedButton11Click(TObject* sender);
  void SpeedButton15Click(TObject* sender);
  void SpeedButton5Click(TObject* sender);
  void Lopeta2Click(TObject* sender);
  void Leikkaasanalistalta1Click(TObject* sender);
  void Kopioisanalistalta1Click(TObject* sender);
  void sClick(TObject* sender);
  void Poistasanalistasta1Click(TObject* sender);
  void SpeedButton12Click(TObject* sender);

  // State.
  QString CurrentLetter;
  QString WordInProgress;
  QString PictureSource;
  QString FileName;
  QString ListPath;

  // Components.
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* Tiedosto1 = nullptr;
  TMenuItem* Muokkaa1 = nullptr;
  TMenuItem* Ohje1 = nullptr;
  TPanel* Panel1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TSpeedButton* SpeedButton3 = nullptr;
  TSpeedButton* SpeedButton4 = nullptr;
  TSpeedButton* SpeedButton5 = nullptr;
  TSpeedButton* SpeedButton6 = nullptr;
  TSpeedButton* SpeedButton7 = nullptr;
  TSpeedButton* SpeedButton8 = nullptr;
  TSpeedButton* SpeedButton9 = nullptr;
  TSpeedButton* SpeedButton10 = nullptr;
  TSpeedButton* SpeedButton11 = nullptr;
  TSpeedButton* SpeedButton12 = nullptr;
  TSpeedButton* SpeedButton13 = nullptr;
  TSpeedButton* SpeedButton14 = nullptr;
  TSpeedButton* SpeedButton15 = nullptr;
  TStringAlignGrid* StringGrid1 = nullptr;
  TStringAlignGrid* StringGrid2 = nullptr;
  TRotate3DLabel* kir = nullptr;
  TRichEdit* richedit1 = nullptr;
  TPanel* Panel2 = nullptr;
  TImage* Image1 = nullptr;
  TPwFormFill* PwFormFill1 = nullptr;
  TActivApp* ActivApp1 = nullptr;
  TPrnCells* PrnCells1 = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TOpenDialog* OpenDialog1 = nullptr;
  TOpenPictureDialog* OpenPictureDialog1 = nullptr;
  TFileOperation* FileOperation1 = nullptr;

 private:
  // Finishes the word in progress as the list's new last line.
  void AppendWord();
  // The picture beside a saved puzzle: an older one moved aside, the chosen one copied.
  void PlacePicture(const QString& folder, const QString& base);
  void ClearPicture();

  std::unique_ptr<IGridCells> cells_;
};

// The main window while it exists; nullptr otherwise.
extern TForm1* Form1;

// The application's title and the caption at start.
inline QString EditorTitle() { return QStringLiteral("Muokkain"); }

// The text with a to z, å, ä and ö in capitals; everything else as it was.
QString UpperWordList(const QString& text);
