// Link groups and links: a script's menu folder with a program, a help
// file and a web address, written into a fresh XDG tree and logged.
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/cmp_TInstallShellLink.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/cmp_TProgramManager.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "installer/engine/tests/ScriptTestSupport.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLinkEntry.h"
#include "platform/system/ShellLinkUrl.h"
#include "tests/support/DesktopFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <memory>
#include <ostream>

namespace {

const QByteArray kScript =
    "object Setup: TDataModule\n"
    "  object psProgramFiles: TpsProgramFiles\n"
    "  end\n"
    "  object psProgramMenu: TpsProgramMenu\n"
    "  end\n"
    "  object Install1: TInstall\n"
    "    Information.ProductName = 'Trovaly'\n"
    "  end\n"
    "  object MainGroup: TMainLinkGroup\n"
    "    Container = Install1\n"
    "    DestDir = '/Trovaly'\n"
    "  end\n"
    "  object PeliLink: TInstallMainLink\n"
    "    HotKey = 1606\n"
    "    LinkName = 'Trovaly.lnk'\n"
    "    ObjectLocation = '/Trovaly/trovaly'\n"
    "    ObjectLocationType = psProgramFiles\n"
    "    Parameters = '-w %w 100%%'\n"
    "  end\n"
    "  object OhjeLink: TInstallMainLink\n"
    "    LinkName = 'Ohje Trovaly.lnk'\n"
    "    ObjectLocation = '/Trovaly/trovaly10.hlp'\n"
    "    ObjectLocationType = psProgramFiles\n"
    "  end\n"
    "  object WebLink: TInstallMainLink\n"
    "    LinkName = 'Kotisivu.URL'\n"
    "    ObjectLocation = 'http://www.example.com/trovaly'\n"
    "  end\n"
    "end\n";

const QString kLog = qxtest::kTrovalyLog;

struct TScript : qxtest::TScriptModule {
  TScript() : TScriptModule(kScript, RegisterInstallShellLinkClasses) {}
};

// The files the log's lists name, in list order.
QStringList LoggedFiles() {
  QStringList files;
  for (int n = 0; n < 10; ++n) {
    const QString key = kLog + QStringLiteral("\\Files") + (n ? QString::number(n) : QString());
    const int count =
        ReadRegString(hkLocalMachine, key, QStringLiteral("Entries"), QStringLiteral("0")).toInt();
    for (int i = 1; i <= count; ++i)
      files.append(ReadRegString(hkLocalMachine, key, QStringLiteral("File") + QString::number(i),
                                 QString()));
  }
  return files;
}

QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) files.append(it.next());
  files.sort();
  return files;
}

// desktop-file-validate's complaints (empty when the file is valid).
QString Validate(const QString& file) { return DesktopFileProblems(file); }

