// The real game on an X server with a window manager (Xvfb and openbox),
// driven by real X input (xdotool): the menus' Ctrl shortcuts act, modal
// windows stand above the stay-on-top picture window, which is back on top
// after them, and Qt's dialogs speak Finnish. Windows are observed as the
// window manager and the server see them (xdotool, xprop, xwininfo, import).
// With QX_DESKTOP_SHOTS naming a folder, screenshots of the dialogs go there.
#include "tests/support/DesktopSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

constexpr int kWaitMs = kDesktopWaitMs;


// The desktop with the game on it.
class TDesktop : public TDesktopSession {
 public:
  ~TDesktop() {
    if (game_.state() == QProcess::NotRunning) return;
    game_.terminate();
    if (!game_.waitForFinished(5000)) game_.kill();
    game_.waitForFinished(5000);
  }

  // The game in Finnish, with its state in a folder of the test's own.
  bool StartGame(const QString& program, const QString& home) {
    QProcessEnvironment env = Environment();
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
      const QString folder = home + u'/' + QLatin1String(name);
      QDir().mkpath(folder);
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      env.insert(QLatin1String(name), folder);
    }
    game_.setProcessEnvironment(env);
    game_.setWorkingDirectory(QFileInfo(program).absolutePath());
    game_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game_.start(program, {});
    return game_.waitForStarted(qxtest::WaitMs(10000));
  }

  // A shown pop-up menu: an unmanaged window of the game on the screen.
  QString PopupMenu() const {
    const QString tree = QString::fromUtf8(Tool("xwininfo", {"-root", "-children"}));
    static const QRegularExpression row(QStringLiteral("(0x[0-9a-f]+) \"trovaly\": \\(\"trovaly\" \"trovaly\"\\)\\s+(\\d+)x(\\d+)"));
    for (const auto& m : row.globalMatch(tree)) {
      if (m.captured(2).toInt() < 20 || m.captured(3).toInt() < 20) continue;
      if (Tool("xwininfo", {"-id", m.captured(1)}).contains("IsViewable")) return m.captured(1);
    }
    return {};
  }

  bool GameRunning() const { return game_.state() == QProcess::Running; }

 private:
  QProcess game_;
};

class Desktop : public testing::Test {
 protected:
  void SetUp() override {
    desk_ = std::make_unique<TDesktop>();
    ASSERT_TRUE(desk_->Start());
    ASSERT_TRUE(desk_->StartGame(QStringLiteral(QX_TROVALY), home_.path()));
    // The splash has the same title but no frame.
    ASSERT_TRUE(WaitUntil([this] {
      main_ = desk_->Window(QStringLiteral("Trovaly 1\\.0"));
      return !main_.isEmpty() && desk_->Framed(main_);
    })) << "the main window did not show";
  }
  void TearDown() override { desk_.reset(); }

  // The "Vaikeusaste" menu as it shows, opened from the keyboard.
  QImage DifficultyMenu() {
    QString popup;
    // The window manager may call the window active before the game has
    // taken the focus; a key typed then is lost, so it is typed again.
    for (int attempt = 0; attempt < 3 && popup.isEmpty(); ++attempt) {
      desk_->Keys(main_, {"alt+v"});
      WaitUntil([&] { return !(popup = desk_->PopupMenu()).isEmpty(); }, kWaitMs / 3);
    }
    EXPECT_FALSE(popup.isEmpty()) << "no menu";
    // Mapped is not yet painted: the menu is what two shots in a row agree on.
    QImage shot;
    if (!popup.isEmpty()) {
      WaitUntil([&] {
        const QImage last = std::exchange(shot, desk_->Shot(popup));
        return !shot.isNull() && shot == last;
      });
    }
    desk_->Keys(main_, {"Escape"});
    EXPECT_TRUE(WaitUntil([&] { return desk_->PopupMenu().isEmpty(); }));
    return shot;
  }

