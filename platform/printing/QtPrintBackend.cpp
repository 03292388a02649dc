#include "platform/printing/QtPrintBackend.h"

#include "platform/printing/PrintFile.h"
#include "platform/printing/Printer.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>

#include <utility>

namespace {

const char* const kFilePrinterName = "PDF file";

}  // namespace

TQtPrintBackend::TQtPrintBackend(TQtPrintOptions options) : options_(std::move(options)) {}

TQtPrintBackend::~TQtPrintBackend() = default;

const QList<QPrinterInfo>& TQtPrintBackend::SystemPrinters() {
  if (!printers_)
    printers_ = options_.SystemPrinters ? QPrinterInfo::availablePrinters() : QList<QPrinterInfo>();
  return *printers_;
}

bool TQtPrintBackend::PrintsToFile() {
  return SystemPrinters().isEmpty();
}

QStringList TQtPrintBackend::PrinterNames() {
  if (PrintsToFile())
    return {QString::fromLatin1(kFilePrinterName)};
  QStringList names;
  for (const QPrinterInfo& info : SystemPrinters())
    names << info.printerName();
  return names;
}

int TQtPrintBackend::DefaultPrinter() {
  if (PrintsToFile())
    return 0;
  const QString wanted = QPrinterInfo::defaultPrinterName();
  const auto& list = SystemPrinters();
  for (int i = 0; i < list.size(); ++i)
    if (list[i].printerName() == wanted)
      return i;
  return 0;
}

void TQtPrintBackend::SelectPrinter(int index) {
  if (index == selected_)
    return;
  selected_ = index;
  DropDevice();
}

void TQtPrintBackend::SetOrientation(TPrinterOrientation orientation) {
  orientation_ = orientation;
  if (device_)
    device_->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                           : QPageLayout::Portrait);
}

void TQtPrintBackend::SetCopies(int copies) {
  copies_ = copies;
  if (device_)
    device_->setCopyCount(copies);
}

void TQtPrintBackend::DropDevice() {
  device_.reset();
}

QPrinter& TQtPrintBackend::Device() {
  if (device_)
    return *device_;
  if (PrintsToFile()) {
    device_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    device_->setOutputFormat(QPrinter::PdfFormat);
    device_->setResolution(options_.FileResolution);
  } else {
    const int index = selected_ >= 0 ? selected_ : DefaultPrinter();
    device_ = std::make_unique<QPrinter>(SystemPrinters().at(index), QPrinter::HighResolution);
  }
  device_->setPageOrientation(orientation_ == poLandscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
  device_->setCopyCount(copies_);
  return *device_;
}

TPageMetrics TQtPrintBackend::Metrics() {
  QPrinter& printer = Device();
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
  TPageMetrics m;
  m.Width = printer.width();
  m.Height = printer.height();
  m.DpiX = printer.logicalDpiX();
  m.DpiY = printer.logicalDpiY();
  m.PhysicalWidth = paper.width();
  m.PhysicalHeight = paper.height();
  m.OffsetX = page.left() - paper.left();
  m.OffsetY = page.top() - paper.top();
  return m;
}

QPaintDevice* TQtPrintBackend::StartJob(const QString& title) {
  QPrinter& printer = Device();
  printer.setDocName(title);
  if (PrintsToFile()) {
    const QString folder = options_.FileFolder.isEmpty() ? PrintFileFolder() : options_.FileFolder;
    jobFile_ = ReservePrintFile(folder, title);
    printer.setOutputFileName(jobFile_);
  }
  return &printer;
}

QPaintDevice* TQtPrintBackend::NextPage() {
  if (!Device().newPage())
    throw EPrinter(QStringLiteral("The printer refused a new page"));
  return device_.get();
}

void TQtPrintBackend::FinishJob() {
  const bool failed = Device().printerState() == QPrinter::Error;
  const QString file = std::exchange(jobFile_, QString());
  DropDevice();  // the next job starts on a fresh device
  if (file.isEmpty()) {
    lastFile_.clear();
    if (failed)
      throw EPrinter(QStringLiteral("The printer reported an error"));
    return;
  }
  if (failed || QFileInfo(file).size() <= 0) {
    QFile::remove(file);
    throw EPrinter(QStringLiteral("Cannot write the print file \"%1\"").arg(file));
  }
  lastFile_ = file;
  NotifyPrintFile(file);
}

void TQtPrintBackend::CancelJob() {
  const QString file = std::exchange(jobFile_, QString());
  DropDevice();
  if (!file.isEmpty())
    QFile::remove(file);  // reserved by this job alone
}
