// The real editor and the real game on an X server with a window manager
// (Xvfb and openbox), driven by real X input (xdotool): the game's editor
// command starts one editor and afterwards only raises it, also once the
// editor's caption names a saved puzzle; the puzzle made and saved in the
// editor plays in the game to its end animation. With QX_DESKTOP_SHOTS
// naming a folder, screenshots go there.
#include "tests/support/DesktopSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>

#include <signal.h>

namespace {

constexpr int kWaitMs = kDesktopWaitMs;
// The menu bar above a form's client area on this desktop.
constexpr int kMenuHeight = 20;


QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class EditorDesktop : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(desk_.Start());
    env_ = desk_.Environment();
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
      const QString folder = home_.path() + u'/' + QLatin1String(name);
      QDir().mkpath(folder);
      QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      env_.insert(QLatin1String(name), folder);
    }
    desk_.Environment() = env_;
    game_.setProcessEnvironment(env_);
    game_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game_.start(QStringLiteral(QX_TROVALY), {});
    ASSERT_TRUE(game_.waitForStarted(qxtest::WaitMs(10000)));
    // The splash has the same title but no frame.
    ASSERT_TRUE(WaitUntil([this] {
      main_ = Window(QStringLiteral("Trovaly 1\\.0"));
      return !main_.isEmpty() && desk_.Framed(main_);
    })) << "the game did not show";
  }
  void TearDown() override {
    if (HasFailure()) desk_.KeepShot(QStringLiteral("editor-failure"));
    for (const QString& pid : EditorPids()) ::kill(pid.toInt(), SIGTERM);
    WaitUntil([this] { return EditorPids().isEmpty(); }, 5000);
    for (const QString& pid : EditorPids()) ::kill(pid.toInt(), SIGKILL);
    if (game_.state() != QProcess::NotRunning) {
      game_.terminate();
      if (!game_.waitForFinished(5000)) game_.kill();
      game_.waitForFinished(5000);
    }
  }

  QByteArray Tool(const char* program, const QStringList& args) const { return desk_.Tool(program, args); }
  QString Window(const QString& pattern) const { return desk_.Window(pattern); }
  QString WaitForWindow(const QString& pattern) const { return desk_.WaitForWindow(pattern); }
  QString ActiveWindow() const { return desk_.ActiveWindow(); }
  void Keys(const QString& id, const QStringList& keys) const { desk_.Keys(id, keys); }
  QString KeysFor(const QString& id, const QStringList& keys, const QString& pattern) const {
    return desk_.KeysFor(id, keys, pattern);
  }
  bool KeysRaise(const QString& id, const QStringList& keys, const QString& raised) const {
    for (int attempt = 0; attempt < 3; ++attempt) {
      Keys(id, keys);
      if (WaitUntil([&] { return ActiveWindow() == raised; }, kWaitMs / 3)) return true;
    }
    return false;
  }
  void Type(const QString& id, const QString& text) const { desk_.Type(id, text); }
  // A click at a point of a form's client area.
  void Click(const QString& id, int x, int y, int button = 1) const {
    Tool("xdotool", {"mousemove", "--window", id, "--sync", QString::number(x), QString::number(y + kMenuHeight)});
    Tool("xdotool", {"click", QString::number(button)});
  }
  void Drag(const QString& id, int x, int y, int toX, int toY) const {
    Tool("xdotool", {"mousemove", "--window", id, "--sync", QString::number(x), QString::number(y + kMenuHeight)});
    Tool("xdotool", {"mousedown", "1"});
    Tool("xdotool", {"mousemove", "--window", id, "--sync", QString::number(toX), QString::number(toY + kMenuHeight)});
    Tool("xdotool", {"mouseup", "1"});
  }
  QImage Shot(const QString& id) const { return desk_.Shot(id); }
  void KeepShot(const QString& name) const { desk_.KeepShot(name); }

  // The editors of this desktop: processes of our program on our runtime folder.
  QStringList EditorPids() const {
    const QString program = QFileInfo(QStringLiteral(QX_MUOKKAIN)).canonicalFilePath();
    const QByteArray runtime = "XDG_RUNTIME_DIR=" + env_.value(QStringLiteral("XDG_RUNTIME_DIR")).toLocal8Bit();
    QStringList pids;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      if (pid.toInt() <= 0) continue;
      if (QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).canonicalFilePath() != program) continue;
      if (ReadAll(QStringLiteral("/proc/%1/environ").arg(pid)).split('\0').contains(runtime)) pids << pid;
    }
    return pids;
  }

  // Editor: the palette letter, then the grid cell.
  void PlaceLetter(const QString& editor, QChar letter, int col, int row) const {
    const QString second = QStringLiteral("PQRSTUVWXYZÅÄÖ");
    const int pc = second.contains(letter) ? static_cast<int>(second.indexOf(letter)) : letter.unicode() - u'A';
    const int pr = second.contains(letter) ? 1 : 0;
    Click(editor, 16 + 1 + pc * 25 + 12, 320 + 1 + pr * 25 + 12);
    Click(editor, 16 + 1 + col * 21 + 10, 48 + 1 + row * 21 + 10);
  }

  QTemporaryDir home_;
  TDesktopSession desk_;
  QProcessEnvironment env_;
  QProcess game_;
  QString main_;
};

