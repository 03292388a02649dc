#include "editor/FileOp.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Dialogs.h"
#include "platform/rtl/StringList.h"

const TEnumInfo kFileOperationIdents{"foCopy", "foDelete", "foMove", "foRename"};
const TEnumInfo kFileOpFlagIdents{"fofAllowUndo",        "fofConfirmMouse", "fofFilesOnly",
                                  "fofMultiDestFiles",   "fofNoConfirmation",
                                  "fofNoConfirmMkDir",   "fofRenameOnCollision",
                                  "fofSilent",           "fofSimpleProgress"};

namespace {

// Prompts and errors as message boxes; progress is not shown.
class TBoxFileOpUi : public IFileOpUi {
 public:
  TFileOpAnswer Confirm(TFileOpPrompt prompt, const QString& path) override {
    QString text;
    switch (prompt) {
      case TFileOpPrompt::ConfirmOverwrite:
        text = QStringLiteral("Korvataanko tiedosto %1?").arg(path);
        break;
      case TFileOpPrompt::ConfirmMakeFolder:
        text = QStringLiteral("Kansiota %1 ei ole. Luodaanko se?").arg(path);
        break;
      case TFileOpPrompt::ConfirmDelete:
        text = QStringLiteral("Poistetaanko %1 pysyvästi?").arg(path);
        break;
    }
    switch (MessageDlg(text, mtConfirmation, {mbYes, mbYesToAll, mbNo, mbCancel}, 0)) {
      case mrYes:
        return TFileOpAnswer::Yes;
      case mrYesToAll:
      case mrAll:
        return TFileOpAnswer::YesToAll;
      case mrNo:
        return TFileOpAnswer::No;
      default:
        return TFileOpAnswer::Cancel;
    }
  }
  void ShowError(const QString& message) override { ShowMessage(message); }
  void Progress(const QString&, int, int, const QString&) override {}
};

}  // namespace

TFileOperation::TFileOperation(TComponent* owner)
    : TComponent(owner), about_(std::make_unique<TStringList>()) {
  about_->Add(QStringLiteral("Component: TFileOperation"));
  about_->Add(QStringLiteral("Version: 1.1"));
  about_->Add(QStringLiteral("Copies, deletes, moves and renames files"));
}

TFileOperation::~TFileOperation() = default;

TStrings* TFileOperation::About() const { return about_.get(); }

void TFileOperation::SetActive(bool value) {
  if (value && !ComponentState().Contains(csLoading) && !ComponentState().Contains(csDesigning))
    Execute();
}

QStringList TFileOperation::SplitList(const QString& list) {
  QStringList paths;
  for (const QString& item : list.split(QLatin1Char(';'))) {
    if (item.isEmpty()) break;
    paths << item;
  }
  return paths;
}

void TFileOperation::SetFilesFrom(const QString& value) {
  filesFrom_ = value;
  from_ = SplitList(value);
}

void TFileOperation::SetFilesTo(const QString& value) {
  filesTo_ = value;
  to_ = SplitList(value);
}

void TFileOperation::SetFromPaths(const QStringList& paths) {
  from_ = paths;
  filesFrom_ = paths.join(QLatin1Char(';'));
}

void TFileOperation::SetToPaths(const QStringList& paths) {
  to_ = paths;
  filesTo_ = paths.join(QLatin1Char(';'));
}

UINT TFileOperation::ShellFunction(TFileOperationKind kind) {
  switch (kind) {
    case foMove:
      return FO_MOVE;
    case foDelete:
      return FO_DELETE;
    case foRename:
      return FO_RENAME;
    case foCopy:
      break;
  }
  return FO_COPY;
}

FILEOP_FLAGS TFileOperation::ShellFlags(TFileOpFlags flags) {
  static constexpr FILEOP_FLAGS kShell[] = {
      FOF_ALLOWUNDO,     FOF_CONFIRMMOUSE,      FOF_FILESONLY,
      FOF_MULTIDESTFILES, FOF_NOCONFIRMATION,   FOF_NOCONFIRMMKDIR,
      FOF_RENAMEONCOLLISION, FOF_SILENT,        FOF_SIMPLEPROGRESS};
  FILEOP_FLAGS shell = 0;
  for (int bit = fofAllowUndo; bit <= fofSimpleProgress; ++bit)
    if (flags.Contains(static_cast<TFileOpFlag>(bit))) shell |= kShell[bit];
  return shell;
}

TFileOpRequest TFileOperation::Request() const {
  TFileOpRequest request;
  request.function = ShellFunction(operation_);
  request.from = from_;
  request.to = to_;
  request.flags = ShellFlags(flags_);
  request.progressTitle = progressTitle_;
  return request;
}

bool TFileOperation::Execute() {
  TBoxFileOpUi boxes;
  const TFileOpResult result = RunFileOperation(Request(), ui_ != nullptr ? *ui_ : boxes);
  aborted_ = result.anyOperationsAborted;
  lastError_ = result.message;
  return result.code == ERROR_SUCCESS;
}

void TFileOperation::DeclareProperties(TClassBuilder<TFileOperation, TComponent>& b) {
  b.Object("About", &TFileOperation::About).Stored(false);
  b.Property("Active", &TFileOperation::Active, &TFileOperation::SetActive).Stored(false);
  b.Property("FilesFrom", &TFileOperation::FilesFrom, &TFileOperation::SetFilesFrom);
  b.Property("FilesTo", &TFileOperation::FilesTo, &TFileOperation::SetFilesTo);
  b.Property("Flags", &TFileOperation::Flags, &TFileOperation::SetFlags, kFileOpFlagIdents)
      .Default(TFileOpFlags{});
  b.Property("Operation", &TFileOperation::Operation, &TFileOperation::SetOperation,
             kFileOperationIdents)
      .Default(foCopy);
  b.Property("OperationAborted", &TFileOperation::OperationAborted,
             &TFileOperation::SetOperationAborted)
      .Stored(false);
  b.Property("ProgressTitle", &TFileOperation::ProgressTitle, &TFileOperation::SetProgressTitle);
}

void RegisterFileOpClasses() {
  if (GetClass(QStringLiteral("TFileOperation")) == nullptr) RegisterClass<TFileOperation>();
}
