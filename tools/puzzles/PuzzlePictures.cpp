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

void Bird(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(40, 40, 60), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  QPainterPath path;
  path.moveTo(at + QPointF(-10, 0));
  path.quadTo(at + QPointF(-5, -6), at);
  path.quadTo(at + QPointF(5, -6), at + QPointF(10, 0));
  p.drawPath(path);
}

// A standing dalmatian seen from the side, facing right when dir is 1;
// its spots come from spots, in body-relative units.
void Dalmatian(QPainter& p, QPointF at, double scale, int dir,
               const QList<QPointF>& spots) {
  const auto pt = [&](double x, double y) { return at + QPointF(dir * x * scale, y * scale); };
  const QPen outline(QColor(40, 40, 40), 2 * scale);
  p.setPen(outline);
  p.setBrush(QColor(250, 250, 248));
  for (double legX : {-30.0, -18.0, 22.0, 34.0})
    p.drawRoundedRect(QRectF(pt(legX, 10), pt(legX + 8, 52)).normalized(), 3 * scale, 3 * scale);
  QPainterPath tail;
  tail.moveTo(pt(-40, -5));
  tail.quadTo(pt(-62, -10), pt(-66, -34));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(40, 40, 40), 6 * scale, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(tail);
  p.setPen(QPen(QColor(250, 250, 248), 3 * scale, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(tail);
  p.setPen(outline);
  p.setBrush(QColor(250, 250, 248));
  p.drawEllipse(pt(0, 0), 46 * scale, 22 * scale);
  p.drawPolygon(QPolygonF{pt(30, -10), pt(44, -40), pt(58, -36), pt(48, -2)});
  p.drawEllipse(pt(56, -44), 17 * scale, 14 * scale);
  p.drawEllipse(pt(72, -38), 10 * scale, 7 * scale);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(25, 25, 25));
  for (const QPointF& s : spots)
    p.drawEllipse(pt(s.x(), s.y()), 4.5 * scale, 4 * scale);
  p.drawEllipse(pt(80, -40), 3.5 * scale, 3 * scale);
  p.drawEllipse(pt(60, -48), 2.5 * scale, 2.5 * scale);
  p.setPen(QPen(QColor(25, 25, 25), 1.5 * scale));
  p.drawEllipse(pt(48, -50), 6 * scale, 13 * scale);
  p.setPen(QPen(QColor(200, 30, 40), 4 * scale, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(pt(40, -28), pt(52, -33));
}

void Doghouse(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(90, 50, 25), 2));
  p.setBrush(QColor(180, 110, 60));
  p.drawRect(QRectF(at.x() - 35, at.y() - 50, 70, 50));
  p.setBrush(QColor(150, 40, 40));
  p.drawPolygon(QPolygonF{at + QPointF(-45, -48), at + QPointF(0, -85), at + QPointF(45, -48)});
  p.setBrush(QColor(40, 25, 15));
  p.drawRoundedRect(QRectF(at.x() - 15, at.y() - 34, 30, 34), 14, 14);
}

}  // namespace

QImage DrawDalmatiansPicture() {
  QImage image = Canvas(QColor(110, 180, 80));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  Sky(p, 130, QColor(120, 180, 240), QColor(205, 230, 250));
  Sun(p, QPointF(300, 40), 20);
  for (int x = 0; x < 150; x += 36)
    Spruce(p, x + 18, 132, 58 + (x % 3) * 8);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(95, 165, 70));
  p.drawRect(0, 130, PictureWidth, PictureHeight - 130);
  Doghouse(p, QPointF(290, 170));
  Bird(p, QPointF(60, 30));
  Bird(p, QPointF(95, 48));
  Dalmatian(p, QPointF(120, 180), 1.0, 1,
            {{-30, -8}, {-14, 6}, {2, -12}, {18, 4}, {30, -10}, {-24, 12}, {8, 14}, {36, 30}, {-26, 38}});
  Dalmatian(p, QPointF(245, 225), 0.6, -1,
            {{-28, -6}, {-8, 8}, {10, -10}, {26, 6}, {-36, 10}, {20, 40}});
  Dalmatian(p, QPointF(60, 235), 0.5, 1,
            {{-22, -10}, {-2, 6}, {20, -6}, {34, 10}, {-30, 30}});
  return image;
}
