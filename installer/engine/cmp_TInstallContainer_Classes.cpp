// The install object and path specifier classes that a setup script's form
// file may name.

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/classes/ClassRegistry.h"

void RegisterInstallClasses() {
  RegisterClasses<TInstall, TPathSpecifier, TpsCDEDLL, TpsCommonFiles, TpsContainerArchiveFile,
                  TpsContainerDestDir, TpsDesktopMenu, TpsInstallSource, TpsMainInstall,
                  TpsProgramFiles, TpsProgramMenu, TpsStartMenu, TpsStartupMenu, TpsSystem,
                  TpsMainArchiveFile, TpsWindow, TpsObjectLink>();
  RegisterInstallFileClasses();
  RegisterInstallRegistryClasses();
  RegisterInstallShellLinkClasses();
}
