// The whole road of the product's setup as a person meets it: setup.exe
// built by "velmio -b" from the tests' copy of the script (found letters'
// font colour changed), run on an X server with a window manager and driven
// by real keys through the Finnish pages; then what it installed, the game
// started from its menu entry, the editor started from the game, and the
// uninstaller. Also the install with the game running (the restart page and
// the runner), and a cancel and a kill that lose nothing. With
// QX_DESKTOP_SHOTS naming a folder, a screenshot of each page goes there.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLinkEntry.h"
#include "tests/support/DesktopSession.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include <signal.h>

namespace {

const QString kProduct = QStringLiteral("Trovaly 1.0");
// A setup started from a sanitized build unpacks and starts slowly.
constexpr int kSetupStartMs = 240000;
constexpr int kCopyMs = 300000;
// The pages' titles in the script's Finnish, as patterns: window search
// matches ASCII letters only.
const QString kWelcome = QStringLiteral("Tervetuloa");
const QString kReadme = QStringLiteral("Lueminut-tiedot");
const QString kComponents = QStringLiteral("Valitse asennettavat ohjelman osat");
const QString kFolder = QStringLiteral("Valitse K.*-valikon kansio");
const QString kGoodEnd = QStringLiteral("Asennus on suoritettu");
const QString kBadEnd = QStringLiteral("Asennus j.*i kesken");
const QString kRestart = QStringLiteral("Kirjaudu uudelleen sis.*n");

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tests' setup.exe, built once for every test process that needs it.
QString TestSetupExe(QString& error) {
  const QString program = QStringLiteral(QX_VELMIO_TESTSCRIPT);
  const QString dist = QFileInfo(program).absolutePath() + QStringLiteral("/dist");
  // The setup is built again when the program or anything it installs changed.
  QByteArray stamp;
  QFileInfoList inputs = QDir(QStringLiteral(QX_PROGRAM_DIR)).entryInfoList(QDir::Files, QDir::Name);
  inputs << QFileInfo(program);
  for (const QFileInfo& input : inputs)
    stamp += input.fileName().toUtf8() + ' ' + QByteArray::number(input.size()) + ' ' +
             QByteArray::number(input.lastModified().toMSecsSinceEpoch()) + '\n';
  QLockFile lock(QFileInfo(program).absolutePath() + QStringLiteral("/dist.lock"));
  lock.setStaleLockTime(0);
  if (!lock.lock()) {
    error = QStringLiteral("cannot lock the build of the tests' setup");
    return {};
  }
  const QString exe = dist + QStringLiteral("/setup.exe");
  if (ReadAll(dist + QStringLiteral("/built")) == stamp && QFileInfo::exists(exe)) return exe;
  QDir(dist).removeRecursively();
  QProcess build;
  build.setProcessChannelMode(QProcess::MergedChannels);
  build.start(program, {QStringLiteral("-b")});
  if (!build.waitForFinished(15 * 60 * 1000) || build.exitCode() != 0 || !QFileInfo::exists(exe)) {
    build.kill();
    error = QStringLiteral("velmio -b failed: ") + QString::fromLocal8Bit(build.readAll());
    return {};
  }
  QFile mark(dist + QStringLiteral("/built"));
  if (mark.open(QIODevice::WriteOnly)) mark.write(stamp);
  return exe;
}

// Every file below folder (links included), by path.
QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

// What a person has in the home: every file with its contents' hash,
// outside the registry's database and the runtime folder.
std::map<QString, QByteArray> HomeState(const QString& root) {
  std::map<QString, QByteArray> state;
  for (const QString& file : FilesBelow(root)) {
    if (file.contains(QStringLiteral("/qx/registry/")) || file.contains(QStringLiteral("/runtime/")))
      continue;
    state[file] = QCryptographicHash::hash(ReadAll(file), QCryptographicHash::Sha1);
  }
  return state;
}

QStringList LoggedFiles() {
  const QString log = QString::fromLatin1(kUninstallKeyBase) + kProduct;
  QStringList files;
  for (int n = 0; n < 10; ++n) {
    const QString key = log + QStringLiteral("\\Files") + (n ? QString::number(n) : QString());
    const int count = ReadRegString(hkLocalMachine, key, QStringLiteral("Entries"), QStringLiteral("0")).toInt();
    for (int i = 1; i <= count; ++i)
      files << ReadRegString(hkLocalMachine, key, QStringLiteral("File") + QString::number(i), {});
  }
  files.sort();
  return files;
}

// Pixels of a colour close to pure green (the script's found-letter font).
int GreenPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.green() > 200 && c.red() < 90 && c.blue() < 90) ++count;
    }
  return count;
}

