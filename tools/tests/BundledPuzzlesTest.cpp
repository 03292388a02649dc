// The puzzles bundled with the game, written by the real writers and read
// back the way the game reads them.
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Codec1252.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"
#include "tests/support/TestSupport.h"
#include "tools/puzzles/PuzzleMaker.h"
#include "tools/puzzles/PuzzleThemes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

class BundledPuzzles : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = qxtest::TempPath(QStringLiteral("puzzles"));
    ASSERT_TRUE(QDir().mkpath(folder_));
    WriteBundledPuzzles(folder_);
  }
  QString File(const TPuzzleTheme& theme, const char* ext) const {
    return QDir(folder_).filePath(theme.baseName + QLatin1String(ext));
  }
  QString folder_;
};

// The lines of a file that must end every line, the last too, with CR LF.
QList<QByteArray> CrLfLines(const QByteArray& bytes) {
  EXPECT_TRUE(bytes.endsWith("\r\n"));
  QList<QByteArray> lines = bytes.split('\n');
  lines.removeLast();  // after the final line end
  for (QByteArray& line : lines) {
    EXPECT_TRUE(line.endsWith('\r'));
    line.chop(1);
  }
  return lines;
}

bool IsGridLetterByte(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 'A' && b <= 'Z') || b == 0xC4 || b == 0xC5 || b == 0xD6;
}

TEST_F(BundledPuzzles, ThereAreAtLeastFourWithLowerCaseNamesAndOneWithoutPicture) {
  const QList<TPuzzleTheme>& themes = BundledThemes();
  ASSERT_GE(themes.size(), 4);
  int withPicture = 0;
  for (const TPuzzleTheme& theme : themes) {
    EXPECT_EQ(theme.baseName, theme.baseName.toLower());
    EXPECT_TRUE(QFileInfo::exists(File(theme, ".vrb")));
    EXPECT_TRUE(QFileInfo::exists(File(theme, ".lst")));
    EXPECT_EQ(QFileInfo::exists(File(theme, ".bmp")), static_cast<bool>(theme.picture));
    withPicture += theme.picture ? 1 : 0;
  }
  EXPECT_GE(withPicture, 3);
  EXPECT_LT(withPicture, themes.size());
}

TEST_F(BundledPuzzles, TheBuildKnowsEveryFileTheGeneratorWrites) {
  QStringList puzzles;
  QStringList pictures;
  for (const TPuzzleTheme& theme : BundledThemes()) {
    puzzles << theme.baseName;
    if (theme.picture)
      pictures << theme.baseName;
  }
  EXPECT_EQ(puzzles.join(','), QStringLiteral(QX_BUNDLED_PUZZLES));
  EXPECT_EQ(pictures.join(','), QStringLiteral(QX_BUNDLED_PICTURES));
}

TEST_F(BundledPuzzles, GridFilesHold146CrLfLinesOfOneLetterEach) {
  for (const TPuzzleTheme& theme : BundledThemes()) {
    const QList<QByteArray> lines = CrLfLines(qxtest::ReadBytes(File(theme, ".vrb")));
    ASSERT_EQ(lines.size(), 146) << qPrintable(theme.baseName);
    EXPECT_EQ(lines[0], "12");
    EXPECT_EQ(lines[1], "12");
    for (qsizetype i = 2; i < lines.size(); ++i) {
      ASSERT_EQ(lines[i].size(), 1) << qPrintable(theme.baseName) << " line " << i + 1;
      EXPECT_TRUE(IsGridLetterByte(lines[i][0])) << qPrintable(theme.baseName) << " line " << i + 1;
    }
  }
}

