#include "installer/engine/cmp_TInstallContainer.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/classes/DataModule.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace {

using qxtest::TInformationRecorder;
using qxtest::TStageRecorder;

using qxtest::HelperLines;
using qxtest::MessageOf;
template <int Rank>
using TRanked = qxtest::TRankedObject<Rank>;
using TGroupLike = TRanked<rtFileContainer>;
using TFileLike = TRanked<rtInstallFile>;
using TLinkLike = TRanked<rtLink>;

// The class name that always goes first.
class TInstallCDE : public TRanked<rtLink> {
 public:
  using TRanked<rtLink>::TRanked;
};

template <class T>
T* Make(TComponent* owner, const char* name, TInstallContainer* container = nullptr) {
  auto* object = new T(owner);
  object->SetName(QString::fromLatin1(name));
  if (container != nullptr) object->SetContainer(container);
  return object;
}

// ---------------------------------------------------------------------------
// Ranks and Order.

enum TKind { kGroup, kFile, kLink, kCde };
struct TAdd {
  const char* name;
  TKind kind;
  int order;  // -2: left as made
};
struct TOrderCase {
  const char* title;
  std::vector<TAdd> adds;
  QStringList expected;
};
void PrintTo(const TOrderCase& c, std::ostream* os) { *os << c.title; }

class HelperOrder : public testing::TestWithParam<TOrderCase> {};

TEST_P(HelperOrder, HelpersStandByRankThenOrder) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  for (const TAdd& add : GetParam().adds) {
    TInstallObject* object = nullptr;
    switch (add.kind) {
      case kGroup: object = Make<TGroupLike>(&module, add.name); break;
      case kFile: object = Make<TFileLike>(&module, add.name); break;
      case kLink: object = Make<TLinkLike>(&module, add.name); break;
      case kCde: object = Make<TInstallCDE>(&module, add.name); break;
    }
    object->SetContainer(top);
    if (add.order != -2) object->SetOrder(add.order);
  }
  EXPECT_EQ(HelperLines(*top), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelperOrder,
    testing::Values(
        TOrderCase{"four helpers",
                   {{"File1", kFile, -2}, {"Group", kGroup, -2}, {"Link", kLink, -2},
                    {"File2", kFile, 0}},
                   {"Group:0", "File2:0", "File1:1", "Link:0"}},
        TOrderCase{"Order -1 goes last within its type",
                   {{"A", kFile, -2}, {"B", kFile, -2}, {"L", kLink, -2}, {"G", kGroup, -2},
                    {"D", kFile, -2}},
                   {"G:0", "A:0", "B:1", "D:2", "L:0"}},
        TOrderCase{"TInstallCDE first whatever its type",
                   {{"G", kGroup, -2}, {"F", kFile, -2}, {"Cde", kCde, -2}},
                   {"Cde:0", "G:0", "F:0"}}));

TEST(HelperOrder, AnEqualOrderSetLaterStandsFirstAndOrderMoves) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* a = Make<TFileLike>(&module, "A", top);
  auto* b = Make<TFileLike>(&module, "B", top);
  auto* c = Make<TFileLike>(&module, "C", top);
  EXPECT_EQ(HelperLines(*top), (QStringList{"A:0", "B:1", "C:2"}));
  c->SetOrder(0);
  EXPECT_EQ(HelperLines(*top), (QStringList{"C:0", "A:1", "B:2"}));
  a->SetOrder(2);  // no Order of 2 or more stands: A goes last
  EXPECT_EQ(HelperLines(*top), (QStringList{"C:0", "B:1", "A:2"}));
  b->SetOrder(7);
  EXPECT_EQ(HelperLines(*top), (QStringList{"C:0", "A:1", "B:2"}));
}

TEST(HelperOrder, OrderWithoutContainerIsNotStored) {
  TDataModule module(nullptr);
  auto* lone = Make<TFileLike>(&module, "Lone");
  lone->SetOrder(5);
  EXPECT_EQ(lone->Order(), -1);
}

