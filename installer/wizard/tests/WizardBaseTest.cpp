// The wizard's base: dialog components and managers on their stage codes,
// the wizard frame's Back, Next and Cancel, the abort question (also when
// the window manager closes a page) and pages that take the current
// language's texts and font when they are shown.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TBaseInstallDlg.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TWizardPrompter.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/dlgcmp_InstallType.h"
#include "installer/wizard/dlgcmp_Welcome.h"
#include "installer/wizard/ordlg_ChangeDisk.h"
#include "installer/wizard/ordlg_Welcome.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Dialogs.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/controls/Application.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/Edit.h"
#include "tests/support/TestSupport.h"

#include <QCloseEvent>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

// A page that chooses the compact install: Next writes the choice into the
// install object it works on.
class TTestPageForm : public TBaseInstallForm {
 public:
  explicit TTestPageForm(TComponent* owner) : TBaseInstallForm(owner) {
    SetPageDefaults(10, dmBeforeInstall);
    ReadForm(this, QStringLiteral(":/forms/testpage.form"));
  }
  static TFormBinding Binding() {
    return {
        Field("Label1", &TTestPageForm::Label1),
        Field("CheckBox1", &TTestPageForm::CheckBox1),
        Field("BackButton", &TTestPageForm::BackButton),
        Field("NextButton", &TTestPageForm::NextButton),
        Field("CancelButton", &TTestPageForm::CancelButton),
        Handler("BackButtonClick", &TTestPageForm::BackButtonClick),
        Handler("NextButtonClick", &TTestPageForm::NextButtonClick),
        Handler("CancelButtonClick", &TTestPageForm::CancelButtonClick),
    };
  }
  void InitializeForm() override {
    ++initialized;
    BackButton->SetVisible(!IsFirstPage());
  }
  void BackButtonClick(TObject*) { PreviousPage(); }
  void NextButtonClick(TObject*) {
    if (Container() != nullptr) Container()->SetInstallType(CheckBox1->Checked() ? itCompact : itFull);
    NextPage();
  }
  void CancelButtonClick(TObject*) { CancelWizard(); }
  // The page's bit set: it asks to be skipped.
  bool SkipPage() override { return (skipMask & PageBit()) != 0; }
  virtual int PageBit() const { return 1; }
  static inline int skipMask = 0;

  TTranslateLabel* Label1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TButton* BackButton = nullptr;
  TButton* NextButton = nullptr;
  TButton* CancelButton = nullptr;
  int initialized = 0;
};

// A second page that has no dialog component of its own.
class TTestSecondForm : public TTestPageForm {
 public:
  explicit TTestSecondForm(TComponent* owner) : TTestPageForm(owner) {
    SetOrder(20);
    SetCaption(QStringLiteral("Second page"));
  }
  int PageBit() const override { return 2; }
};

// A change-disk prompt that records the disk it was shown for.
class TTestDiskForm : public TBaseChangeDiskForm {
 public:
  explicit TTestDiskForm(TComponent* owner) : TBaseChangeDiskForm(owner) {
    SetCaption(QStringLiteral("Disk"));
  }
  void InitializeForm() override { ++initialized; }
  static inline int initialized = 0;
};

void Click(TButton* c) { c->Click(); }

void CloseByWindowManager(TForm* form) {
  QCloseEvent close;
  QCoreApplication::sendEvent(form->Handle(), &close);
}

