// The windows of the install run: the copy progress during a real
// extraction and its cancel, the status window, the disk prompt, and the
// end pages (the restart choice written to the engine's flag).
#include "installer/engine/tests/InstallFileTestSupport.h"
#include "installer/engine/tests/InstallHostTestSupport.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "installer/engine/tests/OndxCompressTestSupport.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TWizardPrompter.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/dlgcmp_ChangeDisk.h"
#include "installer/wizard/dlgcmp_CopyFile.h"
#include "installer/wizard/dlgcmp_EndPages.h"
#include "installer/wizard/dlgcmp_InstallStatus.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/ordlg_ChangeDisk.h"
#include "installer/wizard/ordlg_Common.h"
#include "installer/wizard/ordlg_CopyFile.h"
#include "installer/wizard/ordlg_EndPages.h"
#include "installer/wizard/ordlg_InstallStatus.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Progress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

void CloseByWindowManager(TForm* form) {
  QCloseEvent close;
  QCoreApplication::sendEvent(form->Handle(), &close);
}

class CopyEnd : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardFormClasses();
    RegisterTranslateControlClasses();
    app = std::make_unique<TApplication>();
    SetUserAbortQuestion([this] {
      ++questions;
      return abortAnswer;
    });
    SetCopyCancelled(false);
  }
  void TearDown() override {
    script.reset();
    translator.reset();
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
    SetCopyCancelled(false);
    app.reset();
  }
  // An install of one group with a large file (many chunks) and a small one.
  void MakeScript() {
    script = std::make_unique<qxtest::TInstallScript>();
    group = script->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
    big = script->File(group, QStringLiteral("trovaly.bin"), octest::Content(400000, 1));
    small = script->File(group, QStringLiteral("trovaly.hlp"), octest::Content(9000, 2));
    script->Build();
  }
  QString Installed(TInstallFile* file) const {
    return file->GetExpandedDestDir() + QLatin1Char('/') + file->FileName();
  }
  TCopyFileDlg* AddCopyDlg() {
    auto* dlg = new TCopyFileDlg(script->Root());
    dlg->SetName(QStringLiteral("CopyDlg1"));
    dlg->SetContainer(script->Install());
    return dlg;
  }

  std::unique_ptr<TApplication> app;
  std::unique_ptr<qxtest::TInstallScript> script;
  std::unique_ptr<TTranslator> translator;
  TInstallFileGroup* group = nullptr;
  TInstallFile* big = nullptr;
  TInstallFile* small = nullptr;
  bool abortAnswer = true;
  int questions = 0;
};

TEST_F(CopyEnd, TheCopyWindowFollowsARealExtractionAndACancelIsNeverLost) {
  MakeScript();
  TCopyFileDlg* dlg = AddCopyDlg();
  struct Row {
    const char* when;
    bool answer;
    bool midFile;       // Cancel at the big file's second chunk
    bool betweenFiles;  // Cancel after the big file, before the small one
    bool aborted;
  };
  const Row rows[] = {
      {"no cancel", true, false, false, false},
      {"cancel answered no", false, true, false, false},
      {"cancel in the middle of a file", true, true, false, true},
      {"cancel between two files", true, false, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.when);
    QDir(qxtest::TempPath(QStringLiteral("opt"))).removeRecursively();
    SetCopyCancelled(false);
    abortAnswer = row.answer;
    questions = 0;
    QList<int> totals;
    int chunks = 0;
    big->OnStatus = [&](TCustomInstallFile*, int, int) {
      // What the window shows of the status before this one.
      if (TCopyFileForm* form = dlg->CopyForm(); form != nullptr && chunks > 0) {
        totals << form->ProgressBar2->Position();
        EXPECT_TRUE(form->Visible());
        EXPECT_EQ(form->Width(), 474);
        EXPECT_EQ(form->Height(), 146);
      }
      if (++chunks == 2 && row.midFile) dlg->CopyForm()->CancelBtn->Click();
    };
    big->OnAfterInstall = [&](TCustomInstallFile*) {
      if (row.betweenFiles) dlg->CopyForm()->CancelBtn->Click();
    };
    if (row.aborted) {
      EXPECT_THROW(script->Run(), EAIUserAbort);
    } else {
      script->Run();
    }
    EXPECT_EQ(questions, row.midFile || row.betweenFiles ? 1 : 0);
    if (row.midFile && row.aborted) {
      EXPECT_EQ(chunks, 2);
    } else {
      EXPECT_GT(chunks, 50);
      EXPECT_EQ(totals.size(), chunks - 1);
    }
    EXPECT_EQ(QFileInfo::exists(Installed(small)), !row.aborted);
    if (!row.midFile || !row.aborted) {
      EXPECT_EQ(qxtest::ReadBytes(Installed(big)), octest::Content(400000, 1));
    }
    // The total grows with the chunks; the window goes when the copy ends.
    for (int i = 1; i < totals.size(); ++i) EXPECT_GE(totals[i], totals[i - 1]);
    ASSERT_NE(dlg->CopyForm(), nullptr);
    EXPECT_FALSE(dlg->CopyForm()->Visible());
    if (!row.aborted) {
      EXPECT_EQ(dlg->CopyForm()->ProgressBar2->Position(), 100);
      EXPECT_EQ(dlg->CopyForm()->lblCopyingFile->Caption(), small->FileName());
    }
  }
  // Closing the window through the window manager is its Cancel.
  abortAnswer = false;
  questions = 0;
  SetCopyCancelled(false);
  CloseByWindowManager(dlg->CopyForm());
  EXPECT_EQ(questions, 1);
  EXPECT_FALSE(CopyCancelled());
}

