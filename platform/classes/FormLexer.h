#pragma once
// The tokenizer of the form format (internal to the parser). Tokens carry
// the 1-based line they start on; errors raise EReadError through
// RaiseFormError.

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace form_detail {

enum class Tok { End, Ident, Integer, Float, String, Binary, Symbol };

struct Token {
  Tok kind = Tok::End;
  int line = 1;
  QString text;  // Ident, String
  std::int64_t integer = 0;
  double real = 0;
  QByteArray binary;
  char16_t symbol = 0;
};

class Lexer {
 public:
  Lexer(const QString& text, const QString& fileName) : text_(text), fileName_(fileName) {}

  Token Next();
  [[noreturn]] void Fail(int line, const QString& message) const;

 private:
  QChar At(qsizetype pos) const { return pos < text_.size() ? text_[pos] : QChar(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  bool SkipLineBreak();
  void SkipSpace();
  Token LexIdent();
  Token LexNumber();
  std::uint64_t LexDigits(int base, std::uint64_t limit, int line);
  Token LexString();
  void LexQuoted(QString& out);
  void LexCharCode(QString& out);
  Token LexBinary();

  const QString& text_;
  QString fileName_;
  qsizetype pos_ = 0;
  int line_ = 1;
};

}  // namespace form_detail
