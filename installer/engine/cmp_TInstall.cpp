#include "installer/engine/cmp_TInstall.h"

#include "installer/engine/InstallPrompts.h"
#include "installer/engine/InstallUndo.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TNetInstallLocation_FileList.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/FileUtils.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/system/FilesInUse.h"

#include <QCoreApplication>
#include <QFile>
#include <QStandardPaths>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdint>
#include <map>

#include <sys/stat.h>

namespace {

constexpr char kTextTwoInstalls[] =
    "The TInstall component does not currently support the use of 2 TInstall components in the "
    "same project";
constexpr char kTextBadOwner[] =
    "The Owner of the TInstall component must either be a class of type TCustomForm (Tessera 3) "
    "or TForm (Tessera 2.0,K++Builder 1.0)";
constexpr char kTextDistributeType[] = "DistributeType can only be set at design-time";
constexpr char kTextInvalidParameter[] =
    "Invalid parameter <%s>. Valid command line parameters are: -b (Build), -d (Debug), -f "
    "(Transfer to floppies), -e (Called by self-extractor), -r (After reboot)";
constexpr char kTextNoBuildDir[] =
    "You forgot to pass in the build directory. In Run | Parameters, follow this format: -d "
    "\"-sC:\\My Build\"";
constexpr char kTextNoUnfinished[] =
    "The TInstall could not either write or read unfinished business from the registry";
constexpr char kSwitchLetters[] = "bfdersc";
constexpr char kTextNoMainForm[] =
    "Application.MainForm is undefined and the TInstall is not on a form. Therefore, therefore "
    "the TInstall can't run the installation automatically";
constexpr char kTextReadingInfo[] = "Reading file information...";
// Nothing restarts the machine: the work left waits for the next login.
constexpr char kTextCannotReboot[] =
    "Could not restart the session. Please log out and log in again to finish the installation.";
constexpr char kRemoteFileList[] = "filelist.lst";
constexpr char kTextEarlierRunUndone[] =
    "An earlier installation of %s was interrupted. The changes it had made have been undone.";

// The install component's process-wide state: the one instance (owned by its
// form), the reboot flag and the command line tests give.
struct TInstallGlobals {
  TCustomInstall* install = nullptr;
  bool rebootNeeded = false;
  TDateTime startTime = 0;
  bool commandLineSet = false;
  QStringList commandLine;
};

TInstallGlobals& Globals() {
  return ProcessObject<TInstallGlobals>();
}

}  // namespace

const TEnumInfo kDistributeTypeIdents{"dtTraditional", "dtWeb", "dtTraditionalNet"};

// ---------------------------------------------------------------------------

void TInstallInformation::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TInstallInformation*>(source)) {
    companyName_ = other->companyName_;
    productName_ = other->productName_;
    version_ = other->version_;
    return;
  }
  TPersistent::Assign(source);
}

void TInstallInformation::DeclareProperties(TClassBuilder<TInstallInformation, TPersistent>& b) {
  b.Property("CompanyName", &TInstallInformation::CompanyName, &TInstallInformation::SetCompanyName)
      .Default(QStringLiteral("Default Company Name"));
  b.Property("ProductName", &TInstallInformation::ProductName, &TInstallInformation::SetProductName)
      .Default(QStringLiteral("Default Product Name"));
  b.Property("Version", &TInstallInformation::Version, &TInstallInformation::SetVersion)
      .Default(QStringLiteral("1.0"));
}

// ---------------------------------------------------------------------------

