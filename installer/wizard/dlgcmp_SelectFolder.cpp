#include "installer/wizard/dlgcmp_SelectFolder.h"

#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/wizard/cmp_TTranslator.h"

TSelectFolderDlg::TSelectFolderDlg(TComponent* owner) : TPageDlg(owner, 60, scProgramFolder) {
  if (TMainLinkGroup* group = MainLinkGroup()) TPageDlg::SetContainer(group);
}

void TSelectFolderDlg::SetContainer(TInstallContainer* value) {
  if (value != nullptr && dynamic_cast<TCustomShellLinkGroup*>(value) == nullptr)
    throw Exception(TranslateText(QStringLiteral("The container for %s must be a TCustomShellLinkGroup")),
                    {Name()});
  TPageDlg::SetContainer(value);
}

bool TSelectFolderDlg::ShowDialog() {
  RequirePageContainer(this);
  return TPageDlg::ShowDialog();
}
