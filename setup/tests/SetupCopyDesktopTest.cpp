// The copy as a person watches it: setup.exe, its copy slowed by the test
// hook (QX_TEST_COPY_PACE_MS), on an X server with a window manager. The
// copy window shows the file being copied and the file and total progress
// while the copy runs; Cancel, clicked in the middle of the copy, ends on
// the bad end and leaves the home as it was (a file it had replaced
// already has its old contents back), and so does closing the window; the
// next run installs every file. With QX_DESKTOP_SHOTS naming a folder, the shots go there.
#include "setup/tests/SetupDesktopSupport.h"
#include "tests/support/DesktopSession.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using setuptest::FilesBelow;
using setuptest::HomeState;

// A setup started from a sanitized build unpacks and starts slowly.
constexpr int kSetupStartMs = 240000;
constexpr int kCopyMs = 300000;
// The exit status of a cancelled run is not yet told apart from a good
// end's; set to true once a cancel exits non-zero.
constexpr bool kCancelExitsNonZero = false;

const QString kWelcome = QStringLiteral("Tervetuloa");
const QString kReadme = QStringLiteral("Lueminut-tiedot");
const QString kComponents = QStringLiteral("Valitse asennettavat ohjelman osat");
const QString kFolder = QStringLiteral("Valitse K.*-valikon kansio");
const QString kCopy = QStringLiteral("Asennustiedostoja kopioidaan");
const QString kGoodEnd = QStringLiteral("Asennus on suoritettu");
const QString kBadEnd = QStringLiteral("Asennus j.*i kesken");

// Where the copy window's parts lie in its client area (its form file).
const QRect kFileName(152, 10, 206, 16);
const QRect kFileBar(58, 49, 300, 16);
const QRect kTotalBar(58, 89, 300, 16);
const QPoint kCancel(414, 22);

// The filled share of a progress bar, 0 to 1, along its middle row: the
// highlight colour (navy) against the bar's white.
double BarFill(const QImage& shot, const QRect& bar) {
  int filled = 0;
  int room = 0;
  const int y = bar.center().y();
  for (int x = bar.left() + 2; x <= bar.right() - 2; ++x, ++room) {
    const QColor c = shot.pixelColor(x, y);
    if (c.blue() > c.red() + 60 && c.red() < 100) ++filled;
  }
  return room > 0 ? static_cast<double>(filled) / room : 0.0;
}

// The width of the dark ink in a part of the shot (0: none).
int InkWidth(const QImage& shot, const QRect& area) {
  int first = -1;
  int last = -1;
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y)
      if (qGray(shot.pixel(x, y)) < 100) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return first < 0 ? 0 : last - first + 1;
}

// The copy window's font: Arial of 11 pixels (Liberation Sans by fontconfig).
QFontMetrics LabelMetrics() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  return QFontMetrics(font);
}

// The names the label may show, by the width of their ink: the files of
// the product.
QStringList NamesOfWidth(int width) {
  const QFontMetrics metrics = LabelMetrics();
  QStringList names;
  for (const QString& name : QDir(QStringLiteral(QX_PROGRAM_DIR)).entryList(QDir::Files))
    if (std::abs(metrics.boundingRect(name).width() - width) <= 2) names << name;
  return names;
}

class SetupCopyDesktop : public testing::Test {
 protected:
  void SetUp() override {
    const QString reason = desk_.Start();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    QString error;
    exe_ = setuptest::TestSetupExe(error);
    ASSERT_FALSE(exe_.isEmpty()) << error.toStdString();
    root_ = qEnvironmentVariable("QX_TEST_ROOT");
    product_ = qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + QStringLiteral("/Trovaly");
  }
  void TearDown() override {
    if (HasFailure()) desk_.KeepShot(QStringLiteral("copy-failure"));
    if (setup_.state() != QProcess::NotRunning) {
      setup_.kill();
      setup_.waitForFinished(5000);
    }
  }

  void StartSetup(int paceMs) {
    QProcessEnvironment env = desk_.Environment();
    if (paceMs > 0) env.insert(QStringLiteral("QX_TEST_COPY_PACE_MS"), QString::number(paceMs));
    setup_.setProcessEnvironment(env);
    setup_.setProcessChannelMode(QProcess::ForwardedChannels);
    setup_.setWorkingDirectory(root_);
    setup_.start(exe_, {});
    ASSERT_TRUE(setup_.waitForStarted(10000));
  }
  // Return on the page of that title until it goes; then the window of next.
  QString Advance(const QString& title, const QString& next, int timeoutMs = kDesktopWaitMs) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      const QString page = desk_.Window(title);
      if (page.isEmpty()) break;
      desk_.Keys(page, {"Return"});
      if (WaitUntil([&] { return desk_.Window(title).isEmpty(); }, 5000)) break;
    }
    return next.isEmpty() ? QString() : desk_.WaitForWindow(next, timeoutMs);
  }
  // Through the pages to the last before the copy: that page, or empty.
  QString PagesToTheFolder() {
    if (desk_.WaitForWindow(kWelcome, kSetupStartMs).isEmpty()) return {};
    if (Advance(kWelcome, kReadme).isEmpty() || Advance(kReadme, kComponents).isEmpty()) return {};
    return Advance(kComponents, kFolder);
  }
  int SetupExit() {
    if (!setup_.waitForFinished(60000)) return -1;
    return setup_.exitStatus() == QProcess::NormalExit ? setup_.exitCode() : -2;
  }

  TDesktopSession desk_;
  QString exe_, root_, product_;
  QProcess setup_;
};

