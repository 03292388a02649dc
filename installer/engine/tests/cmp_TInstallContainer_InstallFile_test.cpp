// Install files: settings that follow from name and destination, the
// overwrite rules, a file in use replaced at the restart, self-registration,
// and the uninstall log naming exactly the files on disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <set>
#include <vector>

#include "InstallFileTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/system/RestartService.h"

extern char** environ;

namespace {

using qxtest::ReadBytes;
using qxtest::TInstallScript;

// A program started from path, killed when the object goes (unless it
// was waited for).
class TRunningProgram {
 public:
  explicit TRunningProgram(const QString& path) {
    const QByteArray p = path.toLocal8Bit();
    char* argv[] = {const_cast<char*>(p.constData()), nullptr};
    if (::posix_spawn(&pid_, p.constData(), nullptr, nullptr, argv, environ) != 0)
      pid_ = 0;
  }
  ~TRunningProgram() { Stop(); }
  bool Running() const { return pid_ > 0; }
  // Its exit code once it has ended by itself; -1 when it was killed.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Stop() {
    if (pid_ <= 0)
      return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

// Every "File<n>" value of the uninstall log's list keys.
std::set<QString> LoggedFiles() {
  std::set<QString> out;
  for (const QString& sub :
       {QStringLiteral("Files"), QStringLiteral("Files1"), QStringLiteral("ActiveX")}) {
    for (const QString& line :
         qxtest::RegistryValues(qxtest::kUninstallKey + QLatin1Char('\\') + sub)) {
      if (line.startsWith(QLatin1String("File")))
        out.insert(line.section(QLatin1Char('='), 1));
    }
  }
  return out;
}

class InstallFileTest : public testing::Test {
 protected:
  void SetUp() override {
    script_ = std::make_unique<TInstallScript>();
    group_ = script_->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
  }
  TInstallFile* File(const QString& name, const QByteArray& bytes) {
    return script_->File(group_, name, bytes);
  }
  std::unique_ptr<TInstallScript> script_;
  TInstallFileGroup* group_ = nullptr;
};

TEST_F(InstallFileTest, SettingsFollowFromNameAndDestination) {
  TInstallFile* ocx = File(QStringLiteral("grid.ocx"), "x");
  EXPECT_TRUE(ocx->ActiveX());
  EXPECT_EQ(ocx->FileType(), iftSystemWideDLL);
  EXPECT_TRUE(ocx->UpdateDLLCounter());
  EXPECT_EQ(ocx->OverwriteMode(), owVersionDate);
  EXPECT_EQ(ocx->DestDir(), QString());
  EXPECT_NE(dynamic_cast<TpsSystem*>(ocx->DestDirType()), nullptr);
  EXPECT_EQ(ocx->GetExpandedDestDir(), GetSystemDir());

  TInstallFile* help = File(QStringLiteral("trovaly10.hlp"), "h");
  EXPECT_TRUE(help->RegisterAsHelp());
  EXPECT_FALSE(help->ActiveX());
  EXPECT_EQ(help->DestName(), QStringLiteral("trovaly10.hlp"));

  TInstallFile* dll = File(QStringLiteral("longername1.dll"), "d");
  EXPECT_THROW(dll->SetFileType(iftJustADLL), IECustomInstallFile);
  EXPECT_EQ(dll->FileType(), iftNormal);
  EXPECT_EQ(dll->OverwriteMode(), owAlways);  // the refused type changed nothing
  dll->SetDestDirType(StandardPathSpecList().FindByClass<TpsWindow>());
  EXPECT_EQ(dll->OverwriteMode(), owVersionDate);

  TInstallFile* vendor = File(QStringLiteral("vend.dll"), "v");
  vendor->SetFileType(iftVendorSharedDLL);
  EXPECT_TRUE(vendor->UpdateDLLCounter());
  EXPECT_EQ(vendor->DestDir(), QStringLiteral("/System"));
  EXPECT_NE(dynamic_cast<TpsCommonFiles*>(vendor->DestDirType()), nullptr);

  TCustomInstallFileList list;
  list.Add(help);
  EXPECT_EQ(list.Get(0), help);
  EXPECT_THROW(list.Get(1), EListError);
  try {
    list.Add(nullptr);
    ADD_FAILURE();
  } catch (const IECustomInstallFileList& e) {
    EXPECT_EQ(e.Message(),
              QStringLiteral("Cannot add a blank entry to the TCustomInstallFileList object"));
  }

  auto* notAGroup = new qxtest::TInformationRecorder(script_->Root());
  notAGroup->RegisteredType = rtLink;
  EXPECT_THROW(help->SetContainer(notAGroup), IECustomInstallFile);
  EXPECT_EQ(help->Container(), group_);
}

// Each row: mode, what stands at the destination, whether it is replaced.
TEST_F(InstallFileTest, OverwriteRulesDecideWhetherTheExistingFileIsReplaced) {
  struct TRow {
    const char* name;
    TOverwriteType mode;
    int existing;  // 0 none, 1 older file, 2 newer file, 3 the stamped program
    bool replaced;
  };
  const TRow rows[] = {
      {"a1.dat", owAlways, 2, true},   {"a2.dat", owNever, 1, false},
      {"a3.dat", owNever, 0, true},    {"a4.dat", owDate, 1, true},
      {"a5.dat", owDate, 2, false},    {"a6.dat", owVersion, 0, true},
      {"a7.dat", owVersion, 1, false}, {"a8.dat", owVersionDate, 1, true},
      {"a9.dat", owVersion, 3, false}, {"kept.hlp", owNever, 2, false},
  };
  QList<TInstallFile*> files;
  for (const TRow& row : rows) {
    TInstallFile* f = File(QString::fromLatin1(row.name), QByteArray("new ") + row.name);
    f->SetOverwriteMode(row.mode);
    files << f;
  }
  script_->Build();
  const TDateTime now = FileAge(files[0]->SourcePath());
  for (int i = 0; i < files.size(); ++i) {
    const QString dest = files[i]->GetDestPath();
    switch (rows[i].existing) {
      case 1:
        qxtest::WriteBytes(dest, "old");
        FileSetDate(dest, now - 10);
        break;
      case 2:
        qxtest::WriteBytes(dest, "old");
        FileSetDate(dest, now + 10);
        break;
      case 3: QFile::copy(QStringLiteral(QX_STAMPED_PROGRAM), dest); break;
      default: break;
    }
  }
  const QByteArray stamped = ReadBytes(QStringLiteral(QX_STAMPED_PROGRAM));
  script_->Run();
  for (int i = 0; i < files.size(); ++i) {
    const QByteArray now_ = ReadBytes(files[i]->GetDestPath());
    const QByteArray kept = rows[i].existing == 3 ? stamped : QByteArray("old");
    EXPECT_EQ(now_, rows[i].replaced ? ReadBytes(files[i]->SourcePath()) : kept) << rows[i].name;
    EXPECT_EQ(files[i]->WillInstall(), rows[i].replaced) << rows[i].name;
  }
  // A help file that was kept is registered all the same.
  EXPECT_EQ(
      ReadRegString(hkLocalMachine, QString::fromLatin1(kHelpKey), QStringLiteral("KEPT.HLP"), {}),
      files.back()->GetExpandedDestDir());
}

// The destination runs as a program: the new file waits beside it as ".2"
// (".1" is taken), the move is registered for the restart, and the logs
// name the program's own name. The runner then puts the new file in place.
TEST_F(InstallFileTest, AFileInUseIsReplacedAtTheRestartAndTheLogNamesTheFinalFile) {
  TInstallFile* program = File(QStringLiteral("trovaly"), octest::Content(50000, 7));
  TInstallFile* help = File(QStringLiteral("trovaly.hlp"), octest::Content(900, 8));
  program->SetUpdateDLLCounter(true);
  auto* uninstaller = new TUninstallEXE(script_->Root());
  uninstaller->SetName(QStringLiteral("Uninstaller"));
  uninstaller->SetContainer(group_);
  qxtest::WriteBytes(script_->SourceDir() + QStringLiteral("/uninstall.exe"), "uninstaller");
  uninstaller->SetIncludeFromDir(script_->SourceDir());
  uninstaller->SetFileName(QStringLiteral("uninstall.exe"));
  uninstaller->SetDestDirType(StandardPathSpecList().FindByClass<TpsMainInstall>());
  script_->Build();

  const QString dest = program->GetDestPath();
  ForceDirectories(ExtractFileDir(dest));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), dest));
  QFile::setPermissions(dest, QFile::permissions(dest) | QFile::ExeOwner);
  qxtest::WriteBytes(ExtractFileDir(dest) + QStringLiteral("/trovaly.1"), "someone else's");
  const QByteArray running = ReadBytes(dest);
  TRunningProgram user(dest);
  ASSERT_TRUE(user.Running());

  script_->Run();

  EXPECT_TRUE(program->ReplacedInUse());
  EXPECT_EQ(program->DestName(), QStringLiteral("trovaly.2"));
  EXPECT_EQ(ReadBytes(dest), running);
  EXPECT_EQ(ReadBytes(ExtractFileDir(dest) + QStringLiteral("/trovaly.2")),
            ReadBytes(program->SourcePath()));
  EXPECT_EQ(ReadBytes(ExtractFileDir(dest) + QStringLiteral("/trovaly.1")),
            QByteArray("someone else's"));
  EXPECT_TRUE(RebootNeeded());
  const std::vector<TPendingMove> moves = PendingMoves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].target, dest);
  EXPECT_EQ(moves[0].source, ExtractFileDir(dest) + QStringLiteral("/trovaly.2"));
  // Finished after the restart: the resumed run registers it.
  TStringList unfinished;
  script_->Install()->ReadUnfinished(unfinished);
  EXPECT_EQ(unfinished.Text().trimmed(), program->Name() + QStringLiteral(";0"));
  // The logs and counts name the file by its final name.
  const QString uninstallPath =
      script_->Install()->GetExpandedDestDir() + QStringLiteral("/uninstall.exe");
  EXPECT_EQ(LoggedFiles(), (std::set<QString>{dest, help->GetDestPath()}));
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, QString::fromLatin1(kSharedDLLsKey), dest, 0), 1);
  EXPECT_EQ(ReadRegString(hkLocalMachine, QString::fromLatin1(kHelpKey),
                          QStringLiteral("TROVALY.HLP"), {}),
            ExtractFileDir(dest));
  EXPECT_EQ(
      ReadRegString(hkLocalMachine, qxtest::kUninstallKey, QStringLiteral("UninstallString"), {}),
      uninstallPath + QStringLiteral(" Trovaly"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, qxtest::kUninstallKey, QStringLiteral("DisplayName"), {}),
            QStringLiteral("Trovaly"));
  EXPECT_EQ(ReadBytes(uninstallPath), QByteArray("uninstaller"));

  // The next login: the program no longer runs, and the runner that the
  // autostart entry starts moves the file, then removes its entry.
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));
  user.Stop();
  TRunningProgram runner(RestartRunnerPath());
  ASSERT_TRUE(runner.Running());
  EXPECT_EQ(runner.Wait(), 0);
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
  EXPECT_EQ(ReadBytes(dest), ReadBytes(program->SourcePath()));
  EXPECT_FALSE(QFile::exists(ExtractFileDir(dest) + QStringLiteral("/trovaly.2")));
  EXPECT_TRUE(PendingMoves().empty());
  for (const QString& logged : LoggedFiles())
    EXPECT_TRUE(QFile::exists(logged)) << logged.toStdString();
}

