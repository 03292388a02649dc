// An installation script read from a form file keeps its ranks and Orders,
// meets its own path specifiers without a clash, and runs.

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using qxtest::HelperLines;
template <int Rank>
using TScriptObject = qxtest::TRankedObject<Rank>;
class TScriptGroup : public TScriptObject<rtFileContainer> {
 public:
  using qxtest::TRankedObject<rtFileContainer>::TRankedObject;
};
class TScriptFile : public TScriptObject<rtInstallFile> {
 public:
  using qxtest::TRankedObject<rtInstallFile>::TRankedObject;
};
class TScriptLinkGroup : public TScriptObject<rtLinkGroup> {
 public:
  using qxtest::TRankedObject<rtLinkGroup>::TRankedObject;
};
class TScriptLink : public TScriptObject<rtLink> {
 public:
  using qxtest::TRankedObject<rtLink>::TRankedObject;
};
class TScriptRegistry : public TScriptObject<rtRegistry> {
 public:
  using qxtest::TRankedObject<rtRegistry>::TRankedObject;
};

class TScriptModule : public TDataModule {
 public:
  using TDataModule::TDataModule;
  static TFormBinding Binding() {
    return {Field("Install1", &TScriptModule::Install1),
            Field("Recorder", &TScriptModule::Recorder),
            Handler("ObjectBeforeProcess", &TScriptModule::ObjectBeforeProcess),
            Handler("ObjectAfterProcess", &TScriptModule::ObjectAfterProcess)};
  }
  void ObjectBeforeProcess(TInstallContainer* c) { events << "+" + c->Name(); }
  void ObjectAfterProcess(TInstallContainer* c) { events << "-" + c->Name(); }

  TInstall* Install1 = nullptr;
  qxtest::TStageRecorder* Recorder = nullptr;
  QStringList events;
};

// Registers the script's classes for one test.
class ScriptClasses {
 public:
  ScriptClasses() {
    RegisterInstallClasses();
    RegisterClasses<TScriptGroup, TScriptFile, TScriptLinkGroup, TScriptLink, TScriptRegistry,
                    qxtest::TStageRecorder>();
  }
  ~ScriptClasses() {
    UnRegisterClass<TScriptGroup>();
    UnRegisterClass<TScriptFile>();
    UnRegisterClass<TScriptLinkGroup>();
    UnRegisterClass<TScriptLink>();
    UnRegisterClass<TScriptRegistry>();
    UnRegisterClass<qxtest::TStageRecorder>();
  }
};

template <class T>
int CountOf(const TComponent& root) {
  int n = 0;
  for (int i = 0; i < root.ComponentCount(); ++i)
    if (dynamic_cast<T*>(root.Components(i)) != nullptr) ++n;
  return n;
}

TEST(InstallScript, ReadFromAFormFileKeepsRanksAndOrdersAndRuns) {
  ScriptClasses classes;
  SetInstallCommandLine({});
  TScriptModule script(nullptr);
  ReadRootComponentFile(&script, qxtest::DataPath(QStringLiteral("script.form")));
  ASSERT_NE(script.Install1, nullptr);
  TInstall* install = script.Install1;

  EXPECT_EQ(HelperLines(*install),
            (QStringList{"Group1:0", "Group2:1", "File0:0", "FullOnly:1", "LinkGroup1:0",
                         "Registry1:0", "Recorder:0"}));
  auto* group1 = dynamic_cast<TInstallContainer*>(script.FindComponent(QStringLiteral("Group1")));
  ASSERT_NE(group1, nullptr);
  EXPECT_EQ(HelperLines(*group1), (QStringList{"FileA:0", "FileB:1"}));
  EXPECT_EQ(install->Information()->ProductName(), "Trovaly");
  EXPECT_EQ(install->CurrentInstallType(), itCompact);  // the first offered of the order
  EXPECT_EQ(group1->CurrentInstallType(), itCompact);

  // The specifiers the file holds were not made twice; the one it lacks was.
  EXPECT_EQ(CountOf<TpsProgramFiles>(script), 1);
  EXPECT_EQ(CountOf<TpsContainerDestDir>(script), 1);
  EXPECT_EQ(CountOf<TpsWindow>(script), 1);
  EXPECT_NE(script.FindComponent(QStringLiteral("psWindow")), nullptr);
  EXPECT_EQ(CountOf<TStandardPathSpecifier>(script), 14);

  auto* fileA = dynamic_cast<TInstallContainer*>(script.FindComponent(QStringLiteral("FileA")));
  ASSERT_NE(fileA, nullptr);
  EXPECT_EQ(fileA->GetExpandedDestDir(), ExpandProgramFilesDir() + "/Trovaly/data/bin");

  install->TFileContainer::Process();
  EXPECT_EQ(script.events,
            (QStringList{"+Install1", "+Group1", "+FileA", "-FileA", "+FileB", "-FileB", "-Group1",
                         "+Group2", "+File0", "-File0", "+FullOnly", "+LinkGroup1", "+Link1",
                         "-Link1", "-LinkGroup1", "+Registry1", "-Registry1", "-Install1"}));
  // The install is a file container: it reads its archive's information
  // and installs as a group.
  EXPECT_EQ(script.Recorder->Lines(),
            (QStringList{"Install1:-990", "Install1:-999", "Install1:-984", "Install1:-974",
                         "Install1:-973", "Install1:-983", "Install1:-992", "Install1:-996",
                         "Install1:-989"}));
}

TEST(InstallScript, AFormWithAllItsSpecifiersGetsNoneMore) {
  ScriptClasses classes;
  SetInstallCommandLine({});
  QByteArray text = qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("script.form")));
  text.replace("  object psCDEDLL: TpsCDEDLL\n",
               "  object psWindow: TpsWindow\n  end\n  object psCDEDLL: TpsCDEDLL\n");
  TScriptModule script(nullptr);
  ReadRootComponent(&script, text, QStringLiteral("script.form"));
  EXPECT_EQ(CountOf<TStandardPathSpecifier>(script), 14);
  // A second install object dropped on the form finds them.
  new TScriptFile(&script);
  EXPECT_EQ(CountOf<TStandardPathSpecifier>(script), 14);
}

TEST(InstallScript, TheFirstInstallObjectOnAnEmptyFormBringsTheStandardSet) {
  TDataModule form(nullptr);
  new TScriptFile(&form);
  EXPECT_EQ(CountOf<TStandardPathSpecifier>(form), 14);
  EXPECT_NE(form.FindComponent(QStringLiteral("psMainArchiveFile")), nullptr);
  TComponent notAForm(nullptr);
  new TScriptFile(&notAForm);
  EXPECT_EQ(CountOf<TStandardPathSpecifier>(notAForm), 0);
}

}  // namespace