TCustomInstall::TCustomInstall(TComponent* owner) : TFileContainer(owner) {
  if (Globals().install != nullptr) throw IEInstall(QString::fromLatin1(kTextTwoInstalls));
  if (!IsFormOrDataModule(owner)) throw IEInstall(QString::fromLatin1(kTextBadOwner));
  buildInfo_ = std::make_unique<TBuildInfo>();
  information_ = std::make_unique<TInstallInformation>();
  presetupFiles_ = std::make_unique<TStringList>();
  SetProcessable(true);
  SetDestDir(QStringLiteral("/MyApplication"));
  SetGroupName(QStringLiteral("Main"));
  if (TStandardPathSpecList* list = FindStandardPathSpecList()) {
    StoreDestDirType(list->FindFirst<TpsProgramFiles>());
    StoreArchiveFileType(list->FindFirst<TpsMainArchiveFile>());
  }
  Globals().install = this;
  loginInformation_ = std::make_unique<TLoginInformation>();
  // The application's errors come here while the component lives.
  if (TInstallHost* host = CurrentInstallHost()) {
    previousHandler_ = host->ExchangeExceptionHandler(
        [this](TObject* sender, const Exception& e) { HandleException(sender, e); });
    handlerTaken_ = true;
  }
}

TCustomInstall::~TCustomInstall() {
  TInstallHost* host = CurrentInstallHost();
  if (host != nullptr && handlerTaken_) host->ExchangeExceptionHandler(std::move(previousHandler_));
  // The form gets back what it had, nothing included: a hook left behind
  // would call a freed component.
  if (host != nullptr && hooked_ && mainForm_ != nullptr &&
      !mainForm_->ComponentState().Contains(csDestroying))
    host->SetActivateHandler(mainForm_, savedActivate_);
  if (mainForm_ != nullptr) mainForm_->RemoveFreeNotification(this);
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  if (globals != nullptr && globals->install == this) globals->install = nullptr;
  if (batchPending_) RunCleanupBatch(batchPath_);
}

void TCustomInstall::SetInformation(TInstallInformation* value) {
  information_->Assign(value);
}

void TCustomInstall::SetDistributeType(TDistributeType value) {
  if (!IsLoading()) throw IEInstall(QString::fromLatin1(kTextDistributeType));
  distributeType_ = value;
}

QString TCustomInstall::SwitchValue(TInstallSwitch s) const {
  return switches_.Contains(s) ? switchValues_[static_cast<std::size_t>(s)] : QString();
}

void TCustomInstall::ParseCommandLine() {
  switches_ = TInstallSwitches();
  for (QString& v : switchValues_) v.clear();
  for (const QString& parameter : InstallCommandLine()) {
    const int letter = parameter.size() >= 2 && parameter[0] == QLatin1Char('-')
                           ? static_cast<int>(QByteArray(kSwitchLetters).indexOf(
                                 parameter[1].toLower().toLatin1()))
                           : -1;
    if (letter < 0 || parameter[1].unicode() > 127)
      throw IException(QString::fromLatin1(kTextInvalidParameter), {parameter});
    const auto s = static_cast<TInstallSwitch>(letter);
    switches_.Include(s);
    switchValues_[static_cast<std::size_t>(letter)] = parameter.mid(2);
  }
}

namespace {

// A test build fills a disk without the right to mount a small one: with
// QX_TEST_DISK_FREE set to "<folder>=<bytes>", the file system of that
// folder and of everything below it has that many bytes free.
void HookDiskFree() {
#ifdef QX_TEST_HOOKS
  const QString hook = qEnvironmentVariable("QX_TEST_DISK_FREE");
  const qsizetype at = hook.lastIndexOf(u'=');
  if (at <= 0) return;
  const QString folder = hook.left(at);
  const std::int64_t bytes = hook.mid(at + 1).toLongLong();
  SetDiskFreeHook([folder, bytes](const QString& path) -> std::int64_t {
    return path == folder || path.startsWith(folder + u'/') ? bytes : -2;
  });
#endif
}

}  // namespace