TEST(HelperOrder, RefusedHelpersChangeNothing) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* child = Make<TGroupLike>(&module, "Child", top);
  auto* grandChild = Make<TFileLike>(&module, "GrandChild", child);
  auto* plain = Make<TInstallObject>(&module, "Plain");

  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->SetContainer(child); }),
            "Circular reference");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->SetContainer(grandChild); }),
            "Circular reference");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { child->SetContainer(child); }),
            "Circular reference");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->AddHelper(nullptr); }),
            "Cannot add a blank base helper component to Top");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { plain->SetContainer(top); }),
            "Class must declare a registered type");
  EXPECT_EQ(top->Container(), nullptr);
  EXPECT_EQ(child->Container(), top);
  EXPECT_EQ(plain->Container(), nullptr);
  EXPECT_EQ(HelperLines(*top), QStringList{"Child:0"});
  EXPECT_EQ(HelperLines(*child), QStringList{"GrandChild:0"});
}

TEST(HelperOrder, LookupsRaiseWithTheirTexts) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* file = Make<TFileLike>(&module, "F", top);
  Make<TGroupLike>(&module, "G", top);
  EXPECT_EQ(top->Comp<TFileLike>(0), file);
  EXPECT_EQ(top->CountHelpersOfClass<TGroupLike>(), 1);
  EXPECT_EQ(top->FileContainerCount(), 0);  // no file container class answers yet
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->GetHelper(2); }),
            "Tried to reference a helper component in the following component: Top. The "
            "following index was used: 2");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->GetHelper(-1); }),
            "Tried to reference a helper component in the following component: Top. The "
            "following index was used: -1");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->Comp<TFileLike>(1); }),
            "Bad call to the Comp procedure which returns a TInstallObject for a "
            "TInstallContainer component. The parameters are probably reversed. Index: 1, "
            "ComponentType: 1");
  EXPECT_EQ(MessageOf<IEInstallContainer>([&] { top->Comp<TLinkLike>(0); }),
            "Bad call to the Comp procedure which returns a TInstallObject for a "
            "TInstallContainer component. The parameters are probably reversed. Index: 0, "
            "ComponentType: 0");
}

// ---------------------------------------------------------------------------
// Install types.

struct TTypesCase {
  TInstallTypeSet before;
  TInstallTypeSet set;
  TInstallTypeSet after;
};
class InstallTypesSetter : public testing::TestWithParam<TTypesCase> {};

TEST_P(InstallTypesSetter, KeepsItAlwaysAlone) {
  TInstallContainer c(nullptr);
  c.SetInstallTypes(GetParam().before);
  c.SetInstallTypes(GetParam().set);
  EXPECT_EQ(c.InstallTypes().Bits(), GetParam().after.Bits());
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstallTypesSetter,
    testing::Values(TTypesCase{{itAlways}, {itFull, itAlways}, {itFull}},
                    TTypesCase{{itFull}, {itAlways}, {itAlways}},
                    TTypesCase{{itFull}, {}, {itAlways}},
                    TTypesCase{{itFull}, {itFull, itAlways}, {itAlways}},
                    TTypesCase{{itAlways}, {itAlways}, {itAlways}},
                    TTypesCase{{itAlways}, {itCompact, itDefault}, {itCompact, itDefault}}));

TEST(InstallTypes, SetInstallTypeReachesEveryHelperFirst) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* child = Make<TGroupLike>(&module, "Child", top);
  auto* leaf = Make<TFileLike>(&module, "Leaf", child);
  top->SetInstallType(itCompact);
  EXPECT_EQ(top->CurrentInstallType(), itCompact);
  EXPECT_EQ(child->CurrentInstallType(), itCompact);
  EXPECT_EQ(leaf->CurrentInstallType(), itCompact);
}

// ---------------------------------------------------------------------------
// Processing: what a dialog helper hears.

struct TProcessCase {
  const char* title;
  bool include;
  TInstallTypeSet types;
  TInstallType current;
  QStringList heard;
  bool helpersProcessed;
};
void PrintTo(const TProcessCase& c, std::ostream* os) { *os << c.title; }

class ProcessStages : public testing::TestWithParam<TProcessCase> {};

