#pragma once
// Reading form files into components (the format: FormParser.h).
//
// Reading runs in phases:
//  1. the whole file is parsed (syntax errors end the read before anything
//     is created);
//  2. objects are created in file order, owned by the root, with csLoading
//     and csReading set; each gets its name, its parent from the nesting
//     (SetParentComponent, through ReadState) and its properties through the
//     setters; events are bound at once from the root's method table;
//  3. component references are fixed up by name (a reference may name a
//     component before or after it in the file, or the root), then the
//     fields of the root class's binding are set;
//  4. csReading is cleared, then Loaded is called on every component in
//     creation order (the root first).
//
// Any failure raises EReadError "<file>(<line>): <message>" (a binding's
// EFormBindingError "Form <class>: <message>"; Loaded's own
// exceptions pass unchanged) and leaves nothing behind: every component the
// read created is freed. A root read into an existing component keeps what
// its own properties were set to, but gets no half-made children.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/FormBinding.h"

#include <QByteArray>
#include <QString>

class TComponent;

// Reads a form file into root. A root without a name takes the file's name
// (with "_1", "_2"... appended when its owner already has a component of
// that name, as for a second instance of a form). With a binding
// (FormBinding.h), its fields are set and its handlers bound, and a
// mismatch with the file raises EFormBindingError.
void ReadRootComponent(TComponent* root, const QByteArray& utf8, const QString& fileName,
                       const TFormBinding* binding = nullptr);

// The same, making sure root's class has its property table, with the
// class's Binding() when it has one.
template <class T>
void ReadRootComponent(T* root, const QByteArray& utf8, const QString& fileName) {
  MetaClassOf<T>();
  TFormBinding binding;
  ReadRootComponent(static_cast<TComponent*>(root), utf8, fileName, BindingOf<T>(binding));
}

// Reads a form file from a path (also a Qt resource path ":/..."); errors
// name the file by its file name. A file that cannot be read raises
// EFOpenError.
void ReadRootComponentFile(TComponent* root, const QString& path,
                           const TFormBinding* binding = nullptr);
template <class T>
void ReadRootComponentFile(T* root, const QString& path) {
  MetaClassOf<T>();
  TFormBinding binding;
  ReadRootComponentFile(static_cast<TComponent*>(root), path, BindingOf<T>(binding));
}

// Creates the file's root object by its registered class, owned by owner,
// and reads the file into it. The caller owns the result when owner is
// nullptr.
TComponent* ReadComponentText(const QByteArray& utf8, const QString& fileName, TComponent* owner);
