// The Qt side of the menus: QMenuBar / QMenu / QAction built from the item
// trees, the main menu on a form's window, popups, and right clicks.
#include "platform/controls/Menus.h"

#include "platform/controls/Application.h"
#include "platform/controls/Form.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/ProcessState.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

QString LongHint(const QString& hint) {
  const qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}

// The control a widget belongs to: the nearest bridge widget's control.
TControl* ControlOfWidget(QWidget* w) {
  for (; w != nullptr; w = w->parentWidget()) {
    if (auto* bridge = dynamic_cast<TBridgeWidget*>(w)) return bridge->Control();
  }
  return nullptr;
}

}  // namespace

void TMenu::ConfigureAction(QAction* action, TMenuItem* item) {
  QString text = item->Caption();
  if (item->ShortCut() != scNone) text += u'\t' + ShortCutToText(item->ShortCut());
  action->setText(text);
  action->setEnabled(item->Enabled());
  action->setVisible(item->Visible());
  action->setCheckable(item->Checked());
  action->setChecked(item->Checked());
  QFont font = action->font();
  font.setBold(item->Default());
  action->setFont(font);
  std::weak_ptr<TMenuItem*> weak = item->self_;
  GuardedConnect(item, action, &QAction::triggered, action, [weak, action] {
    if (auto alive = weak.lock()) {
      TMenuItem* it = *alive;
      GuardedCall(it, [it] { it->Click(); });  // the check state below is set even so
    }
    // Qt toggles a checkable action by itself; the item's state is the truth.
    if (auto alive = weak.lock()) action->setChecked((*alive)->Checked());
  });
  GuardedConnect(item, action, &QAction::hovered, action, [weak] {
    auto alive = weak.lock();
    if (alive && Application != nullptr) Application->SetHint(LongHint((*alive)->Hint()));
  });
}

namespace {

void FillQtMenu(QWidget* menu, const TMenuItem* item, QWidget* holder,
                const std::function<void(QAction*, TMenuItem*)>& configure) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (child->IsLine()) {
      auto* separator = new QAction(holder);
      separator->setSeparator(true);
      separator->setVisible(child->Visible());
      menu->addAction(separator);
      continue;
    }
    if (child->Count() == 0) {
      auto* action = new QAction(holder);
      configure(action, child);
      menu->addAction(action);
      continue;
    }
    auto* sub = new QMenu(holder);
    FillQtMenu(sub, child, holder, configure);
    // Opening a sub-menu clicks its item (so OnClick can update the entries).
    QAction* action = sub->menuAction();
    configure(action, child);
    menu->addAction(action);
  }
}

}  // namespace

void TMenu::BuildQtMenu(QWidget* menu) {
  if (auto* bar = qobject_cast<QMenuBar*>(menu)) bar->clear();
  if (auto* popup = qobject_cast<QMenu*>(menu)) popup->clear();
  if (holder_) holder_->deleteLater();
  holder_ = new QWidget(menu);
  holder_->hide();
  FillQtMenu(menu, items_, holder_,
             [this](QAction* action, TMenuItem* item) { ConfigureAction(action, item); });
}

// TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

QMenuBar* TMainMenu::MenuBar() const { return bar_; }

TMainMenu::~TMainMenu() {
  resizeWatcher_.reset();
  if (form_ != nullptr && !form_->ComponentState().Contains(csDestroying))
    form_->SetMenuBarHeight(0);
  if (bar_) bar_->deleteLater();
}

namespace {

class TResizeWatcher : public QObject {
 public:
  explicit TResizeWatcher(std::function<void()> resized) : resized_(std::move(resized)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) Guard(nullptr, resized_);  // an entry from Qt
    return false;
  }

 private:
  std::function<void()> resized_;
};

}  // namespace

void TMainMenu::AttachTo(TForm* form) {
  if (form == form_) return;
  resizeWatcher_.reset();
  if (bar_) bar_->deleteLater();
  bar_ = nullptr;
  if (form_ != nullptr) {
    RemoveFreeNotification(form_);
    if (!form_->ComponentState().Contains(csDestroying)) form_->SetMenuBarHeight(0);
  }
  form_ = form;
  if (form_ == nullptr) return;
  FreeNotification(form_);
  QWidget* host = form_->Handle();
  bar_ = new QMenuBar(host);
  bar_->setNativeMenuBar(false);
  resizeWatcher_ = std::make_unique<TResizeWatcher>([this] { PlaceBar(); });
  host->installEventFilter(resizeWatcher_.get());
  RebuildQt();
  bar_->show();
  WatchKeys();
}

void TMainMenu::PlaceBar() {
  if (!bar_ || bar_->parentWidget() == nullptr) return;
  const int height = bar_->sizeHint().height();
  bar_->setGeometry(0, 0, bar_->parentWidget()->width(), height);
  bar_->raise();
  if (form_ != nullptr) form_->SetMenuBarHeight(height);
}

void TMainMenu::RebuildQt() {
  if (!bar_) return;
  BuildQtMenu(bar_);
  PlaceBar();
}

