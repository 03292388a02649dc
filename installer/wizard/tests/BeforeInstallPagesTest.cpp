// The before-install pages of a setup script, driven through the wizard as
// a user would: welcome, readme, components and program folder, with Back,
// Next and Cancel; the drive table of the components page; and, with
// QX_DESKTOP_SHOTS naming a folder, each page in Finnish on an X server.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/dlgcmp_FileGroups.h"
#include "installer/wizard/dlgcmp_InstallType.h"
#include "installer/wizard/dlgcmp_Readme.h"
#include "installer/wizard/dlgcmp_SelectFolder.h"
#include "installer/wizard/dlgcmp_Welcome.h"
#include "installer/wizard/ordlg_DriveSpace.h"
#include "installer/wizard/ordlg_License.h"
#include "installer/wizard/ordlg_SelectLanguage.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Memo.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/Panel.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/XvfbServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <climits>
#include <deque>
#include <functional>
#include <memory>

namespace {

// Finnish page texts, in the table the setup keeps them in.
const char* const kFinnish[] = {
    "2;Lue seuraava käyttöoikeussopimus.",
    "3;Napsauttamalla Seuraava hyväksyt kaikki käyttöoikeussopimuksen ehdot. Voit peruuttaa "
    "asennuksen napsauttamalla Peruuta.",
    "4;< Edellinen",
    "5;Seuraava >",
    "6;Peruuta",
    "8;Lue alla olevat tiedot ennen kuin asennat ohjelman tietokoneellesi.",
    "10;Tämä ohjelma asentaa ohjelmiston tietokoneellesi.",
    "11;On erittäin suositeltavaa, että suljet kaikki muut ohjelmat ennen asennuksen "
    "aloittamista. Jos sinun täytyy sulkea ohjelmia, napsauta Peruuta ja sulje ne.",
    "12;Jatka asennusta napsauttamalla Seuraava.",
    "18;Ohjelma asennetaan yleisimmin käytetyin valinnoin.",
    "20;Ohjelma asennetaan pienimmin tarvittavin valinnoin.",
    "22;Voit valita asennettavat osat itse. Suositellaan kokeneille käyttäjille.",
    "24;Ohjelma asennetaan kaikin valinnoin.",
    "26;&Selaa",
    "28;Valitse asennettavat osat ja poista valinta osista, joita et halua asentaa. "
    "Kaksoisnapsauta ryhmää nähdäksesi sen aliryhmät.",
    "29;Kuvaus",
    "31;Tilaa tarvitaan:",
    "32;Tilaa vapaana:",
    "41;Asennus lisää ohjelman kuvakkeet alla olevaan ohjelmakansioon. Voit kirjoittaa "
    "uuden kansion nimen tai valita sen Olemassa olevat kansiot -luettelosta.",
    "42;&Ohjelmakansio",
    "43;&Olemassa olevat kansiot",
    "48;&Selaa...",
    "17;Tavallinen",
    "19;Suppea",
    "21;Mukautettu",
    "23;Täysi",
    "25;Kohdekansio",
    "30;Kohdekansio",
    "59;Valitse haluamasi asennustapa ja napsauta Seuraava.",
    "33;tavua",
    "103;1\u00a0" "000",
};
const char* const kEnglish[] = {"6;Cancel", "10;This program will install the software on your computer.",
                                "17;Typical", "19;Compact", "21;Custom", "23;Full",
                                "25;Destination directory", "30;Destination directory",
                                "31;Space Required:", "32;Space Available:", "33;bytes", "103;1,000"};

class BeforeInstallPages : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardFormClasses();
    RegisterTranslateControlClasses();
    RegisterInstallClasses();
    RegisterBeforeInstallPageClasses();
    ASSERT_TRUE(tmp.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath(QStringLiteral("data"))));
    for (const char* folder : {"data/applications/Pelit", "data/applications/Tarvikkeet"})
      ASSERT_TRUE(QDir(tmp.path()).mkpath(QString::fromLatin1(folder)));
    app = std::make_unique<TApplication>();
    setup = std::make_unique<TForm>(nullptr);
    install = new TInstall(setup.get());
    install->SetName(QStringLiteral("Install1"));
    install->SetGroupName(QStringLiteral("Trovaly"));
    install->SetDestDir(tmp.filePath(QStringLiteral("trovaly")));
    game = AddGroup(install, "Peli", "peli", 120000);
    puzzles = AddGroup(install, "Ristikot", "ristikot", 4000);
    extras = AddGroup(puzzles, "Lisat", "lisat", 1000);
    links = new TMainLinkGroup(setup.get());
    links->SetName(QStringLiteral("Links1"));
    links->SetContainer(install);
    links->SetDestDir(QStringLiteral("/"));
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
    qunsetenv("XDG_DATA_HOME");
  }
  TInstallFileGroup* AddGroup(TInstallContainer* parent, const char* name, const char* dir, int bytes) {
    auto* group = new TInstallFileGroup(setup.get());
    group->SetName(QString::fromLatin1(name));
    group->SetGroupName(QString::fromLatin1(name));
    group->SetContainer(parent);
    group->SetDestDir(tmp.filePath(QString::fromLatin1(dir)));
    QFile source(tmp.filePath(QString::fromLatin1(name) + QStringLiteral(".bin")));
    EXPECT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(QByteArray(bytes, 'x'));
    source.close();
    auto* file = new TInstallFile(setup.get());
    file->SetName(QString::fromLatin1(name) + QStringLiteral("File"));
    file->SetIncludeFromDir(tmp.path());
    file->SetFileName(QString::fromLatin1(name) + QStringLiteral(".bin"));
    file->SetContainer(group);
    file->ReadFileInfo();
    return group;
  }
  // The script's before-install wizard: a manager and four page components.
  void AddWizard() {
    auto* manager = new TDialogManager(setup.get());
    manager->SetName(QStringLiteral("Manager1"));
    manager->SetContainer(install);
    auto* welcome = new TWelcomeDlg(setup.get());
    welcome->SetContainer(install);
    readme = new TReadmeDlg(setup.get());
    readme->SetContainer(install);
    readme->ReadmeText()->Add(QStringLiteral("Trovaly 2.0"));
    readme->ReadmeText()->Add(QString());
    readme->ReadmeText()->Add(QStringLiteral("Uudet ristikot."));
    readme->ReadmeText()->Add(QString());
    auto* type = new TInstallTypeDlg(setup.get());
    type->SetContainer(install);
    auto* groups = new TInstallFileGroupsDlg(setup.get());
    groups->SetContainer(install);
    folder = new TSelectFolderDlg(setup.get());
  }
  void AddFinnish() {
    translator = std::make_unique<TTranslator>(nullptr);
    for (const char* line : kEnglish) translator->lgEnglish()->Strings()->Add(QString::fromUtf8(line));
    for (const char* line : kFinnish) translator->lgSpanish()->Strings()->Add(QString::fromUtf8(line));
    translator->SetTranslateIntoLanguage(olSpanish);
  }
  // Runs the wizard with drive as its modal driver.
  void RunWizard(const std::function<void(TBaseFormContainer*)>& drive) {
    app->ModalDriver = [&](TObject* modal) {
      auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
      ASSERT_NE(frame, nullptr);
      drive(frame);
    };
    install->BroadcastMessage(install, scBeforeInstallWizard, nullptr);
  }

  QTemporaryDir tmp;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TForm> setup;
  std::unique_ptr<TTranslator> translator;
  TInstall* install = nullptr;
  TInstallFileGroup* game = nullptr;
  TInstallFileGroup* puzzles = nullptr;
  TInstallFileGroup* extras = nullptr;
  TMainLinkGroup* links = nullptr;
  TReadmeDlg* readme = nullptr;
  TSelectFolderDlg* folder = nullptr;
  std::deque<bool> answers;
  int questions = 0;
};

