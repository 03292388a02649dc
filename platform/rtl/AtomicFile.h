#pragma once
// Replacing a file so that it is always either its old or its whole new self.
//
// The new content goes to a temporary file in the target's folder, named
// ".<name>.<pid>.<six hex digits>.tmp" after the target and the writing
// process. Every write is checked; Commit syncs the temporary, gives it the
// old file's mode, renames it over the target and syncs the folder, so the
// rename itself survives a crash. Until the rename any failure removes the
// temporary, leaves the target byte-identical and raises EAtomicFileError
// with the system's text; only a failing sync of the folder after the rename
// raises with the new content already in place.
//
// A symbolic link is replaced through its target, so the link survives.
// Temporaries of writers that died before their rename (their process no
// longer exists) are removed when the next writer of the same file opens;
// RemoveStaleTemporaries does the same for readers that want a clean folder.
// A process id from another pid namespace sharing the folder counts as dead.

#include "platform/rtl/Exceptions.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Message "Cannot create file \"%s\". %s" (the file, the system's text).
class EAtomicFileError : public EFCreateError {
 public:
  EAtomicFileError(const QString& fileName, int code);
  const QString& FileName() const { return fileName_; }
  // The errno value and its text ("No space left on device").
  int ErrorCode() const { return code_; }
  QString SystemText() const;

 private:
  QString fileName_;
  int code_;
};

class TAtomicFile {
 public:
  // Creates the temporary (EAtomicFileError when it cannot be created).
  explicit TAtomicFile(const QString& fileName);
  // Removes the temporary unless committed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  void Write(const char* data, qint64 size);
  void Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }

  // The temporary, for writers that fill it through a name of their own;
  // what they write is synced through Handle() on Commit.
  const QString& TempName() const { return tempName_; }
  int Handle() const { return fd_; }
  // The mode the file gets instead of the old file's (a new file gets
  // 0666 less the umask).
  void SetMode(unsigned mode) { mode_ = mode; }

  // With replaceExisting false an existing target is left alone and the
  // commit fails with EEXIST.
  void Commit(bool replaceExisting = true);

 private:
  [[noreturn]] void Fail(int code);

  QString fileName_;  // as given, for messages
  QString target_;    // the file actually replaced
  QString tempName_;
  int fd_ = -1;
  std::optional<unsigned> mode_;
  bool committed_ = false;
};

// Writes data as the whole new content of fileName through a TAtomicFile.
void WriteFileAtomically(const QString& fileName, const QByteArray& data);

// Removes the temporaries TAtomicFile left for fileName in writers that no
// longer run; never raises.
void RemoveStaleTemporaries(const QString& fileName);
