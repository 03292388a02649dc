#include "installer/engine/cmp_TInstallShellLink.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/cmp_TInstallRegistry_Log.h"
#include "installer/engine/cmp_TInstallShellLink_Name.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLink.h"

const TEnumInfo kMethodTypeIdents{"mtAutoDetect", "mtShellLinkInterface", "mtProgramManager"};

namespace {

struct TShellLinkLists {
  QList<TCustomInstallShellLink*> links;
  QList<TInstallMainLink*> mainLinks;
  QList<TCustomShellLinkGroup*> groups;
  TMainLinkGroup* mainGroup = nullptr;
};

TShellLinkLists& Lists() { return ProcessObject<TShellLinkLists>(); }

template <class T>
void AddToList(QList<T*>& list, T* item) {
  if (item == nullptr)
    throw IEInstallShellLinkList(QString::fromLatin1(kTextBlankShellLinkEntry));
  list.append(item);
}

// Destructors leave the lists only while they exist.
template <class T>
void RemoveFromList(QList<T*> TShellLinkLists::*list, T* item) {
  if (TShellLinkLists* lists = FindProcessObject<TShellLinkLists>()) (lists->*list).removeAll(item);
}

// While a form file is read its own specifiers are still to come: lookups
// wait for Loaded.
bool OwnerLoading(const TComponent* owner) {
  return owner != nullptr && owner->ComponentState().Contains(csLoading);
}

// The standard specifier of class T; while loading there may be none yet.
template <class T>
T* StandardSpecifier(bool loading) {
  if (loading) return StandardPathSpecList().FindFirst<T>();
  return StandardPathSpecList().FindByClass<T>();
}

}  // namespace

// --- Link groups ------------------------------------------------------------

TCustomShellLinkGroup::TCustomShellLinkGroup(TComponent* owner) : TInstallObject(owner) {
  SetInclude(true);
  SetProcessable(true);
  AddToList(Lists().groups, this);
}

TCustomShellLinkGroup::~TCustomShellLinkGroup() {
  RemoveFromList(&TShellLinkLists::groups, this);
}

void TCustomShellLinkGroup::ProcessHelpers() {
  BroadcastMessage(this, scProgramFolder, nullptr);
  // In the applications menu the folder is a submenu (ProgramGroups.h).
  CreateLinkGroup(GetExpandedDestDir());
  TInstallObject::ProcessHelpers();
}

void TCustomShellLinkGroup::ContainerDestroyed(TInstallContainer* container) {
  const bool ownContainer = container == Container();
  TInstallObject::ContainerDestroyed(container);
  if (ownContainer && !ComponentState().Contains(csDestroying)) Free();
}

TMainLinkGroup::TMainLinkGroup(TComponent* owner) : TCustomShellLinkGroup(owner) {
  TShellLinkLists& lists = Lists();
  if (lists.mainGroup != nullptr)
    throw IEShellLinkGroup(QString::fromLatin1(kTextOneMainLinkGroup));
  lists.mainGroup = this;
  if (!OwnerLoading(owner)) SetDestDirType(nullptr);
  const TCustomInstall* install = CurrentInstall();
  SetDestDir(PathDelim + (install != nullptr ? install->Information()->ProductName()
                                             : QString::fromLatin1(kDefaultMainFolder)));
}

TMainLinkGroup::~TMainLinkGroup() {
  if (TShellLinkLists* lists = FindProcessObject<TShellLinkLists>()) {
    if (lists->mainGroup == this) lists->mainGroup = nullptr;
  }
}

void TMainLinkGroup::SetDestDirType(TCustomPathSpecifier* /*value*/) {
  if (TpsProgramMenu* menu = StandardSpecifier<TpsProgramMenu>(IsLoading()))
    TCustomShellLinkGroup::SetDestDirType(menu);
}

void TMainLinkGroup::Loaded() {
  TCustomShellLinkGroup::Loaded();
  SetDestDirType(nullptr);
}

TMainLinkGroup* MainLinkGroup() {
  const TShellLinkLists* lists = FindProcessObject<TShellLinkLists>();
  return lists != nullptr ? lists->mainGroup : nullptr;
}

void TMainLinkGroup::DeclareProperties(TClassBuilder<TMainLinkGroup, TInstallObject>& b) {
  b.Property("Container", &TMainLinkGroup::Container, &TMainLinkGroup::SetContainer);
  b.Property("DestDir", &TMainLinkGroup::DestDir, &TMainLinkGroup::SetDestDir);
  b.Property("Include", &TMainLinkGroup::Include, &TMainLinkGroup::SetInclude).Default(true);
  b.Event("OnAfterProcess", &TMainLinkGroup::OnAfterProcess);
  b.Event("OnBeforeProcess", &TMainLinkGroup::OnBeforeProcess);
}

