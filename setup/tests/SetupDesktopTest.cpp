// The whole road of the product's setup as a person meets it (SetupRoad.h):
// setup.exe copied into the home and run with the build tree out of reach,
// driven by real keys through the Finnish pages; then what it installed,
// the game started from its menu entry, the editor started from the game,
// and the uninstaller. Also the install with the game running (the restart
// page and the installed runner), a cancel and a kill that lose nothing,
// and the bad ends (a damaged setup, a full disk), each told on screen and
// in the exit status.
#include "setup/tests/SetupRoad.h"

#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/wizard/tests/TextInk.h"
#include "platform/rtl/Format.h"
#include "platform/system/ShellLinkEntry.h"
#include "tests/support/SmallDisk.h"

#include <QLabel>
#include <QRegularExpression>
#include <QPalette>

#include <functional>
#include <memory>
#include <numeric>
#include <utility>
#include <vector>

namespace {

using namespace setuproad;

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

// Text drawn on a box: how many pixels are near black, and how wide the
// band of them is (text is measured by extents, never by its glyphs).
struct TInk {
  int pixels = 0;
  int width = 0;
};
TInk InkOf(const QImage& image) {
  TInk ink;
  int left = image.width(), right = -1;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 70 || c.green() > 70 || c.blue() > 70) continue;
      ++ink.pixels;
      left = std::min(left, x);
      right = std::max(right, x);
    }
  ink.width = right - left + 1;
  return ink;
}

// The loader's box: its lines of the core font "fixed" from the top
// margin down to its button (the box's own layout: margins of 16 pixels,
// a button one line and 10 pixels high).
QRect LoaderBoxText(const QImage& box) { return QRect(0, 0, box.width(), box.height() - 16 - 25 - 8); }

// text in the loader's lines: at most 72 characters, broken at blanks.
QString LoaderLines(const QString& text) {
  QStringList lines;
  QString line;
  for (const QString& word : text.split(u' ')) {
    if (!line.isEmpty() && line.size() + 1 + word.size() > 72) lines << std::exchange(line, QString());
    line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
  }
  return (lines << line).join(u'\n');
}

// text as the X server draws the loader's font: xmessage in "fixed",
// black on white without borders, on the same display (in a corner, away
// from the box in the middle), in the loader's lines.
std::vector<int> FixedFontColumns(TDesktopSession& desk, const QString& text) {
  QProcess xmessage;
  xmessage.setProcessEnvironment(desk.Environment());
  xmessage.start(QStringLiteral("xmessage"),
                 {QStringLiteral("-fn"), QStringLiteral("fixed"), QStringLiteral("-fg"), QStringLiteral("black"),
                  QStringLiteral("-bg"), QStringLiteral("white"), QStringLiteral("-xrm"),
                  QStringLiteral("*borderWidth: 0"), QStringLiteral("-xrm"),
                  QStringLiteral("*message.scrollVertical: never"), QStringLiteral("-xrm"),
                  QStringLiteral("*message.scrollHorizontal: never"), QStringLiteral("-buttons"), QString(),
                  QStringLiteral("-title"),
                  QStringLiteral("QxExpected"), QStringLiteral("-geometry"), QStringLiteral("+0+0"),
                  LoaderLines(text)});
  std::vector<int> columns;
  const QString window = desk.WaitForWindow(QStringLiteral("QxExpected"));
  if (!window.isEmpty()) {
    // Its place on the screen (the window manager's frame around it left out).
    const QString info = QString::fromLatin1(desk.Tool("xwininfo", {"-id", window}));
    auto value = [&info](const char* label) {
      static const QRegularExpression number(QStringLiteral("^\\s*(-?\\d+)"));
      const qsizetype at = info.indexOf(QLatin1String(label));
      return at < 0 ? 0 : number.match(info.mid(at + qstrlen(label))).captured(1).toInt();
    };
    const QRect place(value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"),
                      value("Height:"));
    WaitUntil([&] {
      const QImage screen = desk.Shot(QStringLiteral("root"));
      columns = screen.isNull() || place.isEmpty() ? std::vector<int>() : InkColumns(screen, place);
      return !columns.empty();
    });
  }
  xmessage.kill();
  xmessage.waitForFinished(5000);
  return columns;
}

