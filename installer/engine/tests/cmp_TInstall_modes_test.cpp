// The install component in its program: the mode its command line chooses
// (queued until the form read is done), the application's exception handler
// taken and given back, the clean-up of the setup's own files, and the build.
#include "InstallFileTestSupport.h"
#include "InstallHostTestSupport.h"
#include "InstallTestSupport.h"
#include "tests/support/HomeSnapshot.h"
#include "OndxCompressTestSupport.h"

#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/classes/DataModule.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using qxtest::MessageOf;
using qxtest::ReadBytes;
using qxtest::TTestHost;

TTestHost* PutHost(const QString& exe) {
  auto host = std::make_unique<TTestHost>(exe);
  TTestHost* raw = host.get();
  SetInstallHost(std::move(host));
  return raw;
}

struct TModeCase {
  QStringList line;
  bool runAutomatic;
  bool hooked;     // the form's activation runs the install
  int queued;      // modes wait for the end of the form read
  int maximized;   // after one activation
};
void PrintTo(const TModeCase& c, std::ostream* os) { *os << c.line.join(' ').toStdString(); }

class InstallMode : public testing::TestWithParam<TModeCase> {};

TEST_P(InstallMode, IsChosenByTheCommandLineOnceTheFormIsRead) {
  const TModeCase& row = GetParam();
  TTestHost* host = PutHost(qxtest::TempPath(QStringLiteral("velmio")));
  qxtest::WriteBytes(qxtest::TempPath(QStringLiteral("velmio")), "setup");
  SetInstallCommandLine(row.line);
  {
    TDataModule module(nullptr);
    auto* install = new TInstall(&module);
    install->SetRunAutomatic(row.runAutomatic);
    std::vector<int> stages;
    install->OnStartInstall = [&](TObject*) { stages.push_back(1); };
    install->Loaded();
    EXPECT_EQ(static_cast<int>(host->queued.size()), row.queued);
    if (row.runAutomatic || row.hooked) {
      EXPECT_EQ(host->HasActivateHandler(), row.hooked);
    }
    if (!row.runAutomatic) {
      host->Activate();
      EXPECT_EQ(host->maximized, row.maximized);
      EXPECT_TRUE(stages.empty());
    }
  }
  // Freed, the component gives the form its handler back (none here).
  EXPECT_FALSE(host->HasActivateHandler());
  SetInstallHost(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InstallMode,
    testing::Values(TModeCase{{}, true, true, 0, 0}, TModeCase{{"-b"}, true, false, 1, 0},
                    TModeCase{{"-f"}, true, false, 1, 0}, TModeCase{{"-r", "-c"}, true, false, 1, 0},
                    TModeCase{{"-b", "-r"}, true, false, 1, 0},
                    TModeCase{{"-s/media"}, false, true, 0, 1}));

TEST(InstallHostSeam, TheExceptionHandlerIsTakenAndGivenBackAndAFormIsNeeded) {
  TTestHost* host = PutHost(qxtest::TempPath(QStringLiteral("velmio")));
  QStringList shown;
  host->ExchangeExceptionHandler([&](TObject*, const Exception& e) { shown << e.Message(); });
  SetInstallCommandLine({});
  {
    TDataModule module(nullptr);
    auto* install = new TInstall(&module);
    (void)install;
    host->noForm = true;
    EXPECT_EQ(MessageOf<IEInstall>([&] { install->Loaded(); }),
              "Application.MainForm is undefined and the TInstall is not on a form. Therefore, "
              "therefore the TInstall can't run the installation automatically");
    // Outside a run, errors go where they went before.
    host->Deliver([] { throw Exception(QStringLiteral("first")); });
    EXPECT_EQ(shown, QStringList{"first"});
  }
  host->Deliver([] { throw Exception(QStringLiteral("second")); });
  EXPECT_EQ(shown, (QStringList{"first", "second"}));
  SetInstallHost(nullptr);
}

// -c removes the setup's copies only from the folder the loader made; the
// batch that does it quotes its paths.
TEST(InstallCleanup, RemovesOnlyTheLoadersFolderThroughAQuotedBatch) {
  const QString cache = qxtest::TempPath(QStringLiteral("cache home"));
  qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
  const QString loaderDir = cache + QStringLiteral("/qx/") + QLatin1String(selfextract::kFolderPrefix) +
                            QStringLiteral("a b");
  const QString installedDir = qxtest::TempPath(QStringLiteral("opt/Setup"));
  QDir().mkpath(loaderDir);
  QDir().mkpath(installedDir);
  qxtest::WriteBytes(loaderDir + QLatin1Char('/') + QLatin1String(selfextract::kMarkerName),
                     QFile::encodeName(QDir(loaderDir).canonicalPath()) + '\n');
  struct TCase {
    QString folder;
    bool veto;
    bool removed;
  };
  for (const TCase& c : {TCase{installedDir, false, false}, TCase{loaderDir, true, false},
                         TCase{loaderDir, false, true}}) {
    SCOPED_TRACE(c.folder.toStdString() + (c.veto ? " veto" : ""));
    const QString program = c.folder + QStringLiteral("/velmio");
    qxtest::WriteBytes(program, "setup");
    qxtest::WriteBytes(c.folder + QStringLiteral("/notes.txt"), "presetup");
    PutHost(program);
    SetInstallCommandLine({QStringLiteral("-c")});
    QString batch;
    {
      TDataModule module(nullptr);
      auto* install = new TInstall(&module);
      install->PresetupFiles()->Add(QStringLiteral("/elsewhere/notes.txt"));
      install->OnCleanup = [&](TCustomInstall*, bool& go) { go = !c.veto; };
      install->Loaded();
      install->CleanupSetupFiles();
      batch = install->PendingBatch();
      EXPECT_EQ(batch.isEmpty(), !c.removed);
      if (c.removed) {
        const QString text = QString::fromUtf8(ReadBytes(batch));
        EXPECT_TRUE(text.contains(QStringLiteral("ERASE \"") + program + QLatin1Char('"')));
        EXPECT_TRUE(text.contains(QStringLiteral("DELTREE /Y \"") + c.folder + QLatin1Char('"')));
        EXPECT_FALSE(QFile::exists(c.folder + QStringLiteral("/notes.txt")));
      }
    }
    EXPECT_EQ(QDir(c.folder).exists(), !c.removed);
    if (!c.removed) {
      EXPECT_TRUE(QFile::exists(program));
      EXPECT_TRUE(QFile::exists(c.folder + QStringLiteral("/notes.txt")));
    } else {
      EXPECT_FALSE(QFile::exists(batch));
    }
    SetInstallHost(nullptr);
  }
}

// -b: BUILD.INF names the build folder; the build writes setup.1, files.1
// and a self-extracting setup.exe. A failed build says why and exits 1.
TEST(InstallBuild, WritesTheDistributionOrFailsWithItsError) {
  const QString setupDir = qxtest::TempPath(QStringLiteral("setupdir"));
  const QString library = qxtest::TempPath(QStringLiteral("library"));
  QDir().mkpath(setupDir);
  QDir().mkpath(library);
  const QString program = setupDir + QStringLiteral("/velmio");
  qxtest::WriteBytes(program, octest::Content(5000, 9));
  qxtest::WriteBytes(setupDir + QStringLiteral("/readme.txt"), "read me");
  qxtest::WriteBytes(library + QStringLiteral("/Q32V31.TXT"), "");
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), library + QStringLiteral("/OndrixLoadProgram")));
  WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\Library"),
                 QStringLiteral("SearchPath"), QStringLiteral("/nowhere;") + library);

  struct TCase {
    QByteArray inf;  // empty QByteArray(): no BUILD.INF
    bool exists;
    const char* error;
  };
  const QString build = qxtest::TempPath(QStringLiteral("out"));
  for (const TCase& c : {TCase{{}, false,
                               "Need to have a BUILD.INF file in this directory with the first "
                               "line specifying the build directory"},
                         TCase{"", true,
                               "Must be 1 line in BUILD.INF. This line should specify the build "
                               "directory"},
                         TCase{(build + QStringLiteral("\nsecond line\n")).toUtf8(), true, nullptr}}) {
    SCOPED_TRACE(c.inf.toStdString());
    QFile::remove(setupDir + QStringLiteral("/BUILD.INF"));
    if (c.exists) qxtest::WriteBytes(setupDir + QStringLiteral("/BUILD.INF"), c.inf);
    TTestHost* host = PutHost(program);
    auto prompter = std::make_unique<qxtest::TScriptedPrompter>(
        c.error ? std::deque<qxtest::TScriptedPrompter::TStep>{{TPromptId::ShowError, {TPromptButton::Ok, {}}}}
                : std::deque<qxtest::TScriptedPrompter::TStep>{});
    qxtest::TScriptedPrompter* asked = prompter.get();
    SetInstallPrompter(std::move(prompter));
    qxtest::TInstallScript script;
    TInstallFileGroup* group = script.Group(QStringLiteral("Game"), QStringLiteral("/Game"));
    // The group's archive is its container's: the build's files.1.
    group->SetArchiveFileType(StandardPathSpecList().FindByClass<TpsContainerArchiveFile>());
    script.File(group, QStringLiteral("trovaly.bin"), octest::Content(40000, 4));
    script.Install()->PresetupFiles()->Add(setupDir + QStringLiteral("/readme.txt"));
    SetInstallCommandLine({QStringLiteral("-b")});
    script.Install()->Loaded();
    ASSERT_EQ(host->queued.size(), 1u);
    host->RunQueued();
    EXPECT_EQ(host->terminated, 1);
    EXPECT_TRUE(asked->Failures.isEmpty());
    if (c.error != nullptr) {
      EXPECT_EQ(host->exitCode, 1);
      ASSERT_EQ(asked->Requests.size(), 1);
      EXPECT_EQ(asked->Requests[0].text, QString::fromLatin1(c.error));
      EXPECT_FALSE(QFile::exists(build + QStringLiteral("/setup.exe")));
    } else {
      EXPECT_EQ(host->exitCode, 0);
      for (const TPromptRequest& r : asked->Requests) ADD_FAILURE() << r.text.toStdString();
      const QString exe = build + QStringLiteral("/setup.exe");
      const qint64 loaderSize = QFileInfo(QStringLiteral(QX_LOADER_PROGRAM)).size();
      const qint64 setup1Size = QFileInfo(build + QStringLiteral("/setup.1")).size();
      const TSelfExtractInfo info = ReadSelfExtractInfo(exe);
      EXPECT_EQ(info.Setup1Start, loaderSize);
      EXPECT_EQ(info.Files1Start, loaderSize + setup1Size);
      EXPECT_EQ(QFileInfo(exe).size(), loaderSize + setup1Size +
                                           QFileInfo(build + QStringLiteral("/files.1")).size() + 56);
      const QByteArray whole = ReadBytes(exe);
      EXPECT_EQ(whole.mid(info.Files1Start, info.Files1End - info.Files1Start + 1),
                ReadBytes(build + QStringLiteral("/files.1")));
      EXPECT_EQ(whole.at(whole.size() - 56), 14);
      EXPECT_EQ(whole.mid(whole.size() - 55, 14), QByteArray("SELFEXTRACTING"));
    }
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
  }
}

