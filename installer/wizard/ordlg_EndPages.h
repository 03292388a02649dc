#pragma once
// The pages after the copying: the good end, the bad end and the restart
// choice, on the one page base with its layout. They have no Cancel: Next
// and Finish both go on, and Finish stands in for Next on the last page.

#include "installer/engine/InstallUndo.h"
#include "installer/wizard/ordlg_Page.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/ListBox.h"

class TEndPageForm : public TWizardPageForm {
 public:
  using TWizardPageForm::TWizardPageForm;

  TTranslateLabel* TopLabel = nullptr;
  TTranslateBitBtn* FinishBtn = nullptr;

  TTranslateBitBtn* FinishButton() const override { return FinishBtn; }

 protected:
  // Next shown on every page but the last, Finish on the last.
  void InitializePage() override;
};

// The fields every end page binds, then more of its own.
#define QX_END_PAGE_BINDING(T) \
  QX_WIZARD_PAGE_FRAME_BINDING, Field("TopLabel", &T::TopLabel), Field("FinishBtn", &T::FinishBtn)

class TGoodInstallForm : public TEndPageForm {
 public:
  explicit TGoodInstallForm(TComponent* owner);
  static TFormBinding Binding() { return {QX_END_PAGE_BINDING(TGoodInstallForm)}; }
};

// Says what the bad end took back (the install's undo report): all of it,
// so the machine is as it was, or also what could not be, listed. Without
// a report it says only that the software is not properly installed.
class TBadInstallForm : public TEndPageForm {
 public:
  explicit TBadInstallForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* PutBackLabel = nullptr;
  TLabel* UndoneLabel = nullptr;
  TTranslateLabel* FailedLabel = nullptr;
  TListBox* FailedList = nullptr;

  // The page is made with the install's report; this shows another.
  void ShowUndoReport(const TUndoReport& report);
  // The counts are told again in the new language.
  void ApplyLanguage() override;

 protected:
  void PageCreated() override;

 private:
  void FillUndoReport();

  TUndoReport report_;
};

// Writes the choice into the install run's reboot flag.
class TRebootForm : public TEndPageForm {
 public:
  explicit TRebootForm(TComponent* owner);
  static TFormBinding Binding();

  TRadioGroup* RG = nullptr;

  void RGClick(TObject* sender);

 protected:
  void InitializePage() override;
};
