#pragma once
// The class registry: classes that form files may name.
//
// A form file's `object Name: TClass` finds TClass here. Registering is
// explicit and idempotent (a form registers the classes it streams before it
// reads its file). The registry holds class metadata, which never changes
// once built, so it is not part of the state that tests reset; tests that
// register throwaway classes unregister them.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Properties.h"

#include <QString>

class TComponent;

// Registers a class under its name. Another class already registered under
// the same name (compared without regard to case) raises EFilerError
// "A class named %s already exists".
void RegisterClass(const TMetaClass& meta);
void UnRegisterClass(const TMetaClass& meta);

template <class T>
void RegisterClass() {
  RegisterClass(MetaClassOf<T>());
}
template <class... T>
void RegisterClasses() {
  (RegisterClass<T>(), ...);
}
template <class T>
void UnRegisterClass() {
  UnRegisterClass(MetaClassOf<T>());
}

// The registered class of that name; nullptr when none.
const TMetaClass* GetClass(const QString& name);
// The registered class of that name; EClassNotFound "Class %s not found".
const TMetaClass& FindClass(const QString& name);
// A new component of the named registered class, owned by owner.
TComponent* CreateComponent(const QString& className, TComponent* owner);