template <class T>
T* PageAs(TBaseFormContainer* frame) {
  auto* page = dynamic_cast<T*>(frame->CurrentPage());
  EXPECT_NE(page, nullptr) << "the current page is " << frame->Caption().toStdString();
  return page;
}

TEST_F(BeforeInstallPages, TheWizardWalksItsPagesAndWritesTheChoicesIntoTheInstall) {
  AddWizard();
  const QString volume = VolumeOf(tmp.path()).mountPoint;
  ASSERT_FALSE(volume.isEmpty());
  QStringList captions;
  RunWizard([&](TBaseFormContainer* frame) {
    // One install type only: the setup-type page is left out.
    ASSERT_EQ(frame->PageCount(), 5);
    auto* welcome = PageAs<TWelcomeForm>(frame);
    ASSERT_NE(welcome, nullptr);
    captions << frame->Caption();
    EXPECT_FALSE(welcome->BackBtn->Visible());
    EXPECT_EQ(welcome->Text3->Caption(), "Click Next to continue with the installation.");
    welcome->ProceedBtn->Click();

    auto* readmePage = PageAs<TReadmeForm>(frame);
    ASSERT_NE(readmePage, nullptr);
    captions << frame->Caption();
    EXPECT_TRUE(readmePage->BackBtn->Visible());
    // The text as written, the empty line inside it kept.
    EXPECT_EQ(readmePage->Information->Lines()->Text(), QStringLiteral("Trovaly 2.0\r\n\r\nUudet ristikot.\r\n"));
    readmePage->BackBtn->Click();
    EXPECT_EQ(frame->CurrentPage(), welcome);
    welcome->ProceedBtn->Click();
    readmePage->ProceedBtn->Click();

    auto* groups = PageAs<TFileGroupSelectForm>(frame);
    ASSERT_NE(groups, nullptr);
    captions << frame->Caption();
    // The tree: the install and its groups, the root opened one level.
    ASSERT_EQ(groups->GroupTree()->Items()->Count(), 4);
    EXPECT_EQ(groups->GroupTree()->Items()->Item(0)->Text(), "Trovaly");
    EXPECT_EQ(groups->GroupTree()->Items()->Item(2)->Text(), "Ristikot");
    EXPECT_EQ(groups->DirectoryLabel->Text(), install->GetExpandedDestDir());
    struct Row {
      const char* what;
      TFileContainer* uncheck;
      int rootBytes;
      int required;
    };
    const Row rows[] = {
        {"everything checked", nullptr, 125000, 125000},
        {"puzzles unchecked, with their extras", puzzles, 120000, 120000},
    };
    for (const Row& row : rows) {
      SCOPED_TRACE(row.what);
      if (row.uncheck != nullptr) {
        TIncludeCheckBox* box = groups->IncludeBoxOf(row.uncheck);
        ASSERT_NE(box, nullptr);
        box->SetChecked(false);
        EXPECT_FALSE(row.uncheck->Include());
      }
      TSizeLabel* rootSize = groups->SizeLabelOf(install);
      ASSERT_NE(rootSize, nullptr);
      EXPECT_EQ(rootSize->Caption(), BytesText(row.rootBytes));
      ASSERT_EQ(groups->DriveList()->Items()->Count(), 1);
      TListItem* drive = groups->DriveList()->Items()->Item(0);
      EXPECT_EQ(drive->Caption(), volume);
      EXPECT_EQ(drive->SubItems()->Strings(0), BytesText(row.required));
      EXPECT_EQ(drive->StateIndex(), -1);
      EXPECT_EQ(groups->pnlDriveSpace->Height(), 43);
    }
    // The column boxes stand level with the tree's rows.
    TIncludeCheckBox* gameBox = groups->IncludeBoxOf(game);
    ASSERT_NE(gameBox, nullptr);
    EXPECT_TRUE(gameBox->Checked());
    EXPECT_GT(gameBox->Top(), groups->IncludeBoxOf(install)->Top());
    EXPECT_EQ(groups->SizeLabelOf(game)->Top(), gameBox->Top());

    // Cancel answered no stays on the page.
    groups->CancelBtn->Click();
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(frame->ModalResult(), mrNone);
    EXPECT_EQ(frame->CurrentPage(), groups);
    groups->ProceedBtn->Click();

    auto* folderPage = PageAs<TSelectFolderForm>(frame);
    ASSERT_NE(folderPage, nullptr);
    captions << frame->Caption();
    EXPECT_EQ(folderPage->Container(), links);
    ASSERT_EQ(folderPage->FolderListBox->Items()->Count(), 2);
    EXPECT_EQ(folderPage->FolderListBox->Items()->Strings(1), "Tarvikkeet");
    EXPECT_EQ(folderPage->FolderEdit->Text(), "Pelit");
    folderPage->FolderListBox->SetItemIndex(1);
    folderPage->FolderListBoxClick(folderPage->FolderListBox);
    EXPECT_EQ(links->DestDir(), "/Tarvikkeet");
    folderPage->FolderEdit->SetText(QString());
    EXPECT_EQ(links->DestDir(), "/");
    folderPage->FolderEdit->SetText(QStringLiteral("Trovaly"));
    EXPECT_NE(dynamic_cast<TpsProgramMenu*>(links->DestDirType()), nullptr);
    folderPage->ProceedBtn->Click();
    EXPECT_EQ(frame->ModalResult(), mrOk);
  });
  EXPECT_EQ(captions, QStringList({"Welcome", "Readme information", "Select components to install",
                                   "Select folder in start menu"}));
  EXPECT_EQ(links->DestDir(), "/Trovaly");
  EXPECT_FALSE(puzzles->Include());
  EXPECT_TRUE(game->Include());

  // Cancel answered yes ends the run as a user abort.
  answers = {true};
  EXPECT_THROW(RunWizard([](TBaseFormContainer* frame) {
                 PageAs<TWelcomeForm>(frame)->CancelBtn->Click();
                 EXPECT_EQ(frame->ModalResult(), mrAbort);
               }),
               EAIUserAbort);
  EXPECT_EQ(questions, 2);
}

