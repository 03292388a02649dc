// An install file's object-repository entries: off unless asked, written
// into the environment's repository file found through the registry.
#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"

#include <gtest/gtest.h>

#include "InstallFileTestSupport.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/IniFile.h"

namespace {

TEST(InstallFileRepositoryTest, EntriesRegisterOnlyWhenAskedAndReplaceTheirOldSections) {
  qxtest::TInstallScript script;
  TInstallFileGroup* group = script.Group(QStringLiteral("Game"), QStringLiteral("/Game"));
  TInstallFile* form = script.File(group, QStringLiteral("wizard.frm"), "form");
  const QString dir = qxtest::TempPath(QStringLiteral("ide"));
  const QString file = dir + QStringLiteral("/TESSERA32.DRO");
  qxtest::WriteBytes(file, "[Old\\WIZARD]\nName=old\n[Other]\nName=kept\n");

  // Off: nothing is looked up, nothing raised.
  form->Repository()->Register();
  EXPECT_EQ(qxtest::ReadBytes(file), QByteArray("[Old\\WIZARD]\nName=old\n[Other]\nName=kept\n"));

  TObjectRepositoryEntry* entry = form->Repository()->Tessera3();
  entry->SetRegisterIt(true);
  entry->SetRaiseExceptionOnFailure(true);
  EXPECT_THROW(form->Repository()->Register(), Exception);  // no repository configured
  WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\repository"),
                 QStringLiteral("BaseDir"), dir);
  entry->SetEntryName(QStringLiteral("Setup wizard"));
  entry->SetPage(QStringLiteral("Forms"));
  entry->SetIconFile(form);
  form->Repository()->Register();
  TIniFile ini(file);
  const QString section = form->GetExpandedDestDir() + QStringLiteral("/wizard");
  EXPECT_EQ(ini.ReadString(section, QStringLiteral("Name"), {}), QStringLiteral("Setup wizard"));
  EXPECT_EQ(ini.ReadString(section, QStringLiteral("Icon"), {}), form->GetDestPath());
  EXPECT_TRUE(ini.ValueExists(QStringLiteral("Repository Pages"), QStringLiteral("Forms")));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("Old\\WIZARD")));
  EXPECT_EQ(ini.ReadString(QStringLiteral("Other"), QStringLiteral("Name"), {}),
            QStringLiteral("kept"));
}

}  // namespace
