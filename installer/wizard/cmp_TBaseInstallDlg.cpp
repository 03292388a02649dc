#include "installer/wizard/cmp_TBaseInstallDlg.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Screen.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/ProcessState.h"

#include <cmath>
#include <vector>

const TEnumInfo kManagerTypeIdents{"dmBeforeInstall",   "dmAfterGoodInstall", "dmAfterBadInstall",
                                   "dmDuringCopyFiles", "dmChangeDisk",       "dmReboot"};
const TEnumInfo kOndrixDialogPositionIdents{
    "odpCenterLeft",   "odpCenter",       "odpCenterRight", "odpBottomLeft", "odpBottomCenter",
    "odpBottomRight",  "odpTopLeft",      "odpTopCenter",   "odpTopRight"};

namespace {

// The three registries and the current manager. A registry is absent until
// its first registration, as the BIFList errors tell apart.
struct TDialogRegistries {
  std::unique_ptr<std::vector<std::unique_ptr<TBIFEntry>>> bif;
  std::vector<std::unique_ptr<TDCFEntry>> duringCopy;
  std::vector<std::unique_ptr<TBCDFEntry>> changeDisk;
  TDialogManager* current = nullptr;
  TUserAbortQuestion userAbort;
};

TDialogRegistries& Registries() { return ProcessObject<TDialogRegistries>(); }

template <class E>
void RemoveEntry(std::vector<std::unique_ptr<E>>& list, E* entry) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == entry) {
      list.erase(it);
      return;
    }
  }
}

template <class E>
E* EntryAt(std::vector<std::unique_ptr<E>>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) {
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
  }
  return list[static_cast<std::size_t>(index)].get();
}

// Sets and clears the current dialog manager around one wizard or prompt.
class TCurrentManagerScope {
 public:
  explicit TCurrentManagerScope(TDialogManager* manager) { Registries().current = manager; }
  ~TCurrentManagerScope() {
    if (auto* r = FindProcessObject<TDialogRegistries>()) r->current = nullptr;
  }
  TCurrentManagerScope(const TCurrentManagerScope&) = delete;
  TCurrentManagerScope& operator=(const TCurrentManagerScope&) = delete;
};

// Frees a form made for one showing, whatever happens while it shows (and
// not again when the form freed itself meanwhile).
class TFormScope {
 public:
  explicit TFormScope(TForm* form) : form_(form), alive_(form->WeakSelf()) {}
  ~TFormScope() {
    if (!alive_.expired()) form_->Free();
  }
  TFormScope(const TFormScope&) = delete;
  TFormScope& operator=(const TFormScope&) = delete;
  TForm* get() const { return alive_.expired() ? nullptr : form_; }

 private:
  TForm* form_;
  std::weak_ptr<TControl*> alive_;
};

[[noreturn]] void RaiseTranslated(const char* format, std::initializer_list<TVarRec> args) {
  throw Exception(TranslateText(QString::fromLatin1(format)), args);
}

}  // namespace

// ---------------------------------------------------------------------------
// Registries.

TBIFEntry* RegisterInstallForm(TFormClass formClass, TCustomBaseInstallDlg* dialog, int tag) {
  auto& r = Registries();
  if (!r.bif) r.bif = std::make_unique<std::vector<std::unique_ptr<TBIFEntry>>>();
  r.bif->push_back(std::make_unique<TBIFEntry>(TBIFEntry{formClass, dialog, tag}));
  return r.bif->back().get();
}

void UnregisterInstallForm(TBIFEntry* entry) {
  auto* r = FindProcessObject<TDialogRegistries>();
  if (r != nullptr && r->bif) RemoveEntry(*r->bif, entry);
}

int InstallFormCount() {
  auto* r = FindProcessObject<TDialogRegistries>();
  return r != nullptr && r->bif ? static_cast<int>(r->bif->size()) : 0;
}

TBIFEntry* GetInstallFormEntry(int index) {
  auto* r = FindProcessObject<TDialogRegistries>();
  if (r == nullptr || !r->bif) RaiseTranslated("The BIFList is NIL", {});
  if (index < 0 || index >= static_cast<int>(r->bif->size()))
    RaiseTranslated("%d is an invalid index in the BIFList", {index});
  TBIFEntry* entry = (*r->bif)[static_cast<std::size_t>(index)].get();
  if (entry == nullptr) RaiseTranslated("The %d 'th entry in the BIFList is NIL", {index});
  return entry;
}

