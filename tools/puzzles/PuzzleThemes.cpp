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
  // In the order the setup installs them. ELAIMET1 to TALVI1 have seeds 1
  // to 4, so ELAIMET1's grid is the one kept as the tests' golden file.
  static const QList<TPuzzleTheme> themes{
      {QStringLiteral("LINNUT1"),
       Words(u"VARIS HARAKKA TIKKA PÖLLÖ KOTKA JOUTSEN SORSA LOKKI PEIPPO TIAINEN VARPUNEN KÄKI"),
       0x5EED0011, {}},
      {QStringLiteral("LINNUT2"),
       Words(u"KURKI HAUKKA RASTAS KOTTARAINEN PÄÄSKY KIURU TEERI METSO PUUKIIPIJÄ KUIKKA SIEPPO HUUHKAJA"),
       0x5EED0012, {}},
      {QStringLiteral("kuvaDALMATIALAISET"),
       Words(u"KOIRA PENTU TÄPLÄ HAUKKU LUU HÄNTÄ KUONO TASSU PANTA HIHNA KOPPI TURKKI"),
       0x5EED0013, DrawDalmatiansPicture},
      {QStringLiteral("ELAIMET1"),
       Words(u"KISSA KOIRA HEVONEN LEHMÄ KETTU KARHU SUSI ILVES JÄNIS ORAVA SIILI PÖLLÖ"),
       0x5EED0001, {}},
      {QStringLiteral("RUOKA1"),
       Words(u"LEIPÄ PERUNA MAITO JUUSTO PUURO KEITTO OMENA PORKKANA KALA PULLA MANSIKKA PÄÄRYNÄ"),
       0x5EED0002, {}},
      {QStringLiteral("LUONTO1"),
       Words(u"METSÄ JÄRVI JOKI KIVI KUUSI MÄNTY KOIVU SAMMAL KALLIO NIITTY TUNTURI LÄHDE"),
       0x5EED0003, {}},
      {QStringLiteral("TALVI1"),
       Words(u"HIUTALE JÄÄ PAKKANEN SUKSET KELKKA LUISTIMET PIPO LAPASET TUISKU REVONTULET JOULU LUMIUKKO"),
       0x5EED0004, {}},
      {QStringLiteral("KALAT1"),
       Words(u"HAUKI AHVEN LOHI SIIKA KUHA MADE SÄRKI LAHNA SILAKKA TAIMEN MUIKKU KAMPELA"),
       0x5EED0014, {}},
      {QStringLiteral("PUUT1"),
       Words(u"KOIVU MÄNTY KUUSI HAAPA LEPPÄ PIHLAJA VAAHTERA TAMMI SAARNI JALAVA PAJU LEHMUS"),
       0x5EED0015, {}},
      {QStringLiteral("KUKAT1"),
       Words(u"RUUSU TULPPAANI ORVOKKI KIELO LILJA NARSISSI VOIKUKKA UNIKKO NEILIKKA AURINKOKUKKA KAUNOKKI KANERVA"),
       0x5EED0016, {}},
      {QStringLiteral("MARJAT1"),
       Words(u"MUSTIKKA PUOLUKKA MANSIKKA VADELMA LAKKA KARPALO JUOLUKKA HERUKKA KARVIAINEN TYRNI MESIMARJA"),
       0x5EED0017, {}},
      {QStringLiteral("VARIT1"),
       Words(u"PUNAINEN SININEN KELTAINEN VIHREÄ MUSTA VALKOINEN HARMAA RUSKEA ORANSSI VIOLETTI PINKKI TURKOOSI"),
       0x5EED0018, {}},
      {QStringLiteral("AMMATIT1"),
       Words(u"OPETTAJA LÄÄKÄRI POLIISI KOKKI LEIPURI SEPPÄ KALASTAJA PALOMIES MUURARI HOITAJA KIRJAILIJA PAPPI"),
       0x5EED0019, {}},
      {QStringLiteral("KAUPUNGIT1"),
       Words(u"HELSINKI ESPOO TAMPERE VANTAA OULU TURKU JYVÄSKYLÄ LAHTI KUOPIO PORI JOENSUU ROVANIEMI"),
       0x5EED001A, {}},
      {QStringLiteral("URHEILU1"),
       Words(u"JALKAPALLO JÄÄKIEKKO HIIHTO UINTI JUOKSU PESÄPALLO TENNIS NYRKKEILY SOUTU PAINI GOLF KEILAUS"),
       0x5EED001B, {}},
      {QStringLiteral("SOITTIMET1"),
       Words(u"KITARA KANTELE PIANO VIULU RUMPU HUILU TRUMPETTI HARMONIKKA SELLO URUT KLARINETTI BASSO"),
       0x5EED001C, {}},
      {QStringLiteral("KOULU1"),
       Words(u"OPPILAS LIITU TAULU KYNÄ KUMI VIIVAIN REPPU VIHKO KIRJA LUOKKA VÄLITUNTI LASKIN"),
       0x5EED001D, {}},
      {QStringLiteral("VAATTEET1"),
       Words(u"PAITA HOUSUT HAME MEKKO TAKKI LAKKI HANSKAT SUKAT KENGÄT HUIVI LIIVI VILLAPAITA"),
       0x5EED001E, {}},
      {QStringLiteral("KESA1"),
       Words(u"AURINKO RANTA UIMAPUKU MÖKKI SAUNA LAITURI VENE JUHANNUS HELLE LOMA KOKKO MANSIKKA"),
       0x5EED001F, {}},
      {QStringLiteral("SAA1"),
       Words(u"SADE LUMI TUULI MYRSKY UKKONEN SALAMA PILVI SUMU RAKEET HALLA SATEENKAARI KASTE"),
       0x5EED0020, {}},
      {QStringLiteral("LIIKENNE1"),
       Words(u"AUTO BUSSI JUNA RAITIOVAUNU POLKUPYÖRÄ LAIVA LENTOKONE MOPO TAKSI METRO REKKA TRAKTORI"),
       0x5EED0021, {}},
      {QStringLiteral("HYONTEISET1"),
       Words(u"MUURAHAINEN MEHILÄINEN PERHONEN KÄRPÄNEN HYTTYNEN KIRPPU LEPPÄKERTTU AMPIAINEN KIMALAINEN TORAKKA"),
       0x5EED0022, {}},
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
