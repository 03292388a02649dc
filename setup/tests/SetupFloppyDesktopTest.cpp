// The floppy road as a person meets it, through the real programs on an X
// server with a window manager and real keys, setup.exe copied into the home
// and run with the build tree out of reach (SetupRoad.h): "setup.exe *TODISK" onto disk
// folders at a capacity that needs three disks (the first folder chosen in
// the folder browser, the third disk's folder changed at its prompt), then
// the install from disk 1's setup.exe, taking the folder disk 2's prompt
// offers and typing disk 3's, each with Return in the path field, and the
// installed product checked, nothing written naming a tree. With
// QX_DESKTOP_SHOTS naming a folder, a screenshot of each step goes there.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TOndxCompress_Format.h"
#include "installer/engine/routines_Registry.h"
#include "platform/system/ProgramGroups.h"
#include "setup/tests/SetupRoad.h"
#include "tests/support/DesktopSession.h"
#include "tests/support/TestSupport.h"

#include <QColor>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

using namespace setuproad;

const QString kNextDisk = QStringLiteral("Asennus tarvitsee seuraavan levyn");

qint64 FolderBytes(const QString& folder) {
  qint64 used = 0;
  for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) used += f.size();
  return used;
}

class SetupFloppyDesktop : public TSetupRoad {
 protected:
  void SetUp() override {
    clock_.start();
    TSetupRoad::SetUp();
    home_ = qEnvironmentVariable("HOME");
  }

  void Start(const QString& program, const QStringList& args) {
    setup_.setProcessChannelMode(QProcess::ForwardedChannels);
    StartAway(setup_, program, args, home_);
    ASSERT_TRUE(setup_.waitForStarted(qxtest::WaitMs(10000)));
  }
  int Exit() {
    if (!setup_.waitForFinished(qxtest::WaitMs(120000))) return -1;
    return setup_.exitStatus() == QProcess::NormalExit ? setup_.exitCode() : -2;
  }
  // A visible window of the running setup other than its main window (the
  // loader becomes the installation program in the same process).
  QString WaitForSetupDialog(int timeoutMs) {
    QString id;
    WaitUntil([&] {
      const QStringList ids = QString::fromUtf8(desk_.Tool("xdotool", {"search", "--onlyvisible", "--pid",
                                                                       QString::number(setup_.processId())}))
                                  .split(u'\n', Qt::SkipEmptyParts);
      id.clear();
      for (const QString& one : ids) {
        const QString name = QString::fromUtf8(desk_.Tool("xdotool", {"getwindowname", one})).trimmed();
        if (!name.isEmpty() && name != QStringLiteral("Trovaly 1.0 - asennus") && desk_.Framed(one)) id = one;
      }
      return !id.isEmpty();
    }, timeoutMs);
    return id;
  }
  // The window shows its content (a window not yet drawn is black).
  bool Drawn(const QString& id) {
    return WaitUntil([&] {
      const QImage image = desk_.Shot(id);
      return !image.isNull() && image.pixelColor(10, 10) != QColor(Qt::black);
    }, 10000);
  }
  void Stage(const char* what) {
    std::fprintf(stderr, "floppy road: %s after %lld ms\n", what, static_cast<long long>(clock_.elapsed()));
  }
  // On the disk prompt: a click in the path field, folder typed over its
  // text (none: the folder offered stays), then Return in the field, or a
  // click on Proceed with byClick; then the window of next. Empty when the
  // prompt stays.
  QString AnswerDisk(const QString& prompt, const QString& folder, const QString& next, int timeoutMs,
                     bool byClick = false) {
    bool closed = false;
    for (int attempt = 0; attempt < 3 && !closed; ++attempt) {
      desk_.Tool("xdotool", {"windowactivate", "--sync", prompt});
      desk_.Tool("xdotool", {"mousemove", "--window", prompt, "220", "115", "click", "1"});
      if (!folder.isEmpty()) {
        desk_.Keys(prompt, {"ctrl+a", "BackSpace"});
        desk_.Type(prompt, folder);
      }
      if (byClick)
        desk_.Tool("xdotool", {"mousemove", "--window", prompt, "265", "154", "click", "1"});
      else
        desk_.Keys(prompt, {"Return"});
      closed = WaitUntil([&] { return !desk_.Windows(kNextDisk).contains(prompt); }, 5000);
    }
    return closed ? desk_.WaitForWindow(next, timeoutMs) : QString();
  }

