#include "installer/engine/cmp_TInstallContainer.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/classes/DataModule.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <cmath>

namespace {

constexpr char kTextNoRegisteredType[] = "Class must declare a registered type";
constexpr char kTextBadHelperIndex[] =
    "Tried to reference a helper component in the following component: %s. The following "
    "index was used: %d";
constexpr char kTextBadComp[] =
    "Bad call to the Comp procedure which returns a TInstallObject for a TInstallContainer "
    "component. The parameters are probably reversed. Index: %d, ComponentType: %d";
constexpr char kTextBlankHelper[] = "Cannot add a blank base helper component to %s";
constexpr char kTextCircular[] = "Circular reference";
constexpr char kInstallCdeClass[] = "TINSTALLCDE";

TInstallContainer* AsContainer(TInstallObject* object) {
  return object;
}

// Does newcomer stand in front of standing?
bool ComesBefore(const TInstallObject* newcomer, TInstallObject* standing) {
  const int newType = newcomer->GetRegisteredType();
  const int standingType = standing->GetRegisteredType();
  if (standingType > newType) return true;
  return standingType == newType && newcomer->Order() != -1 &&
         standing->Order() >= newcomer->Order();
}

// Does chain start at `from` and, following Container links, reach target?
bool ChainHolds(const TInstallContainer* from, const TInstallContainer* target) {
  // Bounded by the number of live containers, so a broken chain cannot loop.
  qsizetype steps = InstallUnitState().containers.size() + 1;
  for (const TInstallContainer* c = from; c != nullptr && steps-- > 0; c = c->ContainerOf()) {
    if (c == target) return true;
  }
  return false;
}

}  // namespace

const TEnumInfo kInstallTypeIdents{"itFull", "itDefault", "itCompact", "itAlways", "itCustom"};

// ---------------------------------------------------------------------------

TObject* TParameterList::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[index];
}

int RoundPercent(double part, double whole) {
  if (whole == 0 || !std::isfinite(part / whole)) return 0;
  const double value = std::nearbyint(part / whole * 100.0);
  if (!std::isfinite(value) || std::fabs(value) > 2147483647.0) return 0;
  return static_cast<int>(value);
}

// ---------------------------------------------------------------------------
// Unit state.

TInstallUnitState& InstallUnitState() {
  return ProcessObject<TInstallUnitState>();
}

TInstallUnitState* FindInstallUnitState() {
  return FindProcessObject<TInstallUnitState>();
}

// ---------------------------------------------------------------------------
// TInstallContainer.

TInstallContainer::TInstallContainer(TComponent* owner) : TComponent(owner) {
  // While the owner is being read from a form file, its own specifiers are
  // still to come: they are made (where missing) in Loaded instead.
  if (IsFormOrDataModule(owner) && !owner->ComponentState().Contains(csLoading) &&
      FindPathSpecifierList() != nullptr) {
    CreateStandardSpecifiers(owner, true);
  }
  InstallUnitState().containers.append(this);
}

TInstallContainer::~TInstallContainer() {
  LeaveUnitList();
}

void TInstallContainer::BeforeDestruction() {
  LeaveUnitList();
  TComponent::BeforeDestruction();
}

void TInstallContainer::LeaveUnitList() {
  if (leftUnitList_) return;
  leftUnitList_ = true;
  TInstallUnitState* state = FindInstallUnitState();
  if (state != nullptr) {
    // A ContainerDestroyed handler may free other containers: walk a copy and
    // skip those that have gone meanwhile.
    const QList<TInstallContainer*> others = state->containers;
    for (qsizetype i = others.size() - 1; i >= 0; --i) {
      TInstallContainer* other = others[i];
      if (other == this || !state->containers.contains(other)) continue;
      other->ContainerDestroyed(this);
    }
  }
  helpers_.clear();
  if (state != nullptr) state->containers.removeAll(this);
}

