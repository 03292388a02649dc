// The call layer: stored bytes, name rules, order, rights, deletion, handles.
#include "platform/registry/RegistryApi.h"
#include "platform/rtl/ProcessState.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Opens (creating) a key below HKCU with all rights; closes it at the end.
class Key {
 public:
  explicit Key(const QString& path, HKEY root = HKEY_CURRENT_USER, REGSAM access = KEY_ALL_ACCESS) {
    EXPECT_EQ(RegCreateKeyEx(root, path, access, &key_), ERROR_SUCCESS);
  }
  ~Key() { RegCloseKey(key_); }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_{};
};

QByteArray Query(HKEY key, const QString& name, DWORD* type = nullptr) {
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(key, name, type, &data), ERROR_SUCCESS) << name.toStdString();
  return data;
}

QStringList SubKeys(HKEY key) {
  QStringList names;
  QString name;
  for (DWORD i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i)
    names.append(name);
  return names;
}

QStringList ValueNames(HKEY key) {
  QStringList names;
  QString name;
  for (DWORD i = 0; RegEnumValue(key, i, &name) == ERROR_SUCCESS; ++i)
    names.append(name);
  return names;
}

struct TypedCase {
  DWORD type;
  QByteArray data;
};

TEST(RegistryValues, EachTypeKeepsItsBytesAndType) {
  const TypedCase cases[] = {
      {REG_NONE, QByteArray()},
      {REG_SZ, QByteArray("abc\0", 4)},
      {REG_SZ, QByteArray("abc")},
      {REG_EXPAND_SZ, QByteArray("%HOME%/x\0", 9)},
      {REG_BINARY, QByteArray("\x00\x01\xff\x00", 4)},
      {REG_DWORD, QByteArray("\x2a\x00\x00\x00", 4)},
      {REG_MULTI_SZ, QByteArray("a\0bc\0\0", 6)},
      {REG_BINARY, QByteArray(70000, '\x5a')},
  };
  Key key(QStringLiteral("Software\\Types"));
  int n = 0;
  for (const TypedCase& c : cases) {
    const QString name = QStringLiteral("v%1").arg(n++);
    ASSERT_EQ(RegSetValueEx(key.get(), name, c.type, c.data), ERROR_SUCCESS);
    DWORD type = 99;
    EXPECT_EQ(Query(key.get(), name, &type), c.data) << n;
    EXPECT_EQ(type, c.type) << n;
  }
}

TEST(RegistryValues, BufferQueryReportsSizeAndMoreData) {
  Key key(QStringLiteral("Software\\Buffer"));
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("v"), REG_BINARY, "123456", 6), ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueEx(key.get(), QStringLiteral("v"), nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, 6u);
  char small[4] = {};
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key.get(), QStringLiteral("v"), nullptr, small, &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 6u);
  char big[8] = {};
  size = sizeof big;
  EXPECT_EQ(RegQueryValueEx(key.get(), QStringLiteral("v"), nullptr, big, &size), ERROR_SUCCESS);
  EXPECT_EQ(QByteArray(big, 6), QByteArray("123456"));
}

TEST(RegistryValues, MissingValueIsFileNotFound) {
  Key key(QStringLiteral("Software\\Missing"));
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(key.get(), QStringLiteral("nope"), nullptr, &data),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValue(key.get(), QStringLiteral("nope")), ERROR_FILE_NOT_FOUND);
}

TEST(RegistryNames, KeysMatchAcrossCaseIncludingNordicLetters) {
  HKEY created{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Åland\\Öljy"),
                           KEY_ALL_ACCESS, &created),
            ERROR_SUCCESS);
  RegCloseKey(created);
  HKEY opened{};
  EXPECT_EQ(
      RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("SOFTWARE\\åLAND\\öljy"), KEY_READ, &opened),
      ERROR_SUCCESS);
  RegCloseKey(opened);
  DWORD disposition = 0;
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("software\\ÅLAND"), KEY_ALL_ACCESS,
                           &created, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(SubKeys(created), QStringList{QStringLiteral("Öljy")});
  RegCloseKey(created);
}

