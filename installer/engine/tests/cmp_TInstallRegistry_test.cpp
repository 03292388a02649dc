// Registry components: the setup script's three read from a form file,
// processed into the registry and recorded in the uninstall log.
#include "installer/engine/cmp_TInstallRegistry.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallRegistry_Log.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/tests/ScriptTestSupport.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <QMap>

#include <memory>
#include <ostream>

namespace {

const QByteArray kScript =
    "object Setup: TDataModule\n"
    "  object Install1: TInstall\n"
    "    Information.ProductName = 'Trovaly'\n"
    "  end\n"
    "  object RegTrovaly: TInstallRegistry\n"
    "    Container = Install1\n"
    "    Key = '\\Software\\QXTrovaly'\n"
    "    RootKey = hkCurrentUser\n"
    "  end\n"
    "  object RegRuudukko: TInstallRegistry\n"
    "    Container = Install1\n"
    "    Entries = <\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retInteger\n"
    "        Ident = 'fon_koko'\n"
    "        Integer = 11\n"
    "      end\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retText\n"
    "        Ident = 'fon_nimi'\n"
    "        Integer = 0\n"
    "        Text = 'Times New Roman'\n"
    "      end\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retInteger\n"
    "        Ident = 'fon_vari'\n"
    "        Integer = 128\n"
    "      end\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retInteger\n"
    "        Ident = 'loydetty_vari'\n"
    "        Integer = 255\n"
    "      end\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retText\n"
    "        Ident = 'fon_Bold'\n"
    "        Integer = 0\n"
    "        Text = 'fsBold'\n"
    "      end\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retText\n"
    "        Ident = 'fon_Italic'\n"
    "        Integer = 0\n"
    "        Text = 'fsNorm'\n"
    "      end>\n"
    "    Key = '\\Software\\QXTrovaly\\Ruudukko'\n"
    "    RootKey = hkCurrentUser\n"
    "  end\n"
    "  object RegAnimaatio: TInstallRegistry\n"
    "    Container = Install1\n"
    "    Entries = <\n"
    "      item\n"
    "        Boolean = False\n"
    "        EntryType = retText\n"
    "        Ident = 'hahmo'\n"
    "        Integer = 0\n"
    "        Text = 'j'\n"
    "      end>\n"
    "    Key = '\\Software\\QXTrovaly\\Animaatio\\'\n"
    "    RootKey = hkCurrentUser\n"
    "  end\n"
    "end\n";

const QString kLog = qxtest::kTrovalyLog;
const QString kRegistryKeys = kLog + QStringLiteral("\\RegistryKeys");

struct TScript : qxtest::TScriptModule {
  TCustomInstall* install = CurrentInstall();

  explicit TScript(const QByteArray& text = kScript)
      : TScriptModule(text, RegisterInstallRegistryClasses) {}
  TInstallRegistry* Reg(const char* name) const { return Find<TInstallRegistry>(name); }
};

// The values of a key: name to (type, data as text).
QMap<QString, QPair<TRegDataType, QString>> ValuesOf(HKEY root, const QString& key) {
  QMap<QString, QPair<TRegDataType, QString>> values;
  TRegistry registry;
  registry.SetRootKey(root);
  if (!registry.OpenKeyReadOnly(key)) return values;
  TStringList names;
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i) {
    const TRegDataType type = registry.GetDataType(names[i]);
    const QString data = type == rdInteger ? QString::number(registry.ReadInteger(names[i]))
                                           : registry.ReadString(names[i]);
    values.insert(names[i], {type, data});
  }
  return values;
}

QString LogText(const QString& key, const char* name) {
  return ReadRegString(hkLocalMachine, key, QString::fromLatin1(name), QStringLiteral("<none>"));
}

