#pragma once
// Position limits of a window's top-left corner (screen pixels; -1: no
// limit). A form passes every proposed move (WM_WINDOWPOSCHANGING) through
// Clamp, so it cannot be dragged or moved past the limits.

#include "platform/controls/Messages.h"

struct TFormBounds {
  int LeftMin = -1;
  int LeftMax = -1;
  int TopMin = -1;
  int TopMax = -1;

  // Pins the corner at (left, top).
  void Pin(int left, int top);
  // Clamps the position of a move request; size-only requests pass.
  void Clamp(TWindowPos& pos) const;
  // Clamps the message's position when it is WM_WINDOWPOSCHANGING.
  void Filter(const TMessage& message) const;
};
