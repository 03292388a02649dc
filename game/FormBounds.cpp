#include "game/FormBounds.h"

#include "components/KvUtils.h"

void TFormBounds::Pin(int left, int top) {
  LeftMin = LeftMax = left;
  TopMin = TopMax = top;
}

void TFormBounds::Clamp(TWindowPos& pos) const {
  if (pos.flags & SWP_NOMOVE) return;
  pos.x = ClampToBounds(pos.x, LeftMin, LeftMax, -1);
  pos.y = ClampToBounds(pos.y, TopMin, TopMax, -1);
}

void TFormBounds::Filter(const TMessage& message) const {
  if (message.Msg != WM_WINDOWPOSCHANGING || message.LParam == 0) return;
  Clamp(*reinterpret_cast<TWindowPos*>(message.LParam));
}
