// The roads of a whole installation with real files and processes: a form
// file's script built with -b from a BUILD.INF into setup.1, files.1 and
// setup.exe, and that setup.exe run as a program of its own (the loader
// starting a real installation program on the engine) into the test's own
// XDG tree; damaged setups end with their error and install nothing half.

#include "BuiltSetupTestSupport.h"
#include "InstallFileTestSupport.h"
#include "InstallHostTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "install/ScriptForm.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/routines_Registry.h"
#include "installer/loader/LoaderFolder.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/system/CommandLine.h"
#include "platform/rtl/Format.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartService.h"
#include "tests/support/PeerProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

using qxtest::ReadBytes;

using qxtest::TSetupRun;

class SetupRoadTest : public qxtest::TBuiltSetup {
 protected:
  void SetUp() override {
    TBuiltSetup::SetUp();
    if (HasFatalFailure()) return;
    // The group's archive is psMainArchiveFile: the build adds it to files.1.
    QString form = qxtest::ScriptFormHead(QStringLiteral("    RunAutomatic = False\n"));
    for (int i = 0; i < names_.size(); ++i)
      form += qxtest::ScriptFormFile(QStringLiteral("File%1").arg(i), QStringLiteral("Game"), src_, names_[i]);
    form += QStringLiteral("end\n");
    qxtest::WriteBytes(form_, form.toUtf8());
  }

  // A name that is not UTF-8 reads back as another: the test's tree goes
  // only once such folders are gone.
  void TearDown() override {
    for (const std::string& folder : placedFolders_) loader::RemoveTree(folder);
  }

  // cache: the $XDG_CACHE_HOME the run gets instead of the test's.
  TSetupRun RunSetup(const QString& exe, const QStringList& arguments = {}, const QString& cache = {}) {
    if (cache.isEmpty()) return RunProgram(exe, arguments);
    return RunProgram(exe, arguments, {{"XDG_CACHE_HOME", cache}});
  }

  QStringList LoaderFolders(const QString& cache = qxtest::TempPath(QStringLiteral("cache"))) const {
    return QDir(cache + QStringLiteral("/qx")).entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden);
  }
  // The built setup as a person has it in a folder of the home named by
  // the bytes name: the self-extracting setup.exe or (disk) the first disk
  // of a set, the loader alone with setup.1 and files.1 beside it. The
  // result reaches setup.exe through a link of a readable name (the loader
  // sees the folder's own name).
  QString PlaceSetup(const QByteArray& name, bool disk) {
    const QByteArray folder = QFile::encodeName(qxtest::TempPath(QStringLiteral("home"))) + '/' + name;
    const QString link = qxtest::TempPath(QStringLiteral("via%1").arg(++placed_));
    if (::mkdir(folder.constData(), 0700) != 0 || ::symlink(folder.constData(), QFile::encodeName(link).constData()) != 0)
      return {};
    placedFolders_.push_back(folder.toStdString());
    const QString exe = link + QStringLiteral("/setup.exe");
    const QString built = build_ + QStringLiteral("/setup.exe");
    const QByteArray program = ReadBytes(built);
    qxtest::WriteBytes(exe, disk ? program.left(ReadSelfExtractInfo(built).Setup1Start) : program);
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* part : {"setup.1", "files.1"})
      if (disk) qxtest::WriteBytes(link + u'/' + QLatin1String(part), ReadBytes(build_ + u'/' + QLatin1String(part)));
    return exe;
  }

  // The folders a restart end left for the next login.
  QStringList ResumeFolders() const {
    return QDir(ResumeRoot()).entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden);
  }

  int placed_ = 0;
  std::vector<std::string> placedFolders_;
};

