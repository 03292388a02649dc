// The grid's scroll bars: Qt scroll bars on the grid's widget, shown by
// ScrollBars when not every scrollable column (row) fits. Their range is
// FixedCols..the last full-page LeftCol (rows alike); dragging the thumb
// scrolls at once with goThumbTracking, else on release.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"
#include "platform/controls/Guard.h"
#include "platform/rtl/UpdateScope.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>

namespace {

int BarExtent() { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

}  // namespace

TRect TCustomGrid::ClientRect() const {
  TRect r = TCustomControl::ClientRect();
  if (vShown_ && vBar_ != nullptr) r.Right = std::max(r.Left, r.Right - BarExtent());
  if (hShown_ && hBar_ != nullptr) r.Bottom = std::max(r.Top, r.Bottom - BarExtent());
  return r;
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  hShown_ = vShown_ = false;
  UpdateScrollBars();
  // An editor that always shows appears with the window.
  if (editorMode_) UpdateEdit();
}

QScrollBar* TCustomGrid::MakeScrollBar(Qt::Orientation orientation) {
  auto* bar = new QScrollBar(orientation, Widget());  // owned by the grid's widget
  bar->setFocusPolicy(Qt::NoFocus);
  GuardedConnect(this, bar, &QScrollBar::valueChanged, bar,
                 [this, orientation](int) { ScrollBarMoved(orientation, false); });
  GuardedConnect(this, bar, &QScrollBar::sliderReleased, bar,
                 [this, orientation] { ScrollBarMoved(orientation, true); });
  return bar;
}

// A bar shows only while its columns (rows) do not all fit; showing one
// narrows the room of the other, so the decision runs twice.
void TCustomGrid::UpdateScrollBars() {
  if (!HasWidget() || updatingBars_ || destroying_) return;
  TUpdateScope scope(updatingBars_);
  const bool wantH = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  const bool wantV = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  if (wantH && hBar_ == nullptr) hBar_ = MakeScrollBar(Qt::Horizontal);
  if (wantV && vBar_ == nullptr) vBar_ = MakeScrollBar(Qt::Vertical);
  hShown_ = vShown_ = false;
  for (int pass = 0; pass < 2; ++pass) {
    vShown_ = wantV && RowAxis().MaxFirst() > fixedRows_;
    hShown_ = wantH && ColAxis().MaxFirst() > fixedCols_;
  }
  const int ext = BarExtent();
  if (vBar_ != nullptr) {
    vBar_->setGeometry(Width() - ext, 0, ext, Height() - (hShown_ ? ext : 0));
    vBar_->setRange(fixedRows_, std::max(fixedRows_, RowAxis().MaxFirst()));
    vBar_->setPageStep(std::max(1, VisibleRowCount()));
    vBar_->setValue(topLeft_.Y);
    vBar_->setVisible(vShown_);
  }
  if (hBar_ != nullptr) {
    hBar_->setGeometry(0, Height() - ext, Width() - (vShown_ ? ext : 0), ext);
    hBar_->setRange(fixedCols_, std::max(fixedCols_, ColAxis().MaxFirst()));
    hBar_->setPageStep(std::max(1, VisibleColCount()));
    hBar_->setValue(topLeft_.X);
    hBar_->setVisible(hShown_);
  }
}

void TCustomGrid::ScrollBarMoved(Qt::Orientation orientation, bool released) {
  if (updatingBars_) return;
  QScrollBar* bar = orientation == Qt::Vertical ? vBar_.data() : hBar_.data();
  if (bar == nullptr) return;
  if (!released && bar->isSliderDown() && !options_.Contains(goThumbTracking)) return;
  if (orientation == Qt::Vertical)
    SetTopRow(bar->value());
  else
    SetLeftCol(bar->value());
}