class WizardBase : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardFormClasses();
    RegisterTranslateControlClasses();
    RegisterInstallClasses();
    app = std::make_unique<TApplication>();
    setup = std::make_unique<TForm>(nullptr);
    install = new TInstall(setup.get());
    install->SetName(QStringLiteral("Install1"));
    SetUserAbortQuestion([this] {
      ++questions;
      if (answers.empty()) return false;
      const bool yes = answers.front();
      answers.pop_front();
      return yes;
    });
  }
  void TearDown() override {
    setup.reset();
    translator.reset();
    app.reset();
  }
  TDialogManager* AddManager() {
    auto* m = new TDialogManager(setup.get());
    m->SetName(QStringLiteral("Manager1"));
    m->SetContainer(install);
    return m;
  }
  // A real page component: the welcome page's.
  TWelcomeDlg* AddPageDlg() {
    RegisterBeforeInstallPageClasses();
    auto* d = new TWelcomeDlg(setup.get());
    d->SetName(QStringLiteral("PageDlg1"));
    d->SetContainer(install);
    return d;
  }
  // The Finnish texts live in the Spanish table, with their own font.
  void AddFinnish() {
    translator = std::make_unique<TTranslator>(nullptr);
    translator->lgEnglish()->Strings()->Add(QStringLiteral("3;Welcome"));
    translator->lgSpanish()->Strings()->Add(QStringLiteral("3;Tervetuloa"));
    translator->lgEnglish()->Strings()->Add(QStringLiteral("5;Next >"));
    translator->lgSpanish()->Strings()->Add(QStringLiteral("5;Seuraava >"));
    TFont font;
    font.SetName(QStringLiteral("Liberation Serif"));
    font.SetSize(11);
    translator->lgSpanish()->SetFont(&font);
    translator->lgSpanish()->SetFontOverride(true);
    translator->SetTranslateIntoLanguage(olSpanish);
  }

  std::unique_ptr<TApplication> app;
  std::unique_ptr<TForm> setup;
  std::unique_ptr<TTranslator> translator;
  TInstall* install = nullptr;
  std::deque<bool> answers;
  int questions = 0;
};

TEST_F(WizardBase, AStandAloneComponentShowsItsPageOnItsCodeAndWritesTheChoice) {
  RegisterBeforeInstallPageClasses();
  install->SetInstallTypes({itDefault, itCompact, itFull});
  install->SetInstallType(itFull);
  auto* dlg = new TInstallTypeDlg(setup.get());
  dlg->SetName(QStringLiteral("TypeDlg1"));
  dlg->SetContainer(install);
  int shown = 0;
  app->ModalDriver = [&](TObject* modal) {
    auto* page = dynamic_cast<TInstallTypeForm*>(modal);
    ASSERT_NE(page, nullptr);
    ++shown;
    EXPECT_EQ(page->Container(), install);
    EXPECT_EQ(page->DC(), dlg);
    EXPECT_FALSE(page->BackBtn->Visible());
    EXPECT_EQ(page->PageControl->ActivePage(), page->FullTab);
    page->PageControl->SetActivePage(page->CompactTab);
    page->PageControlChange(page->PageControl);
    page->ProceedBtn->Click();
  };
  install->BroadcastMessage(install, scReadme, nullptr);
  EXPECT_EQ(shown, 0);
  install->BroadcastMessage(install, scStartProcessing, nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(install->CurrentInstallType(), itCompact);
  EXPECT_EQ(dlg->Dialog(), nullptr);

  // With a manager the component leaves its code to the manager.
  TDialogManager* manager = AddManager();
  dlg->SetDialogManager(manager);
  EXPECT_TRUE(manager->Dialogs().contains(dlg));
  install->BroadcastMessage(install, scStartProcessing, nullptr);
  EXPECT_EQ(shown, 1);
}

TEST_F(WizardBase, TheManagerRunsItsPagesWithBackAndNext) {
  TDialogManager* manager = AddManager();
  TWelcomeDlg* dlg = AddPageDlg();
  ASSERT_EQ(dlg->DialogManager(), manager);
  TBIFEntry* second = RegisterInstallForm(&FormClassOf<TTestSecondForm>, nullptr, 0);
  QStringList seen;
  app->ModalDriver = [&](TObject* modal) {
    auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->PageCount(), 2);
    EXPECT_EQ(frame->Width(), 478);
    EXPECT_EQ(frame->Height(), 395);
    auto* first = dynamic_cast<TWelcomeForm*>(frame->Page(0));
    ASSERT_NE(first, nullptr);
    auto* last = static_cast<TTestPageForm*>(frame->Page(1));
    EXPECT_EQ(first->DC(), dlg);
    // The page without a component works on the install all the same.
    EXPECT_EQ(last->DC(), nullptr);
    EXPECT_EQ(last->Container(), install);
    seen << frame->Caption();
    EXPECT_TRUE(first->IsFirstPage());
    EXPECT_FALSE(first->BackBtn->Visible());
    Click(first->ProceedBtn);
    seen << frame->Caption();
    EXPECT_TRUE(last->IsLastPage());
    EXPECT_TRUE(last->BackButton->Visible());
    // The pages stand over the display panel, inside the frame.
    EXPECT_EQ(last->Handle()->parentWidget(), frame->Handle());
    EXPECT_EQ(last->Width(), frame->DisplayPanel->Width());
    // What the frame shows is the current page, drawn over its display.
    const QImage shot = frame->Handle()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(240, 150)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(frame->ClientWidth() - 2, 150)), QColor(Qt::white));
    Click(last->BackButton);
    seen << frame->Caption();
    EXPECT_EQ(frame->CurrentPage(), first);
    Click(first->BackBtn);  // hidden, and nowhere to go
    EXPECT_EQ(frame->CurrentPage(), first);
    Click(first->ProceedBtn);
    EXPECT_EQ(frame->ModalResult(), mrNone);
    Click(last->NextButton);
    EXPECT_EQ(frame->ModalResult(), mrOk);
  };
  install->BroadcastMessage(install, scBeforeInstallWizard, nullptr);
  EXPECT_EQ(seen, QStringList({"Welcome", "Second page", "Welcome"}));
  // The second page's Next wrote last: it works on the install too.
  EXPECT_EQ(install->CurrentInstallType(), itFull);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
  EXPECT_EQ(dlg->Dialog(), nullptr);
  UnregisterInstallForm(second);
}

