// The process-wide printer. It is held through a plain pointer so that no
// destructor runs at exit: the printer goes with the Qt application object
// (a post routine), on FreePrinter, or on ResetProcessState.

#include "platform/printing/Printer.h"

#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>

namespace {

TPrinter* g_printer = nullptr;  // owned
bool g_resetHooked = false;
bool g_postRoutineAdded = false;

void FreeWithApplication() {
  g_postRoutineAdded = false;
  FreePrinter();
}

void HookRelease() {
  if (!g_resetHooked) {
    RegisterResetHook(FreePrinter);
    g_resetHooked = true;
  }
  if (!g_postRoutineAdded && QCoreApplication::instance()) {
    qAddPostRoutine(FreeWithApplication);
    g_postRoutineAdded = true;
  }
}

}  // namespace

TPrinter* Printer() {
  if (!g_printer) {
    HookRelease();
    g_printer = std::make_unique<TPrinter>().release();
  }
  return g_printer;
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> newPrinter) {
  HookRelease();
  std::unique_ptr<TPrinter> old(g_printer);
  g_printer = newPrinter.release();
  return old;
}

void FreePrinter() {
  std::unique_ptr<TPrinter> old(g_printer);
  g_printer = nullptr;
}
