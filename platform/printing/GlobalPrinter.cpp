// The process-wide printer: an object of the process-wide holder, so it goes
// with the application object (or the Qt application object), on
// FreePrinter, or on ResetProcessState - never in a static destructor.

#include "platform/printing/Printer.h"

#include "platform/rtl/ProcessState.h"

TPrinter* Printer() { return &ProcessObject<TPrinter>(); }

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> newPrinter) {
  return ReplaceProcessObject<TPrinter>(std::move(newPrinter));
}

void FreePrinter() { FreeProcessObject<TPrinter>(); }
