// Test helper: finds a window by title (first argument) and posts a message
// (second argument, then wParam and lParam) to it. Exits 0 when posted, 2
// when the window is not found, 3 when posting fails.
#include "platform/system/WindowMessages.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 3) return 1;
  const HWND wnd = FindWindow(QString(), args[1]);
  if (wnd == 0) return 2;
  const UINT msg = args[2].toUInt();
  const WPARAM w = args.size() > 3 ? args[3].toULongLong() : 0;
  const LPARAM l = args.size() > 4 ? args[4].toLongLong() : 0;
  return PostMessage(wnd, msg, w, l) ? 0 : 3;
}
