// Adding and extracting: every level across sizes at block edges, appending,
// the layout of a three-member archive, offsets, queries and overwrite.
#include "OndxCompressTestSupport.h"

#include "platform/rtl/FileUtils.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using octest::Content;
using octest::OcTest;

struct LevelSize {
  TCompressionLevel level;
  int size;
};

class OcRoundTrip : public OcTest, public testing::WithParamInterface<LevelSize> {};

TEST_P(OcRoundTrip, ExtractedFileEqualsTheSource) {
  const QByteArray bytes = Content(GetParam().size, static_cast<std::uint32_t>(GetParam().size));
  const QString path = Source(QStringLiteral("data.bin"), bytes);
  c_->SetCompressionLevel(GetParam().level);
  AddFiles({path});
  ExtractTo(out_, {path});
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/data.bin")), bytes);
  EXPECT_EQ(FileAge(out_ + QStringLiteral("/data.bin")), FileAge(path));
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("data.bin")});
}

std::vector<LevelSize> LevelSizes() {
  std::vector<LevelSize> out;
  for (TCompressionLevel level : {colNone, colFastest, colDefault, colMax})
    for (int size : {0, 1, 4095, 4096, 4097, 65535, 65536, 65537, 1 << 20})
      out.push_back({level, size});
  return out;
}

INSTANTIATE_TEST_SUITE_P(Levels, OcRoundTrip, testing::ValuesIn(LevelSizes()),
                         [](const testing::TestParamInfo<LevelSize>& p) {
                           return "level" + std::to_string(p.param.level) + "_size" +
                                  std::to_string(p.param.size);
                         });

TEST_F(OcTest, ThreeFilesGiveLayoutZeroWithChainedHeaders) {
  const QStringList paths{Source(QStringLiteral("a"), Content(10)),
                          Source(QStringLiteral("b"), Content(5000, 2)),
                          Source(QStringLiteral("c"), Content(0))};
  AddFiles(paths);
  const QByteArray a = qxtest::ReadBytes(archive_);
  ASSERT_GE(a.size(), 5);
  EXPECT_EQ(a.left(5), QByteArray("\x03\x00\x00\x00\x00", 5));
  std::int64_t pos = 5;
  for (int i = 0; i < 3; ++i) {
    const TFileHeaderRec rec = DecodeFileHeader(a.mid(pos, 164));
    EXPECT_EQ(rec.SourceName, paths[i]);
    EXPECT_EQ(rec.Number, i + 1);
    EXPECT_EQ(rec.DataStart, pos + 164);
    EXPECT_EQ(rec.NextHeader, rec.DataStart + rec.CompressedSize);
    pos = rec.NextHeader;
  }
  EXPECT_EQ(pos, a.size());
  c_->SetCompressedFile(archive_);
  ASSERT_EQ(c_->FileCount(), 3);
  for (int i = 0; i < 3; ++i) {
    TlzhFileStats stats;
    c_->GetFileStats(i, stats);
    EXPECT_EQ(stats.FileName, paths[i]);
    EXPECT_EQ(stats.TotalSize, 5010);
  }
  EXPECT_EQ(c_->IndexOf(paths[1].toUpper()), 1);
  EXPECT_EQ(c_->IndexOf(QStringLiteral("nothing")), -1);
}

TEST_F(OcTest, ArchiveInsideALargerFileReadsAtItsOffset) {
  const QString path = Source(QStringLiteral("kuva.bmp"), Content(3000));
  AddFiles({path});
  const QString big = qxtest::TempPath(QStringLiteral("setup.exe"));
  qxtest::WriteBytes(big, QByteArray(1000, 'S') + qxtest::ReadBytes(archive_) + QByteArray(56, 'T'));
  c_->SetCompressedFile(big);
  c_->SetOffset(1000);
  ASSERT_EQ(c_->FileCount(), 1);
  c_->SetExtractDirectory(out_);
  c_->FilesToProcess()->Add(path);
  c_->Extract();
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/kuva.bmp")), Content(3000));
}

