// Transparent drawing of bitmaps through a mask.

#include "components/KvUtils.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

// A memory bitmap of the given size, monochrome when asked.
std::unique_ptr<TBitmap> Surface(int width, int height, bool monochrome) {
  auto bitmap = std::make_unique<TBitmap>();
  if (monochrome)
    bitmap->SetMonochrome(true);
  bitmap->SetSize(width, height);
  return bitmap;
}

// A monochrome source maps 0 to black and 1 to white on a colour canvas.
void PlainMonoColors(TCanvas* canvas) {
  canvas->SetTextColor(clBlack);
  canvas->SetBkColor(clWhite);
}

// Switches a canvas's change notification off for the scope.
class SilentCanvas {
 public:
  explicit SilentCanvas(TCanvas* canvas) : canvas_(canvas), saved_(canvas->OnChange) {
    canvas_->OnChange = nullptr;
  }
  ~SilentCanvas() { canvas_->OnChange = saved_; }
  SilentCanvas(const SilentCanvas&) = delete;
  SilentCanvas& operator=(const SilentCanvas&) = delete;

 private:
  TCanvas* canvas_;
  TNotifyEvent saved_;
};

}  // namespace

void MaskedStretchCopy(TCanvas* dest, int dstX, int dstY, int dstW, int dstH, TCanvas* src,
                       int srcX, int srcY, int srcW, int srcH, TColor transparentColor,
                       const QList<TColor>* /*palette*/) {
  if (dest == nullptr || src == nullptr || dstW < 1 || dstH < 1 || srcW < 1 || srcH < 1)
    return;
  const TRect whole = Rect(0, 0, srcW, srcH);
  const TRect target = Rect(0, 0, dstW, dstH);
  auto colorCopy = Surface(srcW, srcH, false);
  auto mask = Surface(srcW, srcH, true);
  auto inverse = Surface(srcW, srcH, true);
  auto result = Surface(dstW, dstH, false);
  TCanvas* copy = colorCopy->Canvas();

  PlainMonoColors(copy);
  copy->CopyRect(whole, src, Bounds(srcX, srcY, srcW, srcH));
  // Pixels of the copy's background colour turn white in the mask.
  const TColor savedBk = copy->BkColor();
  copy->SetBkColor(PaletteColor(transparentColor));
  mask->Canvas()->CopyRect(whole, copy, whole);
  copy->SetBkColor(savedBk);
  inverse->Canvas()->SetCopyMode(NOTSRCCOPY);
  inverse->Canvas()->CopyRect(whole, mask->Canvas(), whole);

  TCanvas* out = result->Canvas();
  out->CopyRect(target, dest, Bounds(dstX, dstY, dstW, dstH));
  PlainMonoColors(out);
  out->SetCopyMode(SRCAND);
  out->CopyRect(target, mask->Canvas(), whole);  // opaque places black
  PlainMonoColors(copy);
  copy->SetCopyMode(SRCAND);
  copy->CopyRect(whole, inverse->Canvas(), whole);  // transparent places black
  out->SetCopyMode(SRCPAINT);
  out->CopyRect(target, copy, whole);
  dest->StretchBlt(Bounds(dstX, dstY, dstW, dstH), result->Image(), target, SRCCOPY);
}

void StretchBitmapTransparent(TCanvas* dest, TBitmap* bitmap, TColor transparentColor,
                              int srcX, int srcY, int srcW, int srcH,
                              int dstX, int dstY, int dstW, int dstH) {
  if (dest == nullptr || bitmap == nullptr || bitmap->Empty())
    return;
  if (dstW < 1)
    dstW = bitmap->Width();
  if (dstH < 1)
    dstH = bitmap->Height();
  if (srcW < 1 || srcH < 1) {
    srcX = 0;
    srcY = 0;
    srcW = bitmap->Width();
    srcH = bitmap->Height();
  }
  // Stretching is always colour-on-colour (nearest neighbour) here.
  TCanvas* canvas = bitmap->Canvas();
  SilentCanvas silent(canvas);
  if (transparentColor == clNone) {
    dest->StretchBlt(Bounds(dstX, dstY, dstW, dstH), bitmap->Image(),
                     Bounds(srcX, srcY, srcW, srcH), dest->CopyMode(), bitmap->Monochrome());
    return;
  }
  if (transparentColor == clDefault)
    transparentColor = canvas->Pixel(0, bitmap->Height() - 1);
  const TColor key = bitmap->Monochrome() ? clWhite : ColorToRGB(transparentColor);
  MaskedStretchCopy(dest, dstX, dstY, dstW, dstH, canvas, srcX, srcY, srcW, srcH, key);
}

void DrawBitmapTransparent(TCanvas* dest, int x, int y, TBitmap* bitmap, TColor transparentColor) {
  if (bitmap == nullptr)
    return;
  StretchBitmapTransparent(dest, bitmap, transparentColor, 0, 0, bitmap->Width(),
                           bitmap->Height(), x, y, bitmap->Width(), bitmap->Height());
}
