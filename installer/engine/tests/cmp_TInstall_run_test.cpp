// The install run as the program drives it: the host's main form is
// activated once, the run broadcasts its stages, the application's exception
// handler (the install component's while it lives) ends a failed run, and a
// file in use ends the run at the restart, which the resumed run finishes.
#include "InstallFileTestSupport.h"
#include "InstallTestSupport.h"
#include "InstallHostTestSupport.h"
#include "OndxCompressTestSupport.h"

#include "installer/engine/InstallHost.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/system/CommandLine.h"
#include "platform/system/RestartService.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>


namespace {

using qxtest::ReadBytes;
using qxtest::TInstallScript;
using qxtest::TScriptedPrompter;
using TStep = TScriptedPrompter::TStep;
using qxtest::TRunningProgram;
using qxtest::TTestHost;

const QString kRecordRoot = QStringLiteral("\\SOFTWARE\\Ondrix\\Install");

QStringList RecordNames() {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  TStringList names;
  if (registry.OpenKeyReadOnly(kRecordRoot)) registry.GetKeyNames(&names);
  QStringList out;
  for (int i = 0; i < names.Count(); ++i) out << names[i];
  return out;
}

// A setup program file of its own (its size and date identify its record),
// a host speaking for the application, and a script with one group of two
// files built into its archive, run with "-d -s<dist>".
class InstallRunTest : public testing::Test {
 protected:
  void SetUp() override {
    program_ = qxtest::TempPath(QStringLiteral("setup/velmio"));
    qxtest::WriteBytes(program_, "the setup program");
    auto host = std::make_unique<TTestHost>(program_);
    host_ = host.get();
    SetInstallHost(std::move(host));
    script_ = std::make_unique<TInstallScript>();
    ASSERT_TRUE(host_->HasHandler());
    group_ = script_->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
    a_ = script_->File(group_, QStringLiteral("trovaly.bin"), octest::Content(30000, 1));
    b_ = script_->File(group_, QStringLiteral("trovaly.hlp"), octest::Content(9000, 2));
    recorder_ = new qxtest::TStageRecorder(script_->Root());
    recorder_->SetName(QStringLiteral("Pages"));
    recorder_->SetContainer(script_->Install());
    SetInstallCommandLine({QStringLiteral("-d"), QStringLiteral("-s") + qxtest::TempPath(QStringLiteral("build"))});
    script_->Install()->ParseCommandLine();
  }
  void TearDown() override {
    script_.reset();
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
  }
  TScriptedPrompter* Expect(std::deque<TStep> steps) {
    auto prompter = std::make_unique<TScriptedPrompter>(std::move(steps));
    TScriptedPrompter* raw = prompter.get();
    SetInstallPrompter(std::move(prompter));
    return raw;
  }
  // The stages heard, without the file progress (-998: one per block).
  QStringList Codes() const {
    QStringList out;
    for (const auto& c : recorder_->Codes)
      if (c.code != scFileStatus) out << QString::number(c.code);
    return out;
  }