TEST_F(BeforeInstallPages, TheSetupTypePageShowsTheInstallsTypesAndSetsTheChosenOne) {
  AddWizard();
  install->SetInstallTypes({itDefault, itCompact, itCustom});
  install->SetInstallType(itCompact);
  RunWizard([&](TBaseFormContainer* frame) {
    ASSERT_EQ(frame->PageCount(), 5);
    frame->CurrentPage()->NextPage();
    frame->CurrentPage()->NextPage();
    auto* page = PageAs<TInstallTypeForm>(frame);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->FullTab->TabVisible());
    EXPECT_TRUE(page->CustomTab->TabVisible());
    EXPECT_EQ(page->PageControl->ActivePage(), page->CompactTab);
    EXPECT_EQ(page->InstallDirectory->Caption(), install->GetExpandedDestDir());
    // The user's tab change.
    page->PageControl->SetActivePage(page->CustomTab);
    page->PageControlChange(page->PageControl);
    EXPECT_EQ(install->CurrentInstallType(), itCustom);
    EXPECT_EQ(game->CurrentInstallType(), itCustom);
    // Custom shows the components page next.
    page->ProceedBtn->Click();
    EXPECT_NE(dynamic_cast<TFileGroupSelectForm*>(frame->CurrentPage()), nullptr);
    frame->CurrentPage()->PreviousPage();
    page->PageControl->SetActivePage(page->TypicalTab);
    page->PageControlChange(page->PageControl);
    EXPECT_EQ(install->CurrentInstallType(), itDefault);
    page->ProceedBtn->Click();
    EXPECT_NE(dynamic_cast<TSelectFolderForm*>(frame->CurrentPage()), nullptr);
    frame->SetModalResult(mrOk);
  });
}