// --- Links ------------------------------------------------------------------

TCustomInstallShellLink::TCustomInstallShellLink(TComponent* owner) : TInstallObject(owner) {
  if (IsFormOrDataModule(owner) && !OwnerLoading(owner))
    EnsureSpecifier<TpsObjectLink>(owner, true);
  SetInclude(true);
  SetProcessable(true);
  AddToList(Lists().links, this);
}

TCustomInstallShellLink::~TCustomInstallShellLink() {
  if (comOwned_) CoUninitialize();
  RemoveFromList(&TShellLinkLists::links, this);
}

void TCustomInstallShellLink::Loaded() {
  TInstallObject::Loaded();
  if (IsFormOrDataModule(Owner())) EnsureSpecifier<TpsObjectLink>(Owner(), true);
}

void TCustomInstallShellLink::InitializeCOM() {
  if (comInitialized_) return;
  const HRESULT result = CoInitialize(nullptr);
  if (result != S_OK && result != S_FALSE)
    throw IEInstallShellLink(QString::fromLatin1(kTextCannotInitCOM), {static_cast<int>(result)});
  comInitialized_ = true;
  comOwned_ = true;
}

void TCustomInstallShellLink::SetLinkName(const QString& value) {
  if (IsLoading()) {
    linkName_ = value;
    return;
  }
  const QString oldExt = UpperCase(ExtractFileExt(linkName_));
  linkName_ = value;
  if (Trim(value).isEmpty()) return;
  const QString newExt = UpperCase(ExtractFileExt(value));
  if (newExt == QLatin1String(".URL")) {
    SetObjectLink(nullptr);
    return;
  }
  if (newExt == QLatin1String(".LNK")) return;
  linkName_ = ChangeFileExt(value, oldExt.isEmpty() ? QStringLiteral(".LNK") : oldExt);
}

void TCustomInstallShellLink::SetObjectLink(TInstallContainer* value) {
  if (IsLoading()) {
    objectLink_ = value;
    return;
  }
  if (value == nullptr) {
    objectLink_ = nullptr;
    objectLocationType_ = nullptr;
    return;
  }
  objectLocationType_ = StandardPathSpecList().FindByClass<TpsObjectLink>();
  objectLocationType_->FreeNotification(this);
  objectLocation_.clear();
  if (value->AsInstallFile() != nullptr)
    SetLinkName(ChangeFileExt(ExtractFileName(value->GetInstalledPath()), QStringLiteral(".lnk")));
  else if (const auto* group = dynamic_cast<const TInstallFileGroup*>(value))
    SetLinkName(group->GroupName() + QStringLiteral(".lnk"));
  else
    SetLinkName(value->Name() + QStringLiteral(".lnk"));
  if (Container() == nullptr) SetContainer(value);
  objectLink_ = value;
}

void TCustomInstallShellLink::SetObjectLocation(const QString& value) {
  objectLocation_ = value;
  if (dynamic_cast<TpsObjectLink*>(objectLocationType_) != nullptr) objectLocation_.clear();
  if (IsLoading()) return;
  const QString name = UpperCase(Trim(linkName_));
  if (!name.isEmpty() && name != QLatin1String(".LNK")) return;
  if (const std::optional<QString> urlName = URLLinkName(value)) {
    linkName_ = *urlName;
    return;
  }
  SetLinkName(ChangeFileExt(ExtractFileName(value), QString()));
}

void TCustomInstallShellLink::SetObjectLocationType(TCustomPathSpecifier* value) {
  if (!IsLoading() && value != nullptr) value->CheckComponent(this);
  objectLocationType_ = value;
  if (value == nullptr) return;
  value->FreeNotification(this);
  if (!IsLoading() && dynamic_cast<TpsObjectLink*>(value) != nullptr) objectLocation_.clear();
}

QString TCustomInstallShellLink::GetObjectPath() {
  if (objectLocationType_ != nullptr)
    return objectLocationType_->PathFor(this) + objectLocation_;
  return RemoveBackslash(objectLocation_);
}

QString TCustomInstallShellLink::GetLinkFileName() {
  return AddBackslash(GetExpandedDestDir()) + linkName_;
}

bool TCustomInstallShellLink::IsURLLink() const {
  return UpperCase(ExtractFileExt(linkName_)) == QLatin1String(".URL");
}

