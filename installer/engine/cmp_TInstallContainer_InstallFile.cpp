// The install file: its settings, the install sequence with its codes, the
// overwrite decision and the archive extraction. Replacing a file in use is
// in _InstallFileReplace.cpp, registration and logs in _InstallFileRegister.cpp,
// the build steps in _InstallFileBuild.cpp.
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"

#include "installer/engine/InstallPrompts.h"
#include "platform/rtl/ChangeRecorder.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

#include <QCryptographicHash>
#include <QDir>

const TEnumInfo kInstallFileTypeIdents{"iftNormal", "iftJustADLL", "iftApplicationSpecificDLL",
                                       "iftVendorSharedDLL", "iftSystemWideDLL"};
const TEnumInfo kInstallFileStateIdents{"ifsNone", "ifsCompress", "ifsInstall", "ifsCopying"};
const TEnumInfo kInstallFileOverwriteIdents{"owAlways", "owNever", "owVersion", "owDate",
                                            "owVersionDate"};

namespace {

// includeFromDir/fileName; a relative folder is the setup program's
// folder's (the script names the files beside the build's programs).
QString ResolvedSource(const QString& includeFromDir, const QString& fileName) {
  const QString dir = includeFromDir.isEmpty() || QDir::isAbsolutePath(includeFromDir)
                          ? includeFromDir
                          : ExtractFileDir(InstallExeName()) + PathDelim + includeFromDir;
  return dir + PathDelim + fileName;
}

QString UpperExt(const QString& fileName) {
  return UpperCase(ExtractFileExt(fileName));
}

template <class T>
bool Is(const TCustomPathSpecifier* value) {
  return dynamic_cast<const T*>(value) != nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------
// Life.

TCustomInstallFile::TCustomInstallFile(TComponent* owner)
    : TFileRelated(owner), repository_(std::make_unique<TRepository>(this)) {
  SetProcessable(true);
  SetInclude(true);
  TFileRelated::SetNet(false);
  InstallUnitState().installFiles.append(this);
  inFileLists_ = true;
}

TCustomInstallFile::TCustomInstallFile(TComponent* owner, const QString& sourcePath)
    : TCustomInstallFile(owner) {
  SetIncludeFromDir(RemoveBackslash(ExtractFileDir(sourcePath)));
  SetFileName(ExtractFileName(sourcePath));
}

TCustomInstallFile::TCustomInstallFile(TComponent* owner, TInstallContainer* container,
                                       const QString& sourcePath)
    : TCustomInstallFile(owner, sourcePath) {
  SetContainer(container);
}

TCustomInstallFile::~TCustomInstallFile() {
  LeaveFileLists();
}

void TCustomInstallFile::BeforeDestruction() {
  LeaveFileLists();
  TFileRelated::BeforeDestruction();
}

void TCustomInstallFile::LeaveFileLists() {
  if (!inFileLists_)
    return;
  inFileLists_ = false;
  if (TInstallUnitState* state = FindInstallUnitState()) {
    state->installFiles.removeAll(this);
    state->failedRegistrations.removeAll(this);
  }
}

TFileContainer* TCustomInstallFile::FileContainer() const {
  return Container() != nullptr ? Container()->AsFileContainer() : nullptr;
}

QString TCustomInstallFile::SourcePath() const {
  return ResolvedSource(includeFromDir_, fileName_);
}

QString ArchiveKeyOf(const QString& includeFromDir, const QString& fileName) {
  if (!includeFromDir.isEmpty() && !QDir::isAbsolutePath(includeFromDir))
    return QDir::cleanPath(includeFromDir + PathDelim + fileName);
  // An empty folder is the root, as for the source path.
  const QString folder = includeFromDir.isEmpty() ? QString(PathDelim) : QDir::cleanPath(includeFromDir);
  const QByteArray digest = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256);
  return QString::fromLatin1(digest.left(8).toHex()) + PathDelim + fileName;
}

QString TCustomInstallFile::ArchiveName() const {
  return archiveName_.isEmpty() ? ArchiveKeyOf(includeFromDir_, fileName_) : archiveName_;
}

QString TCustomInstallFile::MemberIn(TOndxCompress& compressor) const {
  const QString key = ArchiveName();
  if (compressor.IndexOf(key) >= 0)
    return key;
  // Archives built before keys: the script's own IncludeFromDir/FileName,
  // or the bare FileName in an archive that names its members so (in one
  // with keys, a bare name is another file's key).
  const QString asWritten = includeFromDir_ + PathDelim + fileName_;
  if (compressor.IndexOf(asWritten) >= 0)
    return asWritten;
  if (compressor.IndexOf(fileName_) < 0)
    return key;
  TlzhFileStats stats;
  for (int i = 0; i < compressor.FileCount(); ++i) {
    compressor.GetFileStats(i, stats);
    if (stats.FileName.contains(QLatin1Char('/')))
      return key;
  }
  return fileName_;
}

QString TCustomInstallFile::GetDestPath() {
  return AddBackslash(GetExpandedDestDir()) + destName_;
}

QString TCustomInstallFile::GetFinalDestPath() {
  return AddBackslash(GetExpandedDestDir()) + (replacedInUse_ ? finalDestName_ : destName_);
}

[[noreturn]] void TCustomInstallFile::RaiseUserAbort() {
  throw EAIUserAbort();
}

// ---------------------------------------------------------------------------
// Settings that follow from the name and the destination.

TInstallFileSettings TCustomInstallFile::CurrentSettings() const {
  return {Container(), destName_,     fileName_, includeFromDir_,
          DestDir(),   DestDirType(), fileType_, activeX_};
}

template <class Change>
void TCustomInstallFile::ChangeSetting(Change change) {
  TInstallFileSettings settings = CurrentSettings();
  change(settings);
  if (!IsLoading()) {
    ApplyFileSettings(settings);
    return;
  }
  // While loading each setter only stores its value.
  if (settings.container != Container())
    TFileRelated::SetContainer(settings.container);
  if (settings.destDirType != DestDirType())
    TFileRelated::SetDestDirType(settings.destDirType);
  TFileRelated::SetDestDir(settings.destDir);
  destName_ = settings.destName;
  fileName_ = settings.fileName;
  includeFromDir_ = settings.includeFromDir;
  fileType_ = settings.fileType;
  activeX_ = settings.activeX;
}

void TCustomInstallFile::SetContainer(TInstallContainer* value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.container = value; });
}
void TCustomInstallFile::SetDestName(const QString& value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.destName = value; });
}
void TCustomInstallFile::SetFileName(const QString& value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.fileName = value; });
}
void TCustomInstallFile::SetIncludeFromDir(const QString& value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.includeFromDir = value; });
}
void TCustomInstallFile::SetDestDir(const QString& value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.destDir = value; });
}
void TCustomInstallFile::SetDestDirType(TCustomPathSpecifier* value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.destDirType = value; });
}
void TCustomInstallFile::SetFileType(TInstallFileType value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.fileType = value; });
}
void TCustomInstallFile::SetActiveX(bool value) {
  ChangeSetting([&](TInstallFileSettings& s) { s.activeX = value; });
}

