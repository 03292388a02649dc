#pragma once
// Shared pieces of the native-widget control tests: a form to put controls
// on, and keys typed straight into a control's Qt widget.

#include "platform/controls/Edit.h"
#include "platform/controls/tests/ControlsTestSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

class NativeControlsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterStdControlClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 320, 240);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }

  template <class T>
  T* Make() {
    auto* c = new T(form.get());
    c->SetParent(form.get());
    return c;
  }

  // Types text as key presses (letters with their key code, others as text only).
  static void Type(TNativeControl* c, const QString& text) {
    for (QChar ch : text) {
      const QChar up = ch.toUpper();
      const int key = up >= QLatin1Char('A') && up <= QLatin1Char('Z') ? static_cast<int>(up.unicode()) : static_cast<int>(Qt::Key_unknown);
      QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
      QCoreApplication::sendEvent(c->NativeWidget(), &e);
    }
  }

  static void Press(TNativeControl* c, int key, const QString& text = {},
                    Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    QCoreApplication::sendEvent(c->NativeWidget(), &e);
  }

  std::unique_ptr<TForm> form;
};
