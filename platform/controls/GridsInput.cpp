// The grid's keyboard and mouse: navigation, the editor keys, selecting,
// and sizing and moving columns and rows with the mouse.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"

#include <QApplication>

#include <algorithm>
#include <cstdlib>

using namespace grid_keys;

namespace {

// How near (pixels) to a line a press starts sizing.
constexpr int kSizingSlack = 2;

// The index whose following line is at pixel (within the slack); -1 if none.
int LineAt(const TCustomGrid::Axis& a, int pixel) {
  auto check = [&](int i) {
    const int edge = a.Pos(i) + a.size(i);
    return std::abs(pixel - (edge + a.Line(i) / 2)) <= kSizingSlack;
  };
  for (int i = 0; i < a.fixed && i < a.count; ++i)
    if (a.Pos(i) >= 0 && check(i)) return i;
  for (int i = std::max(a.first, a.fixed); i < a.count && a.Pos(i) >= 0; ++i)
    if (check(i)) return i;
  return -1;
}

}  // namespace

// Messages.

void TCustomGrid::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_CHAR: {
      // A character typed into the grid opens the editor and goes into it.
      const auto ch = static_cast<unsigned char>(m.WParam & 0xFF);
      if (options_.Contains(goEditing) && (ch == 8 || ch >= 32)) {
        ShowEditorChar(static_cast<char>(ch));
        return;
      }
      break;
    }
    case CM_WANTSPECIALKEY:
      m.Result = options_.Contains(goEditing) && m.WParam == kReturn;
      return;
    case WM_SETFOCUS:
      FocusChanged(true, nullptr);
      TControl::WndProc(m);
      return;
    case WM_KILLFOCUS:
      FocusChanged(false, QApplication::focusWidget());
      TControl::WndProc(m);
      return;
    case WM_CANCELMODE:
    case CM_CANCELMODE:
      gridState_ = gsNormal;
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

// Keyboard.

void TCustomGrid::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  switch (key) {
    case kTab:
      if (!options_.Contains(goTabs) || shift.Contains(ssAlt) || shift.Contains(ssCtrl)) return;
      TabMove(shift.Contains(ssShift));
      key = 0;
      return;
    case kF2:
      SetEditorMode(true);
      return;
    case kUp:
    case kDown:
    case kLeft:
    case kRight:
    case kPrior:
    case kNext:
    case kHome:
    case kEnd:
      MoveByKey(key, shift);
      return;
    default:
      return;
  }
}

// Ctrl with an arrow scrolls without moving the current cell; with goRowSelect
// left and right scroll too. Shift with goRangeSelect extends the selection.
void TCustomGrid::MoveByKey(std::uint16_t key, TShiftState shift) {
  const bool ctrl = shift.Contains(ssCtrl);
  const bool rowSelect = options_.Contains(goRowSelect);
  const bool scrollOnly = (ctrl && (key == kUp || key == kDown || key == kLeft || key == kRight)) ||
                          (rowSelect && (key == kLeft || key == kRight));
  if (scrollOnly) {
    ScrollByKey(key);
    return;
  }
  TGridCoord c = current_;
  const int page = std::max(1, VisibleRowCount());
  switch (key) {
    case kUp: --c.Y; break;
    case kDown: ++c.Y; break;
    case kLeft: --c.X; break;
    case kRight: ++c.X; break;
    case kPrior:
      if (ctrl) {
        c.Y = topLeft_.Y;
      } else {
        c.Y -= page;
        SetTopRow(topLeft_.Y - page);
      }
      break;
    case kNext:
      if (ctrl) {
        c.Y = topLeft_.Y + page - 1;
      } else {
        c.Y += page;
        SetTopRow(topLeft_.Y + page);
      }
      break;
    case kHome:
      if (ctrl) {
        c = {fixedCols_, fixedRows_};
      } else if (rowSelect) {
        c.Y = fixedRows_;
      } else {
        c.X = fixedCols_;
      }
      break;
    case kEnd:
      if (ctrl) {
        c = {colCount_ - 1, rowCount_ - 1};
      } else if (rowSelect) {
        c.Y = rowCount_ - 1;
      } else {
        c.X = colCount_ - 1;
      }
      break;
    default: return;
  }
  c.X = std::clamp(c.X, fixedCols_, colCount_ - 1);
  c.Y = std::clamp(c.Y, fixedRows_, rowCount_ - 1);
  if (c == current_) return;
  const bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
  FocusCell(c.X, c.Y, !extend);
}

void TCustomGrid::ScrollByKey(std::uint16_t key) {
  switch (key) {
    case kUp: SetTopRow(topLeft_.Y - 1); break;
    case kDown: SetTopRow(topLeft_.Y + 1); break;
    case kLeft: SetLeftCol(topLeft_.X - 1); break;
    case kRight: SetLeftCol(topLeft_.X + 1); break;
    default: break;
  }
}

