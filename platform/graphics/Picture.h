#pragma once
// TPicture: holds one graphic of any kind (bitmap or icon), chooses the kind
// from a file's extension, and stores it in form files as "Data": the kind's
// class name (a length byte and ASCII) followed by the graphic's own data.

#include "platform/graphics/Graphic.h"

#include <memory>

class TBitmap;
class TIcon;

class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;

  // The graphic held (nullptr when none); owned by the picture.
  TGraphic* Graphic() const { return graphic_.get(); }
  // Holds a copy of graphic (nullptr empties the picture).
  void SetGraphic(TGraphic* graphic);
  // The graphic as a bitmap; a picture holding something else (or nothing)
  // gets a new empty bitmap first. Likewise Icon.
  TBitmap* Bitmap();
  TIcon* Icon();

  int Width() const;
  int Height() const;

  // .bmp a bitmap; .png, .jpg, .jpeg, .gif a bitmap of that image; .ico an
  // icon. An unknown extension or a bad file raises EInvalidGraphic and the
  // picture keeps what it held.
  void LoadFromFile(const QString& fileName);
  // EInvalidGraphic "Cannot save an empty picture" when empty.
  void SaveToFile(const QString& fileName);
  // ":/res/<name>.bmp", ".png" (bitmaps) or ".ico" (icon) of the resources.
  void LoadFromResourceName(const QString& name);

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;
  // The form-file data (see above).
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

  TNotifyEvent OnChange;

 protected:
  void AssignTo(TPersistent* dest) override;
  virtual void Changed();

 private:
  void Take(std::unique_ptr<TGraphic> graphic);

  std::unique_ptr<TGraphic> graphic_;
};
