#pragma once
// TReadmeDlg: the readme page's component; its ReadmeText fills the page.

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_Readme.h"
#include "platform/rtl/StringList.h"

#include <memory>

class TReadmeDlg : public TPageDlg<TReadmeForm> {
 public:
  explicit TReadmeDlg(TComponent* owner);
  TStrings* ReadmeText() const { return readmeText_.get(); }
  // Copies the lines.
  void SetReadmeText(TStrings* value);
  void AssignDialogProperties() override;
  static void DeclareProperties(TClassBuilder<TReadmeDlg, TBaseInstallDlg>& b);

 private:
  std::unique_ptr<TStringList> readmeText_ = std::make_unique<TStringList>();
};
