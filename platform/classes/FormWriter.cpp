#include "platform/classes/FormWriter.h"

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/FormParser.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <algorithm>
#include <cmath>

class TFormWriteSession {
 public:
  explicit TFormWriteSession(TComponent* root) : root_(root) {}

  TFormObject WriteObject(TComponent* component, int depth);

 private:
  // subDepth counts sub-objects ("Font.") and collection items on the way
  // from the component, to stop a table that refers to itself.
  void WriteProperties(TPersistent* object, const TMetaClass& meta, const QString& prefix,
                       std::vector<TFormProperty>& out, int subDepth);
  void WriteProperty(TPersistent* object, const TMetaClass& meta, const TPropInfo& info,
                     const QString& prefix, std::vector<TFormProperty>& out, int subDepth);
  bool OrdinalValue(const TPersistent* object, const TMetaClass& meta, const TPropInfo& info,
                    TFormValue& value) const;
  TFormValue CollectionValue(TCollection* collection, int subDepth);
  QString ReferenceName(TComponent* target, const QString& where) const;

  TComponent* root_;
};

namespace {

const TMetaClass& MetaOf(const TObject& object, const TMetaClass* fallback) {
  const TMetaClass* meta = FindMetaClass(object);
  if (meta == nullptr) meta = fallback;
  if (meta == nullptr) {
    throw EWriteError(QStringLiteral("Class %s has no property table"), {object.ClassName()});
  }
  return *meta;
}

TFormValue Ident(const QString& text) {
  TFormValue v;
  v.kind = TFormValueKind::Ident;
  v.text = text;
  return v;
}

constexpr int kMaxSubObjectDepth = 64;

void CheckDepth(int depth, int limit) {
  if (depth > limit) throw EWriteError(QStringLiteral("Nesting deeper than %d levels"), {limit});
}

// Nesting as the parser counts it: objects, lists and collections.
int ValueDepth(const TFormValue& v) {
  int deepest = 0;
  for (const TFormValue& item : v.list) deepest = std::max(deepest, ValueDepth(item));
  for (const TFormItem& item : v.items) {
    for (const TFormProperty& p : item.properties) deepest = std::max(deepest, ValueDepth(p.value));
  }
  bool nests = v.kind == TFormValueKind::List || v.kind == TFormValueKind::Collection;
  return deepest + (nests ? 1 : 0);
}

int ObjectDepth(const TFormObject& o) {
  int deepest = 0;
  for (const TFormProperty& p : o.properties) deepest = std::max(deepest, ValueDepth(p.value));
  for (const TFormObject& child : o.children) deepest = std::max(deepest, ObjectDepth(child));
  return deepest + 1;
}

}  // namespace

TFormObject TFormWriteSession::WriteObject(TComponent* component, int depth) {
  CheckDepth(depth, kMaxFormNesting);
  bool wasWriting = component->ComponentState().Contains(csWriting);
  component->IncludeState(csWriting);
  struct Restore {
    TComponent* c;
    bool was;
    ~Restore() {
      if (!was) c->ExcludeState(csWriting);
    }
  } restore{component, wasWriting};
  TFormObject node;
  node.name = component->Name();
  node.className = component->ClassName();
  WriteProperties(component, MetaOf(*component, nullptr), QString(), node.properties, 0);
  component->GetChildren(
      [&](TComponent* child) { node.children.push_back(WriteObject(child, depth + 1)); }, root_);
  return node;
}

void TFormWriteSession::WriteProperties(TPersistent* object, const TMetaClass& meta,
                                        const QString& prefix, std::vector<TFormProperty>& out,
                                        int subDepth) {
  CheckDepth(subDepth, kMaxSubObjectDepth);
  for (const TPropInfo* info : meta.Properties()) {
    bool intoObject = info->kind == TPropKind::Strings || info->kind == TPropKind::Object ||
                      info->kind == TPropKind::Collection;
    if (!intoObject && !info->IsWritable()) continue;
    if (info->IsStored(object)) WriteProperty(object, meta, *info, prefix, out, subDepth);
  }
  TWriter writer(root_, out, prefix);
  object->DefineProperties(&writer);
}

