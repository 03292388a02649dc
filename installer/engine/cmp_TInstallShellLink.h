#pragma once
// Link groups and links: install objects that put the product into the
// applications menu. A link group is a menu folder (ProgramGroups.h); a link
// is a shell link (a desktop entry, ShellLink.h), an internet shortcut
// (".URL", ShellLinkUrl.h) or a program-manager item (cmp_TProgramManager.h).
//
// A link's file on disk: GetLinkFileName for ".URL" links; for shell links
// the same name with ".desktop" in place of ".lnk" (ShellLinkFileName). The
// uninstall log names the file that was written, so it names what is on
// disk.

#include "installer/engine/cmp_TInstallContainer.h"
#include "platform/classes/ClassBuilder.h"

#include <QList>
#include <QString>

#include <cstdint>

class TCustomPathSpecifier;

inline constexpr char kTextOneMainLinkGroup[] =
    "You can only have one TMainLinkGroup component in your project";
inline constexpr char kTextNeedMainLinkGroup[] =
    "To create a TInstallMainLink you must first have a TMainLinkGroup component in your project";
inline constexpr char kTextMainLinkContainer[] =
    "The TMainLinkGroup component must be the Container for TInstallMainLink and TSubLinkGroup "
    "components";
inline constexpr char kTextLinkNoInstall[] =
    "%s cannot perform operation because there is no TInstall component";
inline constexpr char kTextCannotInitCOM[] =
    "Could not initialize IShellLink with following error code returned: %d";
inline constexpr char kTextLinkNameBlank[] =
    "The LinkName is blank for %s and therefore could not be installed";
inline constexpr char kTextLinkNotInstalledCode[] =
    "The TCustomInstallShellLink %s name could not be installed. The following error was "
    "reported %s. Error code %d";
inline constexpr char kTextLinkNotInstalled[] =
    "The TCustomInstallShellLink %s name could not be installed. The following error was "
    "reported %s";
inline constexpr char kTextBlankShellLinkEntry[] =
    "Cannot add a blank entry to the shell link list";
// The main group's folder while there is no TInstall to name it.
inline constexpr char kDefaultMainFolder[] = "MainFolderName";

enum TMethodType { mtAutoDetect, mtShellLinkInterface, mtProgramManager };
extern const TEnumInfo kMethodTypeIdents;

class TCustomShellLinkGroup : public TInstallObject {
 public:
  explicit TCustomShellLinkGroup(TComponent* owner);
  ~TCustomShellLinkGroup() override;

  int GetRegisteredType() const override { return rtLinkGroup; }
  // -991, the folder with its parents, then the links.
  void ProcessHelpers() override;
  void ContainerDestroyed(TInstallContainer* container) override;
};

class TMainLinkGroup : public TCustomShellLinkGroup {
 public:
  // A second one raises IEShellLinkGroup.
  explicit TMainLinkGroup(TComponent* owner);
  ~TMainLinkGroup() override;

  // Always the Programs folder of the menu, whatever is given.
  void SetDestDirType(TCustomPathSpecifier* value) override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TMainLinkGroup, TInstallObject>& b);
};

// The one TMainLinkGroup; nullptr when there is none.
TMainLinkGroup* MainLinkGroup();

class TCustomInstallShellLink : public TInstallObject {
 public:
  explicit TCustomInstallShellLink(TComponent* owner);
  ~TCustomInstallShellLink() override;

  bool COMInitialized() const { return comInitialized_; }
  TMethodType Method() const { return method_; }
  void SetMethod(TMethodType value) { method_ = value; }
  std::uint16_t HotKey() const { return hotKey_; }
  void SetHotKey(std::uint16_t value) { hotKey_ = value; }
  QString LinkName() const { return linkName_; }
  TInstallContainer* ObjectLink() const { return objectLink_; }
  QString ObjectLocation() const { return objectLocation_; }
  TCustomPathSpecifier* ObjectLocationType() const { return objectLocationType_; }
  QString Parameters() const { return parameters_; }
  void SetParameters(const QString& value) { parameters_ = value; }

  // Virtual operations, in slot order.
  virtual void InitializeCOM();
  virtual void CreateProgmanItem();
  virtual void CreateShellLink();
  virtual void CreateURLShortcut();
  virtual void SetLinkName(const QString& value);
  virtual void SetObjectLocation(const QString& value);
  virtual void SetObjectLocationType(TCustomPathSpecifier* value);
  virtual void SetObjectLink(TInstallContainer* value);
  virtual QString GetObjectPath();

  QString GetLinkFileName();
  bool IsURLLink() const;
  // The file the last processing wrote (empty when it wrote none).
  QString WrittenFile() const { return writtenFile_; }

  int GetRegisteredType() const override { return rtLink; }
  void ProcessHelpers() override;
  void WriteUninstallInfo(const QString& key) override;
  void ContainerDestroyed(TInstallContainer* container) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  TCustomInstallShellLink* AsShellLink() override { return this; }
  TInstallContainer* GetObjectLink() const override { return objectLink_; }

 protected:
  [[noreturn]] void RaiseBlankName() const;

 private:
  void RequireLinkName() const;
  void SaveShellLink(const QString& target, const QString& arguments);

  bool comInitialized_ = false;
  bool comOwned_ = false;  // this link's CoInitialize, matched when it goes
  TMethodType method_ = mtAutoDetect;
  std::uint16_t hotKey_ = 0;
  QString linkName_;
  TInstallContainer* objectLink_ = nullptr;
  QString objectLocation_;
  TCustomPathSpecifier* objectLocationType_ = nullptr;
  QString parameters_;
  QString writtenFile_;
};

class TInstallMainLink : public TCustomInstallShellLink {
 public:
  // Without a TMainLinkGroup: IEInstallShellLink.
  explicit TInstallMainLink(TComponent* owner);
  ~TInstallMainLink() override;

  // Only the TMainLinkGroup (IEInstallShellLink otherwise).
  void SetContainer(TInstallContainer* value) override;
  // Always the container's destination, whatever is given.
  void SetDestDirType(TCustomPathSpecifier* value) override;
  void Loaded() override;
  void ContainerDestroyed(TInstallContainer* container) override;

  static void DeclareProperties(TClassBuilder<TInstallMainLink, TInstallObject>& b);

 private:
  bool leavingGroup_ = false;
};

// The process-wide lists: every link, every main link, every link group.
const QList<TCustomInstallShellLink*>& ShellLinkList();
const QList<TInstallMainLink*>& MainLinkList();
const QList<TCustomShellLinkGroup*>& ShellLinkGroupList();

// Makes the link classes known to form files.
void RegisterInstallShellLinkClasses();
