#pragma once
// Pieces the grid's source files share.
//
// Axis: the layout of one direction of a grid (columns across, rows down): which
// index starts at which pixel. Fixed indices come first; after them the
// scrollable ones from First on. Each cell is followed by its line: the
// fixed-line width for fixed cells, the cell-line width for the others
// (0 when the line option is off).

#include "platform/controls/Grids.h"

struct TCustomGrid::Axis {
  int count = 0;
  int fixed = 0;
  int first = 0;      // LeftCol or TopRow
  int fixedLine = 0;
  int line = 0;
  int extent = 0;     // client width or height
  std::function<int(int)> size;

  int Line(int i) const { return i < fixed ? fixedLine : line; }
  int Step(int i) const { return size(i) + Line(i); }
  // Pixels taken by the fixed cells and their lines.
  int FixedExtent() const;
  // Start pixel of i; -1 when i is scrolled off, beyond extent or no index.
  int Pos(int i) const;
  // The index whose cell or following line holds pixel; -1 when none.
  int At(int pixel) const;
  // Scrollable indices from first that fit wholly (at least 1 when any).
  int VisibleCount() const;
  // The largest first that still fills the scrollable area.
  int MaxFirst() const;
  // The first that shows i wholly with as little scrolling as possible.
  int FirstShowing(int i) const;
};

// Virtual key codes the grid and its editor act on.
namespace grid_keys {
inline constexpr std::uint16_t kBack = 0x08;
inline constexpr std::uint16_t kTab = 0x09;
inline constexpr std::uint16_t kReturn = 0x0D;
inline constexpr std::uint16_t kEscape = 0x1B;
inline constexpr std::uint16_t kPrior = 0x21;
inline constexpr std::uint16_t kNext = 0x22;
inline constexpr std::uint16_t kEnd = 0x23;
inline constexpr std::uint16_t kHome = 0x24;
inline constexpr std::uint16_t kLeft = 0x25;
inline constexpr std::uint16_t kUp = 0x26;
inline constexpr std::uint16_t kRight = 0x27;
inline constexpr std::uint16_t kDown = 0x28;
inline constexpr std::uint16_t kInsert = 0x2D;
inline constexpr std::uint16_t kDelete = 0x2E;
inline constexpr std::uint16_t kF2 = 0x71;
}  // namespace grid_keys