bool TFormWriteSession::OrdinalValue(const TPersistent* object, const TMetaClass& meta,
                                     const TPropInfo& info, TFormValue& value) const {
  std::int64_t ordinal = info.getOrd(object);
  if (info.ordDefault && *info.ordDefault == ordinal) return false;
  QString where = meta.ClassName() + u'.' + info.name;
  QString ident;
  switch (info.kind) {
    case TPropKind::Boolean:
      value = Ident(ordinal != 0 ? QStringLiteral("True") : QStringLiteral("False"));
      return true;
    case TPropKind::Enumeration:
      if (!info.idents->ToIdent(ordinal, ident)) {
        throw EWriteError(QStringLiteral("Value %d of %s has no identifier"), {ordinal, where});
      }
      value = Ident(ident);
      return true;
    case TPropKind::Set: {
      value.kind = TFormValueKind::Set;
      auto bits = static_cast<std::uint64_t>(ordinal);
      for (int i = 0; i < info.idents->Count(); ++i) {
        std::int64_t member = info.idents->Value(i);
        if (member < 0 || member > 63 || (bits & (std::uint64_t{1} << member)) == 0) continue;
        value.idents.append(info.idents->Name(i));
        bits &= ~(std::uint64_t{1} << member);
      }
      if (bits != 0) throw EWriteError(QStringLiteral("A member of %s has no identifier"), {where});
      return true;
    }
    default:
      if (info.idents != nullptr && info.idents->ToIdent(ordinal, ident)) {
        value = Ident(ident);
      } else {
        value.kind = TFormValueKind::Integer;
        value.integer = ordinal;
      }
      return true;
  }
}

void TFormWriteSession::WriteProperty(TPersistent* object, const TMetaClass& meta,
                                      const TPropInfo& info, const QString& prefix,
                                      std::vector<TFormProperty>& out, int subDepth) {
  TFormValue value;
  QString where = meta.ClassName() + u'.' + info.name;
  switch (info.kind) {
    case TPropKind::Float: {
      double v = info.getFloat(object);
      if (v == info.floatDefault) return;
      if (!std::isfinite(v)) throw EWriteError(QStringLiteral("Invalid floating point value in %s"), {where});
      value.kind = TFormValueKind::Float;
      value.real = v;
      break;
    }
    case TPropKind::String:
      value.kind = TFormValueKind::String;
      value.text = info.getString(object);
      if (value.text == info.stringDefault.value_or(QString())) return;
      break;
    case TPropKind::Strings: {
      TStrings* strings = info.getStrings(object);
      if (strings == nullptr || strings->Count() == 0) return;
      value.kind = TFormValueKind::List;
      for (int i = 0; i < strings->Count(); ++i) {
        TFormValue line;
        line.kind = TFormValueKind::String;
        line.text = strings->Get(i);
        value.list.push_back(std::move(line));
      }
      break;
    }
    case TPropKind::Object: {
      TPersistent* sub = info.getObject(object);
      if (sub == nullptr) return;
      const TMetaClass* fallback = info.objectClass != nullptr ? &info.objectClass() : nullptr;
      WriteProperties(sub, MetaOf(*sub, fallback), prefix + info.name + u'.', out, subDepth + 1);
      return;
    }
    case TPropKind::Collection: {
      auto* collection = dynamic_cast<TCollection*>(info.getObject(object));
      if (collection == nullptr || collection->Count() == 0) return;
      value = CollectionValue(collection, subDepth + 1);
      break;
    }
    case TPropKind::Component: {
      TComponent* target = info.getComponent(object);
      if (target == nullptr) return;
      value = Ident(ReferenceName(target, where));
      break;
    }
    case TPropKind::Event: {
      QString method = object->BoundMethodName(info.name);
      if (!info.eventAssigned(object) || method.isEmpty()) return;
      value = Ident(method);
      break;
    }
    default:
      if (!OrdinalValue(object, meta, info, value)) return;
      break;
  }
  out.push_back(TFormProperty{prefix + info.name, std::move(value), 0});
}

TFormValue TFormWriteSession::CollectionValue(TCollection* collection, int subDepth) {
  TFormValue value;
  value.kind = TFormValueKind::Collection;
  for (int i = 0; i < collection->Count(); ++i) {
    TCollectionItem* item = collection->Items(i);
    TFormItem formItem;
    WriteProperties(item, MetaOf(*item, &collection->ItemClass()), QString(), formItem.properties,
                    subDepth);
    value.items.push_back(std::move(formItem));
  }
  return value;
}

QString TFormWriteSession::ReferenceName(TComponent* target, const QString& where) const {
  if (target == root_ && !root_->Name().isEmpty()) return root_->Name();
  if (target->Owner() == root_ && !target->Name().isEmpty()) return target->Name();
  throw EWriteError(QStringLiteral("Cannot store the reference in %s: the component is not a "
                                   "named part of %s"),
                    {where, root_->Name()});
}

TFormObject WriteComponentTree(TComponent* root) {
  TFormWriteSession session(root);
  TFormObject tree = session.WriteObject(root, 1);
  // What the reader would refuse is not written.
  CheckDepth(ObjectDepth(tree), kMaxFormNesting);
  return tree;
}

QByteArray WriteComponentText(TComponent* root) { return PrintFormText(WriteComponentTree(root)); }
