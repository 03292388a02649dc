// The roads of a whole installation with real files and processes: a form
// file's script built with -b from a BUILD.INF into setup.1, files.1 and
// setup.exe, and that setup.exe run as a program of its own (the loader
// starting a real installation program on the engine) into the test's own
// XDG tree; damaged setups end with their error and install nothing half.

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
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Format.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartService.h"
#include "tests/support/PeerProcess.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using qxtest::ReadBytes;

struct TSetupRun {
  int exitCode = -1;
  QString errors;
};

class SetupRoadTest : public testing::Test {
 protected:
  void SetUp() override {
    setupDir_ = qxtest::TempPath(QStringLiteral("setupdir"));
    build_ = qxtest::TempPath(QStringLiteral("out"));
    dest_ = qxtest::TempPath(QStringLiteral("programfiles/Trovaly/Game"));
    const QString library = qxtest::TempPath(QStringLiteral("library"));
    QDir().mkpath(setupDir_);
    QDir().mkpath(library);
    qxtest::WriteBytes(library + QStringLiteral("/Q32V31.TXT"), "");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM),
                            library + QStringLiteral("/OndrixLoadProgram")));
    WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\Library"),
                   QStringLiteral("SearchPath"), library);
    program_ = setupDir_ + QStringLiteral("/velmio");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_HEADLESS_SETUP), program_));
    const QString src = qxtest::TempPath(QStringLiteral("src"));
    for (int i = 0; i < 3; ++i) {
      names_ << QStringLiteral("f%1.bin").arg(i);
      contents_ << octest::Content(120000 + 5000 * i, 40 + static_cast<std::uint32_t>(i));
      qxtest::WriteBytes(src + QLatin1Char('/') + names_.back(), contents_.back());
    }
    // The group's archive is psMainArchiveFile: the build adds it to files.1.
    form_ = setupDir_ + QStringLiteral("/script.form");
    QString form = qxtest::ScriptFormHead(QStringLiteral("    RunAutomatic = False\n"));
    for (int i = 0; i < names_.size(); ++i)
      form += qxtest::ScriptFormFile(QStringLiteral("File%1").arg(i), QStringLiteral("Game"), src, names_[i]);
    form += QStringLiteral("end\n");
    qxtest::WriteBytes(form_, form.toUtf8());
    qxtest::WriteBytes(setupDir_ + QStringLiteral("/BUILD.INF"), build_.toUtf8() + "\n");
  }

  // -b in process, as the program started with it does.
  void BuildSetup() {
    auto host = std::make_unique<qxtest::TTestHost>(program_);
    qxtest::TTestHost* raw = host.get();
    SetInstallHost(std::move(host));
    auto prompter = std::make_unique<qxtest::TScriptedPrompter>(
        std::deque<qxtest::TScriptedPrompter::TStep>{});
    qxtest::TScriptedPrompter* asked = prompter.get();
    SetInstallPrompter(std::move(prompter));
    SetInstallCommandLine({QStringLiteral("-b")});
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    RegisterInstallRegistryClasses();
    RegisterInstallShellLinkClasses();
    {
      TOndxCompress compressor(nullptr);
      // The installation program is large in a sanitized build.
      compressor.SetCompressionLevel(colFastest);
      TDataModule root(nullptr);
      ReadRootComponentFile(&root, form_);
      CurrentInstall()->PresetupFiles()->Add(form_);
      // The setup carries the runner that finishes its work at the next login.
      CurrentInstall()->PresetupFiles()->Add(QStringLiteral(QX_RUNONCE_RUNNER));
      ASSERT_EQ(raw->queued.size(), 1u);
      raw->RunQueued();
      EXPECT_EQ(raw->exitCode, 0);
      for (const TPromptRequest& r : asked->Requests)
        ADD_FAILURE() << r.text.toStdString();
    }
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
  }

  TSetupRun RunSetup(const QString& exe, const QStringList& arguments = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // the loader's errors stay on stderr
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(qxtest::TempRoot());
    process.start(exe, arguments);
    TSetupRun run;
    if (!process.waitForFinished(qxtest::PeerWaitBoundMs)) {
      process.kill();
      process.waitForFinished();
      return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
  }

  QStringList LoaderFolders() const {
    return QDir(qxtest::TempPath(QStringLiteral("cache/qx")))
        .entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden);
  }

  QString setupDir_, build_, dest_, program_, form_;
  QStringList names_;
  QList<QByteArray> contents_;
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

