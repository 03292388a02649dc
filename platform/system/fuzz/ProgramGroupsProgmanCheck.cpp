#include "platform/system/fuzz/ProgramGroupsProgmanCheck.h"

#include "platform/system/ProgramGroupsProgman.h"
#include "tests/support/FuzzCheck.h"

namespace {

QString WrittenBack(const std::vector<TProgmanCommand>& commands) {
  QString text;
  for (const TProgmanCommand& command : commands)
    text += QLatin1Char('[') + command.name + QLatin1Char('(') +
            command.rawArgs.join(QLatin1Char(',')) + QStringLiteral(")]");
  return text;
}

QString Check(const QByteArray& bytes) {
  std::vector<TProgmanCommand> commands;
  try {
    commands = ParseProgmanCommands(QString::fromUtf8(bytes));
  } catch (const EProgmanCommandError&) {
    return {};
  }
  std::vector<TProgmanCommand> again;
  try {
    again = ParseProgmanCommands(WrittenBack(commands));
  } catch (const EProgmanCommandError& e) {
    return QStringLiteral("commands written back do not parse: ") + e.Message();
  }
  if (again.size() != commands.size())
    return QStringLiteral("commands written back parse to another count");
  for (std::size_t i = 0; i < again.size(); ++i)
    if (again[i].name != commands[i].name || again[i].args != commands[i].args ||
        again[i].rawArgs != commands[i].rawArgs)
      return QStringLiteral("command %1 written back parses differently").arg(i + 1);
  return {};
}

}  // namespace

QString CheckProgmanCommands(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
