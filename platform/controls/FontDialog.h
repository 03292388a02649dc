#pragma once
// TFontDialog: chooses a font face, style, size, effects (underline,
// strike-out) and colour. Our own dialog, since Qt's cannot choose a colour
// or limit sizes: with fdLimitSize only sizes from MinFontSize to
// MaxFontSize (0: no limit on that side) are listed and accepted; with
// fdForceFontExist the face must be one of the listed faces; fdEffects shows
// the effects and the colour list (the 16 classic colours).

#include "platform/classes/Set.h"
#include "platform/controls/CommonDialog.h"
#include "platform/graphics/Font.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

enum TFontDialogOption {
  fdAnsiOnly,
  fdTrueTypeOnly,
  fdEffects,
  fdFixedPitchOnly,
  fdForceFontExist,
  fdNoFaceSel,
  fdNoOEMFonts,
  fdNoSimulations,
  fdNoSizeSel,
  fdNoStyleSel,
  fdNoVectorFonts,
  fdShowHelp,
  fdWysiwyg,
  fdLimitSize,
  fdScalableOnly,
  fdApplyButton
};
using TFontDialogOptions = TSet<TFontDialogOption>;

extern const TEnumInfo kFontDialogOptionIdents;

// The Qt side of the font dialog. Accepting asks the check first and stays
// open when it fails.
class TFontDialogForm : public QDialog {
 public:
  TFontDialogForm();
  QLineEdit* faceEdit;
  QListWidget* faceList;
  QListWidget* styleList;  // Regular, Italic, Bold, Bold Italic
  QLineEdit* sizeEdit;
  QListWidget* sizeList;
  QCheckBox* strikeOutBox;
  QCheckBox* underlineBox;
  QComboBox* colorCombo;  // item data: the TColor
  std::function<bool()> check;

  void accept() override;
};

class TFontDialog : public TCommonDialog {
 public:
  explicit TFontDialog(TComponent* owner);
  ~TFontDialog() override;

  bool Execute() override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  int MinFontSize() const { return minFontSize_; }
  void SetMinFontSize(int v) { minFontSize_ = v; }
  int MaxFontSize() const { return maxFontSize_; }
  void SetMaxFontSize(int v) { maxFontSize_ = v; }
  TFontDialogOptions Options() const { return options_; }
  void SetOptions(TFontDialogOptions v) { options_ = v; }

  // The Qt dialog while Execute runs; nullptr otherwise.
  TFontDialogForm* FontDialogForm() const;

  static void DeclareProperties(TClassBuilder<TFontDialog, TCommonDialog>& b);

 private:
  void Fill(TFontDialogForm& form) const;
  bool Check(TFontDialogForm& form) const;
  void Take(const TFontDialogForm& form);
  bool SizeAllowed(int size) const;

  std::unique_ptr<TFont> font_;
  int minFontSize_ = 0;
  int maxFontSize_ = 0;
  TFontDialogOptions options_{fdEffects};
};
