#include "installer/engine/cmp_TInstallContainer_Files.h"

#include "installer/engine/InstallHost.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <optional>

const TEnumInfo kLzhCommandIdents{"lzcOverwrite", "lzcOnlyAdd"};
const TEnumInfo kFileContainerStateIdents{"fcsNone", "fcsCompress", "fcsInstall", "fcsCopy"};

namespace {

constexpr char kNilPO[] = "%s got a nil PO parameter";
constexpr char kNotInstallFile[] = "DoInformationEventControl parameter is not TInstallFile";
constexpr char kNotList[] = "DoInformationEventControl--PO is not a TList object";
constexpr char kTooFew[] = "DoInformationEventControl--Not engouh parameters for status event";
constexpr char kBadFirst[] = "DoInformationEventControl says bad first parameter";
constexpr char kBadSecond[] = "DoInformationEventControl says bad second parameter";
constexpr char kBadDiskItem[] = "DoInformationEventControl says bad %d parameter";
constexpr char kNotDownloadStatus[] =
    "The PO object passed to %s is not a TDownloadStatusParameter object";
constexpr char kNotDownloaded[] =
    "%s has not yet downloaded the archive file and therefore cannot retrieve the path of the "
    "archive file";
constexpr char kUnnamedGroup[] = "Unnamed File Group";

TCustomPathSpecifier* StandardContainerArchive() {
  return StandardPathSpecList().FindFirst<TpsContainerArchiveFile>();
}

}  // namespace

// ---------------------------------------------------------------------------
// TFileRelated.

TFileRelated::TFileRelated(TComponent* owner) : TInstallObject(owner) {
  SetProcessable(true);
}

bool TFileRelated::IsArchiveOfContainer(const TCustomPathSpecifier* value) {
  return dynamic_cast<const TpsContainerArchiveFile*>(value) != nullptr ||
         dynamic_cast<const TpsMainArchiveFile*>(value) != nullptr;
}

void TFileRelated::SetArchiveFile(const QString& value) {
  if (!IsLoading() && IsArchiveOfContainer(archiveFileType_)) {
    archiveFile_.clear();
    return;
  }
  archiveFile_ = value;
}

void TFileRelated::SetArchiveFileType(TCustomPathSpecifier* value) {
  archiveFileTypeAssigned_ = true;
  if (!IsLoading() && value != nullptr)
    value->CheckComponent(this);
  if (archiveFileType_ != nullptr)
    archiveFileType_->RemoveFreeNotification(this);
  archiveFileType_ = value;
  if (value != nullptr)
    value->FreeNotification(this);
  if (!IsLoading() && IsArchiveOfContainer(value))
    archiveFile_.clear();
}

void TFileRelated::SetNet(bool value) {
  net_ = value;
}

void TFileRelated::SetNetLocation(TNetInstallLocation* value) {
  if (netLocation_ != nullptr)
    netLocation_->RemoveFreeNotification(this);
  netLocation_ = value;
  if (value != nullptr)
    value->FreeNotification(this);
}

QString TFileRelated::GetExpandedArchiveFile() {
  if (archiveFileType_ == nullptr)
    return RemoveBackslash(archiveFile_);
  return RemoveBackslash(archiveFileType_->PathFor(this) + archiveFile_);
}

bool TFileRelated::GetRecordedLocalFile(QString& path) {
  const QString record = InstallUnitState().installRecordKey;
  if (Name().trimmed().isEmpty() || record.isEmpty())
    return false;
  const QString found = ReadRegString(hkLocalMachine, record + QLatin1Char('\\') + Name(),
                                      QString::fromLatin1(kLocalFileValue), QString());
  if (found.trimmed().isEmpty() || !FileExists(found))
    return false;
  path = found;
  return true;
}

bool TFileRelated::IsArchiveLocal() {
  if (!localArchive_.trimmed().isEmpty())
    return true;
  QString path;
  return GetRecordedLocalFile(path);
}

