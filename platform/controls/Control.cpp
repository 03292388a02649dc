#include "platform/controls/Control.h"

#include "platform/controls/Application.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/Screen.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/UpdateScope.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>



TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
  WindowProc = TWndMethod([this](TMessage& m) { WndProc(m); });
}

TControl::~TControl() {
  if (MouseCapture()) SetMouseCapture(false);
  if (Application != nullptr) Application->ControlDestroying(this);
  DestroyWidget();
  if (parent_ != nullptr) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TControl* p = parent; p != nullptr; p = p->parent_) {
    if (p == this)
      throw EInvalidOperation(QStringLiteral("A control cannot have itself as its parent"));
  }
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) parent->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* wc = dynamic_cast<TWinControl*>(parent)) SetParent(wc);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (parent_ != nullptr) {
    if (parentColor_) ParentColorChanged();
    if (parentFont_) ParentFontChanged();
  }
}

// Geometry.

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  TWindowPos pos{left, top, width, height, 0};
  if (IsWindowed() && !WindowPosChanging(pos)) return;
  SetBoundsDirect(pos.x, pos.y, pos.cx, pos.cy);
}

bool TControl::WindowPosChanging(TWindowPos& pos) {
  pos.flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (pos.x == left_ && pos.y == top_) pos.flags |= SWP_NOMOVE;
  if (pos.cx == width_ && pos.cy == height_) pos.flags |= SWP_NOSIZE;
  Perform(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  if (pos.flags & SWP_NOMOVE) {
    pos.x = left_;
    pos.y = top_;
  }
  if (pos.flags & SWP_NOSIZE) {
    pos.cx = width_;
    pos.cy = height_;
  }
  pos.cx = std::max(pos.cx, 0);
  pos.cy = std::max(pos.cy, 0);
  return pos.x != left_ || pos.y != top_ || pos.cx != width_ || pos.cy != height_;
}

void TControl::SetBoundsDirect(int left, int top, int width, int height) {
  const bool moved = left != left_ || top != top_;
  const bool sized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  UpdateWidgetGeometry();
  if (IsWindowed()) {
    TWindowPos done{left, top, width, height, 0};
    Perform(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&done));
    if (moved) Perform(WM_MOVE, 0, MAKELPARAM(left, top));
    if (sized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(ClientWidth(), ClientHeight()));
  }
  if (align_ != alNone) RequestAlign();
  if (sized) {
    if (auto* wc = dynamic_cast<TWinControl*>(this)) wc->Realign();
    if (!ComponentState().Contains(csLoading)) Resize();
  }
}

void TControl::UpdateWidgetGeometry() {
  if (widget_ == nullptr) return;
  const TPoint offset = parent_ != nullptr ? parent_->ClientOffset() : TPoint{0, 0};
  widget_->setGeometry(left_ + offset.X, top_ + offset.Y, width_, height_);
}

TRect TControl::ClientRect() const { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int v) { SetWidth(v + width_ - ClientWidth()); }
void TControl::SetClientHeight(int v) { SetHeight(v + height_ - ClientHeight()); }

void TControl::SetAlign(TAlign v) {
  if (v == align_) return;
  align_ = v;
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_ != nullptr) parent_->Realign();
}

TPoint TControl::ClientOrigin() const {
  if (widget_ != nullptr) {
    const TPoint offset = ClientOffset();
    const QPoint p = widget_->mapToGlobal(QPoint(offset.X, offset.Y));
    return {p.x(), p.y()};
  }
  if (parent_ == nullptr) return {left_, top_};
  const TPoint o = parent_->ClientOrigin();
  return {o.X + left_, o.Y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
  const TPoint o = ClientOrigin();
  return {p.X - o.X, p.Y - o.Y};
}

// Appearance.

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  VisibleChanging();
  visible_ = v;
  Perform(CM_VISIBLECHANGED, v ? 1 : 0, 0);
  if (align_ != alNone) RequestAlign();
}

void TControl::UpdateWidgetVisibility() {
  if (widget_ != nullptr) widget_->setVisible(visible_);
}

bool TControl::Showing() const {
  if (!visible_) return false;
  if (parent_ != nullptr) return parent_->Showing();
  return widget_ != nullptr && widget_->isVisible();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor v) {
  parentColor_ = false;
  if (v == color_) return;
  color_ = v;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool v) {
  parentColor_ = v;
  if (v) ParentColorChanged();
}

void TControl::ParentColorChanged() {
  if (!parentColor_ || parent_ == nullptr || parent_->Color() == color_) return;
  color_ = parent_->Color();
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentFont(bool v) {
  parentFont_ = v;
  if (v) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || parent_ == nullptr) return;
  TUpdateScope updating(updatingFont_);
  font_->Assign(parent_->Font());
}

