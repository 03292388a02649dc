// Assigning the values of a form file to published and defined properties.

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/FormBinding.h"
#include "platform/classes/FormReadSession.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

#include <cmath>

using form_detail::MetaOrNull;
using form_detail::StaticClassOf;

void TFormReadSession::ReadProperties(TPersistent* object,
                                      const std::vector<TFormProperty>& properties,
                                      const Path& path) {
  for (const TFormProperty& property : properties) ReadProperty(object, property, path);
}

void TFormReadSession::ReadProperty(TPersistent* object, const TFormProperty& property,
                                    const Path& path) {
  // The caller made sure object's class is known (or gave it through path).
  const TMetaClass* meta = FindMetaClass(*object);
  if (meta == nullptr) Error(property.line, QStringLiteral("Class %1 not found").arg(object->ClassName()));
  QString where = meta->ClassName() + u'.' + property.name;
  QStringList parts = property.name.split(u'.');
  TPersistent* holder = object;
  Path holderPath = path;
  for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
    const TPropInfo* info = meta->FindProperty(parts[i]);
    if (info == nullptr || info->kind != TPropKind::Object) {
      Error(property.line, QStringLiteral("Property %1 does not exist").arg(where));
    }
    TPersistent* sub = info->getObject(holder);
    if (sub == nullptr) Error(property.line, QStringLiteral("Property %1 is not assigned").arg(where));
    meta = MetaOrNull(*sub, StaticClassOf(*info));
    holder = sub;
    holderPath.push_back(PathStep{info->name, -1});
  }
  const TPropInfo* info = meta->FindProperty(parts.last());
  if (info != nullptr) {
    AssignValue(holder, *meta, *info, property.value, holderPath);
    return;
  }
  bool taken = false;
  Guarded(property.line, QStringLiteral("Error reading ") + where,
          [&] { taken = reader_.ReadDefinedProperty(holder, parts.last(), property.value); });
  if (!taken) Error(property.line, QStringLiteral("Property %1 does not exist").arg(where));
}

void TFormReadSession::AssignValue(TPersistent* object, const TMetaClass& meta,
                                   const TPropInfo& info, const TFormValue& value,
                                   const Path& path) {
  QString where = meta.ClassName() + u'.' + info.name;
  bool intoObject = info.kind == TPropKind::Strings || info.kind == TPropKind::Object ||
                    info.kind == TPropKind::Collection;
  if (!intoObject && !info.IsWritable()) {
    Error(value.line, QStringLiteral("Property %1 is read-only").arg(where));
  }
  Path sub = path;
  sub.push_back(PathStep{info.name, -1});
  switch (info.kind) {
    case TPropKind::Float:
      return AssignFloat(object, where, info, value);
    case TPropKind::String:
      return AssignString(object, where, info, value);
    case TPropKind::Strings:
      return AssignStrings(object, where, info, value);
    case TPropKind::Object:
      BadValue(value.line, where, QStringLiteral("properties of its object (") + info.name +
                                      QStringLiteral(".Name = value)"));
    case TPropKind::Collection:
      return AssignCollection(object, where, info, value, sub);
    case TPropKind::Component:
      if (value.kind != TFormValueKind::Ident) BadValue(value.line, where, QStringLiteral("component name"));
      fixups_.push_back(Fixup{context_, std::move(sub), value.text, value.line});
      return;
    case TPropKind::Event:
      return AssignEvent(object, where, info, value);
    default:
      return AssignOrdinal(object, where, info, value);
  }
}

void TFormReadSession::AssignFloat(TPersistent* object, const QString& where,
                                   const TPropInfo& info, const TFormValue& value) {
  if (value.kind != TFormValueKind::Integer && value.kind != TFormValueKind::Float) {
    BadValue(value.line, where, QStringLiteral("number"));
  }
  double v = value.kind == TFormValueKind::Integer ? static_cast<double>(value.integer) : value.real;
  if (std::fabs(v) > info.maxFloat) {
    Error(value.line, QStringLiteral("Value out of range for property %1").arg(where));
  }
  Guarded(value.line, QStringLiteral("Error reading ") + where, [&] { info.setFloat(object, v); });
}

void TFormReadSession::AssignString(TPersistent* object, const QString& where,
                                    const TPropInfo& info, const TFormValue& value) {
  if (value.kind != TFormValueKind::String) BadValue(value.line, where, QStringLiteral("string"));
  Guarded(value.line, QStringLiteral("Error reading ") + where,
          [&] { info.setString(object, value.text); });
}

void TFormReadSession::AssignCollection(TPersistent* object, const QString& where,
                                        const TPropInfo& info, const TFormValue& value,
                                        const Path& path) {
  auto* collection = dynamic_cast<TCollection*>(info.getObject(object));
  if (collection == nullptr) Error(value.line, QStringLiteral("Property %1 is not assigned").arg(where));
  ReadCollection(collection, where, value, path);
}

