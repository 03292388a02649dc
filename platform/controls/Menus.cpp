#include "platform/controls/Menus.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

TShortCut ShortCutOfKey(const QKeyEvent* e) {
  const int k = e->key();
  if (k == Qt::Key_Shift || k == Qt::Key_Control || k == Qt::Key_Alt || k == Qt::Key_Meta)
    return scNone;
  const std::uint16_t vk = VirtualKeyOf(k);
  if (vk == 0) return scNone;
  TShiftState shift;
  if (e->modifiers() & Qt::ShiftModifier) shift.Include(ssShift);
  if (e->modifiers() & Qt::ControlModifier) shift.Include(ssCtrl);
  if (e->modifiers() & Qt::AltModifier) shift.Include(ssAlt);
  return ShortCut(vk, shift);
}

}  // namespace

// TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

// A plain delete skips BeforeDestruction of this class: detach here then.
TMenuItem::~TMenuItem() {
  if (self_ != nullptr) Detach();
}

void TMenuItem::BeforeDestruction() {
  Detach();
  TComponent::BeforeDestruction();
}

void TMenuItem::Detach() {
  self_.reset();
  Clear();
  if (parent_ != nullptr) parent_->Remove(this);
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) menu->ItemsChanged();
}

void TMenuItem::SetCaption(const QString& v) {
  caption_ = v;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut v) {
  shortCut_ = v;
  Changed();
}

void TMenuItem::SetChecked(bool v) {
  if (checked_ == v) return;
  checked_ = v;
  if (v) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetRadioItem(bool v) {
  radioItem_ = v;
  if (checked_) TurnSiblingsOff();
  Changed();
}

void TMenuItem::SetGroupIndex(int v) {
  groupIndex_ = v;
  if (checked_) TurnSiblingsOff();
  Changed();
}

void TMenuItem::TurnSiblingsOff() {
  if (!radioItem_ || parent_ == nullptr) return;
  for (TMenuItem* sibling : parent_->items_) {
    if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
      sibling->checked_ = false;
  }
}

void TMenuItem::SetEnabled(bool v) {
  enabled_ = v;
  Changed();
}

void TMenuItem::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

void TMenuItem::SetDefault(bool v) {
  default_ = v;
  Changed();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EMenuError(QStringLiteral("Menu index out of range"));
  return items_.at(index);
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  if (item->parent_ != nullptr || item->menu_ != nullptr)
    throw EMenuError(QStringLiteral("Menu inserted twice"));
  if (index < 0 || index > Count()) throw EMenuError(QStringLiteral("Menu index out of range"));
  for (const TMenuItem* p = this; p != nullptr; p = p->parent_) {
    if (p == item) throw EMenuError(QStringLiteral("Menu inserted twice"));
  }
  items_.insert(index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  const qsizetype index = items_.indexOf(item);
  if (index < 0) throw EMenuError(QStringLiteral("Sub-menu is not in menu"));
  items_.removeAt(index);
  item->parent_ = nullptr;
  Changed();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  Remove(item);
  item->Free();
}

void TMenuItem::Clear() {
  while (!items_.isEmpty()) Delete(Count() - 1);
}

int TMenuItem::MenuIndex() const { return parent_ == nullptr ? -1 : parent_->IndexOf(this); }

void TMenuItem::SetMenuIndex(int index) {
  if (parent_ == nullptr) return;
  const int count = parent_->Count();
  const int target = std::clamp(index, 0, count - 1);
  parent_->items_.move(MenuIndex(), target);
  Changed();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item->menu_;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ == nullptr) return nullptr;
  if (parent_->menu_ != nullptr) return parent_->menu_;
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent)) {
    menu->Items()->Add(this);
  } else if (auto* item = dynamic_cast<TMenuItem*>(parent)) {
    item->Add(this);
  }
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (TMenuItem* item : QList<TMenuItem*>(items_)) proc(item);
}

void TMenuItem::Loaded() {
  TComponent::Loaded();
  Changed();
}

