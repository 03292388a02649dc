// Installs the script of a form file as a setup run does, into the XDG tree
// of its environment; the crash tests kill it at random moments.
// Arguments: the form file, the build folder (the archive's source folder).
#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/ProcessState.h"

int main(int argc, char** argv) {
  if (argc != 3)
    return 2;
  QCoreApplication app(argc, argv);
  int rc = 0;
  try {
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    SetInstallCommandLine({QStringLiteral("-s") + QString::fromLocal8Bit(argv[2])});
    InstallUnitState().installRecordKey = QStringLiteral("\\SOFTWARE\\Ondrix\\Install\\Install0");
    TOndxCompress compressor(nullptr);
    auto root = std::make_unique<TDataModule>(nullptr);
    ReadRootComponentFile(root.get(), QString::fromLocal8Bit(argv[1]));
    CurrentInstall()->TFileContainer::Process();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    rc = 1;
  }
  ResetProcessState();
  return rc;
}