void TCustomInstall::Loaded() {
  TFileContainer::Loaded();
  HookDiskFree();
  // Read before its specifiers were, the component keeps its default base
  // now that they exist (unless the script chose one).
  if (!DestDirTypeAssigned() && DestDirType() == nullptr)
    StoreDestDirType(StandardPathSpecList().FindFirst<TpsProgramFiles>());
  if (!ArchiveFileTypeAssigned() && ArchiveFileType() == nullptr)
    StoreArchiveFileType(StandardPathSpecList().FindFirst<TpsMainArchiveFile>());
  ParseCommandLine();
  if (HasSwitch(swDebug) && Trim(SwitchValue(swSourceDir)).isEmpty())
    throw IEInstall(QString::fromLatin1(kTextNoBuildDir));
  if (HasSwitch(swSourceDir)) {
    sourceDir_ = SwitchValue(swSourceDir);
  } else {
    sourceDir_ = RemoveBackslash(ExtractFileDir(InstallExeName()));
  }
  GlobalNetInstallLocation().SetLoginInformation(loginInformation_.get());
  InstallUnitState().installRecordKey = GetInstallKey(false);
  QString local;
  if (GetRecordedLocalFile(local)) SetLocalArchive(local);
  TInstallHost* host = CurrentInstallHost();
  // Without an application there is no form to hook: the owner's code
  // calls Run.
  if (host != nullptr) {
    mainForm_ = host->MainForm();
    if (mainForm_ == nullptr && Owner() != nullptr && host->IsHookableForm(Owner()))
      mainForm_ = Owner();
    if (mainForm_ == nullptr && runAutomatic_) throw IEInstall(QString::fromLatin1(kTextNoMainForm));
    // The form may go first (the component on a data module).
    if (mainForm_ != nullptr) mainForm_->FreeNotification(this);
  }
  // The install type: itAlways first, then the first the script offers.
  SetInstallType(itAlways);
  for (TInstallType t : {itDefault, itCompact, itFull, itCustom}) {
    if (InstallTypes().Contains(t)) {
      SetInstallType(t);
      break;
    }
  }
  ChooseMode();
}

void TCustomInstall::Notification(TComponent* component, TOperation operation) {
  TFileContainer::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == mainForm_) {
    mainForm_ = nullptr;
    hooked_ = false;
  }
}

void TCustomInstall::ChooseMode() {
  TInstallHost* host = CurrentInstallHost();
  if (host == nullptr) return;
  // The modes end the program: they wait until the form read is done.
  if (HasSwitch(swBuild)) {
    host->Queue([this] { BuildMode(); });
  } else if (HasSwitch(swFloppies)) {
    host->Queue([this] { TransferToFloppies(QStringLiteral("a:")); });
  } else if (HasSwitch(swAfterReboot)) {
    host->Queue([this] { FinishAfterReboot(); });
  } else if (mainForm_ != nullptr && host->IsHookableForm(mainForm_)) {
    savedActivate_ = host->ActivateHandler(mainForm_);
    host->SetActivateHandler(mainForm_, [this](TObject* sender) { FirstActivation(sender); });
    hooked_ = true;
  }
}

void TCustomInstall::FirstActivation(TObject* /*sender*/) {
  if (activated_) return;
  if (savedActivate_) savedActivate_(Owner());
  activated_ = true;
  TInstallHost* host = CurrentInstallHost();
  if (autoMaximizeWindow_ && host != nullptr && mainForm_ != nullptr) host->Maximize(mainForm_);
  if (!runAutomatic_) return;
  if (savedActivate_ && host != nullptr && mainForm_ != nullptr &&
      !mainForm_->ComponentState().Contains(csDestroying)) {
    host->SetActivateHandler(mainForm_, savedActivate_);
    hooked_ = false;
  }
  Run();
}

