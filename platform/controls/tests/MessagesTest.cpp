// Message order, the WindowProc chain and the erase-background step.
#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>
#include <QKeyEvent>

#include <vector>

namespace {

class MessagesTest : public ControlsTest {};

// Installs a hook that logs every message, then calls the previous procedure.
TWndMethod LogHook(TControl* c, std::vector<UINT>& log) {
  TWndMethod previous = c->WindowProc;
  c->WindowProc = TWndMethod([previous, &log](TMessage& m) {
    log.push_back(m.Msg);
    previous(m);
  });
  return previous;
}

long IndexOf(const std::vector<UINT>& log, UINT msg) {
  for (size_t i = 0; i < log.size(); ++i)
    if (log[i] == msg) return static_cast<long>(i);
  return -1;
}

TEST_F(MessagesTest, ResizeAsksMinMaxAndPositionBeforeItHappens) {
  std::vector<UINT> log;
  int widthSeen = -1;
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  TWndMethod previous = form.WindowProc;
  form.WindowProc = TWndMethod([&, previous](TMessage& m) {
    log.push_back(m.Msg);
    if (m.Msg == WM_GETMINMAXINFO) widthSeen = form.Width();
    previous(m);
  });
  form.SetWidth(350);
  const long changing = IndexOf(log, WM_WINDOWPOSCHANGING);
  const long minmax = IndexOf(log, WM_GETMINMAXINFO);
  const long size = IndexOf(log, WM_SIZE);
  ASSERT_GE(changing, 0);
  ASSERT_GE(minmax, 0);
  ASSERT_GE(size, 0);
  EXPECT_LT(changing, minmax);
  EXPECT_LT(minmax, size);
  EXPECT_LT(IndexOf(log, WM_WINDOWPOSCHANGED), size);
  EXPECT_EQ(widthSeen, 300);
  EXPECT_EQ(form.Width(), 350);
}

TEST_F(MessagesTest, HookChangesTheProposedPosition) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 300, 200);
  TWndMethod previous = form.WindowProc;
  form.WindowProc = TWndMethod([previous](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGING) {
      auto* pos = reinterpret_cast<TWindowPos*>(m.LParam);
      if (!(pos->flags & SWP_NOMOVE)) pos->x = std::min(pos->x, 50);
      return;  // handled: the default step does not run
    }
    if (m.Msg == WM_GETMINMAXINFO) {
      reinterpret_cast<TMinMaxInfo*>(m.LParam)->ptMaxTrackSize = {320, 320};
      return;
    }
    previous(m);
  });
  form.SetBounds(200, 20, 300, 200);
  EXPECT_EQ(form.Left(), 50);
  EXPECT_EQ(form.Top(), 20);
  form.WindowProc = previous;
  form.WindowProc = TWndMethod([previous](TMessage& m) {
    if (m.Msg == WM_GETMINMAXINFO)
      reinterpret_cast<TMinMaxInfo*>(m.LParam)->ptMaxTrackSize = {320, 320};
    else
      previous(m);
  });
  form.SetWidth(500);
  EXPECT_EQ(form.Width(), 320);
}

TEST_F(MessagesTest, MouseMessagesArriveInOrder) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  std::vector<UINT> log;
  LogHook(body, log);
  QStringList events;
  body->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
    events << QStringLiteral("down %1 %2,%3").arg(b).arg(x).arg(y);
  };
  body->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    events << QStringLiteral("move %1,%2").arg(x).arg(y);
  };
  body->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int x, int y) {
    events << QStringLiteral("up %1 %2,%3").arg(b).arg(x).arg(y);
  };
  body->OnClick = [&](TObject*) { events << QStringLiteral("click"); };
  SendMouse(body, QEvent::MouseButtonPress, 5, 6);
  EXPECT_TRUE(body->MouseCapture());
  SendMouse(body, QEvent::MouseMove, 7, 8);
  SendMouse(body, QEvent::MouseButtonRelease, 9, 10);
  EXPECT_FALSE(body->MouseCapture());
  EXPECT_EQ(log, (std::vector<UINT>{WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP}));
  EXPECT_EQ(events, (QStringList{"down 0 5,6", "move 7,8", "click", "up 0 9,10"}));
  form->Free();  // its hooks refer to this test's locals
}

