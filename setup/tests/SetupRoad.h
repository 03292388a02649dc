#pragma once
// The desktop roads of the product's setup as a person meets it: setup.exe
// built once by "velmio -b" from the tests' copy of the script, copied into
// a fresh folder of the test's home and run on an X server with a window
// manager, driven by real keys. The programs it starts (and the installed
// ones a test starts) run with the source and build trees hidden under
// empty mounts (tests/support/TreeGuard.h), so whatever they would take
// from there fails, and what they wrote is scanned for a file naming a
// tree (BuildTreeMentions). A road that cannot hide the trees fails. With
// QX_DESKTOP_SHOTS naming a folder, a screenshot of each page goes there.
//
// A road test derives from TSetupRoad:
//   StartSetup(); PagesUpToTheFolder(); Advance(kFolder, kGoodEnd, kCopyMs);
//   Advance(kGoodEnd, {}); EXPECT_EQ(SetupExit(), 0);
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartService.h"
#include "platform/system/ShellLinkEntry.h"
#include "tests/support/DesktopSession.h"
#include "tests/support/HomeSnapshot.h"
#include "tests/support/TreeGuard.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPalette>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <vector>

#include <signal.h>
#include <unistd.h>

namespace setuproad {

inline const QString kProduct = QStringLiteral("Trovaly 1.0");
// A setup started from a sanitized build unpacks and starts slowly. The
// waits are an idle machine's; WaitUntil scales them to the load, within
// the road's own time-out (setup/CMakeLists.txt).
inline constexpr int kSetupStartMs = 60000;
inline constexpr int kCopyMs = 120000;
// velmio -b of the tests' setup, once for all the roads of a run.
inline constexpr int kBuildMs = 180000;
// The pages' titles in the script's Finnish, as patterns: window search
// matches ASCII letters only.
inline const QString kWelcome = QStringLiteral("Tervetuloa");
inline const QString kReadme = QStringLiteral("Lueminut-tiedot");
inline const QString kComponents = QStringLiteral("Valitse asennettavat ohjelman osat");
inline const QString kFolder = QStringLiteral("Valitse K.*-valikon kansio");
inline const QString kGoodEnd = QStringLiteral("Asennus on suoritettu");
inline const QString kBadEnd = QStringLiteral("Asennus j.*i kesken");
inline const QString kRestart = QStringLiteral("Kirjaudu uudelleen sis.*n");
// The title of the setup's message boxes (the loader's too).
inline const QString kBox = QStringLiteral("Velmio");

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tests' setup.exe, built once for every test process that needs it.
inline QString TestSetupExe(QString& error) {
  const QString program = QStringLiteral(QX_VELMIO_TESTSCRIPT);
  const QString dist = QFileInfo(program).absolutePath() + QStringLiteral("/dist");
  // The setup is built again when the program or anything it installs changed.
  QByteArray stamp;
  QFileInfoList inputs = QDir(QStringLiteral(QX_PROGRAM_DIR)).entryInfoList(QDir::Files, QDir::Name);
  // ... or the loader or the runner it carries.
  const QString folder = QFileInfo(program).absolutePath();
  inputs << QFileInfo(program) << QFileInfo(folder + QStringLiteral("/library/OndrixLoadProgram"))
         << QFileInfo(folder + QStringLiteral("/../qxrunonce"));
  for (const QFileInfo& input : inputs)
    stamp += input.fileName().toUtf8() + ' ' + QByteArray::number(input.size()) + ' ' +
             QByteArray::number(input.lastModified().toMSecsSinceEpoch()) + '\n';
  QLockFile lock(QFileInfo(program).absolutePath() + QStringLiteral("/dist.lock"));
  lock.setStaleLockTime(0);
  // Another road of the run may be building it.
  if (!lock.tryLock(qxtest::WaitMs(kBuildMs))) {
    error = QStringLiteral("the tests' setup is not built in time by another road");
    return {};
  }
  const QString exe = dist + QStringLiteral("/setup.exe");
  if (ReadAll(dist + QStringLiteral("/built")) == stamp && QFileInfo::exists(exe)) return exe;
  QDir(dist).removeRecursively();
  // The build is the developer's, not the user's: its registry and
  // folders stay out of the test's home.
  QTemporaryDir developer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
    const QString place = developer.path() + u'/' + QLatin1String(name);
    QDir().mkpath(place);
    QFile::setPermissions(place, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QLatin1String(name), place);
  }
  QProcess build;
  build.setProcessEnvironment(env);
  build.setProcessChannelMode(QProcess::MergedChannels);
  build.start(program, {QStringLiteral("-b")});
  if (!build.waitForFinished(qxtest::WaitMs(kBuildMs)) || build.exitCode() != 0 || !QFileInfo::exists(exe)) {
    build.kill();
    error = QStringLiteral("velmio -b failed: ") + QString::fromLocal8Bit(build.readAll());
    return {};
  }
  QFile mark(dist + QStringLiteral("/built"));
  if (mark.open(QIODevice::WriteOnly)) mark.write(stamp);
  return exe;
}

