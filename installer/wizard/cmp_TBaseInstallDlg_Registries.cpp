#include "installer/wizard/cmp_TBaseInstallDlg_Scopes.h"

#include "installer/engine/cmp_TInstall.h"
#include "platform/rtl/ProcessState.h"

#include <vector>

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

}  // namespace

void SetCurrentDialogManager(TDialogManager* manager) {
  if (manager != nullptr) {
    Registries().current = manager;
  } else if (auto* r = FindProcessObject<TDialogRegistries>()) {
    r->current = nullptr;
  }
}

[[noreturn]] void RaiseTranslated(const char* format, std::initializer_list<TVarRec> args) {
  throw Exception(TranslateText(QString::fromLatin1(format)), args);
}

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
