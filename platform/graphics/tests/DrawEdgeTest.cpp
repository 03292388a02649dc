#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/tests/PixelTestUtil.h"

#include <gtest/gtest.h>

namespace {

using gfxtest::Surface;

constexpr TColor kBack = ColorOf(0x00123456);

// Colours of the outer and inner lines on a 10 x 10 rectangle: top row at
// y 0 / 1, left column x 0 / 1, bottom row y 9 / 8, right column x 9 / 8.
struct EdgeCase {
  const char* name;
  unsigned edge, flags;
  TColor outerTL, outerBR, innerTL, innerBR;
};

const EdgeCase kEdges[] = {
    {"raised", EDGE_RAISED, BF_RECT, cl3DLight, cl3DDkShadow, clBtnHighlight, clBtnShadow},
    {"sunken", EDGE_SUNKEN, BF_RECT, clBtnShadow, clBtnHighlight, cl3DDkShadow, cl3DLight},
    {"etched", EDGE_ETCHED, BF_RECT, clBtnShadow, clBtnHighlight, clBtnHighlight, clBtnShadow},
    {"bump", EDGE_BUMP, BF_RECT, cl3DLight, cl3DDkShadow, cl3DDkShadow, cl3DLight},
    {"raised soft", EDGE_RAISED, BF_RECT | BF_SOFT, clBtnHighlight, cl3DDkShadow, cl3DLight,
     clBtnShadow},
    {"sunken soft", EDGE_SUNKEN, BF_RECT | BF_SOFT, cl3DDkShadow, clBtnHighlight, clBtnShadow,
     cl3DLight},
    {"flat", EDGE_RAISED, BF_RECT | BF_FLAT, clBtnShadow, clBtnShadow, clBtnFace, clBtnFace},
    {"mono", EDGE_RAISED, BF_RECT | BF_MONO, clWindowFrame, clWindowFrame, clWindow, clWindow},
};

TEST(DrawEdge, EachSideTakesItsClassicColour) {
  for (const EdgeCase& c : kEdges) {
    Surface s(10, 10, kBack);
    TRect r = Rect(0, 0, 10, 10);
    ASSERT_TRUE(DrawEdge(s.canvas.get(), r, c.edge, c.flags));
    EXPECT_EQ(r, Rect(0, 0, 10, 10)) << c.name;  // no BF_ADJUST
    EXPECT_EQ(s.At(4, 0), ColorToRGB(c.outerTL)) << c.name;
    EXPECT_EQ(s.At(0, 4), ColorToRGB(c.outerTL)) << c.name;
    EXPECT_EQ(s.At(4, 9), ColorToRGB(c.outerBR)) << c.name;
    EXPECT_EQ(s.At(9, 4), ColorToRGB(c.outerBR)) << c.name;
    EXPECT_EQ(s.At(4, 1), ColorToRGB(c.innerTL)) << c.name;
    EXPECT_EQ(s.At(1, 4), ColorToRGB(c.innerTL)) << c.name;
    EXPECT_EQ(s.At(4, 8), ColorToRGB(c.innerBR)) << c.name;
    EXPECT_EQ(s.At(8, 4), ColorToRGB(c.innerBR)) << c.name;
    EXPECT_EQ(s.At(5, 5), kBack) << c.name;
    // Corners: top-left to the light line, the other three to the dark one.
    EXPECT_EQ(s.At(0, 0), ColorToRGB(c.outerTL)) << c.name;
    EXPECT_EQ(s.At(9, 0), ColorToRGB(c.outerBR)) << c.name;
    EXPECT_EQ(s.At(0, 9), ColorToRGB(c.outerBR)) << c.name;
  }
}

TEST(DrawEdge, OnlyTheChosenSides) {
  Surface s(10, 10, kBack);
  TRect r = Rect(0, 0, 10, 10);
  DrawEdge(s.canvas.get(), r, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_ADJUST);
  EXPECT_EQ(s.At(4, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(0, 4), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(s.At(4, 9), kBack);
  EXPECT_EQ(s.At(9, 4), kBack);
  EXPECT_EQ(r, Rect(1, 1, 10, 10));
}

TEST(DrawEdge, AdjustAndMiddle) {
  Surface s(10, 10, kBack);
  TRect r = Rect(0, 0, 10, 10);
  s.canvas->Brush()->SetColor(clRed);
  DrawEdge(s.canvas.get(), r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE);
  EXPECT_EQ(r, Rect(2, 2, 8, 8));
  EXPECT_EQ(s.At(5, 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(s.canvas->Brush()->Color(), clRed);  // the caller's brush comes back
  TRect single = Rect(0, 0, 10, 10);
  DrawEdge(s.canvas.get(), single, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
  EXPECT_EQ(single, Rect(1, 1, 9, 9));
}

TEST(DrawEdge, ConflictingBitsDrawNothing) {
  Surface s(10, 10, kBack);
  TRect r = Rect(0, 0, 10, 10);
  EXPECT_FALSE(DrawEdge(s.canvas.get(), r, BDR_RAISEDOUTER | BDR_SUNKENOUTER, BF_RECT));
  EXPECT_EQ(s.At(0, 0), kBack);
}

TEST(Frame3D, DrawsAndShrinksByTheWidth) {
  Surface s(10, 10, kBack);
  TRect r = Rect(0, 0, 10, 10);
  Frame3D(s.canvas.get(), r, clRed, clBlue, 1);
  EXPECT_EQ(r, Rect(1, 1, 9, 9));
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(8, 0), clRed);
  EXPECT_EQ(s.At(0, 8), clRed);
  EXPECT_EQ(s.At(9, 0), clBlue);
  EXPECT_EQ(s.At(0, 9), clBlue);
  EXPECT_EQ(s.At(9, 9), clBlue);
  EXPECT_EQ(s.At(5, 5), kBack);
  EXPECT_EQ(s.At(1, 1), kBack);
}

TEST(Frame3D, WidthTwoNestsTwoFrames) {
  Surface s(10, 10, kBack);
  TRect r = Rect(0, 0, 10, 10);
  Frame3D(s.canvas.get(), r, clWhite, clGray, 2);
  EXPECT_EQ(r, Rect(2, 2, 8, 8));
  EXPECT_EQ(s.At(1, 4), clWhite);
  EXPECT_EQ(s.At(8, 4), clGray);
  EXPECT_EQ(s.At(4, 8), clGray);
  EXPECT_EQ(s.At(2, 2), kBack);
}

}  // namespace
