#include "platform/rtl/Variant.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

namespace {

bool IsStringType(int type) { return type == varString || type == varOleStr; }

std::optional<double> NumberFromText(const QString& s) {
  const QString t = Trim(s);
  // Two defaults tell a parsed integer from a failure.
  const std::int64_t i = StrToInt64Def(t, 0);
  if (i == StrToInt64Def(t, 1))
    return static_cast<double>(i);
  const double d = StrToFloatDef(t, std::numeric_limits<double>::quiet_NaN());
  if (std::isnan(d))
    return std::nullopt;
  return d;
}

// "yyyy-mm-dd" with an optional " hh:nn[:ss]".
std::optional<TDateTime> DateFromText(const QString& s) {
  static const QRegularExpression re(
      QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})(?: (\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
  const QRegularExpressionMatch m = re.match(Trim(s));
  if (!m.hasMatch())
    return std::nullopt;
  auto part = [&m](int n) { return m.captured(n).isEmpty() ? 0 : m.captured(n).toInt(); };
  try {
    return EncodeDate(part(1), part(2), part(3)) + EncodeTime(part(4), part(5), part(6), 0);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

}  // namespace

QString VarTypeName(int type) {
  switch (type) {
    case varEmpty: return QStringLiteral("Empty");
    case varNull: return QStringLiteral("Null");
    case varSmallint: return QStringLiteral("Smallint");
    case varInteger: return QStringLiteral("Integer");
    case varSingle: return QStringLiteral("Single");
    case varDouble: return QStringLiteral("Double");
    case varCurrency: return QStringLiteral("Currency");
    case varDate: return QStringLiteral("Date");
    case varOleStr: return QStringLiteral("OleStr");
    case varBoolean: return QStringLiteral("Boolean");
    case varString: return QStringLiteral("String");
    default: return QStringLiteral("Unknown");
  }
}

Variant Variant::Null() { return Variant(varNull, 0, 0.0); }

Variant Variant::FromCurrency(std::int64_t scaled) { return Variant(varCurrency, scaled, 0.0); }

Variant Variant::FromDateTime(TDateTime v) { return Variant(varDate, 0, v); }

Variant Variant::FromOleStr(const QString& v) {
  Variant r(v);
  r.type_ = varOleStr;
  return r;
}

void Variant::Fail(int toType) const {
  throw EVariantError(QStringLiteral("Could not convert variant of type (%1) into type (%2)")
                          .arg(VarTypeName(type_), VarTypeName(toType)));
}

// The value as a number for the numeric conversions.
double Variant::NumberOrFail(int toType) const {
  switch (type_) {
    case varEmpty: return 0.0;
    case varSmallint:
    case varInteger: return static_cast<double>(int_);
    case varBoolean: return int_ ? -1.0 : 0.0;
    case varCurrency: return static_cast<double>(int_) / 10000.0;
    case varSingle:
    case varDouble:
    case varDate: return double_;
    case varString:
    case varOleStr:
      if (std::optional<double> d = NumberFromText(string_))
        return *d;
      break;
    default: break;
  }
  Fail(toType);
}

int Variant::AsInteger() const {
  if (type_ == varSmallint || type_ == varInteger)
    return static_cast<int>(int_);
  const double v = std::nearbyint(NumberOrFail(varInteger));
  if (!(v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max()))
    Fail(varInteger);
  return static_cast<int>(v);
}

double Variant::AsDouble() const { return NumberOrFail(varDouble); }

std::int64_t Variant::AsCurrency() const {
  if (type_ == varCurrency)
    return int_;
  const double v = std::nearbyint(NumberOrFail(varCurrency) * 10000.0);
  if (!(std::fabs(v) < 9.2e18))
    Fail(varCurrency);
  return static_cast<std::int64_t>(v);
}

QString Variant::AsString() const {
  switch (type_) {
    case varEmpty: return QString();
    case varSmallint:
    case varInteger: return IntToStr(int_);
    case varBoolean: return int_ ? QStringLiteral("True") : QStringLiteral("False");
    case varCurrency: return FloatToStr(static_cast<double>(int_) / 10000.0);
    case varSingle: return FormatFloatGeneral(double_, 7);
    case varDouble: return FloatToStr(double_);
    case varDate: return DateTimeToStr(double_);
    case varString:
    case varOleStr: return string_;
    default: Fail(varString);
  }
}

bool Variant::AsBoolean() const {
  if (type_ == varBoolean)
    return int_ != 0;
  if (IsStringType(type_)) {
    const QString t = Trim(string_);
    if (SameText(t, QStringLiteral("True")))
      return true;
    if (SameText(t, QStringLiteral("False")))
      return false;
  }
  return NumberOrFail(varBoolean) != 0.0;
}

TDateTime Variant::AsDateTime() const {
  if (IsStringType(type_)) {
    if (std::optional<TDateTime> d = DateFromText(string_))
      return *d;
    Fail(varDate);
  }
  return NumberOrFail(varDate);
}

bool Variant::operator==(const Variant& other) const {
  return type_ == other.type_ && int_ == other.int_ &&
         (double_ == other.double_ || (std::isnan(double_) && std::isnan(other.double_))) &&
         string_ == other.string_;
}
