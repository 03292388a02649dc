// The clips and pictures kept in the game's folder: sizes, frame counts
// and backgrounds the game relies on, and the tool-button glyphs kept in
// the main form.
#include "platform/classes/FormParser.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Streams.h"
#include "tools/clips/ClipFrames.h"
#include "tools/images/GameImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

const QString GameDir = QStringLiteral(QX_GAME_ART_DIR);

QStringList FrameFiles(const QString& clip) {
  const QDir dir(GameDir + QStringLiteral("/anim/") + clip);
  QStringList frames;
  for (const QString& name : dir.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
    bool numbered = false;
    name.chopped(4).toInt(&numbered);
    if (numbered)
      frames << dir.filePath(name);
  }
  return frames;
}

// Same size and every channel of every pixel within 2 (the rasteriser may
// round differently on another processor).
bool PixelsClose(const QImage& a, const QImage& b) {
  if (a.size() != b.size())
    return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      if (std::abs(qRed(p) - qRed(q)) > 2 || std::abs(qGreen(p) - qGreen(q)) > 2 ||
          std::abs(qBlue(p) - qBlue(q)) > 2)
        return false;
    }
  return true;
}

struct ClipRow {
  const char* name;
  QRgb background;
};

class Clips : public testing::TestWithParam<ClipRow> {};

TEST_P(Clips, HaveTwelveToSixteenFramesOfTheAnimationSize) {
  const QStringList frames = FrameFiles(QLatin1String(GetParam().name));
  EXPECT_GE(frames.size(), 12);
  EXPECT_LE(frames.size(), 16);
  for (const QString& file : frames) {
    const QImage frame(file);
    ASSERT_FALSE(frame.isNull()) << qPrintable(file);
    EXPECT_EQ(frame.size(), QSize(177, 240)) << qPrintable(file);
  }
}

TEST_P(Clips, FramesAreNumberedFromOneWithoutGaps) {
  const QStringList frames = FrameFiles(QLatin1String(GetParam().name));
  for (qsizetype i = 0; i < frames.size(); ++i)
    EXPECT_EQ(QFileInfo(frames[i]).completeBaseName().toInt(), i + 1) << qPrintable(frames[i]);
}

TEST_P(Clips, BackgroundShowsInTheTopLeftCornerOfEveryFrame) {
  // The animation control takes the top-left pixel as the see-through colour.
  for (const QString& file : FrameFiles(QLatin1String(GetParam().name)))
    EXPECT_EQ(QImage(file).pixel(0, 0) & 0xFFFFFF, GetParam().background & 0xFFFFFF)
        << qPrintable(file);
}

TEST_P(Clips, SomethingMovesFromFrameToFrame) {
  const QStringList frames = FrameFiles(QLatin1String(GetParam().name));
  ASSERT_GE(frames.size(), 2);
  QSet<QByteArray> distinct;
  for (const QString& file : frames) {
    const QImage image = QImage(file).convertToFormat(QImage::Format_RGB32);
    distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
  }
  EXPECT_GE(distinct.size(), frames.size() * 3 / 4);
}

