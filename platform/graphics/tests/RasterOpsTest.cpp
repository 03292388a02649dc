#include "platform/graphics/Bitmap.h"
#include "platform/graphics/tests/PixelTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using gfxtest::Surface;

constexpr TColor kP = ColorOf(0x00F0CC0F);  // brush (pattern)
constexpr TColor kS = ColorOf(0x00AAAA55);  // source
constexpr TColor kD = ColorOf(0x00C3A5E1);  // destination

struct RopCase {
  const char* name;
  TCopyMode rop;
  std::function<std::uint32_t(std::uint32_t, std::uint32_t, std::uint32_t)> expect;
};

const RopCase kRops[] = {
    {"SRCCOPY", SRCCOPY, [](auto, auto s, auto) { return s; }},
    {"SRCAND", SRCAND, [](auto, auto s, auto d) { return s & d; }},
    {"SRCPAINT", SRCPAINT, [](auto, auto s, auto d) { return s | d; }},
    {"SRCINVERT", SRCINVERT, [](auto, auto s, auto d) { return s ^ d; }},
    {"SRCERASE", SRCERASE, [](auto, auto s, auto d) { return s & ~d; }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](auto, auto s, auto) { return ~s; }},
    {"NOTSRCERASE", NOTSRCERASE, [](auto, auto s, auto d) { return ~(s | d); }},
    {"MERGEPAINT", MERGEPAINT, [](auto, auto s, auto d) { return ~s | d; }},
    {"MERGECOPY", MERGECOPY, [](auto p, auto s, auto) { return p & s; }},
    {"PATCOPY", PATCOPY, [](auto p, auto, auto) { return p; }},
    {"PATPAINT", PATPAINT, [](auto p, auto s, auto d) { return p | ~s | d; }},
    {"PATINVERT", PATINVERT, [](auto p, auto, auto d) { return p ^ d; }},
    {"DSTINVERT", DSTINVERT, [](auto, auto, auto d) { return ~d; }},
    {"BLACKNESS", BLACKNESS, [](auto, auto, auto) { return 0u; }},
    {"WHITENESS", WHITENESS, [](auto, auto, auto) { return 0xFFFFFFu; }},
    {"DSPDxax", 0x00E20746, [](auto p, auto s, auto d) { return d ^ (s & (p ^ d)); }},
    {"PSDPxax", 0x00B8074A, [](auto p, auto s, auto d) { return p ^ (s & (d ^ p)); }},
};

// A 2 x 1 bitmap of colour c.
std::unique_ptr<TBitmap> Solid(TColor c) {
  auto b = std::make_unique<TBitmap>();
  b->SetSize(2, 1);
  b->Canvas()->Brush()->SetColor(c);
  b->Canvas()->FillRect(Rect(0, 0, 2, 1));
  return b;
}

TEST(RasterOps, EveryNamedCodeCombinesPatternSourceAndDest) {
  for (const RopCase& c : kRops) {
    Surface s(4, 2, kD);
    auto src = Solid(kS);
    s.canvas->Brush()->SetColor(kP);
    s.canvas->SetCopyMode(c.rop);
    s.canvas->CopyRect(Rect(1, 0, 3, 1), src->Canvas(), Rect(0, 0, 2, 1));
    const auto want = ColorOf(c.expect(kP, kS, kD) & 0xFFFFFF);
    EXPECT_EQ(s.At(1, 0), want) << c.name;
    EXPECT_EQ(s.At(2, 0), want) << c.name;
    EXPECT_EQ(s.At(0, 0), kD) << c.name;
    EXPECT_EQ(s.At(1, 1), kD) << c.name;
  }
}

TEST(RasterOps, TruthTableBitsDecideEveryResultBit) {
  // Each table entry on its own: result bit set exactly where (P, S, D) hit it.
  for (unsigned entry = 0; entry < 8; ++entry) {
    const unsigned table = 1u << entry;
    const std::uint32_t p = 0xF0, s = 0xCC, d = 0xAA;  // all 8 combinations
    const std::uint32_t got = ApplyRop(table, p, s, d) & 0xFF;
    EXPECT_EQ(got, 1u << entry) << entry;
  }
}

