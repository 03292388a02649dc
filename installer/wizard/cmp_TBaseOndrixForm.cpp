#include "installer/wizard/cmp_TBaseOndrixForm.h"

#include "installer/engine/cmp_TInstallContainer.h"
#include "platform/controls/Application.h"

TBaseOndrixForm::TBaseOndrixForm(TComponent* owner) : TForm(owner) {
  Font()->SetCharset(0);
  InstallUnitState().ondrixForms.append(this);
}

TBaseOndrixForm::~TBaseOndrixForm() {
  if (TInstallUnitState* state = FindInstallUnitState()) state->ondrixForms.removeAll(this);
}

void TBaseOndrixForm::SetContainer(TInstallObject* v) {
  if (v == container_) return;
  if (container_ != nullptr) container_->RemoveFreeNotification(this);
  container_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TBaseOndrixForm::RefreshLanguage(TObject*) { ApplyLanguage(); }

void TBaseOndrixForm::ApplyLanguage() {
  if (GlobalTranslator() != nullptr) {
    if (autoSetFont_) {
      if (overrideMainTranslator_)
        SetFormFontInto(translateIntoLanguage_, this, false);
      else
        SetFormFont(this, false);
    }
    if (autoTranslate_) {
      formLanguage_ = overrideMainTranslator_
                          ? TranslateFormInto(formLanguage_, translateIntoLanguage_, this)
                          : TranslateForm(formLanguage_, this);
    }
  }
  if (Application != nullptr) Application->ProcessMessages();
}

void TBaseOndrixForm::Loaded() { TForm::Loaded(); }

// The container is an install object of the script, which may go first.
void TBaseOndrixForm::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation == opRemove && component == container_) container_ = nullptr;
}

void TBaseOndrixForm::DeclareProperties(TClassBuilder<TBaseOndrixForm, TForm>& b) {
  b.Property("AutoSetFont", &TBaseOndrixForm::AutoSetFont, &TBaseOndrixForm::SetAutoSetFont)
      .Default(true);
  b.Property("AutoTranslate", &TBaseOndrixForm::AutoTranslate,
             &TBaseOndrixForm::SetAutoTranslate)
      .Default(true);
  b.Property("OverrideMainTranslator", &TBaseOndrixForm::OverrideMainTranslator,
             &TBaseOndrixForm::SetOverrideMainTranslator)
      .Default(false);
  b.Property("TranslateIntoLanguage", &TBaseOndrixForm::TranslateIntoLanguage,
             &TBaseOndrixForm::SetTranslateIntoLanguage, kOndxLanguageIdents)
      .Default(olUser);
}

void RefreshAllOndrixForms() {
  // A refresh may create or free forms: walk a copy and skip the gone.
  const QList<TObject*> forms = InstallUnitState().ondrixForms;
  for (TObject* f : forms) {
    if (!InstallUnitState().ondrixForms.contains(f)) continue;
    static_cast<TBaseOndrixForm*>(f)->RefreshLanguage(nullptr);
  }
}