  QString program_;
  TTestHost* host_ = nullptr;
  std::unique_ptr<TInstallScript> script_;
  TInstallFileGroup* group_ = nullptr;
  TInstallFile* a_ = nullptr;
  TInstallFile* b_ = nullptr;
  qxtest::TStageRecorder* recorder_ = nullptr;
};

std::string J(const QStringList& list) { return list.join(QLatin1Char(' ')).toStdString(); }

const QStringList kOpening{"-984", "-974", "-973", "-983", "-986", "-976", "-975", "-982",
                           "-981", "-977", "-980", "-990", "-999", "-992", "-997"};

TEST_F(InstallRunTest, AGoodEndBroadcastsEveryStageInOrderAndRemovesItsRecord) {
  script_->Build();
  TScriptedPrompter* prompts = Expect({});
  QStringList recordsDuringRun;
  recorder_->OnMessage = [&](TInstallContainer*, int code, TObject*) {
    if (code == scBeforeInstallWizard) recordsDuringRun = RecordNames();
  };
  host_->Activate();
  host_->Activate();  // a later activation runs nothing again

  EXPECT_EQ(J(Codes()), J((kOpening + QStringList{"-997", "-996", "-989", "-995", "-979"})));
  EXPECT_EQ(recordsDuringRun, QStringList{"Install0"});
  EXPECT_EQ(RecordNames(), QStringList());
  EXPECT_EQ(ReadBytes(a_->GetDestPath()), octest::Content(30000, 1));
  EXPECT_EQ(ReadBytes(b_->GetDestPath()), octest::Content(9000, 2));
  EXPECT_EQ(host_->maximized, 1);
  EXPECT_EQ(host_->terminated, 1);
  EXPECT_EQ(host_->exitCode, 0);
  EXPECT_FALSE(script_->Install()->Running());
  EXPECT_TRUE(prompts->Requests.isEmpty());
  // -d: nothing of the setup's own is cleaned up.
  EXPECT_EQ(script_->Install()->PendingBatch(), QString());
}

// An exception in a file ends in the bad end and its message; a bad-end
// page that fails itself does not hide it.
TEST_F(InstallRunTest, AnExceptionInAFileEndsBadAndShowsTheRealError) {
  script_->Build();
  for (bool pageFails : {false, true}) {
    SCOPED_TRACE(pageFails);
    recorder_->Codes.clear();
    host_->terminated = 0;
    b_->OnBeforeInstall = [](TCustomInstallFile*) { throw Exception(QStringLiteral("The disk is on fire")); };
    recorder_->OnMessage = [&](TInstallContainer*, int code, TObject*) {
      if (pageFails && code == scBadEndPage) throw Exception(QStringLiteral("page broke"));
    };
    TScriptedPrompter* prompts = Expect({{TPromptId::ShowError, {TPromptButton::Ok, {}}}});
    // A new run of the same activation hook is not possible: run as the owner would.
    if (!pageFails) {
      host_->Activate();
    } else {
      try {
        script_->Install()->Run();
      } catch (const Exception& e) {
        script_->Install()->HandleException(nullptr, e);
      }
    }
    const QStringList expected = pageFails ? kOpening + QStringList{"-996", "-994"}
                                           : kOpening + QStringList{"-996", "-994", "-978"};
    EXPECT_EQ(J(Codes()), J(expected));
    ASSERT_EQ(prompts->Requests.size(), 1);
    EXPECT_EQ(prompts->Requests[0].text, QStringLiteral("The disk is on fire"));
    EXPECT_TRUE(prompts->Failures.isEmpty());
    EXPECT_EQ(host_->terminated, 1);
    // An error end is told in the exit status and, like a cancel, leaves
    // no record: the next start of the setup begins clean.
    EXPECT_EQ(host_->exitCode, kExitFailed);
    EXPECT_EQ(RecordNames(), QStringList());
    EXPECT_FALSE(script_->Install()->Running());
    host_->exitCode = 0;
  }
  // Outside a run an error shows as usual and ends nothing.
  TScriptedPrompter* prompts = Expect({{TPromptId::ShowError, {TPromptButton::Ok, {}}}});
  host_->terminated = 0;
  script_->Install()->HandleException(nullptr, Exception(QStringLiteral("later")));
  ASSERT_EQ(prompts->Requests.size(), 1);
  EXPECT_EQ(host_->terminated, 0);
}

// Cancel at the disk prompt: the bad end without an error box, the record
// gone, the old file whole, what the run wrote before taken back (a new
// file gone, a replaced one as it was); the host handled the messages while
// the files were extracted.
TEST_F(InstallRunTest, AUserAbortOnThePromptEndsBadWithoutAnErrorAndRemovesTheRecord) {
  TInstallFile* big = script_->File(group_, QStringLiteral("kissa.vrb"), octest::Content(300000, 3));
  script_->Build();
  const QString disk1 = qxtest::TempPath(QStringLiteral("disk1"));
  const QString disk2 = qxtest::TempPath(QStringLiteral("disk2"));
  QDir().mkpath(disk1);
  QDir().mkpath(disk2);
  {
    TOndxCompress splitter(nullptr);
    splitter.SetCompressedFile(script_->Archive());
    octest::LimitFolders(splitter, {{disk1, 20000}});
    splitter.OnNewDisk = [&](TOndxCompress*, int, QString& path) { path = disk2; };
    splitter.SplitToDisks(disk1, QStringLiteral("files.1"));
  }
  ASSERT_TRUE(QFile::exists(disk2 + QStringLiteral("/files.2")));
  QFile::remove(script_->Archive());
  ASSERT_TRUE(QFile::copy(disk1 + QStringLiteral("/files.1"), script_->Archive()));
  ForceDirectories(ExtractFileDir(big->GetDestPath()));
  qxtest::WriteBytes(big->GetDestPath(), "the old one");
  qxtest::WriteBytes(a_->GetDestPath(), "the old game");
  TScriptedPrompter* prompts = Expect({{TPromptId::InsertDisk, {TPromptButton::Cancel, {}}}});

  host_->Activate();

  // The third file needs disk 2: -993, then the prompt's Cancel.
  EXPECT_EQ(J(Codes()), J((kOpening + QStringList{"-997", "-997", "-993", "-996", "-994", "-978"})));
  ASSERT_EQ(prompts->Requests.size(), 1);
  EXPECT_EQ(prompts->Requests[0].disk, 2);
  EXPECT_TRUE(prompts->Failures.isEmpty());
  EXPECT_EQ(ReadBytes(big->GetDestPath()), QByteArray("the old one"));
  EXPECT_EQ(RecordNames(), QStringList());
  EXPECT_EQ(host_->terminated, 1);
  EXPECT_EQ(host_->exitCode, kExitCancelled);
  EXPECT_EQ(ReadBytes(a_->GetDestPath()), QByteArray("the old game"));
  EXPECT_FALSE(QFile::exists(b_->GetDestPath()));
  EXPECT_EQ(QDir(ExtractFileDir(big->GetDestPath()))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
            (QStringList{QStringLiteral("kissa.vrb"), QStringLiteral("trovaly.bin")}));
  EXPECT_GE(host_->pumped, 39000 / 4096);
}

// A cancel after a file in use was met: the new copy that waited beside it
// goes, and so does its move at the next login; the file in use stays.
TEST_F(InstallRunTest, ACancelAfterAFileInUseLeavesNoMoveForTheNextLogin) {
  script_->Build();
  const QString dest = a_->GetDestPath();
  ForceDirectories(ExtractFileDir(dest));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), dest));
  QFile::setPermissions(dest, QFile::permissions(dest) | QFile::ExeOwner);
  const QByteArray inUse = ReadBytes(dest);
  TRunningProgram user(dest);
  ASSERT_TRUE(user.Running());
  b_->OnStatus = [](TCustomInstallFile*, int, int) { throw EAIUserAbort(); };
  Expect({});

  host_->Activate();

  EXPECT_EQ(host_->exitCode, kExitCancelled);
  EXPECT_EQ(ReadBytes(dest), inUse);
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_EQ(QDir(ExtractFileDir(dest)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("trovaly.bin")});
}

