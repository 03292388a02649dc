#pragma once
// Entries of processes that are gone or not listening, for the directory
// tests.

#include "platform/system/WindowEntry.h"
#include "platform/system/WindowScan.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

namespace systest {

// The id of a process that has just ended.
inline std::uint32_t DeadPid() {
  QProcess p;
  p.start(QStringLiteral(QX_MARKER_PROGRAM), {});
  EXPECT_TRUE(p.waitForStarted());
  const auto pid = std::uint32_t(p.processId());
  EXPECT_TRUE(p.waitForFinished());
  EXPECT_FALSE(ProcessExists(pid));
  return pid;
}

inline void WriteFakeEntry(const QString& folder, std::uint32_t pid, const QString& title) {
  WriteWindowEntry(folder + QLatin1Char('/') + WindowEntryFileName(pid),
                   {pid, WindowSocketName(pid), {{1, title, true}}});
  qxtest::WriteBytes(folder + QLatin1Char('/') + WindowSocketName(pid), "stale");
}

}  // namespace systest
