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

// What an entry file holds. Unreadable says nothing about the entry (the
// reader ran out of descriptors, say); Garbage is a file that was read
// whole and is not a valid entry of the process it is named after.
enum class TEntryFile { Missing, Unreadable, Garbage, Valid };

TEntryFile ExamineEntryFile(const QString& folder, std::uint32_t pid, TWindowEntry& entry) {
  bool missing = false;
  const auto bytes =
      ReadWindowEntryBytes(folder + QLatin1Char('/') + WindowEntryFileName(pid), &missing);
  if (!bytes)
    return missing ? TEntryFile::Missing : TEntryFile::Unreadable;
  auto decoded = DecodeWindowEntry(*bytes);
  if (!decoded || decoded->pid != pid)
    return TEntryFile::Garbage;
  entry = std::move(*decoded);
  return TEntryFile::Valid;
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
// Entries are replaced by rename, so a file under an entry's name is never
// one still being written: one that is not a valid entry is garbage whoever
// has the process id.
void RemoveStaleEntries(const QString& folder) {
  for (const std::uint32_t pid : EntryPids(folder)) {
    TWindowEntry entry;
    const TEntryFile state = ExamineEntryFile(folder, pid, entry);
    const bool stale = state == TEntryFile::Garbage ||
                       (state == TEntryFile::Valid && !IsLive(folder, entry)) ||
                       (state == TEntryFile::Unreadable && !ProcessExists(pid));
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