void TCustomInstallShellLink::ProcessHelpers() {
  writtenFile_.clear();
  if (objectLink_ != nullptr && dynamic_cast<const TUninstallEXE*>(objectLink_) != nullptr) {
    const TCustomInstall* install = CurrentInstall();
    if (install == nullptr)
      throw IEInstallShellLink(QString::fromLatin1(kTextLinkNoInstall), {Name()});
    parameters_ = install->Information()->ProductName();
  }
  if (IsURLLink()) {
    CreateURLShortcut();
  } else if (method_ == mtShellLinkInterface) {
    CreateShellLink();
  } else if (method_ == mtProgramManager) {
    CreateProgmanItem();
  } else {
    const int kind = GetWindowsVersionKind();
    if (kind == 1 || kind == 2)
      CreateShellLink();
    else
      CreateProgmanItem();
  }
  TInstallObject::ProcessHelpers();
}

void TCustomInstallShellLink::WriteUninstallInfo(const QString& key) {
  if (!writtenFile_.isEmpty()) IfLogInstalledFile(key, writtenFile_);
}

void TCustomInstallShellLink::ContainerDestroyed(TInstallContainer* container) {
  const bool linked = container == objectLink_;
  const bool ownContainer = container == Container();
  if (linked) SetObjectLink(nullptr);
  TInstallObject::ContainerDestroyed(container);
  if ((linked || ownContainer) && !ComponentState().Contains(csDestroying)) Free();
}

void TCustomInstallShellLink::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation == opRemove && component == objectLocationType_) objectLocationType_ = nullptr;
}

// --- Main links -------------------------------------------------------------

namespace {
TMainLinkGroup& RequireMainLinkGroup() {
  TMainLinkGroup* group = MainLinkGroup();
  if (group == nullptr) throw IEInstallShellLink(QString::fromLatin1(kTextNeedMainLinkGroup));
  return *group;
}
}  // namespace

TInstallMainLink::TInstallMainLink(TComponent* owner) : TCustomInstallShellLink(owner) {
  SetContainer(&RequireMainLinkGroup());
  if (!OwnerLoading(owner)) SetDestDirType(nullptr);
  AddToList(Lists().mainLinks, this);
}

TInstallMainLink::~TInstallMainLink() { RemoveFromList(&TShellLinkLists::mainLinks, this); }

void TInstallMainLink::SetContainer(TInstallContainer* value) {
  if (value == nullptr && leavingGroup_) {
    TCustomInstallShellLink::SetContainer(nullptr);
    return;
  }
  if (value == nullptr || value != MainLinkGroup())
    throw IEInstallShellLink(QString::fromLatin1(kTextMainLinkContainer));
  TCustomInstallShellLink::SetContainer(value);
}

void TInstallMainLink::SetDestDirType(TCustomPathSpecifier* /*value*/) {
  if (auto* dest = StandardSpecifier<TpsContainerDestDir>(IsLoading()))
    TCustomInstallShellLink::SetDestDirType(dest);
}

void TInstallMainLink::Loaded() {
  TCustomInstallShellLink::Loaded();
  SetDestDirType(nullptr);
}

void TInstallMainLink::ContainerDestroyed(TInstallContainer* container) {
  leavingGroup_ = container == Container();
  TCustomInstallShellLink::ContainerDestroyed(container);
}

void TInstallMainLink::DeclareProperties(TClassBuilder<TInstallMainLink, TInstallObject>& b) {
  b.Property("DestDir", &TInstallMainLink::DestDir, &TInstallMainLink::SetDestDir);
  b.Property("Include", &TInstallMainLink::Include, &TInstallMainLink::SetInclude).Default(true);
  b.Property("HotKey", &TInstallMainLink::HotKey, &TInstallMainLink::SetHotKey);
  b.Property("LinkName", &TInstallMainLink::LinkName, &TInstallMainLink::SetLinkName);
  b.Property("Method", &TInstallMainLink::Method, &TInstallMainLink::SetMethod, kMethodTypeIdents)
      .Default(mtAutoDetect);
  b.Property("ObjectLink", &TInstallMainLink::ObjectLink, &TInstallMainLink::SetObjectLink);
  b.Property("ObjectLocation", &TInstallMainLink::ObjectLocation,
             &TInstallMainLink::SetObjectLocation);
  b.Property("ObjectLocationType", &TInstallMainLink::ObjectLocationType,
             &TInstallMainLink::SetObjectLocationType);
  b.Property("Parameters", &TInstallMainLink::Parameters, &TInstallMainLink::SetParameters);
  b.Event("OnAfterProcess", &TInstallMainLink::OnAfterProcess);
  b.Event("OnBeforeProcess", &TInstallMainLink::OnBeforeProcess);
}

// --- Lists ------------------------------------------------------------------

const QList<TCustomInstallShellLink*>& ShellLinkList() { return Lists().links; }
const QList<TInstallMainLink*>& MainLinkList() { return Lists().mainLinks; }
const QList<TCustomShellLinkGroup*>& ShellLinkGroupList() { return Lists().groups; }

void RegisterInstallShellLinkClasses() { RegisterClasses<TMainLinkGroup, TInstallMainLink>(); }