TEST(LinkGroupScript, MenuFolderWithProgramHelpAndWebLinksIsValidAndLoggedAsOnDisk) {
  TScript script;
  const QString programs = ExpandProgramsDir();
  ASSERT_EQ(programs, ApplicationsMenuFolder());
  const QString product = ExpandProgramFilesDir() + QStringLiteral("/Trovaly");
  qxtest::WriteBytes(product + QStringLiteral("/trovaly"), "#!/bin/sh\n");
  ASSERT_TRUE(QFile::setPermissions(product + QStringLiteral("/trovaly"),
                                    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  qxtest::WriteBytes(product + QStringLiteral("/trovaly10.hlp"), "help");

  auto* group = script.Find<TMainLinkGroup>("MainGroup");
  ASSERT_NE(group, nullptr);
  const QByteArray written = WriteComponentText(script.Root());
  EXPECT_TRUE(written.contains("    HotKey = 1606\n    LinkName = 'Trovaly.lnk'\n"))
      << written.constData();
  EXPECT_TRUE(written.contains("ObjectLocationType = psProgramFiles"));
  EXPECT_EQ(group->GetExpandedDestDir(), programs + QStringLiteral("/Trovaly"));
  // The folder page hears -991 from the group before the folder is made.
  auto* page = new qxtest::TStageRecorder(script.Root());
  page->SetName(QStringLiteral("FolderPage"));
  page->SetContainer(group);
  bool folderBeforeAsking = true;
  page->OnMessage = [&](TInstallContainer* sender, int code, TObject*) {
    if (code == scProgramFolder && sender == group)
      folderBeforeAsking = DirectoryExists(group->GetExpandedDestDir());
  };
  CurrentInstall()->TFileContainer::Process();
  EXPECT_TRUE(page->Lines().contains("MainGroup:-991")) << page->Lines().join(' ').toStdString();
  EXPECT_FALSE(folderBeforeAsking);

  const QString folder = programs + QStringLiteral("/Trovaly");
  const QStringList menuFiles = FilesBelow(folder);
  EXPECT_EQ(menuFiles, (QStringList{folder + "/Kotisivu.URL", folder + "/Ohje Trovaly.desktop",
                                    folder + "/Trovaly.desktop"}));
  QStringList logged = LoggedFiles();
  logged.sort();
  EXPECT_EQ(logged, menuFiles);

  for (const QString& file : menuFiles) {
    if (file.endsWith(".desktop")) {
      EXPECT_EQ(Validate(file), "") << file.toStdString();
    }
  }
  const TLinkGroupFiles groupFiles = LinkGroupFilesOf(folder);
  EXPECT_TRUE(LinkGroupExists(folder));
  EXPECT_EQ(Validate(groupFiles.directoryFile), "");

  const auto peli = ReadDesktopGroup(qxtest::ReadBytes(folder + "/Trovaly.desktop"),
                                     QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(peli.has_value());
  const auto argv = SplitDesktopExec(peli->value("Exec"));
  ASSERT_TRUE(argv.has_value());
  EXPECT_EQ(*argv, (QStringList{product + "/trovaly", "-w", GetWindowsDir(), "100%"}));
  EXPECT_EQ(peli->value("Path"), product);
  EXPECT_EQ(peli->value("X-QX-HotKey"), "1606");
  const auto ohje = ReadDesktopGroup(qxtest::ReadBytes(folder + "/Ohje Trovaly.desktop"),
                                     QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(ohje.has_value());
  EXPECT_TRUE(ohje->value("Exec").contains("xdg-open")) << ohje->value("Exec").toStdString();
  EXPECT_EQ(ReadURLShortcut(folder + "/Kotisivu.URL"), "http://www.example.com/trovaly");

  // A second run writes the same files; the log names each of them once.
  CurrentInstall()->TFileContainer::Process();
  EXPECT_EQ(FilesBelow(folder), menuFiles);
  EXPECT_EQ(LoggedFiles().size(), 3);
}

struct NameCase {
  const char* before;
  const char* given;
  const char* after;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.before << " then " << c.given; }

class LinkNameTable : public testing::TestWithParam<NameCase> {};

TEST_P(LinkNameTable, KeepsOrReplacesTheExtension) {
  TScript script;
  auto* link = script.Find<TInstallMainLink>("WebLink");
  link->SetLinkName(QString::fromUtf8(GetParam().before));
  link->SetLinkName(QString::fromUtf8(GetParam().given));
  EXPECT_EQ(link->LinkName(), QString::fromUtf8(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(Names, LinkNameTable,
                         testing::Values(NameCase{"", "Readme.txt", "Readme.LNK"},
                                         NameCase{"Site.URL", "Home", "Home.URL"},
                                         NameCase{"Game.lnk", "Readme.txt", "Readme.LNK"},
                                         NameCase{"", "Peli.lnk", "Peli.lnk"},
                                         NameCase{"", "Site.url", "Site.url"},
                                         NameCase{"Game.lnk", "  ", "  "}));

TEST(LinkLocations, LocationsNameLinksAndObjectLinksPointAtTheirObject) {
  TScript script;
  auto* link = script.Find<TInstallMainLink>("WebLink");
  link->SetLinkName(QString());
  link->SetObjectLocation(QStringLiteral("http://Example.com/a/../b"));
  EXPECT_EQ(link->LinkName(), "Example.com-a-..-b.URL");
  EXPECT_TRUE(link->IsURLLink());
  link->SetLinkName(QStringLiteral(".lnk"));
  link->SetObjectLocation(QStringLiteral("/opt/qx/muokkain.bin"));
  EXPECT_EQ(link->LinkName(), "muokkain.LNK");

  // A link to another install object: named after it, pointing at its folder.
  auto* peli = script.Find<TInstallMainLink>("PeliLink");
  auto* group = script.Find<TMainLinkGroup>("MainGroup");
  peli->SetObjectLink(group);
  EXPECT_EQ(peli->LinkName(), "MainGroup.lnk");
  EXPECT_EQ(peli->ObjectLocation(), "");
  EXPECT_NE(dynamic_cast<TpsObjectLink*>(peli->ObjectLocationType()), nullptr);
  EXPECT_EQ(peli->GetObjectPath(), group->GetExpandedDestDir());
  // A removed location specifier is forgotten.
  auto* web = script.Find<TInstallMainLink>("OhjeLink");
  ASSERT_NE(web->ObjectLocationType(), nullptr);
  web->ObjectLocationType()->Free();
  EXPECT_EQ(web->ObjectLocationType(), nullptr);
  // A ".url" name clears the object link again.
  peli->SetLinkName(QStringLiteral("Web.url"));
  EXPECT_EQ(peli->ObjectLink(), nullptr);
  EXPECT_EQ(peli->ObjectLocationType(), nullptr);
}

TEST(LinkErrors, MisuseIsRefusedWithTheTexts) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  try {
    TInstallMainLink orphan(&root);
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "To create a TInstallMainLink you must first have a TMainLinkGroup "
                           "component in your project");
  }
  auto* group = new TMainLinkGroup(&root);
  EXPECT_EQ(group->DestDir(), "/MainFolderName");
  EXPECT_THROW(new TMainLinkGroup(&root), IEShellLinkGroup);
  EXPECT_EQ(MainLinkGroup(), group);
  auto* link = new TInstallMainLink(&root);
  EXPECT_EQ(link->Container(), group);
  auto* other = new TInstall(&root);
  try {
    link->SetContainer(other);
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "The TMainLinkGroup component must be the Container for "
                           "TInstallMainLink and TSubLinkGroup components");
  }
  link->SetDestDirType(StandardPathSpecList().FindByClass<TpsWindow>());
  EXPECT_NE(dynamic_cast<TpsContainerDestDir*>(link->DestDirType()), nullptr);
  try {
    link->Process();
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("The LinkName is blank for %1 and therefore could not "
                                          "be installed")
                               .arg(link->Name()));
  }
  // Freeing the group takes its links with it.
  EXPECT_EQ(MainLinkList().size(), 1);
  group->Free();
  EXPECT_EQ(MainLinkGroup(), nullptr);
  EXPECT_TRUE(MainLinkList().isEmpty());
  EXPECT_TRUE(ShellLinkList().isEmpty());
}

// Stands for the uninstaller's install file (known to links by its class name).
TEST(LinkTargets, TheUninstallerGetsTheProductAndFailuresNameTheLink) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  auto* group = new TMainLinkGroup(&root);
  auto* uninstaller = new TUninstallEXE(&root);
  uninstaller->SetName(QStringLiteral("Uninstaller"));
  uninstaller->SetDestDirType(nullptr);
  uninstaller->SetDestDir(qxtest::TempPath(QStringLiteral("prog")));
  uninstaller->SetFileName(QStringLiteral("uninstall"));
  uninstaller->SetDestName(QStringLiteral("uninstall"));
  const QString program = qxtest::TempPath(QStringLiteral("prog/uninstall"));
  ASSERT_EQ(uninstaller->GetInstalledPath(), program);
  qxtest::WriteBytes(program, "#!/bin/sh\n");
  ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
  auto* link = new TInstallMainLink(&root);
  link->SetName(QStringLiteral("Poista"));
  link->SetObjectLink(uninstaller);
  EXPECT_EQ(link->LinkName(), "uninstall.lnk");
  EXPECT_EQ(link->Container(), group);
  EXPECT_EQ(link->GetObjectPath(), program);
  try {
    link->Process();
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(),
              "Poista cannot perform operation because there is no TInstall component");
  }

  auto* install = new TInstall(&root);
  install->Information()->SetProductName(QStringLiteral("Trovaly Peli"));
  link->Process();
  EXPECT_EQ(link->Parameters(), "Trovaly Peli");
  EXPECT_EQ(link->WrittenFile(), group->GetExpandedDestDir() + "/uninstall.desktop");
  const auto entry = ReadDesktopGroup(qxtest::ReadBytes(link->WrittenFile()),
                                      QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(SplitDesktopExec(entry->value("Exec")),
            (QStringList{program, "Trovaly", "Peli"}));

  // A link whose target cannot be written, and one whose text cannot be
  // expanded: both name the link.
  auto* empty = new TInstallMainLink(&root);
  empty->SetName(QStringLiteral("Tyhja"));
  empty->SetLinkName(QStringLiteral("Tyhja.lnk"));
  empty->SetMethod(mtShellLinkInterface);
  try {
    empty->Process();
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "The TCustomInstallShellLink Tyhja name could not be installed. The "
                           "following error was reported Indicates one or more arguments are "
                           "invalid. Error code -2147024809");
  }
  empty->SetObjectLocation(program);
  install->Free();
  empty->SetParameters(QStringLiteral("%i"));
  try {
    empty->Process();
    FAIL() << "no error";
  } catch (const IEInstallShellLink& e) {
    EXPECT_EQ(e.Message(), "The TCustomInstallShellLink Tyhja name could not be installed. The "
                           "following error was reported Cannot expand the %i meta variable "
                           "because there is no TInstall component");
  }
  EXPECT_FALSE(FileExists(group->GetExpandedDestDir() + "/Tyhja.desktop"));
  empty->InitializeCOM();
  EXPECT_TRUE(empty->COMInitialized());

  // The link goes with the object it points at.
  EXPECT_EQ(ShellLinkList().size(), 2);
  uninstaller->Free();
  EXPECT_EQ(ShellLinkList(), (QList<TCustomInstallShellLink*>{empty}));
}

TEST(LinkGroups, AGroupGoesWithItsContainer) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  auto* install = new TInstall(&root);
  install->Information()->SetProductName(QStringLiteral("Trovaly"));
  auto* sub = new TCustomShellLinkGroup(&root);
  sub->SetContainer(install);
  EXPECT_EQ(ShellLinkGroupList().size(), 1);
  install->Free();
  EXPECT_TRUE(ShellLinkGroupList().isEmpty());
  EXPECT_EQ(root.ComponentCount(), 14);  // the specifiers remain
}

