#pragma once
// TCustomInstall / TInstall: the top of the install object model, the one
// install component of a setup script (reachable through CurrentInstall()).
//
// It reads the command line once its form is read (Loaded) and then builds,
// copies to floppies, resumes after a restart, or hooks the main form's
// first activation to run the installation (Run). A run broadcasts its
// stages to the dialog helpers and asks through the prompt interface; an
// exception during a run reaches HandleException, which the component puts
// in place as the application's exception handler while it lives.
//
// The install record (HKEY_LOCAL_MACHINE\SOFTWARE\Ondrix\Install\Install<n>)
// keeps what a run leaves for the next one: the "Unfinished" list of work
// done after the restart, which is the next login (nothing restarts the
// machine: the resume command goes to RunOnce, which the restart runner
// carries out).

#include "installer/engine/InstallHost.h"
#include "installer/engine/InstallUndo.h"
#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "platform/classes/Persistent.h"
#include "platform/rtl/DateTime.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class TStrings;
class TCustomInstall;
class TOndxCompress;
struct TlzhFileStats;
class TLoginInformation;
class Exception;

enum TDistributeType { dtTraditional, dtWeb, dtTraditionalNet };
extern const TEnumInfo kDistributeTypeIdents;

// Command-line switches, by bit.
enum TInstallSwitch {
  swBuild = 0,          // -b
  swFloppies = 1,       // -f
  swDebug = 2,          // -d
  swSelfExtractor = 3,  // -e<path of the self-extracting program>
  swAfterReboot = 4,    // -r
  swSourceDir = 5,      // -s<directory>
  swCleanUp = 6         // -c
};
using TInstallSwitches = TSet<TInstallSwitch>;

// Kinds of the "Unfinished" list.
inline constexpr int ukInstallObject = 0;  // an install object's Name
inline constexpr int ukDeleteFile = 1;     // a file to delete after the restart

