#pragma once
// Small routines shared by the components: integer bounds, the two extra
// screen cursors, transparent bitmap drawing, rectangle sizes, the
// foreground test and word extraction from delimited text.

#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"

#include <QList>
#include <QString>

#include <bitset>
#include <initializer_list>

class TBitmap;
class TCanvas;

int MaxOf(int a, int b);
int MinOf(int a, int b);

// The screen cursor numbers RegisterCursors fills.
inline constexpr int crKvHand = 14000;  // "KV_HANDCUR": pointing hand
inline constexpr int crKvDrag = 14001;  // "KV_DRAGCUR": closed hand

// Sets the two cursors on the screen object; nothing happens while there is
// none (no application object).
void RegisterCursors();

// Draws the whole bitmap at (x, y) at its own size, leaving the pixels of
// transparentColor out (see StretchBitmapTransparent).
void DrawBitmapTransparent(TCanvas* dest, int x, int y, TBitmap* bitmap, TColor transparentColor);

// Stretches the bitmap's source part (x, y, width, height) onto dest's
// destination part. A destination width or height below 1 takes the
// bitmap's; a source width or height below 1 takes the whole bitmap.
// transparentColor clNone copies with dest's CopyMode; clDefault takes the
// bitmap's bottom-left pixel; a monochrome bitmap's transparent colour is
// always white.
void StretchBitmapTransparent(TCanvas* dest, TBitmap* bitmap, TColor transparentColor,
                              int srcX, int srcY, int srcW, int srcH,
                              int dstX, int dstY, int dstW, int dstH);

// Stretches src's part onto dest's part, keeping dest where src has
// transparentColor. Works through a mask on memory bitmaps, so any raster
// rules of the two canvases apply. Our surfaces are true colour, where a
// palette changes nothing, so palette is accepted and not used.
void MaskedStretchCopy(TCanvas* dest, int dstX, int dstY, int dstW, int dstH, TCanvas* src,
                       int srcX, int srcY, int srcW, int srcH, TColor transparentColor,
                       const QList<TColor>* palette = nullptr);

int RectWidth(const TRect& r);
int RectHeight(const TRect& r);

// The colour's RGB value marked palette-relative (bit 0x02000000).
TColor PaletteColor(TColor color);

// True when the active window belongs to this program and the caller is the
// thread that runs its windows; false without an active window.
bool IsForegroundThread();

// A set of byte values. A character counts as its Windows-1252 byte; one
// that has none is never in the set.
class TCharSet {
 public:
  TCharSet() = default;
  TCharSet(std::initializer_list<unsigned char> bytes);
  void Include(unsigned char byte) { bits_.set(byte); }
  bool Contains(QChar c) const;

 private:
  std::bitset<256> bits_;
};

// The 1-based position of the n-th word of text (a word is a maximal run of
// characters outside delimiters); 0 when there are fewer than n words.
int FindWord(int n, const QString& text, const TCharSet& delimiters);
// The n-th word; empty when there is none.
QString ExtractWordAt(int n, const QString& text, const TCharSet& delimiters);

// lower when value < lower and lower is not none; else upper when
// value > upper and upper is not none; else value.
int ClampToBounds(int value, int lower, int upper, int none);

// Plain copy of one text into another.
void AssignText(QString& dest, const QString& source);