void TCustomInstallFile::ApplyFileSettings(const TInstallFileSettings& settings) {
  TInstallContainer* container = settings.container;
  QString destName = settings.destName;
  const QString& fileName = settings.fileName;
  const QString& includeFromDir = settings.includeFromDir;
  QString destDir = settings.destDir;
  TCustomPathSpecifier* destDirType = settings.destDirType;
  TInstallFileType fileType = settings.fileType;
  bool activeX = settings.activeX;
  // Computed first and stored at the end: a refused setting changes nothing.
  bool registerAsHelp = registerAsHelp_;
  TOverwriteType overwriteMode = overwriteMode_;
  bool updateDLLCounter = updateDLLCounter_;
  if (container != nullptr && container != Container() && container->AsFileContainer() == nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfNeedsFileContainer), {Name()});
  const bool nameChanged = fileName.compare(fileName_, Qt::CaseInsensitive) != 0;
  const bool sourceChanged = nameChanged || includeFromDir != includeFromDir_;
  if (container != nullptr && (container != Container() || sourceChanged)) {
    const QString key = ResolvedSource(includeFromDir, fileName);
    TCustomInstallFile* other = container->AsFileContainer()->FindFile(key);
    if (other != nullptr && other != this)
      throw IEfcDuplicateFile(QString::fromLatin1(kIfDuplicateFile), {key});
  }
  if (fileName != fileName_ && !fileName.trimmed().isEmpty())
    destName = fileName;
  const QString ext = UpperExt(fileName);
  if (sourceChanged) {
    registerAsHelp = ext == QLatin1String(".HLP") || ext == QLatin1String(".CNT");
    bool ole = false;
    try {
      ole = IsOLESelfRegisterFile(ResolvedSource(includeFromDir, fileName));
    } catch (const Exception&) {
      ole = false;
    }
    activeX = ext == QLatin1String(".OCX") || ole;
  }
  if (activeX && !activeX_)
    fileType = iftSystemWideDLL;
  if (destName.size() > kSharedDLLNameLength && fileType != iftNormal)
    throw IECustomInstallFile(QString::fromLatin1(kIfShared83), {fileName});
  if (destDirType != DestDirType() && ext.size() == 4 &&
      QStringLiteral(".DLL,.OCX,.BLL,.EXE").split(QLatin1Char(',')).contains(ext)) {
    if (Is<TpsWindow>(destDirType) || Is<TpsCDEDLL>(destDirType))
      overwriteMode = owVersionDate;
    else if (Is<TpsSystem>(destDirType))
      fileType = iftSystemWideDLL;
  }
  if (fileType != fileType_) {
    if (fileType == iftJustADLL || fileType == iftApplicationSpecificDLL) {
      overwriteMode = owVersionDate;
    } else if (fileType == iftVendorSharedDLL || fileType == iftSystemWideDLL) {
      updateDLLCounter = true;
      overwriteMode = owVersionDate;
    }
  }
  TFileRelated::SetDestDirType(destDirType);
  TFileRelated::SetContainer(container);
  switch (fileType) {
    case iftApplicationSpecificDLL:
      destDir = PathDelim + QStringLiteral("System");
      StoreDestDirType(StandardPathSpecList().FindByClass<TpsMainInstall>());
      break;
    case iftVendorSharedDLL:
      destDir = PathDelim + QStringLiteral("System");
      StoreDestDirType(StandardPathSpecList().FindByClass<TpsCommonFiles>());
      break;
    case iftSystemWideDLL:
      destDir.clear();
      StoreDestDirType(StandardPathSpecList().FindByClass<TpsSystem>());
      break;
    default: break;
  }
  registerAsHelp_ = registerAsHelp;
  overwriteMode_ = overwriteMode;
  updateDLLCounter_ = updateDLLCounter;
  includeFromDir_ = includeFromDir;
  fileName_ = fileName;
  TFileRelated::SetDestDir(destDir);
  destName_ = destName;
  fileType_ = fileType;
  activeX_ = activeX;
}

