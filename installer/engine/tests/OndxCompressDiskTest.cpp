// Disks are folders: splitting over parts when a volume fills, extracting
// across the folders OnNewDisk names, and full disks while adding, copying
// and extracting (a folder capacity hook, and a real small tmpfs).
#include "OndxCompressTestSupport.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Format.h"

#include <QDir>

#include <sys/mount.h>

namespace {

using octest::Content;
using octest::OcTest;

// Bytes that do not compress.
QByteArray Noise(int size, std::uint32_t seed) {
  QByteArray out(size, '\0');
  std::uint32_t x = seed;
  for (int i = 0; i < size; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x);
  }
  return out;
}

class OcDiskTest : public OcTest {
 protected:
  QString Disk(int n) {
    const QString dir = qxtest::TempPath(QStringLiteral("disk%1").arg(n));
    QDir().mkpath(dir);
    return dir;
  }

  // Three members of incompressible data, about 36 KB of archive.
  QStringList BuildArchive() {
    QStringList paths;
    for (int i = 0; i < 3; ++i)
      paths << Source(QStringLiteral("f%1.bin").arg(i), Noise(12000, 7 + i));
    AddFiles(paths);
    return paths;
  }

  // Disks 1..3 of 16000 bytes each; OnNewDisk answers disk n with its folder.
  void ThreeSmallDisks() {
    octest::LimitFolders(*c_, {{Disk(1), 16000}, {Disk(2), 16000}, {Disk(3), 16000}});
    c_->OnNewDisk = [this](TOndxCompress*, int disk, QString& path) {
      asked_.push_back(disk);
      path = Disk(disk);
    };
  }

  std::vector<int> asked_;
};

TEST_F(OcDiskTest, SplitFillsEachDiskAndExtractsAcrossTheFolders) {
  const QStringList paths = BuildArchive();
  c_->SetCompressedFile(archive_);
  ThreeSmallDisks();
  c_->SplitToDisks(Disk(1), QStringLiteral("files.1"));
  EXPECT_EQ(asked_, (std::vector<int>{2, 3}));
  EXPECT_EQ(QFileInfo(Disk(1) + QStringLiteral("/files.1")).size(), 16000);
  EXPECT_EQ(QFileInfo(Disk(2) + QStringLiteral("/files.2")).size(), 16000);
  EXPECT_TRUE(FileExists(Disk(3) + QStringLiteral("/files.3")));

  // The member that crosses from disk 1 to disk 2.
  const QByteArray part1 = qxtest::ReadBytes(Disk(1) + QStringLiteral("/files.1"));
  EXPECT_EQ(part1.mid(0, 5), QByteArray("\x03\x00\x00\x00\x01", 5));
  const TFileHeaderRec first = DecodeFileHeader(part1.mid(5, 164));
  EXPECT_EQ(first.StartDisk, 1);
  EXPECT_EQ(first.EndDisk, 1);
  EXPECT_EQ(first.DataStart, 5 + 3 * 164);
  EXPECT_EQ(first.NextHeader, 5 + 164);
  const TFileHeaderRec second = DecodeFileHeader(part1.mid(5 + 164, 164));
  EXPECT_EQ(second.StartDisk, 1);
  EXPECT_EQ(second.EndDisk, 2);

  TOndxCompress reader(nullptr);
  asked_.clear();
  reader.OnNewDisk = [this](TOndxCompress*, int disk, QString& path) {
    asked_.push_back(disk);
    path = Disk(disk);
  };
  reader.SetCompressedFile(Disk(1) + QStringLiteral("/files.1"));
  reader.SetExtractDirectory(out_);
  for (const QString& p : paths)
    reader.FilesToProcess()->Add(p);
  reader.Extract();
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/f%1.bin").arg(i)), Noise(12000, 7 + i));
  EXPECT_EQ(asked_, (std::vector<int>{2, 3}));
}

// A failed split removes the parts it wrote, and only those.
TEST_F(OcDiskTest, SplitWithoutANewDiskHandlerStops) {
  BuildArchive();
  qxtest::WriteBytes(Disk(1) + QStringLiteral("/files.7"), "not ours");
  c_->SetCompressedFile(archive_);
  octest::LimitFolders(*c_, {{Disk(1), 16000}});
  try {
    c_->SplitToDisks(Disk(1), QStringLiteral("files.1"));
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), QString::fromLatin1(kOcNoNewDiskHandler));
  }
  EXPECT_TRUE(c_->Abort());
  EXPECT_EQ(octest::FolderFiles(Disk(1)), QStringList{QStringLiteral("files.7")});
  EXPECT_EQ(qxtest::ReadBytes(Disk(1) + QStringLiteral("/files.7")), QByteArray("not ours"));
}

