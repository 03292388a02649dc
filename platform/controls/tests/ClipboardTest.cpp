// The clipboard: Unicode text, pictures, formats and Open/Close sessions.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Clipbrd.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

namespace {

class ClipboardTest : public ControlsTest {
 protected:
  static std::unique_ptr<TBitmap> RedBitmap() {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(4, 3);
    bitmap->Canvas()->Brush()->SetColor(clRed);
    bitmap->Canvas()->FillRect(Rect(0, 0, 4, 3));
    return bitmap;
  }
};

TEST_F(ClipboardTest, TextRoundTripsInUnicode) {
  const QString text = QStringLiteral("Sanaristikko: ÄÖÅ äöå — ✓ 字");
  Clipboard()->SetAsText(text);
  EXPECT_EQ(Clipboard()->AsText(), text);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
}

TEST_F(ClipboardTest, ClearEmptiesIt) {
  Clipboard()->SetAsText("jotain");
  Clipboard()->Clear();
  EXPECT_EQ(Clipboard()->AsText(), "");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
}

TEST_F(ClipboardTest, BitmapGoesInAndComesBackAsPicture) {
  auto bitmap = RedBitmap();
  Clipboard()->Assign(bitmap.get());
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(CF_PICTURE));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  TPicture picture;
  picture.Assign(Clipboard());
  ASSERT_EQ(picture.Width(), 4);
  ASSERT_EQ(picture.Height(), 3);
  EXPECT_EQ(QRgbToColor(picture.Bitmap()->Image().pixel(2, 1)), clRed);
}

TEST_F(ClipboardTest, PictureGoesIn) {
  auto bitmap = RedBitmap();
  TPicture picture;
  picture.SetGraphic(bitmap.get());
  Clipboard()->Assign(&picture);
  TBitmap back;
  back.Assign(Clipboard());
  EXPECT_EQ(back.Width(), 4);
}

TEST_F(ClipboardTest, WritesReplaceOutsideASessionAndAddInside) {
  auto bitmap = RedBitmap();
  Clipboard()->Assign(bitmap.get());
  Clipboard()->SetAsText("teksti");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));  // replaced

  Clipboard()->Open();
  Clipboard()->SetAsText("sana");
  Clipboard()->Assign(bitmap.get());
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(Clipboard()->AsText(), "sana");

  Clipboard()->Open();
  Clipboard()->Open();
  Clipboard()->SetAsText("uusi");  // the first write of a session starts afresh
  Clipboard()->Close();
  Clipboard()->Assign(bitmap.get());  // still inside the outer session
  Clipboard()->Close();
  EXPECT_EQ(Clipboard()->AsText(), "uusi");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  Clipboard()->Close();  // unmatched: nothing happens
}

TEST_F(ClipboardTest, PictureFromTextOnlyClipboardIsRefused) {
  Clipboard()->SetAsText("ei kuva");
  TPicture picture;
  EXPECT_THROW(picture.Assign(Clipboard()), EClipboardException);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST_F(ClipboardTest, OtherSourcesCannotBeAssigned) {
  TPicture empty;
  EXPECT_THROW(Clipboard()->Assign(&empty), EConvertError);
}

}  // namespace
