// The loader's folders: a sweep removes those of runs that are over and
// nothing else (never what a link names), and the names the installation
// program can read back.

#include "installer/loader/LoaderFolder.h"
#include "installer/loader/SelfExtract.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Native(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// A folder made as the loader makes it, by a process that then ends (a
// run killed after its extraction): its lock goes with it.
QString FolderOfARunThatIsOver(const QString& root, const QString& outside) {
  int pipe[2];
  if (::pipe(pipe) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(pipe[0]);
    try {
      loader::TExtractFolder folder(Native(root));
      folder.AddLink(selfextract::kStartedLinkName, Native(outside + QStringLiteral("/setup.exe")));
      folder.AddLink(selfextract::kSourceLinkName, Native(outside));
      const std::string member = folder.Path() + "/velmio";
      folder.Adding(member);
      const int fd = ::open(member.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700);
      folder.Sync();
      folder.Release();
      const bool told = fd >= 0 && ::write(pipe[1], folder.Path().data(), folder.Path().size()) ==
                                       static_cast<ssize_t>(folder.Path().size());
      ::_exit(told ? 0 : 1);
    } catch (...) {
      ::_exit(2);
    }
  }
  ::close(pipe[1]);
  char buffer[4096] = {};
  const ssize_t got = ::read(pipe[0], buffer, sizeof buffer - 1);
  ::close(pipe[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QFile::decodeName(buffer) : QString();
}

TEST(LoaderFolder, ASweepRemovesOnlyTheFoldersOfRunsThatAreOver) {
  const QString root = qxtest::TempPath(QStringLiteral("cache/qx"));
  const QString outside = qxtest::TempPath(QStringLiteral("Lataukset"));
  qxtest::WriteBytes(outside + QStringLiteral("/setup.exe"), "the user's setup");
  qxtest::WriteBytes(outside + QStringLiteral("/files.1"), "its archive");

  const QString over = FolderOfARunThatIsOver(root, outside);
  ASSERT_FALSE(over.isEmpty());
  ASSERT_TRUE(QFileInfo(over + QStringLiteral("/velmio")).isFile());
  // This process's own folder, being filled: locked.
  loader::TExtractFolder live(Native(root));
  live.AddLink(selfextract::kStartedLinkName, Native(outside + QStringLiteral("/setup.exe")));
  const QString own = QFile::decodeName(live.Path().c_str());
  // Folders no loader marked as theirs.
  const QString plain = root + QStringLiteral("/setup-plain");
  qxtest::WriteBytes(plain + QStringLiteral("/velmio"), "x");
  const QString foreign = root + QStringLiteral("/setup-foreign");
  qxtest::WriteBytes(foreign + QStringLiteral("/.qx-loader"), QFile::encodeName(over) + "\n");
  const QString linked = root + QStringLiteral("/setup-link");
  ASSERT_TRUE(QFile::link(outside, linked));

  loader::SweepStaleFolders(Native(root));

  EXPECT_FALSE(QFileInfo::exists(over));
  for (const QString& kept : {own, plain, foreign, linked})
    EXPECT_TRUE(QFileInfo::exists(kept)) << kept.toStdString();
  EXPECT_TRUE(QFileInfo(own + QStringLiteral("/.qx-setup")).isSymLink());
  // What the links named is untouched.
  EXPECT_EQ(qxtest::ReadBytes(outside + QStringLiteral("/setup.exe")), "the user's setup");
  EXPECT_EQ(qxtest::ReadBytes(outside + QStringLiteral("/files.1")), "its archive");
}

TEST(LoaderFolder, OnlyWellFormedUtf8IsReadBack) {
  const struct {
    const char* bytes;
    bool utf8;
  } cases[] = {
      {"/home/u/Lataukset/setup.exe", true},
      {"/home/u/lataus \"x\\\n", true},
      {"/home/u/p\xc3\xa4iv\xc3\xa4", true},               // ä
      {"\xe2\x82\xac \xf0\x9f\x98\x80", true},               // euro sign, emoji
      {"/home/u/lataus\xff", false},                         // never a lead byte
      {"/home/u/p\xe4iv\xe4", false},                        // Latin-1
      {"\xc3", false},                                       // cut short
      {"\xc0\xaf", false},                                   // overlong "/"
      {"\xed\xa0\x80", false},                               // a surrogate
      {"\xf4\x90\x80\x80", false},                           // past U+10FFFF
      {"\x80", false},                                       // a lone continuation
  };
  for (const auto& c : cases) EXPECT_EQ(loader::IsUtf8(c.bytes), c.utf8) << c.bytes;
}

}  // namespace
