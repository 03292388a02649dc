// TRegistry: typed values, paths, rights, tree deletion, listing.
#include "platform/registry/Registry.h"
#include "platform/registry/tests/ListLines.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Expects ERegistryException with exactly this message and result code.
void ExpectRegistryError(const std::function<void()>& call, const QString& message,
                         LONG code = ERROR_SUCCESS) {
  try {
    call();
    ADD_FAILURE() << "no exception; expected " << message.toStdString();
  } catch (const ERegistryException& e) {
    EXPECT_EQ(e.Message(), message);
    EXPECT_EQ(e.ErrorCode(), code);
  }
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxTest"), true)); }
  TRegistry reg;
};

TEST_F(RegistryTest, TypedValuesRoundTrip) {
  reg.WriteString(QStringLiteral("s"), QStringLiteral("Hyvää päivää"));
  reg.WriteExpandString(QStringLiteral("e"), QStringLiteral("$HOME/x"));
  reg.WriteInteger(QStringLiteral("i"), -123456);
  reg.WriteBool(QStringLiteral("b"), true);
  reg.WriteFloat(QStringLiteral("f"), 2.5e-3);
  reg.WriteCurrency(QStringLiteral("c"), 12.3456);
  reg.WriteDateTime(QStringLiteral("d"), 36526.75);
  const unsigned char blob[] = {0, 1, 2, 255};
  reg.WriteBinaryData(QStringLiteral("x"), blob, sizeof blob);

  EXPECT_EQ(reg.ReadString(QStringLiteral("s")), QStringLiteral("Hyvää päivää"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("e")), QStringLiteral("$HOME/x"));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("i")), -123456);
  EXPECT_TRUE(reg.ReadBool(QStringLiteral("b")));
  EXPECT_EQ(reg.ReadFloat(QStringLiteral("f")), 2.5e-3);
  EXPECT_EQ(reg.ReadCurrency(QStringLiteral("c")), 12.3456);
  EXPECT_EQ(reg.ReadDateTime(QStringLiteral("d")), 36526.75);
  EXPECT_EQ(reg.ReadDate(QStringLiteral("d")), 36526.75);
  EXPECT_EQ(reg.ReadTime(QStringLiteral("d")), 36526.75);
  unsigned char back[8] = {};
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("x"), back, sizeof back), 4);
  EXPECT_EQ(QByteArray(reinterpret_cast<char*>(back), 4),
            QByteArray(reinterpret_cast<const char*>(blob), 4));
}

TEST_F(RegistryTest, DataInfoNamesTypeAndSize) {
  reg.WriteString(QStringLiteral("s"), QStringLiteral("abc"));
  reg.WriteExpandString(QStringLiteral("e"), QStringLiteral("ä"));
  reg.WriteInteger(QStringLiteral("i"), 1);
  reg.WriteFloat(QStringLiteral("f"), 1.0);
  ASSERT_EQ(RegSetValueEx(reg.CurrentKey(), QStringLiteral("m"), REG_MULTI_SZ, QByteArray(2, '\0')),
            ERROR_SUCCESS);
  const struct {
    const char* name;
    TRegDataType type;
    int size;
  } rows[] = {{"s", rdString, 4},
              {"e", rdExpandString, 3},
              {"i", rdInteger, 4},
              {"f", rdBinary, 8},
              {"m", rdUnknown, 2}};
  for (const auto& row : rows) {
    TRegDataInfo info;
    ASSERT_TRUE(reg.GetDataInfo(QString::fromLatin1(row.name), info)) << row.name;
    EXPECT_EQ(info.RegData, row.type) << row.name;
    EXPECT_EQ(info.DataSize, row.size) << row.name;
    EXPECT_EQ(reg.GetDataType(QString::fromLatin1(row.name)), row.type) << row.name;
  }
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("missing")), -1);
  EXPECT_EQ(reg.GetDataType(QStringLiteral("missing")), rdUnknown);
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("missing")));
  EXPECT_TRUE(reg.ValueExists(QStringLiteral("S")));
}

TEST_F(RegistryTest, StringWithoutTerminatorReadsWhole) {
  ASSERT_EQ(RegSetValueEx(reg.CurrentKey(), QStringLiteral("bare"), REG_SZ, QByteArray("Times")),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.ReadString(QStringLiteral("bare")), QStringLiteral("Times"));
  EXPECT_EQ(reg.GetDataSize(QStringLiteral("bare")), 5);
}