TEST_F(SetupRoadTest, TheBuiltSetupInstallsAndADamagedOneInstallsNothingHalf) {
  BuildSetup();
  const QString exe = build_ + QStringLiteral("/setup.exe");
  ASSERT_TRUE(QFile::exists(build_ + QStringLiteral("/setup.1")));
  ASSERT_TRUE(QFile::exists(build_ + QStringLiteral("/files.1")));
  const QByteArray good = ReadBytes(exe);
  const qint64 loaderSize = QFileInfo(QStringLiteral(QX_LOADER_PROGRAM)).size();
  const QByteArray setup1 = ReadBytes(build_ + QStringLiteral("/setup.1"));
  const QByteArray files1 = ReadBytes(build_ + QStringLiteral("/files.1"));
  // The trailer: 16 bytes of magic, the four offsets, 24 bytes of zeros.
  ASSERT_EQ(good.size(), loaderSize + setup1.size() + files1.size() + 56);
  const QByteArray trailer = good.right(56);
  EXPECT_EQ(trailer.left(16), QByteArray("\x0eSELFEXTRACTING\0", 16));
  EXPECT_EQ(trailer.right(24), QByteArray(24, '\0'));
  const TSelfExtractInfo info = ReadSelfExtractInfo(exe);
  EXPECT_EQ(info.Setup1Start, loaderSize);
  EXPECT_EQ(info.Setup1End, loaderSize + setup1.size() - 1);
  EXPECT_EQ(info.Files1Start, loaderSize + setup1.size());
  EXPECT_EQ(info.Files1End, good.size() - 57);
  EXPECT_EQ(good.mid(info.Setup1Start, setup1.size()), setup1);
  EXPECT_EQ(good.mid(info.Files1Start, files1.size()), files1);

  const auto withTrailer = [&](QByteArray body, qint64 filesEnd) {
    QByteArray t = trailer;
    for (int i = 0; i < 4; ++i)
      t[28 + i] = static_cast<char>(filesEnd >> (8 * i));
    return body + t;
  };
  QByteArray badMagic = good;
  badMagic[good.size() - 56 + 2] = 'x';
  // files.1 cut short inside its last member, its trailer fitting the cut.
  const QByteArray cut = withTrailer(good.left(good.size() - 56 - 3000), info.Files1End - 3000);
  // No files.1 appended at all: the trailer names none.
  QByteArray noFiles = withTrailer(good.left(info.Files1Start), 0);
  for (int i = 0; i < 4; ++i)
    noFiles[noFiles.size() - 56 + 24 + i] = 0;
  const struct {
    const char* what;
    QByteArray bytes;
    bool installs;
  } cases[] = {
      {"corrupted trailer", badMagic, false},
      {"truncated archive", cut, false},
      {"missing part", noFiles, false},
      {"good", good, true},
  };
  const QString run = qxtest::TempPath(QStringLiteral("run"));
  QDir().mkpath(run);
  const QString copy = run + QStringLiteral("/setup.exe");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(qxtest::TempPath(QStringLiteral("programfiles/Trovaly"))).removeRecursively();
    QFile::remove(copy);
    qxtest::WriteBytes(copy, c.bytes);
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList before = LoaderFolders();
    const TSetupRun r = RunSetup(copy);
    if (c.installs) {
      // A good end removes the loader's folder.
      EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
      EXPECT_TRUE(r.errors.isEmpty()) << r.errors.toStdString();
      EXPECT_EQ(LoaderFolders(), before);
      EXPECT_EQ(octest::FolderFiles(dest_), names_);
      for (int i = 0; i < names_.size(); ++i)
        EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
      continue;
    }
    EXPECT_NE(r.exitCode, 0);
    EXPECT_FALSE(r.errors.isEmpty());
    // A bad end leaves no unpacked setup either.
    EXPECT_EQ(LoaderFolders(), before);
    // Whatever is there is whole: nothing half-written, no temporaries.
    for (const QString& name : octest::FolderFiles(dest_)) {
      const qsizetype i = names_.indexOf(name);
      ASSERT_GE(i, 0) << name.toStdString();
      EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + name), contents_[i]);
    }
    std::printf("%s: exit %d: %s\n", c.what, r.exitCode, qPrintable(r.errors.section('\n', 0, 0)));
  }
}

