#include "platform/classes/FormParser.h"

#include "platform/classes/FormLexer.h"

#include "platform/rtl/Exceptions.h"

#include <QStringDecoder>


void RaiseFormError(const QString& fileName, int line, const QString& message) {
  throw EReadError(QStringLiteral("%s(%d): %s"), {fileName, line, message});
}

namespace {

using form_detail::Lexer;
using form_detail::Tok;
using form_detail::Token;

class Parser {
 public:
  explicit Parser(Lexer& lexer) : lexer_(lexer) {}

  TFormObject ParseFile() {
    Advance();
    if (!IsKeyword("object")) Fail(QStringLiteral("'object' expected"));
    TFormObject root = ParseObject();
    if (token_.kind != Tok::End) Fail(QStringLiteral("End of file expected"));
    return root;
  }

 private:
  // Counts one level of nesting while it lives.
  class Nesting {
   public:
    explicit Nesting(Parser& p) : p_(p) {
      if (++p_.depth_ > kMaxFormNesting) {
        p_.Fail(QStringLiteral("Nesting deeper than %1 levels").arg(kMaxFormNesting));
      }
    }
    ~Nesting() { --p_.depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

   private:
    Parser& p_;
  };

  void Advance() { token_ = lexer_.Next(); }
  [[noreturn]] void Fail(const QString& message) const { lexer_.Fail(token_.line, message); }
  bool IsKeyword(const char* keyword) const {
    return token_.kind == Tok::Ident &&
           token_.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
  }
  bool IsSymbol(char16_t symbol) const {
    return token_.kind == Tok::Symbol && token_.symbol == symbol;
  }
  void Expect(char16_t symbol) {
    if (!IsSymbol(symbol)) Fail(QStringLiteral("'%1' expected").arg(QChar(symbol)));
    Advance();
  }
  bool IsReserved() const { return IsKeyword("end") || IsKeyword("object"); }
  QString ExpectIdent(const char* what) {
    if (token_.kind != Tok::Ident || IsReserved()) {
      Fail(QStringLiteral("%1 expected").arg(QLatin1String(what)));
    }
    QString text = token_.text;
    Advance();
    return text;
  }

  TFormObject ParseObject();
  TFormProperty ParseProperty();
  TFormValue ParseValue();
  void ParseString(TFormValue& v);
  void ParseSet(TFormValue& v);
  void ParseList(TFormValue& v);
  void ParseCollection(TFormValue& v);
  TFormItem ParseItem();

  Lexer& lexer_;
  Token token_;
  int depth_ = 0;
};

TFormObject Parser::ParseObject() {
  Nesting nesting(*this);
  TFormObject object;
  object.line = token_.line;
  Advance();  // 'object'
  QString first = ExpectIdent("Object name");
  if (IsSymbol(u':')) {
    Advance();
    object.name = first;
    object.className = ExpectIdent("Class name");
  } else {
    object.className = first;
  }
  for (;;) {
    if (token_.kind == Tok::End) Fail(QStringLiteral("'end' expected"));
    if (IsKeyword("end")) break;
    if (IsKeyword("object")) {
      object.children.push_back(ParseObject());
    } else {
      object.properties.push_back(ParseProperty());
    }
  }
  Advance();  // 'end'
  return object;
}

TFormProperty Parser::ParseProperty() {
  TFormProperty property;
  property.line = token_.line;
  property.name = ExpectIdent("Property name");
  Expect(u'=');
  property.value = ParseValue();
  return property;
}

TFormValue Parser::ParseValue() {
  TFormValue v;
  v.line = token_.line;
  switch (token_.kind) {
    case Tok::Integer:
      v.kind = TFormValueKind::Integer;
      v.integer = token_.integer;
      break;
    case Tok::Float:
      v.kind = TFormValueKind::Float;
      v.real = token_.real;
      break;
    case Tok::Ident:
      if (IsReserved()) Fail(QStringLiteral("Value expected"));
      v.kind = TFormValueKind::Ident;
      v.text = token_.text;
      break;
    case Tok::Binary:
      v.kind = TFormValueKind::Binary;
      v.binary = token_.binary;
      break;
    case Tok::String:
      ParseString(v);
      return v;
    case Tok::Symbol:
      if (IsSymbol(u'[')) {
        ParseSet(v);
      } else if (IsSymbol(u'(')) {
        ParseList(v);
      } else if (IsSymbol(u'<')) {
        ParseCollection(v);
      } else {
        Fail(QStringLiteral("Value expected"));
      }
      return v;
    case Tok::End:
      Fail(QStringLiteral("Value expected"));
  }
  Advance();
  return v;
}

void Parser::ParseString(TFormValue& v) {
  v.kind = TFormValueKind::String;
  v.text = token_.text;
  Advance();
  while (IsSymbol(u'+')) {
    Advance();
    if (token_.kind != Tok::String) Fail(QStringLiteral("String expected"));
    v.text.append(token_.text);
    Advance();
  }
}

void Parser::ParseSet(TFormValue& v) {
  v.kind = TFormValueKind::Set;
  Advance();  // '['
  if (IsSymbol(u']')) {
    Advance();
    return;
  }
  for (;;) {
    v.idents.append(ExpectIdent("Set element"));
    if (!IsSymbol(u',')) break;
    Advance();
  }
  Expect(u']');
}

void Parser::ParseList(TFormValue& v) {
  Nesting nesting(*this);
  v.kind = TFormValueKind::List;
  Advance();  // '('
  while (!IsSymbol(u')')) {
    if (token_.kind == Tok::End || IsReserved()) Fail(QStringLiteral("')' expected"));
    v.list.push_back(ParseValue());
  }
  Advance();
}

void Parser::ParseCollection(TFormValue& v) {
  Nesting nesting(*this);
  v.kind = TFormValueKind::Collection;
  Advance();  // '<'
  while (!IsSymbol(u'>')) {
    if (!IsKeyword("item")) Fail(QStringLiteral("'item' expected"));
    v.items.push_back(ParseItem());
  }
  Advance();
}

TFormItem Parser::ParseItem() {
  TFormItem item;
  item.line = token_.line;
  Advance();  // 'item'
  while (!IsKeyword("end")) {
    if (token_.kind == Tok::End) Fail(QStringLiteral("'end' expected"));
    item.properties.push_back(ParseProperty());
  }
  Advance();
  return item;
}

// Decodes UTF-8; an invalid sequence fails naming its line.
QString DecodeUtf8(const QByteArray& utf8, const QString& fileName) {
  QByteArray bytes = utf8.startsWith("\xEF\xBB\xBF") ? utf8.mid(3) : utf8;
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (!decoder.hasError()) return text;
  int line = 1;
  for (const QByteArray& chunk : bytes.split('\n')) {
    QStringDecoder lineDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = lineDecoder.decode(chunk);
    if (lineDecoder.hasError()) break;
    ++line;
  }
  RaiseFormError(fileName, line, QStringLiteral("Invalid UTF-8 text"));
}

}  // namespace

TFormObject ParseFormText(const QByteArray& utf8, const QString& fileName) {
  QString text = DecodeUtf8(utf8, fileName);
  Lexer lexer(text, fileName);
  Parser parser(lexer);
  return parser.ParseFile();
}
