// The build-tree guard and scan of the road tests (tests/support/TreeGuard.h):
// what the guard starts sees nothing of the trees, and the scan finds a
// file naming a tree in any form a run may write it, programs included.
#include "tests/support/TestSupport.h"
#include "tests/support/TreeGuard.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QByteArray Utf16(const QString& text) {
  return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

TEST(TreeGuard, WhatItStartsFindsNothingOfTheTrees) {
  const qxtest::TTreeGuard guard;
  ASSERT_TRUE(guard.Check(QProcessEnvironment::systemEnvironment(), qxtest::TempRoot()));
  for (const QString& tree : qxtest::BuildTrees()) {
    QProcess look;
    look.setWorkingDirectory(qxtest::TempRoot());
    guard.Start(look, QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("ls -A \"$1\" 2>/dev/null"), QStringLiteral("sh"), tree});
    ASSERT_TRUE(look.waitForFinished(qxtest::WaitMs(10000)));
    EXPECT_EQ(look.readAllStandardOutput().toStdString(), "") << tree.toStdString();
  }
  // Outside the guard the trees are there: the look can see.
  QProcess plain;
  plain.start(QStringLiteral("ls"), {qxtest::BuildTrees().value(1)});
  ASSERT_TRUE(plain.waitForFinished(qxtest::WaitMs(10000)));
  EXPECT_FALSE(plain.readAllStandardOutput().isEmpty());
}

TEST(TreeScan, FindsEveryFileNamingATreeProgramsToo) {
  const QString root = qxtest::TempPath(QStringLiteral("scan"));
  const QByteArray build = QFile::encodeName(qxtest::BuildTrees().value(0));
  const QByteArray source = QFile::encodeName(qxtest::BuildTrees().value(1));
  const QStringList sources = qxtest::BuildSources();
  ASSERT_FALSE(sources.isEmpty());
  const QByteArray aSource = QFile::encodeName(sources.first());
  struct {
    const char* file;
    QByteArray bytes;
    bool named;
  } rows[] = {
      {"entry.desktop", "Exec=" + build + "/game/trovaly\n", true},
      {"value.sqlite", "\x01\x02" + Utf16(QString::fromUtf8(source) + QStringLiteral("/x")) + "\x03", true},
      {"tree.txt", "cd " + source, true},
      {"other.txt", "cd " + source + "-vanha/x", false},
      {"program", QByteArray("\x7f" "ELF\x02\x01", 6) + '\0' + build + "/setup/dist" + '\0', true},
      // What a sanitizer's report names: the build's own source files.
      {"sanitized", QByteArray("\x7f" "ELF\x02\x01", 6) + '\0' + aSource + '\0', !qxtest::SanitizedBuild()},
      {"source-in-text", "see " + aSource + "\n", true},
      {"header", QByteArray("\x7f" "ELF\x02\x01", 6) + '\0' + source + "/platform/rtl/Format.h" + '\0',
       !qxtest::SanitizedBuild()},
      {"no-header", QByteArray("\x7f" "ELF\x02\x01", 6) + '\0' + source + "/platform/rtl/Puuttuu.h" + '\0', true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    QDir(root).removeRecursively();
    qxtest::WriteBytes(root + u'/' + QLatin1String(row.file), row.bytes);
    EXPECT_EQ(qxtest::TreeMentions(root).size(), row.named ? 1 : 0) << qxtest::TreeMentions(root).join(u' ').toStdString();
  }
  // A folder the caller names is refused in programs too.
  QDir(root).removeRecursively();
  qxtest::WriteBytes(root + QStringLiteral("/program"), QByteArray("\x7f" "ELF", 4) + "/tmp/kopio/x" + '\0');
  EXPECT_EQ(qxtest::TreeMentions(root, {QStringLiteral("/tmp/kopio")}).size(), 1);
}

}  // namespace
