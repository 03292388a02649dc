#pragma once
// Text on a picture, measured by its extents and never by its glyphs: the
// rows of dark ink in a part of the picture.

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>

#include <algorithm>

namespace qxtest {

// One run of rows holding ink: its height and the width from its first to
// its last inked column.
struct TInkRow {
  int height = 0;
  int width = 0;
};

// Near black: text, not the grey of frames and bevels.
inline bool IsInk(const QColor& c) {
  return c.red() <= 70 && c.green() <= 70 && c.blue() <= 70;
}

inline QList<TInkRow> InkRows(const QImage& image, const QRect& area) {
  QList<TInkRow> rows;
  bool inRow = false;
  int left = 0, right = 0;
  const QRect inside = area.intersected(image.rect());
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    int first = -1, last = -1;
    for (int x = inside.left(); x <= inside.right(); ++x) {
      if (!IsInk(image.pixelColor(x, y))) continue;
      if (first < 0) first = x;
      last = x;
    }
    if (first < 0) {
      inRow = false;
      continue;
    }
    if (!inRow) {
      rows.append(TInkRow{});
      left = first;
      right = last;
    }
    inRow = true;
    left = std::min(left, first);
    right = std::max(right, last);
    ++rows.last().height;
    rows.last().width = right - left + 1;
  }
  return rows;
}

}  // namespace qxtest