// The self-extracting setup with one byte changed: at the trailer's magic
// ("setup.exe"), in the header block of the setup archive ("setup.1") or of
// the installation's archive ("files.1").
QByteArray Damaged(const QString& path, const QString& part) {
  const TSelfExtractInfo info = ReadSelfExtractInfo(path);
  QByteArray exe = ReadAll(path);
  if (part == QStringLiteral("setup.exe")) {
    exe[exe.size() - 56 + 1] = 'X';
  } else if (part == QStringLiteral("setup.1")) {
    exe[info.Setup1Start + 4] = 9;  // no such layout
  } else {
    exe[info.Files1Start + 5 + 20] = 0;  // the first member has no name
  }
  return exe;
}

using SetupDesktop = TSetupRoad;

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
  EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the extracted setup is left";
  // Nothing that was written names the source or build tree.
  EXPECT_EQ(BuildTreeMentions(root_).join(u' ').toStdString(), "");

  // The game from its menu entry opens an installed puzzle in the colour
  // the setup wrote, and its editor command starts the installed editor.
  const auto entry = ReadDesktopGroup(ReadAll(menu_ + QStringLiteral("/Trovaly.desktop")),
                                      QStringLiteral("Desktop Entry"));
  ASSERT_TRUE(entry.has_value());
  const auto argv = SplitDesktopExec(entry->value(QStringLiteral("Exec")));
  ASSERT_TRUE(argv.has_value() && !argv->isEmpty());
  EXPECT_EQ(argv->first(), product_ + QStringLiteral("/trovaly"));
  game_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  StartAway(game_, argv->first(), argv->mid(1), entry->value(QStringLiteral("Path"), root_));
  ASSERT_TRUE(game_.waitForStarted(qxtest::WaitMs(10000)));
  QString main;
  ASSERT_TRUE(WaitUntil([&] {
    main = desk_.Window(QStringLiteral("Trovaly 1\\.0"));
    return !main.isEmpty() && desk_.Framed(main);
  }, kSetupStartMs)) << "the installed game did not show";
  const QString open = desk_.KeysFor(main, {"ctrl+a"}, QStringLiteral("Avaa"));
  ASSERT_FALSE(open.isEmpty()) << "no open dialog";
  desk_.Type(open, QStringLiteral("LINNUT1.vrb"));
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
  StartAway(uninstall, removerArgv->first(), removerArgv->mid(1), root_);
  ASSERT_TRUE(uninstall.waitForStarted(qxtest::WaitMs(10000)));
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
  ASSERT_TRUE(uninstall.waitForFinished(qxtest::WaitMs(60000)));
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
  ASSERT_TRUE(game_.waitForStarted(qxtest::WaitMs(10000)));

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
  // The resumed run needs the extracted setup: it waits out of the cache.
  EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the setup for the next login is in the cache";
  EXPECT_EQ(QDir(ResumeRoot()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1)
      << "the resumed run needs the extracted setup";

  // At the next login the game is no longer running; the runner completes
  // the install, which ends on its good page.
  game_.kill();
  game_.waitForFinished(5000);
  // It is the runner the autostart entry names: the copy placed in the
  // user's data folder, whatever became of the setup.
  const QStringList login = DesktopCommand(RestartRunnerAutostartPath());
  ASSERT_EQ(login, QStringList{RestartRunnerPath()});
  EXPECT_TRUE(RestartRunnerPath().startsWith(qEnvironmentVariable("XDG_DATA_HOME") + u'/'));
  QProcess runner;
  runner.setProcessChannelMode(QProcess::ForwardedChannels);
  StartAway(runner, login.first(), login.mid(1), root_);
  ASSERT_TRUE(runner.waitForStarted(qxtest::WaitMs(10000)));
  const QString good = desk_.WaitForWindow(kGoodEnd, kSetupStartMs);
  if (!good.isEmpty()) {
    desk_.KeepShot(QStringLiteral("setup-after-restart"));
    Advance(kGoodEnd, {});
  }
  ASSERT_TRUE(runner.waitForFinished(qxtest::WaitMs(120000)));
  EXPECT_FALSE(good.isEmpty()) << "the resumed install showed no good end";
  EXPECT_EQ(ReadAll(game), current);
  EXPECT_EQ(FilesBelow(product_).size(), 49);
  EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the resumed run left its setup";
  EXPECT_FALSE(QFileInfo::exists(ResumeRoot())) << "the resumed run left its setup";
  EXPECT_FALSE(QFileInfo::exists(RestartRunnerAutostartPath()));
  EXPECT_EQ(InstallRecords(), 0);
  EXPECT_EQ(BuildTreeMentions(root_).join(u' ').toStdString(), "");
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
  EXPECT_GT(SetupExit(), 0) << "a cancel is not a good end";
  EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the cancelled run left its setup";
  EXPECT_EQ(InstallRecords(), 0);
  EXPECT_TRUE(LoggedFiles().isEmpty());
  // Everything stays as it was; new are only the desktop's caches (fonts).
  const QStringList changed = HomeChanges(before, HomeState(root_));
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
  setup_.waitForFinished(qxtest::WaitMs(10000));
  EXPECT_EQ(ReadAll(mine.fileName()), QByteArray("tärkeää"));
  InstallToTheGoodEnd();
  EXPECT_EQ(FilesBelow(product_).size(), 49);
  EXPECT_EQ(ReadAll(mine.fileName()), QByteArray("tärkeää"));
}

