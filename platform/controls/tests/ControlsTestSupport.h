#pragma once
// Shared pieces of the controls tests: an application object per test,
// small control classes for form files, and Qt input sent straight to a
// control's widget.

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Form.h"
#include "platform/controls/Guard.h"
#include "platform/controls/WinControl.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// A windowed panel: its background is its Color.
class TTestPanel : public TCustomControl {
 public:
  explicit TTestPanel(TComponent* owner) : TCustomControl(owner) {}
};

// A graphic control that paints a black square over its parent.
class TTestMark : public TGraphicControl {
 public:
  explicit TTestMark(TComponent* owner) : TGraphicControl(owner) {}

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(clBlack);
    Canvas()->FillRect(ClientRect());
  }
};

// The form of tests/data/panels.form.
class TPanelsForm : public TForm {
 public:
  explicit TPanelsForm(TComponent* owner) : TForm(owner) {
    DefineMethod("BodyClick", this, &TPanelsForm::BodyClick);
    ReadForm(this, QStringLiteral(":/forms/panels.form"));
  }
  void BodyClick(TObject*) { ++bodyClicks; }
  int bodyClicks = 0;
};

// What a box showed when the modal driver answered it.
struct TShownBox {
  QString caption;
  QString text;
  TMessageIcon icon = miNone;
};

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterControlClasses();
    if (GetClass(QStringLiteral("TTestPanel")) == nullptr) RegisterClasses<TTestPanel, TTestMark>();
    app = std::make_unique<TApplication>();
    app->SetTitle(QStringLiteral("Testiohjelma"));
    // Every box is recorded and answered with its first button.
    app->ModalDriver = [this](TObject* modal) {
      if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
        boxes.append({box->Caption(), box->Text(), box->Icon()});
        box->ClickButton(box->Buttons().first().result);
      }
    };
  }
  void TearDown() override { app.reset(); }

  static void Pump() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  static void SendMouse(TControl* c, QEvent::Type type, int x, int y,
                        Qt::MouseButton button = Qt::LeftButton) {
    QWidget* w = c->Widget();
    ASSERT_NE(w, nullptr);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove ? Qt::NoButton
                                                              : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)),
                  type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
  }

  static void Click(TControl* c, int x, int y) {
    SendMouse(c, QEvent::MouseButtonPress, x, y);
    SendMouse(c, QEvent::MouseButtonRelease, x, y);
  }

  std::unique_ptr<TApplication> app;
  QList<TShownBox> boxes;
};
