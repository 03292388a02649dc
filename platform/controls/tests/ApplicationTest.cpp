// The application object: uncaught exceptions, modal loops and message
// boxes, timers, hints and help.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Clipbrd.h"
#include "platform/controls/HelpViewer.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/Timer.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QElapsedTimer>
#include <QEnterEvent>

namespace {

class ApplicationTest : public ControlsTest {};

struct DotCase {
  const char* message;
  const char* shown;
};

class ExceptionBoxTest : public ApplicationTest, public testing::WithParamInterface<DotCase> {};

TEST_P(ExceptionBoxTest, ClickHandlerExceptionShowsABoxAndTheProgramGoesOn) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  const QString message = QString::fromUtf8(GetParam().message);
  body->OnClick = [&message](TObject*) { throw EConvertError(message); };
  Click(body, 10, 10);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0].caption, "Testiohjelma");
  EXPECT_EQ(boxes[0].text, QString::fromUtf8(GetParam().shown));
  EXPECT_EQ(boxes[0].icon, miError);
  int clicks = 0;
  body->OnClick = [&clicks](TObject*) { ++clicks; };
  Click(body, 10, 10);
  EXPECT_EQ(clicks, 1);
  form->Free();
}

INSTANTIATE_TEST_SUITE_P(
    DotRule, ExceptionBoxTest,
    testing::Values(DotCase{"Disk full", "Disk full."}, DotCase{"Done.", "Done."},
                    DotCase{"Really?", "Really?."}, DotCase{"Stop!", "Stop!"},
                    DotCase{"Count: 5", "Count: 5."}, DotCase{"(x)", "(x)"},
                    DotCase{"Ääni", "Ääni."}, DotCase{"", ""}));

TEST_F(ApplicationTest, AbortIsSilentAndOnExceptionReplacesTheBox) {
  Guard(nullptr, [] { throw EAbort(); });
  EXPECT_TRUE(boxes.isEmpty());
  QString seen;
  app->OnException = [&seen](TObject*, const Exception& e) { seen = e.Message(); };
  Guard(nullptr, [] { throw EListError(QStringLiteral("List index out of bounds (3)")); });
  EXPECT_EQ(seen, "List index out of bounds (3)");
  EXPECT_TRUE(boxes.isEmpty());
  app->OnException = nullptr;
  Guard(nullptr, [] { throw std::runtime_error("plain"); });
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0].text, "plain.");
}

TEST_F(ApplicationTest, OnCreateExceptionIsShownAndTheFormStillExists) {
  class TFailingForm : public TForm {
   public:
    explicit TFailingForm(TComponent* owner) : TForm(owner) {
      OnCreate = [](TObject*) { throw EInOutError(2, QStringLiteral("File not found")); };
      DoCreate();
    }
  };
  auto* form = new TFailingForm(app.get());
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0].text, "File not found.");
  form->Free();
}

TEST_F(ApplicationTest, ShowModalReturnsWhatTheDriverSets) {
  TForm dialog(nullptr);
  bool visibleDuringLoop = false;
  app->ModalDriver = [&](TObject* modal) {
    ASSERT_EQ(modal, &dialog);
    visibleDuringLoop = dialog.Visible() && dialog.Modal();
    PostMessage(&dialog, WM_USER, 0, 0);  // the loop runs: answer from inside it
    dialog.OnCloseQuery = [](TObject*, bool& can) { can = true; };
  };
  TWndMethod previous = dialog.WindowProc;
  dialog.WindowProc = TWndMethod([&dialog, previous](TMessage& m) {
    if (m.Msg == WM_USER) dialog.SetModalResult(mrRetry);
    previous(m);
  });
  EXPECT_EQ(dialog.ShowModal(), mrRetry);
  EXPECT_TRUE(visibleDuringLoop);
  EXPECT_FALSE(dialog.Visible());
  dialog.WindowProc = previous;
}

