// DefaultStorageSection of the AppUtils unit. Kept apart from the storage
// routines: the control headers and the registry headers both declare the
// Win32 error constants.
#include "components/AppUtils.h"

#include "platform/controls/Control.h"
#include "platform/controls/Form.h"
#include "platform/controls/WinControl.h"

namespace {

// The form a control sits on: the last parent of its chain, when a form.
const TForm* ParentFormOf(const TControl& control) {
  const TControl* top = &control;
  while (top->Parent() != nullptr)
    top = top->Parent();
  return top == &control ? nullptr : dynamic_cast<const TForm*>(top);
}

}  // namespace

QString DefaultStorageSection(const TComponent* component) {
  if (component == nullptr)
    return QString();
  if (dynamic_cast<const TForm*>(component) != nullptr)
    return component->ClassName();
  if (const auto* control = dynamic_cast<const TControl*>(component)) {
    if (const TForm* form = ParentFormOf(*control))
      return form->ClassName() + control->Name();
    if (control->Parent() != nullptr)
      return control->Parent()->Name() + control->Name();
    return control->Name();
  }
  if (dynamic_cast<const TForm*>(component->Owner()) != nullptr)
    return component->Owner()->ClassName() + QLatin1Char('.') + component->Name();
  return component->Name();
}