std::int64_t TFormReadSession::BooleanValue(const QString& where, const TFormValue& value) const {
  if (value.kind == TFormValueKind::Ident) {
    if (value.text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return 1;
    if (value.text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
  }
  BadValue(value.line, where, QStringLiteral("True or False"));
}

std::int64_t TFormReadSession::IdentValue(const QString& where, const TPropInfo& info,
                                          const QString& ident, int line) const {
  std::int64_t result = 0;
  if (!info.idents->ToValue(ident, result)) {
    Error(line, QStringLiteral("Invalid value for property %1: unknown identifier %2").arg(where, ident));
  }
  return result;
}

std::int64_t TFormReadSession::SetValue(const QString& where, const TPropInfo& info,
                                        const TFormValue& value) const {
  if (value.kind != TFormValueKind::Set) BadValue(value.line, where, QStringLiteral("set"));
  std::uint64_t bits = 0;
  for (const QString& ident : value.idents) {
    std::int64_t ordinal = IdentValue(where, info, ident, value.line);
    if (ordinal < 0 || ordinal > 63) {
      Error(value.line, QStringLiteral("Value out of range for property %1").arg(where));
    }
    bits |= std::uint64_t{1} << ordinal;
  }
  return static_cast<std::int64_t>(bits);
}

// An integer, or a named constant of the property's ident table.
std::int64_t TFormReadSession::IntegerValue(const QString& where, const TPropInfo& info,
                                            const TFormValue& value) const {
  std::int64_t result = 0;
  bool named = value.kind == TFormValueKind::Ident && info.idents != nullptr &&
               info.idents->ToValue(value.text, result);
  if (!named && value.kind != TFormValueKind::Integer) {
    BadValue(value.line, where, QStringLiteral("integer"));
  }
  if (!named) result = value.integer;
  if (result < info.minValue || result > info.maxValue) {
    Error(value.line, QStringLiteral("Value out of range for property %1").arg(where));
  }
  return result;
}

std::int64_t TFormReadSession::OrdinalValue(const QString& where, const TPropInfo& info,
                                            const TFormValue& value) const {
  switch (info.kind) {
    case TPropKind::Boolean:
      return BooleanValue(where, value);
    case TPropKind::Enumeration:
      if (value.kind != TFormValueKind::Ident) BadValue(value.line, where, QStringLiteral("identifier"));
      return IdentValue(where, info, value.text, value.line);
    case TPropKind::Set:
      return SetValue(where, info, value);
    default:
      return IntegerValue(where, info, value);
  }
}

void TFormReadSession::AssignOrdinal(TPersistent* object, const QString& where,
                                     const TPropInfo& info, const TFormValue& value) {
  std::int64_t ordinal = OrdinalValue(where, info, value);
  Guarded(value.line, QStringLiteral("Error reading ") + where, [&] { info.setOrd(object, ordinal); });
}

void TFormReadSession::AssignStrings(TPersistent* object, const QString& where,
                                     const TPropInfo& info, const TFormValue& value) {
  if (value.kind != TFormValueKind::List) BadValue(value.line, where, QStringLiteral("list of strings"));
  TStringList lines;
  for (const TFormValue& item : value.list) {
    if (item.kind != TFormValueKind::String) BadValue(item.line, where, QStringLiteral("string"));
    lines.Add(item.text);
  }
  TStrings* strings = info.getStrings(object);
  if (strings == nullptr) Error(value.line, QStringLiteral("Property %1 is not assigned").arg(where));
  Guarded(value.line, QStringLiteral("Error reading ") + where, [&] { strings->Assign(lines); });
}

void TFormReadSession::AssignEvent(TPersistent* object, const QString& where,
                                   const TPropInfo& info, const TFormValue& value) {
  if (value.kind != TFormValueKind::Ident) BadValue(value.line, where, QStringLiteral("method name"));
  std::any bound;
  const std::any* method = nullptr;
  if (binding_ != nullptr) {
    const TBindingEntry* handler = binding_->Find(TBindingEntry::kHandler, value.text);
    if (handler == nullptr) {
      BindingError(QStringLiteral("handler '%1' named in %2(%3) is missing from the form's binding")
                       .arg(value.text, fileName_)
                       .arg(value.line));
    }
    bound = handler->bind(*root_);
    method = &bound;
  } else {
    method = root_->FindMethod(value.text);
    if (method == nullptr) {
      Error(value.line, QStringLiteral("Method %1 not found in %2").arg(value.text, root_->ClassName()));
    }
  }
  bool matches = false;
  Guarded(value.line, QStringLiteral("Error reading ") + where,
          [&] { matches = info.setEvent(object, *method); });
  if (!matches) {
    Error(value.line, QStringLiteral("Method %1 does not match the type of event %2")
                          .arg(value.text, where));
  }
  object->SetBoundMethodName(info.name, value.text);
}

void TFormReadSession::ReadCollection(TCollection* collection, const QString& where,
                                      const TFormValue& value, const Path& path) {
  if (value.kind != TFormValueKind::Collection) BadValue(value.line, where, QStringLiteral("collection"));
  QString what = QStringLiteral("Error reading ") + where;
  TUpdateScope batch(*collection);
  Guarded(value.line, what, [&] { collection->Clear(); });
  for (const TFormItem& item : value.items) {
    TCollectionItem* added = nullptr;
    Guarded(item.line, what, [&] { added = collection->Add(); });
    if (FindMetaClass(*added) == nullptr) {
      Error(item.line, QStringLiteral("Class %1 not found").arg(added->ClassName()));
    }
    Path itemPath = path;
    itemPath.push_back(PathStep{QString(), added->ID()});
    ReadProperties(added, item.properties, itemPath);
  }
  Guarded(value.line, what, [&] { batch.Close(); });
}
