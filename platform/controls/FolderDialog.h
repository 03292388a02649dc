#pragma once
// TFolderDialog: a folder chooser on a non-native QFileDialog in folder
// mode (it works on every platform plugin, and a modal driver can choose a
// folder and accept it). Its words are given by its owner; its list shows
// names only, so no column header needs words of its own.

#include "platform/controls/CommonDialog.h"

#include <QString>

class QFileDialog;

struct TFolderDialogTexts {
  QString title;
  QString lookIn;    // above the folders
  QString fileName;  // beside the chosen folder's name
  QString accept;
  QString reject;
};

class TFolderDialog : public TCommonDialog {
 public:
  explicit TFolderDialog(TComponent* owner) : TCommonDialog(owner) {}
  // True when a folder was chosen, which Folder then gives; a cancelled
  // dialog leaves Folder empty. While it shows, the application's
  // ModalDriver is called with it.
  bool Execute() override;
  // The Qt dialog while Execute runs; nullptr otherwise.
  QFileDialog* FileDialog() const;
  QString Folder() const { return folder_; }
  // The folder the dialog opens in (as given: it must exist).
  QString Directory() const { return directory_; }
  void SetDirectory(const QString& v) { directory_ = v; }
  void SetTexts(const TFolderDialogTexts& v) { texts_ = v; }
  // For modal drivers: chooses folder and accepts the dialog.
  void ChooseFolder(const QString& folder);

 private:
  QString folder_;
  QString driverChoice_;
  QString directory_;
  TFolderDialogTexts texts_;
};