TEST_F(EditorDesktop, TheGameStartsOneEditorAndPlaysThePuzzleMadeInIt) {
  // The game's command with no editor running starts one.
  ASSERT_TRUE(EditorPids().isEmpty());
  Keys(main_, {"ctrl+e"});
  const QString editor = WaitForWindow(QStringLiteral("Muokkain"));
  ASSERT_FALSE(editor.isEmpty()) << "Ctrl+E started no editor";
  EXPECT_TRUE(WaitUntil([&] { return EditorPids().size() == 1; }));
  KeepShot(QStringLiteral("editor"));

  // Pressed again: the game posts to the editor, which comes to the front.
  EXPECT_TRUE(KeysRaise(main_, {"ctrl+e"}, editor)) << "the editor was not raised";
  EXPECT_EQ(EditorPids().size(), 1);

  // A puzzle of two words, the rest filled at random, with a picture.
  const QString word1 = QStringLiteral("KISSA");
  const QString word2 = QStringLiteral("KOIRA");
  for (int i = 0; i < 5; ++i) PlaceLetter(editor, word1[i], i, 0);
  Click(editor, 100, 150, 3);
  for (int i = 0; i < 5; ++i) PlaceLetter(editor, word2[i], 6, 2 + i);
  Click(editor, 100, 150, 3);
  Click(editor, 108 + 12, 4 + 12);  // the random fill's tool button
  QImage picture(40, 30, QImage::Format_RGB32);
  picture.fill(qRgb(200, 40, 40));
  const QString chosen = home_.filePath(QStringLiteral("punainen.bmp"));
  ASSERT_TRUE(picture.save(chosen, "BMP"));
  const QString pictureDialog = KeysFor(editor, {"ctrl+b"}, QStringLiteral("Valitse kuva"));
  ASSERT_FALSE(pictureDialog.isEmpty()) << "Ctrl+B showed no picture dialog";
  Type(pictureDialog, chosen);
  Keys(pictureDialog, {"Return"});
  ASSERT_TRUE(WaitUntil([&] { return Window(QStringLiteral("Valitse kuva")).isEmpty(); }));
  const QString saveDialog = KeysFor(editor, {"ctrl+s"}, QStringLiteral("Tallenna.*|Save As"));
  ASSERT_FALSE(saveDialog.isEmpty()) << "Ctrl+S showed no save dialog; the active window is "
                                     << ActiveWindow().toStdString() << ", the windows are "
                                     << desk_.Titles().toStdString();
  const QString puzzle = home_.filePath(QStringLiteral("oma.vrb"));
  Type(saveDialog, puzzle);
  Keys(saveDialog, {"Return"});
  ASSERT_FALSE(WaitForWindow(QStringLiteral("Muokkain - \\[oma\\]")).isEmpty()) << "not saved";
  KeepShot(QStringLiteral("editor-saved"));
  EXPECT_EQ(ReadAll(home_.filePath(QStringLiteral("oma.lst"))), QByteArray("KISSA\r\nKOIRA\r\n"));
  EXPECT_EQ(ReadAll(home_.filePath(QStringLiteral("oma.bmp"))), ReadAll(chosen));
  const QByteArray grid = ReadAll(puzzle);
  EXPECT_EQ(grid.count("\r\n"), 146);
  EXPECT_FALSE(grid.contains("\r\n\r\n")) << "the fill left an empty cell";

  // After the save the caption has changed; the command still finds the editor.
  Tool("xdotool", {"windowactivate", "--sync", main_});
  EXPECT_TRUE(WaitUntil([&] { return ActiveWindow() == main_; }));
  EXPECT_TRUE(KeysRaise(main_, {"ctrl+e"}, editor)) << "the saved editor was not raised";
  EXPECT_EQ(EditorPids().size(), 1);

  // The game opens the puzzle; both words found by drags end the game.
  const QString open = KeysFor(main_, {"ctrl+a"}, QStringLiteral("Avaa"));
  ASSERT_FALSE(open.isEmpty());
  Type(open, puzzle);
  Keys(open, {"Return"});
  ASSERT_FALSE(WaitForWindow(QStringLiteral("Trovaly 1\\.0 - \\[oma\\]")).isEmpty());
  ASSERT_FALSE(WaitForWindow(QStringLiteral("Kuva")).isEmpty()) << "the game shows no picture";
  // The word list's area before the last word, then after it.
  const QRect list(276, 52 + kMenuHeight, 177, 240);
  Tool("xdotool", {"windowactivate", "--sync", main_});
  Drag(main_, 16 + 10, 52 + 10, 16 + 4 * 20 + 10, 52 + 10);
  const QImage before = Shot(main_).copy(list);
  Drag(main_, 16 + 6 * 20 + 10, 52 + 2 * 20 + 10, 16 + 6 * 20 + 10, 52 + 6 * 20 + 10);
  EXPECT_TRUE(WaitUntil([&] {
    const QImage after = Shot(main_).copy(list);
    return !after.isNull() && after != before;
  })) << "no end animation";
  KeepShot(QStringLiteral("game-end"));
  EXPECT_EQ(EditorPids().size(), 1);
}

}  // namespace
