#pragma once
// A printer that paints each page into an image at a chosen resolution; the
// pages of the last finished job stay readable. The whole sheet is printable
// (no margins). Used where printed output is checked pixel by pixel.

#include "platform/printing/PrintBackend.h"

#include <QImage>
#include <QSizeF>

#include <memory>
#include <vector>

class TImagePrintBackend : public TPrintBackend {
 public:
  // A sheet of pageMillimetres (portrait) at dpiX by dpiY pixels per inch.
  explicit TImagePrintBackend(int dpiX, int dpiY = 0, QSizeF pageMillimetres = {210.0, 297.0});

  QStringList PrinterNames() override;
  int DefaultPrinter() override { return 0; }
  void SelectPrinter(int) override {}
  void SetOrientation(TPrinterOrientation orientation) override { orientation_ = orientation; }
  void SetCopies(int) override {}
  TPageMetrics Metrics() override;

  QPaintDevice* StartJob(const QString& title) override;
  QPaintDevice* NextPage() override;
  void FinishJob() override;
  void CancelJob() override;

  // The pages of the last finished job (none after a cancelled one).
  int PageCount() const { return static_cast<int>(pages_.size()); }
  const QImage& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
  const QString& JobTitle() const { return jobTitle_; }

 private:
  QPaintDevice* AddPage();

  int dpiX_;
  int dpiY_;
  QSizeF pageMillimetres_;
  TPrinterOrientation orientation_ = poPortrait;
  // Pages by pointer: the canvas paints one while the next is added.
  std::vector<std::unique_ptr<QImage>> pages_;
  std::vector<std::unique_ptr<QImage>> printing_;
  QString jobTitle_;
};