// A damaged setup tells what is wrong in a box (the loader's own when the
// setup program cannot even be unpacked), exits with 1 and leaves nothing:
// no unpacked setup, no record, no log.
TEST_F(SetupDesktop, ADamagedSetupSaysSoInABoxAndLeavesNothing) {
  // What each says, on stderr and in its box.
  const struct {
    const char* part;
    const char* said;
  } cases[] = {
      {"setup.exe",
       "Could not read the extraction info from the archive file %1 when trying to find the correct offset "
       "into the self extracting file"},
      {"setup.1",
       "Could not read the file headers for the compressed file. The Archive file could possible be corrupt"},
      // The first member's header, read when the copy starts: the box
      // names the setup and the member, in Finnish.
      {"files.1",
       "Asennustiedosto %1 on vioittunut tai vajaa: tiedostoa ../../game/uninstall ei voi purkaa siitä. Hanki "
       "asennusohjelmasta uusi kopio ja suorita se uudelleen."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.part);
    const QByteArray damaged = Damaged(built_, QLatin1String(c.part));
    {
      QFile out(exe_);
      ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(damaged) == damaged.size());
    }
    StartSetup();
    const bool unpacks = QByteArray(c.part) == "files.1";
    if (unpacks) {
      // The installation program tells the bad end, then the error.
      ASSERT_FALSE(desk_.WaitForWindow(kBadEnd, kSetupStartMs).isEmpty()) << "no bad end";
      Advance(kBadEnd, {});
    }
    const QString box = desk_.WaitForWindow(kBox, unpacks ? kDesktopWaitMs : 60000);
    ASSERT_FALSE(box.isEmpty()) << "no box";
    // The box shows the message: its text has the ink of the message drawn
    // in the box's font (the platform's box once the installation program
    // runs, the loader's before).
    const QString said = QString::fromUtf8(c.said).replace(QStringLiteral("%1"), exe_);
    std::vector<int> expected;
    std::vector<int> shown;
    const bool alike = WaitUntil([&] {
      const QImage shot = desk_.Shot(box);
      if (shot.isNull()) return false;
      if (unpacks) {
        const QRect text = PlatformBoxText(shot);
        expected = PlatformBoxColumns(said, text.size(), shot.pixelColor(2, 2));
        shown = InkColumns(shot, text);
      } else {
        if (expected.empty()) expected = FixedFontColumns(desk_, said);
        shown = InkColumns(shot, LoaderBoxText(shot));
      }
      return !expected.empty() &&
             InkDistance(shown, expected) * 10 <= std::accumulate(expected.begin(), expected.end(), 0);
    });
    desk_.KeepShot(QStringLiteral("setup-damaged-") + QLatin1String(c.part));
    EXPECT_TRUE(alike) << "the box does not show \"" << said.toStdString() << "\": its ink is "
                       << InkDistance(shown, expected) << " pixels from the "
                       << std::accumulate(expected.begin(), expected.end(), 0) << " of the message";
    desk_.Keys(box, {"Return"});
    EXPECT_EQ(SetupExit(), 1);
    const QString errors = SetupErrors();
    EXPECT_TRUE(errors.contains(said)) << errors.toStdString();
    EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the unpacked setup is left";
    EXPECT_EQ(InstallRecords(), 0);
    EXPECT_TRUE(LoggedFiles().isEmpty());
    EXPECT_TRUE(FilesBelow(product_).isEmpty());
  }
}

