#include "platform/controls/Progress.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <vector>

const TEnumInfo kGaugeKindIdents{"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie",
                                 "gkNeedle"};

namespace {

// The inside of a progress bar's sunken frame.
constexpr int kFrame = 1;

int Scale(std::int64_t part, std::int64_t whole, int length) {
  if (whole <= 0 || part <= 0) return 0;
  return static_cast<int>(std::min<std::int64_t>(part, whole) * length / whole);
}

}  // namespace

// TProgressBar.

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 16);
  SetColor(clBtnFace);
}

void TProgressBar::Clamp() {
  if (max_ <= min_)
    position_ = min_;
  else
    position_ = std::clamp(position_, min_, max_);
}

void TProgressBar::SetMin(int v) {
  if (v == min_) return;
  min_ = v;
  Clamp();
  Invalidate();
}

void TProgressBar::SetMax(int v) {
  if (v == max_) return;
  max_ = v;
  Clamp();
  Invalidate();
}

void TProgressBar::SetPosition(int v) {
  const int old = position_;
  position_ = v;
  Clamp();
  if (position_ != old) Invalidate();
}

void TProgressBar::SetSmooth(bool v) {
  smooth_ = v;
  Invalidate();
}

void TProgressBar::StepIt() {
  if (max_ <= min_) return;
  const std::int64_t next = static_cast<std::int64_t>(position_) + step_;
  if (next > max_ || next < min_) {
    // Past the end the bar starts over, as the native control does.
    const std::int64_t range = static_cast<std::int64_t>(max_) - min_;
    std::int64_t offset = (next - min_) % range;
    if (offset < 0) offset += range;
    SetPosition(static_cast<int>(min_ + offset));
  } else {
    SetPosition(static_cast<int>(next));
  }
}

void TProgressBar::StepBy(int delta) {
  SetPosition(static_cast<int>(
      std::clamp<std::int64_t>(static_cast<std::int64_t>(position_) + delta, INT32_MIN,
                               INT32_MAX)));
}

int TProgressBar::FilledWidth() const {
  if (max_ <= min_) return 0;
  const int inner = std::max(Width() - 2 * kFrame, 0);
  return Scale(static_cast<std::int64_t>(position_) - min_,
               static_cast<std::int64_t>(max_) - min_, inner);
}

void TProgressBar::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  DrawEdge(canvas, rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  const int filled = FilledWidth();
  if (filled <= 0) return;
  canvas->Brush()->SetColor(clHighlight);
  if (smooth_) {
    canvas->FillRect(Rect(rect.Left, rect.Top, rect.Left + filled, rect.Bottom));
    return;
  }
  // Blocks two thirds of the height wide with a gap of two; the last one
  // shows as soon as any of it is reached.
  const int block = std::max(rect.Height() * 2 / 3, 2);
  const int end = rect.Left + filled;
  canvas->PushClip();
  canvas->IntersectClipRect(rect);
  for (int x = rect.Left; x < end; x += block + 2)
    canvas->FillRect(Rect(x, rect.Top + 1, std::min(x + block, rect.Right), rect.Bottom - 1));
  canvas->PopClip();
}

void TProgressBar::DeclareProperties(TClassBuilder<TProgressBar, TCustomControl>& b) {
  b.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  b.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  b.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  b.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  b.Property("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
}

// TGauge.

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  SetControlStyle(style);
  SetBounds(0, 0, 100, 100);
}

void TGauge::SetKind(TGaugeKind v) {
  kind_ = v;
  Invalidate();
}

void TGauge::SetMinValue(int v) {
  if (v == minValue_) return;
  minValue_ = v;
  SetProgress(progress_);
  Invalidate();
}

void TGauge::SetMaxValue(int v) {
  if (v == maxValue_) return;
  maxValue_ = v;
  SetProgress(progress_);
  Invalidate();
}

void TGauge::SetProgress(int v) {
  if (ComponentState().Contains(csLoading)) {
    progress_ = v;  // the range may still come
    return;
  }
  if (maxValue_ <= minValue_)
    v = minValue_;
  else
    v = std::clamp(v, minValue_, maxValue_);
  if (v == progress_) return;
  progress_ = v;
  Invalidate();
}

void TGauge::SetForeColor(TColor v) {
  foreColor_ = v;
  Invalidate();
}

void TGauge::SetBackColor(TColor v) {
  backColor_ = v;
  Invalidate();
}

void TGauge::SetShowText(bool v) {
  showText_ = v;
  Invalidate();
}

void TGauge::SetBorderStyle(TBorderStyle v) {
  borderStyle_ = v == bsSingle ? bsSingle : bsNone;
  Invalidate();
}

double TGauge::Fraction() const {
  if (maxValue_ <= minValue_) return 0.0;
  const double f = (static_cast<double>(progress_) - minValue_) /
                   (static_cast<double>(maxValue_) - minValue_);
  return std::clamp(f, 0.0, 1.0);
}

int TGauge::PercentDone() const {
  if (maxValue_ <= minValue_) return 0;
  const std::int64_t done = static_cast<std::int64_t>(progress_) - minValue_;
  const std::int64_t range = static_cast<std::int64_t>(maxValue_) - minValue_;
  return static_cast<int>(std::clamp<std::int64_t>(done * 100 / range, 0, 100));
}

