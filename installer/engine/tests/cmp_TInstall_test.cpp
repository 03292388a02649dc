#include "installer/engine/cmp_TInstall.h"

#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/classes/DataModule.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <ostream>

namespace {

using qxtest::MessageOf;

TEST(InstallComponent, IsTheOneInstanceOfAFormOrDataModule) {
  TDataModule module(nullptr);
  EXPECT_EQ(CurrentInstall(), nullptr);
  auto* install = new TInstall(&module);
  EXPECT_EQ(CurrentInstall(), install);
  EXPECT_EQ(install->GetRegisteredType(), rtFileContainer);
  EXPECT_TRUE(install->Processable());
  EXPECT_EQ(install->DestDir(), "/MyApplication");
  EXPECT_EQ(install->DestDirType(), StandardPathSpecList().FindByClass<TpsProgramFiles>());
  EXPECT_EQ(install->Information()->CompanyName(), "Default Company Name");
  EXPECT_EQ(install->Information()->ProductName(), "Default Product Name");
  EXPECT_EQ(install->Information()->Version(), "1.0");
  EXPECT_EQ(install->GroupName(), "Main");

  TDataModule other(nullptr);
  EXPECT_EQ(MessageOf<IEInstall>([&] { new TInstall(&other); }),
            "The TInstall component does not currently support the use of 2 TInstall "
            "components in the same project");
  EXPECT_EQ(CurrentInstall(), install);
  install->Free();
  EXPECT_EQ(CurrentInstall(), nullptr);

  TComponent notAForm(nullptr);
  EXPECT_EQ(MessageOf<IEInstall>([&] { new TInstall(&notAForm); }),
            "The Owner of the TInstall component must either be a class of type TCustomForm "
            "(Tessera 3) or TForm (Tessera 2.0,K++Builder 1.0)");
  EXPECT_EQ(MessageOf<IEInstall>([&] { new TInstall(nullptr); }),
            "The Owner of the TInstall component must either be a class of type TCustomForm "
            "(Tessera 3) or TForm (Tessera 2.0,K++Builder 1.0)");
  EXPECT_EQ(CurrentInstall(), nullptr);
  EXPECT_EQ(GetDistributeType(), 2);
}

// The engine knows window forms only by class name (it cannot see them).
class TForm : public TComponent {
 public:
  using TComponent::TComponent;
  static void DeclareProperties(TClassBuilder<TForm, TComponent>&) {}
};
class TSetupForm : public TForm {
 public:
  using TForm::TForm;
};

TEST(InstallComponent, AFormByItsClassNameMayOwnIt) {
  MetaClassOf<TSetupForm>();
  TSetupForm form(nullptr);
  EXPECT_TRUE(IsFormOrDataModule(&form));
  auto* install = new TInstall(&form);
  EXPECT_EQ(CurrentInstall(), install);
  EXPECT_NE(form.FindComponent(QStringLiteral("psProgramFiles")), nullptr);
  TComponent plain(nullptr);
  EXPECT_FALSE(IsFormOrDataModule(&plain));
  EXPECT_FALSE(IsFormOrDataModule(nullptr));
}

TEST(InstallComponent, DistributeTypeIsSetOnlyWhileLoading) {
  TDataModule module(nullptr);
  auto* install = new TInstall(&module);
  EXPECT_EQ(GetDistributeType(), 0);
  EXPECT_EQ(MessageOf<IEInstall>([&] { install->SetDistributeType(dtWeb); }),
            "DistributeType can only be set at design-time");
  EXPECT_EQ(install->DistributeType(), dtTraditional);
}

// ---------------------------------------------------------------------------
// The command line.

struct TLineCase {
  QStringList line;
  const char* error;        // nullptr: none
  const char* sourceDir;    // nullptr: the program's folder
  const char* selfExtract;  // the -e value, nullptr: not set
};
void PrintTo(const TLineCase& c, std::ostream* os) { *os << c.line.join(' ').toStdString(); }

class CommandLine : public testing::TestWithParam<TLineCase> {};

TEST_P(CommandLine, SetsTheSwitchesOrNamesTheBadParameter) {
  const TLineCase& row = GetParam();
  SetInstallCommandLine(row.line);
  TDataModule module(nullptr);
  auto* install = new TInstall(&module);
  QString error;
  try {
    install->Loaded();
  } catch (const IException& e) {
    error = e.Message();
  }
  if (row.error != nullptr) {
    EXPECT_EQ(error, QString::fromLatin1(row.error));
    return;
  }
  EXPECT_EQ(error, QString());
  const QString program = QCoreApplication::applicationDirPath();
  EXPECT_EQ(install->SourceDir(), row.sourceDir ? QString::fromLatin1(row.sourceDir) : program);
  EXPECT_EQ(install->HasSwitch(swSelfExtractor), row.selfExtract != nullptr);
  if (row.selfExtract) {
    EXPECT_EQ(install->SwitchValue(swSelfExtractor), row.selfExtract);
  }
}

#define QX_INVALID(p)                                                                         \
  "Invalid parameter <" p ">. Valid command line parameters are: -b (Build), -d (Debug), -f " \
  "(Transfer to floppies), -e (Called by self-extractor), -r (After reboot)"

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLine,
    testing::Values(
        TLineCase{{}, nullptr, nullptr, nullptr},
        TLineCase{{"-x"}, QX_INVALID("-x"), nullptr, nullptr},
        TLineCase{{"/b"}, QX_INVALID("/b"), nullptr, nullptr},
        TLineCase{{"-"}, QX_INVALID("-"), nullptr, nullptr},
        TLineCase{{"-s/work/src", "b"}, QX_INVALID("b"), nullptr, nullptr},
        TLineCase{{"-sC:\\Dir"}, nullptr, "C:\\Dir", nullptr},
        TLineCase{{"-S/opt/setup"}, nullptr, "/opt/setup", nullptr},
        TLineCase{{"-s/one", "-s/two"}, nullptr, "/two", nullptr},
        TLineCase{{"-d"},
                  "You forgot to pass in the build directory. In Run | Parameters, follow this "
                  "format: -d \"-sC:\\My Build\"",
                  nullptr, nullptr},
        TLineCase{{"-d", "-s  "},
                  "You forgot to pass in the build directory. In Run | Parameters, follow this "
                  "format: -d \"-sC:\\My Build\"",
                  nullptr, nullptr},
        TLineCase{{"-d", "-s/build"}, nullptr, "/build", nullptr},
        TLineCase{{"-e/media/Setup.exe", "-s/media"}, nullptr, "/media", "/media/Setup.exe"},
        TLineCase{{"-r", "-c", "-b", "-f"}, nullptr, nullptr, nullptr}));

