#include "platform/classes/Filer.h"

#include "platform/classes/Component.h"
#include "platform/classes/FormReadSession.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

#include <cmath>
#include <limits>

TFiler::~TFiler() = default;

TReader::TReader(TFormReadSession& session, TComponent* root) : TFiler(root), session_(session) {}

void TReader::ReadData(TComponent* instance) { session_.ReadData(instance); }

bool TReader::ReadDefinedProperty(TPersistent* instance, const QString& name,
                                  const TFormValue& value) {
  struct Reset {
    TReader& r;
    ~Reset() {
      r.wanted_.clear();
      r.value_ = nullptr;
      r.frames_.clear();
    }
  } reset{*this};
  wanted_ = name;
  value_ = &value;
  taken_ = false;
  instance->DefineProperties(this);
  return taken_;
}

void TReader::DefineProperty(const QString& name, const TReaderProc& readData,
                             const TWriterProc&, bool) {
  if (taken_ || value_ == nullptr || name.compare(wanted_, Qt::CaseInsensitive) != 0) return;
  taken_ = true;
  if (!readData) return;  // a property without a reader: its value is skipped
  frames_ = {Frame{value_, 1, 0}};
  readData(*this);
  if (frames_.size() != 1 || frames_[0].index != 1) {
    Error(QStringLiteral("Property %1 was not read to its end").arg(wanted_));
  }
}

void TReader::DefineBinaryProperty(const QString& name, const TStreamProc& readData,
                                   const TStreamProc&, bool) {
  if (taken_ || value_ == nullptr || name.compare(wanted_, Qt::CaseInsensitive) != 0) return;
  taken_ = true;
  if (!readData) return;
  if (value_->kind != TFormValueKind::Binary) {
    Error(QStringLiteral("Invalid value for property %1: binary data expected").arg(wanted_));
  }
  TStringStream stream(value_->binary);
  readData(stream);
}

int TReader::CurrentLine() const {
  const TFormValue* v = Peek();
  if (v != nullptr) return v->line;
  return value_ != nullptr ? value_->line : 0;
}

void TReader::Error(const QString& message) const { session_.Error(CurrentLine(), message); }

const TFormValue* TReader::Peek() const {
  if (frames_.empty()) return nullptr;
  const Frame& f = frames_.back();
  return f.index < f.count ? &f.values[f.index] : nullptr;
}

const TFormValue& TReader::Take(TFormValueKind kind, const char* expected) {
  if (frames_.empty()) Error(QStringLiteral("No property value to read"));
  const TFormValue* v = Peek();
  if (v == nullptr || v->kind != kind) {
    Error(QStringLiteral("Invalid value for property %1: %2 expected")
              .arg(wanted_, QLatin1String(expected)));
  }
  ++frames_.back().index;
  return *v;
}

