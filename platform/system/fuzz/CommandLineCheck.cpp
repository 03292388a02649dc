#include "platform/system/fuzz/CommandLineCheck.h"

#include "platform/system/CommandLine.h"
#include "tests/support/FuzzCheck.h"

#include <algorithm>

namespace {

bool NeedsQuotes(const QString& arg) {
  return arg.isEmpty() || arg.contains(QLatin1Char(' ')) || arg.contains(QLatin1Char('\t')) ||
         arg.contains(QLatin1Char('"'));
}

// The inverse of the argument rules: backslashes are doubled only before a
// quote, the closing one included, and a quote is escaped.
QString QuoteArgument(const QString& arg) {
  if (!NeedsQuotes(arg))
    return arg;
  QString out = QStringLiteral("\"");
  qsizetype slashes = 0;
  for (const QChar c : arg) {
    if (c == QLatin1Char('\\')) {
      ++slashes;
      continue;
    }
    if (c == QLatin1Char('"')) {
      out += QString(2 * slashes + 1, QLatin1Char('\\'));
    } else {
      out += QString(slashes, QLatin1Char('\\'));
    }
    slashes = 0;
    out += c;
  }
  out += QString(2 * slashes, QLatin1Char('\\'));
  return out + QLatin1Char('"');
}

QString JoinArguments(const QStringList& args) {
  QStringList quoted;
  for (const QString& arg : args)
    quoted.append(QuoteArgument(arg));
  return quoted.join(QLatin1Char(' '));
}

QString Check(const QByteArray& bytes) {
  const QString line = QString::fromUtf8(bytes);
  const QStringList args = SplitCommandArguments(line);
  if (SplitCommandArguments(JoinArguments(args)) != args)
    return QStringLiteral("arguments quoted back split differently");
  const QStringList words = CommandLineToArgs(line);
  const bool blank = std::all_of(line.begin(), line.end(), [](QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
  });
  if (words.isEmpty() != blank)
    return QStringLiteral("a line gave no words but is not blank, or the other way round");
  if (blank)
    return {};
  // A quoted program name holds no quote, an unquoted one no blank: either
  // goes back as it came.
  const QString& program = words.first();
  const QString head = ProgramPartOf(line).quoted ? QLatin1Char('"') + program + QLatin1Char('"')
                                                  : program;
  if (CommandLineToArgs(head + QLatin1Char(' ') + JoinArguments(words.mid(1))) != words)
    return QStringLiteral("a command line quoted back split differently");
  return {};
}

}  // namespace

QString CheckCommandLine(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
