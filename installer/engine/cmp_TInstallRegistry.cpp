#include "installer/engine/cmp_TInstallRegistry.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallRegistry_Log.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"

const TEnumInfo kRootKeysIdents{"hkClassesRoot", "hkCurrentConfig", "hkCurrentUser",
                                "hkDynData",     "hkLocalMachine",  "hkUsers"};
const TEnumInfo kKeySpecifierIdents{"ksAbsolute", "ksCompanyName", "ksProductName", "ksVersion"};
const TEnumInfo kRegistryEntryTypeIdents{"retText", "retInteger", "retBoolean"};

namespace {

struct TInstallRegistryList {
  QList<TCustomInstallRegistry*> items;
};

TInstallRegistryList& RegistryList() { return ProcessObject<TInstallRegistryList>(); }

void AddToRegistryList(TCustomInstallRegistry* item) {
  if (item == nullptr)
    throw IEInstallRegistryList(QString::fromLatin1(kTextBlankRegistryListEntry));
  RegistryList().items.append(item);
}

void RemoveFromRegistryList(TCustomInstallRegistry* item) {
  if (TInstallRegistryList* list = FindProcessObject<TInstallRegistryList>())
    list->items.removeAll(item);
}

TCustomInstall& RequireInstall() {
  TCustomInstall* install = CurrentInstall();
  if (install == nullptr)
    throw IEInstallRegistry(QString::fromLatin1(kTextNoInstallForRegistry));
  return *install;
}

}  // namespace

// --- TRegistryEntry ---------------------------------------------------------

TRegistryEntry::TRegistryEntry(TCollection* collection) : TCollectionItem(collection) {
  if (auto* entries = dynamic_cast<TRegistryEntries*>(collection))
    registry_ = entries->InstallRegistry();
}

bool TRegistryEntry::Typing() const { return registry_ != nullptr && !registry_->Loading(); }

void TRegistryEntry::SetBoolean(bool value) {
  boolean_ = value;
  if (Typing()) entryType_ = retBoolean;
}

void TRegistryEntry::SetInteger(int value) {
  integer_ = value;
  if (Typing()) entryType_ = retInteger;
}

void TRegistryEntry::SetText(const QString& value) {
  text_ = value;
  if (Typing()) entryType_ = retText;
}

void TRegistryEntry::SetPathSpecifier(TCustomPathSpecifier* value) {
  if (Typing()) {
    if (value != nullptr) {
      value->CheckComponent(registry_);
      text_ = QStringLiteral("%p");
    }
    entryType_ = retText;
  }
  pathSpecifier_ = value;
  if (value != nullptr && registry_ != nullptr) value->FreeNotification(registry_);
}

QString TRegistryEntry::ValueText() const {
  if (pathSpecifier_ == nullptr) return text_;
  QString path;
  pathSpecifier_->GetPath(registry_, path);
  return ExpandPathSpecifierText(text_, path);
}

void TRegistryEntry::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TRegistryEntry*>(source);
  if (other == nullptr) {
    TCollectionItem::Assign(source);
    return;
  }
  boolean_ = other->boolean_;
  entryType_ = other->entryType_;
  ident_ = other->ident_;
  integer_ = other->integer_;
  pathSpecifier_ = other->pathSpecifier_;
  text_ = other->text_;
  if (pathSpecifier_ != nullptr && registry_ != nullptr)
    pathSpecifier_->FreeNotification(registry_);
}

void TRegistryEntry::DeclareProperties(TClassBuilder<TRegistryEntry, TCollectionItem>& b) {
  b.Property("Boolean", &TRegistryEntry::Boolean, &TRegistryEntry::SetBoolean);
  b.Property("EntryType", &TRegistryEntry::EntryType, &TRegistryEntry::SetEntryType,
             kRegistryEntryTypeIdents);
  b.Property("Ident", &TRegistryEntry::Ident, &TRegistryEntry::SetIdent);
  b.Property("Integer", &TRegistryEntry::Integer, &TRegistryEntry::SetInteger);
  b.Property("PathSpecifier", &TRegistryEntry::PathSpecifier, &TRegistryEntry::SetPathSpecifier);
  b.Property("Text", &TRegistryEntry::Text, &TRegistryEntry::SetText);
}

