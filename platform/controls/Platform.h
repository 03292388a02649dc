#pragma once
// Program start-up: the Qt application on the right platform and the
// application object.

#include <memory>

class QApplication;
class QTranslator;
class TApplication;

// Lives for the whole program: the QApplication, Qt's texts in the user's
// language (when Finnish), then the application object.
class TPlatformSession {
 public:
  TPlatformSession(int& argc, char** argv);
  ~TPlatformSession();
  TPlatformSession(const TPlatformSession&) = delete;
  TPlatformSession& operator=(const TPlatformSession&) = delete;

 private:
  std::unique_ptr<QApplication> qapp_;
  std::unique_ptr<QTranslator> qtTexts_;
  std::unique_ptr<TApplication> app_;
};

// With needsWindow, picks the X11 platform where DISPLAY is set; without a
// display prints "<program>: no display (DISPLAY is not set)" and exits with
// 1. Without needsWindow, runs on the offscreen platform. A platform chosen
// in QT_QPA_PLATFORM is kept.
std::unique_ptr<TPlatformSession> InitPlatformOrExit(int& argc, char** argv, bool needsWindow);
