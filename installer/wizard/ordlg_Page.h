#pragma once
// The one base of the wizard's pages: the theme image on the left, the
// button panel at the foot (Back, Next, and Cancel before the copying or
// Finish after it), and the order in which a page gets ready to be shown.

#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TranslateControls.h"

#include "platform/controls/Image.h"

class TWizardPageForm : public TBaseInstallForm {
 public:
  explicit TWizardPageForm(TComponent* owner);

  TImage* ThemeBitmap = nullptr;
  TTranslateBitBtn* BackBtn = nullptr;
  TTranslateBitBtn* ProceedBtn = nullptr;
  // Only the pages before the copying have one.
  TTranslateBitBtn* CancelBtn = nullptr;

  // The inherited step, Back shown on every page but the first, the page's
  // own step, then Next (or Finish) takes the focus.
  void InitializeForm() final;
  // The button that ends the last page; nullptr where Next does.
  virtual TTranslateBitBtn* FinishButton() const { return nullptr; }

  void FormCreate(TObject* sender);
  void BackBtnClick(TObject* sender);
  void ProceedBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);

 protected:
  virtual void InitializePage() {}
  // Runs once the form file is read and the theme image loaded.
  virtual void PageCreated() {}
};

// The binding lines every page form file shares.
#define QX_WIZARD_PAGE_FRAME_BINDING                                   \
  Field("ThemeBitmap", &TWizardPageForm::ThemeBitmap),                 \
      Field("BackBtn", &TWizardPageForm::BackBtn),                     \
      Field("ProceedBtn", &TWizardPageForm::ProceedBtn),               \
      Handler("FormCreate", &TWizardPageForm::FormCreate),             \
      Handler("BackBtnClick", &TWizardPageForm::BackBtnClick),         \
      Handler("ProceedBtnClick", &TWizardPageForm::ProceedBtnClick)
// ... and those of the pages that have a Cancel button.
#define QX_WIZARD_PAGE_BINDING                                         \
  QX_WIZARD_PAGE_FRAME_BINDING, Field("CancelBtn", &TWizardPageForm::CancelBtn), \
      Handler("CancelBtnClick", &TWizardPageForm::CancelBtnClick)

// "%0.0n Bytes" with the translated word, the thousands parted as the
// wizard's language parts them (its table's "1,000"), whatever the
// process's locale.
QString BytesText(double bytes);
