// Starts the game's windows on the display it is given, shows the main
// window and prints where it stands, then ends:
//   screen <width> <height>
//   form <Left> <Top> <Width> <Height>
//   native <x> <y>
#include "game/ProgramStart.h"
#include "game/main.h"
#include "platform/controls/Application.h"
#include "platform/controls/Platform.h"
#include "platform/controls/Screen.h"

#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
  auto session = InitPlatformOrExit(argc, argv, true);
  StartTrovaly(TStartOptions{0});
  Form1->Show();
  for (int i = 0; i < 20; ++i) Application->ProcessMessages();
  const QWidget* w = Form1->Widget();
  std::printf("screen %d %d\n", Screen->Width(), Screen->Height());
  std::printf("form %d %d %d %d\n", Form1->Left(), Form1->Top(), Form1->Width(), Form1->Height());
  std::printf("native %d %d\n", w->frameGeometry().x(), w->frameGeometry().y());
  std::fflush(stdout);
  return 0;
}
