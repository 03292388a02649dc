// Replacing an install file's destination. A destination that no process
// uses is replaced by the compressor's rename; one in use keeps running
// from its file, and the new file waits beside it for the restart.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/system/FilesInUse.h"
#include "platform/system/RestartService.h"

void TCustomInstallFile::ReplaceFile() {
  if (OnReplacing)
    OnReplacing(this);
  BroadcastMessage(this, scReplacing, this);
  SendInformation(icReplacing, this);
  const QString dest = GetDestPath();
  // Nothing is deleted to find out: a file that no process uses is
  // replaced whole by the extraction.
  if (!FileExists(dest) || !IsFileInUse(dest))
    return;
  const QString name = IfInUseName(GetExpandedDestDir(), destName_);
  if (name.isEmpty())
    throw IECustomInstallFile(QString::fromLatin1(kIfCannotRegisterMove), {Name()});
  replacedInUse_ = true;
  destName_ = name;
}

void TCustomInstallFile::RegisterReplacement() {
  const QString inUse = GetShortPath(GetFinalDestPath());
  const QString replacement = AddBackslash(ExtractFileDir(inUse)) + destName_;
  if (GetWindowsVersionKind() == 1) {
    AddWininitRename(inUse, replacement);
    SetRebootNeeded(true);
    return;
  }
  SetRebootNeeded(true);
  if (MoveFileEx(replacement, inUse, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
    return;
  try {
    if (CurrentInstall() == nullptr)
      throw IECustomInstallFile(QString::fromLatin1(kIfCannotRegisterMove), {Name()});
    RegisterWithBatch(inUse, replacement);
  } catch (...) {
    // Nothing would move the new file in: it goes, the file in use stays.
    DeleteFile(replacement);
    throw;
  }
}

void TCustomInstallFile::RegisterWithBatch(const QString& inUse, const QString& replacement) {
  QString batch;
  try {
    const QString temp = CreateTempFileName(true);
    batch = temp.left(temp.size() - ExtractFileExt(temp).size()) + QStringLiteral(".bat");
    DeleteFile(temp);
    WriteFileAtomically(batch, IfReplaceBatchLines(inUse, replacement)
                                   .join(QStringLiteral("\r\n"))
                                   .append(QStringLiteral("\r\n"))
                                   .toUtf8());
    ScheduleRestartRunner();
    // A command line: the path is quoted, as a temporary folder may hold blanks.
    if (!AddRunOnce(QString::fromLatin1(kReplaceBatchRunOnce), IfQuotedPath(batch), true))
      throw IECustomInstallFile(QString::fromLatin1(kIfCannotRegisterMove), {Name()});
  } catch (const Exception&) {
    if (!batch.isEmpty())
      DeleteFile(batch);
    throw IECustomInstallFile(QString::fromLatin1(kIfCannotRegisterMove), {Name()});
  }
  CurrentInstall()->AddUnfinished(batch, ukDeleteFile);
}
