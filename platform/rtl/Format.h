#pragma once
// Format: the class library's formatting routine.
// Directives: "%" [index ":"] ["-"] [width] ["." precision] type, with width and
// precision also given as "*" (taken from the arguments); types d u x e f g n m
// p s (upper and lower case). A mismatch of directive and argument, or too few
// arguments, raises EConvertError.

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <variant>

// One argument of Format (the class library's "array of const" element).
class TVarRec {
 public:
  TVarRec(int v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(long v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(long long v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(unsigned v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(unsigned long v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(unsigned long long v) : value_(static_cast<std::int64_t>(v)) {}
  TVarRec(double v) : value_(v) {}
  TVarRec(const QString& v) : value_(v) {}
  TVarRec(const char* v) : value_(QString::fromUtf8(v)) {}
  TVarRec(QChar v) : value_(QString(v)) {}
  TVarRec(const void* v) : value_(v) {}

  bool IsInteger() const { return std::holds_alternative<std::int64_t>(value_); }
  bool IsFloat() const { return std::holds_alternative<double>(value_); }
  bool IsString() const { return std::holds_alternative<QString>(value_); }
  bool IsPointer() const { return std::holds_alternative<const void*>(value_); }
  std::int64_t AsInteger() const { return std::get<std::int64_t>(value_); }
  double AsFloat() const { return std::get<double>(value_); }
  const QString& AsString() const { return std::get<QString>(value_); }
  const void* AsPointer() const { return std::get<const void*>(value_); }

 private:
  std::variant<std::int64_t, double, QString, const void*> value_;
};

QString Format(const QString& fmt, std::initializer_list<TVarRec> args);
QString Format(const QString& fmt, const TVarRec* args, int count);

// Float texts shared with the conversion routines ("." decimal point, ","
// thousands separator, no locale). Non-finite values give "NAN", "INF", "-INF".
// Fixed: `decimals` places, optionally with thousands separators.
QString FormatFloatFixed(double v, int decimals, bool thousands);
// Scientific: `digits` significant digits, exponent "E+000" form.
QString FormatFloatExponent(double v, int digits);
// General: shortest of fixed and scientific ("1E20") with at most `digits`
// significant digits and no trailing zeros.
QString FormatFloatGeneral(double v, int digits);
// Money: "$1,234.50", negative "($1,234.50)".
QString FormatFloatMoney(double v, int decimals);
