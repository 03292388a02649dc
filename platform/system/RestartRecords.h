#pragma once
// The registry side of the restart service (RestartService.h), shared by
// its registering and its running half.

#include "platform/registry/RegistryApi.h"

#include <QByteArray>
#include <QString>

#include <vector>

// An open key, closed when it goes.
struct TRegKey {
  HKEY handle{};
  TRegKey() = default;
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  ~TRegKey() {
    if (handle != HKEY{})
      RegCloseKey(handle);
  }
};

struct TRegValue {
  QString name;
  DWORD type = REG_NONE;
  QByteArray data;
};

// The values of root\path in creation order; none when it cannot be read.
std::vector<TRegValue> ReadValues(HKEY root, const QString& path);

// One pending move's record written, or removed, in one transaction and
// flushed; ERROR_SUCCESS or the registry's code.
LONG WritePendingMove(const QString& id, const QByteArray& record);
LONG RemovePendingMove(const QString& id);
