#pragma once
// The build tree out of reach of what a road test runs: programs started
// with the source and build trees hidden under empty mounts, and a scan of
// everything the run wrote for a file that names either tree.
//
//   qxtest::TTreeGuard guard;
//   ASSERT_TRUE(guard.Check(env, folder));      // fails when it cannot hide
//   guard.Start(process, program, arguments);   // env and folder as set
//   EXPECT_EQ(qxtest::TreeMentions(root).join(u'\n').toStdString(), "");
//
// As root the trees are hidden in a mount namespace of the program's own;
// otherwise in a user namespace (mapped to root to mount, then back to the
// user to run). Where neither can be made the check fails, saying why: the
// guard never turns itself off.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace qxtest {

// The source and build trees of this build.
QStringList BuildTrees();
// Whether this build has the sanitizers (its programs name their sources).
bool SanitizedBuild();
// The source files of the build, as compile_commands.json lists them.
QStringList BuildSources();

class TTreeGuard {
 public:
  // Runs a look at the trees through the guard, with env in folder: a
  // failure when they are in reach or cannot be hidden, with why.
  testing::AssertionResult Check(const QProcessEnvironment& env, const QString& folder) const;
  // Starts program in process (its environment and folder as set) with the
  // trees hidden from it and from everything it starts.
  void Start(QProcess& process, const QString& program, const QStringList& arguments) const;
  // The command line that runs program so.
  QStringList Command(const QString& program, const QStringList& arguments) const;
};

// The files below root that name the source or build tree (in UTF-8 or
// UTF-16), each with the text that names it. ELF programs are scanned too:
// in a sanitized build, a string that is exactly what the sanitizers record
// for their reports (a source file compile_commands.json lists, or a header
// of the source tree) is set aside; in any other build nothing may name a
// tree. Nothing may name the others at all.
QStringList TreeMentions(const QString& root, const QStringList& others = {});

}  // namespace qxtest
