#include "platform/rtl/StrUtils.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

int HexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9')
    return u - '0';
  if (u >= 'A' && u <= 'F')
    return u - 'A' + 10;
  if (u >= 'a' && u <= 'f')
    return u - 'a' + 10;
  return -1;
}

// Parses [sign] (digits | "$" hexdigits | "0x" hexdigits). Decimal must fit
// int64 with its sign; hex is a bit pattern of at most 64 bits.
std::optional<std::int64_t> ParseInteger(const QString& s, bool* isHex) {
  qsizetype i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
    negative = s[i++] == QLatin1Char('-');
  int base = 10;
  if (i < s.size() && s[i] == QLatin1Char('$')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == QLatin1Char('0') && (s[i + 1] == QLatin1Char('x') || s[i + 1] == QLatin1Char('X'))) {
    base = 16;
    i += 2;
  }
  *isHex = base == 16;
  if (i >= s.size())
    return std::nullopt;
  const std::uint64_t limit = base == 16 ? std::numeric_limits<std::uint64_t>::max()
                              : negative ? std::uint64_t{1} << 63
                                         : (std::uint64_t{1} << 63) - 1;
  std::uint64_t value = 0;
  for (; i < s.size(); ++i) {
    const int d = HexDigit(s[i]);
    if (d < 0 || d >= base || value > (limit - static_cast<std::uint64_t>(d)) / static_cast<std::uint64_t>(base))
      return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
  }
  return static_cast<std::int64_t>(negative ? 0 - value : value);
}

[[noreturn]] void NotInteger(const QString& s) {
  throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

std::optional<int> ParseInt32(const QString& s) {
  bool isHex = false;
  const std::optional<std::int64_t> v = ParseInteger(s, &isHex);
  if (!v)
    return std::nullopt;
  // Hex up to 32 bits is a bit pattern ("$FFFFFFFF" is -1).
  if (isHex && *v >= 0 && *v <= 0xFFFFFFFFLL)
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(*v));
  if (*v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
    return std::nullopt;
  return static_cast<int>(*v);
}

bool IsDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

qsizetype SkipDigits(const QString& s, qsizetype i) {
  while (i < s.size() && IsDigit(s[i]))
    ++i;
  return i;
}

// [sign] digits ["." digits] [("E"|"e") [sign] digits], at least one mantissa digit.
bool IsFloatSyntax(const QString& s) {
  qsizetype i = 0;
  if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
    ++i;
  const qsizetype intStart = i;
  i = SkipDigits(s, i);
  qsizetype mantissaDigits = i - intStart;
  if (i < s.size() && s[i] == QLatin1Char('.')) {
    const qsizetype fracStart = ++i;
    i = SkipDigits(s, i);
    mantissaDigits += i - fracStart;
  }
  if (mantissaDigits == 0)
    return false;
  if (i < s.size() && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
    ++i;
    if (i < s.size() && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
      ++i;
    const qsizetype expStart = i;
    i = SkipDigits(s, i);
    if (i == expStart)
      return false;
  }
  return i == s.size();
}

std::optional<double> ParseFloat(const QString& s) {
  const QString t = Trim(s);
  if (!IsFloatSyntax(t))
    return std::nullopt;
  bool ok = false;
  const double v = t.toDouble(&ok);  // C locale, whatever the process locale
  if (!ok || !std::isfinite(v))
    return std::nullopt;
  return v;
}

bool IsBlank(QChar c) { return c.unicode() <= ' '; }

char16_t AsciiUpper(char16_t u) { return u >= 'a' && u <= 'z' ? u - 32 : u; }
char16_t AsciiLower(char16_t u) { return u >= 'A' && u <= 'Z' ? u + 32 : u; }

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

qsizetype LastDelimiter(const QString& s) { return s.lastIndexOf(PathDelim); }

// Index of the extension's '.', or -1 when the name part has none.
qsizetype ExtensionDot(const QString& fileName) {
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  return dot > LastDelimiter(fileName) ? dot : -1;
}

}  // namespace

QString IntToStr(int value) { return QString::number(value); }
QString IntToStr(long value) { return QString::number(value); }
QString IntToStr(long long value) { return QString::number(value); }

QString IntToHex(std::int64_t value, int digits) {
  return Format(QStringLiteral("%.*x"), {std::max(digits, 0), value});
}

int StrToInt(const QString& s) {
  const std::optional<int> v = ParseInt32(s);
  if (!v)
    NotInteger(s);
  return *v;
}

int StrToIntDef(const QString& s, int def) { return ParseInt32(s).value_or(def); }

std::int64_t StrToInt64(const QString& s) {
  bool isHex = false;
  const std::optional<std::int64_t> v = ParseInteger(s, &isHex);
  if (!v)
    NotInteger(s);
  return *v;
}

std::int64_t StrToInt64Def(const QString& s, std::int64_t def) {
  bool isHex = false;
  return ParseInteger(s, &isHex).value_or(def);
}

QString FloatToStr(double value) { return FormatFloatGeneral(value, 15); }

double StrToFloat(const QString& s) {
  const std::optional<double> v = ParseFloat(s);
  if (!v)
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
  return *v;
}

double StrToFloatDef(const QString& s, double def) { return ParseFloat(s).value_or(def); }

QString BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs)
    return value ? QStringLiteral("True") : QStringLiteral("False");
  return value ? QStringLiteral("-1") : QStringLiteral("0");
}

