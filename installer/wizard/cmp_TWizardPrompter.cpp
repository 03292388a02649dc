#include "installer/wizard/cmp_TWizardPrompter.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/ordlg_ChangeDisk.h"
#include "platform/controls/Label.h"

#include <memory>

namespace {

// The disk prompt page (also for writing floppies: the path field names the
// folder the disk is written to); Proceed hands back the folder the user
// left in the path field.
TPromptAnswer AskForDisk(const TPromptRequest& request) {
  TDiskParameter parameter;
  parameter.Disk = request.disk;
  parameter.Path = request.path;
  std::unique_ptr<TChangeDiskForm> form = std::make_unique<TChangeDiskForm>(nullptr);
  form->SetDiskParameter(&parameter);
  form->InitializeForm();
  form->ApplyLanguage();
  TPromptAnswer answer;
  answer.button = form->ShowModal() == mrOk ? TPromptButton::Ok : TPromptButton::Cancel;
  answer.path = answer.button == TPromptButton::Ok ? parameter.Path : request.path;
  return answer;
}

}  // namespace

TPromptAnswer TWizardPrompter::Ask(const TPromptRequest& request) {
  const QString title = Application != nullptr ? Application->Title() : QString();
  TPromptAnswer answer;
  answer.path = request.path;
  switch (request.id) {
    case TPromptId::InsertDisk:
    case TPromptId::InsertFloppy:
      return AskForDisk(request);
    case TPromptId::ChooseFloppyFolder: {
      TOpenFolderDialog dialog(nullptr);
      dialog.SetInitialDir(request.path);
      answer.button = dialog.Execute() ? TPromptButton::Ok : TPromptButton::Cancel;
      answer.path = dialog.Folder();
      break;
    }
    case TPromptId::FloppiesWritten:
    case TPromptId::EarlierRunUndone:
      MessageBox(request.text, title, MB_OK | MB_ICONINFORMATION);
      answer.button = TPromptButton::Ok;
      break;
    case TPromptId::ShowError:
      MessageBox(request.text, title, MB_OK | MB_ICONERROR);
      answer.button = TPromptButton::Ok;
      break;
    case TPromptId::RebootFailed:
      MessageBox(request.text, title, MB_OK | MB_ICONINFORMATION);
      answer.button = TPromptButton::Ok;
      break;
  }
  return answer;
}

std::unique_ptr<TInstallPrompter> InstallWizardPrompter() {
  return SetInstallPrompter(std::make_unique<TWizardPrompter>());
}