void TCustomInstall::Run() {
  archiveInfoRead_ = false;
  Globals().startTime = Now();
  InstallUnitState().raiseRegistrationErrors = false;
  InstallUnitState().failedRegistrations.clear();
  SetUnfinishedCount(0);
  batchPending_ = false;
  running_ = true;
  // A run of this product that was killed is taken back first; then this
  // run records each change before it makes it.
  const QString product = information_->ProductName();
  undoReport_ = UndoKilledRuns(product);
  if (!undoReport_.Empty()) TellEarlierRunUndone(product);
  BeginInstallUndo(product);
  GlobalNetInstallLocation().SetLoginInformation(loginInformation_.get());
  InstallUnitState().installRecordKey = GetInstallKey(true);
  ClearUnfinished();
  if (HasSwitch(swSelfExtractor)) {
    if (TOndxCompress* compressor = TOndxCompress::Global())
      compressor->SetOffset(ReadSelfExtractInfo(GetExpandedArchiveFile()).Files1Start);
  }
  ReadInfoFromArchive();
  if (OnStartInstall) OnStartInstall(this);
  for (int code : {scRunStage986, scRunStage976, scRunStage975, scWelcome, scRunStage981, scReadme,
                   scBeforeInstallWizard})
    BroadcastMessage(this, code, nullptr);
  ProcessHoldingSync();
  // Registrations that failed while files were still coming are tried
  // once more; now a failure ends the run.
  const QList<TCustomInstallFile*> failed = InstallUnitState().failedRegistrations;
  InstallUnitState().raiseRegistrationErrors = true;
  for (TCustomInstallFile* file : failed) {
    if (InstallUnitState().installFiles.contains(file)) file->RegisterActiveX();
  }
  if (UnfinishedCount() > 0 || RebootNeeded()) RegisterRunOnce();
  const bool rebootWanted = RebootNeeded();
  if (rebootWanted) {
    BroadcastMessage(this, scRestart, nullptr);
    if (OnRebootWindows) {
      bool continueOn = RebootNeeded();
      OnRebootWindows(this, continueOn);
      SetRebootNeeded(continueOn);
    }
  }
  // What the run made stays, whether it ends now or at the next login.
  KeepInstallRun();
  TInstallHost* host = CurrentInstallHost();
  if (RebootNeeded()) {
    SaveLanguage();
    RebootWindows();
    if (host != nullptr) host->Terminate();
  }
  if (rebootWanted) {
    // The resumed run at the next login shows the good end and cleans up.
    running_ = false;
    archiveInfoRead_ = false;
    if (host != nullptr) host->Terminate();
    return;
  }
  GoodEnd();
}

namespace {

constexpr char kTextNoRoom[] = "The disk is full: %s needs %s more bytes of free space";

// The files of container and its groups that this run installs.
void CollectSelectedFiles(TInstallContainer* container, QList<TCustomInstallFile*>& files) {
  for (int i = 0; i < container->HelperCount(); ++i) {
    auto* helper = dynamic_cast<TInstallContainer*>(container->GetHelper(i));
    if (helper == nullptr || !container->IsSelectedForInstall(helper)) continue;
    if (TCustomInstallFile* file = helper->AsInstallFile())
      files << file;
    else if (TFileContainer* group = helper->AsFileContainer())
      CollectSelectedFiles(group, files);
  }
}

// The nearest folder of path that exists: where its files' room is counted.
QString ExistingFolder(QString path) {
  while (!path.isEmpty() && !QFileInfo(path).isDir()) {
    const QString parent = QFileInfo(path).absolutePath();
    if (parent == path) break;
    path = parent;
  }
  return path;
}

// Bytes a file of size takes on a file system of blocks of block bytes.
std::int64_t Allocated(std::int64_t size, std::int64_t block) {
  if (block <= 0) block = 4096;
  return (size + block - 1) / block * block;
}

// Room the run's journal, its registry writes and the runner need in our
// data folder.
constexpr std::int64_t kRunOverhead = 256 * 1024;

// Bytes of the files in folder (the setup's own, kept for the next login).
std::int64_t FolderBytes(const QString& folder) {
  std::int64_t bytes = 0;
  const QDir dir(folder);
  for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) bytes += info.size();
  return bytes;
}


}  // namespace

