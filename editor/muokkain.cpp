// The puzzle editor muokkain.
#include "editor/EditorStart.h"
#include "platform/controls/Application.h"
#include "platform/controls/Platform.h"

int main(int argc, char** argv) {
  auto session = InitPlatformOrExit(argc, argv, true);
  StartMuokkain();
  Application->Run();
  return 0;
}
