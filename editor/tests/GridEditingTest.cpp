// The editor window as its form file builds it, and grid editing through
// real mouse events on its grids: the palette, placing letters, finishing
// words with the right button, and the two fills.
#include "editor/alustus.h"
#include "editor/tests/EditorWindowSupport.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "platform/controls/Buttons.h"
#include "platform/rtl/Random.h"

namespace {

// The fills at the fixed clock, column by column.
constexpr char16_t kGoldenRandomFill[] =
    u"KASTZUQYTZGZWZMLFVRQGRUORDLWKFFGMCKMXBXQUUUWKKKFSQLXPBSTUAXTKPYEPXYRWCWRKTBAIDEBBPTAFYOZJQPFFENY"
    u"FOQJXMYANBKVXNDCNPNWEKVHHJRVCSNWLGEYUTYZEWZLOTCP";
constexpr char16_t kGoldenWordFill[] =
    u"ZSKAaAllKSkISIIAKllklllklKSIaKAlAIIKIASlIlSKSIaSkSAKASASAaaIlklKkSKlSISaAlllKkklaIaSlIKkKAKSkSa"
    u"IKaaaaIaIIkIaKSalSallKlIKkkSlIKkSIkSAllKAaKakSIkk";

// The palette cell of a letter.
QPair<int, int> PaletteCell(QChar letter) {
  const QString second = QStringLiteral("PQRSTUVWXYZÅÄÖ");
  if (second.contains(letter)) return {static_cast<int>(second.indexOf(letter)), 1};
  return {letter.unicode() - u'A', 0};
}

class GridEditing : public EditorWindowTest {
 protected:
  // Each letter chosen from the palette and clicked into the next cell of row.
  static void PlaceWord(const QString& word, int row) {
    for (qsizetype i = 0; i < word.size(); ++i) {
      const auto cell = PaletteCell(word[i]);
      Place(cell.first, cell.second, {{static_cast<int>(i), row}});
    }
  }
};

TEST_F(GridEditing, TheWindowIsBuiltFromItsFormFile) {
  const TFormBinding binding = TForm1::Binding();
  for (const TBindingEntry& entry : binding.Entries()) {
    if (entry.kind != TBindingEntry::kField) continue;
    EXPECT_NE(entry.get(*Form1), nullptr) << entry.name.toStdString();
    EXPECT_EQ(entry.get(*Form1), Form1->FindComponent(entry.name)) << entry.name.toStdString();
  }
  EXPECT_EQ(Form1->Caption(), QStringLiteral("Muokkain"));
  EXPECT_EQ(app->Title(), QStringLiteral("Muokkain"));
  EXPECT_EQ(Form1->Width(), 636);
  EXPECT_EQ(Form1->Height(), 445);
  EXPECT_EQ(Form1->StringGrid1->ColCount(), 12);
  EXPECT_EQ(Form1->StringGrid1->RowCount(), 12);
  EXPECT_EQ(Form1->StringGrid2->ColCount(), 15);
  EXPECT_EQ(Form1->StringGrid2->RowCount(), 2);
  QString palette;
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 15; ++c) palette += Form1->StringGrid2->Cells(c, r) + u'|';
  EXPECT_EQ(palette, QStringLiteral("A|B|C|D|E|F|G|H|I|J|K|L|M|N|O|P|Q|R|S|T|U|V|W|X|Y|Z|Å|Ä|Ö||"));
  EXPECT_EQ(GridText(), QString(144, u'.'));
  EXPECT_FALSE(Form1->kir->Enabled());
  EXPECT_EQ(Form1->kir->LabelStyle()->AStyle3D(), A3dNormal);
  EXPECT_FALSE(Form1->SpeedButton12->Enabled());
}

TEST_F(GridEditing, PaletteLettersArePlacedAndFormTheWordInProgress) {
  Place(10, 0, {{0, 0}, {1, 1}});  // K
  EXPECT_EQ(Form1->kir->Caption(), QStringLiteral("K"));
  Place(11, 1, {{2, 2}});  // Å
  Place(0, 0, {{3, 3}, {3, 3}});  // A twice on one cell
  EXPECT_EQ(Form1->StringGrid1->Cells(0, 0), QStringLiteral("K"));
  EXPECT_EQ(Form1->StringGrid1->Cells(1, 1), QStringLiteral("K"));
  EXPECT_EQ(Form1->StringGrid1->Cells(2, 2), QStringLiteral("Å"));
  EXPECT_EQ(Form1->StringGrid1->Cells(3, 3), QStringLiteral("A"));
  EXPECT_EQ(Form1->WordInProgress, QStringLiteral("KKÅAA"));
  // The empty palette cell empties a grid cell and adds nothing.
  Place(14, 1, {{0, 0}});
  EXPECT_EQ(Form1->StringGrid1->Cells(0, 0), QString());
  EXPECT_EQ(Form1->CurrentLetter, QString());
  EXPECT_EQ(Form1->WordInProgress, QStringLiteral("KKÅAA"));
  // Only the left button places; a release off the grid places nothing.
  Click(Form1->StringGrid2, 1, 0);  // B
  Click(Form1->StringGrid1, 6, 6, Qt::MiddleButton);
  const TRect cell = Form1->StringGrid1->CellRect(7, 7);
  Mouse(Form1->StringGrid1, QEvent::MouseButtonPress, cell.Left + 5, cell.Top + 5);
  Mouse(Form1->StringGrid1, QEvent::MouseButtonRelease, -30, Form1->StringGrid1->Height() + 40);
  EXPECT_EQ(Form1->StringGrid1->Cells(6, 6), QString());
  EXPECT_EQ(GridText().count(u'B'), 0);
  EXPECT_EQ(Form1->WordInProgress, QStringLiteral("KKÅAA"));
}

