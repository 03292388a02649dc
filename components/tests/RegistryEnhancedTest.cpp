#include "components/RegistryEnhanced.h"

#include "components/MyV3Registry.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryApi.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

namespace {

const QString kBase = QStringLiteral("\\Software\\QXTrovaly\\Ruudukko");

// The raw type and bytes of a value of HKCU; type REG_NONE when missing.
struct Raw {
  DWORD type = REG_NONE;
  QByteArray data;
};

Raw RawValue(const QString& key, const QString& name) {
  Raw raw;
  HKEY k{};
  if (RegOpenKeyEx(HKEY_CURRENT_USER, key, KEY_READ, &k) != ERROR_SUCCESS)
    return raw;
  if (RegQueryValueEx(k, name, &raw.type, &raw.data) != ERROR_SUCCESS)
    raw = Raw{};
  RegCloseKey(k);
  return raw;
}

void PutRaw(const QString& key, const QString& name, DWORD type, const QByteArray& data) {
  HKEY k{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueEx(k, name, type, data), ERROR_SUCCESS);
  RegCloseKey(k);
}

QByteArray LittleEndian64(std::uint64_t v) {
  QByteArray bytes(8, '\0');
  qToLittleEndian(v, bytes.data());
  return bytes;
}

QByteArray DoubleBytes(double d) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  return LittleEndian64(bits);
}

class Settings : public testing::Test {
 protected:
  Settings() : reg_(nullptr) { reg_.SetKey(QStringLiteral("\\Software")); }
  TRegistryEnhanced reg_;
};

// Round trips ----------------------------------------------------------------

struct TypeRow {
  const char* name;
  Variant written;
  DWORD regType;       // REG_NONE: nothing stored
  QByteArray stored;   // the bytes in the hive
  Variant read;        // what ReadValue gives back
};

std::vector<TypeRow> TypeRows() {
  return {
      {"Integer", Variant(11), REG_DWORD, QByteArray("\x0B\0\0\0", 4), Variant(11)},
      {"NegativeInteger", Variant(-2), REG_DWORD, QByteArray("\xFE\xFF\xFF\xFF", 4),
       Variant(-2)},
      {"True", Variant(true), REG_DWORD, QByteArray("\x01\0\0\0", 4), Variant(1)},
      {"False", Variant(false), REG_DWORD, QByteArray("\0\0\0\0", 4), Variant(0)},
      {"String", Variant(QStringLiteral("Times New Roman")), REG_SZ,
       QByteArray("Times New Roman"), Variant(QStringLiteral("Times New Roman"))},
      {"Scandinavian", Variant(QStringLiteral("Löydetty ÅÄÖ")), REG_SZ,
       QStringLiteral("Löydetty ÅÄÖ").toUtf8(), Variant(QStringLiteral("Löydetty ÅÄÖ"))},
      {"EmptyString", Variant(QString()), REG_SZ, QByteArray(), Variant(QString())},
      {"Double", Variant(1.5), REG_BINARY, DoubleBytes(1.5), Variant(8)},
      {"Currency", Variant::FromCurrency(15000), REG_BINARY, LittleEndian64(15000), Variant(8)},
      {"Date", Variant::FromDateTime(36526.25), REG_BINARY, DoubleBytes(36526.25), Variant(8)},
      {"Smallint", Variant(std::int16_t(7)), REG_NONE, QByteArray(), Variant()},
      {"Single", Variant(2.5f), REG_NONE, QByteArray(), Variant()},
      {"Null", Variant::Null(), REG_NONE, QByteArray(), Variant()},
      {"Unassigned", Variant(), REG_NONE, QByteArray(), Variant()},
  };
}

class RoundTrip : public testing::TestWithParam<bool> {};

