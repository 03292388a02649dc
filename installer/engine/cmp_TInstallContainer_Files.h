#pragma once
// File containers: TFileRelated (an install object tied to an archive,
// optionally fetched over the network), TFileContainer (holds install files
// and further containers, installs them as one group, keeps the byte totals
// of its operations and turns its files' information codes into its own
// events and stage broadcasts) and TInstallFileGroup, the file group of an
// installation script. Part of the install object model's unit
// (cmp_TInstallContainer).
//
// The archive of a file-related object is ArchiveFileType's path followed by
// ArchiveFile; files take their container's archive by default
// (psContainerArchiveFile). Extraction goes through the archive compressor,
// which writes every file under a temporary name and renames it over the
// old one only when it is complete, so a failed or cancelled install leaves
// every existing file as it was.

#include <QString>
#include <cstdint>
#include <memory>

#include "installer/engine/cmp_TInstallContainer.h"
#include "platform/rtl/StringList.h"

class TNetInstallLocation;
class TOndxCompress;

enum TlzhCommand { lzcOverwrite = 0, lzcOnlyAdd = 1 };
enum TFileContainerState { fcsNone = 0, fcsCompress = 1, fcsInstall = 2, fcsCopy = 3 };
extern const TEnumInfo kLzhCommandIdents;
extern const TEnumInfo kFileContainerStateIdents;

// Options of Compress, by bit.
using TCompressOptions = std::uint32_t;
inline constexpr TCompressOptions coRebuildOtherArchives = 1u << 1;  // re-home foreign archives
inline constexpr TCompressOptions coBuildBit2 = 1u << 2;             // passed by the build, unused
inline constexpr TCompressOptions coForceNetFilesLocal = 1u << 3;
inline constexpr TCompressOptions coForceFilesNet = 1u << 4;
inline constexpr TCompressOptions coIncludeExcluded = 1u << 5;

// The install record's sub-key value that names a downloaded archive.
inline constexpr char kLocalFileValue[] = "LocalFile";

// ---------------------------------------------------------------------------

class TFileRelated : public TInstallObject {
 public:
  explicit TFileRelated(TComponent* owner);

  bool ArchiveFileTypeAssigned() const { return archiveFileTypeAssigned_; }
  bool ArchiveFileTypePending() const { return archiveFileTypePending_; }
  QString LocalArchive() const { return localArchive_; }
  void SetLocalArchive(const QString& value) { localArchive_ = value; }
  TlzhCommand AddToArchive() const { return addToArchive_; }
  void SetAddToArchive(TlzhCommand value) { addToArchive_ = value; }
  QString ArchiveFile() const { return archiveFile_; }
  TCustomPathSpecifier* ArchiveFileType() const { return archiveFileType_; }
  bool Net() const { return net_; }
  TNetInstallLocation* NetLocation() const { return netLocation_; }

  TDataReceivedEvent OnDataReceived;

  // Virtual operations, in slot order.
  virtual void DataReceived(TObject* sender, const QString& fileName, int bytes, int totalBytes,
                            int fileSize, const char* buffer);
  virtual void DownloadArchive();
  virtual bool IsArchiveLocal();
  // Records path as this object's downloaded archive in the install record.
  virtual void SetLocalFile(const QString& path);
  virtual void SetArchiveFile(const QString& value);
  virtual void SetArchiveFileType(TCustomPathSpecifier* value);
  virtual void SetNet(bool value);
  virtual void SetNetLocation(TNetInstallLocation* value);
  // ArchiveFileType's path for this object followed by ArchiveFile (or
  // ArchiveFile alone), one trailing delimiter removed.
  QString GetExpandedArchiveFile() override;

  // The archive recorded as downloaded for this object (it must exist).
  bool GetRecordedLocalFile(QString& path);
  // object's own location, its file container's, or the global one.
  static TNetInstallLocation* FindNetLocation(TInstallContainer* object);
  // The folder of this object's archives on the server, as a relative path.
  QString GetNetArchivePath();

  TFileRelated* AsFileRelated() override { return this; }
  void SetContainer(TInstallContainer* value) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TFileRelated, TInstallObject>& b);

  // Store without checks (a build re-homes archives for its duration).
  void StoreArchiveFileType(TCustomPathSpecifier* value) { archiveFileType_ = value; }
  void StoreArchiveFile(const QString& value) { archiveFile_ = value; }

 protected:
  // True for the specifiers under which ArchiveFile stays empty.
  static bool IsArchiveOfContainer(const TCustomPathSpecifier* value);

 private:
  bool archiveFileTypeAssigned_ = false;
  bool archiveFileTypePending_ = false;
  QString localArchive_;
  TlzhCommand addToArchive_ = lzcOverwrite;
  QString archiveFile_;
  TCustomPathSpecifier* archiveFileType_ = nullptr;
  bool net_ = true;
  TNetInstallLocation* netLocation_ = nullptr;
};

