#pragma once
// TOndxCompress: writes the installer's archives (Add), reads them
// (Extract, FileCount, GetFileStats, IndexOf), splits them over disks
// (SplitToDisks) and copies plain files with the same progress reporting
// (CopyOneFile). The format is described in cmp_TOndxCompress_Format.h.
//
// Disks are folders: the part of disk n is looked for, or written, in the
// folder that OnNewDisk answers. Long work polls Abort and lets the install
// host process the window messages (ProcessInstallMessages) after every block.
//
// A file being written (extracted target, copy target, new archive) is
// written under a temporary name in its folder and renamed over the old one
// only when it is complete, so an error or an abort leaves the old file.
// A file that replaces another is synced before the rename; new files are
// synced together at the end of Extract and CopyOneFile (SyncWrittenFiles).

#include "installer/engine/cmp_TOndxCompress_Format.h"
#include "installer/engine/cmp_TOndxCompress_Overwrite.h"
#include "installer/engine/cmp_TOndxCompress_Stats.h"
#include "installer/engine/cmp_TOndxCompress_Streams.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

enum TCompressionLevel { colNone, colFastest, colDefault, colMax };

class TOndxCompress;
class TOcSyncBatch;
class TSplitParts;

using TlzhFileStatsEvent = std::function<void(TOndxCompress* sender, const TlzhFileStats& fileStats)>;
using TlzhNewDiskEvent = std::function<void(TOndxCompress* sender, int diskNumber, QString& path)>;

class TOndxCompress : public TComponent {
 public:
  explicit TOndxCompress(TComponent* owner);
  ~TOndxCompress() override;

  // The process-wide compressor: the first one created, until it is freed.
  static TOndxCompress* Global();

  // Published properties.
  bool Abort() const { return abort_; }
  void SetAbort(bool value) { abort_ = value; }
  QString CompressedFile() const { return compressedFile_; }
  void SetCompressedFile(const QString& value);
  TCompressionLevel CompressionLevel() const { return level_; }
  void SetCompressionLevel(TCompressionLevel value) { level_ = value; }
  QString ExtractDirectory() const { return extractDirectory_; }
  void SetExtractDirectory(const QString& value) { extractDirectory_ = value; }
  TStrings* FilesToProcess() const { return filesToProcess_.get(); }
  // Takes the lines of value that are not blank.
  void SetFilesToProcess(const TStrings& value);
  int Offset() const { return offset_; }
  void SetOffset(int value) { offset_ = value; }
  TOverwriteType Overwrite() const { return overwrite_; }
  void SetOverwrite(TOverwriteType value) { overwrite_ = value; }

  TNotifyEvent OnAborted;
  TlzhFileStatsEvent OnAfterAdding;
  TlzhFileStatsEvent OnBeforeAdding;
  TlzhFileStatsEvent OnAfterExtracting;  // never fired by the operations
  TlzhFileStatsEvent OnBeforeExtracting;
  TlzhFileStatsEvent OnListing;  // never fired by the operations
  TlzhFileStatsEvent OnReplace;
  TlzhFileStatsEvent OnStatus;
  TNotifyEvent OnFullDisk;
  TlzhNewDiskEvent OnNewDisk;

  // Public, not published.
  QString DestFileName() const { return destFileName_; }
  void SetDestFileName(const QString& value) { destFileName_ = value; }
  bool SkipFile() const { return skipFile_; }
  void SetSkipFile(bool value) { skipFile_ = value; }

  // Free bytes left on the volume holding a folder, asked before every
  // write; -1 (and the default, no hook) leaves it to the file system.
  std::function<std::int64_t(const QString& folder)> FreeSpaceHook;

  int FileCount();
  void GetFileStats(int index, TlzhFileStats& stats);
  int IndexOf(const QString& name);
  // Compresses each entry "path" or "path;name" of FilesToProcess, stored
  // under name when given (else under path); a name the archive holds
  // already raises "The file %s is already in the compressed file %s", one
  // longer than 100 bytes "The name %s is longer than the 100 bytes that
  // the compressed file holds for a name", before anything is written.
  void Add(bool append);
  // Its errors name their kind by class: EocDamaged (the archive's bytes),
  // EocNotInArchive, EocCannotOpenArchive, EocWrongDisk (a part not found),
  // EocCannotWrite (the target), EocDiskFull; others are EOndxCompress.
  void Extract();
  void SplitToDisks(const QString& destDir, const QString& fileName);
  void CopyOneFile(const QString& source, const QString& dest);
  // OnFullDisk when assigned, else EocDiskFull "The disk is full". When the
  // handler returns, the running operation ends silently (EAbort).
  virtual void DiskFull();
  // Syncs the new files that Extract and CopyOneFile wrote since the last
  // call, and the folders that hold the files written, before the batch
  // counts as done; both operations end with it. A full disk is DiskFull,
  // another failure EOndxCompress "Cannot create the file %s".
  void SyncWrittenFiles();
  // While held, Extract and CopyOneFile leave their new files to the batch:
  // a run of many of them (an install) is synced once, by the
  // SyncWrittenFiles that follows the release.
  void HoldSync(bool held) { syncHeld_ = held; }

