// Test peer: publishes one window (title from the first argument, default
// "Muokkain"), prints "ready <handle>" and then one line
// "<msg> <wParam> <lParam>" for every message it receives. Ends when its
// standard input closes.
#include "platform/system/WindowDirectory.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const QString title = args.size() > 1 ? args[1] : QStringLiteral("Muokkain");

  TWindowDirectory directory;
  directory.OnMessage = [](std::uint32_t, UINT msg, WPARAM wParam, LPARAM lParam) {
    std::printf("%u %llu %lld\n", msg, static_cast<unsigned long long>(wParam),
                static_cast<long long>(lParam));
    std::fflush(stdout);
  };
  const HWND wnd = directory.PublishWindow(1, title, true);

  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
    char buffer[256];
    if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
      input.setEnabled(false);
      QCoreApplication::quit();
    }
  });

  std::printf("ready %llu\n", static_cast<unsigned long long>(wnd));
  std::fflush(stdout);
  return app.exec();
}