TEST(RegistryNames, ValueNamesMatchAcrossCaseAndKeepFirstSpelling) {
  Key key(QStringLiteral("Software\\Names"));
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("Väri"), REG_SZ, QByteArray("a")),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("VÄRI"), REG_SZ, QByteArray("b")),
            ERROR_SUCCESS);
  EXPECT_EQ(Query(key.get(), QStringLiteral("väri")), QByteArray("b"));
  EXPECT_EQ(ValueNames(key.get()), QStringList{QStringLiteral("Väri")});
}

TEST(RegistryOrder, SubKeysSortCaseInsensitivelyWithTheirSpelling) {
  Key key(QStringLiteral("Software\\Order"));
  for (const char* name : {"beta", "Alpha", "GAMMA", "alpha2", "Delta"}) {
    HKEY child{};
    ASSERT_EQ(RegCreateKeyEx(key.get(), QString::fromLatin1(name), KEY_ALL_ACCESS, &child),
              ERROR_SUCCESS);
    RegCloseKey(child);
  }
  EXPECT_EQ(SubKeys(key.get()), (QStringList{"Alpha", "alpha2", "beta", "Delta", "GAMMA"}));
}

TEST(RegistryOrder, ValuesKeepCreationOrderAndOverwriteKeepsPlace) {
  Key key(QStringLiteral("Software\\ValueOrder"));
  for (const char* name : {"zeta", "alpha", "Mid"})
    ASSERT_EQ(RegSetValueEx(key.get(), QString::fromLatin1(name), REG_SZ, QByteArray("x")),
              ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("ZETA"), REG_SZ, QByteArray("y")),
            ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValue(key.get(), QStringLiteral("alpha")), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("alpha"), REG_SZ, QByteArray("z")),
            ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key.get()), (QStringList{"zeta", "Mid", "alpha"}));
}

QString ValueAt(HKEY key, DWORD index) {
  QString name;
  return RegEnumValue(key, index, &name) == ERROR_SUCCESS ? name : QStringLiteral("<none>");
}

QString SubKeyAt(HKEY key, DWORD index) {
  QString name;
  return RegEnumKeyEx(key, index, &name) == ERROR_SUCCESS ? name : QStringLiteral("<none>");
}

TEST(RegistryOrder, AnIndexIsAPositionInTheListAsItIsNow) {
  // Enumeration continues from where the last index stopped; any other
  // index, another key or a change in between must still count positions.
  Key a(QStringLiteral("Software\\EnumA"));
  Key b(QStringLiteral("Software\\EnumB"));
  for (const char* name : {"v0", "v1", "v2", "v3"}) {
    ASSERT_EQ(RegSetValueEx(a.get(), QString::fromLatin1(name), REG_SZ, QByteArray("x")),
              ERROR_SUCCESS);
    HKEY child{};
    ASSERT_EQ(RegCreateKeyEx(b.get(), QString::fromLatin1(name), KEY_ALL_ACCESS, &child),
              ERROR_SUCCESS);
    RegCloseKey(child);
  }
  EXPECT_EQ(ValueAt(a.get(), 0), QStringLiteral("v0"));
  EXPECT_EQ(SubKeyAt(b.get(), 0), QStringLiteral("v0"));
  EXPECT_EQ(ValueAt(a.get(), 1), QStringLiteral("v1"));
  EXPECT_EQ(SubKeyAt(b.get(), 1), QStringLiteral("v1"));
  EXPECT_EQ(ValueAt(a.get(), 1), QStringLiteral("v1"));
  EXPECT_EQ(ValueAt(a.get(), 3), QStringLiteral("v3"));
  EXPECT_EQ(ValueAt(a.get(), 4), QStringLiteral("<none>"));
  EXPECT_EQ(ValueAt(a.get(), 0), QStringLiteral("v0"));
  // A value before the last one returned goes: index 1 is now v2.
  ASSERT_EQ(RegDeleteValue(a.get(), QStringLiteral("v0")), ERROR_SUCCESS);
  EXPECT_EQ(ValueAt(a.get(), 1), QStringLiteral("v2"));
  ASSERT_EQ(RegDeleteKey(b.get(), QStringLiteral("v0")), ERROR_SUCCESS);
  EXPECT_EQ(SubKeyAt(b.get(), 2), QStringLiteral("v3"));
  EXPECT_EQ(SubKeyAt(b.get(), 3), QStringLiteral("<none>"));
}

