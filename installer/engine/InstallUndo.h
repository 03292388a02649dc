#pragma once
// The undo journal of an install run: everything the run changes, kept on
// disk ahead of the change, so that every end but the good one leaves the
// machine as it was.
//
// While a run records, the journal is the change recorder of files
// (platform/rtl/ChangeRecorder.h) and of the registry
// (platform/registry/RegistryChanges.h): folders made, files written where
// there was none, files replaced or removed (their old contents kept under
// a second name beside them, a hard link or else a copy, until the run
// ends), registry values written or deleted with their old data, keys made
// and keys deleted with everything they held. Each change reaches the
// journal file, synced, before it is made; a value or file changed twice
// is journaled once (the first record holds what was there before the run).
//
// A good end (or a restart end) commits: a commit mark is synced, then the
// kept old contents and the journal go. A bad end or a cancel plays the
// journal back, newest first. A run that was killed leaves its journal; the
// next run of a setup of the same product plays it back (or, when it was
// committed, only removes what the commit had still to remove). The owner
// of a journal holds a lock on it, so a journal nobody holds is a dead
// run's.
//
// The journal file: $XDG_DATA_HOME/qx/undo/run-<pid>-<random>.journal, a
// sequence of frames [uint32 size][uint32 CRC-32 of the payload][payload],
// little-endian; the payload is a QDataStream (Qt 6.0 format) record: its
// kind (quint8) and its fields (see InstallUndo.cpp). Reading stops at the
// first frame that is short or fails its check: a run killed while writing
// a record had not made that change.
//
// Test builds (QX_TEST_HOOKS) read at the start of a run:
//   QX_TEST_KILL_AT_CHANGE=n    SIGKILL when change n is about to be
//                               recorded ("n+": once its record is synced,
//                               before the change is made);
//   QX_TEST_FAIL_AT_CHANGE=n:E  change n fails with errno E (ENOSPC, EACCES);
//   QX_TEST_CHANGE_LOG=file     each change appended to file as a line.
// A change given as "~text" is the first whose line (as in the change log)
// holds text.

#include <QString>
#include <QStringList>

// What taking back a run (or a killed run found by the next one) did.
struct TUndoReport {
  int files = 0;           // files removed, or given back their old contents
  int folders = 0;         // folders removed
  int registryValues = 0;  // registry values removed, or given back their old data
  int registryKeys = 0;    // registry keys removed, or made again
  // Changes that could not be taken back, one line each (the path or the
  // key and value, and why).
  QStringList failed;
  // The changes were those of an earlier run that was killed.
  bool earlierRun = false;
  bool Empty() const {
    return files == 0 && folders == 0 && registryValues == 0 && registryKeys == 0 && failed.isEmpty();
  }
  void Add(const TUndoReport& other);
};

// A run of product starts recording: a new journal is made and put in
// place as the recorder of files and the registry. Raises EChangeRefused
// when the journal cannot be made (nothing is changed then).
void BeginInstallUndo(const QString& product);
// Whether a run records now.
bool InstallUndoRecording();
// The run keeps what it did: committed, the kept old contents go.
void KeepInstallRun() noexcept;
// Takes back what the run recorded, newest first; failures are reported,
// the rest is still taken back.
TUndoReport UndoInstallRun() noexcept;
// Plays back the journals that runs of product left when they were killed.
TUndoReport UndoKilledRuns(const QString& product) noexcept;
// The folder of the journals.
QString InstallUndoFolder();
