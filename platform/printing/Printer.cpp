#include "platform/printing/Printer.h"

#include "platform/printing/QtPrintBackend.h"

#include <QtMath>

#include <algorithm>

namespace {

const char* const kPrinting = "Printing in progress";
const char* const kNotPrinting = "Printer is not currently printing";
const char* const kInvalidPrinter = "Printer selected is not valid";

[[noreturn]] void Raise(const char* text) {
  throw EPrinter(QString::fromLatin1(text));
}

// Draws only while its printer runs a job; text can be measured any time.
class TPrinterCanvas : public TCanvas {
 public:
  explicit TPrinterCanvas(const TPrinter& printer) : printer_(printer) {}

 protected:
  QPainter* CreateHandle() override {
    if (!printer_.Printing())
      Raise(kNotPrinting);
    return TCanvas::CreateHandle();
  }

 private:
  const TPrinter& printer_;
};

// Keeps the font's size in points when the canvas moves to a device of
// another resolution.
void MatchFontResolution(TFont* font, int dpi) {
  if (dpi <= 0 || font->PixelsPerInch() == dpi)
    return;
  const int points = font->Size();
  font->SetPixelsPerInch(dpi);
  font->SetSize(points);
}

}  // namespace

TPrinter::TPrinter() : TPrinter(std::make_unique<TQtPrintBackend>()) {}

TPrinter::TPrinter(std::unique_ptr<TPrintBackend> backend)
    : backend_(std::move(backend)), canvas_(std::make_unique<TPrinterCanvas>(*this)) {}

TPrinter::~TPrinter() {
  if (!printing_)
    return;
  Unbind();
  printing_ = false;
  try {
    backend_->CancelJob();
  } catch (...) {  // nothing can be reported from here; the job is gone anyway
  }
}

void TPrinter::CheckPrinting(bool printing) const {
  if (printing_ == printing)
    return;
  Raise(printing ? kNotPrinting : kPrinting);
}

TStrings* TPrinter::Printers() {
  if (!printers_) {
    auto list = std::make_unique<TStringList>();
    for (const QString& name : backend_->PrinterNames())
      list->Add(name);
    printers_ = std::move(list);
  }
  return printers_.get();
}

int TPrinter::PrinterIndex() {
  if (index_ >= 0)
    return index_;
  const int fallback = backend_->DefaultPrinter();
  return fallback < Printers()->Count() ? fallback : -1;
}

void TPrinter::SetPrinterIndex(int index) {
  CheckPrinting(false);
  if (index < -1 || index >= Printers()->Count())
    Raise(kInvalidPrinter);
  index_ = index;
  ApplySelection();
}

void TPrinter::ApplySelection() {
  const int index = PrinterIndex();
  if (index < 0)
    Raise(kInvalidPrinter);
  backend_->SelectPrinter(index);
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  CheckPrinting(false);
  orientation_ = orientation;
  backend_->SetOrientation(orientation);
}

void TPrinter::SetCopies(int copies) {
  CheckPrinting(false);
  copies_ = std::max(1, copies);
  backend_->SetCopies(copies_);
}

void TPrinter::Unbind() {
  canvas_->SetDevice(nullptr);  // closes the page's painter
  device_ = nullptr;
}

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  ApplySelection();
  aborted_ = false;
  device_ = backend_->StartJob(title_);
  printing_ = true;
  pageNumber_ = 1;
  canvas_->SetDevice(device_);
  MatchFontResolution(canvas_->Font(), backend_->Metrics().DpiY);
  OpenPage();
}

void TPrinter::OpenPage() {
  try {
    canvas_->Handle();
  } catch (const EInvalidOperation&) {
    Unbind();
    printing_ = false;
    backend_->CancelJob();
    throw EPrinter(QStringLiteral("The printer refused the print job"));
  }
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  QPaintDevice* next = backend_->NextPage();
  ++pageNumber_;
  if (next == device_)
    return;
  device_ = next;
  canvas_->SetDevice(next);
  OpenPage();
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  Unbind();
  printing_ = false;
  backend_->FinishJob();
}

void TPrinter::Abort() {
  CheckPrinting(true);
  Unbind();
  printing_ = false;
  aborted_ = true;
  backend_->CancelJob();
}

int GetDeviceCaps(TPrinter& printer, int index) {
  const TPageMetrics m = printer.Metrics();
  auto millimetres = [](int pixels, int dpi) {
    return dpi > 0 ? qRound(pixels * 25.4 / dpi) : 0;
  };
  switch (index) {
    case HORZSIZE: return millimetres(m.Width, m.DpiX);
    case VERTSIZE: return millimetres(m.Height, m.DpiY);
    case HORZRES: return m.Width;
    case VERTRES: return m.Height;
    case LOGPIXELSX: return m.DpiX;
    case LOGPIXELSY: return m.DpiY;
    case PHYSICALWIDTH: return m.PhysicalWidth;
    case PHYSICALHEIGHT: return m.PhysicalHeight;
    case PHYSICALOFFSETX: return m.OffsetX;
    case PHYSICALOFFSETY: return m.OffsetY;
    default: return 0;
  }
}
