#pragma once
// Routines the print cell layout draws with: unit conversion, size lists,
// a cell's brush, font and border pen, border lines and the cell contents.
// Everything draws on the canvas it is given, in that canvas's pixels.

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"

#include <QString>

#include <cstdint>
#include <vector>

class TGraphic;
class TRichEdit;

enum TMeasurement { mtPixels, mtCentimeters, mtInches, mtPercentage };

struct TCellBrush {
  TColor Color = clWhite;
  std::uint8_t Style = 1;  // 0 solid, 1 clear
};

struct TCellFont {
  float Size = 0.0F;  // in the layout's unit; negative: character height
  std::uint8_t Pitch = 0;
  TFontStyles Style;
  std::uint8_t Charset = DEFAULT_CHARSET;
  QString Name = QStringLiteral("Arial");  // at most 31 characters
  TColor Color = 0;
};

inline constexpr std::uint8_t kClearBorder = 5;

struct TCellBorder {
  TColor Color = 0;
  int Width = 1;
  std::uint8_t Style = kClearBorder;  // pen style: 0 solid ... 5 clear
};

// Sizes in the layout's unit; a negative entry -n repeats the entry after it
// n times (rounded, halves to even, at least once).
using TSizeList = std::vector<float>;

struct TSizeCursor {
  int Index = 0;
  int Repeats = 0;  // still to give of the current repeated entry
};

// A border line's start and length along its edge.
struct TBorderSpan {
  int Start = 0;
  int Length = 0;
};

// extent is the page width or height minus one pixel; a fraction of 1.0
// is the whole extent.
float ConvertUnits(TMeasurement from, TMeasurement to, int resolution, int extent, float value);
// A converted coordinate as a whole pixel; what is not a finite number, or
// lies beyond any page, is held to the nearest value a canvas can take.
int RoundPixels(double value);

int CountSizes(const TSizeList& sizes);
bool NextSize(const TSizeList& sizes, TSizeCursor& cursor, float& size);

void ApplyCellBrush(TCanvas* canvas, const TCellBrush& brush);
void ApplyCellFont(TCanvas* canvas, const TCellFont& font, int height);
void ApplyBorderPen(TCanvas* canvas, const TCellBorder& border);

// The span of a horizontal border between the left and right edges of rect
// (joined by the two vertical borders), and of a vertical one between top
// and bottom: an end where a thinner joining border meets it is pulled in.
TBorderSpan HorzBorderSpan(const TCellBorder& border, const TCellBorder& left,
                           const TCellBorder& right, const TRect& rect);
TBorderSpan VertBorderSpan(const TCellBorder& border, const TCellBorder& top,
                           const TCellBorder& bottom, const TRect& rect);
// With the canvas's pen: a bar for a solid pen, a plain line otherwise.
void HorzBorderLine(TCanvas* canvas, int x, int y, int length);
void VertBorderLine(TCanvas* canvas, int x, int y, int length);
void DrawThickLine(TCanvas* canvas, int x, int y, bool vertical, int length);

// Alignments: horizontal 0 left, 1 right, 2 centred; vertical 0 top,
// 1 centred, 2 bottom.
void DrawCellText(TCanvas* canvas, const QString& text, const TRect& rect, bool shrink,
                  bool wordWrap, std::uint8_t vertAlign, std::uint8_t horzAlign);
void DrawTurnedText(TCanvas* canvas, const QString& text, const TRect& rect, bool shrink,
                    std::uint8_t vertAlign, std::uint8_t horzAlign);
void DrawCellPicture(TCanvas* canvas, TGraphic* picture, const TRect& rect,
                     std::uint8_t vertAlign, std::uint8_t horzAlign, bool stretch);
// The control's text in its own font, word-wrapped inside rect less a
// twentieth of an inch on each side.
void DrawCellRichText(TCanvas* canvas, TRichEdit* control, const TRect& rect, int resolution);

QString LeftStr(const QString& text, int count);
QString RightStr(const QString& text, int count);
bool SameOrEmpty(const QString& patternPart, const QString& namePart);
