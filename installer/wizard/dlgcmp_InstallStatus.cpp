#include "installer/wizard/dlgcmp_InstallStatus.h"

#include "installer/wizard/dlgcmp_CopyFile.h"
#include "installer/wizard/ordlg_InstallStatus.h"
#include "platform/controls/Label.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/controls/Application.h"
#include "platform/controls/Screen.h"

TInstallStatusDlg::TInstallStatusDlg(TComponent* owner) : TCustomBaseInstallDlg(owner) {}

TInstallStatusDlg::~TInstallStatusDlg() {
  if (TForm* form = Dialog()) form->Free();
}

TInstallStatusForm* TInstallStatusDlg::StatusForm() const {
  return dynamic_cast<TInstallStatusForm*>(Dialog());
}

TFormClass TInstallStatusDlg::FormClass() const {
  return &FormClassOf<TInstallStatusForm>;
}

void TInstallStatusDlg::Translate() {
  TForm* form = Dialog();
  if (form == nullptr) return;
  if (AutoSetFont()) {
    if (OverrideMainTranslator())
      SetFormFontInto(TranslateIntoLanguage(), form, false);
    else
      SetFormFont(form, false);
  }
  if (AutoTranslate()) {
    if (OverrideMainTranslator())
      TranslateFormInto(olEnglish, TranslateIntoLanguage(), form);
    else
      TranslateForm(olEnglish, form);
  }
}

void TInstallStatusDlg::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  TCustomBaseInstallDlg::HandleMessage(sender, code, param);
  if (!StandsAlone()) return;
  if (code == scShowStatus) {
    auto* message = StageParameter<TMessageParameter>(param, Name(), "TMessageParameter");
    currentMessage_ = message->Message;
    messages_.append(currentMessage_);
    ShowStatus();
  } else if (code == scHideStatus) {
    if (!messages_.isEmpty()) messages_.removeLast();
    if (!messages_.isEmpty()) {
      currentMessage_ = messages_.last();
      ShowStatus();
    } else {
      if (Dialog() != nullptr) Dialog()->Hide();
      if (Application != nullptr) Application->ProcessMessages();
    }
  }
}

void TInstallStatusDlg::ShowStatus() {
  if (Dialog() == nullptr) {
    SetDialog(FormClass()(Application));
    AssignDialogProperties();
  }
  TInstallStatusForm* form = StatusForm();
  // Fitted to the translated text, so that no language is cut.
  form->lblMessage->SetCaption(currentMessage_);
  Translate();
  form->FitMessage(form->lblMessage->Caption(), Screen != nullptr ? Screen->Width() : 0);
  form->Show();
  form->Repaint();
  if (Application != nullptr) Application->ProcessMessages();
}

void TInstallStatusDlg::DeclareProperties(
    TClassBuilder<TInstallStatusDlg, TCustomBaseInstallDlg>& b) {
  DeclareTranslation(b);
}

void RegisterInstallStatusDlgClasses() {
  if (GetClass(QStringLiteral("TInstallStatusDlg")) == nullptr) RegisterClass<TInstallStatusDlg>();
}
