// A setup script read from a form file: file groups, files and the
// uninstaller are created by their class names, keep what the file stores
// (reading only stores: nothing follows from names while loading), keep
// their ranks and Orders, and are written back the same.
#include <gtest/gtest.h>

#include "InstallFileTestSupport.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"

namespace {

const char kScript[] = R"(object Script: TDataModule
  object psMainArchiveFile: TpsMainArchiveFile
  end
  object psContainerArchiveFile: TpsContainerArchiveFile
  end
  object psContainerDestDir: TpsContainerDestDir
  end
  object psMainInstall: TpsMainInstall
  end
  object psSystem: TpsSystem
  end
  object Install1: TInstall
    Information.ProductName = 'Trovaly'
  end
  object Puzzles: TInstallFileGroup
    Container = Install1
    Order = 1
    DestDirType = psContainerDestDir
    DestDir = '/Puzzles'
    ArchiveFileType = psMainArchiveFile
    GroupName = 'Puzzles'
    State = fcsInstall
    AllowChoice = False
    Description = (
      'The puzzles'
      'of the game')
  end
  object Game: TInstallFileGroup
    Container = Install1
    Order = 0
    DestDirType = psContainerDestDir
    ArchiveFileType = psMainArchiveFile
    GroupName = 'Game'
  end
  object Grid: TInstallFile
    Container = Game
    DestDirType = psSystem
    ArchiveFileType = psContainerArchiveFile
    ActiveX = True
    FileType = iftSystemWideDLL
    OverwriteMode = owVersionDate
    UpdateDLLCounter = True
    IncludeFromDir = '/src'
    FileName = 'grid.ocx'
    DestName = 'grid.ocx'
  end
  object Kissa: TInstallFile
    Container = Puzzles
    DestDirType = psContainerDestDir
    ArchiveFileType = psContainerArchiveFile
    IncludeFromDir = '/src'
    FileName = 'kissa.vrb'
    DestName = 'kissa1.vrb'
  end
  object Uninstaller: TUninstallEXE
    Container = Game
    DestDirType = psMainInstall
    ArchiveFileType = psContainerArchiveFile
    IncludeFromDir = '/src'
    FileName = 'uninstall.exe'
    DestName = 'uninstall.exe'
  end
end
)";

TEST(FileScriptFormTest, AScriptOfGroupsAndFilesReadsAndWritesBack) {
  RegisterInstallClasses();
  RegisterInstallFileClasses();
  TDataModule root(nullptr);
  ReadRootComponent(&root, QByteArray(kScript), QStringLiteral("script.form"));
  auto* install = dynamic_cast<TInstall*>(root.FindComponent(QStringLiteral("Install1")));
  auto* game = dynamic_cast<TInstallFileGroup*>(root.FindComponent(QStringLiteral("Game")));
  auto* puzzles = dynamic_cast<TInstallFileGroup*>(root.FindComponent(QStringLiteral("Puzzles")));
  auto* grid = dynamic_cast<TInstallFile*>(root.FindComponent(QStringLiteral("Grid")));
  auto* kissa = dynamic_cast<TInstallFile*>(root.FindComponent(QStringLiteral("Kissa")));
  auto* uninstaller =
      dynamic_cast<TUninstallEXE*>(root.FindComponent(QStringLiteral("Uninstaller")));
  ASSERT_TRUE(install && game && puzzles && grid && kissa && uninstaller);

  // The groups stand by their Orders, not by their places in the file.
  ASSERT_EQ(install->HelperCount(), 2);
  EXPECT_EQ(install->GetHelper(0), game);
  EXPECT_EQ(install->GetHelper(1), puzzles);
  EXPECT_EQ(game->FileCount(), 2);
  EXPECT_EQ(kissa->Container(), puzzles);

  EXPECT_TRUE(grid->ActiveX());
  EXPECT_EQ(grid->FileType(), iftSystemWideDLL);
  EXPECT_EQ(grid->OverwriteMode(), owVersionDate);
  EXPECT_TRUE(grid->UpdateDLLCounter());
  EXPECT_FALSE(grid->Net());
  // Reading stores: the name read after DestName does not replace it.
  EXPECT_EQ(kissa->DestName(), QStringLiteral("kissa1.vrb"));
  EXPECT_FALSE(kissa->RegisterAsHelp());
  EXPECT_TRUE(uninstaller->Net());
  EXPECT_FALSE(puzzles->AllowChoice());
  // The stored command is not run by reading the script.
  EXPECT_EQ(puzzles->State(), fcsNone);
  EXPECT_FALSE(puzzles->Processed());
  EXPECT_EQ(puzzles->Description()->Count(), 2);
  EXPECT_EQ(puzzles->GroupName(), QStringLiteral("Puzzles"));
  EXPECT_EQ(game->ArchiveFileType()->Name(), QStringLiteral("psMainArchiveFile"));
  EXPECT_TRUE(puzzles->GetExpandedArchiveFile().endsWith(QStringLiteral("/files.1")));
  EXPECT_EQ(kissa->GetExpandedArchiveFile(), puzzles->GetExpandedArchiveFile());

  const QString written = QString::fromUtf8(WriteComponentText(&root));
  for (const char* line :
       {"object Grid: TInstallFile", "ActiveX = True", "FileType = iftSystemWideDLL",
        "OverwriteMode = owVersionDate", "DestName = 'kissa1.vrb'",
        "object Uninstaller: TUninstallEXE", "AllowChoice = False", "Container = Game"})
    EXPECT_TRUE(written.contains(QString::fromLatin1(line))) << line;
  // Net is stored only where it differs from the class's own default.
  EXPECT_FALSE(written.contains(QStringLiteral("Net = ")));
}

}  // namespace