TEST_P(ProcessStages, RecorderHearsTheObjectsStages) {
  TDataModule module(nullptr);
  auto* object = Make<TGroupLike>(&module, "Obj");
  auto* recorder = Make<TStageRecorder>(&module, "Rec", object);
  auto* child = Make<TFileLike>(&module, "Child", object);
  QStringList events;
  object->OnBeforeProcess = [&](TInstallContainer* c) { events << "before:" + c->Name(); };
  object->OnAfterProcess = [&](TInstallContainer* c) { events << "after:" + c->Name(); };
  object->SetInclude(GetParam().include);
  object->SetInstallTypes(GetParam().types);
  object->SetInstallType(GetParam().current);
  object->Process();
  EXPECT_EQ(recorder->Lines(), GetParam().heard);
  EXPECT_EQ(child->Processed(), GetParam().helpersProcessed);
  EXPECT_EQ(object->Processed(), GetParam().helpersProcessed);
  QStringList expectedEvents{"before:Obj"};
  if (GetParam().helpersProcessed) expectedEvents << "after:Obj";
  EXPECT_EQ(events, expectedEvents);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessStages,
    testing::Values(
        TProcessCase{"included", true, {itAlways}, itFull, {"Obj:-990", "Obj:-999", "Obj:-989"}, true},
        TProcessCase{"excluded", false, {itAlways}, itFull, {"Obj:-990"}, false},
        TProcessCase{"type rejected", true, {itFull}, itCompact, {"Obj:-990", "Obj:-999"}, false},
        TProcessCase{"type accepted", true, {itFull, itCompact}, itCompact,
                     {"Obj:-990", "Obj:-999", "Obj:-989"}, true},
        TProcessCase{"custom takes all", true, {itFull}, itCustom,
                     {"Obj:-990", "Obj:-999", "Obj:-989"}, true},
        TProcessCase{"always run takes all", true, {itFull}, itAlways,
                     {"Obj:-990", "Obj:-999", "Obj:-989"}, true}));

TEST(ProcessStages, BroadcastsReachOnlyDialogHelpersInOrder) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* second = Make<TStageRecorder>(&module, "Second", top);
  auto* first = Make<TStageRecorder>(&module, "First", top);
  first->SetOrder(0);
  Make<TFileLike>(&module, "NotADialog", top);
  QStringList heard;
  first->OnMessage = [&](TInstallContainer*, int code, TObject*) { heard << "First" + QString::number(code); };
  second->OnMessage = [&](TInstallContainer*, int code, TObject*) { heard << "Second" + QString::number(code); };
  top->ShowStatusMessage(QStringLiteral("Reading file information..."));
  top->HideStatusMessage();
  EXPECT_EQ(heard, (QStringList{"First-974", "Second-974", "First-973", "Second-973"}));
  QString message;
  first->OnMessage = [&](TInstallContainer*, int, TObject* p) {
    if (auto* m = dynamic_cast<TMessageParameter*>(p)) message = m->Message;
  };
  top->ShowStatusMessage(QStringLiteral("x"));
  EXPECT_EQ(message, "x");

  auto* lonely = Make<TGroupLike>(&module, "Lonely");
  lonely->BroadcastMessage(lonely, scWelcome, nullptr);  // nobody hears, nothing fails
}

// ---------------------------------------------------------------------------
// Aborts: EAbort skips an object; EAIUserAbort ends the run.

enum TWhere { kInBefore, kInStage999, kInAfter, kInHelper };
struct TAbortCase {
  const char* title;
  TWhere where;
  bool userAbort;
  QStringList processed;  // OnBeforeProcess of the top's helpers, in order
  QStringList finished;   // OnAfterProcess of the top's helpers
  bool propagates;
};
void PrintTo(const TAbortCase& c, std::ostream* os) { *os << c.title; }

class ProcessAborts : public testing::TestWithParam<TAbortCase> {};