class SetupDesktop : public testing::Test {
 protected:
  void SetUp() override {
    const QString reason = desk_.Start();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    QString error;
    exe_ = TestSetupExe(error);
    ASSERT_FALSE(exe_.isEmpty()) << error.toStdString();
    root_ = qEnvironmentVariable("QX_TEST_ROOT");
    product_ = qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + QStringLiteral("/Trovaly/Trovaly 1.0");
    menu_ = ApplicationsMenuFolder() + QStringLiteral("/Trovaly 1.0");
  }
  void TearDown() override {
    if (HasFailure()) desk_.KeepShot(QStringLiteral("setup-failure-") + TestName());
    for (QProcess* p : {&setup_, &game_}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->kill();
      p->waitForFinished(5000);
    }
    for (const QString& pid : PidsOf(product_)) ::kill(pid.toInt(), SIGKILL);
  }
  static QString TestName() {
    return QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  void StartSetup() {
    setup_.setProcessEnvironment(desk_.Environment());
    setup_.setProcessChannelMode(QProcess::ForwardedChannels);
    setup_.setWorkingDirectory(root_);
    setup_.start(exe_, {});
    ASSERT_TRUE(setup_.waitForStarted(10000));
  }
  // Return on the page of that title until it goes (the pages share one
  // frame: the title changes); then the window of next, if any.
  QString Advance(const QString& title, const QString& next, int timeoutMs = kDesktopWaitMs) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      const QString page = desk_.Window(title);
      if (page.isEmpty()) break;
      desk_.Keys(page, {"Return"});
      if (WaitUntil([&] { return desk_.Window(title).isEmpty(); }, 5000)) break;
    }
    return next.isEmpty() ? QString() : desk_.WaitForWindow(next, timeoutMs);
  }
  // From the welcome page to the folder page, keeping a shot of each.
  QString PagesUpToTheFolder() {
    if (desk_.WaitForWindow(kWelcome, kSetupStartMs).isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-1-welcome"));
    if (Advance(kWelcome, kReadme).isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-2-readme"));
    if (Advance(kReadme, kComponents).isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-3-components"));
    const QString page = Advance(kComponents, kFolder);
    if (!page.isEmpty()) desk_.KeepShot(QStringLiteral("setup-4-folder"));
    return page;
  }
  int SetupExit() {
    if (!setup_.waitForFinished(60000)) return -1;
    return setup_.exitStatus() == QProcess::NormalExit ? setup_.exitCode() : -2;
  }
  // The whole install through its pages to the good end, closed.
  void InstallToTheGoodEnd() {
    StartSetup();
    const QString folder = PagesUpToTheFolder();
    ASSERT_FALSE(folder.isEmpty()) << "the pages did not show in order";
    const QString good = Advance(kFolder, kGoodEnd, kCopyMs);
    ASSERT_FALSE(good.isEmpty()) << "no good end";
    desk_.KeepShot(QStringLiteral("setup-5-good-end"));
    Advance(kGoodEnd, {});
    EXPECT_EQ(SetupExit(), 0);
  }

  // Processes running a program below folder.
  static QStringList PidsOf(const QString& folder) {
    QStringList pids;
    if (folder.isEmpty()) return pids;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      if (pid.toInt() <= 0) continue;
      const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
      if (exe.startsWith(folder + u'/')) pids << pid;
    }
    return pids;
  }

  TDesktopSession desk_;
  QString exe_, root_, product_, menu_;
  QProcess setup_;
  QProcess game_;
};

TEST_F(SetupDesktop, InstallsPlaysAndUninstalls) {
  InstallToTheGoodEnd();
  if (HasFatalFailure()) return;

  // The 49 files as the build made them, the programs runnable; the
  // uninstaller beside the product's folder.
  const QString source = QStringLiteral(QX_PROGRAM_DIR);
  const QStringList installed = FilesBelow(product_);
  EXPECT_EQ(installed.size(), 49);
  for (const QString& file : installed)
    EXPECT_EQ(ReadAll(file), ReadAll(source + u'/' + QFileInfo(file).fileName())) << file.toStdString();
  for (const char* program : {"trovaly", "muokkain"})
    EXPECT_TRUE(QFileInfo(product_ + u'/' + QLatin1String(program)).isExecutable()) << program;
  const QString uninstaller = QFileInfo(product_).absolutePath() + QStringLiteral("/uninstall");
  EXPECT_EQ(ReadAll(uninstaller), ReadAll(source + QStringLiteral("/uninstall")));

  // The menu folder with five entries and the web search.
  const QStringList links = FilesBelow(menu_);
  QStringList names;
  for (const QString& link : links) names << QFileInfo(link).fileName();
  EXPECT_EQ(names.join(u'|').toStdString(),
            "Muokkain ohje.desktop|Muokkain.desktop|Poista Trovaly .desktop|Trovaly ohje.desktop|"
            "Trovaly.desktop|Word Puzzles.URL");
  for (const QString& link : links) {
    if (link.endsWith(QStringLiteral(".desktop"))) {
      EXPECT_EQ(DesktopFileProblems(link), "") << link.toStdString();
    }
  }
  EXPECT_TRUE(ReadAll(menu_ + QStringLiteral("/Word Puzzles.URL")).contains("word+puzzles"));

  // The game's defaults, the tests' colour among them.
  const QString grid = QStringLiteral("\\Software\\QXTrovaly\\Ruudukko");
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, grid, QStringLiteral("fon_koko"), 0), 11);
  EXPECT_EQ(ReadRegString(hkCurrentUser, grid, QStringLiteral("fon_nimi"), {}), "Times New Roman");
  EXPECT_EQ(ReadRegInteger(hkCurrentUser, grid, QStringLiteral("fon_vari"), 0), 65280);
  EXPECT_EQ(ReadRegString(hkCurrentUser, QStringLiteral("\\Software\\QXTrovaly\\Animaatio"),
                          QStringLiteral("hahmo"), {}),
            "j");

  // The log names what is on disk; nothing of the run is left behind.
  QStringList onDisk = installed + links;
  onDisk.sort();
  EXPECT_EQ(LoggedFiles().join(u'\n').toStdString(), onDisk.join(u'\n').toStdString());
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  TStringList records;
  if (registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\Ondrix\\Install"))) registry.GetKeyNames(&records);
  EXPECT_EQ(records.Count(), 0) << "an install record is left";
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    TRegistry runOnce;
    runOnce.SetRootKey(root);
    TStringList values;
    if (runOnce.OpenKeyReadOnly(QString::fromLatin1(kRunOnceKey))) runOnce.GetValueNames(&values);
    EXPECT_EQ(values.Count(), 0) << "a RunOnce value is left";
  }
  EXPECT_TRUE(QDir(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/qx"))
                  .entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden)
                  .isEmpty());

  // The game from its menu entry opens an installed puzzle in the colour
  // the setup wrote, and its editor command starts the installed editor.
  const auto entry = ReadDesktopGroup(ReadAll(menu_ + QStringLiteral("/Trovaly.desktop")),
                                      QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(entry.has_value());
  const auto argv = SplitDesktopExec(entry->value(QStringLiteral("Exec")));
  ASSERT_TRUE(argv.has_value() && !argv->isEmpty());
  EXPECT_EQ(argv->first(), product_ + QStringLiteral("/trovaly"));
  game_.setProcessEnvironment(desk_.Environment());
  game_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  game_.setWorkingDirectory(entry->value(QStringLiteral("Path"), root_));
  game_.start(argv->first(), argv->mid(1));
  ASSERT_TRUE(game_.waitForStarted(10000));
  QString main;
  ASSERT_TRUE(WaitUntil([&] {
    main = desk_.Window(QStringLiteral("Trovaly 1\\.0"));
    return !main.isEmpty() && desk_.Framed(main);
  }, kSetupStartMs)) << "the installed game did not show";
  const QString open = desk_.KeysFor(main, {"ctrl+a"}, QStringLiteral("Avaa"));
  ASSERT_FALSE(open.isEmpty()) << "no open dialog";
  desk_.Type(QStringLiteral("LINNUT1.vrb"));
  desk_.Keys(open, {"Return"});
  ASSERT_TRUE(WaitUntil([&] { return desk_.Window(QStringLiteral("Avaa")).isEmpty(); }));
  const QString playing = desk_.WaitForWindow(QStringLiteral("Trovaly 1\\.0 - \\[LINNUT1\\]"));
  ASSERT_FALSE(playing.isEmpty()) << "the installed puzzle did not open";
  EXPECT_TRUE(WaitUntil([&] { return GreenPixels(desk_.Shot(playing)) > 200; }))
      << "the grid does not show the setup's font colour";
  desk_.KeepShot(QStringLiteral("setup-6-installed-game"));
  const QString editor = desk_.KeysFor(playing, {"ctrl+e"}, QStringLiteral("Muokkain.*"), kSetupStartMs);
  ASSERT_FALSE(editor.isEmpty()) << "the game did not start the editor";
  EXPECT_TRUE(WaitUntil([&] {
    for (const QString& pid : PidsOf(product_))
      if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == product_ + QStringLiteral("/muokkain"))
        return true;
    return false;
  })) << "the editor that runs is not the installed one";
  game_.kill();
  game_.waitForFinished(5000);
  for (const QString& pid : PidsOf(product_)) ::kill(pid.toInt(), SIGKILL);
  WaitUntil([&] { return PidsOf(product_).isEmpty(); });

  // The uninstaller removes what the install made and keeps the user's file.
  const QString mine = product_ + QStringLiteral("/oma.vrb");
  QFile own(mine);
  ASSERT_TRUE(own.open(QIODevice::WriteOnly) && own.write("oma") == 3);
  own.close();
  // Started from its menu entry, it asks in a box; "Kyllä" is answered.
  const auto remover = ReadDesktopGroup(ReadAll(menu_ + QStringLiteral("/Poista Trovaly .desktop")),
                                        QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(remover.has_value());
  const auto removerArgv = SplitDesktopExec(remover->value(QStringLiteral("Exec")));
  ASSERT_TRUE(removerArgv.has_value() && !removerArgv->isEmpty());
  EXPECT_EQ(removerArgv->first(), uninstaller);
  QProcess uninstall;
  uninstall.setProcessEnvironment(desk_.Environment());
  uninstall.start(removerArgv->first(), removerArgv->mid(1));
  ASSERT_TRUE(uninstall.waitForStarted(10000));
  const QString ask = desk_.WaitForWindow(QStringLiteral("Trovaly 1\\.0"), kSetupStartMs);
  ASSERT_FALSE(ask.isEmpty()) << "the uninstaller did not ask";
  desk_.KeepShot(QStringLiteral("uninstall-1-ask"));
  for (int attempt = 0; attempt < 3; ++attempt) {
    desk_.Keys(ask, {"alt+k"});
    if (WaitUntil([&] { return !desk_.Windows(QStringLiteral("Trovaly 1\\.0")).contains(ask); }, 5000)) break;
  }
  const QString told = desk_.WaitForWindow(QStringLiteral("Trovaly 1\\.0"));
  desk_.KeepShot(QStringLiteral("uninstall-2-outcome"));
  if (!told.isEmpty()) desk_.Keys(told, {"Return"});
  ASSERT_TRUE(uninstall.waitForFinished(60000));
  const QString said = QString::fromUtf8(uninstall.readAllStandardOutput());
  EXPECT_EQ(uninstall.exitCode(), 0) << said.toStdString() << uninstall.readAllStandardError().toStdString();
  EXPECT_TRUE(said.contains(mine)) << said.toStdString();
  EXPECT_EQ(FilesBelow(QFileInfo(product_).absolutePath()).join(u'\n').toStdString(), mine.toStdString());
  EXPECT_FALSE(QFileInfo::exists(menu_));
  EXPECT_TRUE(LoggedFiles().isEmpty());
}