  // A modal window opened by keys stands above the picture window, which is
  // back on top once keys close it.
  void ExpectAboveThePicture(const QString& window, const QStringList& open, const QString& title,
                             const QStringList& close, const QString& shot) {
    SCOPED_TRACE(title.toStdString());
    QString modal;
    desk_->Keys(window, open);
    WaitUntil([&] { return !(modal = desk_->Window(title)).isEmpty(); });
    ASSERT_FALSE(modal.isEmpty()) << "did not show";
    QStringList during;
    EXPECT_TRUE(WaitUntil([&] {
      during = desk_->Stacking();
      return during.indexOf(modal) > during.indexOf(picture_) && !desk_->Above(picture_);
    })) << "under the picture window: " << during.join(u' ').toStdString() << " picture " << picture_.toStdString();
    desk_->KeepShot(shot);
    desk_->Keys(modal, close);
    ASSERT_TRUE(desk_->WaitForNoWindow(title)) << "did not close";
    EXPECT_TRUE(WaitUntil([&] { return desk_->Above(picture_) && desk_->Stacking().last() == picture_; }))
        << "the picture window is not back on top";
  }

  QTemporaryDir home_;
  std::unique_ptr<TDesktop> desk_;
  QString main_;
  QString picture_;
};

TEST_F(Desktop, ShortcutsActAndModalWindowsStandAboveThePicture) {
  // Ctrl+A: the open dialog, in Finnish.
  desk_->Keys(main_, {"ctrl+a"});
  const QString open = desk_->WaitForWindow(QStringLiteral("Avaa"));
  ASSERT_FALSE(open.isEmpty()) << "Ctrl+A opened no dialog \"Avaa\"";
  desk_->KeepShot(QStringLiteral("open-dialog"));
  const QString puzzle = QFileInfo(QStringLiteral(QX_TROVALY)).absolutePath() + QStringLiteral("/kuvaDALMATIALAISET.vrb");
  desk_->Type(open, puzzle);
  desk_->Keys(open, {"Return"});
  ASSERT_FALSE(desk_->WaitForWindow(QStringLiteral("Trovaly 1\\.0 - \\[kuvaDALMATIALAISET\\]")).isEmpty());
  picture_ = desk_->WaitForWindow(QStringLiteral("Kuva"));
  ASSERT_FALSE(picture_.isEmpty()) << "no picture window";
  EXPECT_TRUE(WaitUntil([&] { return desk_->Above(picture_) && desk_->Stacking().last() == picture_; }));
  // The window manager hands the focus to the picture window just shown;
  // keys typed before that lands would go wherever the focus ends up.
  EXPECT_TRUE(WaitUntil([&] { return desk_->ActiveWindow() == picture_; }))
      << "the picture window did not take the focus";
  desk_->KeepShot(QStringLiteral("game"));

  // Ctrl+J and Ctrl+N tick and untick their items of "Vaikeusaste".
  const QImage none = DifficultyMenu();
  desk_->Keys(main_, {"ctrl+j"});
  const QImage inOrder = DifficultyMenu();
  desk_->Keys(main_, {"ctrl+n"});
  const QImage both = DifficultyMenu();
  desk_->Keys(main_, {"ctrl+j", "ctrl+n"});
  const QImage again = DifficultyMenu();
  ASSERT_FALSE(none.isNull());
  EXPECT_NE(none, inOrder) << "Ctrl+J ticked nothing";
  EXPECT_NE(inOrder, both) << "Ctrl+N ticked nothing";
  EXPECT_EQ(none, again) << "Ctrl+J and Ctrl+N did not untick";

  // Ctrl+T, typed in the picture window too: a message box; the font and
  // colour dialogs from the menu.
  ExpectAboveThePicture(main_, {"ctrl+t"}, QStringLiteral("Trovaly 1\\.0"), {"Return"}, QStringLiteral("message-box"));
  ExpectAboveThePicture(picture_, {"ctrl+t"}, QStringLiteral("Trovaly 1\\.0"), {"Return"}, QStringLiteral("message-box"));
  ExpectAboveThePicture(main_, {"alt+a", "f"}, QStringLiteral("Valitse fontti"), {"Escape"},
                        QStringLiteral("font-dialog"));
  ExpectAboveThePicture(main_, {"alt+a", "v"}, QStringLiteral("Valitse v.*ri"), {"Escape"},
                        QStringLiteral("colour-dialog"));

  // Ctrl+O: the help.
  desk_->Keys(main_, {"ctrl+o"});
  EXPECT_FALSE(desk_->WaitForWindow(QStringLiteral("Trovaly 1\\.0 .* ohje")).isEmpty()) << "Ctrl+O showed no help";
  EXPECT_TRUE(desk_->GameRunning());
}

}  // namespace
