// The copy as a person watches it: setup.exe, its copy slowed by the test
// hook (QX_TEST_COPY_PACE_MS), on an X server with a window manager. The
// copy window shows the file being copied and the file and total progress
// while the copy runs; Cancel, clicked in the middle of the copy, ends on
// the bad end and leaves the home as it was (a file it had replaced
// already has its old contents back), and so does closing the window; the
// next run installs every file. With QX_DESKTOP_SHOTS naming a folder, the
// shots go there.
#include "installer/engine/InstallHost.h"
#include "setup/tests/SetupRoad.h"

#include <QFontMetrics>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace setuproad;

const QString kCopy = QStringLiteral("Asennustiedostoja kopioidaan");

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

// The files that differ between two home states: changed, gone, or new
// outside the desktop's caches (the cache folder, but for our own "qx").
QStringList HomeChanges(const std::map<QString, QByteArray>& before, const std::map<QString, QByteArray>& after) {
  const QString cache = qEnvironmentVariable("XDG_CACHE_HOME") + u'/';
  QStringList changed;
  for (const auto& [file, hash] : before)
    if (after.count(file) == 0 || after.at(file) != hash) changed << file;
  for (const auto& [file, hash] : after)
    if (before.count(file) == 0 && (!file.startsWith(cache) || file.contains(QStringLiteral("/qx/")))) changed << file;
  return changed;
}

class SetupCopyDesktop : public TSetupRoad {
 protected:
  // The setup, its copy slowed to paceMs a block (0: as fast as it goes).
  void StartPaced(int paceMs) {
    QProcessEnvironment& env = desk_.Environment();
    env.remove(QStringLiteral("QX_TEST_COPY_PACE_MS"));
    if (paceMs > 0) env.insert(QStringLiteral("QX_TEST_COPY_PACE_MS"), QString::number(paceMs));
    StartSetup();
  }
};

TEST_F(SetupCopyDesktop, TheCopyWindowShowsTheCopyAndItsCancelLeavesTheHomeAsItWas) {
  // An older puzzle of the product is there: the run replaces it before
  // the big programs come, and the cancel gives it back.
  const QString older = product_ + QStringLiteral("/HYONTEISET1.vrb");
  ASSERT_TRUE(QDir().mkpath(QFileInfo(older).absolutePath()));
  {
    QFile file(older);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("older") == 5);
  }
  const auto before = HomeState(root_);

  StartPaced(2);
  ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages did not show in order";
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
  EXPECT_NE(ReadAll(older), QByteArray("older")) << "the older puzzle was not replaced";
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
  EXPECT_EQ(SetupExit(), kExitCancelled);
  // The home as it was: nothing of the product, only the desktop's caches new.
  const QStringList changed = HomeChanges(before, HomeState(root_));
  EXPECT_TRUE(changed.isEmpty()) << "the cancelled setup changed " << changed.join(u' ').toStdString();
  EXPECT_EQ(FilesBelow(product_), QStringList{older});

  // The window manager's close of the copy window is its Cancel.
  StartPaced(2);
  ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages of the second run did not show in order";
  const QString again = Advance(kFolder, kCopy, kCopyMs);
  ASSERT_FALSE(again.isEmpty()) << "no copy window in the second run";
  ASSERT_TRUE(WaitUntil([&] { return BarFill(desk_.Shot(again), kFileBar) > 0; }, kCopyMs));
  desk_.Keys(again, {"alt+F4"});
  ASSERT_FALSE(desk_.WaitForWindow(kBadEnd).isEmpty()) << "closing the copy window showed no bad end";
  Advance(kBadEnd, {});
  EXPECT_EQ(SetupExit(), kExitCancelled) << "after the close";
  EXPECT_EQ(FilesBelow(product_), QStringList{older}) << "after the close";
  EXPECT_EQ(ReadAll(older), QByteArray("older"));

  // The next run installs every file.
  StartPaced(0);
  ASSERT_FALSE(PagesUpToTheFolder().isEmpty()) << "the pages of the third run did not show in order";
  ASSERT_FALSE(Advance(kFolder, kGoodEnd, kCopyMs).isEmpty()) << "no good end";
  Advance(kGoodEnd, {});
  EXPECT_EQ(SetupExit(), 0);
  EXPECT_EQ(FilesBelow(product_).size(), 49);
}

}  // namespace
