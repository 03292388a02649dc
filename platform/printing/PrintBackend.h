#pragma once
// The device side of TPrinter: where a print job's pages are painted and what
// the selected printer measures. TPrinter keeps the job state and the canvas;
// a back end only creates, pages and finishes or discards the output.

#include <QPaintDevice>
#include <QString>
#include <QStringList>

enum TPrinterOrientation { poPortrait, poLandscape };

// Page measures in device pixels. Width and Height are the printable area
// (what the canvas reaches); the physical page is larger by the margins, and
// OffsetX/OffsetY are the printable area's distance from the paper's corner.
struct TPageMetrics {
  int Width = 0;
  int Height = 0;
  int DpiX = 0;
  int DpiY = 0;
  int PhysicalWidth = 0;
  int PhysicalHeight = 0;
  int OffsetX = 0;
  int OffsetY = 0;
};

class TPrintBackend {
 public:
  TPrintBackend() = default;
  TPrintBackend(const TPrintBackend&) = delete;
  TPrintBackend& operator=(const TPrintBackend&) = delete;
  virtual ~TPrintBackend() = default;

  // Names of the printers this back end offers, and which of them is the
  // default (-1 only when there is none).
  virtual QStringList PrinterNames() = 0;
  virtual int DefaultPrinter() = 0;
  // index is a valid index into PrinterNames; never called while printing.
  virtual void SelectPrinter(int index) = 0;
  virtual void SetOrientation(TPrinterOrientation orientation) = 0;
  virtual void SetCopies(int copies) = 0;

  // Measures of the selected printer with the current settings.
  virtual TPageMetrics Metrics() = 0;

  // Starts a job and returns the device of its first page. Raises EPrinter
  // when the job cannot start (nothing is left behind then).
  virtual QPaintDevice* StartJob(const QString& title) = 0;
  // Moves to a fresh page while the painter of the current one is still
  // open; returns the device to paint the new page on (the same one for a
  // device that pages itself).
  virtual QPaintDevice* NextPage() = 0;
  // Called after the last painter on the job's devices has closed.
  virtual void FinishJob() = 0;
  // Discards the job; called after the painter has closed.
  virtual void CancelJob() = 0;
};