TEST_F(OcDiskTest, ANewDiskWithTooLittleRoomStops) {
  BuildArchive();
  c_->SetCompressedFile(archive_);
  octest::LimitFolders(*c_, {{Disk(1), 16000}, {Disk(2), 0}});
  c_->OnNewDisk = [this](TOndxCompress*, int, QString& path) { path = Disk(2); };
  try {
    c_->SplitToDisks(Disk(1), QStringLiteral("files.1"));
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), QString::fromLatin1(kOcTooLittleSpace));
  }
  EXPECT_TRUE(octest::FolderFiles(Disk(1)).isEmpty());
  EXPECT_TRUE(octest::FolderFiles(Disk(2)).isEmpty());
}

TEST_F(OcDiskTest, APartThatWouldBeTheArchiveItselfIsRefused) {
  // Splitting disk/files.2 into disk/files.1: the second part would
  // overwrite the archive being read.
  archive_ = Disk(1) + QStringLiteral("/files.2");
  BuildArchive();
  const QByteArray before = qxtest::ReadBytes(archive_);
  c_->SetCompressedFile(archive_);
  octest::LimitFolders(*c_, {{Disk(1), before.size() + 16000}});
  c_->OnNewDisk = [this](TOndxCompress*, int, QString& path) { path = Disk(1); };
  EXPECT_THROW(c_->SplitToDisks(Disk(1), QStringLiteral("files.1")), EOndxCompress);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
  EXPECT_EQ(octest::FolderFiles(Disk(1)), QStringList{QStringLiteral("files.2")});
}

TEST_F(OcDiskTest, AMissingPartWithoutHandlerNamesTheDisk) {
  const QStringList paths = BuildArchive();
  c_->SetCompressedFile(archive_);
  ThreeSmallDisks();
  c_->SplitToDisks(Disk(1), QStringLiteral("files.1"));
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(Disk(1) + QStringLiteral("/files.1"));
  reader.SetExtractDirectory(out_);
  reader.FilesToProcess()->Add(paths[1]);
  try {
    reader.Extract();
    FAIL();
  } catch (const EocWrongDisk& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Could not open the correct disk file 2"));
  }
  EXPECT_TRUE(octest::FolderFiles(out_).isEmpty());
}

TEST_F(OcDiskTest, APartNotFoundAfterFourAnswersNamesThePart) {
  const QStringList paths = BuildArchive();
  c_->SetCompressedFile(archive_);
  ThreeSmallDisks();
  c_->SplitToDisks(Disk(1), QStringLiteral("files.1"));
  TOndxCompress reader(nullptr);
  int answers = 0;
  const QString empty = Disk(9);
  reader.OnNewDisk = [&](TOndxCompress*, int, QString& path) {
    ++answers;
    path = empty;
  };
  reader.SetCompressedFile(Disk(1) + QStringLiteral("/files.1"));
  reader.SetExtractDirectory(out_);
  reader.FilesToProcess()->Add(paths[1]);
  try {
    reader.Extract();
    FAIL();
  } catch (const EocWrongDisk& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot open the compressed file ") + empty +
                               QStringLiteral("/files.2"));
  }
  EXPECT_EQ(answers, 4);
  // The part looked for is the compressor's archive now, as the rule has it.
  EXPECT_EQ(reader.CompressedFile(), empty + QStringLiteral("/files.2"));
}

TEST_F(OcDiskTest, SplittingOntoTheArchiveItselfIsRefused) {
  BuildArchive();
  const QByteArray before = qxtest::ReadBytes(archive_);
  c_->SetCompressedFile(archive_);
  EXPECT_THROW(c_->SplitToDisks(ExtractFileDir(archive_), QStringLiteral("files.1")), EOndxCompress);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
}

TEST_F(OcDiskTest, AFullDiskWhileAddingKeepsTheOldArchive) {
  BuildArchive();
  const QByteArray before = qxtest::ReadBytes(archive_);
  octest::LimitFolders(*c_, {{ExtractFileDir(archive_), before.size() + 20000}});
  const QString big = Source(QStringLiteral("big.bin"), Noise(30000, 99));
  EXPECT_THROW(AddFiles({big}), EocDiskFull);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(archive_)), QStringList{QStringLiteral("files.1")});
  EXPECT_THROW(AddFiles({big}, true), EocDiskFull);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
  EXPECT_EQ(c_->FilesToProcess()->Count(), 0);
}

TEST_F(OcDiskTest, AFullDiskHandlerEndsTheAddSilently) {
  BuildArchive();
  const QByteArray before = qxtest::ReadBytes(archive_);
  octest::LimitFolders(*c_, {{ExtractFileDir(archive_), before.size() + 1000}});
  int calls = 0;
  c_->OnFullDisk = [&](TObject*) { ++calls; };
  AddFiles({Source(QStringLiteral("big.bin"), Noise(30000, 99))}, true);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(qxtest::ReadBytes(archive_), before);
}

TEST_F(OcDiskTest, AFullDiskWhileExtractingKeepsTheOldTarget) {
  const QStringList paths = BuildArchive();
  qxtest::WriteBytes(out_ + QStringLiteral("/f0.bin"), "old contents");
  octest::LimitFolders(*c_, {{out_, 5000}});
  EXPECT_THROW(ExtractTo(out_, {paths[0]}), EocDiskFull);
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/f0.bin")), QByteArray("old contents"));
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("f0.bin")});
  EXPECT_TRUE(c_->Abort());
}

