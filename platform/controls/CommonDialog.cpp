#include "platform/controls/CommonDialog.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/ColorDialog.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/FontDialog.h"
#include "platform/controls/Guard.h"
#include "platform/controls/PrinterSetupDialog.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/TopMost.h"

#include <QDialog>
#include <QEventLoop>
#include <QLayout>

TCommonDialog::TCommonDialog(TComponent* owner) : TComponent(owner) {}

TCommonDialog::~TCommonDialog() = default;

bool TCommonDialog::RunModal(QDialog& dialog) {
  struct Active {
    QDialog*& slot;
    ~Active() { slot = nullptr; }
  } active{active_};
  active_ = &dialog;
  QEventLoop loop;
  GuardedConnect(this, &dialog, &QDialog::finished, &loop, [&loop] { loop.quit(); });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setResult(QDialog::Rejected);
  // Platforms without a window system cannot take size hints (and warn).
  if (!WindowSystemPresent() && dialog.layout() != nullptr)
    dialog.layout()->setSizeConstraint(QLayout::SetNoConstraint);
  const TModalTopMostScope topMosts(&dialog);
  dialog.show();
  if (Application != nullptr && Application->ModalDriver)
    Guard(this, [this] { Application->ModalDriver(this); });
  if (dialog.isVisible()) loop.exec();
  dialog.hide();
  return dialog.result() == QDialog::Accepted;
}

void TCommonDialog::DeclareProperties(TClassBuilder<TCommonDialog, TComponent>& b) {
  b.Property("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext)
      .Default(0);
}

void RegisterDialogClasses() {
  if (GetClass(QStringLiteral("TOpenDialog")) != nullptr) return;
  RegisterClasses<TOpenDialog, TSaveDialog, TOpenPictureDialog, TFontDialog, TColorDialog,
                  TPrinterSetupDialog>();
}
