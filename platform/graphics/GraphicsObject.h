#pragma once
// TGraphicsObject: the base of fonts, pens and brushes. A setter that changes
// a value calls Changed, which fires OnChange (the owning canvas or control
// listens there).

#include "platform/classes/Persistent.h"

class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
};
