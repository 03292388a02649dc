#include "components/ActivApp.h"

#include "platform/controls/Application.h"
#include "platform/system/WinExec.h"
#include "platform/system/WindowMessages.h"

#include <QCoreApplication>

TActivApp::TActivApp(TComponent* owner)
    : TComponent(owner),
      mainFormTitle_(QStringLiteral("MyOtherApp")),
      exePath_(QCoreApplication::applicationDirPath() + QLatin1Char('/')) {
  if (Application == nullptr || ComponentState().Contains(csDesigning))
    return;
  handlerId_ = Application->AddMessageHandler([](TMsg& msg, bool& handled) {
    if (msg.message != ActivAppMessage)
      return;
    Application->Restore();
    Application->BringToFront();
    handled = true;
  });
}

TActivApp::~TActivApp() {
  if (handlerId_ != 0 && Application != nullptr)
    Application->RemoveMessageHandler(handlerId_);
}

void TActivApp::ActivateApp() {
  const HWND wnd = FindWindow(QString(), mainFormTitle_);
  if (wnd != 0) {
    PostMessage(wnd, ActivAppMessage, 0, 0);
    return;
  }
  bool cont = true;
  if (BeforeLaunchApp)
    BeforeLaunchApp(this, cont);
  if (cont)
    ExecuteApp();
}

void TActivApp::ExecuteApp() { WinExec(exePath_, SW_SHOW); }

void TActivApp::DeclareProperties(TClassBuilder<TActivApp, TComponent>& b) {
  b.Property("MainFormTitle", &TActivApp::MainFormTitle, &TActivApp::SetMainFormTitle);
  b.Property("ExePath", &TActivApp::ExePath, &TActivApp::SetExePath);
  b.Event("BeforeLaunchApp", &TActivApp::BeforeLaunchApp);
}