void TMenuItem::DeclareProperties(TClassBuilder<TMenuItem, TComponent>& b) {
  b.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  b.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  b.Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault).Default(false);
  b.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  b.Property("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).Default(0);
  b.Property("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  b.Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem).Default(false);
  b.Property("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).Default(0);
  b.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  b.Event("OnClick", &TMenuItem::OnClick);
}

// TMenu

class TMenu::TKeyWatcher : public QObject {
 public:
  explicit TKeyWatcher(TMenu* menu) : menu_(menu) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ContextMenu) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    // An event nobody took travels on to the parent: it was looked at already.
    // Qt builds each event on the stack, so a new one often has the address of
    // the last and meets the same widget: only the next step up with the same
    // key and time is the same event.
    const TSeen seen = SeenOf(event);
    const bool travelling = seen == last_ && lastWidget_ && widget == lastWidget_->parentWidget();
    last_ = seen;
    lastWidget_ = widget;
    if (travelling) return false;
    bool used = false;
    TMenu* menu = menu_;
    Guard(menu, [menu, widget, event, &used] { used = menu->WatchedEvent(widget, event); });
    return used;
  }

 private:
  struct TSeen {
    const QEvent* event = nullptr;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    quint64 timestamp = 0;
    bool operator==(const TSeen&) const = default;
  };

  static TSeen SeenOf(const QEvent* event) {
    const auto* input = static_cast<const QInputEvent*>(event);
    const int key = event->type() == QEvent::KeyPress ? static_cast<const QKeyEvent*>(event)->key() : 0;
    return {event, key, input->modifiers(), input->timestamp()};
  }

  TMenu* menu_;
  TSeen last_;
  QPointer<QWidget> lastWidget_;
};

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {
  items_->menu_ = this;
}

// The root item outlives the menu only on a plain delete (Free frees it
// first, in BeforeDestruction); either way it must stop reporting changes.
TMenu::~TMenu() {
  if (!destroying_) items_->menu_ = nullptr;
  watcher_.reset();
  if (holder_) holder_->deleteLater();
}

void TMenu::BeforeDestruction() {
  destroying_ = true;
  items_->menu_ = nullptr;
  TComponent::BeforeDestruction();
}

void TMenu::ItemsChanged() {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying)) return;
  RebuildQt();
}

void TMenu::Loaded() {
  TComponent::Loaded();
  RebuildQt();
}

void TMenu::GetChildren(const TGetChildProc& proc, TComponent* root) {
  items_->GetChildren(proc, root);
}

namespace {

TMenuItem* FindShortCutIn(const TMenuItem* item, TShortCut shortCut) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!child->IsLine() && child->ShortCut() == shortCut) return child;
    if (TMenuItem* found = FindShortCutIn(child, shortCut)) return found;
  }
  return nullptr;
}

}  // namespace

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
  if (shortCut == scNone) return nullptr;
  return FindShortCutIn(items_, shortCut);
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = FindShortCut(shortCut);
  if (item == nullptr) return false;
  // The parents' OnClick runs first, as when the menu is opened, so they can
  // enable or disable the item.
  QList<TMenuItem*> chain;
  for (TMenuItem* p = item->Parent(); p != nullptr && p != items_; p = p->Parent())
    chain.prepend(p);
  std::weak_ptr<TMenuItem*> alive = item->self_;
  for (TMenuItem* p : chain) p->Click();
  if (alive.expired() || !item->Enabled()) return false;
  item->Click();
  return true;
}

bool TMenu::WatchedEvent(QWidget* widget, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !ServesWidget(widget)) return false;
  return IsShortCut(ShortCutOfKey(static_cast<QKeyEvent*>(event)));
}

void TMenu::WatchKeys() {
  if (watcher_ != nullptr || qApp == nullptr) return;
  watcher_ = std::make_unique<TKeyWatcher>(this);
  qApp->installEventFilter(watcher_.get());
}

void RegisterMenuClasses() {
  if (GetClass(QStringLiteral("TMenuItem")) == nullptr) RegisterClass<TMenuItem>();
  if (GetClass(QStringLiteral("TMainMenu")) == nullptr) RegisterClass<TMainMenu>();
  if (GetClass(QStringLiteral("TPopupMenu")) == nullptr) RegisterClass<TPopupMenu>();
}
