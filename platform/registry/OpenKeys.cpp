#include "platform/registry/OpenKeys.h"

#include "platform/registry/RegistryChanges.h"
#include "platform/rtl/ProcessState.h"

#include <QStandardPaths>

#include <map>
#include <memory>
#include <optional>

namespace {

// Open hives and handles of this process: a process-wide object, closed
// with the application object (and by ResetProcessState).
struct RegistryState {
  std::map<HiveKind, std::unique_ptr<Hive>> hives;
  std::map<std::uintptr_t, KeyRef> handles;
  std::uintptr_t nextHandle = 0x1000;

  ~RegistryState() {
    std::lock_guard guard(RegistryLock());  // no caller is inside a hive meanwhile
    handles.clear();
    hives.clear();
  }
};

RegistryState& State() { return ProcessObject<RegistryState>(); }

QString HiveFileName(HiveKind kind) {
  switch (kind) {
    case HiveKind::CurrentUser:
      return QStringLiteral("HKCU.sqlite");
    case HiveKind::LocalMachine:
      return QStringLiteral("HKLM.sqlite");
    case HiveKind::Users:
      return QStringLiteral("HKU.sqlite");
    case HiveKind::CurrentConfig:
      return QStringLiteral("HKCC.sqlite");
  }
  return {};
}

// The hive, opened and seeded on its first use in this process.
Hive& GetHive(HiveKind kind) {
  RegistryState& state = State();
  auto& slot = state.hives[kind];
  if (!slot) {
    auto hive = Hive::Open(RegistryFolder() + QLatin1Char('/') + HiveFileName(kind));
    SeedHive(*hive, kind);
    slot = std::move(hive);
  }
  return *slot;
}

constexpr std::uintptr_t kClassesRoot = 0x80000000u;

std::optional<HiveKind> PredefinedHive(HKEY key) {
  switch (static_cast<std::uintptr_t>(key)) {
    case 0x80000000u:
    case 0x80000002u:
      return HiveKind::LocalMachine;
    case 0x80000001u:
      return HiveKind::CurrentUser;
    case 0x80000003u:
      return HiveKind::Users;
    case 0x80000005u:
      return HiveKind::CurrentConfig;
    default:
      return std::nullopt;
  }
}

bool IsPredefinedRange(HKEY key) {
  const auto v = static_cast<std::uintptr_t>(key);
  return v >= 0x80000000u && v <= 0x80000006u;
}

// HKEY_CLASSES_ROOT is HKLM\Software\Classes.
const char* const kClassesPath[] = {"Software", "Classes"};

}  // namespace

std::recursive_mutex& RegistryLock() {
  static std::recursive_mutex lock;
  return lock;
}

LONG ResolveKey(HKEY key, KeyTarget* out) {
  if (auto hive = PredefinedHive(key)) {
    *out = KeyTarget{&GetHive(*hive), KeyRef{*hive, Hive::kRoot, KEY_ALL_ACCESS, true},
                     static_cast<std::uintptr_t>(key) == kClassesRoot};
    return ERROR_SUCCESS;
  }
  if (IsPredefinedRange(key))
    return ERROR_INVALID_HANDLE;
  RegistryState& state = State();
  const auto it = state.handles.find(static_cast<std::uintptr_t>(key));
  if (it == state.handles.end())
    return ERROR_INVALID_HANDLE;
  *out = KeyTarget{&GetHive(it->second.hive), it->second};
  return ERROR_SUCCESS;
}

std::optional<KeyId> FindClassesRoot(Hive& hive, HiveKind kind, bool create) {
  KeyId key = Hive::kRoot;
  QStringList missing;
  KeyId parent = key;
  for (const char* part : kClassesPath) {
    const QString name = QString::fromLatin1(part);
    auto child = missing.isEmpty() ? hive.FindChild(key, name) : std::nullopt;
    if (!child && !create)
      return std::nullopt;
    if (child) {
      key = *child;
      parent = key;
    } else {
      missing.append(name);
    }
  }
  if (missing.isEmpty())
    return key;
  registry_detail::RecordKeysToMake(hive, kind, parent, missing);
  for (const QString& name : missing)
    parent = hive.AddChild(parent, name);
  return parent;
}

HKEY NewKeyHandle(HiveKind hive, KeyId key, REGSAM access) {
  RegistryState& state = State();
  const std::uintptr_t value = state.nextHandle++;
  state.handles[value] = KeyRef{hive, key, access, false};
  return HKEY{value};
}

bool CloseKeyHandle(HKEY key) {
  if (PredefinedHive(key))
    return true;
  return State().handles.erase(static_cast<std::uintptr_t>(key)) > 0;
}

QString RegistryFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/qx/registry");
}
