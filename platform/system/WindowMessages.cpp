#include "platform/system/WindowMessages.h"

#include "platform/rtl/Exceptions.h"
#include "platform/system/MessageOutbox.h"
#include "platform/system/MessageWire.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowScan.h"

#include <algorithm>
#include <optional>

#include <unistd.h>

namespace {

std::optional<QString> TrustedFolder() {
  try {
    return WindowDirectoryFolder();
  } catch (const EOSError&) {
    return std::nullopt;
  }
}

std::uint32_t OwnPid() {
  return std::uint32_t(::getpid());
}

bool Publishes(const TWindowEntry& entry, std::uint32_t id) {
  return std::any_of(entry.windows.begin(), entry.windows.end(),
                     [id](const TPublishedWindow& w) { return w.id == id; });
}

thread_local LONG lastPostError = ERROR_SUCCESS;

bool Posted(LONG error) {
  lastPostError = error;
  return error == ERROR_SUCCESS;
}

}  // namespace

HWND FindWindow(const QString& className, const QString& title) {
  Q_UNUSED(className)
  TWindowDirectory* own = TWindowDirectory::Current();
  if (own)
    if (const std::uint32_t id = own->FindOwnWindow(title))
      return MakeWindowHandle(OwnPid(), id);
  const auto folder = TrustedFolder();
  if (!folder)
    return 0;
  for (const TWindowEntry& entry : Entries(*folder, own ? OwnPid() : 0))
    for (const TPublishedWindow& w : entry.windows)
      if (SameWindowTitle(w.title, title)) {
        if (!IsLive(*folder, entry))
          break;  // a process that ended: none of its windows count
        return MakeWindowHandle(entry.pid, w.id);
      }
  return 0;
}

bool PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const std::uint32_t pid = ProcessOfHandle(wnd);
  const std::uint32_t id = LocalIdOfHandle(wnd);
  if (pid == 0 || id == 0)
    return Posted(ERROR_INVALID_WINDOW_HANDLE);
  TWindowDirectory* own = TWindowDirectory::Current();
  if (own && pid == OwnPid()) {
    if (own->PostLocal(id, msg, wParam, lParam))
      return Posted(ERROR_SUCCESS);
    return Posted(own->HandleOf(id) ? ERROR_NOT_ENOUGH_QUOTA : ERROR_INVALID_WINDOW_HANDLE);
  }
  const auto folder = TrustedFolder();
  if (!folder)
    return Posted(ERROR_INVALID_WINDOW_HANDLE);
  const auto entry = LiveEntryOf(*folder, pid);
  if (!entry || !Publishes(*entry, id))
    return Posted(ERROR_INVALID_WINDOW_HANDLE);
  const QByteArray datagram = EncodeWireMessage({id, msg, wParam, lParam});
  switch (PostDatagram(*folder + QLatin1Char('/') + entry->socketName, datagram)) {
    case TPostResult::Sent:
    case TPostResult::Queued:
      return Posted(ERROR_SUCCESS);
    case TPostResult::Full:
      return Posted(ERROR_NOT_ENOUGH_QUOTA);
    case TPostResult::Gone:
      break;
  }
  return Posted(ERROR_INVALID_WINDOW_HANDLE);
}

LONG LastPostMessageError() {
  return lastPostError;
}