TEST_F(CopyEnd, TheStatusWindowPushesAndPops) {
  translator = std::make_unique<TTranslator>(nullptr);
  translator->lgEnglish()->Strings()->Add(QStringLiteral("75;Reading file information..."));
  translator->lgSpanish()->Strings()->Add(QStringLiteral("75;Luetaan tiedostojen tietoja..."));
  translator->SetTranslateIntoLanguage(olSpanish);
  TForm setup(nullptr);
  auto* install = new TInstall(&setup);
  auto* dlg = new TInstallStatusDlg(&setup);
  dlg->SetName(QStringLiteral("StatusDlg1"));
  dlg->SetContainer(install);
  auto push = [&](const char* text) {
    TMessageParameter message;
    message.Message = QString::fromUtf8(text);
    install->BroadcastMessage(install, scShowStatus, &message);
  };
  auto pop = [&] { install->BroadcastMessage(install, scHideStatus, nullptr); };
  pop();  // nothing shown yet: nothing happens
  EXPECT_EQ(dlg->StatusForm(), nullptr);
  push("Reading file information...");
  push("Logging onto remote server");
  TInstallStatusForm* form = dlg->StatusForm();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->lblMessage->Caption(), QStringLiteral("Logging onto remote server"));
  EXPECT_EQ(dlg->MessageStack().size(), 2);
  const int narrow = form->Width();
  pop();
  // The first message again, translated from English each time.
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(dlg->CurrentMessage(), QStringLiteral("Reading file information..."));
  EXPECT_EQ(form->lblMessage->Caption(), QStringLiteral("Luetaan tiedostojen tietoja..."));
  EXPECT_EQ(form->Width(), form->lblMessage->Left() + form->pnlMessage->Left() +
                               form->pnlBack->Left() +
                               form->Canvas()->TextWidth(form->lblMessage->Caption()) + 25);
  EXPECT_NE(form->Width(), narrow);
  pop();
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(dlg->MessageStack().isEmpty());
  try {
    install->BroadcastMessage(install, scShowStatus, nullptr);
    ADD_FAILURE() << "nothing raised";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("StatusDlg1 got a nil PO parameter"));
  }
}