TEST_F(RegistryTest, StringReadStopsAtFirstZero) {
  ASSERT_EQ(RegSetValueEx(reg.CurrentKey(), QStringLiteral("z"), REG_SZ, QByteArray("ab\0cd\0", 6)),
            ERROR_SUCCESS);
  EXPECT_EQ(reg.ReadString(QStringLiteral("z")), QStringLiteral("ab"));
}

TEST_F(RegistryTest, WrongTypeReadsRaiseInvalidDataType) {
  reg.WriteString(QStringLiteral("s"), QStringLiteral("12"));
  reg.WriteInteger(QStringLiteral("i"), 12);
  reg.WriteFloat(QStringLiteral("f"), 1.5);
  ASSERT_EQ(
      RegSetValueEx(reg.CurrentKey(), QStringLiteral("short"), REG_DWORD, QByteArray(2, '\1')),
      ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(reg.CurrentKey(), QStringLiteral("b6"), REG_BINARY, QByteArray(6, '\1')),
            ERROR_SUCCESS);
  const struct {
    const char* name;
    std::function<void(TRegistry&, const QString&)> read;
  } rows[] = {
      {"s", [](TRegistry& r, const QString& n) { r.ReadInteger(n); }},
      {"s", [](TRegistry& r, const QString& n) { r.ReadBool(n); }},
      {"s", [](TRegistry& r, const QString& n) { r.ReadFloat(n); }},
      {"i", [](TRegistry& r, const QString& n) { r.ReadString(n); }},
      {"i", [](TRegistry& r, const QString& n) { r.ReadDateTime(n); }},
      {"f", [](TRegistry& r, const QString& n) { r.ReadInteger(n); }},
      {"f", [](TRegistry& r, const QString& n) { r.ReadString(n); }},
      {"short", [](TRegistry& r, const QString& n) { r.ReadInteger(n); }},
      {"b6", [](TRegistry& r, const QString& n) { r.ReadFloat(n); }},
      {"b6", [](TRegistry& r, const QString& n) { r.ReadCurrency(n); }},
      {"s",
       [](TRegistry& r, const QString& n) {
         char buffer[16];
         r.ReadBinaryData(n, buffer, sizeof buffer);
       }},
      {"b6",
       [](TRegistry& r, const QString& n) {
         char buffer[4];
         r.ReadBinaryData(n, buffer, sizeof buffer);
       }},
  };
  for (const auto& row : rows) {
    const QString name = QString::fromLatin1(row.name);
    ExpectRegistryError([&] { row.read(reg, name); },
                        QStringLiteral("Invalid data type for '%1'").arg(name));
  }
}

TEST_F(RegistryTest, MissingValues) {
  EXPECT_EQ(reg.ReadString(QStringLiteral("none")), QString());
  char buffer[4];
  EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("none"), buffer, sizeof buffer), 0);
  ExpectRegistryError([&] { reg.ReadInteger(QStringLiteral("none")); },
                      QStringLiteral("Failed to get data for 'none'"), ERROR_FILE_NOT_FOUND);
  ExpectRegistryError([&] { reg.ReadFloat(QStringLiteral("none")); },
                      QStringLiteral("Failed to get data for 'none'"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, ReadOnlyKeyRefusesWrites) {
  reg.WriteInteger(QStringLiteral("v"), 1);
  TRegistry ro;
  ASSERT_TRUE(ro.OpenKeyReadOnly(QStringLiteral("\\Software\\QxTest")));
  EXPECT_EQ(ro.ReadInteger(QStringLiteral("v")), 1);
  ExpectRegistryError([&] { ro.WriteInteger(QStringLiteral("v"), 2); },
                      QStringLiteral("Failed to set data for 'v'"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(ro.DeleteValue(QStringLiteral("v")));
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("v")), 1);
  EXPECT_EQ(ro.Access(), KEY_ALL_ACCESS);
}

TEST_F(RegistryTest, AccessMaskAppliesToOpenedKeys) {
  TRegistry readOnly(KEY_READ);
  ASSERT_TRUE(readOnly.OpenKey(QStringLiteral("\\Software\\QxTest"), false));
  ExpectRegistryError([&] { readOnly.WriteString(QStringLiteral("v"), QStringLiteral("x")); },
                      QStringLiteral("Failed to set data for 'v'"), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(readOnly.OpenKey(QStringLiteral("New"), true));
  EXPECT_EQ(readOnly.CurrentPath(), QStringLiteral("Software\\QxTest"));
  ExpectRegistryError([&] { readOnly.CreateKey(QStringLiteral("New")); },
                      QStringLiteral("Failed to create key New"), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, RelativeAndAbsolutePaths) {
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\QxTest"));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("Sub\\Deeper"), true));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software\\QxTest\\Sub\\Deeper"));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software"), false));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software"));
  EXPECT_TRUE(reg.KeyExists(QStringLiteral("QxTest\\Sub")));
  EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\Software\\QxTest\\Sub\\Deeper")));
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("Sub")));
  EXPECT_FALSE(reg.OpenKey(QStringLiteral("Missing"), false));
  EXPECT_EQ(reg.CurrentPath(), QStringLiteral("Software"));
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), HKEY{});
  EXPECT_EQ(reg.CurrentPath(), QString());
}