TEST(ProgmanLinks, AProgramManagerLinkIsAnItemOfItsGroupAndLoggedAsItsFile) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();

  auto* link = new TCustomInstallShellLink(&root);
  link->SetDestDirType(StandardPathSpecList().FindByClass<TpsProgramMenu>());
  link->SetDestDir(QStringLiteral("/Trovaly"));
  link->SetMethod(mtProgramManager);
  const QString program = qxtest::TempPath(QStringLiteral("prog/trovaly"));
  qxtest::WriteBytes(program, "#!/bin/sh\n");
  ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner));
  link->SetObjectLocation(program);
  EXPECT_EQ(link->LinkName(), "trovaly.LNK");
  link->SetParameters(QStringLiteral("-x"));
  link->Process();
  TProgramManager& progman = ProgramManager();
  progman.SelectGroup(QStringLiteral("Trovaly"));
  ASSERT_EQ(progman.ItemCount(), 1);
  EXPECT_EQ(progman.ItemName(1), "trovaly");
  EXPECT_EQ(link->WrittenFile(), ApplicationsMenuFolder() + "/Trovaly/trovaly.desktop");
  EXPECT_TRUE(FileExists(link->WrittenFile()));
  EXPECT_EQ(Validate(link->WrittenFile()), "");

  // Again: the item takes its old place, not a second one.
  link->Process();
  progman.SelectGroup(QStringLiteral("Trovaly"));
  EXPECT_EQ(progman.ItemCount(), 1);
  link->WriteUninstallInfo(kLog);
  EXPECT_EQ(LoggedFiles(), QStringList{link->WrittenFile()});

  // Outside the Programs folder nothing at all is made.
  link->SetDestDirType(StandardPathSpecList().FindByClass<TpsDesktopMenu>());
  link->Process();
  EXPECT_EQ(link->WrittenFile(), "");
}

}  // namespace
