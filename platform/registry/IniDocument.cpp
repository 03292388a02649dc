#include "platform/registry/IniDocument.h"

#include "platform/rtl/Codec1252.h"

#include <QStringDecoder>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

bool IsHeader(const QString& trimmed) { return trimmed.startsWith(QLatin1Char('[')); }

QString HeaderName(const QString& trimmed) {
  const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
  return (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
}

// The key of an entry line; nullopt for a line that is no entry.
std::optional<QString> EntryKey(const QString& trimmed) {
  if (trimmed.startsWith(QLatin1Char(';')) || IsHeader(trimmed))
    return std::nullopt;
  const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
  if (eq <= 0)
    return std::nullopt;
  QString key = trimmed.left(eq).trimmed();
  if (key.isEmpty())
    return std::nullopt;
  return key;
}

QString EntryValue(const QString& trimmed) {
  return trimmed.mid(trimmed.indexOf(QLatin1Char('=')) + 1).trimmed();
}

QString Decode(const QByteArray& bytes) {
  // The file's own mark is already off; a second one is text and stays.
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8.decode(bytes);
  if (utf8.hasError())
    return DecodeWin1252(bytes);
  return text;
}

}  // namespace

IniDocument IniDocument::FromBytes(const QByteArray& bytes) {
  IniDocument doc;
  doc.bom_ = bytes.startsWith(kBom);
  const QString text = Decode(doc.bom_ ? bytes.mid(kBom.size()) : bytes);
  if (text.contains(QLatin1String("\r\n")))
    doc.eol_ = QStringLiteral("\r\n");
  qsizetype start = 0;
  while (start < text.size()) {
    const qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
    const qsizetype next = lf < 0 ? text.size() : lf + 1;
    qsizetype endAt = lf < 0 ? text.size() : lf;
    while (endAt > start && text[endAt - 1] == QLatin1Char('\r'))
      --endAt;
    doc.lines_.append(Line{text.mid(start, endAt - start), text.mid(endAt, next - endAt)});
    start = next;
  }
  return doc;
}

QByteArray IniDocument::ToBytes() const {
  QString text;
  for (const Line& line : lines_)
    text += line.text + line.end;
  return (bom_ ? kBom : QByteArray()) + text.toUtf8();
}

void IniDocument::Insert(qsizetype at, const QString& text) {
  // A line before the new one that has no LF yet gets one.
  if (at > 0 && !lines_[at - 1].end.endsWith(QLatin1Char('\n')))
    lines_[at - 1].end += lines_[at - 1].end.isEmpty() ? eol_ : QStringLiteral("\n");
  lines_.insert(at, Line{text, eol_});
}

