#include "platform/controls/FolderDialog.h"

#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/TopMost.h"
#include "platform/rtl/GuardedEntry.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QLayout>

namespace {

void SetText(QFileDialog& dialog, QFileDialog::DialogLabel label, const QString& text) {
  if (!text.isEmpty()) dialog.setLabelText(label, text);
}

}  // namespace

bool TFolderDialog::Execute() {
  folder_.clear();
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
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  folder_ = chosen.first();
  return true;
}

void TFolderDialog::ChooseFolder(const QString& folder) {
  if (dialog_ == nullptr) return;
  dialog_->setDirectory(folder);
  dialog_->selectFile(folder);
  static_cast<QDialog*>(dialog_)->accept();
}
