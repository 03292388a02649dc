#pragma once
// THintWindow: the small top-level window the application shows hints in.
// It never takes the focus or the mouse; it shows at exactly the screen
// rectangle it is given.

#include "platform/controls/WinControl.h"

class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* owner);

  // The size the text needs (top-left at 0, 0), lines wrapped at maxWidth.
  TRect CalcHintRect(int maxWidth, const QString& hint);
  // Shows the hint at rect (screen coordinates).
  void ActivateHint(const TRect& rect, const QString& hint);
  void ReleaseHandle();

 protected:
  Qt::WindowFlags TopLevelFlags() const override;
  void CreateWnd() override;
  void Paint() override;
};
