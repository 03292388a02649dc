#include "platform/controls/HintWindow.h"

#include "platform/controls/QtBridge.h"
#include "platform/graphics/DrawText.h"

#include <QWidget>

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetVisible(false);
  SetColor(clInfoBk);
  Font()->SetColor(clInfoText);
}

Qt::WindowFlags THintWindow::TopLevelFlags() const {
  // Without a window system a tooltip window cannot be raised; a plain
  // frameless window stands in for it.
  if (!WindowSystemPresent()) return Qt::Window | Qt::FramelessWindowHint;
  return Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;
}

void THintWindow::CreateWnd() {
  Widget()->setAttribute(Qt::WA_ShowWithoutActivating);
  Widget()->setAttribute(Qt::WA_TransparentForMouseEvents);
}

TRect THintWindow::CalcHintRect(int maxWidth, const QString& hint) {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TRect r = Rect(0, 0, maxWidth, 0);
  DrawText(canvas, hint, r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  r.Right += 6;
  r.Bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const TRect& rect, const QString& hint) {
  SetCaption(hint);
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  Handle();
  SetVisible(true);
  Invalidate();
}

void THintWindow::ReleaseHandle() { SetVisible(false); }

void THintWindow::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  canvas->Brush()->SetColor(clBlack);
  canvas->FrameRect(r);
  InflateRect(r, -1, -1);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  r.Left += 2;
  DrawText(canvas, Caption(), r, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
