#pragma once
// TBackdrop: a colour gradient over its parent's whole client area, in 256
// bands (128 mirrored pairs for the In/Out directions).

#include "platform/classes/ClassBuilder.h"
#include "platform/controls/Control.h"
#include "platform/graphics/Colors.h"

enum TDirection { bdUp, bdDown, bdLeft, bdRight, bdHorzIn, bdHorzOut, bdVertIn, bdVertOut };

extern const TEnumInfo kDirectionIdents;

enum class TGradientOrientation { TopToBottom, LeftToRight };

// Fills rect on canvas from first (at the start edge) to second (at the far
// edge, or in the middle when mirrored). Band n of 256 spans
// MulDiv(n, E, 256) to MulDiv(n + 1, E, 256) along the orientation.
void GradientFill(TCanvas* canvas, const TRect& rect, TColor first, TColor second,
                  TGradientOrientation orientation, bool mirrored);

class TBackdrop : public TGraphicControl {
 public:
  explicit TBackdrop(TComponent* owner);

  TDirection Direction() const { return direction_; }
  void SetDirection(TDirection value);
  TColor StartColor() const { return startColor_; }
  void SetStartColor(TColor value);
  TColor EndColor() const { return endColor_; }
  void SetEndColor(TColor value);

  static void DeclareProperties(TClassBuilder<TBackdrop, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  TDirection direction_ = bdUp;
  TColor startColor_ = clBlue;
  TColor endColor_ = clBlack;
};

void RegisterBackdropClasses();