// Nothing can be registered for the restart (the runner's autostart folder
// cannot take its entry): the run stops with the error, the file in use
// stays, and neither the new file nor a batch nor a record is left behind.
TEST_F(InstallFileTest, AReplacementThatCannotBeRegisteredLeavesNothingBehind) {
  TInstallFile* program = File(QStringLiteral("trovaly"), octest::Content(20000, 9));
  script_->Build();
  const QString dest = program->GetDestPath();
  ForceDirectories(ExtractFileDir(dest));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), dest));
  QFile::setPermissions(dest, QFile::permissions(dest) | QFile::ExeOwner);
  const QByteArray running = ReadBytes(dest);
  TRunningProgram user(dest);
  ASSERT_TRUE(user.Running());
  qxtest::WriteBytes(ExtractFileDir(RestartRunnerAutostartPath()), "not a folder");
  try {
    script_->Run();
    ADD_FAILURE();
  } catch (const IECustomInstallFile& e) {
    EXPECT_EQ(e.Message(), program->Name() + QStringLiteral(" cannot register a routine in the "
                                                            "register to move the files after the "
                                                            "computer is reboot"));
  }
  EXPECT_EQ(ReadBytes(dest), running);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(dest)), QStringList({"trovaly"}));
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_TRUE(qxtest::RegistryValues(QString::fromLatin1(kRunOnceKeyPath)).isEmpty());
  EXPECT_TRUE(QDir(GetTempDir()).entryList({QStringLiteral("*.bat")}, QDir::Files).isEmpty());
}