// An archive error met while the files are copied ends the setup with
// status 1 and says which archive, which member and what to do: on the
// self-extracting road (a member's data damaged, a member missing, the
// archive cut short, a file that cannot be written) and on the disks' road
// (the next disk not where the user said, its part cut short or not
// readable). The right disk installs the same set.
TEST_F(SetupRoadTest, AnArchiveErrorWhileCopyingEndsTheSetupNamingArchiveAndMember) {
  BuildSetup();
  const QByteArray good = ReadBytes(build_ + QStringLiteral("/setup.exe"));
  const TSelfExtractInfo info = ReadSelfExtractInfo(build_ + QStringLiteral("/setup.exe"));
  // f1.bin's and f0.bin's members, by the names the archive holds them under.
  QString member, first;
  TFileHeaderRec header;
  qint64 compressed = 0;
  {
    TOndxCompress reader(nullptr);
    reader.SetCompressedFile(build_ + QStringLiteral("/files.1"));
    for (int i = 0; i < reader.FileCount(); ++i) {
      TlzhFileStats stats;
      reader.GetFileStats(i, stats);
      compressed = stats.TotalCompressed;
      if (stats.Header.SourceName.endsWith(QStringLiteral("f0.bin"))) first = stats.Header.SourceName;
      if (!stats.Header.SourceName.endsWith(QStringLiteral("f1.bin"))) continue;
      member = stats.Header.SourceName;
      header = stats.Header;
    }
  }
  ASSERT_FALSE(member.isEmpty() || first.isEmpty());
  // The disks: setup.exe without its trailer, setup.1 and disk 1's part of
  // the archive in "disk1", f1.bin running on into the part in "disk2".
  const QString disk1 = qxtest::TempPath(QStringLiteral("disk1"));
  const QString disk2 = qxtest::TempPath(QStringLiteral("disk2"));
  QDir().mkpath(disk1);
  QDir().mkpath(disk2);
  {
    TOndxCompress splitter(nullptr);
    splitter.SetCompressedFile(build_ + QStringLiteral("/files.1"));
    octest::LimitFolders(splitter, {{disk1, 5 + 3 * 164 + compressed / 2}});
    splitter.OnNewDisk = [&](TOndxCompress*, int, QString& path) { path = disk2; };
    splitter.SplitToDisks(disk1, QStringLiteral("files.1"));
  }
  ASSERT_TRUE(QFile::exists(disk2 + QStringLiteral("/files.2")));
  ASSERT_FALSE(QFile::exists(qxtest::TempPath(QStringLiteral("disk3/files.3"))));
  {
    TOndxCompress reader(nullptr);
    reader.SetCompressedFile(disk1 + QStringLiteral("/files.1"));
    TlzhFileStats stats;
    reader.GetFileStats(reader.IndexOf(member), stats);
    ASSERT_EQ(stats.Header.StartDisk, 1);
    ASSERT_EQ(stats.Header.EndDisk, 2);
  }
  qxtest::WriteBytes(disk1 + QStringLiteral("/setup.exe"), good.left(info.Setup1Start));
  QFile::setPermissions(disk1 + QStringLiteral("/setup.exe"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_TRUE(QFile::copy(build_ + QStringLiteral("/setup.1"), disk1 + QStringLiteral("/setup.1")));
  // Folders the user may give for disk 2.
  const QString none = qxtest::TempPath(QStringLiteral("nodisk"));
  QDir().mkpath(none);
  const QString cut = qxtest::TempPath(QStringLiteral("cutdisk"));
  QDir().mkpath(cut);
  qxtest::WriteBytes(cut + QStringLiteral("/files.2"), ReadBytes(disk2 + QStringLiteral("/files.2")).left(1000));
  const QString pipe = qxtest::TempPath(QStringLiteral("pipedisk"));
  QDir().mkpath(pipe);
  ASSERT_EQ(::mkfifo(QFile::encodeName(pipe + QStringLiteral("/files.2")).constData(), 0600), 0);

  const QString run = qxtest::TempPath(QStringLiteral("run"));
  QDir().mkpath(run);
  const QString copy = run + QStringLiteral("/setup.exe");
  const auto changed = [&](qint64 at, char value) {
    QByteArray bytes = good;
    bytes[at] = value;
    return bytes;
  };
  // files.1 cut short inside its last member, its trailer fitting the cut.
  QByteArray cutShort = good.left(good.size() - 56 - 3000) + good.right(56);
  for (int i = 0; i < 4; ++i)
    cutShort[cutShort.size() - 56 + 28 + i] = static_cast<char>((info.Files1End - 3000) >> (8 * i));
  const qint64 data = info.Files1Start + header.DataStart;
  const qint64 name = data - 164 + 21 + member.toUtf8().size() - 1;
  ASSERT_EQ(good.mid(name - member.toUtf8().size() + 1, member.toUtf8().size()), member.toUtf8());
  const QString target = dest_ + QStringLiteral("/f1.bin");
  const struct {
    const char* what;
    QByteArray exe;  // empty: the disks' road
    QString diskFolder;
    const char* text;
    QStringList args;
    QString inTheWay;
  } cases[] = {
      {"a byte of f1.bin's data changed", changed(data + 100, static_cast<char>(good[data + 100] ^ 0x5A)), {},
       kIfArchiveDamaged, {copy, member}, {}},
      {"f1.bin not in the archive", changed(name, 'X'), {}, kIfNotInArchive, {copy, member}, {}},
      // Found when the files' information is read, before any copy: the
      // first file is the one that cannot be unpacked.
      {"the archive cut short", cutShort, {}, kIfArchiveDamaged, {copy, first}, {}},
      {"a folder where f1.bin goes", good, {}, kIfCannotWrite, {target, member, copy}, target},
      {"disk 2 not in the folder given", {}, none, kIfWrongDisk, {none + QStringLiteral("/files.2"), member}, {}},
      {"disk 2's part cut short", {}, cut, kIfArchiveDamaged, {cut + QStringLiteral("/files.2"), member}, {}},
      {"disk 2's part not readable", {}, pipe, kIfCannotOpenArchive, {pipe + QStringLiteral("/files.2"), member}, {}},
      {"the right disk", {}, disk2, nullptr, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QDir(qxtest::TempPath(QStringLiteral("programfiles/Trovaly"))).removeRecursively();
    if (!c.inTheWay.isEmpty()) QDir().mkpath(c.inTheWay + QStringLiteral("/inside"));
    QString exe = disk1 + QStringLiteral("/setup.exe");
    if (!c.exe.isEmpty()) {
      QFile::remove(copy);
      qxtest::WriteBytes(copy, c.exe);
      QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      exe = copy;
    }
    qputenv("QX_HEADLESS_DISK_FOLDER", QFile::encodeName(c.diskFolder));
    const QStringList before = LoaderFolders();
    const TSetupRun r = RunSetup(exe);
    qunsetenv("QX_HEADLESS_DISK_FOLDER");
    EXPECT_EQ(LoaderFolders(), before);
    if (c.text == nullptr) {
      EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
      EXPECT_EQ(octest::FolderFiles(dest_), names_);
      for (int i = 0; i < names_.size(); ++i)
        EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
      continue;
    }
    EXPECT_EQ(r.exitCode, 1) << r.errors.toStdString();
    std::vector<TVarRec> args(c.args.begin(), c.args.end());
    const QString said = Format(QString::fromLatin1(c.text), args.data(), static_cast<int>(args.size()));
    EXPECT_TRUE(r.errors.contains(said)) << "expected: " << said.toStdString() << "\nsaid: " << r.errors.toStdString();
    EXPECT_FALSE(QFileInfo(target).isFile()) << "f1.bin is there";
  }
}

QStringList InstallRecords() {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  TStringList names;
  if (registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\Ondrix\\Install")))
    registry.GetKeyNames(&names);
  QStringList out;
  for (int i = 0; i < names.Count(); ++i)
    out << names[i];
  return out;
}

// The restart road: a running program's file is in use, so the setup ends
// at the restart with the file untouched and its unpacked program moved out
// of the cache (here on another file system) into a folder of ours; the
// cache is cleaned; at the next login the runner its autostart entry names
// moves the file in and starts the "-r" run, which ends well and leaves no
// record, no entry and no folder of the setup.
TEST_F(SetupRoadTest, AFileInUseIsReplacedAtTheNextLoginAndTheResumedRunEndsWell) {
  BuildSetup();
  const QString exe = build_ + QStringLiteral("/setup.exe");
  QTemporaryDir otherDisk(QStringLiteral("/dev/shm/qxcache-XXXXXX"));
  ASSERT_TRUE(otherDisk.isValid());
  struct stat shm {}, data {};
  ASSERT_EQ(::stat(QFile::encodeName(otherDisk.path()).constData(), &shm), 0);
  ASSERT_EQ(::stat(QFile::encodeName(qxtest::TempRoot()).constData(), &data), 0);
  ASSERT_NE(shm.st_dev, data.st_dev) << "/dev/shm is not another file system here";
  const QString cache = otherDisk.path() + QStringLiteral("/cache");
  const QString inUse = dest_ + QLatin1Char('/') + names_[0];
  QDir().mkpath(dest_);
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), inUse));
  QFile::setPermissions(inUse, QFile::permissions(inUse) | QFile::ExeOwner);
  const QByteArray old = ReadBytes(inUse);
  auto user = std::make_unique<qxtest::TRunningProgram>(inUse);
  ASSERT_TRUE(user->Running());

  const TSetupRun first = RunSetup(exe, {}, cache);
  EXPECT_EQ(first.exitCode, 0) << first.errors.toStdString();
  EXPECT_TRUE(first.errors.contains(QStringLiteral("log out and log in again")))
      << first.errors.toStdString();
  EXPECT_EQ(ReadBytes(inUse), old);
  for (int i = 1; i < names_.size(); ++i)
    EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
  EXPECT_EQ(PendingMoves().size(), 1u);
  EXPECT_EQ(InstallRecords(), QStringList{QStringLiteral("Install0")});
  // The resumed run needs the extracted program: it moved out of the cache,
  // and RunOnce starts it there.
  EXPECT_TRUE(LoaderFolders(cache).isEmpty()) << LoaderFolders(cache).join(' ').toStdString();
  ASSERT_EQ(ResumeFolders().size(), 1);
  const QString resumed = ResumeRoot() + u'/' + ResumeFolders().first() + QStringLiteral("/velmio");
  const QStringList command = CommandLineToArgs(ReadRegString(
      hkLocalMachine, QString::fromLatin1(kRunOnceKey), QStringLiteral("OndrixUnfinished"), {}));
  EXPECT_EQ(command.join(u'|').toStdString(),
            (QStringList{resumed, QStringLiteral("-r"), QStringLiteral("-esetup.exe"),
                         QStringLiteral("-s") + QFileInfo(build_).canonicalFilePath(),
                         QStringLiteral("-c")})
                .join(u'|')
                .toStdString());
  EXPECT_TRUE(QFileInfo(resumed).isExecutable());
  const QByteArray entry = ReadBytes(RestartRunnerAutostartPath());
  ASSERT_FALSE(entry.isEmpty());

  // The next login: the program is gone, the autostart entry's command runs.
  // So is setup.exe (a download removed since): the resumed run still finds
  // its record through its own extracted copy. A cache cleaner ran before.
  user.reset();
  ASSERT_TRUE(QFile::remove(exe));
  ASSERT_TRUE(QDir(cache).removeRecursively());
  QString exec;
  for (const QByteArray& line : entry.split('\n'))
    if (line.startsWith("Exec="))
      exec = QString::fromUtf8(line.mid(5));
  const QStringList runner = QProcess::splitCommand(exec);
  ASSERT_FALSE(runner.isEmpty()) << entry.toStdString();
  const TSetupRun login = RunSetup(runner[0], runner.mid(1), cache);
  EXPECT_EQ(login.exitCode, 0) << login.errors.toStdString();
  EXPECT_EQ(ReadBytes(inUse), contents_[0]);
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_EQ(InstallRecords(), QStringList());
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
  EXPECT_TRUE(ResumeFolders().isEmpty()) << ResumeFolders().join(' ').toStdString();
  EXPECT_FALSE(QFileInfo::exists(ResumeRoot()));
  EXPECT_TRUE(LoaderFolders(cache).isEmpty());
}

QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext())
    files.append(it.next());
  files.sort();
  return files;
}

