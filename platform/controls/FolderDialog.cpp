#include "platform/controls/FolderDialog.h"

#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/TopMost.h"
#include "platform/rtl/GuardedEntry.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLayout>
#include <QUrl>

namespace {

void SetText(QFileDialog& dialog, QFileDialog::DialogLabel label, const QString& text) {
  if (!text.isEmpty()) dialog.setLabelText(label, text);
}

}  // namespace

bool TFolderDialog::Execute() {
  folder_.clear();
  driverChoice_.clear();
  QFileDialog dialog;
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
  dialog_ = &dialog;
  struct TClear {
    QFileDialog*& slot;
    ~TClear() { slot = nullptr; }
  } clear{dialog_};
  QEventLoop loop;
  GuardedConnect(this, &dialog, &QDialog::finished, &loop, [&loop] { loop.quit(); });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setResult(QDialog::Rejected);
  // Platforms without a window system cannot take size hints (and warn).
  if (!WindowSystemPresent() && dialog.layout() != nullptr)
    dialog.layout()->setSizeConstraint(QLayout::SetNoConstraint);
  {
    const TModalTopMostScope topMosts(&dialog);
    dialog.show();
    if (Application != nullptr && Application->ModalDriver)
      Guard(this, [this] { Application->ModalDriver(this); });
    if (dialog.isVisible()) loop.exec();
    dialog.hide();
  }
  if (dialog.result() != QDialog::Accepted) return false;
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

void TFolderDialog::ChooseFolder(const QString& folder) {
  if (dialog_ == nullptr) return;
  driverChoice_ = folder;
  dialog_->setDirectory(folder);
  dialog_->selectFile(folder);
  static_cast<QDialog*>(dialog_)->accept();
}
