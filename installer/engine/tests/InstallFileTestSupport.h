#pragma once
// A script of file groups and files on a data module, with the install
// component, the standard specifiers and the global compressor, all in the
// running test's temporary tree: sources under "src", the archive in the
// build folder "build/files.1", the installation below "opt", the
// program-files folder.

#include <QString>
#include <QStringList>
#include <memory>

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "platform/classes/DataModule.h"
#include "tests/support/TestSupport.h"

namespace qxtest {

inline const QString kProduct = QStringLiteral("Trovaly");
inline const QString kUninstallKey =
    QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovaly");

class TInstallScript {
 public:
  TInstallScript();
  ~TInstallScript();

  TDataModule* Root() const { return root_.get(); }
  TInstall* Install() const { return install_; }
  TOndxCompress& Compressor() const { return *compressor_; }
  QString SourceDir() const { return TempPath(QStringLiteral("src")); }
  QString Archive() const { return TempPath(QStringLiteral("build/files.1")); }

  // A group of the install component, into DestDir under the install's
  // folder, from the build's archive.
  TInstallFileGroup* Group(const QString& name, const QString& destDir);
  // A file of group with that content written to the source folder.
  TInstallFile* File(TInstallFileGroup* group, const QString& name, const QByteArray& bytes);
  // Compresses every group into the archive (the first rewrites it).
  void Build();
  // The install's processing, as a run does it.
  void Run();

 private:
  std::unique_ptr<TDataModule> root_;
  std::unique_ptr<TOndxCompress> compressor_;
  TInstall* install_ = nullptr;
  QList<TInstallFileGroup*> groups_;
};

// A setup script's form file: the install component into "opt/Trovaly",
// the specifiers it names, and one group "Game" into "/Game" from the
// build's archive with one file per name of sourceDir.
QByteArray GroupScriptForm(const QString& sourceDir, const QStringList& names);

// The string values of a registry key under HKEY_LOCAL_MACHINE, "name=data".
QStringList RegistryValues(const QString& key);

}  // namespace qxtest
