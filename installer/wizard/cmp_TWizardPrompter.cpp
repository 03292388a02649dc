#include "installer/wizard/cmp_TWizardPrompter.h"

#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"

TPromptAnswer TWizardPrompter::Ask(const TPromptRequest& request) {
  const QString title = Application != nullptr ? Application->Title() : QString();
  TPromptAnswer answer;
  answer.path = request.path;
  switch (request.id) {
    case TPromptId::InsertDisk:
    case TPromptId::InsertFloppy: {
      const int pressed = MessageBox(request.text, title, MB_OKCANCEL | MB_ICONQUESTION);
      answer.button = pressed == IDOK ? TPromptButton::Ok : TPromptButton::Cancel;
      break;
    }
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
