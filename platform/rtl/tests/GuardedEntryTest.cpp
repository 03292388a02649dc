// The guard of entries from Qt: slots take the leading signal arguments
// they want, and what they raise reaches the sink instead of Qt.
#include "platform/rtl/GuardedEntry.h"

#include "platform/rtl/Exceptions.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QStringList& Seen() {
  static QStringList seen;
  return seen;
}

TObject* const kSender = reinterpret_cast<TObject*>(0x1234);

void Record(TObject* sender) {
  try {
    throw;
  } catch (const std::exception& e) {
    Seen().append(QString::fromUtf8(e.what()) + (sender == kSender ? "@sender" : ""));
  }
}

class GuardedEntryTest : public testing::Test {
 protected:
  void SetUp() override {
    Seen().clear();
    previous_ = SetExceptionSink(&Record);
  }
  void TearDown() override { SetExceptionSink(previous_); }

 private:
  TExceptionSink previous_ = nullptr;
};

TEST_F(GuardedEntryTest, SlotsTakeTheArgumentsTheyWantAndRaiseIntoTheSink) {
  QObject source;
  QStringList names;
  int bare = 0;
  GuardedConnect(kSender, &source, &QObject::objectNameChanged, &source,
                 [&](const QString& name) { names.append(name); });
  GuardedConnect(kSender, &source, &QObject::objectNameChanged, &source, [&] {
    ++bare;
    throw std::runtime_error("slot failed");
  });
  source.setObjectName(QStringLiteral("a"));
  source.setObjectName(QStringLiteral("b"));
  EXPECT_EQ(names, QStringList({"a", "b"}));
  EXPECT_EQ(bare, 2);
  EXPECT_EQ(Seen(), QStringList({"slot failed@sender", "slot failed@sender"}));
}

TEST_F(GuardedEntryTest, TheConnectionEndsWithItsContext) {
  QObject source;
  int calls = 0;
  {
    QObject context;
    GuardedConnect(nullptr, &source, &QObject::objectNameChanged, &context, [&] { ++calls; });
    source.setObjectName(QStringLiteral("a"));
  }
  source.setObjectName(QStringLiteral("b"));
  EXPECT_EQ(calls, 1);
}

TEST_F(GuardedEntryTest, PostedCallsRunLaterInsideTheGuard) {
  QObject context;
  bool ran = false;
  GuardedPost(kSender, &context, [&] {
    ran = true;
    throw EConvertError(QStringLiteral("posted"));
  });
  EXPECT_FALSE(ran);
  QCoreApplication::processEvents();
  EXPECT_TRUE(ran);
  EXPECT_EQ(Seen(), QStringList({"posted@sender"}));
}

TEST_F(GuardedEntryTest, ASinkThatRaisesDoesNotLetTheErrorOut) {
  SetExceptionSink([](TObject*) { throw std::runtime_error("sink failed"); });
  EXPECT_NO_THROW(GuardedCall(nullptr, [] { throw std::runtime_error("first"); }));
}

}  // namespace
