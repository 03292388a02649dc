#pragma once
// The about box (TAboutBox): the title, a picture, credits that scroll upwards from the
// program's start to its end (shown or not), and an OK button.

#include "platform/controls/Form.h"

class TButton;
class TImage;
class TLabel;
class TPanel;
class TTimer;

class TAboutBox : public TForm {
 public:
  explicit TAboutBox(TComponent* owner);
  ~TAboutBox() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/ohjelmasta.form"); }
  // The components and handlers ohjelmasta.form names.
  static TFormBinding Binding();

  // One step of the credits: up one pixel; past the top they start again
  // below the panel's bottom edge.
  void CreditsTimerTimer(TObject* sender);

  TLabel* KvLabel1 = nullptr;
  TPanel* SecretPanel1 = nullptr;
  TLabel* Credits = nullptr;
  TImage* Image1 = nullptr;
  TButton* OKButton = nullptr;
  TTimer* CreditsTimer = nullptr;
};

// The credit lines.
QString CreditText();

// The about box while it exists; nullptr otherwise.
extern TAboutBox* AboutBox;
