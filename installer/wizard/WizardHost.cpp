#include "installer/wizard/WizardHost.h"

#include "installer/wizard/cmp_TTranslator.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Screen.h"
#include "platform/rtl/GuardedEntry.h"

#include <QCoreApplication>

namespace {

TForm* AsForm(TComponent* form) { return static_cast<TForm*>(form); }

}  // namespace

TInstallExceptionHandler TApplicationInstallHost::ExchangeExceptionHandler(TInstallExceptionHandler handler) {
  std::swap(handler, Application->OnException);
  return handler;
}
TComponent* TApplicationInstallHost::MainForm() { return Application->MainForm(); }
bool TApplicationInstallHost::IsHookableForm(TComponent* form) { return dynamic_cast<TForm*>(form) != nullptr; }
TNotifyEvent TApplicationInstallHost::ActivateHandler(TComponent* form) { return AsForm(form)->OnActivate; }
void TApplicationInstallHost::SetActivateHandler(TComponent* form, TNotifyEvent handler) {
  AsForm(form)->OnActivate = std::move(handler);
}
void TApplicationInstallHost::Maximize(TComponent* form) { AsForm(form)->SetWindowState(wsMaximized); }
void TApplicationInstallHost::SetBusyCursor(bool busy) {
  if (Screen != nullptr) Screen->SetCursor(busy ? crHourGlass : crDefault);
}
void TApplicationInstallHost::Terminate() { Application->Terminate(); }
QString TApplicationInstallHost::ExeName() { return Application->ExeName(); }
void TApplicationInstallHost::Queue(std::function<void()> work) {
  GuardedPost(Application, QCoreApplication::instance(), std::move(work));
}
bool TApplicationInstallHost::TranslatorLanguage(int& language) {
  TTranslator* translator = GlobalTranslator();
  if (translator == nullptr) return false;
  language = static_cast<int>(translator->TranslateIntoLanguage());
  return true;
}
void TApplicationInstallHost::SetTranslatorLanguage(int language) {
  if (TTranslator* translator = GlobalTranslator())
    translator->SetTranslateIntoLanguage(static_cast<TOndxLanguage>(language));
}
void TApplicationInstallHost::ProcessMessages() {
  if (Application != nullptr) Application->ProcessMessages();
}
