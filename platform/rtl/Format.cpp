#include "platform/rtl/Format.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr int kMaxFloatDigits = 18;

struct Directive {
  bool leftJustify = false;
  int width = -1;
  int precision = -1;
  QChar type;
};

[[noreturn]] void Invalid(const QString& fmt) {
  throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
}

// Cursor over the format text and the argument list.
class Formatter {
 public:
  Formatter(const QString& fmt, const TVarRec* args, int count)
      : fmt_(fmt), args_(args), count_(count) {}

  QString Run() {
    QString out;
    while (pos_ < fmt_.size()) {
      const QChar c = fmt_[pos_++];
      if (c != QLatin1Char('%'))
        out += c;
      else if (Peek() == QLatin1Char('%'))
        out += fmt_[pos_++];
      else
        out += Pad(Convert(ParseDirective()));
    }
    return out;
  }

 private:
  QChar Peek() const { return pos_ < fmt_.size() ? fmt_[pos_] : QChar(); }

  const TVarRec& NextArg() {
    if (argIndex_ >= count_)
      Invalid(fmt_);
    return args_[argIndex_++];
  }

  // A number or "*" (taken from the arguments); -1 when absent.
  int ParseNumber() {
    if (Peek() == QLatin1Char('*')) {
      ++pos_;
      const TVarRec& a = NextArg();
      if (!a.IsInteger())
        Invalid(fmt_);
      return static_cast<int>(std::clamp<std::int64_t>(a.AsInteger(), 0, 1 << 20));
    }
    if (!Peek().isDigit())
      return -1;
    std::int64_t n = 0;
    while (Peek().isDigit()) {
      n = std::min<std::int64_t>(n * 10 + Peek().digitValue(), 1 << 20);
      ++pos_;
    }
    return static_cast<int>(n);
  }

  Directive ParseDirective() {
    Directive d;
    int n = ParseNumber();
    if (Peek() == QLatin1Char(':')) {
      ++pos_;
      argIndex_ = std::max(n, 0);
      n = -1;
    }
    if (n < 0) {
      if (Peek() == QLatin1Char('-')) {
        ++pos_;
        d.leftJustify = true;
      }
      n = ParseNumber();
    }
    d.width = n;
    if (Peek() == QLatin1Char('.')) {
      ++pos_;
      d.precision = std::max(ParseNumber(), 0);
    }
    if (pos_ >= fmt_.size())
      Invalid(fmt_);
    d.type = fmt_[pos_++].toLower();
    directive_ = d;
    return d;
  }

  QString Pad(const QString& s) const {
    if (directive_.width <= s.size())
      return s;
    const QString fill(directive_.width - s.size(), QLatin1Char(' '));
    return directive_.leftJustify ? s + fill : fill + s;
  }

  QString Convert(const Directive& d);
  QString Integer(const Directive& d, const TVarRec& a);
  QString Float(const Directive& d, const TVarRec& a);

  const QString& fmt_;
  const TVarRec* args_;
  int count_;
  qsizetype pos_ = 0;
  int argIndex_ = 0;
  Directive directive_;
};

QString ZeroPad(QString digits, int precision) {
  if (precision > digits.size())
    digits.prepend(QString(precision - digits.size(), QLatin1Char('0')));
  return digits;
}

// Negative values within 32 bits are shown as their 32-bit pattern (the class
// library's Integer); wider values as 64 bits.
std::uint64_t AsUnsigned(std::int64_t v) {
  if (v < 0 && v >= std::numeric_limits<std::int32_t>::min())
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
  return static_cast<std::uint64_t>(v);
}

QString Formatter::Integer(const Directive& d, const TVarRec& a) {
  if (!a.IsInteger())
    Invalid(fmt_);
  const std::int64_t v = a.AsInteger();
  const char t = d.type.toLatin1();
  if (t == 'd') {
    const std::uint64_t mag = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    const QString digits = ZeroPad(QString::number(mag), d.precision);
    return v < 0 ? QLatin1Char('-') + digits : digits;
  }
  if (t == 'u')
    return ZeroPad(QString::number(AsUnsigned(v)), d.precision);
  return ZeroPad(QString::number(AsUnsigned(v), 16).toUpper(), d.precision);
}

QString Formatter::Float(const Directive& d, const TVarRec& a) {
  if (!a.IsFloat())
    Invalid(fmt_);
  const double v = a.AsFloat();
  switch (d.type.toLatin1()) {
    case 'e': return FormatFloatExponent(v, d.precision < 0 ? 15 : d.precision);
    case 'f': return FormatFloatFixed(v, d.precision < 0 ? 2 : d.precision, false);
    case 'g': return FormatFloatGeneral(v, d.precision < 0 ? 15 : d.precision);
    case 'n': return FormatFloatFixed(v, d.precision < 0 ? 2 : d.precision, true);
    default: return FormatFloatMoney(v, d.precision < 0 ? 2 : d.precision);
  }
}

QString Formatter::Convert(const Directive& d) {
  switch (d.type.toLatin1()) {
    case 'd':
    case 'u':
    case 'x':
      return Integer(d, NextArg());
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm':
      return Float(d, NextArg());
    case 'p': {
      const TVarRec& a = NextArg();
      if (!a.IsPointer())
        Invalid(fmt_);
      const auto bits = reinterpret_cast<std::uintptr_t>(a.AsPointer());
      return QString::number(bits, 16).toUpper().rightJustified(sizeof(void*) * 2, QLatin1Char('0'));
    }
    case 's': {
      const TVarRec& a = NextArg();
      if (!a.IsString())
        Invalid(fmt_);
      return d.precision >= 0 ? a.AsString().left(d.precision) : a.AsString();
    }
    default:
      Invalid(fmt_);
  }
}

