#include "InstallFileTestSupport.h"

#include <QDir>

#include "install/ScriptForm.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/StringList.h"

namespace qxtest {

TInstallScript::TInstallScript() {
  RegisterInstallClasses();
  RegisterInstallFileClasses();
  QDir().mkpath(TempPath(QStringLiteral("build")));
  // Root's program-files folder is /opt: the tests install into their own.
  WriteRegString(hkLocalMachine, QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion"),
                 QStringLiteral("ProgramFilesDir"), TempPath(QStringLiteral("opt")));
  SetInstallCommandLine({QStringLiteral("-s") + TempPath(QStringLiteral("build"))});
  compressor_ = std::make_unique<TOndxCompress>(nullptr);
  root_ = std::make_unique<TDataModule>(nullptr);
  root_->SetName(QStringLiteral("Script"));
  CreateStandardSpecifiers(root_.get(), true);
  install_ = new TInstall(root_.get());
  install_->SetName(QStringLiteral("Install1"));
  install_->Information()->SetProductName(kProduct);
  install_->Loaded();
  InstallUnitState().installRecordKey = QStringLiteral("\\SOFTWARE\\Ondrix\\Install\\Install0");
}

TInstallScript::~TInstallScript() {
  root_.reset();
}

TInstallFileGroup* TInstallScript::Group(const QString& name, const QString& destDir) {
  auto* group = new TInstallFileGroup(root_.get());
  group->SetName(name);
  group->SetGroupName(name);
  group->SetContainer(install_);
  group->SetDestDir(destDir);
  group->SetArchiveFileType(StandardPathSpecList().FindByClass<TpsMainArchiveFile>());
  // Every group after the first adds to the archive the first one rewrites.
  group->SetAddToArchive(groups_.isEmpty() ? lzcOverwrite : lzcOnlyAdd);
  groups_ << group;
  return group;
}

TInstallFile* TInstallScript::File(TInstallFileGroup* group, const QString& name,
                                   const QByteArray& bytes) {
  WriteBytes(SourceDir() + QLatin1Char('/') + name, bytes);
  auto* file = new TInstallFile(root_.get());
  file->SetName(group->Name() + QString(name).remove(QLatin1Char('.')));
  file->SetContainer(group);
  file->SetIncludeFromDir(SourceDir());
  file->SetFileName(name);
  return file;
}

void TInstallScript::Build() {
  for (TInstallFileGroup* group : groups_)
    group->Compress(coRebuildOtherArchives | coBuildBit2 | coIncludeExcluded |
                    coForceNetFilesLocal);
}

void TInstallScript::Run() {
  install_->TFileContainer::Process();
}

QByteArray GroupScriptForm(const QString& sourceDir, const QStringList& names) {
  QString text = ScriptFormHead();
  for (int i = 0; i < names.size(); ++i)
    text += ScriptFormFile(QStringLiteral("File%1").arg(i), QStringLiteral("Game"), sourceDir, names[i]);
  text += QStringLiteral("end\n");
  return text.toUtf8();
}

QStringList RegistryValues(const QString& key) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  QStringList out;
  if (!registry.OpenKeyReadOnly(key))
    return out;
  TStringList names;
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i)
    out << names[i] + QLatin1Char('=') + registry.ReadString(names[i]);
  return out;
}

}  // namespace qxtest
