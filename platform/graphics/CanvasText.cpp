// Text output of TCanvas: cell-top-left reference, opaque or transparent
// background by the brush, rotation by the font's Orientation.

#include "platform/graphics/Canvas.h"

#include <QFontMetrics>

#include <algorithm>

TSize TCanvas::TextExtent(const QString& text) {
  const QFontMetrics fm(CurrentQFont());
  return {fm.horizontalAdvance(text), fm.height()};
}

TTextMetric TCanvas::TextMetrics() {
  const QFontMetrics fm(CurrentQFont());
  return {fm.height(), fm.ascent(), fm.descent(), std::max(fm.leading(), 0)};
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  CanvasChange change(*this);
  const QFont font = CurrentQFont();
  const QFontMetrics fm(font);
  const int width = fm.horizontalAdvance(text);
  if (QPainter* p = Begin()) {
    p->save();
    p->translate(x, y);
    if (font_->Orientation() != 0)
      p->rotate(-font_->Orientation() / 10.0);
    if (OpaqueBackground())
      p->fillRect(QRect(0, 0, width, fm.height()), ColorToQColor(brush_->Color()));
    p->setFont(font);
    p->setPen(ColorToQColor(font_->Color()));
    p->drawText(0, fm.ascent(), text);
    p->restore();
  }
  penPos_ = {x + width, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p)
    return;
  const QFont font = CurrentQFont();
  const QFontMetrics fm(font);
  p->save();
  p->setClipRect(ToQRect(r), clip_ ? Qt::IntersectClip : Qt::ReplaceClip);
  if (OpaqueBackground())
    p->fillRect(ToQRect(r), ColorToQColor(brush_->Color()));
  p->setFont(font);
  p->setPen(ColorToQColor(font_->Color()));
  p->translate(x, y);
  if (font_->Orientation() != 0)
    p->rotate(-font_->Orientation() / 10.0);
  p->drawText(0, fm.ascent(), text);
  p->restore();
}