// --- TRegistryEntries -------------------------------------------------------

namespace {
TCustomInstallRegistry* RequireEntriesOwner(TCustomInstallRegistry* owner) {
  if (owner == nullptr) throw IERegistryEntries(QString::fromLatin1(kTextNilEntriesOwner));
  return owner;
}
}  // namespace

TRegistryEntries::TRegistryEntries(TCustomInstallRegistry* owner)
    : TCollection(RequireEntriesOwner(owner), MetaClassOf<TRegistryEntry>()), registry_(owner) {}

TRegistryEntry* TRegistryEntries::Items(int index) const {
  return static_cast<TRegistryEntry*>(TCollection::Items(index));
}

TRegistryEntry* TRegistryEntries::Add() { return static_cast<TRegistryEntry*>(TCollection::Add()); }

// --- TCustomInstallRegistry -------------------------------------------------

TCustomInstallRegistry::TCustomInstallRegistry(TComponent* owner)
    : TInstallObject(owner), entries_(std::make_unique<TRegistryEntries>(this)) {
  SetInclude(true);
  SetProcessable(true);
  AddToRegistryList(this);
}

TCustomInstallRegistry::~TCustomInstallRegistry() {
  entries_.reset();
  RemoveFromRegistryList(this);
}

void TCustomInstallRegistry::SetEntries(TRegistryEntries* value) { entries_->Assign(value); }

void TCustomInstallRegistry::SetKey(const QString& value) {
  key_ = keySpecifierType_ == ksAbsolute ? value : QString();
}

void TCustomInstallRegistry::SetKeySpecifierType(TKeySpecifier value) {
  if (value != ksAbsolute) {
    if (!Loading()) RequireInstall();
    key_.clear();
    rootKey_ = hkLocalMachine;
  }
  keySpecifierType_ = value;
}

QString TCustomInstallRegistry::GetKey() const {
  if (keySpecifierType_ == ksAbsolute) return RemoveKeyBackslash(key_);
  const TInstallInformation& info = *RequireInstall().Information();
  QString key = QStringLiteral("\\SOFTWARE\\") + info.CompanyName();
  if (keySpecifierType_ == ksCompanyName) return key;
  key += QLatin1Char('\\') + info.ProductName();
  if (keySpecifierType_ == ksProductName) return key;
  return key + QLatin1Char('\\') + info.Version();
}

int TCustomInstallRegistry::GetRegisteredType() const { return 8500; }

void TCustomInstallRegistry::WriteEntry(const TRegistryEntry& entry) const {
  TRegistry registry;
  SetRegistryRoot(registry, rootKey_);
  const QString key = GetKey();
  bool opened = false;
  try {
    opened = registry.OpenKey(key, true);
  } catch (const ERegistryException&) {
    opened = false;
  }
  if (!opened)
    throw IERegistryEntry(QString::fromLatin1(kTextCannotCreateRegKey), {Name(), key});
  switch (entry.EntryType()) {
    case retText:
      registry.WriteString(entry.Ident(), entry.ValueText());
      break;
    case retInteger:
      registry.WriteInteger(entry.Ident(), entry.Integer());
      break;
    case retBoolean:
      registry.WriteInteger(entry.Ident(), entry.Boolean() ? 1 : 0);
      break;
  }
}

void TCustomInstallRegistry::ProcessHelpers() {
  for (int i = 0; i < entries_->Count(); ++i) {
    TRegistryEntry* entry = entries_->Items(i);
    bool proceed = true;
    if (OnBeforeWriteEntry) OnBeforeWriteEntry(this, entry, proceed);
    if (proceed) WriteEntry(*entry);
  }
  TInstallObject::ProcessHelpers();
}