TEST_F(CopyEnd, TheDiskPromptReturnsTheEditedFolder) {
  const QString media = qxtest::TempPath(QStringLiteral("media/levy2"));
  QDir().mkpath(media);
  // kReturn: the folder typed, then Return in the path field.
  enum TAction { kEdit, kReturn, kBrowseCancelled, kBrowse, kCancel };
  struct Row {
    const char* what;
    bool throughManager;
    TAction action;
    QString expected;  // the path handed back; empty: a user abort
  };
  const Row rows[] = {
      {"prompter, edited", false, kEdit, QStringLiteral("/media/cdrom")},
      {"prompter, edited and Return", false, kReturn, QStringLiteral("/media/cdrom")},
      {"prompter, browse cancelled", false, kBrowseCancelled, QStringLiteral("/mnt/old")},
      {"prompter, browsed", false, kBrowse, media},
      {"prompter, cancelled", false, kCancel, QString()},
      {"manager, edited", true, kEdit, QStringLiteral("/media/cdrom")},
      {"manager, cancelled", true, kCancel, QString()},
  };
  const std::unique_ptr<TInstallPrompter> before = InstallWizardPrompter();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TForm setup(nullptr);
    auto* install = new TInstall(&setup);
    auto* manager = new TDialogManager(&setup);
    manager->SetManagerType(dmChangeDisk);
    manager->SetContainer(install);
    std::unique_ptr<TChangeDiskDlg> dlg;
    if (row.throughManager) {
      dlg = std::make_unique<TChangeDiskDlg>(nullptr);
      dlg->SetContainer(install);
    }
    questions = 0;
    int shown = 0;
    app->ModalDriver = [&](TObject* modal) {
      if (auto* folders = dynamic_cast<TOpenFolderDialog*>(modal)) {
        if (row.action == kBrowse)
          folders->ChooseFolder(media);
        else
          folders->ActiveDialog()->reject();
        return;
      }
      auto* form = dynamic_cast<TChangeDiskForm*>(modal);
      ASSERT_NE(form, nullptr);
      ++shown;
      EXPECT_EQ(form->PromptDiskLabel->Caption(), QStringLiteral("Please insert disk number 2"));
      EXPECT_EQ(form->PathEdit->Text(), QStringLiteral("/mnt/old"));
      switch (row.action) {
        case kEdit: form->PathEdit->SetText(QStringLiteral("/media/cdrom")); break;
        case kReturn: {
          form->PathEdit->SetText(QStringLiteral("/media/cdrom"));
          form->PathEdit->SetFocus();
          QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
          QCoreApplication::sendEvent(form->PathEdit->NativeWidget(), &press);
          EXPECT_EQ(form->ModalResult(), mrOk);
          return;
        }
        case kBrowseCancelled:
        case kBrowse: form->BrowseBtn->Click(); break;
        case kCancel:
          abortAnswer = false;
          CloseByWindowManager(form);  // answered no: stays
          EXPECT_EQ(form->ModalResult(), mrNone);
          abortAnswer = true;
          form->CancelBtn->Click();
          return;
      }
      form->InstallBtn->Click();
    };
    if (row.throughManager) {
      auto* file = new TInstallFile(&setup);
      TDiskParameter disk;
      disk.Disk = 2;
      disk.Path = QStringLiteral("/mnt/old");
      TParameterList list{file, &disk};
      if (row.expected.isEmpty()) {
        EXPECT_THROW(install->BroadcastMessage(install, scNewDisk, &list), EAIUserAbort);
      } else {
        install->BroadcastMessage(install, scNewDisk, &list);
        EXPECT_EQ(disk.Path, row.expected);
      }
    } else {
      TPromptRequest request;
      request.id = TPromptId::InsertDisk;
      request.disk = 2;
      request.path = QStringLiteral("/mnt/old");
      const TPromptAnswer answer = AskPrompt(request);
      EXPECT_EQ(answer.button, row.expected.isEmpty() ? TPromptButton::Cancel : TPromptButton::Ok);
      if (!row.expected.isEmpty()) {
        EXPECT_EQ(answer.path, row.expected);
      }
    }
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(questions, row.action == kCancel ? 2 : 0);
  }
  SetInstallPrompter(nullptr);
}

TEST_F(CopyEnd, TheRebootPageWritesTheChoiceIntoTheEnginesFlag) {
  struct Row {
    bool flagBefore;
    bool throughManager;
    int choose;  // -1 keeps the selection
    bool flagAfter;
  };
  const Row rows[] = {
      {false, false, -1, false}, {true, false, -1, true}, {true, false, 1, false},
      {false, false, 0, true},   {false, true, 0, true},  {true, true, 1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.flagBefore << row.throughManager << row.choose);
    TForm setup(nullptr);
    auto* install = new TInstall(&setup);
    if (row.throughManager) {
      auto* manager = new TDialogManager(&setup);
      manager->SetManagerType(dmReboot);
      manager->SetContainer(install);
    }
    auto* dlg = new TRebootDlg(&setup);
    dlg->SetContainer(install);
    SetRebootNeeded(row.flagBefore);
    int shown = 0;
    app->ModalDriver = [&](TObject* modal) {
      auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
      auto* page = frame != nullptr ? dynamic_cast<TRebootForm*>(frame->Page(0))
                                    : dynamic_cast<TRebootForm*>(modal);
      ASSERT_NE(page, nullptr);
      ++shown;
      EXPECT_EQ(page->RG->ItemIndex(), row.flagBefore ? 0 : 1);
      EXPECT_FALSE(page->BackBtn->Visible());
      // In a wizard of its own the page is the last: Finish; alone, Next.
      EXPECT_EQ(page->ProceedBtn->Visible(), !row.throughManager);
      EXPECT_EQ(page->FinishBtn->Visible(), row.throughManager);
      if (row.choose >= 0) page->RG->SetItemIndex(row.choose);
      (row.throughManager ? page->FinishBtn : page->ProceedBtn)->Click();
    };
    install->BroadcastMessage(install, scRestart, nullptr);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(RebootNeeded(), row.flagAfter);
  }
  SetRebootNeeded(false);
}

