// Saving and loading a puzzle through the window's dialogs: the three files
// byte for byte, the picture carried beside the puzzle without losing an
// older one, and loads that refuse bad files before anything changes.
#include "editor/tests/EditorWindowSupport.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Picture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A small picture of one colour, as a bitmap file.
QByteArray Picture(const QString& path, QRgb colour) {
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(colour);
  EXPECT_TRUE(image.save(path, "BMP"));
  return Bytes(path);
}

QStringList Names(const QString& folder) {
  return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class SaveLoad : public EditorWindowTest {
 protected:
  QString Path(const QString& name) const { return dir.filePath(name); }
  void Save(const std::optional<QString>& answer) {
    dialogAnswers.push_back(answer);
    Run(&TForm1::Tallenna1Click);
  }
  void Load(const std::optional<QString>& answer) {
    dialogAnswers.push_back(answer);
    Run(&TForm1::Lataa1Click);
  }
  void ChoosePicture(const QString& path) {
    dialogAnswers.push_back(path);
    Run(&TForm1::SpeedButton13Click);
  }
  bool PreviewShown() const { return Form1->Image1->Picture()->Graphic() != nullptr; }

  QTemporaryDir dir;
};

TEST_F(SaveLoad, ThreeFilesByteForByteAndBackAgain) {
  Place(10, 0, {{0, 0}, {0, 1}});  // K
  Place(12, 1, {{11, 11}});  // Ä
  RightClickGrid();
  SetLines({"kkä", "Öljy", "abc xyz-ö"});
  const QByteArray red = Picture(Path("valittu.bmp"), qRgb(255, 0, 0));
  ChoosePicture(Path("valittu.bmp"));
  EXPECT_FALSE(Form1->StringGrid1->Enabled());
  EXPECT_TRUE(PreviewShown());
  Click(Form1->StringGrid2, 0, 0);
  EXPECT_TRUE(Form1->StringGrid1->Enabled());

  Save(Path("peli.vrb"));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
  EXPECT_FALSE(Form1->StringGrid1->Enabled());
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain - [peli]"));
  EXPECT_EQ(Lines(), (QStringList{"KKÄ", "ÖLJY", "ABC XYZ-Ö"}));
  EXPECT_EQ(Form1->CurrentLetter, QString());
  // The grid file: counts, then 144 cells column by column, each line CR LF.
  QByteArray vrb = "12\r\n12\r\n";
  for (int c = 0; c < 12; ++c)
    for (int r = 0; r < 12; ++r) {
      if (c == 0 && r < 2) vrb += 'K';
      if (c == 11 && r == 11) vrb += '\xC4';
      vrb += "\r\n";
    }
  EXPECT_EQ(Bytes(Path("peli.vrb")), vrb);
  EXPECT_EQ(Bytes(Path("peli.vrb")).count("\r\n"), 146);
  EXPECT_EQ(Bytes(Path("peli.lst")), QByteArray("KK\xC4\r\n\xD6LJY\r\nABC XYZ-\xD6\r\n"));
  EXPECT_EQ(Bytes(Path("peli.bmp")), red);
  EXPECT_EQ(Names(dir.path()), (QStringList{"peli.bmp", "peli.lst", "peli.vrb", "valittu.bmp"}));

  // Back into a new window state.
  Run(&TForm1::Uusi1Click);
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain"));
  EXPECT_FALSE(PreviewShown());
  Form1->WordInProgress = QStringLiteral("KE");
  Load(Path("peli.vrb"));
  EXPECT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain - [peli]"));
  EXPECT_EQ(Form1->StringGrid1->Cells(0, 1), QStringLiteral("K"));
  EXPECT_EQ(Form1->StringGrid1->Cells(11, 11), QStringLiteral("Ä"));
  EXPECT_EQ(Lines(), (QStringList{"KKÄ", "ÖLJY", "ABC XYZ-Ö"}));
  EXPECT_TRUE(PreviewShown());
  EXPECT_EQ(Form1->PictureSource, Path("peli.bmp"));
  EXPECT_EQ(Form1->WordInProgress, QStringLiteral("KE"));
  EXPECT_FALSE(Form1->StringGrid1->Enabled());

  // Saved again under its own name, also through another spelling of the
  // folder: the picture stays where it is and no copy is made.
  Save(Path("peli.vrb"));
  Save(dir.path() + QStringLiteral("/./peli.vrb"));
  EXPECT_EQ(Names(dir.path()), (QStringList{"peli.bmp", "peli.lst", "peli.vrb", "valittu.bmp"}));
  EXPECT_EQ(Bytes(Path("peli.bmp")), red);

  // The picture removed and the puzzle saved again: the picture moves aside.
  Run(&TForm1::SpeedButton11Click);
  Save(Path("peli.vrb"));
  EXPECT_EQ(Names(dir.path()), (QStringList{"Kopio peli.bmp", "peli.lst", "peli.vrb", "valittu.bmp"}));
  EXPECT_EQ(Bytes(Path("Kopio peli.bmp")), red);
  // Loading it now clears the preview, and names the picture it would have.
  ChoosePicture(Path("valittu.bmp"));
  ASSERT_TRUE(PreviewShown());
  Load(Path("peli.vrb"));
  EXPECT_FALSE(PreviewShown());
  EXPECT_EQ(Form1->PictureSource, Path("peli.bmp"));
}

// One Enter too many in the save dialog writes the puzzle shown, never
// another one saved before.
TEST_F(SaveLoad, TheSaveDialogOffersThePuzzleLastSavedOrLoaded) {
  Place(10, 0, {{0, 0}});
  Save(Path("eka.vrb"));
  Save(Path("toka.vrb"));
  Load(Path("eka.vrb"));
  ASSERT_TRUE(boxes.isEmpty()) << boxes.join(u'\n').toStdString();
  Save(std::nullopt);
  EXPECT_EQ(dialogOffers.value(3), Path("eka.vrb"));
  Save(Path("toka.vrb"));
  Save(std::nullopt);
  EXPECT_EQ(dialogOffers.value(5), Path("toka.vrb"));
}

TEST_F(SaveLoad, AnOlderPictureIsKeptAsACopyAndNoCopyIsReplaced) {
  const QByteArray old1 = Picture(Path("peli.bmp"), qRgb(0, 0, 255));
  const QByteArray copy0 = Picture(Path("Kopio peli.bmp"), qRgb(0, 255, 0));
  const QByteArray red = Picture(Path("uusi.bmp"), qRgb(255, 0, 0));
  ChoosePicture(Path("uusi.bmp"));
  Save(Path("peli.vrb"));
  EXPECT_EQ(Bytes(Path("peli.bmp")), red);
  EXPECT_EQ(Bytes(Path("Kopio peli.bmp")), copy0);
  EXPECT_EQ(Bytes(Path("Kopio peli (2).bmp")), old1);

  // New, then saved over the same name: the picture moves aside, nothing is copied.
  Run(&TForm1::Uusi1Click);
  Save(Path("peli.vrb"));
  EXPECT_FALSE(QFile::exists(Path("peli.bmp")));
  EXPECT_EQ(Bytes(Path("Kopio peli (3).bmp")), red);
  EXPECT_EQ(Names(dir.path()).size(), 6);
}

TEST_F(SaveLoad, ACancelledDialogWritesAndChangesNothing) {
  SetLines({"kissa"});
  Save(std::nullopt);
  EXPECT_EQ(dialogs, 1);
  EXPECT_TRUE(Names(dir.path()).isEmpty());
  EXPECT_EQ(Lines(), QStringList{"kissa"});
  EXPECT_TRUE(Form1->StringGrid1->Enabled());
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain"));
  Load(std::nullopt);
  EXPECT_EQ(dialogs, 2);
  EXPECT_EQ(Lines(), QStringList{"kissa"});
  EXPECT_FALSE(Form1->StringGrid1->Enabled());
}

TEST_F(SaveLoad, BadPuzzlesAreRefusedBeforeAnythingChanges) {
  // A puzzle whose list is missing, and a grid of another size.
  Place(10, 0, {{0, 0}});
  Save(Path("hyva.vrb"));
  QByteArray cells = "12\r\n12\r\n";
  for (int i = 0; i < 144; ++i) cells += "A\r\n";
  Write(Path("yksin.vrb"), cells);
  Picture(Path("yksin.bmp"), qRgb(1, 2, 3));
  QByteArray small = "11\r\n12\r\n";
  for (int i = 0; i < 132; ++i) small += "B\r\n";
  Write(Path("pieni.vrb"), small);
  Write(Path("pieni.lst"), "B\r\n");
  const QString before = GridText();
  const QStringList lines = Lines();
  for (const QString& name : {QStringLiteral("yksin.vrb"), QStringLiteral("pieni.vrb")}) {
    SCOPED_TRACE(name.toStdString());
    boxes.clear();
    Load(Path(name));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(GridText(), before);
    EXPECT_EQ(Lines(), lines);
    EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain - [hyva]"));
    EXPECT_EQ(Form1->PictureSource, QString());
    EXPECT_FALSE(PreviewShown());
  }
  EXPECT_TRUE(boxes.first().contains(QStringLiteral("12 x 12"))) << boxes.first().toStdString();
}

}  // namespace
