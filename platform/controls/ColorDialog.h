#pragma once
// TColorDialog: chooses a colour on a non-native QColorDialog.
// CustomColors holds the 16 custom colours as "ColorA=BBGGRR" ... "ColorP="
// (hex digits of the TColor value, as the class library stores them); they
// fill the dialog's custom colours and are read back after a confirmed
// Execute.

#include "platform/classes/Set.h"
#include "platform/controls/CommonDialog.h"
#include "platform/controls/Control.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/StringList.h"

#include <memory>

class QColorDialog;

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

extern const TEnumInfo kColorDialogOptionIdents;

class TColorDialog : public TCommonDialog {
 public:
  explicit TColorDialog(TComponent* owner);
  ~TColorDialog() override;

  bool Execute() override;

  TColor Color() const { return color_; }
  void SetColor(TColor v) { color_ = v; }
  TStrings* CustomColors() const { return customColors_.get(); }
  TColorDialogOptions Options() const { return options_; }
  void SetOptions(TColorDialogOptions v) { options_ = v; }

  // The Qt dialog while Execute runs; nullptr otherwise.
  QColorDialog* ColorDialogWidget() const;

  static void DeclareProperties(TClassBuilder<TColorDialog, TCommonDialog>& b);

 private:
  TColor color_ = clBlack;
  std::unique_ptr<TStringList> customColors_;
  TColorDialogOptions options_;
};
