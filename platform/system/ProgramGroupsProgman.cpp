#include "platform/system/ProgramGroupsProgman.h"

std::vector<TProgmanCommand> ParseProgmanCommands(const QString&) {
  throw EProgmanCommandError(QStringLiteral("Not built yet"));
}

TDdeServiceHandlers ProgmanServiceHandlers() {
  return {};
}

QString ProgmanLastError() {
  return {};
}
