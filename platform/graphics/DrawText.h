#pragma once
// DrawText: formatted text in a rectangle, with the font, colours and
// background mode of a canvas. Lines break at line ends (unless
// DT_SINGLELINE) and, with DT_WORDBREAK, between words that would pass the
// right edge (a word wider than the rectangle keeps its own line). Tabs
// stop every 8 average character widths with DT_EXPANDTABS. "&" underlines
// the next character and "&&" is a literal "&", unless DT_NOPREFIX.

#include "platform/graphics/Canvas.h"

#include <QString>

inline constexpr unsigned DT_TOP = 0x0000;
inline constexpr unsigned DT_LEFT = 0x0000;
inline constexpr unsigned DT_CENTER = 0x0001;
inline constexpr unsigned DT_RIGHT = 0x0002;
inline constexpr unsigned DT_VCENTER = 0x0004;
inline constexpr unsigned DT_BOTTOM = 0x0008;
inline constexpr unsigned DT_WORDBREAK = 0x0010;
inline constexpr unsigned DT_SINGLELINE = 0x0020;
inline constexpr unsigned DT_EXPANDTABS = 0x0040;
inline constexpr unsigned DT_NOCLIP = 0x0100;
inline constexpr unsigned DT_CALCRECT = 0x0400;
inline constexpr unsigned DT_NOPREFIX = 0x0800;

// Draws text into rect by format and returns the text's height. DT_VCENTER
// and DT_BOTTOM place a DT_SINGLELINE text (the result is then the distance
// from rect's top to the text's bottom). With DT_CALCRECT nothing is drawn:
// rect's right becomes left + the widest line and its bottom top + the height.
// Drawing clips to rect unless DT_NOCLIP.
int DrawText(TCanvas* canvas, const QString& text, TRect& rect, unsigned format);