// The message of a file that cannot be unpacked, as the Finnish setup says it.
const char kFinnishDamaged[] =
    "Asennustiedosto %s on vioittunut tai vajaa: tiedostoa %s ei voi purkaa siitä. Hanki "
    "asennusohjelmasta uusi kopio ja suorita se uudelleen.";

// A member of the archive damaged in its data (the setup itself unpacks
// and its pages show): the copy ends on the bad end, and the box says in
// Finnish which setup file and which of its files cannot be unpacked and
// what to do; status 1.
TEST_F(SetupDesktop, ADamagedFileInTheSetupIsToldInFinnishNamingTheSetupAndTheFile) {
  // The puzzle copied first: its compressed data gets one byte changed.
  QString member;
  qint64 at = 0;
  {
    const TSelfExtractInfo info = ReadSelfExtractInfo(exe_);
    TOndxCompress archive(nullptr);
    archive.SetCompressedFile(exe_);
    archive.SetOffset(info.Files1Start);
    for (int i = 0; i < archive.FileCount() && member.isEmpty(); ++i) {
      TlzhFileStats stats;
      archive.GetFileStats(i, stats);
      if (stats.Header.SourceName.endsWith(QStringLiteral("HYONTEISET1.vrb"))) {
        member = stats.Header.SourceName;
        at = info.Files1Start + stats.Header.DataStart + stats.Header.CompressedSize / 2;
      }
    }
  }
  ASSERT_FALSE(member.isEmpty());
  {
    QByteArray bytes = ReadAll(exe_);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    QFile out(exe_);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
  }

  StartSetup();
  ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages did not show in order";
  const QString bad = Advance(kFolder, u'(' + kBadEnd + u'|' + kGoodEnd + u')', kCopyMs);
  ASSERT_FALSE(bad.isEmpty()) << "no end";
  ASSERT_FALSE(desk_.Window(kBadEnd).isEmpty()) << "not the bad end";
  desk_.KeepShot(QStringLiteral("setup-damaged-member-end"));
  Advance(kBadEnd, {});
  const QString box = desk_.WaitForWindow(kBox);
  ASSERT_FALSE(box.isEmpty()) << "no box";
  // The box's text beside its icon: the long message in several full rows,
  // not a word or two.
  QImage shot;
  QList<qxtest::TInkRow> rows;
  const bool told = WaitUntil([&] {
    shot = desk_.Shot(box);
    rows = qxtest::InkRows(shot, QRect(56, 12, shot.width() - 68, shot.height() - 12 - 12 - 26 - 12));
    return rows.size() >= 3;
  });
  desk_.KeepShot(QStringLiteral("setup-damaged-member-box"));
  ASSERT_TRUE(told) << rows.size() << " rows of text";
  int widest = 0;
  for (const qxtest::TInkRow& row : rows) {
    EXPECT_GE(row.height, 6);
    EXPECT_LE(row.height, 20);
    widest = std::max(widest, row.width);
  }
  EXPECT_GE(widest, 300) << "the rows are not filled";
  desk_.Keys(box, {"Return"});
  EXPECT_EQ(SetupExit(), 1);
  const QString said = SetupErrors();
  const QString expected = Format(QString::fromUtf8(kFinnishDamaged), {exe_, member});
  EXPECT_TRUE(said.contains(QStringLiteral("velmio: ") + expected))
      << "expected " << expected.toStdString() << "\nsaid " << said.toStdString();
  EXPECT_FALSE(said.contains(QStringLiteral("data error"))) << said.toStdString();
  EXPECT_TRUE(ExtractedSetups().isEmpty()) << "the unpacked setup is left";
  EXPECT_EQ(InstallRecords(), 0);
}