TEST_F(WizardBase, CancelAsksAndOnlyAYesEndsAsAUserAbort) {
  struct Row {
    const char* how;
    bool standAlone;
    bool windowManager;
  };
  const Row rows[] = {
      {"wizard, Cancel button", false, false},
      {"wizard, window manager", false, true},
      {"stand-alone page, Cancel button", true, false},
      {"stand-alone page, window manager", true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    setup = std::make_unique<TForm>(nullptr);
    install = new TInstall(setup.get());
    TWelcomeDlg* dlg = AddPageDlg();
    if (!row.standAlone) dlg->SetDialogManager(AddManager());
    answers = {false, true};
    questions = 0;
    app->ModalDriver = [&](TObject* modal) {
      auto* form = dynamic_cast<TForm*>(modal);
      ASSERT_NE(form, nullptr);
      auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
      auto* page = frame != nullptr ? dynamic_cast<TWelcomeForm*>(frame->Page(0))
                                    : dynamic_cast<TWelcomeForm*>(modal);
      ASSERT_NE(page, nullptr);
      auto cancel = [&] {
        if (row.windowManager)
          CloseByWindowManager(form);
        else
          Click(page->CancelBtn);
      };
      cancel();  // answered no
      EXPECT_EQ(questions, 1);
      EXPECT_EQ(form->ModalResult(), mrNone);
      EXPECT_TRUE(form->Modal());
      cancel();  // answered yes
      EXPECT_EQ(form->ModalResult(), mrAbort);
    };
    const int code = row.standAlone ? scWelcome : scBeforeInstallWizard;
    EXPECT_THROW(install->BroadcastMessage(install, code, nullptr), EAIUserAbort);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(CurrentDialogManager(), nullptr);
  }
}

TEST_F(WizardBase, APageTakesTheFinnishTextsAndFontWhenShown) {
  AddFinnish();
  const bool standAlone[] = {true, false};
  for (bool alone : standAlone) {
    SCOPED_TRACE(alone ? "stand-alone" : "in the wizard");
    setup = std::make_unique<TForm>(nullptr);
    install = new TInstall(setup.get());
    TWelcomeDlg* dlg = AddPageDlg();
    if (!alone) dlg->SetDialogManager(AddManager());
    QString caption;
    QString face;
    app->ModalDriver = [&](TObject* modal) {
      auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
      auto* page = frame != nullptr ? dynamic_cast<TWelcomeForm*>(frame->Page(0))
                                    : dynamic_cast<TWelcomeForm*>(modal);
      ASSERT_NE(page, nullptr);
      caption = page->ProceedBtn->Caption();
      face = page->ProceedBtn->Font()->Name();
      Click(page->ProceedBtn);
    };
    install->BroadcastMessage(install, alone ? scWelcome : scBeforeInstallWizard, nullptr);
    EXPECT_EQ(caption, QStringLiteral("Seuraava >"));
    EXPECT_EQ(face, QStringLiteral("Liberation Serif"));
    EXPECT_EQ(dlg->LastLanguage(), olSpanish);
  }
}

TEST_F(WizardBase, ManagersPlaceTheirWizardAndSkipAnEmptyOne) {
  TDialogManager* manager = AddManager();
  struct Row {
    TOndrixDialogPosition position;
    int left, top;
    TPoint expected;
  };
  // A 1000 x 800 screen, a 478 x 395 wizard, captions 20 high.
  const Row rows[] = {
      {odpCenter, 0, 0, {261, 202}},        {odpCenter, 5, -7, {266, 195}},
      {odpBottomRight, 0, 0, {522, 385}},   {odpTopLeft, 3, 4, {3, 4}},
      {odpCenterRight, 10, 0, {512, 202}},  {odpBottomCenter, 0, 10, {261, 375}},
  };
  for (const Row& row : rows) {
    manager->SetPosition(row.position);
    manager->SetRelativeLeftOffset(row.left);
    manager->SetRelativeTopOffset(row.top);
    EXPECT_EQ(manager->PlaceOnScreen(478, 395, 1000, 800, 20), row.expected) << row.position;
  }
  // An after-good-install wizard has no page here: nothing shows.
  manager->SetManagerType(dmAfterGoodInstall);
  AddPageDlg()->SetDialogManager(nullptr);
  int shown = 0;
  app->ModalDriver = [&](TObject*) { ++shown; };
  install->BroadcastMessage(install, scAfterGoodInstall, nullptr);
  EXPECT_EQ(shown, 0);
}

TEST_F(WizardBase, RegistryAndParameterErrors) {
  EXPECT_EQ(InstallFormCount(), 0);
  auto message = [](auto&& f) -> QString {
    try {
      f();
    } catch (const Exception& e) {
      return e.Message();
    }
    return QStringLiteral("<nothing raised>");
  };
  EXPECT_EQ(message([] { GetInstallFormEntry(0); }), "The BIFList is NIL");
  TBIFEntry* entry = RegisterInstallForm(&FormClassOf<TTestSecondForm>, nullptr, 0);
  EXPECT_EQ(message([] { GetInstallFormEntry(1); }), "1 is an invalid index in the BIFList");
  EXPECT_EQ(GetInstallFormEntry(0), entry);
  UnregisterInstallForm(entry);
  EXPECT_EQ(InstallFormCount(), 0);

  TDialogManager* manager = AddManager();
  EXPECT_EQ(message([&] { manager->AddDialog(nullptr); }),
            "Cannot add a NIL Dialog to the Dialog Manager Manager1");
  manager->SetManagerType(dmDuringCopyFiles);
  TMessageParameter wrong;
  EXPECT_EQ(message([&] { manager->HandleMessage(install, scFileStatus, nullptr); }),
            "Manager1 got a nil PO parameter");
  EXPECT_EQ(message([&] { manager->HandleMessage(install, scFileStatus, &wrong); }),
            "The PO object passed to Manager1 is not a TFileStatusParameter object");
  EXPECT_EQ(message([&] { manager->HandleMessage(install, scDownloadStatus, &wrong); }),
            "The PO object passed to Manager1 is not a TDownloadStatusParameter object");
  TWelcomeDlg* dlg = AddPageDlg();
  EXPECT_EQ(message([&] { dlg->AssignDialogProperties(); }),
            "Cannot AssignDialogProperties for PageDlg1 because the Dialog is Nil");
}

TEST_F(WizardBase, TheChangeDiskPromptChecksItsParameterFirst) {
  TDialogManager* manager = AddManager();
  manager->SetManagerType(dmChangeDisk);
  TBCDFEntry* entry = RegisterChangeDiskForm(&FormClassOf<TTestDiskForm>, nullptr, 0);
  auto* file = new TInstallFile(setup.get());
  TMessageParameter other;
  TDiskParameter disk;
  disk.Disk = 2;
  TParameterList empty;
  TParameterList one{file};
  TParameterList badFirst{&other, &disk};
  TParameterList badSecond{file, &other};
  TParameterList good{file, &disk};
  struct Row {
    TObject* param;
    const char* error;
  };
  const Row rows[] = {
      {nullptr, "The ParameterObject is Nil in the TDialogManager. Cannot show the change disk form"},
      {&other, "TChangeDiskDlg--PO is not a TList object"},
      {&one, "TChangeDiskDlg--Not engouh parameters for status event"},
      {&badFirst, "TChangeDiskDlg says bad first parameter"},
      {&badSecond, "TChangeDiskDlg says bad second parameter"},
  };
  int shown = 0;
  TModalResult answer = mrOk;
  app->ModalDriver = [&](TObject* modal) {
    auto* form = dynamic_cast<TTestDiskForm*>(modal);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->DiskParameter(), &disk);
    ++shown;
    form->SetModalResult(answer);
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.error);
    try {
      install->BroadcastMessage(install, scNewDisk, row.param);
      ADD_FAILURE() << "nothing raised";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QString::fromUtf8(row.error));
    }
  }
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(file->Tag(), 0);
  install->BroadcastMessage(install, scNewDisk, &good);
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(file->Tag(), 1);
  EXPECT_EQ(TTestDiskForm::initialized, 1);
  answer = mrAbort;
  EXPECT_THROW(install->BroadcastMessage(install, scNewDisk, &good), EAIUserAbort);
  EXPECT_EQ(CurrentDialogManager(), nullptr);
  UnregisterChangeDiskForm(entry);
}

