#pragma once
// Bevels: DrawEdge draws the classic 3-D edges of up to two one-pixel lines
// (outer, inner) on the chosen sides; Frame3D draws a two-colour frame of
// any width and shrinks the rectangle by it.

#include "platform/graphics/Canvas.h"

inline constexpr unsigned BDR_RAISEDOUTER = 0x0001;
inline constexpr unsigned BDR_SUNKENOUTER = 0x0002;
inline constexpr unsigned BDR_RAISEDINNER = 0x0004;
inline constexpr unsigned BDR_SUNKENINNER = 0x0008;
inline constexpr unsigned BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr unsigned BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr unsigned BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

inline constexpr unsigned BF_LEFT = 0x0001;
inline constexpr unsigned BF_TOP = 0x0002;
inline constexpr unsigned BF_RIGHT = 0x0004;
inline constexpr unsigned BF_BOTTOM = 0x0008;
inline constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr unsigned BF_MIDDLE = 0x0800;
inline constexpr unsigned BF_SOFT = 0x1000;
inline constexpr unsigned BF_ADJUST = 0x2000;
inline constexpr unsigned BF_FLAT = 0x4000;
inline constexpr unsigned BF_MONO = 0x8000;

// Line colours (top-left, bottom-right):
//   raised outer   cl3DLight / cl3DDkShadow   (BF_SOFT: clBtnHighlight top-left)
//   sunken outer   clBtnShadow / clBtnHighlight (BF_SOFT: cl3DDkShadow top-left)
//   raised inner   clBtnHighlight / clBtnShadow (BF_SOFT: cl3DLight top-left)
//   sunken inner   cl3DDkShadow / cl3DLight   (BF_SOFT: clBtnShadow top-left)
// BF_FLAT draws the outer line clBtnShadow and the inner clBtnFace; BF_MONO
// the outer clWindowFrame and the inner clWindow. The top-left colour owns
// the top-left corner; the bottom-right colour the other three. BF_MIDDLE
// fills what is left with clBtnFace (clWindow with BF_MONO); BF_ADJUST
// shrinks rect by the lines drawn on each side. Returns false for an edge
// with both raised and sunken bits of one line.
bool DrawEdge(TCanvas* canvas, TRect& rect, unsigned edge, unsigned flags);

// Draws width frames, each a line of topColor on the left and top and one of
// bottomColor on the right and bottom (the bottom colour taking the top-right
// and bottom-left corners), shrinking rect by one pixel on every side for
// each; rect ends as the area inside the frame.
void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
