#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>

namespace {

QString Temp(const QString& name) { return qxtest::TempPath(name); }

// ---- copying

TEST(CopyFileTest, CopiesContentAndModificationTime) {
  const QString src = Temp(QStringLiteral("src.bin"));
  const QString dst = Temp(QStringLiteral("dst.bin"));
  qxtest::WriteBytes(src, QByteArray(100000, 'q'));
  const TDateTime stamp = EncodeDate(2001, 2, 3) + EncodeTime(4, 5, 6, 0);
  ASSERT_EQ(FileSetDate(src, stamp), 0);
  ASSERT_TRUE(CopyFile(src, dst, true));
  EXPECT_EQ(qxtest::ReadBytes(dst), QByteArray(100000, 'q'));
  EXPECT_DOUBLE_EQ(FileAge(dst), stamp);
}

TEST(CopyFileTest, RefusesToCopyAFileOntoItself) {
  const QString src = Temp(QStringLiteral("self.bin"));
  const QString link = Temp(QStringLiteral("alias.bin"));
  qxtest::WriteBytes(src, "only copy");
  ASSERT_TRUE(QFile::link(src, link));
  const QString sameByOtherName = qxtest::TempRoot() + QStringLiteral("/./self.bin");
  for (const QString& dst : {src, link, sameByOtherName}) {
    errno = 0;
    EXPECT_FALSE(CopyFile(src, dst, false)) << dst.toStdString();
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(qxtest::ReadBytes(src), QByteArray("only copy"));
  }
}

TEST(CopyFileTest, ExistingTargetRespectsFailIfExists) {
  const QString src = Temp(QStringLiteral("new.txt"));
  const QString dst = Temp(QStringLiteral("old.txt"));
  qxtest::WriteBytes(src, "new");
  qxtest::WriteBytes(dst, "old");
  EXPECT_FALSE(CopyFile(src, dst, true));
  EXPECT_EQ(qxtest::ReadBytes(dst), QByteArray("old"));
  EXPECT_TRUE(CopyFile(src, dst, false));
  EXPECT_EQ(qxtest::ReadBytes(dst), QByteArray("new"));
  EXPECT_EQ(QDir(qxtest::TempRoot()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(CopyFileTest, FailuresLeaveNothingBehind) {
  const QString dir = Temp(QStringLiteral("w/d"));
  ASSERT_TRUE(ForceDirectories(dir));
  EXPECT_FALSE(CopyFile(Temp(QStringLiteral("w/missing")), Temp(QStringLiteral("w/x")), false));
  EXPECT_FALSE(CopyFile(dir, Temp(QStringLiteral("w/x")), false));  // a folder
  qxtest::WriteBytes(Temp(QStringLiteral("w/f")), "f");
  EXPECT_FALSE(CopyFile(Temp(QStringLiteral("w/f")), Temp(QStringLiteral("w/no/x")), false));
  EXPECT_EQ(QDir(Temp(QStringLiteral("w"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({"d", "f"}));
}

// ---- searches

class FindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.txt", "B.TXT", "c.dat", "readme", ".hidden", "ab.txt.bak"})
      qxtest::WriteBytes(Temp(QStringLiteral("f/") + QLatin1String(name)), "12345");
    ASSERT_TRUE(CreateDir(Temp(QStringLiteral("f/sub.txt"))));
  }
  QStringList Find(const QString& mask, int attr) {
    QStringList names;
    TSearchRec rec;
    int rc = FindFirst(Temp(QStringLiteral("f/")) + mask, attr, rec);
    while (rc == 0) {
      names << rec.Name;
      rc = FindNext(rec);
    }
    FindClose(rec);
    return names;
  }
};

TEST_F(FindTest, MasksAndAttributes) {
  struct Row {
    const char* mask;
    int attr;
    QStringList names;
  };
  const Row rows[] = {
      {"*", 0, {"a.txt", "ab.txt.bak", "B.TXT", "c.dat", "readme"}},
      {"*.*", 0, {"a.txt", "ab.txt.bak", "B.TXT", "c.dat", "readme"}},
      {"*.txt", 0, {"a.txt", "B.TXT"}},
      {"*.TXT", faDirectory, {"a.txt", "B.TXT", "sub.txt"}},
      {"?.txt", 0, {"a.txt", "B.TXT"}},
      {"??.*", 0, {"ab.txt.bak"}},
      {"a*", 0, {"a.txt", "ab.txt.bak"}},
      {"*.t?t*", 0, {"a.txt", "ab.txt.bak", "B.TXT"}},
      {"*", faHidden, {".hidden", "a.txt", "ab.txt.bak", "B.TXT", "c.dat", "readme"}},
      {"readme", faAnyFile, {"readme"}},
      {"*e", 0, {"readme"}},
  };
  for (const Row& r : rows)
    EXPECT_EQ(Find(QString::fromLatin1(r.mask), r.attr), r.names) << r.mask;
}

TEST_F(FindTest, RecordAndResultCodes) {
  TSearchRec rec;
  ASSERT_EQ(FindFirst(Temp(QStringLiteral("f/sub*")), faDirectory, rec), 0);
  EXPECT_EQ(rec.Name, QStringLiteral("sub.txt"));
  EXPECT_EQ(rec.Attr & faDirectory, faDirectory);
  EXPECT_EQ(FindNext(rec), 18);
  FindClose(rec);
  ASSERT_EQ(FindFirst(Temp(QStringLiteral("f/c.dat")), faAnyFile, rec), 0);
  EXPECT_EQ(rec.Size, 5);
  EXPECT_EQ(rec.Attr, 0);
  EXPECT_DOUBLE_EQ(rec.Time, FileAge(Temp(QStringLiteral("f/c.dat"))));
  EXPECT_EQ(FindFirst(Temp(QStringLiteral("f/*.none")), faAnyFile, rec), 2);
  EXPECT_EQ(FindFirst(Temp(QStringLiteral("nofolder/*")), faAnyFile, rec), 3);
}

TEST(MatchesMaskTest, WildcardsWithoutCase) {
  struct Row {
    const char* name;
    const char* mask;
    bool match;
  };
  const Row rows[] = {
      {"abc", "abc", true},   {"ABC", "abc", true},  {"abc", "a?c", true},  {"ac", "a?c", false},
      {"abc", "*", true},     {"", "*", true},       {"abc", "a*", true},   {"abc", "*c", true},
      {"abc", "*b", false},   {"abcbc", "*bc", true}, {"abc", "a**c", true}, {"x.y.z", "*.z", true},
      {"noext", "*.*", true}, {"abc", "", false},    {"", "", true},
  };
  for (const Row& r : rows)
    EXPECT_EQ(MatchesMask(QString::fromLatin1(r.name), QString::fromLatin1(r.mask)), r.match)
        << r.name << " / " << r.mask;
  EXPECT_TRUE(MatchesMask(QStringLiteral("ÄITI.LST"), QStringLiteral("äiti.*")));
}

// ---- temporary files

TEST(CreateTempFileTest, NewEmptyFilesWithDistinctNames) {
  const QString dir = qxtest::TempRoot();
  QSet<QString> names;
  for (int i = 0; i < 300; ++i) {
    const QString name = CreateTempFile(dir, QStringLiteral("vrb"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("/vrb[0-9A-F]{4}\\.tmp$")).match(name).hasMatch())
        << name.toStdString();
    EXPECT_FALSE(names.contains(name)) << "handed out twice: " << name.toStdString();
    names.insert(name);
    EXPECT_EQ(qxtest::ReadBytes(name), QByteArray());
    EXPECT_TRUE(FileExists(name));
  }
}

TEST(CreateTempFileTest, NeverReturnsAnExistingFile) {
  // Occupy most names; every new name must still be a file that was not there.
  const QString dir = Temp(QStringLiteral("busy"));
  ASSERT_TRUE(CreateDir(dir));
  for (int i = 0; i < 0x10000; i += 2) {
    const QString hex = QStringLiteral("%1").arg(i, 4, 16, QLatin1Char('0')).toUpper();
    qxtest::WriteBytes(dir + QStringLiteral("/t") + hex + QStringLiteral(".tmp"), QByteArray());
  }
  for (int i = 0; i < 20; ++i) {
    const QString name = CreateTempFile(dir, QStringLiteral("t"));
    const int unique = name.mid(name.size() - 8, 4).toInt(nullptr, 16);
    EXPECT_EQ(unique % 2, 1) << name.toStdString();
  }
}

TEST(CreateTempFileTest, MissingFolderRaises) {
  EXPECT_THROW(CreateTempFile(Temp(QStringLiteral("none")), QStringLiteral("x")), EFCreateError);
}

TEST(CreateTempFileTest, EmptyFolderMeansTheTempDir) {
  const QString name = CreateTempFile(QString(), QStringLiteral("q"));
  EXPECT_TRUE(name.startsWith(GetTempDir()));
  EXPECT_TRUE(DeleteFile(name));
}

// ---- folders, names and dates

TEST(FolderRoutines, CreateForceRemove) {
  const QString deep = Temp(QStringLiteral("a/b/c/"));
  EXPECT_FALSE(CreateDir(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_FALSE(ForceDirectories(QString()));
  qxtest::WriteBytes(Temp(QStringLiteral("file")), "x");
  EXPECT_FALSE(ForceDirectories(Temp(QStringLiteral("file/sub"))));
  EXPECT_FALSE(RemoveDir(Temp(QStringLiteral("a"))));  // not empty
  EXPECT_TRUE(RemoveDir(Temp(QStringLiteral("a/b/c"))));
  EXPECT_FALSE(DirectoryExists(deep));
}

TEST(FolderRoutines, DeleteAndRename) {
  const QString a = Temp(QStringLiteral("a.txt"));
  const QString b = Temp(QStringLiteral("b.txt"));
  qxtest::WriteBytes(a, "A");
  qxtest::WriteBytes(b, "B");
  EXPECT_FALSE(RenameFile(a, b));  // never replaces
  EXPECT_EQ(qxtest::ReadBytes(b), QByteArray("B"));
  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(DeleteFile(b));
  EXPECT_TRUE(RenameFile(a, b));
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(qxtest::ReadBytes(b), QByteArray("A"));
  EXPECT_FALSE(DeleteFile(qxtest::TempRoot()));  // a folder
}

TEST(FolderRoutines, AgeAndAttributes) {
  const QString f = Temp(QStringLiteral(".dotfile"));
  EXPECT_EQ(FileAge(f), -1);
  EXPECT_EQ(FileGetAttr(f), -1);
  qxtest::WriteBytes(f, "x");
  const TDateTime when = EncodeDate(2020, 6, 15) + EncodeTime(12, 30, 45, 0);
  EXPECT_EQ(FileSetDate(f, when + EncodeTime(0, 0, 0, 300)), 0);
  EXPECT_DOUBLE_EQ(FileAge(f), when);  // whole seconds
  EXPECT_EQ(FileGetAttr(f), faHidden);
  EXPECT_EQ(FileGetAttr(qxtest::TempRoot()), faDirectory);
  EXPECT_EQ(FileGetAttr(QStringLiteral("/dev/null")) & faSysFile, faSysFile);
  EXPECT_NE(FileSetDate(Temp(QStringLiteral("none")), when), 0);
}

TEST(FolderRoutines, CurrentAndTempDirs) {
  const QString old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(qxtest::TempRoot()));
  EXPECT_EQ(QDir(GetCurrentDir()).canonicalPath(), QDir(qxtest::TempRoot()).canonicalPath());
  EXPECT_EQ(ExpandFileName(QStringLiteral("x/../y.txt")), GetCurrentDir() + QStringLiteral("/y.txt"));
  EXPECT_FALSE(SetCurrentDir(Temp(QStringLiteral("none"))));
  ASSERT_TRUE(SetCurrentDir(old));
  EXPECT_TRUE(GetTempDir().endsWith(QLatin1Char('/')));
  EXPECT_TRUE(DirectoryExists(GetTempDir()));
}

TEST(FolderRoutines, ExpandFileName) {
  struct Row {
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"/a/b/../c", "/a/c"}, {"/a/./b", "/a/b"}, {"/a//b", "/a/b"}, {"/a/b/", "/a/b/"},
      {"/", "/"},            {"/..", "/"},       {"/../a/..", "/"},  {"", ""},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ExpandFileName(QString::fromLatin1(r.in)), QString::fromLatin1(r.out)) << r.in;
}

TEST(FolderRoutines, DiskFree) {
  EXPECT_GT(DiskFree(qxtest::TempRoot()), 0);
  EXPECT_EQ(DiskFree(Temp(QStringLiteral("none"))), -1);
}

}  // namespace
