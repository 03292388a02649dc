#include "tools/images/GameImages.h"

#include <QBuffer>
#include <QFont>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QStringList>
#include <QtEndian>

#include <stdexcept>
#include <string>

namespace {

const QColor Navy(20, 40, 110);
const QColor Found(220, 40, 40);

// A block of letters with words hidden in it: SANAT on row 1 from column 2
// and ETSI running down-right from (0, 1).
const QStringList SplashLetters{
    QStringLiteral("KEÖLMRAPJ"), QStringLiteral("EVSANATUR"), QStringLiteral("HTIOKULÄE"),
    QStringLiteral("ÄUSLIÅNYT"), QStringLiteral("RONITKÄHS")};

QFont LetterFont(int pixelSize) {
  QFont font(QStringLiteral("Liberation Mono"));
  font.setPixelSize(pixelSize);
  font.setBold(true);
  return font;
}

void LetterGrid(QPainter& p, QPointF origin, double cell) {
  p.setFont(LetterFont(static_cast<int>(cell * 0.62)));
  for (qsizetype r = 0; r < SplashLetters.size(); ++r)
    for (qsizetype c = 0; c < SplashLetters[r].size(); ++c) {
      const QRectF box(origin.x() + c * cell, origin.y() + r * cell, cell, cell);
      p.setPen(QPen(QColor(190, 200, 225), 1));
      p.setBrush(Qt::white);
      p.drawRect(box);
      const bool inSanat = r == 1 && c >= 2 && c <= 6;
      const bool inEtsi = c == r - 1 && r >= 1;
      p.setPen((inSanat || inEtsi) ? Found : Navy);
      p.drawText(box, Qt::AlignCenter, QString(SplashLetters[r][c]));
    }
}

// A rounded outline around cells (c0, r) .. (c1, r).
void Capsule(QPainter& p, QPointF origin, double cell, int c0, int c1, int r) {
  p.setPen(QPen(Found, 2.5));
  p.setBrush(Qt::NoBrush);
  const QRectF box(origin.x() + c0 * cell + 2, origin.y() + r * cell + 3,
                   (c1 - c0 + 1) * cell - 4, cell - 6);
  p.drawRoundedRect(box, cell / 2 - 3, cell / 2 - 3);
}

void DiagonalCapsule(QPainter& p, QPointF origin, double cell, int c0, int r0, int length) {
  p.save();
  const QPointF start = origin + QPointF((c0 + 0.5) * cell, (r0 + 0.5) * cell);
  p.translate(start);
  p.rotate(45);
  p.setPen(QPen(Found, 2.5));
  p.setBrush(Qt::NoBrush);
  const double span = (length - 1) * cell * 1.41421356;
  p.drawRoundedRect(QRectF(-cell * 0.45, -cell * 0.4, span + cell * 0.9, cell * 0.8), cell * 0.4,
                    cell * 0.4);
  p.restore();
}

void Magnifier(QPainter& p, QPointF centre, double radius) {
  p.setPen(QPen(QColor(110, 70, 30), radius * 0.35, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.7, radius * 1.7));
  p.setPen(QPen(QColor(90, 90, 100), radius * 0.18));
  p.setBrush(QColor(200, 230, 255, 90));
  p.drawEllipse(centre, radius, radius);
}

void Title(QPainter& p, const QRectF& box) {
  QFont font(QStringLiteral("Liberation Serif"));
  font.setPixelSize(46);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(150, 160, 190));
  p.drawText(box.translated(3, 3), Qt::AlignCenter, QStringLiteral("Trovaly 1.0"));
  p.setPen(Navy);
  p.drawText(box, Qt::AlignCenter, QStringLiteral("Trovaly 1.0"));
}

void Subtitle(QPainter& p, const QRectF& box) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(17);
  font.setItalic(true);
  p.setFont(font);
  p.setPen(Navy);
  p.drawText(box, Qt::AlignCenter, QStringLiteral("Etsi sanat ruudukosta"));
}

}  // namespace