TEST_F(WizardBase, TheWizardAnswersTheEnginesOtherPromptsWithBoxes) {
  struct Row {
    TPromptId id;
    bool firstButton;
    TPromptButton expected;
    TMessageIcon icon;
  };
  const Row rows[] = {
      {TPromptId::FloppiesWritten, true, TPromptButton::Ok, miInformation},
      {TPromptId::ShowError, true, TPromptButton::Ok, miError},
      {TPromptId::RebootFailed, true, TPromptButton::Ok, miInformation},
  };
  const std::unique_ptr<TInstallPrompter> before = InstallWizardPrompter();
  app->SetTitle(QStringLiteral("Velmio"));
  for (const Row& row : rows) {
    QString text;
    QString caption;
    TMessageIcon icon = miNone;
    app->ModalDriver = [&](TObject* modal) {
      auto* box = dynamic_cast<TMessageForm*>(modal);
      ASSERT_NE(box, nullptr);
      text = box->Text();
      caption = box->Caption();
      icon = box->Icon();
      box->ClickButton(row.firstButton ? box->Buttons().first().result
                                       : box->Buttons().last().result);
    };
    TPromptRequest request;
    request.id = row.id;
    request.text = QStringLiteral("Aseta levyke 2");
    request.path = QStringLiteral("/media/levy");
    const TPromptAnswer answer = AskPrompt(request);
    EXPECT_EQ(answer.button, row.expected) << static_cast<int>(row.id);
    EXPECT_EQ(answer.path, request.path);
    EXPECT_EQ(text, request.text);
    EXPECT_EQ(caption, QStringLiteral("Velmio"));
    EXPECT_EQ(icon, row.icon);
  }
  SetInstallPrompter(nullptr);
}