  QString home_;
  QElapsedTimer clock_;
};

TEST_F(SetupFloppyDesktop, TransfersToThreeDiskFoldersAndInstallsFromThem) {
  // A capacity that spreads this setup over exactly three disks: disk 1
  // holds the loader, setup.1 and the archive's headers.
  const TSelfExtractInfo info = ReadSelfExtractInfo(exe_);
  const qint64 loader = info.Setup1Start;
  const qint64 setup1 = qint64{info.Setup1End} - info.Setup1Start + 1;
  const qint64 files1 = qint64{info.Files1End} - info.Files1Start + 1;
  const qint64 headers = 5 + qint64{kOcHeaderSize} * 50 + 1;
  const qint64 total = loader + setup1 + headers + files1;
  const qint64 capacity = std::max(total * 2 / 5 + 1, loader + setup1 + headers + 65536);
  ASSERT_LT(2 * capacity, total) << "this setup does not need three disks at any capacity";
  const QString key = QString::fromLatin1(kFloppyDriveKey);
  WriteRegInteger(hkLocalMachine, key, QStringLiteral("Capacity"), static_cast<int>(capacity));
  const QString disk1 = home_ + QStringLiteral("/levyke");
  const QString disk2 = disk1 + u'2';
  const QString other = home_ + QStringLiteral("/toinen levy");
  ASSERT_TRUE(QDir().mkpath(disk1));

  // No folder stands for the drive yet: the folder browser asks.
  Start(exe_, {QStringLiteral("*TODISK")});
  Stage("setup.exe built and copied");
  const QString browser = WaitForSetupDialog(kSetupStartMs);
  ASSERT_FALSE(browser.isEmpty()) << "no folder browser";
  Stage(("folder browser " + desk_.Tool("xdotool", {"getwindowname", browser}).trimmed()).constData());
  EXPECT_TRUE(Drawn(browser)) << "the folder browser was not drawn";
  desk_.KeepShot(QStringLiteral("floppy-1-browser"));
  desk_.Keys(browser, {"ctrl+a"});
  desk_.Type(browser, disk1);
  desk_.Keys(browser, {"Return"});
  // Disk 2's prompt names its folder; Proceed takes it.
  const QString second = desk_.WaitForWindow(kNextDisk, kCopyMs);
  ASSERT_FALSE(second.isEmpty()) << "no prompt for disk 2";
  Stage("disk 2");
  EXPECT_TRUE(Drawn(second));
  desk_.KeepShot(QStringLiteral("floppy-2-disk2"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, key, QStringLiteral("Folder"), {}), disk1);
  desk_.Keys(second, {"space"});
  ASSERT_TRUE(WaitUntil([&] { return !desk_.Windows(kNextDisk).contains(second); }, 10000));
  // Disk 3 goes to a folder the user types at its prompt.
  const QString third = desk_.WaitForWindow(kNextDisk, kCopyMs);
  ASSERT_FALSE(third.isEmpty()) << "no prompt for disk 3";
  EXPECT_TRUE(Drawn(third));
  desk_.KeepShot(QStringLiteral("floppy-3-disk3"));
  const QString end = AnswerDisk(third, other, kBox, kCopyMs, true);
  ASSERT_FALSE(end.isEmpty()) << "no word of where the disks are";
  Stage("transfer done");
  EXPECT_TRUE(Drawn(end));
  desk_.KeepShot(QStringLiteral("floppy-4-done"));
  Advance(kBox, {});
  EXPECT_EQ(Exit(), 0);

  // Disk 1: the loader without trailer, still a program, setup.1 and the
  // archive's first part; no disk holds more than the capacity.
  EXPECT_TRUE(QFileInfo(disk1 + QStringLiteral("/setup.exe")).isExecutable());
  EXPECT_EQ(QFileInfo(disk1 + QStringLiteral("/setup.exe")).size(), loader);
  EXPECT_EQ(QFileInfo(disk1 + QStringLiteral("/setup.1")).size(), setup1);
  EXPECT_TRUE(QFileInfo::exists(disk1 + QStringLiteral("/files.1")));
  EXPECT_TRUE(QFileInfo::exists(disk2 + QStringLiteral("/files.2")));
  EXPECT_TRUE(QFileInfo::exists(other + QStringLiteral("/files.3")));
  EXPECT_FALSE(QFileInfo::exists(disk1 + QStringLiteral("3")));
  for (const QString& disk : {disk1, disk2, other}) EXPECT_LE(FolderBytes(disk), capacity) << disk.toStdString();

  // The install from disk 1 asks for disks 2 and 3 and ends well.
  Start(disk1 + QStringLiteral("/setup.exe"), {});
  ASSERT_FALSE(desk_.WaitForWindow(kWelcome, kSetupStartMs).isEmpty()) << "disk 1's setup did not start";
  Stage("install started");
  ASSERT_FALSE(Advance(kWelcome, kReadme).isEmpty());
  ASSERT_FALSE(Advance(kReadme, kComponents).isEmpty());
  ASSERT_FALSE(Advance(kComponents, kFolder).isEmpty());
  const QString ask2 = Advance(kFolder, kNextDisk, kCopyMs);
  ASSERT_FALSE(ask2.isEmpty()) << "the install did not ask for disk 2";
  Stage("install asks for disk 2");
  EXPECT_TRUE(Drawn(ask2));
  desk_.KeepShot(QStringLiteral("floppy-5-install-disk2"));
  // Disk 2's prompt offers the folder the transfer wrote it to: Return in
  // the path field takes it as it is (disk 1's folder would be asked for
  // again and again, and the install would end badly).
  const QString ask3 = AnswerDisk(ask2, {}, kNextDisk, kCopyMs);
  ASSERT_FALSE(ask3.isEmpty()) << "the install did not ask for disk 3";
  const QString good = AnswerDisk(ask3, other, kGoodEnd, kCopyMs);
  ASSERT_FALSE(good.isEmpty()) << "no good end";
  Stage("good end");
  EXPECT_TRUE(Drawn(good));
  desk_.KeepShot(QStringLiteral("floppy-6-good-end"));
  Advance(kGoodEnd, {});
  EXPECT_EQ(Exit(), 0);

  // The product as the ordinary road installs it.
  const QString product = qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + QStringLiteral("/Trovaly/Trovaly 1.0");
  const QStringList installed = FilesBelow(product);
  EXPECT_EQ(installed.size(), 49);
  for (const QString& file : installed)
    EXPECT_EQ(qxtest::ReadBytes(file), qxtest::ReadBytes(QStringLiteral(QX_PROGRAM_DIR) + u'/' + QFileInfo(file).fileName()))
        << file.toStdString();
  for (const char* program : {"trovaly", "muokkain"})
    EXPECT_TRUE(QFileInfo(product + u'/' + QLatin1String(program)).isExecutable()) << program;
  EXPECT_EQ(FilesBelow(ApplicationsMenuFolder() + QStringLiteral("/Trovaly 1.0")).size(), 6);
  // Nothing the transfer or the install wrote names a tree.
  EXPECT_EQ(BuildTreeMentions(root_).join(u'\n').toStdString(), "");
}

}  // namespace