// A target too small for the product: the run says where and how much room
// is missing before it copies anything, exits with 1 and leaves nothing;
// with the room freed, the same setup installs the whole product. On a real
// small file system (which needs the right to mount one) and through the
// setup's free-space hook (which runs everywhere).
class SetupFullDisk : public TSetupRoad {
 protected:
  // What the product takes: the sum of the archive's members.
  std::int64_t ProductBytes() {
    TOndxCompress archive(nullptr);
    archive.SetCompressedFile(exe_);
    archive.SetOffset(ReadSelfExtractInfo(exe_).Files1Start);
    TlzhFileStats stats;
    archive.GetFileStats(0, stats);
    return stats.TotalSize;
  }
  // The run on a target that lacks room, then (after free) the run that installs.
  void SaysWhereAndHowMuchThenInstalls(const std::function<void()>& free) {
    StartSetup();
    ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages did not show in order";
    ASSERT_FALSE(Advance(kFolder, u'(' + kBadEnd + u'|' + kGoodEnd + u')', kCopyMs).isEmpty()) << "no end";
    ASSERT_FALSE(desk_.Window(kBadEnd).isEmpty()) << "not the bad end";
    desk_.KeepShot(QStringLiteral("setup-disk-full-end"));
    Advance(kBadEnd, {});
    const QString box = desk_.WaitForWindow(kBox);
    ASSERT_FALSE(box.isEmpty()) << "no box";
    EXPECT_TRUE(WaitUntil([&] { return InkOf(desk_.Shot(box)).width > 150; })) << "the box shows no message";
    desk_.KeepShot(QStringLiteral("setup-disk-full"));
    desk_.Keys(box, {"Return"});
    EXPECT_EQ(SetupExit(), 1);
    const QString said = SetupErrors();
    EXPECT_TRUE(said.contains(QStringLiteral("The disk is full: ") + QFileInfo(product_).absolutePath()) &&
                said.contains(QStringLiteral(" more bytes of free space")))
        << said.toStdString();
    EXPECT_TRUE(FilesBelow(product_).isEmpty());
    EXPECT_TRUE(ExtractedSetups().isEmpty());
    EXPECT_EQ(InstallRecords(), 0);
    EXPECT_TRUE(LoggedFiles().isEmpty());

    free();
    InstallToTheGoodEnd();
    EXPECT_EQ(FilesBelow(product_).size(), 49);
    EXPECT_EQ(LoggedFiles().removeDuplicates(), 0) << "a log entry is written twice";
  }
};

TEST_F(SetupFullDisk, OnASmallFileSystem) {
  const std::int64_t product = ProductBytes();
  ASSERT_GT(product, 1 << 20);
  qxtest::TSmallDisk disk(product + (16 << 20), qEnvironmentVariable("QX_PROGRAM_FILES_DIR"));
  if (!disk.Mounted()) GTEST_SKIP() << disk.SkipReason().toStdString();
  disk.FillLeaving(product / 2);
  SaysWhereAndHowMuchThenInstalls([&] { disk.Unfill(); });
}

TEST_F(SetupFullDisk, ThroughTheFreeSpaceHook) {
  const std::int64_t product = ProductBytes();
  ASSERT_GT(product, 1 << 20);
  desk_.Environment().insert(QStringLiteral("QX_TEST_DISK_FREE"),
                             qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + u'=' + QString::number(product / 2));
  SaysWhereAndHowMuchThenInstalls([&] { desk_.Environment().remove(QStringLiteral("QX_TEST_DISK_FREE")); });
}

}  // namespace