TEST_F(SetupCopyDesktop, TheCopyWindowShowsTheCopyAndItsCancelLeavesTheHomeAsItWas) {
  // An older puzzle of the product is there: the run replaces it before
  // the big programs come, and the cancel gives it back.
  const QString older = product_ + QStringLiteral("/Trovaly 1.0/HYONTEISET1.vrb");
  ASSERT_TRUE(QDir().mkpath(QFileInfo(older).absolutePath()));
  {
    QFile file(older);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("older") == 5);
  }
  const auto before = HomeState(root_);

  StartSetup(2);
  ASSERT_FALSE(PagesToTheFolder().isEmpty()) << "the pages did not show in order";
  const QString copy = Advance(kFolder, kCopy, kCopyMs);
  ASSERT_FALSE(copy.isEmpty()) << "no copy window";
  // While the copy runs, the window shows a file's name and both bars on
  // their way.
  QImage shot;
  double file = 0;
  double total = 0;
  int ink = 0;
  const bool shown = WaitUntil([&] {
    shot = desk_.Shot(copy);
    if (shot.width() < kTotalBar.right() || shot.height() < kTotalBar.bottom()) return false;
    file = BarFill(shot, kFileBar);
    total = BarFill(shot, kTotalBar);
    ink = InkWidth(shot, kFileName);
    return file > 0.05 && file < 0.95 && total > 0 && ink > 0;
  }, kCopyMs);
  desk_.KeepShot(QStringLiteral("copy-1-copying"));
  ASSERT_TRUE(shown) << "file bar " << file << ", total bar " << total << ", name " << ink << " px";
  EXPECT_LT(total, 1.0);
  EXPECT_NE(setuptest::ReadAll(older), QByteArray("older")) << "the older puzzle was not replaced";
  EXPECT_FALSE(NamesOfWidth(ink).isEmpty()) << "the name shown (" << ink << " px) is no file of the product";
  EXPECT_GT(ink, LabelMetrics().horizontalAdvance(QStringLiteral("---"))) << "the name is still the placeholder";

  // Cancel, clicked in the middle of the copy: the bad end.
  desk_.Tool("xdotool", {"mousemove", "--window", copy, QString::number(kCancel.x()),
                         QString::number(kCancel.y()), "click", "1"});
  const QString bad = desk_.WaitForWindow(kBadEnd);
  desk_.KeepShot(QStringLiteral("copy-2-cancelled"));
  ASSERT_FALSE(bad.isEmpty()) << "the cancel showed no bad end";
  EXPECT_TRUE(desk_.Window(kCopy).isEmpty()) << "the copy window stays";
  Advance(kBadEnd, {});
  const int status = SetupExit();
  EXPECT_GE(status, 0) << "the cancelled setup did not end";
  if (kCancelExitsNonZero) {
    EXPECT_NE(status, 0);
  }
  // The home as it was: nothing of the product, only the desktop's caches new.
  const QStringList changed =
      setuptest::HomeChanges(before, HomeState(root_), qEnvironmentVariable("XDG_CACHE_HOME"));
  EXPECT_TRUE(changed.isEmpty()) << "the cancelled setup changed " << changed.join(u' ').toStdString();
  EXPECT_EQ(FilesBelow(product_), QStringList{older});

  // The window manager's close of the copy window is its Cancel.
  StartSetup(2);
  ASSERT_FALSE(PagesToTheFolder().isEmpty()) << "the pages of the second run did not show in order";
  const QString again = Advance(kFolder, kCopy, kCopyMs);
  ASSERT_FALSE(again.isEmpty()) << "no copy window in the second run";
  ASSERT_TRUE(WaitUntil([&] { return BarFill(desk_.Shot(again), kFileBar) > 0; }, kCopyMs));
  desk_.Keys(again, {"alt+F4"});
  ASSERT_FALSE(desk_.WaitForWindow(kBadEnd).isEmpty()) << "closing the copy window showed no bad end";
  Advance(kBadEnd, {});
  EXPECT_GE(SetupExit(), 0) << "the closed setup did not end";
  EXPECT_EQ(FilesBelow(product_), QStringList{older}) << "after the close";
  EXPECT_EQ(setuptest::ReadAll(older), QByteArray("older"));

  // The next run installs every file.
  StartSetup(0);
  ASSERT_FALSE(PagesToTheFolder().isEmpty()) << "the pages of the third run did not show in order";
  ASSERT_FALSE(Advance(kFolder, kGoodEnd, kCopyMs).isEmpty()) << "no good end";
  Advance(kGoodEnd, {});
  EXPECT_EQ(SetupExit(), 0);
  EXPECT_EQ(FilesBelow(product_ + QStringLiteral("/Trovaly 1.0")).size(), 49);
}

}  // namespace
