// The puzzles bundled with the game, written by the real writers and read
// back the way the game reads them, and the copies the build laid out
// beside the programs.
#include "platform/classes/FormParser.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Codec1252.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"
#include "tests/support/TestSupport.h"
#include "tools/puzzles/PuzzleMaker.h"
#include "tools/puzzles/PuzzleThemes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// The grids and word lists the setup installs, in its order, and its one
// picture.
const QStringList InstalledPuzzles{
    "LINNUT1",   "LINNUT2",    "kuvaDALMATIALAISET", "ELAIMET1",  "RUOKA1",   "LUONTO1",
    "TALVI1",    "KALAT1",     "PUUT1",              "KUKAT1",    "MARJAT1",  "VARIT1",
    "AMMATIT1",  "KAUPUNGIT1", "URHEILU1",           "SOITTIMET1", "KOULU1",  "VAATTEET1",
    "KESA1",     "SAA1",       "LIIKENNE1",          "HYONTEISET1"};
const QString InstalledPicture = QStringLiteral("kuvaDALMATIALAISET");

const QString ProductDir = QStringLiteral(QX_PRODUCT_DIR);

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

const TFormObject* FindObject(const TFormObject& parent, const QString& name) {
  for (const TFormObject& child : parent.children) {
    if (child.name == name)
      return &child;
    if (const TFormObject* found = FindObject(child, name))
      return found;
  }
  return nullptr;
}

const TFormValue* Property(const TFormObject& object, const QString& name) {
  for (const TFormProperty& property : object.properties)
    if (property.name == name)
      return &property.value;
  return nullptr;
}

// What the game's word list shows whole: its lines and the width of a line
// of text, from its box and font in the game's main form.
struct TListRoom {
  int lines = 0;
  int width = 0;
  QFont font;
};

