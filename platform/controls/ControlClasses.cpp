// Every control, menu and dialog class of this library, for form files.
#include "platform/controls/Animate.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/CommonDialog.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grids.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Panel.h"
#include "platform/controls/Progress.h"

void RegisterControlClasses() {
  RegisterFormClasses();
  RegisterLabelClasses();
  RegisterPanelClasses();
  RegisterButtonClasses();
  RegisterCheckRadioClasses();
  RegisterImageClasses();
  RegisterProgressClasses();
  RegisterAnimateClasses();
  RegisterStdControlClasses();
  RegisterGridClasses();
  RegisterMenuClasses();
  RegisterDialogClasses();
}
