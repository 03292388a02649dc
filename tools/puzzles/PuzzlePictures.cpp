#include "tools/puzzles/PuzzlePictures.h"

#include "tools/puzzles/PuzzleThemes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace {

QImage Canvas(QColor fill) {
  QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

void Sky(QPainter& p, int horizon, QColor top, QColor bottom) {
  QLinearGradient g(0, 0, 0, horizon);
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.fillRect(0, 0, PictureWidth, horizon, g);
}

void Sun(QPainter& p, QPointF centre, double radius) {
  p.setPen(QPen(QColor(250, 200, 40), 3, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 12; ++i) {
    const double a = i * std::numbers::pi / 6;
    p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * (radius + 5),
               centre + QPointF(std::cos(a), std::sin(a)) * (radius + 14));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 215, 60));
  p.drawEllipse(centre, radius, radius);
}

void Spruce(QPainter& p, double x, double base, double height) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(110, 70, 40));
  p.drawRect(QRectF(x - 3, base - 10, 6, 10));
  p.setBrush(QColor(30, 100, 50));
  for (int tier = 0; tier < 3; ++tier) {
    const double bottom = base - 8 - tier * height * 0.25;
    const double half = height * (0.32 - tier * 0.08);
    p.drawPolygon(QPolygonF{{x - half, bottom}, {x + half, bottom}, {x, bottom - height * 0.45}});
  }
}

// A sitting cat seen from the front.
void Cat(QPainter& p, QPointF at) {
  const QColor fur(230, 140, 60);
  p.setPen(QPen(QColor(90, 50, 20), 2));
  p.setBrush(fur);
  QPainterPath tail;
  tail.moveTo(at + QPointF(28, 40));
  tail.cubicTo(at + QPointF(70, 45), at + QPointF(70, -10), at + QPointF(50, -20));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(fur.darker(130), 9, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(tail);
  p.setPen(QPen(QColor(90, 50, 20), 2));
  p.setBrush(fur);
  p.drawEllipse(at + QPointF(0, 18), 34, 42);
  p.drawPolygon(QPolygonF{at + QPointF(-30, -52), at + QPointF(-26, -82), at + QPointF(-6, -62)});
  p.drawPolygon(QPolygonF{at + QPointF(30, -52), at + QPointF(26, -82), at + QPointF(6, -62)});
  p.drawEllipse(at + QPointF(0, -45), 32, 27);
  p.setBrush(QColor(60, 160, 70));
  p.drawEllipse(at + QPointF(-12, -50), 6, 7);
  p.drawEllipse(at + QPointF(12, -50), 6, 7);
  p.setBrush(Qt::black);
  p.drawEllipse(at + QPointF(-12, -50), 2, 5);
  p.drawEllipse(at + QPointF(12, -50), 2, 5);
  p.setBrush(QColor(240, 120, 140));
  p.drawPolygon(QPolygonF{at + QPointF(-4, -38), at + QPointF(4, -38), at + QPointF(0, -33)});
  p.setPen(QPen(QColor(60, 40, 20), 1));
  for (int side : {-1, 1})
    for (int k = -1; k <= 1; ++k)
      p.drawLine(at + QPointF(side * 8, -35), at + QPointF(side * 34, -38 + k * 6));
}

void Hedgehog(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(60, 40, 25), 2));
  p.setBrush(QColor(120, 85, 55));
  QPolygonF spikes;
  for (int i = 0; i <= 14; ++i) {
    const double a = std::numbers::pi + i * std::numbers::pi / 14;
    const double r = (i % 2 == 0) ? 26 : 36;
    spikes << at + QPointF(std::cos(a) * r * 1.3, std::sin(a) * r);
  }
  p.drawPolygon(spikes);
  p.setBrush(QColor(210, 170, 120));
  p.drawEllipse(at + QPointF(34, -8), 14, 10);
  p.setBrush(Qt::black);
  p.drawEllipse(at + QPointF(47, -9), 3, 3);
  p.drawEllipse(at + QPointF(36, -12), 2, 2);
}

void Bird(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(40, 40, 60), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.moveTo(at + QPointF(-10, 0));
  path.quadTo(at + QPointF(-5, -6), at);
  path.quadTo(at + QPointF(5, -6), at + QPointF(10, 0));
  p.drawPath(path);
}

void Apple(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(120, 20, 20), 2));
  p.setBrush(QColor(210, 40, 40));
  p.drawEllipse(at, 22, 20);
  p.setPen(QPen(QColor(90, 60, 30), 3));
  p.drawLine(at + QPointF(0, -18), at + QPointF(3, -28));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 150, 60));
  p.drawEllipse(at + QPointF(10, -26), 8, 4);
}

void Carrot(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(150, 70, 10), 2));
  p.setBrush(QColor(240, 130, 30));
  p.drawPolygon(QPolygonF{at + QPointF(-10, 0), at + QPointF(10, 0), at + QPointF(2, 70)});
  p.setPen(QPen(QColor(50, 140, 50), 4, Qt::SolidLine, Qt::RoundCap));
  for (int k = -1; k <= 1; ++k)
    p.drawLine(at, at + QPointF(k * 9, -18));
}

