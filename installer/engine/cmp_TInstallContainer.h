#pragma once
// The spine of the install object model: TInstallContainer and
// TInstallObject, the processing order of helpers, the stage codes broadcast
// to dialog helpers and the information codes reported upward, the parameter
// objects that travel with them, and the unit-wide lists.
//
// Ordering: a container keeps its helpers sorted by registered type, then by
// Order (Order -1 last within its type; a newcomer in front of an equal
// Order). Processing runs each processable helper's Process in that order;
// an EAbort ends only that object's processing, anything else (EAIUserAbort
// among it) ends the run.
//
// The classes of the later units (file containers, install files, shell
// links) are only declared here; the base classes give them virtual hooks
// (AsFileContainer, AsFileRelated, AsInstallFile, AsShellLink, ...) so this
// unit can ask for them without knowing them.

#include "installer/engine/cmp_TOndxCompress_Stats.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/classes/Set.h"

#include <QList>
#include <QString>

#include <functional>

class TCustomPathSpecifier;
class TInstallContainer;
class TInstallObject;
class TFileRelated;
class TFileContainer;
class TCustomInstallFile;
class TCustomInstallShellLink;

// ---------------------------------------------------------------------------
// Install types.

enum TInstallType { itFull = 0, itDefault = 1, itCompact = 2, itAlways = 3, itCustom = 4 };
using TInstallTypeSet = TSet<TInstallType>;
extern const TEnumInfo kInstallTypeIdents;

// ---------------------------------------------------------------------------
// Registered types: the processing rank of each kind of install object.

inline constexpr int rtFileContainer = 1000;
inline constexpr int rtInstallFile = 2000;
inline constexpr int rtLinkGroup = 7000;
inline constexpr int rtLink = 8000;
inline constexpr int rtRegistry = 8500;
inline constexpr int rtDialog = 9000;

// ---------------------------------------------------------------------------
// Stage codes, broadcast to the dialog helpers (registered type 9000).

inline constexpr int scStartProcessing = -999;   // an included object starts; nil
inline constexpr int scFileStatus = -998;        // TFileStatusParameter
inline constexpr int scReplacing = -997;         // the file about to be replaced
inline constexpr int scOperationEnded = -996;    // nil
inline constexpr int scGoodEndPage = -995;       // nil
inline constexpr int scBadEndPage = -994;        // nil
inline constexpr int scNewDisk = -993;           // TParameterList [file, TDiskParameter]
inline constexpr int scGroupInstall = -992;      // nil
inline constexpr int scProgramFolder = -991;     // nil
inline constexpr int scBeforeProcess = -990;     // nil
inline constexpr int scAfterProcess = -989;      // nil
inline constexpr int scDownloadStatus = -988;    // TDownloadStatusParameter
inline constexpr int scRestart = -987;           // nil
inline constexpr int scRunStage986 = -986;       // a run stage without a page
inline constexpr int scBeforeReadArchiveInfo = -984;
inline constexpr int scAfterReadArchiveInfo = -983;
inline constexpr int scWelcome = -982;
inline constexpr int scRunStage981 = -981;       // a run stage without a page
inline constexpr int scBeforeInstallWizard = -980;
inline constexpr int scAfterGoodInstall = -979;
inline constexpr int scAfterBadInstall = -978;
inline constexpr int scReadme = -977;
inline constexpr int scRunStage976 = -976;       // a run stage without a page
inline constexpr int scRunStage975 = -975;       // a run stage without a page
inline constexpr int scShowStatus = -974;        // TMessageParameter
inline constexpr int scHideStatus = -973;        // nil

// ---------------------------------------------------------------------------
// Information codes, sent to DoInformationEventControl of the sender's
// Container (PO in the comment).

