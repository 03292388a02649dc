#pragma once
// TInstallStatusDlg: the stand-alone component of the status window. Each
// shown message is pushed; hiding pops it and shows the one before, or
// hides the window when none is left.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

#include <QStringList>

class TInstallStatusForm;

class TInstallStatusDlg : public TCustomBaseInstallDlg {
 public:
  explicit TInstallStatusDlg(TComponent* owner);
  ~TInstallStatusDlg() override;

  QString CurrentMessage() const { return currentMessage_; }
  const QStringList& MessageStack() const { return messages_; }
  TInstallStatusForm* StatusForm() const;

  TFormClass FormClass() const override;
  // Each message is translated from English.
  void Translate() override;
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;

  static void DeclareProperties(TClassBuilder<TInstallStatusDlg, TCustomBaseInstallDlg>& b);

 private:
  void ShowStatus();

  QString currentMessage_;
  QStringList messages_;
};

void RegisterInstallStatusDlgClasses();