// A destination without room for the run's files: the run ends bad before
// any file is written, saying which folder lacks how many bytes; the same
// run with the room freed installs.
TEST_F(InstallRunTest, ATargetWithoutRoomEndsBeforeTheCopyAndSaysWhereAndHowMuch) {
  script_->Build();
  const QString folder = ExtractFileDir(a_->GetDestPath());
  ForceDirectories(folder);
  qxtest::TSmallDisk disk(1 << 20, folder);
  if (!disk.Mounted()) GTEST_SKIP() << disk.SkipReason().toStdString();
  const std::int64_t left = disk.FillLeaving(8192);
  // Each file takes whole pages of the tmpfs.
  const std::int64_t needed = 8 * 4096 + 3 * 4096;
  TScriptedPrompter* prompts = Expect({{TPromptId::ShowError, {TPromptButton::Ok, {}}}});

  host_->Activate();

  ASSERT_EQ(prompts->Requests.size(), 1);
  EXPECT_EQ(prompts->Requests[0].text.toStdString(),
            QStringLiteral("The disk is full: %1 needs %2 more bytes of free space")
                .arg(folder)
                .arg(needed - left)
                .toStdString());
  EXPECT_EQ(host_->exitCode, kExitFailed);
  EXPECT_FALSE(QFile::exists(a_->GetDestPath()));
  EXPECT_FALSE(QFile::exists(b_->GetDestPath()));

  disk.Unfill();
  Expect({});
  script_->Install()->Run();
  EXPECT_EQ(ReadBytes(a_->GetDestPath()), octest::Content(30000, 1));
  EXPECT_EQ(ReadBytes(b_->GetDestPath()), octest::Content(9000, 2));

  // Installed again: every old file is kept until the run ends (a cancel
  // or an error brings it back), so the whole new build needs room.
  const std::int64_t stillFree = disk.FillLeaving(8192);
  prompts = Expect({{TPromptId::ShowError, {TPromptButton::Ok, {}}}});
  try {
    script_->Install()->Run();
  } catch (const Exception& e) {
    script_->Install()->HandleException(nullptr, e);
  }
  ASSERT_EQ(prompts->Requests.size(), 1);
  EXPECT_EQ(prompts->Requests[0].text.toStdString(),
            QStringLiteral("The disk is full: %1 needs %2 more bytes of free space")
                .arg(folder)
                .arg(needed - stillFree)
                .toStdString());
  EXPECT_EQ(ReadBytes(a_->GetDestPath()), octest::Content(30000, 1));
}