// The first file system (named by the first destination folder on it) that
// lacks room for everything the run holds until its end, with the bytes
// missing; 0 when everything fits. Until the end a replaced file keeps its
// old contents beside the new ones (for a cancel or an error to bring back),
// so every file needs its whole new size, in whole blocks; our data folder
// needs room for the journal and the registry, and, when a file in use
// will keep the setup for the next login, for the setup's own files.
std::int64_t TCustomInstall::RoomMissing(QString& folder) {
  QList<TCustomInstallFile*> files;
  CollectSelectedFiles(this, files);
  struct TVolume {
    QString folder;
    std::int64_t needed = 0;
  };
  std::map<dev_t, TVolume> volumes;
  const auto volumeOf = [&](const QString& path, std::int64_t& block) -> TVolume* {
    struct stat st {};
    if (::stat(QFile::encodeName(ExistingFolder(path)).constData(), &st) != 0) return nullptr;
    block = st.st_blksize;
    TVolume& volume = volumes[st.st_dev];
    if (volume.folder.isEmpty()) volume.folder = path;
    return &volume;
  };
  bool keepsSetup = false;
  for (TCustomInstallFile* file : files) {
    QString dest;
    try {
      dest = file->GetDestPath();
    } catch (const Exception&) {
      continue;  // its own processing tells what is wrong with it
    }
    std::int64_t block = 0;
    TVolume* volume = volumeOf(QFileInfo(dest).absolutePath(), block);
    if (volume == nullptr) continue;
    volume->needed += Allocated(file->Size(), block);
    keepsSetup = keepsSetup || (QFileInfo(dest).isFile() && IsFileInUse(dest));
  }
  std::int64_t block = 0;
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (TVolume* volume = volumeOf(data, block)) {
    volume->needed += kRunOverhead;
    const QString setupFolder = LoaderFolderOf(InstallExeName());
    struct stat setupSt {}, dataSt {};
    if (keepsSetup && !setupFolder.isEmpty() &&
        ::stat(QFile::encodeName(setupFolder).constData(), &setupSt) == 0 &&
        ::stat(QFile::encodeName(ExistingFolder(data)).constData(), &dataSt) == 0 &&
        setupSt.st_dev != dataSt.st_dev)
      volume->needed += FolderBytes(setupFolder);
  }
  for (const auto& [device, volume] : volumes) {
    const std::int64_t free = DiskFree(ExistingFolder(volume.folder));
    if (free >= 0 && volume.needed > free) {
      folder = volume.folder;
      return volume.needed - free;
    }
  }
  return 0;
}

void TCustomInstall::RequireRoom() {
  QString folder;
  const std::int64_t missing = RoomMissing(folder);
  if (missing > 0) throw EocDiskFull(QString::fromLatin1(kTextNoRoom), {folder, QString::number(missing)});
}

// The run's files need room: a copy that could not end is not begun, and a
// disk that fills up all the same says where and how much more is needed.
// The files of the whole run are synced once, after the last of them.
void TCustomInstall::ProcessHoldingSync() {
  RequireRoom();
  TOndxCompress* compressor = TOndxCompress::Global();
  if (compressor != nullptr) compressor->HoldSync(true);
  try {
    IfTryFinally([&] { TFileContainer::Process(); },
                 [&] {
                   if (compressor != nullptr) compressor->HoldSync(false);
                 });
    if (compressor != nullptr) compressor->SyncWrittenFiles();
  } catch (const EocDiskFull&) {
    RequireRoom();
    throw;
  }
}

void TCustomInstall::GoodEnd() {
  ShowGoodInstall();
  CleanupSetupFiles();
  DeleteInstallRecord();
  if (runAutomatic_) BeforeTerminateApp();
  running_ = false;
  archiveInfoRead_ = false;
}

void TCustomInstall::ReadInfoFromArchive() {
  if (archiveInfoRead_) return;
  if (OnBeforeReadArchiveInfo) OnBeforeReadArchiveInfo(this);
  BroadcastMessage(this, scBeforeReadArchiveInfo, nullptr);
  {
    const TBusyCursorScope busy;
    ShowStatusMessage(QString::fromLatin1(kTextReadingInfo));
    IfTryFinally(
        [&] {
          TFileContainer::ReadInfoFromArchive();
          if (DistributeType() != dtTraditional) ReadRemoteFileInfo();
        },
        [&] { HideStatusMessage(); });
  }
  archiveInfoRead_ = true;
  if (OnAfterReadArchiveInfo) OnAfterReadArchiveInfo(this);
  BroadcastMessage(this, scAfterReadArchiveInfo, nullptr);
}

