#pragma once
// The about box (TAboutBox): the shadowed title, a picture, credits that
// scroll upwards from the program's start to its end (shown or not), and
// an OK button.

#include "platform/controls/Form.h"

class TButton;
class TImage;
class TKvLabel;
class TSecretPanel;

class TAboutBox : public TForm {
 public:
  explicit TAboutBox(TComponent* owner);
  ~TAboutBox() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/ohjelmasta.form"); }
  // The components and handlers ohjelmasta.form names.
  static TFormBinding Binding();

  TKvLabel* KvLabel1 = nullptr;
  TSecretPanel* SecretPanel1 = nullptr;
  TImage* Image1 = nullptr;
  TButton* OKButton = nullptr;
};

// The about box while it exists; nullptr otherwise.
extern TAboutBox* AboutBox;
