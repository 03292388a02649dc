#pragma once
// The wizard's answer to what the engine asks of a person: while the wizard
// is in charge, every prompt of the engine is a box of the application (the
// disk prompts with OK and Cancel, errors and the failed restart with OK).
// The engine learns only the answer.

#include "installer/engine/InstallPrompts.h"

class TWizardPrompter : public TInstallPrompter {
 public:
  TPromptAnswer Ask(const TPromptRequest& request) override;
};

// Puts the wizard's prompter in place; the one before is handed back.
std::unique_ptr<TInstallPrompter> InstallWizardPrompter();
