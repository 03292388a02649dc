#include "platform/system/CommandLine.h"

namespace {

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

qsizetype SkipBlanks(const QString& s, qsizetype i) {
  while (i < s.size() && IsBlank(s[i]))
    ++i;
  return i;
}

// Reads one argument starting at i (not a blank); returns the position after it.
qsizetype ReadArgument(const QString& s, qsizetype i, QString& arg) {
  const QChar quote = QLatin1Char('"');
  const QChar backslash = QLatin1Char('\\');
  bool quoted = false;
  while (i < s.size()) {
    qsizetype slashes = 0;
    while (i < s.size() && s[i] == backslash) {
      ++slashes;
      ++i;
    }
    if (i < s.size() && s[i] == quote) {
      arg.append(QString(slashes / 2, backslash));
      if (slashes % 2 == 1) {
        arg.append(quote);
        ++i;
      } else if (quoted && i + 1 < s.size() && s[i + 1] == quote) {
        arg.append(quote);
        quoted = false;
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
      continue;
    }
    arg.append(QString(slashes, backslash));
    if (i >= s.size() || (!quoted && IsBlank(s[i])))
      break;
    arg.append(s[i++]);
  }
  return i;
}

}  // namespace

QStringList SplitCommandArguments(const QString& text) {
  QStringList args;
  qsizetype i = SkipBlanks(text, 0);
  while (i < text.size()) {
    QString arg;
    i = SkipBlanks(text, ReadArgument(text, i, arg));
    args.append(arg);
  }
  return args;
}

TProgramPart ProgramPartOf(const QString& commandLine) {
  const qsizetype start = SkipBlanks(commandLine, 0);
  TProgramPart part;
  if (start < commandLine.size() && commandLine[start] == QLatin1Char('"')) {
    qsizetype end = commandLine.indexOf(QLatin1Char('"'), start + 1);
    if (end < 0)
      end = commandLine.size();
    part.program = commandLine.mid(start + 1, end - start - 1);
    part.rest = std::min(end + 1, commandLine.size());
    part.quoted = true;
    return part;
  }
  qsizetype end = start;
  while (end < commandLine.size() && !IsBlank(commandLine[end]))
    ++end;
  part.program = commandLine.mid(start, end - start);
  part.rest = end;
  return part;
}

QStringList CommandLineToArgs(const QString& commandLine) {
  const TProgramPart part = ProgramPartOf(commandLine);
  if (part.program.isEmpty() && !part.quoted)
    return {};
  QStringList args{part.program};
  args.append(SplitCommandArguments(commandLine.mid(part.rest)));
  return args;
}

QString QuoteCommandArgument(const QString& argument) {
  const QChar quote = QLatin1Char('"');
  const QChar backslash = QLatin1Char('\\');
  QString out(quote);
  qsizetype slashes = 0;
  for (const QChar c : argument) {
    if (c == backslash) {
      ++slashes;
      continue;
    }
    // Backslashes count only before a quote.
    out.append(QString(c == quote ? 2 * slashes + 1 : slashes, backslash));
    out.append(c);
    slashes = 0;
  }
  out.append(QString(2 * slashes, backslash));
  out.append(quote);
  return out;
}

QString QuoteCommandProgram(const QString& program) {
  if (program.contains(QLatin1Char('"')))
    return {};
  return QLatin1Char('"') + program + QLatin1Char('"');
}
