#pragma once
// One reading of a form file into components (internal to the form reader;
// TReader and TComponent reach it through TFormReadSession).

#include "platform/classes/Filer.h"
#include "platform/classes/FormTree.h"
#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"

#include <QString>

#include <memory>
#include <vector>

class TComponent;
class TCollection;
class TFormBinding;
class TMetaClass;
class TPersistent;
class TObject;
struct TPropInfo;

class TFormReadSession {
 public:
  // binding (may be nullptr) is the root class's table of fields and handlers.
  TFormReadSession(QString fileName, TComponent* root, bool ownsRoot,
                   const TFormBinding* binding = nullptr);
  ~TFormReadSession();
  TFormReadSession(const TFormReadSession&) = delete;
  TFormReadSession& operator=(const TFormReadSession&) = delete;

  // Reads tree into the root: all phases, rolled back on failure.
  void Read(const TFormObject& tree);
  // Properties and nested objects of the component being read.
  void ReadData(TComponent* instance);
  [[noreturn]] void Error(int line, const QString& message) const;

  // A component freed while the read runs (see the watcher).
  void Forget(TComponent* component);

 private:
  // From a component to the object holding a property: names of sub-object
  // properties and indices of collection items.
  struct PathStep {
    QString name;
    int index = -1;
  };
  using Path = std::vector<PathStep>;
  struct Fixup {
    TComponent* component;
    Path path;  // the last step names the reference property
    QString target;
    int line;
  };

  void ReadPhases(const TFormObject& tree);
  void NameRoot(const TFormObject& tree);
  void ReadChild(const TFormObject& node, TComponent* parent);
  TComponent* CreateChild(const TFormObject& node);
  void ReadObjectState(TComponent* component, const TFormObject& node, TComponent* parent);
  void ReadProperties(TPersistent* object, const std::vector<TFormProperty>& properties,
                      const Path& path);
  void ReadProperty(TPersistent* object, const TFormProperty& property, const Path& path);
  void AssignValue(TPersistent* object, const TMetaClass& meta, const TPropInfo& info,
                   const TFormValue& value, const Path& path);
  void AssignOrdinal(TPersistent* object, const QString& where, const TPropInfo& info,
                     const TFormValue& value);
  void AssignFloat(TPersistent* object, const QString& where, const TPropInfo& info,
                   const TFormValue& value);
  void AssignString(TPersistent* object, const QString& where, const TPropInfo& info,
                    const TFormValue& value);
  void AssignCollection(TPersistent* object, const QString& where, const TPropInfo& info,
                        const TFormValue& value, const Path& path);
  std::int64_t OrdinalValue(const QString& where, const TPropInfo& info,
                            const TFormValue& value) const;
  std::int64_t BooleanValue(const QString& where, const TFormValue& value) const;
  std::int64_t IdentValue(const QString& where, const TPropInfo& info, const QString& ident,
                          int line) const;
  std::int64_t SetValue(const QString& where, const TPropInfo& info, const TFormValue& value) const;
  std::int64_t IntegerValue(const QString& where, const TPropInfo& info,
                            const TFormValue& value) const;
  void AssignStrings(TPersistent* object, const QString& where, const TPropInfo& info,
                     const TFormValue& value);
  void AssignEvent(TPersistent* object, const QString& where, const TPropInfo& info,
                   const TFormValue& value);
  void ReadCollection(TCollection* collection, const QString& where, const TFormValue& value,
                      const Path& path);
  void FixupReferences();
  void BindFields();
  void ClearFields();
  [[noreturn]] void BindingError(const QString& message) const;
  void ApplyFixup(const Fixup& fixup);
  TComponent* FindReference(const QString& name) const;
  void CallLoaded();
  void Rollback();
  [[noreturn]] void BadValue(int line, const QString& where, const QString& expected) const;
  template <class F>
  void Guarded(int line, const QString& what, F&& action);

  QString fileName_;
  TComponent* root_;
  bool ownsRoot_;
  const TFormBinding* binding_;
  TReader reader_;
  std::unique_ptr<TComponent> watcher_;
  TComponent* context_ = nullptr;         // component whose properties are read
  const TFormObject* pending_ = nullptr;  // node ReadData is to read
  std::vector<TComponent*> created_;      // by this read, in creation order
  std::vector<TComponent*> loading_;      // the root, then created_
  std::vector<Fixup> fixups_;
};

// Runs action; a failure other than a read error is reported at line, after
// what ("Error reading Label1.Caption") when given.
template <class F>
void TFormReadSession::Guarded(int line, const QString& what, F&& action) {
  try {
    action();
  } catch (const EReadError&) {
    throw;
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& e) {
    Error(line, what.isEmpty() ? e.Message() : what + QStringLiteral(": ") + e.Message());
  }
}

namespace form_detail {

// The metaclass of object, else the static class a property declares.
inline const TMetaClass* MetaOrNull(const TObject& object, const TMetaClass* fallback) {
  const TMetaClass* meta = FindMetaClass(object);
  return meta != nullptr ? meta : fallback;
}

inline const TMetaClass* StaticClassOf(const TPropInfo& info) {
  return info.objectClass != nullptr ? &info.objectClass() : nullptr;
}

}  // namespace form_detail
