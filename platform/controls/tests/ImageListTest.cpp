// TImageList: adding strips with masks or a mask colour, drawing pixels
// (transparent, disabled), Delete/Clear, and the stored "Bitmap" data.

#include "platform/controls/ImageList.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

namespace {

// A 3 x 3 image per colour, side by side; the centre pixel of each is white.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colors) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(3 * static_cast<int>(colors.size()), 3);
  int x = 0;
  for (TColor c : colors) {
    bmp->Canvas()->Brush()->SetColor(c);
    bmp->Canvas()->FillRect(Rect(x, 0, x + 3, 3));
    bmp->Canvas()->SetPixel(x + 1, 1, clWhite);
    x += 3;
  }
  return bmp;
}

class ImageListTest : public NativeControlsTest {
 protected:
  void SetUp() override {
    NativeControlsTest::SetUp();
    list = std::make_unique<TImageList>(nullptr);
    list->SetWidth(3);
    list->SetHeight(3);
    target.SetSize(10, 10);
    target.Canvas()->Brush()->SetColor(clYellow);
    target.Canvas()->FillRect(Rect(0, 0, 10, 10));
  }
  TColor At(int x, int y) { return target.Canvas()->Pixel(x, y); }

  std::unique_ptr<TImageList> list;
  TBitmap target;
};

TEST_F(ImageListTest, AddSplitsAStripIntoImages) {
  auto strip = Strip({clRed, clBlue});
  EXPECT_EQ(list->Add(strip.get(), nullptr), 0);
  EXPECT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Add(strip.get(), nullptr), 2);
  list->Draw(target.Canvas(), 2, 2, 1);
  EXPECT_EQ(At(2, 2), clBlue);
  EXPECT_EQ(At(3, 3), clWhite);  // no mask: every pixel is drawn
  EXPECT_EQ(At(5, 5), clYellow);
}

TEST_F(ImageListTest, AddMaskedLeavesTheMaskColourOut) {
  auto strip = Strip({clRed});
  list->AddMasked(strip.get(), clWhite);
  list->Draw(target.Canvas(), 0, 0, 0);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(1, 1), clYellow);
}

TEST_F(ImageListTest, MaskWhiteIsTransparent) {
  auto strip = Strip({clLime});
  TBitmap mask;
  mask.SetSize(3, 3);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 3, 3));
  mask.Canvas()->SetPixel(0, 0, clWhite);
  list->Add(strip.get(), &mask);
  list->Draw(target.Canvas(), 4, 4, 0);
  EXPECT_EQ(At(4, 4), clYellow);
  EXPECT_EQ(At(5, 4), clLime);
}

TEST_F(ImageListTest, DisabledDrawsTheShapeEmbossed) {
  auto strip = Strip({clRed});
  list->Add(strip.get(), nullptr);
  list->Draw(target.Canvas(), 0, 0, 0, false);
  EXPECT_EQ(At(0, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(3, 3), ColorToRGB(clBtnHighlight));  // the highlight one pixel down-right
  EXPECT_EQ(At(4, 4), clYellow);
}

TEST_F(ImageListTest, BadIndexesAndBitmaps) {
  auto strip = Strip({clRed});
  list->Add(strip.get(), nullptr);
  list->Draw(target.Canvas(), 0, 0, 5);  // draws nothing
  EXPECT_EQ(At(0, 0), clYellow);
  EXPECT_THROW(list->Delete(1), EInvalidOperation);
  EXPECT_THROW(list->Add(nullptr, nullptr), EInvalidOperation);
  TBitmap narrow;
  narrow.SetSize(2, 3);
  EXPECT_THROW(list->Add(&narrow, nullptr), EInvalidOperation);
  EXPECT_EQ(list->Count(), 1);
}

TEST_F(ImageListTest, DeleteClearAndSizeChanges) {
  auto strip = Strip({clRed, clLime, clBlue});
  list->Add(strip.get(), nullptr);
  int changes = 0;
  list->OnChange = [&](TObject*) { ++changes; };
  list->Delete(0);
  TBitmap out;
  list->GetBitmap(0, &out);
  EXPECT_EQ(out.Width(), 3);
  EXPECT_EQ(out.Canvas()->Pixel(0, 0), clLime);
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
  list->Add(strip.get(), nullptr);
  list->SetWidth(4);  // a new size empties the list
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(changes, 4);
}

TEST_F(ImageListTest, BitmapDataRoundTripsThroughAFormFile) {
  auto strip = Strip({clRed, clBlue});
  TBitmap mask;
  mask.SetSize(6, 3);
  mask.Canvas()->Brush()->SetColor(clBlack);
  mask.Canvas()->FillRect(Rect(0, 0, 6, 3));
  mask.Canvas()->SetPixel(4, 1, clWhite);
  list->Add(strip.get(), &mask);
  form->SetName(QStringLiteral("Form1"));
  auto* owned = new TImageList(form.get());
  owned->SetName(QStringLiteral("Glyphs"));
  owned->SetWidth(3);
  owned->SetHeight(3);
  owned->Add(strip.get(), &mask);
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_TRUE(text.contains("Bitmap = {")) << text.constData();
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TImageList*>(copy.FindComponent(QStringLiteral("Glyphs")));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->Count(), 2);
  EXPECT_EQ(read->Width(), 3);
  read->Draw(target.Canvas(), 0, 0, 1);
  EXPECT_EQ(At(0, 0), clBlue);
  EXPECT_EQ(At(1, 1), clYellow);  // masked out
}

struct BadData {
  const char* name;
  QByteArray bytes;
};

class ImageListBadDataTest : public ImageListTest, public testing::WithParamInterface<BadData> {};

TEST_P(ImageListBadDataTest, IsRefusedAndChangesNothing) {
  auto strip = Strip({clRed});
  list->Add(strip.get(), nullptr);
  EXPECT_THROW(list->LoadImageData(GetParam().bytes), EReadError);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->Width(), 3);
}

QByteArray Header(quint16 version, quint16 w, quint16 h, quint32 count) {
  QByteArray b("QXIL");
  const auto put16 = [&b](quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
  put16(version);
  put16(w);
  put16(h);
  put16(static_cast<quint16>(count & 0xFFFF));
  put16(static_cast<quint16>(count >> 16));
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Corrupt, ImageListBadDataTest,
    testing::Values(BadData{"Empty", QByteArray()}, BadData{"Short", QByteArray("QXIL")},
                    BadData{"Magic", QByteArray("ABCD") + Header(1, 1, 1, 0).mid(4)},
                    BadData{"Version", Header(2, 1, 1, 0)},
                    BadData{"ZeroWidth", Header(1, 0, 1, 0)},
                    BadData{"HugeCount", Header(1, 16, 16, 0x10000)},
                    BadData{"Truncated", Header(1, 2, 2, 1) + QByteArray(15, '\0')},
                    BadData{"TooLong", Header(1, 1, 1, 1) + QByteArray(5, '\0')}),
    [](const testing::TestParamInfo<BadData>& p) { return std::string(p.param.name); });

}  // namespace
