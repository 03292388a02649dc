#include "installer/wizard/cmp_Rotate3DLabel.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Canvas.h"

#include <cmath>
#include <numbers>
#include <vector>

const TEnumInfo kA3dStyleIdents{"A3dNormal", "A3dResit", "A3dRaised", "A3dShadowed"};

// ---- TLabelStyle

void TLabelStyle::Changed() {
  if (OnChange)
    OnChange(this);
}

void TLabelStyle::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TLabelStyle*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  SetAngle(other->angle_);
  SetAStyle3D(other->style_);
  SetAShadeRightBottom(other->shadeRightBottom_);
  SetAShadeLTSet(false);
  SetAShadeLeftTop(other->shadeLeftTop_);
  SetAShadeLTSet(other->shadeLTSet_);
  if (other->shadeLTSet_)
    rememberedLeftTop_ = other->rememberedLeftTop_;
  SetAHShadeOffSet(other->hOffset_);
  SetAVShadeOffSet(other->vOffset_);
}

void TLabelStyle::SetAngle(int value) {
  if (value < 0 || value > 359)
    value = 0;
  if (value == angle_)
    return;
  angle_ = value;
  Changed();
}

void TLabelStyle::SetAStyle3D(TA3dStyle value) {
  if (value == style_)
    return;
  style_ = value;
  Changed();
}

void TLabelStyle::SetAShadeRightBottom(TColor value) {
  if (value == shadeRightBottom_)
    return;
  shadeRightBottom_ = value;
  Changed();
}

void TLabelStyle::SetAShadeLeftTop(TColor value) {
  if (shadeLTSet_ || value == shadeLeftTop_)
    return;
  shadeLeftTop_ = value;
  Changed();
}

void TLabelStyle::SetAShadeLTSet(bool value) {
  if (value == shadeLTSet_)
    return;
  shadeLTSet_ = value;
  if (value) {
    rememberedLeftTop_ = shadeLeftTop_;
    shadeLeftTop_ = clWhite;
  } else {
    shadeLeftTop_ = rememberedLeftTop_;
  }
  if (value && (style_ == A3dResit || style_ == A3dRaised) && rememberedLeftTop_ != clWhite)
    Changed();
}

void TLabelStyle::SetAHShadeOffSet(int value) {
  if (value == hOffset_)
    return;
  hOffset_ = value;
  if (style_ == A3dShadowed)
    Changed();
}

void TLabelStyle::SetAVShadeOffSet(int value) {
  if (value == vOffset_)
    return;
  vOffset_ = value;
  if (style_ == A3dShadowed)
    Changed();
}

void TLabelStyle::DeclareProperties(TClassBuilder<TLabelStyle, TPersistent>& b) {
  using S = TLabelStyle;
  b.Property("Angle", &S::Angle, &S::SetAngle).Default(0);
  b.Property("AStyle3D", &S::AStyle3D, &S::SetAStyle3D, kA3dStyleIdents).Default(A3dRaised);
  b.Property("AShadeRightBottom", &S::AShadeRightBottom, &S::SetAShadeRightBottom, kColorIdents)
      .Default(TColor(0x808080));
  b.Property("AShadeLeftTop", &S::AShadeLeftTop, &S::SetAShadeLeftTop, kColorIdents)
      .Default(TColor(0xFFFFFF));
  b.Property("AShadeLTSet", &S::AShadeLTSet, &S::SetAShadeLTSet).Default(false);
  b.Property("AHShadeOffSet", &S::AHShadeOffSet, &S::SetAHShadeOffSet).Default(5);
  b.Property("AVShadeOffSet", &S::AVShadeOffSet, &S::SetAVShadeOffSet).Default(-5);
}

// ---- TRotate3DLabel

TRotate3DLabel::TRotate3DLabel(TComponent* owner)
    : TCustomLabel(owner), style_(std::make_unique<TLabelStyle>()) {
  SetTransparent(true);
  SetAutoSize(false);
  Font()->SetName(QStringLiteral("Arial"));
  Font()->SetStyle(TFontStyles{fsBold});
  style_->OnChange = [this](TObject*) { Invalidate(); };
}

TRotate3DLabel::~TRotate3DLabel() = default;

void TRotate3DLabel::SetLabelStyle(TLabelStyle* value) {
  if (value == nullptr || value == style_.get())
    return;
  style_->Assign(value);
  if (style_->OnChange)
    style_->OnChange(style_.get());
  Invalidate();
}

void TRotate3DLabel::SetMyTransparent(bool value) {
  if (value == myTransparent_)
    return;
  myTransparent_ = value;
  Invalidate();
}

void TRotate3DLabel::Paint() {
  const double radians = style_->Angle() * std::numbers::pi / 180.0;
  cos_ = std::cos(radians);
  sin_ = std::sin(radians);
  if (!myTransparent_)
    style_->SetAStyle3D(A3dNormal);
  int lightX = 0, lightY = 0, darkX = 0, darkY = 0;
  if (style_->AStyle3D() == A3dResit) {
    lightX = lightY = 1;
    darkX = darkY = -1;
  } else if (style_->AStyle3D() == A3dRaised) {
    lightX = lightY = -1;
    darkX = darkY = 1;
  }
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  const QString caption = Caption();
  const TSize extent = canvas->TextExtent(caption);
  const double w = extent.cx, h = extent.cy;
  const int cx = Width() / 2, cy = Height() / 2;
  auto t = [](double v) { return static_cast<int>(v); };  // toward zero
  const int x = cx - t(w / 2 * cos_) - t(h / 2 * sin_);
  const int y = cy + t(w / 2 * sin_) - t(h / 2 * cos_);
  if (!myTransparent_) {
    const double pw = w + 10, ph = h + 7;
    const int a = t(pw / 2 * cos_), b = t(ph / 2 * sin_);
    const int c = t(pw / 2 * sin_), d = t(ph / 2 * cos_);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->Pen()->SetColor(Color());
    canvas->Polygon({Point(cx - a - b, cy + c - d), Point(cx + a - b, cy - c - d),
                     Point(cx + a + b, cy - c + d), Point(cx - a + b, cy + c + d)});
    canvas->Brush()->SetStyle(bsClear);
  }
  const TColor own = Font()->Color();
  canvas->Font()->SetOrientation(style_->Angle() * 10);
  auto draw = [&](TColor color, int dx, int dy) {
    canvas->Font()->SetColor(color);
    canvas->TextOut(x + dx, y + dy, caption);
  };
  const TA3dStyle look = style_->AStyle3D();
  if (look != A3dNormal) {
    if (look != A3dShadowed)
      draw(style_->AShadeLeftTop(), lightX, lightY);
    if (look == A3dShadowed)
      draw(style_->AShadeRightBottom(), style_->AHShadeOffSet(), style_->AVShadeOffSet());
    else
      draw(style_->AShadeRightBottom(), darkX, darkY);
  }
  draw(own, 0, 0);
  canvas->SetFont(Font());
}

void TRotate3DLabel::DeclareProperties(TClassBuilder<TRotate3DLabel, TCustomLabel>& b) {
  b.Object("LabelStyle", &TRotate3DLabel::LabelStyle);
  b.Property("MyTransparent", &TRotate3DLabel::MyTransparent, &TRotate3DLabel::SetMyTransparent)
      .Default(true);
}

void RegisterRotate3DLabelClasses() {
  if (GetClass(QStringLiteral("TRotate3DLabel")) == nullptr)
    RegisterClass<TRotate3DLabel>();
}
