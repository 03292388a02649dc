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

#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <numeric>
#include <utility>
#include <vector>

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

// The copy window's font: Arial of 11 pixels (Liberation Sans by fontconfig).
QFont LabelFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(11);
  return font;
}

// A name as the label draws it: black in the label's font on its
// background.
std::vector<int> RenderedColumns(const QString& name, const QColor& background) {
  QImage image(kFileName.size(), QImage::Format_RGB32);
  image.fill(background);
  QPainter painter(&image);
  painter.setFont(LabelFont());
  painter.setPen(Qt::black);
  painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, name);
  painter.end();
  return InkColumns(image, image.rect());
}

// The label's background: its right end, past any name's ink.
QColor LabelBackground(const QImage& shot) { return shot.pixelColor(kFileName.right(), kFileName.top()); }

// What the label shows, read against the names of the product's files
// drawn in the label's font: the closest name, how far its ink is from
// the label's, and how far the next closest is.
struct TNameShown {
  QString name;
  int distance = INT_MAX;
  int next = INT_MAX;
};
TNameShown NameShown(const QImage& shot) {
  const std::vector<int> shown = InkColumns(shot, kFileName);
  TNameShown best;
  for (const QString& name : QDir(QStringLiteral(QX_PROGRAM_DIR)).entryList(QDir::Files)) {
    const int distance = InkDistance(shown, RenderedColumns(name, LabelBackground(shot)));
    if (distance < best.distance) {
      best = {name, distance, best.distance};
    } else if (distance < best.next) {
      best.next = distance;
    }
  }
  return best;
}

// A file below folder, other than the file itself, holding the first bytes
// of file's contents and not all of them: the copy of it in progress.
bool BeingCopied(const QString& folder, const QString& name) {
  const QByteArray whole = ReadAll(QStringLiteral(QX_PROGRAM_DIR) + u'/' + name);
  for (const QString& file : FilesBelow(folder)) {
    if (QFileInfo(file).fileName() == name) continue;
    const QByteArray part = ReadAll(file);
    if (!part.isEmpty() && part.size() < whole.size() && whole.startsWith(part)) return true;
  }
  return false;
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
  // While the copy runs, the window shows the file being copied and both
  // bars on their way: the game's program (the largest file, its copy the
  // longest) is named while its copy is half-way, as the copy in progress
  // in the product's folder shows.
  const QString expected = QStringLiteral("trovaly");
  QImage shot;
  double file = 0;
  double total = 0;
  TNameShown name;
  bool copying = false;
  const bool shown = WaitUntil([&] {
    shot = desk_.Shot(copy);
    if (shot.width() < kTotalBar.right() || shot.height() < kTotalBar.bottom()) return false;
    file = BarFill(shot, kFileBar);
    total = BarFill(shot, kTotalBar);
    name = NameShown(shot);
    if (file < 0.2 || file > 0.8 || total <= 0 || name.name != expected) return false;
    copying = BeingCopied(product_, expected);
    return true;
  }, kCopyMs);
  desk_.KeepShot(QStringLiteral("copy-1-copying"));
  ASSERT_TRUE(shown) << "file bar " << file << ", total bar " << total << ", the name shown looks most like "
                     << name.name.toStdString() << " (" << name.distance << " pixels apart)";
  EXPECT_TRUE(copying) << "the label names " << expected.toStdString() << " while another file is copied";
  // Drawn like the name, and far more like it than like any other (the
  // two renderings of one text differ in their anti-aliased edges only).
  const std::vector<int> ink = RenderedColumns(expected, LabelBackground(shot));
  EXPECT_LT(name.distance, std::accumulate(ink.begin(), ink.end(), 0) / 2)
      << "the name is drawn unlike " << expected.toStdString();
  EXPECT_GT(name.next, 2 * name.distance) << "the name shown is as much like another file's";
  EXPECT_LT(total, 1.0);
  EXPECT_NE(ReadAll(older), QByteArray("older")) << "the older puzzle was not replaced";

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