// ---------------------------------------------------------------------------
// The install.

void TCustomInstallFile::ProcessHelpers() {
  Install();
}

void TCustomInstallFile::Install() {
  // A run after a replacement in use starts again from the script's name.
  if (replacedInUse_)
    destName_ = finalDestName_;
  replacedInUse_ = false;
  finalDestName_ = destName_;
  installAborted_ = false;
  try {
    SendInformation(icBeforeInstall, this);
    if (OnBeforeInstall)
      OnBeforeInstall(this);
  } catch (const EAbort&) {
    installAborted_ = true;
    SendInformation(icInstallAborted, this);
    return;
  }
  if (GetExpandedDestDir().trimmed().isEmpty())
    throw IECustomInstallFile(QString::fromLatin1(kIfDestBlank), {Name()});
  destExists_ = FileExists(GetDestPath());
  // A destination that is not there is always installed: the rules only
  // choose between two files.
  willInstall_ = true;
  if (destExists_) {
    const TOverwriteDecision decision =
        TVersionResource::CompareStoredForOverwrite(version_, GetDestPath(), overwriteMode_, date_);
    willInstall_ = decision == odError || decision == odReplace;
  }
  if (willInstall_) {
    try {
      ReplaceFile();
    } catch (const EAbort&) {
      willInstall_ = false;
    }
  }
  if (!willInstall_) {
    Skip();
    return;
  }
  FetchArchive();
  std::unique_ptr<TOndxCompress> own;
  InstallFromArchive(ExtractorFor(own));
}

void TCustomInstallFile::Skip() {
  SendInformation(icInstallSkipped, this);
  AfterInstallSteps();
  if (OnAfterInstall)
    OnAfterInstall(this);
  SendInformation(icAfterInstall, this);
}

void TCustomInstallFile::FetchArchive() {
  QString recorded;
  if (GetRecordedLocalFile(recorded))
    SetLocalArchive(recorded);
  const int distribute = GetDistributeType();
  if (distribute == 0 || !(Net() || distribute == 1))
    return;
  if (HasOwnNetArchive()) {
    DownloadArchive();
  } else if (TFileContainer* group = FileContainer();
             group != nullptr && !group->IsArchiveLocal()) {
    group->DownloadArchive();
  }
}

