#pragma once
// Recent-files manager: TRecentStrings (a string list with a capacity and an
// insert mode) and TMRUManager, which shows the list as items at the end of a
// menu, reports clicks on them and loads and saves the list as the string
// values "Item_0", "Item_1", ... of one registry or INI section (Item_0 is
// the first line). User data are kept in memory only, unless OnWriteItem and
// OnReadItem store them.

#include "components/AppUtils.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/ShortCuts.h"
#include "platform/rtl/StringList.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class TFormPlacement;
class TIniFile;
class TIniLink;
class TMenuItem;
class TRegIniFile;

enum TRecentMode { rmInsert, rmAppend };
enum TAccelDelimiter { adTab, adSpace };

extern const TEnumInfo kRecentModeIdents;
extern const TEnumInfo kAccelDelimiterIdents;

// Lines compare without regard to case. Each line's object slot holds an
// integer user datum (see TMRUManager).
class TRecentStrings : public TStringList {
 public:
  TRecentStrings();
  ~TRecentStrings() override;

  // At least 1 (a smaller value is taken as 1); lowering it trims the list.
  int Capacity() const { return capacity_; }
  void SetCapacity(int value);
  TRecentMode Mode() const { return mode_; }
  void SetMode(TRecentMode value) { mode_ = value; }

  // Adds s, or moves the listed line that equals it (its spelling kept), to
  // the front (rmInsert) or the end (rmAppend), then trims to Capacity.
  // Returns the line's new position.
  int Add(const QString& s) override;
  // Takes at most Capacity lines of strings so that the list keeps their
  // order at its front (rmInsert) or end (rmAppend); then trims.
  void AddStrings(const TStrings& strings) override;
  // Deletes the line equal to s (case ignored) when listed.
  void Remove(const QString& s);
  // Deletes lines beyond Capacity: from the end (rmInsert) or from the
  // front (rmAppend).
  void DeleteExceed();

 private:
  int capacity_ = 10;
  TRecentMode mode_ = rmInsert;
};

using TMRUClickEvent = std::function<void(TObject* sender, const QString& recentName,
                                          const QString& caption, int userData)>;
using TGetItemDataEvent =
    std::function<void(TObject* sender, QString& caption, TShortCut& shortCut, int userData)>;
using TReadItemEvent =
    std::function<void(TObject* sender, TIniStorage iniFile, const QString& section, int index,
                       QString& recentName, int& userData)>;
using TWriteItemEvent =
    std::function<void(TObject* sender, TIniStorage iniFile, const QString& section, int index,
                       const QString& recentName, int userData)>;

class TMRUManager : public TComponent {
 public:
  explicit TMRUManager(TComponent* owner);
  ~TMRUManager() override;

  // The list; changing it through this pointer rebuilds the menu too.
  TRecentStrings* Strings() const { return strings_.get(); }

  TAccelDelimiter AccelDelimiter() const { return accelDelimiter_; }
  void SetAccelDelimiter(TAccelDelimiter value);
  // The menu is enabled only while it holds items.
  bool AutoEnable() const { return autoEnable_; }
  void SetAutoEnable(bool value);
  // Rebuild the menu items whenever the list changes.
  bool AutoUpdate() const { return autoUpdate_; }
  void SetAutoUpdate(bool value);
  int Capacity() const;
  void SetCapacity(int value);
  TRecentMode Mode() const;
  void SetMode(TRecentMode value);
  // A clicked name leaves the list.
  bool RemoveOnSelect() const { return removeOnSelect_; }
  void SetRemoveOnSelect(bool value) { removeOnSelect_ = value; }
  // The form placement the list loads and saves with, in the placement's
  // open storage, section DefaultStorageSection of this manager (cleared
  // when the placement goes away).
  TFormPlacement* IniStorage() const;
  void SetIniStorage(TFormPlacement* value);
  // A separator after every this many items; 0: none.
  std::uint16_t SeparateSize() const { return separateSize_; }
  void SetSeparateSize(std::uint16_t value);
  // The menu whose end receives the items; nullptr: none.
  TMenuItem* RecentMenu() const { return recentMenu_; }
  void SetRecentMenu(TMenuItem* value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);
  int StartAccel() const { return startAccel_; }
  void SetStartAccel(int value);

  // Adds recentName (or moves it when listed) and sets its user datum.
  void Add(const QString& recentName, int userData);
  // Deletes recentName (case ignored) when listed.
  void Remove(const QString& recentName);
  void Clear();
  // Rebuilds the menu items from the list.
  void UpdateRecentMenu();

  // Storage of the list in section of a registry key used as an INI file,
  // or of an INI file. Loading replaces the list; saving first erases the
  // section.
  void LoadFromRegIni(TRegIniFile* iniFile, const QString& section);
  void SaveToRegIni(TRegIniFile* iniFile, const QString& section);
  void LoadFromIni(TIniFile* iniFile, const QString& section);
  void SaveToIni(TIniFile* iniFile, const QString& section);

  TNotifyEvent OnChange;
  TMRUClickEvent OnClick;
  TGetItemDataEvent OnGetItemData;
  TReadItemEvent OnReadItem;
  TWriteItemEvent OnWriteItem;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TMRUManager, TComponent>& b);

 protected:
  void BeforeDestruction() override;

 private:
  int UserData(int index) const;
  void ListChanged();
  void ApplyAutoEnable();
  void Rebuild();
  void RebuildIfAuto();
  void ClearRecentMenu();
  void AppendItem(int index);
  void AppendSeparator();
  QString AccelPrefix(int index) const;
  void ItemClick(TObject* sender);
  void DoLoad(TIniStorage storage, const QString& section);
  void DoSave(TIniStorage storage, const QString& section);
  void FreeRetired();
  void IniSave();
  void IniLoad();

  std::unique_ptr<TRecentStrings> strings_;
  TAccelDelimiter accelDelimiter_ = adTab;
  bool autoEnable_ = true;
  bool autoUpdate_ = true;
  bool removeOnSelect_ = false;
  std::unique_ptr<TIniLink> iniLink_;
  std::uint16_t separateSize_ = 0;
  TMenuItem* recentMenu_ = nullptr;
  bool showAccelChar_ = true;
  int startAccel_ = 1;
  // Items made by the last build (the only items this manager removes).
  QList<TMenuItem*> created_;
  // Items taken out of the menu while their own click ran; freed later,
  // never inside that click.
  QList<TMenuItem*> retired_;
  TMenuItem* clicking_ = nullptr;
};

// Registers TMRUManager for form files.
void RegisterMRUListClasses();
