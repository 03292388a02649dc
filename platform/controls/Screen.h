#pragma once
// TScreen: the screen as the program sees it. One exists while the
// application object lives (Screen points at it).

#include "platform/controls/Control.h"

#include <QCursor>
#include <QList>
#include <QMap>

class TForm;

class TScreen {
 public:
  TScreen();
  ~TScreen();
  TScreen(const TScreen&) = delete;
  TScreen& operator=(const TScreen&) = delete;

  int Width() const;
  int Height() const;
  int PixelsPerInch() const { return 96; }
  // Replaces the primary screen's size (tests of placement rules).
  void OverrideSize(int width, int height);

  // The cursor of the whole program; crDefault lets each control choose.
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  // The shape of a cursor number; registered ones first.
  QCursor Cursors(TCursor index) const;
  void SetCursors(TCursor index, const QCursor& cursor) { cursors_[index] = cursor; }

  TForm* ActiveForm() const;
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const { return forms_.at(index); }
  void AddForm(TForm* form) { forms_.append(form); }
  void RemoveForm(TForm* form) { forms_.removeOne(form); }

 private:
  TCursor cursor_ = crDefault;
  bool overridden_ = false;
  int width_ = 0;
  int height_ = 0;
  QMap<TCursor, QCursor> cursors_;
  QList<TForm*> forms_;
};

// The screen object while the application object lives; nullptr otherwise.
extern TScreen* Screen;

// The Qt shape of a cursor number.
Qt::CursorShape CursorShapeOf(TCursor cursor);
