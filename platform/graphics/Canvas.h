#pragma once
// TCanvas: drawing with GDI's rules on a QPainter. Rectangles exclude their
// right and bottom edges, LineTo excludes its end point, text fills its
// background with the brush colour while the brush is solid (opaque
// background mode) and leaves it alone otherwise, and block transfers combine
// source, pattern (the brush) and destination by a ternary raster code.
//
// A canvas draws on a paint device it is given (it opens its own painter on
// first use), on a painter it borrows (a widget's paint event), or, for a
// bitmap, on the bitmap's image. Coordinates are the painter's logical ones.

#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/PenBrush.h"
#include "platform/graphics/RasterOps.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class TGraphic;
class TBitmap;

// A font's vertical metrics in pixels, as GDI's text metrics have them:
// tmHeight is the cell (ascent + descent); tmExternalLeading the room the
// font asks for between lines, outside the cell (never negative).
struct TTextMetric {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmExternalLeading = 0;
};

class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  // Paints on device with a painter of the canvas's own, opened on first use
  // and closed by FreeHandle (nullptr unbinds).
  void SetDevice(QPaintDevice* device);
  // Paints with a borrowed painter (nullptr unbinds); the caller keeps it.
  // A clip the painter has now bounds everything the canvas draws; the
  // painter's pen, brush, font and composition mode are the canvas's to set.
  void SetPainter(QPainter* painter);
  // The painter, opened as needed. EInvalidOperation "Canvas does not allow
  // drawing" when the canvas has nothing to draw on. A bitmap's painter lasts
  // until the bitmap's pixels are read or replaced (TBitmap::Image, SetSize).
  QPainter* Handle();
  bool HandleAllocated() const;
  // Closes the canvas's own painter (a borrowed one is only released).
  void FreeHandle();

  TFont* Font() { return font_.get(); }
  void SetFont(TFont* font) { font_->Assign(font); }
  TPen* Pen() { return pen_.get(); }
  void SetPen(TPen* pen) { pen_->Assign(pen); }
  TBrush* Brush() { return brush_.get(); }
  void SetBrush(TBrush* brush) { brush_->Assign(brush); }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint pos) { penPos_ = pos; }
  TCopyMode CopyMode() const { return copyMode_; }
  void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }

  // Lines and shapes.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const std::vector<TPoint>& points);
  void Polygon(const std::vector<TPoint>& points);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void FillRect(const TRect& r);
  // A one-pixel border drawn with the brush.
  void FrameRect(const TRect& r);
  // Inverts every other pixel of the rectangle's border; twice restores it.
  void DrawFocusRect(const TRect& r);

  // Pixels; reading a pixel outside the surface gives clNone.
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // Text: (x, y) is the top-left corner of the text cell. TextOut moves the
  // pen position to the end of the text; a font Orientation turns it about
  // (x, y). TextRect clips to r and, with a solid brush, fills all of r.
  void TextOut(int x, int y, const QString& text);
  void TextRect(const TRect& r, int x, int y, const QString& text);
  TSize TextExtent(const QString& text);
  int TextWidth(const QString& text) { return TextExtent(text).cx; }
  int TextHeight(const QString& text) { return TextExtent(text).cy; }
  // The font's metrics as GDI's text metrics give them (see TTextMetric).
  TTextMetric TextMetrics();
  // The colours a monochrome image maps to (0 text, 1 background) and that a
  // colour image turns white by when copied to a monochrome canvas. They
  // follow Font.Color and Brush.Color; a setter overrides them until the
  // font or brush changes next.
  TColor TextColor() const { return textColor_ ? *textColor_ : font_->Color(); }
  void SetTextColor(TColor color) { textColor_ = color; }
  TColor BkColor() const { return bkColor_ ? *bkColor_ : brush_->Color(); }
  void SetBkColor(TColor color) { bkColor_ = color; }
  // True while text and styled lines paint their background (solid brush).
  bool OpaqueBackground() const { return brush_->Style() == bsSolid && !brush_->Bitmap(); }

  // Pictures and block transfers (CopyMode applies to CopyRect and Draw).
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
  // Copies source of bitmap to dest, the pixels of color replaced by the brush.
  void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);
  // Transfers image's source part to dest (stretched, nearest neighbour) by
  // the raster code. A monochrome image maps black to TextColor and white to
  // BkColor; a monochrome canvas turns the background colour of the source
  // (sourceBack) white and everything else black.
  void StretchBlt(const TRect& dest, const QImage& image, const TRect& source, TCopyMode rop,
                  bool monochromeSource = false, TColor sourceBack = clWhite);
  // Draws image over dest (stretched, nearest neighbour), blending its alpha.
  void DrawImage(const TRect& dest, const QImage& image);
  // Draws image's source part to dest, leaving the pixels of color out.
  void TransparentBlt(const TRect& dest, const QImage& image, const TRect& source, TColor color);

  // Clipping, in logical coordinates. ClipRect is the bounding box of the
  // clip region, or of the whole surface when there is none.
  TRect ClipRect();
  void SetClipRect(const TRect& r);
  void IntersectClipRect(const TRect& r);
  void ExcludeClipRect(const TRect& r);
  void RemoveClip();
  bool HasClip() const { return clip_.has_value(); }
  // Saves the clip region; PopClip puts the last saved one back.
  void PushClip();
  void PopClip();

  // The pixels under r as an RGB32 image (black where nothing is readable).
  QImage ReadArea(const TRect& r);
  // Whether this canvas holds only black and white (a monochrome bitmap).
  virtual bool Monochrome() const { return false; }

  void Refresh() {}

  // Fire around every drawing operation.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changing();
  virtual void Changed();
  // Opens a painter when none is open; nullptr when there is nothing to draw
  // on (the default raises EInvalidOperation then).
  virtual QPainter* CreateHandle();
  // The image that holds this canvas's pixels and the offset of logical (0, 0)
  // in it; nullptr when the pixels cannot be read.
  virtual const QImage* PixelSource(QPoint& offset);
  // The size of the whole surface.
  virtual QSize SurfaceSize();

  // The painter prepared for drawing (clip applied); nullptr when nothing
  // can be drawn. Resets composition mode and pen/brush to none.
  QPainter* Begin();

 private:
  friend class CanvasChange;

  void LinePixels(const std::vector<TPoint>& pts, bool closed);
  void ThickLines(const std::vector<TPoint>& pts, bool closed);
  void StrokeOutline(const std::vector<TPoint>& pts, bool closed);
  void WriteArea(const TRect& r, const QImage& image);
  QImage PatternArea(const TRect& r);
  QImage ToDeviceColors(const QImage& src, bool monochromeSource, TColor sourceBack);
  void ApplyPenMode(QPainter* p) const;
  QFont CurrentQFont();
  void FontChanged();

  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TPoint penPos_;
  TCopyMode copyMode_ = SRCCOPY;
  QPaintDevice* device_ = nullptr;
  std::unique_ptr<QPainter> ownPainter_;
  QPainter* borrowed_ = nullptr;
  std::optional<QRegion> clip_;
  std::optional<QRegion> baseClip_;  // the borrowed painter's own clip
  std::vector<std::optional<QRegion>> clipStack_;
  std::optional<QFont> qfont_;
  std::optional<TColor> textColor_;
  std::optional<TColor> bkColor_;
};

// Calls Changing now and Changed when it goes out of scope.
class CanvasChange {
 public:
  explicit CanvasChange(TCanvas& canvas) : canvas_(canvas) { canvas_.Changing(); }
  ~CanvasChange() { canvas_.Changed(); }
  CanvasChange(const CanvasChange&) = delete;
  CanvasChange& operator=(const CanvasChange&) = delete;

 private:
  TCanvas& canvas_;
};
