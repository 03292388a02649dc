#include "platform/system/ProgramGroupsProgman.h"

#include "platform/rtl/ProcessState.h"
#include "platform/system/CommandLine.h"
#include "platform/system/FileOperation.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <optional>

namespace {

struct TProgmanState {
  QString currentGroup;
  QString lastError;
};

TProgmanState& State() {
  return ProcessObject<TProgmanState>();
}

[[noreturn]] void Refuse(const QString& why) {
  throw EProgmanCommandError(why);
}

// Reads commands from a command string, one character at a time.
class TCommandReader {
 public:
  explicit TCommandReader(const QString& text) : text_(text) {}

  std::vector<TProgmanCommand> ReadAll() {
    std::vector<TProgmanCommand> commands;
    SkipBlanks();
    if (AtEnd())
      Refuse(QStringLiteral("The command string is empty"));
    while (!AtEnd()) {
      commands.push_back(ReadCommand());
      SkipBlanks();
    }
    return commands;
  }

 private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  QChar Peek() const { return AtEnd() ? QChar() : text_[pos_]; }
  void SkipBlanks() {
    while (!AtEnd() && Peek().isSpace())
      ++pos_;
  }
  void Expect(QChar c, const char* what) {
    SkipBlanks();
    if (Peek() != c)
      Refuse(QStringLiteral("Expected %1 at position %2 of \"%3\"")
                 .arg(QLatin1String(what))
                 .arg(pos_ + 1)
                 .arg(text_));
    ++pos_;
  }

  TProgmanCommand ReadCommand() {
    TProgmanCommand command;
    Expect(QLatin1Char('['), "\"[\"");
    SkipBlanks();
    while (!AtEnd() && (Peek().isLetterOrNumber() || Peek() == QLatin1Char('_')))
      command.name += text_[pos_++];
    if (command.name.isEmpty())
      Refuse(QStringLiteral("A command has no name in \"%1\"").arg(text_));
    SkipBlanks();
    if (Peek() == QLatin1Char('(')) {
      ++pos_;
      ReadArguments(command);
    }
    Expect(QLatin1Char(']'), "\"]\"");
    return command;
  }

  void ReadArguments(TProgmanCommand& command) {
    QString raw;
    bool quoted = false;
    int depth = 0;  // of parentheses that pair up inside an argument
    for (;;) {
      if (AtEnd())
        Refuse(quoted ? QStringLiteral("A quote is not closed in \"%1\"").arg(text_)
                      : QStringLiteral("A \")\" is missing in \"%1\"").arg(text_));
      const QChar c = text_[pos_++];
      if (c == QLatin1Char('"'))
        quoted = !quoted;
      if (quoted || c == QLatin1Char('"')) {
        raw += c;
      } else if (c == QLatin1Char('(') || (depth > 0 && (c == QLatin1Char(')') || c == QLatin1Char(',')))) {
        depth += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
        raw += c;
      } else if (c == QLatin1Char(',') || c == QLatin1Char(')')) {
        AddArgument(command, raw.trimmed());
        raw.clear();
        if (c == QLatin1Char(')'))
          break;
      } else if (c == QLatin1Char('[') || c == QLatin1Char(']')) {
        Refuse(QStringLiteral("\"%1\" stands outside quotes in an argument of \"%2\"")
                   .arg(c)
                   .arg(text_));
      } else {
        raw += c;
      }
    }
    // "Name()" has no arguments rather than one empty one.
    if (command.rawArgs.size() == 1 && command.rawArgs.first().isEmpty()) {
      command.rawArgs.clear();
      command.args.clear();
    }
  }

  static void AddArgument(TProgmanCommand& command, const QString& raw) {
    const bool whole = raw.size() >= 2 && raw.startsWith(QLatin1Char('"')) &&
                       raw.endsWith(QLatin1Char('"')) && raw.count(QLatin1Char('"')) == 2;
    command.rawArgs << raw;
    command.args << (whole ? raw.mid(1, raw.size() - 2) : raw);
  }