QString Trim(const QString& s) { return TrimRight(TrimLeft(s)); }

QString TrimLeft(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  return s.mid(i);
}

QString TrimRight(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && IsBlank(s[n - 1]))
    --n;
  return s.left(n);
}

QString UpperCase(const QString& s) {
  QString r = s;
  for (QChar& c : r)
    c = QChar(AsciiUpper(c.unicode()));
  return r;
}

QString LowerCase(const QString& s) {
  QString r = s;
  for (QChar& c : r)
    c = QChar(AsciiLower(c.unicode()));
  return r;
}

int CompareStr(const QString& a, const QString& b) {
  return Sign(a.compare(b, Qt::CaseSensitive));
}

int CompareText(const QString& a, const QString& b) {
  const qsizetype n = std::min(a.size(), b.size());
  for (qsizetype i = 0; i < n; ++i) {
    const int d = AsciiUpper(a[i].unicode()) - AsciiUpper(b[i].unicode());
    if (d != 0)
      return Sign(d);
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool SameText(const QString& a, const QString& b) { return CompareText(a, b) == 0; }

QString AnsiUpperCase(const QString& s) { return s.toUpper(); }
QString AnsiLowerCase(const QString& s) { return s.toLower(); }

int AnsiCompareText(const QString& a, const QString& b) {
  return Sign(a.compare(b, Qt::CaseInsensitive));
}

bool AnsiSameText(const QString& a, const QString& b) { return AnsiCompareText(a, b) == 0; }

QString QuotedStr(const QString& s) { return AnsiQuotedStr(s, QLatin1Char('\'')); }

QString AnsiQuotedStr(const QString& s, QChar quote) {
  QString doubled = s;
  doubled.replace(quote, QString(2, quote));
  return quote + doubled + quote;
}

QString StringOfChar(QChar c, int count) { return QString(std::max(count, 0), c); }

int Pos(const QString& sub, const QString& s) {
  if (sub.isEmpty())
    return 0;
  return static_cast<int>(s.indexOf(sub)) + 1;
}

QString Copy(const QString& s, int index, int count) {
  if (count <= 0 || index > s.size())
    return {};
  const qsizetype start = std::max(index, 1) - 1;
  return s.mid(start, count);
}

QString ExtractFilePath(const QString& fileName) {
  return fileName.left(LastDelimiter(fileName) + 1);
}

QString ExtractFileDir(const QString& fileName) {
  const qsizetype i = LastDelimiter(fileName);
  // The root keeps its delimiter; "/a" is in "/".
  return fileName.left(i > 0 ? i : i + 1);
}

QString ExtractFileName(const QString& fileName) {
  return fileName.mid(LastDelimiter(fileName) + 1);
}

QString ExtractFileExt(const QString& fileName) {
  const qsizetype dot = ExtensionDot(fileName);
  return dot < 0 ? QString() : fileName.mid(dot);
}

QString ChangeFileExt(const QString& fileName, const QString& ext) {
  const qsizetype dot = ExtensionDot(fileName);
  return (dot < 0 ? fileName : fileName.left(dot)) + ext;
}

QString IncludeTrailingPathDelimiter(const QString& s) {
  return s.endsWith(PathDelim) ? s : s + PathDelim;
}

QString ExcludeTrailingPathDelimiter(const QString& s) {
  return s.endsWith(PathDelim) ? s.chopped(1) : s;
}