TListRoom GameWordListRoom() {
  QFile file(QStringLiteral(QX_GAME_ART_DIR) + QStringLiteral("/main.form"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  const TFormObject form = ParseFormText(file.readAll(), QStringLiteral("main.form"));
  const TFormObject* list = FindObject(form, QStringLiteral("RichEdit1"));
  EXPECT_NE(list, nullptr);
  if (list == nullptr)
    return {};
  const auto value = [&](const char* name) {
    const TFormValue* v = Property(*list, QLatin1String(name));
    EXPECT_NE(v, nullptr) << name;
    return v;
  };
  TListRoom room;
  room.font = QFont(value("Font.Name")->text);
  room.font.setPixelSize(static_cast<int>(-value("Font.Height")->integer));
  room.font.setBold(value("Font.Style")->idents.contains(QStringLiteral("fsBold")));
  // The box's own frame and the document's margin, as the game's memo has them.
  QPlainTextEdit box;
  box.setFont(room.font);
  const int inset =
      2 * box.frameWidth() + 2 * static_cast<int>(std::ceil(box.document()->documentMargin()));
  const QFontMetrics metrics(room.font);
  room.lines = (static_cast<int>(value("Height")->integer) - inset) / metrics.lineSpacing();
  room.width = static_cast<int>(value("Width")->integer) - inset - box.cursorWidth();
  return room;
}

TEST_F(BundledPuzzles, AreTheSetupsPuzzlesAndLieBesideThePrograms) {
  QStringList names;
  QStringList pictures;
  for (const TPuzzleTheme& theme : BundledThemes()) {
    names << theme.baseName;
    if (theme.picture)
      pictures << theme.baseName;
  }
  EXPECT_EQ(names, InstalledPuzzles);
  EXPECT_EQ(pictures, QStringList{InstalledPicture});
  EXPECT_EQ(names.join(','), QStringLiteral(QX_BUNDLED_PUZZLES));
  EXPECT_EQ(pictures.join(','), QStringLiteral(QX_BUNDLED_PICTURES));
  // The build's copies are the generator's bytes: same seed, same files.
  QStringList files;
  for (const QString& name : names)
    files << name + QStringLiteral(".lst") << name + QStringLiteral(".vrb");
  files << InstalledPicture + QStringLiteral(".bmp");
  ASSERT_EQ(files.size(), 45);
  for (const QString& name : files) {
    const QByteArray built = qxtest::ReadBytes(QDir(ProductDir).filePath(name));
    EXPECT_FALSE(built.isEmpty()) << qPrintable(name);
    EXPECT_EQ(built, qxtest::ReadBytes(QDir(folder_).filePath(name))) << qPrintable(name);
  }
  // Nothing else was written.
  EXPECT_EQ(QDir(folder_).entryList(QDir::Files).size(), files.size());
  for (const char* beside : {"trovaly", "trovaly10.html", "editori.html"})
    EXPECT_TRUE(QFileInfo::exists(QDir(ProductDir).filePath(QLatin1String(beside)))) << beside;
}

TEST_F(BundledPuzzles, EachIsATwelveByTwelveGameOfItsListInEightDirections) {
  const TListRoom room = GameWordListRoom();
  ASSERT_GE(room.lines, BundledWordsMax);
  const QFontMetrics metrics(room.font);
  for (const TPuzzleTheme& theme : BundledThemes()) {
    SCOPED_TRACE(qPrintable(theme.baseName));
    // The grid file: 12, 12 and 144 cells of one letter each.
    const QList<QByteArray> gridLines = CrLfLines(qxtest::ReadBytes(File(theme, ".vrb")));
    ASSERT_EQ(gridLines.size(), 146);
    EXPECT_EQ(gridLines[0], "12");
    EXPECT_EQ(gridLines[1], "12");
    for (qsizetype i = 2; i < gridLines.size(); ++i) {
      ASSERT_EQ(gridLines[i].size(), 1) << "line " << i + 1;
      EXPECT_TRUE(IsGridLetterByte(gridLines[i][0])) << "line " << i + 1;
    }
    // The word list: the theme's words in capitals, one Windows-1252 byte a letter.
    const QList<QByteArray> listLines = CrLfLines(qxtest::ReadBytes(File(theme, ".lst")));
    ASSERT_EQ(listLines.size(), theme.words.size());
    for (qsizetype i = 0; i < listLines.size(); ++i) {
      EXPECT_TRUE(std::all_of(listLines[i].begin(), listLines[i].end(), IsGridLetterByte))
          << listLines[i].toStdString();
      EXPECT_EQ(DecodeWin1252(listLines[i]), theme.words[i]);
    }
    // Read as the game reads them, every word lies on a line of the grid.
    TPlainCells grid;
    LoadGrid(grid, File(theme, ".vrb"));
    ASSERT_EQ(grid.ColCount(), 12);
    ASSERT_EQ(grid.RowCount(), 12);
    TStringList words;
    words.LoadFromFile(WordListFileName(File(theme, ".vrb")));
    ASSERT_EQ(words.Count(), theme.words.size());
    QSet<QString> directions;
    for (int i = 0; i < words.Count(); ++i) {
      const QList<TPlacement> found = FindWordEverywhere(grid, words[i]);
      EXPECT_FALSE(found.isEmpty()) << qPrintable(words[i]);
      for (const TPlacement& where : found)
        directions.insert(QStringLiteral("%1,%2").arg(where.dir.dx).arg(where.dir.dy));
    }
    EXPECT_EQ(directions.size(), 8);
    // The whole list shows in the game's word list without scrolling.
    EXPECT_LE(words.Count(), room.lines);
    for (int i = 0; i < words.Count(); ++i)
      EXPECT_LE(metrics.horizontalAdvance(words[i]), room.width) << qPrintable(words[i]);
    EXPECT_EQ(QFileInfo::exists(PictureFileName(File(theme, ".vrb"))),
              static_cast<bool>(theme.picture));
  }
}

TEST_F(BundledPuzzles, ThePictureFillsThePictureWindow) {
  const QString file = QDir(folder_).filePath(InstalledPicture + QStringLiteral(".bmp"));
  EXPECT_TRUE(qxtest::ReadBytes(file).startsWith("BM"));
  TBitmap bitmap;
  bitmap.LoadFromFile(file);
  EXPECT_EQ(bitmap.Width(), PictureWidth);
  EXPECT_EQ(bitmap.Height(), PictureHeight);
}

TEST_F(BundledPuzzles, AnimalsGridMatchesItsGoldenFile) {
  EXPECT_EQ(qxtest::ReadBytes(QDir(folder_).filePath(QStringLiteral("ELAIMET1.vrb"))),
            qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("elaimet.vrb"))));
}

}  // namespace
