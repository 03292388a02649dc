#include "platform/classes/Component.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"

#include <algorithm>

bool IsValidIdent(const QString& name) {
  if (name.isEmpty()) return false;
  for (int i = 0; i < name.size(); ++i) {
    char16_t c = name[i].unicode();
    bool letter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
    bool digit = c >= u'0' && c <= u'9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return true;
}

TComponent::TComponent(TComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  if (!destructionDone_) TComponent::BeforeDestruction();
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

// Runs once, from Free() or from the destructor, whichever comes first.
void TComponent::BeforeDestruction() {
  if (destructionDone_) return;
  destructionDone_ = true;
  Destroying();
  NotifyFreeNotifies();
  DestroyComponents();
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (state_.Contains(csDestroying)) return;
  state_.Include(csDestroying);
  for (TComponent* c : components_) c->Destroying();
}

void TComponent::NotifyFreeNotifies() {
  while (!freeNotifies_.isEmpty()) {
    TComponent* other = freeNotifies_.takeLast();
    other->freeNotifies_.removeAll(this);
    other->Notification(this, opRemove);
  }
}

void TComponent::DestroyComponents() {
  while (!components_.isEmpty()) {
    TComponent* c = components_.takeLast();
    c->owner_ = nullptr;
    Notification(c, opRemove);  // siblings drop their pointers to it
    if (!c->destructionDone_) c->Free();
  }
}

TPersistent* TComponent::GetOwner() const { return owner_; }

void TComponent::SetName(const QString& newName) {
  if (name_ == newName) return;
  if (!newName.isEmpty() && !IsValidIdent(newName)) {
    throw EComponentError(QStringLiteral("''%s'' is not a valid component name"), {newName});
  }
  if (owner_ != nullptr) {
    owner_->ValidateRename(this, name_, newName);
  } else {
    ValidateRename(nullptr, name_, newName);
  }
  name_ = newName;
}

void TComponent::ValidateRename(TComponent* component, const QString& curName,
                                const QString& newName) {
  if (component == nullptr || newName.isEmpty()) return;
  if (curName.compare(newName, Qt::CaseInsensitive) == 0) return;
  if (FindComponent(newName) != nullptr) {
    throw EComponentError(QStringLiteral("A component named %s already exists"), {newName});
  }
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= components_.size()) {
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
  }
  return components_[index];
}

int TComponent::ComponentIndex() const {
  return owner_ != nullptr ? static_cast<int>(owner_->components_.indexOf(this)) : -1;
}

void TComponent::SetComponentIndex(int index) {
  if (owner_ == nullptr) return;
  QList<TComponent*>& list = owner_->components_;
  int current = static_cast<int>(list.indexOf(this));
  int target = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  if (current >= 0 && target != current) list.move(current, target);
}

TComponent* TComponent::FindComponent(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (TComponent* c : components_) {
    if (c->name_.compare(name, Qt::CaseInsensitive) == 0) return c;
  }
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (component == nullptr || component->owner_ == this) return;
  for (const TComponent* o = this; o != nullptr; o = o->owner_) {
    if (o == component) {
      throw EComponentError(QStringLiteral("%s cannot own itself or its owners"),
                            {component->ClassName()});
    }
  }
  ValidateRename(component, QString(), component->name_);
  if (component->owner_ != nullptr) component->owner_->RemoveComponent(component);
  Insert(component);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component == nullptr || component->owner_ != this) return;
  Remove(component);
  Notification(component, opRemove);
}

void TComponent::Insert(TComponent* component) {
  components_.append(component);
  component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
  components_.removeAll(component);
  component->owner_ = nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
  if (component == nullptr || component == this) return;
  if (!freeNotifies_.contains(component)) freeNotifies_.append(component);
  if (!component->freeNotifies_.contains(this)) component->freeNotifies_.append(this);
  state_.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (component == nullptr) return;
  freeNotifies_.removeAll(component);
  component->freeNotifies_.removeAll(this);
}

void TComponent::Loaded() { state_.Exclude(csLoading); }

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component != nullptr) RemoveFreeNotification(component);
  NotifyOwned(component, operation);
}

// Index loop: a handler may change the list (the bounds are checked anew).
void TComponent::NotifyOwned(TComponent* component, TOperation operation) {
  for (int i = 0; i < components_.size(); ++i) {
    components_[i]->Notification(component, operation);
  }
}

void TComponent::GetChildren(const TGetChildProc& proc, TComponent* root) {
  if (root != this) return;
  const QList<TComponent*> owned = components_;
  for (TComponent* c : owned) {
    if (!c->HasParent()) proc(c);
  }
}

bool TComponent::HasParent() const { return false; }

TComponent* TComponent::GetParentComponent() const { return nullptr; }

void TComponent::SetParentComponent(TComponent*) {}

void TComponent::ReadState(TReader& reader) {
  TComponent* parent = reader.Parent();
  if (parent != nullptr && parent != this) SetParentComponent(parent);
  reader.ReadData(this);
}

const std::any* TComponent::FindMethod(const QString& name) const {
  auto it = methods_.constFind(name.toCaseFolded());
  return it == methods_.constEnd() ? nullptr : &it.value();
}

void TComponent::DeclareProperties(TClassBuilder<TComponent, TPersistent>& b) {
  b.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  b.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
}
