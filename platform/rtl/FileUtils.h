#pragma once
// File and folder routines of the runtime library on POSIX files.
// Names are native paths with '/' as the delimiter. Routines that answer with
// a bool report failure with false and leave errno set.

#include "platform/rtl/DateTime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// File attributes. A name beginning with '.' counts as hidden; a file we may
// not write is read-only. Ordinary files carry no attribute bits.
inline constexpr int faReadOnly = 0x01;
inline constexpr int faHidden = 0x02;
inline constexpr int faSysFile = 0x04;
inline constexpr int faVolumeID = 0x08;
inline constexpr int faDirectory = 0x10;
inline constexpr int faArchive = 0x20;
inline constexpr int faAnyFile = 0x3F;

// True for an existing file that is not a folder.
bool FileExists(const QString& fileName);
bool DirectoryExists(const QString& dir);
// Creates dir and every missing folder above it; false for "" or on failure.
bool ForceDirectories(const QString& dir);
bool CreateDir(const QString& dir);
bool RemoveDir(const QString& dir);
bool DeleteFile(const QString& fileName);
// Fails when newName exists already.
bool RenameFile(const QString& oldName, const QString& newName);
// Copies through a TAtomicFile (AtomicFile.h), so dst is either the old or
// the whole new file; keeps src's modification time.
// Refuses to copy a file onto itself and, with failIfExists, onto any file.
bool CopyFile(const QString& src, const QString& dst, bool failIfExists);

// Modification time in whole seconds; -1 when the file does not exist.
TDateTime FileAge(const QString& fileName);
// Sets the modification time; 0 on success, else the errno value.
int FileSetDate(const QString& fileName, TDateTime age);
// The fa* bits of a file or folder; -1 when it does not exist.
int FileGetAttr(const QString& fileName);

// One entry found by FindFirst/FindNext.
struct TSearchRec {
  QString Name;  // without folder
  std::int64_t Size = 0;
  TDateTime Time = 0;  // modification time, whole seconds
  int Attr = 0;
  // The search's state: names not yet returned, their folder, and the
  // attributes that exclude an entry.
  QStringList Pending;
  QString Folder;
  int ExcludeAttr = 0;
};

// Searches the folder of path for names matching its last part, a mask of
// '*' and '?' compared without regard to case ("*.*" matches every name).
// Ordinary files are always found; hidden files, system files and folders
// only when attr asks for them. "." and ".." are never returned.
// Result: 0 when an entry was found, 2 when none matched, 3 when the folder
// does not exist; FindNext gives 18 when no more entries are left.
int FindFirst(const QString& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);
// The mask rule FindFirst uses.
bool MatchesMask(const QString& name, const QString& mask);

QString GetCurrentDir();
bool SetCurrentDir(const QString& dir);
// The folder for temporary files ($TMPDIR, else /tmp), with a trailing '/'.
QString GetTempDir();
// Creates a new empty file dir/prefixXXXX.tmp that did not exist before
// (exclusive create) and returns its full name; raises EFCreateError when
// no file can be created.
QString CreateTempFile(const QString& dir, const QString& prefix);
// The absolute form of fileName with "." and ".." resolved (links are kept).
QString ExpandFileName(const QString& fileName);
// Bytes available to us on the file system holding path; -1 on failure.
std::int64_t DiskFree(const QString& path);
// Tests: a hook that DiskFree asks first; a value of -2 or less leaves the
// answer to the file system. Cleared by ResetProcessState.
void SetDiskFreeHook(std::function<std::int64_t(const QString&)> hook);

// Replaces the contents of fileName with data through WriteFileAtomically
// (AtomicFile.h): the old file stays intact when anything fails; keeps the
// mode of an existing file and writes through a symbolic link to its target.
// Raises EAtomicFileError, an EFCreateError "Cannot create file \"%s\". %s".
void ReplaceFileContents(const QString& fileName, const QByteArray& data);
