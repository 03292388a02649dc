// The self-extracting setup program: written from the loader and two
// archives, run as a program of its own, and refused when its trailer or
// its archive is damaged.

#include "installer/engine/cmp_TInstall_SelfExtract.h"

#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Exceptions.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(int size, char seed) {
  QByteArray out(size, '\0');
  for (int i = 0; i < size; ++i)
    out[i] = static_cast<char>(seed + i * 7 + (i >> 9));
  return out;
}

struct TRun {
  int exitCode = -1;
  QString errors;
  QStringList report;  // what the installation program wrote
};

class SelfExtractTest : public testing::Test {
 protected:
  void SetUp() override {
    src_ = qxtest::TempPath(QStringLiteral("src"));
    build_ = qxtest::TempPath(QStringLiteral("build"));
    QDir().mkpath(src_);
    QDir().mkpath(build_);
    setupExe_ = build_ + QStringLiteral("/setup.exe");
    setup1_ = build_ + QStringLiteral("/setup.1");
    files1_ = build_ + QStringLiteral("/files.1");
    probeOut_ = qxtest::TempPath(QStringLiteral("probe.txt"));
    cache_ = qxtest::TempPath(QStringLiteral("cache/qx"));
  }

  void Archive(const QString& archive, const QStringList& paths) {
    TOndxCompress c(nullptr);
    for (const QString& p : paths)
      c.FilesToProcess()->Add(p);
    c.SetCompressedFile(archive);
    c.Add(false);
  }

  // setup.1 with the installation program and a file beside it, files.1
  // with the payload, the loader with both and the trailer.
  void Build(bool withFiles = true) {
    const QString program = src_ + QStringLiteral("/velmio");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_SETUP_PROBE), program));
    qxtest::WriteBytes(src_ + QStringLiteral("/notes.txt"), "notes");
    Archive(setup1_, {program, src_ + QStringLiteral("/notes.txt")});
    if (withFiles) {
      qxtest::WriteBytes(src_ + QStringLiteral("/payload.bin"), Bytes(300000, 3));
      Archive(files1_, {src_ + QStringLiteral("/payload.bin")});
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), setupExe_));
    loaderSize_ = QFileInfo(setupExe_).size();
    WriteSelfExtractingProgram(setupExe_, setup1_, files1_);
  }

  TRun Run(const QStringList& arguments = {}) {
    QFile::remove(probeOut_);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // the loader's errors stay on stderr
    env.insert(QStringLiteral("QX_PROBE_OUT"), probeOut_);
    env.insert(QStringLiteral("QX_PROBE_EXIT"), QStringLiteral("3"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(qxtest::TempRoot());
    process.start(setupExe_, arguments);
    TRun run;
    if (!process.waitForFinished(qxtest::WaitMs(qxtest::PeerWaitBoundMs))) {
      process.kill();
      process.waitForFinished();
      return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    const QByteArray report = qxtest::ReadBytes(probeOut_);
    for (const QByteArray& line : report.split('\n'))
      if (!line.isEmpty())
        run.report << QString::fromLocal8Bit(line);
    return run;
  }

  QStringList ExtractFolders() const {
    return QDir(cache_).entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden);
  }

  QString src_, build_, setupExe_, setup1_, files1_, probeOut_, cache_;
  qint64 loaderSize_ = 0;
};

TEST_F(SelfExtractTest, TrailerNamesBothArchivesAndTheMainArchiveReadsAtItsOffset) {
  Build();
  const QByteArray exe = qxtest::ReadBytes(setupExe_);
  const qint64 setupSize = QFileInfo(setup1_).size();
  const qint64 filesSize = QFileInfo(files1_).size();
  ASSERT_EQ(exe.size(), loaderSize_ + setupSize + filesSize + 56);
  const QByteArray trailer = exe.right(56);
  EXPECT_EQ(trailer.left(16), QByteArray("\x0eSELFEXTRACTING\0", 16));
  EXPECT_EQ(trailer.right(24), QByteArray(24, '\0'));
  const TSelfExtractInfo info = ReadSelfExtractInfo(setupExe_);
  EXPECT_EQ(info.Setup1Start, loaderSize_);
  EXPECT_EQ(info.Setup1End, loaderSize_ + setupSize - 1);
  EXPECT_EQ(info.Files1Start, loaderSize_ + setupSize);
  EXPECT_EQ(info.Files1End, loaderSize_ + setupSize + filesSize - 1);
  EXPECT_EQ(exe.mid(info.Setup1Start, setupSize), qxtest::ReadBytes(setup1_));

  TOndxCompress c(nullptr);
  c.SetCompressedFile(setupExe_);
  c.SetOffset(info.Files1Start);
  ASSERT_EQ(c.FileCount(), 1);
  EXPECT_EQ(c.IndexOf(src_ + QStringLiteral("/payload.bin")), 0);
  c.SetExtractDirectory(qxtest::TempPath(QStringLiteral("out")));
  c.FilesToProcess()->Add(src_ + QStringLiteral("/payload.bin"));
  c.Extract();
  EXPECT_EQ(qxtest::ReadBytes(qxtest::TempPath(QStringLiteral("out/payload.bin"))),
            Bytes(300000, 3));
}

TEST_F(SelfExtractTest, WithoutFilesTheirFieldsStayZero) {
  Build(false);
  const TSelfExtractInfo info = ReadSelfExtractInfo(setupExe_);
  EXPECT_EQ(info.Setup1Start, loaderSize_);
  EXPECT_EQ(info.Files1Start, 0);
  EXPECT_EQ(info.Files1End, 0);
}

// The loader starts the installation program from a folder of its own with
// the switches, hands on its exit code, and nothing is left afterwards.
TEST_F(SelfExtractTest, StartsTheInstallationProgramAndLeavesNothing) {
  Build();
  const struct {
    QStringList arguments;
    QStringList expected;
  } cases[] = {
      {{}, {}},
      {{QStringLiteral("*todisk")}, {QStringLiteral("arg=-f")}},
      {{QStringLiteral("-d")}, {QStringLiteral("arg=-d")}},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 3) << run.errors.toStdString();
    ASSERT_GE(run.report.size(), 5) << run.errors.toStdString();
    const QString self = run.report.at(1).mid(5);
    EXPECT_EQ(QFileInfo(self).fileName(), QStringLiteral("velmio"));
    EXPECT_EQ(QFileInfo(self).dir().dirName().left(6), QStringLiteral("setup-"));
    EXPECT_EQ(QFileInfo(QFileInfo(self).absolutePath()).absolutePath(),
              QFileInfo(cache_).canonicalFilePath());
    EXPECT_EQ(run.report.at(2), QStringLiteral("cwd=") + QFileInfo(build_).canonicalFilePath());
    EXPECT_EQ(run.report.at(3), QStringLiteral("presetup=yes"));
    QStringList expected{QStringLiteral("arg=-esetup.exe"),
                         QStringLiteral("arg=-s") + QFileInfo(build_).canonicalFilePath()};
    expected << c.expected << QStringLiteral("arg=-c") << QStringLiteral("removed=yes");
    EXPECT_EQ(run.report.mid(4), expected);
    EXPECT_TRUE(ExtractFolders().isEmpty()) << ExtractFolders().join(' ').toStdString();
  }
}

