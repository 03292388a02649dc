// The clips, pictures and help kept in the game's folder: sizes, frame
// counts and backgrounds the game relies on, and the help anchors.
#include "platform/controls/Animate.h"
#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "tools/clips/ClipFrames.h"
#include "tools/images/GameImages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdlib>

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

QString HelpText() {
  QFile file(GameDir + QStringLiteral("/help/trovaly10.html"));
  if (!file.open(QIODevice::ReadOnly))
    return {};
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(file.readAll());
  return utf8.hasError() ? QString() : text;
}

QSet<QString> AnchorNames(const QString& html) {
  QTextDocument doc;
  doc.setHtml(html);
  QSet<QString> names;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      for (const QString& name : it.fragment().charFormat().anchorNames())
        names.insert(name);
  return names;
}

TEST(GameHelp, IsValidUtf8WithAFinnishTitle) {
  const QString html = HelpText();
  ASSERT_FALSE(html.isEmpty());
  EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8"), Qt::CaseInsensitive));
  QTextDocument doc;
  doc.setHtml(html);
  EXPECT_TRUE(doc.metaInformation(QTextDocument::DocumentTitle).contains(QStringLiteral("Trovaly")));
}

TEST(GameHelp, HelpContextOneIsAnAnchorTheViewerFinds) {
  EXPECT_TRUE(AnchorNames(HelpText()).contains(QStringLiteral("context-1")));
}

TEST(GameHelp, EveryInternalLinkHasItsAnchor) {
  const QString html = HelpText();
  const QSet<QString> anchors = AnchorNames(html);
  QTextDocument doc;
  doc.setHtml(html);
  int links = 0;
  for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QString href = it.fragment().charFormat().anchorHref();
      if (!href.startsWith(QLatin1Char('#')))
        continue;
      ++links;
      EXPECT_TRUE(anchors.contains(href.mid(1))) << qPrintable(href);
    }
  EXPECT_GT(links, 0);
}

}  // namespace