// A library exporting DllRegisterServer is loaded and called once it is in
// place; a failure raises, or during a run waits in the failed list.
TEST_F(InstallFileTest, ASelfRegisteringLibraryRegistersAndIsLoggedAsSuch) {
  const QByteArray library = ReadBytes(QStringLiteral(QX_SELFREG_LIBRARY));
  ASSERT_FALSE(library.isEmpty());
  TInstallFile* ocx = File(QStringLiteral("selfreg.ocx"), library);
  script_->Build();
  const QString mark = qxtest::TempPath(QStringLiteral("registered.txt"));
  qputenv("QX_SELFREG_MARK", mark.toLocal8Bit());
  qputenv("QX_SELFREG_RESULT", "0");
  script_->Run();
  EXPECT_EQ(ReadBytes(ocx->GetDestPath()), library);
  EXPECT_EQ(ReadBytes(mark), ocx->GetDestPath().toLocal8Bit() + '\n');
  EXPECT_EQ(qxtest::RegistryValues(qxtest::kUninstallKey + QStringLiteral("\\ActiveX")),
            QStringList({QStringLiteral("File1=") + ocx->GetDestPath() + QStringLiteral(";0"),
                         QStringLiteral("Entries=1")}));
  EXPECT_EQ(
      ReadRegInteger(hkLocalMachine, QString::fromLatin1(kSharedDLLsKey), ocx->GetDestPath(), 0),
      1);

  // The run after a restart registers it again.
  ocx->FinishAfterReboot();
  EXPECT_EQ(ReadBytes(mark), (ocx->GetDestPath().toLocal8Bit() + '\n').repeated(2));

  qputenv("QX_SELFREG_RESULT", "7");
  try {
    ocx->RegisterActiveX();
    ADD_FAILURE();
  } catch (const IECustomInstallFile& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("returned a value of 7")))
        << e.Message().toStdString();
  }
  InstallUnitState().raiseRegistrationErrors = false;
  script_->Run();
  EXPECT_EQ(InstallUnitState().failedRegistrations, QList<TCustomInstallFile*>({ocx}));
  qunsetenv("QX_SELFREG_RESULT");
  qunsetenv("QX_SELFREG_MARK");
}

