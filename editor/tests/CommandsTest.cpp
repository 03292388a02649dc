// The editor's commands: new puzzle, the word list's clipboard commands and
// their undo, removing the picture, help and closing.
#include "editor/tests/EditorWindowSupport.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Clipbrd.h"
#include "platform/controls/HelpViewer.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Picture.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"

#include <QImage>
#include <QTemporaryDir>

namespace {

class Commands : public EditorWindowTest {};

TEST_F(Commands, NewEmptiesThePuzzleButKeepsTheWordInProgress) {
  QTemporaryDir dir;
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::blue);
  ASSERT_TRUE(image.save(dir.filePath("k.bmp"), "BMP"));
  dialogAnswers.push_back(dir.filePath("k.bmp"));
  Run(&TForm1::SpeedButton13Click);
  EXPECT_EQ(Form1->PictureSource, dir.filePath("k.bmp"));
  Place(10, 0, {{3, 4}});
  SetLines({"KALA"});
  Form1->SetCaption(QStringLiteral("Muokkain - [vanha]"));
  Run(&TForm1::Uusi1Click);
  EXPECT_EQ(GridText(), QString(144, u'.'));
  EXPECT_TRUE(Lines().isEmpty());
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain"));
  EXPECT_EQ(Form1->kir->Caption(), QString());
  EXPECT_EQ(Form1->CurrentLetter, QString());
  EXPECT_EQ(Form1->PictureSource, QString());
  EXPECT_EQ(Form1->Image1->Picture()->Graphic(), nullptr);
  EXPECT_EQ(Form1->WordInProgress, QStringLiteral("K"));

  // Removing the picture forgets it and deletes nothing.
  dialogAnswers.push_back(dir.filePath("k.bmp"));
  Run(&TForm1::SpeedButton13Click);
  Run(&TForm1::SpeedButton11Click);
  EXPECT_EQ(Form1->PictureSource, QString());
  EXPECT_EQ(Form1->Image1->Picture()->Graphic(), nullptr);
  EXPECT_TRUE(QFile::exists(dir.filePath("k.bmp")));
}

TEST_F(Commands, ClipboardCommandsEnableUndoWhichTakesBackTheLastChange) {
  SetLines({"KISSA", "KOIRA"});
  TRichEdit* list = Form1->richedit1;
  EXPECT_FALSE(Form1->SpeedButton12->Enabled());
  list->SetSelStart(0);
  list->SetSelLength(5);
  Run(&TForm1::Kopioisanalistalta1Click);
  EXPECT_EQ(Clipboard()->AsText(), QStringLiteral("KISSA"));
  EXPECT_TRUE(Form1->SpeedButton12->Enabled());
  Run(&TForm1::SpeedButton12Click);
  EXPECT_FALSE(Form1->SpeedButton12->Enabled());

  list->SetSelStart(0);
  list->SetSelLength(5);
  Run(&TForm1::Leikkaasanalistalta1Click);
  EXPECT_EQ(Lines(), (QStringList{"", "KOIRA"}));
  list->SetSelStart(6);
  list->SetSelLength(0);
  Run(&TForm1::sClick);
  EXPECT_EQ(Lines(), (QStringList{"", "KOIRAKISSA"}));
  EXPECT_TRUE(Form1->SpeedButton12->Enabled());
  Run(&TForm1::SpeedButton12Click);
  EXPECT_EQ(Lines(), (QStringList{"", "KOIRA"}));
  EXPECT_FALSE(Form1->SpeedButton12->Enabled());
  list->SetSelStart(1);
  list->SetSelLength(5);
  Run(&TForm1::Poistasanalistasta1Click);
  EXPECT_EQ(Lines(), QStringList{""});
  EXPECT_TRUE(Form1->SpeedButton12->Enabled());
}

TEST_F(Commands, HelpOpensTheEditorsHelpAndLopetaCloses) {
  Run(&TForm1::SpeedButton5Click);
  EXPECT_TRUE(app->HelpFile().endsWith(QStringLiteral("/editori.hlp")));
  ASSERT_NE(app->HelpViewer(), nullptr);
  EXPECT_TRUE(app->HelpViewer()->IsOpen());
  EXPECT_TRUE(app->HelpViewer()->Source().toString().endsWith("editori.html#context-1"));
  EXPECT_FALSE(app->Terminated());
  Run(&TForm1::Lopeta2Click);
  EXPECT_TRUE(app->Terminated());
}

}  // namespace
