#include "components/PCUtils.h"

#include "platform/controls/Memo.h"
#include "platform/graphics/DrawText.h"
#include "platform/graphics/Graphic.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kInchesPerCentimetre = 0.3937007874;
constexpr double kCentimetresPerInch = 2.54;
// Past this a coordinate lies off any page; holding it here keeps the
// canvas's own arithmetic from overflowing.
constexpr double kPixelLimit = 1 << 24;
// Shrinking a font stops here: 0.9 of a height of 1 rounds back to 1.
constexpr int kLeastShrunkHeight = 2;

double Divided(double value, double by) { return by == 0.0 ? 0.0 : value / by; }

double ToInches(TMeasurement from, int resolution, int extent, double v) {
  switch (from) {
    case mtPixels: return Divided(v, resolution);
    case mtCentimeters: return v * kInchesPerCentimetre;
    case mtInches: return v;
    case mtPercentage: return Divided(v * extent, resolution);
  }
  return v;
}

// Halves to the even whole number, at least one.
int RepeatCount(float entry) {
  const double n = std::nearbyint(std::fabs(static_cast<double>(entry)));
  if (!(n >= 1.0))
    return 1;
  return n > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                             : static_cast<int>(n);
}

int Size(const TSizeList& sizes) { return static_cast<int>(sizes.size()); }

// Moves the index over a run of negative entries onto the last of them;
// false when that is the last entry of the list.
bool ResolveRun(const TSizeList& sizes, int& index) {
  while (index + 1 < Size(sizes) && sizes[static_cast<size_t>(index + 1)] < 0.0F)
    ++index;
  return index + 1 < Size(sizes);
}

// A joining border pulls this border's end in when it is thinner.
int PullIn(const TCellBorder& border, const TCellBorder& joining) {
  if (joining.Style == kClearBorder || joining.Width >= border.Width)
    return 0;
  return (border.Width - joining.Width + 1) / 2;
}

TBorderSpan Span(const TCellBorder& border, const TCellBorder& first, const TCellBorder& last,
                 int from, int to) {
  const int start = from + PullIn(border, first);
  const int end = to - PullIn(border, last);
  return {start, end - start};
}

TRect MoveRect(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

bool Shrink(TCanvas* canvas) {
  TFont* font = canvas->Font();
  const int height = font->Height();
  if (std::abs(height) < kLeastShrunkHeight)
    return false;
  font->SetHeight(static_cast<int>(std::nearbyint(height * 0.9)));
  return true;
}

// Draws with the canvas clipped to r; the clip before is restored after.
template <class F>
void Clipped(TCanvas* canvas, const TRect& r, F draw) {
  canvas->PushClip();
  struct Restore {
    TCanvas* c;
    ~Restore() { c->PopClip(); }
  } restore{canvas};
  canvas->IntersectClipRect(r);
  draw();
}

}  // namespace

float ConvertUnits(TMeasurement from, TMeasurement to, int resolution, int extent, float value) {
  if (from == to)
    return value;
  const double inches = ToInches(from, resolution, extent, value);
  switch (to) {
    case mtPixels: return static_cast<float>(inches * resolution);
    case mtCentimeters: return static_cast<float>(inches * kCentimetresPerInch);
    case mtInches: return static_cast<float>(inches);
    case mtPercentage: return static_cast<float>(Divided(inches * resolution, extent));
  }
  return value;
}

int RoundPixels(double value) {
  if (std::isnan(value))
    return 0;
  return static_cast<int>(std::nearbyint(std::clamp(value, -kPixelLimit, kPixelLimit)));
}

int CountSizes(const TSizeList& sizes) {
  TSizeCursor cursor;
  float size = 0.0F;
  int count = 0;
  while (NextSize(sizes, cursor, size))
    ++count;
  return count;
}

