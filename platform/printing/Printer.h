#pragma once
// TPrinter: the printer object. A print job runs from BeginDoc to EndDoc (or
// Abort); while it runs Canvas paints the current page in device pixels and
// NewPage moves to the next one. Where the pages go is the back end's
// business (a system printer or a PDF file, or images for tests).
//
// Printer() is the process-wide printer, created on first use and freed by
// FreePrinter, with the application object (a process-wide object) and by
// ResetProcessState.

#include "platform/graphics/Canvas.h"
#include "platform/printing/PrintBackend.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <memory>

QX_EXCEPTION(EPrinter, Exception);

class TPrinter {
 public:
  // A printer on the system's printers (or a PDF file when there are none).
  TPrinter();
  explicit TPrinter(std::unique_ptr<TPrintBackend> backend);
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;
  // A job still running is discarded.
  ~TPrinter();

  // Names of the printers; read once, on first use.
  TStrings* Printers();
  // The selected printer; -1 selects the default one. Raises EPrinter
  // "Printer selected is not valid" for an index out of range and
  // "Printing in progress" during a job.
  int PrinterIndex();
  void SetPrinterIndex(int index);

  const QString& Title() const { return title_; }
  void SetTitle(const QString& title) { title_ = title; }
  TPrinterOrientation Orientation() const { return orientation_; }
  void SetOrientation(TPrinterOrientation orientation);
  int Copies() const { return copies_; }
  void SetCopies(int copies);

  void BeginDoc();
  void EndDoc();
  void NewPage();
  // Ends the job and discards everything printed in it.
  void Abort();
  bool Aborted() const { return aborted_; }
  bool Printing() const { return printing_; }
  // 1 on the first page of a job; keeps the last job's count afterwards.
  int PageNumber() const { return pageNumber_; }

  // Paints the current page; measures text at any time, but drawing outside
  // a job raises EPrinter "Printer is not currently printing".
  TCanvas* Canvas() { return canvas_.get(); }
  // The printable area in device pixels.
  int PageWidth() { return backend_->Metrics().Width; }
  int PageHeight() { return backend_->Metrics().Height; }
  TPageMetrics Metrics() { return backend_->Metrics(); }

  TPrintBackend* Backend() { return backend_.get(); }

 private:
  void CheckPrinting(bool printing) const;
  void ApplySelection();
  void OpenPage();
  void Unbind();

  std::unique_ptr<TPrintBackend> backend_;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<TStringList> printers_;
  QPaintDevice* device_ = nullptr;  // the current page's device, the back end's
  QString title_;
  TPrinterOrientation orientation_ = poPortrait;
  int copies_ = 1;
  int index_ = -1;
  int pageNumber_ = 0;
  bool printing_ = false;
  bool aborted_ = false;
};

// Device capability indexes that the print code asks for.
inline constexpr int HORZSIZE = 4;   // printable width in millimetres
inline constexpr int VERTSIZE = 6;   // printable height in millimetres
inline constexpr int HORZRES = 8;    // printable width in pixels
inline constexpr int VERTRES = 10;   // printable height in pixels
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;

// A capability of the printer's selected device; 0 for an index it does not
// know.
int GetDeviceCaps(TPrinter& printer, int index);

// The process-wide printer, created on first use.
TPrinter* Printer();
// Installs newPrinter as the process-wide printer and hands back the old one
// (nullptr when none was made yet). A null newPrinter makes the next
// Printer() call create a fresh one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> newPrinter);
// Frees the process-wide printer (the application calls it on shutdown).
void FreePrinter();