// A file in use: RunOnce holds the resume command, the restart page is
// broadcast, the user is told to log in again, no good end; at the next
// login the runner replaces the file and the resumed run ends well.
TEST_F(InstallRunTest, AFileInUseEndsAtTheRestartAndTheResumedRunEndsWell) {
  script_->Build();
  const QString dest = a_->GetDestPath();
  ForceDirectories(ExtractFileDir(dest));
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_INUSE_PROGRAM), dest));
  QFile::setPermissions(dest, QFile::permissions(dest) | QFile::ExeOwner);
  auto user = std::make_unique<TRunningProgram>(dest);
  ASSERT_TRUE(user->Running());
  TScriptedPrompter* prompts = Expect({{TPromptId::RebootFailed, {TPromptButton::Ok, {}}}});

  host_->Activate();

  EXPECT_EQ(J(Codes()), J((kOpening + QStringList{"-997", "-996", "-989", "-987"})));
  ASSERT_EQ(prompts->Requests.size(), 1);
  EXPECT_TRUE(prompts->Requests[0].text.contains(QStringLiteral("log out and log in again")));
  EXPECT_EQ(host_->terminated, 2);
  EXPECT_EQ(RecordNames(), QStringList{"Install0"});
  const QString runOnce = ReadRegString(hkLocalMachine, QString::fromLatin1(kRunOnceKey),
                                        QStringLiteral("OndrixUnfinished"), {});
  const QString build = qxtest::TempPath(QStringLiteral("build"));
  EXPECT_EQ(runOnce.toStdString(),
            (QLatin1Char('"') + program_ + QStringLiteral("\" -r \"-s") + build + QLatin1Char('"')).toStdString());
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));

  // The next login: the program that used the file is gone, the runner
  // moves the new file in (its RunOnce command is this test's own, taken
  // out here and run in-process below).
  user.reset();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey(QString::fromLatin1(kRunOnceKey), false));
  registry.DeleteValue(QStringLiteral("OndrixUnfinished"));
  registry.CloseKey();
  EXPECT_TRUE(RunRestartWork().AllDone());
  EXPECT_EQ(ReadBytes(dest), octest::Content(30000, 1));

  // The resumed run: the same setup program started with RunOnce's switches.
  script_.reset();
  SetRebootNeeded(false);
  const QStringList args = CommandLineToArgs(runOnce);
  ASSERT_EQ(args.value(0), program_);
  script_ = std::make_unique<TInstallScript>();
  recorder_ = new qxtest::TStageRecorder(script_->Root());
  recorder_->SetName(QStringLiteral("Pages"));
  recorder_->SetContainer(script_->Install());
  SetInstallCommandLine(args.mid(1));
  script_->Install()->Loaded();
  ASSERT_EQ(host_->queued.size(), 1u);
  host_->RunQueued();
  EXPECT_EQ(J(Codes()), J((QStringList{"-995", "-979"})));
  EXPECT_EQ(RecordNames(), QStringList());
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
}

// Two setup programs get Install0 and Install1; the first run again finds
// Install0 and updates it; a freed Install0 is taken by the next new one.
TEST_F(InstallRunTest, EachSetupProgramFindsItsOwnRecord) {
  InstallUnitState().installRecordKey.clear();
  TCustomInstall* install = script_->Install();
  EXPECT_EQ(install->GetInstallKey(false), QString());
  EXPECT_EQ(install->GetInstallKey(true), kRecordRoot + QStringLiteral("\\Install0"));
  const QString other = qxtest::TempPath(QStringLiteral("setup/other"));
  qxtest::WriteBytes(other, "another, longer setup program");
  auto host = std::make_unique<TTestHost>(other);
  std::unique_ptr<TInstallHost> mine = SetInstallHost(std::move(host));
  EXPECT_EQ(install->GetInstallKey(true), kRecordRoot + QStringLiteral("\\Install1"));
  std::unique_ptr<TInstallHost> theirs = SetInstallHost(std::move(mine));
  WriteRegString(hkLocalMachine, kRecordRoot + QStringLiteral("\\Install0"), QStringLiteral("Path"),
                 QStringLiteral("/moved/velmio"));
  EXPECT_EQ(install->GetInstallKey(false), kRecordRoot + QStringLiteral("\\Install0"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, kRecordRoot + QStringLiteral("\\Install0"), QStringLiteral("Path"), {}),
            program_);
  InstallUnitState().installRecordKey = kRecordRoot + QStringLiteral("\\Install0");
  install->DeleteInstallRecord();
  EXPECT_EQ(RecordNames(), QStringList{"Install1"});
  qxtest::WriteBytes(program_, "the setup program, rebuilt");
  EXPECT_EQ(install->GetInstallKey(true), kRecordRoot + QStringLiteral("\\Install0"));
  // A line of the unfinished list that is not a number names itself.
  InstallUnitState().installRecordKey = kRecordRoot + QStringLiteral("\\Install0");
  WriteRegString(hkLocalMachine, kRecordRoot + QStringLiteral("\\Install0\\Unfinished"),
                 QStringLiteral("File1"), QStringLiteral("x"));
  EXPECT_EQ(qxtest::MessageOf<IEInstall>([&] { install->FinishAfterReboot(); }),
            QStringLiteral("There is an invalid entry for the unfinished install list File1;x"));
}

