#include "tools/clips/ClipFrames.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

QPointF Polar(double length, double degrees) {
  const double a = degrees * Pi / 180.0;
  return {std::sin(a) * length, -std::cos(a) * length};
}

// Phase of a frame within its eight-frame loop, 0 .. 2 pi.
double Phase(int frame) {
  return 2.0 * Pi * ((frame - 1) % 8) / 8.0;
}

bool SecondLoop(int frame) {
  return frame > 8;
}

// ---- the cow ---------------------------------------------------------

const QColor CowOutline(30, 30, 30);
const QColor CowPink(245, 170, 180);
const QColor Hoof(70, 60, 55);

void Limb(QPainter& p, QPointF from, QPointF to, double width) {
  p.setPen(QPen(CowOutline, width + 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setPen(QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(from, to);
  p.setPen(QPen(Hoof, width + 1, Qt::SolidLine, Qt::FlatCap));
  const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
  p.drawLine(to - dir * 5, to + dir * 3);
}

void CowBody(QPainter& p) {
  p.setPen(QPen(CowOutline, 2));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(0, -95), 33, 48);
  p.setPen(Qt::NoPen);
  p.setBrush(CowOutline);
  p.drawEllipse(QPointF(-14, -115), 12, 15);
  p.drawEllipse(QPointF(16, -80), 10, 13);
  p.drawEllipse(QPointF(-18, -72), 7, 6);
  p.setBrush(CowPink);
  p.drawEllipse(QPointF(0, -58), 13, 8);
  p.setBrush(CowPink.darker(115));
  for (int k = -1; k <= 1; k += 2)
    p.drawEllipse(QPointF(k * 6, -51), 2.5, 4);
}

void CowHead(QPainter& p, double tilt) {
  p.save();
  p.translate(0, -150);
  p.rotate(tilt);
  p.setPen(QPen(CowOutline, 2));
  p.setBrush(QColor(240, 230, 200));
  for (int side = -1; side <= 1; side += 2) {
    QPainterPath horn;
    horn.moveTo(side * 12, -30);
    horn.quadTo(side * 30, -36, side * 26, -52);
    horn.quadTo(side * 22, -38, side * 6, -32);
    p.drawPath(horn);
  }
  p.setBrush(Qt::white);
  for (int side = -1; side <= 1; side += 2)
    p.drawEllipse(QPointF(side * 30, -22), 12, 6);
  p.drawEllipse(QPointF(0, -18), 24, 22);
  p.setPen(Qt::NoPen);
  p.setBrush(CowOutline);
  p.drawEllipse(QPointF(12, -28), 9, 8);
  p.setPen(QPen(CowOutline, 2));
  p.setBrush(CowPink);
  p.drawEllipse(QPointF(0, 0), 19, 12);
  p.setBrush(CowOutline);
  p.drawEllipse(QPointF(-7, 0), 2.5, 3.5);
  p.drawEllipse(QPointF(7, 0), 2.5, 3.5);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(-9, -22), 5, 6);
  p.drawEllipse(QPointF(9, -22), 5, 6);
  p.setBrush(CowOutline);
  p.drawEllipse(QPointF(-8, -21), 2, 3);
  p.drawEllipse(QPointF(10, -21), 2, 3);
  p.restore();
}

void Bell(QPainter& p) {
  p.setPen(QPen(QColor(150, 100, 20), 1.5));
  p.setBrush(QColor(250, 200, 40));
  p.drawEllipse(QPointF(0, -130), 6, 6);
}

void Tail(QPainter& p, double swing) {
  QPainterPath tail;
  tail.moveTo(26, -68);
  tail.quadTo(50, -60 + swing, 46 + swing * 0.4, -30);
  p.setPen(QPen(CowOutline, 3, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(tail);
  p.setPen(Qt::NoPen);
  p.setBrush(CowOutline);
  p.drawEllipse(QPointF(46 + swing * 0.4, -28), 4, 6);
}

void Note(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(40, 60, 160), 2));
  p.setBrush(QColor(40, 60, 160));
  p.drawEllipse(at, 4, 3);
  p.drawLine(at + QPointF(4, 0), at + QPointF(4, -16));
  p.drawLine(at + QPointF(4, -16), at + QPointF(10, -12));
}

}  // namespace

