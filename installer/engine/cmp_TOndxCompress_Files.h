#pragma once
// TOcReplacingFile: a file written under a temporary name in the folder of
// its target and renamed over the target only by Commit, so the old file
// stays whole when anything fails before. The temporary file is removed
// unless committed; one left by a killed writer is removed by the next
// writer in that folder (OcRemoveStaleTemporaries).
//
// TOcSyncBatch: new files whose sync waits for the end of a batch. A file
// that replaces an existing one is synced before the rename (else a crash
// could leave neither the old nor the new contents); a file that replaces
// nothing risks nothing before the batch ends, so its data and the folder
// entries are synced once for the batch.

#include "installer/engine/cmp_TOndxCompress_Streams.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <set>

class TOcSyncBatch {
 public:
  void AddFile(const QString& path);
  // True when the folder is new to the batch.
  bool AddFolder(const QString& path);
  // A folder about to be created, with every missing parent and the
  // existing parent that gets its entry.
  void AddNewFolders(const QString& path);
  bool IsEmpty() const { return files_.empty() && folders_.empty(); }
  // fsyncs every file, then every folder, and empties the batch. On a
  // failure, false with the path and errno (the batch is emptied all the
  // same: the failure has been reported). Files gone meanwhile are skipped.
  bool Sync(QString& failedPath, int& error);

 private:
  std::set<QString> files_;
  std::set<QString> folders_;
};

class TOcReplacingFile {
 public:
  // Raises EOndxCompress "Cannot create the file %s" with target.
  explicit TOcReplacingFile(const QString& target);
  TOcReplacingFile(const TOcReplacingFile&) = delete;
  TOcReplacingFile& operator=(const TOcReplacingFile&) = delete;
  ~TOcReplacingFile();

  TOndxFile& File() { return file_; }
  const QString& TempName() const { return tempName_; }
  const QString& Target() const { return target_; }
  // Gives the file its permissions (mode, or the new-file default with the
  // execute bits for programs) and renames it over the target. Without a
  // batch, or when a file is replaced, the data is synced first; else the
  // file and its folder join the batch.
  void Commit(std::optional<unsigned> mode = std::nullopt, TOcSyncBatch* batch = nullptr);

 private:
  QString target_;
  QString tempName_;
  TOndxFile file_;
  bool committed_ = false;
};

// Removes the temporary files of TOcReplacingFile in folder whose writer
// process is gone (and that no process holds locked).
void OcRemoveStaleTemporaries(const QString& folder);

// True for content that starts like a program: ELF magic or "#!".
bool OcIsProgram(const QByteArray& head);
// Permissions of a new file under the process umask: 0666, programs 0777.
unsigned OcNewFileMode(bool program);
// The permission bits of a file; nullopt when they cannot be read.
std::optional<unsigned> OcFileMode(const QString& path);