// The install's processing is its run: State := fcsInstall on the install
// component opens the record, broadcasts every stage and ends well. The
// hourglass shows while the file information is read and while the group
// installs, and is back afterwards.
TEST_F(InstallRunTest, TheStateInstallRunsTheWholeRunWithTheHourglass) {
  script_->Build();
  TScriptedPrompter* prompts = Expect({});
  QStringList recordsDuringRun;
  QList<bool> busyAt;
  recorder_->OnMessage = [&](TInstallContainer*, int code, TObject*) {
    if (code == scBeforeInstallWizard) recordsDuringRun = RecordNames();
  };
  a_->OnBeforeInstall = [&](TCustomInstallFile*) { busyAt << host_->busy; };
  script_->Install()->OnBeforeReadArchiveInfo = [&](TObject*) { busyAt << host_->busy; };
  script_->Install()->OnStartInstall = [&](TObject*) { busyAt << host_->busy; };
  script_->Install()->SetState(fcsInstall);
  EXPECT_EQ(script_->Install()->State(), fcsNone);
  EXPECT_EQ(J(Codes()), J((kOpening + QStringList{"-997", "-996", "-989", "-995", "-979"})));
  EXPECT_EQ(recordsDuringRun, QStringList{"Install0"});
  EXPECT_EQ(RecordNames(), QStringList());
  EXPECT_EQ(ReadBytes(a_->GetDestPath()), octest::Content(30000, 1));
  EXPECT_EQ(busyAt, (QList<bool>{false, false, true}));
  EXPECT_FALSE(host_->busy);
  EXPECT_GE(host_->cursorChanges, 4);
  EXPECT_TRUE(prompts->Requests.isEmpty());

  // A file that fails puts the cursor back all the same.
  host_->busy = false;
  b_->OnBeforeInstall = [](TCustomInstallFile*) { throw Exception(QStringLiteral("broken")); };
  EXPECT_THROW(group_->Process(), Exception);
  EXPECT_FALSE(host_->busy);
}

// A host whose main form the test frees before the install component (the
// component sits on a data module).
class TFreedFormHost : public TTestHost {
 public:
  using TTestHost::TTestHost;
  TComponent* MainForm() override { return form; }
  bool IsHookableForm(TComponent* f) override { return f != nullptr && f == form; }
  void SetActivateHandler(TComponent* f, TNotifyEvent handler) override {
    handlerSetOn << f;
    TTestHost::SetActivateHandler(f, std::move(handler));
  }
  TComponent* form = nullptr;
  QList<TComponent*> handlerSetOn;
};

TEST(InstallComponentForm, AMainFormFreedFirstIsNotUsedAfterwards) {
  auto host = std::make_unique<TFreedFormHost>(qxtest::TempPath(QStringLiteral("setup/velmio")));
  TFreedFormHost* raw = host.get();
  auto* form = new TComponent(nullptr);
  raw->form = form;
  SetInstallHost(std::move(host));
  SetInstallCommandLine({});
  {
    auto script = std::make_unique<TInstallScript>();
    ASSERT_EQ(raw->handlerSetOn, QList<TComponent*>{form});
    raw->form = nullptr;
    delete form;
    script.reset();
  }
  EXPECT_EQ(raw->handlerSetOn.size(), 1);
  SetInstallHost(nullptr);
}

}  // namespace