void TCustomInstall::ReadRemoteFileInfo() {
  const QString temp = CreateTempFileName(true);
  IfTryFinally(
      [&] {
        GlobalNetInstallLocation().DownloadFile(QString::fromLatin1(kRemoteFileList), temp);
        for (const TFileListRecord& record : ReadRemoteFileList(temp)) {
          for (TCustomInstallFile* file : InstallUnitState().installFiles) {
            if (file->Name().compare(record.Name, Qt::CaseInsensitive) != 0) continue;
            file->SetListedInfo(record.Size, record.Date, record.Version);
            break;
          }
        }
      },
      [&] { QFile::remove(temp); });
}

void TCustomInstall::Compress(TCompressOptions options) {
  for (TCustomInstallFile* file : InstallUnitState().installFiles) {
    file->SetBuildMark(0);
    file->SetInNetArchive(false);
  }
  TFileContainer::Compress(options);
}

void TCustomInstall::ShowGoodInstall() {
  if (OnShowGoodInstall) OnShowGoodInstall(this);
  BroadcastMessage(this, scGoodEndPage, nullptr);
  BroadcastMessage(this, scAfterGoodInstall, nullptr);
}

void TCustomInstall::ShowBadInstall() {
  if (OnShowBadInstall) OnShowBadInstall(this);
  BroadcastMessage(this, scBadEndPage, nullptr);
  BroadcastMessage(this, scAfterBadInstall, nullptr);
}

bool TCustomInstall::AskUserAbort() {
  bool quitOut = true;
  if (OnUserAbort) OnUserAbort(this, quitOut);
  return quitOut;
}

void TCustomInstall::BeforeTerminateApp() {
  bool quitOut = true;
  if (OnBeforeTerminateApp) OnBeforeTerminateApp(this, quitOut);
  if (!quitOut) return;
  if (TInstallHost* host = CurrentInstallHost()) host->Terminate();
}

void TCustomInstall::HandleException(TObject* sender, const Exception& e) {
  if (!running_) {
    if (previousHandler_) {
      previousHandler_(sender, e);
    } else {
      ShowInstallError(e.Message());
    }
    return;
  }
  running_ = false;
  // The real error is kept and shown whatever the bad-end pages do.
  const QString message = e.Message();
  const bool userAbort = dynamic_cast<const EAIUserAbort*>(&e) != nullptr;
  // A bad end is told in the exit status; its setup copy and record go as
  // after a cancel, so a run tried again starts clean.
  if (TInstallHost* host = CurrentInstallHost()) host->SetExitCode(userAbort ? kExitCancelled : kExitFailed);
  try {
    // A cancel and an error alike leave the machine as the user had it:
    // the run's journal is played back, its record included, and the
    // bad-end page says what was put back.
    undoReport_ = UndoInstallRun();
    if (userAbort) {
      ShowBadInstall();
      CleanupSetupFiles();
      if (runAutomatic_) BeforeTerminateApp();
      return;
    }
    try {
      ShowBadInstall();
    } catch (...) {
      ShowInstallError(message);
      CleanupSetupFiles();
      throw;
    }
    ShowInstallError(message);
    CleanupSetupFiles();
    BeforeTerminateApp();
  } catch (...) {
    if (runAutomatic_) {
      if (TInstallHost* host = CurrentInstallHost()) host->Terminate();
    }
  }
}

void TCustomInstall::TellEarlierRunUndone(const QString& product) {
  TPromptRequest request;
  request.id = TPromptId::EarlierRunUndone;
  request.sourceText = QString::fromLatin1(kTextEarlierRunUndone);
  request.text = Format(TranslateExceptionText(request.sourceText), {product});
  request.sender = this;
  AskPrompt(request);
}