std::optional<IniDocument::Range> IniDocument::FindSection(const QString& folded, int from) const {
  for (int i = from; i < lines_.size(); ++i) {
    const QString trimmed = Trimmed(i);
    if (!IsHeader(trimmed) || HeaderName(trimmed).toCaseFolded() != folded)
      continue;
    int end = i + 1;
    while (end < lines_.size() && !IsHeader(Trimmed(end)))
      ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

int IniDocument::FindKey(const Range& range, const QString& folded) const {
  for (int i = range.header + 1; i < range.end; ++i) {
    const auto key = EntryKey(Trimmed(i));
    if (key && key->toCaseFolded() == folded)
      return i;
  }
  return -1;
}

std::optional<QString> IniDocument::Value(const QString& section, const QString& key) const {
  const auto range = FindSection(section.trimmed().toCaseFolded(), 0);
  if (!range)
    return std::nullopt;
  const int line = FindKey(*range, key.trimmed().toCaseFolded());
  if (line < 0)
    return std::nullopt;
  return EntryValue(Trimmed(line));
}

QStringList IniDocument::Sections() const {
  QStringList names;
  QStringList folded;
  for (const Line& line : lines_) {
    const QString trimmed = line.text.trimmed();
    if (!IsHeader(trimmed))
      continue;
    const QString name = HeaderName(trimmed);
    if (!folded.contains(name.toCaseFolded())) {
      folded.append(name.toCaseFolded());
      names.append(name);
    }
  }
  return names;
}

QStringList IniDocument::Keys(const QString& section) const {
  QStringList keys;
  QStringList folded;
  const auto range = FindSection(section.trimmed().toCaseFolded(), 0);
  if (!range)
    return keys;
  for (int i = range->header + 1; i < range->end; ++i) {
    const auto key = EntryKey(Trimmed(i));
    if (key && !folded.contains(key->toCaseFolded())) {
      folded.append(key->toCaseFolded());
      keys.append(*key);
    }
  }
  return keys;
}

bool IniDocument::SetValue(const QString& section, const QString& key, const QString& value) {
  const auto range = FindSection(section.trimmed().toCaseFolded(), 0);
  if (!range) {
    if (!lines_.isEmpty() && !lines_.last().text.trimmed().isEmpty())
      Insert(lines_.size(), QString());
    Insert(lines_.size(), QLatin1Char('[') + section + QLatin1Char(']'));
    Insert(lines_.size(), key + QLatin1Char('=') + value);
    return true;
  }
  const int line = FindKey(*range, key.trimmed().toCaseFolded());
  if (line >= 0) {
    // The entry keeps its key's spelling.
    const QString updated = *EntryKey(Trimmed(line)) + QLatin1Char('=') + value;
    if (lines_[line].text == updated)
      return false;
    lines_[line].text = updated;
    return true;
  }
  // New keys go after the section's last non-blank line, so blank lines that
  // separate it from the next section stay between them.
  int insertAt = range->end;
  while (insertAt - 1 > range->header && Trimmed(insertAt - 1).isEmpty())
    --insertAt;
  Insert(insertAt, key + QLatin1Char('=') + value);
  return true;
}

bool IniDocument::EraseSection(const QString& section) {
  const QString folded = section.trimmed().toCaseFolded();
  bool changed = false;
  for (auto range = FindSection(folded, 0); range; range = FindSection(folded, range->header)) {
    lines_.remove(range->header, range->end - range->header);
    changed = true;
  }
  return changed;
}

bool IniDocument::DeleteKey(const QString& section, const QString& key) {
  const auto range = FindSection(section.trimmed().toCaseFolded(), 0);
  if (!range)
    return false;
  const QString folded = key.trimmed().toCaseFolded();
  bool changed = false;
  for (int i = range->end - 1; i > range->header; --i) {
    const auto k = EntryKey(Trimmed(i));
    if (k && k->toCaseFolded() == folded) {
      lines_.removeAt(i);
      changed = true;
    }
  }
  return changed;
}

QString StripIniQuotes(const QString& value) {
  if (value.size() >= 2 && value.front() == value.back() &&
      (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
    return value.mid(1, value.size() - 2);
  return value;
}

std::optional<int> ParseIniInteger(const QString& text) {
  QString s = text.trimmed();
  bool negative = false;
  if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
    negative = s.front() == QLatin1Char('-');
    s.remove(0, 1);
  }
  bool ok = false;
  qint64 magnitude = 0;
  if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) || s.startsWith(QLatin1Char('$'))) {
    const QString digits = s.mid(s.front() == QLatin1Char('$') ? 1 : 2);
    if (digits.isEmpty() || digits.size() > 8 || digits.front() == QLatin1Char('+') ||
        digits.front() == QLatin1Char('-'))
      return std::nullopt;
    // Eight hex digits are a 32-bit pattern: 0xFFFFFFFF is -1.
    magnitude = static_cast<qint32>(digits.toUInt(&ok, 16));
  } else {
    if (s.isEmpty() || !s.front().isDigit())
      return std::nullopt;
    magnitude = s.toLongLong(&ok, 10);
  }
  if (!ok)
    return std::nullopt;
  const qint64 value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX)
    return std::nullopt;
  return static_cast<int>(value);
}
