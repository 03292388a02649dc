#include "tools/images/GameImages.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QStringList>

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