// Every file below folder (links included), by path.
inline QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

// What a person has in the home: every file with its contents' hash
// (outside the registry's database and the runtime folder) and every
// registry value.
inline qxtest::THomeState HomeState(const QString& root) { return qxtest::HomeState(root); }

// What changed from before to after, registry values included, but for
// the desktop's own new caches (fonts): a file or value gone, changed, or
// new.
inline QStringList HomeChanges(const qxtest::THomeState& before, const qxtest::THomeState& after) {
  const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + u'/';
  QStringList changed;
  for (const auto& [what, value] : before)
    if (after.count(what) == 0 || after.at(what) != value) changed << what;
  for (const auto& [what, value] : after)
    if (before.count(what) == 0 && (!what.startsWith(cache) || what.contains(QStringLiteral("/qx/")))) changed << what;
  return changed;
}

// The files the uninstall log's lists name, in order, repeats kept.
inline QStringList LoggedFiles() {
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

// The install records (sub-keys of the engine's record key).
inline int InstallRecords() {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  TStringList records;
  if (registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\Ondrix\\Install"))) registry.GetKeyNames(&records);
  return records.Count();
}

// The setup programs the loader extracted and left.
inline QStringList ExtractedSetups() {
  return QDir(qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/qx"))
      .entryList({QStringLiteral("setup-*")}, QDir::Dirs | QDir::Hidden);
}

// Files of the test's tree that name the source or build tree: the
// registry's databases (every value, the uninstall log among them), the
// autostart entry, the menu, the product's files, its programs too.
inline QStringList BuildTreeMentions(const QString& root) { return qxtest::TreeMentions(root); }

// The Exec command of a desktop entry, split.
inline QStringList DesktopCommand(const QString& entryFile) {
  const auto entry = ReadDesktopGroup(ReadAll(entryFile), QStringLiteral("Desktop Entry"));
  if (!entry.has_value()) return {};
  const auto argv = SplitDesktopExec(entry->value(QStringLiteral("Exec")));
  return argv.has_value() ? *argv : QStringList();
}

// The shape a text leaves in a strip: the dark pixels of each column, from
// the first column with any to the last (text is compared by its ink,
// never read).
inline std::vector<int> InkColumns(const QImage& image, const QRect& area) {
  std::vector<int> columns;
  for (int x = area.left(); x <= area.right(); ++x) {
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) dark += qGray(image.pixel(x, y)) < 128;
    columns.push_back(dark);
  }
  while (!columns.empty() && columns.back() == 0) columns.pop_back();
  const auto first = std::find_if(columns.begin(), columns.end(), [](int dark) { return dark > 0; });
  columns.erase(columns.begin(), first);
  return columns;
}

// How far apart two ink shapes are: the dark pixels that differ, column by
// column.
inline int InkDistance(const std::vector<int>& a, const std::vector<int>& b) {
  int distance = 0;
  for (std::size_t x = 0; x < std::max(a.size(), b.size()); ++x)
    distance += std::abs((x < a.size() ? a[x] : 0) - (x < b.size() ? b[x] : 0));
  return distance;
}

// The platform's message box: its word-wrapped label beside the icon,
// above the button row (margins of 12, an icon of 32, buttons 26 high).
inline QRect PlatformBoxText(const QImage& box) { return QRect(56, 12, box.width() - 68, box.height() - 62); }

// text as the platform's box draws it: a label of the box's size in the
// application's font, black on the box's background.
inline std::vector<int> PlatformBoxColumns(const QString& text, const QSize& size, const QColor& background) {
  QLabel label(text);
  label.setWordWrap(true);
  label.setTextFormat(Qt::PlainText);
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = label.palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::WindowText, Qt::black);
  label.setPalette(palette);
  label.setAutoFillBackground(true);
  label.setFixedSize(size);
  const QImage image = label.grab().toImage();
  return InkColumns(image, image.rect());
}

// Return on the page of that title until it goes (the pages share one
// frame: the title changes); then the window of next, if any.
inline QString AdvancePage(TDesktopSession& desk, const QString& title, const QString& next,
                           int timeoutMs = kDesktopWaitMs) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const QString page = desk.Window(title);
    if (page.isEmpty()) break;
    desk.Keys(page, {"Return"});
    if (WaitUntil([&] { return desk.Window(title).isEmpty(); }, 5000)) break;
  }
  return next.isEmpty() ? QString() : desk.WaitForWindow(next, timeoutMs);
}

