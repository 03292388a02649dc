#include "platform/graphics/PenBrush.h"

#include "platform/graphics/Bitmap.h"

void TPen::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TPen*>(source);
  if (!other) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (color_ == other->color_ && width_ == other->width_ && style_ == other->style_ &&
      mode_ == other->mode_)
    return;
  color_ = other->color_;
  width_ = other->width_;
  style_ = other->style_;
  mode_ = other->mode_;
  Changed();
}

void TPen::SetColor(TColor color) {
  if (color_ == color)
    return;
  color_ = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width < 0 || width_ == width)
    return;
  width_ = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style_ == style)
    return;
  style_ = style;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode_ == mode)
    return;
  mode_ = mode;
  Changed();
}

void TBrush::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TBrush*>(source);
  if (!other) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (color_ == other->color_ && style_ == other->style_ && bitmap_ == other->bitmap_)
    return;
  color_ = other->color_;
  style_ = other->style_;
  bitmap_ = other->bitmap_;
  Changed();
}

void TBrush::SetColor(TColor color) {
  if (color_ == color && style_ != bsClear)
    return;
  color_ = color;
  if (style_ == bsClear)
    style_ = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style_ == style)
    return;
  style_ = style;
  Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
  if (bitmap_ == bitmap)
    return;
  bitmap_ = bitmap;
  Changed();
}

QBrush TBrush::ToQBrush() const {
  if (bitmap_ && !bitmap_->Empty())
    return QBrush(bitmap_->Image());
  const QColor color = ColorToQColor(color_);
  switch (style_) {
    case bsSolid: return QBrush(color, Qt::SolidPattern);
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(color, Qt::HorPattern);
    case bsVertical: return QBrush(color, Qt::VerPattern);
    case bsFDiagonal: return QBrush(color, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(color, Qt::BDiagPattern);
    case bsCross: return QBrush(color, Qt::CrossPattern);
    case bsDiagCross: return QBrush(color, Qt::DiagCrossPattern);
  }
  return QBrush(color);
}