  const QString& text_;
  qsizetype pos_ = 0;
};

void CheckArgumentCount(const TProgmanCommand& command, qsizetype least, qsizetype most) {
  const qsizetype n = command.args.size();
  if (n < least || n > most)
    Refuse(QStringLiteral("%1 takes %2 to %3 arguments, not %4")
               .arg(command.name)
               .arg(least)
               .arg(most)
               .arg(n));
}

// A group or item name: one file-system name that stays in its folder.
QString CheckName(const QString& name, const char* what) {
  if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QChar()) ||
      name == QLatin1String(".") || name == QLatin1String(".."))
    Refuse(QStringLiteral("\"%1\" is no valid %2 name").arg(name, QLatin1String(what)));
  return name;
}

int NumberArgument(const TProgmanCommand& command, qsizetype index, int fallback) {
  if (index >= command.args.size() || command.args[index].trimmed().isEmpty())
    return fallback;
  bool ok = false;
  const int value = command.args[index].trimmed().toInt(&ok);
  if (!ok)
    Refuse(QStringLiteral("Argument %1 of %2 is no number: \"%3\"")
               .arg(index + 1)
               .arg(command.name, command.args[index]));
  return value;
}

QString Argument(const TProgmanCommand& command, qsizetype index) {
  return index < command.args.size() ? command.args[index] : QString();
}

QString GroupFolder(const QString& name) {
  return ApplicationsMenuFolder() + QLatin1Char('/') + name;
}

QString CurrentGroupFolder(const TProgmanCommand& command) {
  const QString& group = State().currentGroup;
  if (group.isEmpty() || !QFileInfo(GroupFolder(group)).isDir())
    Refuse(QStringLiteral("%1 needs a current group").arg(command.name));
  return GroupFolder(group);
}

QString ItemFile(const QString& folder, const QString& name) {
  return folder + QLatin1Char('/') + name + QStringLiteral(".desktop");
}

void CreateGroup(const TProgmanCommand& command) {
  CheckArgumentCount(command, 1, 2);
  const QString name = CheckName(command.args[0], "group");
  try {
    CreateLinkGroup(GroupFolder(name));
  } catch (const Exception& e) {
    Refuse(e.Message());
  }
  State().currentGroup = name;
}

void ShowGroup(const TProgmanCommand& command) {
  CheckArgumentCount(command, 2, 2);
  const QString name = CheckName(command.args[0], "group");
  NumberArgument(command, 1, 0);
  if (!QFileInfo(GroupFolder(name)).isDir())
    Refuse(QStringLiteral("There is no group \"%1\"").arg(name));
  State().currentGroup = name;
}

void AddItem(const TProgmanCommand& command) {
  CheckArgumentCount(command, 1, 9);
  const QString folder = CurrentGroupFolder(command);
  const QString commandLine = command.rawArgs[0];
  const TProgramPart program = ProgramPartOf(commandLine);
  if (program.program.isEmpty())
    Refuse(QStringLiteral("AddItem has no program to run"));
  QString name = Argument(command, 1);
  if (name.trimmed().isEmpty())
    name = QFileInfo(program.program).completeBaseName();
  CheckName(name, "item");
  const int iconIndex = NumberArgument(command, 3, 0);
  NumberArgument(command, 4, 0);
  NumberArgument(command, 5, 0);
  const int hotKey = NumberArgument(command, 7, 0);
  if (hotKey < 0 || hotKey > 0xFFFF)
    Refuse(QStringLiteral("The hot key %1 is out of range").arg(hotKey));
  TShellLink link;
  link.SetPath(program.program);
  link.SetArguments(commandLine.mid(program.rest).trimmed());
  link.SetWorkingDirectory(Argument(command, 6));
  link.SetIconLocation(Argument(command, 2), iconIndex);
  link.SetHotkey(WORD(hotKey));
  QString file = ItemFile(folder, name);
  if (QFileInfo::exists(file))
    file = CollisionFreeName(file);
  if (FAILED(link.Save(file, true)))
    Refuse(link.LastErrorText());
}

void RemoveItem(const TProgmanCommand& command) {
  CheckArgumentCount(command, 1, 1);
  const QString folder = CurrentGroupFolder(command);
  const QString file = ItemFile(folder, CheckName(command.args[0], "item"));
  if (!QFileInfo::exists(file))
    Refuse(QStringLiteral("There is no item \"%1\" in the group \"%2\"")
               .arg(command.args[0], State().currentGroup));
  if (!QFile::remove(file))
    Refuse(QStringLiteral("Cannot remove \"%1\"").arg(file));
  try {
    RefreshLinkGroup(folder);
  } catch (const Exception& e) {
    Refuse(e.Message());
  }
}

