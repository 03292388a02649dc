// Forms: reading a plain form, showing and hiding, focus, moves by the
// window manager, minimising and the end of the application.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Menus.h"
#include "platform/controls/Screen.h"
#include "platform/controls/Timer.h"

#include <QKeyEvent>
#include <QMenuBar>

namespace {

class FormBehaviourTest : public ControlsTest {};

TEST_F(FormBehaviourTest, PlainFormReadsItsFileAndNonVisualComponents) {
  TForm form(nullptr, QStringLiteral(":/forms/plain.form"));
  EXPECT_EQ(form.Name(), "PlainForm");
  EXPECT_EQ(form.Caption(), "Tavallinen");
  EXPECT_TRUE(form.KeyPreview());
  auto* tick = FindComponentAs<TTimer>(&form, "Tick");
  EXPECT_EQ(tick->Interval(), 250u);
  EXPECT_FALSE(tick->Enabled());
  EXPECT_FALSE(tick->Running());
  auto* box = FindComponentAs<TTestPanel>(&form, "Box");
  auto* box2 = FindComponentAs<TTestPanel>(&form, "Box2");
  EXPECT_EQ(box->Parent(), &form);
  EXPECT_EQ(form.Font()->Name(), "Courier New");
  EXPECT_TRUE(form.Font()->Style().Contains(fsBold));
  EXPECT_EQ(box->Font()->Name(), "Courier New");  // ParentFont
  EXPECT_TRUE(box->ParentFont());
  EXPECT_EQ(box2->Font()->Name(), "Arial");
  EXPECT_FALSE(box2->ParentFont());
}

TEST_F(FormBehaviourTest, MissingFormFileRaises) {
  EXPECT_THROW(TForm(nullptr, QStringLiteral(":/forms/none.form")), EFOpenError);
}

TEST_F(FormBehaviourTest, ShowAndHideFireTheirEvents) {
  QStringList log;
  TForm form(nullptr);
  form.OnShow = [&](TObject*) { log << QStringLiteral("show %1").arg(form.Widget()->isVisible()); };
  form.OnHide = [&](TObject*) { log << QStringLiteral("hide %1").arg(form.Widget()->isVisible()); };
  form.Show();
  EXPECT_TRUE(form.Showing());
  form.Hide();
  EXPECT_FALSE(form.Showing());
  EXPECT_EQ(log, (QStringList{"show 0", "hide 0"}));
  form.OnShow = nullptr;
  form.OnHide = nullptr;
}

TEST_F(FormBehaviourTest, ChildPositionsMapToTheScreen) {
  TForm form(nullptr, QStringLiteral(":/forms/plain.form"));
  form.Show();
  auto* box = FindComponentAs<TTestPanel>(&form, "Box");
  const TPoint origin = form.ClientOrigin();
  EXPECT_EQ(box->ClientToScreen({1, 2}), (TPoint{origin.X + 11, origin.Y + 22}));
  EXPECT_EQ(box->ScreenToClient({origin.X + 11, origin.Y + 22}), (TPoint{1, 2}));
}

TEST_F(FormBehaviourTest, FocusMovesBetweenControlsWithEnterAndExit) {
  QStringList log;
  TForm form(nullptr, QStringLiteral(":/forms/plain.form"));
  auto* box = FindComponentAs<TTestPanel>(&form, "Box");
  auto* box2 = FindComponentAs<TTestPanel>(&form, "Box2");
  box->OnEnter = [&log](TObject*) { log << "enter 1"; };
  box->OnExit = [&log](TObject*) { log << "exit 1"; };
  box2->OnEnter = [&log](TObject*) { log << "enter 2"; };
  form.Show();
  form.Widget()->activateWindow();
  Pump();
  if (!form.Widget()->isActiveWindow()) GTEST_SKIP() << "the platform gives no focus";
  box->SetFocus();
  Pump();
  EXPECT_TRUE(box->Focused());
  box2->SetFocus();
  Pump();
  EXPECT_TRUE(box2->Focused());
  EXPECT_EQ(log, (QStringList{"enter 1", "exit 1", "enter 2"}));
  box->OnEnter = box->OnExit = box2->OnEnter = nullptr;
}

TEST_F(FormBehaviourTest, TabMovesTheFocusUnlessTheKeyIsUsedUp) {
  TForm form(nullptr, QStringLiteral(":/forms/plain.form"));
  auto* box = FindComponentAs<TTestPanel>(&form, "Box");
  auto* box2 = FindComponentAs<TTestPanel>(&form, "Box2");
  form.Show();
  form.Widget()->activateWindow();
  Pump();
  if (!form.Widget()->isActiveWindow()) GTEST_SKIP() << "the platform gives no focus";
  box->SetFocus();
  Pump();
  box->OnKeyDown = [](TObject*, std::uint16_t& key, TShiftState) {
    if (key == 0x09) key = 0;
  };
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
  QCoreApplication::sendEvent(box->Widget(), &tab);
  Pump();
  EXPECT_TRUE(box->Focused());
  box->OnKeyDown = nullptr;
  QCoreApplication::sendEvent(box->Widget(), &tab);
  Pump();
  EXPECT_TRUE(box2->Focused());
}

TEST_F(FormBehaviourTest, HiddenControlCannotTakeFocus) {
  TForm form(nullptr, QStringLiteral(":/forms/plain.form"));
  auto* box = FindComponentAs<TTestPanel>(&form, "Box");
  box->SetVisible(false);
  EXPECT_FALSE(box->CanFocus());
  EXPECT_THROW(box->SetFocus(), EInvalidOperation);
}

TEST_F(FormBehaviourTest, WindowManagerMovesPassTheHook) {
  TForm form(nullptr);
  form.SetBounds(100, 100, 200, 150);
  form.Show();
  TWndMethod previous = form.WindowProc;
  form.WindowProc = TWndMethod([previous](TMessage& m) {
    if (m.Msg == WM_WINDOWPOSCHANGING) {
      auto* pos = reinterpret_cast<TWindowPos*>(m.LParam);
      pos->x = 100;  // pinned, as a form sizer pins the main window
      pos->y = 100;
      return;
    }
    previous(m);
  });
  form.Widget()->move(300, 250);  // what a drag by the user does
  Pump();
  EXPECT_EQ(form.Left(), 100);
  EXPECT_EQ(form.Top(), 100);
  EXPECT_EQ(form.Widget()->frameGeometry().topLeft(), QPoint(100, 100));
  form.WindowProc = previous;
  form.Widget()->move(300, 250);
  Pump();
  EXPECT_EQ(form.Left(), 300);
  EXPECT_EQ(form.Top(), 250);
}

TEST_F(FormBehaviourTest, RestoreUndoesMinimize) {
  TForm form(nullptr);
  form.Show();
  app->Minimize();
  Pump();
  EXPECT_TRUE(form.Widget()->isMinimized());
  app->Restore();
  app->BringToFront();
  Pump();
  EXPECT_FALSE(form.Widget()->isMinimized());
}

TEST_F(FormBehaviourTest, EndOfApplicationFiresOnDestroyWithComponentsAlive) {
  int componentsSeen = -1;
  auto* form = new TForm(app.get(), QStringLiteral(":/forms/plain.form"));
  form->OnDestroy = [&componentsSeen, form](TObject*) {
    componentsSeen = form->FindComponent(QStringLiteral("Box")) != nullptr ? 1 : 0;
  };
  app.reset();
  EXPECT_EQ(componentsSeen, 1);
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(Screen, nullptr);
}

TEST_F(FormBehaviourTest, CloseQueryCanKeepAFormOpen) {
  TForm main(nullptr);
  app->FormCreated(&main);
  TForm other(nullptr);
  other.Show();
  bool allow = false;
  other.OnCloseQuery = [&allow](TObject*, bool& can) { can = allow; };
  other.Close();
  EXPECT_TRUE(other.Visible());
  allow = true;
  other.Close();
  EXPECT_FALSE(other.Visible());
  EXPECT_FALSE(app->Terminated());
  other.OnCloseQuery = nullptr;
}

TEST_F(FormBehaviourTest, MainMenuBarLiesAboveTheClientArea) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* top = new TTestPanel(&form);
  top->SetParent(&form);
  top->SetBounds(0, 0, 40, 30);
  auto* bottom = new TTestPanel(&form);
  bottom->SetParent(&form);
  bottom->SetHeight(20);
  bottom->SetAlign(alBottom);
  auto* menu = new TMainMenu(&form);
  auto* item = new TMenuItem(&form);
  item->SetCaption(QStringLiteral("&Tiedosto"));
  menu->Items()->Add(item);
  int downY = -1;
  form.OnMouseDown = [&downY](TObject*, TMouseButton, TShiftState, int, int y) { downY = y; };
  form.Show();
  const int clientHeight = form.ClientHeight();
  form.SetMenu(menu);
  Pump();

