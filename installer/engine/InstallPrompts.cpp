#include "installer/engine/InstallPrompts.h"

#include "platform/rtl/ProcessState.h"

namespace {

struct TPrompterSlot {
  std::unique_ptr<TInstallPrompter> prompter;
};

}  // namespace

std::unique_ptr<TInstallPrompter> SetInstallPrompter(std::unique_ptr<TInstallPrompter> prompter) {
  TPrompterSlot& slot = ProcessObject<TPrompterSlot>();
  std::swap(slot.prompter, prompter);
  return prompter;
}

TInstallPrompter* CurrentInstallPrompter() {
  TPrompterSlot* slot = FindProcessObject<TPrompterSlot>();
  return slot != nullptr ? slot->prompter.get() : nullptr;
}

TPromptAnswer AskPrompt(const TPromptRequest& request) {
  if (TInstallPrompter* prompter = CurrentInstallPrompter()) return prompter->Ask(request);
  return UnansweredPrompt(request);
}

TPromptAnswer UnansweredPrompt(const TPromptRequest& request) {
  // Nobody to ask: a notice is dropped, a question is not taken as agreed.
  TPromptAnswer answer;
  const bool question = request.id == TPromptId::InsertDisk || request.id == TPromptId::InsertFloppy ||
                        request.id == TPromptId::ChooseFloppyFolder;
  answer.button = question ? TPromptButton::Cancel : TPromptButton::Ok;
  answer.path = request.path;
  return answer;
}