inline constexpr char kUninstallKeyBase[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

class TInstallInformation : public TPersistent {
 public:
  QString CompanyName() const { return companyName_; }
  void SetCompanyName(const QString& v) { companyName_ = v; }
  QString ProductName() const { return productName_; }
  void SetProductName(const QString& v) { productName_ = v; }
  QString Version() const { return version_; }
  void SetVersion(const QString& v) { version_ = v; }

  void Assign(TPersistent* source) override;
  static void DeclareProperties(TClassBuilder<TInstallInformation, TPersistent>& b);

 private:
  QString companyName_ = QStringLiteral("Default Company Name");
  QString productName_ = QStringLiteral("Default Product Name");
  QString version_ = QStringLiteral("1.0");
};

using TUserAbortEvent = std::function<void(TCustomInstall* install, bool& quitOut)>;
using TCleanupEvent = std::function<void(TCustomInstall* install, bool& continueOn)>;
using TRebootWindowsEvent = std::function<void(TCustomInstall* install, bool& continueOn)>;

// The build settings a script carries; the engine reads none of them.
// Where and how -b builds the distribution; kept with the script.
class TBuildInfo : public TPersistent {
 public:
  QString AppName() const { return appName_; }
  void SetAppName(const QString& v) { appName_ = v; }
  QString AppURL() const { return appURL_; }
  void SetAppURL(const QString& v) { appURL_ = v; }
  QString BuildDirectory() const { return buildDirectory_; }
  void SetBuildDirectory(const QString& v) { buildDirectory_ = v; }
  QString CredentialsFile() const { return credentialsFile_; }
  void SetCredentialsFile(const QString& v) { credentialsFile_ = v; }
  QString OCXName() const { return oCXName_; }
  void SetOCXName(const QString& v) { oCXName_ = v; }
  QString PrivateKeyFile() const { return privateKeyFile_; }
  void SetPrivateKeyFile(const QString& v) { privateKeyFile_ = v; }
  bool SignCode() const { return signCode_; }
  void SetSignCode(bool v) { signCode_ = v; }
  QString URLPath() const { return uRLPath_; }
  void SetURLPath(const QString& v) { uRLPath_ = v; }

  void Assign(TPersistent* source) override;
  static void DeclareProperties(TClassBuilder<TBuildInfo, TPersistent>& b);

 private:
  QString appName_;
  QString appURL_;
  QString buildDirectory_ = QStringLiteral("c:\\build");
  QString credentialsFile_;
  QString oCXName_ = QStringLiteral("MySetup");
  QString privateKeyFile_;
  bool signCode_ = false;
  QString uRLPath_ = QStringLiteral("http://www.yourcompany.com/install");
};

// The top install container: a file container whose helpers are the whole
// installation script.
class TCustomInstall : public TFileContainer {
 public:
  // Raises IEInstall for a second instance and for an owner that is
  // neither a form nor a data module.
  explicit TCustomInstall(TComponent* owner);
  ~TCustomInstall() override;

  TInstallInformation* Information() const { return information_.get(); }
  void SetInformation(TInstallInformation* value);
  TDistributeType DistributeType() const { return distributeType_; }
  // Only while loading (IEInstall "DistributeType can only be set at design-time").
  virtual void SetDistributeType(TDistributeType value);
  bool RunAutomatic() const { return runAutomatic_; }
  void SetRunAutomatic(bool v) { runAutomatic_ = v; }
  bool AutoMaximizeWindow() const { return autoMaximizeWindow_; }
  void SetAutoMaximizeWindow(bool v) { autoMaximizeWindow_ = v; }
  bool UseLoadingProgram() const { return useLoadingProgram_; }
  virtual void SetUseLoadingProgram(bool v);
  TBuildInfo* BuildInfo() const { return buildInfo_.get(); }
  virtual void SetBuildInfo(TBuildInfo* value);
  TLoginInformation* LoginInformation() const { return loginInformation_.get(); }
  virtual void SetLoginInformation(TLoginInformation* value);
  TStrings* PresetupFiles() const;
  // Blank lines are dropped.
  virtual void SetPresetupFiles(TStrings* value);

  TNotifyEvent OnAfterReadArchiveInfo;
  TNotifyEvent OnBeforeReadArchiveInfo;
  TNotifyEvent OnShowBadInstall;
  TNotifyEvent OnShowGoodInstall;
  TNotifyEvent OnStartInstall;
  TUserAbortEvent OnBeforeTerminateApp;
  TUserAbortEvent OnUserAbort;
  TCleanupEvent OnCleanup;
  TRebootWindowsEvent OnRebootWindows;

  // The installation, from its first stage to its good end; an exception
  // leaves it for HandleException.
  virtual void Run();
  // The good and bad end pages: the event, then -995/-979 or -994/-978.
  virtual void ShowGoodInstall();
  virtual void ShowBadInstall();
  // The wizard's Cancel: true when the user may quit.
  virtual bool AskUserAbort();
  // Ends the program unless OnBeforeTerminateApp says no.
  void BeforeTerminateApp();
  // The application's exception handler while the component lives.
  virtual void HandleException(TObject* sender, const Exception& e);
  // Nothing restarts the machine: tells the user to log out and in again.
  void RebootWindows();
  // Tells that a killed run's changes were taken back at the start.
  void TellEarlierRunUndone(const QString& product);
  // The install's processing is its run (setting State to fcsInstall too).
  void Process() override { Run(); }
  void ReadInfoFromArchive() override;
  void Compress(TCompressOptions options) override;
  // The main form's first activation.
  void FirstActivation(TObject* sender);
  bool Running() const { return running_; }
  // What the last bad end (or cancel) of a run took back, for the bad-end
  // page; empty before.
  const TUndoReport& UndoReport() const { return undoReport_; }

  // The install record.
  virtual QString GetInstallKey(bool create);
  virtual void DeleteInstallRecord();
  virtual void RegisterRunOnce();
  virtual void CleanupSetupFiles();
  void FinishAfterReboot() override;
  // The setup program's own file: the self-extracting program with -e, the
  // program without a loading program, else the source folder's second
  // parameter of the command line.
  QString SetupProgramPath() const;
  // The clean-up batch that the destructor starts; empty when none.
  QString PendingBatch() const { return batchPending_ ? batchPath_ : QString(); }
  void SaveLanguage();
  int ReadLanguage();

  // Notifications of the build, each with the install as Sender: the start
  // and end of BuildSetupArchive, before and after copying the installation
  // program without the loading program, the setup program in place, the
  // compression done, the start and end of writing the self-extracting
  // program. Not published; nothing in the setup program sets them.
  TNotifyEvent OnBuildSetupArchiveStart;
  TNotifyEvent OnBuildSetupArchiveEnd;
  TNotifyEvent OnBeforeCopyProgram;
  TNotifyEvent OnAfterCopyProgram;
  TNotifyEvent OnSetupProgramReady;
  TNotifyEvent OnBuildCompressed;
  TNotifyEvent OnSelfExtractStart;
  TNotifyEvent OnSelfExtractEnd;
  // The status of the floppy transfer's split, with the compressor and its
  // statistics, as the compressor reports it. Not published either.
  std::function<void(TOndxCompress* sender, const TlzhFileStats& fileStats)> OnFloppyStatus;

  // The build mode and the transfer to floppies, each ending the program.
  void BuildMode();
  void TransferToFloppies(const QString& root);
  virtual void BuildDistribution(const QString& exeName, const QString& buildDir, bool standAlone);
  virtual void BuildSetupArchive(const QString& buildDir, const QString& exeName);

  // Command line.
  virtual void ParseCommandLine();
  TInstallSwitches Switches() const { return switches_; }
  bool HasSwitch(TInstallSwitch s) const { return switches_.Contains(s); }
  // The text after the switch letter; empty when the switch is not set.
  QString SwitchValue(TInstallSwitch s) const;
  // The -s value when given, else the program's own folder.
  QString SourceDir() const { return sourceDir_; }

  // The "Unfinished" list of the current install record (IEInstall
  // "The TInstall could not either write or read unfinished business from
  // the registry" without a record key).
  virtual void ClearUnfinished();
  virtual void AddUnfinished(const QString& name, int kind);
  // Lines "name;kind" in the registry's order.
  virtual void ReadUnfinished(TStrings& list);
  int UnfinishedCount() const { return unfinishedCount_; }

  int GetRegisteredType() const override { return rtFileContainer; }
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TCustomInstall, TFileContainer>& b);

 protected:
  void SetUnfinishedCount(int value) { unfinishedCount_ = value; }

 private:
  QString UnfinishedKey() const;
  void ChooseMode();
  void CopySetupProgram(const QString& buildDir, const QString& exeName);
  void Notify(const TNotifyEvent& event) {
    if (event) event(this);
  }
  void ReadRemoteFileInfo();
  void GoodEnd();
  void ProcessHoldingSync();
  std::int64_t RoomMissing(QString& folder);
  void RequireRoom();
  void EndOfRun();
  QString WriteCleanupBatch();

  std::unique_ptr<TInstallInformation> information_;
  std::unique_ptr<TBuildInfo> buildInfo_;
  std::unique_ptr<TLoginInformation> loginInformation_;
  std::unique_ptr<TStrings> presetupFiles_;
  TDistributeType distributeType_ = dtTraditional;
  bool runAutomatic_ = true;
  bool autoMaximizeWindow_ = true;
  bool useLoadingProgram_ = true;
  TComponent* mainForm_ = nullptr;
  TNotifyEvent savedActivate_;
  bool activated_ = false;
  bool hooked_ = false;
  bool running_ = false;
  bool archiveInfoRead_ = false;
  bool batchPending_ = false;
  QString batchPath_;
  bool handlerTaken_ = false;
  TInstallExceptionHandler previousHandler_;
  TInstallSwitches switches_;
  std::array<QString, 7> switchValues_;
  QString sourceDir_;
  int unfinishedCount_ = 0;
  TUndoReport undoReport_;
};

