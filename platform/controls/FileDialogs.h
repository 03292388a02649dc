#pragma once
// TOpenDialog, TSaveDialog and TOpenPictureDialog: file choosers on a
// non-native QFileDialog (it works on every platform plugin, and a modal
// driver can set its selection and accept it).
//
// Filter: "text|mask[;mask]|text|mask..."; FilterIndex counts from 1 and is
// the chosen filter on return. A name without an extension gets DefaultExt.
// The checks of Options (path and file must exist, overwrite prompt) run
// when the dialog is accepted; a failed check shows a message box and keeps
// the dialog open. Without ofNoChangeDir a successful Execute makes the
// chosen file's folder the current directory.

#include "platform/classes/Set.h"
#include "platform/controls/CommonDialog.h"
#include "platform/rtl/StringList.h"

#include <QLabel>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class QFileDialog;

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing
};
using TOpenOptions = TSet<TOpenOption>;

extern const TEnumInfo kOpenOptionIdents;

class TOpenDialog : public TCommonDialog {
 public:
  explicit TOpenDialog(TComponent* owner);
  ~TOpenDialog() override;

  bool Execute() override;

  QString DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const QString& v) { defaultExt_ = v; }
  QString FileName() const { return fileName_; }
  void SetFileName(const QString& v) { fileName_ = v; }
  // Every chosen file (one unless ofAllowMultiSelect).
  TStrings* Files() const { return files_.get(); }
  QString Filter() const { return filter_; }
  void SetFilter(const QString& v) { filter_ = v; }
  int FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(int v) { filterIndex_ = v; }
  QString InitialDir() const { return initialDir_; }
  void SetInitialDir(const QString& v) { initialDir_ = v; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions v) { options_ = v; }
  QString Title() const { return title_; }
  void SetTitle(const QString& v) { title_ = v; }

  // The Qt dialog while Execute runs; nullptr otherwise.
  QFileDialog* FileDialog() const;
  // For modal drivers: selects names (relative to the dialog's folder or
  // absolute) and accepts; false when a check kept the dialog open.
  bool AcceptFiles(const QStringList& names);

  static void DeclareProperties(TClassBuilder<TOpenDialog, TCommonDialog>& b);

 protected:
  class TQtFileDialog;
  // Runs the dialog in open or save mode.
  bool DoExecute(bool save);
  // Adds to the Qt dialog before it shows (the picture preview).
  virtual void Customize(QFileDialog&) {}
  // The title when Title is empty.
  virtual QString DefaultTitle() const;

 private:
  // The names the user chose with DefaultExt applied, after the checks of
  // Options; false (after telling the user) when one fails.
  bool CheckNames(QStringList& names, bool save);
  QString WithDefaultExt(const QString& name) const;
  void TakeResult(const QStringList& names, int filterIndex);

  QString defaultExt_;
  QString fileName_;
  std::unique_ptr<TStringList> files_;
  QString filter_;
  int filterIndex_ = 1;
  QString initialDir_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
  QString title_;
};

class TSaveDialog : public TOpenDialog {
 public:
  explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
  bool Execute() override;

 protected:
  QString DefaultTitle() const override;
};

// An open dialog for pictures (bitmaps and icons) with a preview of the
// file under the cursor.
class TOpenPictureDialog : public TOpenDialog {
 public:
  explicit TOpenPictureDialog(TComponent* owner);
  // The preview while Execute runs; nullptr otherwise.
  QLabel* Preview() const { return preview_; }
  // Shows the picture of fileName in the preview (empty when it is none).
  void ShowPreview(const QString& fileName);

 protected:
  void Customize(QFileDialog& dialog) override;

 private:
  QPointer<QLabel> preview_;
};

// The Qt filter list of a Filter text: "text (mask mask)" for each pair.
QStringList QtNameFilters(const QString& filter);

// Before a dialog for one name is accepted: a folder typed on the way to a
// name inside it is not chosen. Qt's views can still hold its row (they
// drop it only while the field has the focus, which the completion list
// takes as it closes), and would give that folder first.
void ChooseTheTypedName(QFileDialog& dialog);
