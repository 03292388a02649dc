#pragma once
// Printing through Qt: to a system (CUPS) printer when one is configured,
// otherwise into a PDF file in the user's documents folder, named after the
// job's title and never over an existing file. A finished PDF job tells
// NotifyPrintFile where the file went; a cancelled one removes its file.
// Qt cannot withdraw a job from a system printer, so a job cancelled there
// ends with the pages painted so far.

#include "platform/printing/PrintBackend.h"

#include <QList>
#include <QPrinterInfo>
#include <QString>

#include <memory>
#include <optional>

class QPrinter;

struct TQtPrintOptions {
  bool SystemPrinters = true;  // offer the configured printers, if any
  QString FileFolder;          // where PDF files go; empty: PrintFileFolder()
  int FileResolution = 600;    // pixels per inch of a PDF file's pages
};

class TQtPrintBackend : public TPrintBackend {
 public:
  explicit TQtPrintBackend(TQtPrintOptions options = {});
  ~TQtPrintBackend() override;

  QStringList PrinterNames() override;
  int DefaultPrinter() override;
  void SelectPrinter(int index) override;
  void SetOrientation(TPrinterOrientation orientation) override;
  void SetCopies(int copies) override;
  TPageMetrics Metrics() override;

  QPaintDevice* StartJob(const QString& title) override;
  QPaintDevice* NextPage() override;
  void FinishJob() override;
  void CancelJob() override;

  // Whether jobs go to a PDF file (no system printer is in use).
  bool PrintsToFile();
  // The file the last finished job wrote; empty for a printer.
  const QString& LastFile() const { return lastFile_; }

 private:
  const QList<QPrinterInfo>& SystemPrinters();
  QPrinter& Device();
  void DropDevice();

  TQtPrintOptions options_;
  std::optional<QList<QPrinterInfo>> printers_;
  int selected_ = -1;  // -1: the default printer
  TPrinterOrientation orientation_ = poPortrait;
  int copies_ = 1;
  std::unique_ptr<QPrinter> device_;  // made on demand for the current settings
  QString jobFile_;
  QString lastFile_;
};
