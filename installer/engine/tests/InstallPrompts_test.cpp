#include "installer/engine/InstallPrompts.h"

#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using qxtest::TScriptedPrompter;

TPromptRequest DiskRequest(int disk) {
  TPromptRequest request;
  request.id = TPromptId::InsertDisk;
  request.sourceText = QStringLiteral("Please insert disk #%d");
  request.text = QStringLiteral("Please insert disk #%1").arg(disk);
  request.disk = disk;
  request.path = QStringLiteral("/media/disk");
  return request;
}

TEST(InstallPrompts, IdsAreStable) {
  EXPECT_EQ(static_cast<int>(TPromptId::InsertDisk), 1);
  EXPECT_EQ(static_cast<int>(TPromptId::InsertFloppy), 2);
  EXPECT_EQ(static_cast<int>(TPromptId::ShowError), 3);
  EXPECT_EQ(static_cast<int>(TPromptId::RebootFailed), 4);
}

TEST(InstallPrompts, WithoutAPrompterQuestionsAreCancelledAndNoticesDropped) {
  EXPECT_EQ(CurrentInstallPrompter(), nullptr);
  const TPromptAnswer disk = AskPrompt(DiskRequest(2));
  EXPECT_EQ(disk.button, TPromptButton::Cancel);
  EXPECT_EQ(disk.path, "/media/disk");
  TPromptRequest floppy = DiskRequest(3);
  floppy.id = TPromptId::InsertFloppy;
  EXPECT_EQ(AskPrompt(floppy).button, TPromptButton::Cancel);
  TPromptRequest error;
  error.id = TPromptId::ShowError;
  error.text = QStringLiteral("The disk is full");
  EXPECT_EQ(AskPrompt(error).button, TPromptButton::Ok);
}

TEST(InstallPrompts, TheScriptedPrompterAnswersInOrderAndNotesStrays) {
  auto owned = std::make_unique<TScriptedPrompter>(std::deque<TScriptedPrompter::TStep>{
      {TPromptId::InsertDisk, {TPromptButton::Ok, QStringLiteral("/media/second")}},
      {TPromptId::InsertDisk, {TPromptButton::Ok, QString()}},
      {TPromptId::InsertDisk, {TPromptButton::Cancel, QString()}}});
  TScriptedPrompter* prompter = owned.get();
  EXPECT_EQ(SetInstallPrompter(std::move(owned)), nullptr);
  EXPECT_EQ(CurrentInstallPrompter(), prompter);

  TPromptAnswer first = AskPrompt(DiskRequest(2));
  EXPECT_EQ(first.button, TPromptButton::Ok);
  EXPECT_EQ(first.path, "/media/second");
  EXPECT_EQ(AskPrompt(DiskRequest(3)).path, "/media/disk");  // unchanged path kept
  TPromptRequest stray;
  stray.id = TPromptId::RebootFailed;
  stray.text = QStringLiteral("Could not reboot windows. Please manually reboot windows.");
  EXPECT_EQ(AskPrompt(stray).button, TPromptButton::Cancel);
  EXPECT_EQ(prompter->Failures,
            QStringList{"unexpected prompt 4: Could not reboot windows. Please manually reboot windows."});
  EXPECT_FALSE(prompter->Done());
  EXPECT_EQ(AskPrompt(DiskRequest(4)).button, TPromptButton::Cancel);
  EXPECT_TRUE(prompter->Done());
  ASSERT_EQ(prompter->Requests.size(), 4);
  EXPECT_EQ(prompter->Requests[1].disk, 3);
  EXPECT_EQ(prompter->Requests[1].sourceText, "Please insert disk #%d");

  std::unique_ptr<TInstallPrompter> back = SetInstallPrompter(nullptr);
  EXPECT_EQ(back.get(), prompter);
  EXPECT_EQ(CurrentInstallPrompter(), nullptr);
}

TEST(ParameterObjects, PercentsRoundHalvesToEvenAndFailSafe) {
  EXPECT_EQ(RoundPercent(1, 200), 0);   // 0.5
  EXPECT_EQ(RoundPercent(3, 200), 2);   // 1.5
  EXPECT_EQ(RoundPercent(5, 200), 2);   // 2.5
  EXPECT_EQ(RoundPercent(1, 3), 33);
  EXPECT_EQ(RoundPercent(2, 3), 67);
  EXPECT_EQ(RoundPercent(10, 0), 0);
  EXPECT_EQ(RoundPercent(0, 0), 0);
  EXPECT_EQ(RoundPercent(1e300, 1e-300), 0);
  TObject file;
  TDiskParameter disk;
  TParameterList list{&file, &disk};
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(1), &disk);
  EXPECT_THROW(list.Items(2), EListError);
}

}  // namespace
