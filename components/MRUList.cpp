#include "components/MRUList.h"

#include "components/KvUtils.h"
#include "components/Placemnt.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Menus.h"
#include "platform/rtl/UpdateScope.h"

#include <cstdint>

const TEnumInfo kRecentModeIdents{"rmInsert", "rmAppend"};
const TEnumInfo kAccelDelimiterIdents{"adTab", "adSpace"};

// ---- TRecentStrings

TRecentStrings::TRecentStrings() = default;
TRecentStrings::~TRecentStrings() = default;

void TRecentStrings::SetCapacity(int value) {
  capacity_ = MaxOf(1, value);
  DeleteExceed();
}

int TRecentStrings::Add(const QString& s) {
  const int found = IndexOf(s);
  if (found >= 0) {
    const int target = mode_ == rmInsert ? 0 : Count() - 1;
    Move(found, target);
    return target;
  }
  InUpdate(*this, [&] {
    Insert(mode_ == rmInsert ? 0 : Count(), s);
    DeleteExceed();
  });
  return mode_ == rmInsert ? 0 : Count() - 1;
}

void TRecentStrings::AddStrings(const TStrings& strings) {
  InUpdate(*this, [&] {
    const int n = MinOf(strings.Count(), capacity_);
    // Copied first: strings may be this list.
    QList<std::pair<QString, void*>> taken;
    for (int i = 0; i < n; ++i)
      taken.append({strings.Get(i), strings.GetObject(i)});
    if (mode_ == rmAppend) {
      for (const auto& [s, obj] : taken)
        PutObject(Add(s), obj);
    } else {
      for (auto it = taken.crbegin(); it != taken.crend(); ++it)
        PutObject(Add(it->first), it->second);
    }
    DeleteExceed();
  });
}

void TRecentStrings::Remove(const QString& s) {
  const int index = IndexOf(s);
  if (index >= 0)
    Delete(index);
}

void TRecentStrings::DeleteExceed() {
  if (Count() <= capacity_)
    return;
  InUpdate(*this, [&] {
    while (Count() > capacity_)
      Delete(mode_ == rmInsert ? Count() - 1 : 0);
  });
}

// ---- TMRUManager: list and properties

TMRUManager::TMRUManager(TComponent* owner)
    : TComponent(owner),
      strings_(std::make_unique<TRecentStrings>()),
      iniLink_(std::make_unique<TIniLink>()) {
  strings_->OnChange = [this](TStrings*) { ListChanged(); };
  iniLink_->OnSave = [this](TObject*) { IniSave(); };
  iniLink_->OnLoad = [this](TObject*) { IniLoad(); };
}

TMRUManager::~TMRUManager() { strings_->OnChange = nullptr; }

void TMRUManager::BeforeDestruction() {
  strings_->OnChange = nullptr;
  TComponent::BeforeDestruction();
}

int TMRUManager::UserData(int index) const {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(strings_->Objects(index)));
}

void TMRUManager::Add(const QString& recentName, int userData) {
  InUpdate(*strings_, [&] {
    const int index = strings_->Add(recentName);
    strings_->PutObject(index, reinterpret_cast<void*>(static_cast<std::intptr_t>(userData)));
  });
}

void TMRUManager::Remove(const QString& recentName) { strings_->Remove(recentName); }

void TMRUManager::Clear() { strings_->Clear(); }

void TMRUManager::ListChanged() {
  if (autoUpdate_)
    Rebuild();
  if (OnChange)
    OnChange(this);
}

int TMRUManager::Capacity() const { return strings_->Capacity(); }
void TMRUManager::SetCapacity(int value) { strings_->SetCapacity(value); }
TRecentMode TMRUManager::Mode() const { return strings_->Mode(); }
void TMRUManager::SetMode(TRecentMode value) { strings_->SetMode(value); }

void TMRUManager::SetAccelDelimiter(TAccelDelimiter value) {
  if (accelDelimiter_ == value)
    return;
  accelDelimiter_ = value;
  if (showAccelChar_)
    RebuildIfAuto();
}

