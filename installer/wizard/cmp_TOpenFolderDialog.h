#pragma once
// TOpenFolderDialog: the folder chooser behind the pages' and the disk
// prompt's Browse buttons.

#include "platform/controls/FolderDialog.h"

// Its words are the wizard's, through the translator: the title
// "Destination Directory", "Path:", "Proceed" and "Cancel". It opens at
// the initial folder, or at its nearest existing parent while that folder
// does not exist yet.
class TOpenFolderDialog : public TFolderDialog {
 public:
  explicit TOpenFolderDialog(TComponent* owner) : TFolderDialog(owner) {}
  bool Execute() override;
  void SetInitialDir(const QString& v) { initialDir_ = v; }
  // The folder that stands for initialDir (empty for an empty one).
  static QString StartFolder(const QString& initialDir);

 private:
  QString initialDir_;
};
