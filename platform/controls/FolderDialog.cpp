#include "platform/controls/FolderDialog.h"

#include "platform/controls/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

namespace {

class TQtFolderDialog : public QFileDialog {
 public:
  void accept() override {
    ChooseTheTypedName(*this);
    QFileDialog::accept();
  }
};

void SetText(QFileDialog& dialog, QFileDialog::DialogLabel label, const QString& text) {
  if (!text.isEmpty()) dialog.setLabelText(label, text);
}

}  // namespace

bool TFolderDialog::Execute() {
  folder_.clear();
  driverChoice_.clear();
  TQtFolderDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setViewMode(QFileDialog::List);
  if (!texts_.title.isEmpty()) dialog.setWindowTitle(texts_.title);
  SetText(dialog, QFileDialog::LookIn, texts_.lookIn);
  SetText(dialog, QFileDialog::FileName, texts_.fileName);
  SetText(dialog, QFileDialog::Accept, texts_.accept);
  SetText(dialog, QFileDialog::Reject, texts_.reject);
  if (!directory_.isEmpty()) dialog.setDirectory(directory_);
  // No file types for folders, and places named by their paths: no word
  // of the dialog's own stays on screen.
  for (const char* name : {"fileTypeCombo", "fileTypeLabel"})
    if (auto* widget = dialog.findChild<QWidget*>(QString::fromLatin1(name))) widget->hide();
  dialog.setSidebarUrls({QUrl::fromLocalFile(QDir::homePath()), QUrl::fromLocalFile(QDir::rootPath())});
  if (!RunModal(dialog)) return false;
  // The driver's folder as given: the view may still be loading it.
  if (!driverChoice_.isEmpty()) {
    folder_ = driverChoice_;
    return true;
  }
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  folder_ = chosen.first();
  return true;
}

QFileDialog* TFolderDialog::FileDialog() const {
  return static_cast<QFileDialog*>(ActiveDialog());
}

void TFolderDialog::ChooseFolder(const QString& folder) {
  QFileDialog* dialog = FileDialog();
  if (dialog == nullptr) return;
  driverChoice_ = folder;
  dialog->setDirectory(folder);
  dialog->selectFile(folder);
  static_cast<QDialog*>(dialog)->accept();
}