QString FileObject(const QString& src, const QString& group, const QString& name,
                   const QString& extra = {}) {
  const QString object = group + QLatin1Char('_') + QString(name).replace(QLatin1Char('.'), QLatin1Char('_'));
  return qxtest::ScriptFormFile(object, group, src, name, extra);
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
// at the restart with the file untouched; at the next login the runner its
// autostart entry names moves the file in and starts the "-r" run, which
// ends well and leaves no record, no entry and no loader folder.
TEST_F(SetupRoadTest, AFileInUseIsReplacedAtTheNextLoginAndTheResumedRunEndsWell) {
  BuildSetup();
  const QString exe = build_ + QStringLiteral("/setup.exe");
  const QString inUse = dest_ + QLatin1Char('/') + names_[0];
  QDir().mkpath(dest_);
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), inUse));
  QFile::setPermissions(inUse, QFile::permissions(inUse) | QFile::ExeOwner);
  const QByteArray old = ReadBytes(inUse);
  auto user = std::make_unique<qxtest::TRunningProgram>(inUse);
  ASSERT_TRUE(user->Running());

  const TSetupRun first = RunSetup(exe);
  EXPECT_EQ(first.exitCode, 0) << first.errors.toStdString();
  EXPECT_TRUE(first.errors.contains(QStringLiteral("log out and log in again")))
      << first.errors.toStdString();
  EXPECT_EQ(ReadBytes(inUse), old);
  for (int i = 1; i < names_.size(); ++i)
    EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
  EXPECT_EQ(PendingMoves().size(), 1u);
  EXPECT_EQ(InstallRecords(), QStringList{QStringLiteral("Install0")});
  // The resumed run needs the extracted program: its folder outlives the run.
  ASSERT_EQ(LoaderFolders().size(), 1);
  const QByteArray entry = ReadBytes(RestartRunnerAutostartPath());
  ASSERT_FALSE(entry.isEmpty());

  // The next login: the program is gone, the autostart entry's command runs.
  // So is setup.exe (a download removed since): the resumed run still finds
  // its record through its own extracted copy.
  user.reset();
  ASSERT_TRUE(QFile::remove(exe));
  QString exec;
  for (const QByteArray& line : entry.split('\n'))
    if (line.startsWith("Exec="))
      exec = QString::fromUtf8(line.mid(5));
  const QStringList command = QProcess::splitCommand(exec);
  ASSERT_FALSE(command.isEmpty()) << entry.toStdString();
  const TSetupRun login = RunSetup(command[0], command.mid(1));
  EXPECT_EQ(login.exitCode, 0) << login.errors.toStdString();
  EXPECT_EQ(ReadBytes(inUse), contents_[0]);
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_EQ(InstallRecords(), QStringList());
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
  EXPECT_TRUE(LoaderFolders().isEmpty()) << LoaderFolders().join(' ').toStdString();
}

