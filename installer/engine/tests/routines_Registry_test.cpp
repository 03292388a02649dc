#include "installer/engine/routines_Registry.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/system/RestartService.h"
#include "tests/support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QString kKey = QStringLiteral("\\Software\\QxTest\\Routines");

bool KeyExists(HKEY root, const QString& key) {
  TRegistry registry;
  registry.SetRootKey(root);
  return registry.KeyExists(key);
}

void CorruptHive(const char* file) {
  qxtest::WriteBytes(RegistryFolder() + QLatin1Char('/') + QLatin1String(file),
                     "this is not a database, not even close");
}

struct RootCase {
  HKEY handle;
  TRootKeys root;
};
void PrintTo(const RootCase& c, std::ostream* os) { *os << "root " << c.root; }

class RootKeyTable : public testing::TestWithParam<RootCase> {};

TEST_P(RootKeyTable, HandleAndValueMapBothWays) {
  EXPECT_EQ(RootKeyFromHKEY(GetParam().handle, hkUsers == GetParam().root ? hkDynData : hkUsers),
            GetParam().root);
  TRegistry registry;
  registry.SetRootKey(HKEY_PERFORMANCE_DATA);
  SetRegistryRoot(registry, GetParam().root);
  EXPECT_EQ(registry.RootKey(), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(Roots, RootKeyTable,
                         testing::Values(RootCase{HKEY_CLASSES_ROOT, hkClassesRoot},
                                         RootCase{HKEY_CURRENT_CONFIG, hkCurrentConfig},
                                         RootCase{HKEY_CURRENT_USER, hkCurrentUser},
                                         RootCase{HKEY_DYN_DATA, hkDynData},
                                         RootCase{HKEY_LOCAL_MACHINE, hkLocalMachine},
                                         RootCase{HKEY_USERS, hkUsers}));

TEST(RootKeys, OtherHandlesGiveTheDefaultAndOtherValuesLeaveTheRoot) {
  EXPECT_EQ(RootKeyFromHKEY(HKEY_PERFORMANCE_DATA, hkCurrentConfig), hkCurrentConfig);
  EXPECT_EQ(RootKeyFromHKEY(HKEY{}, hkLocalMachine), hkLocalMachine);
  TRegistry registry;
  registry.SetRootKey(HKEY_USERS);
  SetRegistryRoot(registry, static_cast<TRootKeys>(6));
  SetRegistryRoot(registry, static_cast<TRootKeys>(-1));
  EXPECT_EQ(registry.RootKey(), HKEY_USERS);
}

TEST(RegistryValues, WrittenValuesReadBack) {
  WriteRegString(hkLocalMachine, kKey, QStringLiteral("Path"), QStringLiteral("/opt/qx"));
  WriteRegInteger(hkCurrentUser, kKey, QStringLiteral("Count"), -7);
  EXPECT_EQ(ReadRegString(hkLocalMachine, kKey, QStringLiteral("Path"), QStringLiteral("d")),
            QStringLiteral("/opt/qx"));
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, kKey, QStringLiteral("Count"), 5), -7);
  // Each root is its own tree.
  EXPECT_EQ(ReadRegString(hkCurrentUser, kKey, QStringLiteral("Path"), QStringLiteral("d")),
            QStringLiteral("d"));
}

TEST(RegistryValues, ReadersGiveTheDefaultForMissingKeysValuesAndWrongTypes) {
  WriteRegString(hkCurrentUser, kKey, QStringLiteral("Text"), QStringLiteral("abc"));
  WriteRegInteger(hkCurrentUser, kKey, QStringLiteral("Number"), 12);
  EXPECT_EQ(ReadRegString(hkCurrentUser, kKey + QStringLiteral("\\None"), QStringLiteral("Text"),
                          QStringLiteral("def")),
            QStringLiteral("def"));
  EXPECT_EQ(ReadRegString(hkCurrentUser, kKey, QStringLiteral("Missing"), QStringLiteral("def")),
            QStringLiteral("def"));
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, kKey, QStringLiteral("Text"), 99), 99);
  EXPECT_EQ(ReadRegString(hkCurrentUser, kKey, QStringLiteral("Number"), QStringLiteral("def")),
            QStringLiteral("def"));
  // Reading never creates the key.
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + QStringLiteral("\\None")));
}

TEST(RegistryValues, ReadersNeverRaise) {
  EXPECT_EQ(ReadRegString(hkDynData, kKey, QStringLiteral("x"), QStringLiteral("def")), QStringLiteral("def"));
  EXPECT_EQ(ReadRegInteger(static_cast<TRootKeys>(42), kKey, QStringLiteral("x"), 3), 3);
  CorruptHive("HKLM.sqlite");
  EXPECT_EQ(ReadRegString(hkLocalMachine, kKey, QStringLiteral("x"), QStringLiteral("def")),
            QStringLiteral("def"));
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, kKey, QStringLiteral("x"), 4), 4);
}