TEST_F(InstallFileTest, BeforeInstallAbortSkipsTheFileAndItsCodes) {
  TInstallFile* a = File(QStringLiteral("a.dat"), "a");
  TInstallFile* b = File(QStringLiteral("b.dat"), "b");
  script_->Build();
  a->OnBeforeInstall = [](TCustomInstallFile*) { throw EAbort(); };
  auto* top = new qxtest::TInformationRecorder(script_->Root());
  top->SetName(QStringLiteral("Top"));
  top->SetDestDir(script_->Install()->GetExpandedDestDir());
  group_->SetContainer(top);
  group_->SetArchiveFileType(StandardPathSpecList().FindByClass<TpsMainArchiveFile>());
  group_->Process();
  QList<int> codesOfA;
  for (const auto& c : top->Codes) {
    if (c.param == a)
      codesOfA << c.code;
  }
  EXPECT_EQ(codesOfA, QList<int>({icBeforeInstall, icInstallAborted}));
  EXPECT_FALSE(QFile::exists(a->GetDestPath()));
  EXPECT_EQ(ReadBytes(b->GetDestPath()), QByteArray("b"));
  // Only the file that is there is logged for the uninstaller.
  EXPECT_EQ(LoggedFiles(), std::set<QString>{b->GetDestPath()});
}