TEST_F(OcDiskTest, AFullDiskWhileCopyingKeepsTheOldTarget) {
  const QString a = Source(QStringLiteral("a"), Noise(30000, 3));
  qxtest::WriteBytes(out_ + QStringLiteral("/a"), "old");
  octest::LimitFolders(*c_, {{out_, 9000}});
  EXPECT_THROW(c_->CopyOneFile(a, out_ + QStringLiteral("/a")), EocDiskFull);
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/a")), QByteArray("old"));
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("a")});
}

// A real file system that fills: a 64 KB tmpfs (needs the right to mount).
class OcTmpfsTest : public OcDiskTest {
 protected:
  void SetUp() override {
    OcDiskTest::SetUp();
    small_ = qxtest::TempPath(QStringLiteral("small"));
    QDir().mkpath(small_);
    mounted_ = ::mount("tmpfs", QFile::encodeName(small_).constData(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted_)
      GTEST_SKIP() << qxtest::SkipBecause(qxtest::TCapability::SmallTmpfsMount,
                                          QStringLiteral("cannot mount a small tmpfs here"));
  }
  void TearDown() override {
    if (mounted_)
      ::umount2(QFile::encodeName(small_).constData(), MNT_DETACH);
    OcDiskTest::TearDown();
  }
  QString small_;
  bool mounted_ = false;
};

TEST_F(OcTmpfsTest, ExtractingOntoAFullFileSystemRaisesDiskFull) {
  const QString big = Source(QStringLiteral("big.bin"), Noise(200000, 5));
  AddFiles({big});
  qxtest::WriteBytes(small_ + QStringLiteral("/big.bin"), "keep me");
  EXPECT_THROW(ExtractTo(small_, {big}), EocDiskFull);
  EXPECT_EQ(qxtest::ReadBytes(small_ + QStringLiteral("/big.bin")), QByteArray("keep me"));
  EXPECT_EQ(octest::FolderFiles(small_), QStringList{QStringLiteral("big.bin")});
}

TEST_F(OcTmpfsTest, AddingOntoAFullFileSystemKeepsTheOldArchive) {
  archive_ = small_ + QStringLiteral("/files.1");
  AddFiles({Source(QStringLiteral("a.bin"), Noise(20000, 3))});
  const QByteArray before = qxtest::ReadBytes(archive_);
  const QString big = Source(QStringLiteral("big.bin"), Noise(200000, 5));
  for (const bool append : {false, true}) {
    EXPECT_THROW(AddFiles({big}, append), EocDiskFull) << append;
    EXPECT_EQ(qxtest::ReadBytes(archive_), before) << append;
    EXPECT_EQ(octest::FolderFiles(small_), QStringList{QStringLiteral("files.1")}) << append;
  }
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(archive_);
  EXPECT_EQ(reader.FileCount(), 1);
}

TEST_F(OcTmpfsTest, SplittingOntoADiskTooSmallForTheHeadersRemovesWhatItWrote) {
  // 30 members: a header block of 4,925 bytes on a file system of one 4 KB page.
  ::umount2(QFile::encodeName(small_).constData(), MNT_DETACH);
  ASSERT_EQ(::mount("tmpfs", QFile::encodeName(small_).constData(), "tmpfs", 0, "size=4k"), 0);
  QStringList paths;
  for (int i = 0; i < 30; ++i)
    paths << Source(QStringLiteral("m%1").arg(i), Content(100, i));
  AddFiles(paths);
  c_->SetCompressedFile(archive_);
  c_->OnNewDisk = [this](TOndxCompress*, int disk, QString& path) { path = Disk(disk); };
  try {
    c_->SplitToDisks(small_, QStringLiteral("files.1"));
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), QString::fromLatin1(kOcTooLittleSpace));
  }
  EXPECT_TRUE(octest::FolderFiles(small_).isEmpty());
}

TEST_F(OcTmpfsTest, SplittingOntoAFullFileSystemAsksForTheNextDisk) {
  const QString big = Source(QStringLiteral("big.bin"), Noise(100000, 5));
  AddFiles({big});
  c_->SetCompressedFile(archive_);
  std::vector<int> asked;
  c_->OnNewDisk = [&](TOndxCompress*, int disk, QString& path) {
    asked.push_back(disk);
    path = Disk(disk);
  };
  c_->SplitToDisks(small_, QStringLiteral("files.1"));
  EXPECT_EQ(asked, (std::vector<int>{2}));
  TOndxCompress reader(nullptr);
  reader.OnNewDisk = c_->OnNewDisk;
  reader.SetCompressedFile(small_ + QStringLiteral("/files.1"));
  reader.SetExtractDirectory(out_);
  reader.FilesToProcess()->Add(big);
  reader.Extract();
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/big.bin")), Noise(100000, 5));
}

}  // namespace