void TInstallContainer::SetInstallTypes(TInstallTypeSet value) {
  const TInstallTypeSet always{itAlways};
  if (value.Empty()) {
    value = always;
  } else if (value.Contains(itAlways) && !installTypes_.Contains(itAlways)) {
    value = always;
  } else if (!(value - always).Empty()) {
    value = value - always;
  }
  installTypes_ = value;
}

void TInstallContainer::SetDestDir(const QString& value) {
  destDir_ = value;
}

void TInstallContainer::SetDestDirType(TCustomPathSpecifier* value) {
  destDirTypeAssigned_ = true;
  if (!IsLoading() && value != nullptr) value->CheckComponent(this);
  StoreDestDirType(value);
}

void TInstallContainer::StoreDestDirType(TCustomPathSpecifier* value) {
  if (destDirType_ == value) return;
  if (destDirType_ != nullptr) destDirType_->RemoveFreeNotification(this);
  destDirType_ = value;
  if (value != nullptr) value->FreeNotification(this);
}

void TInstallContainer::SetOrder(int value) {
  if (IsLoading()) {
    order_ = value;
    return;
  }
  auto* self = dynamic_cast<TInstallObject*>(this);
  TInstallContainer* container = ContainerOf();
  if (value == order_ || container == nullptr || self == nullptr) return;
  container->RemoveHelper(self);
  order_ = value;
  container->AddHelper(self);
}

int TInstallContainer::FileContainerCount() {
  int count = 0;
  for (TInstallObject* h : helpers_)
    if (AsContainer(h)->AsFileContainer() != nullptr) ++count;
  return count;
}

TFileContainer* TInstallContainer::GetFileContainer(int index) {
  int seen = 0;
  for (TInstallObject* h : helpers_) {
    if (TFileContainer* fc = AsContainer(h)->AsFileContainer()) {
      if (index >= 0 && seen == index) return fc;
      ++seen;
    }
  }
  RaiseBadComp(index, seen);
}

void TInstallContainer::ContainerDestroyed(TInstallContainer* container) {
  auto* object = dynamic_cast<TInstallObject*>(container);
  if (object != nullptr && helpers_.contains(object)) RemoveHelper(object);
}

void TInstallContainer::ShowStatusMessage(const QString& text) {
  TMessageParameter param;
  param.Message = text;
  BroadcastMessage(this, scShowStatus, &param);
}

void TInstallContainer::HideStatusMessage() {
  BroadcastMessage(this, scHideStatus, nullptr);
}

void TInstallContainer::DoInformationEventControl(TInstallContainer*, int, TObject*) {}

void TInstallContainer::HandleMessage(TInstallContainer*, int, TObject*) {}

namespace {

// Folder names do not end in blanks: a script's "/Trovaly " names the
// folder "Trovaly", as the file systems the scripts were written for read it.
QString WithoutTrailingBlanks(const QString& path) {
  QStringList parts = path.split(PathDelim);
  for (QString& part : parts) {
    while (part.endsWith(QLatin1Char(' '))) part.chop(1);
  }
  return parts.join(PathDelim);
}

}  // namespace

QString TInstallContainer::GetExpandedDestDir() {
  if (destDirType_ == nullptr) return RemoveBackslash(WithoutTrailingBlanks(destDir_));
  return RemoveBackslash(WithoutTrailingBlanks(destDirType_->PathFor(this) + destDir_));
}

int TInstallContainer::GetRegisteredType() const {
  throw IEInstallContainer(QString::fromLatin1(kTextNoRegisteredType));
}

int TInstallContainer::InsertPosition(const TInstallObject* helper) const {
  if (helper->ClassName().compare(QLatin1String(kInstallCdeClass), Qt::CaseInsensitive) == 0)
    return 0;
  for (int i = 0; i < HelperCount(); ++i) {
    if (ComesBefore(helper, helpers_[i])) return i;
  }
  return HelperCount();
}

