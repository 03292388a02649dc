#include "platform/system/ProgramGroups.h"

#include "platform/system/ShellLink.h"
#include "platform/system/tests/ShellTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using shelltest::AppsPath;
using shelltest::MakeProgram;
using shelltest::MenuSummary;
using shelltest::ValidatorComplaints;

void SaveLink(const QString& target, const QString& lnk) {
  TShellLink link;
  ASSERT_EQ(link.SetPath(target), S_OK);
  ASSERT_EQ(link.Save(lnk, true), S_OK) << link.LastErrorText().toStdString();
}

TEST(LinkGroup, NestedGroupShowsAsSubmenuWithItsEntries) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/trovaly")));
  const QString outer = AppsPath(QStringLiteral("Trovaly 1.0"));
  const QString inner = outer + QStringLiteral("/Työkalut");
  CreateLinkGroup(inner);
  EXPECT_TRUE(LinkGroupExists(outer));
  EXPECT_TRUE(LinkGroupExists(inner));

  const TLinkGroupFiles outerFiles = LinkGroupFilesOf(outer);
  const TLinkGroupFiles innerFiles = LinkGroupFilesOf(inner);
  EXPECT_EQ(innerFiles.parts, QStringList({"Trovaly 1.0", "Työkalut"}));
  EXPECT_EQ(outerFiles.directoryFile, DesktopDirectoriesFolder() + "/qx-Trovaly 1.0.directory");
  EXPECT_EQ(innerFiles.menuFile, MergedMenusFolder() + "/qx-Trovaly 1.0-Työkalut.menu");
  EXPECT_EQ(MergedMenusFolder(), qxtest::TempPath("config/menus/applications-merged"));
  EXPECT_EQ(DesktopDirectoriesFolder(), qxtest::TempPath("data/desktop-directories"));
  for (const QString& directory : {outerFiles.directoryFile, innerFiles.directoryFile})
    EXPECT_EQ(ValidatorComplaints(directory), QString());
  EXPECT_EQ(shelltest::EntryKeys(innerFiles.directoryFile).value("Name"), "Työkalut");
  EXPECT_EQ(shelltest::EntryKeys(innerFiles.directoryFile).value("Type"), "Directory");

  SaveLink(program, outer + QStringLiteral("/Trovaly.lnk"));
  SaveLink(program, inner + QStringLiteral("/Muokkain.lnk"));
  SaveLink(program, inner + QStringLiteral("/Apu.lnk"));
  EXPECT_EQ(MenuSummary(outerFiles.menuFile),
            "Applications>Trovaly 1.0 dir=qx-Trovaly 1.0.directory [Trovaly 1.0-Trovaly.desktop]");
  EXPECT_EQ(MenuSummary(innerFiles.menuFile),
            "Applications>Trovaly 1.0>Työkalut dir=qx-Trovaly 1.0-Työkalut.directory "
            "[Trovaly 1.0-Työkalut-Apu.desktop Trovaly 1.0-Työkalut-Muokkain.desktop]");
  for (const QString& entry : LinkGroupEntries(inner))
    EXPECT_EQ(ValidatorComplaints(entry), QString());
  EXPECT_EQ(DesktopFileId(inner + "/Apu.desktop"), "Trovaly 1.0-Työkalut-Apu.desktop");
  EXPECT_EQ(DesktopFileId(AppsPath("top.desktop")), "top.desktop");
  EXPECT_EQ(DesktopFileId(qxtest::TempPath("elsewhere/x.desktop")), "x.desktop");
}

TEST(LinkGroup, IdsKeepDashedNamesApartAndExistingFilesStay) {
  const TLinkGroupFiles dashed = LinkGroupFilesOf(AppsPath("A-B"));
  const TLinkGroupFiles nested = LinkGroupFilesOf(AppsPath("A/B"));
  EXPECT_EQ(QFileInfo(dashed.menuFile).fileName(), "qx-A%2DB.menu");
  EXPECT_EQ(QFileInfo(nested.menuFile).fileName(), "qx-A-B.menu");
  EXPECT_EQ(QFileInfo(LinkGroupFilesOf(AppsPath("50%")).menuFile).fileName(), "qx-50%25.menu");
  // Only folders below the applications folder are groups.
  for (const QString& folder : {ApplicationsMenuFolder(), qxtest::TempPath("home/Desktop")})
    EXPECT_TRUE(LinkGroupFilesOf(folder).parts.isEmpty()) << folder.toStdString();

  CreateLinkGroup(AppsPath("A-B"));
  qxtest::WriteBytes(dashed.directoryFile, "[Desktop Entry]\nType=Directory\nName=Oma\n");
  CreateLinkGroup(AppsPath("A-B"));
  EXPECT_EQ(qxtest::ReadBytes(dashed.directoryFile), "[Desktop Entry]\nType=Directory\nName=Oma\n");

  const QString desktop = qxtest::TempPath("home/Desktop/Sub");
  CreateLinkGroup(desktop);
  EXPECT_TRUE(QFileInfo(desktop).isDir());
  EXPECT_FALSE(LinkGroupExists(desktop));
  EXPECT_EQ(QDir(MergedMenusFolder()).entryList(QDir::Files), QStringList({"qx-A%2DB.menu"}));
}

