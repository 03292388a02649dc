#include "installer/engine/InstallUndo.h"

#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"

#include <QDir>
#include <QStringList>

namespace {

struct TInstallUndoState {
  // In the order made; a folder before the files and folders inside it.
  struct TEntry {
    QString path;
    bool folder;
  };
  QList<TEntry> made;
};

TInstallUndoState& UndoState() {
  return ProcessObject<TInstallUndoState>();
}

}  // namespace

void BeginInstallUndo() {
  UndoState().made.clear();
}

void RecordFoldersToMake(const QString& path) {
  QStringList missing;
  for (QString folder = QDir::cleanPath(path); !folder.isEmpty() && !DirectoryExists(folder);) {
    missing.prepend(folder);
    const QString parent = QDir::cleanPath(folder + QStringLiteral("/.."));
    if (parent == folder) break;
    folder = parent;
  }
  for (const QString& folder : missing) UndoState().made.append({folder, true});
}

void RecordCreatedFile(const QString& path) {
  UndoState().made.append({path, false});
}

void UndoInstallRun() noexcept {
  TInstallUndoState* state = FindProcessObject<TInstallUndoState>();
  if (state == nullptr) return;
  try {
    for (qsizetype i = state->made.size() - 1; i >= 0; --i) {
      const auto& entry = state->made[i];
      if (entry.folder)
        RemoveDir(entry.path);
      else
        DeleteFile(entry.path);
    }
  } catch (...) {
  }
  state->made.clear();
}

void KeepInstallRun() {
  if (TInstallUndoState* state = FindProcessObject<TInstallUndoState>()) state->made.clear();
}
