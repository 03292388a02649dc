#pragma once
// TIcon: an icon file (.ico, or a PNG image) drawn with its own transparency.
// The bytes it was loaded from are kept and saved back unchanged.

#include "platform/graphics/Graphic.h"

#include <QByteArray>
#include <QImage>

class TIcon : public TGraphic {
 public:
  TIcon();

  void Assign(TPersistent* source) override;

  bool Empty() const override { return image_.isNull(); }
  int Width() const override { return image_.width(); }
  int Height() const override { return image_.height(); }
  // Icons keep the size of their image: EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;

  const QImage& Image() const { return image_; }

  // EInvalidGraphic "Icon image is not valid" when the bytes are no icon.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromResourceName(const QString& name);

  void Draw(TCanvas* canvas, const TRect& r) override;

 private:
  void LoadBytes(const QByteArray& bytes);

  QImage image_;  // ARGB32_Premultiplied
  QByteArray data_;
};