  const int bar = menu->MenuBar()->height();
  ASSERT_GT(bar, 0);
  EXPECT_EQ(form.MenuBarHeight(), bar);
  EXPECT_EQ(form.Height(), 200);  // the window keeps its size
  EXPECT_EQ(form.ClientHeight(), clientHeight - bar);
  EXPECT_EQ(form.ClientRect(), Rect(0, 0, form.ClientWidth(), clientHeight - bar));
  EXPECT_EQ(top->Widget()->geometry().top(), bar);
  EXPECT_FALSE(menu->MenuBar()->geometry().intersects(top->Widget()->geometry()));
  EXPECT_EQ(bottom->Top(), form.ClientHeight() - 20);
  EXPECT_EQ(bottom->Widget()->geometry().bottom() + 1, form.Widget()->height());
  const QPoint below = form.Widget()->mapToGlobal(QPoint(0, bar));
  EXPECT_EQ(form.ClientOrigin(), (TPoint{below.x(), below.y()}));
  EXPECT_EQ(top->ClientOrigin(), form.ClientOrigin());
  SendMouse(&form, QEvent::MouseButtonPress, 100, bar + 50);
  EXPECT_EQ(downY, 50);
  EXPECT_EQ(form.PaintToImage().size(), QSize(form.ClientWidth(), form.ClientHeight()));

