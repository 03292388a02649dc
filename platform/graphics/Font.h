#pragma once
// TFont: a logical font as the class library describes it. Height follows the
// class library's sign rule: a negative height is the character height (em
// size, without internal leading), a positive one the cell height (ascent +
// descent); Size in points is -MulDiv(Height, 72, PixelsPerInch), so a
// positive height reads as a negative size. Orientation turns the text
// counter-clockwise, in tenths of a degree.

#include "platform/classes/Set.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsObject.h"

#include <QFont>
#include <QString>

#include <cstdint>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };

using TFontCharset = std::uint8_t;
inline constexpr TFontCharset ANSI_CHARSET = 0;
inline constexpr TFontCharset DEFAULT_CHARSET = 1;
inline constexpr TFontCharset SYMBOL_CHARSET = 2;
inline constexpr TFontCharset EASTEUROPE_CHARSET = 238;
inline constexpr TFontCharset RUSSIAN_CHARSET = 204;
inline constexpr TFontCharset GREEK_CHARSET = 161;
inline constexpr TFontCharset TURKISH_CHARSET = 162;
inline constexpr TFontCharset BALTIC_CHARSET = 186;

class TFont : public TGraphicsObject {
 public:
  TFont();

  // Copies every attribute from another font; notifies once, and only when
  // something differs.
  void Assign(TPersistent* source) override;

  const QString& Name() const { return name_; }
  void SetName(const QString& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch pitch);
  TFontCharset Charset() const { return charset_; }
  void SetCharset(TFontCharset charset);
  int Orientation() const { return orientation_; }
  void SetOrientation(int tenthsOfDegree);
  // Device resolution the height is measured in (96 on screen; a printer
  // canvas sets its own).
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int ppi);

  // The Qt font of these attributes, sized in device pixels. Arial, Times
  // New Roman and Courier New resolve through fontconfig; "MS Sans Serif"
  // and other missing faces fall back to a sans face.
  QFont ToQFont() const;

  bool SameAs(const TFont& other) const;

  // Published: Charset, Color, Height, Name, Pitch, Style (Size is not stored).
  static void DeclareProperties(TClassBuilder<TFont, TGraphicsObject>& b);

 private:
  void Set(auto& field, const auto& value);

  QString name_;
  int height_;
  TColor color_;
  TFontStyles style_;
  TFontPitch pitch_ = fpDefault;
  TFontCharset charset_ = DEFAULT_CHARSET;
  int orientation_ = 0;
  int pixelsPerInch_ = 96;
};