TEST_F(ApplicationTest, CloseQueryCanRefuseAModalResult) {
  TForm dialog(nullptr);
  int asked = 0;
  dialog.OnCloseQuery = [&asked](TObject*, bool& can) { can = ++asked > 1; };
  app->ModalDriver = [&dialog](TObject*) {
    dialog.SetModalResult(mrOk);  // refused the first time
    PostMessage(&dialog, WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
}

struct BoxCase {
  UINT flags;
  int clickIndex;
  int expected;
  int buttonCount;
};

class MessageBoxTest : public ApplicationTest, public testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxTest, ReturnsTheButtonPressed) {
  const BoxCase c = GetParam();
  int count = -1;
  app->ModalDriver = [&](TObject* modal) {
    auto* box = dynamic_cast<TMessageForm*>(modal);
    ASSERT_NE(box, nullptr);
    count = static_cast<int>(box->Buttons().size());
    box->ClickButton(box->Buttons()[c.clickIndex].result);
  };
  EXPECT_EQ(MessageBox(QStringLiteral("Tallennetaanko?"), QStringLiteral("Muokkain"), c.flags),
            c.expected);
  EXPECT_EQ(count, c.buttonCount);
}

INSTANTIATE_TEST_SUITE_P(Flags, MessageBoxTest,
                         testing::Values(BoxCase{MB_OK, 0, IDOK, 1},
                                         BoxCase{MB_OKCANCEL, 1, IDCANCEL, 2},
                                         BoxCase{MB_YESNO | MB_ICONQUESTION, 1, IDNO, 2},
                                         BoxCase{MB_YESNOCANCEL, 0, IDYES, 3},
                                         BoxCase{MB_ABORTRETRYIGNORE, 2, IDIGNORE, 3},
                                         BoxCase{MB_RETRYCANCEL, 0, IDRETRY, 2}));

TEST_F(ApplicationTest, ClosingAnOkBoxAnswersOk) {
  app->ModalDriver = [](TObject* modal) { static_cast<TForm*>(modal)->Close(); };
  EXPECT_EQ(MessageBox(QStringLiteral("x"), QStringLiteral("y"), MB_OK), IDOK);
  EXPECT_EQ(MessageBox(QStringLiteral("x"), QStringLiteral("y"), MB_YESNOCANCEL), IDCANCEL);
}

TEST_F(ApplicationTest, MessageDlgCaptionsAndButtons) {
  QString caption;
  QList<TModalResult> results;
  app->ModalDriver = [&](TObject* modal) {
    auto* box = static_cast<TMessageForm*>(modal);
    caption = box->Caption();
    for (const auto& b : box->Buttons()) results << b.result;
    box->ClickButton(mrNo);
  };
  EXPECT_EQ(MessageDlg(QStringLiteral("Poistetaanko?"), mtConfirmation, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(caption, "Confirm");
  EXPECT_EQ(results, (QList<TModalResult>{mrYes, mrNo}));
  EXPECT_EQ(MessageDlg(QStringLiteral("Virhe"), mtError, {mbOK, mbNo, mbHelp}, 5), mrNo);
  EXPECT_EQ(caption, "Error");
  EXPECT_EQ(results, (QList<TModalResult>{mrYes, mrNo, mrNo, mrOk, mrNone}));
}

TEST_F(ApplicationTest, ShowMessageUsesTheApplicationTitle) {
  ShowMessage(QStringLiteral("Valmis"));
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0].caption, "Testiohjelma");
  EXPECT_EQ(boxes[0].text, "Valmis");
  EXPECT_EQ(boxes[0].icon, miNone);
}

TEST_F(ApplicationTest, TimerDrivenThroughTheHook) {
  QList<QPair<bool, unsigned>> schedule;
  TTimer::SetTimerHook([&schedule](TTimer*, bool running, unsigned interval) {
    schedule.append({running, interval});
  });
  TForm form(nullptr);
  auto* timer = new TTimer(&form);
  int ticks = 0;
  timer->OnTimer = [&ticks](TObject*) {
    if (++ticks == 2) throw EConvertError(QStringLiteral("tick failed"));
  };
  timer->SetInterval(250);
  EXPECT_TRUE(timer->Running());
  timer->Tick();
  timer->Tick();  // raises: shown, and the timer goes on
  timer->Tick();
  EXPECT_EQ(ticks, 3);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0].text, "tick failed.");
  timer->SetEnabled(false);
  timer->Tick();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(timer->Running());
  timer->SetInterval(0);
  timer->SetEnabled(true);
  EXPECT_FALSE(timer->Running());
  const QList<QPair<bool, unsigned>> expected{{true, 1000}, {true, 250}, {false, 250}};
  EXPECT_EQ(schedule, expected);
}