inline constexpr int icAfterInstall = 1001;     // the file (also after a skip)
inline constexpr int icBeforeInstall = 1002;    // the file
inline constexpr int icReplacing = 1003;        // the file
inline constexpr int icBeforeCompress = 1004;   // the file
inline constexpr int icAfterCompress = 1005;    // the file
inline constexpr int icBeforeCopy = 1006;       // the file
inline constexpr int icAfterCopy = 1007;        // the file
inline constexpr int icInstallStatus = 1008;    // [file, TFileStatusParameter]
inline constexpr int icCompressStatus = 1009;   // [file, TFileStatusParameter]
inline constexpr int icCopyStatus = 1010;       // [file, TFileStatusParameter]
inline constexpr int icNewDisk = 1011;          // [file, TDiskParameter]
inline constexpr int icContainerStart = 1012;   // the container
inline constexpr int icContainerEnd = 1013;     // the container
inline constexpr int icDataReceived = 1014;     // TDownloadStatusParameter
inline constexpr int icInstallAborted = 1015;   // the file
inline constexpr int icInstallSkipped = 1016;   // the file

// ---------------------------------------------------------------------------
// Parameter objects: plain objects made and freed by the sender around one
// code (hold them by value or unique_ptr at the sender).

class TMessageParameter : public TObject {
 public:
  QString Message;
};

class TDiskParameter : public TObject {
 public:
  int Disk = 0;   // the disk asked for
  QString Path;   // where to look; a handler may change it
};

class TDownloadStatusParameter : public TObject {
 public:
  int Bytes = 0;       // bytes in this block
  QString FileName;
  int FileSize = 0;
  int TotalBytes = 0;  // bytes of the file so far
  int Percent = 0;     // Round(TotalBytes / FileSize x 100), 0 when that fails
};

class TFileStatusParameter : public TObject {
 public:
  int Bytes = 0;  // bytes of the file done
  int FilePercent = 0;
  QString FileName;
  TlzhFileStats FileStats;
  int TotalBytes = 0;
  int TotalPercent = 0;  // Round(TotalBytes / container total x 100), 0 on failure
};

// The list parameter ("list [file, parameter]") of codes 1008-1011 and -993.
// It does not own its items.
class TParameterList : public TObject {
 public:
  TParameterList() = default;
  TParameterList(std::initializer_list<TObject*> items) : items_(items) {}
  int Count() const { return static_cast<int>(items_.size()); }
  // Index out of range: EListError.
  TObject* Items(int index) const;
  void Add(TObject* item) { items_.append(item); }

 private:
  QList<TObject*> items_;
};

// Round(part / whole x 100), halves to the even neighbour; 0 when whole is 0.
int RoundPercent(double part, double whole);

// ---------------------------------------------------------------------------
// Event types.

using TInstallContainerNotifyEvent = std::function<void(TInstallContainer* container)>;
using TAfterProcessFilesEvent = std::function<void(TInstallContainer* container, bool wasAborted)>;
using TDataReceivedEvent =
    std::function<void(TObject* sender, const QString& fileName, int bytes, int totalBytes,
                       int fileSize, const char* buffer)>;
using TInstallFileNewDiskEvent =
    std::function<void(TCustomInstallFile* installFile, int newDisk, QString& path)>;
using TInstallFileNotifyEvent = std::function<void(TCustomInstallFile* installFile)>;
using TInstallFileStatusEvent =
    std::function<void(TCustomInstallFile* installFile, int filePercentDone, int totalPercentDone)>;

// ---------------------------------------------------------------------------
// TInstallContainer.

class TInstallContainer : public TComponent {
 public:
  explicit TInstallContainer(TComponent* owner);
  ~TInstallContainer() override;

  bool Processable() const { return processable_; }
  bool Include() const { return include_; }
  void SetInclude(bool value) { include_ = value; }
  bool Processed() const { return processed_; }
  TInstallTypeSet InstallTypes() const { return installTypes_; }
  // itAlways stands alone or not at all (see the .cpp).
  void SetInstallTypes(TInstallTypeSet value);
  TInstallType CurrentInstallType() const { return currentInstallType_; }
  QString DestDir() const { return destDir_; }
  virtual void SetDestDir(const QString& value);
  TCustomPathSpecifier* DestDirType() const { return destDirType_; }
  virtual void SetDestDirType(TCustomPathSpecifier* value);
  int Order() const { return order_; }
  void SetOrder(int value);
  bool DestDirTypeAssigned() const { return destDirTypeAssigned_; }
  bool DestDirTypePending() const { return destDirTypePending_; }