TEST_F(SetupDesktop, WithTheGameRunningTheRestartPageShowsAndTheRunnerFinishes) {
  // An older game runs from the product's folder.
  const QString game = product_ + QStringLiteral("/trovaly");
  const QByteArray current = ReadAll(QStringLiteral(QX_PROGRAM_DIR "/trovaly"));
  ASSERT_TRUE(QDir().mkpath(product_));
  {
    QFile older(game);
    ASSERT_TRUE(older.open(QIODevice::WriteOnly) && older.write(current + "older") == current.size() + 5);
  }
  QFile::setPermissions(game, QFile::permissions(game) | QFile::ExeOwner);
  QProcessEnvironment headless = desk_.Environment();
  headless.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  game_.setProcessEnvironment(headless);
  game_.start(game, {});
  ASSERT_TRUE(game_.waitForStarted(10000));

  StartSetup();
  const QString folder = PagesUpToTheFolder();
  ASSERT_FALSE(folder.isEmpty()) << "the pages did not show in order";
  const QString restart = Advance(kFolder, kRestart, kCopyMs);
  ASSERT_FALSE(restart.isEmpty()) << "no restart page";
  desk_.KeepShot(QStringLiteral("setup-restart-page"));
  // Restarting now cannot end the session: a box says to log in again.
  const QString box = Advance(kRestart, QStringLiteral("Velmio"));
  ASSERT_FALSE(box.isEmpty()) << "no word about logging in again";
  desk_.KeepShot(QStringLiteral("setup-log-in-again"));
  Advance(QStringLiteral("Velmio"), {});
  EXPECT_EQ(SetupExit(), 0);
  EXPECT_EQ(ReadAll(game).right(5), "older") << "the game in use was replaced under it";

  // At the next login the game is no longer running; the runner completes
  // the install, which ends on its good page.
  game_.kill();
  game_.waitForFinished(5000);
  QProcess runner;
  runner.setProcessEnvironment(desk_.Environment());
  runner.setProcessChannelMode(QProcess::ForwardedChannels);
  runner.start(QStringLiteral(QX_RUNONCE_RUNNER), {});
  ASSERT_TRUE(runner.waitForStarted(10000));
  const QString good = desk_.WaitForWindow(kGoodEnd, kSetupStartMs);
  if (!good.isEmpty()) {
    desk_.KeepShot(QStringLiteral("setup-after-restart"));
    Advance(kGoodEnd, {});
  }
  ASSERT_TRUE(runner.waitForFinished(120000));
  EXPECT_FALSE(good.isEmpty()) << "the resumed install showed no good end";
  EXPECT_EQ(ReadAll(game), current);
  EXPECT_EQ(FilesBelow(product_).size(), 49);
  EXPECT_TRUE(QDir(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/qx"))
                  .entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden)
                  .isEmpty());
}