TEST(InstallRegistryScript, EntriesAreWrittenWithTheirTypesAndRecordedInTheLog) {
  TScript script;
  ASSERT_NE(script.Reg("RegRuudukko"), nullptr);
  EXPECT_EQ(script.Reg("RegRuudukko")->Entries()->Count(), 6);
  EXPECT_EQ(script.Reg("RegRuudukko")->Entries()->Items(0)->InstallRegistry(),
            script.Reg("RegRuudukko"));
  // The script writes back as it was read (defaults left out).
  const QByteArray written = WriteComponentText(script.Root());
  EXPECT_TRUE(written.contains("        Ident = 'fon_koko'\n        Integer = 11\n"))
      << written.constData();
  EXPECT_TRUE(written.contains("RootKey = hkCurrentUser"));
  EXPECT_FALSE(written.contains("KeySpecifierType"));
  script.install->TFileContainer::Process();

  using V = QPair<TRegDataType, QString>;
  const QMap<QString, V> grid = ValuesOf(HKEY_CURRENT_USER, "\\Software\\QXTrovaly\\Ruudukko");
  EXPECT_EQ(grid, (QMap<QString, V>{{"fon_koko", {rdInteger, "11"}},
                                    {"fon_nimi", {rdString, "Times New Roman"}},
                                    {"fon_vari", {rdInteger, "128"}},
                                    {"loydetty_vari", {rdInteger, "255"}},
                                    {"fon_Bold", {rdString, "fsBold"}},
                                    {"fon_Italic", {rdString, "fsNorm"}}}));
  EXPECT_EQ(ValuesOf(HKEY_CURRENT_USER, "\\Software\\QXTrovaly\\Animaatio"),
            (QMap<QString, V>{{"hahmo", {rdString, "j"}}}));
  // The key without entries is not written; only its record names it.
  EXPECT_TRUE(ValuesOf(HKEY_CURRENT_USER, "\\Software\\QXTrovaly").isEmpty());

  EXPECT_EQ(LogText(kRegistryKeys, "Entries"), "3");
  const QString first = kRegistryKeys + QStringLiteral("\\RegistryKey1");
  EXPECT_EQ(LogText(first, "Key"), "\\Software\\QXTrovaly");
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, first, QStringLiteral("Root"), -1), 2);
  const QString second = kRegistryKeys + QStringLiteral("\\RegistryKey2");
  EXPECT_EQ(ValuesOf(HKEY_LOCAL_MACHINE, second + QStringLiteral("\\Entries")),
            (QMap<QString, V>{{"fon_koko", {rdString, ""}},
                              {"fon_nimi", {rdString, "Times New Roman"}},
                              {"fon_vari", {rdString, ""}},
                              {"loydetty_vari", {rdString, ""}},
                              {"fon_Bold", {rdString, "fsBold"}},
                              {"fon_Italic", {rdString, "fsNorm"}}}));
  EXPECT_EQ(LogText(kRegistryKeys + QStringLiteral("\\RegistryKey3"), "Key"),
            "\\Software\\QXTrovaly\\Animaatio");
}

TEST(InstallRegistryScript, SkippedEntriesAreStillLoggedAndASecondRunAddsNoRecords) {
  TScript script;
  QStringList asked;
  script.Reg("RegRuudukko")->OnBeforeWriteEntry = [&](TCustomInstallRegistry* reg,
                                                      TRegistryEntry* entry, bool& proceed) {
    EXPECT_TRUE(proceed);
    asked.append(reg->Name() + QLatin1Char('.') + entry->Ident());
    if (entry->Ident() == QLatin1String("fon_nimi")) proceed = false;
  };
  script.install->TFileContainer::Process();
  EXPECT_EQ(asked.size(), 6);
  EXPECT_EQ(asked[1], "RegRuudukko.fon_nimi");
  const auto grid = ValuesOf(HKEY_CURRENT_USER, "\\Software\\QXTrovaly\\Ruudukko");
  EXPECT_FALSE(grid.contains("fon_nimi"));
  EXPECT_EQ(grid.size(), 5);
  EXPECT_EQ(LogText(kRegistryKeys + QStringLiteral("\\RegistryKey2\\Entries"), "fon_nimi"),
            "Times New Roman");

  // Installed again: each key keeps its one record, which takes any new entry.
  script.Reg("RegRuudukko")->Entries()->Add()->SetIdent(QStringLiteral("uusi"));
  script.install->TFileContainer::Process();
  EXPECT_EQ(LogText(kRegistryKeys, "Entries"), "3");
  EXPECT_EQ(LogText(kRegistryKeys + QStringLiteral("\\RegistryKey4"), "Key"), "<none>");
  EXPECT_EQ(ValuesOf(HKEY_LOCAL_MACHINE, kRegistryKeys + QStringLiteral("\\RegistryKey2\\Entries")).size(),
            7);
}

