#include "installer/wizard/cmp_TBaseInstallDlg_Scopes.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"

const TEnumInfo kManagerTypeIdents{"dmBeforeInstall",   "dmAfterGoodInstall", "dmAfterBadInstall",
                                   "dmDuringCopyFiles", "dmChangeDisk",       "dmReboot"};

namespace {
constexpr int kManagerWidth = 478;
constexpr int kManagerHeight = 395;
}  // namespace

TDialogManager::TDialogManager(TComponent* owner)
    : TInstallObject(owner), TDialogPlacement(kManagerWidth, kManagerHeight) {}

// The components that named this manager hear of its end from the spine.
TDialogManager::~TDialogManager() { CloseDuringCopyForms(); }

void TDialogManager::AddDialog(TCustomBaseInstallDlg* dialog) {
  if (dialog == nullptr) {
    throw Exception(TranslateText(QStringLiteral("Cannot add a NIL Dialog to the Dialog Manager %s")),
                    {Name()});
  }
  if (!dialogs_.contains(dialog)) dialogs_.append(dialog);
}

void TDialogManager::RemoveDialog(TCustomBaseInstallDlg* dialog) { dialogs_.removeAll(dialog); }

void TDialogManager::ContainerDestroyed(TInstallContainer* container) {
  TInstallObject::ContainerDestroyed(container);
  // By pointer only: the object may be half destroyed already.
  for (int i = static_cast<int>(dialogs_.size()) - 1; i >= 0; --i)
    if (static_cast<TInstallContainer*>(dialogs_[i]) == container) dialogs_.removeAt(i);
}

void TDialogManager::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation == opRemove) {
    for (int i = static_cast<int>(openForms_.size()) - 1; i >= 0; --i)
      if (openForms_[i] == component) openForms_.removeAt(i);
  }
}

void TDialogManager::Execute() {
  const TCurrentManagerScope current(this);
  TFormScope frame(new TBaseFormContainer(Application));
  auto* container = static_cast<TBaseFormContainer*>(frame.get());
  PlaceForm(container);
  if (container->PopulatePages() == 0) return;
  if (container->ShowModal() == mrAbort) throw EAIUserAbort();
  if (Application != nullptr) {
    if (TForm* main = Application->MainForm()) main->Repaint();
    Application->ProcessMessages();
  }
}

void TDialogManager::ShowChangeDisk(TObject* parameter) {
  if (ChangeDiskFormCount() == 0) return;
  TFormScope form(GetChangeDiskFormEntry(0)->formClass(Application));
  const TCurrentManagerScope current(this);
  auto* prompt = dynamic_cast<TBaseChangeDiskForm*>(form.get());
  if (prompt == nullptr || prompt->DM() != this) return;
  if (parameter == nullptr)
    RaiseTranslated("The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form", {});
  auto* list = dynamic_cast<TParameterList*>(parameter);
  if (list == nullptr) RaiseTranslated("TChangeDiskDlg--PO is not a TList object", {});
  if (list->Count() < 2) RaiseTranslated("TChangeDiskDlg--Not engouh parameters for status event", {});
  auto* file = dynamic_cast<TCustomInstallFile*>(list->Items(0));
  if (file == nullptr) throw Exception(QStringLiteral("TChangeDiskDlg says bad first parameter"));
  auto* disk = dynamic_cast<TDiskParameter*>(list->Items(1));
  if (disk == nullptr) throw Exception(QStringLiteral("TChangeDiskDlg says bad second parameter"));
  file->SetTag(1);
  prompt->SetDiskParameter(disk);
  prompt->InitializeForm();
  prompt->ApplyLanguage();
  if (prompt->ShowModal() == mrAbort) throw EAIUserAbort();
}

void TDialogManager::CreateDuringCopyForms() {
  for (int i = 0; i < DuringCopyFormCount(); ++i) {
    TDCFEntry* entry = GetDuringCopyFormEntry(i);
    TForm* form = entry->formClass(Application);
    auto* copyForm = dynamic_cast<TBaseDuringCopyForm*>(form);
    if (copyForm == nullptr || copyForm->DM() != this) {
      form->Free();
      continue;
    }
    copyForm->InitializeForm();
    copyForm->ApplyLanguage();
    copyForm->Show();
    form->FreeNotification(this);
    openForms_.append(form);
  }
}

void TDialogManager::UpdateDuringCopyForms(TFileStatusParameter* fileStatus,
                                           TDownloadStatusParameter* download) {
  if (openForms_.isEmpty()) CreateDuringCopyForms();
  const QList<TForm*> forms = openForms_;
  for (TForm* form : forms)
    if (auto* copyForm = dynamic_cast<TBaseDuringCopyForm*>(form))
      copyForm->UpdateStatus(fileStatus, download);
}

void TDialogManager::CloseDuringCopyForms() {
  const QList<TForm*> forms = openForms_;
  openForms_.clear();
  for (TForm* form : forms) {
    form->RemoveFreeNotification(this);
    form->Close();
  }
}

void TDialogManager::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  TInstallObject::HandleMessage(sender, code, param);
  switch (code) {
    case scBeforeInstallWizard:
      if (managerType_ == dmBeforeInstall) Execute();
      break;
    case scAfterGoodInstall:
      if (managerType_ == dmAfterGoodInstall) Execute();
      break;
    case scAfterBadInstall:
      if (managerType_ == dmAfterBadInstall) Execute();
      break;
    case scRestart:
      if (managerType_ == dmReboot) Execute();
      break;
    case scFileStatus:
    case scDownloadStatus: {
      if (managerType_ != dmDuringCopyFiles) break;
      if (param == nullptr) throw IException(QStringLiteral("%s got a nil PO parameter"), {Name()});
      if (code == scFileStatus) {
        auto* status = dynamic_cast<TFileStatusParameter*>(param);
        if (status == nullptr) {
          throw IException(
              QStringLiteral("The PO object passed to %s is not a TFileStatusParameter object"),
              {Name()});
        }
        UpdateDuringCopyForms(status, nullptr);
      } else {
        auto* status = dynamic_cast<TDownloadStatusParameter*>(param);
        if (status == nullptr) {
          throw IException(
              QStringLiteral("The PO object passed to %s is not a TDownloadStatusParameter object"),
              {Name()});
        }
        UpdateDuringCopyForms(nullptr, status);
      }
      break;
    }
    case scOperationEnded:
      if (managerType_ == dmDuringCopyFiles) CloseDuringCopyForms();
      break;
    case scNewDisk:
      if (managerType_ == dmChangeDisk) ShowChangeDisk(param);
      break;
    default:
      break;
  }
}

void TDialogManager::DeclareProperties(TClassBuilder<TDialogManager, TInstallObject>& b) {
  DeclarePlacement(b, kManagerWidth, kManagerHeight);
  b.Property("ManagerType", &TDialogManager::ManagerType, &TDialogManager::SetManagerType,
             kManagerTypeIdents)
      .Default(dmBeforeInstall);
}

void RegisterInstallDialogClasses() {
  if (GetClass(QStringLiteral("TDialogManager")) == nullptr) RegisterClass<TDialogManager>();
}
