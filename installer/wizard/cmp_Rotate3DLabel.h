#pragma once
// TRotate3DLabel: a label that paints its caption at any angle, centred in
// its bounds, optionally raised, recessed or shadowed by offset copies in
// two shades, and optionally on a rotated plate of its colour.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Persistent.h"
#include "platform/controls/Label.h"
#include "platform/graphics/Colors.h"

#include <memory>

enum TA3dStyle { A3dNormal, A3dResit, A3dRaised, A3dShadowed };

extern const TEnumInfo kA3dStyleIdents;

class TLabelStyle : public TPersistent {
 public:
  TLabelStyle() = default;
  void Assign(TPersistent* source) override;

  // Fired by the setters; the label repaints on it.
  TNotifyEvent OnChange;

  // Degrees, counter-clockwise; outside 0 to 359 becomes 0.
  int Angle() const { return angle_; }
  void SetAngle(int value);
  TA3dStyle AStyle3D() const { return style_; }
  void SetAStyle3D(TA3dStyle value);
  TColor AShadeRightBottom() const { return shadeRightBottom_; }
  void SetAShadeRightBottom(TColor value);
  // Ignored while AShadeLTSet forces the light shade to white.
  TColor AShadeLeftTop() const { return shadeLeftTop_; }
  void SetAShadeLeftTop(TColor value);
  bool AShadeLTSet() const { return shadeLTSet_; }
  void SetAShadeLTSet(bool value);
  // The shadow's offset for A3dShadowed.
  int AHShadeOffSet() const { return hOffset_; }
  void SetAHShadeOffSet(int value);
  int AVShadeOffSet() const { return vOffset_; }
  void SetAVShadeOffSet(int value);

  static void DeclareProperties(TClassBuilder<TLabelStyle, TPersistent>& b);

 private:
  void Changed();

  int angle_ = 0;
  TA3dStyle style_ = A3dRaised;
  TColor shadeRightBottom_ = 0x808080;
  TColor shadeLeftTop_ = 0xFFFFFF;
  bool shadeLTSet_ = false;
  int hOffset_ = 5;
  int vOffset_ = -5;
  TColor rememberedLeftTop_ = 0xFFFFFF;  // the light shade while forced white
};

class TRotate3DLabel : public TCustomLabel {
 public:
  explicit TRotate3DLabel(TComponent* owner);
  ~TRotate3DLabel() override;

  TLabelStyle* LabelStyle() const { return style_.get(); }
  void SetLabelStyle(TLabelStyle* value);
  // Off: the caption stands on a plate of Color and draws as A3dNormal.
  bool MyTransparent() const { return myTransparent_; }
  void SetMyTransparent(bool value);

  static void DeclareProperties(TClassBuilder<TRotate3DLabel, TCustomLabel>& b);

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TLabelStyle> style_;
  bool myTransparent_ = true;
  double cos_ = 1.0;
  double sin_ = 0.0;
};

void RegisterRotate3DLabelClasses();
