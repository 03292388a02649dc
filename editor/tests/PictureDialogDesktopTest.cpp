// The editor's picture dialog ("Uusi kuva", Ctrl+B) as a person sees it on
// a desktop (Xvfb with openbox, real keys through xdotool): a file name typed
// into it selects its row, and that row shows the whole name. With
// QX_DESKTOP_SHOTS naming a folder, the screen goes there.
#include "tests/support/DesktopSession.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

bool Selected(QRgb p) { return qBlue(p) > 100 && qRed(p) < 80 && qGreen(p) < 80; }
bool Light(QRgb p) { return qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200; }

// The longest stretch of light text on the selected row (gaps between
// letters and words up to 8 pixels); 0 without a selected row.
int LongestSelectedText(const QImage& shot) {
  std::vector<bool> light(static_cast<size_t>(shot.width()), false);
  for (int y = 0; y < shot.height(); ++y) {
    int selected = 0;
    for (int x = 0; x < shot.width(); ++x) selected += Selected(shot.pixel(x, y));
    if (selected < 150) continue;
    for (int x = 0; x < shot.width(); ++x)
      if (Light(shot.pixel(x, y))) light[static_cast<size_t>(x)] = true;
  }
  int longest = 0;
  int start = -1;
  int last = -100;
  for (int x = 0; x < shot.width(); ++x) {
    if (!light[static_cast<size_t>(x)]) continue;
    if (x - last > 8) start = x;
    last = x;
    longest = std::max(longest, last - start + 1);
  }
  return longest;
}

TEST(EditorPictureDialog, ShowsTheWholeNameOfTheFileTypedIntoIt) {
  TDesktopSession desk;
  ASSERT_TRUE(desk.Start());
  QTemporaryDir home;
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
    const QString folder = home.path() + u'/' + QLatin1String(name);
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    desk.Environment().insert(QLatin1String(name), folder);
  }
  const QString name = QStringLiteral("Dalmatialaiset ja muut koirat.bmp");
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(qRgb(200, 40, 40));
  ASSERT_TRUE(picture.save(home.filePath(name), "BMP"));
  ASSERT_TRUE(picture.save(home.filePath(QStringLiteral("a.bmp")), "BMP"));

  QProcess editor;
  editor.setProcessEnvironment(desk.Environment());
  editor.setWorkingDirectory(home.path());
  editor.setProcessChannelMode(QProcess::ForwardedChannels);
  editor.start(QStringLiteral(QX_MUOKKAIN), {});
  ASSERT_TRUE(editor.waitForStarted(qxtest::WaitMs(10000)));
  const QString window = desk.WaitForWindow(QStringLiteral("Muokkain"));
  ASSERT_FALSE(window.isEmpty()) << "the editor did not show";
  const QString dialog = desk.KeysFor(window, {QStringLiteral("ctrl+b")}, QStringLiteral("Valitse kuva"));
  ASSERT_FALSE(dialog.isEmpty()) << "Ctrl+B showed no picture dialog";
  // The last letter held down for a while, as a typist stalled between a
  // key's press and release on a loaded machine holds it: typed once.
  desk.Type(dialog, name.chopped(1));
  desk.Tool("xdotool", {"keydown", "p", "sleep", "1.5", "keyup", "p"});
  // The name's own width in the dialog's font is about 7 pixels a letter;
  // the size, type and date columns are far shorter.
  int longest = 0;
  EXPECT_TRUE(WaitUntil([&] { return (longest = LongestSelectedText(desk.Shot(dialog))) >= 170; }))
      << "the selected row's longest text is " << longest << " pixels";
  desk.KeepShot(QStringLiteral("editor-picture-dialog"));
  desk.Keys(dialog, {QStringLiteral("Escape")});
  editor.terminate();
  if (!editor.waitForFinished(5000)) editor.kill();
  editor.waitForFinished(5000);
}

}  // namespace
