#include "platform/controls/FileDialogs.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtLanguage.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>

#include <algorithm>

const TEnumInfo kOpenOptionIdents{
    "ofReadOnly",        "ofOverwritePrompt",  "ofHideReadOnly",       "ofNoChangeDir",
    "ofShowHelp",        "ofNoValidate",       "ofAllowMultiSelect",   "ofExtensionDifferent",
    "ofPathMustExist",   "ofFileMustExist",    "ofCreatePrompt",       "ofShareAware",
    "ofNoReadOnlyReturn", "ofNoTestFileCreate", "ofNoNetworkButton",   "ofNoLongNames",
    "ofOldStyleDialog",  "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"};

QStringList QtNameFilters(const QString& filter) {
  QStringList result;
  const QStringList parts = filter.split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString masks = parts.at(i + 1).trimmed();
    masks.replace(u';', u' ');
    // Qt reads the masks from the last parentheses: a text that shows its
    // masks already ("Text (*.txt)") gets them in Qt's form instead.
    QString text = parts.at(i).trimmed();
    const qsizetype open = text.lastIndexOf(u'(');
    if (text.endsWith(u')') && open >= 0) text = text.left(open).trimmed();
    result.append(text + QStringLiteral(" (") + masks + u')');
  }
  return result;
}

void ChooseTheTypedName(QFileDialog& dialog) {
  if (dialog.fileMode() == QFileDialog::ExistingFiles) return;
  const auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
  if (field == nullptr || view == nullptr || view->selectionModel() == nullptr) return;
  QItemSelectionModel* selection = view->selectionModel();
  const QModelIndexList rows = selection->selectedRows();
  QStringList chosen;
  for (const QModelIndex& row : rows) chosen << row.data(QFileSystemModel::FilePathRole).toString();
  const QString typed = field->text();
  if (!typed.isEmpty() && !typed.contains(u'"'))
    chosen << QDir::cleanPath(dialog.directory().absoluteFilePath(typed));
  // A folder that holds another name chosen was only on the way to it.
  for (qsizetype i = 0; i < rows.size(); ++i) {
    const QString folder = chosen.at(i).endsWith(u'/') ? chosen.at(i) : chosen.at(i) + u'/';
    const auto inside = [&folder](const QString& name) { return name.startsWith(folder); };
    if (std::any_of(chosen.cbegin(), chosen.cend(), inside))
      selection->select(rows.at(i), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
  }
}

// The Qt dialog; accepting runs the owner's checks instead of Qt's own
// (which would show Qt's message boxes, out of the modal driver's reach).
class TOpenDialog::TQtFileDialog : public QFileDialog {
 public:
  TQtFileDialog(TOpenDialog* owner, bool save) : owner_(owner), save_(save) {}
  QStringList chosen;

  void accept() override {
    ChooseTheTypedName(*this);
    QStringList names = selectedFiles();
    // Accepting a folder opens it, as Qt's own accept does.
    if (names.size() == 1 && QFileInfo(names.first()).isDir()) {
      setDirectory(names.first());
      selectFile(QString());
      return;
    }
    bool ok = false;
    TOpenDialog* owner = owner_;
    const bool save = save_;
    Guard(owner, [owner, save, &names, &ok] { ok = owner->CheckNames(names, save); });
    if (!ok) return;
    chosen = names;
    done(QDialog::Accepted);
  }

 private:
  TOpenDialog* owner_;
  bool save_;
};

TOpenDialog::TOpenDialog(TComponent* owner)
    : TCommonDialog(owner), files_(std::make_unique<TStringList>()) {}

TOpenDialog::~TOpenDialog() = default;

bool TOpenDialog::Execute() { return DoExecute(false); }

QString TOpenDialog::DefaultTitle() const { return QtText("QFileDialog", "Open", QStringLiteral("Open")); }

QFileDialog* TOpenDialog::FileDialog() const { return qobject_cast<QFileDialog*>(ActiveDialog()); }

bool TOpenDialog::AcceptFiles(const QStringList& names) {
  QFileDialog* dialog = FileDialog();
  if (dialog == nullptr) return false;
  QStringList quoted;
  for (const QString& n : names) quoted.append(u'"' + n + u'"');
  if (names.size() == 1) {
    dialog->selectFile(names.first());
  } else {
    dialog->selectFile(quoted.join(u' '));
  }
  static_cast<QDialog*>(dialog)->accept();  // QFileDialog hides accept()
  return !dialog->isVisible();
}

namespace {

// Every column as wide as what it shows, the names first: a stretched name
// column got only what the size, type and date columns left, nothing in a
// narrow dialog. The last column takes the room that is left over.
void FitColumns(QFileDialog& dialog) {
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (view == nullptr) return;
  QHeaderView* header = view->header();
  header->setStretchLastSection(true);
  for (int column = 0; column < header->count(); ++column)
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

}  // namespace

bool TOpenDialog::DoExecute(bool save) {
  TQtFileDialog dialog(this, save);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // Qt keeps the last dialog's view for the user: a folder dialog's list
  // would hide the columns here.
  dialog.setViewMode(QFileDialog::Detail);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(options_.Contains(ofAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                           : QFileDialog::AnyFile);
  dialog.setWindowTitle(title_.isEmpty() ? DefaultTitle() : title_);
  const QStringList filters = QtNameFilters(filter_);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = filterIndex_ >= 1 && filterIndex_ <= filters.size() ? filterIndex_ : 1;
    dialog.selectNameFilter(filters.at(index - 1));
  }
  const QFileInfo current(fileName_);
  QString folder = initialDir_;
  if (folder.isEmpty() && !fileName_.isEmpty() && current.path() != QLatin1String("."))
    folder = current.path();
  dialog.setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
  if (!fileName_.isEmpty()) dialog.selectFile(current.fileName());
  FitColumns(dialog);
  Customize(dialog);
  if (!RunModal(dialog)) return false;
  const int chosenFilter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  TakeResult(dialog.chosen, chosenFilter > 0 ? chosenFilter : filterIndex_);
  return true;
}

QString TOpenDialog::WithDefaultExt(const QString& name) const {
  QString ext = defaultExt_;
  while (ext.startsWith(u'.')) ext.remove(0, 1);
  if (ext.isEmpty() || !QFileInfo(name).suffix().isEmpty()) return name;
  return name + u'.' + ext;
}

bool TOpenDialog::CheckNames(QStringList& names, bool save) {
  if (names.isEmpty() || (names.size() == 1 && QFileInfo(names.first()).fileName().isEmpty()))
    return false;
  for (QString& name : names) name = WithDefaultExt(name);
  for (const QString& name : names) {
    const QFileInfo info(name);
    if (options_.Contains(ofPathMustExist) && !info.dir().exists()) {
      MessageDlg(QtText("QFileDialog",
                        "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
                        QStringLiteral("%1\nThe path does not exist."))
                     .arg(name),
                 mtWarning, {mbOK}, 0);
      return false;
    }
    if (options_.Contains(ofFileMustExist) && !info.exists()) {
      MessageDlg(QtText("QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
                        QStringLiteral("%1\nFile not found.\nCheck the file name and try again."))
                     .arg(name),
                 mtWarning, {mbOK}, 0);
      return false;
    }
    if (save && options_.Contains(ofOverwritePrompt) && info.exists() &&
        MessageDlg(QtText("QFileDialog", "%1 already exists.\nDo you want to replace it?",
                          QStringLiteral("%1 already exists.\nDo you want to replace it?"))
                       .arg(name),
                   mtWarning, {mbYes, mbNo}, 0) != mrYes)
      return false;
  }
  return true;
}

void TOpenDialog::TakeResult(const QStringList& names, int filterIndex) {
  files_->Clear();
  for (const QString& name : names) files_->Add(name);
  fileName_ = names.isEmpty() ? QString() : names.first();
  filterIndex_ = filterIndex;
  QString ext = defaultExt_;
  while (ext.startsWith(u'.')) ext.remove(0, 1);
  const bool differs = !ext.isEmpty() &&
                       QFileInfo(fileName_).suffix().compare(ext, Qt::CaseInsensitive) != 0;
  if (differs) {
    options_.Include(ofExtensionDifferent);
  } else {
    options_.Exclude(ofExtensionDifferent);
  }
  if (!options_.Contains(ofNoChangeDir) && !fileName_.isEmpty())
    QDir::setCurrent(QFileInfo(fileName_).absolutePath());
}

void TOpenDialog::DeclareProperties(TClassBuilder<TOpenDialog, TCommonDialog>& b) {
  b.Property("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  b.Property("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  b.Property("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  b.Property("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  b.Property("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  b.Property("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions, kOpenOptionIdents)
      .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
  b.Property("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

bool TSaveDialog::Execute() { return DoExecute(true); }

QString TSaveDialog::DefaultTitle() const {
  return QtText("QFileDialog", "Save As", QStringLiteral("Save As"));
}

// TOpenPictureDialog

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) {
  SetFilter(
      QStringLiteral("All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico"));
}

void TOpenPictureDialog::Customize(QFileDialog& dialog) {
  auto* preview = new QLabel(&dialog);
  preview->setFixedSize(150, 150);
  preview->setAlignment(Qt::AlignCenter);
  preview->setFrameShape(QFrame::StyledPanel);
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
  }
  preview_ = preview;
  GuardedConnect(this, &dialog, &QFileDialog::currentChanged, preview,
                 [this](const QString& path) { ShowPreview(path); });
}

void TOpenPictureDialog::ShowPreview(const QString& fileName) {
  if (!preview_) return;
  QImageReader reader(fileName);
  const QImage image = reader.read();
  if (image.isNull()) {
    preview_->clear();
    return;
  }
  const QSize box = preview_->size() - QSize(4, 4);
  const QImage shown = image.width() > box.width() || image.height() > box.height()
                           ? image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                           : image;
  preview_->setPixmap(QPixmap::fromImage(shown));
}