void TCustomInstall::RebootWindows() {
  TPromptRequest request;
  request.id = TPromptId::RebootFailed;
  request.sourceText = QString::fromLatin1(kTextCannotReboot);
  request.text = TranslateExceptionText(request.sourceText);
  request.sender = this;
  AskPrompt(request);
}

QString TCustomInstall::UnfinishedKey() const {
  const QString record = InstallUnitState().installRecordKey;
  if (record.isEmpty()) throw IEInstall(QString::fromLatin1(kTextNoUnfinished));
  return AddKeyBackslash(record) + QStringLiteral("Unfinished");
}

void TCustomInstall::ClearUnfinished() {
  DeleteRegKeyTree(hkLocalMachine, UnfinishedKey());
}

void TCustomInstall::AddUnfinished(const QString& name, int kind) {
  const QString key = UnfinishedKey();
  ++unfinishedCount_;
  WriteRegString(hkLocalMachine, key, name, QString::number(kind));
}

void TCustomInstall::ReadUnfinished(TStrings& list) {
  list.Clear();
  const QString key = UnfinishedKey();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKeyReadOnly(key)) return;
  TStringList names;
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i)
    list.Add(names[i] + QLatin1Char(';') + registry.ReadString(names[i]));
}

void TCustomInstall::SetUseLoadingProgram(bool v) {
  useLoadingProgram_ = v;
  if (v && !IsLoading()) {
    if (TStandardPathSpecList* list = FindStandardPathSpecList())
      StoreArchiveFileType(list->FindFirst<TpsMainArchiveFile>());
    StoreArchiveFile(QString());
  }
}

void TCustomInstall::SetBuildInfo(TBuildInfo* value) {
  buildInfo_->Assign(value);
}

void TCustomInstall::SetLoginInformation(TLoginInformation* value) {
  loginInformation_->Assign(value);
  GlobalNetInstallLocation().SetLoginInformation(value);
}

TStrings* TCustomInstall::PresetupFiles() const {
  return presetupFiles_.get();
}

void TCustomInstall::SetPresetupFiles(TStrings* value) {
  if (value == nullptr) return;
  for (int i = value->Count() - 1; i >= 0; --i)
    if (Trim(value->Strings(i)).isEmpty()) value->Delete(i);
  presetupFiles_->Assign(*value);
}

void TBuildInfo::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TBuildInfo*>(source)) {
    appName_ = other->appName_;
    appURL_ = other->appURL_;
    buildDirectory_ = other->buildDirectory_;
    credentialsFile_ = other->credentialsFile_;
    oCXName_ = other->oCXName_;
    privateKeyFile_ = other->privateKeyFile_;
    signCode_ = other->signCode_;
    uRLPath_ = other->uRLPath_;
    return;
  }
  TPersistent::Assign(source);
}

void TBuildInfo::DeclareProperties(TClassBuilder<TBuildInfo, TPersistent>& b) {
  b.Property("AppName", &TBuildInfo::AppName, &TBuildInfo::SetAppName).Default(QString());
  b.Property("AppURL", &TBuildInfo::AppURL, &TBuildInfo::SetAppURL).Default(QString());
  b.Property("BuildDirectory", &TBuildInfo::BuildDirectory, &TBuildInfo::SetBuildDirectory).Default(QStringLiteral("c:\\build"));
  b.Property("CredentialsFile", &TBuildInfo::CredentialsFile, &TBuildInfo::SetCredentialsFile).Default(QString());
  b.Property("OCXName", &TBuildInfo::OCXName, &TBuildInfo::SetOCXName).Default(QStringLiteral("MySetup"));
  b.Property("PrivateKeyFile", &TBuildInfo::PrivateKeyFile, &TBuildInfo::SetPrivateKeyFile).Default(QString());
  b.Property("SignCode", &TBuildInfo::SignCode, &TBuildInfo::SetSignCode).Default(false);
  b.Property("URLPath", &TBuildInfo::URLPath, &TBuildInfo::SetURLPath).Default(QStringLiteral("http://www.yourcompany.com/install"));
}

