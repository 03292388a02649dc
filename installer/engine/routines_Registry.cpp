#include "installer/engine/routines_Registry.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryException.h"
#include "platform/rtl/StringList.h"
#include "platform/system/RestartService.h"

namespace {

constexpr HKEY kRootHandles[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER,
                                 HKEY_DYN_DATA,     HKEY_LOCAL_MACHINE,  HKEY_USERS};

bool IsRootKeys(TRootKeys root) { return root >= hkClassesRoot && root <= hkUsers; }

// Runs read on the opened key; def when the key or value is missing or any
// step fails.
template <typename T, typename Read>
T ReadValue(TRootKeys root, const QString& key, const QString& name, const T& def, Read read) {
  try {
    TRegistry registry;
    SetRegistryRoot(registry, root);
    if (!registry.KeyExists(key) || !registry.OpenKey(key, false) || !registry.ValueExists(name))
      return def;
    return read(registry);
  } catch (const Exception&) {
    return def;
  }
}

// Opens key for writing and runs write; any failure raises error, with
// the registry's own words for the cause on a line of their own.
template <typename Write>
void WriteValue(TRootKeys root, const QString& key, const Exception& error, Write write) {
  QString cause;
  try {
    TRegistry registry;
    SetRegistryRoot(registry, root);
    if (registry.OpenKey(key, true)) {
      write(registry);
      return;
    }
  } catch (const Exception& e) {
    cause = RegistryFailureText(e);
  }
  throw EIRCannotWriteValue(cause.isEmpty() ? error.Message() : error.Message() + u'\n' + cause);
}

void DeleteTree(TRegistry& registry, const QString& key) {
  TStringList names;
  if (registry.OpenKey(key, false)) {
    registry.GetKeyNames(&names);
    registry.CloseKey();
  }
  for (int i = 0; i < names.Count(); ++i) {
    try {
      DeleteTree(registry, key + QLatin1Char('\\') + names[i]);
    } catch (const Exception&) {
      // Errors are ignored; the walk goes on with the next sub-key.
    }
  }
  registry.DeleteKey(key);
}

QString FreeRunOnceName(TRegistry& registry, const QString& name) {
  QString candidate = name;
  for (int n = 1; registry.ValueExists(candidate); ++n)
    candidate = name + QString::number(n);
  return candidate;
}

}  // namespace

QString RegistryFailureText(const Exception& e) {
  QString text = e.Message();
  if (const auto* registry = dynamic_cast<const ERegistryException*>(&e)) {
    const QString cause = RegErrorText(registry->ErrorCode());
    if (registry->ErrorCode() != ERROR_SUCCESS && !text.endsWith(cause)) text += QStringLiteral(": ") + cause;
  }
  return text;
}

TRootKeys RootKeyFromHKEY(HKEY key, TRootKeys def) {
  for (int i = hkClassesRoot; i <= hkUsers; ++i) {
    if (kRootHandles[i] == key)
      return static_cast<TRootKeys>(i);
  }
  return def;
}

void SetRegistryRoot(TRegistry& registry, TRootKeys root) {
  if (IsRootKeys(root))
    registry.SetRootKey(kRootHandles[root]);
}

void WriteRegString(TRootKeys root, const QString& key, const QString& name, const QString& value) {
  const EIRCannotWriteValue error(QString::fromLatin1(kTextCannotWriteRegValue), {key, name, value});
  WriteValue(root, key, error, [&](TRegistry& registry) { registry.WriteString(name, value); });
}

void WriteRegInteger(TRootKeys root, const QString& key, const QString& name, int value) {
  const EIRCannotWriteValue error(key);
  WriteValue(root, key, error, [&](TRegistry& registry) { registry.WriteInteger(name, value); });
}

QString ReadRegString(TRootKeys root, const QString& key, const QString& name, const QString& def) {
  return ReadValue<QString>(root, key, name, def,
                            [&](TRegistry& registry) { return registry.ReadString(name); });
}

int ReadRegInteger(TRootKeys root, const QString& key, const QString& name, int def) {
  return ReadValue<int>(root, key, name, def,
                        [&](TRegistry& registry) { return registry.ReadInteger(name); });
}

void DeleteRegKeyTree(TRootKeys root, const QString& key) {
  // An empty key would open the root and wipe the whole hive.
  if (QString(key).remove(QLatin1Char('\\')).isEmpty())
    return;
  try {
    TRegistry registry;
    SetRegistryRoot(registry, root);
    DeleteTree(registry, key);
  } catch (const Exception&) {
  }
}

bool AddRunOnce(const QString& name, const QString& value, bool unique) {
  try {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    registry.SetLazyWrite(false);
    if (!registry.OpenKey(QString::fromLatin1(kRunOnceKey), true))
      return false;
    registry.WriteString(unique ? FreeRunOnceName(registry, name) : name, value);
    registry.CloseKey();
    // RunOnce commands run at the next login through the restart runner.
    ScheduleRestartRunner();
    return true;
  } catch (const Exception&) {
    return false;
  }
}