bool NextSize(const TSizeList& sizes, TSizeCursor& cursor, float& size) {
  if (cursor.Index < 0 || cursor.Index >= Size(sizes))
    return false;
  const float entry = sizes[static_cast<size_t>(cursor.Index)];
  if (entry >= 0.0F || std::isnan(entry)) {
    size = std::isnan(entry) ? 0.0F : entry;
    cursor.Repeats = 0;
    ++cursor.Index;
    return true;
  }
  if (!ResolveRun(sizes, cursor.Index)) {
    cursor.Index = Size(sizes);
    return false;
  }
  if (cursor.Repeats == 0)
    cursor.Repeats = RepeatCount(sizes[static_cast<size_t>(cursor.Index)]);
  size = sizes[static_cast<size_t>(cursor.Index + 1)];
  if (cursor.Repeats-- == 1)
    cursor.Index += 2;
  return true;
}

void ApplyCellBrush(TCanvas* canvas, const TCellBrush& brush) {
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(brush.Color);
  canvas->Brush()->SetStyle(static_cast<TBrushStyle>(std::min<int>(brush.Style, bsDiagCross)));
}

void ApplyCellFont(TCanvas* canvas, const TCellFont& font, int height) {
  TFont* f = canvas->Font();
  f->SetHeight(height);
  f->SetPitch(static_cast<TFontPitch>(std::min<int>(font.Pitch, fpFixed)));
  f->SetStyle(font.Style);
  f->SetCharset(font.Charset);
  f->SetName(font.Name);
  f->SetColor(font.Color);
}

void ApplyBorderPen(TCanvas* canvas, const TCellBorder& border) {
  canvas->Pen()->SetColor(border.Color);
  canvas->Pen()->SetWidth(border.Width);
  canvas->Pen()->SetStyle(static_cast<TPenStyle>(std::min<int>(border.Style, psInsideFrame)));
}

TBorderSpan HorzBorderSpan(const TCellBorder& border, const TCellBorder& left,
                           const TCellBorder& right, const TRect& rect) {
  return Span(border, left, right, rect.Left, rect.Right);
}

TBorderSpan VertBorderSpan(const TCellBorder& border, const TCellBorder& top,
                           const TCellBorder& bottom, const TRect& rect) {
  return Span(border, top, bottom, rect.Top, rect.Bottom);
}

void HorzBorderLine(TCanvas* canvas, int x, int y, int length) {
  switch (canvas->Pen()->Style()) {
    case psClear: return;
    case psSolid: DrawThickLine(canvas, x, y, false, length); return;
    default: canvas->MoveTo(x, y); canvas->LineTo(x + length, y); return;
  }
}

void VertBorderLine(TCanvas* canvas, int x, int y, int length) {
  switch (canvas->Pen()->Style()) {
    case psClear: return;
    case psSolid: DrawThickLine(canvas, x, y, true, length); return;
    default: canvas->MoveTo(x, y); canvas->LineTo(x, y + length); return;
  }
}

void DrawThickLine(TCanvas* canvas, int x, int y, bool vertical, int length) {
  const int d = canvas->Pen()->Width() / 2 + 1;
  const TRect bar = vertical ? Rect(x - d, y - d, x + d, y + length + d)
                             : Rect(x - d, y - d, x + length + d, y + d);
  TBrush saved;
  saved.Assign(canvas->Brush());
  const TColor colour = canvas->Pen()->Color();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(colour);
  canvas->FillRect(bar);
  canvas->FrameRect(bar);
  canvas->Brush()->Assign(&saved);
}

void DrawCellText(TCanvas* canvas, const QString& text, const TRect& rect, bool shrink,
                  bool wordWrap, std::uint8_t vertAlign, std::uint8_t horzAlign) {
  if (text.isEmpty())
    return;
  const TSize blank = canvas->TextExtent(QStringLiteral(" "));
  TRect a = rect;
  InflateRect(a, -(blank.cx / 2), -((blank.cy / 6) / 2));
  unsigned format = DT_NOPREFIX | DT_EXPANDTABS | (wordWrap ? DT_WORDBREAK : 0U);
  if (horzAlign == 1)
    format |= DT_RIGHT;
  else if (horzAlign == 2)
    format |= DT_CENTER;
  auto measure = [&] {
    TRect r = a;
    DrawText(canvas, text, r, format | DT_CALCRECT);
    return r;
  };
  TRect r = measure();
  while (shrink && (r.Width() > a.Width() || r.Height() > a.Height()) && Shrink(canvas))
    r = measure();
  int dy = 0;
  if (vertAlign == 1)
    dy = (a.Height() - r.Height()) / 2;
  else if (vertAlign == 2)
    dy = a.Height() - r.Height();
  int dx = 0;
  if (horzAlign == 1)
    dx = a.Right - r.Right;
  else if (horzAlign == 2)
    dx = (a.Right - r.Right) / 2;
  r = MoveRect(r, dx, dy);
  Clipped(canvas, a, [&] { DrawText(canvas, text, r, format | DT_NOCLIP); });
}

