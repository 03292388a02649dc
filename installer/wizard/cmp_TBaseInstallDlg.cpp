#include "installer/wizard/cmp_TBaseInstallDlg_Scopes.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "platform/controls/Application.h"
#include "platform/graphics/Bitmap.h"

// ---------------------------------------------------------------------------
// TCustomBaseInstallDlg.

TCustomBaseInstallDlg::TCustomBaseInstallDlg(TComponent* owner)
    : TInstallObject(owner), themeBitmap_(std::make_unique<TBitmap>()) {
  if (ComponentState().Contains(csDesigning)) {
    if (TCustomInstall* install = CurrentInstall()) SetContainer(install);
  }
}

TCustomBaseInstallDlg::~TCustomBaseInstallDlg() {
  if (pageEntry_ != nullptr) UnregisterInstallForm(pageEntry_);
  if (changeDiskEntry_ != nullptr) UnregisterChangeDiskForm(changeDiskEntry_);
  if (dialogManager_ != nullptr) dialogManager_->RemoveDialog(this);
}

void TCustomBaseInstallDlg::RegisterPage(int defaultOrder, TManagerType type) {
  SetOrder(defaultOrder);
  pageEntry_ = RegisterInstallForm(FormClass(), this, 0);
  dialogManager_ = FindDialogManager(type);
  if (dialogManager_ != nullptr) dialogManager_->AddDialog(this);
}

void TCustomBaseInstallDlg::RegisterChangeDisk(TManagerType type) {
  changeDiskEntry_ = RegisterChangeDiskForm(FormClass(), this, 0);
  dialogManager_ = FindDialogManager(type);
  if (dialogManager_ != nullptr) dialogManager_->AddDialog(this);
}

void TCustomBaseInstallDlg::SetDialog(TForm* form) {
  if (form == dialog_) return;
  if (dialog_ != nullptr) dialog_->RemoveFreeNotification(this);
  dialog_ = form;
  if (form != nullptr) form->FreeNotification(this);
}

void TCustomBaseInstallDlg::SetDialogManager(TDialogManager* value) {
  if (value == dialogManager_) return;
  if (value != nullptr) value->AddDialog(this);
  if (dialogManager_ != nullptr) dialogManager_->RemoveDialog(this);
  dialogManager_ = value;
}

void TCustomBaseInstallDlg::SetThemeBitmap(TBitmap* value) { themeBitmap_->Assign(value); }

void TCustomBaseInstallDlg::Translate() {
  if (dialog_ == nullptr) return;
  if (autoSetFont_) {
    if (overrideMainTranslator_)
      SetFormFontInto(translateIntoLanguage_, dialog_, false);
    else
      SetFormFont(dialog_, false);
  }
  if (autoTranslate_) {
    lastLanguage_ = overrideMainTranslator_
                        ? TranslateFormInto(lastLanguage_, translateIntoLanguage_, dialog_)
                        : TranslateForm(lastLanguage_, dialog_);
  }
}

void TCustomBaseInstallDlg::AssignDialogProperties() {
  if (dialog_ == nullptr)
    RaiseTranslated("Cannot AssignDialogProperties for %s because the Dialog is Nil", {Name()});
  if (auto* form = dynamic_cast<TBaseOndrixForm*>(dialog_)) {
    form->SetAutoSetFont(autoSetFont_);
    form->SetAutoTranslate(autoTranslate_);
    form->SetContainer(dynamic_cast<TInstallObject*>(Container()));
    form->SetOverrideMainTranslator(overrideMainTranslator_);
    form->SetTranslateIntoLanguage(translateIntoLanguage_);
  }
  if (auto* page = dynamic_cast<TBaseInstallForm*>(dialog_)) page->SetDC(this);
  Translate();
}

bool TCustomBaseInstallDlg::Execute() {
  bool shown = false;
  bool result = false;
  try {
    if (OnBeforeExecute) OnBeforeExecute(this);
    result = ShowDialog();
    shown = true;
    if (Application != nullptr) Application->ProcessMessages();
    if (OnAfterExecute) OnAfterExecute(this);
  } catch (const EAbort&) {
    return shown ? result : false;
  }
  return result;
}

bool TCustomBaseInstallDlg::ShowDialog() {
  if (!CanShow()) return true;
  TFormScope form(FormClass()(Application));
  SetDialog(form.get());
  struct TClear {
    TCustomBaseInstallDlg* self;
    ~TClear() { self->SetDialog(nullptr); }
  } clear{this};
  AssignDialogProperties();
  const TModalResult result = form.get()->ShowModal();
  if (form.get() == nullptr || result != mrOk) throw EAIUserAbort();
  return true;
}

void TCustomBaseInstallDlg::ContainerDestroyed(TInstallContainer* container) {
  TInstallObject::ContainerDestroyed(container);
  if (container == dialogManager_) dialogManager_ = nullptr;
}

void TCustomBaseInstallDlg::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation == opRemove && component == dialog_) dialog_ = nullptr;
}

void TCustomBaseInstallDlg::DeclareProperties(
    TClassBuilder<TCustomBaseInstallDlg, TInstallObject>& b) {
  (void)b;  // a component that is no page publishes its own subset
}

void TBaseInstallDlg::DeclareProperties(TClassBuilder<TBaseInstallDlg, TCustomBaseInstallDlg>& b) {
  DeclareTranslation(b);
  b.Property("DialogManager", &TCustomBaseInstallDlg::DialogManager,
             &TCustomBaseInstallDlg::SetDialogManager);
  b.Property("Order", &TCustomBaseInstallDlg::Order, &TCustomBaseInstallDlg::SetOrder).Default(0);
  b.Event("OnAfterExecute", &TCustomBaseInstallDlg::OnAfterExecute);
  b.Event("OnBeforeExecute", &TCustomBaseInstallDlg::OnBeforeExecute);
}

// ---------------------------------------------------------------------------
// Form bases.

TBaseDuringCopyForm::TBaseDuringCopyForm(TComponent* owner) : TBaseOndrixForm(owner) {
  dm_ = FindDialogManager(dmDuringCopyFiles);
}

void TBaseDuringCopyForm::UpdateStatus(TFileStatusParameter*, TDownloadStatusParameter*) {}

TBaseChangeDiskForm::TBaseChangeDiskForm(TComponent* owner) : TBaseOndrixForm(owner) {
  dm_ = FindDialogManager(dmChangeDisk);
}
