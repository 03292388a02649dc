#pragma once
// The registry's process-wide state: the hives opened so far and the handles
// handed out, one object of the process-wide holder (ProcessState.h): closed
// with the application object and by ResetProcessState (tests move
// XDG_DATA_HOME between cases). Callers hold RegistryLock() throughout.

#include "platform/registry/Hive.h"
#include "platform/registry/RegistryApi.h"
#include "platform/registry/ShellFolders.h"

#include <mutex>
#include <optional>

// What a handle stands for.
struct KeyRef {
  HiveKind hive;
  KeyId key;
  REGSAM access;
  bool predefined;  // HKEY_CURRENT_USER and the like
};

// A resolved handle: its open hive and key. For HKEY_CLASSES_ROOT the key
// is not known yet (classesRoot): it depends on what the hive holds, so it is
// found inside the transaction of the call that uses it (FindClassesRoot).
struct KeyTarget {
  Hive* hive;
  KeyRef ref;
  bool classesRoot = false;
};

std::recursive_mutex& RegistryLock();

// Resolves a handle, opening (and seeding) its hive on first use; a hive file
// that cannot be opened raises ERegistryException. ERROR_INVALID_HANDLE for
// a handle that is none of ours (or HKEY_DYN_DATA, HKEY_PERFORMANCE_DATA).
// Reads nothing of the hive.
LONG ResolveKey(HKEY key, KeyTarget* out);

// HKEY_CLASSES_ROOT's key (HKLM\Software\Classes); nullopt when it is not
// there, unless create (inside a write transaction) makes what is missing.
std::optional<KeyId> FindClassesRoot(Hive& hive, HiveKind kind, bool create);

HKEY NewKeyHandle(HiveKind hive, KeyId key, REGSAM access);

// False when the handle is none of ours; predefined keys close silently.
bool CloseKeyHandle(HKEY key);