// The whole script of a product: two file groups (the first with a file in
// use, the second with a library that registers itself and a help file),
// three registry values and a menu folder with program, help and web links;
// sharedExtra goes into the last file of the first group.
QByteArray ProductForm(const QString& src, const QString& sharedExtra = {}) {
  return (qxtest::ScriptFormHead(QStringLiteral("    RunAutomatic = False\n"),
                                 QStringLiteral("  object psProgramMenu: TpsProgramMenu\n  end\n")) +
          QStringLiteral(
             "  object Lib: TInstallFileGroup\n"
             "    Container = Install1\n"
             "    DestDirType = psContainerDestDir\n"
             "    DestDir = '/lib'\n"
             "    ArchiveFileType = psContainerArchiveFile\n"
             "    GroupName = 'Lib'\n"
             "  end\n"
             "%1%2%3%4%5"
             "  object Settings: TInstallRegistry\n"
             "    Container = Install1\n"
             "    Entries = <\n"
             "      item\n        EntryType = retInteger\n        Ident = 'fon_koko'\n"
             "        Integer = 11\n      end\n"
             "      item\n        EntryType = retText\n        Ident = 'fon_nimi'\n"
             "        Text = 'Times New Roman'\n      end\n"
             "      item\n        EntryType = retInteger\n        Ident = 'fon_vari'\n"
             "        Integer = 128\n      end>\n"
             "    Key = '\\Software\\QXTrovaly\\Ruudukko'\n"
             "    RootKey = hkCurrentUser\n"
             "  end\n"
             "  object MainGroup: TMainLinkGroup\n"
             "    Container = Install1\n"
             "    DestDir = '/Trovaly'\n"
             "  end\n"
             "  object PeliLink: TInstallMainLink\n"
             "    LinkName = 'Trovaly.lnk'\n"
             "    ObjectLocation = '/Trovaly/Game/f0.bin'\n"
             "    ObjectLocationType = psProgramFiles\n"
             "  end\n"
             "  object OhjeLink: TInstallMainLink\n"
             "    LinkName = 'Ohje Trovaly.lnk'\n"
             "    ObjectLocation = '/Trovaly/lib/trovaly10.hlp'\n"
             "    ObjectLocationType = psProgramFiles\n"
             "  end\n"
             "  object WebLink: TInstallMainLink\n"
             "    LinkName = 'Kotisivu.URL'\n"
             "    ObjectLocation = 'http://www.example.com/trovaly'\n"
             "  end\n"
             "end\n")
              .arg(FileObject(src, QStringLiteral("Game"), QStringLiteral("f0.bin")),
           FileObject(src, QStringLiteral("Game"), QStringLiteral("f1.bin")),
           FileObject(src, QStringLiteral("Game"), QStringLiteral("f2.bin"), sharedExtra),
           FileObject(src, QStringLiteral("Lib"), QStringLiteral("selfreg.ocx"),
                      QStringLiteral("    ActiveX = True\n")),
           FileObject(src, QStringLiteral("Lib"), QStringLiteral("trovaly10.hlp"))))
      .toUtf8();
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
  if (!validate.waitForFinished(qxtest::PeerWaitBoundMs))
    return QStringLiteral("desktop-file-validate hangs");
  const QString out =
      QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
  return validate.exitCode() == 0 ? out.trimmed() : QStringLiteral("exit %1: %2").arg(validate.exitCode()).arg(out);
}

TEST_F(SetupRoadTest, AProductScriptInstallsWholeWithItsMenuRegistryAndLog) {
  const QString src = qxtest::TempPath(QStringLiteral("src"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_SELFREG_LIBRARY), src + QStringLiteral("/selfreg.ocx")));
  qxtest::WriteBytes(src + QStringLiteral("/trovaly10.hlp"), "help");
  qxtest::WriteBytes(form_, ProductForm(src));
  BuildSetup();
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
  const QString src = qxtest::TempPath(QStringLiteral("src"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_SELFREG_LIBRARY), src + QStringLiteral("/selfreg.ocx")));
  qxtest::WriteBytes(src + QStringLiteral("/trovaly10.hlp"), "help");
  qxtest::WriteBytes(form_, ProductForm(src, QStringLiteral("    UpdateDLLCounter = True\n")));
  BuildSetup();
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

}  // namespace
