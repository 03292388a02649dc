#pragma once
// The parsed form file: what the parser produces, the reader consumes and
// the writer builds before printing. Lines are 1-based lines of the file.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

struct TFormProperty;

enum class TFormValueKind { Integer, Float, String, Ident, Set, List, Collection, Binary };

// One item of a collection value: `item ... end`.
struct TFormItem {
  std::vector<TFormProperty> properties;
  int line = 0;
};

struct TFormValue {
  TFormValueKind kind = TFormValueKind::Integer;
  int line = 0;
  std::int64_t integer = 0;
  double real = 0;
  QString text;                   // String, Ident
  QStringList idents;             // Set
  std::vector<TFormValue> list;   // List
  std::vector<TFormItem> items;   // Collection
  QByteArray binary;              // Binary
};

struct TFormProperty {
  QString name;  // may be a dotted path ("Font.Name")
  TFormValue value;
  int line = 0;
};

struct TFormObject {
  QString name;  // empty for an unnamed object
  QString className;
  std::vector<TFormProperty> properties;
  std::vector<TFormObject> children;
  int line = 0;
};