// The main form's menu also takes the keys of the program's other windows
// that have no menu of their own, while no modal window is up.
bool TMainMenu::ServesWidget(QWidget* widget) const {
  if (form_ == nullptr || !form_->HasWidget()) return false;
  QWidget* window = widget->window();
  if (window == form_->Widget()) return true;
  if (Application == nullptr || Application->MainForm() != form_ || QApplication::activeModalWidget() != nullptr)
    return false;
  auto* other = dynamic_cast<TForm*>(ControlOfWidget(window));
  return other != nullptr && other->Widget() == window && FormMainMenu(other) == nullptr;
}

void TMainMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component == form_) {
    resizeWatcher_.reset();
    form_ = nullptr;
  }
}

void AttachMainMenu(TForm* form, TMainMenu* menu) {
  if (form == nullptr) return;
  if (TMainMenu* old = FormMainMenu(form); old != nullptr && old != menu) old->AttachTo(nullptr);
  if (menu != nullptr) menu->AttachTo(form);
}

TMainMenu* FormMainMenu(const TForm* form) {
  for (int i = 0; i < form->ComponentCount(); ++i) {
    auto* menu = dynamic_cast<TMainMenu*>(form->Components(i));
    if (menu != nullptr && menu->Form() == form) return menu;
  }
  return nullptr;
}

// TPopupMenu

namespace {

// Which popup menu each control shows on a right click: a process-wide
// object while it has entries; entries leave when either side is freed.
struct TControlPopups {
  QHash<TControl*, TPopupMenu*> map;
};

QHash<TControl*, TPopupMenu*>* FoundPopups() {
  TControlPopups* popups = FindProcessObject<TControlPopups>();
  return popups != nullptr ? &popups->map : nullptr;
}

void ForgetControlPopup(TControl* control) {
  QHash<TControl*, TPopupMenu*>* popups = FoundPopups();
  if (popups == nullptr) return;
  popups->remove(control);
  if (popups->isEmpty()) FreeProcessObject<TControlPopups>();
}

// The nearest control from control up its parents that shows a popup menu.
TControl* PopupControlOf(TControl* control) {
  QHash<TControl*, TPopupMenu*>* popups = FoundPopups();
  if (popups == nullptr) return nullptr;
  for (TControl* c = control; c != nullptr; c = c->Parent()) {
    if (popups->contains(c)) return c;
  }
  return nullptr;
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() {
  for (TControl* c : QList<TControl*>(controls_)) ForgetControlPopup(c);
  if (menu_ != nullptr) menu_.release()->deleteLater();
}

void TPopupMenu::SetPopupComponent(TComponent* v) {
  if (popupComponent_ != nullptr && popupComponent_ != v) RemoveFreeNotification(popupComponent_);
  popupComponent_ = v;
  if (v != nullptr) FreeNotification(v);
}

void TPopupMenu::DoPopup() {
  if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int x, int y) {
  popupPoint_ = {x, y};
  DoPopup();
  if (menu_ == nullptr) menu_ = std::make_unique<QMenu>();
  RebuildQt();
  menu_->popup(QPoint(x, y));
}

void TPopupMenu::CloseUp() {
  if (menu_ != nullptr) menu_->hide();
}

void TPopupMenu::RebuildQt() {
  if (menu_ != nullptr) BuildQtMenu(menu_.get());
}

// Shortcuts of a popup menu work while the focus is in a control that
// shows it (or inside one).
bool TPopupMenu::ServesWidget(QWidget* widget) const {
  TControl* c = PopupControlOf(ControlOfWidget(widget));
  return c != nullptr && FoundPopups()->value(c) == this;
}

bool TPopupMenu::WatchedEvent(QWidget* widget, QEvent* event) {
  if (event->type() != QEvent::ContextMenu) return TMenu::WatchedEvent(widget, event);
  TControl* c = PopupControlOf(ControlOfWidget(widget));
  if (c == nullptr || FoundPopups()->value(c) != this || !autoPopup_) return false;
  const QPoint at = static_cast<QContextMenuEvent*>(event)->globalPos();
  SetPopupComponent(c);
  Popup(at.x(), at.y());
  return true;
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == popupComponent_) popupComponent_ = nullptr;
  if (auto* control = dynamic_cast<TControl*>(component); control && controls_.contains(control)) {
    controls_.removeAll(control);
    ForgetControlPopup(control);
  }
}

void TPopupMenu::DeclareProperties(TClassBuilder<TPopupMenu, TMenu>& b) {
  b.Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup).Default(true);
  b.Event("OnPopup", &TPopupMenu::OnPopup);
}

void SetControlPopupMenu(TControl* control, TPopupMenu* menu) {
  if (control == nullptr) return;
  if (QHash<TControl*, TPopupMenu*>* popups = FoundPopups()) {
    if (TPopupMenu* old = popups->value(control)) {
      old->controls_.removeAll(control);
      old->RemoveFreeNotification(control);
    }
  }
  ForgetControlPopup(control);
  control->popupMenu_ = menu;
  if (menu == nullptr) return;
  ProcessObject<TControlPopups>().map.insert(control, menu);
  menu->controls_.append(control);
  menu->FreeNotification(control);
  menu->WatchKeys();
}
