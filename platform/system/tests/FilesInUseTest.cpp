// Files in use, found through real processes that run, map or open them.
#include "platform/system/FilesInUse.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

namespace {

ino_t InodeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

std::optional<TFileUser> UserWithPid(const std::vector<TFileUser>& users, qint64 pid) {
  for (const TFileUser& user : users)
    if (user.pid == pid)
      return user;
  return std::nullopt;
}

struct TUseCase {
  const char* name;
  TFileUse use;
};

class FilesInUse : public testing::TestWithParam<TUseCase> {};

// A copy of the holder program, a data file; the holder runs the copy, or
// maps or opens the data file, which is then in use until the holder ends,
// and is left exactly as it was.
TEST_P(FilesInUse, AFileIsInUseWhileAProcessUsesIt) {
  const QString program = qxtest::TempPath(QStringLiteral("bin/holder"));
  qxtest::WriteBytes(program, qxtest::ReadBytes(QStringLiteral(QX_FILE_HOLDER)));
  QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString data = qxtest::TempPath(QStringLiteral("data/shared.bin"));
  qxtest::WriteBytes(data, QByteArray(8192, 'd'));

  const bool runs = GetParam().use == TFileUse::Runs;
  const QString used = runs ? program : data;
  const QByteArray before = qxtest::ReadBytes(used);
  const ino_t inode = InodeOf(used);
  EXPECT_FALSE(IsFileInUse(used));

  QStringList arguments{runs                               ? QStringLiteral("run")
                        : GetParam().use == TFileUse::Maps ? QStringLiteral("map")
                                                           : QStringLiteral("open")};
  if (!runs)
    arguments << data;
  {
    qxtest::TPeerProcess holder(program, arguments);
    ASSERT_EQ(holder.ReadLine(), QStringLiteral("ready"));
    EXPECT_TRUE(IsFileInUse(used));
    const auto user = UserWithPid(FileUsers(used), holder.Pid());
    ASSERT_TRUE(user);
    EXPECT_TRUE(user->uses & int(GetParam().use)) << user->uses;
    // Only the way it is used: a mapped file's descriptor was closed, an
    // opened one is not mapped.
    if (GetParam().use == TFileUse::Maps) {
      EXPECT_FALSE(user->uses & int(TFileUse::Opens));
    }
    if (GetParam().use == TFileUse::Opens) {
      EXPECT_FALSE(user->uses & int(TFileUse::Maps));
    }
    // The other file of the test is not used by the holder.
    EXPECT_EQ(UserWithPid(FileUsers(runs ? data : program), holder.Pid()).has_value(), !runs);
    holder.Stop();
  }
  EXPECT_FALSE(IsFileInUse(used));
  EXPECT_TRUE(FileUsers(used).empty());
  EXPECT_EQ(qxtest::ReadBytes(used), before);
  EXPECT_EQ(InodeOf(used), inode);
}

INSTANTIATE_TEST_SUITE_P(Ways, FilesInUse,
                         testing::Values(TUseCase{"Runs", TFileUse::Runs},
                                         TUseCase{"Maps", TFileUse::Maps},
                                         TUseCase{"Opens", TFileUse::Opens}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FilesInUseFree, FilesNobodyUsesAreFree) {
  const QString file = qxtest::TempPath(QStringLiteral("free.txt"));
  qxtest::WriteBytes(file, "text");
  // A link to a free file, a folder and a missing path: nothing uses them.
  const QString link = qxtest::TempPath(QStringLiteral("link.txt"));
  ASSERT_TRUE(QFile::link(file, link));
  for (const QString& path : {file, link, qxtest::TempRoot(), qxtest::TempPath("missing")}) {
    EXPECT_FALSE(IsFileInUse(path)) << path.toStdString();
    EXPECT_TRUE(FileUsers(path).empty()) << path.toStdString();
  }
  EXPECT_EQ(qxtest::ReadBytes(file), QByteArray("text"));
}

TEST(FilesInUseFree, AFileOpenInThisProcessIsInUseThroughAnyName) {
  const QString file = qxtest::TempPath(QStringLiteral("mine.txt"));
  qxtest::WriteBytes(file, "mine");
  const QString link = qxtest::TempPath(QStringLiteral("alias.txt"));
  ASSERT_TRUE(QFile::link(file, link));
  QFile open(file);
  ASSERT_TRUE(open.open(QIODevice::ReadOnly));
  EXPECT_TRUE(IsFileInUse(link));
  const auto self = UserWithPid(FileUsers(link), QCoreApplication::applicationPid());
  ASSERT_TRUE(self);
  EXPECT_EQ(self->uses & int(TFileUse::Opens), int(TFileUse::Opens));
}

}  // namespace
