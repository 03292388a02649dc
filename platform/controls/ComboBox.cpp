#include "platform/controls/ComboBox.h"

#include "platform/controls/Guard.h"

#include <QComboBox>
#include <QLineEdit>

const TEnumInfo kComboBoxStyleIdents{"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                                     "csOwnerDrawVariable"};

// Items.

int TComboBoxStrings::Count() const { return box_->Combo()->count(); }

QString TComboBoxStrings::Get(int index) const {
  CheckIndex(index);
  return box_->Combo()->itemText(index);
}

void TComboBoxStrings::Put(int index, const QString& s) {
  CheckIndex(index);
  TUpdateScope scope(box_->fromCode_);
  box_->Combo()->setItemText(index, s);
  box_->SyncText();
}

void* TComboBoxStrings::GetObject(int index) const {
  CheckIndex(index);
  return reinterpret_cast<void*>(box_->Combo()->itemData(index, ObjectRole).value<quintptr>());
}

void TComboBoxStrings::PutObject(int index, void* obj) {
  CheckIndex(index);
  box_->Combo()->setItemData(index, QVariant::fromValue(reinterpret_cast<quintptr>(obj)), ObjectRole);
}

bool TComboBoxStrings::SortedItems() const { return box_->sorted_; }

void TComboBoxStrings::Insert(int index, const QString& s) {
  CheckInsertIndex(index);
  TUpdateScope scope(box_->fromCode_);
  const QString text = box_->Combo()->currentText();
  const bool keepText = box_->Editable() && box_->Combo()->currentIndex() < 0;
  box_->Combo()->insertItem(index, s);
  // Adding to an empty list must not pick the new item.
  if (box_->Combo()->count() == 1) box_->Combo()->setCurrentIndex(-1);
  if (keepText) box_->Combo()->setEditText(text);
  box_->SyncText();
}

void TComboBoxStrings::Delete(int index) {
  CheckIndex(index);
  TUpdateScope scope(box_->fromCode_);
  box_->Combo()->removeItem(index);
  box_->SyncText();
}

void TComboBoxStrings::Clear() {
  TUpdateScope scope(box_->fromCode_);
  const QString text = box_->Combo()->currentText();
  box_->Combo()->clear();
  if (box_->Editable()) box_->Combo()->setEditText(text);
  box_->SyncText();
}

// The combo box.

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TNativeControl(owner, std::make_unique<QComboBox>()),
      items_(std::make_unique<TComboBoxStrings>(this)) {
  SetBounds(0, 0, 145, 21);
  Combo()->setInsertPolicy(QComboBox::NoInsert);
  Combo()->setMaxVisibleItems(8);
  GuardedConnect(this, Combo(), &QComboBox::activated, Combo(), [this](int) { Picked(); });
  GuardedConnect(this, Combo(), &QComboBox::currentTextChanged, Combo(),
                 [this](const QString&) { SyncText(); });
  SetStyle(csDropDown);
}

TCustomComboBox::~TCustomComboBox() { QObject::disconnect(Combo(), nullptr, nullptr, nullptr); }

QComboBox* TCustomComboBox::Combo() const { return static_cast<QComboBox*>(NativeWidget()); }

void TCustomComboBox::ConnectEditor() {
  QLineEdit* edit = Combo()->lineEdit();
  SetKeyWidget(edit);
  if (edit != nullptr && edit != connectedEdit_.data()) {
    connectedEdit_ = edit;
    GuardedConnect(this, edit, &QLineEdit::textEdited, edit, [this](const QString&) { Typed(); });
  }
  if (edit != nullptr) edit->setMaxLength(maxLength_ == 0 ? 32767 : maxLength_);
}

void TCustomComboBox::SyncText() { TNativeControl::SetText(Combo()->currentText()); }

void TCustomComboBox::Picked() {
  SyncText();
  if (fromCode_ != 0) return;
  Click();
  Change();
}

void TCustomComboBox::Typed() {
  SyncText();
  if (fromCode_ == 0) Change();
}

void TCustomComboBox::Change() {
  if (!ComponentState().Contains(csLoading) && OnChange) OnChange(this);
}

void TCustomComboBox::SetText(const QString& v) {
  TUpdateScope scope(fromCode_);
  if (Editable()) {
    const int index = Combo()->findText(v, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    Combo()->setCurrentIndex(index);
    Combo()->setEditText(v);
  } else {
    Combo()->setCurrentIndex(items_->IndexOf(v));
  }
  SyncText();
}

int TCustomComboBox::ItemIndex() const { return Combo()->currentIndex(); }

void TCustomComboBox::SetItemIndex(int v) {
  TUpdateScope scope(fromCode_);
  Combo()->setCurrentIndex(v >= 0 && v < Combo()->count() ? v : -1);
  SyncText();
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  TUpdateScope scope(fromCode_);
  style_ = v;
  const int index = Combo()->currentIndex();
  const QString text = Combo()->currentText();
  Combo()->setEditable(Editable());
  ConnectEditor();
  Combo()->setCurrentIndex(index);
  if (Editable()) Combo()->setEditText(text);
  SyncText();
}

void TCustomComboBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (!v) return;
  TUpdateScope scope(fromCode_);
  const QString current = Combo()->currentIndex() >= 0 ? Combo()->currentText() : QString();
  QList<std::pair<QString, QVariant>> all;
  for (int i = 0; i < Combo()->count(); ++i) all.append({Combo()->itemText(i), Combo()->itemData(i, TControlItems::ObjectRole)});
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
  for (int i = 0; i < all.size(); ++i) {
    Combo()->setItemText(i, all[i].first);
    Combo()->setItemData(i, all[i].second, TControlItems::ObjectRole);
  }
  if (!current.isEmpty()) Combo()->setCurrentIndex(items_->IndexOf(current));
}

int TCustomComboBox::DropDownCount() const { return Combo()->maxVisibleItems(); }
void TCustomComboBox::SetDropDownCount(int v) { Combo()->setMaxVisibleItems(qMax(1, v)); }

void TCustomComboBox::SetMaxLength(int v) {
  maxLength_ = v < 0 ? 0 : v;
  if (QLineEdit* edit = Combo()->lineEdit()) edit->setMaxLength(maxLength_ == 0 ? 32767 : maxLength_);
}

void TCustomComboBox::Clear() {
  items_->Clear();
  SetText(QString());
}

void TCustomComboBox::DeclareProperties(TClassBuilder<TCustomComboBox, TNativeControl>& b) {
  b.Property("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle, kComboBoxStyleIdents)
      .Default(csDropDown);
  b.Property("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
      .Default(8);
  b.Property("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  b.Property("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(false);
  b.Object("Items", &TCustomComboBox::Items);
  b.Property("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  b.Property("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText);
  // The text is stored as Text.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Event("OnChange", &TCustomComboBox::OnChange);
}
