#include "platform/system/WindowScan.h"

#include "platform/system/UnixSocket.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <csignal>

namespace {

// The process id an entry file is named after; 0 for other files.
std::uint32_t PidOfEntryFile(const QString& fileName) {
  static const QString suffix = QStringLiteral(".entry");
  if (!fileName.endsWith(suffix))
    return 0;
  bool ok = false;
  const uint pid = fileName.chopped(suffix.size()).toUInt(&ok);
  if (!ok || pid == 0 || WindowEntryFileName(pid) != fileName)
    return 0;
  return pid;
}

std::vector<std::uint32_t> EntryPids(const QString& folder) {
  std::vector<std::uint32_t> pids;
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.entry")}, QDir::Files | QDir::Hidden);
  for (const QString& name : names)
    if (const std::uint32_t pid = PidOfEntryFile(name))
      pids.push_back(pid);
  std::sort(pids.begin(), pids.end());
  return pids;
}

}  // namespace

bool ProcessExists(std::uint32_t pid) {
  if (pid == 0 || pid > std::uint32_t(INT32_MAX))
    return false;
  return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

std::optional<TWindowEntry> EntryOf(const QString& folder, std::uint32_t pid) {
  auto entry = ReadWindowEntry(folder + QLatin1Char('/') + WindowEntryFileName(pid));
  if (!entry || entry->pid != pid)
    return std::nullopt;
  return entry;
}

std::vector<TWindowEntry> Entries(const QString& folder, std::uint32_t skipPid) {
  std::vector<TWindowEntry> entries;
  for (const std::uint32_t pid : EntryPids(folder))
    if (pid != skipPid)
      if (auto entry = EntryOf(folder, pid))
        entries.push_back(std::move(*entry));
  return entries;
}

bool IsLive(const QString& folder, const TWindowEntry& entry) {
  return ProcessExists(entry.pid) &&
         SocketAnswers(folder + QLatin1Char('/') + entry.socketName);
}

std::optional<TWindowEntry> LiveEntryOf(const QString& folder, std::uint32_t pid) {
  auto entry = EntryOf(folder, pid);
  if (!entry || !IsLive(folder, *entry))
    return std::nullopt;
  return entry;
}

// An entry is written only while its socket is bound and removed before the
// socket closes, so an entry whose socket does not answer is left over from
// a process that ended (its id may since have gone to another program).
void RemoveStaleEntries(const QString& folder) {
  for (const std::uint32_t pid : EntryPids(folder)) {
    const auto entry = EntryOf(folder, pid);
    const bool stale = entry ? !IsLive(folder, *entry) : !ProcessExists(pid);
    if (!stale)
      continue;
    // Only the socket named after the process: an entry naming another
    // process's socket must not take that one down.
    const QString socketPath = folder + QLatin1Char('/') + WindowSocketName(pid);
    if (!SocketAnswers(socketPath))
      QFile::remove(socketPath);
    QFile::remove(folder + QLatin1Char('/') + WindowEntryFileName(pid));
  }
}
