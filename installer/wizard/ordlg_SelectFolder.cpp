#include "installer/wizard/ordlg_SelectFolder.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/rtl/StringList.h"
#include "platform/system/ProgramGroups.h"

#include <QDir>

TSelectFolderForm::TSelectFolderForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(60, dmBeforeInstall);
  SetContainer(MainLinkGroup());
  ReadForm(this, QStringLiteral(":/forms/ordlg_SelectFolder.form"));
}

TFormBinding TSelectFolderForm::Binding() {
  using F = TSelectFolderForm;
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &F::Text1),
      Field("Text2", &F::Text2),
      Field("Text3", &F::Text3),
      Field("FolderEdit", &F::FolderEdit),
      Field("FolderListBox", &F::FolderListBox),
      Handler("FolderEditChange", &F::FolderEditChange),
      Handler("FolderListBoxClick", &F::FolderListBoxClick),
  };
}

void TSelectFolderForm::ListExistingFolders(TStrings& folders) {
  const QDir menu(ApplicationsMenuFolder());
  folders.BeginUpdate();
  folders.Clear();
  for (const QString& name : menu.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
    folders.Add(name);
  folders.EndUpdate();
}

void TSelectFolderForm::InitializePage() {
  ListExistingFolders(*FolderListBox->Items());
  QString name;
  if (TInstallObject* group = Container()) {
    if (dynamic_cast<TpsProgramMenu*>(group->DestDirType()) != nullptr) {
      const QStringList parts = group->DestDir().split(QLatin1Char('/'), Qt::SkipEmptyParts);
      if (!parts.isEmpty()) name = parts.last();
    }
  }
  if (name.isEmpty() && FolderListBox->Items()->Count() > 0) name = FolderListBox->Items()->Strings(0);
  FolderEdit->SetText(name);
}

void TSelectFolderForm::FolderListBoxClick(TObject*) {
  const int index = FolderListBox->ItemIndex();
  if (index >= 0) FolderEdit->SetText(FolderListBox->Items()->Strings(index));
}

void TSelectFolderForm::FolderEditChange(TObject*) {
  TInstallObject* group = Container();
  if (group == nullptr) return;
  group->SetDestDirType(StandardPathSpecList().FindByClass<TpsProgramMenu>());
  group->SetDestDir(QStringLiteral("/") + FolderEdit->Text());
}
