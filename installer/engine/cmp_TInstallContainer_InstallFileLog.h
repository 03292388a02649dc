#pragma once
// What an install file records outside itself: its uninstall-log entries,
// the shared-library counts, the help registration, the names and lines of
// a replacement after the restart, and its record in the remote file list.
// Part of the install object model's unit (cmp_TInstallContainer).
//
// Uninstall log, under HKEY_LOCAL_MACHINE and the product's uninstall key K,
// every value a string:
//   K\ActiveX  "Entries" = n, "File1" .. "File<n>" = path;1 (a program) or path;0
//   K\Files    "Entries" = n, "File1" .. "File<n>" = path; when K\Files takes
//              no more, K\Files1, K\Files2, ... up to kLogFileKeys keys
// A record is written before its count, so a run killed between the two
// leaves a count that names only complete records. A count that is not a
// number from 0 to kLogEntriesPerKey - 1 marks a key that takes no more.
// A path is named once: installing again (over an installed product, or
// after a killed run) finds its counted record and adds none.

#include <QString>
#include <QStringList>

inline constexpr char kSharedDLLsKey[] =
    "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
inline constexpr char kHelpKey[] = "\\SOFTWARE\\Microsoft\\Windows\\Help";
inline constexpr int kLogFileKeys = 100;
inline constexpr int kLogEntriesPerKey = 1000000;
// Names tried for a file in use: its name with the extensions .1 to .999.
inline constexpr int kInUseNames = 999;

// Whether K\Files (or a numbered key after it) names path.
bool IfFileLogged(const QString& uninstallKey, const QString& path);
// Appends path to K\Files (or the first numbered key that takes it) unless
// one of those keys names it. Every key full or unwritable:
// EIRCannotWriteValue of the last key tried.
void IfLogInstalledFile(const QString& uninstallKey, const QString& path);
// Appends path;1 (program) or path;0 to K\ActiveX, or rewrites the record
// that names path; a full or unwritable key raises EIRCannotWriteValue.
void IfLogSelfRegisteringFile(const QString& uninstallKey, const QString& path, bool program);

// Adds one to the shared-library count of the file: the value named by the
// short path when it holds a number, else the value named by the long path
// (missing counts 0). False when the SharedDLLs key cannot be opened; a
// failed write raises EIRCannotWriteValue.
bool IfIncrementSharedCount(const QString& shortPath, const QString& longPath);

// The help registration: value upper-cased destName = folder.
void IfRegisterHelpFile(const QString& destName, const QString& folder);

// The name under which a file in use is installed beside it: destName with
// its extension replaced by .1, .2, ..., the first that is no file or folder
// in folder. Empty when all kInUseNames are taken.
QString IfInUseName(const QString& folder, const QString& destName);

// A path quoted for a batch line or a WININIT.INI entry.
QString IfQuotedPath(const QString& path);
// The lines of the replacement batch: erase the file in use, then move the
// new file onto its name; both paths quoted.
QStringList IfReplaceBatchLines(const QString& inUse, const QString& replacement);
