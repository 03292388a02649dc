#pragma once
// Points, sizes and rectangles as the drawing routines take them. A TRect's
// Right and Bottom lie outside it (the width is Right - Left).

#include <QPoint>
#include <QRect>

#include <cstdint>

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  TPoint TopLeft() const { return {Left, Top}; }
  TPoint BottomRight() const { return {Right, Bottom}; }
  bool Contains(TPoint p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

// Grows (negative: shrinks) the rectangle by dx on the left and right and dy on
// the top and bottom.
void InflateRect(TRect& r, int dx, int dy);
void OffsetRect(TRect& r, int dx, int dy);
// The common part; empty (all zero) when they do not meet.
TRect IntersectRect(const TRect& a, const TRect& b);
// The smallest rectangle holding both; an empty one is ignored.
TRect UnionRect(const TRect& a, const TRect& b);

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }
inline TRect FromQRect(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }
inline QPoint ToQPoint(TPoint p) { return QPoint(p.X, p.Y); }

// a * b / c with 64-bit intermediate, rounded half away from zero; -1 for c = 0.
int MulDiv(int a, int b, int c);
