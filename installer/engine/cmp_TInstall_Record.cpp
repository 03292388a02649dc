// The install record under HKEY_LOCAL_MACHINE\SOFTWARE\Ondrix\Install, the
// resume command in RunOnce, the run after the restart and the clean-up of
// the setup's own files.

#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryException.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/system/CommandLine.h"
#include "platform/system/RestartService.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

constexpr char kInstallRoot[] = "\\SOFTWARE\\Ondrix\\Install";
constexpr char kOndrixRoot[] = "\\Software\\Ondrix";
constexpr char kRunOnceName[] = "OndrixUnfinished";
constexpr char kTextRunOnce[] =
    "Cannot register the install to be run on reboot in the RunOnce key in the registry";
constexpr char kTextInvalidUnfinished[] =
    "There is an invalid entry for the unfinished install list %s";
constexpr int kUserLanguage = 15;  // olUser

// The installation program's own file, and the size and modification time
// that tell which setup it is.
struct TProgramFile {
  bool ok = false;
  QString path;
  int size = 0;
  TDateTime date = 0;
};

bool ReadIdentity(const QString& path, TProgramFile& program) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  program.size = static_cast<int>(file.size());
  program.date = FileAge(path);
  program.ok = true;
  return true;
}

// The installation program the loader unpacks is a new copy in a new
// folder on every run: the file the user started (the self-extracting
// setup.exe, or the loader beside setup.1 on the first disk) is what stays
// the same between runs, so its size and date tell the setup. The loader's
// link names it on both roads; -s and -e name it as well on the first.
TProgramFile ProgramFile(const QString& selfExtracting) {
  TProgramFile program;
  program.path = InstallExeName();
  const QString started = StartedSetupOf(program.path);
  for (const QString& setup : {started, selfExtracting})
    if (!setup.isEmpty() && ReadIdentity(setup, program)) return program;
  ReadIdentity(program.path, program);
  return program;
}

TDateTime ReadDate(TRegistry& registry, const QString& name) {
  double value = 0;
  if (registry.ReadBinaryData(name, &value, sizeof value) != sizeof value)
    throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(name));
  return value;
}

void WriteDate(TRegistry& registry, const QString& name, TDateTime value) {
  const double v = value;
  registry.WriteBinaryData(name, &v, sizeof v);
}

// The part of path below folder (a canonical path; path may reach it
// through other names), with its leading delimiter; null when path does
// not lie below it.
QString BelowFolder(const QString& path, const QString& folder) {
  for (QString above = ExtractFileDir(path); above.size() > 1; above = ExtractFileDir(above)) {
    if (QFileInfo(above).canonicalFilePath() == folder) return path.mid(above.size());
  }
  return QString();
}

}  // namespace

QString TCustomInstall::GetInstallKey(bool create) {
  const QString selfExtracting =
      HasSwitch(swSelfExtractor)
          ? AddBackslash(SwitchValue(swSourceDir)) + SwitchValue(swSelfExtractor)
          : QString();
  const TProgramFile program = ProgramFile(selfExtracting);
  if (!program.ok) return QString();
  // The loader's folder is made new for each extraction (and moved for the
  // resumed run): a record naming this very copy is this setup's, whatever
  // became of the setup's file (a resumed run whose setup.exe is gone).
  const QString ownCopy =
      LoaderFolderOf(program.path).isEmpty() ? QString() : QFileInfo(program.path).canonicalFilePath();
  const QString root = QString::fromLatin1(kInstallRoot);
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  registry.SetLazyWrite(false);
  try {
    if (!registry.OpenKey(root, true)) return QString();
  } catch (const Exception&) {
    return QString();
  }
  TStringList names;
  registry.GetKeyNames(&names);
  registry.CloseKey();
  for (int i = 0; i < names.Count(); ++i) {
    const QString key = AddKeyBackslash(root) + names[i];
    try {
      if (!registry.OpenKey(key, false)) continue;
      const QString path = registry.ReadString(QStringLiteral("Path"));
      const TDateTime created = ReadDate(registry, QStringLiteral("CreationDate"));
      const int size = registry.ReadInteger(QStringLiteral("Size"));
      const bool same = std::fabs(created - program.date) < 1e-7 && size == program.size;
      if (!same && (ownCopy.isEmpty() || QFileInfo(path).canonicalFilePath() != ownCopy)) {
        registry.CloseKey();
        continue;
      }
    } catch (const Exception&) {
      registry.CloseKey();
      continue;
    }
    try {
      WriteDate(registry, QStringLiteral("LastRunDate"), InstallStartTime());
      registry.WriteString(QStringLiteral("Path"), program.path);
      registry.CloseKey();
    } catch (const Exception&) {
      return QString();
    }
    return key;
  }
  if (!create) return QString();
  int n = 0;
  while (names.IndexOf(QStringLiteral("Install%1").arg(n)) >= 0) ++n;
  const QString key = AddKeyBackslash(root) + QStringLiteral("Install%1").arg(n);
  try {
    if (!registry.OpenKey(key, true)) return QString();
    registry.WriteString(QStringLiteral("Path"), program.path);
    WriteDate(registry, QStringLiteral("LastRunDate"), InstallStartTime());
    WriteDate(registry, QStringLiteral("CreationDate"), program.date);
    registry.WriteInteger(QStringLiteral("Size"), program.size);
    if (HasSwitch(swSelfExtractor))
      registry.WriteString(QStringLiteral("SelfExtract"),
                           AddBackslash(SwitchValue(swSourceDir)) + SwitchValue(swSelfExtractor));
    registry.CloseKey();
  } catch (const Exception&) {
    return QString();
  }
  return key;
}

