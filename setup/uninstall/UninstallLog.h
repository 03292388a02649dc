#pragma once
// The uninstall log of one product, and the journal of what uninstall runs
// did with it.
//
// The log, under HKEY_LOCAL_MACHINE and the product's uninstall key K, as
// the install writes it (every value a string):
//   K "UninstallString"   the uninstaller's path, a blank, the product name
//   K\Files, K\Files1 ..  "File<n>" = path
//   K\ActiveX             "File<n>" = path;1 (a program) or path;0
//   K\RegistryKeys\RegistryKey<n>   "Key", "Root" (a TRootKeys number) and
//                         one value of K\...\Entries per value name written
// Every "File<n>" counts, whatever "Entries" says; an empty one names
// nothing.
//
// The journal, K\Uninstalled: one value per file that a run dealt with,
// named after the file's first record ("Files\File3"), holding
// "<state>;<path>":
//   unregistered  its self-registration was undone; the file is still to go
//   removed       the file is gone, with its shared count and help
//                 registration
//   shared        other programs count on it: its count was lowered once,
//                 and the file stays
// A file's step gives up its records (rewrites them empty, so that the log
// keeps its shape and the install's reading of it) and writes its journal
// value in the same registry transaction in which it changes the file's
// shared count: a file record is the install's claim on the count (an
// install counts a file it has not logged yet), given up once. Undoing a
// self-registration gives up the file's K\ActiveX records only. A run killed anywhere leaves each file's count changed together
// with its journal value, or neither; the next run goes on from there. An
// install over a partly removed product logs the files it puts back anew,
// so they are removed (and counted down) again. The journal goes with K
// when the uninstall is complete.

#include "installer/engine/routines_Registry.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One file the log still names, with its records.
struct TLoggedFile {
  QString path;
  // Its "File<n>" values: each a key below HKEY_LOCAL_MACHINE and the
  // value's name.
  QList<QPair<QString, QString>> records;
  // Journal values of earlier runs that name the path.
  QStringList journalValues;
  // The journal value the file's steps write.
  QString journalName;
  bool selfRegistered = false;
  bool program = false;
  // An earlier run undid its self-registration.
  bool unregistered = false;
};

// A file that earlier runs removed, or kept for other programs.
struct TJournaledFile {
  QString path;
  bool shared = false;
};

// A key the install wrote to, with the value names it wrote there.
struct TLoggedKey {
  TRootKeys root = hkLocalMachine;
  QString key;
  QStringList values;
};

struct TUninstallLog {
  QString key;
  QList<TLoggedFile> files;
  QList<TJournaledFile> done;
  QList<TLoggedKey> registry;
  // From "UninstallString"; empty when it does not end with the product.
  QString uninstaller;
};

TUninstallLog ReadUninstallLog(const QString& key, const QString& product);

// What the product's uninstall key K is.
QString UninstallLogKey(const QString& product);

// "UninstallString" is the program's path (unquoted), a blank and the
// product name; empty when it is not.
QString UninstallProgramOf(const QString& command, const QString& product);

// The shared-library count of path; nullopt when there is none (or it is
// not a number).
std::optional<int> SharedCount(const QString& path);

// Journals that the file's self-registration was undone. Raises when the
// registry cannot take it.
void JournalUnregistered(const TUninstallLog& log, TLoggedFile& file);

enum class TFileStep { Removed, Shared, NotRemoved, Taken };

// The file's step, in one transaction of HKEY_LOCAL_MACHINE: a count above
// 1 is lowered and the file stays (Shared); otherwise the file goes, with
// its count and its help registration (Removed). Its records are given up
// and its journal value written in the same transaction; beforeCommit runs
// last inside it. NotRemoved (with why) changes nothing in the registry;
// Taken: another run took the step since the log was read. Raises when
// the registry fails inside (nothing of the step is kept then).
TFileStep RemoveLoggedFile(const TUninstallLog& log, const TLoggedFile& file,
                           const std::function<void()>& beforeCommit, QString* why);

// What stays of a key after its logged values went.
struct TKeptKey {
  QString name;  // "HKEY_CURRENT_USER\Software\..."
  QStringList keys;
  QStringList values;
};

// Deletes the key's logged values, and the key when they were all it held;
// otherwise what it still holds. Nothing when the key is not there.
std::optional<TKeptKey> RemoveLoggedKey(const TLoggedKey& logged);
