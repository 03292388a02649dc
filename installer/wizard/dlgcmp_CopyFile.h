#pragma once
// TCopyFileDlg: the stand-alone component of the copy-progress window. It
// shows the window on the first file or download status, sized and placed
// once, updates it on every later status and hides it when the operation
// ends. It also keeps the run-wide cancel: once the copy was cancelled,
// the next file start or status ends the run as aborted by the user.

#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseInstallDlg.h"

class TCopyFileForm;

class TCopyFileDlg : public TCustomBaseInstallDlg, public TDialogPlacement {
 public:
  explicit TCopyFileDlg(TComponent* owner);
  ~TCopyFileDlg() override;

  // The window while it exists.
  TCopyFileForm* CopyForm() const;

  TFormClass FormClass() const override;
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;

  static void DeclareProperties(TClassBuilder<TCopyFileDlg, TCustomBaseInstallDlg>& b);

 private:
  void ShowCopyForm();

  bool placed_ = false;
  bool downloadMode_ = false;
  int firstValue_ = 0;
  QString text_;
  int secondValue_ = 0;
};

// The status parameter a stage code carries: "%s got a nil PO parameter"
// without one, "The PO object passed to %s is not a <className> object"
// for another class (%s: the component's name).
template <class P>
P* StageParameter(TObject* param, const QString& name, const char* className) {
  if (param == nullptr) throw IException(QStringLiteral("%s got a nil PO parameter"), {name});
  auto* typed = dynamic_cast<P*>(param);
  if (typed == nullptr) {
    throw IException(QStringLiteral("The PO object passed to %s is not a ") +
                         QString::fromLatin1(className) + QStringLiteral(" object"),
                     {name});
  }
  return typed;
}

void RegisterCopyFileDlgClasses();
