#pragma once
// A desktop for one test: an X server (Xvfb) with a window manager
// (openbox), the environment our programs run in on it, and real X input
// and screenshots through xdotool and import. Its waits are scaled to the
// machine's load and end before the test's time-out (XvfbServer.h).
#include "tests/support/DesktopFile.h"
#include "tests/support/XvfbServer.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <memory>

class TDesktopSession {
 public:
  // Starts the server and the window manager. A session that cannot start
  // is a failure of the test, with the tools' output: the tools are
  // installed by scripts/setup-debian.sh wherever the tests run.
  //   ASSERT_TRUE(desk_.Start());
  testing::AssertionResult Start() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "import"})
      if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
        return testing::AssertionFailure() << "no " << tool << " (scripts/setup-debian.sh installs it)";
    server_ = std::make_unique<TXvfb>(QStringLiteral("1024x768"));
    if (server_->Display().isEmpty())
      return testing::AssertionFailure() << "Xvfb did not start: " << server_->Log().toStdString();
    env_ = server_->Environment();
    env_.remove(QStringLiteral("LC_ALL"));
    env_.remove(QStringLiteral("LC_MESSAGES"));
    env_.remove(QStringLiteral("LANGUAGE"));
    env_.insert(QStringLiteral("LANG"), QStringLiteral("fi_FI.UTF-8"));
    // A window manager slow to take the screen on a loaded machine gets
    // one more start; the second failure is the test's.
    QString log;
    for (int attempt = 1; attempt <= 2; ++attempt) {
      if (StartWindowManager()) {
        Tool("xdotool", {"mousemove", "0", "0"});
        return testing::AssertionSuccess();
      }
      log += QStringLiteral("\n-- openbox, start %1 (load %2):\n").arg(attempt).arg(qxtest::LoadFactor()) +
             StopWindowManager();
    }
    return testing::AssertionFailure() << "openbox did not take the screen " << server_->Display().toStdString()
                                       << " twice" << log.toStdString() << "\n-- Xvfb:\n"
                                       << server_->Log().toStdString();
  }
  ~TDesktopSession() { StopWindowManager(); }

  QProcessEnvironment& Environment() { return env_; }

  QByteArray Tool(const char* program, const QStringList& args) const {
    return Tool(QLatin1String(program), args);
  }
  QByteArray Tool(const QString& program, const QStringList& args) const {
    QProcess tool;
    tool.setProcessEnvironment(env_);
    tool.start(program, args);
    if (!tool.waitForFinished(qxtest::WaitMs(10000))) {
      tool.kill();
      tool.waitForFinished(1000);
      return {};
    }
    return tool.readAllStandardOutput();
  }
  // Visible windows whose whole title matches pattern.
  QStringList Windows(const QString& pattern) const {
    return QString::fromUtf8(Tool("xdotool", {"search", "--onlyvisible", "--name", u'^' + pattern + u'$'}))
        .split(u'\n', Qt::SkipEmptyParts);
  }
  QString Window(const QString& pattern) const { return Windows(pattern).value(0); }
  QString WaitForWindow(const QString& pattern, int timeoutMs = kDesktopWaitMs) const {
    QString id;
    WaitUntil([&] { return !(id = Window(pattern)).isEmpty(); }, timeoutMs);
    return id;
  }
  bool WaitForNoWindow(const QString& pattern) const {
    return WaitUntil([&] { return Window(pattern).isEmpty(); });
  }
  // The managed windows from bottom to top, as decimal ids like xdotool's.
  QStringList Stacking() const {
    const QString out = QString::fromLatin1(Tool("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"}));
    QStringList ids;
    static const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
    for (const auto& m : hex.globalMatch(out)) ids.append(QString::number(m.captured().toULongLong(nullptr, 16)));
    return ids;
  }
  bool Above(const QString& id) const {
    return Tool("xprop", {"-id", id, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE");
  }
  // The titles of the visible windows, for a failure's message.
  QString Titles() const {
    QStringList titles;
    for (const QString& id : Windows(QStringLiteral(".+"))) {
      const QString title = QString::fromUtf8(Tool("xdotool", {"getwindowname", id})).trimmed();
      titles << id + QStringLiteral(" \"") + title + u'"';
    }
    return titles.join(QStringLiteral(", "));
  }
  // The window that has the focus now (as xdotool names windows).
  QString ActiveWindow() const { return QString::fromUtf8(Tool("xdotool", {"getactivewindow"})).trimmed(); }
  // A splash has the title of the window it precedes but no frame.
  bool Framed(const QString& id) const {
    static const QRegularExpression extents(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"));
    const auto m = extents.match(QString::fromLatin1(Tool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"})));
    return m.hasMatch() && m.captured(3).toInt() > 0;
  }
  void Keys(const QString& id, const QStringList& keys) const {
    Tool("xdotool", {"windowactivate", "--sync", id});
    Tool("xdotool", QStringList{"key", "--clearmodifiers"} + keys);
  }
  // Keys to a window until it goes or what they open shows: the window
  // manager may call a window active before the program has the focus.
  QString KeysFor(const QString& id, const QStringList& keys, const QString& pattern,
                  int timeoutMs = kDesktopWaitMs) const {
    QString shown;
    for (int attempt = 0; attempt < 3 && shown.isEmpty(); ++attempt) {
      Keys(id, keys);
      WaitUntil([&] { return !(shown = Window(pattern)).isEmpty(); }, timeoutMs / 3);
    }
    return shown;
  }
  // Text typed into a window once the keyboard focus is there: typed as a
  // new dialog maps, it goes to the window behind it, which the dialog
  // blocks, and the dialog gets only its tail.
  void Type(const QString& id, const QString& text) const {
    Tool("xdotool", {"windowactivate", "--sync", id});
    if (!WaitUntil([&] { return QString::fromUtf8(Tool("xdotool", {"getwindowfocus"})).trimmed() == id; }))
      ADD_FAILURE() << "window " << id.toStdString() << " never had the keyboard focus to type into";
    Tool("xdotool", {"type", "--delay", "10", text});
  }
  QImage Shot(const QString& id) const {
    return QImage::fromData(Tool("import", {"-window", id, "png:-"}), "PNG");
  }
  // With QX_DESKTOP_SHOTS naming a folder, the screen goes there as name.png.
  void KeepShot(const QString& name) const {
    const QString folder = qEnvironmentVariable("QX_DESKTOP_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    Shot(QStringLiteral("root")).save(folder + u'/' + name + QStringLiteral(".png"));
  }

 private:
  // The window manager runs once the root names its check window and that
  // window is there, named by it (not one left by an earlier start).
  bool StartWindowManager() {
    windowManager_.setProcessEnvironment(env_);
    windowManager_.setProcessChannelMode(QProcess::MergedChannels);
    windowManager_.start(QStringLiteral("openbox"), Configuration() + QStringList{QStringLiteral("--sm-disable")});
    static const QRegularExpression id(QStringLiteral("window id # (0x[0-9a-fA-F]+)"));
    return windowManager_.waitForStarted(qxtest::WaitMs(10000)) && WaitUntil([this] {
             if (windowManager_.state() != QProcess::Running) return false;
             const auto check = id.match(QString::fromLatin1(Tool("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"})));
             return check.hasMatch() &&
                    Tool("xprop", {"-id", check.captured(1), "_NET_WM_NAME"}).contains("Openbox");
           });
  }
  // The system's configuration of the window manager, but for the time
  // between the clicks of a double click: a loaded server may stamp the
  // second click of xdotool's pair later than a person would.
  QStringList Configuration() {
    QFile system(QStringLiteral("/etc/xdg/openbox/rc.xml"));
    if (!config_.isOpen() && system.open(QIODevice::ReadOnly) && config_.open()) {
      QByteArray rc = system.readAll();
      rc.replace("<doubleClickTime>500</doubleClickTime>", "<doubleClickTime>2000</doubleClickTime>");
      config_.write(rc);
      config_.flush();
    }
    if (!config_.isOpen()) return {};
    return {QStringLiteral("--config-file"), config_.fileName()};
  }
  // Ends the window manager; what it said.
  QString StopWindowManager() {
    if (windowManager_.state() != QProcess::NotRunning) {
      windowManager_.terminate();
      if (!windowManager_.waitForFinished(5000)) windowManager_.kill();
      windowManager_.waitForFinished(5000);
    }
    return QString::fromLocal8Bit(windowManager_.readAll()).trimmed() +
           QStringLiteral(" (exit %1, %2)").arg(windowManager_.exitCode()).arg(windowManager_.errorString());
  }

  std::unique_ptr<TXvfb> server_;
  QTemporaryFile config_;
  QProcessEnvironment env_;
  QProcess windowManager_;
};