TEST_F(CopyEnd, AFailedRunEndsOnTheBadEndPage) {
  const QString program = qxtest::TempPath(QStringLiteral("setup/velmio"));
  qxtest::WriteBytes(program, "the setup program");
  SetInstallHost(std::make_unique<qxtest::TTestHost>(program));
  MakeScript();
  TCopyFileDlg* copy = AddCopyDlg();
  auto* good = new TGoodInstallationDlg(script->Root());
  good->SetContainer(script->Install());
  auto* bad = new TBadInstallationDlg(script->Root());
  bad->SetContainer(script->Install());
  SetInstallCommandLine(
      {QStringLiteral("-d"), QStringLiteral("-s") + qxtest::TempPath(QStringLiteral("build"))});
  script->Install()->ParseCommandLine();
  struct Row {
    const char* what;
    bool userAbort;
  };
  const Row rows[] = {{"an exception in a file", false}, {"the copy cancelled", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    auto prompter = std::make_unique<qxtest::TScriptedPrompter>(
        row.userAbort ? std::deque<qxtest::TScriptedPrompter::TStep>{}
                      : std::deque<qxtest::TScriptedPrompter::TStep>{
                            {TPromptId::ShowError, {TPromptButton::Ok, {}}}});
    qxtest::TScriptedPrompter* prompts = prompter.get();
    SetInstallPrompter(std::move(prompter));
    small->OnBeforeInstall = [&](TCustomInstallFile*) {
      if (row.userAbort)
        copy->CopyForm()->CancelBtn->Click();
      else
        throw Exception(QStringLiteral("The disk is on fire"));
    };
    QStringList pages;
    app->ModalDriver = [&](TObject* modal) {
      auto* page = dynamic_cast<TEndPageForm*>(modal);
      ASSERT_NE(page, nullptr);
      pages << page->Caption();
      EXPECT_TRUE(page->ProceedBtn->Visible());
      EXPECT_FALSE(page->FinishBtn->Visible());
      EXPECT_FALSE(page->BackBtn->Visible());
      page->ProceedBtn->Click();
    };
    try {
      script->Install()->Run();
    } catch (const Exception& e) {
      script->Install()->HandleException(nullptr, e);
    }
    EXPECT_EQ(pages, QStringList{QStringLiteral("Setup incomplete")});
    EXPECT_EQ(prompts->Requests.size(), row.userAbort ? 0 : 1);
    EXPECT_TRUE(prompts->Failures.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Installed(small)));
  }
}

}  // namespace

namespace {

// A setup script's run windows, as a form file holds them.
const char kRunScript[] = R"(object Script: TDataModule
  object Install1: TInstall
  end
  object CopyDlg: TCopyFileDlg
    Container = Install1
    Width = 500
    Position = odpTopLeft
  end
  object StatusDlg: TInstallStatusDlg
    Container = Install1
  end
  object DiskDlg: TChangeDiskDlg
    Container = Install1
  end
  object GoodDlg: TGoodInstallationDlg
    Container = Install1
  end
  object BadDlg: TBadInstallationDlg
    Container = Install1
  end
  object RebootDlg: TRebootDlg
    Container = Install1
  end
end
)";

TEST_F(CopyEnd, AScriptHoldsTheRunWindowsAndTheGoodEndShowsOnItsCode) {
  RegisterInstallClasses();
  RegisterRunWindowClasses();
  TDataModule root(nullptr);
  ReadRootComponent(&root, QByteArray(kRunScript), QStringLiteral("script.form"));
  auto* install = FindComponentAs<TInstall>(&root, QStringLiteral("Install1"));
  auto* copy = FindComponentAs<TCopyFileDlg>(&root, QStringLiteral("CopyDlg"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Width(), 500);
  EXPECT_EQ(copy->Position(), odpTopLeft);
  QStringList captions;
  app->ModalDriver = [&](TObject* modal) {
    auto* page = dynamic_cast<TEndPageForm*>(modal);
    ASSERT_NE(page, nullptr);
    captions << page->Caption();
    page->ProceedBtn->Click();
  };
  install->BroadcastMessage(install, scGoodEndPage, nullptr);
  install->BroadcastMessage(install, scAfterGoodInstall, nullptr);  // no manager: nothing
  EXPECT_EQ(captions, QStringList{QStringLiteral("Setup complete")});
  // A -996 before any status leaves the copy window unmade.
  install->BroadcastMessage(install, scOperationEnded, nullptr);
  EXPECT_EQ(copy->CopyForm(), nullptr);
}

}  // namespace
