// Several calls as one transaction: all of them kept, or none.
#include "platform/registry/RegistryApi.h"

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\QxTransaction");

LONG Set(HKEY root, const QString& name, const QByteArray& data) {
  HKEY key{};
  LONG rc = RegCreateKeyEx(root, kKey, KEY_ALL_ACCESS, &key);
  if (rc == ERROR_SUCCESS) rc = RegSetValueEx(key, name, REG_BINARY, data);
  RegCloseKey(key);
  return rc;
}

// The value's data, or "missing".
QByteArray Get(HKEY root, const QString& name) {
  HKEY key{};
  QByteArray data = "missing";
  if (RegOpenKeyEx(root, kKey, KEY_READ, &key) == ERROR_SUCCESS) {
    if (RegQueryValueEx(key, name, nullptr, &data) != ERROR_SUCCESS) data = "missing";
    RegCloseKey(key);
  }
  return data;
}

TEST(RegistryTransaction, KeepsEveryChangeOnCommitAndNoneWithout) {
  ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("a"), "1"), ERROR_SUCCESS);
  {
    RegTransaction tx;
    ASSERT_EQ(tx.Begin(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(tx.Begin(HKEY_LOCAL_MACHINE), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("a"), "2"), ERROR_SUCCESS);
    ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("b"), "2"), ERROR_SUCCESS);
    // Read inside (and so cached): what the transaction wrote.
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("a")), "2");
    // Another hive is not part of it.
    ASSERT_EQ(Set(HKEY_CURRENT_USER, QStringLiteral("c"), "2"), ERROR_SUCCESS);
  }
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("a")), "1");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("b")), "missing");
  EXPECT_EQ(Get(HKEY_CURRENT_USER, QStringLiteral("c")), "2");

  {
    RegTransaction tx;
    ASSERT_EQ(tx.Begin(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("a"), "3"), ERROR_SUCCESS);
    // A call that fails inside takes back only its own part.
    HKEY readOnly{};
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, kKey, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(readOnly, QStringLiteral("d"), REG_BINARY, QByteArray("3")),
              ERROR_ACCESS_DENIED);
    RegCloseKey(readOnly);
    EXPECT_EQ(RegDeleteKey(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\QxMissing")),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(HKEY_LOCAL_MACHINE, QStringLiteral("b"), "3"), ERROR_SUCCESS);
    ASSERT_EQ(tx.Commit(), ERROR_SUCCESS);
    EXPECT_EQ(tx.Commit(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("a")), "3");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("b")), "3");
  EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, QStringLiteral("d")), "missing");
}

}  // namespace