// The build tells each of its steps when it is done, in order: what the step
// made is on disk when the notification comes, and nothing of the next step.
TEST(InstallBuild, NotifiesEachStepOfTheBuild) {
  const QString setupDir = qxtest::TempPath(QStringLiteral("setupdir"));
  const QString library = qxtest::TempPath(QStringLiteral("library"));
  QDir().mkpath(setupDir);
  QDir().mkpath(library);
  const QString program = setupDir + QStringLiteral("/velmio");
  qxtest::WriteBytes(program, octest::Content(5000, 9));
  qxtest::WriteBytes(library + QStringLiteral("/Q32V31.TXT"), "");
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), library + QStringLiteral("/OndrixLoadProgram")));
  WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\Library"),
                 QStringLiteral("SearchPath"), library);
  qxtest::TInstallScript script;
  TInstallFileGroup* group = script.Group(QStringLiteral("Game"), QStringLiteral("/Game"));
  group->SetArchiveFileType(StandardPathSpecList().FindByClass<TpsContainerArchiveFile>());
  script.File(group, QStringLiteral("trovaly.bin"), octest::Content(40000, 4));
  TCustomInstall* install = script.Install();
  QStringList steps;
  const auto note = [&](const char* name, const QString& build) {
    return [&steps, name, build](TObject* sender) {
      QString line = QString::fromLatin1(name);
      for (const char* file : {"setup.1", "setup.exe", "files.1", "velmio"})
        if (QFile::exists(build + QLatin1Char('/') + QLatin1String(file))) line += QLatin1Char(' ') + QLatin1String(file);
      if (ReadBytes(build + QStringLiteral("/setup.exe")).right(55).startsWith("SELFEXTRACTING"))
        line += QStringLiteral(" trailer");
      if (sender != CurrentInstall()) line += QStringLiteral(" (wrong sender)");
      steps << line;
    };
  };
  const auto watch = [&](const QString& build) {
    install->OnBuildSetupArchiveStart = note("archive start:", build);
    install->OnBuildSetupArchiveEnd = note("archive end:", build);
    install->OnBeforeCopyProgram = note("before copy:", build);
    install->OnAfterCopyProgram = note("after copy:", build);
    install->OnSetupProgramReady = note("setup ready:", build);
    install->OnBuildCompressed = note("compressed:", build);
    install->OnSelfExtractStart = note("self-extractor start:", build);
    install->OnSelfExtractEnd = note("self-extractor end:", build);
  };
  const QString withLoader = qxtest::TempPath(QStringLiteral("out1"));
  watch(withLoader);
  install->BuildDistribution(program, withLoader, true);
  EXPECT_EQ(steps, (QStringList{"archive start:", "archive end: setup.1",
                                "setup ready: setup.1 setup.exe",
                                "compressed: setup.1 setup.exe files.1",
                                "self-extractor start: setup.1 setup.exe files.1",
                                "self-extractor end: setup.1 setup.exe files.1 trailer"}));
  steps.clear();
  install->SetUseLoadingProgram(false);
  const QString alone = qxtest::TempPath(QStringLiteral("out2"));
  watch(alone);
  install->BuildDistribution(program, alone, false);
  EXPECT_EQ(steps, (QStringList{"before copy:", "after copy: velmio", "setup ready: velmio",
                                "compressed: files.1 velmio"}));
}

