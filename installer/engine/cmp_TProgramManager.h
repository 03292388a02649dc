#pragma once
// The program manager's DDE client: groups and items of the "PROGMAN"
// service, for links that are made as program-manager items.
//
// Group data is the service's reply for one group, one line a row: line 0
// describes the group, lines 1..n are its items, each a comma-separated
// list of item name, command line, default directory, icon path, x, y,
// icon index and hot key (fields from 1; text fields may be quoted).
//
// Commands go out through a buffer of 256 characters (255 and the
// terminator); a longer command is refused with the error of the command
// it belongs to and nothing is sent.

#include "installer/engine/routines_Exceptions.h"
#include "platform/classes/Component.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <memory>

class TDdeClientConv;

inline constexpr char kTextPMError[] =
    "The TProgramManager object was unable to communicate with Program Manager";
inline constexpr char kTextPMCannotOpen[] =
    "The TProgramManager object was unable to establish a link with Program Manager";
inline constexpr char kTextPMCannotOpenGroup[] =
    "The TProgramManager object was unable to open the following program group: ";
inline constexpr char kTextPMCannotCreateGroup[] =
    "The TProgramManager object was unable to create the following program group: ";
inline constexpr char kTextPMCannotAddItemHead[] =
    "The TProgramManager object was unable to add the following program item: ";
inline constexpr char kTextPMCannotAddItemTail[] =
    " to the following group: %s. The arguments passed to  Program Manager were: %s";
inline constexpr char kTextPMCannotReplaceItem[] =
    "The TProgramManager object was unable to replace the following program item: %s"
    " to the following group: %s";

// The service and topic of the conversation, and the item listing the groups.
inline constexpr char kPMServiceName[] = "PROGMAN";
inline constexpr char kPMGroupsItem[] = "Groups";
// The longest command the buffer holds (the 256th character is the terminator).
inline constexpr int kPMCommandMax = 255;

class EAIPMError : public EAI {
 public:
  EAIPMError();
  using EAI::EAI;
};
class EAIPMCannotOpen : public EAIPMError {
 public:
  EAIPMCannotOpen();
  using EAIPMError::EAIPMError;
};
class EAIPMCannotOpenGroup : public EAIPMError {
 public:
  explicit EAIPMCannotOpenGroup(const QString& group);
  QString Group;
};
class EAIPMCannotCreateGroup : public EAIPMError {
 public:
  explicit EAIPMCannotCreateGroup(const QString& group);
  QString Group;
};
class EAIPMCannotAddItem : public EAIPMError {
 public:
  EAIPMCannotAddItem(const QString& group, const QString& itemName, const QString& command);
  QString Group;
  QString ItemName;
  QString Command;
};
class EAIPMCannotReplaceItem : public EAIPMError {
 public:
  EAIPMCannotReplaceItem(const QString& group, const QString& itemName);
  QString Group;
  QString ItemName;
};

class TProgramManager : public TComponent {
 public:
  explicit TProgramManager(TComponent* owner);
  ~TProgramManager() override;

  // Opens the conversation unless it is open; EAIPMCannotOpen on failure.
  virtual void Connect();
  bool Connected() const { return connected_; }

  // The group names, one a line.
  void GetGroups(TStrings* list);
  // Makes name the current group when the service knows it; otherwise
  // there is no current group.
  void SelectGroup(const QString& name);
  // Creates (or activates) the group and selects it; an empty name does nothing.
  void CreateGroup(const QString& name);
  // 1-based index of the first item of the current group named name
  // (exact, case-sensitive), or -1.
  int FindItem(const QString& name);
  // Removes the item; the next item added takes its place.
  void ReplaceItem(const QString& name);
  void AddItem(const QString& commandLine, const QString& name, const QString& iconPath,
               int iconIndex, const QString& defaultDir, const QString& hotKey);

  QString CurrentGroup() const { return groupName_; }
  const TStrings& GroupData() const { return groupData_; }
  int ItemCount() const;
  // Field (from 1) of item index (from 1), with one layer of quotes removed;
  // empty for index 0 or past the last item.
  QString GetItemField(int index, int field) const;
  // Name and command line lose two layers of quotes.
  QString ItemName(int index) const;
  QString ItemCommandLine(int index) const;
  QString ItemDefaultDir(int index) const { return GetItemField(index, 3); }
  QString ItemIconPath(int index) const { return GetItemField(index, 4); }
  QString ItemX(int index) const { return GetItemField(index, 5); }
  QString ItemY(int index) const { return GetItemField(index, 6); }
  QString ItemIconIndex(int index) const { return GetItemField(index, 7); }
  QString ItemHotKey(int index) const { return GetItemField(index, 8); }

 private:
  // Sends one command through the fixed buffer; false when it does not fit
  // or the service refuses it.
  bool Execute(const QString& command);
  void ShowCurrentGroup();

  bool connected_ = false;
  std::unique_ptr<TDdeClientConv> conversation_;
  QString groupName_;
  TStringList groupData_;
};

// The one program manager of the process, made on first use.
TProgramManager& ProgramManager();