// Writing floppies: the disk prompt is the disk page with the folder the
// disk goes to, which the user may change; the first folder is chosen in
// the folder browser.
TEST_F(WizardBase, TheFloppyPromptsNameTheFolderAndLetTheUserPickAnother) {
  const std::unique_ptr<TInstallPrompter> before = InstallWizardPrompter();
  const QString chosen = qxtest::TempPath(QStringLiteral("levyt"));
  ASSERT_TRUE(QDir().mkpath(chosen));
  for (bool ok : {true, false}) {
    QString shownPath;
    app->ModalDriver = [&](TObject* modal) {
      if (auto* form = dynamic_cast<TChangeDiskForm*>(modal)) {
        shownPath = form->PathEdit->Text();
        if (!ok) {
          form->SetModalResult(mrAbort);
          return;
        }
        form->PathEdit->SetText(chosen);
        form->InstallBtnClick(form->InstallBtn);
      } else if (auto* dialog = dynamic_cast<TOpenFolderDialog*>(modal)) {
        shownPath = dialog->FileDialog()->directory().absolutePath();
        if (ok) dialog->ChooseFolder(chosen);
        else dialog->ActiveDialog()->reject();
      } else {
        ADD_FAILURE() << "unexpected window";
      }
    };
    TPromptRequest request;
    request.id = TPromptId::InsertFloppy;
    request.disk = 2;
    request.path = qxtest::TempRoot();
    TPromptAnswer answer = AskPrompt(request);
    EXPECT_EQ(shownPath, request.path);
    EXPECT_EQ(answer.button, ok ? TPromptButton::Ok : TPromptButton::Cancel);
    EXPECT_EQ(answer.path, ok ? chosen : request.path);

    request.id = TPromptId::ChooseFloppyFolder;
    shownPath.clear();
    answer = AskPrompt(request);
    EXPECT_EQ(shownPath, request.path);
    EXPECT_EQ(answer.button, ok ? TPromptButton::Ok : TPromptButton::Cancel);
    if (ok) {
      EXPECT_EQ(answer.path, chosen);
    }
  }
  SetInstallPrompter(nullptr);
}