// The next (or previous) column with its tab stop on, wrapping to the next
// (previous) row and from the last cell to the first.
bool TCustomGrid::TabMove(bool backward) {
  TGridCoord c = current_;
  for (int steps = 0; steps < colCount_; ++steps) {
    if (backward) {
      if (--c.X < fixedCols_) {
        c.X = colCount_ - 1;
        if (--c.Y < fixedRows_) c.Y = rowCount_ - 1;
      }
    } else if (++c.X >= colCount_) {
      c.X = fixedCols_;
      if (++c.Y >= rowCount_) c.Y = fixedRows_;
    }
    if (TabStops(c.X) || c.X == current_.X) break;
  }
  if (c == current_) return false;
  FocusCell(c.X, c.Y, true);
  return true;
}

// Enter opens or closes the editor (unless it always shows).
void TCustomGrid::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (key != 13 || options_.Contains(goAlwaysShowEditor)) return;
  if (editorMode_)
    HideEditor();
  else
    ShowEditor();
  key = 0;
}

// Mouse.

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!ComponentState().Contains(csDesigning) && CanFocus() && !IsActiveControl()) SetFocus();
  if (button == mbLeft && !StartSizingOrMoving(x, y)) {
    const TGridCoord hit = MouseCoord(x, y);
    if (hit.X >= fixedCols_ && hit.Y >= fixedRows_) {
      if (options_.Contains(goEditing) && hit == current_) {
        ShowEditor();
      } else {
        const bool extend = shift.Contains(ssShift) && options_.Contains(goRangeSelect);
        MoveCurrent(hit.X, hit.Y, !extend, true);
        UpdateEdit();
      }
      gridState_ = gsSelecting;
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
  if (gridState_ == gsSelecting) {
    const TGridCoord hit = MouseCoord(x, y);
    if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && !(hit == current_))
      MoveCurrent(hit.X, hit.Y, false, false);
  } else if (gridState_ != gsNormal) {
    TrackSizingOrMoving(x, y);
  }
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (gridState_ == gsSelecting) {
      const TGridCoord hit = MouseCoord(x, y);
      if (hit.X >= fixedCols_ && hit.Y >= fixedRows_ && !(hit == current_))
        MoveCurrent(hit.X, hit.Y, false, false);
      UpdateEdit();
    } else if (gridState_ != gsNormal) {
      EndSizingOrMoving(x, y);
    }
    gridState_ = gsNormal;
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

// A press on a line in the fixed area sizes (goColSizing, goRowSizing); a
// press on a fixed cell drags its column or row (goColMoving, goRowMoving).
bool TCustomGrid::StartSizingOrMoving(int x, int y) {
  const Axis cols = ColAxis();
  const Axis rows = RowAxis();
  if (options_.Contains(goColSizing) && y < rows.FixedExtent()) {
    const int i = LineAt(cols, x);
    if (i >= 0) {
      gridState_ = gsColSizing;
      sizingIndex_ = i;
      sizingStart_ = cols.Pos(i);
      return true;
    }
  }
  if (options_.Contains(goRowSizing) && x < cols.FixedExtent()) {
    const int i = LineAt(rows, y);
    if (i >= 0) {
      gridState_ = gsRowSizing;
      sizingIndex_ = i;
      sizingStart_ = rows.Pos(i);
      return true;
    }
  }
  const TGridCoord hit = MouseCoord(x, y);
  if (hit.X < 0) return false;
  if (options_.Contains(goColMoving) && hit.Y < fixedRows_ && hit.X >= fixedCols_) {
    gridState_ = gsColMoving;
    sizingIndex_ = moveTo_ = hit.X;
    return true;
  }
  if (options_.Contains(goRowMoving) && hit.X < fixedCols_ && hit.Y >= fixedRows_) {
    gridState_ = gsRowMoving;
    sizingIndex_ = moveTo_ = hit.Y;
    return true;
  }
  return false;
}

void TCustomGrid::TrackSizingOrMoving(int x, int y) {
  switch (gridState_) {
    case gsColSizing:
      SetColWidths(sizingIndex_, std::max(0, x - sizingStart_));
      break;
    case gsRowSizing:
      SetRowHeights(sizingIndex_, std::max(0, y - sizingStart_));
      break;
    case gsColMoving: {
      const int c = ColAxis().At(x);
      if (c >= fixedCols_) moveTo_ = c;
      break;
    }
    case gsRowMoving: {
      const int r = RowAxis().At(y);
      if (r >= fixedRows_) moveTo_ = r;
      break;
    }
    default:
      break;
  }
}

void TCustomGrid::EndSizingOrMoving(int x, int y) {
  TrackSizingOrMoving(x, y);
  if (gridState_ == gsColMoving && moveTo_ != sizingIndex_) MoveColumn(sizingIndex_, moveTo_);
  if (gridState_ == gsRowMoving && moveTo_ != sizingIndex_) MoveRow(sizingIndex_, moveTo_);
  sizingIndex_ = moveTo_ = -1;
}
