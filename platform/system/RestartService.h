#pragma once
// Replacing files at the next restart, and commands run once then.
//
// Nothing restarts the machine: what Windows does while it restarts is done
// at the next login by our runner program (kRestartRunnerName), which an
// XDG autostart entry ($XDG_CONFIG_HOME/autostart/<runner>.desktop) starts.
// The runner a program carries sits beside it (a setup's temporary folder,
// an installed product's folder); registering any pending work places a
// copy of it in a folder of ours that stays (RestartRunnerFolder()) and
// writes the entry naming that copy (atomically); the runner removes the
// entry once nothing is left. Tests run the runner, or RunRestartWork,
// directly.
//
// The pending work, in the order the runner does it:
//   1. moves and deletes registered by MoveFileEx with
//      MOVEFILE_DELAY_UNTIL_REBOOT, in the order they were registered; each
//      is one value of kPendingMovesKey under HKEY_LOCAL_MACHINE (REG_MULTI_SZ
//      of three strings: the flags in decimal, the source, the target, empty
//      for a delete), written in one registry transaction;
//   2. the lines of the "[Rename]" section of WININIT.INI in the "Windows"
//      folder (IniWindowsFolder()), in file order: "target=source" replaces
//      target by source; "NUL=path" deletes path; either side may be in
//      double quotes;
//   3. the commands of the RunOnce keys (kRunOnceKeyPath) under
//      HKEY_LOCAL_MACHINE, then HKEY_CURRENT_USER, in value order; each is
//      a Windows-style command line (CommandLine.h), started in its
//      program's folder and waited for. A command naming a ".bat" file is a
//      batch of ERASE (DEL) and MOVE lines with optional quotes, which the
//      runner carries out itself; an ERASE of a file that the next line
//      moves a file onto is left to that move, so the old file stays until
//      its replacement is in place.
//
// Every move is safe: a rename on one file system; across file systems a
// copy into a temporary beside the target, synced and renamed over it,
// before the source goes. Paths are absolute (MoveFileEx makes them so; a
// relative one in WININIT.INI or a batch fails). A delete of what is
// already gone is done; a move whose source is gone is skipped and no
// longer pending (nothing is left to move). A step that fails stays pending (its value, its
// line) and is reported; the rest go on. A RunOnce value goes once its
// command has started (or its batch has run through).

#include "platform/rtl/WinError.h"

#include <QString>

#include <vector>

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x00000001;
inline constexpr DWORD MOVEFILE_COPY_ALLOWED = 0x00000002;
inline constexpr DWORD MOVEFILE_DELAY_UNTIL_REBOOT = 0x00000004;
inline constexpr DWORD MOVEFILE_WRITE_THROUGH = 0x00000008;

inline constexpr char kPendingMovesKey[] =
    "\\System\\CurrentControlSet\\Control\\Session Manager\\PendingFileRenameOperations";
inline constexpr char kRunOnceKeyPath[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr char kWininitFileName[] = "WININIT.INI";
inline constexpr char kWininitRenameSection[] = "Rename";
inline constexpr char kRestartRunnerName[] = "qxrunonce";

// Moves existingFileName to newFileName; an empty newFileName deletes it.
// Without MOVEFILE_DELAY_UNTIL_REBOOT the move is done now (across file
// systems only with MOVEFILE_COPY_ALLOWED); with it the move is registered
// for the runner and the autostart entry written. An existing target is
// replaced only with MOVEFILE_REPLACE_EXISTING (a delayed move checks that
// when it is carried out). A missing source fails at once. Returns false
// and sets GetLastError() (LastError.h) on failure; never raises.
bool MoveFileEx(const QString& existingFileName, const QString& newFileName, DWORD flags);

// A registered delayed move or delete.
struct TPendingMove {
  QString id;  // its value name under kPendingMovesKey
  QString source;
  QString target;  // empty: delete source
  DWORD flags = 0;
};

// The registered delayed moves, in registration order (values that are not
// well-formed records are left out).
std::vector<TPendingMove> PendingMoves();

// The WININIT.INI whose "[Rename]" section the runner reads.
QString WininitPath();

// Adds the line target=source to the "[Rename]" section of WININIT.INI
// (target "NUL" deletes source), each path in double quotes, keeping every
// line already there (several "NUL=" lines included), then writes the
// autostart entry. Raises EIniFileException or EAtomicFileError.
void AddWininitRename(const QString& target, const QString& source);

// Places the runner (PlaceRestartRunner) and writes its autostart entry
// (for work that a caller registered itself, such as a RunOnce value).
// Raises EAtomicFileError.
void ScheduleRestartRunner();

// The folder of ours where the runner stays while work waits for it:
// $XDG_DATA_HOME/qx/bin. Whatever else placed the runner there, it is the
// one place to look for it (an uninstaller removes it from there once
// RestartWorkPending() is false).
QString RestartRunnerFolder();

// The runner that the autostart entry starts: kRestartRunnerName in
// RestartRunnerFolder().
QString RestartRunnerPath();

// The runner carried beside the running program: kRestartRunnerName in its
// folder (empty when there is none).
QString CarriedRestartRunnerPath();

// Copies the carried runner to RestartRunnerPath() (atomically, executable)
// when it is not there or differs; a runner already placed stays when the
// running program carries none. Raises EAtomicFileError when there is no
// runner to place.
void PlaceRestartRunner();

// Work is registered for the runner (delayed moves, WININIT.INI lines,
// RunOnce commands). Raises when a store cannot be read.
bool RestartWorkPending();

// $XDG_CONFIG_HOME/autostart/<runner>.desktop.
QString RestartRunnerAutostartPath();

enum class TRestartStepKind { Move, Delete, RunOnce };

// One piece of pending work and what became of it.
struct TRestartStep {
  TRestartStepKind kind = TRestartStepKind::Move;
  QString source;  // the file moved or deleted; for RunOnce the command line
  QString target;  // where it went; empty for deletes and commands
  QString origin;  // where it was pending: a registry value or "WININIT.INI"
  bool done = false;
  // Not done, but nothing is left pending: a move whose source is gone.
  bool skipped = false;
  QString error;  // why not, when not done
};

struct TRestartReport {
  std::vector<TRestartStep> steps;
  // Every step done or skipped.
  bool AllDone() const;
};

// The runner's whole work: every pending step in order, one runner at a
// time (a second one waits for the first). The autostart entry is removed
// when nothing is left pending, and kept otherwise. Never raises; failures
// are in the report.
TRestartReport RunRestartWork();