TEST(RegistryValues, FailedStringWriteNamesKeyIdentAndValue) {
  try {
    WriteRegString(hkDynData, QStringLiteral("\\K"), QStringLiteral("N"), QStringLiteral("V%s"));
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot install into registry. Key: \\K Ident: N Value V%s"));
  }
}

// The key, and on a line of its own what the registry said.
TEST(RegistryValues, FailedIntegerWriteCarriesTheKeyAndTheCause) {
  CorruptHive("HKCU.sqlite");
  try {
    WriteRegInteger(hkCurrentUser, QStringLiteral("\\Some\\Key"), QStringLiteral("N"), 1);
    FAIL() << "no exception";
  } catch (const EIRCannotWriteValue& e) {
    EXPECT_EQ(e.Message().section(u'\n', 0, 0), QStringLiteral("\\Some\\Key"));
    EXPECT_TRUE(e.Message().section(u'\n', 1).contains(QStringLiteral("HKCU.sqlite"))) << e.Message().toStdString();
  }
  EXPECT_EQ(qxtest::ReadBytes(RegistryFolder() + QStringLiteral("/HKCU.sqlite")),
            QByteArray("this is not a database, not even close"));
}

TEST(DeleteRegKeyTree, RemovesTheKeyWithEverythingBelowIt) {
  for (const char* sub : {"\\A\\B\\C", "\\A\\B\\D", "\\A\\E", "\\A"})
    WriteRegString(hkCurrentUser, kKey + QLatin1String(sub), QStringLiteral("v"), QStringLiteral("x"));
  WriteRegString(hkCurrentUser, kKey + QStringLiteral("\\Sibling"), QStringLiteral("v"), QStringLiteral("x"));
  DeleteRegKeyTree(hkCurrentUser, kKey + QStringLiteral("\\A"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kKey + QStringLiteral("\\A")));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey + QStringLiteral("\\Sibling")));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
}

TEST(DeleteRegKeyTree, IgnoresErrorsAndNeverWipesTheRoot) {
  WriteRegString(hkCurrentUser, kKey, QStringLiteral("v"), QStringLiteral("x"));
  DeleteRegKeyTree(hkCurrentUser, kKey + QStringLiteral("\\Missing"));
  DeleteRegKeyTree(hkDynData, kKey);
  DeleteRegKeyTree(hkCurrentUser, QString());
  DeleteRegKeyTree(hkCurrentUser, QStringLiteral("\\"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kKey));
  CorruptHive("HKLM.sqlite");
  DeleteRegKeyTree(hkLocalMachine, kKey);
}

TEST(AddRunOnce, WritesUnderTheGivenName) {
  EXPECT_TRUE(AddRunOnce(QStringLiteral("Setup"), QStringLiteral("first"), false));
  EXPECT_TRUE(AddRunOnce(QStringLiteral("Setup"), QStringLiteral("second"), false));
  const QString key = QString::fromLatin1(kRunOnceKey);
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Setup"), QString()), QStringLiteral("second"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Setup1"), QStringLiteral("none")),
            QStringLiteral("none"));
}

TEST(AddRunOnce, SchedulesTheRestartRunner) {
  ASSERT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
  EXPECT_TRUE(AddRunOnce(QStringLiteral("Setup"), QStringLiteral("first"), false));
  EXPECT_TRUE(qxtest::ReadBytes(RestartRunnerAutostartPath()).contains(RestartRunnerPath().toUtf8()));
}

TEST(AddRunOnce, UniqueTakesTheFirstFreeNumberedName) {
  const QString key = QString::fromLatin1(kRunOnceKey);
  WriteRegString(hkLocalMachine, key, QStringLiteral("Setup"), QStringLiteral("a"));
  WriteRegString(hkLocalMachine, key, QStringLiteral("Setup1"), QStringLiteral("b"));
  WriteRegString(hkLocalMachine, key, QStringLiteral("Setup3"), QStringLiteral("d"));
  EXPECT_TRUE(AddRunOnce(QStringLiteral("Setup"), QStringLiteral("c"), true));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Setup2"), QString()), QStringLiteral("c"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Setup"), QString()), QStringLiteral("a"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Setup1"), QString()), QStringLiteral("b"));
  EXPECT_TRUE(AddRunOnce(QStringLiteral("Other"), QStringLiteral("o"), true));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Other"), QString()), QStringLiteral("o"));
}

TEST(AddRunOnce, FailureGivesFalse) {
  CorruptHive("HKLM.sqlite");
  EXPECT_FALSE(AddRunOnce(QStringLiteral("Setup"), QStringLiteral("x"), true));
}

}  // namespace
