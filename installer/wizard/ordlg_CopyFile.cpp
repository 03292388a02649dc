#include "installer/wizard/ordlg_CopyFile.h"

#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Image.h"
#include "platform/controls/Messages.h"
#include "platform/controls/Progress.h"
#include "platform/rtl/ProcessState.h"

#include <memory>

namespace {

struct TCopyCancel {
  bool cancelled = false;
};

TCopyCancel& CopyCancel() {
  return ProcessObject<TCopyCancel>([] { return std::make_unique<TCopyCancel>(); });
}

}  // namespace

bool CopyCancelled() {
  const TCopyCancel* state = FindProcessObject<TCopyCancel>();
  return state != nullptr && state->cancelled;
}

void SetCopyCancelled(bool value) {
  CopyCancel().cancelled = value;
}

void CheckCopyCancelled() {
  if (CopyCancelled()) throw EAIUserAbort();
}

TCopyFileForm::TCopyFileForm(TComponent* owner) : TBaseDuringCopyForm(owner) {
  InitWizardFormResources();
  ReadForm(this, QStringLiteral(":/forms/CopyFileForm.form"));
  SetDM(FindDialogManager(dmDuringCopyFiles));
}

TFormBinding TCopyFileForm::Binding() {
  return {
      Field("UnZipImage", &TCopyFileForm::UnZipImage),
      Field("TransferBitmap", &TCopyFileForm::TransferBitmap),
      Field("TransferProgress", &TCopyFileForm::TransferProgress),
      Field("Label1", &TCopyFileForm::Label1),
      Field("lblCopyingFile", &TCopyFileForm::lblCopyingFile),
      Field("Label2", &TCopyFileForm::Label2),
      Field("ProgressBar1", &TCopyFileForm::ProgressBar1),
      Field("Label3", &TCopyFileForm::Label3),
      Field("ProgressBar2", &TCopyFileForm::ProgressBar2),
      Field("CancelBtn", &TCopyFileForm::CancelBtn),
      Handler("CancelBtnClick", &TCopyFileForm::CancelBtnClick),
  };
}

void TCopyFileForm::ShowProgress(bool download, int first, int second, const QString& text) {
  // A status comes with every 4 KB block; the window is drawn again only
  // when what it shows has changed.
  const bool changed = TransferProgress->Visible() != download ||
                       (download ? TransferProgress->Progress() : ProgressBar2->Position()) != second ||
                       ProgressBar1->Position() != first || lblCopyingFile->Caption() != text;
  TransferBitmap->SetVisible(download);
  TransferProgress->SetVisible(download);
  if (download)
    TransferProgress->SetProgress(second);
  else
    ProgressBar2->SetPosition(second);
  ProgressBar1->SetPosition(first);
  lblCopyingFile->SetCaption(text);
  if (changed) Repaint();
}

void TCopyFileForm::UpdateStatus(TFileStatusParameter* fileStatus,
                                 TDownloadStatusParameter* download) {
  if (fileStatus != nullptr)
    ShowProgress(false, fileStatus->FilePercent, fileStatus->TotalPercent, fileStatus->FileName);
  else if (download != nullptr)
    ShowProgress(true, download->Percent, download->Percent, download->FileName);
}

void TCopyFileForm::CancelCopy() {
  if (WizardAskUserAbort()) {
    SetCopyCancelled(true);
    if (TOndxCompress* compressor = TOndxCompress::Global()) compressor->SetAbort(true);
    SetDownloadAborted(true);
  }
  SetModalResult(mrCancel);
}

void TCopyFileForm::CancelBtnClick(TObject*) {
  CancelCopy();
}

void TCopyFileForm::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_CLOSE) {
    CancelCopy();
    return;
  }
  TBaseDuringCopyForm::DefaultHandler(message);
}