TEST_P(RoundTrip, EachVariantTypeIsStoredByItsType) {
  const bool prefilled = GetParam();
  for (const TypeRow& row : TypeRows()) {
    SCOPED_TRACE(row.name);
    const QString name = QString::fromLatin1(row.name);
    if (prefilled) {
      // A value of another type under the same name, and neighbours.
      PutRaw(kBase, QStringLiteral("before"), REG_SZ, "x");
      PutRaw(kBase, name, REG_BINARY, QByteArray(16, '\x55'));
      PutRaw(kBase, QStringLiteral("after"), REG_DWORD, QByteArray(4, '\x01'));
    }
    TRegistryEnhanced reg(nullptr);
    reg.SetKey(QStringLiteral("\\Software"));
    reg.WriteValue(QStringLiteral("QXTrovaly\\Ruudukko\\") + name, row.written);
    const Raw raw = RawValue(kBase, name);
    if (row.regType == REG_NONE) {
      // Nothing written: a prefilled value stays as it was.
      EXPECT_EQ(raw.type, prefilled ? REG_BINARY : REG_NONE);
      continue;
    }
    EXPECT_EQ(raw.type, row.regType);
    EXPECT_EQ(raw.data, row.stored);
    Variant back(QStringLiteral("sentinel"));
    reg.ReadValue(QStringLiteral("QXTrovaly\\Ruudukko\\") + name, back);
    EXPECT_TRUE(back == row.read) << back.AsString().toStdString();
    if (row.regType == REG_BINARY) {
      EXPECT_EQ(reg.Buffer().left(8), row.stored);
    }
    if (prefilled) {
      EXPECT_EQ(RawValue(kBase, "before").data, QByteArray("x"));
      EXPECT_EQ(RawValue(kBase, "after").data, QByteArray(4, '\x01'));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Hives, RoundTrip, testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Prefilled" : "Fresh"; });

// Paths ----------------------------------------------------------------------

struct PathRow {
  const char* key;
  const char* path;
  const char* fullKey;
  const char* valueName;
};

TEST(RegistryEnhancedPaths, Table) {
  const PathRow rows[] = {
      {"\\Software", "QXTrovaly\\Ruudukko\\fon_koko", "\\Software\\QXTrovaly\\Ruudukko",
       "fon_koko"},
      {"Software", "QXTrovaly\\Ruudukko\\fon_koko", "\\Software\\QXTrovaly\\Ruudukko",
       "fon_koko"},
      {"\\Software\\", "a\\b", "\\Software\\a", "b"},
      {"\\Software", "fon_koko", "\\Software", "fon_koko"},
      {"\\Software", "QXTrovaly\\\\Ruudukko\\\\fon_koko", "\\Software\\QXTrovaly\\Ruudukko",
       "fon_koko"},
      {"\\", "a\\b", "\\\\a", "b"},
      {"\\Software", "", "\\Software", ""},
  };
  TRegistryEnhanced reg(nullptr);
  for (const PathRow& r : rows) {
    reg.SetKey(r.key);
    EXPECT_EQ(reg.FullKey(r.path), r.fullKey) << r.key << " " << r.path;
    EXPECT_EQ(reg.ValueName(r.path), r.valueName) << r.key << " " << r.path;
  }
}

TEST_F(Settings, PathAddressesValueBelowKey) {
  reg_.WriteValue(QStringLiteral("QXTrovaly\\Ruudukko\\fon_koko"), Variant(11));
  EXPECT_EQ(RawValue(kBase, "fon_koko").type, REG_DWORD);
  reg_.WriteValue(QStringLiteral("direct"), Variant(QStringLiteral("d")));
  EXPECT_EQ(RawValue("\\Software", "direct").data, QByteArray("d"));
  reg_.WriteValue(QStringLiteral("QXTrovaly\\\\Ruudukko\\\\fon_nimi"), Variant(QStringLiteral("n")));
  EXPECT_EQ(RawValue(kBase, "fon_nimi").data, QByteArray("n"));
}

// Missing values and keys ------------------------------------------------------

TEST_F(Settings, MissingValueReadsEmpty) {
  reg_.WriteValue(QStringLiteral("QXTrovaly\\Ruudukko\\fon_koko"), Variant(11));
  Variant v(5);
  reg_.ReadValue(QStringLiteral("QXTrovaly\\Ruudukko\\fon_vari"), v);
  EXPECT_TRUE(v.IsEmpty());
}

TEST_F(Settings, MissingKeyLeavesVariant) {
  Variant v(5);
  reg_.ReadValue(QStringLiteral("Nowhere\\fon_vari"), v);
  EXPECT_TRUE(v == Variant(5));
}

TEST_F(Settings, EmptyKeyDoesNothing) {
  reg_.SetKey(QString());
  reg_.WriteValue(QStringLiteral("fon_koko"), Variant(1));
  Variant v(5);
  reg_.ReadValue(QStringLiteral("fon_koko"), v);
  EXPECT_TRUE(v == Variant(5));
  EXPECT_EQ(RawValue("", "fon_koko").type, REG_NONE);
}

TEST_F(Settings, RefusedRootIsSilent) {
  reg_.SetRootKey(hkDynData);
  EXPECT_NO_THROW(reg_.WriteValue(QStringLiteral("a\\b"), Variant(1)));
  Variant v(5);
  reg_.ReadValue(QStringLiteral("a\\b"), v);
  EXPECT_TRUE(v == Variant(5));
}

TEST_F(Settings, OtherRootKey) {
  reg_.SetRootKey(hkLocalMachine);
  reg_.WriteValue(QStringLiteral("QXTrovaly\\x"), Variant(3));
  EXPECT_EQ(RawValue("\\Software\\QXTrovaly", "x").type, REG_NONE);  // not in HKCU
  Variant v;
  reg_.ReadValue(QStringLiteral("QXTrovaly\\x"), v);
  EXPECT_TRUE(v == Variant(3));
}

// Failures -------------------------------------------------------------------

TEST_F(Settings, BadDataRaisesTheUnitsException) {
  PutRaw(kBase, "short", REG_DWORD, QByteArray("\x01\x02", 2));
  Variant v;
  EXPECT_THROW(reg_.ReadValue(QStringLiteral("QXTrovaly\\Ruudukko\\short"), v),
               MyV3Registry::ERegistryException);
}

TEST_F(Settings, BinaryLongerThanBufferRaises) {
  PutRaw(kBase, "big", REG_BINARY, QByteArray(TRegistryEnhanced::BufferSize + 1, 'b'));
  PutRaw(kBase, "fits", REG_BINARY, QByteArray(TRegistryEnhanced::BufferSize, 'f'));
  Variant v;
  reg_.ReadValue(QStringLiteral("QXTrovaly\\Ruudukko\\fits"), v);
  EXPECT_TRUE(v == Variant(TRegistryEnhanced::BufferSize));
  try {
    reg_.ReadValue(QStringLiteral("QXTrovaly\\Ruudukko\\big"), v);
    FAIL() << "no exception";
  } catch (const MyV3Registry::ERegistryException& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Failed to get data for 'big'"));
  }
}

TEST(MyV3RegistryTest, OpeningUsesTheMaskCreatingDoesNot) {
  PutRaw(kBase, "v", REG_DWORD, QByteArray(4, '\0'));
  MyV3Registry::TRegistry reg;
  reg.SetAccessMask(KEY_READ);
  ASSERT_TRUE(reg.OpenKey(kBase, false));
  try {
    reg.WriteInteger("v", 1);
    FAIL() << "written through a read-only key";
  } catch (const MyV3Registry::ERegistryException& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Failed to set data for 'v'"));
  }
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  reg.WriteInteger("v", 1);
  EXPECT_EQ(reg.ReadInteger("v"), 1);
}

TEST(MyV3RegistryTest, StringsHaveNoTerminatingZero) {
  MyV3Registry::TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kBase, true));
  reg.WriteString("s", QStringLiteral("fsBold"));
  EXPECT_EQ(RawValue(kBase, "s").data, QByteArray("fsBold"));
  EXPECT_EQ(reg.ReadString("s"), QStringLiteral("fsBold"));
}

// Published properties --------------------------------------------------------

TEST(RegistryEnhancedProperties, DefaultsAndTable) {
  TRegistryEnhanced reg(nullptr);
  EXPECT_EQ(reg.Access(), kAllAccess);
  EXPECT_EQ(reg.RootKey(), hkCurrentUser);
  const TMetaClass& meta = MetaClassOf<TRegistryEnhanced>();
  const TPropInfo* access = meta.FindProperty("Access");
  ASSERT_NE(access, nullptr);
  EXPECT_EQ(access->ordDefault, kAllAccess);
  std::int64_t value = -1;
  ASSERT_TRUE(access->idents->ToValue("kRead", value));
  access->setOrd(&reg, value);
  EXPECT_EQ(reg.Access(), kRead);
  ASSERT_NE(meta.FindProperty("RootKey"), nullptr);
  EXPECT_EQ(meta.FindProperty("RootKey")->ordDefault, hkCurrentUser);
  ASSERT_NE(meta.FindProperty("Key"), nullptr);
}

TEST(RegistryEnhancedProperties, Masks) {
  EXPECT_EQ(AccessMaskOf(kRead), 0x20019u);
  EXPECT_EQ(AccessMaskOf(kWrite), 0x20006u);
  EXPECT_EQ(AccessMaskOf(kExecute), 0x20019u);
  EXPECT_EQ(AccessMaskOf(kAllAccess), 0xF003Fu);
  EXPECT_EQ(RootKeyOf(hkClassesRoot), HKEY_CLASSES_ROOT);
  EXPECT_EQ(RootKeyOf(hkCurrentConfig), HKEY_CURRENT_CONFIG);
  EXPECT_EQ(RootKeyOf(hkDynData), HKEY_DYN_DATA);
  EXPECT_EQ(RootKeyOf(hkUsers), HKEY_USERS);
}

}  // namespace
