#pragma once
// TComponent: the owned, named, streamable object of the component model.
//
// Ownership: a component created with `new TX(owner)` belongs to owner, which
// frees it; components without an owner are freed by whoever made them,
// through Free() (or delete). An owner frees its components from the last
// inserted to the first, the reverse of their creation.
//
// Notification: when a component is freed or removed, its owner gets
// Notification(component, opRemove), which TComponent passes on to every
// component the owner owns; every component that asked through
// FreeNotification is told as well. A component that keeps a pointer to
// another clears it in Notification, so no pointer outlives its target.
//
// Free() is the preferred way to destroy: it runs BeforeDestruction (the
// destruction steps: csDestroying, free notifications, owned components
// freed, removal from the owner) while the object is still complete, so
// overrides (of BeforeDestruction itself, of Notification) still run; then
// it deletes. An owner frees its components through Free(). A plain delete
// runs the same steps from ~TComponent, where only TComponent's part is left.

#include "platform/classes/Persistent.h"
#include "platform/classes/Set.h"

#include <QHash>
#include <QList>
#include <QString>

#include <any>
#include <functional>
#include <utility>

class TReader;
class TComponent;

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,  // never set: there is no designer at run time
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

using TGetChildProc = std::function<void(TComponent* child)>;

class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;

  // Destroys this component (see the note above).
  void Free();

  TComponent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override;

  // Name: empty or a valid identifier, unique among the owner's components
  // (compared without regard to case). EComponentError otherwise.
  QString Name() const { return name_; }
  virtual void SetName(const QString& newName);
  int Tag() const { return tag_; }
  void SetTag(int value) { tag_ = value; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // Index out of range: EListError.
  TComponent* Components(int index) const;
  // Position in the owner's list; -1 without an owner.
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  TComponentState ComponentState() const { return state_; }

  // The owned component with that name (case-insensitive); nullptr if none.
  TComponent* FindComponent(const QString& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Marks the component as being destroyed (csDestroying) and calls
  // Destroying on its owned components.
  void Destroying();

  // Asks this component to tell `component` (opRemove) when it is freed;
  // the request is mutual, so either side going away cancels it.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Streaming hooks.
  // Runs once all components of a form file are read and references fixed;
  // the base clears csLoading.
  virtual void Loaded();
  virtual void Notification(TComponent* component, TOperation operation);
  // Children written inside this component's object in a form file. The base
  // reports, for the root only, every owned component without a parent.
  virtual void GetChildren(const TGetChildProc& proc, TComponent* root);
  virtual bool HasParent() const;
  virtual TComponent* GetParentComponent() const;
  // Called by the form reader with the object a component is nested in.
  virtual void SetParentComponent(TComponent* parent);
  // Reads this component's properties and children; the base sets the
  // parent from the nesting (SetParentComponent) and reads the data.
  virtual void ReadState(TReader& reader);

  // The method table through which a form file binds events by name. fn is
  // a std::function of the event's type.
  template <class Sig>
  void DefineMethod(const QString& name, std::function<Sig> fn) {
    methods_.insert(name.toCaseFolded(), std::any(std::move(fn)));
  }
  template <class C, class R, class... A>
  void DefineMethod(const QString& name, C* object, R (C::*method)(A...)) {
    DefineMethod<R(A...)>(name, std::function<R(A...)>([object, method](A... args) {
                            return (object->*method)(std::forward<A>(args)...);
                          }));
  }
  // The method registered under name (case-insensitive); nullptr if none.
  const std::any* FindMethod(const QString& name) const;

  static void DeclareProperties(TClassBuilder<TComponent, TPersistent>& builder);

 protected:
  // Runs once, before the object is deleted; an override does its own
  // work first, then calls the base.
  virtual void BeforeDestruction();
  // Checks a rename of component (owned by this) from curName to newName.
  virtual void ValidateRename(TComponent* component, const QString& curName,
                              const QString& newName);

 private:
  friend class TFormReadSession;
  friend class TFormWriteSession;

  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void NotifyOwned(TComponent* component, TOperation operation);
  void NotifyFreeNotifies();
  void IncludeState(TComponentStateItem item) { state_.Include(item); }
  void ExcludeState(TComponentStateItem item) { state_.Exclude(item); }

  TComponent* owner_ = nullptr;
  QString name_;
  int tag_ = 0;
  TComponentState state_;
  bool destructionDone_ = false;
  QList<TComponent*> components_;
  QList<TComponent*> freeNotifies_;
  QHash<QString, std::any> methods_;
};

// Frees a component and clears the pointer; nothing happens for nullptr.
template <class T>
void FreeAndNil(T*& component) {
  T* c = component;
  component = nullptr;
  if (c != nullptr) c->Free();
}

// True when name is a valid identifier: a letter or '_' followed by
// letters, digits and '_' (ASCII).
bool IsValidIdent(const QString& name);
