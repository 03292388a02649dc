#pragma once
// Writing components as form files (the format: FormParser.h).
//
// The root is written with its published properties (ancestors' first, in
// table order; only stored values that differ from their defaults), then
// the data of its DefineProperties, then its children: the components its
// GetChildren reports, each with its own children, in that order. Sub-object
// properties are written as "Prop.Sub = value". Events are written by the
// method name a form file bound them to; handlers set by code are not part
// of the form and are not written. A reference to a component that is not
// the root or one of its named components cannot be stored and raises
// EWriteError, as does an enumeration value without an identifier or a
// component whose class has no property table (register it, or build it
// with MetaClassOf).

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/FormTree.h"

#include <QByteArray>

class TComponent;

// The form file of root, UTF-8 with LF line ends.
QByteArray WriteComponentText(TComponent* root);

// The same, making sure root's class has its property table.
template <class T>
QByteArray WriteComponentText(T* root) {
  MetaClassOf<T>();
  return WriteComponentText(static_cast<TComponent*>(root));
}

// The parsed form of root (what WriteComponentText prints).
TFormObject WriteComponentTree(TComponent* root);

// Prints a parsed form as text.
QByteArray PrintFormText(const TFormObject& object);
