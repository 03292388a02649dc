// Window hooks: the chain of hooks on one control, re-hooking a re-created
// window, freeing a control hook left without hooks, and form files.
#include "components/KvHook.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Form.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/ExceptionSink.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr UINT kProbe = 0x0400;  // a message nothing else handles

// The hook list's posted work is queued behind everything posted before.
void RunPosted() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

class KvHook : public testing::Test {
 protected:
  void SetUp() override {
    RegisterKvHookClasses();
    form = std::make_unique<TForm>(nullptr);
    panel = new TPanel(form.get());
    panel->SetParent(form.get());
    // The control's own procedure, recorded under the hooks.
    const TWndMethod own = panel->WindowProc;
    panel->WindowProc = TWndMethod([this, own](TMessage& m) {
      if (m.Msg == kProbe || m.Msg == WM_DESTROY) log.push_back("control");
      own(m);
    });
  }
  void TearDown() override {
    form.reset();
    FreeProcessObject<THookList>();
  }

  TKvWindowHook* Hook(const char* name, TWinControl* control, bool handles = false) {
    auto* hook = new TKvWindowHook(form.get());
    hook->SetName(QString::fromLatin1(name));
    const std::string tag = name;
    hook->BeforeMessage = [this, tag, handles](TObject*, TMessage& m, bool& handled) {
      if (m.Msg != kProbe && m.Msg != WM_DESTROY) return;
      log.push_back(tag + " before");
      handled = handles;
    };
    hook->AfterMessage = [this, tag](TObject*, TMessage& m, bool&) {
      if (m.Msg == kProbe || m.Msg == WM_DESTROY) log.push_back(tag + " after");
    };
    hook->SetWinControl(control);
    return hook;
  }

  std::unique_ptr<TForm> form;
  TPanel* panel = nullptr;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(KvHook, TheLastAttachedSeesAMessageFirstAndHandledHidesItButNotDestroy) {
  TKvWindowHook* first = Hook("first", panel);
  TKvWindowHook* second = Hook("second", panel);
  ASSERT_NE(first->ControlHook(), nullptr);
  EXPECT_EQ(first->ControlHook(), second->ControlHook());
  EXPECT_EQ(HookList().Count(), 1);

  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, (Log{"second before", "first before", "control", "second after", "first after"}));

  log.clear();
  TKvWindowHook* swallow = Hook("swallow", panel, true);
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, Log{"swallow before"});

  // The control still gets WM_DESTROY; the window is then hooked again.
  log.clear();
  panel->RecreateWnd();
  EXPECT_EQ(log, (Log{"swallow before", "control", "swallow after"}));
  log.clear();
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, Log{"control"});
  RunPosted();
  log.clear();
  swallow->SetActive(false);
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, (Log{"second before", "first before", "control", "second after", "first after"}));
}

int sunk = 0;
void CountSunk(TObject*) { ++sunk; }

TEST_F(KvHook, AFailingHandlerIsReportedAndThePassGoesOn) {
  Hook("first", panel);
  TKvWindowHook* failing = Hook("failing", panel);
  failing->BeforeMessage = [](TObject*, TMessage& m, bool&) {
    if (m.Msg == kProbe) throw EComponentError(QStringLiteral("hook failed"));
  };
  sunk = 0;
  const TExceptionSink before = SetExceptionSink(CountSunk);
  panel->Perform(kProbe, 0, 0);
  SetExceptionSink(before);
  EXPECT_EQ(sunk, 1);
  EXPECT_EQ(log, (Log{"first before", "control", "failing after", "first after"}));
}

TEST_F(KvHook, MovingTheLastHookToAnotherControlFreesTheOldControlHook) {
  auto* other = new TPanel(form.get());
  other->SetParent(form.get());
  TKvWindowHook* hook = Hook("hook", panel);
  TControlHook* old = hook->ControlHook();
  hook->SetWinControl(other);
  EXPECT_NE(hook->ControlHook(), old);
  EXPECT_EQ(HookList().Count(), 2);
  RunPosted();
  EXPECT_EQ(HookList().Count(), 1);
  EXPECT_FALSE(HookList().Contains(old));
  EXPECT_EQ(HookList().FindHook(panel), nullptr);
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, Log{"control"});
}

TEST_F(KvHook, AHookRemovedUnderALaterProcedureLeavesThatOneWorking) {
  TKvWindowHook* hook = Hook("hook", panel);
  const TWndMethod under = panel->WindowProc;
  panel->WindowProc = TWndMethod([this, under](TMessage& m) {
    if (m.Msg == kProbe) log.push_back("later");
    under(m);
  });
  const TWndMethod later = panel->WindowProc;
  hook->Free();
  RunPosted();
  EXPECT_EQ(HookList().Count(), 0);
  EXPECT_TRUE(panel->WindowProc == later);
  panel->Perform(kProbe, 0, 0);
  EXPECT_EQ(log, (Log{"later", "control"}));
}

TEST_F(KvHook, AFreedControlStopsItsHooks) {
  TKvWindowHook* hook = Hook("hook", panel);
  delete panel;
  EXPECT_EQ(hook->WinControl(), nullptr);
  EXPECT_EQ(hook->ControlHook(), nullptr);
  RunPosted();
  EXPECT_EQ(HookList().Count(), 0);
}

const QByteArray kHookForm =
    "object Form1: TForm\n"
    "  object Panel1: TPanel\n"
    "  end\n"
    "  object FormHook: TKvWindowHook\n"
    "    IsForm = True\n"
    "  end\n"
    "  object PanelHook: TKvWindowHook\n"
    "    Active = False\n"
    "    WinControl = Panel1\n"
    "    IsForm = False\n"
    "  end\n"
    "end\n";

TEST_F(KvHook, FormFilesStoreTheOwnFormAsIsForm) {
  RegisterClasses<TPanel>();
  TForm root(nullptr);
  ReadRootComponent(&root, kHookForm, QStringLiteral("Form1.form"));
  auto* formHook = dynamic_cast<TKvWindowHook*>(root.FindComponent("FormHook"));
  auto* panelHook = dynamic_cast<TKvWindowHook*>(root.FindComponent("PanelHook"));
  ASSERT_TRUE(formHook && panelHook);
  EXPECT_EQ(formHook->WinControl(), &root);
  EXPECT_TRUE(formHook->Active());
  EXPECT_EQ(panelHook->WinControl(), root.FindComponent("Panel1"));
  EXPECT_FALSE(panelHook->Active());
  const QByteArray written = WriteComponentText(&root);
  EXPECT_TRUE(written.contains("IsForm = True")) << written.constData();
  EXPECT_TRUE(written.contains("WinControl = Panel1")) << written.constData();
  EXPECT_EQ(written.count("WinControl"), 1) << written.constData();
  TForm again(nullptr);
  ReadRootComponent(&again, written, QStringLiteral("Form1.form"));
  EXPECT_EQ(WriteComponentText(&again), written);
}

}  // namespace
