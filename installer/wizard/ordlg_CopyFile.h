#pragma once
// TCopyFileForm: the window that shows the file and total progress (or a
// download's progress) while the install run copies, with its Cancel.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

class TGauge;
class TImage;
class TLabel;
class TProgressBar;
class TTranslateBitBtn;
class TTranslateLabel;

class TCopyFileForm : public TBaseDuringCopyForm {
 public:
  explicit TCopyFileForm(TComponent* owner);
  static TFormBinding Binding();

  TImage* UnZipImage = nullptr;
  TImage* TransferBitmap = nullptr;
  TGauge* TransferProgress = nullptr;
  TTranslateLabel* Label1 = nullptr;
  TLabel* lblCopyingFile = nullptr;
  TTranslateLabel* Label2 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TTranslateLabel* Label3 = nullptr;
  TProgressBar* ProgressBar2 = nullptr;
  TTranslateBitBtn* CancelBtn = nullptr;

  // Shows the file status, or the download status in the gauge.
  void ShowProgress(bool download, int first, int second, const QString& text);
  void CancelCopy() override;
  void UpdateStatus(TFileStatusParameter* fileStatus, TDownloadStatusParameter* download) override;
  void CancelBtnClick(TObject* sender);

 protected:
  // The window manager's close is the Cancel button.
  void DefaultHandler(TMessage& message) override;
};

// The run-wide cancel of the copy: set by a confirmed Cancel, cleared when
// a run starts. Every file start and every chunk's status checks it, so a
// cancel confirmed between two files or two chunks still ends the run.
bool CopyCancelled();
void SetCopyCancelled(bool value);
// Raises EAIUserAbort when the copy was cancelled.
void CheckCopyCancelled();
