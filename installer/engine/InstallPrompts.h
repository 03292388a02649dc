#pragma once
// What the installer engine asks of a person. The engine never touches a
// widget: every question or notice goes to the current prompter with a
// stable id and everything a page or a box needs to show it. The setup
// program's wizard answers with its pages; tests answer with a scripted
// prompter (installer/engine/tests/InstallTestSupport.h).
//
// Stages of the installation are not prompts: they are broadcast as stage
// codes (cmp_TInstallContainer.h) to the dialog helpers.
//
// Without a prompter set, notices are dropped and questions are answered
// Cancel, so an unattended run never proceeds on an answer nobody gave.

#include <QString>

#include <memory>

class TInstallContainer;

// Stable ids: the numbers never change, new asks get new numbers.
enum class TPromptId : int {
  // An install file's archive needs another disk and no handler or page
  // answered: "Please insert disk #%d", OK and Cancel. Disk and Path (the
  // folder to look in) are set; an OK answer may give another Path. Cancel
  // stops the extraction as aborted by the user.
  InsertDisk = 1,
  // Copying the self-extracting setup to floppies: "Please insert disk %d",
  // OK and Cancel; Disk and Path (the folder the disk is written to) set; an
  // OK answer may give another Path. Cancel: IEInstall "Aborted by user".
  InsertFloppy = 2,
  // An error ends an install mode or a run: the exception's message, with
  // the application's title and an error icon; OK.
  ShowError = 3,
  // The engine could not restart the session for the files in use: "Could
  // not reboot windows. Please manually reboot windows."; OK.
  RebootFailed = 4,
  // Copying to floppies when no folder stands for the floppy drive yet:
  // the folder browser, starting at Path. An OK answer gives the folder in
  // Path; Cancel: IEInstall "Aborted by user".
  ChooseFloppyFolder = 8,
  // The copy to floppies is done: the text names the disks' folders; OK.
  FloppiesWritten = 9,
  // A run of the product was killed before it ended, and the new run took
  // back what it had changed: "An earlier installation of %s was
  // interrupted. The changes it had made have been undone."; OK.
  EarlierRunUndone = 10,
};

enum class TPromptButton : int { Ok = 1, Cancel = 2 };

struct TPromptRequest {
  TPromptId id = TPromptId::ShowError;
  // The text to show, translated and formatted.
  QString text;
  // The English text before translation and formatting: a stable key.
  QString sourceText;
  int disk = 0;
  QString path;
  // The install object that asks (a file for InsertDisk); may be nullptr.
  TInstallContainer* sender = nullptr;
};

struct TPromptAnswer {
  TPromptButton button = TPromptButton::Cancel;
  // InsertDisk/InsertFloppy: the folder to look in (the request's when
  // unchanged).
  QString path;
};

class TInstallPrompter {
 public:
  TInstallPrompter() = default;
  TInstallPrompter(const TInstallPrompter&) = delete;
  TInstallPrompter& operator=(const TInstallPrompter&) = delete;
  virtual ~TInstallPrompter() = default;
  virtual TPromptAnswer Ask(const TPromptRequest& request) = 0;
};

// Puts prompter in place (nullptr: none) and hands back the one before.
std::unique_ptr<TInstallPrompter> SetInstallPrompter(std::unique_ptr<TInstallPrompter> prompter);
// The current prompter; nullptr when none.
TInstallPrompter* CurrentInstallPrompter();

// Asks the current prompter (see the note above for none).
TPromptAnswer AskPrompt(const TPromptRequest& request);
// The answer when nobody can be asked: OK to a notice, Cancel to a question.
TPromptAnswer UnansweredPrompt(const TPromptRequest& request);