TEST_F(BeforeInstallPages, TheDriveTableFollowsTheSelectedGroups) {
  const QString volume = VolumeOf(tmp.path()).mountPoint;
  struct Row {
    const char* what;
    bool puzzlesIncluded;
    const char* extrasDir;  // relative: no drive
    int rows;
    std::int64_t required;
  };
  const Row rows[] = {
      {"all selected", true, nullptr, 1, 125000},
      {"an unchecked group stops the walk", false, nullptr, 1, 120000},
      {"a relative destination names no drive", true, "lisat", 1, 124000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    puzzles->SetInclude(row.puzzlesIncluded);
    if (row.extrasDir != nullptr) extras->SetDestDirType(nullptr);
    extras->SetDestDir(row.extrasDir != nullptr ? QString::fromLatin1(row.extrasDir)
                                                : tmp.filePath(QStringLiteral("lisat")));
    TDriveSpaceTable table;
    AddGroupSpace(install, table);
    ASSERT_EQ(table.Rows().size(), row.rows);
    EXPECT_EQ(table.Rows()[0].mountPoint, volume);
    EXPECT_EQ(table.Rows()[0].required, row.required);
    EXPECT_GT(table.Rows()[0].available, 0);
  }
  // A folder that does not exist yet counts on the volume of its nearest
  // existing parent; the root is a volume of its own.
  EXPECT_EQ(VolumeOf(tmp.filePath(QStringLiteral("a/b/c"))).mountPoint, volume);
  EXPECT_EQ(VolumeOf(QStringLiteral("/")).mountPoint, "/");
  struct Height {
    int rows, height;
  };
  for (const Height h : {Height{0, 25}, Height{1, 43}, Height{2, 61}, Height{3, 61}, Height{7, 61}})
    EXPECT_EQ(DrivePanelHeight(h.rows), h.height) << h.rows;
  // The table holds 25 drives; more are left out.
  TDriveSpaceTable full;
  for (int i = 0; i < 30; ++i) full.Add(QStringLiteral("/"), 1);
  EXPECT_EQ(full.Rows().size(), 1);
  EXPECT_EQ(full.Rows()[0].required, 30);
}

// Sizes in the wizard's language, whatever the process's locale (the
// Finnish page parts the thousands by a space, also under LANG=C.UTF-8),
// and never cut: the largest size a group can have fits its label, and
// every column of the drive list fits its texts, also the long mount point
// of a disk of its own.
TEST_F(BeforeInstallPages, TheComponentsPageShowsEverySizeWholeInTheWizardsLanguage) {
  QLocale::setDefault(QLocale::c());
  const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
  EXPECT_EQ(BytesText(6496632), QStringLiteral("6,496,632 Bytes")) << "no translator";
  AddFinnish();
  const QString space(QChar(0x00a0));
  EXPECT_EQ(BytesText(176904920), QStringLiteral("176") + space + "904" + space + "920 tavua");
  translator->SetTranslateIntoLanguage(olEnglish);
  EXPECT_EQ(BytesText(6496632), QStringLiteral("6,496,632 bytes"));
  translator->SetTranslateIntoLanguage(olSpanish);
  // The install as large as a group can be: a sparse file in the game.
  ASSERT_TRUE(QFile::resize(tmp.filePath(QStringLiteral("Peli.bin")), INT_MAX - 5000));
  game->GetFile(0)->ReadFileInfo();
  qxtest::TSmallDisk disk(1 << 20);
  if (disk.Mounted()) {
    extras->SetDestDirType(nullptr);
    extras->SetDestDir(disk.FilePath(QStringLiteral("lisat")));
  }
  AddWizard();
  answers = {true};
  EXPECT_THROW(RunWizard([&](TBaseFormContainer* frame) {
    PageAs<TWelcomeForm>(frame)->ProceedBtn->Click();
    PageAs<TReadmeForm>(frame)->ProceedBtn->Click();
    auto* groups = PageAs<TFileGroupSelectForm>(frame);
    ASSERT_NE(groups, nullptr);
    const auto cancel = qScopeGuard([&] { groups->CancelBtn->Click(); });
    TSizeLabel* size = groups->SizeLabelOf(install);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->Caption(), QStringLiteral("2") + space + "147" + space + "483" + space + "647 tavua");
    const QFontMetrics metrics(size->Font()->ToQFont());
    EXPECT_LE(metrics.horizontalAdvance(size->Caption()), size->Width() - 2);
    EXPECT_EQ(size->Left() + size->Width(), groups->SizeDivider->Left() - 2);

    QTreeWidget* drives = groups->DriveList()->Tree();
    ASSERT_EQ(drives->topLevelItemCount(), disk.Mounted() ? 2 : 1);
    if (disk.Mounted()) {
      EXPECT_EQ(drives->topLevelItem(1)->text(0), disk.Path());
    }
    for (int c = 0; c < 3; ++c) {
      for (int i = 0; i < drives->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = drives->topLevelItem(i);
        const int icon = item->icon(c).isNull() ? 0 : drives->iconSize().width();
        EXPECT_LE(metrics.horizontalAdvance(item->text(c)) + icon + 6, drives->columnWidth(c))
            << item->text(c).toStdString();
      }
    }
  }),
               EAIUserAbort);
}