TEST_F(BundledPuzzles, WordListsAreUpperCase1252WithCrLf) {
  for (const TPuzzleTheme& theme : BundledThemes()) {
    const QList<QByteArray> lines = CrLfLines(qxtest::ReadBytes(File(theme, ".lst")));
    ASSERT_EQ(lines.size(), theme.words.size()) << qPrintable(theme.baseName);
    for (qsizetype i = 0; i < lines.size(); ++i) {
      ASSERT_FALSE(lines[i].isEmpty());
      for (char b : lines[i])
        EXPECT_TRUE(IsGridLetterByte(b)) << qPrintable(theme.baseName) << ": " << lines[i].toStdString();
      EXPECT_EQ(DecodeWin1252(lines[i]), theme.words[i]);
    }
  }
}

TEST_F(BundledPuzzles, FinnishLettersAreWrittenAsSingle1252Bytes) {
  const QByteArray list = qxtest::ReadBytes(File(BundledThemes()[0], ".lst"));
  EXPECT_TRUE(list.contains("LEHM\xC4\r\n"));
  EXPECT_TRUE(list.contains("P\xD6LL\xD6\r\n"));
}

TEST_F(BundledPuzzles, EveryListedWordLiesOnAStraightLineOfTheGrid) {
  for (const TPuzzleTheme& theme : BundledThemes()) {
    TPlainCells grid;
    LoadGrid(grid, File(theme, ".vrb"));
    ASSERT_EQ(grid.ColCount(), 12);
    ASSERT_EQ(grid.RowCount(), 12);
    TStringList words;
    words.LoadFromFile(File(theme, ".lst"));
    ASSERT_EQ(words.Count(), theme.words.size());
    QSet<QString> directions;
    for (int i = 0; i < words.Count(); ++i) {
      const QString word = words[i];
      TPlacement where;
      ASSERT_TRUE(FindWord(grid, word, where)) << qPrintable(theme.baseName + ": " + word);
      directions.insert(QStringLiteral("%1,%2").arg(where.dir.dx).arg(where.dir.dy));
    }
    EXPECT_EQ(directions.size(), 8) << qPrintable(theme.baseName);
  }
}

TEST_F(BundledPuzzles, PicturesAreBitmapsOfThePictureWindowSize) {
  for (const TPuzzleTheme& theme : BundledThemes()) {
    if (!theme.picture)
      continue;
    EXPECT_TRUE(qxtest::ReadBytes(File(theme, ".bmp")).startsWith("BM"));
    TBitmap bitmap;
    bitmap.LoadFromFile(File(theme, ".bmp"));
    EXPECT_EQ(bitmap.Width(), PictureWidth) << qPrintable(theme.baseName);
    EXPECT_EQ(bitmap.Height(), PictureHeight) << qPrintable(theme.baseName);
  }
}

TEST_F(BundledPuzzles, TheGameFindsTheOtherFilesByItsNamingRules) {
  for (const TPuzzleTheme& theme : BundledThemes()) {
    const QString grid = File(theme, ".vrb");
    EXPECT_EQ(WordListFileName(grid), File(theme, ".lst"));
    EXPECT_EQ(PictureFileName(grid), File(theme, ".bmp"));
  }
}

TEST_F(BundledPuzzles, WritingAgainGivesTheSameBytes) {
  const QString again = qxtest::TempPath(QStringLiteral("again"));
  ASSERT_TRUE(QDir().mkpath(again));
  WriteBundledPuzzles(again);
  for (const TPuzzleTheme& theme : BundledThemes())
    for (const char* ext : {".vrb", ".lst", ".bmp"}) {
      const QString name = theme.baseName + QLatin1String(ext);
      EXPECT_EQ(qxtest::ReadBytes(QDir(again).filePath(name)),
                qxtest::ReadBytes(QDir(folder_).filePath(name)))
          << qPrintable(name);
    }
}

TEST_F(BundledPuzzles, AnimalsGridMatchesItsGoldenFile) {
  EXPECT_EQ(qxtest::ReadBytes(File(BundledThemes()[0], ".vrb")),
            qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("elaimet.vrb"))));
}

}  // namespace
