#include "platform/classes/ClassBuilder.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/PenBrush.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

TEST(FontSize, HeightAndSizeFollowTheSignRule) {
  TFont font;
  EXPECT_EQ(font.Height(), -11);
  EXPECT_EQ(font.Size(), 8);
  font.SetSize(12);
  EXPECT_EQ(font.Height(), -16);
  font.SetHeight(-13);
  EXPECT_EQ(font.Size(), 10);
  font.SetHeight(16);  // a cell height reads as a negative size
  EXPECT_EQ(font.Size(), -12);
  font.SetPixelsPerInch(300);
  font.SetSize(10);
  EXPECT_EQ(font.Height(), -42);
}

TEST(FontSize, NegativeHeightIsTheEmSizePositiveTheCellHeight) {
  TFont font;
  font.SetName(QStringLiteral("Arial"));
  font.SetHeight(-20);
  EXPECT_EQ(font.ToQFont().pixelSize(), 20);
  font.SetHeight(20);
  const QFont cell = font.ToQFont();
  EXPECT_LT(cell.pixelSize(), 20);
  EXPECT_NEAR(QFontMetrics(cell).height(), 20, 1);
}

TEST(FontFaces, ClassicNamesResolveToInstalledFaces) {
  TFont font;
  const struct {
    const char* name;
    const char* family;
  } cases[] = {{"Arial", "Liberation Sans"},
               {"Times New Roman", "Liberation Serif"},
               {"Courier New", "Liberation Mono"},
               {"MS Sans Serif", "Liberation Sans"}};
  for (const auto& c : cases) {
    font.SetName(QString::fromLatin1(c.name));
    EXPECT_EQ(QFontInfo(font.ToQFont()).family(), QString::fromLatin1(c.family)) << c.name;
  }
}

TEST(FontStyle, StylesReachTheQtFont) {
  TFont font;
  font.SetStyle({fsBold, fsUnderline});
  const QFont q = font.ToQFont();
  EXPECT_TRUE(q.bold());
  EXPECT_TRUE(q.underline());
  EXPECT_FALSE(q.italic());
  EXPECT_FALSE(q.strikeOut());
}

TEST(FontChange, SettersNotifyOnlyOnRealChanges) {
  TFont font;
  int changes = 0;
  font.OnChange = [&changes](TObject*) { ++changes; };
  font.SetColor(clRed);
  font.SetColor(clRed);
  font.SetName(font.Name());
  font.SetSize(font.Size());
  font.SetStyle({fsItalic});
  font.SetOrientation(900);
  EXPECT_EQ(changes, 3);
}

TEST(FontChange, AssignCopiesAndNotifiesOnce) {
  TFont source, target;
  source.SetName(QStringLiteral("Courier New"));
  source.SetSize(14);
  source.SetColor(clBlue);
  source.SetStyle({fsBold});
  int changes = 0;
  target.OnChange = [&changes](TObject*) { ++changes; };
  target.Assign(&source);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(target.SameAs(source));
  target.Assign(&source);
  EXPECT_EQ(changes, 1);
}

TEST(FontProperties, PublishedAsFormFilesNameThem) {
  const TMetaClass& meta = MetaClassOf<TFont>();
  for (const char* name : {"Charset", "Color", "Height", "Name", "Pitch", "Style"})
    EXPECT_NE(meta.FindProperty(QString::fromLatin1(name)), nullptr) << name;
  TFont font;
  const TPropInfo* color = meta.FindProperty(QStringLiteral("Color"));
  ASSERT_NE(color, nullptr);
  std::int64_t value = 0;
  ASSERT_TRUE(color->idents->ToValue(QStringLiteral("clBtnFace"), value));
  color->setOrd(&font, value);
  EXPECT_EQ(font.Color(), clBtnFace);
  EXPECT_FALSE(meta.FindProperty(QStringLiteral("Size"))->IsStored(&font));
  const TPropInfo* style = meta.FindProperty(QStringLiteral("Style"));
  style->setOrd(&font, TFontStyles{fsItalic}.Bits());
  EXPECT_TRUE(font.Style().Contains(fsItalic));
  EXPECT_NE(MetaClassOf<TPen>().FindProperty(QStringLiteral("Mode")), nullptr);
  EXPECT_NE(MetaClassOf<TBrush>().FindProperty(QStringLiteral("Style")), nullptr);
}

}  // namespace
