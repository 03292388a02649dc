// Whether this program owns the active window.

#include "components/KvUtils.h"

#include "platform/controls/ForegroundWindow.h"

bool IsForegroundThread() { return ForegroundWindowIsOurs(); }
