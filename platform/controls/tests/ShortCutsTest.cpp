// Shortcut words, their texts and the way back.
#include "platform/controls/ShortCuts.h"

#include <gtest/gtest.h>

namespace {

struct TShortCutRow {
  const char* text;
  TShortCut shortCut;
};

const TShortCutRow kRows[] = {
    {"Ctrl+O", scCtrl | 'O'},
    {"Ctrl+S", scCtrl | 'S'},
    {"F1", 0x70},
    {"F12", 0x7B},
    {"Shift+Del", scShift | 0x2E},
    {"Ctrl+Ins", scCtrl | 0x2D},
    {"Alt+BkSp", scAlt | 0x08},
    {"Shift+Ctrl+Alt+Z", scShift | scCtrl | scAlt | 'Z'},
    {"Ctrl+5", scCtrl | '5'},
    {"Esc", 0x1B},
    {"Enter", 0x0D},
    {"Space", 0x20},
    {"PgUp", 0x21},
    {"PgDn", 0x22},
    {"Home", 0x24},
    {"End", 0x23},
    {"Left", 0x25},
    {"Up", 0x26},
    {"Right", 0x27},
    {"Down", 0x28},
    {"Tab", 0x09},
    {"Shift+F10", scShift | 0x79},
};

TEST(ShortCutText, EveryRowRoundTrips) {
  for (const TShortCutRow& row : kRows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(ShortCutToText(row.shortCut), QString::fromLatin1(row.text));
    EXPECT_EQ(TextToShortCut(QString::fromLatin1(row.text)), row.shortCut);
  }
}

TEST(ShortCutText, ReadsModifiersInAnyOrderAndCase) {
  EXPECT_EQ(TextToShortCut("ctrl+shift+del"), scShift | scCtrl | 0x2E);
  EXPECT_EQ(TextToShortCut("ALT+f4"), scAlt | 0x73);
  EXPECT_EQ(TextToShortCut("  Ctrl+o "), scCtrl | 'O');
}

TEST(ShortCutText, UnknownTextsGiveNone) {
  for (const char* text : {"", "Ctrl+", "Ctrl+Banana", "Hyper+A", "F25", "Ctrl+ÅÄ", "+"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(TextToShortCut(QString::fromUtf8(text)), scNone);
  }
}

TEST(ShortCutText, NoneAndUnnamedKeysHaveNoText) {
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(scCtrl), "");
  EXPECT_EQ(ShortCutToText(scCtrl | 0xE5), "");
}

TEST(ShortCutWord, PacksKeyAndShift) {
  EXPECT_EQ(ShortCut('O', TShiftState{ssCtrl}), 0x404F);
  EXPECT_EQ(ShortCut(0x2E, TShiftState{ssShift}), 0x202E);
  EXPECT_EQ(ShortCut('A', TShiftState{ssAlt, ssCtrl, ssShift}), 0xE041);
  EXPECT_EQ(ShortCut('A', TShiftState{ssLeft}), 'A');
  EXPECT_EQ(ShortCut(0x100, TShiftState{ssCtrl}), scNone);
}

TEST(ShortCutWord, UnpacksKeyAndShift) {
  std::uint16_t key = 0;
  TShiftState shift;
  ShortCutToKey(scShift | scAlt | 0x70, key, shift);
  EXPECT_EQ(key, 0x70);
  EXPECT_TRUE(shift.Contains(ssShift));
  EXPECT_TRUE(shift.Contains(ssAlt));
  EXPECT_FALSE(shift.Contains(ssCtrl));
}

}  // namespace