TOndxCompress& TCustomInstallFile::ExtractorFor(std::unique_ptr<TOndxCompress>& own) {
  const int distribute = GetDistributeType();
  if (distribute != 0 && (Net() || distribute == 1)) {
    own = std::make_unique<TOndxCompress>(nullptr);
    return *own;
  }
  return CompressorFor(GetExpandedArchiveFile(), own);
}

void TCustomInstallFile::InstallFromArchive(TOndxCompress& compressor) {
  state_ = ifsInstall;
  IfTryFinally(
      [&] {
        RecordFoldersToMake(GetExpandedDestDir());
        ForceDirectories(GetExpandedDestDir());
        const QString archive = GetExpandedArchiveFile();
        if (archive.trimmed().isEmpty())
          throw IECustomInstallFile(QString::fromLatin1(kIfArchiveBlank), {fileName_});
        compressor.SetCompressedFile(archive);
        compressor.SetExtractDirectory(GetExpandedDestDir());
        compressor.SetDestFileName(destName_);
        // The overwrite rule was applied before ReplaceFile; the destination
        // is not deleted there, so the compressor must not decide again.
        compressor.SetOverwrite(owAlways);
        compressor.OnAborted = [this](TObject*) { RaiseUserAbort(); };
        compressor.OnNewDisk = [this](TOndxCompress* c, int disk, QString& path) {
          AskForDisk(c, disk, path);
        };
        compressor.OnStatus = [this](TOndxCompress* c, const TlzhFileStats& stats) {
          ReportStatus(c, stats);
        };
        compressor.FilesToProcess()->Clear();
        const QString target = GetDestPath();
        RecordFileToWrite(target);
        try {
          compressor.FilesToProcess()->Add(MemberIn(compressor));
          compressor.Extract();
          // Only a complete new file, on the disk, is put up for the move at
          // the restart.
          if (replacedInUse_)
            compressor.SyncWrittenFiles();
        } catch (const EocDiskFull&) {
          throw;  // the run tells where and how much room is missing
        } catch (const EOndxCompress& e) {
          RaiseUnpackError(e, compressor.CompressedFile());
        }
        if (replacedInUse_)
          RegisterReplacement();
        AfterInstallSteps();
        if (OnAfterInstall)
          OnAfterInstall(this);
        SendInformation(icAfterInstall, this);
        TFileRelated::ProcessHelpers();
      },
      [&] {
        compressor.OnNewDisk = nullptr;
        compressor.OnStatus = nullptr;
        compressor.OnAborted = nullptr;
        TOndxCompress* global = TOndxCompress::Global();
        if (compressor.Abort() && global != nullptr)
          global->SetAbort(true);
        try {
          BroadcastMessage(this, scOperationEnded, nullptr);
        } catch (...) {
          compressor.SetAbort(true);
          state_ = ifsNone;
          throw;
        }
        state_ = ifsNone;
      });
}

void TCustomInstallFile::RaiseUnpackError(const EOndxCompress& error, const QString& archive) {
  const QString member = ArchiveName();
  if (dynamic_cast<const EocDamaged*>(&error) != nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfArchiveDamaged), {archive, member});
  if (dynamic_cast<const EocNotInArchive*>(&error) != nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfNotInArchive), {archive, member});
  if (dynamic_cast<const EocCannotOpenArchive*>(&error) != nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfCannotOpenArchive), {archive, member});
  if (dynamic_cast<const EocWrongDisk*>(&error) != nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfWrongDisk), {archive, member});
  if (dynamic_cast<const EocCannotWrite*>(&error) != nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfCannotWrite), {GetDestPath(), member, archive});
  throw IECustomInstallFile(QString::fromLatin1(kIfCannotUnpack), {member, archive, error.Message()});
}

QString TCustomInstallFile::GetExpandedArchiveFile() {
  const int distribute = GetDistributeType();
  if (state_ == ifsInstall && (distribute == 1 || (distribute != 0 && Net()))) {
    if (HasOwnNetArchive() && IsArchiveLocal()) {
      QString recorded;
      return LocalArchive().trimmed().isEmpty() && GetRecordedLocalFile(recorded) ? recorded
                                                                                  : LocalArchive();
    }
    if (TFileContainer* group = FileContainer(); group != nullptr && group->IsArchiveLocal())
      return group->GetLocalArchivePath();
  }
  return TFileRelated::GetExpandedArchiveFile();
}