void DrawTurnedText(TCanvas* canvas, const QString& text, const TRect& rect, bool shrink,
                    std::uint8_t vertAlign, std::uint8_t horzAlign) {
  TFont* font = canvas->Font();
  const int oldOrientation = font->Orientation();
  struct Restore {
    TFont* f;
    int orientation;
    ~Restore() { f->SetOrientation(orientation); }
  } restore{font, oldOrientation};
  const TSize blank = canvas->TextExtent(QStringLiteral(" "));
  font->SetOrientation(900);
  TRect r = rect;
  InflateRect(r, -((blank.cy / 6) / 2), -(blank.cx / 2));
  TSize extent = canvas->TextExtent(text);
  while (shrink && (extent.cx > r.Height() || extent.cy > r.Width()) && Shrink(canvas))
    extent = canvas->TextExtent(text);
  // The text runs upward from (x, y), its cell reaching to the right.
  int y = r.Top + extent.cx;
  if (vertAlign == 1)
    y = r.Top + (r.Height() + extent.cx) / 2;
  else if (vertAlign == 2)
    y = r.Bottom;
  int x = r.Left;
  if (horzAlign == 1)
    x = r.Right - extent.cy;
  else if (horzAlign == 2)
    x = r.Left + (r.Width() - extent.cy) / 2;
  Clipped(canvas, r, [&] { canvas->TextOut(x, y, text); });
}

void DrawCellPicture(TCanvas* canvas, TGraphic* picture, const TRect& rect,
                     std::uint8_t vertAlign, std::uint8_t horzAlign, bool stretch) {
  if (picture == nullptr || picture->Empty() || picture->Width() <= 0 || picture->Height() <= 0)
    return;
  if (stretch || picture->Width() > rect.Width() || picture->Height() > rect.Height()) {
    canvas->StretchDraw(rect, picture);
    return;
  }
  const int spareX = rect.Width() - picture->Width();
  const int spareY = rect.Height() - picture->Height();
  const int x = rect.Left + (horzAlign == 1 ? spareX : horzAlign == 2 ? spareX / 2 : 0);
  const int y = rect.Top + (vertAlign == 1 ? spareY / 2 : vertAlign == 2 ? spareY : 0);
  canvas->Draw(x, y, picture);
}

void DrawCellRichText(TCanvas* canvas, TRichEdit* control, const TRect& rect, int resolution) {
  if (control == nullptr)
    return;
  TRect r = rect;
  const int margin = resolution / 20;
  InflateRect(r, -margin, -margin);
  TFont saved;
  saved.Assign(canvas->Font());
  struct Restore {
    TCanvas* c;
    TFont* f;
    ~Restore() { c->Font()->Assign(f); }
  } restore{canvas, &saved};
  TFont* font = canvas->Font();
  font->Assign(control->Font());
  const int points = control->Font()->Size();
  font->SetPixelsPerInch(resolution > 0 ? resolution : font->PixelsPerInch());
  font->SetSize(points);
  canvas->Brush()->SetStyle(bsClear);
  DrawText(canvas, control->Lines()->Text(), r, DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
}

QString LeftStr(const QString& text, int count) { return text.left(std::max(count, 0)); }

QString RightStr(const QString& text, int count) { return text.right(std::max(count, 0)); }

bool SameOrEmpty(const QString& patternPart, const QString& namePart) {
  return patternPart.isEmpty() || patternPart == namePart;
}
