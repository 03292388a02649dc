#include "installer/wizard/ordlg_Common.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterWizardForms() { Q_INIT_RESOURCE(wizard); }

void InitWizardFormResources() {
  static const bool done = (RegisterWizardForms(), true);
  (void)done;
}