void TInstallContainer::AddHelper(TInstallObject* helper) {
  if (helper == nullptr) throw IEInstallContainer(QString::fromLatin1(kTextBlankHelper), {Name()});
  // The helper may not be this container nor stand above it; nor may it
  // lead, through its own containers, back to itself.
  const TInstallContainer* asContainer = helper;
  if (ChainHolds(this, asContainer) || ChainHolds(helper->Container(), asContainer))
    throw IEInstallContainer(QString::fromLatin1(kTextCircular));
  // A class without a registered type raises here, before anything changes.
  helper->GetRegisteredType();
  const int position = InsertPosition(helper);
  helpers_.insert(position, helper);
  if (!IsLoading()) RenumberHelpers();
}

void TInstallContainer::RemoveHelper(TInstallObject* helper) {
  if (helper == nullptr) return;
  helpers_.removeAll(helper);
  if (!IsLoading()) RenumberHelpers();
}

void TInstallContainer::RenumberHelpers() {
  int counter = 0;
  int previousType = 0;
  for (int i = 0; i < HelperCount(); ++i) {
    const int type = helpers_[i]->GetRegisteredType();
    if (i == 0 || type != previousType) counter = 0;
    static_cast<TInstallContainer*>(helpers_[i])->order_ = counter++;
    previousType = type;
  }
}

TInstallObject* TInstallContainer::GetHelper(int index) const {
  if (index < 0 || index >= HelperCount())
    throw IEInstallContainer(QString::fromLatin1(kTextBadHelperIndex), {Name(), index});
  return helpers_[index];
}

void TInstallContainer::RaiseBadComp(int index, int componentType) const {
  throw IEInstallContainer(QString::fromLatin1(kTextBadComp), {index, componentType});
}

void TInstallContainer::BroadcastMessage(TInstallContainer* sender, int code, TObject* param) {
  // A dialog helper's page may free helpers: walk a copy, skip the gone.
  const QList<TInstallObject*> helpers = helpers_;
  for (TInstallObject* h : helpers) {
    if (!helpers_.contains(h)) continue;
    if (h->GetRegisteredType() == rtDialog) h->HandleMessage(sender, code, param);
  }
}

bool TInstallContainer::IsSelectedForInstall(TInstallContainer* object) const {
  if (object == nullptr || !object->Include()) return false;
  const TInstallType current = object->CurrentInstallType();
  const TInstallTypeSet types = object->InstallTypes();
  return current == itAlways || current == itCustom || types.Contains(itAlways) ||
         types.Contains(current);
}

void TInstallContainer::SendInformation(int code, TObject* po) {
  if (TInstallContainer* container = ContainerOf())
    container->DoInformationEventControl(this, code, po);
}

void TInstallContainer::Process() {
  try {
    if (OnBeforeProcess) OnBeforeProcess(this);
    BroadcastMessage(this, scBeforeProcess, nullptr);
    if (!include_) return;
    BroadcastMessage(this, scStartProcessing, nullptr);
    if (!IsSelectedForInstall(this)) return;
    ProcessHelpers();
    processed_ = true;
    if (TCustomInstall* install = CurrentInstall()) {
      WriteUninstallInfo(QString::fromLatin1(kUninstallKeyBase) +
                         install->Information()->ProductName());
    }
    if (OnAfterProcess) OnAfterProcess(this);
    BroadcastMessage(this, scAfterProcess, nullptr);
  } catch (const EAbort&) {
    // Ends this object's processing only; the run goes on with the next.
  }
}

void TInstallContainer::ProcessHelpers() {
  processed_ = true;
  // A helper's processing may remove helpers: walk a copy, skip the gone.
  const QList<TInstallObject*> helpers = helpers_;
  for (TInstallObject* h : helpers) {
    if (!helpers_.contains(h)) continue;
    if (h->Processable()) h->Process();
  }
}

void TInstallContainer::WriteUninstallInfo(const QString&) {}

void TInstallContainer::Loaded() {
  TComponent::Loaded();
  // Now that the form file's own components exist, the standard specifiers
  // it lacks are made; those it holds are found.
  TComponent* owner = Owner();
  if (IsFormOrDataModule(owner) && FindPathSpecifierList() != nullptr)
    CreateStandardSpecifiers(owner, true);
}

