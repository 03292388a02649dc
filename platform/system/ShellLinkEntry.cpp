#include "platform/system/ShellLinkEntry.h"

namespace {

const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");

bool IsUncarriedControl(QChar c) {
  return (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
          c != QLatin1Char('\t')) ||
         c.unicode() == 0x7F;
}

void CheckCarried(const QString& text) {
  for (QChar c : text)
    if (IsUncarriedControl(c))
      throw EDesktopEntryError(
          QStringLiteral("A desktop entry cannot hold the control character %1 in \"%2\"")
              .arg(c.unicode())
              .arg(QString(text).replace(c, QLatin1Char('?'))));
}

QString QuoteExecArgument(const QString& arg) {
  bool quote = arg.isEmpty();
  for (QChar c : arg)
    quote = quote || kReserved.contains(c) || c == QLatin1Char('\r');
  QString out;
  if (quote)
    out += QLatin1Char('"');
  for (QChar c : arg) {
    if (quote && QStringLiteral("\"`$\\").contains(c))
      out += QLatin1Char('\\');
    if (c == QLatin1Char('%'))
      out += QLatin1Char('%');
    out += c;
  }
  if (quote)
    out += QLatin1Char('"');
  return out;
}

}  // namespace

QString EscapeDesktopString(const QString& value) {
  CheckCarried(value);
  QString out;
  out.reserve(value.size());
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c == QLatin1Char('\\'))
      out += QStringLiteral("\\\\");
    else if (c == QLatin1Char('\n'))
      out += QStringLiteral("\\n");
    else if (c == QLatin1Char('\r'))
      out += QStringLiteral("\\r");
    else if (c == QLatin1Char('\t'))
      out += QStringLiteral("\\t");
    else if (c == QLatin1Char(' ') && i == 0)
      out += QStringLiteral("\\s");
    else
      out += c;
  }
  return out;
}

QString UnescapeDesktopString(const QString& escaped) {
  QString out;
  out.reserve(escaped.size());
  for (qsizetype i = 0; i < escaped.size(); ++i) {
    const QChar c = escaped[i];
    if (c != QLatin1Char('\\') || i + 1 == escaped.size()) {
      out += c;
      continue;
    }
    const QChar next = escaped[++i];
    switch (next.unicode()) {
      case '\\': out += QLatin1Char('\\'); break;
      case 'n': out += QLatin1Char('\n'); break;
      case 'r': out += QLatin1Char('\r'); break;
      case 't': out += QLatin1Char('\t'); break;
      case 's': out += QLatin1Char(' '); break;
      default: out += c; out += next; break;
    }
  }
  return out;
}

QString DesktopExecValue(const QStringList& argv) {
  if (argv.isEmpty() || argv.first().isEmpty())
    throw EDesktopEntryError(QStringLiteral("A desktop entry needs a program to run"));
  if (argv.first().contains(QLatin1Char('=')))
    throw EDesktopEntryError(
        QStringLiteral("A desktop entry cannot run a program whose path holds \"=\": \"%1\"")
            .arg(argv.first()));
  QStringList quoted;
  for (const QString& arg : argv) {
    CheckCarried(arg);
    quoted << QuoteExecArgument(arg);
  }
  return EscapeDesktopString(quoted.join(QLatin1Char(' ')));
}

std::optional<QStringList> SplitDesktopExec(const QString& text) {
  QStringList argv;
  QString current;
  bool inArg = false;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == QLatin1Char('"')) {
        quoted = false;
      } else if (c == QLatin1Char('\\') && i + 1 < text.size() &&
                 QStringLiteral("\"`$\\").contains(text[i + 1])) {
        current += text[++i];
      } else if (c == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == c) {
        current += text[++i];
      } else {
        current += c;
      }
    } else if (c == QLatin1Char(' ')) {
      if (inArg)
        argv << current;
      current.clear();
      inArg = false;
    } else if (c == QLatin1Char('"')) {
      quoted = inArg = true;
    } else if (kReserved.contains(c)) {
      return std::nullopt;
    } else if (c == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == c) {
      current += text[++i];
      inArg = true;
    } else {
      current += c;
      inArg = true;
    }
  }
  if (quoted)
    return std::nullopt;
  if (inArg)
    argv << current;
  return argv;
}

std::optional<QMap<QString, QString>> ReadDesktopGroup(const QByteArray& text,
                                                       const QString& group) {
  const QString header = QLatin1Char('[') + group + QLatin1Char(']');
  std::optional<QMap<QString, QString>> keys;
  bool inGroup = false;
  for (QByteArray rawLine : text.split('\n')) {
    if (rawLine.endsWith('\r'))
      rawLine.chop(1);
    const QString line = QString::fromUtf8(rawLine);
    if (line.startsWith(QLatin1Char('['))) {
      inGroup = line.trimmed() == header && !keys;
      if (inGroup)
        keys.emplace();
      continue;
    }
    if (!inGroup || line.startsWith(QLatin1Char('#')))
      continue;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
      continue;
    qsizetype start = eq + 1;
    while (start < line.size() && line[start] == QLatin1Char(' '))
      ++start;
    keys->insert(line.left(eq).trimmed(), UnescapeDesktopString(line.mid(start)));
  }
  return keys;
}
