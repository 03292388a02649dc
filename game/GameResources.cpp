#include "game/GameResources.h"

#include "components/ActivApp.h"
#include "components/Aligrid.h"
#include "components/FormFill.h"
#include "components/KVCtrls.h"
#include "components/Lumbtn.h"
#include "components/Lumcompf.h"
#include "components/Lumexctl.h"
#include "components/Lumpanel.h"
#include "components/Lumtimag.h"
#include "components/MRUList.h"
#include "components/PrnCells.h"
#include "components/RegistryEnhanced.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Form.h"
#include "platform/controls/Grids.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterGameQrc() { Q_INIT_RESOURCE(game); }

void InitGameResources() {
  static const bool done = (RegisterGameQrc(), true);
  (void)done;
  // Class registration is idempotent.
  RegisterControlClasses();
  RegisterGridClasses();
  RegisterMRUListClasses();
  RegisterPrnCellsClasses();
  RegisterFormFillClasses();
  RegisterEdgePanelClasses();
  RegisterSuperLabelClasses();
  RegisterTransImageClasses();
  RegisterKvCtrlsClasses();
  RegisterPicSpeedBtnClasses();
  RegisterFormSizerClasses();
  RegisterClasses<TStringAlignGrid, TRegistryEnhanced, TActivApp>();
}
