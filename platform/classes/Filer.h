#pragma once
// TFiler, TReader and TWriter: the objects a component's DefineProperties
// talks to, to store data that is not a published property.
//
//   void TMyGrid::DefineProperties(TFiler* filer) {
//     TComponent::DefineProperties(filer);
//     filer->DefineProperty("Cells", [this](TReader& r) { ReadCells(r); },
//                           [this](TWriter& w) { WriteCells(w); }, HasCells());
//   }
//
// A reader calls readData only for the property being read; a writer calls
// writeData only when hasData is true. readData must consume the whole value
// (a list up to its ReadListEnd); writeData must write exactly one value.
// Every reading error raises EReadError naming the file and line.

#include "platform/classes/FormTree.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class TComponent;
class TPersistent;
class TReader;
class TWriter;
class TStream;
class TFormReadSession;

using TReaderProc = std::function<void(TReader& reader)>;
using TWriterProc = std::function<void(TWriter& writer)>;
using TStreamProc = std::function<void(TStream& stream)>;

// The type of the next value a reader holds.
enum TValueType {
  vaNull,  // end of the current list
  vaList,
  vaInteger,
  vaFloat,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaSet,
  vaCollection,
  vaBinary
};

class TFiler {
 public:
  explicit TFiler(TComponent* root) : root_(root) {}
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;
  virtual ~TFiler();

  virtual void DefineProperty(const QString& name, const TReaderProc& readData,
                              const TWriterProc& writeData, bool hasData) = 0;
  // Binary data: readData gets a memory stream of the stored bytes at
  // position 0; writeData writes the bytes to store.
  virtual void DefineBinaryProperty(const QString& name, const TStreamProc& readData,
                                    const TStreamProc& writeData, bool hasData) = 0;
  // The component at the top of the form being read or written.
  TComponent* Root() const { return root_; }

 private:
  TComponent* root_;
};

class TReader : public TFiler {
 public:
  TReader(TFormReadSession& session, TComponent* root);

  void DefineProperty(const QString& name, const TReaderProc& readData,
                      const TWriterProc& writeData, bool hasData) override;
  void DefineBinaryProperty(const QString& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

  // The object the component being read is nested in (the root for the
  // root's direct children; nullptr while the root itself is read).
  TComponent* Parent() const { return parent_; }
  // The owner of the components being created (the root).
  TComponent* Owner() const { return Root(); }
  // Reads the properties and nested objects of the component being read
  // (TComponent::ReadState calls it).
  void ReadData(TComponent* instance);

  // Values of a defined property.
  TValueType NextValue() const;
  void ReadListBegin();
  bool EndOfList() const;
  void ReadListEnd();
  int ReadInteger();
  std::int64_t ReadInt64();
  double ReadFloat();
  bool ReadBoolean();
  QString ReadString();
  QString ReadIdent();

  // Offers name to instance->DefineProperties; true when one took it.
  bool ReadDefinedProperty(TPersistent* instance, const QString& name, const TFormValue& value);
  void SetParent(TComponent* parent) { parent_ = parent; }

 private:
  struct Frame {
    const TFormValue* values;
    std::size_t count;
    std::size_t index;
  };
  const TFormValue& Take(TFormValueKind kind, const char* expected);
  const TFormValue* Peek() const;
  [[noreturn]] void Error(const QString& message) const;
  int CurrentLine() const;

  TFormReadSession& session_;
  TComponent* parent_ = nullptr;
  QString wanted_;                // the property being read
  const TFormValue* value_ = nullptr;
  bool taken_ = false;
  std::vector<Frame> frames_;
};

class TWriter : public TFiler {
 public:
  // Properties are appended to out, their names after prefix ("Font.").
  TWriter(TComponent* root, std::vector<TFormProperty>& out, QString prefix);

  void DefineProperty(const QString& name, const TReaderProc& readData,
                      const TWriterProc& writeData, bool hasData) override;
  void DefineBinaryProperty(const QString& name, const TStreamProc& readData,
                            const TStreamProc& writeData, bool hasData) override;

  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(std::int64_t value);
  void WriteFloat(double value);
  void WriteBoolean(bool value);
  void WriteString(const QString& value);
  void WriteIdent(const QString& value);

 private:
  void Append(TFormValue value);

  std::vector<TFormProperty>& out_;
  QString prefix_;
  std::vector<TFormValue> open_;    // lists begun and not yet ended
  std::vector<TFormValue> done_;    // finished top-level values
};