void TControl::FontChanged() {
  if (!updatingFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetShowHint(bool v) {
  parentShowHint_ = false;
  showHint_ = v;
}

void TControl::SetParentShowHint(bool v) { parentShowHint_ = v; }

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_ != nullptr) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetCursor(TCursor v) {
  if (v == cursor_) return;
  cursor_ = v;
  ApplyCursor();
  Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::ApplyCursor() {
  if (widget_ == nullptr) return;
  if (cursor_ == crDefault)
    widget_->unsetCursor();
  else
    widget_->setCursor(QCursor(CursorShapeOf(cursor_)));
}

void TControl::SetText(const QString& v) {
  if (v == text_) return;
  text_ = v;
  Perform(CM_TEXTCHANGED, 0, 0);
}

// Painting.

void TControl::Invalidate() {
  if (widget_ != nullptr) widget_->update();
}

void TControl::Repaint() {
  if (widget_ != nullptr && widget_->isVisible()) widget_->repaint();
}

void TControl::Update() {
  if (widget_ != nullptr)
    QCoreApplication::sendPostedEvents(widget_->window(), QEvent::UpdateRequest);
}

QImage TControl::PaintToImage() {
  if (widget_ == nullptr) {
    if (auto* wc = dynamic_cast<TWinControl*>(this))
      wc->HandleNeeded();
    else if (parent_ != nullptr)
      parent_->HandleNeeded();
  }
  if (widget_ == nullptr) return {};
  // The client area only (a form's menu bar stays out of the picture).
  const TPoint offset = ClientOffset();
  const QRect area = offset.X == 0 && offset.Y == 0
                         ? QRect(QPoint(0, 0), QSize(-1, -1))
                         : QRect(offset.X, offset.Y, ClientWidth(), ClientHeight());
  return widget_->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

void TControl::BringToFront() {
  if (parent_ != nullptr) {
    parent_->controls_.removeOne(this);
    parent_->controls_.append(this);
  }
  if (widget_ != nullptr) widget_->raise();
}

void TControl::SendToBack() {
  if (parent_ != nullptr) {
    parent_->controls_.removeOne(this);
    parent_->controls_.prepend(this);
  }
  if (widget_ != nullptr) widget_->lower();
}

TCanvas* TControl::ControlCanvas() {
  if (!canvas_) {
    // Outside a paint the canvas draws on a scratch pixel, so measuring text
    // works at any time; only a paint message draws on the screen.
    scratch_ = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
    canvas_ = std::make_unique<TCanvas>();
    canvas_->SetDevice(scratch_.get());
  }
  return canvas_.get();
}

void TControl::PaintFromQt(QPainter& painter) {
  TCanvas* canvas = ControlCanvas();
  canvas->SetPainter(&painter);
  struct Unbind {
    TCanvas* c;
    ~Unbind() { c->SetPainter(nullptr); }
  } unbind{canvas};
  const TPoint offset = ClientOffset();
  if (offset.X != 0 || offset.Y != 0) painter.translate(offset.X, offset.Y);
  if (IsWindowed()) Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas), 0);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas), 0);
}

void TControl::EraseBackground(TCanvas* canvas) {
  if (canvas == nullptr || !canvas->HandleAllocated()) return;
  const TRect r = ClientRect();
  canvas->Handle()->fillRect(QRect(0, 0, r.Width(), r.Height()), ColorToQColor(color_));
}

// Messages.

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  // A copy keeps the procedure alive should the message free the control.
  const TWndMethod proc = WindowProc;
  if (proc)
    proc(m);
  else
    WndProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      MouseMessage(m);
      return;
    case CM_MOUSELEAVE:
      if (Application != nullptr && m.LParam == reinterpret_cast<LPARAM>(this))
        Application->HintMouseLeave(this);
      break;
    default:
      break;
  }
  DefaultHandler(m);
}

void TControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      Paint();
      break;
    case CM_VISIBLECHANGED:
      UpdateWidgetVisibility();
      break;
    case CM_ENABLEDCHANGED:
      if (widget_ != nullptr) widget_->setEnabled(enabled_);
      Invalidate();
      break;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    case CM_PARENTCOLORCHANGED:
      ParentColorChanged();
      break;
    case CM_PARENTFONTCHANGED:
      ParentFontChanged();
      break;
    default:
      break;
  }
}

// Widget.

QWidget* TControl::Widget() const { return widget_; }

TWinControl* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return const_cast<TWinControl*>(dynamic_cast<const TWinControl*>(c));
}

void TControl::CreateWidget(QWidget* parent) {
  if (parent == nullptr) return;  // a graphic control only shows inside a parent
  auto* w = new TBridgeWidget(this, parent);
  w->setAutoFillBackground(false);
  AttachWidget(w);
}

void TControl::AttachWidget(TBridgeWidget* widget) {
  widget_ = widget;
  UpdateWidgetGeometry();
  widget_->setEnabled(enabled_);
  ApplyCursor();
  if (widget_->parentWidget() != nullptr) widget_->setVisible(visible_);
}

void TControl::DestroyWidget() {
  if (widget_ == nullptr) return;
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    for (TControl* child : wc->controls_) child->DestroyWidget();
    controlState_.Include(csDestroyingHandle);
    Perform(WM_DESTROY, 0, 0);
    controlState_.Exclude(csDestroyingHandle);
  }
  if (MouseCapture()) SetMouseCapture(false);
  TBridgeWidget* w = widget_;
  widget_ = nullptr;
  w->Detach();
  if (w->InEvent()) {
    w->hide();
    w->setParent(nullptr);
    w->deleteLater();
  } else {
    delete w;
  }
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