TEST_F(GridEditing, RightClicksCollectWordsWithTheEmptyLineRules) {
  struct Case {
    const char* name;
    QStringList before;
    QString word;
    QStringList after;
    QString left;  // the word in progress afterwards
  };
  const QStringList thirteen = QStringList(13, QStringLiteral("SANA"));
  const Case cases[] = {
      {"empty lines go, the word is the third line",
       {"KISSA", "", "", "KOIRA"}, "HIIRI", {"KISSA", "KOIRA", "HIIRI"}, ""},
      {"a line of blanks stays", {" ", "", "KALA"}, "ORAVA", {" ", "KALA", "ORAVA"}, ""},
      {"no word: only the empty lines go", {"", "KALA", ""}, "", {"KALA"}, ""},
      {"13 lines: nothing changes", thirteen, "LEHMA", thirteen, "LEHMA"},
      {"13 lines and an empty one: nothing added", thirteen + QStringList{""}, "LEHMA", thirteen,
       "LEHMA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetLines(c.before);
    Form1->WordInProgress.clear();
    if (!c.word.isEmpty()) PlaceWord(c.word, 0);
    EXPECT_EQ(Form1->WordInProgress, c.word);
    RightClickGrid();
    EXPECT_EQ(Lines(), c.after);
    EXPECT_EQ(Form1->WordInProgress, c.left);
  }
  // The add-word command appends whatever the word is, as the 14th line too.
  Run(&TForm1::SpeedButton4Click);
  EXPECT_EQ(Lines(), thirteen + QStringList{"LEHMA"});
  EXPECT_EQ(Form1->WordInProgress, QString());
  // An empty word is an empty last line, which the list does not keep.
  Run(&TForm1::SpeedButton4Click);
  Form1->WordInProgress = QStringLiteral("KALA");
  Run(&TForm1::SpeedButton4Click);
  EXPECT_EQ(Lines(), (thirteen + QStringList{"LEHMA", "KALA"}));
}

TEST_F(GridEditing, FillsTakeTheirLettersFromAKnownSeed) {
  // The clock is fixed: each fill seeds the generator the same way.
  Place(10, 0, {{0, 0}});
  Place(0, 1, {{11, 11}});  // P
  Run(&TForm1::Tydenn1Click);
  const QString random = GridText();
  EXPECT_EQ(random.count(u'.'), 0);
  EXPECT_EQ(random[0], u'K');
  EXPECT_EQ(random[143], u'P');
  for (const QChar ch : random) EXPECT_TRUE(ch >= u'A' && ch <= u'Z') << QString(ch).toStdString();
  EXPECT_EQ(random, QString::fromUtf16(kGoldenRandomFill)) << random.toStdString();

  Run(&TForm1::Uusi1Click);
  SetLines({"KISSA", "kala"});
  Place(10, 1, {{0, 0}});  // Z
  Run(&TForm1::SpeedButton14Click);
  const QString words = GridText();
  EXPECT_EQ(words[0], u'Z');
  for (qsizetype i = 1; i < words.size(); ++i)
    EXPECT_TRUE(QStringLiteral("KISAkal").contains(words[i])) << i;
  EXPECT_EQ(words, QString::fromUtf16(kGoldenWordFill)) << words.toStdString();

  // An empty list leaves the empty cells empty.
  Run(&TForm1::Uusi1Click);
  Run(&TForm1::SpeedButton14Click);
  EXPECT_EQ(GridText(), QString(144, u'.'));
}

TEST(WordCharacters, TheFirst29DistinctCharactersInListOrder) {
  EXPECT_EQ(WordCharacters({"KISSA", "kissa 1"}),
            (QStringList{"K", "I", "S", "A", "k", "i", "s", "a", " ", "1"}));
  QStringList many;
  QString all;
  for (int i = 0; i < 40; ++i) all += QChar(0x41 + i);
  many << all.left(20) << all.mid(20);
  const QStringList found = WordCharacters(many);
  ASSERT_EQ(found.size(), 29);
  EXPECT_EQ(found.join(QString()), all.left(29));
  EXPECT_TRUE(WordCharacters({}).isEmpty());
}

TEST(RandomLetter, OnlyAToZ) {
  SetRandSeed(7);
  QString seen;
  for (int i = 0; i < 2000; ++i) {
    const QString letter = RandomLetter();
    ASSERT_EQ(letter.size(), 1);
    ASSERT_TRUE(letter[0] >= u'A' && letter[0] <= u'Z');
    if (!seen.contains(letter)) seen += letter;
  }
  EXPECT_EQ(seen.size(), 26);
}

}  // namespace

namespace {

class CurrentLetterLabel : public EditorWindowTest {};

TEST_F(CurrentLetterLabel, ShowsThePaletteLetterOnTheWindow) {
  auto inkIn = [](const QImage& image, const QRect& r) {
    int ink = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x)
        if (qGray(image.pixel(x, y)) < 100) ++ink;
    return ink;
  };
  // The client area's origin in the window's picture, below the menu bar.
  const QPoint client = Form1->StringGrid1->Widget()->mapTo(Form1->Widget(), QPoint(0, 0)) -
                        QPoint(Form1->StringGrid1->Left(), Form1->StringGrid1->Top());
  const QRect label(client.x() + Form1->kir->Left(), client.y() + Form1->kir->Top(),
                    Form1->kir->Width(), Form1->kir->Height());
  Pump();
  const QImage empty = Form1->Widget()->grab().toImage();
  Click(Form1->StringGrid2, 22 % 15, 0);  // H
  Pump();
  const QImage shown = Form1->Widget()->grab().toImage();
  EXPECT_EQ(inkIn(empty, label), 0);
  EXPECT_GT(inkIn(shown, label), 40);
}

}  // namespace