void TFileRelated::SetLocalFile(const QString& path) {
  const QString record = InstallUnitState().installRecordKey;
  if (Name().trimmed().isEmpty() || path.trimmed().isEmpty() || record.isEmpty())
    return;
  try {
    WriteRegString(hkLocalMachine, record + QLatin1Char('\\') + Name(),
                   QString::fromLatin1(kLocalFileValue), path);
  } catch (const Exception&) {
    // The download is still usable; only a later run will fetch it again.
  }
}

void TFileRelated::DataReceived(TObject* sender, const QString& fileName, int bytes, int totalBytes,
                                int fileSize, const char* buffer) {
  TDownloadStatusParameter parameter;
  parameter.Bytes = bytes;
  parameter.FileName = fileName;
  parameter.FileSize = fileSize;
  parameter.TotalBytes = totalBytes;
  parameter.Percent = RoundPercent(totalBytes, fileSize);
  if (OnDataReceived)
    OnDataReceived(this, fileName, bytes, totalBytes, fileSize, buffer);
  BroadcastMessage(this, scDownloadStatus, &parameter);
  SendInformation(icDataReceived, &parameter);
}

void TFileRelated::SetContainer(TInstallContainer* value) {
  // The archive follows a new container only: an unchanged one keeps the
  // object's own archive.
  const bool changed = value != Container();
  TInstallObject::SetContainer(value);
  if (IsLoading() || !changed)
    return;
  if (value != nullptr && value->AsFileRelated() != nullptr) {
    StoreArchiveFileType(StandardContainerArchive());
    archiveFile_.clear();
  } else if (dynamic_cast<TpsContainerArchiveFile*>(archiveFileType_) != nullptr) {
    StoreArchiveFileType(nullptr);
  }
}

void TFileRelated::Loaded() {
  TInstallObject::Loaded();
  if (archiveFileTypePending_ && !archiveFileTypeAssigned_)
    StoreArchiveFileType(nullptr);
  archiveFileTypePending_ = false;
  QString path;
  if (GetRecordedLocalFile(path))
    localArchive_ = path;
}

void TFileRelated::Notification(TComponent* component, TOperation operation) {
  TInstallObject::Notification(component, operation);
  if (operation != opRemove)
    return;
  if (component == netLocation_)
    netLocation_ = nullptr;
  if (component == archiveFileType_)
    archiveFileType_ = nullptr;
}

void TFileRelated::DeclareProperties(TClassBuilder<TFileRelated, TInstallObject>& b) {
  (void)b;  // the published classes below name what they publish
}

// ---------------------------------------------------------------------------
// TFileContainer.

TFileContainer::TFileContainer(TComponent* owner)
    : TFileRelated(owner), description_(std::make_unique<TStringList>()) {}

TFileContainer::~TFileContainer() = default;

void TFileContainer::BeforeDestruction() {
  FreeFiles();
  TFileRelated::BeforeDestruction();
}

void TFileContainer::SetDescription(TStrings* value) {
  if (value != nullptr)
    description_->Assign(*value);
  else
    description_->Clear();
}

int TFileContainer::FileCount() const {
  return CountHelpersOfClass<TCustomInstallFile>();
}

TCustomInstallFile* TFileContainer::GetFile(int index) const {
  return Comp<TCustomInstallFile>(index);
}

bool TFileContainer::HasNetFiles() const {
  for (int i = 0; i < FileCount(); ++i) {
    if (GetFile(i)->Net())
      return true;
  }
  return false;
}

void TFileContainer::DoNewDisk(TCustomInstallFile* file, TDiskParameter* parameter) {
  if (!OnNewDisk)
    return;
  QString path = parameter->Path;
  OnNewDisk(file, parameter->Disk, path);
  parameter->Path = path;
  file->SetTag(1);
}

void TFileContainer::DoReplacing(TCustomInstallFile* file) {
  if (OnReplacing)
    OnReplacing(file);
  BroadcastMessage(this, scReplacing, file);
}

