#pragma once
// What an install run has put where there was nothing: the files it wrote
// and the folders it made. A cancelled run takes them back, so the user
// finds the machine as it was; a run that ends well or waits for the next
// login keeps them. Files that were there before are never recorded, so
// nothing the user had is touched.

#include <QString>

// A run starts: nothing is recorded.
void BeginInstallUndo();
// The missing folders of path, from the outermost in, that are about to
// be made (call before making them).
void RecordFoldersToMake(const QString& path);
// A file the run wrote where there was none.
void RecordCreatedFile(const QString& path);
// Removes what was recorded, newest first; a folder goes only when empty.
// Failures are skipped: the rest is still taken back.
void UndoInstallRun() noexcept;
// The run ended well: what it made stays.
void KeepInstallRun();
