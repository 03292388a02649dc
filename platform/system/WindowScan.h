#pragma once
// Reading the window directory folder: which entries belong to processes
// that still run and listen.

#include "platform/system/WindowEntry.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// False only when no process has this id (kill(pid, 0) gives ESRCH).
bool ProcessExists(std::uint32_t pid);

// The entry file of one process, when it is valid and names that process.
std::optional<TWindowEntry> EntryOf(const QString& folder, std::uint32_t pid);

// Every valid entry of the folder in ascending process id, except skipPid's.
// Entries of processes that have ended may be among them: see IsLive.
std::vector<TWindowEntry> Entries(const QString& folder, std::uint32_t skipPid);

// True when the entry's process runs and answers on its socket.
bool IsLive(const QString& folder, const TWindowEntry& entry);

// EntryOf, when the entry is live.
std::optional<TWindowEntry> LiveEntryOf(const QString& folder, std::uint32_t pid);

// Deletes the entry and socket files of processes that no longer exist or
// no longer listen.
void RemoveStaleEntries(const QString& folder);