void TFileContainer::DoStatus(TCustomInstallFile* file, TFileStatusParameter* parameter) {
  if (OnStatus)
    OnStatus(file, parameter->FilePercent, parameter->TotalPercent);
  BroadcastMessage(this, scFileStatus, parameter);
}

int TFileContainer::SumOver(bool all, bool withSubgroups, int (TCustomInstallFile::*size)() const,
                            int (TFileContainer::*groupSize)(bool, bool)) {
  int sum = 0;
  for (int i = 0; i < HelperCount(); ++i) {
    TInstallObject* helper = GetHelper(i);
    if (!all && !IsSelectedForInstall(helper))
      continue;
    if (TCustomInstallFile* file = helper->AsInstallFile())
      sum += (file->*size)();
    else if (TFileContainer* group = helper->AsFileContainer(); group && withSubgroups)
      sum += (group->*groupSize)(all, true);
  }
  return sum;
}

int TFileContainer::GetSize(bool all, bool withSubgroups) {
  return SumOver(all, withSubgroups, &TCustomInstallFile::Size, &TFileContainer::GetSize);
}

int TFileContainer::ArchivedSizeOf(bool all, bool) {
  return GetArchivedSize(all);
}

int TFileContainer::GetArchivedSize(bool all) {
  return SumOver(all, true, &TCustomInstallFile::ArchivedSize, &TFileContainer::ArchivedSizeOf);
}

TCustomInstallFile* TFileContainer::FindFile(const QString& key) {
  for (int i = 0; i < FileCount(); ++i) {
    TCustomInstallFile* file = GetFile(i);
    if (SameText(file->SourcePath(), key))
      return file;
  }
  return nullptr;
}

void TFileContainer::FreeFiles() {
  FreeHelpersOfClass<TCustomInstallFile>();
}

QString TFileContainer::GetLocalArchivePath() {
  // The archive fetched in this run, also when the record could not take it.
  if (!LocalArchive().trimmed().isEmpty() && FileExists(LocalArchive()))
    return LocalArchive();
  QString path;
  if (GetRecordedLocalFile(path))
    return path;
  throw IEFileContainer(QString::fromLatin1(kNotDownloaded), {Name()});
}

bool TFileContainer::NeedsNetLocation() {
  if (GetDistributeType() == 0)
    return false;
  for (int i = 0; i < FileCount(); ++i) {
    TCustomInstallFile* file = GetFile(i);
    if (file->Net() && file->Include() && file->NetLocation() == nullptr)
      return true;
  }
  return false;
}

bool TFileContainer::HoldsHelper(const TInstallObject* helper) const {
  for (int i = 0; i < HelperCount(); ++i) {
    if (GetHelper(i) == helper)
      return true;
  }
  return false;
}

void TFileContainer::ForFilesThenGroups(void (TCustomInstallFile::*fileStep)(),
                                        void (TFileContainer::*groupStep)()) {
  // A step's handlers may free helpers: walk a copy and skip the gone.
  QList<TCustomInstallFile*> files;
  QList<TFileContainer*> groups;
  for (int i = 0; i < HelperCount(); ++i) {
    if (TCustomInstallFile* file = GetHelper(i)->AsInstallFile())
      files << file;
    else if (TFileContainer* group = GetHelper(i)->AsFileContainer())
      groups << group;
  }
  for (TCustomInstallFile* file : files) {
    if (HoldsHelper(file))
      (file->*fileStep)();
  }
  for (TFileContainer* group : groups) {
    if (HoldsHelper(group))
      (group->*groupStep)();
  }
}

void TFileContainer::ReadInfoFromArchive() {
  const TBusyCursorScope busy;
  ForFilesThenGroups(&TCustomInstallFile::ReadInfoFromArchive,
                     &TFileContainer::ReadInfoFromArchive);
}

void TFileContainer::ReadFileInfo() {
  const TBusyCursorScope busy;
  ForFilesThenGroups(&TCustomInstallFile::ReadFileInfo, &TFileContainer::ReadFileInfo);
}