bool TCustomInstallFile::HasOwnNetArchive() const {
  return NetLocation() != nullptr || overwriteMode_ == owVersion || overwriteMode_ == owDate ||
         overwriteMode_ == owVersionDate;
}

void TCustomInstallFile::AskForDisk(TOndxCompress* sender, int disk, QString& path) {
  SetTag(0);
  TDiskParameter parameter;
  parameter.Disk = disk;
  // The archive's folder is disk 1's; the folder the transfer to floppies
  // wrote disk n to is offered when it is there.
  parameter.Path = RemoveBackslash(ExtractFileDir(GetExpandedArchiveFile()));
  if (const QString written = DiskFolder(parameter.Path, disk); DirectoryExists(written))
    parameter.Path = written;
  TParameterList list{this, &parameter};
  if (OnNewDisk)
    OnNewDisk(this, disk, parameter.Path);
  BroadcastMessage(this, scNewDisk, &list);
  SendInformation(icNewDisk, &list);
  if (!OnNewDisk && Tag() == 0) {
    TPromptRequest request;
    request.id = TPromptId::InsertDisk;
    request.sourceText = QString::fromLatin1(kIfInsertDisk);
    request.text = Format(TranslateExceptionText(request.sourceText), {disk});
    request.disk = disk;
    request.path = parameter.Path;
    request.sender = this;
    const TPromptAnswer answer = AskPrompt(request);
    if (answer.button == TPromptButton::Cancel) {
      // The compressor asks again for a disk it cannot find; a Cancel ends it.
      sender->SetAbort(true);
      RaiseUserAbort();
    }
    if (!answer.path.isEmpty())
      parameter.Path = answer.path;
  }
  path = RemoveBackslash(parameter.Path);
}

void TCustomInstallFile::ReportStatus(TOndxCompress* sender, const TlzhFileStats& fileStats) {
  (void)sender;
  TFileStatusParameter parameter;
  parameter.Bytes = fileStats.BytesDone;
  parameter.FilePercent = fileStats.FilePercent;
  parameter.FileName = fileName_;
  parameter.FileStats = fileStats;
  parameter.TotalBytes = fileStats.TotalDone;
  parameter.TotalPercent = fileStats.TotalPercent;
  if (OnStatus)
    OnStatus(this, parameter.FilePercent, parameter.TotalPercent);
  BroadcastMessage(this, scFileStatus, &parameter);
  TParameterList list{this, &parameter};
  switch (state_) {
    case ifsCompress: SendInformation(icCompressStatus, &list); break;
    case ifsInstall: SendInformation(icInstallStatus, &list); break;
    case ifsCopying: SendInformation(icCopyStatus, &list); break;
    case ifsNone: break;
  }
}

void TCustomInstallFile::SetState(TInstallFileState value) {
  if (IsLoading())
    return;
  IfTryFinally(
      [&] {
        switch (value) {
          case ifsCompress: Compress(); break;
          case ifsInstall: Process(); break;
          case ifsCopying: Copy(); break;
          case ifsNone: break;
        }
      },
      [&] { state_ = ifsNone; });
}

void TCustomInstallFile::SetRepository(TRepository* value) {
  if (value != nullptr)
    repository_->Assign(value);
}

// ---------------------------------------------------------------------------
// Published forms.

TInstallFile::TInstallFile(TComponent* owner) : TCustomInstallFile(owner) {}

void TCustomInstallFile::DeclareProperties(TClassBuilder<TCustomInstallFile, TFileRelated>& b) {
  (void)b;  // TInstallFile and TUninstallEXE publish
}

void TInstallFile::DeclareProperties(TClassBuilder<TInstallFile, TCustomInstallFile>& b) {
  TCustomInstallFile::PublishFileProperties(b, false);
}

// ---------------------------------------------------------------------------

TCustomInstallFile* TCustomInstallFileList::Get(int index) const {
  if (index < 0 || index >= items_.size())
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
  return items_.at(index);
}

void TCustomInstallFileList::Add(TCustomInstallFile* file) {
  if (file == nullptr)
    throw IECustomInstallFileList(QString::fromLatin1(kIfBlankListEntry));
  items_.append(file);
}

void TCustomInstallFileList::Remove(TCustomInstallFile* file) {
  items_.removeAll(file);
}

void TCustomInstallFile::Notification(TComponent* component, TOperation operation) {
  TFileRelated::Notification(component, operation);
  if (operation == opRemove && component != this)
    if (auto* file = dynamic_cast<TCustomInstallFile*>(component))
      repository_->FileGone(file);
}