// The files the uninstall log's lists name (each once: a repeat is a fault).
QStringList LoggedFiles() {
  const QString log = QString::fromLatin1(kUninstallKeyBase) + QStringLiteral("Trovaly");
  QStringList files;
  for (int n = 0; n < 10; ++n) {
    const QString key = log + QStringLiteral("\\Files") + (n ? QString::number(n) : QString());
    const int count =
        ReadRegString(hkLocalMachine, key, QStringLiteral("Entries"), QStringLiteral("0")).toInt();
    for (int i = 1; i <= count; ++i)
      files.append(ReadRegString(hkLocalMachine, key, QStringLiteral("File") + QString::number(i), {}));
  }
  // Self-registering files are logged as "path;0" (a library) or ";1".
  const QString activeX = log + QStringLiteral("\\ActiveX");
  const int count =
      ReadRegString(hkLocalMachine, activeX, QStringLiteral("Entries"), QStringLiteral("0")).toInt();
  for (int i = 1; i <= count; ++i)
    files.append(ReadRegString(hkLocalMachine, activeX, QStringLiteral("File") + QString::number(i), {})
                     .section(QLatin1Char(';'), 0, 0));
  files.sort();
  return files;
}

QString Validate(const QString& file) {
  QProcess validate;
  validate.start(QStringLiteral("desktop-file-validate"), {file});
  if (!validate.waitForFinished(qxtest::WaitMs(qxtest::PeerWaitBoundMs)))
    return QStringLiteral("desktop-file-validate hangs");
  const QString out =
      QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
  return validate.exitCode() == 0 ? out.trimmed() : QStringLiteral("exit %1: %2").arg(validate.exitCode()).arg(out);
}

