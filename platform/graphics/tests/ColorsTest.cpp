#include "platform/graphics/Colors.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

struct SysCase {
  TColor color;
  TColor rgb;
};

TEST(ColorToRGB, SystemColoursTakeTheStandardScheme) {
  const SysCase cases[] = {
      {clBtnFace, 0xC0C0C0},       {clBtnShadow, 0x808080},    {clBtnHighlight, 0xFFFFFF},
      {cl3DDkShadow, 0x000000},    {clWindow, 0xFFFFFF},       {clWindowText, 0x000000},
      {clHighlight, 0x800000},     {clHighlightText, 0xFFFFFF}, {clGrayText, 0x808080},
      {clActiveCaption, 0x800000}, {clCaptionText, 0xFFFFFF},  {clInfoBk, 0xE1FFFF},
      {clInfoText, 0x000000},      {clBtnText, 0x000000},      {cl3DLight, 0xDFDFDF},
  };
  for (const SysCase& c : cases)
    EXPECT_EQ(ColorToRGB(c.color), c.rgb) << std::hex << c.color;
}

TEST(ColorToRGB, PlainColoursPassUnchanged) {
  EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
  EXPECT_EQ(ColorToRGB(ColorOf(0x123456)), 0x123456);
  EXPECT_EQ(clBtnFace, ColorOf(0x8000000F));
  EXPECT_EQ(clInfoBk, ColorOf(0x80000018));
}

TEST(ColorToQColor, SwapsBlueAndRed) {
  EXPECT_EQ(ColorToQColor(clBlue), QColor(0, 0, 255));
  EXPECT_EQ(ColorToQColor(ColorOf(0x00112233)), QColor(0x33, 0x22, 0x11));
  EXPECT_EQ(ColorToQColor(clBtnShadow), QColor(128, 128, 128));
  EXPECT_EQ(QColorToColor(QColor(0x33, 0x22, 0x11)), ColorOf(0x00112233));
}

TEST(ColorStrings, IdentsAndHexRoundTrip) {
  EXPECT_EQ(ColorToString(clBtnFace), QStringLiteral("clBtnFace"));
  EXPECT_EQ(ColorToString(clRed), QStringLiteral("clRed"));
  EXPECT_EQ(ColorToString(ColorOf(0x00123456)), QStringLiteral("$00123456"));
  EXPECT_EQ(StringToColor(QStringLiteral("clBtnFace")), clBtnFace);
  EXPECT_EQ(StringToColor(QStringLiteral("clbtnface")), clBtnFace);
  EXPECT_EQ(StringToColor(QStringLiteral("$00FF0000")), clBlue);
  EXPECT_EQ(StringToColor(QStringLiteral("$8000000F")), clBtnFace);
  EXPECT_EQ(StringToColor(QStringLiteral("255")), clRed);
  for (TColor c : {clNone, clDefault, clGray, clMoneyGreen, cl3DLight, ColorOf(0x00ABCDEF)})
    EXPECT_EQ(StringToColor(ColorToString(c)), c);
}

TEST(ColorStrings, UnknownTextRaisesConvertError) {
  EXPECT_THROW(StringToColor(QStringLiteral("clNoSuchColour")), EConvertError);
  EXPECT_THROW(StringToColor(QStringLiteral("$XYZ")), EConvertError);
  TColor c = 0;
  EXPECT_FALSE(IdentToColor(QStringLiteral("clPink"), c));
}

TEST(SystemPalette, FollowsTheColourTable) {
  const QPalette p = SystemPalette();
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Button), ColorToQColor(clBtnFace));
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Highlight), ColorToQColor(clHighlight));
  EXPECT_EQ(p.color(QPalette::Active, QPalette::Base), ColorToQColor(clWindow));
  EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Text), ColorToQColor(clGrayText));
  EXPECT_EQ(p.color(QPalette::Active, QPalette::ToolTipBase), ColorToQColor(clInfoBk));
}

}  // namespace