TEST_F(BeforeInstallPages, ComponentsWithoutAContainerRefuseToShow) {
  setup->SetName(QStringLiteral("Setup"));
  struct Row {
    TCustomBaseInstallDlg* dlg;
    const char* name;
  };
  auto* type = new TInstallTypeDlg(setup.get());
  auto* groups = new TInstallFileGroupsDlg(setup.get());
  auto* folderDlg = new TSelectFolderDlg(setup.get());
  EXPECT_EQ(folderDlg->Container(), links);  // the main link group
  folderDlg->SetContainer(nullptr);
  const Row rows[] = {{type, "Type1"}, {groups, "Groups1"}, {folderDlg, "Folder1"}};
  for (const Row& row : rows) {
    row.dlg->SetName(QString::fromLatin1(row.name));
    try {
      row.dlg->ShowDialog();
      ADD_FAILURE() << "nothing raised";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Cannot run this dialog %1 with a blank Container property")
                                 .arg(QString::fromLatin1(row.name)));
    }
  }
  try {
    folderDlg->SetContainer(install);
    ADD_FAILURE() << "nothing raised";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The container for Folder1 must be a TCustomShellLinkGroup");
  }
}

// Each page, in Finnish, saved as a picture: run on an X server by the test
// below, in a process of its own (CTest does not run it).
using BeforeInstallPagesInAChild = BeforeInstallPages;
TEST_F(BeforeInstallPagesInAChild, ShotsOnTheXServer) {
  const QString folderName = qEnvironmentVariable("QX_PAGE_SHOTS_INTO");
  if (folderName.isEmpty()) GTEST_SKIP() << "runs inside PagesInFinnishOnAnXServer";
  AddWizard();
  AddFinnish();
  install->SetInstallTypes({itDefault, itCustom, itFull});
  install->SetInstallType(itCustom);
  install->SetDestDirType(nullptr);
  install->SetDestDir(QStringLiteral("/opt/Trovaly"));
  QStringList saved;
  RunWizard([&](TBaseFormContainer* frame) {
    frame->Handle()->show();
    for (int i = 0; i < frame->PageCount(); ++i) {
      app->ProcessMessages();
      const QString file = QDir(folderName).filePath(QStringLiteral("page%1_%2.png")
                                                         .arg(i + 1)
                                                         .arg(frame->CurrentPage()->ClassName()));
      EXPECT_TRUE(frame->Handle()->grab().save(file)) << file.toStdString();
      saved << file;
      frame->CurrentPage()->NextPage();
    }
    frame->SetModalResult(mrOk);
  });
  EXPECT_EQ(saved.size(), 5);
  // The licence page no wizard of this setup shows, standing alone.
  TLicenseForm license(nullptr);
  license.ApplyLanguage();
  license.Handle()->show();
  app->ProcessMessages();
  EXPECT_TRUE(license.Handle()->grab().save(QDir(folderName).filePath(QStringLiteral("page0_TLicenseForm.png"))));
  TSelectLanguageForm language(nullptr);
  language.InitializeForm();
  language.ApplyLanguage();
  language.Handle()->show();
  app->ProcessMessages();
  EXPECT_TRUE(language.Handle()->grab().save(QDir(folderName).filePath(QStringLiteral("page0_TSelectLanguageForm.png"))));
}