TEST_F(SetupRoadTest, AProductScriptInstallsWholeWithItsMenuRegistryAndLog) {
  BuildProduct(QString());
  const QString product = qxtest::TempPath(QStringLiteral("programfiles/Trovaly"));
  const QString inUse = dest_ + QLatin1Char('/') + names_[0];
  QDir().mkpath(dest_);
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), inUse));
  QFile::setPermissions(inUse, QFile::permissions(inUse) | QFile::ExeOwner);
  const QByteArray old = ReadBytes(inUse);
  auto user = std::make_unique<qxtest::TRunningProgram>(inUse);
  ASSERT_TRUE(user->Running());
  const QString mark = qxtest::TempPath(QStringLiteral("selfreg.txt"));
  qputenv("QX_SELFREG_MARK", QFile::encodeName(mark));

  const TSetupRun run = RunSetup(build_ + QStringLiteral("/setup.exe"));
  qunsetenv("QX_SELFREG_MARK");
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  // Every file but the one in use is in place, byte for byte.
  EXPECT_EQ(ReadBytes(inUse), old);
  for (int i = 1; i < names_.size(); ++i)
    EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
  EXPECT_EQ(ReadBytes(product + QStringLiteral("/lib/selfreg.ocx")),
            ReadBytes(QStringLiteral(QX_SELFREG_LIBRARY)));
  EXPECT_EQ(ReadBytes(product + QStringLiteral("/lib/trovaly10.hlp")), "help");
  EXPECT_EQ(ReadBytes(mark).trimmed(), QFile::encodeName(product + QStringLiteral("/lib/selfreg.ocx")));
  const QString settings = QStringLiteral("\\Software\\QXTrovaly\\Ruudukko");
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, settings, QStringLiteral("fon_koko"), 0), 11);
  EXPECT_EQ(ReadRegString(hkCurrentUser, settings, QStringLiteral("fon_nimi"), {}),
            QStringLiteral("Times New Roman"));
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, settings, QStringLiteral("fon_vari"), 0), 128);
  const QString menu = ApplicationsMenuFolder() + QStringLiteral("/Trovaly");
  const QStringList links = FilesBelow(menu);
  EXPECT_EQ(links, (QStringList{menu + "/Kotisivu.URL", menu + "/Ohje Trovaly.desktop",
                                menu + "/Trovaly.desktop"}));
  for (const QString& link : links) {
    if (link.endsWith(QStringLiteral(".desktop"))) {
      EXPECT_EQ(Validate(link), QString()) << link.toStdString();
    }
  }
  EXPECT_EQ(Validate(LinkGroupFilesOf(menu).directoryFile), QString());

  // The next login replaces the file in use; the log names what is on disk.
  user.reset();
  const TSetupRun login = RunSetup(RestartRunnerPath());
  EXPECT_EQ(login.exitCode, 0) << login.errors.toStdString();
  EXPECT_EQ(ReadBytes(inUse), contents_[0]);
  EXPECT_TRUE(PendingMoves().empty());
  QStringList onDisk = FilesBelow(product) + links;
  onDisk.sort();
  EXPECT_EQ(LoggedFiles(), onDisk) << LoggedFiles().join(QLatin1Char(' ')).toStdString();
}