TEST_F(MessagesTest, PostedMessagesArriveInOrderAfterTheCurrentOne) {
  std::vector<UINT> log;
  TForm form(nullptr);
  LogHook(&form, log);
  PostMessage(&form, WM_USER + 1, 0, 0);
  PostMessage(&form, WM_USER + 2, 0, 0);
  form.Perform(WM_USER + 3, 0, 0);
  PostMessage(&form, WM_USER + 4, 0, 0);
  EXPECT_EQ(log, (std::vector<UINT>{WM_USER + 3}));
  Pump();
  EXPECT_EQ(log, (std::vector<UINT>{WM_USER + 3, WM_USER + 1, WM_USER + 2, WM_USER + 4}));
}

TEST_F(MessagesTest, PostedMessageToAControlFreedMeanwhileIsDropped) {
  auto* form = new TForm(nullptr);
  PostMessage(form, WM_USER, 0, 0);
  form->Free();
  Pump();  // nothing to deliver to; must not touch the freed form
}

TEST_F(MessagesTest, ApplicationHandlersSeePostedMessagesFirst) {
  std::vector<UINT> log;
  QStringList seen;
  TForm form(nullptr);
  LogHook(&form, log);
  app->AddMessageHandler([&](TMsg& m, bool&) { seen << QStringLiteral("first %1").arg(m.message); });
  const int second = app->AddMessageHandler([&](TMsg& m, bool& handled) {
    seen << QStringLiteral("second %1").arg(m.message);
    handled = m.message == WM_USER + 1;
  });
  PostMessage(&form, WM_USER + 1, 0, 0);
  PostMessage(&form, WM_USER + 2, 0, 0);
  Pump();
  EXPECT_EQ(seen, (QStringList{"second 1025", "second 1026", "first 1026"}));
  EXPECT_EQ(log, (std::vector<UINT>{WM_USER + 2}));
  app->RemoveMessageHandler(second);
  PostMessage(&form, WM_USER + 1, 0, 0);
  Pump();
  EXPECT_EQ(log, (std::vector<UINT>{WM_USER + 2, WM_USER + 1}));
}

// A hook: saves the previous procedure, calls it, and on removal puts it
// back only while its own procedure is still the current one; otherwise it
// stays in the chain and passes everything on.
class TTestHook {
 public:
  TTestHook(TControl* c, QStringList& log, QString name) : control_(c) {
    state_ = std::make_shared<State>(State{c->WindowProc, true});
    auto state = state_;
    own_ = TWndMethod([state, &log, name](TMessage& m) {
      if (state->active && m.Msg >= WM_USER) log << name;
      state->previous(m);
    });
    c->WindowProc = own_;
  }
  void Remove() {
    state_->active = false;
    if (control_->WindowProc == own_) control_->WindowProc = state_->previous;
  }

 private:
  struct State {
    TWndMethod previous;
    bool active;
  };
  TControl* control_;
  std::shared_ptr<State> state_;
  TWndMethod own_;
};

TEST_F(MessagesTest, HooksChainAndUnhookByIdentity) {
  QStringList log;
  int reached = 0;
  TForm form(nullptr);
  const TWndMethod original = form.WindowProc;
  TWndMethod base = form.WindowProc;
  form.WindowProc = TWndMethod([base, &reached](TMessage& m) {
    if (m.Msg >= WM_USER) ++reached;
    base(m);
  });
  const TWndMethod counting = form.WindowProc;
  TTestHook a(&form, log, QStringLiteral("a"));
  TTestHook b(&form, log, QStringLiteral("b"));
  form.Perform(WM_USER, 0, 0);
  EXPECT_EQ(log, (QStringList{"b", "a"}));
  EXPECT_EQ(reached, 1);

  a.Remove();  // out of order: a stays in the chain, silent
  EXPECT_FALSE(form.WindowProc == counting);
  form.Perform(WM_USER, 0, 0);
  EXPECT_EQ(log, (QStringList{"b", "a", "b"}));
  EXPECT_EQ(reached, 2);

  b.Remove();
  form.Perform(WM_USER, 0, 0);
  EXPECT_EQ(log, (QStringList{"b", "a", "b"}));
  EXPECT_EQ(reached, 3);
  EXPECT_FALSE(original == counting);
}