void DeleteGroup(const TProgmanCommand& command) {
  CheckArgumentCount(command, 1, 1);
  const QString name = CheckName(command.args[0], "group");
  if (!QFileInfo(GroupFolder(name)).isDir())
    Refuse(QStringLiteral("There is no group \"%1\"").arg(name));
  try {
    RemoveLinkGroup(GroupFolder(name));
  } catch (const Exception& e) {
    Refuse(e.Message());
  }
  if (State().currentGroup == name)
    State().currentGroup.clear();
}

void Run(const TProgmanCommand& command) {
  struct TEntry {
    const char* name;
    void (*run)(const TProgmanCommand&);
  };
  static constexpr TEntry kCommands[] = {
      {"CreateGroup", CreateGroup}, {"ShowGroup", ShowGroup},   {"AddItem", AddItem},
      {"ReplaceItem", RemoveItem},  {"DeleteItem", RemoveItem}, {"DeleteGroup", DeleteGroup},
  };
  for (const TEntry& entry : kCommands)
    if (command.name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
      return entry.run(command);
  Refuse(QStringLiteral("Unknown command \"%1\"").arg(command.name));
}

TDdeExecuteResult Execute(const QString&, const QString& text) {
  TProgmanState& state = State();
  try {
    for (const TProgmanCommand& command : ParseProgmanCommands(text))
      Run(command);
  } catch (const Exception& e) {
    state.lastError = e.Message();
    return TDdeExecuteResult::NotProcessed;
  }
  state.lastError.clear();
  return TDdeExecuteResult::Processed;
}

QString Quoted(const QString& text) {
  return QLatin1Char('"') + text + QLatin1Char('"');
}

QString ItemLine(const QString& entry) {
  TShellLink link;
  if (FAILED(link.Load(entry)))
    return {};
  QString commandLine = link.Path().contains(QLatin1Char(' ')) ? Quoted(link.Path()) : link.Path();
  if (!link.Arguments().isEmpty())
    commandLine += QLatin1Char(' ') + link.Arguments();
  return QStringList{Quoted(QFileInfo(entry).completeBaseName()), Quoted(commandLine),
                     Quoted(link.WorkingDirectory()), Quoted(link.IconPath()),
                     QStringLiteral("0"), QStringLiteral("0"), QString::number(link.IconIndex()),
                     QString::number(link.Hotkey())}
      .join(QLatin1Char(','));
}

std::optional<QString> Request(const QString&, const QString& item) {
  const QString crlf = QStringLiteral("\r\n");
  if (item.compare(QLatin1String("Groups"), Qt::CaseInsensitive) == 0) {
    QString reply;
    for (const QString& name : QDir(ApplicationsMenuFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
      if (LinkGroupExists(GroupFolder(name)))
        reply += name + crlf;
    return reply;
  }
  if (item.isEmpty() || item.contains(QLatin1Char('/')) || !QFileInfo(GroupFolder(item)).isDir())
    return std::nullopt;
  QStringList lines;
  for (const QString& entry : LinkGroupEntries(GroupFolder(item))) {
    const QString line = ItemLine(entry);
    if (!line.isEmpty())
      lines << line;
  }
  return Quoted(item) + QLatin1Char(',') + QString::number(lines.size()) + crlf +
         (lines.isEmpty() ? QString() : lines.join(crlf) + crlf);
}

}  // namespace

std::vector<TProgmanCommand> ParseProgmanCommands(const QString& text) {
  return TCommandReader(text).ReadAll();
}

TDdeServiceHandlers ProgmanServiceHandlers() {
  TDdeServiceHandlers handlers;
  handlers.topics = QStringList{QString::fromLatin1(kProgmanService)};
  handlers.execute = Execute;
  handlers.request = Request;
  return handlers;
}

QString ProgmanLastError() {
  const TProgmanState* state = FindProcessObject<TProgmanState>();
  return state ? state->lastError : QString();
}