// Special values as the class library writes them; empty for finite values.
QString NonFinite(double v) {
  if (std::isnan(v))
    return QStringLiteral("NAN");
  if (std::isinf(v))
    return v < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
  return {};
}

// A finite double as decimal digits: |v| = 0.d1d2d3... * 10^point. Digits
// come from the shortest text that reads back as v, so rounding works on the
// number as written (1.005 rounds to 1.01) and exact halves round away from 0.
struct Decimal {
  bool negative = false;
  std::string digits;  // no leading zeros; empty for zero
  int point = 0;

  // Digit of the place 10^power ('0' outside the digits).
  char At(int power) const {
    const int i = point - 1 - power;
    return i >= 0 && i < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(i)] : '0';
  }
  // Keeps `keep` leading digits (none when <= 0), rounding half away from zero.
  void Round(int keep);
  void StripTrailingZeros() {
    while (!digits.empty() && digits.back() == '0')
      digits.pop_back();
  }
};

void Decimal::Round(int keep) {
  if (keep >= static_cast<int>(digits.size()))
    return;
  const bool up = keep >= 0 && digits[static_cast<std::size_t>(keep)] >= '5';
  digits.resize(static_cast<std::size_t>(std::max(keep, 0)));
  if (up) {
    int i = keep - 1;
    while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9')
      digits[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++digits[static_cast<std::size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
      ++point;
    }
  }
  StripTrailingZeros();
}

Decimal ToDecimal(double v) {
  Decimal d;
  d.negative = std::signbit(v);
  if (v == 0.0)
    return d;
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific);
  const std::string text(buf, res.ptr);
  const std::size_t e = text.find('e');
  for (std::size_t i = 0; i < e; ++i) {
    if (text[i] != '.')
      d.digits += text[i];
  }
  d.point = std::atoi(text.c_str() + e + 1) + 1;
  d.StripTrailingZeros();
  return d;
}

QString Sign(const Decimal& d) {
  return d.negative && !d.digits.empty() ? QStringLiteral("-") : QString();
}

QString GroupThousands(const QString& intPart) {
  QString out;
  const qsizetype n = intPart.size();
  for (qsizetype i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0)
      out += QLatin1Char(',');
    out += intPart[i];
  }
  return out;
}

}  // namespace

QString FormatFloatFixed(double v, int decimals, bool thousands) {
  if (QString special = NonFinite(v); !special.isEmpty())
    return special;
  decimals = std::clamp(decimals, 0, kMaxFloatDigits);
  Decimal d = ToDecimal(v);
  d.Round(d.point + decimals);
  QString intPart;
  for (int p = std::max(d.point - 1, 0); p >= 0; --p)
    intPart += QLatin1Char(d.At(p));
  QString text = Sign(d) + (thousands ? GroupThousands(intPart) : intPart);
  if (decimals > 0) {
    text += QLatin1Char('.');
    for (int p = -1; p >= -decimals; --p)
      text += QLatin1Char(d.At(p));
  }
  return text;
}

QString FormatFloatExponent(double v, int digits) {
  if (QString special = NonFinite(v); !special.isEmpty())
    return special;
  digits = std::clamp(digits, 1, kMaxFloatDigits);
  Decimal d = ToDecimal(v);
  d.Round(digits);
  const int exponent = d.digits.empty() ? 0 : d.point - 1;
  d.digits.resize(static_cast<std::size_t>(digits), '0');
  QString text = Sign(d) + QLatin1Char(d.digits[0]);
  if (digits > 1)
    text += QLatin1Char('.') + QString::fromLatin1(d.digits.c_str() + 1);
  text += exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
  return text + QString::number(std::abs(exponent)).rightJustified(3, QLatin1Char('0'));
}

QString FormatFloatGeneral(double v, int digits) {
  if (QString special = NonFinite(v); !special.isEmpty())
    return special;
  digits = std::clamp(digits, 1, kMaxFloatDigits);
  Decimal d = ToDecimal(v);
  d.Round(digits);
  if (d.digits.empty())
    return QStringLiteral("0");
  const QString all = QString::fromLatin1(d.digits.c_str());
  // Fixed notation while the integer digits fit and |v| >= 0.00001.
  if (d.point <= digits && d.point >= -4) {
    if (d.point <= 0)
      return Sign(d) + QStringLiteral("0.") + QString(-d.point, QLatin1Char('0')) + all;
    if (all.size() <= d.point)
      return Sign(d) + all + QString(d.point - all.size(), QLatin1Char('0'));
    return Sign(d) + all.left(d.point) + QLatin1Char('.') + all.mid(d.point);
  }
  QString text = Sign(d) + all.left(1);
  if (all.size() > 1)
    text += QLatin1Char('.') + all.mid(1);
  return text + QLatin1Char('E') + QString::number(d.point - 1);
}

QString FormatFloatMoney(double v, int decimals) {
  if (QString special = NonFinite(v); !special.isEmpty())
    return special;
  const QString text = FormatFloatFixed(std::fabs(v), decimals, true);
  const bool negative = v < 0 && FormatFloatFixed(v, decimals, false).startsWith(QLatin1Char('-'));
  return negative ? QStringLiteral("($%1)").arg(text) : QStringLiteral("$") + text;
}

QString Format(const QString& fmt, const TVarRec* args, int count) {
  return Formatter(fmt, args, count).Run();
}

QString Format(const QString& fmt, std::initializer_list<TVarRec> args) {
  return Format(fmt, args.begin(), static_cast<int>(args.size()));
}
