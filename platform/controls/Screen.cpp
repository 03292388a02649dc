#include "platform/controls/Screen.h"

#include "platform/controls/Form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

TScreen* Screen = nullptr;

TScreen::TScreen() { Screen = this; }

TScreen::~TScreen() {
  SetCursor(crDefault);
  if (Screen == this) Screen = nullptr;
}

int TScreen::Width() const {
  if (overridden_) return width_;
  QScreen* s = QGuiApplication::primaryScreen();
  return s != nullptr ? s->geometry().width() : 0;
}

int TScreen::Height() const {
  if (overridden_) return height_;
  QScreen* s = QGuiApplication::primaryScreen();
  return s != nullptr ? s->geometry().height() : 0;
}

void TScreen::OverrideSize(int width, int height) {
  overridden_ = true;
  width_ = width;
  height_ = height;
}

void TScreen::SetCursor(TCursor v) {
  if (v == cursor_) return;
  if (cursor_ != crDefault) QApplication::restoreOverrideCursor();
  cursor_ = v;
  if (v != crDefault) QApplication::setOverrideCursor(Cursors(v));
}

QCursor TScreen::Cursors(TCursor index) const {
  auto it = cursors_.find(index);
  return it != cursors_.end() ? *it : QCursor(CursorShapeOf(index));
}

TForm* TScreen::ActiveForm() const {
  QWidget* active = QApplication::activeWindow();
  for (TForm* f : forms_)
    if (f->HasWidget() && f->Widget() == active) return f;
  for (TForm* f : forms_)
    if (f->Active()) return f;
  return nullptr;
}