  TInstallContainerNotifyEvent OnAfterProcess;
  TInstallContainerNotifyEvent OnBeforeProcess;

  // Virtual operations.
  virtual int FileContainerCount();
  virtual TFileContainer* GetFileContainer(int index);
  // A destroyed install object leaves Helpers.
  virtual void ContainerDestroyed(TInstallContainer* container);
  // Broadcasts -974 with a TMessageParameter holding text.
  virtual void ShowStatusMessage(const QString& text);
  // Information codes from helpers; empty here (file containers act).
  virtual void DoInformationEventControl(TInstallContainer* sender, int code, TObject* po);
  // Stage codes; empty here (dialog helpers act).
  virtual void HandleMessage(TInstallContainer* sender, int code, TObject* param);
  // DestDirType's path for this object followed by DestDir (or DestDir
  // alone), one trailing delimiter removed.
  virtual QString GetExpandedDestDir();
  // The processing rank; the bases raise "Class must declare a registered type".
  virtual int GetRegisteredType() const;
  virtual void AddHelper(TInstallObject* helper);
  virtual void Process();
  virtual void ProcessHelpers();
  virtual void FinishAfterReboot() {}
  virtual void LanguageChanged() {}
  virtual void RemoveHelper(TInstallObject* helper);
  // Key: the product's uninstall key; empty here.
  virtual void WriteUninstallInfo(const QString& key);

  // Hooks through which this unit asks for the classes of later units;
  // each of those classes answers for itself.
  virtual TFileRelated* AsFileRelated() { return nullptr; }
  virtual TFileContainer* AsFileContainer() { return nullptr; }
  virtual TCustomInstallFile* AsInstallFile() { return nullptr; }
  virtual TCustomInstallShellLink* AsShellLink() { return nullptr; }
  // A file-related object's expanded archive file; empty for others.
  virtual QString GetExpandedArchiveFile() { return QString(); }
  // A shell link's ObjectLink; nullptr for others.
  virtual TInstallContainer* GetObjectLink() const { return nullptr; }
  // Where a link to this object points: the expanded destination directory
  // here; an install file adds its DestName.
  virtual QString GetInstalledPath() { return GetExpandedDestDir(); }

  // Non-virtual operations.
  int HelperCount() const { return static_cast<int>(helpers_.size()); }
  // Index outside 0..HelperCount-1: IEInstallContainer.
  TInstallObject* GetHelper(int index) const;
  // The index-th (0-based) helper of class T; IEInstallContainer when none
  // ("ComponentType" shows how many helpers of T there are).
  template <class T>
  T* Comp(int index) const;
  template <class T>
  int CountHelpersOfClass() const;
  // Frees, from the last helper to the first, every helper of class T.
  template <class T>
  void FreeHelpersOfClass();
  // Every helper of registered type 9000, in list order, gets HandleMessage.
  void BroadcastMessage(TInstallContainer* sender, int code, TObject* param);
  // Broadcasts -973.
  void HideStatusMessage();
  void RenumberHelpers();
  // Include and the install-type test of Process.
  bool IsSelectedForInstall(TInstallContainer* object) const;
  // Sends an information code to Container; the top container has none, and
  // then the code goes nowhere.
  void SendInformation(int code, TObject* po);
  // The container whose helper list holds this object (only install objects
  // have one).
  virtual TInstallContainer* ContainerOf() const { return nullptr; }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TInstallContainer, TComponent>& b);

 protected:
  void SetProcessable(bool value) { processable_ = value; }
  void SetProcessed(bool value) { processed_ = value; }
  void SetCurrentInstallType(TInstallType value) { currentInstallType_ = value; }
  void SetDestDirTypePending(bool value) { destDirTypePending_ = value; }
  void SetDestDirTypeAssigned(bool value) { destDirTypeAssigned_ = value; }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Stores the specifier without checks (defaults and clean-ups).
  void StoreDestDirType(TCustomPathSpecifier* value);
  void BeforeDestruction() override;
  // Tells every other container that this one goes, then leaves the unit's
  // list; once only. Free runs it while the object is whole; a plain delete
  // as early as its most derived install class allows.
  void LeaveUnitList();

 private:
  [[noreturn]] void RaiseBadComp(int index, int componentType) const;
  int InsertPosition(const TInstallObject* helper) const;

  bool processable_ = false;
  QList<TInstallObject*> helpers_;
  bool include_ = true;
  bool processed_ = false;
  TInstallTypeSet installTypes_{itAlways};
  TInstallType currentInstallType_ = itAlways;
  QString destDir_;
  TCustomPathSpecifier* destDirType_ = nullptr;
  int order_ = -1;
  bool destDirTypeAssigned_ = false;
  bool destDirTypePending_ = false;
  bool leftUnitList_ = false;
};