void TMRUManager::SetAutoEnable(bool value) {
  autoEnable_ = value;
  ApplyAutoEnable();
}

void TMRUManager::SetAutoUpdate(bool value) {
  const bool switchedOn = value && !autoUpdate_;
  autoUpdate_ = value;
  if (switchedOn)
    Rebuild();
}

void TMRUManager::SetSeparateSize(std::uint16_t value) {
  if (separateSize_ == value)
    return;
  separateSize_ = value;
  RebuildIfAuto();
}

void TMRUManager::SetShowAccelChar(bool value) {
  if (showAccelChar_ == value)
    return;
  showAccelChar_ = value;
  RebuildIfAuto();
}

void TMRUManager::SetStartAccel(int value) {
  if (startAccel_ == value)
    return;
  startAccel_ = value;
  RebuildIfAuto();
}

TFormPlacement* TMRUManager::IniStorage() const { return iniLink_->Storage(); }

// The placement unlinks its links when it goes, so no notice is needed.
void TMRUManager::SetIniStorage(TFormPlacement* value) { iniLink_->SetStorage(value); }

// A manager without a name has no section of its own.
void TMRUManager::IniSave() {
  const TIniStorage storage = iniLink_->IniObject();
  if (!Name().isEmpty() && !storage.Empty())
    DoSave(storage, DefaultStorageSection(this));
}

void TMRUManager::IniLoad() {
  const TIniStorage storage = iniLink_->IniObject();
  if (!Name().isEmpty() && !storage.Empty())
    DoLoad(storage, DefaultStorageSection(this));
}

void TMRUManager::Loaded() {
  TComponent::Loaded();
  Rebuild();
}

void TMRUManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove)
    return;
  if (component == recentMenu_)
    recentMenu_ = nullptr;
  if (component == clicking_)
    clicking_ = nullptr;
  created_.removeAll(component);
  retired_.removeAll(component);
}

void TMRUManager::DeclareProperties(TClassBuilder<TMRUManager, TComponent>& b) {
  b.Property("AccelDelimiter", &TMRUManager::AccelDelimiter, &TMRUManager::SetAccelDelimiter,
             kAccelDelimiterIdents)
      .Default(adTab);
  b.Property("AutoEnable", &TMRUManager::AutoEnable, &TMRUManager::SetAutoEnable).Default(true);
  b.Property("AutoUpdate", &TMRUManager::AutoUpdate, &TMRUManager::SetAutoUpdate).Default(true);
  b.Property("Capacity", &TMRUManager::Capacity, &TMRUManager::SetCapacity).Default(10);
  b.Property("IniStorage", &TMRUManager::IniStorage, &TMRUManager::SetIniStorage);
  b.Property("Mode", &TMRUManager::Mode, &TMRUManager::SetMode, kRecentModeIdents)
      .Default(rmInsert);
  b.Property("RemoveOnSelect", &TMRUManager::RemoveOnSelect, &TMRUManager::SetRemoveOnSelect)
      .Default(false);
  b.Property("SeparateSize", &TMRUManager::SeparateSize, &TMRUManager::SetSeparateSize)
      .Default(0);
  b.Property("RecentMenu", &TMRUManager::RecentMenu, &TMRUManager::SetRecentMenu);
  b.Property("ShowAccelChar", &TMRUManager::ShowAccelChar, &TMRUManager::SetShowAccelChar)
      .Default(true);
  b.Property("StartAccel", &TMRUManager::StartAccel, &TMRUManager::SetStartAccel).Default(1);
  b.Event("OnChange", &TMRUManager::OnChange);
  b.Event("OnClick", &TMRUManager::OnClick);
  b.Event("OnGetItemData", &TMRUManager::OnGetItemData);
  b.Event("OnReadItem", &TMRUManager::OnReadItem);
  b.Event("OnWriteItem", &TMRUManager::OnWriteItem);
}

void RegisterMRUListClasses() { RegisterClass<TMRUManager>(); }