// ---------------------------------------------------------------------------

class TFileContainer : public TFileRelated {
 public:
  explicit TFileContainer(TComponent* owner);
  ~TFileContainer() override;

  int TotalSize() const { return totalSize_; }
  int DoneBytes() const { return doneBytes_; }
  bool AllowChangeDir() const { return allowChangeDir_; }
  void SetAllowChangeDir(bool value) { allowChangeDir_ = value; }
  bool AllowChoice() const { return allowChoice_; }
  void SetAllowChoice(bool value) { allowChoice_ = value; }
  TStrings* Description() const { return description_.get(); }
  void SetDescription(TStrings* value);
  QString GroupName() const { return groupName_; }
  void SetGroupName(const QString& value) { groupName_ = value; }
  TFileContainerState State() const { return state_; }

  TInstallFileStatusEvent OnStatus;
  TInstallFileNewDiskEvent OnNewDisk;
  TInstallFileNotifyEvent OnReplacing;
  TAfterProcessFilesEvent OnCloseCopyFileDlg;
  TInstallContainerNotifyEvent OnShowCopyFileDlg;

  // Virtual operations, in slot order.
  virtual void DoNewDisk(TCustomInstallFile* file, TDiskParameter* parameter);
  virtual void DoReplacing(TCustomInstallFile* file);
  virtual void DoStatus(TCustomInstallFile* file, TFileStatusParameter* parameter);
  // Bytes of the files selected for install (all with all), with those of
  // the selected (or all) sub-containers when withSubgroups.
  virtual int GetSize(bool all, bool withSubgroups);
  // Runs the operation of value (a design-time command); fcsNone after.
  // Ignored while loading: a script is never run by being read.
  virtual void SetState(TFileContainerState value);
  virtual void PrepareFiles();
  virtual void FreeFiles();
  virtual void Compress(TCompressOptions options);
  // The file whose "IncludeFromDir/FileName" is key (without regard to case).
  virtual TCustomInstallFile* FindFile(const QString& key);
  virtual int GetArchivedSize(bool all);
  virtual QString GetLocalArchivePath();
  virtual int GetSizeOwn(bool all) { return GetSize(all, false); }
  virtual int GetSizeAll(bool all) { return GetSize(all, true); }
  virtual void ReadInfoFromArchive();
  virtual void ReadFileInfo();
  virtual bool NeedsNetLocation();

  int FileCount() const;
  TCustomInstallFile* GetFile(int index) const;
  bool HasNetFiles() const;

  int GetRegisteredType() const override { return rtFileContainer; }
  TFileContainer* AsFileContainer() override { return this; }
  void DoInformationEventControl(TInstallContainer* sender, int code, TObject* po) override;
  // The group install; ends in the base step.
  void ProcessHelpers() override;

  static void DeclareProperties(TClassBuilder<TFileContainer, TFileRelated>& b);

 protected:
  void SetStateValue(TFileContainerState value) { state_ = value; }
  void BeforeDestruction() override;

 private:
  // The sizes of the selected (or all) files, with the sub-containers'.
  int SumOver(bool all, bool withSubgroups, int (TCustomInstallFile::*size)() const,
              int (TFileContainer::*groupSize)(bool, bool));
  int ArchivedSizeOf(bool all, bool withSubgroups);
  bool HoldsHelper(const TInstallObject* helper) const;
  // Each file's step, then each sub-container's.
  void ForFilesThenGroups(void (TCustomInstallFile::*fileStep)(),
                          void (TFileContainer::*groupStep)());
  void StatusCode(int code, TObject* po);
  void DiskCode(TObject* po);
  void FinishedFileCode(TObject* po);
  void PercentOf(TFileStatusParameter& parameter) const;
  // The start of a copy or build: false when the container is excluded.
  bool BeginBuildStep(bool all);
  void DoCompress(TCompressOptions options);
  // The archive a helper is compressed into for the duration (Compress step 6).
  void RouteHelper(TFileRelated* helper, TCompressOptions options);
  QString OwnNetArchive(TFileRelated* helper) const;

  int totalSize_ = 0;
  int doneBytes_ = 0;
  bool allowChangeDir_ = true;
  bool allowChoice_ = true;
  std::unique_ptr<TStringList> description_;
  QString groupName_;
  TFileContainerState state_ = fcsNone;
};

// ---------------------------------------------------------------------------

class TInstallFileGroup : public TFileContainer {
 public:
  explicit TInstallFileGroup(TComponent* owner);

  // Frees, last first, every file whose source is missing.
  void RemoveMissingFiles();

  static void DeclareProperties(TClassBuilder<TInstallFileGroup, TFileContainer>& b);
};