// A setter after loading keeps the file's own archive; only a new container
// gives the file the container's archive.
TEST_F(InstallFileTest, SettersKeepTheFilesOwnArchiveUntilTheContainerChanges) {
  TInstallFile* f = File(QStringLiteral("own.dat"), "o");
  auto* place = new TPathSpecifier(script_->Root());
  place->OnGetPath = [](TComponent*, QString& path) { path = qxtest::TempPath(QStringLiteral("own")); };
  f->SetArchiveFileType(place);
  f->SetArchiveFile(QStringLiteral("/own.1"));
  f->SetDestName(QStringLiteral("renamed.dat"));
  f->SetDestDir(QStringLiteral("/elsewhere"));
  f->SetFileType(iftNormal);
  f->SetContainer(group_);
  EXPECT_EQ(f->ArchiveFileType(), place);
  EXPECT_EQ(f->ArchiveFile(), QStringLiteral("/own.1"));
  EXPECT_EQ(f->DestName(), QStringLiteral("renamed.dat"));
  TInstallFileGroup* other = script_->Group(QStringLiteral("Other"), QStringLiteral("/Other"));
  f->SetContainer(other);
  EXPECT_NE(dynamic_cast<TpsContainerArchiveFile*>(f->ArchiveFileType()), nullptr);
  EXPECT_EQ(f->ArchiveFile(), QString());
}

// A named pipe at the destination has no date: under owDate, and under
// owVersionDate with equal (no) versions, it cannot be compared, so the file
// is installed in its place and nothing waits on the pipe. The test holds
// the pipe's other end so that a wrong open would not hang it.
TEST_F(InstallFileTest, ANamedPipeAtTheDestinationIsReplacedWithoutWaiting) {
  TInstallFile* byDate = File(QStringLiteral("pipe1.dat"), "one");
  TInstallFile* byBoth = File(QStringLiteral("pipe2.dat"), "two");
  byDate->SetOverwriteMode(owDate);
  byBoth->SetOverwriteMode(owVersionDate);
  script_->Build();
  std::vector<int> ends;
  for (TInstallFile* f : {byDate, byBoth}) {
    const QByteArray dest = QFile::encodeName(f->GetDestPath());
    QDir().mkpath(f->GetExpandedDestDir());
    ASSERT_EQ(::mkfifo(dest.constData(), 0600), 0);
    ends.push_back(::open(dest.constData(), O_RDWR | O_NONBLOCK));
    FileSetDate(f->GetDestPath(), FileAge(f->SourcePath()) + 10);
  }
  script_->Run();
  for (TInstallFile* f : {byDate, byBoth}) {
    EXPECT_TRUE(QFileInfo(f->GetDestPath()).isFile()) << f->Name().toStdString();
    EXPECT_EQ(ReadBytes(f->GetDestPath()), ReadBytes(f->SourcePath()));
  }
  for (int fd : ends)
    ::close(fd);
}

}  // namespace
