#include "components/ActivApp.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using qxtest::WaitForFile;

// The platform's peer program: publishes one window titled by its argument
// and prints "<msg> <wParam> <lParam>" for every message it gets.
class WindowPeer : public qxtest::TPeerProcess {
 public:
  explicit WindowPeer(const QString& title) : TPeerProcess(QStringLiteral(QX_WINDOW_PEER), {title}) {}
};

// A program started by a test: a shell script that leaves a marker file.
QString MarkerProgram(const QString& marker, const QString& name = QStringLiteral("muokkain")) {
  const QString path = qxtest::TempPath("bin/" + name);
  qxtest::WriteBytes(path, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
  QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
  return path;
}

TEST(ActivAppTest, Defaults) {
  TActivApp app(nullptr);
  EXPECT_EQ(app.MainFormTitle(), "MyOtherApp");
  EXPECT_EQ(app.ExePath(), QCoreApplication::applicationDirPath() + "/");
  const TMetaClass& meta = MetaClassOf<TActivApp>();
  for (const char* name : {"MainFormTitle", "ExePath", "BeforeLaunchApp"})
    EXPECT_NE(meta.FindProperty(name), nullptr) << name;
}

TEST(ActivAppTest, RunningProgramGetsMessage1426) {
  WindowPeer peer(QStringLiteral("MUOKKAIN"));
  ASSERT_TRUE(peer.ReadLine().startsWith("ready "));
  TActivApp app(nullptr);
  app.SetMainFormTitle("muokkain");
  bool asked = false;
  app.BeforeLaunchApp = [&](TObject*, bool&) { asked = true; };
  app.ActivateApp();
  EXPECT_EQ(peer.ReadLine(), "1426 0 0");
  EXPECT_FALSE(asked);
}

TEST(ActivAppTest, MissingProgramIsNotReported) {
  TActivApp app(nullptr);
  app.SetMainFormTitle("Muokkain");
  app.SetExePath(qxtest::TempPath("nowhere/muokkain.exe"));
  bool asked = false;
  app.BeforeLaunchApp = [&](TObject*, bool& cont) {
    asked = true;
    EXPECT_TRUE(cont);
  };
  EXPECT_NO_THROW(app.ActivateApp());
  EXPECT_TRUE(asked);
  EXPECT_NO_THROW(app.ExecuteApp());
}

TEST(ActivAppTest, TitlePrefixIsNotFoundSoProgramStarts) {
  WindowPeer peer(QStringLiteral("Muokkain - kuva.vrb"));
  ASSERT_TRUE(peer.ReadLine().startsWith("ready "));
  const QString marker = qxtest::TempPath("started");
  TActivApp app(nullptr);
  app.SetMainFormTitle("Muokkain");
  app.SetExePath(MarkerProgram(marker) + ".exe");  // ".exe" falls away on Linux
  app.ActivateApp();
  EXPECT_TRUE(WaitForFile(marker));
}

TEST(ActivAppTest, BeforeLaunchAppCanPreventTheStart) {
  const QString prevented = qxtest::TempPath("prevented");
  const QString later = qxtest::TempPath("later");
  TActivApp app(nullptr);
  app.SetMainFormTitle("Muokkain");
  app.SetExePath(MarkerProgram(prevented));
  int asked = 0;
  app.BeforeLaunchApp = [&](TObject*, bool& cont) {
    ++asked;
    cont = false;
  };
  app.ActivateApp();
  EXPECT_EQ(asked, 1);
  // A program started afterwards has run: the prevented one would have been
  // started before it.
  TActivApp other(nullptr);
  other.SetExePath(MarkerProgram(later, "later"));
  other.ExecuteApp();
  ASSERT_TRUE(WaitForFile(later));
  EXPECT_FALSE(QFile::exists(prevented));
  // ExecuteApp does not ask.
  app.ExecuteApp();
  EXPECT_TRUE(WaitForFile(prevented));
  EXPECT_EQ(asked, 1);
}

// The message hook ------------------------------------------------------------

class ActivAppHook : public testing::Test {
 protected:
  ActivAppHook() : application_(std::make_unique<TApplication>()) {
    probeId_ = application_->AddMessageHandler([this](TMsg& msg, bool&) { seen_ << msg.message; });
  }
  ~ActivAppHook() override {
    application_->RemoveMessageHandler(probeId_);
    application_.reset();
  }
  void Deliver(UINT message) {
    TMsg msg;
    msg.message = message;
    application_->DeliverMessage(msg);
  }

  std::unique_ptr<TApplication> application_;
  int probeId_ = 0;
  QList<UINT> seen_;  // messages the hook left unhandled
};

TEST_F(ActivAppHook, HandlesOnly1426) {
  TActivApp app(nullptr);
  Deliver(1426);
  Deliver(1427);
  EXPECT_EQ(seen_, QList<UINT>{1427});
}

TEST_F(ActivAppHook, LeavesTheChainWhenFreed) {
  { TActivApp app(nullptr); }
  Deliver(1426);
  EXPECT_EQ(seen_, QList<UINT>{1426});
}

TEST_F(ActivAppHook, RestoresMinimisedProgram) {
  TForm* form = nullptr;
  application_->CreateForm(form);
  TActivApp app(form);
  form->Show();
  application_->Minimize();
  ASSERT_TRUE(form->Widget()->isMinimized());
  Deliver(1426);
  EXPECT_FALSE(form->Widget()->isMinimized());
}

}  // namespace
