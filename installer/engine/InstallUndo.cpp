#include "installer/engine/InstallUndo.h"

#include "platform/rtl/ChangeRecorder.h"

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/RestartService.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class TChange { Folder, Created, Replaced };

struct TInstallUndoState : TChangeRecorder {
  struct TEntry {
    TChange change;
    QString path;
    QString kept;  // Replaced: the second name of the old contents
  };
  // In the order done; a folder before the files and folders inside it.
  QList<TEntry> done;
  // Between the start of a run and its end; work outside a run (a file
  // group processed alone, a build) records nothing.
  bool running = false;

  void FoldersToMake(const QString& path) override;
  void FileToWrite(const QString& path) override;
  void FileToRemove(const QString& path) override;
};

// The state while a run records; nullptr outside a run.
TInstallUndoState* Recording() {
  TInstallUndoState* state = FindProcessObject<TInstallUndoState>();
  return state != nullptr && state->running ? state : nullptr;
}

TInstallUndoState& UndoState() {
  return ProcessObject<TInstallUndoState>();
}

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// A new file that waits beside a file in use has its move registered for
// the next login; without the file the move would wait for ever.
void DropPendingMovesOf(const QString& path) {
  for (const TPendingMove& move : PendingMoves())
    if (QDir::cleanPath(move.source) == QDir::cleanPath(path)) RemovePendingMove(move.id);
}

bool SameFile(const QString& a, const QString& b) {
  struct stat sa {}, sb {};
  return ::lstat(Native(a).constData(), &sa) == 0 && ::lstat(Native(b).constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// Each entry once taken back or kept; the list emptied.
template <class Step>
void Finish(Step step) noexcept {
  TInstallUndoState* state = FindProcessObject<TInstallUndoState>();
  if (state == nullptr) return;
  for (qsizetype i = state->done.size() - 1; i >= 0; --i) {
    try {
      step(state->done[i]);
    } catch (...) {
    }
  }
  state->done.clear();
  state->running = false;
  if (CurrentChangeRecorder() == state) SetChangeRecorder(nullptr);
}

}  // namespace

void BeginInstallUndo() {
  KeepInstallRun();
  UndoState().running = true;
  SetChangeRecorder(&UndoState());
}

void TInstallUndoState::FoldersToMake(const QString& path) {
  TInstallUndoState* state = Recording();
  if (state == nullptr) return;
  QStringList missing;
  for (QString folder = QDir::cleanPath(path); !folder.isEmpty() && !DirectoryExists(folder);) {
    missing.prepend(folder);
    const QString parent = QDir::cleanPath(folder + QStringLiteral("/.."));
    if (parent == folder) break;
    folder = parent;
  }
  for (const QString& folder : missing) state->done.append({TChange::Folder, folder, {}});
}

void TInstallUndoState::FileToWrite(const QString& path) {
  TInstallUndoState* state = Recording();
  if (state == nullptr) return;
  struct stat st {};
  if (::lstat(Native(path).constData(), &st) != 0) {
    state->done.append({TChange::Created, path, {}});
    return;
  }
  if (!S_ISREG(st.st_mode)) return;
  const QString kept = QFileInfo(path).absolutePath() + QStringLiteral("/.~oc%1-undo-").arg(::getpid()) +
                       QFileInfo(path).fileName();
  ::unlink(Native(kept).constData());
  if (::link(Native(path).constData(), Native(kept).constData()) != 0) return;
  state->done.append({TChange::Replaced, path, kept});
}

void TInstallUndoState::FileToRemove(const QString& path) {
  FileToWrite(path);
}

void UndoInstallRun() noexcept {
  Finish([](const TInstallUndoState::TEntry& entry) {
    switch (entry.change) {
      case TChange::Folder: RemoveDir(entry.path); break;
      case TChange::Created:
        DropPendingMovesOf(entry.path);
        DeleteFile(entry.path);
        break;
      case TChange::Replaced:
        // Replaced: the old contents go back under their name (one rename).
        if (SameFile(entry.path, entry.kept) ||
            ::rename(Native(entry.kept).constData(), Native(entry.path).constData()) != 0)
          DeleteFile(entry.kept);
        break;
    }
  });
}

void KeepInstallRun() noexcept {
  Finish([](const TInstallUndoState::TEntry& entry) {
    if (entry.change == TChange::Replaced) DeleteFile(entry.kept);
  });
}