TEST(InstallRegistryLog, ACountNeverNamesAnIncompleteRecordAndBadCountsChangeNothing) {
  TScript script;
  TInstallRegistry* reg = script.Reg("RegAnimaatio");
  // A record left by a run that stopped before its count: it is replaced whole.
  const QString stale = kRegistryKeys + QStringLiteral("\\RegistryKey1");
  WriteRegString(hkLocalMachine, stale + QStringLiteral("\\Entries"), "old", "x");
  WriteRegString(hkLocalMachine, stale, "Key", "\\Software\\Old");
  reg->WriteUninstallInfo(kLog);
  EXPECT_EQ(LogText(kRegistryKeys, "Entries"), "1");
  EXPECT_EQ(LogText(stale, "Key"), "\\Software\\QXTrovaly\\Animaatio");
  EXPECT_EQ(ValuesOf(HKEY_LOCAL_MACHINE, stale + QStringLiteral("\\Entries")).keys(),
            QStringList{"hahmo"});

  for (const char* bad : {"many", "-1", "2147483647"}) {
    WriteRegString(hkLocalMachine, kRegistryKeys, "Entries", QString::fromLatin1(bad));
    EXPECT_THROW(reg->WriteUninstallInfo(kLog), EConvertError) << bad;
    EXPECT_EQ(LogText(kRegistryKeys, "Entries"), QString::fromLatin1(bad));
    EXPECT_EQ(LogText(kRegistryKeys + QStringLiteral("\\RegistryKey2"), "Key"), "<none>");
  }
}

TEST(InstallRegistryLog, ARecordThatFailsHalfWayLeavesTheCountAsItWas) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  auto* reg = new TInstallRegistry(&root);
  reg->SetKey(QStringLiteral("\\Software\\QxTest"));
  TRegistryEntry* first = reg->Entries()->Add();
  first->SetIdent(QStringLiteral("First"));
  first->SetText(QStringLiteral("1"));
  TRegistryEntry* broken = reg->Entries()->Add();
  broken->SetIdent(QStringLiteral("Broken"));
  // Its text cannot be made: the specifier's path fails.
  auto* failing = new TPathSpecifier(&root);
  failing->OnGetPath = [](TComponent*, QString&) { throw EAbort(QStringLiteral("no path")); };
  broken->SetPathSpecifier(failing);
  EXPECT_THROW(reg->WriteUninstallInfo(kLog), EAbort);
  EXPECT_EQ(LogText(kRegistryKeys, "Entries"), "<none>");
  // The record begun under number 1 is taken over whole by the next one.
  broken->SetPathSpecifier(nullptr);
  broken->SetText(QStringLiteral("2"));
  reg->WriteUninstallInfo(kLog);
  EXPECT_EQ(LogText(kRegistryKeys, "Entries"), "1");
  EXPECT_EQ(ValuesOf(HKEY_LOCAL_MACHINE, kRegistryKeys + "\\RegistryKey1\\Entries").keys(),
            (QStringList{"Broken", "First"}));
}