TEST_F(OcTest, AppendKeepsTheOldMembersAndAddsTheNew) {
  const QString a = Source(QStringLiteral("a.txt"), Content(7000));
  const QString b = Source(QStringLiteral("b.txt"), Content(9000, 5));
  AddFiles({a});
  AddFiles({b}, true);
  c_->SetCompressedFile(archive_);
  ASSERT_EQ(c_->FileCount(), 2);
  ExtractTo(out_, {a, b + QStringLiteral(";extra field")});
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/a.txt")), Content(7000));
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/b.txt")), Content(9000, 5));
}

TEST_F(OcTest, AddWithoutAppendStartsTheArchiveAnew) {
  AddFiles({Source(QStringLiteral("a"), Content(10))});
  AddFiles({Source(QStringLiteral("b"), Content(10))});
  c_->SetCompressedFile(archive_);
  EXPECT_EQ(c_->FileCount(), 1);
  EXPECT_TRUE(c_->FilesToProcess()->Count() == 0);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(archive_)), QStringList{QStringLiteral("files.1")});
}

TEST_F(OcTest, MissingMemberNamesTheEntryAndTheArchive) {
  AddFiles({Source(QStringLiteral("a"), Content(10))});
  try {
    ExtractTo(out_, {QStringLiteral("/no/such")});
    FAIL() << "no exception";
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("The file </no/such> was not found in the archive <") +
                               archive_ + QStringLiteral(">"));
  }
  EXPECT_TRUE(c_->Abort());
}

TEST_F(OcTest, NeverOverwriteKeepsTheTargetWithOneDoneStatus) {
  const QString path = Source(QStringLiteral("x.txt"), Content(100));
  AddFiles({path});
  qxtest::WriteBytes(out_ + QStringLiteral("/x.txt"), "old");
  c_->SetOverwrite(owNever);
  int statuses = 0;
  bool done = false;
  c_->OnStatus = [&](TOndxCompress*, const TlzhFileStats& s) {
    ++statuses;
    done = s.Done;
  };
  ExtractTo(out_, {path});
  EXPECT_EQ(statuses, 1);
  EXPECT_TRUE(done);
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/x.txt")), QByteArray("old"));
}

TEST_F(OcTest, ReplaceEventMayRenameTheTarget) {
  const QString path = Source(QStringLiteral("x.txt"), Content(100));
  AddFiles({path});
  qxtest::WriteBytes(out_ + QStringLiteral("/x.txt"), "old");
  c_->OnReplace = [](TOndxCompress* c, const TlzhFileStats&) {
    c->SetDestFileName(QStringLiteral("y.txt"));
  };
  ExtractTo(out_, {path});
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/x.txt")), QByteArray("old"));
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/y.txt")), Content(100));
  EXPECT_TRUE(c_->DestFileName().isEmpty());
}

TEST_F(OcTest, DestFileNameAndSkipFileSteerOneMember) {
  const QString a = Source(QStringLiteral("a"), Content(10));
  const QString b = Source(QStringLiteral("b"), Content(20));
  AddFiles({a, b});
  c_->SetDestFileName(QStringLiteral("renamed"));
  c_->OnBeforeExtracting = [&](TOndxCompress* c, const TlzhFileStats& s) {
    if (s.FileName == b)
      c->SetSkipFile(true);
  };
  ExtractTo(out_, {a, b});
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("renamed")});
}

TEST_F(OcTest, ChosenNamesCannotLeaveTheFolder) {
  const QString a = Source(QStringLiteral("a"), Content(10));
  AddFiles({a});
  for (const QString& name : {QStringLiteral(".."), QStringLiteral("sub/.."), QStringLiteral("x\\..")}) {
    c_->SetDestFileName(name);
    EXPECT_THROW(ExtractTo(out_, {a}), EOndxCompress) << name.toStdString();
  }
  c_->SetDestFileName(QStringLiteral("../escaped"));
  ExtractTo(out_, {a});  // only the last component counts
  EXPECT_EQ(octest::FolderFiles(out_), QStringList{QStringLiteral("escaped")});
  EXPECT_FALSE(FileExists(qxtest::TempPath(QStringLiteral("escaped"))));
}