TValueType TReader::NextValue() const {
  const TFormValue* v = Peek();
  if (v == nullptr) return vaNull;
  switch (v->kind) {
    case TFormValueKind::Integer:
      return vaInteger;
    case TFormValueKind::Float:
      return vaFloat;
    case TFormValueKind::String:
      return vaString;
    case TFormValueKind::Ident:
      if (v->text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return vaTrue;
      if (v->text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return vaFalse;
      return vaIdent;
    case TFormValueKind::Set:
      return vaSet;
    case TFormValueKind::List:
      return vaList;
    case TFormValueKind::Collection:
      return vaCollection;
    case TFormValueKind::Binary:
      return vaBinary;
  }
  return vaNull;
}

void TReader::ReadListBegin() {
  const TFormValue& v = Take(TFormValueKind::List, "list");
  frames_.push_back(Frame{v.list.data(), v.list.size(), 0});
}

bool TReader::EndOfList() const { return Peek() == nullptr; }

void TReader::ReadListEnd() {
  if (frames_.size() < 2) Error(QStringLiteral("List end without a list"));
  if (Peek() != nullptr) Error(QStringLiteral("List end expected"));
  frames_.pop_back();
}

int TReader::ReadInteger() {
  int line = CurrentLine();
  std::int64_t v = Take(TFormValueKind::Integer, "integer").integer;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) {
    session_.Error(line, QStringLiteral("Value out of range for property %1").arg(wanted_));
  }
  return static_cast<int>(v);
}

std::int64_t TReader::ReadInt64() { return Take(TFormValueKind::Integer, "integer").integer; }

double TReader::ReadFloat() {
  const TFormValue* v = Peek();
  if (v != nullptr && v->kind == TFormValueKind::Integer) {
    return static_cast<double>(Take(TFormValueKind::Integer, "number").integer);
  }
  return Take(TFormValueKind::Float, "number").real;
}

bool TReader::ReadBoolean() {
  TValueType type = NextValue();
  if (type != vaTrue && type != vaFalse) {
    Error(QStringLiteral("Invalid value for property %1: True or False expected").arg(wanted_));
  }
  ++frames_.back().index;
  return type == vaTrue;
}

QString TReader::ReadString() { return Take(TFormValueKind::String, "string").text; }

QString TReader::ReadIdent() { return Take(TFormValueKind::Ident, "identifier").text; }

TWriter::TWriter(TComponent* root, std::vector<TFormProperty>& out, QString prefix)
    : TFiler(root), out_(out), prefix_(std::move(prefix)) {}

void TWriter::DefineProperty(const QString& name, const TReaderProc&, const TWriterProc& writeData,
                             bool hasData) {
  if (!hasData || !writeData) return;
  open_.clear();
  done_.clear();
  writeData(*this);
  if (!open_.empty()) throw EWriteError(QStringLiteral("Property %s: list not ended"), {name});
  if (done_.size() != 1) {
    throw EWriteError(QStringLiteral("Property %s must write exactly one value"), {name});
  }
  out_.push_back(TFormProperty{prefix_ + name, std::move(done_.front()), 0});
  done_.clear();
}

void TWriter::DefineBinaryProperty(const QString& name, const TStreamProc&,
                                   const TStreamProc& writeData, bool hasData) {
  if (!hasData || !writeData) return;
  TMemoryStream stream;
  writeData(stream);
  TFormValue value;
  value.kind = TFormValueKind::Binary;
  value.binary = stream.Bytes();
  out_.push_back(TFormProperty{prefix_ + name, std::move(value), 0});
}

void TWriter::Append(TFormValue value) {
  if (open_.empty()) {
    done_.push_back(std::move(value));
  } else {
    open_.back().list.push_back(std::move(value));
  }
}

void TWriter::WriteListBegin() {
  TFormValue list;
  list.kind = TFormValueKind::List;
  open_.push_back(std::move(list));
}

void TWriter::WriteListEnd() {
  if (open_.empty()) throw EWriteError(QStringLiteral("List end without a list"));
  TFormValue list = std::move(open_.back());
  open_.pop_back();
  Append(std::move(list));
}

void TWriter::WriteInteger(std::int64_t value) {
  TFormValue v;
  v.kind = TFormValueKind::Integer;
  v.integer = value;
  Append(std::move(v));
}

void TWriter::WriteFloat(double value) {
  if (!std::isfinite(value)) throw EWriteError(QStringLiteral("Invalid floating point value"));
  TFormValue v;
  v.kind = TFormValueKind::Float;
  v.real = value;
  Append(std::move(v));
}

void TWriter::WriteBoolean(bool value) {
  WriteIdent(value ? QStringLiteral("True") : QStringLiteral("False"));
}

void TWriter::WriteString(const QString& value) {
  TFormValue v;
  v.kind = TFormValueKind::String;
  v.text = value;
  Append(std::move(v));
}

void TWriter::WriteIdent(const QString& value) {
  QString plain = value;
  if (!IsValidIdent(plain.replace(u'.', u'_'))) {
    throw EWriteError(QStringLiteral("%s is not a valid identifier"), {value});
  }
  TFormValue v;
  v.kind = TFormValueKind::Ident;
  v.text = value;
  Append(std::move(v));
}