  form.SetClientHeight(150);  // the height below the bar
  EXPECT_EQ(form.ClientHeight(), 150);
  EXPECT_EQ(form.Widget()->height(), 150 + bar);
  EXPECT_EQ(bottom->Top(), 130);

  form.SetMenu(nullptr);
  EXPECT_EQ(form.MenuBarHeight(), 0);
  EXPECT_EQ(form.ClientHeight(), 150 + bar);
  EXPECT_EQ(top->Widget()->geometry().top(), 0);
  form.OnMouseDown = nullptr;
}

TEST_F(FormBehaviourTest, ClientHeightReadFromAFormFileIsBelowTheMenuBar) {
  RegisterMenuClasses();
  const QByteArray text = R"(object MenuForm: TForm
  Left = 0
  Top = 0
  Width = 300
  ClientHeight = 180
  Menu = MainMenu1
  object MainMenu1: TMainMenu
    object Tiedosto1: TMenuItem
      Caption = '&Tiedosto'
    end
  end
end
)";
  TForm form(nullptr);
  ReadRootComponent(&form, text, QStringLiteral("menu.form"));
  ASSERT_NE(form.Menu(), nullptr);
  EXPECT_GT(form.MenuBarHeight(), 0);
  EXPECT_EQ(form.ClientHeight(), 180);
}

}  // namespace