TEST_P(Clips, IntervalFileHoldsPositiveMilliseconds) {
  QFile file(GameDir + QStringLiteral("/anim/") + QLatin1String(GetParam().name) +
             QStringLiteral("/interval"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  bool ok = false;
  const int ms = QString::fromLatin1(file.readAll()).trimmed().toInt(&ok);
  EXPECT_TRUE(ok);
  EXPECT_GT(ms, 0);
}

TEST_P(Clips, KeptFramesAreWhatTheGeneratorDraws) {
  const QStringList frames = FrameFiles(QLatin1String(GetParam().name));
  ASSERT_EQ(frames.size(), ClipFrameCount);
  const bool cow = QLatin1String(GetParam().name) == QLatin1String("lehma");
  for (int i = 1; i <= ClipFrameCount; ++i) {
    const QImage drawn = cow ? DrawCowFrame(i) : DrawJesterFrame(i);
    EXPECT_TRUE(PixelsClose(QImage(frames[i - 1]), drawn)) << qPrintable(frames[i - 1]);
  }
}

TEST_P(Clips, TheAnimationControlOpensTheClip) {
  TApplication app;
  TForm form(nullptr);
  auto* anim = new TAnimate(&form);  // owned by the form
  anim->SetParent(&form);
  anim->SetFileName(GameDir + QStringLiteral("/anim/") + QLatin1String(GetParam().name));
  anim->SetOpen(true);
  EXPECT_EQ(anim->FrameCount(), ClipFrameCount);
  EXPECT_EQ(anim->FrameWidth(), ClipWidth);
  EXPECT_EQ(anim->FrameHeight(), ClipHeight);
  EXPECT_EQ(anim->FrameInterval(), static_cast<unsigned>(ClipFrameMs));
}

INSTANTIATE_TEST_SUITE_P(EndAnimations, Clips,
                         testing::Values(ClipRow{"lehma", 0xFFFFFF}, ClipRow{"jester", 0x000000}),
                         [](const testing::TestParamInfo<ClipRow>& row) {
                           return std::string(row.param.name);
                         });

TEST(GamePictures, SplashFitsItsWindowWithAMargin) {
  const QImage splash(GameDir + QStringLiteral("/images/splash.png"));
  ASSERT_FALSE(splash.isNull());
  EXPECT_LE(splash.width(), 410 - 20);
  EXPECT_LE(splash.height(), 311 - 20);
  EXPECT_GE(splash.width(), 300);
}

TEST(GamePictures, AboutPictureExists) {
  const QImage about(GameDir + QStringLiteral("/images/about.png"));
  ASSERT_FALSE(about.isNull());
  EXPECT_EQ(about.size(), QSize(AboutSize, AboutSize));
}

// Tool-button glyphs.

QByteArray MainFormText() {
  QFile file(GameDir + QStringLiteral("/main.form"));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const TFormObject* FindObject(const TFormObject& parent, const QString& name) {
  for (const TFormObject& child : parent.children) {
    if (child.name == name)
      return &child;
    if (const TFormObject* found = FindObject(child, name))
      return found;
  }
  return nullptr;
}

const TFormProperty* FindProperty(const TFormObject& object, const QString& name) {
  for (const TFormProperty& property : object.properties)
    if (property.name == name)
      return &property;
  return nullptr;
}

// What a form file stores as a glyph's Data: the byte count, then the file.
QByteArray GlyphData(ToolGlyph glyph) {
  const QByteArray bmp = ToolGlyphBmp(glyph);
  const auto size = static_cast<qint32>(bmp.size());
  return QByteArray(reinterpret_cast<const char*>(&size), 4) + bmp;
}

std::unique_ptr<TBitmap> LoadBmp(const QByteArray& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromStream(stream);
  return bitmap;
}

class ToolGlyphs : public testing::TestWithParam<ToolGlyphButton> {};

TEST_P(ToolGlyphs, AreSquareAndInSixteenColours) {
  const QImage glyph = DrawToolGlyph(GetParam().glyph);
  EXPECT_EQ(glyph.size(), QSize(ToolGlyphSize, ToolGlyphSize));
  EXPECT_EQ(glyph.format(), QImage::Format_Indexed8);
  EXPECT_EQ(glyph.colorCount(), 16);
}

TEST_P(ToolGlyphs, BottomLeftPixelIsTheButtonFace) {
  // The button leaves out the bottom-left pixel's colour; the face shows there.
  const std::unique_ptr<TBitmap> bitmap = LoadBmp(ToolGlyphBmp(GetParam().glyph));
  EXPECT_EQ(bitmap->TransparentColor(), ColorToRGB(clBtnFace));
}

TEST_P(ToolGlyphs, DrawAFigureWithAnOutline) {
  const QImage glyph = DrawToolGlyph(GetParam().glyph);
  const QRgb face = glyph.pixel(0, ToolGlyphSize - 1);
  int figure = 0;
  int dark = 0;
  for (int y = 0; y < glyph.height(); ++y)
    for (int x = 0; x < glyph.width(); ++x) {
      const QRgb p = glyph.pixel(x, y);
      figure += p != face;
      dark += qGray(p) < 64;
    }
  EXPECT_GE(figure, ToolGlyphSize * ToolGlyphSize / 5);
  EXPECT_LT(figure, ToolGlyphSize * ToolGlyphSize * 4 / 5);
  EXPECT_GE(dark, 20);
}

TEST_P(ToolGlyphs, BmpIsFourBitAndReadsBackPixelForPixel) {
  const QByteArray bmp = ToolGlyphBmp(GetParam().glyph);
  ASSERT_GE(bmp.size(), 30);
  EXPECT_EQ(bmp[28], 4);  // bits per pixel
  const std::unique_ptr<TBitmap> bitmap = LoadBmp(bmp);
  const QImage drawn = DrawToolGlyph(GetParam().glyph);
  ASSERT_EQ(bitmap->Width(), drawn.width());
  ASSERT_EQ(bitmap->Height(), drawn.height());
  const QImage& read = bitmap->Image();
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x)
      ASSERT_EQ(read.pixel(x, y) & 0xFFFFFF, drawn.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_P(ToolGlyphs, MainFormGivesTheButtonItsGlyphAndNoCaption) {
  const TFormObject form = ParseFormText(MainFormText(), QStringLiteral("main.form"));
  const TFormObject* button = FindObject(form, QLatin1String(GetParam().button));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->className, QLatin1String(GetParam().className));
  const TFormProperty* data =
      FindProperty(*button, QString::fromLatin1(ToolButtonProperty(GetParam())));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->value.binary, ToolButtonData(GetParam()));
  if (GetParam().columns == 1) {
    EXPECT_EQ(data->value.binary, GlyphData(GetParam().glyph));
  }
  EXPECT_EQ(FindProperty(*button, QStringLiteral("Caption")), nullptr);
  EXPECT_NE(FindProperty(*button, QStringLiteral("Hint")), nullptr);
}

INSTANTIATE_TEST_SUITE_P(GameToolBar, ToolGlyphs, testing::ValuesIn(GameToolButtons),
                         [](const testing::TestParamInfo<ToolGlyphButton>& row) {
                           return std::string(row.param.button);
                         });

TEST(ToolGlyphs, SecondColumnIsTheFigureGreyedWithAWhiteShadow) {
  const QImage one = DrawToolGlyph(ToolGlyph::ArrowRight);
  const QImage two = DrawToolPicture(ToolGlyph::ArrowRight, 2);
  ASSERT_EQ(two.size(), QSize(2 * ToolGlyphSize, ToolGlyphSize));
  const QRgb face = one.pixel(0, ToolGlyphSize - 1);
  int white = 0;
  for (int y = 0; y < ToolGlyphSize; ++y)
    for (int x = 0; x < ToolGlyphSize; ++x) {
      ASSERT_EQ(two.pixel(x, y), one.pixel(x, y));
      const QRgb grey = two.pixel(ToolGlyphSize + x, y) & 0xFFFFFF;
      if (one.pixel(x, y) != face)
        EXPECT_EQ(grey, 0x808080u) << x << "," << y;
      else
        white += grey == 0xFFFFFFu;
    }
  EXPECT_GT(white, 0);
  EXPECT_EQ(two.pixel(ToolGlyphSize, ToolGlyphSize - 1), face);
  EXPECT_EQ(DrawToolPicture(ToolGlyph::ArrowRight, 1), one);
}

TEST(ToolGlyphs, AreAllDifferent) {
  QSet<QByteArray> distinct;
  for (const ToolGlyphButton& button : GameToolButtons)
    distinct.insert(ToolGlyphBmp(button.glyph));
  EXPECT_EQ(distinct.size(), static_cast<qsizetype>(GameToolButtons.size()));
}

TEST(ToolGlyphForm, KeptMainFormIsUpToDate) {
  const QByteArray text = MainFormText();
  ASSERT_FALSE(text.isEmpty());
  EXPECT_TRUE(PutToolGlyphsIntoForm(text) == text)
      << "run makeimages with game/main.form to refresh the glyphs";
}

// A form with the six buttons, each line given by the row.
QByteArray SmallForm(const QByteArray& buttonBody) {
  QByteArray text = "object F: TForm\n  object P: TPanel\n";
  for (const ToolGlyphButton& button : GameToolButtons)
    text += QByteArray("    object ") + button.button + ": " + button.className + "\n" +
            buttonBody + "    end\n";
  return text + "  end\nend\n";
}

TEST(ToolGlyphForm, GlyphTakesTheCaptionsPlaceAndOtherLinesStay) {
  const struct {
    const char* name;
    QByteArray body;
  } rows[] = {
      {"caption", "      Hint = 'x'\n      Caption = 'A'\n      OnClick = C\n"},
      {"events only", "      Hint = 'x'\n      OnClick = C\n"},
      {"nothing", "      Hint = 'x'\n"},
      {"old glyph", "      Hint = 'x'\n      Glyph.Data = {\n        0000\n        00}\n"
                    "      OnClick = C\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const QByteArray once = PutToolGlyphsIntoForm(SmallForm(row.body));
    EXPECT_EQ(PutToolGlyphsIntoForm(once), once);
    EXPECT_FALSE(once.contains("Caption"));
    EXPECT_EQ(once.count("Hint = 'x'"), 6);
    EXPECT_EQ(once.count("OnClick = C"), row.body.count("OnClick = C") * 6);
    const TFormObject form = ParseFormText(once, QStringLiteral("small.form"));
    for (const ToolGlyphButton& button : GameToolButtons) {
      const TFormObject* object = FindObject(form, QLatin1String(button.button));
      ASSERT_NE(object, nullptr);
      const std::size_t numGlyphs = button.columns > 1 ? 1u : 0u;
      ASSERT_EQ(object->properties.size(), (row.body.count("OnClick") ? 3u : 2u) + numGlyphs);
      EXPECT_EQ(object->properties[0].name, QStringLiteral("Hint"));
      EXPECT_EQ(object->properties[1].name, QString::fromLatin1(ToolButtonProperty(button)));
      EXPECT_EQ(object->properties[1].value.binary, ToolButtonData(button));
      if (numGlyphs != 0) {
        EXPECT_EQ(object->properties[2].name, QStringLiteral("NumGlyphs"));
      }
    }
  }
}

TEST(ToolGlyphForm, FormsItCannotPlaceAGlyphInAreErrors) {
  QByteArray missing = SmallForm("");
  missing.replace("esiinalas: TRepSpeedBtn", "esiinalas: TLabel");
  QByteArray unterminated = SmallForm("      Glyph.Data = {\n        0000\n");
  QByteArray noEnd = "object F: TForm\n  object SpeedButton1: TSpeedButton\n";
  for (const QByteArray& text : {missing, unterminated, noEnd}) {
    EXPECT_THROW(PutToolGlyphsIntoForm(text), std::runtime_error) << text.constData();
  }
}

}  // namespace