void TFileContainer::SetState(TFileContainerState value) {
  if (IsLoading())
    return;
  IfTryFinally(
      [&] {
        switch (value) {
          case fcsCompress: Compress(0); break;
          case fcsInstall: Process(); break;
          case fcsCopy: PrepareFiles(); break;
          case fcsNone: break;
        }
      },
      [&] { state_ = fcsNone; });
}

// ---------------------------------------------------------------------------
// Information codes.

void TFileContainer::PercentOf(TFileStatusParameter& parameter) const {
  parameter.TotalPercent = RoundPercent(parameter.TotalBytes, totalSize_);
}

namespace {

// A status or disk code's list of at least two items.
TParameterList* TwoItemList(TObject* po) {
  auto* list = dynamic_cast<TParameterList*>(po);
  if (list == nullptr)
    throw IEFileContainer(QString::fromLatin1(kNotList));
  if (list->Count() < 2)
    throw IEFileContainer(QString::fromLatin1(kTooFew));
  return list;
}

}  // namespace

void TFileContainer::StatusCode(int code, TObject* po) {
  TParameterList* list = TwoItemList(po);
  auto* file = dynamic_cast<TCustomInstallFile*>(list->Items(0));
  if (file == nullptr)
    throw IEFileContainer(QString::fromLatin1(kBadFirst));
  auto* parameter = dynamic_cast<TFileStatusParameter*>(list->Items(1));
  if (parameter == nullptr)
    throw IEFileContainer(QString::fromLatin1(kBadSecond));
  (void)code;
  parameter->TotalBytes = doneBytes_ + parameter->Bytes;
  PercentOf(*parameter);
  DoStatus(file, parameter);
  if (parameter->FileStats.Done && state_ != fcsNone)
    doneBytes_ += parameter->FileStats.FileSize;
}

void TFileContainer::DiskCode(TObject* po) {
  TParameterList* list = TwoItemList(po);
  auto* file = dynamic_cast<TCustomInstallFile*>(list->Items(0));
  if (file == nullptr)
    throw IEFileContainer(QString::fromLatin1(kBadDiskItem), {1});
  auto* parameter = dynamic_cast<TDiskParameter*>(list->Items(1));
  if (parameter == nullptr)
    throw IEFileContainer(QString::fromLatin1(kBadDiskItem), {2});
  DoNewDisk(file, parameter);
  BroadcastMessage(this, scNewDisk, list);
}

void TFileContainer::FinishedFileCode(TObject* po) {
  auto* file = dynamic_cast<TCustomInstallFile*>(po);
  if (file == nullptr)
    throw IEFileContainer(QString::fromLatin1(kBadFirst));
  TFileStatusParameter parameter;
  parameter.Bytes = file->Size();
  parameter.FilePercent = 100;
  parameter.FileName = file->FileName();
  parameter.TotalBytes = doneBytes_ + file->Size();
  PercentOf(parameter);
  DoStatus(file, &parameter);
  doneBytes_ += file->Size();
}

void TFileContainer::DoInformationEventControl(TInstallContainer* sender, int code, TObject* po) {
  (void)sender;
  if (state_ == fcsNone)
    return;
  if (po == nullptr)
    throw IEFileContainer(QString::fromLatin1(kNilPO), {Name()});
  switch (code) {
    case icReplacing: {
      auto* file = dynamic_cast<TCustomInstallFile*>(po);
      if (file == nullptr)
        throw IEFileContainer(QString::fromLatin1(kNotInstallFile));
      DoReplacing(file);
      break;
    }
    case icInstallStatus:
    case icCompressStatus:
    case icCopyStatus: StatusCode(code, po); break;
    case icNewDisk: DiskCode(po); break;
    case icDataReceived: {
      auto* parameter = dynamic_cast<TDownloadStatusParameter*>(po);
      if (parameter == nullptr)
        throw IEFileContainer(QString::fromLatin1(kNotDownloadStatus), {Name()});
      if (OnDataReceived)
        OnDataReceived(this, parameter->FileName, parameter->Bytes, parameter->TotalBytes,
                       parameter->FileSize, nullptr);
      BroadcastMessage(this, scDownloadStatus, parameter);
      break;
    }
    case icInstallAborted:
    case icInstallSkipped: FinishedFileCode(po); break;
    default: break;
  }
  SendInformation(code, po);
}