// A run killed in the middle of the copy leaves its record and part of the
// log; the next run of the same setup.exe (extracted anew) finishes, clears
// that record and logs each file once; installing again over the installed
// product adds no entry and no shared count.
TEST_F(SetupRoadTest, AKilledRunAndAReinstallLeaveNoRecordAndLogEachEntryOnce) {
  BuildProduct();
  const QString exe = build_ + QStringLiteral("/setup.exe");
  const QString product = qxtest::TempPath(QStringLiteral("programfiles/Trovaly"));
  const QString log = QString::fromLatin1(kUninstallKeyBase) + QStringLiteral("Trovaly");
  const QString shared = dest_ + QStringLiteral("/f2.bin");
  const auto count = [&](const QString& key) {
    return ReadRegString(hkLocalMachine, log + key, QStringLiteral("Entries"), QStringLiteral("0"));
  };

  qputenv("QX_HEADLESS_KILL_AFTER", "Game_f1_bin");
  const TSetupRun killed = RunSetup(exe);
  qunsetenv("QX_HEADLESS_KILL_AFTER");
  ASSERT_EQ(killed.exitCode, -2) << "the run was not killed: " << killed.errors.toStdString();
  ASSERT_EQ(InstallRecords(), QStringList{QStringLiteral("Install0")});
  EXPECT_TRUE(QFile::exists(dest_ + QStringLiteral("/f1.bin")));
  EXPECT_FALSE(QFile::exists(shared));
  // The killed run was an hour ago: its record's dates and the setup.exe it
  // ran go back together, so that this run extracts at another time.
  {
    TRegistry record;
    record.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(record.OpenKey(QStringLiteral("\\SOFTWARE\\Ondrix\\Install\\Install0"), false));
    double created = 0;
    ASSERT_EQ(record.ReadBinaryData(QStringLiteral("CreationDate"), &created, sizeof created),
              static_cast<int>(sizeof created));
    created -= 1.0 / 24;
    record.WriteBinaryData(QStringLiteral("CreationDate"), &created, sizeof created);
    ASSERT_EQ(FileSetDate(exe, FileAge(exe) - 1.0 / 24), 0);
  }

  const QString menu = ApplicationsMenuFolder() + QStringLiteral("/Trovaly");
  for (const char* run : {"after the kill", "over the installed product"}) {
    SCOPED_TRACE(run);
    const TSetupRun r = RunSetup(exe);
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
    EXPECT_EQ(InstallRecords().join(QLatin1Char(' ')).toStdString(), "");
    QStringList onDisk = FilesBelow(product) + FilesBelow(menu);
    onDisk.sort();
    EXPECT_EQ(LoggedFiles().join(QLatin1Char('\n')).toStdString(),
              onDisk.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(count(QStringLiteral("\\Files")), QString::number(onDisk.size() - 1));
    EXPECT_EQ(count(QStringLiteral("\\ActiveX")), QStringLiteral("1"));
    EXPECT_EQ(count(QStringLiteral("\\RegistryKeys")), QStringLiteral("1"));
    EXPECT_EQ(ReadRegInteger(hkLocalMachine, QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"),
                             shared, 0),
              1);
  }
}

// The install component's part of a script that "velmio -b" builds as a
// program of its own: the setup carries its script (beside the program)
// and the runner, as the in-process build adds them.
QString BuiltAlone() {
  return QStringLiteral(
             "    RunAutomatic = False\n"
             "    PresetupFiles = (\n"
             "      './script.form'\n"
             "      '%1')\n")
      .arg(QStringLiteral(QX_RUNONCE_RUNNER));
}

// A second group of the install component, into "/Help" from the main archive.
QString HelpGroup() {
  return QStringLiteral(
      "  object Help: TInstallFileGroup\n"
      "    Container = Install1\n"
      "    DestDirType = psContainerDestDir\n"
      "    DestDir = '/Help'\n"
      "    ArchiveFileType = psMainArchiveFile\n"
      "    GroupName = 'Help'\n"
      "  end\n");
}

// Two groups each carry a readme.txt of their own folder into the one main
// archive: "velmio -b" stores each under its path from the script's folder
// (a folder the script names absolutely under a digest of it), so files.1
// names no folder of the machine it was built on; the built setup.exe
// installs each into its group's folder.
TEST_F(SetupRoadTest, FilesOfOneNameFromTwoFoldersAreBuiltByVelmioAndInstalledBySetupExe) {
  qxtest::WriteBytes(src_ + QStringLiteral("/game/readme.txt"), "pelin lueminut");
  qxtest::WriteBytes(src_ + QStringLiteral("/help/readme.txt"), "ohjeen lueminut");
  const QString form = qxtest::ScriptFormHead(BuiltAlone()) + HelpGroup() +
                       qxtest::FileObject(QStringLiteral("../src/game"), QStringLiteral("Game"), QStringLiteral("readme.txt")) +
                       qxtest::FileObject(QStringLiteral("../src/help"), QStringLiteral("Help"), QStringLiteral("readme.txt")) +
                       qxtest::FileObject(src_, QStringLiteral("Game"), names_[0]) + QStringLiteral("end\n");
  qxtest::WriteBytes(form_, form.toUtf8());

  const TSetupRun build = BuildWithVelmio();
  ASSERT_EQ(build.exitCode, 0) << build.errors.toStdString();
  EXPECT_EQ(build.errors, QString());
  QStringList members = octest::MemberNames(build_ + QStringLiteral("/files.1"));
  members.sort();
  EXPECT_EQ(members, (QStringList{QStringLiteral("../src/game/readme.txt"), QStringLiteral("../src/help/readme.txt"),
                                  ArchiveKeyOf(src_, names_[0])}));
  EXPECT_FALSE(ReadBytes(build_ + QStringLiteral("/files.1")).contains(qxtest::TempRoot().toUtf8()));
  EXPECT_EQ(octest::MemberNames(build_ + QStringLiteral("/setup.1")),
            (QStringList{QStringLiteral("velmio"), QStringLiteral("script.form"), QStringLiteral("qxrunonce")}));

  const TSetupRun run = RunSetup(build_ + QStringLiteral("/setup.exe"));
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(run.errors, QString());
  EXPECT_EQ(ReadBytes(dest_ + QStringLiteral("/readme.txt")), "pelin lueminut");
  EXPECT_EQ(ReadBytes(qxtest::TempPath(QStringLiteral("programfiles/Trovaly/Help/readme.txt"))), "ohjeen lueminut");
  EXPECT_EQ(ReadBytes(dest_ + u'/' + names_[0]), contents_[0]);
}

// What the build refuses, with its message and status 1: one source file
// twice in one archive, and a key longer than the 100 bytes a member's
// name holds (rather than one cut short into another's); a key of exactly
// 100 bytes builds.
TEST_F(SetupRoadTest, TheBuildRefusesATrueDuplicateAndAKeyTooLongForTheArchive) {
  // "../src/" + folder + "/readme.txt": 100 bytes with 82 characters.
  const QString fits(82, u'k');
  const QString over(83, u'k');
  for (const QString& folder : {QStringLiteral("game"), fits, over})
    qxtest::WriteBytes(src_ + u'/' + folder + QStringLiteral("/readme.txt"), "lueminut");
  const auto file = [](const QString& group, const QString& folder) {
    return qxtest::FileObject(QStringLiteral("../src/") + folder, group, QStringLiteral("readme.txt"));
  };
  const struct {
    const char* what;
    QString files;
    QString error;  // empty: the build succeeds
  } rows[] = {
      {"one file in two groups",
       file(QStringLiteral("Game"), QStringLiteral("game")) + file(QStringLiteral("Help"), QStringLiteral("game")),
       QStringLiteral("The file ../src/game/readme.txt is already in the compressed file %1/files.1").arg(build_)},
      {"a key of 101 bytes", file(QStringLiteral("Game"), over),
       QStringLiteral("The name ../src/%1/readme.txt is longer than the 100 bytes that the compressed file holds "
                      "for a name")
           .arg(over)},
      {"a key of 100 bytes", file(QStringLiteral("Game"), fits), {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    qxtest::WriteBytes(form_, (qxtest::ScriptFormHead(QStringLiteral("    RunAutomatic = False\n")) + HelpGroup() +
                               row.files + QStringLiteral("end\n"))
                                  .toUtf8());
    BuildSetup(row.error);
    if (row.error.isEmpty()) {
      EXPECT_EQ(octest::MemberNames(build_ + QStringLiteral("/files.1")),
                QStringList{QStringLiteral("../src/%1/readme.txt").arg(fits)});
    }
  }
}

// A named pipe that no process holds stands at the destination of each
// file, one file per overwrite rule. The rule decides once, before the
// file is replaced: owAlways replaces the pipe; owNever keeps it; owVersion
// finds the same (no) version and keeps it; owDate and owVersionDate
// cannot date a pipe, and a rule that cannot decide installs the file. The
// setup ends well and nothing waits on a pipe.
TEST_F(SetupRoadTest, ANamedPipeAtADestinationIsReplacedOrKeptByEachOverwriteRule) {
  const struct {
    const char* mode;
    bool replaced;
  } rows[] = {{"owAlways", true}, {"owNever", false}, {"owVersion", false}, {"owDate", true}, {"owVersionDate", true}};
  QString form = qxtest::ScriptFormHead(BuiltAlone());
  for (const auto& row : rows) {
    const QString name = QLatin1String(row.mode) + QStringLiteral(".dat");
    qxtest::WriteBytes(src_ + u'/' + name, QByteArray("new ") + row.mode);
    form += qxtest::FileObject(src_, QStringLiteral("Game"), name,
                       QStringLiteral("    OverwriteMode = %1\n").arg(QLatin1String(row.mode)));
  }
  qxtest::WriteBytes(form_, (form + QStringLiteral("end\n")).toUtf8());
  const TSetupRun build = BuildWithVelmio();
  ASSERT_EQ(build.exitCode, 0) << build.errors.toStdString();

  QDir().mkpath(dest_);
  for (const auto& row : rows) {
    const QByteArray pipe = QFile::encodeName(dest_ + u'/' + QLatin1String(row.mode) + QStringLiteral(".dat"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0) << row.mode;
  }
  const TSetupRun run = RunSetup(build_ + QStringLiteral("/setup.exe"));
  EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_EQ(run.errors, QString());
  for (const auto& row : rows) {
    SCOPED_TRACE(row.mode);
    const QString path = dest_ + u'/' + QLatin1String(row.mode) + QStringLiteral(".dat");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(S_ISFIFO(st.st_mode), !row.replaced);
    if (row.replaced) {
      EXPECT_TRUE(S_ISREG(st.st_mode));
      EXPECT_EQ(ReadBytes(path), QByteArray("new ") + row.mode);
    }
  }
}

QStringList RunOnceValues() {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  TStringList names;
  if (registry.OpenKeyReadOnly(QString::fromLatin1(kRunOnceKey))) registry.GetValueNames(&names);
  QStringList out;
  for (int i = 0; i < names.Count(); ++i)
    out << registry.ReadString(names[i]);
  return out;
}

// Both name the same file (by device and inode).
bool SameFile(const QString& a, const QString& b) {
  struct stat x {}, y {};
  return ::stat(QFile::encodeName(a).constData(), &x) == 0 && ::stat(QFile::encodeName(b).constData(), &y) == 0 &&
         x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

// Setups in folders whose names are awkward on a command line (a blank, a
// quote, a trailing backslash, a line feed) or that the program cannot
// read as text (a byte that is not UTF-8), on either road: each installs
// with a file in use, its resume command brings the runner back to the
// same setup, the resumed run ends well, and the uninstaller removes the
// product. The setup's folder keeps what the user had in it.
TEST_F(SetupRoadTest, SetupFoldersWithAwkwardNamesInstallResumeAndUninstall) {
  BuildSetup();
  const struct {
    const char* what;
    QByteArray name;
    bool disk;
  } cases[] = {
      {"a blank", "Omat lataukset", false},
      {"a quote", "sano \"hei\" ja \"", true},
      {"a trailing backslash", "lataus\\", false},
      {"a line feed", "kaksi\nrivi\\", false},
      {"a byte that is not UTF-8, self-extracting", "lataus\xff", false},
      {"a byte that is not UTF-8, first disk", "levyke\xe4", true},
  };
  const QString inUse = dest_ + QLatin1Char('/') + names_[0];
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString exe = PlaceSetup(c.name, c.disk);
    ASSERT_FALSE(exe.isEmpty());
    const QByteArray setup = ReadBytes(exe);
    QDir().mkpath(dest_);
    QFile::remove(inUse);
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), inUse));
    QFile::setPermissions(inUse, QFile::permissions(inUse) | QFile::ExeOwner);
    auto user = std::make_unique<qxtest::TRunningProgram>(inUse);
    ASSERT_TRUE(user->Running());

    const TSetupRun first = RunSetup(exe);
    ASSERT_EQ(first.exitCode, 0) << first.errors.toStdString();
    EXPECT_EQ(InstallRecords().join(u' ').toStdString(), "Install0");
    EXPECT_TRUE(LoaderFolders().isEmpty());
    ASSERT_EQ(ResumeFolders().size(), 1);
    // The resume command splits back into the program moved for it and the
    // switches that name the setup the user started.
    const QStringList runOnce = RunOnceValues();
    ASSERT_EQ(runOnce.size(), 1);
    const QStringList args = CommandLineToArgs(runOnce[0]);
    ASSERT_EQ(args.size(), c.disk ? 4 : 5) << runOnce[0].toStdString();
    EXPECT_EQ(args[0], ResumeRoot() + u'/' + ResumeFolders().first() + QStringLiteral("/velmio"));
    EXPECT_EQ(args[1], QStringLiteral("-r"));
    EXPECT_EQ(args.last(), QStringLiteral("-c"));
    const QString source = args[c.disk ? 2 : 3].mid(2);
    const QString started = c.disk ? QStringLiteral("setup.1") : args[2].mid(2);
    EXPECT_TRUE(SameFile(source + u'/' + started, QFileInfo(exe).absolutePath() + u'/' + (c.disk ? started : QStringLiteral("setup.exe"))))
        << runOnce[0].toStdString();

    // The next login, through the real runner.
    user.reset();
    const TSetupRun login = RunSetup(RestartRunnerPath());
    EXPECT_EQ(login.exitCode, 0) << login.errors.toStdString();
    for (int i = 0; i < names_.size(); ++i)
      EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
    EXPECT_EQ(InstallRecords().join(u' ').toStdString(), "");
    EXPECT_EQ(RunOnceValues(), QStringList());
    EXPECT_TRUE(ResumeFolders().isEmpty());

    QProcess uninstall;
    uninstall.start(QStringLiteral(QX_UNINSTALL_PROGRAM), {QStringLiteral("-y"), QStringLiteral("Trovaly")});
    ASSERT_TRUE(uninstall.waitForFinished(qxtest::PeerWaitBoundMs));
    EXPECT_EQ(uninstall.exitCode(), 0) << uninstall.readAllStandardError().toStdString();
    EXPECT_EQ(octest::FolderFiles(dest_), QStringList());
    EXPECT_EQ(LoggedFiles(), QStringList());
    EXPECT_EQ(ReadBytes(exe), setup);
    EXPECT_EQ(QDir(QFileInfo(exe).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), c.disk ? 3 : 1);
  }

  // A cache folder whose name is not UTF-8 cannot hold the unpacked
  // program: refused with its reason before anything is made.
  const QByteArray cache = QFile::encodeName(qxtest::TempPath(QStringLiteral("v\u00e4limuisti"))) + "\xff";
  const QByteArray mine = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", cache);
  const TSetupRun refused = RunSetup(build_ + QStringLiteral("/setup.exe"));
  qputenv("XDG_CACHE_HOME", mine);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.errors.contains(QStringLiteral("the name of that folder is not UTF-8"))) << refused.errors.toStdString();
  struct stat st {};
  EXPECT_NE(::lstat(cache.constData(), &st), 0);
  EXPECT_EQ(InstallRecords().join(u' ').toStdString(), "");
}

