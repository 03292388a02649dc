#include "platform/graphics/Font.h"

#include "platform/graphics/Geometry.h"

#include <QFontMetricsF>

#include <cmath>

namespace {

constexpr int kDefaultPoints = 8;

// Faces of the original system that fontconfig has no alias for.
QString FaceFor(const QString& name) {
  static const char* const kSansStandIns[] = {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2",
                                              "System"};
  for (const char* standIn : kSansStandIns)
    if (name.compare(QLatin1String(standIn), Qt::CaseInsensitive) == 0)
      return QStringLiteral("Liberation Sans");
  return name;
}

QFont::StyleHint HintFor(const QString& name, TFontPitch pitch) {
  if (pitch == fpFixed || name.contains(QLatin1String("Courier"), Qt::CaseInsensitive))
    return QFont::Monospace;
  if (name.contains(QLatin1String("Times"), Qt::CaseInsensitive) ||
      (name.contains(QLatin1String("Serif"), Qt::CaseInsensitive) &&
       !name.contains(QLatin1String("Sans"), Qt::CaseInsensitive)))
    return QFont::Serif;
  return QFont::SansSerif;
}

}  // namespace

TFont::TFont()
    : name_(QStringLiteral("MS Sans Serif")),
      height_(-MulDiv(kDefaultPoints, 96, 72)),
      color_(clWindowText) {}

template <class F, class V>
static bool Differs(const F& field, const V& value) {
  return !(field == value);
}

void TFont::Set(auto& field, const auto& value) {
  if (!Differs(field, value))
    return;
  field = value;
  Changed();
}

void TFont::SetName(const QString& name) {
  if (!name.isEmpty())
    Set(name_, name);
}
void TFont::SetHeight(int height) { Set(height_, height); }
int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }
void TFont::SetColor(TColor color) { Set(color_, color); }
void TFont::SetStyle(TFontStyles style) { Set(style_, style); }
void TFont::SetPitch(TFontPitch pitch) { Set(pitch_, pitch); }
void TFont::SetCharset(TFontCharset charset) { Set(charset_, charset); }
void TFont::SetOrientation(int tenthsOfDegree) { Set(orientation_, tenthsOfDegree); }

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi > 0)
    pixelsPerInch_ = ppi;  // a unit, not a visible attribute: no notification
}

bool TFont::SameAs(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
         pitch_ == o.pitch_ && charset_ == o.charset_ && orientation_ == o.orientation_;
}

void TFont::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TFont*>(source);
  if (!other) {
    TGraphicsObject::Assign(source);
    return;
  }
  if (other == this)
    return;
  // Keep the height in points when the two fonts measure at other resolutions.
  const int height = other->pixelsPerInch_ == pixelsPerInch_
                         ? other->height_
                         : MulDiv(other->height_, pixelsPerInch_, other->pixelsPerInch_);
  if (SameAs(*other) && height == height_)
    return;
  name_ = other->name_;
  height_ = height;
  color_ = other->color_;
  style_ = other->style_;
  pitch_ = other->pitch_;
  charset_ = other->charset_;
  orientation_ = other->orientation_;
  Changed();
}

QFont TFont::ToQFont() const {
  QFont font(FaceFor(name_));
  font.setStyleHint(HintFor(name_, pitch_), QFont::NoAntialias);
  font.setKerning(false);  // keeps widths additive, as the text routines assume
  font.setFixedPitch(pitch_ == fpFixed);
  font.setBold(style_.Contains(fsBold));
  font.setItalic(style_.Contains(fsItalic));
  font.setUnderline(style_.Contains(fsUnderline));
  font.setStrikeOut(style_.Contains(fsStrikeOut));
  int height = height_ != 0 ? height_ : -MulDiv(kDefaultPoints, pixelsPerInch_, 72);
  if (height < 0) {
    font.setPixelSize(std::max(1, -height));
    return font;
  }
  // A cell height: scale the em size by this face's ascent + descent.
  font.setPixelSize(100);
  const qreal cell = QFontMetricsF(font).height();
  const int em = cell > 0 ? static_cast<int>(std::lround(height * 100.0 / cell)) : height;
  font.setPixelSize(std::max(1, em));
  return font;
}
