#include "platform/classes/FormReader.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/FormBinding.h"
#include "platform/classes/FormParser.h"
#include "platform/classes/FormReadSession.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// Tells the session about components freed while it runs (a setter or
// Loaded may free one), so it never touches a freed component.
class TReadWatcher : public TComponent {
 public:
  explicit TReadWatcher(TFormReadSession& session) : TComponent(nullptr), session_(session) {}
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) session_.Forget(component);
  }

 private:
  TFormReadSession& session_;
};

}  // namespace

using form_detail::MetaOrNull;
using form_detail::StaticClassOf;

TFormReadSession::TFormReadSession(QString fileName, TComponent* root, bool ownsRoot,
                                   const TFormBinding* binding)
    : fileName_(std::move(fileName)),
      root_(root),
      ownsRoot_(ownsRoot),
      binding_(binding),
      reader_(*this, root),
      watcher_(std::make_unique<TReadWatcher>(*this)) {}

TFormReadSession::~TFormReadSession() {
  for (TComponent* c : created_) {
    if (c != nullptr) watcher_->RemoveFreeNotification(c);
  }
}

void TFormReadSession::Error(int line, const QString& message) const {
  RaiseFormError(fileName_, line, message);
}

void TFormReadSession::BadValue(int line, const QString& where, const QString& expected) const {
  Error(line, QStringLiteral("Invalid value for property %1: %2 expected").arg(where, expected));
}

void TFormReadSession::Forget(TComponent* component) {
  std::replace(created_.begin(), created_.end(), component, static_cast<TComponent*>(nullptr));
  std::replace(loading_.begin(), loading_.end(), component, static_cast<TComponent*>(nullptr));
  for (Fixup& f : fixups_) {
    if (f.component == component) f.component = nullptr;
  }
  if (context_ == component) context_ = nullptr;
}

void TFormReadSession::Read(const TFormObject& tree) {
  try {
    ReadPhases(tree);
  } catch (...) {
    Rollback();
    throw;
  }
}

void TFormReadSession::ReadPhases(const TFormObject& tree) {
  if (FindMetaClass(*root_) == nullptr) {
    Error(tree.line, QStringLiteral("Class %1 not found").arg(root_->ClassName()));
  }
  if (binding_ != nullptr) binding_->CheckUnique(root_->ClassName());
  root_->IncludeState(csLoading);
  root_->IncludeState(csReading);
  loading_.push_back(root_);
  NameRoot(tree);
  ReadObjectState(root_, tree, nullptr);
  FixupReferences();
  BindFields();
  CallLoaded();
}

void TFormReadSession::NameRoot(const TFormObject& tree) {
  if (!root_->Name().isEmpty() || tree.name.isEmpty()) return;
  QString name = tree.name;
  TComponent* owner = root_->Owner();
  for (int n = 1; owner != nullptr && owner->FindComponent(name) != nullptr; ++n) {
    name = tree.name + QStringLiteral("_%1").arg(n);
  }
  Guarded(tree.line, QString(), [&] { root_->SetName(name); });
}

void TFormReadSession::ReadObjectState(TComponent* component, const TFormObject& node,
                                       TComponent* parent) {
  const TFormObject* savedPending = pending_;
  TComponent* savedParent = reader_.Parent();
  pending_ = &node;
  reader_.SetParent(parent);
  QString what = QStringLiteral("Error reading %1").arg(node.name.isEmpty() ? node.className : node.name);
  Guarded(node.line, what, [&] { component->ReadState(reader_); });
  pending_ = savedPending;
  reader_.SetParent(savedParent);
}

void TFormReadSession::ReadData(TComponent* instance) {
  const TFormObject* node = pending_;
  if (node == nullptr || instance == nullptr) return;
  pending_ = nullptr;  // read once, whatever ReadState overrides do
  const TMetaClass* meta = FindMetaClass(*instance);
  if (meta == nullptr) {
    Error(node->line, QStringLiteral("Class %1 not found").arg(instance->ClassName()));
  }
  TComponent* savedContext = context_;
  context_ = instance;
  ReadProperties(instance, node->properties, Path{});
  context_ = savedContext;
  for (const TFormObject& child : node->children) ReadChild(child, instance);
}

