#include "installer/engine/routines_Components.h"

#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

namespace {

// True when name is held by a component other than component in its owner.
bool TakenByOther(const TComponent& component, const QString& name) {
  const TComponent* owner = component.Owner();
  if (owner == nullptr)
    return false;
  const TComponent* holder = owner->FindComponent(name);
  return holder != nullptr && holder != &component;
}

}  // namespace

void SetUniqueName(TComponent& component, const QString& base) {
  QString candidate = base;
  for (int n = 1;; ++n) {
    try {
      component.SetName(candidate);
      return;
    } catch (const EComponentError&) {
      if (!IsValidIdent(candidate) || !TakenByOther(component, candidate))
        throw;
    }
    candidate = base + QString::number(n);
  }
}
