#pragma once
// The pages after the copying: the good end, the bad end and the restart
// choice. They have no Cancel: Next and Finish both go on.

#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/Image.h"
#include "platform/controls/Panel.h"

class TEndPageForm : public TBaseInstallForm {
 public:
  using TBaseInstallForm::TBaseInstallForm;

  TImage* ThemeImage = nullptr;
  TTranslateLabel* TopLabel = nullptr;
  TPanel* ButtonPanel = nullptr;
  TTranslateBitBtn* BackBtn = nullptr;
  TTranslateBitBtn* ProceedBtn = nullptr;
  TTranslateBitBtn* FinishBtn = nullptr;

  void InitializeForm() override;
  void BackBtnClick(TObject* sender);
  void ProceedBtnClick(TObject* sender);

 protected:
  // Reads the page's form file and sets its manager type.
  template <class T>
  void ReadPage(T* self, const QString& path, TManagerType type) {
    SetPageDefaults(10, type);
    LoadWizardForms();
    ReadForm(self, path);
    PaintDefaultTheme();
  }
  static void LoadWizardForms();
  // The setup's own theme picture, until a component gives its own.
  void PaintDefaultTheme();
};

// The fields every end page binds, then more of its own.
#define QX_END_PAGE_BINDING(T)                                                            \
  Field("ThemeImage", &T::ThemeImage), Field("TopLabel", &T::TopLabel),                   \
      Field("ButtonPanel", &T::ButtonPanel), Field("BackBtn", &T::BackBtn),               \
      Field("ProceedBtn", &T::ProceedBtn), Field("FinishBtn", &T::FinishBtn),             \
      Handler("BackBtnClick", &T::BackBtnClick), Handler("ProceedBtnClick", &T::ProceedBtnClick)

class TGoodInstallForm : public TEndPageForm {
 public:
  explicit TGoodInstallForm(TComponent* owner);
  static TFormBinding Binding() { return {QX_END_PAGE_BINDING(TGoodInstallForm)}; }
};

class TBadInstallForm : public TEndPageForm {
 public:
  explicit TBadInstallForm(TComponent* owner);
  static TFormBinding Binding() { return {QX_END_PAGE_BINDING(TBadInstallForm)}; }
};

// Writes the choice into the install run's reboot flag.
class TRebootForm : public TEndPageForm {
 public:
  explicit TRebootForm(TComponent* owner);
  static TFormBinding Binding();

  TRadioGroup* RG = nullptr;

  void InitializeForm() override;
  void RGClick(TObject* sender);
};
