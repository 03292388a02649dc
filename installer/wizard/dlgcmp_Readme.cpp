#include "installer/wizard/dlgcmp_Readme.h"

#include "platform/controls/Memo.h"

TReadmeDlg::TReadmeDlg(TComponent* owner) : TPageDlg(owner, 30, scReadme) {}

void TReadmeDlg::SetReadmeText(TStrings* value) {
  if (value != nullptr) readmeText_->Assign(*value);
}

void TReadmeDlg::AssignDialogProperties() {
  TPageDlg::AssignDialogProperties();
  // As one text: added line by line, each empty line would be the box's
  // last for a moment, and the box keeps no empty last line.
  Page()->Information->Lines()->SetText(readmeText_->Text());
}

void TReadmeDlg::DeclareProperties(TClassBuilder<TReadmeDlg, TBaseInstallDlg>& b) {
  b.Object("ReadmeText", &TReadmeDlg::ReadmeText);
}
