#pragma once
// TInstallStatusForm: the small borderless window with the engine's
// current status message.

#include "platform/controls/Form.h"

class TImage;
class TLabel;
class TPanel;

class TInstallStatusForm : public TForm {
 public:
  explicit TInstallStatusForm(TComponent* owner);
  static TFormBinding Binding();

  TPanel* pnlBack = nullptr;
  TImage* Image1 = nullptr;
  TPanel* pnlMessage = nullptr;
  TLabel* lblMessage = nullptr;

  // Puts message in the label, centred in height, and fits the window's
  // width to it, centred on a screen that wide.
  void FitMessage(const QString& message, int screenWidth);
};
