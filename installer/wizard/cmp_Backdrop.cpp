#include "installer/wizard/cmp_Backdrop.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Geometry.h"

const TEnumInfo kDirectionIdents{"bdUp",     "bdDown",    "bdLeft",   "bdRight",
                                 "bdHorzIn", "bdHorzOut", "bdVertIn", "bdVertOut"};

namespace {

struct TRgb {
  int r, g, b;
};

TRgb RgbOf(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return {rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF};
}

}  // namespace

void GradientFill(TCanvas* canvas, const TRect& rect, TColor first, TColor second,
                  TGradientOrientation orientation, bool mirrored) {
  const TRgb from = RgbOf(first);
  const TRgb to = RgbOf(second);
  const TRgb delta{to.r - from.r, to.g - from.g, to.b - from.b};
  const bool vertical = orientation == TGradientOrientation::TopToBottom;
  const int extent = vertical ? rect.Height() : rect.Width();
  const int steps = mirrored ? 127 : 255;
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetMode(pmCopy);
  canvas->Brush()->SetStyle(bsSolid);
  auto band = [&](int from256, int to256) {
    const int a = MulDiv(from256, extent, 256), b = MulDiv(to256, extent, 256);
    if (vertical)
      canvas->FillRect(Rect(rect.Left, rect.Top + a, rect.Right, rect.Top + b));
    else
      canvas->FillRect(Rect(rect.Left + a, rect.Top, rect.Left + b, rect.Bottom));
  };
  for (int n = 0; n <= steps; ++n) {
    const int r = (from.r + MulDiv(n, delta.r, steps)) & 0xFF;
    const int g = (from.g + MulDiv(n, delta.g, steps)) & 0xFF;
    const int b = (from.b + MulDiv(n, delta.b, steps)) & 0xFF;
    canvas->Brush()->SetColor(static_cast<TColor>(r | (g << 8) | (b << 16)));
    band(n, n + 1);
    if (mirrored) band(255 - n, 256 - n);
  }
}

TBackdrop::TBackdrop(TComponent* owner) : TGraphicControl(owner) { SetAlign(alClient); }

void TBackdrop::SetDirection(TDirection value) {
  if (value == direction_) return;
  direction_ = value;
  Invalidate();
}

void TBackdrop::SetStartColor(TColor value) {
  if (value == startColor_) return;
  startColor_ = value;
  Invalidate();
}

void TBackdrop::SetEndColor(TColor value) {
  if (value == endColor_) return;
  endColor_ = value;
  Invalidate();
}

void TBackdrop::Paint() {
  // Odd directions run from the end colour; the last four are mirrored.
  const bool reversed = direction_ % 2 == 1;
  const bool mirrored = direction_ >= bdHorzIn;
  const bool vertical = direction_ == bdUp || direction_ == bdDown || direction_ == bdHorzIn ||
                        direction_ == bdHorzOut;
  GradientFill(Canvas(), ClientRect(), reversed ? endColor_ : startColor_,
               reversed ? startColor_ : endColor_,
               vertical ? TGradientOrientation::TopToBottom : TGradientOrientation::LeftToRight,
               mirrored);
}

void TBackdrop::DeclareProperties(TClassBuilder<TBackdrop, TGraphicControl>& b) {
  b.Property("Direction", &TBackdrop::Direction, &TBackdrop::SetDirection, kDirectionIdents)
      .Default(bdUp);
  b.Property("StartColor", &TBackdrop::StartColor, &TBackdrop::SetStartColor, kColorIdents)
      .Default(clBlue);
  b.Property("EndColor", &TBackdrop::EndColor, &TBackdrop::SetEndColor, kColorIdents)
      .Default(clBlack);
}

void RegisterBackdropClasses() {
  if (GetClass(QStringLiteral("TBackdrop")) == nullptr) RegisterClass<TBackdrop>();
}
