#include "installer/wizard/fuzz/LanguageTableCheck.h"

#include "installer/wizard/cmp_TTranslator.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "tests/support/FuzzCheck.h"

#include <QRegularExpression>

namespace {

bool KnownError(const QString& message) {
  static const QRegularExpression known(QStringLiteral(
      R"(^(Found the end of memo marker # at line \d+\. Was not in a memo however|)"
      R"(The \d+'th string \(.*\) does not have the proper format of )"
      R"((\.GLID;|GLID;Text|GLID;Text or \.GLID;))$)"),
      QRegularExpression::DotMatchesEverythingOption);
  return known.match(message).hasMatch();
}

QString CheckElements(const TLanguageTable& table, const TStrings& lines) {
  for (const TLanguageString& s : table.strings) {
    if (s.text.isEmpty() || s.text.size() > kMaxLanguageText || s.text != Trim(s.text) ||
        s.text.contains(u';'))
      return QStringLiteral("a string element breaks the format: ") + s.text;
    if (s.line < 0 || s.line >= lines.Count())
      return QStringLiteral("a string element's line is outside the table");
  }
  for (const TLanguageMemo& m : table.memos) {
    if (m.line < 0 || m.line >= lines.Count() || !Trim(lines.Get(m.line)).startsWith(u'#'))
      return QStringLiteral("a memo's line is not its opening marker");
    for (const QString& line : m.lines)
      if (line.isEmpty() || line.startsWith(u'*') || line != Trim(line))
        return QStringLiteral("a memo keeps an empty, comment or untrimmed line");
  }
  return {};
}

QString Check(const QByteArray& bytes) {
  TStringList lines;
  lines.SetText(QString::fromUtf8(bytes));
  std::optional<TLanguageTable> table;
  try {
    table = ParseLanguageTable(lines, nullptr);
  } catch (const Exception& e) {
    if (!KnownError(e.Message())) return QStringLiteral("unknown error: ") + e.Message();
  }
  if (table) {
    if (QString failure = CheckElements(*table, lines); !failure.isEmpty()) return failure;
  }

  TTranslator translator(nullptr);
  TLanguage* language = translator.lgEnglish();
  language->Strings()->Add(QStringLiteral("1;One"));
  try {
    language->Strings()->AddStrings(lines);
  } catch (const Exception&) {
    if (table) return QStringLiteral("the table reads alone but not after a line");
    if (language->Strings()->Count() != 1 || language->Table().strings.size() != 1 ||
        language->Table().memos.size() != 0)
      return QStringLiteral("a refused change left the table changed");
    return {};
  }
  if (!table) return QStringLiteral("the table fails alone but reads after a line");
  if (language->Table().strings.size() != table->strings.size() + 1 ||
      language->Table().memos.size() != table->memos.size())
    return QStringLiteral("the table reads differently after a line");
  return {};
}

}  // namespace

QString CheckLanguageTable(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
