#include "installer/wizard/dlgcmp_CopyFile.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/ordlg_CopyFile.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/controls/Application.h"
#include "platform/controls/Screen.h"

namespace {
constexpr int kCopyWidth = 474;
constexpr int kCopyHeight = 146;
}  // namespace

TCopyFileDlg::TCopyFileDlg(TComponent* owner)
    : TCustomBaseInstallDlg(owner), TDialogPlacement(kCopyWidth, kCopyHeight) {}

TCopyFileDlg::~TCopyFileDlg() {
  if (TForm* form = Dialog()) form->Free();
}

TCopyFileForm* TCopyFileDlg::CopyForm() const {
  return dynamic_cast<TCopyFileForm*>(Dialog());
}

TFormClass TCopyFileDlg::FormClass() const {
  return &FormClassOf<TCopyFileForm>;
}

void TCopyFileDlg::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  TCustomBaseInstallDlg::HandleMessage(sender, code, param);
  if (code == scRunStage986) SetCopyCancelled(false);
  if (!StandsAlone()) return;
  switch (code) {
    case scStartProcessing:
      CheckCopyCancelled();
      break;
    case scFileStatus: {
      CheckCopyCancelled();
      auto* status =
          StageParameter<TFileStatusParameter>(param, Name(), "TFileStatusParameter");
      firstValue_ = status->FilePercent;
      text_ = status->FileName;
      secondValue_ = status->TotalPercent;
      downloadMode_ = false;
      ShowCopyForm();
      break;
    }
    case scDownloadStatus: {
      CheckCopyCancelled();
      auto* status =
          StageParameter<TDownloadStatusParameter>(param, Name(), "TDownloadStatusParameter");
      text_ = status->FileName;
      firstValue_ = status->Percent;
      secondValue_ = status->Percent;
      downloadMode_ = true;
      ShowCopyForm();
      break;
    }
    case scOperationEnded:
      if (Dialog() != nullptr) Dialog()->Hide();
      break;
    default:
      break;
  }
}

void TCopyFileDlg::ShowCopyForm() {
  if (Dialog() == nullptr) {
    SetDialog(FormClass()(Application));
    placed_ = false;
    AssignDialogProperties();
    Dialog()->SetPosition(poDesigned);
  }
  TCopyFileForm* form = CopyForm();
  if (!placed_) {
    // Placed the way a dialog manager places its wizard.
    PlaceForm(form);
    placed_ = true;
  }
  if (!form->Visible()) form->Show();
  form->ShowProgress(downloadMode_, firstValue_, secondValue_, text_);
}

void TCopyFileDlg::DeclareProperties(TClassBuilder<TCopyFileDlg, TCustomBaseInstallDlg>& b) {
  DeclarePlacement(b, kCopyWidth, kCopyHeight);
  DeclareTranslation(b);
}

void RegisterCopyFileDlgClasses() {
  if (GetClass(QStringLiteral("TCopyFileForm")) == nullptr) RegisterClass<TCopyFileForm>();
  if (GetClass(QStringLiteral("TCopyFileDlg")) == nullptr) RegisterClass<TCopyFileDlg>();
}
