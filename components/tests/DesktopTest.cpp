// The components as a person meets them on a desktop (Xvfb with openbox,
// real X input through xdotool, screenshots): a placed form keeps its
// normal bounds over a maximised session, a form that may not be resized
// tells the window manager so, and a label and a picture button under a
// still cursor follow being disabled, hidden and enabled again. With
// QX_DESKTOP_SHOTS naming a folder, screenshots go there.
#include "tests/support/DesktopSession.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A window manager's frame: border and title bar.
constexpr int kFrameSlack = 40;

struct TGeometry {
  int x = 0, y = 0, width = 0, height = 0;
};

class ComponentsDesktop : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desk_.Start());
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
      const QString folder = home_.path() + u'/' + QLatin1String(name);
      QDir().mkpath(folder);
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      desk_.Environment().insert(QLatin1String(name), folder);
    }
  }
  void TearDown() override {
    if (HasFailure()) desk_.KeepShot(QStringLiteral("components-failure"));
    if (peer_.state() != QProcess::NotRunning) {
      peer_.kill();
      peer_.waitForFinished(5000);
    }
  }

  // Starts the peer on the desktop.
  bool StartPeer(bool prevent = false) {
    peer_.setProcessEnvironment(desk_.Environment());
    peer_.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList args{Ini()};
    if (prevent) args << QStringLiteral("prevent");
    peer_.start(QStringLiteral(QX_DESKTOP_PEER), args);
    return peer_.waitForStarted(qxtest::WaitMs(10000));
  }
  // The peer's window, once the window manager has framed it.
  QString Start(bool prevent = false) {
    if (!StartPeer(prevent)) return {};
    QString id;
    WaitUntil([&] { return !(id = desk_.Window(QStringLiteral("Sijoitus.*"))).isEmpty() && desk_.Framed(id); });
    return id;
  }
  // Closed as a person closes it: the window manager's Alt+F4, which acts
  // on the window the window manager has focused; it is pressed again only
  // when the window is still there after a whole wait (the window manager
  // had not yet taken the activation, or had just restored the window and
  // passed the press on to the program).
  bool Close(const QString& id) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      desk_.Keys(id, {QStringLiteral("alt+F4")});
      if (WaitUntil([&] { return peer_.state() == QProcess::NotRunning || !Shown(id); })) break;
    }
    return peer_.waitForFinished(qxtest::WaitMs(kDesktopWaitMs)) && peer_.exitStatus() == QProcess::NormalExit &&
           peer_.exitCode() == 0;
  }
  bool Shown(const QString& id) const { return desk_.Windows(QStringLiteral("Sijoitus.*")).contains(id); }
  // The window manager's own record of the window's state.
  bool Maximized(const QString& id) const {
    return desk_.Tool("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_MAXIMIZED_HORZ");
  }
  QString Ini() const { return home_.filePath(QStringLiteral("sijoitus.ini")); }
  // A value of the form's section, as the INI file holds it.
  QString Stored(const QString& key) const {
    QFile file(Ini());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString prefix = key + u'=';
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
      if (line.trimmed().startsWith(prefix)) return line.trimmed().mid(prefix.size());
    return {};
  }

  // The client area on the screen, as the X server has it.
  TGeometry Geometry(const QString& id) const {
    const QString out = QString::fromLatin1(desk_.Tool("xwininfo", {"-id", id}));
    auto value = [&out](const char* label) {
      static const QRegularExpression number(QStringLiteral("^\\s*(-?\\d+)"));
      const qsizetype at = out.indexOf(QLatin1String(label));
      return at < 0 ? 0 : number.match(out.mid(at + qstrlen(label))).captured(1).toInt();
    };
    return {value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"), value("Height:")};
  }
  // A double click on the middle of the title bar, and the wait for the
  // window manager to record the window maximised or back to its normal
  // size, and for the window to have that size. The click is made again
  // only when the state did not change in a whole wait: it may land while
  // the window manager is still placing a new window.
  bool ToggleMaximized(const QString& id) const {
    const bool wasMaximized = Maximized(id);
    for (int attempt = 0; attempt < 2; ++attempt) {
      DoubleClickTitle(id);
      if (WaitUntil([&] { return Maximized(id) != wasMaximized; }))
        return WaitUntil([&] { return (Geometry(id).width > 900) != wasMaximized; });
    }
    return false;
  }
  void DoubleClickTitle(const QString& id) const {
    static const QRegularExpression extents(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
    const auto m = extents.match(QString::fromLatin1(desk_.Tool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"})));
    const int titleHeight = m.hasMatch() ? m.captured(3).toInt() : 20;
    const TGeometry g = Geometry(id);
    desk_.Tool("xdotool", {"mousemove", "--sync", QString::number(g.x + g.width / 2),
                           QString::number(g.y - titleHeight / 2)});
    desk_.Tool("xdotool", {"click", "--repeat", "2", "--delay", "80", "1"});
  }
  // Pixels of the form's own colour (lime) on the whole screen.
  int LimePixels() const {
    const QImage screen = desk_.Shot(QStringLiteral("root"));
    int count = 0;
    for (int y = 0; y < screen.height(); ++y)
      for (int x = 0; x < screen.width(); ++x)
        if ((screen.pixel(x, y) & 0xFFFFFF) == 0x00FF00) ++count;
    return count;
  }
  QString Caption(const QString& id) const {
    return QString::fromUtf8(desk_.Tool("xdotool", {"getwindowname", id})).trimmed();
  }
  bool WaitForCaption(const QString& id, const QString& caption) const {
    return WaitUntil([&] { return Caption(id) == caption; });
  }
  void MouseTo(const QString& id, int x, int y) const {
    desk_.Tool("xdotool", {"mousemove", "--window", id, "--sync", QString::number(x), QString::number(y)});
  }

  QTemporaryDir home_;
  TDesktopSession desk_;
  QProcess peer_;
};

TEST_F(ComponentsDesktop, AFormClosedMaximisedGoesBackToItsNormalSize) {
  QString id = Start();
  ASSERT_FALSE(id.isEmpty()) << "the form did not show";
  const TGeometry normal = Geometry(id);
  ASSERT_GT(normal.width, 200);
  ASSERT_LT(normal.width, 500);
  ASSERT_TRUE(ToggleMaximized(id)) << "not maximised";
  desk_.KeepShot(QStringLiteral("placement-maximised"));
  ASSERT_TRUE(Close(id));
  EXPECT_EQ(Stored(QStringLiteral("ShowCmd")), "3");
  // The normal bounds are the outer frame of the normal window.
  const QStringList norm = Stored(QStringLiteral("NormPos")).split(u',');
  ASSERT_EQ(norm.size(), 4) << Stored(QStringLiteral("NormPos")).toStdString();
  const int normWidth = norm[2].toInt() - norm[0].toInt();
  const int normHeight = norm[3].toInt() - norm[1].toInt();
  EXPECT_GE(normWidth, normal.width);
  EXPECT_LE(normWidth, normal.width + kFrameSlack) << "the normal width";
  EXPECT_GE(normHeight, normal.height);
  EXPECT_LE(normHeight, normal.height + kFrameSlack) << "the normal height";

  // The next session starts maximised; un-maximised it has its own size
  // (the outer size stored is taken as the inside before the window
  // manager has framed the window, so it may grow by one frame).
  id = Start();
  ASSERT_FALSE(id.isEmpty()) << "the form did not show again";
  ASSERT_TRUE(WaitUntil([&] { return Maximized(id) && Geometry(id).width > 900; })) << "not shown maximised";
  // The window manager sizes first and the form paints after: each check
  // waits for the picture to settle.
  EXPECT_TRUE(WaitUntil([&] { return LimePixels() > 900 * 600; })) << "the maximised form is not painted";
  ASSERT_TRUE(ToggleMaximized(id)) << "still maximised";
  TGeometry back;
  int lime = 0;
  WaitUntil([&] {
    back = Geometry(id);
    lime = LimePixels();
    return back.width >= normal.width && back.width <= normal.width + kFrameSlack &&
           back.height >= normal.height && back.height <= normal.height + kFrameSlack &&
           lime < (normal.width + kFrameSlack) * (normal.height + kFrameSlack) &&
           lime > normal.width * normal.height / 2;
  });
  desk_.KeepShot(QStringLiteral("placement-normal-again"));
  EXPECT_GE(back.width, normal.width);
  EXPECT_LE(back.width, normal.width + kFrameSlack);
  EXPECT_GE(back.height, normal.height);
  EXPECT_LE(back.height, normal.height + kFrameSlack);
  EXPECT_LT(lime, (normal.width + kFrameSlack) * (normal.height + kFrameSlack));
  EXPECT_GT(lime, normal.width * normal.height / 2);
  EXPECT_TRUE(Close(id));
}

// A program closed minimised starts minimised: its form shows and then the
// window manager iconifies it, so nothing of it is on the screen; brought
// back, it shows at its normal size, and closed so it is stored normal.
TEST_F(ComponentsDesktop, AFormStoredMinimisedStartsMinimised) {
  QFile ini(Ini());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[TForm]\nShowCmd=2\n");
  ini.close();
  ASSERT_TRUE(StartPeer());
  // Iconified: listed by its title, though not visible.
  QString id;
  QString state;
  EXPECT_TRUE(WaitUntil([&] {
    id = QString::fromUtf8(desk_.Tool("xdotool", {"search", "--name", QStringLiteral("^Sijoitus.*$")}))
             .section(u'\n', 0, 0);
    if (id.isEmpty()) return false;
    state = QString::fromLatin1(desk_.Tool("xprop", {"-id", id, "WM_STATE", "_NET_WM_STATE"}));
    return state.contains(QStringLiteral("Iconic")) && state.contains(QStringLiteral("_NET_WM_STATE_HIDDEN"));
  })) << "not minimised: " << state.toStdString();
  ASSERT_FALSE(id.isEmpty()) << "the form did not show";
  desk_.KeepShot(QStringLiteral("placement-minimised"));
  EXPECT_EQ(LimePixels(), 0) << "the form shows";

  desk_.Tool("xdotool", {"windowactivate", "--sync", id});
  EXPECT_TRUE(WaitUntil([&] { return LimePixels() > 300 * 200; })) << "not shown again";
  const TGeometry normal = Geometry(id);
  EXPECT_GT(normal.width, 200);
  EXPECT_LT(normal.width, 500) << "not at its normal size";
  desk_.KeepShot(QStringLiteral("placement-minimised-restored"));
  ASSERT_TRUE(Close(id));
  EXPECT_EQ(Stored(QStringLiteral("ShowCmd")), "1");
}

TEST_F(ComponentsDesktop, AFormThatMayNotBeResizedTellsTheWindowManager) {
  const QString id = Start(true);
  ASSERT_FALSE(id.isEmpty()) << "the form did not show";
  // What the window manager offers for the window (its menu and its
  // borders follow these): no sizing, no maximising.
  QString actions;
  EXPECT_TRUE(WaitUntil([&] {
    actions = QString::fromLatin1(desk_.Tool("xprop", {"-id", id, "_NET_WM_ALLOWED_ACTIONS"}));
    return actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE")) &&
           !actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")) &&
           !actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE"));
  })) << actions.toStdString();
  desk_.KeepShot(QStringLiteral("placement-fixed"));
  EXPECT_TRUE(Close(id));
}

TEST_F(ComponentsDesktop, HoverFollowsTheControlsUnderAStillCursor) {
  const QString id = Start();
  ASSERT_FALSE(id.isEmpty()) << "the form did not show";
  desk_.Tool("xdotool", {"windowactivate", "--sync", id});
  MouseTo(id, 30, 26);  // over the label
  ASSERT_TRUE(WaitForCaption(id, QStringLiteral("Sijoitus 1/0"))) << Caption(id).toStdString();
  // Disabled, enabled, hidden and shown again with the mouse at rest.
  const struct {
    const char* key;
    const char* caption;
  } steps[] = {{"d", "Sijoitus 1/1"}, {"d", "Sijoitus 2/1"}, {"h", "Sijoitus 2/2"}, {"h", "Sijoitus 3/2"}};
  for (const auto& step : steps) {
    desk_.Keys(id, {QLatin1String(step.key)});
    EXPECT_TRUE(WaitForCaption(id, QLatin1String(step.caption))) << step.key << ": " << Caption(id).toStdString();
  }

  // The picture button: its hover face (a raised edge) comes back when it is
  // enabled again under the resting cursor.
  const QRect button(20, 80, 40, 40);
  const QImage plain = desk_.Shot(id).copy(button);
  MouseTo(id, 40, 100);
  QImage hovered;
  ASSERT_TRUE(WaitUntil([&] {
    hovered = desk_.Shot(id).copy(button);
    return !hovered.isNull() && hovered != plain;
  })) << "no hover face";
  const QRgb face = plain.pixel(0, 20);
  EXPECT_NE(hovered.pixel(0, 20), face) << "the edge of the hover face";
  desk_.Keys(id, {QStringLiteral("d")});
  EXPECT_TRUE(WaitUntil([&] { return desk_.Shot(id).copy(button).pixel(0, 20) == face; })) << "still hovered";
  desk_.Keys(id, {QStringLiteral("d")});
  EXPECT_TRUE(WaitUntil([&] { return desk_.Shot(id).copy(button) == hovered; })) << "no hover face again";
  desk_.KeepShot(QStringLiteral("hover-again"));
  EXPECT_TRUE(Close(id));
}

}  // namespace
