#pragma once
// A folder that stands for a small disk in this process, for the full-disk
// tests where no tmpfs can be mounted (see TestDisk.h). The blocks of every
// file below the folder count against the disk's size; what the registry
// writes there takes room only through hooks that refuse what does not fit:
// SQLite through a file layer over the unix VFS (made the default VFS), the
// hive's reserve and log through the hive's allocation hook. Each hooked
// write and allocation, and each filling, is checked and done under one lock
// of the disk, so processes sharing it never take the same room twice.
// Syncs are skipped (durability is not what it stands for), and the growth
// of a hive's shared-memory index (mapped when the hive is opened, before a
// test fills the disk) is not counted. Child processes find the disk
// through the environment.

#include <QString>

#include <cstdint>

namespace regtest {

// step (may be null) becomes the hive's step hook.
void StartHookedDisk(const QString& folder, std::int64_t bytes, void (*step)(const char* name));
void EndHookedDisk();

// Names the running hooked disk in the environment, or none.
void SetHookedDiskEnvironment(bool set);

// Allocates to the file fd all the room the hooked disk has left.
void FillHookedDisk(int fd);

// In a child process: uses the hooked disk that the environment names, if
// any, and step (may be null) as the hive's step hook.
void UseDiskOfEnvironment(void (*step)(const char* name));

}  // namespace regtest
