#include "tools/puzzles/PuzzleThemes.h"

#include "platform/graphics/Bitmap.h"
#include "platform/rtl/StringList.h"
#include "puzzle/IO.h"
#include "tools/puzzles/PuzzleMaker.h"
#include "tools/puzzles/PuzzlePictures.h"

#include <QDir>

namespace {

QStringList Words(const char16_t* spaced) {
  return QString::fromUtf16(spaced).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void WriteWordList(const QStringList& words, const QString& fileName) {
  TStringList list;
  for (const QString& w : words)
    list.Add(w);
  list.SaveToFile(fileName);  // Windows-1252, CR LF after every line
}

void WritePicture(const QImage& image, const QString& fileName) {
  TBitmap bitmap;
  bitmap.SetImage(image);
  bitmap.SaveToFile(fileName);
}

}  // namespace

const QList<TPuzzleTheme>& BundledThemes() {
  static const QList<TPuzzleTheme> themes{
      {QStringLiteral("elaimet"),
       Words(u"KISSA KOIRA HEVONEN LEHMÄ KETTU KARHU SUSI ILVES JÄNIS ORAVA SIILI PÖLLÖ"),
       0x5EED0001, DrawAnimalsPicture},
      {QStringLiteral("ruoka"),
       Words(u"LEIPÄ PERUNA MAITO JUUSTO PUURO KEITTO OMENA PORKKANA KALA PULLA MANSIKKA PÄÄRYNÄ"),
       0x5EED0002, DrawFoodPicture},
      {QStringLiteral("luonto"),
       Words(u"METSÄ JÄRVI JOKI KIVI KUUSI MÄNTY KOIVU SAMMAL KALLIO NIITTY TUNTURI LÄHDE"),
       0x5EED0003, DrawNaturePicture},
      {QStringLiteral("talvi"),
       Words(u"HIUTALE JÄÄ PAKKANEN SUKSET KELKKA LUISTIMET PIPO LAPASET TUISKU REVONTULET JOULU LUMIUKKO"),
       0x5EED0004, {}},
  };
  return themes;
}

void WriteBundledPuzzles(const QString& folder) {
  const QDir dir(folder);
  for (const TPuzzleTheme& theme : BundledThemes()) {
    if (theme.words.size() > BundledWordsMax)
      throw EPuzzleLayout(QStringLiteral("%1: %2 words, the game's list shows %3")
                              .arg(theme.baseName)
                              .arg(theme.words.size())
                              .arg(BundledWordsMax));
    const TMadePuzzle made = MakePuzzle(theme.words, BundledGridSize, BundledGridSize, theme.seed);
    SaveGrid(made.cells, dir.filePath(theme.baseName + QStringLiteral(".vrb")));
    WriteWordList(theme.words, dir.filePath(theme.baseName + QStringLiteral(".lst")));
    if (theme.picture)
      WritePicture(theme.picture(), dir.filePath(theme.baseName + QStringLiteral(".bmp")));
  }
}
