#pragma once
// Install files: TCustomInstallFile, one file of the installation script
// (where it was taken from at build time, where it goes, how an existing
// copy is treated, what is registered for it afterwards) and TInstallFile,
// its published form. A file is a helper of a file container, which gives
// it its archive, counts its bytes and relays its information codes. Part
// of the install object model's unit (cmp_TInstallContainer).
//
// Replacing: an existing destination is never deleted. The compressor
// writes the new contents under a temporary name and renames them over the
// old file once complete. A destination in use (a process runs, maps or
// holds it) is left alone: the new file is extracted beside it under the
// extension .1, .2, ... and, once complete, moved onto it at the next
// restart (a delayed move, the WININIT.INI "Rename" section, or a RunOnce
// batch). Whatever the file records (uninstall log, shared counts, help
// registration) names the destination it will have at the end.

#include <QString>
#include <cstdint>
#include <memory>

#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "installer/engine/cmp_TOndxCompress_Stats.h"
#include "installer/engine/cmp_TVersion.h"
#include "platform/rtl/DateTime.h"

class EOndxCompress;
class TOndxCompress;
class TRepository;

enum TInstallFileType {
  iftNormal = 0,
  iftJustADLL = 1,
  iftApplicationSpecificDLL = 2,
  iftVendorSharedDLL = 3,
  iftSystemWideDLL = 4
};
enum TInstallFileState { ifsNone = 0, ifsCompress = 1, ifsInstall = 2, ifsCopying = 3 };
extern const TEnumInfo kInstallFileTypeIdents;
extern const TEnumInfo kInstallFileStateIdents;
extern const TEnumInfo kInstallFileOverwriteIdents;

// The RunOnce value of the replacement batch.
inline constexpr char kReplaceBatchRunOnce[] = "OndrixBatFile";
// Longest destination name of a shared library (an 8.3 name).
inline constexpr int kSharedDLLNameLength = 12;

// The values that ApplyFileSettings works on.
struct TInstallFileSettings {
  TInstallContainer* container = nullptr;
  QString destName;
  QString fileName;
  QString includeFromDir;
  QString destDir;
  TCustomPathSpecifier* destDirType = nullptr;
  TInstallFileType fileType = iftNormal;
  bool activeX = false;
};

class TCustomInstallFile : public TFileRelated {
 public:
  explicit TCustomInstallFile(TComponent* owner);
  // IncludeFromDir := the folder of sourcePath, FileName := its name.
  TCustomInstallFile(TComponent* owner, const QString& sourcePath);
  // The former, then SetContainer(container).
  TCustomInstallFile(TComponent* owner, TInstallContainer* container, const QString& sourcePath);
  ~TCustomInstallFile() override;

  bool DestExists() const { return destExists_; }
  bool ReplacedInUse() const { return replacedInUse_; }
  bool WillInstall() const { return willInstall_; }
  bool ActiveX() const { return activeX_; }
  int ArchivedSize() const { return archivedSize_; }
  std::uint8_t BuildMark() const { return buildMark_; }
  void SetBuildMark(std::uint8_t value) { buildMark_ = value; }
  bool InNetArchive() const { return inNetArchive_; }
  void SetInNetArchive(bool value) { inNetArchive_ = value; }
  QString CompressedInto() const { return compressedInto_; }
  TDateTime Date() const { return date_; }
  QString DestName() const { return destName_; }
  QString FileName() const { return fileName_; }
  TInstallFileType FileType() const { return fileType_; }
  QString IncludeFromDir() const { return includeFromDir_; }
  TOverwriteType OverwriteMode() const { return overwriteMode_; }
  void SetOverwriteMode(TOverwriteType value) { overwriteMode_ = value; }
  bool RegisterAsHelp() const { return registerAsHelp_; }
  void SetRegisterAsHelp(bool value) { registerAsHelp_ = value; }
  TRepository* Repository() const { return repository_.get(); }
  int Size() const { return size_; }
  TInstallFileState State() const { return state_; }
  bool UpdateDLLCounter() const { return updateDLLCounter_; }
  void SetUpdateDLLCounter(bool value) { updateDLLCounter_ = value; }
  QString Version() const { return version_; }
  // The size, date and version the remote file list gives.
  void SetListedInfo(int size, TDateTime date, const QString& version) {
    size_ = size;
    date_ = date;
    version_ = version.left(20);
  }

  TInstallFileNotifyEvent OnAfterCompress;
  TInstallFileNotifyEvent OnAfterCopy;
  TInstallFileNotifyEvent OnAfterInstall;
  TInstallFileNotifyEvent OnBeforeCompress;
  TInstallFileNotifyEvent OnBeforeCopy;
  TInstallFileNotifyEvent OnBeforeInstall;
  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileNotifyEvent OnReplacing;