void TCustomInstallRegistry::WriteUninstallInfo(const QString& key) {
  const QString listKey = key + QStringLiteral("\\RegistryKeys");
  const int count = ReadLogEntries(listKey);
  const QString recordBase = listKey + QStringLiteral("\\RegistryKey");
  // Installed again: the key's record takes these entries beside its own.
  if (const int logged = FindLoggedRegistryKey(listKey, count, GetKey(), rootKey_); logged > 0) {
    WriteRegistryLogEntries(recordBase + QString::number(logged));
    return;
  }
  const int number = count + 1;
  const QString record = recordBase + QString::number(number);
  // A run that stopped after its record but before its count left a record
  // under this number; it goes, so the record holds exactly these entries.
  DeleteRegKeyTree(hkLocalMachine, record);
  WriteRegString(hkLocalMachine, record, QStringLiteral("Key"), GetKey());
  WriteRegInteger(hkLocalMachine, record, QStringLiteral("Root"), rootKey_);
  WriteRegistryLogEntries(record);
  // The count last: it never names a record that is not complete.
  WriteRegString(hkLocalMachine, listKey, QStringLiteral("Entries"), QString::number(number));
}

void TCustomInstallRegistry::WriteRegistryLogEntries(const QString& record) {
  const QString entriesKey = record + QStringLiteral("\\Entries");
  for (int i = 0; i < entries_->Count(); ++i) {
    const TRegistryEntry* entry = entries_->Items(i);
    WriteRegString(hkLocalMachine, entriesKey, entry->Ident(), entry->ValueText());
  }
}

void TCustomInstallRegistry::Loaded() {
  for (int i = 0; i < entries_->Count(); ++i) {
    TRegistryEntry* entry = entries_->Items(i);
    entry->SetInstallRegistry(this);
    if (entry->PathSpecifier() != nullptr) entry->PathSpecifier()->FreeNotification(this);
  }
  TInstallObject::Loaded();
}

void TCustomInstallRegistry::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != opRemove) return;
  if (dynamic_cast<TCustomInstall*>(component) != nullptr && keySpecifierType_ != ksAbsolute)
    keySpecifierType_ = ksAbsolute;
  for (int i = 0; i < entries_->Count(); ++i) {
    TRegistryEntry* entry = entries_->Items(i);
    if (entry->PathSpecifier() == component) entry->ForgetPathSpecifier();
  }
}

void TInstallRegistry::DeclareProperties(TClassBuilder<TInstallRegistry, TInstallObject>& b) {
  b.Property("Container", &TInstallRegistry::Container, &TInstallRegistry::SetContainer);
  b.Object("Entries", &TInstallRegistry::Entries);
  b.Property("InstallTypes", &TInstallRegistry::InstallTypes, &TInstallRegistry::SetInstallTypes,
             kInstallTypeIdents)
      .Default(TInstallTypeSet{itAlways});
  b.Property("Key", &TInstallRegistry::Key, &TInstallRegistry::SetKey)
      .Default(QString::fromLatin1(kDefaultRegistryKey));
  b.Property("KeySpecifierType", &TInstallRegistry::KeySpecifierType,
             &TInstallRegistry::SetKeySpecifierType, kKeySpecifierIdents)
      .Default(ksAbsolute);
  b.Property("RootKey", &TInstallRegistry::RootKey, &TInstallRegistry::SetRootKey, kRootKeysIdents)
      .Default(hkLocalMachine);
  b.Event("OnAfterProcess", &TInstallRegistry::OnAfterProcess);
  b.Event("OnBeforeProcess", &TInstallRegistry::OnBeforeProcess);
  b.Event("OnBeforeWriteEntry", &TInstallRegistry::OnBeforeWriteEntry);
}

const QList<TCustomInstallRegistry*>& InstallRegistryList() { return RegistryList().items; }

void RegisterInstallRegistryClasses() { RegisterClasses<TInstallRegistry>(); }
