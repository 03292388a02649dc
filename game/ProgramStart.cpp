#include "game/ProgramStart.h"

#include "components/KvUtils.h"
#include "game/intro.h"
#include "game/kuvapas.h"
#include "game/main.h"
#include "game/mainprint.h"
#include "game/ohjelmasta.h"
#include "platform/controls/Application.h"

void StartTrovaly(const TStartOptions& options) {
  Application->Initialize();
  RegisterCursors();
  Application->SetTitle(GameTitle());
  AnnouncePrintFiles();
  auto* splash = new TForm2(Application);  // owned by the application
  splash->SetPauseMs(options.splashMs);
  splash->Show();
  splash->Repaint();
  // Showing activates the splash, whose activation pauses; where no
  // activation arrives (no window manager), the pause happens here.
  Application->ProcessMessages();
  splash->Pause();
  Application->CreateForm(Form1);
  Application->CreateForm(AboutBox);
  Application->CreateForm(Form3);
  splash->Close();
  splash->Free();
}
