// An extraction killed at any moment (SIGKILL in a child process) leaves
// every existing file whole, old or new, and the next extraction into the
// folder leaves no temporary file behind.
#include "OndxCompressTestSupport.h"

#include "installer/engine/cmp_TOndxCompress_Files.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <random>

namespace {

using octest::Content;
using octest::OcTest;

constexpr int kRounds = 24;
constexpr int kMaxKillDelayUs = 40000;
constexpr int kReadyWaitMs = 20000;

bool IsTemporary(const QString& name) {
  return name.startsWith(QLatin1String(".~oc"));
}

// A child that extracts names from archive into dir over and over until it
// is killed; it signals on ready once, just before its first extraction.
pid_t StartExtractor(const QString& archive, const QString& dir, const QStringList& names, int ready) {
  const pid_t pid = ::fork();
  if (pid != 0)
    return pid;
  ::alarm(30);  // a parent that never kills still ends the child
  TOndxCompress c(nullptr);
  const char go = 'g';
  if (::write(ready, &go, 1) != 1)
    ::_exit(3);
  for (;;) {
    c.SetCompressedFile(archive);
    c.SetExtractDirectory(dir);
    for (const QString& n : names)
      c.FilesToProcess()->Add(n);
    try {
      c.Extract();
    } catch (...) {
      ::_exit(2);
    }
  }
}

bool WaitReadable(int fd) {
  struct pollfd p {fd, POLLIN, 0};
  return ::poll(&p, 1, kReadyWaitMs) == 1;
}

class OcCrashTest : public OcTest {
 protected:
  void SetUp() override {
    OcTest::SetUp();
    for (int i = 0; i < 3; ++i) {
      const QString name = QStringLiteral("f%1.bin").arg(i);
      fresh_ << Content(400000 + 1000 * i, 10 + i);
      paths_ << Source(name, fresh_.back());
    }
    AddFiles(paths_);
    old_ = {QByteArray("old contents of f0"), QByteArray("old contents of f1")};
  }

  // f0 and f1 exist with their old contents, f2 does not.
  void ResetTargets() {
    for (int i = 0; i < 2; ++i)
      qxtest::WriteBytes(Target(i), old_[i]);
    QFile::remove(Target(2));
  }
  QString Target(int i) const { return out_ + QStringLiteral("/f%1.bin").arg(i); }

  QStringList paths_;
  QList<QByteArray> fresh_;
  QList<QByteArray> old_;
};

TEST_F(OcCrashTest, AKilledExtractionDamagesNothingAndItsTemporariesAreCleared) {
  std::mt19937 rng(20261209);
  int roundsWithLeftovers = 0;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    ResetTargets();
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const pid_t pid = StartExtractor(archive_, out_, paths_, pipe[1]);
    ASSERT_GT(pid, 0);
    ::close(pipe[1]);
    const bool ready = WaitReadable(pipe[0]);
    ::close(pipe[0]);
    const int delayUs = std::uniform_int_distribution<int>(0, kMaxKillDelayUs)(rng);
    if (round % 4 == 0) {
      // Every fourth kill lands once a member is being written, whatever
      // the machine's load does to the random delays of the others.
      qxtest::WaitUntil([&] { return !octest::FolderFiles(out_).filter(QStringLiteral(".~oc")).isEmpty(); }, 10000, 200);
    } else {
      ::usleep(static_cast<useconds_t>(delayUs));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(ready) << "the extracting child never started";
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << status;

    for (int i = 0; i < 2; ++i) {
      const QByteArray now = qxtest::ReadBytes(Target(i));
      EXPECT_TRUE(now == old_[i] || now == fresh_[i]) << "f" << i << " damaged, " << now.size() << " bytes";
    }
    if (QFile::exists(Target(2))) {
      EXPECT_EQ(qxtest::ReadBytes(Target(2)), fresh_[2]);
    }
    const QStringList left = octest::FolderFiles(out_).filter(QStringLiteral(".~oc"));
    if (!left.isEmpty())
      ++roundsWithLeftovers;

    ExtractTo(out_, paths_);
    for (const QString& name : octest::FolderFiles(out_))
      EXPECT_FALSE(IsTemporary(name)) << name.toStdString() << " left behind";
    for (int i = 0; i < 3; ++i)
      EXPECT_EQ(qxtest::ReadBytes(Target(i)), fresh_[i]);
  }
  // Kills landed while a member was being written: the cleanup was tried.
  EXPECT_GT(roundsWithLeftovers, 0);
}

TEST_F(OcCrashTest, TemporariesOfLiveWritersAndOtherFilesStay) {
  // A writer that is alive (the parent of this process), a file of another
  // form, and a dead writer's temporary.
  const QString live = out_ + QStringLiteral("/.~oc%1-AAAA.tmp").arg(::getppid());
  const QString other = out_ + QStringLiteral("/.~ocnotapid.tmp");
  const pid_t dead = ::fork();
  if (dead == 0)
    ::_exit(0);
  ASSERT_GT(dead, 0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  const QString stale = out_ + QStringLiteral("/.~oc%1-BBBB.tmp").arg(dead);
  for (const QString& f : {live, other, stale})
    qxtest::WriteBytes(f, "x");
  OcRemoveStaleTemporaries(out_);
  EXPECT_TRUE(QFile::exists(live));
  EXPECT_TRUE(QFile::exists(other));
  EXPECT_FALSE(QFile::exists(stale));
}

}  // namespace

namespace {

TEST(OcSyncBatch, SyncsWhatIsThereSkipsWhatIsGoneAndNamesWhatFails) {
  const QString dir = qxtest::TempPath(QStringLiteral("batch"));
  QDir().mkpath(dir);
  TOcSyncBatch batch;
  batch.AddNewFolders(dir + QStringLiteral("/a/b"));
  EXPECT_FALSE(batch.AddFolder(dir + QStringLiteral("/a/b")));
  EXPECT_FALSE(batch.AddFolder(dir + QStringLiteral("/a")));
  EXPECT_FALSE(batch.AddFolder(dir));  // the existing parent that gets the entry
  QDir().mkpath(dir + QStringLiteral("/a/b"));
  qxtest::WriteBytes(dir + QStringLiteral("/a/b/kept"), "x");
  batch.AddFile(dir + QStringLiteral("/a/b/kept"));
  batch.AddFile(dir + QStringLiteral("/gone"));
  QString failed;
  int error = 0;
  EXPECT_TRUE(batch.Sync(failed, error));
  EXPECT_TRUE(batch.IsEmpty());

  const QString fifo = dir + QStringLiteral("/fifo");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  batch.AddFile(fifo);
  EXPECT_FALSE(batch.Sync(failed, error));
  EXPECT_EQ(failed, fifo);
  EXPECT_TRUE(batch.IsEmpty());  // reported once, not again
}

}  // namespace