TEST_P(ProcessAborts, EAbortSkipsToTheNextSiblingAndUserAbortEndsTheRun) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* a = Make<TFileLike>(&module, "A", top);
  auto* b = Make<TFileLike>(&module, "B", top);
  auto* c = Make<TFileLike>(&module, "C", top);
  auto* inner = Make<TFileLike>(&module, "Inner", b);
  auto* recorder = Make<TStageRecorder>(&module, "Rec", b);
  QStringList processed, finished;
  const TAbortCase& row = GetParam();
  auto raise = [&] {
    if (row.userAbort) throw EAIUserAbort();
    throw EAbort();
  };
  for (TInstallObject* o : {a, b, c}) {
    o->OnBeforeProcess = [&, o](TInstallContainer*) {
      processed << o->Name();
      if (o == b && row.where == kInBefore) raise();
    };
    o->OnAfterProcess = [&, o](TInstallContainer*) {
      finished << o->Name();
      if (o == b && row.where == kInAfter) raise();
    };
  }
  inner->OnBeforeProcess = [&](TInstallContainer*) {
    if (row.where == kInHelper) raise();
  };
  recorder->OnMessage = [&](TInstallContainer*, int code, TObject*) {
    if (code == scStartProcessing && row.where == kInStage999) raise();
  };
  bool propagated = false;
  try {
    top->Process();
  } catch (const EAIUserAbort&) {
    propagated = true;
  }
  EXPECT_EQ(propagated, row.propagates);
  EXPECT_EQ(processed, row.processed);
  EXPECT_EQ(finished, row.finished);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessAborts,
    testing::Values(
        TAbortCase{"EAbort in OnBeforeProcess", kInBefore, false, {"A", "B", "C"}, {"A", "C"}, false},
        TAbortCase{"EAbort from a dialog at -999", kInStage999, false, {"A", "B", "C"}, {"A", "C"}, false},
        TAbortCase{"EAbort in OnAfterProcess", kInAfter, false, {"A", "B", "C"}, {"A", "B", "C"}, false},
        TAbortCase{"EAbort in a helper of B", kInHelper, false, {"A", "B", "C"}, {"A", "B", "C"}, false},
        TAbortCase{"EAIUserAbort in OnBeforeProcess", kInBefore, true, {"A", "B"}, {"A"}, true},
        TAbortCase{"EAIUserAbort from a dialog", kInStage999, true, {"A", "B"}, {"A"}, true},
        TAbortCase{"EAIUserAbort in a helper of B", kInHelper, true, {"A", "B"}, {"A"}, true}));

TEST(ProcessStages, AHelperFreedDuringTheWalkIsNotVisited) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* a = Make<TFileLike>(&module, "A", top);
  auto* b = Make<TFileLike>(&module, "B", top);
  auto* first = Make<TStageRecorder>(&module, "First", top);
  auto* second = Make<TStageRecorder>(&module, "Second", top);
  QStringList seen;
  a->OnBeforeProcess = [&](TInstallContainer*) { b->Free(); };
  first->OnMessage = [&](TInstallContainer*, int code, TObject*) {
    seen << "First" + QString::number(code);
    if (code == scBeforeProcess) second->Free();
  };
  top->Process();
  EXPECT_EQ(seen, (QStringList{"First-990", "First-999", "First-989"}));
  EXPECT_EQ(HelperLines(*top), (QStringList{"A:0", "First:0"}));
  EXPECT_TRUE(a->Processed());
}

TEST(ProcessAborts, OtherErrorsLeaveProcess) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* a = Make<TFileLike>(&module, "A", top);
  auto* b = Make<TFileLike>(&module, "B", top);
  a->OnBeforeProcess = [](TInstallContainer*) { throw IECustomInstallFile(QStringLiteral("bad")); };
  EXPECT_THROW(top->Process(), IECustomInstallFile);
  EXPECT_FALSE(b->Processed());
}

// ---------------------------------------------------------------------------
// Information codes and the uninstall log hook.

TEST(InformationCodes, ClimbToTheTopWhichForwardsNowhere) {
  TDataModule module(nullptr);
  auto* top = Make<TInformationRecorder>(&module, "Top");
  auto* group = Make<TInformationRecorder>(&module, "Group", top);
  auto* file = Make<TFileLike>(&module, "File", group);
  file->SendInformation(icBeforeInstall, file);
  file->SendInformation(icAfterInstall, file);
  top->SendInformation(icContainerEnd, top);  // the top has no container: no effect
  ASSERT_EQ(group->Codes.size(), 2);
  EXPECT_EQ(group->Codes[0], (qxtest::TRecordedCode{"File", icBeforeInstall, nullptr}));
  EXPECT_EQ(group->Codes[1], (qxtest::TRecordedCode{"File", icAfterInstall, nullptr}));
  ASSERT_EQ(top->Codes.size(), 2);
  EXPECT_EQ(top->Codes[0], (qxtest::TRecordedCode{"Group", icBeforeInstall, nullptr}));
  EXPECT_EQ(top->Codes[1].param, file);
}

class TLogging : public TRanked<rtInstallFile> {
 public:
  using TRanked<rtInstallFile>::TRanked;
  void WriteUninstallInfo(const QString& key) override { keys << key; }
  QStringList keys;
};