TEST(RasterOps, UsageFollowsTheTable) {
  EXPECT_FALSE(RopUsesDest(SRCCOPY));
  EXPECT_TRUE(RopUsesSource(SRCCOPY));
  EXPECT_FALSE(RopUsesPattern(SRCCOPY));
  EXPECT_TRUE(RopUsesPattern(PATINVERT));
  EXPECT_FALSE(RopUsesSource(PATINVERT));
  EXPECT_FALSE(RopUsesSource(BLACKNESS));
  EXPECT_TRUE(RopUsesDest(0x00E20746));
}

TEST(RasterOps, MaskThroughDSPDxaxPaintsBrushWhereTheMaskIsWhite) {
  // A monochrome mask: white pixels take the brush, black ones keep the dest.
  TBitmap mask;
  mask.SetSize(2, 1);
  mask.SetMonochrome(true);
  mask.Canvas()->SetPixel(0, 0, clWhite);
  mask.Canvas()->SetPixel(1, 0, clBlack);
  Surface s(2, 1, clSilver);
  s.canvas->Brush()->SetColor(clBtnShadow);
  s.canvas->SetTextColor(clBlack);
  s.canvas->SetBkColor(clWhite);
  s.canvas->SetCopyMode(0x00E20746);
  s.canvas->Draw(0, 0, &mask);
  EXPECT_EQ(s.At(0, 0), ColorOf(0x808080));
  EXPECT_EQ(s.At(1, 0), clSilver);
}

TEST(MonochromeTransfer, MonoSourceTakesTextAndBackgroundColours) {
  TBitmap mono;
  mono.SetSize(2, 1);
  mono.SetMonochrome(true);
  mono.Canvas()->SetPixel(0, 0, clBlack);
  Surface s(2, 1);
  s.canvas->Font()->SetColor(clRed);
  s.canvas->Brush()->SetColor(clLime);
  s.canvas->Draw(0, 0, &mono);
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(1, 0), clLime);
}

TEST(MonochromeTransfer, ColourToMonoByTheSourceBackground) {
  TBitmap colour;
  colour.SetSize(3, 1);
  colour.Canvas()->SetPixel(0, 0, clFuchsia);
  colour.Canvas()->SetPixel(1, 0, clRed);
  colour.Canvas()->SetPixel(2, 0, clFuchsia);
  colour.Canvas()->Brush()->SetColor(clFuchsia);
  TBitmap mask;
  mask.SetSize(3, 1);
  mask.SetMonochrome(true);
  mask.Canvas()->CopyRect(Rect(0, 0, 3, 1), colour.Canvas(), Rect(0, 0, 3, 1));
  const QImage& m = mask.Image();
  EXPECT_EQ(QRgbToColor(m.pixel(0, 0)), clWhite);
  EXPECT_EQ(QRgbToColor(m.pixel(1, 0)), clBlack);
  EXPECT_EQ(QRgbToColor(m.pixel(2, 0)), clWhite);
}

TEST(MonochromeTransfer, SetMonochromeWhitensTheBrushColour) {
  TBitmap b;
  b.SetSize(2, 1);
  b.Canvas()->SetPixel(0, 0, clAqua);
  b.Canvas()->SetPixel(1, 0, clNavy);
  b.Canvas()->Brush()->SetColor(clAqua);
  b.SetMonochrome(true);
  EXPECT_TRUE(b.Monochrome());
  EXPECT_EQ(b.PixelFormat(), pf1bit);
  EXPECT_EQ(QRgbToColor(b.Image().pixel(0, 0)), clWhite);
  EXPECT_EQ(QRgbToColor(b.Image().pixel(1, 0)), clBlack);
}

