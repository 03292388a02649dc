#include "game/rekisteri.h"

#include "components/MyV3Registry.h"
#include "game/tests/FakeBoard.h"
#include "platform/registry/RegistryApi.h"
#include "platform/rtl/Exceptions.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

const QString kRuudukko = QStringLiteral("Software\\QXTrovaly\\Ruudukko");
const QString kAnimaatio = QStringLiteral("Software\\QXTrovaly\\Animaatio");

// What the setup program stores: DWORDs and zero-terminated strings.
void PutDword(const QString& key, const QString& name, std::uint32_t value) {
  HKEY k{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  QByteArray bytes(4, '\0');
  qToLittleEndian(value, bytes.data());
  EXPECT_EQ(RegSetValueEx(k, name, REG_DWORD, bytes), ERROR_SUCCESS);
  RegCloseKey(k);
}

void PutString(const QString& key, const QString& name, const QString& value) {
  HKEY k{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, key, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueEx(k, name, REG_SZ, value.toUtf8() + QByteArray(1, '\0')), ERROR_SUCCESS);
  RegCloseKey(k);
}

struct Stored {
  DWORD type = REG_NONE;
  QByteArray data;
};

Stored StoredValue(const QString& key, const QString& name) {
  Stored s;
  HKEY k{};
  if (RegOpenKeyEx(HKEY_CURRENT_USER, key, KEY_READ, &k) != ERROR_SUCCESS) return s;
  if (RegQueryValueEx(k, name, &s.type, &s.data) != ERROR_SUCCESS) s = Stored{};
  RegCloseKey(k);
  return s;
}

void PutSetupValues() {
  PutDword(kRuudukko, QStringLiteral("fon_koko"), 11);
  PutString(kRuudukko, QStringLiteral("fon_nimi"), QStringLiteral("Times New Roman"));
  PutDword(kRuudukko, QStringLiteral("fon_vari"), 128);
  PutString(kRuudukko, QStringLiteral("fon_Bold"), QStringLiteral("fsBold"));
  PutString(kRuudukko, QStringLiteral("fon_Italic"), QStringLiteral("fsNorm"));
  PutDword(kRuudukko, QStringLiteral("loydetty_vari"), 255);
  PutString(kAnimaatio, QStringLiteral("hahmo"), QStringLiteral("j"));
}

// The settings as the board shows them.
struct Shown {
  int size;
  QString name;
  TColor color;
  bool bold;
  bool italic;
  TColor found;
  bool cow, jester, none;

  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& s, std::ostream* os) {
  *os << s.size << " " << s.name.toStdString() << " " << s.color << (s.bold ? " bold" : "")
      << (s.italic ? " italic" : "") << " found " << s.found << " anim " << s.cow << s.jester
      << s.none;
}

class Settings : public GameBoardTest {
 protected:
  Settings() {
    // Start far from every default, so each value read is seen to land.
    TFont* font = grid().Font();
    font->SetSize(20);
    font->SetName(QStringLiteral("Courier New"));
    font->SetColor(clWhite);
    font->SetStyle(TFontStyles{fsItalic});
    state().FoundColor = clLime;
  }

  Shown Current() {
    const TFont* f = grid().Font();
    const TGameState& s = state();
    return {f->Size(), f->Name(), f->Color(), f->Style().Contains(fsBold),
            f->Style().Contains(fsItalic), s.FoundColor, s.AnimCow, s.AnimJester, s.AnimNone};
  }

  void SetAnimation(bool cow, bool jester, bool none) {
    state().AnimCow = cow;
    state().AnimJester = jester;
    state().AnimNone = none;
  }
};

// Reading ----------------------------------------------------------------------

TEST_F(Settings, FreshHiveGivesTheSetupDefaultsAndKeepsTheAnimation) {
  SetAnimation(false, true, false);
  ReadSettings(*board);
  EXPECT_EQ(Current(), (Shown{11, QStringLiteral("Times New Roman"), 128, true, false, 255, false,
                          true, false}));
  EXPECT_EQ(board->animationChoiceShown, 1);
}

TEST_F(Settings, SetupValuesAreRead) {
  PutSetupValues();
  ReadSettings(*board);
  EXPECT_EQ(Current(), (Shown{11, QStringLiteral("Times New Roman"), 128, true, false, 255, false,
                          true, false}));
}

TEST_F(Settings, StoredValuesReplaceEveryDefault) {
  PutDword(kRuudukko, QStringLiteral("fon_koko"), 14);
  PutString(kRuudukko, QStringLiteral("fon_nimi"), QStringLiteral("Arial"));
  PutDword(kRuudukko, QStringLiteral("fon_vari"), 0x800000);
  PutString(kRuudukko, QStringLiteral("fon_Bold"), QStringLiteral("fsNorm"));
  PutString(kRuudukko, QStringLiteral("fon_Italic"), QStringLiteral("fsItalic"));
  PutDword(kRuudukko, QStringLiteral("loydetty_vari"), 0x00FF00);
  PutString(kAnimaatio, QStringLiteral("hahmo"), QStringLiteral("e"));
  ReadSettings(*board);
  EXPECT_EQ(Current(), (Shown{14, QStringLiteral("Arial"), 0x800000, false, true, 0x00FF00, false,
                          false, true}));
}

TEST_F(Settings, MissingValueInAnExistingKeyTakesItsDefaultOnly) {
  PutSetupValues();
  HKEY k{};
  ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kRuudukko, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
  RegDeleteValue(k, QStringLiteral("fon_koko"));
  RegCloseKey(k);
  PutDword(kRuudukko, QStringLiteral("fon_vari"), 0xFF0000);
  ReadSettings(*board);
  EXPECT_EQ(grid().Font()->Size(), 11);
  EXPECT_EQ(grid().Font()->Color(), 0xFF0000);
}

TEST_F(Settings, ZeroFontSizeTakesTheDefault) {
  PutDword(kRuudukko, QStringLiteral("fon_koko"), 0);
  ReadSettings(*board);
  EXPECT_EQ(grid().Font()->Size(), 11);
}

TEST_F(Settings, MissingRuudukkoKeyGivesDefaults) {
  PutString(kAnimaatio, QStringLiteral("hahmo"), QStringLiteral("a"));
  SetAnimation(false, false, true);
  ReadSettings(*board);
  EXPECT_EQ(Current(), (Shown{11, QStringLiteral("Times New Roman"), 128, true, false, 255, true,
                          false, false}));
}

struct StyleRow {
  const char* name;
  const char* bold;    // nullptr: not stored
  const char* italic;  // nullptr: not stored
  bool isBold, isItalic;
};

class StyleTexts : public Settings, public testing::WithParamInterface<StyleRow> {};

TEST_P(StyleTexts, OnlyTheExactNameSetsTheStyle) {
  const StyleRow& r = GetParam();
  PutDword(kRuudukko, QStringLiteral("fon_koko"), 11);
  if (r.bold) PutString(kRuudukko, QStringLiteral("fon_Bold"), QString::fromUtf8(r.bold));
  if (r.italic) PutString(kRuudukko, QStringLiteral("fon_Italic"), QString::fromUtf8(r.italic));
  ReadSettings(*board);
  EXPECT_EQ(grid().Font()->Style().Contains(fsBold), r.isBold);
  EXPECT_EQ(grid().Font()->Style().Contains(fsItalic), r.isItalic);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StyleTexts,
    testing::Values(StyleRow{"BoldAndNormal", "fsBold", "fsNorm", true, false},
                    StyleRow{"NormalAndItalic", "fsNorm", "fsItalic", false, true},
                    StyleRow{"LowerCaseBoldIsNotBold", "fsbold", "fsitalic", false, false},
                    StyleRow{"UpperCaseIsNotBold", "FSBOLD", "FSITALIC", false, false},
                    StyleRow{"TrailingBlankIsNotBold", "fsBold ", "fsItalic ", false, false},
                    StyleRow{"SwappedNames", "fsItalic", "fsBold", false, false},
                    StyleRow{"EmptyTexts", "", "", false, false},
                    StyleRow{"MissingTakesDefaults", nullptr, nullptr, true, false}),
    [](const testing::TestParamInfo<StyleRow>& p) { return std::string(p.param.name); });

struct HahmoRow {
  const char* name;
  const char* stored;  // nullptr: not stored
  bool cow, jester, none;
};

class HahmoTexts : public Settings, public testing::WithParamInterface<HahmoRow> {};

TEST_P(HahmoTexts, KnownLettersChooseUnknownOnesKeep) {
  const HahmoRow& r = GetParam();
  if (r.stored) PutString(kAnimaatio, QStringLiteral("hahmo"), QString::fromUtf8(r.stored));
  SetAnimation(false, true, false);
  ReadSettings(*board);
  EXPECT_EQ(state().AnimCow, r.cow);
  EXPECT_EQ(state().AnimJester, r.jester);
  EXPECT_EQ(state().AnimNone, r.none);
  EXPECT_EQ(board->animationChoiceShown, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HahmoTexts,
    testing::Values(HahmoRow{"Cow", "a", true, false, false},
                    HahmoRow{"Jester", "j", false, true, false},
                    HahmoRow{"None", "e", false, false, true},
                    HahmoRow{"UpperCaseKeeps", "A", false, true, false},
                    HahmoRow{"UnknownKeeps", "x", false, true, false},
                    HahmoRow{"WordKeeps", "ae", false, true, false},
                    HahmoRow{"EmptyKeeps", "", false, true, false},
                    HahmoRow{"MissingKeeps", nullptr, false, true, false}),
    [](const testing::TestParamInfo<HahmoRow>& p) { return std::string(p.param.name); });

TEST_F(Settings, UnconvertibleValueRaisesAndStopsThere) {
  PutString(kRuudukko, QStringLiteral("fon_koko"), QStringLiteral("iso"));
  PutString(kRuudukko, QStringLiteral("fon_nimi"), QStringLiteral("Arial"));
  EXPECT_THROW(ReadSettings(*board), EVariantError);
  EXPECT_EQ(grid().Font()->Name(), QStringLiteral("Courier New"));
  EXPECT_EQ(board->animationChoiceShown, 0);
}

// Writing ------------------------------------------------------------------------

TEST_F(Settings, WritingStoresTypedValues) {
  TFont* font = grid().Font();
  font->SetSize(13);
  font->SetName(QStringLiteral("Times New Roman"));
  font->SetColor(0x0080FF);
  font->SetStyle(TFontStyles{fsBold});
  state().FoundColor = 0x123456;
  SetAnimation(true, false, false);
  WriteSettings(*board);

  const auto dword = [](std::uint32_t v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
  };
  const struct {
    QString key, name;
    DWORD type;
    QByteArray data;
  } expected[] = {
      {kRuudukko, QStringLiteral("fon_koko"), REG_DWORD, dword(13)},
      {kRuudukko, QStringLiteral("fon_nimi"), REG_SZ, QByteArray("Times New Roman")},
      {kRuudukko, QStringLiteral("fon_vari"), REG_DWORD, dword(0x0080FF)},
      {kRuudukko, QStringLiteral("fon_Bold"), REG_SZ, QByteArray("fsBold")},
      {kRuudukko, QStringLiteral("fon_Italic"), REG_SZ, QByteArray("fsNorm")},
      {kRuudukko, QStringLiteral("loydetty_vari"), REG_DWORD, dword(0x123456)},
      {kAnimaatio, QStringLiteral("hahmo"), REG_SZ, QByteArray("a")},
  };
  for (const auto& e : expected) {
    const Stored s = StoredValue(e.key, e.name);
    EXPECT_EQ(s.type, e.type) << e.name.toStdString();
    EXPECT_EQ(s.data, e.data) << e.name.toStdString();
  }
}

TEST_F(Settings, ItalicWithoutBoldIsWrittenSo) {
  grid().Font()->SetStyle(TFontStyles{fsItalic});
  WriteSettings(*board);
  EXPECT_EQ(StoredValue(kRuudukko, QStringLiteral("fon_Bold")).data, QByteArray("fsNorm"));
  EXPECT_EQ(StoredValue(kRuudukko, QStringLiteral("fon_Italic")).data, QByteArray("fsItalic"));
}

struct ChoiceRow {
  const char* name;
  bool cow, jester, none;
  const char* written;  // nullptr: nothing written
};

class ChoiceWritten : public Settings, public testing::WithParamInterface<ChoiceRow> {};

TEST_P(ChoiceWritten, JesterBeforeCowBeforeNone) {
  const ChoiceRow& r = GetParam();
  PutString(kAnimaatio, QStringLiteral("hahmo"), QStringLiteral("x"));
  SetAnimation(r.cow, r.jester, r.none);
  WriteSettings(*board);
  const Stored s = StoredValue(kAnimaatio, QStringLiteral("hahmo"));
  const QByteArray expected = r.written ? QByteArray(r.written) : QByteArray("x", 2);
  EXPECT_EQ(s.data, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChoiceWritten,
    testing::Values(ChoiceRow{"Cow", true, false, false, "a"},
                    ChoiceRow{"Jester", false, true, false, "j"},
                    ChoiceRow{"None", false, false, true, "e"},
                    ChoiceRow{"JesterWins", true, true, true, "j"},
                    ChoiceRow{"CowBeforeNone", true, false, true, "a"},
                    ChoiceRow{"NothingSetWritesNothing", false, false, false, nullptr}),
    [](const testing::TestParamInfo<ChoiceRow>& p) { return std::string(p.param.name); });

// Round trips ----------------------------------------------------------------

TEST_F(Settings, RoundTripThroughTheRegistry) {
  const Shown cases[] = {
      {9, QStringLiteral("Courier New"), clNavy, false, true, clBlue, false, false, true},
      {14, QStringLiteral("Arial"), clMaroon, true, true, clRed, true, false, false},
      {11, QStringLiteral("Times New Roman"), 128, true, false, 255, false, true, false},
  };
  for (const Shown& c : cases) {
    TFont* font = grid().Font();
    font->SetSize(c.size);
    font->SetName(c.name);
    font->SetColor(c.color);
    TFontStyles style;
    if (c.bold) style.Include(fsBold);
    if (c.italic) style.Include(fsItalic);
    font->SetStyle(style);
    state().FoundColor = c.found;
    SetAnimation(c.cow, c.jester, c.none);
    WriteSettings(*board);

    TFakeBoard fresh;
    ReadSettings(fresh);
    const TFont* f = fresh.Grid().Font();
    EXPECT_EQ((Shown{f->Size(), f->Name(), f->Color(), f->Style().Contains(fsBold),
                     f->Style().Contains(fsItalic), fresh.state.FoundColor, fresh.state.AnimCow,
                     fresh.state.AnimJester, fresh.state.AnimNone}),
              c);
  }
}

TEST_F(Settings, SetupValuesSurviveAReadAndWrite) {
  PutSetupValues();
  ReadSettings(*board);
  WriteSettings(*board);
  EXPECT_EQ(StoredValue(kRuudukko, QStringLiteral("fon_koko")).type, REG_DWORD);
  TFakeBoard fresh;
  ReadSettings(fresh);
  EXPECT_EQ(fresh.Grid().Font()->Size(), 11);
  EXPECT_EQ(fresh.Grid().Font()->Name(), QStringLiteral("Times New Roman"));
  EXPECT_TRUE(fresh.state.AnimJester);
}

// Single values ------------------------------------------------------------------

TEST_F(Settings, SingleValuesAddressTheirKey) {
  WriteSetting(*board, QStringLiteral("Ruudukko\\fon_koko"), Variant(12));
  EXPECT_EQ(StoredValue(kRuudukko, QStringLiteral("fon_koko")).type, REG_DWORD);
  Variant v;
  ReadSetting(*board, QStringLiteral("Ruudukko\\fon_koko"), v);
  EXPECT_EQ(v, Variant(12));
  EXPECT_EQ(board->Rekisteri().Access(), kRead);
}

TEST_F(Settings, ReadingFromAMissingKeyLeavesTheValue) {
  Variant v(QStringLiteral("ennen"));
  ReadSetting(*board, QStringLiteral("Puuttuu\\arvo"), v);
  EXPECT_EQ(v, Variant(QStringLiteral("ennen")));
  PutDword(kRuudukko, QStringLiteral("fon_koko"), 11);
  ReadSetting(*board, QStringLiteral("Ruudukko\\puuttuu"), v);
  EXPECT_TRUE(v.IsEmpty());
}

}  // namespace