TEST(InformationCodes, ProcessedObjectsWriteTheirLogOnlyUnderAnInstall) {
  SetInstallCommandLine({});
  TDataModule module(nullptr);
  auto* lone = Make<TLogging>(&module, "Lone");
  lone->Process();
  EXPECT_TRUE(lone->keys.isEmpty());
  auto* install = Make<TInstall>(&module, "Install1");
  install->Information()->SetProductName(QStringLiteral("Trovaly"));
  auto* file = Make<TLogging>(&module, "File", install);
  install->TFileContainer::Process();
  EXPECT_EQ(file->keys,
            QStringList{"\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovaly"});
}

// ---------------------------------------------------------------------------
// Destruction.

TEST(Destruction, HelpersAndContainersForgetTheDestroyed) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* group = Make<TGroupLike>(&module, "Group", top);
  auto* a = Make<TFileLike>(&module, "A", group);
  auto* b = Make<TFileLike>(&module, "B", group);
  a->Free();
  EXPECT_EQ(HelperLines(*group), QStringList{"B:0"});
  group->Free();
  EXPECT_EQ(b->Container(), nullptr);
  EXPECT_EQ(top->HelperCount(), 0);
  delete b;  // a plain delete runs the same steps
  EXPECT_EQ(InstallUnitState().containers.size(), 1);
}

TEST(Destruction, APlainDeleteLeavesNoHelperBehind) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* a = Make<TFileLike>(&module, "A", top);
  Make<TFileLike>(&module, "B", top);
  auto* install = Make<TInstall>(&module, "Install1");
  auto* c = Make<TFileLike>(&module, "C", install);
  delete a;
  EXPECT_EQ(HelperLines(*top), QStringList{"B:0"});
  delete install;
  EXPECT_EQ(c->Container(), nullptr);
  EXPECT_EQ(CurrentInstall(), nullptr);
  top->Process();  // walks only live helpers
}

// Frees its victims when any container goes: the unit's list shrinks under
// the destruction walk.
class TGreedy : public TRanked<rtLink> {
 public:
  using TRanked<rtLink>::TRanked;
  void ContainerDestroyed(TInstallContainer* container) override {
    TRanked<rtLink>::ContainerDestroyed(container);
    while (!victims.empty()) {
      TInstallContainer* v = victims.back();
      victims.pop_back();
      v->Free();
    }
  }
  std::vector<TInstallContainer*> victims;
};

TEST(Destruction, NeverWalksAListThatShrinksUnderIt) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* early = Make<TFileLike>(&module, "Early", top);
  auto* greedy = Make<TGreedy>(&module, "Greedy", top);
  auto* v1 = Make<TFileLike>(&module, "V1", top);
  auto* v2 = Make<TFileLike>(&module, "V2", top);
  Make<TFileLike>(&module, "Late", top);
  greedy->victims = {early, v1, v2};
  top->Free();  // the walk meets Greedy, which frees three others
  EXPECT_EQ(InstallUnitState().containers.size(), 2);  // Greedy and Late
  module.DestroyComponents();
  EXPECT_TRUE(InstallUnitState().containers.isEmpty());
}

TEST(Destruction, FreeHelpersOfClassCopesWithHelpersThatTakeOthers) {
  TDataModule module(nullptr);
  auto* top = Make<TGroupLike>(&module, "Top");
  auto* keep = Make<TGroupLike>(&module, "Keep", top);
  auto* f1 = Make<TFileLike>(&module, "F1", top);
  auto* greedy = Make<TGreedy>(&module, "Greedy", top);
  Make<TFileLike>(&module, "F3", top);
  greedy->victims = {f1};
  top->FreeHelpersOfClass<TFileLike>();
  // F3 goes; Greedy (no TFileLike) hears of it and frees F1.
  EXPECT_EQ(HelperLines(*top), (QStringList{"Keep:0", "Greedy:0"}));
  EXPECT_EQ(keep->Container(), top);
}

TEST(Destruction, ASpecifierGoingClearsDestDirType) {
  TDataModule module(nullptr);
  TDataModule other(nullptr);
  auto* object = Make<TFileLike>(&module, "Obj");
  auto* specifier = new TPathSpecifier(&other);
  object->SetDestDirType(specifier);
  EXPECT_EQ(object->DestDirType(), specifier);
  specifier->Free();
  EXPECT_EQ(object->DestDirType(), nullptr);
}

}  // namespace
