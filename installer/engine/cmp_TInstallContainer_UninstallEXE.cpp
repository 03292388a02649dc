#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"

namespace {

constexpr char kNoInstall[] =
    "%s could not write information about the uninstall to the registry because there was no "
    "TInstall component";

}  // namespace

TUninstallEXE::TUninstallEXE(TComponent* owner) : TCustomInstallFile(owner) {
  TFileRelated::SetNet(true);
  // Presetting the uninstaller from the installer library's folder is a
  // designer's convenience; nothing is designed at run time.
}

void TUninstallEXE::WriteUninstallInfo(const QString& key) {
  TCustomInstall* install = CurrentInstall();
  if (install == nullptr)
    throw IEUninstallEXE(QString::fromLatin1(kNoInstall), {Name()});
  const QString product = install->Information()->ProductName();
  WriteRegString(hkLocalMachine, key, QStringLiteral("DisplayName"), product);
  // The name the program has at the end, also after a replacement at the restart.
  WriteRegString(hkLocalMachine, key, QStringLiteral("UninstallString"),
                 GetFinalDestPath() + QLatin1Char(' ') + product);
}

void TUninstallEXE::DeclareProperties(TClassBuilder<TUninstallEXE, TCustomInstallFile>& b) {
  TCustomInstallFile::PublishFileProperties(b, true);
}