// ---------------------------------------------------------------------------
// The group install.

void TFileContainer::ProcessHelpers() {
  state_ = fcsInstall;
  std::optional<TBusyCursorScope> busy(std::in_place);
  IfTryFinally(
      [&] {
        QString path;
        if (GetRecordedLocalFile(path))
          SetLocalArchive(path);
        ReadInfoFromArchive();
        BroadcastMessage(this, scGroupInstall, nullptr);
        SendInformation(icContainerStart, this);
        totalSize_ = GetSize(false, true);
        doneBytes_ = 0;
        if (OnShowCopyFileDlg)
          OnShowCopyFileDlg(this);
        TFileRelated::ProcessHelpers();
        SendInformation(icContainerEnd, this);
      },
      [&] {
        busy.reset();
        TOndxCompress* global = TOndxCompress::Global();
        const bool wasAborted = global != nullptr && global->Abort();
        BroadcastMessage(this, scOperationEnded, nullptr);
        if (OnCloseCopyFileDlg)
          OnCloseCopyFileDlg(this, wasAborted);
        state_ = fcsNone;
      });
}

void TFileContainer::DeclareProperties(TClassBuilder<TFileContainer, TFileRelated>& b) {
  (void)b;
}

// ---------------------------------------------------------------------------
// TInstallFileGroup.

TInstallFileGroup::TInstallFileGroup(TComponent* owner) : TFileContainer(owner) {
  SetProcessable(true);
  SetInclude(true);
  SetGroupName(QString::fromLatin1(kUnnamedGroup));
}

void TInstallFileGroup::RemoveMissingFiles() {
  for (int i = FileCount() - 1; i >= 0; --i) {
    if (i >= FileCount())
      continue;
    TCustomInstallFile* file = GetFile(i);
    if (!FileExists(file->SourcePath()))
      file->Free();
  }
}

void TInstallFileGroup::DeclareProperties(TClassBuilder<TInstallFileGroup, TFileContainer>& b) {
  b.Property("AddToArchive", &TFileRelated::AddToArchive, &TFileRelated::SetAddToArchive,
             kLzhCommandIdents)
      .Default(lzcOverwrite);
  b.Property("AllowChangeDir", &TFileContainer::AllowChangeDir, &TFileContainer::SetAllowChangeDir)
      .Default(true);
  b.Property("AllowChoice", &TFileContainer::AllowChoice, &TFileContainer::SetAllowChoice)
      .Default(true);
  b.Property("ArchiveFile", &TFileRelated::ArchiveFile, &TFileRelated::SetArchiveFile);
  b.Property("ArchiveFileType", &TFileRelated::ArchiveFileType, &TFileRelated::SetArchiveFileType);
  b.Object("Description", &TFileContainer::Description);
  b.Property("GroupName", &TFileContainer::GroupName, &TFileContainer::SetGroupName);
  b.Property("NetLocation", &TFileRelated::NetLocation, &TFileRelated::SetNetLocation);
  b.Property("State", &TFileContainer::State, &TFileContainer::SetState, kFileContainerStateIdents)
      .Default(fcsNone);
  b.Event("OnCloseCopyFileDlg", &TFileContainer::OnCloseCopyFileDlg);
  b.Event("OnDataReceived", &TFileRelated::OnDataReceived);
  b.Event("OnNewDisk", &TFileContainer::OnNewDisk);
  b.Event("OnReplacing", &TFileContainer::OnReplacing);
  b.Event("OnShowCopyFileDlg", &TFileContainer::OnShowCopyFileDlg);
  b.Event("OnStatus", &TFileContainer::OnStatus);
}