TComponent* TFormReadSession::CreateChild(const TFormObject& node) {
  const TMetaClass* meta = GetClass(node.className);
  if (meta == nullptr) Error(node.line, QStringLiteral("Class %1 not found").arg(node.className));
  if (!meta->CanCreateComponent()) {
    Error(node.line, QStringLiteral("Class %1 is not a component class").arg(node.className));
  }
  TComponent* component = nullptr;
  Guarded(node.line, QString(), [&] { component = meta->CreateComponent(root_); });
  created_.push_back(component);
  loading_.push_back(component);
  component->FreeNotification(watcher_.get());
  component->IncludeState(csLoading);
  component->IncludeState(csReading);
  Guarded(node.line, QString(), [&] { component->SetName(node.name); });
  return component;
}

void TFormReadSession::ReadChild(const TFormObject& node, TComponent* parent) {
  TComponent* component = CreateChild(node);
  ReadObjectState(component, node, parent);
}

TComponent* TFormReadSession::FindReference(const QString& name) const {
  if (TComponent* c = root_->FindComponent(name)) return c;
  if (root_->Name().compare(name, Qt::CaseInsensitive) == 0 && !name.isEmpty()) return root_;
  // "Root.Name" names a component of this form, too.
  qsizetype dot = name.indexOf(u'.');
  if (dot > 0 && root_->Name().compare(name.left(dot), Qt::CaseInsensitive) == 0) {
    return root_->FindComponent(name.mid(dot + 1));
  }
  return nullptr;
}

void TFormReadSession::FixupReferences() {
  // Index loop: a setter may free a component, which blanks its fixups.
  for (std::size_t i = 0; i < fixups_.size(); ++i) {
    Fixup fixup = fixups_[i];
    ApplyFixup(fixup);
  }
  fixups_.clear();
}

void TFormReadSession::ApplyFixup(const Fixup& fixup) {
  if (fixup.component == nullptr) return;
  TComponent* target = FindReference(fixup.target);
  const TMetaClass* meta = FindMetaClass(*fixup.component);
  QString where = meta->ClassName() + u'.' + fixup.path.back().name;
  if (target == nullptr) {
    Error(fixup.line, QStringLiteral("Unresolved reference to %1 in property %2").arg(fixup.target, where));
  }
  // Walk to the holder again: it may have gone since the value was read.
  TPersistent* holder = fixup.component;
  for (std::size_t i = 0; i + 1 < fixup.path.size() && holder != nullptr && meta != nullptr; ++i) {
    const PathStep& step = fixup.path[i];
    if (step.index >= 0) {
      auto* collection = dynamic_cast<TCollection*>(holder);
      holder = collection != nullptr ? collection->FindItemID(step.index) : nullptr;
      meta = holder != nullptr ? MetaOrNull(*holder, &collection->ItemClass()) : nullptr;
      continue;
    }
    const TPropInfo* info = meta->FindProperty(step.name);
    holder = info != nullptr && info->getObject ? info->getObject(holder) : nullptr;
    meta = holder != nullptr ? MetaOrNull(*holder, StaticClassOf(*info)) : nullptr;
  }
  if (holder == nullptr || meta == nullptr) return;
  const TPropInfo* info = meta->FindProperty(fixup.path.back().name);
  if (info == nullptr || info->kind != TPropKind::Component) return;
  bool accepted = false;
  Guarded(fixup.line, QStringLiteral("Error reading ") + where,
          [&] { accepted = info->setComponent(holder, target); });
  if (!accepted) {
    Error(fixup.line, QStringLiteral("Invalid value for property %1: %2 is a %3")
                          .arg(where, fixup.target, target->ClassName()));
  }
}

void TFormReadSession::BindingError(const QString& message) const {
  throw EFormBindingError(QStringLiteral("Form %1: %2").arg(root_->ClassName(), message));
}

