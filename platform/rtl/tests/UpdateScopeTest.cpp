// The update scope: Close() lets EndUpdate's error out, a scope left by an
// exception keeps that exception, a scope left without Close() hands
// EndUpdate's error to the sink; and every batch of TStrings stays balanced
// when its change handler raises.
#include "platform/rtl/UpdateScope.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

// A batch target whose EndUpdate fails on request.
struct TFakeTarget {
  int depth = 0;
  bool failEnd = false;
  void BeginUpdate() { ++depth; }
  void EndUpdate() {
    --depth;
    if (failEnd) throw std::runtime_error("end failed");
  }
};

QStringList& Sunk() {
  static QStringList sunk;
  return sunk;
}

void Sink(TObject*) {
  try {
    throw;
  } catch (const std::exception& e) {
    Sunk().append(QString::fromUtf8(e.what()));
  }
}

class UpdateScopeTest : public testing::Test {
 protected:
  void SetUp() override {
    Sunk().clear();
    previous_ = SetExceptionSink(&Sink);
  }
  void TearDown() override { SetExceptionSink(previous_); }
  TFakeTarget target;

 private:
  TExceptionSink previous_ = nullptr;
};

TEST_F(UpdateScopeTest, CloseEndsTheBatchAndItsErrorPropagates) {
  target.failEnd = true;
  auto run = [&] {
    TUpdateScope batch(target);
    EXPECT_EQ(target.depth, 1);
    batch.Close();
  };
  EXPECT_THROW(run(), std::runtime_error);
  EXPECT_EQ(target.depth, 0);
  EXPECT_TRUE(Sunk().isEmpty());
}

TEST_F(UpdateScopeTest, UnwindingKeepsTheFirstErrorAndDropsEndUpdates) {
  target.failEnd = true;
  auto run = [&] {
    TUpdateScope batch(target);
    throw EConvertError(QStringLiteral("first"));
  };
  try {
    run();
    FAIL() << "nothing raised";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "first");
  }
  EXPECT_EQ(target.depth, 0);
  EXPECT_TRUE(Sunk().isEmpty());
}

TEST_F(UpdateScopeTest, AScopeLeftWithoutCloseHandsTheErrorToTheSink) {
  target.failEnd = true;
  EXPECT_NO_THROW({ TUpdateScope batch(target); });
  EXPECT_EQ(target.depth, 0);
  EXPECT_EQ(Sunk(), QStringList{"end failed"});
}

TEST_F(UpdateScopeTest, AScopeInsideACatchHandlerStillLetsItsErrorOut) {
  // An exception being handled (not unwinding) must not count as unwinding.
  target.failEnd = true;
  try {
    throw std::logic_error("handled");
  } catch (const std::logic_error&) {
    auto run = [&] {
      TUpdateScope batch(target);
      batch.Close();
    };
    EXPECT_THROW(run(), std::runtime_error);
  }
  EXPECT_EQ(target.depth, 0);
}

TEST_F(UpdateScopeTest, CountersAndFlagsComeBack) {
  int depth = 3;
  bool flag = false;
  bool raised = true;
  {
    TUpdateScope counting(depth);
    TUpdateScope flagging(flag);
    TUpdateScope stillRaised(raised);
    EXPECT_EQ(depth, 4);
    EXPECT_TRUE(flag);
    counting.Close();
    EXPECT_EQ(depth, 3);
  }
  EXPECT_EQ(depth, 3);
  EXPECT_FALSE(flag);
  EXPECT_TRUE(raised);  // the old value comes back, not false
  auto run = [&] {
    TUpdateScope flagging(flag);
    throw std::runtime_error("x");
  };
  EXPECT_THROW(run(), std::runtime_error);
  EXPECT_FALSE(flag);
}

TEST_F(UpdateScopeTest, InUpdateReturnsTheResultAndPropagatesEndUpdate) {
  EXPECT_EQ(InUpdate(target, [&] { return target.depth; }), 1);
  target.failEnd = true;
  EXPECT_THROW(InUpdate(target, [] {}), std::runtime_error);
  EXPECT_EQ(target.depth, 0);
}

// Every batch of TStrings with a change handler that raises at its end: the
// caller gets the handler's error, the batch is closed and the list goes on.
struct StringsBatch {
  const char* name;
  std::function<void(TStringList&)> run;
  const char* after;  // the list's text after the batch
};

const StringsBatch kStringsBatches[] = {
    {"Put", [](TStringList& l) { l.Put(0, QStringLiteral("x")); }, "x,b,c"},
    {"AddStrings",
     [](TStringList& l) {
       TStringList more;
       more.Add(QStringLiteral("d"));
       l.AddStrings(more);
     },
     "a,b,c,d"},
    {"Move", [](TStringList& l) { l.Move(0, 2); }, "b,c,a"},
    {"Exchange", [](TStringList& l) { l.Exchange(0, 1); }, "b,a,c"},
    {"Assign",
     [](TStringList& l) {
       TStringList other;
       other.Add(QStringLiteral("z"));
       l.Assign(other);
     },
     "z"},
    {"SetText", [](TStringList& l) { l.SetText(QStringLiteral("p\nq")); }, "p,q"},
    {"SetCommaText", [](TStringList& l) { l.SetCommaText(QStringLiteral("r, s")); }, "r,s"},
};

class StringsBatchTest : public testing::TestWithParam<StringsBatch> {};

TEST_P(StringsBatchTest, ARaisingChangeHandlerReachesTheCallerAndTheBatchCloses) {
  TStringList list;
  list.SetCommaText(QStringLiteral("a,b,c"));
  int changes = 0;
  list.OnChange = [&](TStrings*) {
    ++changes;
    throw EStringListError(QStringLiteral("refused"));
  };
  EXPECT_THROW(GetParam().run(list), EStringListError);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(list.CommaText(), QString::fromUtf8(GetParam().after));
  list.OnChange = [&](TStrings*) { ++changes; };
  list.Add(QStringLiteral("later"));
  EXPECT_EQ(changes, 2);
}

INSTANTIATE_TEST_SUITE_P(EveryBatch, StringsBatchTest, testing::ValuesIn(kStringsBatches),
                         [](const testing::TestParamInfo<StringsBatch>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