void TGauge::Paint() {
  TCanvas* canvas = TGraphicControl::Canvas();
  TRect rect = ClientRect();
  if (borderStyle_ == bsSingle) Frame3D(canvas, rect, clBlack, clBlack, 1);
  canvas->Brush()->SetStyle(bsSolid);
  switch (kind_) {
    case gkText:
      canvas->Brush()->SetColor(backColor_);
      canvas->FillRect(rect);
      PaintText(canvas, rect, Rect(rect.Left, rect.Top, rect.Left, rect.Bottom));
      break;
    case gkHorizontalBar: PaintBar(canvas, rect, false); break;
    case gkVerticalBar: PaintBar(canvas, rect, true); break;
    case gkPie: PaintPie(canvas, rect); break;
    case gkNeedle: PaintNeedle(canvas, rect); break;
  }
}

void TGauge::PaintBar(TCanvas* canvas, const TRect& r, bool vertical) {
  canvas->Brush()->SetColor(backColor_);
  canvas->FillRect(r);
  TRect filled = r;
  if (vertical)
    filled.Top = r.Bottom - static_cast<int>(std::lround(Fraction() * r.Height()));
  else
    filled.Right = r.Left + static_cast<int>(std::lround(Fraction() * r.Width()));
  canvas->Brush()->SetColor(foreColor_);
  if (!filled.IsEmpty()) canvas->FillRect(filled);
  PaintText(canvas, r, filled);
}

void TGauge::PaintPie(TCanvas* canvas, const TRect& r) {
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(foreColor_);
  canvas->Brush()->SetColor(backColor_);
  canvas->Ellipse(r);
  const double f = Fraction();
  if (f > 0.0) {
    canvas->Brush()->SetColor(foreColor_);
    if (f >= 1.0) {
      canvas->Ellipse(r);
    } else {
      // The slice from twelve o'clock clockwise, as a polygon.
      const double cx = (r.Left + r.Right) / 2.0;
      const double cy = (r.Top + r.Bottom) / 2.0;
      const double rx = r.Width() / 2.0;
      const double ry = r.Height() / 2.0;
      std::vector<TPoint> points{{static_cast<int>(cx), static_cast<int>(cy)}};
      const int steps = std::max(2, static_cast<int>(f * 90));
      for (int i = 0; i <= steps; ++i) {
        const double a = f * 2 * M_PI * i / steps;
        points.push_back({static_cast<int>(std::lround(cx + rx * std::sin(a))),
                          static_cast<int>(std::lround(cy - ry * std::cos(a)))});
      }
      canvas->Polygon(points);
    }
  }
  PaintText(canvas, r, Rect(r.Left, r.Top, r.Left, r.Bottom));
}

void TGauge::PaintNeedle(TCanvas* canvas, const TRect& r) {
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  // The upper half of an ellipse; the needle turns from left to right.
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(foreColor_);
  canvas->Brush()->SetColor(backColor_);
  const double cx = (r.Left + r.Right) / 2.0;
  const double rx = r.Width() / 2.0;
  const double ry = r.Height();
  std::vector<TPoint> arc;
  for (int i = 0; i <= 90; ++i) {
    const double a = M_PI * i / 90;
    arc.push_back({static_cast<int>(std::lround(cx - rx * std::cos(a))),
                   static_cast<int>(std::lround(r.Bottom - ry * std::sin(a)))});
  }
  canvas->Polygon(arc);
  const double a = Fraction() * M_PI;
  const int pivotY = r.Bottom - 1;
  canvas->MoveTo(static_cast<int>(cx), pivotY);
  canvas->LineTo(static_cast<int>(std::lround(cx - (rx - 1) * std::cos(a))),
                 static_cast<int>(std::lround(pivotY - (ry - 2) * std::sin(a))));
  PaintText(canvas, r, Rect(r.Left, r.Top, r.Left, r.Bottom));
}

void TGauge::PaintText(TCanvas* canvas, const TRect& r, const TRect& filled) {
  if (!showText_) return;
  const QString text = QStringLiteral("%1%").arg(PercentDone());
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  // Over the filled part the text takes the background colour.
  canvas->PushClip();
  canvas->IntersectClipRect(r);
  canvas->ExcludeClipRect(filled);
  canvas->Font()->SetColor(foreColor_);
  TRect box = r;
  DrawText(canvas, text, box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  canvas->PopClip();
  if (filled.IsEmpty()) return;
  canvas->PushClip();
  canvas->IntersectClipRect(filled);
  canvas->Font()->SetColor(backColor_);
  box = r;
  DrawText(canvas, text, box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  canvas->PopClip();
}

void TGauge::DeclareProperties(TClassBuilder<TGauge, TGraphicControl>& b) {
  b.Property("Kind", &TGauge::Kind, &TGauge::SetKind, kGaugeKindIdents).Default(gkHorizontalBar);
  b.Property("MinValue", &TGauge::MinValue, &TGauge::SetMinValue).Default(0);
  b.Property("MaxValue", &TGauge::MaxValue, &TGauge::SetMaxValue).Default(100);
  b.Property("Progress", &TGauge::Progress, &TGauge::SetProgress);
  b.Property("ForeColor", &TGauge::ForeColor, &TGauge::SetForeColor, kColorIdents);
  b.Property("BackColor", &TGauge::BackColor, &TGauge::SetBackColor, kColorIdents);
  b.Property("ShowText", &TGauge::ShowText, &TGauge::SetShowText).Default(true);
  b.Property("BorderStyle", &TGauge::BorderStyle, &TGauge::SetBorderStyle,
             kPanelBorderStyleIdents)
      .Default(bsSingle);
}

void RegisterProgressClasses() {
  if (GetClass(QStringLiteral("TProgressBar")) == nullptr) RegisterClass<TProgressBar>();
  if (GetClass(QStringLiteral("TGauge")) == nullptr) RegisterClass<TGauge>();
}