TEST_F(OcTest, ProgramsGetTheirExecuteBits) {
  const QString elf = Source(QStringLiteral("prog"), QByteArray("\x7f" "ELF\x02\x01", 6) + Content(50));
  const QString script = Source(QStringLiteral("run.sh"), QByteArray("#!/bin/sh\necho hi\n"));
  const QString text = Source(QStringLiteral("readme"), QByteArray("#not a script"));
  AddFiles({elf, script, text});
  ExtractTo(out_, {elf, script, text});
  auto mode = [&](const char* n) {
    struct stat st {};
    ::stat(QFile::encodeName(out_ + QLatin1Char('/') + QLatin1String(n)).constData(), &st);
    return st.st_mode & 0111;
  };
  EXPECT_NE(mode("prog"), 0u);
  EXPECT_NE(mode("run.sh"), 0u);
  EXPECT_EQ(mode("readme"), 0u);
}

TEST_F(OcTest, FifosAreRefusedWithoutBlocking) {
  const QString fifo = src_ + QStringLiteral("/fifo");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const QString expected = QStringLiteral("Cannot open the file ") + fifo;
  try {
    AddFiles({fifo});
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), expected);
  }
  try {
    c_->CopyOneFile(fifo, out_ + QStringLiteral("/copy"));
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), expected);
  }
  EXPECT_TRUE(octest::FolderFiles(out_).isEmpty());

  // A FIFO where a rule must read the existing file cannot be compared.
  const QString a = Source(QStringLiteral("a"), Content(100));
  AddFiles({a});
  const QString target = out_ + QStringLiteral("/a");
  ASSERT_EQ(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
  for (const TOverwriteType mode : {owDate, owVersion, owVersionDate}) {
    c_->SetOverwrite(mode);
    try {
      ExtractTo(out_, {a});
      FAIL() << mode;
    } catch (const EOndxCompress& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Error comparing file versions in TOndxCompress"));
    }
    EXPECT_THROW(c_->CopyOneFile(a, target), EOndxCompress) << mode;
    EXPECT_THROW(c_->CopyOneFile(fifo, a), EOndxCompress) << mode;
  }
}

TEST_F(OcTest, AStaleTemporaryBesideTheArchiveIsClearedByTheNextAdd) {
  const pid_t dead = ::fork();
  if (dead == 0)
    ::_exit(0);
  ASSERT_EQ(::waitpid(dead, nullptr, 0), dead);
  QDir().mkpath(ExtractFileDir(archive_));
  qxtest::WriteBytes(ExtractFileDir(archive_) + QStringLiteral("/.~oc%1-0001.tmp").arg(dead), "half");
  AddFiles({Source(QStringLiteral("a"), Content(100))});
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(archive_)), QStringList{QStringLiteral("files.1")});
}

TEST_F(OcTest, TooLongNamesAreRefusedWhenBuilding) {
  const QString longName = QString(110, QLatin1Char('k'));
  const QString path = Source(longName, Content(10));
  EXPECT_THROW(AddFiles({path}), EOndxCompress);
  EXPECT_FALSE(FileExists(archive_));
  EXPECT_TRUE(octest::FolderFiles(ExtractFileDir(archive_)).isEmpty());
}

TEST_F(OcTest, EventsReportTheWholeAdd) {
  const QString a = Source(QStringLiteral("a"), Content(200000));
  const QString b = Source(QStringLiteral("b"), Content(0));
  QStringList seen;
  TlzhFileStats last;
  c_->OnBeforeAdding = [&](TOndxCompress*, const TlzhFileStats& s) { seen << "before " + s.FileName; };
  c_->OnAfterAdding = [&](TOndxCompress*, const TlzhFileStats& s) { seen << "after " + s.FileName; };
  c_->OnStatus = [&](TOndxCompress*, const TlzhFileStats& s) { last = s; };
  AddFiles({a, b});
  EXPECT_EQ(seen, QStringList({"before " + a, "after " + a, "before " + b, "after " + b}));
  EXPECT_EQ(last.TotalDone, 200000);
  EXPECT_EQ(last.TotalSize, 200000);
  EXPECT_EQ(last.TotalPercent, 100);
  EXPECT_TRUE(last.Done);
}

