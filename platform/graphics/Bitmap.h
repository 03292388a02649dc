#pragma once
// TBitmap: a picture held in a QImage (RGB32), with a canvas that draws into
// it. PixelFormat records the depth the bitmap saves at and reduces its
// colours to what that depth holds; a monochrome bitmap holds only black and
// white.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <QImage>
#include <QSize>

#include <memory>

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap;

// The canvas of a bitmap: paints on the bitmap's image.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
  bool Monochrome() const override;

 protected:
  QPainter* CreateHandle() override;
  const QImage* PixelSource(QPoint& offset) override;
  QSize SurfaceSize() override;
  void Changed() override;

 private:
  TBitmap* bitmap_;
};

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;

  // From a bitmap: a copy of its image and settings; from another picture:
  // that picture drawn on a bitmap of its size; nullptr: empty.
  void Assign(TPersistent* source) override;

  bool Empty() const override;
  int Width() const override { return image_.isNull() ? emptySize_.width() : image_.width(); }
  int Height() const override { return image_.isNull() ? emptySize_.height() : image_.height(); }
  void SetWidth(int width) override { SetSize(width, Height()); }
  void SetHeight(int height) override { SetSize(Width(), height); }
  // Keeps the pixels that stay inside; new pixels are white.
  void SetSize(int width, int height);

  TCanvas* Canvas() { return canvas_.get(); }
  // The pixels (drawing through the canvas ends before they are handed out).
  const QImage& Image();
  // Replaces the pixels (converted to RGB32); the pixel format becomes pf32bit
  // for an image with alpha, else pf24bit.
  void SetImage(const QImage& image);

  bool Monochrome() const { return pixelFormat_ == pf1bit; }
  // Turning monochrome maps the canvas background colour (BkColor, the brush
  // colour unless set) to white and every other
  // colour to black.
  void SetMonochrome(bool monochrome);
  TPixelFormat PixelFormat() const { return pixelFormat_; }
  void SetPixelFormat(TPixelFormat format);

  // tmAuto: the bottom-left pixel's colour (clDefault while empty).
  TColor TransparentColor();
  // clDefault returns to tmAuto; any other colour sets tmFixed.
  void SetTransparentColor(TColor color);
  TTransparentMode TransparentMode() const { return transparentMode_; }
  void SetTransparentMode(TTransparentMode mode);

  // A BMP file; EInvalidGraphic when it is not a valid one (the bitmap keeps
  // its old picture then).
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Form file data: a 32-bit byte count, then the BMP file.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;
  // The image ":/res/<name>.bmp" (or .png) of the program's resources;
  // EInvalidGraphic "Resource %s not found" when there is none.
  void LoadFromResourceName(const QString& name);

  void Draw(TCanvas* canvas, const TRect& r) override;

 private:
  friend class TBitmapCanvas;
  void Reduce();
  void CanvasChanged();
  void LoadBmpBytes(const QByteArray& bytes);

  QImage image_;
  // The size set while one side is 0 (no pixels yet): Width then Height
  // makes the bitmap the other setter completes.
  QSize emptySize_;
  std::unique_ptr<TBitmapCanvas> canvas_;
  TPixelFormat pixelFormat_ = pf24bit;
  TTransparentMode transparentMode_ = tmAuto;
  TColor transparentColor_ = clDefault;
  bool monoDirty_ = false;
};
