#include "platform/classes/Persistent.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/Exceptions.h"

#include <typeinfo>

TObject::~TObject() = default;

QString TObject::ClassName() const {
  if (const TMetaClass* meta = ClassType()) return meta->ClassName();
  return classes_detail::ClassNameOf(typeid(*this));
}

const TMetaClass* TObject::ClassType() const { return FindMetaClass(*this); }

void TObject::DeclareProperties(TClassBuilder<TObject, void>&) {}

TPersistent::~TPersistent() = default;

void TPersistent::Assign(TPersistent* source) {
  if (source == nullptr) AssignError(nullptr);
  source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) { dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  QString sourceName = source != nullptr ? source->ClassName() : QStringLiteral("nil");
  throw EConvertError(QStringLiteral("Cannot assign a %s to a %s"), {sourceName, ClassName()});
}

TPersistent* TPersistent::GetOwner() const { return nullptr; }

void TPersistent::DefineProperties(TFiler*) {}

QString TPersistent::BoundMethodName(const QString& eventName) const {
  if (!boundMethods_) return {};
  return boundMethods_->value(eventName.toCaseFolded());
}

void TPersistent::SetBoundMethodName(const QString& eventName, const QString& methodName) {
  if (!boundMethods_) boundMethods_ = std::make_unique<QHash<QString, QString>>();
  if (methodName.isEmpty()) {
    boundMethods_->remove(eventName.toCaseFolded());
  } else {
    boundMethods_->insert(eventName.toCaseFolded(), methodName);
  }
}

void TPersistent::DeclareProperties(TClassBuilder<TPersistent, TObject>&) {}
