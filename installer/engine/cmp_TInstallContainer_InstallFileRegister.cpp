// What an install file registers once it is in place: help, shared counts,
// repository entries, self-registration, and its uninstall-log entry. Each
// names the file as it stands at the end (after a replacement at the
// restart, the name of the file it replaces).
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileRepository.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TVersion_Note.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/system/LastError.h"
#include "platform/system/SelfRegister.h"

namespace {

bool IsProgramName(const QString& fileName) {
  return UpperCase(ExtractFileExt(fileName)) == QLatin1String(".EXE");
}

}  // namespace

void TCustomInstallFile::AfterInstallSteps() {
  if (registerAsHelp_)
    IfRegisterHelpFile(replacedInUse_ ? finalDestName_ : destName_, GetExpandedDestDir());
  if (updateDLLCounter_)
    IncrementSharedDLLCount();
  repository_->Register();
  if (replacedInUse_ && CurrentInstall() != nullptr) {
    // The file in use is replaced at the restart; the resumed run registers it.
    CurrentInstall()->AddUnfinished(Name(), ukInstallObject);
    return;
  }
  if (!activeX_)
    return;
  try {
    RegisterActiveX();
  } catch (const Exception&) {
    TInstallUnitState& state = InstallUnitState();
    if (state.raiseRegistrationErrors)
      throw;
    if (!state.failedRegistrations.contains(this))
      state.failedRegistrations.append(this);
  }
}

bool TCustomInstallFile::IncrementSharedDLLCount() {
  const QString path = GetFinalDestPath();
  // The product counts once: installed again, its file is in its log.
  if (TCustomInstall* install = CurrentInstall()) {
    const QString key =
        QString::fromLatin1(kUninstallKeyBase) + install->Information()->ProductName();
    if (IfFileLogged(key, path)) return true;
  }
  if (!IfIncrementSharedCount(GetShortPath(path), path))
    throw IECustomInstallFile(QString::fromLatin1(kIfNoSharedDLLsKey),
                              {Name(), static_cast<int>(GetLastError())});
  return true;
}

void TCustomInstallFile::RegisterActiveX() {
  const QString path = GetDestPath();
  if (GetExpandedDestDir().trimmed().isEmpty() || !FileExists(path))
    throw IECustomInstallFile(QString::fromLatin1(kIfDestBlank), {Name()});
  const QString previous = GetCurrentDir();
  IfTryFinally(
      [&] {
        SetCurrentDir(GetExpandedDestDir());
        if (IsProgramName(fileName_))
          RegisterActiveXEXE();
        else
          RegisterActiveXDLL();
      },
      [&] { SetCurrentDir(previous); });
}

void TCustomInstallFile::RegisterActiveXDLL() {
  const QString path = GetDestPath();
  const TSelfRegisterResult r = RegisterLibraryServer(path);
  const int lastError = static_cast<int>(r.lastError);
  switch (r.failure) {
    case TSelfRegisterFailure::None: return;
    case TSelfRegisterFailure::CannotLoad:
      throw IECustomInstallFile(QString::fromLatin1(kIfLoadLibrary),
                                {path, path, Name(), lastError});
    case TSelfRegisterFailure::NoEntryPoint:
      throw IECustomInstallFile(QString::fromLatin1(kIfNoRegisterServer),
                                {path, Name(), lastError});
    default:
      throw IECustomInstallFile(QString::fromLatin1(kIfRegisterServerFailed),
                                {path, static_cast<int>(r.result), Name()});
  }
}

void TCustomInstallFile::RegisterActiveXEXE() {
  const QString path = GetDestPath();
  const TSelfRegisterResult r = RegisterProgramServer(path);
  // A program that started has done its part; only a failed start counts.
  if (r.failure == TSelfRegisterFailure::None || r.failure == TSelfRegisterFailure::Failed)
    return;
  const QString command = path + QLatin1Char(' ') + QString::fromLatin1(kRegServerSwitch);
  throw IECustomInstallFile(QString::fromLatin1(kIfWinExec),
                            {path, command, Name(), static_cast<int>(r.lastError)});
}

void TCustomInstallFile::FinishAfterReboot() {
  if (activeX_)
    RegisterActiveX();
}

bool TCustomInstallFile::IsOLESelfRegister() {
  return IsOLESelfRegisterFile(SourcePath());
}

bool TCustomInstallFile::IsOLESelfRegisterFile(const QString& path) {
  const std::optional<TVersionNote> note = ReadVersionNote(path);
  if (!note || note->Tables.isEmpty())
    return false;
  for (const auto& entry : note->Tables.first().Entries) {
    if (entry.first == QLatin1String("OLESelfRegister"))
      return true;
  }
  return false;
}

void TCustomInstallFile::WriteUninstallInfo(const QString& key) {
  const QString path = GetFinalDestPath();
  // The uninstaller removes what the log names: only files that are there.
  if (installAborted_ || !FileExists(path))
    return;
  if (activeX_)
    IfLogSelfRegisteringFile(key, path, IsProgramName(fileName_));
  else
    IfLogInstalledFile(key, path);
}