// The published form, as a setup script names it.
class TInstall : public TCustomInstall {
 public:
  using TCustomInstall::TCustomInstall;
};

// The one install component; nullptr when there is none.
TCustomInstall* CurrentInstall();

// The reboot flag: set when a file in use must be replaced at the restart.
bool RebootNeeded();
void SetRebootNeeded(bool value);

// Shows an error that ends a mode or a run (the prompt interface's ShowError).
void ShowInstallError(const QString& message);

// Carries out a clean-up batch of quoted ERASE and DELTREE /Y lines: a
// folder goes only when the self-extracting loader made it.
void RunCleanupBatch(const QString& path);

// The folder that stands for the floppy drive "a:" (HKEY_LOCAL_MACHINE,
// values "Folder" and "Capacity" in bytes, default 1,457,664); disk n is
// that folder with n appended (disk 1 the folder itself). Empty when no
// folder is named: the transfer then asks for one and names it there.
inline constexpr char kFloppyDriveKey[] = "\\Software\\Ondrix\\Drives\\A";
QString FloppyFolder(int disk);
// Disk n's folder when disk 1's is first: first itself for disk 1, else
// first with n appended (as the transfer to floppies writes them).
QString DiskFolder(const QString& first, int disk);

// The start time of the current run.
TDateTime InstallStartTime();

// The command line the install component parses (the program's arguments
// without the program); tests set their own, reset with the process state.
QStringList InstallCommandLine();
void SetInstallCommandLine(const QStringList& parameters);
