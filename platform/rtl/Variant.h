#pragma once
// Variant: a value that carries its own type code, with the class library's
// conversions between types. A conversion that cannot be made raises
// EVariantError "Could not convert variant of type (From) into type (To)".

#include "platform/rtl/DateTime.h"

#include <QString>

#include <cstdint>

// Type codes as returned by VarType.
inline constexpr int varEmpty = 0x0000;
inline constexpr int varNull = 0x0001;
inline constexpr int varSmallint = 0x0002;
inline constexpr int varInteger = 0x0003;
inline constexpr int varSingle = 0x0004;
inline constexpr int varDouble = 0x0005;
inline constexpr int varCurrency = 0x0006;  // int64 scaled by 10000
inline constexpr int varDate = 0x0007;
inline constexpr int varOleStr = 0x0008;
inline constexpr int varBoolean = 0x000B;
inline constexpr int varString = 0x0100;

class Variant {
 public:
  Variant() = default;  // varEmpty (Unassigned)
  Variant(std::int16_t v) : type_(varSmallint), int_(v) {}
  Variant(int v) : type_(varInteger), int_(v) {}
  Variant(float v) : type_(varSingle), double_(v) {}
  Variant(double v) : type_(varDouble), double_(v) {}
  Variant(bool v) : type_(varBoolean), int_(v ? 1 : 0) {}
  Variant(const QString& v) : type_(varString), string_(v) {}
  Variant(const char* v) : Variant(QString::fromUtf8(v)) {}
  // Any other pointer would silently become a boolean.
  Variant(const void*) = delete;

  static Variant Null();
  // Currency value as its scaled integer (1.5 is 15000).
  static Variant FromCurrency(std::int64_t scaled);
  static Variant FromDateTime(TDateTime v);
  static Variant FromOleStr(const QString& v);

  int Type() const { return type_; }
  bool IsEmpty() const { return type_ == varEmpty; }
  bool IsNull() const { return type_ == varNull; }

  // Empty gives 0, False, "" and 0.0; Null converts to nothing.
  int AsInteger() const;              // floats rounded half to even; True is -1
  double AsDouble() const;
  QString AsString() const;           // booleans "True"/"False"
  bool AsBoolean() const;             // strings "True"/"False" or a number
  TDateTime AsDateTime() const;       // strings as DateTimeToStr writes them
  std::int64_t AsCurrency() const;    // scaled by 10000

  // Same type and same value.
  bool operator==(const Variant& other) const;

 private:
  Variant(int type, std::int64_t i, double d) : type_(type), int_(i), double_(d) {}
  [[noreturn]] void Fail(int toType) const;
  double NumberOrFail(int toType) const;

  int type_ = varEmpty;
  std::int64_t int_ = 0;     // small integer, integer, boolean (0/1), currency
  double double_ = 0.0;      // single, double, date
  QString string_;           // string, OLE string
};

inline const Variant Unassigned;

inline int VarType(const Variant& v) { return v.Type(); }

// The class library's name of a type code ("Integer", "String", ...).
QString VarTypeName(int type);
