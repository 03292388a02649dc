#include "platform/system/RestartService.h"

#include "platform/system/LastError.h"

bool MoveFileEx(const QString&, const QString&, DWORD) {
  SetLastError(ERROR_INVALID_FUNCTION);
  return false;
}
std::vector<TPendingMove> PendingMoves() { return {}; }
QString WininitPath() { return {}; }
void AddWininitRename(const QString&, const QString&) {}
void ScheduleRestartRunner() {}
QString RestartRunnerPath() { return {}; }
QString RestartRunnerAutostartPath() { return {}; }
bool TRestartReport::AllDone() const { return true; }
TRestartReport RunRestartWork() { return {}; }