TDCFEntry* RegisterDuringCopyForm(TFormClass formClass, int value1, int value2) {
  auto& list = Registries().duringCopy;
  list.push_back(std::make_unique<TDCFEntry>(TDCFEntry{formClass, value1, value2}));
  return list.back().get();
}
void UnregisterDuringCopyForm(TDCFEntry* entry) {
  if (auto* r = FindProcessObject<TDialogRegistries>()) RemoveEntry(r->duringCopy, entry);
}
int DuringCopyFormCount() {
  auto* r = FindProcessObject<TDialogRegistries>();
  return r != nullptr ? static_cast<int>(r->duringCopy.size()) : 0;
}
TDCFEntry* GetDuringCopyFormEntry(int index) { return EntryAt(Registries().duringCopy, index); }

TBCDFEntry* RegisterChangeDiskForm(TFormClass formClass, TCustomBaseInstallDlg* dialog, int tag) {
  auto& list = Registries().changeDisk;
  list.push_back(std::make_unique<TBCDFEntry>(TBCDFEntry{formClass, dialog, tag}));
  return list.back().get();
}
void UnregisterChangeDiskForm(TBCDFEntry* entry) {
  if (auto* r = FindProcessObject<TDialogRegistries>()) RemoveEntry(r->changeDisk, entry);
}
int ChangeDiskFormCount() {
  auto* r = FindProcessObject<TDialogRegistries>();
  return r != nullptr ? static_cast<int>(r->changeDisk.size()) : 0;
}
TBCDFEntry* GetChangeDiskFormEntry(int index) { return EntryAt(Registries().changeDisk, index); }

TDialogManager* FindDialogManager(TManagerType type) {
  TCustomInstall* install = CurrentInstall();
  if (install == nullptr) return nullptr;
  for (TInstallContainer* c : InstallUnitState().containers) {
    auto* manager = dynamic_cast<TDialogManager*>(c);
    if (manager != nullptr && manager->ManagerType() == type && manager->Container() == install)
      return manager;
  }
  return nullptr;
}

TDialogManager* CurrentDialogManager() {
  auto* r = FindProcessObject<TDialogRegistries>();
  return r != nullptr ? r->current : nullptr;
}

void SetUserAbortQuestion(TUserAbortQuestion question) {
  Registries().userAbort = std::move(question);
}

bool WizardAskUserAbort() {
  TCustomInstall* install = CurrentInstall();
  if (install == nullptr) return true;
  auto* r = FindProcessObject<TDialogRegistries>();
  if (r != nullptr && r->userAbort) return r->userAbort();
  return install->AskUserAbort();
}

// ---------------------------------------------------------------------------
// TCustomBaseInstallDlg.

TCustomBaseInstallDlg::TCustomBaseInstallDlg(TComponent* owner)
    : TInstallObject(owner), themeBitmap_(std::make_unique<TBitmap>()) {
  SetOrder(0);
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

// ---------------------------------------------------------------------------
// TDialogManager.

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

TPoint TDialogPlacement::PlaceOnScreen(int formWidth, int formHeight, int screenWidth,
                                       int screenHeight, int captionHeight) const {
  // Halves go to the even neighbour.
  const int cx = static_cast<int>(std::nearbyint(screenWidth * 0.5 - formWidth * 0.5));
  const int cy = static_cast<int>(std::nearbyint(screenHeight * 0.5 - formHeight * 0.5));
  const int right = screenWidth - formWidth - relativeLeftOffset_;
  const int bottom = screenHeight - captionHeight - formHeight - relativeTopOffset_;
  switch (position_) {
    case odpCenterLeft: return {relativeLeftOffset_, cy + relativeTopOffset_};
    case odpCenter: return {cx + relativeLeftOffset_, cy + relativeTopOffset_};
    case odpCenterRight: return {right, cy + relativeTopOffset_};
    case odpBottomLeft: return {relativeLeftOffset_, bottom};
    case odpBottomCenter: return {cx + relativeLeftOffset_, bottom};
    case odpBottomRight: return {right, bottom};
    case odpTopLeft: return {relativeLeftOffset_, relativeTopOffset_};
    case odpTopCenter: return {cx + relativeLeftOffset_, relativeTopOffset_};
    case odpTopRight: return {right, relativeTopOffset_};
  }
  return {cx, cy};
}

void TDialogPlacement::PlaceForm(TForm* form) const {
  form->SetPosition(poDesigned);
  form->SetHeight(height_);
  form->SetWidth(width_);
  const TPoint at = PlaceOnScreen(form->Width(), form->Height(), Screen != nullptr ? Screen->Width() : 0,
                                  Screen != nullptr ? Screen->Height() : 0, SystemCaptionHeight());
  form->SetBounds(at.X, at.Y, form->Width(), form->Height());
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
