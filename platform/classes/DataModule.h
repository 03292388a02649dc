#pragma once
// TDataModule: a root for non-visual components that is not a window (a
// form file of components only, such as an installation script).

#include "platform/classes/Component.h"

class TDataModule : public TComponent {
 public:
  explicit TDataModule(TComponent* owner) : TComponent(owner) {}
};
