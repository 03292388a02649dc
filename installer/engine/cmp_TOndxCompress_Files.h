#pragma once
// TOcReplacingFile: a file written under a temporary name in the folder of
// its target and renamed over the target only by Commit, so the old file
// stays whole when anything fails before. The temporary file is removed
// unless committed.

#include "installer/engine/cmp_TOndxCompress_Streams.h"

#include <QString>

#include <optional>

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
  // execute bits for programs), flushes it and renames it over the target.
  void Commit(std::optional<unsigned> mode = std::nullopt);

 private:
  QString target_;
  QString tempName_;
  TOndxFile file_;
  bool committed_ = false;
};

// True for content that starts like a program: ELF magic or "#!".
bool OcIsProgram(const QByteArray& head);
// Permissions of a new file under the process umask: 0666, programs 0777.
unsigned OcNewFileMode(bool program);
// The permission bits of a file; nullopt when they cannot be read.
std::optional<unsigned> OcFileMode(const QString& path);
// A scratch file in the temporary folder, removed on destruction.
class TOcScratchFile {
 public:
  // Raises EOndxCompress "Cannot create the file %s".
  TOcScratchFile();
  TOcScratchFile(const TOcScratchFile&) = delete;
  TOcScratchFile& operator=(const TOcScratchFile&) = delete;
  ~TOcScratchFile();
  TOndxFile& File() { return file_; }

 private:
  QString name_;
  TOndxFile file_;
};
