#pragma once
// TFileOperation: one copy, delete, move or rename of a list of files run
// through the platform's file-operation service, with its collision
// renaming, trash and prompts.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/classes/Set.h"
#include "platform/system/FileOperation.h"

#include <QString>
#include <QStringList>

#include <memory>

enum TFileOperationKind { foCopy, foDelete, foMove, foRename };
enum TFileOpFlag {
  fofAllowUndo,
  fofConfirmMouse,
  fofFilesOnly,
  fofMultiDestFiles,
  fofNoConfirmation,
  fofNoConfirmMkDir,
  fofRenameOnCollision,
  fofSilent,
  fofSimpleProgress,
};
using TFileOpFlags = TSet<TFileOpFlag>;

extern const TEnumInfo kFileOperationIdents;
extern const TEnumInfo kFileOpFlagIdents;

class TStringList;

class TFileOperation : public TComponent {
 public:
  explicit TFileOperation(TComponent* owner);
  ~TFileOperation() override;

  TStrings* About() const;
  void SetAbout(TStrings*) {}
  // Setting true runs the operation; it always reads false.
  bool Active() const { return false; }
  void SetActive(bool value);
  // Paths separated by ";"; a list ends at an empty item.
  QString FilesFrom() const { return filesFrom_; }
  void SetFilesFrom(const QString& value);
  QString FilesTo() const { return filesTo_; }
  void SetFilesTo(const QString& value);
  // The same lists as whole paths: a ";" inside a path stays part of it.
  QStringList FromPaths() const { return from_; }
  void SetFromPaths(const QStringList& paths);
  QStringList ToPaths() const { return to_; }
  void SetToPaths(const QStringList& paths);
  TFileOpFlags Flags() const { return flags_; }
  void SetFlags(TFileOpFlags value) { flags_ = value; }
  TFileOperationKind Operation() const { return operation_; }
  void SetOperation(TFileOperationKind value) { operation_ = value; }
  bool OperationAborted() const { return aborted_; }
  void SetOperationAborted(bool) {}
  QString ProgressTitle() const { return progressTitle_; }
  void SetProgressTitle(const QString& value) { progressTitle_ = value; }

  // Where prompts, errors and progress go; nullptr: message boxes.
  void SetUi(IFileOpUi* ui) { ui_ = ui; }

  // True when the service reports success.
  bool Execute();
  // The request Execute hands to the service.
  TFileOpRequest Request() const;
  // The error text of the last run ("" after a success).
  QString LastError() const { return lastError_; }

  static UINT ShellFunction(TFileOperationKind kind);
  static FILEOP_FLAGS ShellFlags(TFileOpFlags flags);
  // A ";" list as the service takes it: up to the first empty item.
  static QStringList SplitList(const QString& list);

  static void DeclareProperties(TClassBuilder<TFileOperation, TComponent>& b);

 private:
  std::unique_ptr<TStringList> about_;
  QString filesFrom_;
  QString filesTo_;
  QStringList from_;
  QStringList to_;
  TFileOpFlags flags_;
  TFileOperationKind operation_ = foCopy;
  bool aborted_ = false;
  QString progressTitle_;
  QString lastError_;
  IFileOpUi* ui_ = nullptr;
};

void RegisterFileOpClasses();
