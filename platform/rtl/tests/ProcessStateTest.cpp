// The holder of process-wide objects: one object per type, made on first
// use, destroyed newest first by ShutdownProcessObjects and by the reset.
#include "platform/rtl/ProcessState.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QStringList& Destroyed() {
  static QStringList destroyed;
  return destroyed;
}

template <int N>
struct THeld {
  explicit THeld(QString n = QStringLiteral("held%1").arg(N)) : name(std::move(n)) {}
  ~THeld() { Destroyed().append(name); }
  QString name;
};

// Its destructor uses (and so makes) another held object.
struct TNeedy {
  ~TNeedy() { ProcessObject<THeld<9>>().name = QStringLiteral("made late"); }
};

class ProcessObjects : public testing::Test {
 protected:
  void SetUp() override {
    ShutdownProcessObjects();
    Destroyed().clear();
  }
};

TEST_F(ProcessObjects, OnePerTypeMadeOnFirstUse) {
  EXPECT_EQ(FindProcessObject<THeld<1>>(), nullptr);
  THeld<1>& first = ProcessObject<THeld<1>>();
  EXPECT_EQ(&ProcessObject<THeld<1>>(), &first);
  EXPECT_EQ(FindProcessObject<THeld<1>>(), &first);
  int made = 0;
  THeld<2>& second = ProcessObject<THeld<2>>([&] {
    ++made;
    return std::make_unique<THeld<2>>(QStringLiteral("made"));
  });
  ProcessObject<THeld<2>>([&] {
    ++made;
    return std::make_unique<THeld<2>>();
  });
  EXPECT_EQ(made, 1);
  EXPECT_EQ(second.name, "made");
}

TEST_F(ProcessObjects, ShutdownDestroysNewestFirstAndWhatDestructorsMake) {
  ProcessObject<THeld<1>>();
  ProcessObject<TNeedy>();
  ProcessObject<THeld<3>>();
  ShutdownProcessObjects();
  EXPECT_EQ(Destroyed(), QStringList({"held3", "made late", "held1"}));
  EXPECT_EQ(FindProcessObject<THeld<1>>(), nullptr);
  EXPECT_EQ(FindProcessObject<THeld<9>>(), nullptr);
}

TEST_F(ProcessObjects, ReplaceHandsTheOldOneBackAndFreeDestroysNow) {
  ProcessObject<THeld<1>>();
  std::unique_ptr<THeld<1>> old = ReplaceProcessObject(std::make_unique<THeld<1>>(QStringLiteral("new")));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->name, "held1");
  EXPECT_TRUE(Destroyed().isEmpty());
  EXPECT_EQ(ProcessObject<THeld<1>>().name, "new");
  FreeProcessObject<THeld<1>>();
  EXPECT_EQ(Destroyed(), QStringList{"new"});
  EXPECT_EQ(FindProcessObject<THeld<1>>(), nullptr);
}

int g_setting = 0;
const TResetHook kResetSetting([] { g_setting = 0; });

TEST_F(ProcessObjects, TheResetDestroysTheObjectsAndRunsTheHooks) {
  ProcessObject<THeld<1>>();
  g_setting = 5;
  ResetProcessState();
  EXPECT_EQ(Destroyed(), QStringList{"held1"});
  EXPECT_EQ(g_setting, 0);
  EXPECT_NE(&ProcessObject<THeld<1>>(), nullptr);  // made again on the next use
}

}  // namespace
