#include "installer/engine/InstallHost.h"

#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>

namespace {

struct THostHolder {
  std::unique_ptr<TInstallHost> host;
  int busyDepth = 0;
};

}  // namespace

std::unique_ptr<TInstallHost> SetInstallHost(std::unique_ptr<TInstallHost> host) {
  std::unique_ptr<TInstallHost> before = std::move(ProcessObject<THostHolder>().host);
  ProcessObject<THostHolder>().host = std::move(host);
  return before;
}

TInstallHost* CurrentInstallHost() {
  THostHolder* holder = FindProcessObject<THostHolder>();
  return holder != nullptr ? holder->host.get() : nullptr;
}

void ProcessInstallMessages() {
  if (TInstallHost* host = CurrentInstallHost())
    host->ProcessMessages();
}

QString InstallExeName() {
  if (TInstallHost* host = CurrentInstallHost())
    return host->ExeName();
  return QCoreApplication::applicationFilePath();
}

TBusyCursorScope::TBusyCursorScope() {
  THostHolder& holder = ProcessObject<THostHolder>();
  if (holder.busyDepth++ == 0 && holder.host)
    holder.host->SetBusyCursor(true);
}

TBusyCursorScope::~TBusyCursorScope() {
  THostHolder* holder = FindProcessObject<THostHolder>();
  if (holder == nullptr)
    return;
  if (--holder->busyDepth == 0 && holder->host)
    holder->host->SetBusyCursor(false);
}
