#pragma once
// Registry components: install objects that write a list of named values
// into one key when they are processed, and record the key and its values
// in the product's uninstall log (layout in cmp_TInstallRegistry_Log.h).

#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/routines_Registry.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Collection.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class TCustomPathSpecifier;
class TCustomInstallRegistry;

inline constexpr char kTextNoInstallForRegistry[] =
    "There is no TInstall component in your project";
inline constexpr char kTextCannotCreateRegKey[] = "%s cannot create the key %s in the registry";
inline constexpr char kTextNilEntriesOwner[] =
    "Cannot create a TRegistryEntries component with a Nil Owner";
inline constexpr char kTextBlankRegistryListEntry[] = "Cannot add blank entry to the registry list";
// The key a new registry component writes to.
inline constexpr char kDefaultRegistryKey[] = "\\SOFTWARE\\MyStuff";

enum TKeySpecifier { ksAbsolute, ksCompanyName, ksProductName, ksVersion };
enum TRegistryEntryType { retText, retInteger, retBoolean };

extern const TEnumInfo kRootKeysIdents;
extern const TEnumInfo kKeySpecifierIdents;
extern const TEnumInfo kRegistryEntryTypeIdents;

class TRegistryEntry : public TCollectionItem {
 public:
  explicit TRegistryEntry(TCollection* collection);

  bool Boolean() const { return boolean_; }
  void SetBoolean(bool value);
  TRegistryEntryType EntryType() const { return entryType_; }
  void SetEntryType(TRegistryEntryType value) { entryType_ = value; }
  QString Ident() const { return ident_; }
  void SetIdent(const QString& value) { ident_ = value; }
  int Integer() const { return integer_; }
  void SetInteger(int value);
  TCustomPathSpecifier* PathSpecifier() const { return pathSpecifier_; }
  void SetPathSpecifier(TCustomPathSpecifier* value);
  // Drops a removed specifier; the entry type stays.
  void ForgetPathSpecifier() { pathSpecifier_ = nullptr; }
  QString Text() const { return text_; }
  void SetText(const QString& value);

  // The registry component the entry writes for; known once that component
  // has finished loading (or for entries added at run time).
  TCustomInstallRegistry* InstallRegistry() const { return registry_; }
  void SetInstallRegistry(TCustomInstallRegistry* value) { registry_ = value; }

  // Text, or with a PathSpecifier its "%p" replaced by the specifier's path.
  QString ValueText() const;

  void Assign(TPersistent* source) override;

  static void DeclareProperties(TClassBuilder<TRegistryEntry, TCollectionItem>& builder);

 private:
  // Setting a property also sets the entry type, except while loading.
  bool Typing() const;

  bool boolean_ = false;
  TRegistryEntryType entryType_ = retText;
  QString ident_;
  int integer_ = 0;
  TCustomPathSpecifier* pathSpecifier_ = nullptr;
  QString text_;
  TCustomInstallRegistry* registry_ = nullptr;
};

class TRegistryEntries : public TCollection {
 public:
  // A nil owner raises IERegistryEntries.
  explicit TRegistryEntries(TCustomInstallRegistry* owner);

  TRegistryEntry* Items(int index) const;
  TRegistryEntry* Add();
  TCustomInstallRegistry* InstallRegistry() const { return registry_; }

 private:
  TCustomInstallRegistry* registry_;
};

using TBeforeWriteEntry = std::function<void(TCustomInstallRegistry* installRegistry,
                                             TRegistryEntry* entry, bool& Continue)>;

class TCustomInstallRegistry : public TInstallObject {
 public:
  explicit TCustomInstallRegistry(TComponent* owner);
  ~TCustomInstallRegistry() override;

  TRegistryEntries* Entries() const { return entries_.get(); }
  virtual void SetEntries(TRegistryEntries* value);
  QString Key() const { return key_; }
  virtual void SetKey(const QString& value);
  TKeySpecifier KeySpecifierType() const { return keySpecifierType_; }
  virtual void SetKeySpecifierType(TKeySpecifier value);
  TRootKeys RootKey() const { return rootKey_; }
  void SetRootKey(TRootKeys value) { rootKey_ = value; }

  // The key path that is written.
  virtual QString GetKey() const;

  bool Loading() const { return ComponentState().Contains(csLoading); }

  int GetRegisteredType() const override;
  void ProcessHelpers() override;
  void WriteUninstallInfo(const QString& key) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TBeforeWriteEntry OnBeforeWriteEntry;

 private:
  void WriteEntry(const TRegistryEntry& entry) const;
  // The entries' values into record\Entries.
  void WriteRegistryLogEntries(const QString& record);

  std::unique_ptr<TRegistryEntries> entries_;
  QString key_ = QString::fromLatin1(kDefaultRegistryKey);
  TKeySpecifier keySpecifierType_ = ksAbsolute;
  TRootKeys rootKey_ = hkLocalMachine;
};

class TInstallRegistry : public TCustomInstallRegistry {
 public:
  using TCustomInstallRegistry::TCustomInstallRegistry;
  static void DeclareProperties(TClassBuilder<TInstallRegistry, TInstallObject>& builder);
};

// Every registry component of the process, in creation order.
const QList<TCustomInstallRegistry*>& InstallRegistryList();

// Makes the registry component classes known to form files.
void RegisterInstallRegistryClasses();