  // Virtual operations, in slot order.
  [[noreturn]] virtual void RaiseUserAbort();
  virtual void RegisterActiveXDLL();
  virtual void RegisterActiveXEXE();
  virtual void ReplaceFile();
  virtual void SetActiveX(bool value);
  virtual void SetDestName(const QString& value);
  virtual void SetFileName(const QString& value);
  virtual void SetFileType(TInstallFileType value);
  virtual void SetIncludeFromDir(const QString& value);
  // Runs the operation of value (a design-time command); ifsNone after.
  // Ignored while loading.
  virtual void SetState(TInstallFileState value);
  virtual void SetRepository(TRepository* value);
  virtual void Compress();
  virtual void Copy();
  virtual void ReadInfoFromArchive();
  virtual void ReadFileInfo();
  virtual bool IsOLESelfRegister();
  virtual bool IncrementSharedDLLCount();

  // The expanded destination directory, a delimiter and DestName.
  QString GetDestPath();
  // The path the destination has once a replacement at the restart is
  // done: GetDestPath, or the file in use that the new file replaces.
  QString GetFinalDestPath();
  // The file's source path: IncludeFromDir/FileName, a relative
  // IncludeFromDir taken from the setup program's folder.
  QString SourcePath() const;
  // The file's key in its archive (ArchiveKeyOf), or the name given with
  // SetArchiveName.
  QString ArchiveName() const;
  // Stores the file under name instead of its key.
  void SetArchiveName(const QString& name) { archiveName_ = name; }
  // The member of the compressor's archive that holds this file: its key,
  // or in an archive built before keys, the file name it was stored under
  // there; the key when neither is there.
  QString MemberIn(TOndxCompress& compressor) const;
  bool HasOwnNetArchive() const;
  // Applies the settings with one value changed, and what follows from them.
  void ApplyFileSettings(const TInstallFileSettings& settings);
  TInstallFileSettings CurrentSettings() const;
  void AskForDisk(TOndxCompress* sender, int disk, QString& path);
  void ReportStatus(TOndxCompress* sender, const TlzhFileStats& fileStats);
  void RegisterActiveX();
  void AfterInstallSteps();
  void InstallFromArchive(TOndxCompress& compressor);
  void ReadInfoFromArchiveFile(const QString& path);
  void WriteFileListRecord(TStream& stream);

  // Overrides.
  void SetDestDir(const QString& value) override;
  void SetDestDirType(TCustomPathSpecifier* value) override;
  int GetRegisteredType() const override { return rtInstallFile; }
  // The install of this file.
  void ProcessHelpers() override;
  void FinishAfterReboot() override;
  // Logs the file under its final name; a file whose install was called
  // off, or that is not on disk, is not logged.
  void WriteUninstallInfo(const QString& key) override;
  void SetContainer(TInstallContainer* value) override;
  QString GetExpandedArchiveFile() override;
  TCustomInstallFile* AsInstallFile() override { return this; }
  QString GetInstalledPath() override { return GetFinalDestPath(); }

  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TCustomInstallFile, TFileRelated>& b);
  // The properties and events that TInstallFile and TUninstallEXE publish;
  // they differ in Net's default.
  template <class Builder>
  static void PublishFileProperties(Builder& b, bool netDefault);
  // Whether the version block of the file at path asks for self-registration.
  static bool IsOLESelfRegisterFile(const QString& path);

 protected:
  void BeforeDestruction() override;
  void SetStateValue(TInstallFileState value) { state_ = value; }

 private:
  template <class Change>
  void ChangeSetting(Change change);
  void Install();
  void Skip();
  // The compressor that extracts this file: the global one when the file
  // comes from the TInstall's archive, else a new one (held in own).
  TOndxCompress& ExtractorFor(std::unique_ptr<TOndxCompress>& own);
  // The global compressor when path is the install's own archive, else a
  // new one held in own.
  static TOndxCompress& CompressorFor(const QString& path, std::unique_ptr<TOndxCompress>& own);
  void FetchArchive();
  // The in-use destination gets its replacement registered for the restart.
  void RegisterReplacement();
  void RegisterWithBatch(const QString& inUse, const QString& replacement);
  void ReportFinishedStatus(int code);
  void LeaveFileLists();
  // The compressor's error met while this file was read from archive (or
  // one of its parts), as the user is told it: IECustomInstallFile naming
  // the archive and the member and saying what to do.
  [[noreturn]] void RaiseUnpackError(const EOndxCompress& error, const QString& archive);
  // A build step in its state; EAbort ends it quietly, -996 follows.
  void BuildStep(TInstallFileState state, void (TCustomInstallFile::*step)());
  void DoCompress();
  void DoCopy();
  TFileContainer* FileContainer() const;

  bool destExists_ = false;
  bool replacedInUse_ = false;
  bool willInstall_ = false;
  bool activeX_ = false;
  int archivedSize_ = 0;
  std::uint8_t buildMark_ = 0;
  bool inNetArchive_ = false;
  QString compressedInto_;
  TDateTime date_ = 0;
  QString destName_;
  // The destination's name before it was in use: the name it has at the end.
  QString finalDestName_;
  QString fileName_;
  TInstallFileType fileType_ = iftNormal;
  QString includeFromDir_;
  QString archiveName_;
  TOverwriteType overwriteMode_ = owAlways;
  bool registerAsHelp_ = false;
  std::unique_ptr<TRepository> repository_;
  int size_ = 0;
  TInstallFileState state_ = ifsNone;
  bool updateDLLCounter_ = false;
  QString version_;
  bool inFileLists_ = false;
  // The install was called off before it began (no log entry then).
  bool installAborted_ = false;
};