TEST_F(MessagesTest, InOrderUnhookRestoresTheOriginalProcedure) {
  QStringList log;
  TForm form(nullptr);
  const TWndMethod original = form.WindowProc;
  TTestHook a(&form, log, QStringLiteral("a"));
  TTestHook b(&form, log, QStringLiteral("b"));
  b.Remove();
  a.Remove();
  EXPECT_TRUE(form.WindowProc == original);
}

TEST_F(MessagesTest, EraseBackgroundHookCanKeepTheBackground) {
  bool erased = false;
  TForm form(nullptr);
  form.SetBounds(0, 0, 60, 40);
  form.SetColor(clRed);
  auto* panel = new TTestPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(10, 10, 20, 20);
  panel->SetColor(clBlue);
  form.Show();
  QImage image = form.PaintToImage();
  EXPECT_EQ(QRgbToColor(image.pixel(15, 15)), clBlue);
  TWndMethod previous = panel->WindowProc;
  panel->WindowProc = TWndMethod([previous, &erased](TMessage& m) {
    if (m.Msg == WM_ERASEBKGND) {
      erased = true;
      m.Result = 1;  // answered: nothing erased
      return;
    }
    previous(m);
  });
  image = form.PaintToImage();
  EXPECT_TRUE(erased);
  EXPECT_EQ(QRgbToColor(image.pixel(15, 15)), clRed);  // the parent shows through
}

TEST_F(MessagesTest, RecreateWndSendsDestroyAndKeepsTheProcedure) {
  std::vector<UINT> log;
  TForm form(nullptr);
  form.HandleNeeded();
  QWidget* old = form.Handle();
  LogHook(&form, log);
  form.RecreateWnd();
  EXPECT_EQ(IndexOf(log, WM_DESTROY), 0);
  EXPECT_TRUE(form.HandleAllocated());
  EXPECT_NE(form.Handle(), nullptr);
  (void)old;
  form.Perform(WM_USER, 0, 0);
  EXPECT_EQ(log.back(), WM_USER);
}

TEST_F(MessagesTest, WindowTimerDeliversWmTimer) {
  std::vector<UINT> ids;
  TForm form(nullptr);
  TWndMethod previous = form.WindowProc;
  form.WindowProc = TWndMethod([&ids, previous](TMessage& m) {
    if (m.Msg == WM_TIMER) ids.push_back(static_cast<UINT>(m.WParam));
    previous(m);
  });
  SetTimer(&form, 7, 0);
  for (int i = 0; i < 100 && ids.empty(); ++i) QCoreApplication::processEvents();
  KillTimer(&form, 7);
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(ids.front(), 7u);
  const size_t count = ids.size();
  Pump();
  EXPECT_EQ(ids.size(), count);
}

}  // namespace

namespace {

void SendKey(TControl* c, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(c->Widget(), &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(c->Widget(), &release);
}

TEST_F(MessagesTest, KeysBecomeVirtualKeysAnd1252Characters) {
  QStringList seen;
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  body->OnKeyDown = [&seen](TObject*, std::uint16_t& k, TShiftState) { seen << QString::number(k); };
  body->OnKeyPress = [&seen](TObject*, char& k) {
    seen << QString::number(static_cast<unsigned char>(k));
  };
  body->OnKeyUp = [&seen](TObject*, std::uint16_t& k, TShiftState) { seen << QStringLiteral("up %1").arg(k); };
  SendKey(body, Qt::Key_Left, QString());
  SendKey(body, Qt::Key_Adiaeresis, QStringLiteral("Ä"));
  EXPECT_EQ(seen, (QStringList{"37", "up 37", "222", "196", "up 222"}));

  seen.clear();
  form->SetKeyPreview(true);
  form->OnKeyPress = [&seen](TObject*, char& k) {
    seen << QStringLiteral("form %1").arg(k);
    if (k == 'x') k = 0;  // swallowed: the control never sees it
  };
  SendKey(body, Qt::Key_X, QStringLiteral("x"));
  SendKey(body, Qt::Key_Y, QStringLiteral("y"));
  EXPECT_EQ(seen, (QStringList{"88", "form x", "up 88", "89", "form y", "121", "up 89"}));
  form->Free();
}

}  // namespace