// ---------------------------------------------------------------------------
// TInstallObject: an install container that stands in another's helpers.

class TInstallObject : public TInstallContainer {
 public:
  explicit TInstallObject(TComponent* owner);
  ~TInstallObject() override;

  TInstallContainer* Container() const { return container_; }
  virtual void SetContainer(TInstallContainer* value);
  bool ContainerAssigned() const { return containerAssigned_; }
  bool ContainerPending() const { return containerPending_; }
  TInstallContainer* ContainerOf() const override { return container_; }

  // Depth first on every helper, then this object's CurrentInstallType.
  void SetInstallType(TInstallType value);

  void ContainerDestroyed(TInstallContainer* container) override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TInstallObject, TInstallContainer>& b);

 protected:
  void SetContainerPending(bool value) { containerPending_ = value; }

 private:
  bool containerAssigned_ = false;
  bool containerPending_ = false;
  TInstallContainer* container_ = nullptr;
};

// The TInstall's DistributeType (as a number), or 2 without a TInstall.
int GetDistributeType();

// ---------------------------------------------------------------------------
// Unit-wide objects, held by the process holder (never static destructors).

struct TInstallUnitState {
  // Every live TInstallContainer, in creation order.
  QList<TInstallContainer*> containers;
  // Every live TCustomInstallFile (they join in their constructors).
  QList<TCustomInstallFile*> installFiles;
  // Files whose self-registration failed during a run.
  QList<TCustomInstallFile*> failedRegistrations;
  // Every live TBaseOndrixForm (as objects: the form class is a later unit's).
  QList<TObject*> ondrixForms;
  // The current install record key; empty when none.
  QString installRecordKey;
  // True at start; a run clears it so self-registration failures queue.
  bool raiseRegistrationErrors = true;
};

// The unit's state, made on first use.
TInstallUnitState& InstallUnitState();
// The unit's state while it exists; nullptr otherwise (for destructors).
TInstallUnitState* FindInstallUnitState();

// Registers the install object and path specifier classes of this unit for
// form files (idempotent).
void RegisterInstallClasses();

// True when component is a form or a data module (a root that holds an
// installation script).
bool IsFormOrDataModule(const TComponent* component);

// ---------------------------------------------------------------------------
// Template bodies.

template <class T>
T* TInstallContainer::Comp(int index) const {
  int seen = 0;
  for (TInstallObject* h : helpers_) {
    if (T* typed = dynamic_cast<T*>(static_cast<TInstallContainer*>(h))) {
      if (index >= 0 && seen == index) return typed;
      ++seen;
    }
  }
  RaiseBadComp(index, seen);
}

template <class T>
int TInstallContainer::CountHelpersOfClass() const {
  int count = 0;
  for (TInstallObject* h : helpers_)
    if (dynamic_cast<T*>(static_cast<TInstallContainer*>(h)) != nullptr) ++count;
  return count;
}

template <class T>
void TInstallContainer::FreeHelpersOfClass() {
  // Each freed helper leaves the list (ContainerDestroyed), and a freed
  // helper may take others with it: the index is checked on every step.
  for (int i = HelperCount() - 1; i >= 0; --i) {
    if (i >= HelperCount()) continue;
    if (auto* typed = dynamic_cast<T*>(static_cast<TInstallContainer*>(helpers_[i])))
      typed->Free();
  }
}