TEST_F(OcTest, ExtractionReportsProgressPerChunk) {
  const QString a = Source(QStringLiteral("a"), Content(10000));
  AddFiles({a});
  std::vector<int> done;
  c_->OnStatus = [&](TOndxCompress*, const TlzhFileStats& s) { done.push_back(s.BytesDone); };
  ExtractTo(out_, {a});
  EXPECT_EQ(done, (std::vector<int>{4096, 8192, 10000, 10000}));
}

TEST_F(OcTest, CopyOneFileCopiesWithStatusAndDate) {
  const QString a = Source(QStringLiteral("a"), Content(20000));
  const QString dest = out_ + QStringLiteral("/sub/copy");
  QDir().mkpath(out_ + QStringLiteral("/sub"));
  int statuses = 0;
  c_->OnStatus = [&](TOndxCompress*, const TlzhFileStats&) { ++statuses; };
  c_->CopyOneFile(a, dest);
  EXPECT_EQ(qxtest::ReadBytes(dest), Content(20000));
  EXPECT_EQ(FileAge(dest), FileAge(a));
  EXPECT_EQ(statuses, 4);  // blocks of 8192, 8192, 3616, then done
  EXPECT_TRUE(c_->DestFileName().isEmpty());
}

TEST_F(OcTest, CopyOneFileIsNotSkippedByAnEarlierSkip) {
  const QString a = Source(QStringLiteral("a"), Content(100));
  c_->SetSkipFile(true);
  c_->CopyOneFile(a, out_ + QStringLiteral("/copy"));
  EXPECT_EQ(qxtest::ReadBytes(out_ + QStringLiteral("/copy")), Content(100));
}

TEST_F(OcTest, TheFirstCompressorIsTheGlobalOne) {
  EXPECT_EQ(TOndxCompress::Global(), c_.get());
  {
    TOndxCompress temporary(nullptr);
    EXPECT_EQ(TOndxCompress::Global(), c_.get());
  }
  c_.reset();
  EXPECT_EQ(TOndxCompress::Global(), nullptr);
}

TEST_F(OcTest, PublishedPropertiesCarryTheirDefaults) {
  const TMetaClass& meta = MetaClassOf<TOndxCompress>();
  for (const char* name : {"Abort", "CompressedFile", "CompressionLevel", "ExtractDirectory",
                           "FilesToProcess", "Offset", "Overwrite", "OnAborted", "OnAfterAdding",
                           "OnBeforeAdding", "OnAfterExtracting", "OnBeforeExtracting", "OnListing",
                           "OnReplace", "OnStatus", "OnFullDisk", "OnNewDisk"})
    EXPECT_NE(meta.FindProperty(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(meta.FindProperty(QStringLiteral("CompressionLevel"))->ordDefault, colMax);
  EXPECT_EQ(meta.FindProperty(QStringLiteral("Overwrite"))->ordDefault, owAlways);
  EXPECT_EQ(c_->CompressionLevel(), colMax);
  EXPECT_EQ(c_->Overwrite(), owAlways);
  EXPECT_EQ(c_->Offset(), 0);
  EXPECT_EQ(meta.FindProperty(QStringLiteral("DestFileName")), nullptr);  // public only
}

TEST_F(OcTest, FilesToProcessAssignmentDropsBlankLines) {
  TStringList list;
  list.Add(QStringLiteral("a"));
  list.Add(QStringLiteral("   "));
  list.Add(QString());
  list.Add(QStringLiteral("b"));
  c_->SetFilesToProcess(list);
  EXPECT_EQ(c_->FilesToProcess()->Count(), 2);
}

TEST_F(OcTest, ChangingToAnotherPartKeepsTheHeaders) {
  AddFiles({Source(QStringLiteral("a"), Content(10))});
  c_->SetCompressedFile(archive_);
  ASSERT_EQ(c_->FileCount(), 1);
  QFile::remove(archive_);
  c_->SetCompressedFile(ChangeFileExt(archive_, QStringLiteral(".2")));
  EXPECT_EQ(c_->FileCount(), 1);  // still loaded
  c_->SetCompressedFile(qxtest::TempPath(QStringLiteral("other.1")));
  EXPECT_THROW(c_->FileCount(), EOndxCompress);
}

}  // namespace