TEST_F(BeforeInstallPages, TheLicencePageStandsReadyButNoWizardShowsIt) {
  AddWizard();
  TLicenseForm license(nullptr);
  EXPECT_EQ(license.Order(), 20);
  EXPECT_TRUE(license.Agreement->ReadOnly());
  EXPECT_EQ(license.Text2->GLID(), 3);
  RunWizard([](TBaseFormContainer* frame) {
    for (int i = 0; i < frame->PageCount(); ++i)
      EXPECT_EQ(dynamic_cast<TLicenseForm*>(frame->Page(i)), nullptr);
    frame->SetModalResult(mrOk);
  });
}

// The pictures go into QX_DESKTOP_SHOTS when it names a folder.
TEST(BeforeInstallPagesShots, PagesInFinnishOnAnXServer) {
  QString folderName = qEnvironmentVariable("QX_DESKTOP_SHOTS");
  if (folderName.isEmpty()) folderName = qxtest::TempPath(QStringLiteral("shots"));
  ASSERT_TRUE(QDir().mkpath(folderName));
  TXvfb server(QStringLiteral("1024x768"));
  ASSERT_FALSE(server.Display().isEmpty()) << "Xvfb did not start: " << server.Log().toStdString();
  QProcessEnvironment env = server.Environment();
  env.insert(QStringLiteral("QX_PAGE_SHOTS_INTO"), QDir(folderName).absolutePath());
  QProcess child;
  child.setProcessEnvironment(env);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QCoreApplication::applicationFilePath(),
              {QStringLiteral("--gtest_filter=BeforeInstallPagesInAChild.ShotsOnTheXServer")});
  ASSERT_TRUE(child.waitForFinished(qxtest::WaitMs(120000)));
  const QByteArray output = child.readAll();
  EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  for (const QString& name : QDir(folderName).entryList({QStringLiteral("page*.png")}))
    EXPECT_FALSE(QImage(QDir(folderName).filePath(name)).isNull()) << name.toStdString();
  EXPECT_EQ(QDir(folderName).entryList({QStringLiteral("page*.png")}).size(), 7);
}

}  // namespace

