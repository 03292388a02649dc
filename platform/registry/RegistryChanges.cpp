#include "platform/registry/RegistryChanges.h"

#include "platform/rtl/ProcessState.h"

namespace {

struct TRegistryRecorderSlot {
  TRegistryChangeRecorder* recorder = nullptr;
};

// The path of key from the hive's root: its names joined by '\'.
QString KeyPath(Hive& hive, KeyId key) {
  QStringList parts;
  while (key != Hive::kRoot) {
    SqliteStatement st(hive.Db(), "SELECT parent, name FROM keys WHERE id = ?");
    st.Bind(1, key);
    if (!st.Step() || st.IsNull(0))
      break;
    parts.prepend(st.Text(1));
    key = st.Int(0);
  }
  return parts.join(QLatin1Char('\\'));
}

QString Joined(const QString& path, const QString& name) {
  return path.isEmpty() ? name : path + QLatin1Char('\\') + name;
}

QList<HiveValue> ValuesOf(Hive& hive, KeyId key) {
  QList<HiveValue> values;
  SqliteStatement st(hive.Db(), "SELECT name, type, data FROM vals WHERE key = ? ORDER BY id");
  st.Bind(1, key);
  while (st.Step())
    values.append({st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)});
  return values;
}

// key and everything below it, parents before their children.
void Snapshot(Hive& hive, KeyId key, const QString& path, QList<TRegistryKeySnapshot>& out) {
  out.append({path, ValuesOf(hive, key)});
  QList<std::pair<KeyId, QString>> children;
  {
    SqliteStatement st(hive.Db(), "SELECT id, name FROM keys WHERE parent = ? ORDER BY folded");
    st.Bind(1, key);
    while (st.Step())
      children.append({st.Int(0), st.Text(1)});
  }
  for (const auto& [child, name] : children)
    Snapshot(hive, child, Joined(path, name), out);
}

}  // namespace

TRegistryChangeRecorder* SetRegistryChangeRecorder(TRegistryChangeRecorder* recorder) {
  TRegistryRecorderSlot& slot = ProcessObject<TRegistryRecorderSlot>();
  TRegistryChangeRecorder* before = slot.recorder;
  slot.recorder = recorder;
  return before;
}

TRegistryChangeRecorder* CurrentRegistryChangeRecorder() {
  const TRegistryRecorderSlot* slot = FindProcessObject<TRegistryRecorderSlot>();
  return slot != nullptr ? slot->recorder : nullptr;
}

QString HiveRootName(HiveKind hive) {
  switch (hive) {
    case HiveKind::CurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case HiveKind::LocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HiveKind::Users: return QStringLiteral("HKEY_USERS");
    case HiveKind::CurrentConfig: return QStringLiteral("HKEY_CURRENT_CONFIG");
  }
  return QString();
}

namespace registry_detail {

void RecordValueChange(Hive& hive, HiveKind kind, KeyId key, const QString& name) {
  if (TRegistryChangeRecorder* recorder = CurrentRegistryChangeRecorder())
    recorder->ValueToChange(kind, KeyPath(hive, key), name, hive.Value(key, name));
}

void RecordKeysToMake(Hive& hive, HiveKind kind, KeyId parent, const QStringList& parts) {
  TRegistryChangeRecorder* recorder = CurrentRegistryChangeRecorder();
  if (recorder == nullptr || parts.isEmpty())
    return;
  QString path = KeyPath(hive, parent);
  QStringList keys;
  for (const QString& part : parts) {
    path = Joined(path, part);
    keys.append(path);
  }
  recorder->KeysToMake(kind, keys);
}

void RecordKeysToDelete(Hive& hive, HiveKind kind, KeyId key) {
  TRegistryChangeRecorder* recorder = CurrentRegistryChangeRecorder();
  if (recorder == nullptr)
    return;
  QList<TRegistryKeySnapshot> keys;
  Snapshot(hive, key, KeyPath(hive, key), keys);
  recorder->KeysToDelete(kind, keys);
}

}  // namespace registry_detail
