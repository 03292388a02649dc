#pragma once
// Child processes (registry_test_child, tests/child/RegistryChild.cpp) for
// the tests that run several processes on one hive.

#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace regtest {

inline constexpr int kChildWaitMs = 120000;

inline std::unique_ptr<QProcess> StartChild(const QStringList& args) {
  auto child = std::make_unique<QProcess>();
  child->setProgram(QStringLiteral(QX_REGISTRY_CHILD));
  child->setArguments(args);
  child->setProcessChannelMode(QProcess::SeparateChannels);
  child->start();
  EXPECT_TRUE(child->waitForStarted(kChildWaitMs));
  return child;
}

inline void ExpectFinishedCleanly(QProcess& child) {
  ASSERT_TRUE(child.waitForFinished(kChildWaitMs));
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
}

// Runs a child to its end; it must end cleanly.
inline void RunChild(const QStringList& args) { ExpectFinishedCleanly(*StartChild(args)); }

// Starts children that wait for a go file, then lets them all go at once.
class Race {
 public:
  explicit Race(const QString& go) : go_(go) {}
  void Add(QStringList args) {
    args.insert(1, go_);
    children_.push_back(StartChild(args));
  }
  void Go() { qxtest::WriteBytes(go_, QByteArray()); }
  void ExpectAllFinishedCleanly() {
    for (auto& child : children_)
      ExpectFinishedCleanly(*child);
  }

 private:
  QString go_;
  std::vector<std::unique_ptr<QProcess>> children_;
};

}  // namespace regtest
