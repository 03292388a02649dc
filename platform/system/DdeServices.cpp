#include "platform/system/DdeServices.h"

#include "platform/rtl/ProcessState.h"
#include "platform/system/ProgramGroupsProgman.h"

#include <utility>
#include <vector>

namespace {

struct TDdeServiceTable {
  std::vector<std::pair<QString, std::shared_ptr<const TDdeServiceHandlers>>> services;
};

// The table, holding the program manager from its first use.
TDdeServiceTable& Services() {
  if (TDdeServiceTable* table = FindProcessObject<TDdeServiceTable>())
    return *table;
  TDdeServiceTable& table = ProcessObject<TDdeServiceTable>();
  table.services.emplace_back(QString::fromLatin1(kProgmanService),
                              std::make_shared<const TDdeServiceHandlers>(ProgmanServiceHandlers()));
  return table;
}

auto Find(TDdeServiceTable& table, const QString& name) {
  auto it = table.services.begin();
  while (it != table.services.end() && it->first.compare(name, Qt::CaseInsensitive) != 0)
    ++it;
  return it;
}

}  // namespace

void DdeRegisterService(const QString& name, TDdeServiceHandlers handlers) {
  TDdeServiceTable& table = Services();
  if (name.isEmpty())
    throw EDdeServiceError(QStringLiteral("A DDE service needs a name"));
  if (Find(table, name) != table.services.end())
    throw EDdeServiceError(QStringLiteral("The DDE service \"%1\" is registered already").arg(name));
  table.services.emplace_back(name, std::make_shared<const TDdeServiceHandlers>(std::move(handlers)));
}

bool DdeUnregisterService(const QString& name) {
  TDdeServiceTable& table = Services();
  const auto it = Find(table, name);
  if (it == table.services.end())
    return false;
  table.services.erase(it);
  return true;
}

bool DdeServiceRegistered(const QString& name) {
  return FindDdeService(name) != nullptr;
}

QStringList DdeServiceNames() {
  QStringList names;
  for (const auto& service : Services().services)
    names << service.first;
  return names;
}

std::shared_ptr<const TDdeServiceHandlers> FindDdeService(const QString& name) {
  TDdeServiceTable& table = Services();
  const auto it = Find(table, name);
  return it == table.services.end() ? nullptr : it->second;
}
