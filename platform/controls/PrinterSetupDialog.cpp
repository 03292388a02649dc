#include "platform/controls/PrinterSetupDialog.h"

#include "platform/controls/Guard.h"
#include "platform/printing/Printer.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}

TPrinterSetupDialog::~TPrinterSetupDialog() = default;

QListWidget* TPrinterSetupDialog::PrinterList() const {
  return ActiveDialog() == nullptr ? nullptr : ActiveDialog()->findChild<QListWidget*>();
}

bool TPrinterSetupDialog::Execute() {
  TPrinter* printer = Printer();
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("&Name:")));
  auto* list = new QListWidget;
  layout->addWidget(list);
  TStrings* printers = printer->Printers();
  for (int i = 0; i < printers->Count(); ++i) list->addItem(printers->Strings(i));
  list->setCurrentRow(printers->Count() > 0 ? printer->PrinterIndex() : -1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  GuardedConnect(this, buttons, &QDialogButtonBox::accepted, &dialog, [&dialog] { dialog.accept(); });
  GuardedConnect(this, buttons, &QDialogButtonBox::rejected, &dialog, [&dialog] { dialog.reject(); });
  layout->addWidget(buttons);
  if (!RunModal(dialog)) return false;
  if (list->currentRow() >= 0) printer->SetPrinterIndex(list->currentRow());
  return true;
}