TEST_F(RegistryTest, RootKeyChangeClosesTheKey) {
  reg.WriteInteger(QStringLiteral("user"), 1);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), HKEY{});
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\QxTest")));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxTest"), true));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("user")));
}

TEST_F(RegistryTest, DeleteKeyRemovesTheWholeTree) {
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("Tree\\A\\B"), true));
  reg.WriteString(QStringLiteral("v"), QStringLiteral("x"));
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxTest\\Tree\\C"), true));
  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey(QStringLiteral("\\Software\\QxTest\\Tree")));
  EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\QxTest\\Tree")));
  EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\Software\\QxTest")));
  EXPECT_FALSE(reg.DeleteKey(QStringLiteral("\\Software\\QxTest\\Tree")));
}

TEST_F(RegistryTest, HandleOfDeletedKeyFailsReads) {
  TRegistry other;
  ASSERT_TRUE(other.OpenKey(QStringLiteral("\\Software\\QxTest"), false));
  reg.WriteInteger(QStringLiteral("v"), 1);
  reg.CloseKey();
  ASSERT_TRUE(reg.DeleteKey(QStringLiteral("\\Software\\QxTest")));
  EXPECT_FALSE(other.ValueExists(QStringLiteral("v")));
  ExpectRegistryError([&] { other.WriteInteger(QStringLiteral("v"), 2); },
                      QStringLiteral("Failed to set data for 'v'"), ERROR_KEY_DELETED);
}

TEST_F(RegistryTest, KeyAndValueNamesList) {
  for (const char* key : {"b", "C", "a"})
    reg.CreateKey(QString::fromLatin1(key));
  for (const char* value : {"z", "y"})
    reg.WriteInteger(QString::fromLatin1(value), 0);
  TStringList keys;
  TStringList values;
  keys.Add(QStringLiteral("old"));
  reg.GetKeyNames(&keys);
  reg.GetValueNames(&values);
  EXPECT_EQ(Lines(keys), (QStringList{"a", "b", "C"}));
  EXPECT_EQ(Lines(values), (QStringList{"z", "y"}));
  EXPECT_TRUE(reg.HasSubKeys());
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumSubKeys, 3);
  EXPECT_EQ(info.NumValues, 2);
}

TEST(RegistryNoKey, OperationsWithoutAKeyFailCleanly) {
  TRegistry reg;
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("v")));
  EXPECT_FALSE(reg.HasSubKeys());
  ExpectRegistryError([&] { reg.WriteString(QStringLiteral("v"), QString()); },
                      QStringLiteral("Failed to set data for 'v'"), ERROR_INVALID_HANDLE);
}

TEST(RegistryFlush, LazyWriteOffFlushesOnClose) {
  TRegistry reg;
  reg.SetLazyWrite(false);
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Flush"), true));
  reg.WriteInteger(QStringLiteral("v"), 7);
  reg.CloseKey();
  TRegistry again;
  ASSERT_TRUE(again.OpenKeyReadOnly(QStringLiteral("\\Software\\Flush")));
  EXPECT_EQ(again.ReadInteger(QStringLiteral("v")), 7);
}

}  // namespace