void TCustomInstall::DeleteInstallRecord() {
  QString& current = InstallUnitState().installRecordKey;
  if (current.isEmpty()) return;
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.SetLazyWrite(false);
    if (!registry.OpenKey(current, false)) return;
    TStringList subKeys;
    registry.GetKeyNames(&subKeys);
    registry.CloseKey();
    for (int i = 0; i < subKeys.Count(); ++i) {
      const QString sub = AddKeyBackslash(current) + subKeys[i];
      const QString local = ReadRegString(hkLocalMachine, sub, QString::fromLatin1(kLocalFileValue), {});
      if (!Trim(local).isEmpty()) DeleteFile(local);
      DeleteRegKeyTree(hkLocalMachine, sub);
    }
    DeleteRegKeyTree(hkLocalMachine, current);
    current.clear();
    const QString root = QString::fromLatin1(kInstallRoot);
    if (registry.OpenKey(root, false)) {
      const bool empty = !registry.HasSubKeys();
      registry.CloseKey();
      if (empty) registry.DeleteKey(root);
      const QString ondrix = QString::fromLatin1(kOndrixRoot);
      if (registry.OpenKey(ondrix, false)) {
        const bool ondrixEmpty = !registry.HasSubKeys();
        registry.CloseKey();
        if (ondrixEmpty) registry.DeleteKey(ondrix);
      }
    }
  } catch (const Exception&) {
    // Cleaning up never fails the run.
  }
}

QString TCustomInstall::SetupProgramPath() const {
  if (HasSwitch(swSelfExtractor))
    return ExpandFileName(const_cast<TCustomInstall*>(this)->GetExpandedArchiveFile());
  if (!useLoadingProgram_) return InstallExeName();
  // The loader's own command line names no program of the source folder:
  // the program's name there stands for it, so its folder is the source.
  return AddBackslash(sourceDir_) + ExtractFileName(InstallExeName());
}

void TCustomInstall::RegisterRunOnce() {
  QString program = InstallExeName();
  QString setup = SetupProgramPath();
  // The run at the next login must not depend on the cache: the loader's
  // folder moves to a folder of ours, and the record names the program
  // there (the setup.exe may be gone by then).
  const QString folder = LoaderFolderOf(program);
  if (!folder.isEmpty()) {
    try {
      PlaceRestartRunner();  // from the folder, before it moves
    } catch (const Exception&) {
      throw IEInstall(QString::fromLatin1(kTextRunOnce));
    }
    const QString programPart = BelowFolder(program, folder);
    const QString setupPart = BelowFolder(setup, folder);
    const QString moved = MoveToResumeRoot(folder);
    program = moved + programPart;
    if (!setupPart.isNull()) setup = moved + setupPart;
    const QString record = InstallUnitState().installRecordKey;
    if (!record.isEmpty()) WriteRegString(hkLocalMachine, record, QStringLiteral("Path"), program);
  }
  // Quoted by the rules the runner splits it with: any folder name holds.
  QString line = QuoteCommandProgram(program);
  if (line.isEmpty()) throw IEInstall(QString::fromLatin1(kTextRunOnce));
  line += QStringLiteral(" -r ");
  if (HasSwitch(swSelfExtractor))
    line += QuoteCommandArgument(QStringLiteral("-e") + ExtractFileName(setup)) + QLatin1Char(' ');
  line += QuoteCommandArgument(QStringLiteral("-s") + RemoveBackslash(ExtractFileDir(setup)));
  if (HasSwitch(swCleanUp)) line += QStringLiteral(" -c");
  if (!AddRunOnce(QString::fromLatin1(kRunOnceName), line, true))
    throw IEInstall(QString::fromLatin1(kTextRunOnce));
}

