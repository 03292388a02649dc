#include "installer/wizard/dlgcmp_Readme.h"

#include "platform/controls/Memo.h"

TReadmeDlg::TReadmeDlg(TComponent* owner) : TPageDlg(owner, 30, scReadme) {}

void TReadmeDlg::SetReadmeText(TStrings* value) {
  if (value != nullptr) readmeText_->Assign(*value);
}

void TReadmeDlg::AssignDialogProperties() {
  TPageDlg::AssignDialogProperties();
  Page()->Information->Lines()->Assign(*readmeText_);
}

void TReadmeDlg::DeclareProperties(TClassBuilder<TReadmeDlg, TBaseInstallDlg>& b) {
  b.Object("ReadmeText", &TReadmeDlg::ReadmeText);
}
