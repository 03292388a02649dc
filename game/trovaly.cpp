// The game trovaly.
#include "game/ProgramStart.h"
#include "platform/controls/Application.h"
#include "platform/controls/Platform.h"

int main(int argc, char** argv) {
  auto session = InitPlatformOrExit(argc, argv, true);
  StartTrovaly();
  Application->Run();
  return 0;
}
