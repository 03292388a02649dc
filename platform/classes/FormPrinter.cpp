// Prints a parsed form as text: two blanks of indentation per level, long
// strings split into pieces joined by '+', lists and collections one entry
// per line, binary data 64 hex digits per line.

#include "platform/classes/FormWriter.h"

#include <QString>

#include <charconv>

namespace {

constexpr int kStringPiece = 64;  // UTF-16 units per string piece
constexpr int kBinaryLine = 32;   // bytes per line of binary data

QString Indent(int level) { return QString(level * 2, u' '); }

// Printable characters go inside quotes; controls and lone surrogates
// become #nnn codes.
bool NeedsCode(const QString& s, qsizetype i) {
  QChar c = s[i];
  if (c.unicode() < 32 || c.unicode() == 127) return true;
  if (c.isHighSurrogate()) return i + 1 >= s.size() || !s[i + 1].isLowSurrogate();
  if (c.isLowSurrogate()) return i == 0 || !s[i - 1].isHighSurrogate();
  return false;
}

QString QuotePiece(const QString& s) {
  QString out;
  bool open = false;
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (NeedsCode(s, i)) {
      if (open) out.append(u'\'');
      open = false;
      out.append(u'#').append(QString::number(s[i].unicode()));
      continue;
    }
    if (!open) out.append(u'\'');
    open = true;
    if (s[i] == u'\'') out.append(u'\'');
    out.append(s[i]);
  }
  if (open) out.append(u'\'');
  return out.isEmpty() ? QStringLiteral("''") : out;
}

QString PrintString(const QString& s, int level) {
  if (s.size() <= kStringPiece) return QuotePiece(s);
  QString out;
  qsizetype pos = 0;
  while (pos < s.size()) {
    qsizetype len = std::min<qsizetype>(kStringPiece, s.size() - pos);
    // Keep a surrogate pair in one piece.
    if (pos + len < s.size() && s[pos + len - 1].isHighSurrogate() && s[pos + len].isLowSurrogate()) {
      ++len;
    }
    out.append(pos == 0 ? QStringLiteral("\n") : QStringLiteral(" +\n"));
    out.append(Indent(level + 1)).append(QuotePiece(s.mid(pos, len)));
    pos += len;
  }
  return out;
}

QString PrintFloat(double v) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
  QString text = QString::fromLatin1(buffer, result.ptr - buffer);
  if (!text.contains(u'.') && !text.contains(u'e')) text.append(QStringLiteral(".0"));
  return text;
}

QString PrintBinary(const QByteArray& bytes, int level) {
  QString out = QStringLiteral("{");
  for (qsizetype pos = 0; pos < bytes.size(); pos += kBinaryLine) {
    out.append(u'\n').append(Indent(level + 1));
    out.append(QString::fromLatin1(bytes.mid(pos, kBinaryLine).toHex().toUpper()));
  }
  return out.append(u'}');
}

QString PrintValue(const TFormValue& v, int level);
void PrintProperties(const std::vector<TFormProperty>& properties, int level, QString& out);

QString PrintList(const TFormValue& v, int level) {
  QString out = QStringLiteral("(");
  for (const TFormValue& item : v.list) {
    out.append(u'\n').append(Indent(level + 1)).append(PrintValue(item, level + 1));
  }
  return out.append(u')');
}

QString PrintCollection(const TFormValue& v, int level) {
  QString out = QStringLiteral("<");
  for (const TFormItem& item : v.items) {
    out.append(u'\n').append(Indent(level + 1)).append(QStringLiteral("item\n"));
    PrintProperties(item.properties, level + 2, out);
    out.append(Indent(level + 1)).append(QStringLiteral("end"));
  }
  return out.append(u'>');
}

QString PrintValue(const TFormValue& v, int level) {
  switch (v.kind) {
    case TFormValueKind::Integer:
      return QString::number(v.integer);
    case TFormValueKind::Float:
      return PrintFloat(v.real);
    case TFormValueKind::String:
      return PrintString(v.text, level);
    case TFormValueKind::Ident:
      return v.text;
    case TFormValueKind::Set:
      return u'[' + v.idents.join(QStringLiteral(", ")) + u']';
    case TFormValueKind::List:
      return PrintList(v, level);
    case TFormValueKind::Collection:
      return PrintCollection(v, level);
    case TFormValueKind::Binary:
      return PrintBinary(v.binary, level);
  }
  return {};
}

void PrintProperties(const std::vector<TFormProperty>& properties, int level, QString& out) {
  for (const TFormProperty& p : properties) {
    out.append(Indent(level)).append(p.name).append(QStringLiteral(" = "));
    out.append(PrintValue(p.value, level)).append(u'\n');
  }
}

void PrintObject(const TFormObject& object, int level, QString& out) {
  out.append(Indent(level)).append(QStringLiteral("object "));
  if (!object.name.isEmpty()) out.append(object.name).append(QStringLiteral(": "));
  out.append(object.className).append(u'\n');
  PrintProperties(object.properties, level + 1, out);
  for (const TFormObject& child : object.children) PrintObject(child, level + 1, out);
  out.append(Indent(level)).append(QStringLiteral("end\n"));
}

}  // namespace

QByteArray PrintFormText(const TFormObject& object) {
  QString out;
  PrintObject(object, 0, out);
  return out.toUtf8();
}