// The loader alone (the first of a set of disks) takes the setup archive
// from setup.1 beside it and starts the program without -e: it installs
// from the files.1 there.
TEST_F(SelfExtractTest, ALoaderWithoutTrailerStartsTheProgramFromTheSetup1BesideIt) {
  Build();
  const TSelfExtractInfo info = ReadSelfExtractInfo(setupExe_);
  const QByteArray loader = qxtest::ReadBytes(setupExe_).left(info.Setup1Start);
  QFile::remove(setupExe_);
  qxtest::WriteBytes(setupExe_, loader);
  QFile::setPermissions(setupExe_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const TRun run = Run({QStringLiteral("-d")});
  EXPECT_EQ(run.exitCode, 3) << run.errors.toStdString();
  ASSERT_GE(run.report.size(), 5) << run.errors.toStdString();
  EXPECT_EQ(run.report.at(3), QStringLiteral("presetup=yes"));
  EXPECT_EQ(run.report.mid(4), (QStringList{QStringLiteral("arg=-s") + QFileInfo(build_).canonicalFilePath(),
                                            QStringLiteral("arg=-d"), QStringLiteral("arg=-c"),
                                            QStringLiteral("removed=yes")}));
  EXPECT_TRUE(ExtractFolders().isEmpty());
  // Without setup.1 beside it, it says what it could not read.
  QFile::remove(setup1_);
  const TRun alone = Run();
  EXPECT_EQ(alone.exitCode, 1);
  EXPECT_TRUE(alone.report.isEmpty());
  EXPECT_TRUE(alone.errors.startsWith(QStringLiteral("Could not read the extraction info from the archive file ")))
      << alone.errors.toStdString();
}

// A damaged program ends with its error, exit code 1 and nothing extracted
// (no setup.1 lies beside it to fall back on).
TEST_F(SelfExtractTest, DamagedProgramsEndWithTheirErrorAndLeaveNothing) {
  Build();
  QFile::remove(setup1_);
  const QByteArray good = qxtest::ReadBytes(setupExe_);
  const TSelfExtractInfo info = ReadSelfExtractInfo(setupExe_);
  const qint64 trailerAt = good.size() - 56;
  const auto withInt = [&](int offset, std::int32_t value) {
    QByteArray bytes = good;
    for (int i = 0; i < 4; ++i)
      bytes[trailerAt + offset + i] = static_cast<char>(value >> (8 * i));
    return bytes;
  };
  const QString noInfo = QStringLiteral("Could not read the extraction info from the archive file ");
  const QString corrupt = QStringLiteral("Could not read the file headers for the compressed file");
  QByteArray badMagic = good;
  badMagic[trailerAt + 3] = 'x';
  QByteArray badData = good;
  badData[info.Setup1Start + 5 + 164 + 40] ^= 0x55;
  // setup.1 cut short inside its last member, with a trailer that fits.
  QByteArray cutArchive = good.left(info.Setup1End + 1 - 3000);
  const qint64 cutEnd = cutArchive.size() - 1;
  QByteArray cutTrailer(56, '\0');
  cutTrailer.replace(0, 15, "\x0eSELFEXTRACTING");
  for (int i = 0; i < 4; ++i) {
    cutTrailer[16 + i] = static_cast<char>(info.Setup1Start >> (8 * i));
    cutTrailer[20 + i] = static_cast<char>(cutEnd >> (8 * i));
  }
  const struct {
    const char* what;
    QByteArray bytes;
    QString error;
  } cases[] = {
      {"magic", badMagic, noInfo},
      {"setup.1 after its end", withInt(16, info.Setup1End + 1), noInfo},
      {"setup.1 at 0", withInt(16, 0), noInfo},
      {"files.1 inside setup.1", withInt(24, info.Setup1End), noInfo},
      {"files.1 beyond the file", withInt(28, static_cast<std::int32_t>(good.size())), noInfo},
      {"file cut short", good.left(good.size() - 1000), noInfo},
      {"archive cut short", cutArchive + cutTrailer, corrupt},
      {"member data damaged", badData, QString()},
  };
  for (const auto& c : cases) {
    QFile::remove(setupExe_);
    qxtest::WriteBytes(setupExe_, c.bytes);
    QFile::setPermissions(setupExe_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const TRun run = Run();
    EXPECT_EQ(run.exitCode, 1) << c.what;
    EXPECT_TRUE(run.report.isEmpty()) << c.what;
    EXPECT_FALSE(run.errors.isEmpty()) << c.what;
    if (!c.error.isEmpty()) {
      EXPECT_TRUE(run.errors.startsWith(c.error)) << c.what << ": " << run.errors.toStdString();
    }
    EXPECT_TRUE(ExtractFolders().isEmpty()) << c.what;
    if (c.error == noInfo) {
      try {
        ReadSelfExtractInfo(setupExe_);
        ADD_FAILURE() << c.what;
      } catch (const IEInstall& e) {
        EXPECT_EQ(e.Message(), noInfo + setupExe_ +
                                   QStringLiteral(" when trying to find the correct offset into "
                                                  "the self extracting file"));
      }
    }
  }
}

// Only a folder the loader made, named by its marker, is removed.
TEST_F(SelfExtractTest, OnlyTheLoadersFolderIsRemoved) {
  const QString made = cache_ + QStringLiteral("/setup-abc123");
  qxtest::WriteBytes(made + QStringLiteral("/velmio"), "x");
  qxtest::WriteBytes(made + QStringLiteral("/.qx-loader"), QFile::encodeName(made) + "\n");
  const QString installed = qxtest::TempPath(QStringLiteral("opt/app"));
  qxtest::WriteBytes(installed + QStringLiteral("/velmio"), "x");
  qxtest::WriteBytes(installed + QStringLiteral("/.qx-loader"),
                     QFile::encodeName(installed) + "\n");
  const QString foreign = cache_ + QStringLiteral("/setup-other");
  qxtest::WriteBytes(foreign + QStringLiteral("/velmio"), "x");
  qxtest::WriteBytes(foreign + QStringLiteral("/.qx-loader"), QFile::encodeName(made) + "\n");
  const QString unmarked = cache_ + QStringLiteral("/setup-plain");
  qxtest::WriteBytes(unmarked + QStringLiteral("/velmio"), "x");

  for (const QString& kept : {installed, foreign, unmarked}) {
    EXPECT_FALSE(RemoveLoaderFolder(kept + QStringLiteral("/velmio"))) << kept.toStdString();
    EXPECT_TRUE(QFile::exists(kept + QStringLiteral("/velmio")));
  }
  EXPECT_TRUE(RemoveLoaderFolder(made + QStringLiteral("/velmio")));
  EXPECT_FALSE(QFileInfo::exists(made));
}

TEST_F(SelfExtractTest, MissingPartsFailTheWriteAndKeepTheLoader) {
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), setupExe_));
  const QByteArray loader = qxtest::ReadBytes(setupExe_);
  try {
    WriteSelfExtractingProgram(setupExe_, setup1_, files1_);
    ADD_FAILURE() << "written without setup.1";
  } catch (const IEInstall& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot create the self-extracting exe because ") +
                               setup1_ + QStringLiteral(" could not be loaded onto ") + setupExe_);
  }
  EXPECT_EQ(qxtest::ReadBytes(setupExe_), loader);
}

}  // namespace