TEST(InstallRegistryKeys, KeySpecifiersNeedTheInstallAndFallBackWithoutIt) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  auto* reg = new TInstallRegistry(&root);
  EXPECT_EQ(reg->Key(), "\\SOFTWARE\\MyStuff");
  EXPECT_EQ(reg->RootKey(), hkLocalMachine);
  reg->SetKey(QStringLiteral("\\SOFTWARE\\MyStuff\\"));
  EXPECT_EQ(reg->GetKey(), "\\SOFTWARE\\MyStuff");
  try {
    reg->SetKeySpecifierType(ksProductName);
    FAIL() << "no error";
  } catch (const IEInstallRegistry& e) {
    EXPECT_EQ(e.Message(), "There is no TInstall component in your project");
  }
  EXPECT_EQ(reg->KeySpecifierType(), ksAbsolute);

  auto* install = new TInstall(&root);
  install->Information()->SetCompanyName(QStringLiteral("Qx Oy"));
  install->Information()->SetProductName(QStringLiteral("Trovaly"));
  install->Information()->SetVersion(QStringLiteral("1.0"));
  reg->SetRootKey(hkCurrentUser);
  const struct {
    TKeySpecifier specifier;
    const char* key;
  } rows[] = {{ksCompanyName, "\\SOFTWARE\\Qx Oy"},
              {ksProductName, "\\SOFTWARE\\Qx Oy\\Trovaly"},
              {ksVersion, "\\SOFTWARE\\Qx Oy\\Trovaly\\1.0"}};
  for (const auto& row : rows) {
    reg->SetKeySpecifierType(row.specifier);
    EXPECT_EQ(reg->GetKey(), row.key);
    EXPECT_EQ(reg->Key(), "");
    EXPECT_EQ(reg->RootKey(), hkLocalMachine);
    reg->SetKey(QStringLiteral("\\Ignored"));
    EXPECT_EQ(reg->Key(), "");
  }
  install->Free();
  EXPECT_EQ(reg->KeySpecifierType(), ksAbsolute);

  // A root the registry refuses: the key cannot be made.
  reg->SetName(QStringLiteral("DynReg"));
  reg->SetRootKey(hkDynData);
  reg->SetKey(QStringLiteral("\\Software\\QxDyn"));
  reg->Entries()->Add()->SetText(QStringLiteral("x"));
  try {
    reg->Process();
    FAIL() << "no error";
  } catch (const IERegistryEntry& e) {
    EXPECT_EQ(e.Message(), "DynReg cannot create the key \\Software\\QxDyn in the registry");
  }
  EXPECT_THROW(TRegistryEntries(nullptr), IERegistryEntries);
}

TEST(InstallRegistryEntries, PathSpecifierTextsAndTypingFollowTheEntry) {
  qxtest::TScriptModule module("object Setup: TDataModule\nend\n", [] {});
  TDataModule& root = *module.Root();
  auto* reg = new TInstallRegistry(&root);
  auto* files =
      dynamic_cast<TpsProgramFiles*>(root.FindComponent(QStringLiteral("psProgramFiles")));
  ASSERT_NE(files, nullptr);
  reg->SetKey(QStringLiteral("\\Software\\QxTest"));

  TRegistryEntry* tools = reg->Entries()->Add();
  tools->SetIdent(QStringLiteral("Tools"));
  tools->SetInteger(5);
  EXPECT_EQ(tools->EntryType(), retInteger);
  tools->SetPathSpecifier(files);
  EXPECT_EQ(tools->EntryType(), retText);
  EXPECT_EQ(tools->Text(), "%p");
  tools->SetText(QStringLiteral("%p/Tools 100%%"));
  TRegistryEntry* plain = reg->Entries()->Add();
  plain->SetIdent(QStringLiteral("Plain"));
  plain->SetText(QStringLiteral("100%% %p"));
  TRegistryEntry* flag = reg->Entries()->Add();
  flag->SetIdent(QStringLiteral("Flag"));
  flag->SetBoolean(true);
  EXPECT_EQ(flag->EntryType(), retBoolean);

  reg->Process();
  const QString programFiles = files->PathFor(reg);
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKeyReadOnly(QStringLiteral("\\Software\\QxTest")));
  EXPECT_EQ(registry.ReadString("Tools"), programFiles + "/Tools 100%");
  EXPECT_EQ(registry.ReadString("Plain"), "100%% %p");
  EXPECT_EQ(registry.GetDataType("Flag"), rdInteger);
  EXPECT_EQ(registry.ReadInteger("Flag"), 1);

  TRegistryEntries copy(reg);
  copy.Assign(reg->Entries());
  ASSERT_EQ(copy.Count(), 3);
  EXPECT_EQ(copy.Items(0)->PathSpecifier(), files);
  EXPECT_EQ(copy.Items(0)->Text(), "%p/Tools 100%%");

  files->Free();
  EXPECT_EQ(tools->PathSpecifier(), nullptr);
  EXPECT_EQ(tools->EntryType(), retText);
}

}  // namespace
