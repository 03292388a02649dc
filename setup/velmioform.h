#pragma once
// The setup program's main window. It has no code of its own: its form
// file holds the installation script, and the install component takes
// over the window's first activation and runs the installation.

#include "platform/controls/Form.h"

class TBackdrop;
class TInstall;
class TRotate3DLabel;
class TTranslator;

class TForm1 : public TForm {
 public:
  explicit TForm1(TComponent* owner);
  QString FormResourceName() const override { return QStringLiteral(":/forms/velmioform.form"); }
  static TFormBinding Binding();

  TBackdrop* BackDrop1 = nullptr;
  TRotate3DLabel* productlabel1 = nullptr;
  TInstall* Install1 = nullptr;
  TTranslator* MainTranslator = nullptr;
};

extern TForm1* Form1;

// Every class the script's form file names.
void RegisterSetupClasses();