void TInstallContainer::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == destDirType_)
    destDirType_ = nullptr;
}

void TInstallContainer::DeclareProperties(TClassBuilder<TInstallContainer, TComponent>& b) {
  b.Property("DestDir", &TInstallContainer::DestDir, &TInstallContainer::SetDestDir);
  b.Property("DestDirType", &TInstallContainer::DestDirType, &TInstallContainer::SetDestDirType);
  b.Property("Include", &TInstallContainer::Include, &TInstallContainer::SetInclude).Default(true);
  b.Property("InstallTypes", &TInstallContainer::InstallTypes, &TInstallContainer::SetInstallTypes,
             kInstallTypeIdents)
      .Default(TInstallTypeSet{itAlways});
  b.Property("Order", &TInstallContainer::Order, &TInstallContainer::SetOrder).Default(-1);
  b.Event("OnAfterProcess", &TInstallContainer::OnAfterProcess);
  b.Event("OnBeforeProcess", &TInstallContainer::OnBeforeProcess);
}

// ---------------------------------------------------------------------------
// TInstallObject.

TInstallObject::TInstallObject(TComponent* owner) : TInstallContainer(owner) {}

// Still an install object here, so its container recognises and drops it.
TInstallObject::~TInstallObject() {
  LeaveUnitList();
}

void TInstallObject::SetContainer(TInstallContainer* value) {
  containerAssigned_ = true;
  if (value == container_) return;
  // AddHelper may refuse; then nothing has changed.
  if (value != nullptr) value->AddHelper(this);
  if (container_ != nullptr) container_->RemoveHelper(this);
  container_ = value;
  if (IsLoading()) return;
  if (value != nullptr) {
    StoreDestDirType(StandardPathSpecList().FindFirst<TpsContainerDestDir>());
    SetDestDir(QString());
  } else if (dynamic_cast<TpsContainerDestDir*>(DestDirType()) != nullptr) {
    StoreDestDirType(nullptr);
  }
}

void TInstallObject::SetInstallType(TInstallType value) {
  for (int i = 0; i < HelperCount(); ++i) GetHelper(i)->SetInstallType(value);
  SetCurrentInstallType(value);
}

void TInstallObject::ContainerDestroyed(TInstallContainer* container) {
  TInstallContainer::ContainerDestroyed(container);
  if (container != nullptr && container == container_) {
    // The container is going: it no longer holds this object.
    container_ = nullptr;
    if (!IsLoading() && dynamic_cast<TpsContainerDestDir*>(DestDirType()) != nullptr)
      StoreDestDirType(nullptr);
  }
}

void TInstallObject::Loaded() {
  TInstallContainer::Loaded();
  if (containerPending_ && !containerAssigned_) SetContainer(nullptr);
  if (DestDirTypePending() && !DestDirTypeAssigned()) StoreDestDirType(nullptr);
  containerPending_ = false;
  SetDestDirTypePending(false);
}

void TInstallObject::DeclareProperties(TClassBuilder<TInstallObject, TInstallContainer>& b) {
  b.Property("Container", &TInstallObject::Container, &TInstallObject::SetContainer);
}

// ---------------------------------------------------------------------------

int GetDistributeType() {
  if (TCustomInstall* install = CurrentInstall()) return static_cast<int>(install->DistributeType());
  return 2;
}

bool IsFormOrDataModule(const TComponent* component) {
  if (component == nullptr) return false;
  if (dynamic_cast<const TDataModule*>(component) != nullptr) return true;
  // Forms are window classes, out of this library's reach: known by name.
  for (const TMetaClass* meta = FindMetaClass(*component); meta != nullptr;
       meta = meta->ClassParent()) {
    const QString name = meta->ClassName();
    if (name == QLatin1String("TForm") || name == QLatin1String("TCustomForm") ||
        name == QLatin1String("TDataModule"))
      return true;
  }
  return false;
}
