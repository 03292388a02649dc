#pragma once
// The language page: a grid of the translator's languages that have a
// table, each cell showing its flag; picking one re-translates every
// install object and wizard form. This setup places no component for it,
// so no wizard shows it.

#include "installer/wizard/ordlg_Page.h"
#include "platform/controls/Grids.h"

#include <array>
#include <memory>

class TBitmap;

class TSelectLanguageForm : public TWizardPageForm {
 public:
  explicit TSelectLanguageForm(TComponent* owner);
  ~TSelectLanguageForm() override;
  static TFormBinding Binding();

  TStringGrid* LanguageGrid = nullptr;

  bool SkipPage() override { return GlobalTranslator() == nullptr; }
  void LanguageGridClick(TObject* sender);
  void LanguageGridDrawCell(TObject* sender, int aCol, int aRow, TRect rect, TGridDrawState state);
  // Makes the language of the current cell the translator's.
  void ChooseCurrentCell();

 protected:
  void InitializePage() override;
  void PageCreated() override;

 private:
  // One per language ident, olUser and olVietnamese among them.
  std::array<std::unique_ptr<TBitmap>, olVietnamese + 1> bitmaps_;
  bool filling_ = false;
};
