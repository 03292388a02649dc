// Navigation: one step in one of eight directions, the rule for what lies
// past the last cell, the search for the next editable cell and Tab.
//
// A direction names its first move and the move on wrapping: nc_rightdown
// goes right and, past the last column, to the first column of the next
// row. Past the last row (or column) the rule decides: lc_stop gives
// (-1, -1), lc_first the first cell of the direction, lc_newcolrow a new row
// or column and its first cell.
#include "components/Aligrid.h"

namespace {

// Pairs of opposite directions.
constexpr T_nextcell kOpposite[] = {nc_leftup,   nc_upleft,   nc_rightup,   nc_upright,
                                    nc_rightdown, nc_downright, nc_leftdown, nc_downleft};

}  // namespace

T_nextcell OppositeDirection(T_nextcell direction) { return kOpposite[direction]; }

bool TStringAlignGrid::PastEnd(T_nextcell direction, int col, int row) const {
  switch (direction) {
    case nc_rightdown:
    case nc_leftdown: return row >= RowCount();
    case nc_downright:
    case nc_upright: return col >= ColCount();
    case nc_downleft:
    case nc_upleft: return col < FixedCols();
    default: return row < FixedRows();  // nc_leftup, nc_rightup
  }
}

void TStringAlignGrid::AfterLast(T_nextcell direction, t_lastcell rule, int& col, int& row) {
  col = row = -1;
  if (rule == lc_stop) return;
  if (rule == lc_newcolrow) {
    switch (direction) {
      case nc_rightdown:
      case nc_leftdown: InsertRow(RowCount()); break;
      case nc_leftup:
      case nc_rightup: InsertRow(FixedRows()); break;
      case nc_downright:
      case nc_upright: InsertColumn(ColCount()); break;
      default: InsertColumn(FixedCols()); break;  // nc_downleft, nc_upleft
    }
  }
  // With the counts after any insertion, the new position is the first cell
  // of the direction, in the new row or column when one was added.
  const int C = ColCount(), R = RowCount(), FC = FixedCols(), FR = FixedRows();
  const bool added = rule == lc_newcolrow;
  switch (direction) {
    case nc_rightdown: col = FC; row = added ? R - 1 : FR; break;
    case nc_downright: col = added ? C - 1 : FC; row = FR; break;
    case nc_leftdown: col = C - 1; row = added ? R - 1 : FR; break;
    case nc_downleft: col = added ? FC : C - 1; row = FR; break;
    case nc_leftup: col = C - 1; row = added ? FR : R - 1; break;
    case nc_upleft: col = added ? FC : C - 1; row = R - 1; break;
    case nc_rightup: col = FC; row = added ? FR : R - 1; break;
    case nc_upright: col = added ? C - 1 : FC; row = R - 1; break;
  }
}

void TStringAlignGrid::NextCell(T_nextcell direction, t_lastcell rule, int& col, int& row) {
  const int C = ColCount(), R = RowCount(), FC = FixedCols(), FR = FixedRows();
  switch (direction) {
    case nc_rightdown: if (++col >= C) { col = FC; ++row; } break;
    case nc_downright: if (++row >= R) { row = FR; ++col; } break;
    case nc_leftdown: if (--col < FC) { col = C - 1; ++row; } break;
    case nc_downleft: if (++row >= R) { row = FR; --col; } break;
    case nc_leftup: if (--col < FC) { col = C - 1; --row; } break;
    case nc_upleft: if (--row < FR) { row = R - 1; --col; } break;
    case nc_rightup: if (++col >= C) { col = FC; --row; } break;
    case nc_upright: if (--row < FR) { row = R - 1; ++col; } break;
  }
  if (PastEnd(direction, col, row)) AfterLast(direction, rule, col, row);
}

// Steps from (col, row) until found(c, r), back at the start or (-1, -1).
// With lc_newcolrow a search that passes the end a second time after adding
// a row or column without a hit stops at (-1, -1) instead of adding rows for
// ever; a step limit ends any other cycle that misses the start.
template <class Found>
static void Search(TStringAlignGrid& g, T_nextcell direction, t_lastcell rule, int& col, int& row,
                   Found found) {
  const int c0 = col, r0 = row;
  bool added = false;
  long long steps = 0;
  for (;;) {
    const int before = g.ColCount() + g.RowCount();
    const bool lastPass = added && rule == lc_newcolrow;
    g.NextCell(direction, lastPass ? lc_stop : rule, col, row);
    if (g.ColCount() + g.RowCount() != before) added = true;
    if (col == -1 && row == -1) return;
    if ((col == c0 && row == r0) || found(col, row)) return;
    const long long limit = (static_cast<long long>(g.ColCount()) + 2) * (g.RowCount() + 2);
    if (++steps > limit) {
      col = row = -1;
      return;
    }
  }
}

void TStringAlignGrid::NextEditableCell(int& col, int& row) {
  Search(*this, nextCellEdit_, afterLastCellEdit_, col, row,
         [this](int c, int r) { return GetCellEditable(c, r); });
}

void TStringAlignGrid::TabMoveCell(bool backward) {
  const T_nextcell direction = backward ? OppositeDirection(nextCellTab_) : nextCellTab_;
  int col = Col(), row = Row();
  Search(*this, direction, afterLastCellTab_, col, row, [this](int c, int) { return TabStops(c); });
  if (col == -1 && row == -1) return;  // the start cell stays
  FocusCell(col, row, true);
}
