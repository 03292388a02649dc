// Test helper: starts the platform as a program does ("window" as the first
// argument asks for a display) and prints the Qt platform it got.
#include "platform/controls/Platform.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  const bool window = argc > 1 && std::strcmp(argv[1], "window") == 0;
  auto session = InitPlatformOrExit(argc, argv, window);
  std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
  return 0;
}
