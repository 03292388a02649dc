#include "platform/controls/TopMost.h"

#include "platform/controls/Form.h"
#include "platform/controls/Screen.h"

#include <QWidget>
#include <QWindow>

namespace {

// Changes the layer of a shown window in place: setWindowFlags would
// re-create (hide) it, and showing it again would activate it.
void SetStaysOnTop(QWidget* widget, bool onTop) {
  Qt::WindowFlags flags = widget->windowFlags();
  if (flags.testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
  widget->overrideWindowFlags(flags);
  if (QWindow* window = widget->windowHandle()) window->setFlags(flags);
}

}  // namespace

TModalTopMostScope::TModalTopMostScope(const QWidget* modal) {
  if (Screen == nullptr) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* form = Screen->Forms(i);
    if (form->FormStyle() != fsStayOnTop || !form->Showing()) continue;
    QWidget* widget = form->Widget();
    if (widget == modal || !widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) continue;
    SetStaysOnTop(widget, false);
    lowered_.append({form->WeakSelf(), widget});
  }
}

// A form freed meanwhile, or no longer meant to stay on top, stays down.
TModalTopMostScope::~TModalTopMostScope() {
  for (const TLowered& entry : lowered_) {
    const auto alive = entry.form.lock();
    if (alive == nullptr || entry.widget == nullptr) continue;
    const auto* form = static_cast<const TForm*>(*alive);
    if (form->FormStyle() == fsStayOnTop && form->Widget() == entry.widget)
      SetStaysOnTop(entry.widget, true);
  }
}
