#include "editor/EditorStart.h"

#include "editor/verbman.h"
#include "editor/verbmanprint.h"
#include "platform/controls/Application.h"

#include <QCoreApplication>

void StartMuokkain() {
  Application->Initialize();
  Application->SetTitle(EditorTitle());
  Application->SetHelpFile(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/editori.hlp"));
  AnnounceEditorPrintFiles();
  Application->CreateForm(Form1);
}
