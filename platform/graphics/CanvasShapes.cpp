// Lines and shapes of TCanvas. One-pixel lines are plotted point by point so
// that end points, dash patterns and mix modes behave as GDI's do.

#include "platform/graphics/Canvas.h"

#include <QPolygon>

#include <array>
#include <cstdlib>

namespace {

// On and off run lengths of the cosmetic pen styles.
std::vector<int> DashPattern(TPenStyle style) {
  switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

// The points of the segment from a towards b, b itself excluded.
void SegmentPoints(TPoint a, TPoint b, std::vector<QPoint>& out) {
  const int dx = std::abs(b.X - a.X), dy = std::abs(b.Y - a.Y);
  const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
  int x = a.X, y = a.Y;
  int err = dx - dy;
  while (x != b.X || y != b.Y) {
    out.emplace_back(x, y);
    const int e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

QColor PenColor(const TPen& pen) {
  if (pen.Mode() == pmBlack)
    return Qt::black;
  if (pen.Mode() == pmWhite)
    return Qt::white;
  return ColorToQColor(pen.Color());
}

bool HasPen(TPen& pen) {
  return pen.Style() != psClear && pen.Mode() != pmNop;
}

}  // namespace

void TCanvas::LinePixels(const std::vector<TPoint>& pts, bool closed) {
  std::vector<QPoint> all;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i)
    SegmentPoints(pts[i], pts[i + 1], all);
  if (closed && pts.size() > 1)
    SegmentPoints(pts.back(), pts.front(), all);
  if (all.empty())
    return;
  QPolygon on, off;
  const std::vector<int> pattern = DashPattern(pen_->Style());
  std::size_t run = 0;
  int left = pattern.empty() ? 0 : pattern[0];
  for (const QPoint& pt : all) {
    if (pattern.empty() || run % 2 == 0)
      on << pt;
    else
      off << pt;
    if (!pattern.empty() && --left == 0) {
      run = (run + 1) % pattern.size();
      left = pattern[run];
    }
  }
  QPainter* p = Begin();
  if (!p)
    return;
  ApplyPenMode(p);
  p->setPen(QPen(PenColor(*pen_), 0));
  p->drawPoints(on);
  if (!off.isEmpty() && OpaqueBackground()) {
    p->setPen(QPen(ColorToQColor(brush_->Color()), 0));
    p->drawPoints(off);
  }
}

void TCanvas::ThickLines(const std::vector<TPoint>& pts, bool closed) {
  QPainter* p = Begin();
  if (!p)
    return;
  ApplyPenMode(p);
  p->setPen(QPen(PenColor(*pen_), pen_->Width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p->setBrush(Qt::NoBrush);
  QPolygon poly;
  for (TPoint pt : pts)
    poly << ToQPoint(pt);
  if (closed)
    p->drawPolygon(poly);
  else
    p->drawPolyline(poly);
}

void TCanvas::StrokeOutline(const std::vector<TPoint>& pts, bool closed) {
  if (!HasPen(*pen_))
    return;
  if (pen_->Width() <= 1)
    LinePixels(pts, closed);
  else
    ThickLines(pts, closed);
}

void TCanvas::MoveTo(int x, int y) {
  penPos_ = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  CanvasChange change(*this);
  StrokeOutline({penPos_, {x, y}}, false);
  penPos_ = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  CanvasChange change(*this);
  StrokeOutline(points, false);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  CanvasChange change(*this);
  if (points.size() < 2)
    return;
  if (brush_->Style() != bsClear) {
    QPainter* p = Begin();
    if (!p)
      return;
    ApplyPenMode(p);
    p->setPen(Qt::NoPen);
    p->setBrush(brush_->ToQBrush());
    QPolygon poly;
    for (TPoint pt : points)
      poly << ToQPoint(pt);
    p->drawPolygon(poly, Qt::OddEvenFill);
  }
  StrokeOutline(points, true);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  CanvasChange change(*this);
  if (left > right)
    std::swap(left, right);
  if (top > bottom)
    std::swap(top, bottom);
  QPainter* p = Begin();
  if (!p)
    return;
  ApplyPenMode(p);
  const QBrush brush = brush_->ToQBrush();
  if (!HasPen(*pen_)) {
    // Without a pen the filled area is one pixel smaller each way, as in GDI.
    p->fillRect(QRect(left, top, right - left - 1, bottom - top - 1), brush);
    return;
  }
  const int w = std::max(1, pen_->Width());
  if (right - left > 2 * w && bottom - top > 2 * w)
    p->fillRect(QRect(left + w, top + w, right - left - 2 * w, bottom - top - 2 * w), brush);
  if (w == 1 || (pen_->Style() != psSolid && pen_->Style() != psInsideFrame)) {
    StrokeOutline({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}},
                  true);
    return;
  }
  // A wide solid pen runs inside the rectangle, as a frame of its width.
  const QColor color = PenColor(*pen_);
  const int iw = right - left, ih = bottom - top;
  p->fillRect(QRect(left, top, iw, std::min(w, ih)), color);
  if (ih > w)
    p->fillRect(QRect(left, std::max(top + w, bottom - w), iw, std::min(w, ih - w)), color);
  if (ih > 2 * w) {
    p->fillRect(QRect(left, top + w, std::min(w, iw), ih - 2 * w), color);
    if (iw > w)
      p->fillRect(QRect(std::max(left + w, right - w), top + w, std::min(w, iw - w), ih - 2 * w),
                  color);
  }
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth,
                        int ellipseHeight) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p || right - left < 2 || bottom - top < 2)
    return;
  ApplyPenMode(p);
  const int w = pen_->Width() <= 1 ? 0 : pen_->Width();
  p->setPen(HasPen(*pen_) ? QPen(PenColor(*pen_), w) : QPen(Qt::NoPen));
  p->setBrush(brush_->ToQBrush());
  p->drawRoundedRect(QRect(left, top, right - left - 1, bottom - top - 1), ellipseWidth / 2.0,
                     ellipseHeight / 2.0, Qt::AbsoluteSize);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p || right - left < 2 || bottom - top < 2)
    return;
  ApplyPenMode(p);
  const int w = pen_->Width() <= 1 ? 0 : pen_->Width();
  p->setPen(HasPen(*pen_) ? QPen(PenColor(*pen_), w) : QPen(Qt::NoPen));
  p->setBrush(brush_->ToQBrush());
  p->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void TCanvas::FillRect(const TRect& r) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p || r.IsEmpty() || (brush_->Style() == bsClear && !brush_->Bitmap()))
    return;
  p->fillRect(ToQRect(r), brush_->ToQBrush());
}

void TCanvas::FrameRect(const TRect& r) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p || r.IsEmpty())
    return;
  const QBrush brush = brush_->ToQBrush();
  p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), brush);
  if (r.Height() > 1)
    p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), brush);
  if (r.Height() > 2) {
    p->fillRect(QRect(r.Left, r.Top + 1, 1, r.Height() - 2), brush);
    if (r.Width() > 1)
      p->fillRect(QRect(r.Right - 1, r.Top + 1, 1, r.Height() - 2), brush);
  }
}

void TCanvas::DrawFocusRect(const TRect& r) {
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p || r.IsEmpty())
    return;
  QPolygon pts;
  const auto add = [&pts](int x, int y) {
    if (((x + y) & 1) == 0)
      pts << QPoint(x, y);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    add(x, r.Top);
    if (r.Bottom - 1 > r.Top)
      add(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    add(r.Left, y);
    if (r.Right - 1 > r.Left)
      add(r.Right - 1, y);
  }
  p->setCompositionMode(QPainter::RasterOp_NotDestination);
  p->setPen(QPen(Qt::black, 0));
  p->drawPoints(pts);
}