void Bread(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(120, 70, 30), 2));
  p.setBrush(QColor(200, 140, 70));
  p.drawRoundedRect(QRectF(at.x() - 45, at.y() - 22, 90, 44), 20, 20);
  p.setPen(QPen(QColor(150, 95, 45), 3, Qt::SolidLine, Qt::RoundCap));
  for (int k = -1; k <= 1; ++k)
    p.drawLine(at + QPointF(k * 22 - 6, -12), at + QPointF(k * 22 + 6, 12));
}

void MilkGlass(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(120, 130, 150), 2));
  p.setBrush(QColor(250, 250, 250));
  p.drawPolygon(QPolygonF{at + QPointF(-20, -50), at + QPointF(20, -50), at + QPointF(16, 40),
                          at + QPointF(-16, 40)});
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 225, 245, 120));
  p.drawRect(QRectF(at.x() - 19, at.y() - 49, 38, 8));
}

void Cheese(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(170, 130, 20), 2));
  p.setBrush(QColor(250, 210, 70));
  p.drawPolygon(QPolygonF{at + QPointF(-40, 20), at + QPointF(40, 20), at + QPointF(40, -10),
                          at + QPointF(-40, -25)});
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(225, 180, 40));
  p.drawEllipse(at + QPointF(-15, 5), 6, 5);
  p.drawEllipse(at + QPointF(12, -2), 4, 4);
  p.drawEllipse(at + QPointF(25, 10), 5, 4);
}

void Tablecloth(QPainter& p, int top) {
  const int square = 27;
  for (int y = top, row = 0; y < PictureHeight; y += square, ++row)
    for (int x = 0, col = 0; x < PictureWidth; x += square, ++col)
      p.fillRect(x, y, square, square, (row + col) % 2 ? QColor(200, 40, 50) : QColor(250, 245, 240));
}

void Birch(QPainter& p, double x, double base) {
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(QColor(245, 245, 240));
  p.drawRect(QRectF(x - 5, base - 120, 10, 120));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 30, 30));
  for (int k = 0; k < 7; ++k)
    p.drawRect(QRectF(x - 5 + (k % 2) * 4, base - 110 + k * 15, 6, 3));
  p.setBrush(QColor(120, 180, 60));
  p.drawEllipse(QPointF(x, base - 130), 30, 26);
  p.drawEllipse(QPointF(x - 18, base - 112), 18, 14);
  p.drawEllipse(QPointF(x + 18, base - 112), 18, 14);
}

}  // namespace

QImage DrawAnimalsPicture() {
  QImage image = Canvas(QColor(110, 180, 80));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Sky(p, 150, QColor(120, 180, 240), QColor(200, 230, 250));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 160, 70));
  p.drawEllipse(QPointF(80, 190), 200, 60);
  p.setBrush(QColor(110, 180, 80));
  p.drawEllipse(QPointF(300, 200), 180, 55);
  Sun(p, QPointF(300, 45), 22);
  for (int x = 0; x < PictureWidth; x += 40)
    Spruce(p, x + 20, 150, 60 + (x % 3) * 8);
  Cat(p, QPointF(120, 190));
  Hedgehog(p, QPointF(250, 235));
  Bird(p, QPointF(70, 40));
  Bird(p, QPointF(100, 60));
  Bird(p, QPointF(180, 30));
  return image;
}

QImage DrawFoodPicture() {
  QImage image = Canvas(QColor(250, 240, 220));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Tablecloth(p, 110);
  p.setPen(QPen(QColor(160, 160, 170), 2));
  p.setBrush(QColor(250, 250, 252));
  p.drawEllipse(QPointF(175, 180), 120, 60);
  p.setBrush(QColor(235, 235, 240));
  p.drawEllipse(QPointF(175, 180), 90, 42);
  Bread(p, QPointF(140, 175));
  Cheese(p, QPointF(215, 188));
  Apple(p, QPointF(60, 120));
  Carrot(p, QPointF(300, 95));
  MilkGlass(p, QPointF(40, 200));
  return image;
}

QImage DrawNaturePicture() {
  QImage image = Canvas(QColor(60, 130, 60));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Sky(p, 140, QColor(90, 150, 230), QColor(220, 235, 250));
  Sun(p, QPointF(60, 45), 20);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(140, 140, 150));
  p.drawPolygon(QPolygonF{{120, 140}, {220, 40}, {330, 140}});
  p.setBrush(QColor(250, 250, 255));
  p.drawPolygon(QPolygonF{{190, 70}, {220, 40}, {250, 70}, {232, 64}, {220, 76}, {206, 64}});
  p.setBrush(QColor(60, 130, 60));
  p.drawRect(0, 140, PictureWidth, PictureHeight - 140);
  QLinearGradient lake(0, 170, 0, 240);
  lake.setColorAt(0, QColor(60, 120, 200));
  lake.setColorAt(1, QColor(30, 80, 160));
  p.setBrush(lake);
  p.drawEllipse(QPointF(210, 205), 130, 35);
  p.setPen(QPen(QColor(200, 225, 250), 2));
  p.drawLine(QPointF(160, 200), QPointF(200, 200));
  p.drawLine(QPointF(230, 215), QPointF(280, 215));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 110, 100));
  p.drawEllipse(QPointF(60, 240), 35, 16);
  for (int k = 0; k < 4; ++k)
    Spruce(p, 20 + k * 28, 170 + (k % 2) * 6, 70);
  Spruce(p, 320, 175, 80);
  Birch(p, 150, 180);
  return image;
}