// A setup script's wizard objects, as a form file holds them.
const char kScript[] = R"(object Script: TDataModule
  object Install1: TInstall
  end
  object Manager1: TDialogManager
    Container = Install1
    Width = 500
    Position = odpTopLeft
  end
  object PageDlg1: TWelcomeDlg
    Container = Install1
    DialogManager = Manager1
    Order = 5
    OnBeforeExecute = Never
  end
end
)";

TEST_F(WizardBase, AScriptsPageComponentJoinsItsManager) {
  RegisterInstallDialogClasses();
  RegisterBeforeInstallPageClasses();
  setup.reset();  // the script brings its own install component
  TDataModule script(nullptr);
  int never = 0;
  script.DefineMethod<void(TObject*)>(QStringLiteral("Never"), [&never](TObject*) { ++never; });
  ReadRootComponent(&script, QByteArray(kScript), QStringLiteral("script.form"));
  auto* manager = FindComponentAs<TDialogManager>(&script, QStringLiteral("Manager1"));
  auto* dlg = FindComponentAs<TWelcomeDlg>(&script, QStringLiteral("PageDlg1"));
  auto* scriptInstall = FindComponentAs<TInstall>(&script, QStringLiteral("Install1"));
  EXPECT_EQ(dlg->DialogManager(), manager);
  EXPECT_EQ(manager->Dialogs(), QList<TCustomBaseInstallDlg*>({dlg}));
  EXPECT_EQ(FindDialogManager(dmBeforeInstall), manager);
  EXPECT_EQ(FindDialogManager(dmAfterBadInstall), nullptr);
  int frames = 0;
  app->ModalDriver = [&](TObject* modal) {
    auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
    ASSERT_NE(frame, nullptr);
    ++frames;
    EXPECT_EQ(frame->Width(), 500);
    EXPECT_EQ(frame->Left(), 0);
    EXPECT_EQ(frame->Page(0)->Order(), 5);
    Click(dynamic_cast<TWelcomeForm*>(frame->Page(0))->ProceedBtn);
  };
  scriptInstall->BroadcastMessage(scriptInstall, scWelcome, nullptr);
  EXPECT_EQ(frames, 0);
  scriptInstall->BroadcastMessage(scriptInstall, scBeforeInstallWizard, nullptr);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(never, 0);  // the manager shows the page, not the component
}