class TSetupRoad : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desk_.Start());
    QString error;
    built_ = TestSetupExe(error);
    ASSERT_FALSE(built_.isEmpty()) << error.toStdString();
    root_ = qEnvironmentVariable("QX_TEST_ROOT");
    product_ = qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + QStringLiteral("/Trovaly/Trovaly 1.0");
    menu_ = ApplicationsMenuFolder() + QStringLiteral("/Trovaly 1.0");
    // The setup as a person has it: downloaded into a folder of the home.
    const QString downloads = qEnvironmentVariable("HOME") + QStringLiteral("/Lataukset");
    QDir().mkpath(downloads);
    exe_ = downloads + QStringLiteral("/setup.exe");
    ASSERT_TRUE(QFile::copy(built_, exe_));
    QFile::setPermissions(exe_, QFile::permissions(exe_) | QFile::ExeOwner);
    ASSERT_TRUE(guard_.Check(desk_.Environment(), root_));
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

  // Starts program in process on the desktop, with the source and build
  // trees hidden from it and everything it starts.
  void StartAway(QProcess& process, const QString& program, const QStringList& arguments,
                 const QString& folder) {
    process.setProcessEnvironment(desk_.Environment());
    process.setWorkingDirectory(folder);
    guard_.Start(process, program, arguments);
  }

  void StartSetup(const QStringList& arguments = {}) {
    setup_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    StartAway(setup_, exe_, arguments, QFileInfo(exe_).absolutePath());
    ASSERT_TRUE(setup_.waitForStarted(qxtest::WaitMs(10000)));
  }
  QString Advance(const QString& title, const QString& next, int timeoutMs = kDesktopWaitMs) {
    return AdvancePage(desk_, title, next, timeoutMs);
  }
  // The welcome page. A run after one that was killed first says in a box
  // that it took that run back; the box is kept in a shot and answered.
  QString WelcomePage() {
    const QString first = desk_.WaitForWindow(u'(' + kWelcome + u'|' + kBox + u')', kSetupStartMs);
    if (first.isEmpty() || desk_.Window(kBox).isEmpty()) return first;
    earlierRunBox_ = desk_.Shot(desk_.Window(kBox));
    desk_.KeepShot(QStringLiteral("setup-0-earlier-run"));
    desk_.Keys(desk_.Window(kBox), {"Return"});
    return desk_.WaitForWindow(kWelcome, kSetupStartMs);
  }
  // From the welcome page to the folder page, keeping a shot of each.
  QString PagesUpToTheFolder() {
    if (WelcomePage().isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-1-welcome"));
    if (Advance(kWelcome, kReadme).isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-2-readme"));
    if (Advance(kReadme, kComponents).isEmpty()) return {};
    desk_.KeepShot(QStringLiteral("setup-3-components"));
    const QString page = Advance(kComponents, kFolder);
    if (!page.isEmpty()) desk_.KeepShot(QStringLiteral("setup-4-folder"));
    return page;
  }
  // Whether the platform's message box shows text: its label has the ink
  // of text drawn in the box's font (waited for while the box paints).
  bool BoxSays(const QString& box, const QString& text) {
    std::vector<int> expected, shown;
    return WaitUntil([&] {
      const QImage shot = desk_.Shot(box);
      if (shot.isNull()) return false;
      const QRect area = PlatformBoxText(shot);
      expected = PlatformBoxColumns(text, area.size(), shot.pixelColor(2, 2));
      shown = InkColumns(shot, area);
      return !expected.empty() &&
             InkDistance(shown, expected) * 10 <= std::accumulate(expected.begin(), expected.end(), 0);
    });
  }
  // The setup's exit status; -1 when it does not end, -2 when it crashed.
  int SetupExit() {
    if (!setup_.waitForFinished(qxtest::WaitMs(60000))) return -1;
    return setup_.exitStatus() == QProcess::NormalExit ? setup_.exitCode() : -2;
  }
  // What the setup printed on stderr so far (read from the pipe here: the
  // test runs no event loop while it waits).
  QString SetupErrors() {
    setup_.setReadChannel(QProcess::StandardError);
    setup_.waitForReadyRead(10);
    return QString::fromLocal8Bit(setup_.readAllStandardError());
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
  QString built_, exe_, root_, product_, menu_;
  qxtest::TTreeGuard guard_;
  // The box of the last WelcomePage that told of a killed run taken back.
  QImage earlierRunBox_;
  QProcess setup_;
  QProcess game_;
};

}  // namespace setuproad