// A run is known by the setup the user started: two runs of the first disk
// of a set killed in the middle of the copy keep one record, the next run
// ends well and removes it, and no unpacked setup is left; the same for a
// self-extracting setup killed once.
TEST_F(SetupRoadTest, KilledRunsKeepOneRecordAndTheGoodRunLeavesNoneAndNoUnpackedSetup) {
  BuildSetup();
  const struct {
    const char* what;
    bool disk;
    int kills;
  } cases[] = {{"first disk", true, 2}, {"self-extracting", false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const QString exe = PlaceSetup(c.disk ? QByteArrayLiteral("levyke") : QByteArrayLiteral("lataus"), c.disk);
    ASSERT_FALSE(exe.isEmpty());
    for (int kill = 0; kill < c.kills; ++kill) {
      qputenv("QX_HEADLESS_KILL_AFTER", "File1");
      const TSetupRun killed = RunSetup(exe);
      qunsetenv("QX_HEADLESS_KILL_AFTER");
      ASSERT_EQ(killed.exitCode, -2) << "the run was not killed: " << killed.errors.toStdString();
      EXPECT_EQ(InstallRecords().join(u' ').toStdString(), "Install0") << kill;
      // The killed run's folder is left; the next run removes it.
      EXPECT_EQ(LoaderFolders().size(), 1) << kill;
    }
    const TSetupRun good = RunSetup(exe);
    EXPECT_EQ(good.exitCode, 0) << good.errors.toStdString();
    EXPECT_EQ(InstallRecords().join(u' ').toStdString(), "");
    EXPECT_TRUE(LoaderFolders().isEmpty()) << LoaderFolders().join(' ').toStdString();
    for (int i = 0; i < names_.size(); ++i)
      EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
  }
}

}  // namespace
