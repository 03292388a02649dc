// The file classes that a setup script's form file may name.
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/classes/ClassRegistry.h"

void RegisterInstallFileClasses() {
  RegisterClasses<TInstallFileGroup, TInstallFile, TUninstallEXE>();
}
