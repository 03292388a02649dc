#pragma once
// Ternary raster operations. A code's third byte is its truth table: for
// every bit of pattern P, source S and destination D, the result bit is
// bit ((P << 2) | (S << 1) | D) of that byte. The named codes are the common
// ones; any 0x00XXYYYY code works through the same table.

#include <QImage>

#include <cstdint>

using TCopyMode = std::int32_t;

inline constexpr TCopyMode BLACKNESS = 0x00000042;
inline constexpr TCopyMode NOTSRCERASE = 0x001100A6;  // ~(S | D)
inline constexpr TCopyMode NOTSRCCOPY = 0x00330008;   // ~S
inline constexpr TCopyMode SRCERASE = 0x00440328;     // S & ~D
inline constexpr TCopyMode DSTINVERT = 0x00550009;    // ~D
inline constexpr TCopyMode PATINVERT = 0x005A0049;    // P ^ D
inline constexpr TCopyMode SRCINVERT = 0x00660046;    // S ^ D
inline constexpr TCopyMode SRCAND = 0x008800C6;       // S & D
inline constexpr TCopyMode MERGEPAINT = 0x00BB0226;   // ~S | D
inline constexpr TCopyMode MERGECOPY = 0x00C000CA;    // P & S
inline constexpr TCopyMode SRCCOPY = 0x00CC0020;      // S
inline constexpr TCopyMode SRCPAINT = 0x00EE0086;     // S | D
inline constexpr TCopyMode PATCOPY = 0x00F00021;      // P
inline constexpr TCopyMode PATPAINT = 0x00FB0A09;     // P | ~S | D
inline constexpr TCopyMode WHITENESS = 0x00FF0062;

inline constexpr TCopyMode cmBlackness = BLACKNESS;
inline constexpr TCopyMode cmDstInvert = DSTINVERT;
inline constexpr TCopyMode cmMergeCopy = MERGECOPY;
inline constexpr TCopyMode cmMergePaint = MERGEPAINT;
inline constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
inline constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
inline constexpr TCopyMode cmPatCopy = PATCOPY;
inline constexpr TCopyMode cmPatInvert = PATINVERT;
inline constexpr TCopyMode cmPatPaint = PATPAINT;
inline constexpr TCopyMode cmSrcAnd = SRCAND;
inline constexpr TCopyMode cmSrcCopy = SRCCOPY;
inline constexpr TCopyMode cmSrcErase = SRCERASE;
inline constexpr TCopyMode cmSrcInvert = SRCINVERT;
inline constexpr TCopyMode cmSrcPaint = SRCPAINT;
inline constexpr TCopyMode cmWhiteness = WHITENESS;

// The truth-table byte of a raster code.
constexpr unsigned RopTable(TCopyMode rop) { return (static_cast<unsigned>(rop) >> 16) & 0xFF; }

// Whether the result depends on the source, the pattern, the destination.
bool RopUsesSource(TCopyMode rop);
bool RopUsesPattern(TCopyMode rop);
bool RopUsesDest(TCopyMode rop);

// One 24-bit pixel value (the alpha byte is ignored and returned as 0xFF).
std::uint32_t ApplyRop(unsigned table, std::uint32_t p, std::uint32_t s, std::uint32_t d);

// Combines three images of one size (Format_RGB32; src or pattern may be
// null when the code does not use them) into an RGB32 image of that size.
QImage ApplyRop(TCopyMode rop, const QImage& dest, const QImage* src, const QImage* pattern);

// Nearest-neighbour scaling: each target pixel takes the source pixel under
// its centre. A negative size mirrors along that axis.
QImage StretchNearest(const QImage& src, int width, int height);
