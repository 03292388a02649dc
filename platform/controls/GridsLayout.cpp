// Column and row layout: where each index lies, what is shown, how far
// the grid can scroll.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"

#include <algorithm>

int TCustomGrid::Axis::FixedExtent() const {
  int p = 0;
  for (int i = 0; i < fixed && i < count; ++i) p += Step(i);
  return p;
}

int TCustomGrid::Axis::Pos(int i) const {
  if (i < 0 || i >= count || (i >= fixed && i < first)) return -1;
  int p = 0;
  if (i < fixed) {
    for (int j = 0; j < i; ++j) p += Step(j);
  } else {
    p = FixedExtent();
    for (int j = first; j < i && p < extent; ++j) p += Step(j);
  }
  return p < extent ? p : -1;
}

int TCustomGrid::Axis::At(int pixel) const {
  if (pixel < 0 || pixel >= extent) return -1;
  int p = 0;
  for (int i = 0; i < fixed && i < count; ++i) {
    p += Step(i);
    if (pixel < p) return i;
  }
  for (int i = std::max(first, fixed); i < count && p < extent; ++i) {
    p += Step(i);
    if (pixel < p) return i;
  }
  return -1;
}

int TCustomGrid::Axis::VisibleCount() const {
  int p = FixedExtent();
  int n = 0;
  for (int i = first; i < count && p + size(i) <= extent; ++i, ++n) p += Step(i);
  return first < count ? std::max(n, 1) : 0;
}

int TCustomGrid::Axis::MaxFirst() const {
  const int room = extent - FixedExtent();
  int used = 0;
  int result = count - 1;
  for (int i = count - 1; i >= fixed; --i) {
    used += (i == count - 1 ? size(i) : Step(i));
    if (used > room) break;
    result = i;
  }
  return std::max(result, fixed);
}

int TCustomGrid::Axis::FirstShowing(int i) const {
  if (i < first) return i;
  const int room = extent - FixedExtent();
  int used = size(i);
  int result = i;
  for (int j = i - 1; j >= first; --j) {
    used += Step(j);
    if (used > room) break;
    result = j;
  }
  return result;
}

TCustomGrid::Axis TCustomGrid::ColAxis() const {
  Axis a;
  a.count = colCount_;
  a.fixed = fixedCols_;
  a.first = topLeft_.X;
  a.fixedLine = options_.Contains(goFixedVertLine) ? gridLineWidth_ : 0;
  a.line = options_.Contains(goVertLine) ? gridLineWidth_ : 0;
  a.extent = ClientWidth();
  a.size = [this](int i) { return ColWidths(i); };
  return a;
}

TCustomGrid::Axis TCustomGrid::RowAxis() const {
  Axis a;
  a.count = rowCount_;
  a.fixed = fixedRows_;
  a.first = topLeft_.Y;
  a.fixedLine = options_.Contains(goFixedHorzLine) ? gridLineWidth_ : 0;
  a.line = options_.Contains(goHorzLine) ? gridLineWidth_ : 0;
  a.extent = ClientHeight();
  a.size = [this](int i) { return RowHeights(i); };
  return a;
}
