#include "platform/registry/IniFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/system/CommandLine.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/RestartService.h"
#include "platform/system/SafeMove.h"
#include "platform/system/WinExec.h"
#include "platform/system/WininitRename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

namespace {

constexpr HKEY kRunOnceRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

// One runner at a time: a second one waits, then finds only what is left.
class TRunnerLock {
 public:
  TRunnerLock() {
    const QString folder = IniWindowsFolder();
    QDir().mkpath(folder);
    fd_ = ::open(QFile::encodeName(folder + QStringLiteral("/.") +
                                   QLatin1String(kRestartRunnerName) + QStringLiteral(".lock"))
                     .constData(),
                 O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~TRunnerLock() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  TRunnerLock(const TRunnerLock&) = delete;
  TRunnerLock& operator=(const TRunnerLock&) = delete;

 private:
  int fd_ = -1;
};

void ReportFailure(TRestartReport& report, const QString& origin, const QString& error) {
  TRestartStep step;
  step.origin = origin;
  step.error = error;
  report.steps.push_back(step);
}

TRestartStep MoveStep(const QString& source, const QString& target, const QString& origin) {
  TRestartStep step;
  step.kind = target.isEmpty() ? TRestartStepKind::Delete : TRestartStepKind::Move;
  step.source = source;
  step.target = target;
  step.origin = origin;
  return step;
}

// Carries out a move or delete; replace applies to moves.
void Carry(TRestartStep& step, bool replace) {
  for (const QString& path : {step.source, step.target}) {
    if (!path.isEmpty() && !QDir::isAbsolutePath(path)) {
      step.error = QStringLiteral("%1: \"%2\" is not an absolute path").arg(step.origin, path);
      return;
    }
  }
  QString why;
  const DWORD code = step.kind == TRestartStepKind::Delete
                         ? SafeDelete(step.source, &why)
                         : SafeMove(step.source, step.target, replace, true, &why);
  step.done = code == ERROR_SUCCESS;
  // A source that is gone (moved before a crash let its record stay, or
  // removed since) leaves nothing to do and nothing to lose.
  step.skipped = step.kind == TRestartStepKind::Move && code == ERROR_FILE_NOT_FOUND;
  if (!step.done)
    step.error = QStringLiteral("%1: %2").arg(step.origin, why);
}

void RunPendingMoves(TRestartReport& report) {
  for (const TPendingMove& move : PendingMoves()) {
    TRestartStep step =
        MoveStep(move.source, move.target, QStringLiteral("pending move %1").arg(move.id));
    Carry(step, move.flags & MOVEFILE_REPLACE_EXISTING);
    if (step.done || step.skipped) {
      const LONG removed = RemovePendingMove(move.id);
      if (removed != ERROR_SUCCESS) {
        step.done = step.skipped = false;
        step.error = QStringLiteral("%1: done, but its record stays: %2")
                         .arg(step.origin, RegErrorText(removed));
      }
    }
    report.steps.push_back(step);
  }
}

void RunWininit(TRestartReport& report) {
  try {
    CarryOutWininitEntries([&](const TWininitEntry& entry) {
      const QString origin =
          QStringLiteral("%1 line %2").arg(QLatin1String(kWininitFileName)).arg(entry.line);
      const bool remove = entry.target.compare(QLatin1String("NUL"), Qt::CaseInsensitive) == 0;
      TRestartStep step = MoveStep(entry.source, remove ? QString() : entry.target, origin);
      Carry(step, true);
      report.steps.push_back(step);
      return step.done || step.skipped;
    });
  } catch (const Exception& e) {
    // The steps done stay done; the file keeps its lines.
    ReportFailure(report, WininitPath(), e.Message());
  }
}

struct TBatchCommand {
  QString verb;  // lower case
  QStringList arguments;
};

TBatchCommand ParseBatchLine(const QString& line) {
  const QString text = line.trimmed();
  const qsizetype blank = text.indexOf(QLatin1Char(' '));
  return {text.left(blank < 0 ? text.size() : blank).toLower(),
          blank < 0 ? QStringList() : SplitCommandArguments(text.mid(blank + 1))};
}

bool SamePath(const QString& a, const QString& b) {
  return QDir::cleanPath(a) == QDir::cleanPath(b);
}

// A replacement batch: ERASE/DEL and MOVE lines. An erase of the file that
// the next line moves another onto is skipped: the move replaces it whole,
// and a failing move then leaves the old file in place.
QString RunBatch(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("cannot read the batch \"%1\"").arg(path);
  std::vector<TBatchCommand> commands;
  while (!file.atEnd()) {
    const TBatchCommand command = ParseBatchLine(QString::fromUtf8(file.readLine()));
    if (!command.verb.isEmpty() && command.verb != QLatin1String("rem") &&
        command.verb != QLatin1String("@echo"))
      commands.push_back(command);
  }
  for (std::size_t i = 0; i < commands.size(); ++i) {
    const TBatchCommand& command = commands[i];
    for (const QString& argument : command.arguments)
      if (!QDir::isAbsolutePath(argument))
        return QStringLiteral("the batch \"%1\" names \"%2\", which is not an absolute path")
            .arg(path, argument);
    QString why;
    DWORD code = ERROR_SUCCESS;
    if ((command.verb == QLatin1String("erase") || command.verb == QLatin1String("del")) &&
        command.arguments.size() == 1) {
      const bool replacedNext = i + 1 < commands.size() &&
                                commands[i + 1].verb == QLatin1String("move") &&
                                commands[i + 1].arguments.size() == 2 &&
                                SamePath(commands[i + 1].arguments[1], command.arguments[0]);
      if (!replacedNext)
        code = SafeDelete(command.arguments[0], &why);
    } else if (command.verb == QLatin1String("move") && command.arguments.size() == 2) {
      code = SafeMove(command.arguments[0], command.arguments[1], true, true, &why);
    } else {
      return QStringLiteral("the batch \"%1\" holds a command that cannot be run: %2")
          .arg(path, command.verb);
    }
    // A move whose source is gone has nothing left to do.
    if (code != ERROR_SUCCESS && !(code == ERROR_FILE_NOT_FOUND && command.verb == QLatin1String("move")))
      return QStringLiteral("the batch \"%1\": %2").arg(path, why);
  }
  return {};
}

// Starts the command and waits for it; its value goes as soon as it runs.
// Returns why it did not run.
QString RunCommand(const QString& commandLine, const std::function<QString()>& forget) {
  const TCommandLookup command = LookupCommandLine(commandLine);
  if (command.lookup.error != 0)
    return QStringLiteral("the program of \"%1\" is not found").arg(commandLine);
  const QFileInfo program(command.lookup.path);
  if (program.suffix().compare(QLatin1String("bat"), Qt::CaseInsensitive) == 0) {
    const QString failed = RunBatch(program.absoluteFilePath());
    return failed.isEmpty() ? forget() : failed;
  }
  if (!program.isExecutable())
    return QStringLiteral("\"%1\" is not a program").arg(program.absoluteFilePath());
  QProcess process;
  process.setProgram(program.absoluteFilePath());
  process.setArguments(command.arguments);
  process.setWorkingDirectory(program.absolutePath());
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start();
  if (!process.waitForStarted())
    return QStringLiteral("\"%1\" cannot be started: %2")
        .arg(program.absoluteFilePath(), process.errorString());
  const QString forgotten = forget();
  process.waitForFinished(-1);
  return forgotten;
}

void RunOnceCommands(TRestartReport& report) {
  for (const HKEY root : kRunOnceRoots) {
    const QString key = QString::fromLatin1(kRunOnceKeyPath);
    for (const TRegValue& value : ReadValues(root, key)) {
      TRestartStep step;
      step.kind = TRestartStepKind::RunOnce;
      step.source = QString::fromUtf8(value.data.left(value.data.indexOf('\0')));
      step.origin = QStringLiteral("RunOnce value %1").arg(value.name);
      if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) {
        step.error = QStringLiteral("%1: not a command line").arg(step.origin);
        report.steps.push_back(step);
        continue;
      }
      const QString failed = RunCommand(step.source, [&]() -> QString {
        TRegKey opened;
        LONG result = RegOpenKeyEx(root, key, KEY_ALL_ACCESS, &opened.handle);
        if (result == ERROR_SUCCESS)
          result = RegDeleteValue(opened.handle, value.name);
        if (result == ERROR_SUCCESS)
          result = RegFlushKey(opened.handle);
        return result == ERROR_SUCCESS
                   ? QString()
                   : QStringLiteral("ran, but its value stays: %1").arg(RegErrorText(result));
      });
      step.done = failed.isEmpty();
      if (!step.done)
        step.error = QStringLiteral("%1: %2").arg(step.origin, failed);
      report.steps.push_back(step);
    }
  }
}

}  // namespace

bool RestartWorkPending() {
  if (!PendingMoves().empty() || HasWininitEntries())
    return true;
  for (const HKEY root : kRunOnceRoots)
    if (!ReadValues(root, QString::fromLatin1(kRunOnceKeyPath)).empty())
      return true;
  return false;
}

TRestartReport RunRestartWork() {
  const TRunnerLock lock;
  TRestartReport report;
  for (void (*phase)(TRestartReport&) : {RunPendingMoves, RunWininit, RunOnceCommands}) {
    try {
      phase(report);
    } catch (const Exception& e) {
      // A store that cannot be read: what it holds stays for the next run.
      ReportFailure(report, RegistryFolder(), e.Message());
    }
  }
  // The entry goes first, so work registered meanwhile finds it gone and
  // writes it again, or is seen here and gets it back.
  QFile::remove(RestartRunnerAutostartPath());
  bool pending = true;
  try {
    pending = RestartWorkPending();
  } catch (const Exception&) {
    // Unreadable: keep the entry, so the next login tries again.
  }
  if (pending) {
    try {
      ScheduleRestartRunner();
    } catch (const Exception& e) {
      ReportFailure(report, RestartRunnerAutostartPath(),
                    QStringLiteral("work is left, but the autostart entry cannot be written: %1")
                        .arg(e.Message()));
    }
  }
  return report;
}