template <class Builder>
void TCustomInstallFile::PublishFileProperties(Builder& b, bool netDefault) {
  using F = TCustomInstallFile;
  b.Property("ArchiveFile", &F::ArchiveFile, &F::SetArchiveFile);
  b.Property("ArchiveFileType", &F::ArchiveFileType, &F::SetArchiveFileType);
  b.Property("AddToArchive", &F::AddToArchive, &F::SetAddToArchive, kLzhCommandIdents)
      .Default(lzcOverwrite);
  b.Property("Net", &F::Net, &F::SetNet).Default(netDefault);
  b.Property("NetLocation", &F::NetLocation, &F::SetNetLocation);
  b.Property("ActiveX", &F::ActiveX, &F::SetActiveX).Default(false);
  b.Property("DestName", &F::DestName, &F::SetDestName);
  b.Property("FileName", &F::FileName, &F::SetFileName);
  b.Property("FileType", &F::FileType, &F::SetFileType, kInstallFileTypeIdents).Default(iftNormal);
  b.Property("IncludeFromDir", &F::IncludeFromDir, &F::SetIncludeFromDir);
  b.Property("OverwriteMode", &F::OverwriteMode, &F::SetOverwriteMode, kInstallFileOverwriteIdents)
      .Default(owAlways);
  b.Property("RegisterAsHelp", &F::RegisterAsHelp, &F::SetRegisterAsHelp).Default(false);
  b.Object("Repository", &F::Repository);
  b.Property("State", &F::State, &F::SetState, kInstallFileStateIdents).Default(ifsNone);
  b.Property("UpdateDLLCounter", &F::UpdateDLLCounter, &F::SetUpdateDLLCounter).Default(false);
  b.Event("OnAfterCompress", &F::OnAfterCompress);
  b.Event("OnAfterCopy", &F::OnAfterCopy);
  b.Event("OnAfterInstall", &F::OnAfterInstall);
  b.Event("OnBeforeCompress", &F::OnBeforeCompress);
  b.Event("OnBeforeCopy", &F::OnBeforeCopy);
  b.Event("OnBeforeInstall", &F::OnBeforeInstall);
  b.Event("OnStatus", &F::OnStatus);
  b.Event("OnNewDisk", &F::OnNewDisk);
  b.Event("OnReplacing", &F::OnReplacing);
}

// The published form of an install file; Net defaults to false.
class TInstallFile : public TCustomInstallFile {
 public:
  explicit TInstallFile(TComponent* owner);
  using TCustomInstallFile::TCustomInstallFile;

  static void DeclareProperties(TClassBuilder<TInstallFile, TCustomInstallFile>& b);
};

// A list of install files; it owns none of them.
class TCustomInstallFileList {
 public:
  // Index out of range: EListError.
  TCustomInstallFile* Get(int index) const;
  // nullptr: IECustomInstallFileList "Cannot add a blank entry to the
  // TCustomInstallFileList object".
  void Add(TCustomInstallFile* file);
  void Remove(TCustomInstallFile* file);
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  QList<TCustomInstallFile*> items_;
};

// The key under which a file from includeFromDir/fileName is stored in an
// archive: unique within it and naming nothing of the machine that built
// it. A relative folder (the script's own way of naming its files) gives
// the path from the script's folder, ".." steps included:
// "../game/trovaly". A folder named by its absolute path gives a digest of
// that path instead of the path: "9c1f0e2d4b6a8375/readme.txt". Build and
// install read the same script, so both find the same key wherever each
// runs. A key is never a path: extraction writes by its last component.
QString ArchiveKeyOf(const QString& includeFromDir, const QString& fileName);

// Registers the file group, the install file and the uninstaller classes
// for form files (idempotent).
void RegisterInstallFileClasses();
