#pragma once
// TSuperLabel: a label with four inner margins, vertical alignment and an
// optional flat or three-dimensional border; it never sizes itself.

#include "platform/classes/ClassBuilder.h"
#include "platform/controls/Label.h"
#include "platform/controls/Panel.h"

#include <cstdint>

enum TVAlignment { vaTop, vaBottom, vaCenter };

extern const TEnumInfo kVAlignmentIdents;

class TSuperLabel : public TCustomLabel {
 public:
  explicit TSuperLabel(TComponent* owner);

  TColor BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool value);
  std::uint8_t BottomMargin() const { return bottomMargin_; }
  void SetBottomMargin(std::uint8_t value);
  std::uint8_t LeftMargin() const { return leftMargin_; }
  void SetLeftMargin(std::uint8_t value);
  std::uint8_t RightMargin() const { return rightMargin_; }
  void SetRightMargin(std::uint8_t value);
  std::uint8_t TopMargin() const { return topMargin_; }
  void SetTopMargin(std::uint8_t value);
  TVAlignment VerticalAlignment() const { return verticalAlignment_; }
  void SetVerticalAlignment(TVAlignment value);

  // The rectangle the caption is drawn in (client coordinates).
  TRect TextRect() const;

  static void DeclareProperties(TClassBuilder<TSuperLabel, TCustomLabel>& b);

 protected:
  void Paint() override;

 private:
  template <class T>
  void Set(T& field, T value);
  int BorderInset() const;
  // The caption's height in rect by format, plus 1.
  int DrawCaption(TRect rect, unsigned format);

  TColor borderColor_ = clWindowFrame;
  std::uint8_t bottomMargin_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  bool ctl3D_ = true;
  std::uint8_t leftMargin_ = 0;
  std::uint8_t rightMargin_ = 0;
  std::uint8_t topMargin_ = 2;  // the new control look
  TVAlignment verticalAlignment_ = vaTop;
};

void RegisterSuperLabelClasses();
