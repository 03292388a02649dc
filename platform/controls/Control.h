#pragma once
// TControl: the base of everything that shows on a form, and TGraphicControl,
// a control without a window of its own that draws on its parent.
//
// A control is a component, not a QWidget: Owner (who frees it) and Parent
// (the windowed control it shows in) are separate. Every control that is
// shown gets a bridge widget (QtBridge.h): a windowed control's widget is its
// handle; a graphic control's is a child widget without a background of its
// own, so it paints over its parent.
//
// Messages: Perform sends a TMessage through WindowProc, a replaceable
// procedure (TWndMethod) that starts out as the control's own WndProc. Qt
// events are translated into messages and pass WindowProc before anything
// acts on them. Geometry: Left/Top/Width/Height are in the parent's client
// coordinates (the screen's for a form, then of the outer frame).

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/classes/Set.h"
#include "platform/controls/Messages.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;
class TWinControl;
class TBridgeWidget;
class TPopupMenu;
struct THintInfo;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TControlStyleItem {
  csAcceptsControls,
  csCaptureMouse,
  csDesignInteractive,
  csClickEvents,
  csFramed,
  csSetCaption,
  csOpaque,
  csDoubleClicks,
  csFixedWidth,
  csFixedHeight,
  csNoDesignVisible,
  csReplicatable,
  csNoStdEvents
};
using TControlStyle = TSet<TControlStyleItem>;

enum TControlStateItem { csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded,
                         csFocusing, csCreating, csPaintCopy, csCustomPaint, csDestroyingHandle };
using TControlState = TSet<TControlStateItem>;

using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;
inline constexpr TCursor crSize = -22;

extern const TEnumInfo kAlignIdents;
extern const TEnumInfo kCursorIdents;
extern const TEnumInfo kColorIdents;

using TMouseEvent =
    std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;
// key: a Windows-1252 character.
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // Parent and geometry.
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // Moves and sizes; a windowed control first asks WM_WINDOWPOSCHANGING
  // (whose hooks may change the values) and reports WM_WINDOWPOSCHANGED,
  // WM_MOVE and WM_SIZE afterwards.
  virtual void SetBounds(int left, int top, int width, int height);
  virtual TRect ClientRect() const;
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int v);
  virtual void SetClientHeight(int v);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign v);
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  // The client origin on the screen.
  virtual TPoint ClientOrigin() const;
  // Where the client area starts inside the control's own widget (below a
  // form's menu bar); children, painting and mouse positions are offset by it.
  virtual TPoint ClientOffset() const { return {0, 0}; }

  // Appearance.
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a form shown.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool v);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* v) { font_->Assign(v); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool v);
  QString Hint() const { return hint_; }
  void SetHint(const QString& v) { hint_ = v; }
  // With ParentShowHint, the parent's value.
  bool ShowHint() const;
  void SetShowHint(bool v);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool v);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  QString Caption() const { return text_; }
  void SetCaption(const QString& v) { SetText(v); }
  QString Text() const { return text_; }
  virtual void SetText(const QString& v);
  // The menu a right click shows (SetControlPopupMenu); cleared when the
  // menu is freed.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* v);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle v) { controlStyle_ = v; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState v) { controlState_ = v; }

  // Painting.
  void Invalidate();
  virtual void Repaint();
  virtual void Update();
  void Refresh() { Repaint(); }
  // Renders the control's client area and its children into an image
  // (creating its widget when needed).
  QImage PaintToImage();
  void BringToFront();
  void SendToBack();

  // Messages.
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wParam, LPARAM lParam);
  // Handles a message (the procedure WindowProc starts as).
  virtual void WndProc(TMessage& message);
  // What happens to a message nothing else handled.
  virtual void DefaultHandler(TMessage& message);

  // Mouse.
  bool MouseCapture() const;
  void SetMouseCapture(bool v);
  // The control that holds the mouse capture; nullptr when none.
  static TControl* CaptureControl();

  // Expires when the control is destroyed (for queued deliveries).
  std::weak_ptr<TControl*> WeakSelf() const { return self_; }

  // The bridge widget; nullptr while none exists.
  QWidget* Widget() const;
  bool HasWidget() const { return widget_ != nullptr; }
  // The top-level form this control is on (itself for a form); nullptr when none.
  TWinControl* ParentForm() const;

  // Streaming.
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnResize;

  static void DeclareProperties(TClassBuilder<TControl, TComponent>& b);

 protected:
  friend class TWinControl;
  friend class TBridgeWidget;
  friend void SetControlPopupMenu(TControl* control, TPopupMenu* menu);

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Resize();
  // Paints the control on its canvas (graphic and custom controls).
  virtual void Paint() {}
  virtual void VisibleChanging() {}
  // A windowed control takes part in WM_WINDOWPOSCHANGING.
  virtual bool IsWindowed() const { return false; }
  // Runs WM_WINDOWPOSCHANGING; false when nothing is left to change.
  bool WindowPosChanging(TWindowPos& pos);
  // Puts the widget where the control is.
  virtual void UpdateWidgetGeometry();
  // Makes the bridge widget inside parent (nullptr: a top-level window).
  virtual void CreateWidget(QWidget* parent);
  void DestroyWidget();
  void AttachWidget(TBridgeWidget* widget);
  // The canvas a paint message draws on; made on first use.
  TCanvas* ControlCanvas();
  // Runs WM_ERASEBKGND (windowed controls) and WM_PAINT on painter.
  virtual void PaintFromQt(QPainter& painter);
  // The background fill of WM_ERASEBKGND.
  void EraseBackground(TCanvas* canvas);
  // Qt moved or resized a top-level widget (a user's drag).
  virtual void WidgetGeometryChanged() {}
  void ParentColorChanged();
  void ParentFontChanged();
  void RequestAlign();
  void SetBoundsDirect(int left, int top, int width, int height);
  virtual void UpdateWidgetVisibility();

 private:
  void FontChanged();
  bool ShowHintStored() const { return !parentShowHint_; }
  bool ColorStored() const { return !parentColor_; }
  bool FontStored() const { return !parentFont_; }
  void MouseMessage(TMessage& message);
  void ApplyCursor();

  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool updatingFont_ = false;
  QString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TCursor cursor_ = crDefault;
  QString text_;
  TPopupMenu* popupMenu_ = nullptr;
  TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState controlState_;
  TBridgeWidget* widget_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<QImage> scratch_;
  std::shared_ptr<TControl*> self_ = std::make_shared<TControl*>(this);
};

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  TCanvas* Canvas() { return ControlCanvas(); }
};

// The mouse cursor's position on the screen.
TPoint GetCursorPos();
// The control shown under a screen point (nullptr over no window of ours). A
// disabled graphic control gives way to its parent unless allowDisabled.
TControl* FindDragTarget(TPoint pos, bool allowDisabled);
