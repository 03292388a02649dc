#pragma once
// The wizard's answer to what the engine asks of a person: while the wizard
// is in charge, the next installation disk is asked for with the disk prompt
// page (its path editable); the floppies of the transfer with OK and Cancel,
// errors and the failed restart with OK are boxes of the application. The
// engine learns only the answer.

#include "installer/engine/InstallPrompts.h"

class TWizardPrompter : public TInstallPrompter {
 public:
  TPromptAnswer Ask(const TPromptRequest& request) override;
};

// Puts the wizard's prompter in place; the one before is handed back.
std::unique_ptr<TInstallPrompter> InstallWizardPrompter();