  static void DeclareProperties(TClassBuilder<TOndxCompress, TComponent>& builder);

 private:
  enum TMode { mdNone, mdAdding, mdExtracting };

  // Operation frame: Abort reset; EocAborted fires OnAborted, EAbort ends
  // silently, anything else sets Abort and propagates.
  void RunOperation(const std::function<void()>& body);
  void LoadHeaders();
  void EnsureHeaders();
  void StatsFromHeader(const TFileHeaderRec& rec);
  void StatsTotals();
  void Fire(const TlzhFileStatsEvent& event);
  void CheckAbort() const;
  static void PumpMessages();
  // Writes through FreeSpaceHook; the bytes written.
  std::int64_t WriteLimited(TOndxFile& file, const void* data, std::int64_t size);
  // Opens the part of disk d into file (the disk parts rule); numbered
  // parts take the disk as extension; path is updated to the part found.
  void OpenPart(TOndxFile& file, QString& path, int disk, TOndxFile::TMode mode, bool numbered);
  // OpenPart of disk for reading, from CompressedFile; CompressedFile is the
  // part's path afterwards, found or not.
  void OpenReadPart(TOndxFile& part, int disk);

  void DoAdd(bool append);
  void AddAll(TOndxFile& out);
  TFileHeaderRec NewHeader(const QString& name, const QString& storedName, int number);
  void AddMember(TFileHeaderRec& rec, const QString& path, TOndxFile& out);
  std::int64_t CompressInto(TOndxFile& source, TOndxFile& out, std::int64_t size,
                            std::int64_t start);
  // position: source bytes read; packed: compressed bytes written.
  void AddProgress(std::int64_t position, std::int64_t packed);

  void DoExtract();
  void ExtractOne(const QString& entry);
  // The target for DestFileName; an unusable name raises "Cannot create".
  QString CheckedTarget() const;
  // Applies an overwrite decision for an existing target: 0 raises, 2
  // fires OnReplace and renews target, anything else keeps the file (false).
  bool AcceptReplace(int decision, QString& target);
  void ExtractMember(const TFileHeaderRec& rec, const QString& target);
  void Inflate(const TFileHeaderRec& rec, TOndxFile& part, TOndxFile& target);
  void FillInput(const TFileHeaderRec& rec, TOndxFile& part, char* buffer, std::int64_t& got);
  bool InputUsedUp(const TFileHeaderRec& rec, TOndxFile& part) const;
  // The events of one inflated chunk (Abort, messages, status).
  void ExtractChunk(int size);
  // Writes gathered chunks; a short write is DiskFull.
  void WriteOut(TOndxFile& target, const char* data, std::int64_t size);

  void CopyContents(const QString& source, const QString& target);

  void DoSplit(const QString& destDir, const QString& fileName);
  // One block of a member's data to the current part; 0 when the member is
  // done. destDir and the part file follow the disks asked for.
  std::int64_t SplitStep(TOndxFile& source, std::int64_t lastByte, TOndxFile& part,
                         QString& destDir, const QString& fileName, TSplitParts& parts);
  void CreatePart(TOndxFile& part, const QString& path, TSplitParts& parts);
  void ClosePart(TOndxFile& part);
  // FreeSpaceHook's answer, else what the file system has free.
  std::int64_t FreeBytes(const QString& folder) const;

  bool abort_ = false;
  QString compressedFile_;
  TCompressionLevel level_ = colMax;
  QString extractDirectory_;
  std::unique_ptr<TStringList> filesToProcess_;
  int offset_ = 0;
  TOverwriteType overwrite_ = owAlways;
  QString destFileName_;
  bool skipFile_ = false;

  TMode mode_ = mdNone;
  int currentDisk_ = 0;
  bool headersLoaded_ = false;
  TFileHeaders headers_;
  TlzhFileStats stats_;
  std::unique_ptr<TOcSyncBatch> written_;
  bool syncHeld_ = false;
};