TEST_F(ApplicationTest, HintShowsExactlyWhereOnShowHintPutsIt) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  body->SetHint(QStringLiteral("Runko|pitkä vihje"));
  body->SetShowHint(true);
  QString textSeen;
  TControl* controlSeen = nullptr;
  app->OnShowHint = [&](QString& text, bool&, THintInfo& info) {
    textSeen = text;
    controlSeen = info.HintControl;
    info.HintPos = {123, 234};
    text = QStringLiteral("Solu 3");
  };
  SendMouse(body, QEvent::MouseMove, 5, 5);
  ASSERT_EQ(app->HintControl(), body);
  app->ActivateHint(body->ClientToScreen({5, 5}));
  EXPECT_EQ(textSeen, "Runko");
  EXPECT_EQ(controlSeen, body);
  ASSERT_NE(app->HintWindow(), nullptr);
  EXPECT_TRUE(app->HintWindow()->Visible());
  EXPECT_EQ(app->HintWindow()->Caption(), "Solu 3");
  EXPECT_EQ(app->HintWindow()->Widget()->geometry().topLeft(), QPoint(123, 234));
  app->CancelHint();
  EXPECT_FALSE(app->HintWindow()->Visible());
  EXPECT_EQ(app->HintControl(), nullptr);
}

TEST_F(ApplicationTest, NoHintWithoutShowHintOrWithEmptyText) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  body->SetHint(QStringLiteral("Runko"));
  SendMouse(body, QEvent::MouseMove, 5, 5);
  EXPECT_EQ(app->HintControl(), nullptr);  // ShowHint is off
  body->SetShowHint(true);
  app->OnShowHint = [](QString& text, bool&, THintInfo&) { text.clear(); };
  SendMouse(body, QEvent::MouseMove, 6, 5);
  app->ActivateHint({0, 0});
  EXPECT_TRUE(app->HintWindow() == nullptr || !app->HintWindow()->Visible());
}

TEST_F(ApplicationTest, HelpOpensTheHtmlBesideTheHelpFileAtTheContext) {
  const QString html = qxtest::TempPath(QStringLiteral("help/trovaly10.html"));
  qxtest::WriteBytes(html, "<html><body><a name=\"context-1\">Ohje</a></body></html>");
  app->SetHelpFile(qxtest::TempPath(QStringLiteral("help/trovaly10.hlp")));
  EXPECT_TRUE(app->HelpContext(1));
  ASSERT_NE(app->HelpViewer(), nullptr);
  EXPECT_TRUE(app->HelpViewer()->IsOpen());
  EXPECT_EQ(app->HelpViewer()->Source().fragment(), "context-1");
  EXPECT_EQ(app->HelpViewer()->Source().toLocalFile(), html);
  app->HelpCommand(HELP_QUIT, 0);
  EXPECT_FALSE(app->HelpViewer()->IsOpen());
}

TEST_F(ApplicationTest, MissingHelpFileRaises) {
  app->SetHelpFile(qxtest::TempPath(QStringLiteral("nothing.hlp")));
  EXPECT_THROW(app->HelpContext(1), EFOpenError);
}

