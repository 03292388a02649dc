#pragma once
// The picture window (TForm3): the puzzle's picture beside the main window.
// It goes back to its home position whenever it is activated, and its
// top-left corner cannot pass the main window's right and bottom edges
// less 20 pixels.

#include "platform/controls/Form.h"

class TImage;
class TEdgePanel;
class TFormSizer;

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* owner);
  ~TForm3() override;
  QString FormResourceName() const override { return QStringLiteral(":/forms/kuvapas.form"); }
  // The components and handlers kuvapas.form names.
  static TFormBinding Binding();

  void FormActivate(TObject* sender);

  TEdgePanel* EdgePanel1 = nullptr;
  TImage* Image1 = nullptr;
  // Limits of the window's position.
  TFormSizer* FormSizer1 = nullptr;
};

// The picture window while it exists; nullptr otherwise.
extern TForm3* Form3;