TEST_F(WizardBase, SkippedPagesAreStepped) {
  AddManager();
  TBIFEntry* firstEntry = RegisterInstallForm(&FormClassOf<TTestPageForm>, nullptr, 0);
  TBIFEntry* second = RegisterInstallForm(&FormClassOf<TTestSecondForm>, nullptr, 0);
  struct Row {
    const char* what;
    int skipMask;
    const char* shownFirst;
    bool finishesOnFirstNext;
  };
  const Row rows[] = {
      {"none skipped", 0, "Test page", false},
      {"the first skips", 1, "Second page", true},
      {"the last skips", 2, "Test page", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TTestPageForm::skipMask = row.skipMask;
    QString first;
    bool finished = false;
    app->ModalDriver = [&](TObject* modal) {
      auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
      ASSERT_NE(frame, nullptr);
      first = frame->Caption();
      auto* page = static_cast<TTestPageForm*>(frame->CurrentPage());
      EXPECT_TRUE(page->IsFirstPage());
      Click(page->NextButton);
      finished = frame->ModalResult() == mrOk;
      if (!finished) Click(static_cast<TTestPageForm*>(frame->CurrentPage())->NextButton);
    };
    install->BroadcastMessage(install, scBeforeInstallWizard, nullptr);
    EXPECT_EQ(first, QString::fromUtf8(row.shownFirst));
    EXPECT_EQ(finished, row.finishesOnFirstNext);
  }
  TTestPageForm::skipMask = 0;
  UnregisterInstallForm(second);
  UnregisterInstallForm(firstEntry);
}

TEST_F(WizardBase, ApplyLanguageFollowsTheFormsSettings) {
  AddFinnish();
  translator->lgGerman()->Strings()->Add(QStringLiteral("3;Willkommen"));
  struct Row {
    const char* what;
    bool autoTranslate;
    bool autoSetFont;
    bool override;
    const char* caption;
    TOndxLanguage language;
    const char* face;
  };
  const Row rows[] = {
      {"the main translator's language", true, true, false, "Tervetuloa", olSpanish,
       "Liberation Serif"},
      {"texts as designed, font all the same", false, true, false, "Welcome", olEnglish,
       "Liberation Serif"},
      {"font as designed", true, false, false, "Tervetuloa", olSpanish, "Arial"},
      {"its own language", true, false, true, "Willkommen", olGerman, "Arial"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TTestPageForm page(nullptr);
    page.SetAutoTranslate(row.autoTranslate);
    page.SetAutoSetFont(row.autoSetFont);
    page.SetOverrideMainTranslator(row.override);
    page.SetTranslateIntoLanguage(olGerman);
    page.ApplyLanguage();
    EXPECT_EQ(page.Label1->Caption(), QString::fromUtf8(row.caption));
    EXPECT_EQ(page.FormLanguage(), row.language);
    EXPECT_EQ(page.Label1->Font()->Name(), QString::fromUtf8(row.face));
  }
  // A language change reaches every live wizard form.
  TTestPageForm page(nullptr);
  translator->SetTranslateIntoLanguage(olGerman);
  RefreshAllOndrixForms();
  EXPECT_EQ(page.Label1->Caption(), QStringLiteral("Willkommen"));
}

}  // namespace