QImage DrawCowFrame(int frame) {
  QImage image(ClipWidth, ClipHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double t = Phase(frame);
  const double s = std::sin(t);
  const bool second = SecondLoop(frame);
  const double bounce = second ? 8 * std::abs(std::sin(t)) : 4 * std::abs(std::sin(t));

  Note(p, QPointF(14 + 4 * s, 30 - 4 * std::cos(t)));
  Note(p, QPointF(156 - 4 * s, 30 + 4 * std::cos(t)));

  p.translate(88, 228 - bounce);
  p.rotate(second ? 4 * s : 7 * s);
  // Legs step in turn; in the second loop they kick out sideways.
  const double lift = 10 * std::max(0.0, s);
  const double otherLift = 10 * std::max(0.0, -s);
  const double kick = second ? 14 * s : 0;
  Limb(p, QPointF(-13, -58), QPointF(-16 - std::max(0.0, kick), -lift), 11);
  Limb(p, QPointF(13, -58), QPointF(16 - std::min(0.0, kick), -otherLift), 11);
  Tail(p, 12 * std::cos(t));
  // Arms wave in turn; in the second loop both go up and down together.
  const double left = second ? 150 - 40 * std::cos(t) : 120 + 40 * s;
  const double right = second ? 150 - 40 * std::cos(t) : 120 - 40 * s;
  Limb(p, QPointF(-26, -120), QPointF(-26, -120) + Polar(32, -left), 9);
  Limb(p, QPointF(26, -120), QPointF(26, -120) + Polar(32, right), 9);
  CowBody(p);
  Bell(p);
  CowHead(p, second ? -10 * s : 6 * std::cos(t));
  return image;
}

namespace {

// ---- the jester ------------------------------------------------------

constexpr double BoxLeft = 48;
constexpr double BoxRight = 130;
constexpr double BoxTop = 182;
constexpr double BoxBottom = 234;

// How far the jester is out of the box (0: shut in, lid closed) and the
// sideways shake of the box, per frame.
constexpr std::array<double, ClipFrameCount> Rise{0,  25, 80, 100, 78, 92, 40, 0,
                                                  0,  45, 95, 108, 86, 104, 96, 0};
constexpr std::array<double, ClipFrameCount> Shake{0, 0, 0, 0, 0, 0, 0, 2,
                                                   -2, 0, 0, 0, 0, 0, 0, 2};

const QColor Gold(240, 190, 40);

void Spring(QPainter& p, double top) {
  const double bottom = BoxBottom - 8;
  const int turns = 8;
  QPolygonF zig;
  for (int i = 0; i <= turns * 2; ++i) {
    const double y = bottom + (top - bottom) * i / (turns * 2.0);
    zig << QPointF(89 + ((i % 2) ? 12 : -12), y);
  }
  p.setPen(QPen(QColor(200, 205, 215), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(zig);
}

void Box(QPainter& p, bool open) {
  p.setPen(QPen(Gold, 2));
  p.setBrush(QColor(200, 30, 45));
  p.drawRect(QRectF(BoxLeft, BoxTop, BoxRight - BoxLeft, BoxBottom - BoxTop));
  p.setPen(Qt::NoPen);
  p.setBrush(Gold);
  for (int k = 0; k < 3; ++k) {
    const double cx = BoxLeft + 16 + k * 25;
    const double cy = (BoxTop + BoxBottom) / 2;
    p.drawPolygon(QPolygonF{{cx, cy - 11}, {cx + 8, cy}, {cx, cy + 11}, {cx - 8, cy}});
  }
  p.setPen(QPen(Gold, 2));
  p.setBrush(QColor(170, 20, 35));
  if (open)
    p.drawRect(QRectF(BoxRight - 2, BoxTop - 78, 8, 78));
  else
    p.drawRect(QRectF(BoxLeft - 4, BoxTop - 8, BoxRight - BoxLeft + 8, 8));
}

void Collar(QPainter& p, QPointF at) {
  p.setPen(QPen(QColor(180, 180, 190), 1));
  p.setBrush(Qt::white);
  QPolygonF frill;
  for (int i = 0; i < 20; ++i) {
    const double a = i * Pi / 10;
    const double r = (i % 2) ? 14 : 22;
    frill << at + QPointF(std::cos(a) * r, std::sin(a) * r * 0.45);
  }
  p.drawPolygon(frill);
}

void Arms(QPainter& p, QPointF collar, double wave) {
  p.setPen(QPen(QColor(40, 150, 60), 5, Qt::SolidLine, Qt::RoundCap));
  const QPointF left = collar + QPointF(-34, -10 - wave);
  const QPointF right = collar + QPointF(34, -10 + wave);
  p.drawLine(collar + QPointF(-12, 4), left);
  p.drawLine(collar + QPointF(12, 4), right);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(left, 5, 5);
  p.drawEllipse(right, 5, 5);
}

void Hat(QPainter& p, double swing) {
  const std::array<QColor, 3> colours{QColor(210, 30, 40), QColor(40, 150, 60), QColor(210, 30, 40)};
  const std::array<QPointF, 3> tips{QPointF(-34, -26 + swing), QPointF(swing * 0.5, -50),
                                    QPointF(34, -26 - swing)};
  for (int k = 0; k < 3; ++k) {
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(colours[k]);
    const double base = -18 + k * 12;
    p.drawPolygon(QPolygonF{QPointF(base, -14), QPointF(base + 12, -14), tips[k]});
    p.setBrush(Gold);
    p.drawEllipse(tips[k], 4.5, 4.5);
  }
  p.setBrush(Gold);
  p.drawRect(QRectF(-20, -17, 40, 6));
}

void Face(QPainter& p) {
  p.setPen(QPen(QColor(20, 20, 20), 1));
  p.setBrush(QColor(250, 228, 205));
  p.drawEllipse(QPointF(0, 0), 18, 16);
  p.setBrush(QColor(20, 20, 20));
  p.drawEllipse(QPointF(-6, -4), 2.2, 3);
  p.drawEllipse(QPointF(6, -4), 2.2, 3);
  p.setBrush(QColor(230, 30, 40));
  p.drawEllipse(QPointF(0, 2), 4, 4);
  p.setPen(QPen(QColor(160, 20, 30), 2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(-9, 0, 18, 10), 200 * 16, 140 * 16);
}

void Jester(QPainter& p, double rise, int frame) {
  const double wobble = std::sin(Phase(frame) * 2);
  const QPointF collar(89, BoxTop + 6 - rise);
  Spring(p, collar.y());
  Arms(p, collar, 14 * wobble);
  Collar(p, collar);
  p.save();
  p.translate(collar + QPointF(0, -16));
  p.rotate(12 * wobble);
  Hat(p, 6 * wobble);
  Face(p);
  p.restore();
}

}  // namespace

QImage DrawJesterFrame(int frame) {
  QImage image(ClipWidth, ClipHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const double rise = Rise[static_cast<std::size_t>(frame - 1)];
  p.translate(Shake[static_cast<std::size_t>(frame - 1)], 0);
  if (rise > 0)
    Jester(p, rise, frame);
  Box(p, rise > 0);
  return image;
}
