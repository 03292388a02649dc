#include "game/FormBounds.h"

int ClampToLimits(int v, int lo, int hi) {
  if (lo != -1 && v < lo) return lo;
  if (hi != -1 && v > hi) return hi;
  return v;
}

void TFormBounds::Pin(int left, int top) {
  LeftMin = LeftMax = left;
  TopMin = TopMax = top;
}

void TFormBounds::Clamp(TWindowPos& pos) const {
  if (pos.flags & SWP_NOMOVE) return;
  pos.x = ClampToLimits(pos.x, LeftMin, LeftMax);
  pos.y = ClampToLimits(pos.y, TopMin, TopMax);
}

void TFormBounds::Filter(const TMessage& message) const {
  if (message.Msg != WM_WINDOWPOSCHANGING || message.LParam == 0) return;
  Clamp(*reinterpret_cast<TWindowPos*>(message.LParam));
}