void TCustomInstall::DeclareProperties(TClassBuilder<TCustomInstall, TFileContainer>& b) {
  b.Property("AllowChangeDir", &TFileContainer::AllowChangeDir, &TFileContainer::SetAllowChangeDir)
      .Default(true);
  b.Property("AutoMaximizeWindow", &TCustomInstall::AutoMaximizeWindow,
             &TCustomInstall::SetAutoMaximizeWindow)
      .Default(true);
  b.Object("LoginInformation", &TCustomInstall::LoginInformation);
  b.Object("PresetupFiles", &TCustomInstall::PresetupFiles);
  b.Event("OnAfterReadArchiveInfo", &TCustomInstall::OnAfterReadArchiveInfo);
  b.Event("OnBeforeReadArchiveInfo", &TCustomInstall::OnBeforeReadArchiveInfo);
  b.Event("OnShowBadInstall", &TCustomInstall::OnShowBadInstall);
  b.Event("OnShowGoodInstall", &TCustomInstall::OnShowGoodInstall);
  b.Event("OnStartInstall", &TCustomInstall::OnStartInstall);
  b.Property("DestDir", &TCustomInstall::DestDir, &TCustomInstall::SetDestDir)
      .Default(QStringLiteral("/MyApplication"));
  b.Property("DistributeType", &TCustomInstall::DistributeType, &TCustomInstall::SetDistributeType,
             kDistributeTypeIdents)
      .Default(dtTraditional);
  b.Object("BuildInfo", &TCustomInstall::BuildInfo);
  b.Object("Description", &TFileContainer::Description);
  b.Property("GroupName", &TFileContainer::GroupName, &TFileContainer::SetGroupName)
      .Default(QStringLiteral("Main"));
  b.Object("Information", &TCustomInstall::Information);
  b.Property("RunAutomatic", &TCustomInstall::RunAutomatic, &TCustomInstall::SetRunAutomatic)
      .Default(true);
  b.Property("State", &TFileContainer::State, &TFileContainer::SetState, kFileContainerStateIdents)
      .Default(fcsNone);
  b.Property("UseLoadingProgram", &TCustomInstall::UseLoadingProgram,
             &TCustomInstall::SetUseLoadingProgram)
      .Default(true);
  b.Event("OnBeforeTerminateApp", &TCustomInstall::OnBeforeTerminateApp);
  b.Event("OnUserAbort", &TCustomInstall::OnUserAbort);
  b.Event("OnCleanup", &TCustomInstall::OnCleanup);
  b.Event("OnRebootWindows", &TCustomInstall::OnRebootWindows);
  b.Event("OnCloseCopyFileDlg", &TFileContainer::OnCloseCopyFileDlg);
  b.Event("OnShowCopyFileDlg", &TFileContainer::OnShowCopyFileDlg);
  b.Event("OnNewDisk", &TFileContainer::OnNewDisk);
  b.Event("OnReplacing", &TFileContainer::OnReplacing);
  b.Event("OnStatus", &TFileContainer::OnStatus);
}

// ---------------------------------------------------------------------------

TCustomInstall* CurrentInstall() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  return globals != nullptr ? globals->install : nullptr;
}

bool RebootNeeded() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  return globals != nullptr && globals->rebootNeeded;
}

TDateTime InstallStartTime() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  return globals != nullptr ? globals->startTime : 0;
}

void SetRebootNeeded(bool value) {
  Globals().rebootNeeded = value;
}

QStringList InstallCommandLine() {
  TInstallGlobals* globals = FindProcessObject<TInstallGlobals>();
  if (globals != nullptr && globals->commandLineSet) return globals->commandLine;
  return QCoreApplication::arguments().mid(1);
}

void SetInstallCommandLine(const QStringList& parameters) {
  Globals().commandLine = parameters;
  Globals().commandLineSet = true;
}
