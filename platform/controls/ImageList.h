#pragma once
// TImageList: a list of images of one size (Width x Height), each with its
// transparency, drawn onto canvases by index.
//
// Add takes a bitmap (several images side by side when it is wider than
// Width) and a monochrome mask (white: transparent, black: opaque; none:
// all opaque); AddMasked makes the mask from one colour. Draw with
// enabled off paints the image's shape embossed in the button shadow and
// highlight colours, as a disabled button shows it.
//
// Form files keep the images as the binary property "Bitmap":
//   offset 0  4 bytes  "QXIL"
//          4  u16 LE   format version (1)
//          6  u16 LE   image width  (1..1024)
//          8  u16 LE   image height (1..1024)
//         10  u32 LE   image count  (at most 65535)
//         14  count*width*height pixels: the strip, images side by side,
//             row by row, each pixel u32 LE 0xAARRGGBB (alpha 0 or 255).
// Anything else (short, long, wrong sizes) raises EReadError and leaves the
// list as it was.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/graphics/Canvas.h"

#include <QImage>

#include <functional>
#include <map>
#include <vector>

class TBitmap;

class TImageList : public TComponent {
 public:
  explicit TImageList(TComponent* owner);
  ~TImageList() override;

  int Width() const { return width_; }
  // Changing the size empties the list.
  void SetWidth(int v);
  int Height() const { return height_; }
  void SetHeight(int v);
  int Count() const { return static_cast<int>(images_.size()); }

  // The index of the first image added. A missing bitmap, or one narrower
  // than Width, raises EInvalidOperation "Unable to insert an image".
  int Add(TBitmap* image, TBitmap* mask);
  int AddMasked(TBitmap* image, TColor maskColor);
  // Draws image index at (x, y); an index out of range draws nothing.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true) const;
  // Sets image to Width x Height showing image index on white.
  void GetBitmap(int index, TBitmap* image) const;
  // The image with its transparency (alpha 0 or 255); null out of range.
  QImage ImageAt(int index) const;
  void Clear();
  // Out of range: EInvalidOperation "Invalid ImageList Index".
  void Delete(int index);

  // Views that show the images are told of every change.
  void RegisterChanges(const void* key, std::function<void()> changed);
  void UnRegisterChanges(const void* key);
  TNotifyEvent OnChange;

  void DefineProperties(TFiler* filer) override;
  QByteArray SaveImageData() const;
  void LoadImageData(const QByteArray& data);

  static void DeclareProperties(TClassBuilder<TImageList, TComponent>& b);

 private:
  void Changed();
  int AddImages(const QImage& colour, const std::function<bool(int x, int y)>& transparent);

  int width_ = 16;
  int height_ = 16;
  std::vector<QImage> images_;
  std::map<const void*, std::function<void()>> listeners_;
};
