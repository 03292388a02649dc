#include "platform/graphics/GraphicsObject.h"

void TGraphicsObject::Changed() {
  if (OnChange)
    OnChange(this);
}
