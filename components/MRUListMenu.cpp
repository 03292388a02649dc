// TMRUManager: the menu items it builds and their clicks.

#include "components/MRUList.h"

#include "platform/controls/Menus.h"
#include "platform/rtl/Codec1252.h"

namespace {

// Clears a pointer when the scope ends.
class ResetOnExit {
 public:
  explicit ResetOnExit(TMenuItem*& p) : p_(p) {}
  ~ResetOnExit() { p_ = nullptr; }
  ResetOnExit(const ResetOnExit&) = delete;
  ResetOnExit& operator=(const ResetOnExit&) = delete;

 private:
  TMenuItem*& p_;
};

}  // namespace

void TMRUManager::SetRecentMenu(TMenuItem* value) {
  if (recentMenu_ == value)
    return;
  ClearRecentMenu();
  if (recentMenu_ != nullptr)
    recentMenu_->RemoveFreeNotification(this);
  recentMenu_ = value;
  if (value != nullptr)
    value->FreeNotification(this);
  Rebuild();
}

void TMRUManager::UpdateRecentMenu() { Rebuild(); }

void TMRUManager::RebuildIfAuto() {
  if (autoUpdate_)
    Rebuild();
}

void TMRUManager::Rebuild() {
  const TComponentState state = ComponentState();
  if (state.Contains(csLoading) || state.Contains(csDestroying))
    return;
  ClearRecentMenu();
  if (recentMenu_ == nullptr)
    return;
  if (strings_->Count() > 0 && recentMenu_->Count() > 0)
    AppendSeparator();
  for (int i = 0; i < strings_->Count(); ++i) {
    if (separateSize_ > 0 && i > 0 && i % separateSize_ == 0)
      AppendSeparator();
    AppendItem(i);
  }
  ApplyAutoEnable();
}

void TMRUManager::ApplyAutoEnable() {
  if (autoEnable_ && recentMenu_ != nullptr)
    recentMenu_->SetEnabled(recentMenu_->Count() > 0);
}

// Last first; an item someone took out of the menu is left alone. The item
// whose click is running is only taken out: freeing it would destroy the
// handler that is still on the stack.
void TMRUManager::ClearRecentMenu() {
  if (clicking_ == nullptr)
    FreeRetired();
  QList<TMenuItem*> items;
  items.swap(created_);
  for (auto it = items.crbegin(); it != items.crend(); ++it) {
    TMenuItem* item = *it;
    if (recentMenu_ == nullptr || item->Parent() != recentMenu_)
      continue;
    if (item == clicking_) {
      recentMenu_->Remove(item);
      retired_.append(item);
    } else {
      item->Free();
    }
  }
}

void TMRUManager::FreeRetired() {
  while (!retired_.isEmpty())
    retired_.takeLast()->Free();
}

void TMRUManager::AppendSeparator() {
  auto* item = new TMenuItem(this);  // owned by this manager
  created_.append(item);
  item->SetCaption(QStringLiteral("-"));
  recentMenu_->Add(item);
}

// "&1".."&9", then "&A" for 10 and on through the code page's characters;
// a blank beyond 100.
QString TMRUManager::AccelPrefix(int index) const {
  const int n = index + startAccel_;
  if (n <= 9)
    return QLatin1Char('&') + QString::number(n);
  if (n <= 100)
    return QLatin1Char('&') + QString(Win1252ToChar(static_cast<unsigned char>(65 + n - 10)));
  return QStringLiteral(" ");
}

void TMRUManager::AppendItem(int index) {
  const QString line = strings_->Get(index);
  const qsizetype bar = line.indexOf(QLatin1Char('|'));
  QString caption = bar < 0 ? line : line.left(bar);
  const QString hint = bar < 0 ? line : line.mid(bar + 1);
  TShortCut shortCut = scNone;
  if (OnGetItemData)
    OnGetItemData(this, caption, shortCut, UserData(index));
  if (showAccelChar_) {
    const QChar delimiter = accelDelimiter_ == adTab ? QLatin1Char('\t') : QLatin1Char(' ');
    caption = AccelPrefix(index) + delimiter + caption;
  }
  auto* item = new TMenuItem(this);  // owned by this manager
  created_.append(item);
  item->SetCaption(caption);
  item->SetShortCut(shortCut);
  item->SetHint(hint);
  item->SetEnabled(true);
  item->SetTag(index);
  item->OnClick = [this](TObject* sender) { ItemClick(sender); };
  recentMenu_->Add(item);
}

void TMRUManager::ItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr || item->Tag() < 0 || item->Tag() >= strings_->Count())
    return;
  const QString name = strings_->Get(item->Tag());
  const QString caption = item->Caption();
  const int userData = UserData(item->Tag());
  clicking_ = item;
  ResetOnExit reset(clicking_);
  try {
    if (OnClick)
      OnClick(this, name, caption, userData);
  } catch (...) {
    if (removeOnSelect_)
      strings_->Remove(name);
    throw;
  }
  if (removeOnSelect_)
    strings_->Remove(name);
}
