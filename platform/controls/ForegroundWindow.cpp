#include "platform/controls/ForegroundWindow.h"

#include <QGuiApplication>
#include <QThread>
#include <QWindow>

bool ForegroundWindowIsOurs() {
  if (qGuiApp == nullptr || QThread::currentThread() != qGuiApp->thread())
    return false;
  const QWindow* active = QGuiApplication::focusWindow();
  // Qt may keep reporting a window that was hidden since.
  if (active == nullptr || !active->isVisible())
    return false;
  while (active->parent() != nullptr)
    active = active->parent();
  return QGuiApplication::topLevelWindows().contains(const_cast<QWindow*>(active));
}
