#include "platform/printing/ImagePrintBackend.h"

#include "platform/printing/Printer.h"

#include <QtMath>

namespace {

constexpr double kMillimetresPerInch = 25.4;
constexpr double kInchesPerMetre = 1000.0 / kMillimetresPerInch;

int Pixels(double millimetres, int dpi) {
  return qRound(millimetres * dpi / kMillimetresPerInch);
}

}  // namespace

TImagePrintBackend::TImagePrintBackend(int dpiX, int dpiY, QSizeF pageMillimetres)
    : dpiX_(dpiX), dpiY_(dpiY > 0 ? dpiY : dpiX), pageMillimetres_(pageMillimetres) {
  if (dpiX_ <= 0 || pageMillimetres_.width() <= 0 || pageMillimetres_.height() <= 0)
    throw EPrinter(QStringLiteral("Printer selected is not valid"));
}

QStringList TImagePrintBackend::PrinterNames() {
  return {QStringLiteral("Image")};
}

TPageMetrics TImagePrintBackend::Metrics() {
  const bool landscape = orientation_ == poLandscape;
  const double across = landscape ? pageMillimetres_.height() : pageMillimetres_.width();
  const double down = landscape ? pageMillimetres_.width() : pageMillimetres_.height();
  TPageMetrics m;
  m.DpiX = dpiX_;
  m.DpiY = dpiY_;
  m.Width = m.PhysicalWidth = Pixels(across, dpiX_);
  m.Height = m.PhysicalHeight = Pixels(down, dpiY_);
  return m;
}

QPaintDevice* TImagePrintBackend::AddPage() {
  const TPageMetrics m = Metrics();
  auto page = std::make_unique<QImage>(m.Width, m.Height, QImage::Format_RGB32);
  if (page->isNull())
    throw EPrinter(QStringLiteral("Not enough memory for the printed page"));
  page->fill(Qt::white);
  page->setDotsPerMeterX(qRound(dpiX_ * kInchesPerMetre));
  page->setDotsPerMeterY(qRound(dpiY_ * kInchesPerMetre));
  printing_.push_back(std::move(page));
  return printing_.back().get();
}

QPaintDevice* TImagePrintBackend::StartJob(const QString& title) {
  printing_.clear();
  jobTitle_ = title;
  return AddPage();
}

QPaintDevice* TImagePrintBackend::NextPage() {
  return AddPage();
}

void TImagePrintBackend::FinishJob() {
  pages_ = std::move(printing_);
  printing_.clear();
}

void TImagePrintBackend::CancelJob() {
  printing_.clear();
  pages_.clear();
}
