#include "installer/engine/routines_Strings.h"

#include "platform/rtl/StringList.h"

namespace {

constexpr QChar kPathDelim = QLatin1Char('/');
constexpr QChar kKeyDelim = QLatin1Char('\\');

QString AddTrailing(const QString& path, QChar delim) {
  if (path.isEmpty() || path.endsWith(delim))
    return path;
  return path + delim;
}

QString RemoveTrailing(const QString& path, QChar delim) {
  return path.endsWith(delim) ? path.chopped(1) : path;
}

}  // namespace

void SplitString(const QString& text, QChar delimiter, TStrings& list) {
  list.Clear();
  const int count = CountFields(text, delimiter);
  for (int i = 1; i <= count; ++i)
    list.Add(GetField(text, i, delimiter));
}

QString AddBackslash(const QString& path) { return AddTrailing(path, kPathDelim); }
QString RemoveBackslash(const QString& path) { return RemoveTrailing(path, kPathDelim); }
QString AddKeyBackslash(const QString& key) { return AddTrailing(key, kKeyDelim); }
QString RemoveKeyBackslash(const QString& key) { return RemoveTrailing(key, kKeyDelim); }

int CountFields(const QString& text, QChar delimiter) {
  const int delimiters = static_cast<int>(text.count(delimiter));
  if (text.isEmpty() || text.endsWith(delimiter))
    return delimiters;
  return delimiters + 1;
}

QString GetField(const QString& text, int n, QChar delimiter) {
  qsizetype start = 0;
  for (int i = 1; i < n; ++i) {
    const qsizetype next = text.indexOf(delimiter, start);
    if (next < 0)
      return QString();
    start = next + 1;
  }
  const qsizetype end = text.indexOf(delimiter, start);
  return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

QString TextAfterColon(const QString& text) {
  const qsizetype colon = text.indexOf(QLatin1Char(':'));
  return colon < 0 ? QString() : text.mid(colon + 1);
}

QString CleanFileName(const QString& text) {
  static const QString dropped = QStringLiteral("\"*/:;<>?\\|");
  QString result;
  result.reserve(text.size());
  for (const QChar c : text) {
    if (c == QLatin1Char('/'))
      result += QLatin1Char('-');
    else if (!dropped.contains(c))
      result += c;
  }
  return result;
}