// Removing takes what the groups made and leaves what others put there.
TEST(LinkGroup, RemoveTakesExactlyWhatTheGroupsMade) {
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/trovaly")));
  const QString outer = AppsPath("Trovaly");
  const QString inner = outer + "/Extra";
  const QString other = AppsPath("Muu");
  CreateLinkGroup(inner);
  CreateLinkGroup(other);
  SaveLink(program, outer + "/Trovaly.lnk");
  SaveLink(program, inner + "/Apu.lnk");
  SaveLink(program, other + "/Muu.lnk");
  qxtest::WriteBytes(outer + "/notes.txt", "somebody else's");
  const TLinkGroupFiles outerFiles = LinkGroupFilesOf(outer);
  const TLinkGroupFiles innerFiles = LinkGroupFilesOf(inner);
  const QByteArray otherMenu = qxtest::ReadBytes(LinkGroupFilesOf(other).menuFile);

  RemoveLinkGroup(outer);
  EXPECT_FALSE(QFileInfo::exists(inner));
  for (const QString& gone : {outerFiles.menuFile, outerFiles.directoryFile, innerFiles.menuFile,
                              innerFiles.directoryFile, outer + "/Trovaly.desktop"})
    EXPECT_FALSE(QFileInfo::exists(gone)) << gone.toStdString();
  EXPECT_EQ(QDir(outer).entryList(QDir::Files | QDir::Hidden), QStringList({"notes.txt"}));
  EXPECT_TRUE(LinkGroupExists(other));
  EXPECT_EQ(qxtest::ReadBytes(LinkGroupFilesOf(other).menuFile), otherMenu);
  EXPECT_TRUE(QFileInfo::exists(other + "/Muu.desktop"));

  RemoveLinkGroup(other);
  EXPECT_FALSE(QFileInfo::exists(other));
  EXPECT_NO_THROW(RemoveLinkGroup(AppsPath("Never")));
  const QString desktop = qxtest::TempPath("home/Desktop");
  QDir().mkpath(desktop);
  SaveLink(program, desktop + "/Trovaly.lnk");
  EXPECT_THROW(RemoveLinkGroup(desktop), EProgramGroupError);
  EXPECT_THROW(RemoveLinkGroup(ApplicationsMenuFolder()), EProgramGroupError);
  EXPECT_TRUE(QFileInfo::exists(desktop + "/Trovaly.desktop"));
}

// A freedesktop menu parser (pyxdg) merges the groups' menu files into
// the applications menu as submenus with their entries.
TEST(LinkGroup, MenuParserShowsGroupsAsSubmenus) {
  const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {"/usr/bin"});
  QProcess probe;
  probe.start(python, {"-c", "import xdg.Menu"});
  ASSERT_TRUE(!python.isEmpty() && probe.waitForFinished(qxtest::WaitMs(30000)) && probe.exitCode() == 0)
      << "no python3 with pyxdg (python3-xdg; scripts/setup-debian.sh installs it)";
  const QString program = MakeProgram(qxtest::TempPath(QStringLiteral("opt/trovaly")));
  const QString outer = AppsPath("Trovaly 1.0");
  CreateLinkGroup(outer + "/Työkalut");
  CreateLinkGroup(AppsPath("A-B"));
  SaveLink(program, outer + "/Trovaly.lnk");
  SaveLink(program, outer + "/Työkalut/Muokkain.lnk");
  SaveLink(program, AppsPath("A-B/Peli.lnk"));
  SaveLink(program, AppsPath("Juuri.lnk"));
  const QString root = qxtest::TempPath("config/menus/applications.menu");
  qxtest::WriteBytes(root,
                     "<Menu><Name>Applications</Name><DefaultAppDirs/><DefaultDirectoryDirs/>"
                     "<DefaultMergeDirs/></Menu>\n");
  QProcess parser;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_DIRS", qxtest::TempPath("none"));
  env.insert("XDG_CONFIG_DIRS", qxtest::TempPath("none"));
  parser.setProcessEnvironment(env);
  parser.start(python, {qxtest::DataPath("menu_tree.py"), root});
  ASSERT_TRUE(parser.waitForFinished(30000));
  EXPECT_EQ(QString::fromUtf8(parser.readAllStandardError()), QString());
  QStringList submenus =
      QString::fromUtf8(parser.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  submenus.sort();
  EXPECT_EQ(submenus, QStringList({"A-B|A-B|Peli", "Trovaly 1.0/Työkalut|Työkalut|Muokkain",
                                   "Trovaly 1.0|Trovaly 1.0|Trovaly"}));
}

}  // namespace