namespace {

TEST_F(BeforeInstallPages, TheLanguagePageListsTheTablesAndSwitchesEveryPage) {
  AddFinnish();
  TWelcomeForm welcome(nullptr);
  welcome.ApplyLanguage();
  EXPECT_EQ(welcome.CancelBtn->Caption(), "Peruuta");
  TSelectLanguageForm page(nullptr);
  EXPECT_EQ(page.Order(), 0);
  EXPECT_FALSE(page.SkipPage());
  page.InitializeForm();
  // English and the Finnish texts of the Spanish table: one row of two.
  ASSERT_EQ(page.LanguageGrid->RowCount(), 1);
  EXPECT_EQ(page.LanguageGrid->Cells(0, 0), LangIdToString(olEnglish));
  EXPECT_EQ(page.LanguageGrid->Cells(1, 0), LangIdToString(olSpanish));
  EXPECT_EQ(page.LanguageGrid->Col(), 1);  // the current language
  EXPECT_EQ(translator->TranslateIntoLanguage(), olSpanish);
  page.LanguageGrid->SetCol(0);
  page.LanguageGridClick(page.LanguageGrid);
  EXPECT_EQ(translator->TranslateIntoLanguage(), olEnglish);
  EXPECT_TRUE(page.LanguageGrid->Enabled());
  // Every live wizard form took the new language.
  EXPECT_EQ(welcome.Text1->Caption(), "This program will install the software on your computer.");
  EXPECT_EQ(welcome.CancelBtn->Caption(), "Cancel");
}

}  // namespace
