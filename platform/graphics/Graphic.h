#pragma once
// TGraphic: the abstract picture (bitmap, icon) that a canvas can draw and a
// file or stream can hold.

#include "platform/classes/Persistent.h"
#include "platform/graphics/Geometry.h"
#include "platform/rtl/Exceptions.h"

#include <QString>

class TCanvas;
class TStream;

// A picture file or stream that cannot be read, or an unknown picture kind.
QX_EXCEPTION(EInvalidGraphic, Exception);
// An operation the picture does not allow (a size change of an icon).
QX_EXCEPTION(EInvalidGraphicOperation, Exception);

class TGraphic : public TPersistent {
 public:
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  bool Transparent() const { return transparent_; }
  virtual void SetTransparent(bool transparent);
  bool Modified() const { return modified_; }
  void SetModified(bool modified);

  // A missing file raises EFOpenError; a bad one EInvalidGraphic. Saving
  // writes a temporary file beside the target and renames it over it.
  void LoadFromFile(const QString& fileName);
  void SaveToFile(const QString& fileName);
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;

  // The picture as a form file stores it (Picture.Data and the like).
  virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
  virtual void WriteData(TStream& stream) { SaveToStream(stream); }

  // Draws the picture into r of canvas (TCanvas::Draw and StretchDraw).
  virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

  TNotifyEvent OnChange;

 protected:
  // Marks the picture modified and fires OnChange.
  virtual void Changed();

 private:
  bool transparent_ = false;
  bool modified_ = false;
};