TEST_F(ApplicationTest, MainFormCloseTerminatesRun) {
  TPanelsForm* form = nullptr;
  app->CreateForm(form);
  EXPECT_EQ(app->MainForm(), form);
  form->OnShow = [form](TObject*) { PostMessage(form, WM_CLOSE, 0, 0); };
  bool closed = false;
  form->OnClose = [&closed](TObject*, TCloseAction&) { closed = true; };
  app->Run();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(app->Terminated());
}

TEST_F(ApplicationTest, TerminateEndsAModalLoop) {
  TForm dialog(nullptr);
  app->ModalDriver = [this](TObject*) { app->Terminate(); };
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  EXPECT_TRUE(app->Terminated());
}

TEST_F(ApplicationTest, CaFreeReleasesTheForm) {
  auto* main = new TForm(app.get());
  app->FormCreated(main);
  auto* other = new TForm(app.get());
  other->SetName(QStringLiteral("Other"));
  other->Show();
  other->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
  bool destroyed = false;
  other->OnDestroy = [&destroyed](TObject*) { destroyed = true; };
  other->Close();
  EXPECT_NE(app->FindComponent(QStringLiteral("Other")), nullptr);
  Pump();
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(app->FindComponent(QStringLiteral("Other")), nullptr);
}

}  // namespace

namespace {

TEST_F(ApplicationTest, HintAppearsAfterTheHintPauseAndHidesAfterTheHidePause) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  body->SetHint(QStringLiteral("Runko"));
  body->SetShowHint(true);
  app->SetHintPause(0);
  app->SetHintHidePause(1);
  SendMouse(body, QEvent::MouseMove, 5, 5);
  QElapsedTimer bound;  // only keeps a broken test from hanging
  bound.start();
  auto shown = [this] { return app->HintWindow() != nullptr && app->HintWindow()->Visible(); };
  while (!shown() && bound.elapsed() < 20000) QCoreApplication::processEvents();
  ASSERT_TRUE(shown());
  EXPECT_EQ(app->HintWindow()->Caption(), "Runko");
  while (shown() && bound.elapsed() < 20000) QCoreApplication::processEvents();
  EXPECT_FALSE(shown());
  form->Free();
}

TEST_F(ApplicationTest, MouseEnterAndLeaveReachTheControl) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  QList<QPair<UINT, LPARAM>> seen;
  TWndMethod previous = body->WindowProc;
  body->WindowProc = TWndMethod([&seen, previous](TMessage& m) {
    if (m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) seen.append({m.Msg, m.LParam});
    previous(m);
  });
  QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QCoreApplication::sendEvent(body->Widget(), &enter);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(body->Widget(), &leave);
  const auto self = reinterpret_cast<LPARAM>(body);
  EXPECT_EQ(seen, (QList<QPair<UINT, LPARAM>>{{CM_MOUSEENTER, self}, {CM_MOUSELEAVE, self}}));
  form->Free();
}

TEST_F(ApplicationTest, MessageWindowGetsPostedMessagesAndTimers) {
  std::vector<UINT> log;
  auto window = AllocateHWnd(TWndMethod([&log](TMessage& m) { log.push_back(m.Msg); }));
  PostMessage(window.get(), 0xB03E, 0, 0);
  SetTimer(window.get(), 1, 0);
  QElapsedTimer bound;  // only keeps a broken test from hanging
  bound.start();
  while (log.size() < 2 && bound.elapsed() < 20000) QCoreApplication::processEvents();
  KillTimer(window.get(), 1);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], 0xB03Eu);
  EXPECT_EQ(log[1], WM_TIMER);
  window.reset();
  Pump();
}

}  // namespace

namespace {

// The application object owns the lifetime of the process-wide objects.
TEST(ApplicationLifetime, DestroyingTheApplicationDestroysTheProcessWideObjects) {
  auto app = std::make_unique<TApplication>();
  TClipboard* clipboard = Clipboard();
  ASSERT_EQ(FindProcessObject<TClipboard>(), clipboard);
  app.reset();
  EXPECT_EQ(FindProcessObject<TClipboard>(), nullptr);
}

}  // namespace
