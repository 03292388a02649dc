#pragma once
// TObject and TPersistent: the roots of the component model.
//
// TObject gives every object a virtual destructor and its class name.
// TPersistent adds assignment between objects of related classes and the
// hooks through which form files store data beyond the published properties.

#include <QHash>
#include <QString>

#include <functional>
#include <memory>

class TFiler;
class TMetaClass;
template <class T, class Parent>
class TClassBuilder;

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  // The registered class name; for a class without metadata, the C++ class
  // name without its namespaces.
  virtual QString ClassName() const;
  // Metadata of this object's class (nullptr when none was ever built).
  const TMetaClass* ClassType() const;

  // The root of every property table: TObject publishes nothing.
  static void DeclareProperties(TClassBuilder<TObject, void>& builder);
};

// The one event type most components use.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
 public:
  TPersistent() = default;
  ~TPersistent() override;

  // Copies source into this object. A class that cannot copy from source
  // leaves it to source->AssignTo(this); when neither can, EConvertError
  // "Cannot assign a %s to a %s".
  virtual void Assign(TPersistent* source);
  // The object that owns this one (a component's owner, a collection's
  // owner); nullptr when none.
  virtual TPersistent* GetOwner() const;
  // Declares stored data that is not a published property (TFiler).
  virtual void DefineProperties(TFiler* filer);

  // The method name a form file bound to an event property of this object
  // (empty when the event was not bound by name).
  QString BoundMethodName(const QString& eventName) const;
  void SetBoundMethodName(const QString& eventName, const QString& methodName);

  static void DeclareProperties(TClassBuilder<TPersistent, TObject>& builder);

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(const TPersistent* source) const;

 private:
  // Allocated only for objects whose events were bound by a form file.
  std::unique_ptr<QHash<QString, QString>> boundMethods_;
};