TEST(StretchDraw, NearestNeighbourKeepsBlocks) {
  TBitmap b;
  b.SetSize(2, 2);
  b.Canvas()->SetPixel(0, 0, clRed);
  b.Canvas()->SetPixel(1, 0, clLime);
  b.Canvas()->SetPixel(0, 1, clBlue);
  b.Canvas()->SetPixel(1, 1, clYellow);
  Surface s(8, 8);
  s.canvas->StretchDraw(Rect(2, 2, 8, 8), &b);
  const TColor want[2][2] = {{clRed, clLime}, {clBlue, clYellow}};
  for (int y = 2; y < 8; ++y)
    for (int x = 2; x < 8; ++x)
      EXPECT_EQ(s.At(x, y), want[(y - 2) / 3][(x - 2) / 3]) << x << "," << y;
  EXPECT_EQ(s.At(1, 1), clSilver);
}

TEST(StretchDraw, ShrinkingPicksPixelsWithoutBlending) {
  TBitmap b;
  b.SetSize(4, 1);
  const TColor row[] = {clRed, clLime, clBlue, clYellow};
  for (int x = 0; x < 4; ++x)
    b.Canvas()->SetPixel(x, 0, row[x]);
  Surface s(2, 1);
  s.canvas->StretchDraw(Rect(0, 0, 2, 1), &b);
  for (int x = 0; x < 2; ++x) {
    const TColor c = s.At(x, 0);
    EXPECT_TRUE(c == row[2 * x] || c == row[2 * x + 1]) << std::hex << c;
  }
}

TEST(BrushCopy, TransparentColourTakesTheBrush) {
  TBitmap b;
  b.SetSize(4, 1);
  const TColor row[] = {clRed, clFuchsia, clRed, clFuchsia};
  for (int x = 0; x < 4; ++x)
    b.Canvas()->SetPixel(x, 0, row[x]);
  Surface s(6, 1);
  s.canvas->Brush()->SetColor(clBtnFace);
  s.canvas->BrushCopy(Rect(1, 0, 5, 1), &b, Rect(0, 0, 4, 1), clFuchsia);
  const TColor want[] = {clSilver, clRed, ColorOf(0xC0C0C0), clRed, ColorOf(0xC0C0C0), clSilver};
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(s.At(x, 0), want[x]) << x;
}

TEST(TransparentDraw, PixelsOfTheTransparentColourLeaveTheDestination) {
  TBitmap b;
  b.SetSize(3, 2);
  b.Canvas()->Brush()->SetColor(clWhite);
  b.Canvas()->FillRect(Rect(0, 0, 3, 2));
  b.Canvas()->SetPixel(1, 0, clNavy);
  EXPECT_EQ(b.TransparentColor(), clWhite);  // bottom-left pixel
  b.SetTransparent(true);
  Surface s(3, 2, clTeal);
  s.canvas->Draw(0, 0, &b);
  EXPECT_EQ(s.At(0, 0), clTeal);
  EXPECT_EQ(s.At(1, 0), clNavy);
  EXPECT_EQ(s.At(2, 1), clTeal);
  b.SetTransparentColor(clNavy);
  EXPECT_EQ(b.TransparentMode(), tmFixed);
  Surface t(3, 2, clTeal);
  t.canvas->Draw(0, 0, &b);
  EXPECT_EQ(t.At(1, 0), clTeal);
  EXPECT_EQ(t.At(0, 0), clWhite);
}

TEST(CopyRect, BetweenCanvasesWithStretch) {
  Surface src(2, 1, clRed);
  src.canvas->SetPixel(1, 0, clBlue);
  Surface dst(4, 2);
  dst.canvas->CopyRect(Rect(0, 0, 4, 2), src.canvas.get(), Rect(0, 0, 2, 1));
  EXPECT_EQ(dst.At(0, 0), clRed);
  EXPECT_EQ(dst.At(1, 1), clRed);
  EXPECT_EQ(dst.At(2, 0), clBlue);
  EXPECT_EQ(dst.At(3, 1), clBlue);
}

}  // namespace
