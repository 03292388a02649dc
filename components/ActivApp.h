#pragma once
// TActivApp: brings another program's main window to the front when that
// program runs (message 1426, found by window title), else starts it. Every
// instance also makes its own program answer message 1426 by restoring the
// application and bringing it to the front.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"

#include <QString>

#include <functional>

// The bring-to-front request, posted with both parameters 0.
inline constexpr unsigned int ActivAppMessage = 1426;

using TBeforeLaunchAppEvent = std::function<void(TObject* sender, bool& cont)>;

class TActivApp : public TComponent {
 public:
  // Defaults: MainFormTitle "MyOtherApp", ExePath the running program's
  // folder with its trailing delimiter. Joins the application's message
  // handlers when an application object exists.
  explicit TActivApp(TComponent* owner);
  ~TActivApp() override;

  QString MainFormTitle() const { return mainFormTitle_; }
  void SetMainFormTitle(const QString& value) { mainFormTitle_ = value; }
  QString ExePath() const { return exePath_; }
  void SetExePath(const QString& value) { exePath_ = value; }
  TBeforeLaunchAppEvent BeforeLaunchApp;

  // Posts 1426 to the window titled MainFormTitle (case ignored, whole
  // title); without one, asks BeforeLaunchApp and starts ExePath.
  void ActivateApp();
  // Starts ExePath as a command line; a program that cannot be started is
  // not reported.
  void ExecuteApp();

  static void DeclareProperties(TClassBuilder<TActivApp, TComponent>& b);

 private:
  int handlerId_ = 0;  // 0: not joined
  QString mainFormTitle_;
  QString exePath_;
};