QImage DrawSplashPicture() {
  QImage image(SplashWidth, SplashHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient back(0, 0, 0, SplashHeight);
  back.setColorAt(0, QColor(235, 242, 255));
  back.setColorAt(1, QColor(255, 255, 255));
  p.fillRect(image.rect(), back);
  Title(p, QRectF(0, 14, SplashWidth, 60));
  Subtitle(p, QRectF(0, 72, SplashWidth, 24));
  const double cell = 30;
  const QPointF origin(32, 110);
  LetterGrid(p, origin, cell);
  Capsule(p, origin, cell, 2, 6, 1);
  DiagonalCapsule(p, origin, cell, 0, 1, 4);
  Magnifier(p, QPointF(318, 178), 26);
  return image;
}

QImage DrawAboutPicture() {
  QImage image(AboutSize, AboutSize, QImage::Format_RGB32);
  image.fill(QColor(235, 242, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double cell = 22;
  const QPointF origin(8, 8);
  p.setFont(LetterFont(14));
  const QString letters = QStringLiteral("TRÖAVÄKLY");
  for (int k = 0; k < 9; ++k) {
    const QRectF box(origin.x() + (k % 3) * cell, origin.y() + (k / 3) * cell, cell, cell);
    p.setPen(QPen(QColor(190, 200, 225), 1));
    p.setBrush(Qt::white);
    p.drawRect(box);
    p.setPen(k % 4 == 0 ? Found : Navy);
    p.drawText(box, Qt::AlignCenter, QString(letters[k]));
  }
  Magnifier(p, QPointF(60, 58), 15);
  return image;
}

// Tool-button glyphs.

namespace {

// One letter a pixel; the letters name the 16 standard colours.
using GlyphArt = std::array<const char*, ToolGlyphSize>;

struct PaletteEntry {
  char letter;
  QRgb rgb;
};
// '.' is the button face colour, the glyphs' background.
constexpr std::array<PaletteEntry, 16> GlyphPalette{{{'k', 0x000000}, {'m', 0x800000},
                                                     {'g', 0x008000}, {'o', 0x808000},
                                                     {'n', 0x000080}, {'p', 0x800080},
                                                     {'t', 0x008080}, {'.', 0xC0C0C0},
                                                     {'d', 0x808080}, {'r', 0xFF0000},
                                                     {'l', 0x00FF00}, {'y', 0xFFFF00},
                                                     {'b', 0x0000FF}, {'f', 0xFF00FF},
                                                     {'c', 0x00FFFF}, {'w', 0xFFFFFF}}};

constexpr GlyphArt OpenFolderArt{{
    "....................",
    "....................",
    "....................",
    "....................",
    "..kkkkk.............",
    ".kwwwwwk............",
    ".kwyyyyykkkkkkkk....",
    ".kwyyyyywwwwwwwwk...",
    ".kwyyyyyyyyyyyyyk...",
    ".kwyyyyyyyyyyyyyk...",
    ".kwyyyyykkkkkkkkkkkk",
    ".kwyyyykooooooooook.",
    ".kwyyykooooooooook..",
    ".kwyykooooooooook...",
    ".kwykooooooooook....",
    ".kwkooooooooook.....",
    ".kkkkkkkkkkkkkk.....",
    "....................",
    "....................",
    "....................",
}};

constexpr GlyphArt PencilOnGridArt{{
    "....................",
    "................kkk.",
    "..............krrrk.",
    ".............krrrk..",
    "............kwddk...",
    "...........kyyok....",
    ".dddddddddkyyok.....",
    ".dwwwdwwwkyyok......",
    ".dwwwdwwkyyokd......",
    ".dwwwdwkyyokwd......",
    ".dddddkyyokddd......",
    ".dwwwkwwwkwwwd......",
    ".dwwwkdkwdwwwd......",
    ".dwwwkwwwdwwwd......",
    ".ddddddddddddd......",
    ".dnnwdrrwdwwwd......",
    ".dnnwdrrwdwwwd......",
    ".dwwwdwwwdwwwd......",
    ".ddddddddddddd......",
    "....................",
}};

constexpr GlyphArt HelpBalloonArt{{
    "....................",
    "...kkkkkkkkkkkkkk...",
    "..kwwwwwbbbbwwwwwk..",
    ".kwwwwwbbwwbbwwwwwk.",
    ".kwwwwwwwwwwbbwwwwk.",
    ".kwwwwwwwwwbbwwwwwk.",
    ".kwwwwwwwwbbwwwwwwk.",
    ".kwwwwwwwbbwwwwwwwk.",
    ".kwwwwwwwbbwwwwwwwk.",
    ".kwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwwbbwwwwwwwk.",
    ".kwwwwwwwbbwwwwwwwk.",
    "..kwwwwwwwwwwwwwwk..",
    "...kwwwkkkkkkkkkk...",
    "....kwwk............",
    "....kwk.............",
    "....kk..............",
    "....k...............",
    "....................",
    "....................",
}};

constexpr GlyphArt StopwatchArt{{
    "....................",
    "........kkkk........",
    "........kddk........",
    ".........kk.........",
    "...............kk...",
    ".......kkkkkk.kddk..",
    ".....kkwwnnwwkkk....",
    "....kkwwwwwwwwkk....",
    "....kwwwwkwwwrwk....",
    "...kwwwwwkwwrwwwk...",
    "...kwwwwwkwrwwwwk...",
    "...knwwwwkrwwwwnk...",
    "...knwwwwkkwwwwnk...",
    "...kwwwwwwwwwwwwk...",
    "...kwwwwwwwwwwwwk...",
    "....kwwwwwwwwwwk....",
    "....kkwwwwwwwwkk....",
    ".....kkwwnnwwkk.....",
    ".......kkkkkk.......",
    "....................",
}};

constexpr GlyphArt ArrowRightArt{{
    "....................",
    "....................",
    "..........n.........",
    "..........nn........",
    "..........ncn.......",
    "..........nbcn......",
    "..........nbbcn.....",
    "..nnnnnnnnnbbbcn....",
    "..nccccccccbbbbcn...",
    "..nbbbbbbbbbbbbbbn..",
    "..nbbbbbbbbbbbbbbn..",
    "..nbbbbbbbbbbbbbn...",
    "..nnnnnnnnnbbbbn....",
    "..........nbbbn.....",
    "..........nbbn......",
    "..........nbn.......",
    "..........nn........",
    "..........n.........",
    "....................",
    "....................",
}};

constexpr GlyphArt ArrowDownArt{{
    "....................",
    "....................",
    ".......nnnnnn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    ".......ncbbbn.......",
    "..nnnnnncbbbnnnnnn..",
    "...ncbbbbbbbbbbbn...",
    "....ncbbbbbbbbbn....",
    ".....ncbbbbbbbn.....",
    "......ncbbbbbn......",
    ".......ncbbbn.......",
    "........nbbn........",
    ".........nn.........",
    "....................",
    "....................",
}};

const GlyphArt& ArtOf(ToolGlyph glyph) {
  switch (glyph) {
    case ToolGlyph::OpenFolder: return OpenFolderArt;
    case ToolGlyph::PencilOnGrid: return PencilOnGridArt;
    case ToolGlyph::HelpBalloon: return HelpBalloonArt;
    case ToolGlyph::Stopwatch: return StopwatchArt;
    case ToolGlyph::ArrowRight: return ArrowRightArt;
    case ToolGlyph::ArrowDown: return ArrowDownArt;
  }
  throw std::invalid_argument("unknown tool glyph");
}

int PaletteIndex(char letter) {
  for (std::size_t i = 0; i < GlyphPalette.size(); ++i)
    if (GlyphPalette[i].letter == letter)
      return static_cast<int>(i);
  throw std::invalid_argument(std::string("no colour for glyph letter ") + letter);
}

// "Glyph.Data = {" and the data, 32 bytes a line, as the form writer prints
// binary values.
QList<QByteArray> GlyphDataLines(const ToolGlyphButton& button, qsizetype indent) {
  const QByteArray data = ToolButtonData(button);
  const QByteArray pad(indent, ' ');
  QList<QByteArray> lines{pad + ToolButtonProperty(button) + " = {"};
  for (qsizetype pos = 0; pos < data.size(); pos += 32)
    lines.append(pad + "  " + data.mid(pos, 32).toHex().toUpper());
  lines.last().append('}');
  if (button.columns > 1)
    lines.append(pad + "NumGlyphs = " + QByteArray::number(button.columns));
  return lines;
}

QByteArray Bmp(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  // An 8-bit image of at most 16 colours is written with 4 bits a pixel.
  if (!image.save(&buffer, "BMP"))
    throw std::runtime_error("cannot write a glyph as BMP");
  return bytes;
}

qsizetype Indentation(const QByteArray& line) {
  qsizetype n = 0;
  while (n < line.size() && line[n] == ' ')
    ++n;
  return n;
}

qsizetype FindObject(const QList<QByteArray>& lines, const ToolGlyphButton& button) {
  const QByteArray name = button.button;
  const QByteArray header = "object " + name + ": " + button.className;
  for (qsizetype i = 0; i < lines.size(); ++i)
    if (lines[i].trimmed() == header)
      return i;
  throw std::runtime_error("the form has no button " + name.toStdString());
}

qsizetype FindEnd(const QList<QByteArray>& lines, qsizetype object) {
  const qsizetype indent = Indentation(lines[object]);
  for (qsizetype i = object + 1; i < lines.size(); ++i)
    if (lines[i].trimmed() == "end" && Indentation(lines[i]) == indent)
      return i;
  throw std::runtime_error("the form's object has no end");
}

// Removes the caption and an earlier glyph of the object between first and
// end (exclusive); returns where the first of them was, or -1.
qsizetype DropCaptionAndGlyph(QList<QByteArray>& lines, qsizetype first, qsizetype& end) {
  qsizetype removedAt = -1;
  for (qsizetype i = first; i < end;) {
    const QByteArray text = lines[i].trimmed();
    const bool glyph = text.startsWith("Glyph.Data = {") || text.startsWith("Picture.Data = {");
    if (!glyph && !text.startsWith("Caption = ") && !text.startsWith("NumGlyphs = ")) {
      ++i;
      continue;
    }
    qsizetype last = i;
    while (glyph && last < end && !lines[last].contains('}'))
      ++last;
    if (last == end)
      throw std::runtime_error("the form's glyph data has no closing brace");
    lines.remove(i, last - i + 1);
    end -= last - i + 1;
    if (removedAt < 0)
      removedAt = i;
  }
  return removedAt;
}

void PutGlyph(QList<QByteArray>& lines, const ToolGlyphButton& button) {
  const qsizetype object = FindObject(lines, button);
  qsizetype end = FindEnd(lines, object);
  qsizetype at = DropCaptionAndGlyph(lines, object + 1, end);
  for (qsizetype i = object + 1; at < 0 && i < end; ++i)
    if (lines[i].trimmed().startsWith("On"))
      at = i;
  if (at < 0)
    at = end;
  const QList<QByteArray> data = GlyphDataLines(button, Indentation(lines[object]) + 2);
  for (qsizetype k = 0; k < data.size(); ++k)
    lines.insert(at + k, data[k]);
}

}  // namespace

const std::array<ToolGlyphButton, 6> GameToolButtons{
    {{"SpeedButton1", ToolGlyph::OpenFolder, "TSpeedButton", 1},
     {"SpeedButton4", ToolGlyph::PencilOnGrid, "TSpeedButton", 1},
     {"SpeedButton3", ToolGlyph::HelpBalloon, "TSpeedButton", 1},
     {"SpeedButton2", ToolGlyph::Stopwatch, "TSpeedButton", 1},
     {"esiinnappi", ToolGlyph::ArrowRight, "TRepSpeedBtn", 2},
     {"esiinalas", ToolGlyph::ArrowDown, "TRepSpeedBtn", 2}}};

QImage DrawToolGlyph(ToolGlyph glyph) {
  QImage image(ToolGlyphSize, ToolGlyphSize, QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (const PaletteEntry& entry : GlyphPalette)
    colours.append(0xFF000000u | entry.rgb);
  image.setColorTable(colours);
  const GlyphArt& art = ArtOf(glyph);
  for (int y = 0; y < ToolGlyphSize; ++y)
    for (int x = 0; x < ToolGlyphSize; ++x)
      image.setPixel(x, y, static_cast<uint>(PaletteIndex(art[static_cast<std::size_t>(y)][x])));
  return image;
}

QByteArray ToolGlyphBmp(ToolGlyph glyph) { return Bmp(DrawToolGlyph(glyph)); }

QImage DrawToolPicture(ToolGlyph glyph, int columns) {
  const QImage one = DrawToolGlyph(glyph);
  if (columns < 2)
    return one;
  QImage image(ToolGlyphSize * 2, ToolGlyphSize, QImage::Format_Indexed8);
  image.setColorTable(one.colorTable());
  const uint face = static_cast<uint>(PaletteIndex('.'));
  image.fill(face);
  const auto ink = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < ToolGlyphSize && y < ToolGlyphSize &&
           one.pixelIndex(x, y) != static_cast<int>(face);
  };
  for (int y = 0; y < ToolGlyphSize; ++y)
    for (int x = 0; x < ToolGlyphSize; ++x) {
      image.setPixel(x, y, static_cast<uint>(one.pixelIndex(x, y)));
      if (ink(x, y))
        image.setPixel(ToolGlyphSize + x, y, static_cast<uint>(PaletteIndex('d')));
      else if (ink(x - 1, y - 1))
        image.setPixel(ToolGlyphSize + x, y, static_cast<uint>(PaletteIndex('w')));
    }
  return image;
}

QByteArray ToolButtonProperty(const ToolGlyphButton& button) {
  return button.columns > 1 ? "Picture.Data" : "Glyph.Data";
}

QByteArray ToolButtonData(const ToolGlyphButton& button) {
  const QByteArray bmp = Bmp(DrawToolPicture(button.glyph, button.columns));
  QByteArray data(4, '\0');
  qToLittleEndian<qint32>(static_cast<qint32>(bmp.size()), data.data());
  data += bmp;
  if (button.columns > 1)
    data.prepend(QByteArray("\x07TBitmap"));
  return data;
}

QByteArray PutToolGlyphsIntoForm(const QByteArray& formText) {
  QList<QByteArray> lines = formText.split('\n');
  for (const ToolGlyphButton& button : GameToolButtons)
    PutGlyph(lines, button);
  return lines.join('\n');
}
