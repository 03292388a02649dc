#pragma once
// TPrinterSetupDialog: chooses the printer of Printer() from its list of
// printers; a confirmed Execute sets Printer()->PrinterIndex.

#include "platform/controls/CommonDialog.h"

class QListWidget;

class TPrinterSetupDialog : public TCommonDialog {
 public:
  explicit TPrinterSetupDialog(TComponent* owner);
  ~TPrinterSetupDialog() override;

  bool Execute() override;
  // The list of printers while Execute runs; nullptr otherwise.
  QListWidget* PrinterList() const;
};
