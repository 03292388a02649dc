#pragma once
// TUninstallEXE: the install file of the product's uninstaller. It is
// installed like any file; in place of its own uninstall-log entry it
// writes the two values by which the desktop lists the product among the
// programs that can be removed. Part of the install object model's unit
// (cmp_TInstallContainer).

#include "installer/engine/cmp_TInstallContainer_InstallFile.h"

inline constexpr char kUninstallProgramName[] = "uninstall.exe";

class TUninstallEXE : public TCustomInstallFile {
 public:
  // Net defaults to true.
  explicit TUninstallEXE(TComponent* owner);

  // Under HKEY_LOCAL_MACHINE key: "DisplayName" = the product name,
  // "UninstallString" = the program's path, a blank and the product name.
  // No TInstall: IEUninstallEXE.
  void WriteUninstallInfo(const QString& key) override;

  static void DeclareProperties(TClassBuilder<TUninstallEXE, TCustomInstallFile>& b);
};