void TFormReadSession::BindFields() {
  if (binding_ == nullptr) return;
  for (const TBindingEntry& entry : binding_->Entries()) {
    if (entry.kind != TBindingEntry::kField) continue;
    auto made = std::find_if(created_.begin(), created_.end(), [&](const TComponent* c) {
      return c != nullptr && c->Name().compare(entry.name, Qt::CaseInsensitive) == 0;
    });
    if (made == created_.end()) {
      BindingError(QStringLiteral("component '%1' missing from the form file %2")
                       .arg(entry.name, fileName_));
    }
    if (!entry.set(*root_, *made)) {
      BindingError(QStringLiteral("component '%1' in %2 is a %3, not the %4 its field holds")
                       .arg(entry.name, fileName_, (*made)->ClassName(), entry.fieldClass));
    }
  }
}

void TFormReadSession::ClearFields() {
  if (binding_ == nullptr || root_ == nullptr) return;
  for (const TBindingEntry& entry : binding_->Entries()) {
    if (entry.kind == TBindingEntry::kField) entry.set(*root_, nullptr);
  }
}

void TFormReadSession::CallLoaded() {
  for (TComponent* c : loading_) {
    if (c != nullptr) c->ExcludeState(csReading);
  }
  // Index loop: Loaded may free a component, which blanks its entry.
  for (std::size_t i = 0; i < loading_.size(); ++i) {
    TComponent* c = loading_[i];
    if (c == nullptr) continue;
    c->Loaded();
    if (loading_[i] == c) c->ExcludeState(csLoading);
  }
}

void TFormReadSession::Rollback() {
  ClearFields();
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    TComponent* c = *it;
    if (c == nullptr) continue;
    *it = nullptr;
    watcher_->RemoveFreeNotification(c);
    c->Free();
  }
  fixups_.clear();
  loading_.clear();
  if (ownsRoot_) {
    root_->Free();
    root_ = nullptr;
    return;
  }
  root_->ExcludeState(csReading);
  root_->ExcludeState(csLoading);
}

void ReadRootComponent(TComponent* root, const QByteArray& utf8, const QString& fileName,
                       const TFormBinding* binding) {
  TFormObject tree = ParseFormText(utf8, fileName);
  TFormReadSession session(fileName, root, false, binding);
  session.Read(tree);
}

void ReadRootComponentFile(TComponent* root, const QString& path, const TFormBinding* binding) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EFOpenError(QStringLiteral("Cannot open file \"%s\". %s"), {path, file.errorString()});
  }
  ReadRootComponent(root, file.readAll(), QFileInfo(path).fileName(), binding);
}

TComponent* ReadComponentText(const QByteArray& utf8, const QString& fileName, TComponent* owner) {
  TFormObject tree = ParseFormText(utf8, fileName);
  const TMetaClass* meta = GetClass(tree.className);
  if (meta == nullptr || !meta->CanCreateComponent()) {
    RaiseFormError(fileName, tree.line, QStringLiteral("Class %1 not found").arg(tree.className));
  }
  TComponent* root = nullptr;
  try {
    root = meta->CreateComponent(owner);
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    RaiseFormError(fileName, tree.line, e.Message());
  }
  TFormReadSession session(fileName, root, true);
  session.Read(tree);
  return root;
}

const TBindingEntry* TFormBinding::Find(TBindingEntry::Kind kind, const QString& name) const {
  for (const TBindingEntry& entry : entries_) {
    if (entry.kind == kind && entry.name.compare(name, Qt::CaseInsensitive) == 0) return &entry;
  }
  return nullptr;
}

void TFormBinding::CheckUnique(const QString& formClass) const {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    for (auto later = it + 1; later != entries_.end(); ++later) {
      if (it->kind == later->kind && it->name.compare(later->name, Qt::CaseInsensitive) == 0) {
        throw EFormBindingError(
            QStringLiteral("Form %1: '%2' is bound twice").arg(formClass, it->name));
      }
    }
  }
}
