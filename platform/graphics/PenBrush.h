#pragma once
// TPen and TBrush: the drawing tools of a canvas.

#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsObject.h"

#include <QBrush>

class TBitmap;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// Pen mix modes; each combines the pen (P) with the destination (D).
enum TPenMode {
  pmBlack,        // 0
  pmWhite,        // 1
  pmNop,          // D
  pmNot,          // ~D
  pmCopy,         // P
  pmNotCopy,      // ~P
  pmMergePenNot,  // P | ~D
  pmMaskPenNot,   // P & ~D
  pmMergeNotPen,  // ~P | D
  pmMaskNotPen,   // ~P & D
  pmMerge,        // P | D
  pmNotMerge,     // ~(P | D)
  pmMask,         // P & D
  pmNotMask,      // ~(P & D)
  pmXor,          // P ^ D
  pmNotXor        // ~(P ^ D)
};

class TPen : public TGraphicsObject {
 public:
  void Assign(TPersistent* source) override;

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  // Published: Color, Mode, Style, Width.
  static void DeclareProperties(TClassBuilder<TPen, TGraphicsObject>& b);

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

enum TBrushStyle {
  bsSolid,
  bsClear,
  bsHorizontal,
  bsVertical,
  bsFDiagonal,
  bsBDiagonal,
  bsCross,
  bsDiagCross
};

class TBrush : public TGraphicsObject {
 public:
  void Assign(TPersistent* source) override;

  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid, as the class library does.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);
  // A pattern bitmap, not owned; while set it replaces colour and style.
  TBitmap* Bitmap() const { return bitmap_; }
  void SetBitmap(TBitmap* bitmap);

  // The Qt brush (no brush for bsClear); hatch lines in Color on a
  // transparent background, as with a transparent background mode.
  QBrush ToQBrush() const;

  // Published: Color, Style.
  static void DeclareProperties(TClassBuilder<TBrush, TGraphicsObject>& b);

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  TBitmap* bitmap_ = nullptr;
};
