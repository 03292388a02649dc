#include "platform/classes/FormLexer.h"

#include "platform/classes/FormParser.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace form_detail {

namespace {

bool IsIdentStart(QChar c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsIdentChar(QChar c) { return IsIdentStart(c) || IsDigit(c) || c == u'.'; }
int HexValue(QChar c) {
  if (IsDigit(c)) return c.unicode() - u'0';
  if (c >= u'A' && c <= u'F') return c.unicode() - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c.unicode() - u'a' + 10;
  return -1;
}

}  // namespace

void Lexer::Fail(int line, const QString& message) const { RaiseFormError(fileName_, line, message); }

bool Lexer::SkipLineBreak() {
  QChar c = At(pos_);
  if (c != u'\n' && c != u'\r') return false;
  ++pos_;
  if (c == u'\r' && At(pos_) == u'\n') ++pos_;
  ++line_;
  return true;
}

void Lexer::SkipSpace() {
  while (!AtEnd()) {
    if (SkipLineBreak()) continue;
    QChar c = At(pos_);
    if (c != u' ' && c != u'\t') return;
    ++pos_;
  }
}

Token Lexer::Next() {
  SkipSpace();
  Token t;
  t.line = line_;
  if (AtEnd()) return t;
  QChar c = At(pos_);
  if (IsIdentStart(c)) return LexIdent();
  if (IsDigit(c) || c == u'-' || c == u'$') return LexNumber();
  if (c == u'\'' || c == u'#') return LexString();
  if (c == u'{') return LexBinary();
  if (QStringLiteral("=:[](),<>+").contains(c)) {
    ++pos_;
    t.kind = Tok::Symbol;
    t.symbol = c.unicode();
    return t;
  }
  Fail(line_, c.isPrint() ? QStringLiteral("Invalid character '%1'").arg(c)
                          : QStringLiteral("Invalid character #%1").arg(c.unicode()));
}

Token Lexer::LexIdent() {
  Token t;
  t.kind = Tok::Ident;
  t.line = line_;
  qsizetype start = pos_;
  while (!AtEnd() && IsIdentChar(At(pos_))) ++pos_;
  t.text = text_.mid(start, pos_ - start);
  return t;
}

// Digits of base 10 or 16 at the position, accumulated up to limit.
std::uint64_t Lexer::LexDigits(int base, std::uint64_t limit, int line) {
  std::uint64_t value = 0;
  int count = 0;
  for (; !AtEnd(); ++pos_, ++count) {
    int d = base == 16 ? HexValue(At(pos_)) : (IsDigit(At(pos_)) ? At(pos_).unicode() - u'0' : -1);
    if (d < 0) break;
    if (value > (limit - static_cast<std::uint64_t>(d)) / static_cast<std::uint64_t>(base)) {
      Fail(line, QStringLiteral("Number too large"));
    }
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
  }
  if (count == 0) Fail(line, QStringLiteral("Invalid number"));
  return value;
}

Token Lexer::LexNumber() {
  Token t;
  t.line = line_;
  qsizetype start = pos_;
  bool negative = At(pos_) == u'-';
  if (negative) ++pos_;
  // int64 range: one more on the negative side.
  std::uint64_t limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) +
                        (negative ? 1 : 0);
  bool hex = At(pos_) == u'$';
  if (hex) ++pos_;
  std::uint64_t magnitude = LexDigits(hex ? 16 : 10, limit, t.line);
  bool isFloat = false;
  if (!hex && At(pos_) == u'.' && IsDigit(At(pos_ + 1))) {
    isFloat = true;
    ++pos_;
    while (IsDigit(At(pos_))) ++pos_;
  }
  if (!hex && (At(pos_) == u'e' || At(pos_) == u'E')) {
    qsizetype exp = pos_ + 1;
    if (At(exp) == u'+' || At(exp) == u'-') ++exp;
    if (IsDigit(At(exp))) {
      isFloat = true;
      pos_ = exp;
      while (IsDigit(At(pos_))) ++pos_;
    }
  }
  if (IsIdentChar(At(pos_))) Fail(t.line, QStringLiteral("Invalid number"));
  if (isFloat) {
    QByteArray digits = text_.mid(start, pos_ - start).toLatin1();
    double value = 0;
    auto result = std::from_chars(digits.constData(), digits.constData() + digits.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
      Fail(t.line, QStringLiteral("Number out of range"));
    }
    t.kind = Tok::Float;
    t.real = value;
    return t;
  }
  t.kind = Tok::Integer;
  t.integer = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
  return t;
}

void Lexer::LexQuoted(QString& out) {
  int line = line_;
  ++pos_;  // opening quote
  for (;;) {
    QChar c = At(pos_);
    if (AtEnd() || c == u'\n' || c == u'\r') Fail(line, QStringLiteral("Unterminated string"));
    ++pos_;
    if (c == u'\'') {
      if (At(pos_) != u'\'') return;
      ++pos_;
    }
    out.append(c);
  }
}

void Lexer::LexCharCode(QString& out) {
  ++pos_;  // '#'
  if (!IsDigit(At(pos_))) Fail(line_, QStringLiteral("Invalid character code"));
  std::uint32_t code = 0;
  while (IsDigit(At(pos_))) {
    code = code * 10 + (At(pos_).unicode() - u'0');
    if (code > 0x10FFFF) Fail(line_, QStringLiteral("Invalid character code"));
    ++pos_;
  }
  if (code > 0xFFFF) {
    out.append(QChar(QChar::highSurrogate(code)));
    out.append(QChar(QChar::lowSurrogate(code)));
  } else {
    out.append(QChar(static_cast<char16_t>(code)));
  }
}

Token Lexer::LexString() {
  Token t;
  t.kind = Tok::String;
  t.line = line_;
  for (;;) {
    QChar c = At(pos_);
    if (AtEnd() || (c != u'\'' && c != u'#')) return t;
    if (c == u'\'') {
      LexQuoted(t.text);
    } else {
      LexCharCode(t.text);
    }
  }
}

Token Lexer::LexBinary() {
  Token t;
  t.kind = Tok::Binary;
  t.line = line_;
  ++pos_;  // '{'
  int high = -1;
  for (;;) {
    if (AtEnd()) Fail(t.line, QStringLiteral("Unterminated binary value"));
    if (SkipLineBreak()) continue;
    QChar c = At(pos_++);
    if (c == u' ' || c == u'\t') continue;
    if (c == u'}') break;
    int d = HexValue(c);
    if (d < 0) Fail(line_, QStringLiteral("Invalid binary value"));
    if (high < 0) {
      high = d;
    } else {
      t.binary.append(static_cast<char>(high * 16 + d));
      high = -1;
    }
  }
  if (high >= 0) Fail(line_, QStringLiteral("Invalid binary value: odd number of digits"));
  return t;
}

}  // namespace form_detail
