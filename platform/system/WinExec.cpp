#include "platform/system/WinExec.h"

#include "platform/system/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <optional>

namespace {

constexpr UINT StartedResult = 33;

// The entry of folder named like name: as written, else the first
// case-insensitive match. wantFolder picks folders, otherwise non-folders.
std::optional<QString> MatchEntry(const QString& folder, const QString& name, bool wantFolder) {
  const auto fits = [wantFolder](const QFileInfo& info) {
    return info.exists() && info.isDir() == wantFolder;
  };
  if (fits(QFileInfo(folder + QLatin1Char('/') + name)))
    return folder + QLatin1Char('/') + name;
  const QStringList names =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDir::Name);
  for (const QString& candidate : names)
    if (candidate.size() == name.size() && candidate.compare(name, Qt::CaseInsensitive) == 0 &&
        fits(QFileInfo(folder + QLatin1Char('/') + candidate)))
      return folder + QLatin1Char('/') + candidate;
  return std::nullopt;
}

std::optional<QString> MatchProgramFile(const QString& folder, const QString& name) {
  if (auto found = MatchEntry(folder, name, false))
    return found;
  static const QString exe = QStringLiteral(".exe");
  if (name.size() > exe.size() && name.endsWith(exe, Qt::CaseInsensitive))
    return MatchEntry(folder, name.chopped(exe.size()), false);
  return std::nullopt;
}

bool HasDelimiter(const QString& path) {
  return path.contains(QLatin1Char('/')) || path.contains(QLatin1Char('\\'));
}

// A bare program name: its own folder, the current folder, then $PATH.
TProgramLookup SearchProgram(const QString& name) {
  QStringList folders;
  if (QCoreApplication::instance())
    folders += QCoreApplication::applicationDirPath();
  folders += QDir::currentPath();
  folders += qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
  for (const QString& folder : folders)
    if (auto found = MatchProgramFile(QDir::cleanPath(folder), name))
      return {*found, 0};
  return {{}, ERROR_FILE_NOT_FOUND};
}

TProgramLookup Lookup(const QString& program) {
  if (program.isEmpty())
    return {{}, ERROR_FILE_NOT_FOUND};
  return HasDelimiter(program) ? ResolveProgramPath(program) : SearchProgram(program);
}

struct TCommand {
  TProgramLookup lookup;
  QString arguments;
};

// An unquoted program with blanks: "a b c" tries "a", "a b", "a b c"; the
// rest of the line after the first one found holds the arguments. When none
// is found, the last try (the whole line) tells why, as on Windows.
TCommand ResolveCommand(const QString& commandLine) {
  const TProgramPart part = ProgramPartOf(commandLine);
  if (part.quoted)
    return {Lookup(part.program), commandLine.mid(part.rest)};
  qsizetype end = part.rest;
  for (;;) {
    const TProgramLookup lookup = Lookup(commandLine.left(end).trimmed());
    while (end < commandLine.size() && commandLine[end].isSpace())
      ++end;
    if (lookup.error == 0 || end >= commandLine.size())
      return {lookup, commandLine.mid(end)};
    while (end < commandLine.size() && !commandLine[end].isSpace())
      ++end;
  }
}

}  // namespace

TProgramLookup ResolveProgramPath(const QString& path) {
  QString native = path;
  native.replace(QLatin1Char('\\'), QLatin1Char('/'));
  QStringList parts = native.split(QLatin1Char('/'));
  const QString last = parts.takeLast();
  QString folder = QDir::isAbsolutePath(native) ? QStringLiteral("/") : QDir::currentPath();
  for (const QString& part : parts) {
    if (part.isEmpty() || part == QLatin1String("."))
      continue;
    if (part == QLatin1String("..")) {
      folder = QFileInfo(folder).absolutePath();
      continue;
    }
    const auto found = MatchEntry(folder, part, true);
    if (!found)
      return {{}, ERROR_PATH_NOT_FOUND};
    folder = QDir::cleanPath(*found);
  }
  const auto file = MatchProgramFile(folder, last);
  if (!file)
    return {{}, ERROR_FILE_NOT_FOUND};
  return {QDir::cleanPath(*file), 0};
}

TCommandLookup LookupCommandLine(const QString& commandLine) {
  const TCommand command = ResolveCommand(commandLine);
  return {command.lookup, SplitCommandArguments(command.arguments)};
}

UINT WinExec(const QString& commandLine, int showCmd) {
  Q_UNUSED(showCmd)
  const TCommand command = ResolveCommand(commandLine);
  if (command.lookup.error != 0)
    return command.lookup.error;
  const QFileInfo program(command.lookup.path);
  if (!program.isExecutable())
    return ERROR_BAD_FORMAT;
  // startDetached fails only when the file cannot be executed (fork
  // failures aside), which is what the bad-format code says.
  const bool started = QProcess::startDetached(program.absoluteFilePath(),
                                               SplitCommandArguments(command.arguments),
                                               program.absolutePath());
  return started ? StartedResult : ERROR_BAD_FORMAT;
}