TEST_F(SetupDesktop, ACancelAndAKillLoseNothingAndTheNextRunInstalls) {
  const QString home = qEnvironmentVariable("HOME");
  QFile mine(home + QStringLiteral("/muistiinpanot.txt"));
  ASSERT_TRUE(mine.open(QIODevice::WriteOnly) && mine.write("tärkeää") > 0);
  mine.close();
  WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\QXTrovaly\\Ruudukko"), QStringLiteral("fon_nimi"),
                 QStringLiteral("Arial"));
  const auto before = HomeState(root_);

  // Cancel on the components page: the bad end, and the home as it was.
  StartSetup();
  ASSERT_FALSE(desk_.WaitForWindow(kWelcome, kSetupStartMs).isEmpty());
  ASSERT_FALSE(Advance(kWelcome, kReadme).isEmpty());
  const QString components = Advance(kReadme, kComponents);
  ASSERT_FALSE(components.isEmpty());
  desk_.Keys(components, {"Escape"});
  const QString bad = desk_.WaitForWindow(kBadEnd);
  ASSERT_FALSE(bad.isEmpty()) << "a cancel showed no bad end";
  desk_.KeepShot(QStringLiteral("setup-cancelled"));
  Advance(kBadEnd, {});
  EXPECT_NE(SetupExit(), -1);
  // Everything stays as it was; new are only the desktop's caches (fonts).
  const auto after = HomeState(root_);
  const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + u'/';
  QStringList changed;
  for (const auto& [file, hash] : before)
    if (after.count(file) == 0 || after.at(file) != hash) changed << file;
  for (const auto& [file, hash] : after)
    if (before.count(file) == 0 && (!file.startsWith(cache) || file.contains(QStringLiteral("/qx/"))))
      changed << file;
  EXPECT_TRUE(changed.isEmpty()) << "the cancelled setup changed " << changed.join(u' ').toStdString();
  EXPECT_EQ(ReadRegString(hkCurrentUser, QStringLiteral("\\Software\\QXTrovaly\\Ruudukko"),
                          QStringLiteral("fon_nimi"), {}),
            "Arial");

  // Killed during the copy: what was there stays; the next run installs.
  StartSetup();
  ASSERT_FALSE(PagesUpToTheFolder().isEmpty());
  Advance(kFolder, {});
  ASSERT_TRUE(WaitUntil([&] { return !FilesBelow(product_).isEmpty(); }, kCopyMs)) << "the copy did not start";
  setup_.kill();
  setup_.waitForFinished(10000);
  EXPECT_EQ(ReadAll(mine.fileName()), QByteArray("tärkeää"));
  InstallToTheGoodEnd();
  EXPECT_EQ(FilesBelow(product_).size(), 49);
  EXPECT_EQ(ReadAll(mine.fileName()), QByteArray("tärkeää"));
}

}  // namespace