TEST(RegistryAccess, ReadHandleRefusesEveryWrite) {
  { Key make(QStringLiteral("Software\\Rights")); }
  HKEY key{};
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Rights"), KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key, QStringLiteral("v"), REG_SZ, QByteArray("x")), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(key, QStringLiteral("v")), ERROR_ACCESS_DENIED);
  HKEY child{};
  EXPECT_EQ(RegCreateKeyEx(key, QStringLiteral("child"), KEY_ALL_ACCESS, &child),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(child, HKEY{});
  EXPECT_EQ(RegQueryInfoKey(key, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(RegistryAccess, WriteHandleCannotReadOrEnumerate) {
  { Key make(QStringLiteral("Software\\WriteOnly")); }
  HKEY key{};
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\WriteOnly"), KEY_WRITE, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(key, QStringLiteral("v"), REG_SZ, QByteArray("x")), ERROR_SUCCESS);
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(key, QStringLiteral("v"), nullptr, &data), ERROR_ACCESS_DENIED);
  QString name;
  EXPECT_EQ(RegEnumKeyEx(key, 0, &name), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegEnumValue(key, 0, &name), ERROR_ACCESS_DENIED);
  RegCloseKey(key);
}

TEST(RegistryDelete, KeyWithSubKeysIsRefusedAndKept) {
  { Key make(QStringLiteral("Software\\Tree\\Leaf")); }
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tree")), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tree\\Leaf")), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tree")), ERROR_SUCCESS);
  HKEY key{};
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Tree"), KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Tree")),
            ERROR_FILE_NOT_FOUND);
}

TEST(RegistryDelete, TreeGoesInOneCallWithItsValues) {
  {
    Key leaf(QStringLiteral("Software\\Big\\A\\B"));
    ASSERT_EQ(RegSetValueEx(leaf.get(), QStringLiteral("v"), REG_SZ, QByteArray("x")),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(RegDeleteTree(HKEY_CURRENT_USER, QStringLiteral("Software\\Big")), ERROR_SUCCESS);
  HKEY key{};
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Big"), KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  // Recreating the path finds no leftover value.
  Key again(QStringLiteral("Software\\Big\\A\\B"));
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(again.get(), QStringLiteral("v"), nullptr, &data),
            ERROR_FILE_NOT_FOUND);
}

TEST(RegistryDelete, HiveRootCannotBeDeleted) {
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QString()), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, QString()), ERROR_ACCESS_DENIED);
}

TEST(RegistryHandles, KeyDeletedElsewhereGivesKeyDeleted) {
  Key stale(QStringLiteral("Software\\Stale"));
  ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, QStringLiteral("Software\\Stale")), ERROR_SUCCESS);
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(stale.get(), QStringLiteral("v"), nullptr, &data), ERROR_KEY_DELETED);
  EXPECT_EQ(RegSetValueEx(stale.get(), QStringLiteral("v"), REG_SZ, QByteArray("x")),
            ERROR_KEY_DELETED);
  // A new key of the same name is not reached through the old handle.
  Key fresh(QStringLiteral("Software\\Stale"));
  ASSERT_EQ(RegSetValueEx(fresh.get(), QStringLiteral("v"), REG_SZ, QByteArray("x")),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueEx(stale.get(), QStringLiteral("v"), nullptr, &data), ERROR_KEY_DELETED);
}