// -f: the self-extracting setup spread over floppies that are folders (three
// here), then installed back from them. With no folder named for the drive
// the user chooses one, which is remembered; each disk prompt names its
// folder and the end names them all. A Cancel at disk 2 is "Aborted by
// user", a failure that takes back what was written; a disk too small for
// disk 1's part names the capacity it needs.
TEST(InstallFloppies, SpreadTheSetupOverThreeFoldersThatInstallBack) {
  const QString floppy = qxtest::TempPath(QStringLiteral("floppy"));
  const QString key = QString::fromLatin1(kFloppyDriveKey);
  const QString media = qxtest::TempPath(QStringLiteral("media"));
  QDir().mkpath(media);
  TTestHost* host = PutHost(media + QStringLiteral("/velmio"));
  qxtest::WriteBytes(media + QStringLiteral("/velmio"), "setup");
  auto script = std::make_unique<qxtest::TInstallScript>();
  TInstallFileGroup* group = script->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
  TInstallFile* big = script->File(group, QStringLiteral("kissa.vrb"), octest::Content(250000, 5));
  // A second member that lies wholly on the last disk.
  TInstallFile* small = script->File(group, QStringLiteral("kissa.lst"), QByteArray("KISSA\n"));
  script->Build();
  // A self-extracting program: a stand-in for the loader (the real one is
  // larger than these disks), a setup.1 and the archive.
  const QString exe = media + QStringLiteral("/setup.exe");
  qxtest::WriteBytes(exe, octest::Content(4000, 7));
  QFile::setPermissions(exe, QFile::permissions(exe) | QFile::ExeOwner);
  qxtest::WriteBytes(media + QStringLiteral("/setup.1"), octest::Content(3000, 6));
  WriteSelfExtractingProgram(exe, media + QStringLiteral("/setup.1"), script->Archive());
  const QString dest = big->GetDestPath();
  const QString smallDest = small->GetDestPath();
  const auto disk = [&](int n) { return n == 1 ? floppy : floppy + QString::number(n); };

  // again: the same disks written once more; the files it replaces leave
  // their room to it.
  enum TCase { tooSmall, cancel, whole, again };
  for (TCase c : {tooSmall, cancel, whole, again}) {
    SCOPED_TRACE(static_cast<int>(c));
    if (c != again)
      for (int d = 1; d <= 3; ++d) QDir(disk(d)).removeRecursively();
    WriteRegInteger(hkLocalMachine, key, QStringLiteral("Capacity"), c == tooSmall ? 7100 : 40000);
    std::deque<qxtest::TScriptedPrompter::TStep> steps;
    if (c == tooSmall) {
      // Nothing named yet: the user chooses the folder.
      steps.push_back({TPromptId::ChooseFloppyFolder, {TPromptButton::Ok, floppy}});
      steps.push_back({TPromptId::ShowError, {TPromptButton::Ok, {}}});
    } else if (c == cancel) {
      steps.push_back({TPromptId::InsertFloppy, {TPromptButton::Cancel, {}}});
      steps.push_back({TPromptId::ShowError, {TPromptButton::Ok, {}}});
    } else {
      steps.push_back({TPromptId::InsertFloppy, {TPromptButton::Ok, {}}});
      steps.push_back({TPromptId::InsertFloppy, {TPromptButton::Ok, {}}});
      steps.push_back({TPromptId::FloppiesWritten, {TPromptButton::Ok, {}}});
    }
    auto prompter = std::make_unique<qxtest::TScriptedPrompter>(steps);
    qxtest::TScriptedPrompter* asked = prompter.get();
    SetInstallPrompter(std::move(prompter));
    host->exitCode = 0;
    // The floppy notification sees the split's statistics as they grow.
    std::vector<std::int32_t> done;
    std::int32_t total = -1;
    script->Install()->OnFloppyStatus = [&](TOndxCompress* sender, const TlzhFileStats& stats) {
      EXPECT_EQ(sender, TOndxCompress::Global());
      done.push_back(stats.TotalDone);
      total = stats.TotalCompressed;
    };
    SetInstallCommandLine({QStringLiteral("-f"), QStringLiteral("-esetup.exe"), QStringLiteral("-s") + media});
    script->Install()->Loaded();
    ASSERT_EQ(host->queued.size(), 1u);
    host->RunQueued();
    script->Install()->OnFloppyStatus = nullptr;
    if (c == whole || c == again) {
      ASSERT_GT(done.size(), 2u);
      EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
      EXPECT_EQ(done.back(), total);
      EXPECT_GT(total, 250000 / 100);
    }
    EXPECT_TRUE(asked->Failures.isEmpty()) << asked->Failures.join(u'|').toStdString() << (asked->Requests.isEmpty() ? std::string() : asked->Requests.last().text.toStdString());
    EXPECT_TRUE(asked->Done());
    EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Folder"), {}), floppy);
    if (c == tooSmall || c == cancel) {
      EXPECT_EQ(host->exitCode, 1);
      // A failed spread takes back what it wrote on disk 1.
      for (int d = 1; d <= 3; ++d) EXPECT_FALSE(QDir(disk(d)).exists()) << d;
    }
    if (c == tooSmall) {
      ASSERT_EQ(asked->Requests.size(), 2);
      EXPECT_EQ(asked->Requests[0].path, QDir::homePath());
      // 4000 + 3000 + the header block (5 + 2 * 164) + 1
      EXPECT_EQ(asked->Requests[1].text.toStdString(),
                "Cannot create setup.1 on the A drive. Probably not enough room. The disk holds 7100 bytes; "
                "the first disk needs at least 7334 bytes.");
      continue;
    }
    if (c == cancel) {
      EXPECT_EQ(asked->Requests.last().text, QStringLiteral("Aborted by user"));
      EXPECT_EQ(asked->Requests[0].text, QStringLiteral("Please insert disk 2"));
      EXPECT_EQ(asked->Requests[0].path, disk(2));
      continue;
    }
    EXPECT_EQ(host->exitCode, 0);
    ASSERT_EQ(asked->Requests.size(), 3);
    EXPECT_EQ(asked->Requests[1].path, disk(3));
    EXPECT_EQ(asked->Requests[2].text.toStdString(),
              ("The installation is on 3 disks, in these folders:\n" + floppy + u'\n' + disk(2) + u'\n' + disk(3))
                  .toStdString());
    const TSelfExtractInfo info = ReadSelfExtractInfo(exe);
    EXPECT_EQ(ReadBytes(floppy + QStringLiteral("/setup.exe")), ReadBytes(exe).left(info.Setup1Start));
    EXPECT_TRUE(QFileInfo(floppy + QStringLiteral("/setup.exe")).isExecutable());
    EXPECT_EQ(ReadBytes(floppy + QStringLiteral("/setup.1")), octest::Content(3000, 6));
    EXPECT_TRUE(QFile::exists(floppy + QStringLiteral("/files.1")));
    EXPECT_TRUE(QFile::exists(disk(2) + QStringLiteral("/files.2")));
    EXPECT_TRUE(QFile::exists(disk(3) + QStringLiteral("/files.3")));
    for (int d = 1; d <= 3; ++d) {
      qint64 used = 0;
      for (const QFileInfo& f : QDir(disk(d)).entryInfoList(QDir::Files | QDir::Hidden)) used += f.size();
      EXPECT_LE(used, 40000) << d;
    }
  }

  // Installed back from the floppies: each disk prompt offers the folder
  // the transfer wrote that disk to, and OK takes it.
  SetInstallCommandLine({QStringLiteral("-s") + floppy});
  script->Install()->ParseCommandLine();
  QFile::remove(script->Archive());
  group->SetArchiveFileType(nullptr);
  group->SetArchiveFile(floppy + QStringLiteral("/files.1"));
  {
    // A wrong folder for disk 2 is asked for again; given up, the run takes
    // back what it had installed from disk 1, its log and its record.
    SCOPED_TRACE("a wrong disk");
    const QString wrong = qxtest::TempPath(QStringLiteral("wrong"));
    QDir().mkpath(wrong);
    const qxtest::THomeState before = qxtest::HomeState(qxtest::TempRoot());
    auto prompter = std::make_unique<qxtest::TScriptedPrompter>(std::deque<qxtest::TScriptedPrompter::TStep>{
        {TPromptId::InsertDisk, {TPromptButton::Ok, wrong}}, {TPromptId::InsertDisk, {TPromptButton::Cancel, {}}}});
    qxtest::TScriptedPrompter* asked = prompter.get();
    SetInstallPrompter(std::move(prompter));
    host->exitCode = 0;
    try {
      script->Install()->Run();
    } catch (const Exception& e) {
      script->Install()->HandleException(nullptr, e);
    }
    EXPECT_TRUE(asked->Done()) << (asked->Requests.isEmpty() ? std::string() : asked->Requests.last().text.toStdString());
    EXPECT_EQ(host->exitCode, kExitCancelled);
    EXPECT_EQ(qxtest::HomeDifferences(before, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "");
  }
  auto prompter = std::make_unique<qxtest::TScriptedPrompter>(std::deque<qxtest::TScriptedPrompter::TStep>{
      {TPromptId::InsertDisk, {TPromptButton::Ok, {}}},
      {TPromptId::InsertDisk, {TPromptButton::Ok, {}}}});
  qxtest::TScriptedPrompter* asked = prompter.get();
  SetInstallPrompter(std::move(prompter));
  script->Run();
  EXPECT_TRUE(asked->Done());
  EXPECT_TRUE(asked->Failures.isEmpty());
  ASSERT_EQ(asked->Requests.size(), 2);
  EXPECT_EQ(asked->Requests[0].path, disk(2));
  EXPECT_EQ(asked->Requests[1].path, disk(3));
  // Each disk is asked for once: the member on disk 3 is read from the
  // folder given for it before.
  EXPECT_EQ(ReadBytes(dest), octest::Content(250000, 5));
  EXPECT_EQ(ReadBytes(smallDest), QByteArray("KISSA\n"));
  script.reset();
  SetInstallPrompter(nullptr);
  SetInstallHost(nullptr);
}

}  // namespace