#undef QX_INVALID

TEST(CommandLine, ParsingAgainClearsTheSwitches) {
  SetInstallCommandLine({QStringLiteral("-r"), QStringLiteral("-c")});
  TDataModule module(nullptr);
  auto* install = new TInstall(&module);
  install->ParseCommandLine();
  EXPECT_TRUE(install->HasSwitch(swAfterReboot));
  EXPECT_TRUE(install->HasSwitch(swCleanUp));
  SetInstallCommandLine({QStringLiteral("-E")});
  install->ParseCommandLine();
  EXPECT_FALSE(install->HasSwitch(swAfterReboot));
  EXPECT_TRUE(install->HasSwitch(swSelfExtractor));
  EXPECT_EQ(install->SwitchValue(swSelfExtractor), QString());
  EXPECT_EQ(install->SwitchValue(swCleanUp), QString());
}

// ---------------------------------------------------------------------------
// The install type a script starts with.

struct TTypeCase {
  TInstallTypeSet offered;
  TInstallType chosen;
};
class StartingInstallType : public testing::TestWithParam<TTypeCase> {};

TEST_P(StartingInstallType, IsTheFirstOfDefaultCompactFullCustom) {
  SetInstallCommandLine({});
  TDataModule module(nullptr);
  auto* install = new TInstall(&module);
  install->SetInstallTypes(GetParam().offered);
  install->Loaded();
  EXPECT_EQ(install->CurrentInstallType(), GetParam().chosen);
}

INSTANTIATE_TEST_SUITE_P(Table, StartingInstallType,
                         testing::Values(TTypeCase{{itAlways}, itAlways},
                                         TTypeCase{{itFull, itCompact}, itCompact},
                                         TTypeCase{{itFull}, itFull},
                                         TTypeCase{{itCustom, itFull}, itFull},
                                         TTypeCase{{itCustom}, itCustom},
                                         TTypeCase{{itDefault, itCustom, itCompact}, itDefault}));

// ---------------------------------------------------------------------------
// The unfinished list and the reboot flag.

TEST(Unfinished, NeedsARecordAndKeepsItsItemsInOrder) {
  TDataModule module(nullptr);
  auto* install = new TInstall(&module);
  TStringList lines;
  const QString noRecord =
      "The TInstall could not either write or read unfinished business from the registry";
  EXPECT_EQ(MessageOf<IEInstall>([&] { install->AddUnfinished(QStringLiteral("File1"), 0); }),
            noRecord);
  EXPECT_EQ(MessageOf<IEInstall>([&] { install->ReadUnfinished(lines); }), noRecord);
  EXPECT_EQ(MessageOf<IEInstall>([&] { install->ClearUnfinished(); }), noRecord);
  EXPECT_EQ(install->UnfinishedCount(), 0);

  InstallUnitState().installRecordKey = QStringLiteral("\\SOFTWARE\\Ondrix\\Install\\Install0");
  install->ReadUnfinished(lines);  // no list yet
  EXPECT_EQ(lines.Count(), 0);
  install->AddUnfinished(QStringLiteral("File1"), ukInstallObject);
  install->AddUnfinished(QStringLiteral("/tmp/bat1.bat"), ukDeleteFile);
  EXPECT_EQ(install->UnfinishedCount(), 2);
  install->ReadUnfinished(lines);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines[0], "File1;0");
  EXPECT_EQ(lines[1], "/tmp/bat1.bat;1");
  install->ClearUnfinished();
  install->ReadUnfinished(lines);
  EXPECT_EQ(lines.Count(), 0);
}

TEST(Unfinished, TheRebootFlagStartsClear) {
  EXPECT_FALSE(RebootNeeded());
  SetRebootNeeded(true);
  EXPECT_TRUE(RebootNeeded());
  SetRebootNeeded(false);
  EXPECT_FALSE(RebootNeeded());
}

}  // namespace