TEST(RegistryHandles, ClosedAndUnknownHandlesAreInvalid) {
  HKEY key{};
  ASSERT_EQ(
      RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Closed"), KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(key, QStringLiteral("v"), nullptr, &data), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueEx(HKEY{}, QStringLiteral("v"), nullptr, &data), ERROR_INVALID_HANDLE);
}

TEST(RegistryRoots, DynDataIsRefused) {
  HKEY key{};
  EXPECT_EQ(RegOpenKeyEx(HKEY_DYN_DATA, QString(), KEY_READ, &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCreateKeyEx(HKEY_DYN_DATA, QStringLiteral("x"), KEY_ALL_ACCESS, &key),
            ERROR_INVALID_HANDLE);
}

TEST(RegistryRoots, ClassesRootIsMachineSoftwareClasses) {
  Key viaClasses(QStringLiteral(".vrb"), HKEY_CLASSES_ROOT);
  ASSERT_EQ(RegSetValueEx(viaClasses.get(), QString(), REG_SZ, QByteArray("Puzzle")),
            ERROR_SUCCESS);
  HKEY key{};
  ASSERT_EQ(
      RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Classes\\.VRB"), KEY_READ, &key),
      ERROR_SUCCESS);
  EXPECT_EQ(Query(key, QString()), QByteArray("Puzzle"));
  RegCloseKey(key);
}

TEST(RegistryRoots, EachHiveHasItsOwnFile) {
  const std::pair<HKEY, const char*> roots[] = {{HKEY_CURRENT_USER, "HKCU.sqlite"},
                                                {HKEY_LOCAL_MACHINE, "HKLM.sqlite"},
                                                {HKEY_USERS, "HKU.sqlite"},
                                                {HKEY_CURRENT_CONFIG, "HKCC.sqlite"}};
  for (const auto& [root, file] : roots) {
    Key key(QStringLiteral("Probe"), root);
    ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("v"), REG_DWORD, QByteArray(4, '\1')),
              ERROR_SUCCESS);
    EXPECT_TRUE(QFileInfo::exists(RegistryFolder() + QLatin1Char('/') + QLatin1String(file)))
        << file;
  }
  HKEY key{};
  EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Probe"), KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD values = 0;
  EXPECT_EQ(RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_EQ(values, 1u);
  RegCloseKey(key);
}

TEST(RegistryInfo, CountsAndLongestLengths) {
  Key key(QStringLiteral("Software\\Info"));
  { Key a(QStringLiteral("Software\\Info\\ab")); }
  { Key b(QStringLiteral("Software\\Info\\abcdé")); }
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("n"), REG_BINARY, QByteArray(10, 'x')),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key.get(), QStringLiteral("name3"), REG_BINARY, QByteArray(3, 'x')),
            ERROR_SUCCESS);
  DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
  ASSERT_EQ(RegQueryInfoKey(key.get(), &subKeys, &maxSub, &values, &maxName, &maxData),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxSub, 5u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxName, 5u);
  EXPECT_EQ(maxData, 10u);
}

TEST(RegistryState, ResetDropsHandlesButKeepsData) {
  HKEY key{};
  ASSERT_EQ(
      RegCreateKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Kept"), KEY_ALL_ACCESS, &key),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(key, QStringLiteral("v"), REG_SZ, QByteArray("x")), ERROR_SUCCESS);
  ASSERT_EQ(RegFlushKey(key), ERROR_SUCCESS);
  ResetProcessState();
  QByteArray data;
  EXPECT_EQ(RegQueryValueEx(key, QStringLiteral("v"), nullptr, &data), ERROR_INVALID_HANDLE);
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Software\\Kept"), KEY_READ, &key),
            ERROR_SUCCESS);
  EXPECT_EQ(Query(key, QStringLiteral("v")), QByteArray("x"));
  RegCloseKey(key);
}

}  // namespace
