#pragma once
// What an install run has changed of the files: the files it wrote where
// there was none, the folders it made and the files it replaced. A
// cancelled run takes it back, so the user finds the machine as it was; a
// run that ends otherwise keeps it.
//
// A file about to be replaced keeps its contents under a second name (a
// hard link) beside it until the run ends; the name is one of the
// compressor's temporary names (".~oc<pid>-undo-<name>"), so that the next
// run writing into the folder removes it should this run be killed.

#include <QString>
#include <QStringList>

// What taking back a run (or a killed run found by the next one) did.
struct TUndoReport {
  int files = 0;           // files removed, or given back their old contents
  int folders = 0;         // folders removed
  int registryValues = 0;  // registry values removed, or given back their old data
  // Changes that could not be taken back, one line each (the path or the
  // key and value, and why).
  QStringList failed;
  // The changes were those of an earlier run that was killed.
  bool earlierRun = false;
  bool Empty() const { return files == 0 && folders == 0 && registryValues == 0 && failed.isEmpty(); }
};

// A run starts: nothing is recorded yet. Outside a run (from its end to
// the next start) the Record calls do nothing.
void BeginInstallUndo();
// While a run records, it is the change recorder (platform/rtl/
// ChangeRecorder.h): folders made, files written where there was none, and
// files replaced (their contents kept until the run ends).
// Takes back what was recorded, newest first: replaced files get their
// old contents back, made files go (with a move to the next login that
// waits for one), made folders go when empty. Failures
// are skipped; the rest is still taken back.
void UndoInstallRun() noexcept;
// The run keeps what it did: the kept contents of replaced files go.
void KeepInstallRun() noexcept;