void TCustomInstall::FinishAfterReboot() {
  running_ = true;
  GlobalNetInstallLocation().SetLoginInformation(loginInformation_.get());
  InstallUnitState().installRecordKey = GetInstallKey(false);
  TInstallHost* host = CurrentInstallHost();
  int language = 0;
  if (host != nullptr && host->TranslatorLanguage(language)) host->SetTranslatorLanguage(ReadLanguage());
  TStringList lines;
  ReadUnfinished(lines);
  ClearUnfinished();
  for (int i = 0; i < lines.Count(); ++i) {
    const QString line = lines[i];
    const QString name = GetField(line, 1, QLatin1Char(';'));
    bool ok = false;
    const int kind = GetField(line, 2, QLatin1Char(';')).toInt(&ok);
    if (!ok) throw IEInstall(QString::fromLatin1(kTextInvalidUnfinished), {line});
    if (kind == ukDeleteFile) {
      DeleteFile(name);
    } else if (kind == ukInstallObject) {
      // A container may go while another finishes: walk a copy, check each.
      const QList<TInstallContainer*> containers = InstallUnitState().containers;
      for (TInstallContainer* container : containers) {
        if (InstallUnitState().containers.contains(container) &&
            container->Name().compare(name, Qt::CaseInsensitive) == 0)
          container->FinishAfterReboot();
      }
    }
  }
  GoodEnd();
}

void TCustomInstall::SaveLanguage() {
  TInstallHost* host = CurrentInstallHost();
  int language = 0;
  const QString key = InstallUnitState().installRecordKey;
  if (host == nullptr || key.isEmpty() || !host->TranslatorLanguage(language)) return;
  WriteRegInteger(hkLocalMachine, key, QStringLiteral("Language"), language);
}

int TCustomInstall::ReadLanguage() {
  TInstallHost* host = CurrentInstallHost();
  int fallback = kUserLanguage;
  if (host != nullptr) host->TranslatorLanguage(fallback);
  const QString key = InstallUnitState().installRecordKey;
  if (key.isEmpty()) return fallback;
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(QStringLiteral("Language")))
      return fallback;
    return registry.ReadInteger(QStringLiteral("Language"));
  } catch (const Exception&) {
    return fallback;
  }
}

void TCustomInstall::CleanupSetupFiles() {
  if (!useLoadingProgram_ || HasSwitch(swDebug) || !HasSwitch(swCleanUp)) return;
  bool continueOn = true;
  if (OnCleanup) OnCleanup(this, continueOn);
  if (!continueOn) return;
  const QString program = InstallExeName();
  // Only the loader's private folder holds copies that are ours to remove:
  // an installed or built setup program keeps its folder and its files.
  const QString folder = LoaderFolderOf(program);
  if (folder.isEmpty()) return;
  for (int i = 0; i < presetupFiles_->Count(); ++i)
    DeleteFile(AddBackslash(folder) + ExtractFileName(presetupFiles_->Strings(i)));
  try {
    batchPath_ = WriteCleanupBatch();
    batchPending_ = true;
  } catch (const Exception&) {
    // Cleaning up never fails the run.
  }
}

QString TCustomInstall::WriteCleanupBatch() {
  const QString program = InstallExeName();
  const QString temp = CreateTempFileName(false);
  const QString batch = ChangeFileExt(temp, QStringLiteral(".bat"));
  TStringList lines;
  lines.Add(QStringLiteral("ERASE ") + QuoteCommandArgument(program));
  lines.Add(QStringLiteral("DELTREE /Y ") + QuoteCommandArgument(RemoveBackslash(ExtractFileDir(program))));
  lines.Add(QStringLiteral("ERASE ") + QuoteCommandArgument(ChangeFileExt(batch, QStringLiteral(".PIF"))));
  lines.Add(QStringLiteral("ERASE ") + QuoteCommandArgument(batch));
  WriteFileAtomically(batch, lines.Text().toUtf8());
  return batch;
}

void RunCleanupBatch(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return;
  const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
  file.close();
  for (const QString& raw : lines) {
    const QStringList words = SplitCommandArguments(raw.trimmed());
    const QString verb = words.value(0).toUpper();
    if (verb == QLatin1String("ERASE") && words.size() == 2) {
      DeleteFile(words[1]);
    } else if (verb == QLatin1String("DELTREE") && words.size() == 3 && words[1] == QLatin1String("/Y")) {
      // Only the loader's own folder (its marker names it) is ever removed.
      RemoveLoaderFolder(AddBackslash(words[2]) + QStringLiteral("setup"));
    }
  }
}

void ShowInstallError(const QString& message) {
  TPromptRequest request;
  request.id = TPromptId::ShowError;
  request.text = message;
  request.sourceText = message;
  AskPrompt(request);
}
