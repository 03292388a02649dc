#pragma once
// The table of services that DDE conversations of this process reach.
//
// A service is a name (compared without regard to case) with handlers. The
// table is a process object; on its first use it holds the program
// manager's service "PROGMAN" (ProgramGroupsProgman.h), as a shell would.
// A handler that raises is taken as a refusal, so no exception reaches the
// client.

#include "platform/rtl/Exceptions.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What a service answers to an execute.
enum class TDdeExecuteResult { Processed, NotProcessed, Busy };

struct TDdeServiceHandlers {
  // The topics the service accepts (compared without regard to case);
  // empty: any topic.
  QStringList topics;
  std::function<TDdeExecuteResult(const QString& topic, const QString& command)> execute;
  // The item's data; nullopt: none. Empty: the service has no items.
  std::function<std::optional<QString>(const QString& topic, const QString& item)> request;
};

// Registering a name that is taken.
QX_EXCEPTION(EDdeServiceError, Exception);

// Adds the service; EDdeServiceError when the name is registered already.
void DdeRegisterService(const QString& name, TDdeServiceHandlers handlers);
// Removes the service; false when there is none of that name. Open
// conversations with it fail from then on (DMLERR_SERVER_DIED).
bool DdeUnregisterService(const QString& name);
bool DdeServiceRegistered(const QString& name);
// The registered names, in registration order.
QStringList DdeServiceNames();
// The service's handlers (kept alive while the caller holds them, even when
// the service goes meanwhile); null when there is none.
std::shared_ptr<const TDdeServiceHandlers> FindDdeService(const QString& name);
