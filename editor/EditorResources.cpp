#include "editor/EditorResources.h"

#include "components/ActivApp.h"
#include "components/Aligrid.h"
#include "components/FormFill.h"
#include "components/PrnCells.h"
#include "editor/FileOp.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grids.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterEditorQrc() { Q_INIT_RESOURCE(editor); }

void InitEditorResources() {
  static const bool done = (RegisterEditorQrc(), true);
  (void)done;
  // Class registration is idempotent.
  RegisterControlClasses();
  RegisterGridClasses();
  RegisterPrnCellsClasses();
  RegisterFormFillClasses();
  RegisterRotate3DLabelClasses();
  RegisterFileOpClasses();
  if (GetClass(QStringLiteral("TStringAlignGrid")) == nullptr) RegisterClass<TStringAlignGrid>();
  if (GetClass(QStringLiteral("TActivApp")) == nullptr) RegisterClass<TActivApp>();
}
