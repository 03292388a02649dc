// The language-table reader (the format is described in cmp_TTranslator.h).

#include "installer/engine/routines_Strings.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

#include <optional>

namespace {

std::optional<int> ToId(const QString& field) {
  try {
    return StrToInt(field);
  } catch (const EConvertError&) {
    return std::nullopt;
  }
}

[[noreturn]] void Fail(const char* format, int line, const QString& text) {
  throw Exception(QString::fromLatin1(format), {line, text});
}

// The id of a line's first ';' field (without the memo marker).
int IdOf(const QString& field, int line, const QString& text) {
  if (field.isEmpty()) Fail(kTextBadStringFormat, line, text);
  const std::optional<int> id = ToId(field);
  if (!id) Fail(kTextBadIdFormat, line, text);
  return *id;
}

}  // namespace

TLanguageTable ParseLanguageTable(const TStrings& lines, TLanguage* owner) {
  TLanguageTable table;
  std::optional<TLanguageMemo> block;
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    const QString line = Trim(lines.Get(i));
    if (line.isEmpty()) continue;
    if (line == QLatin1String("#")) {
      if (!block) Fail(kTextEndOfMemoOutside, i, line);
      table.memos.push_back(std::move(*block));
      block.reset();
      continue;
    }
    if (line.startsWith(u'*')) continue;
    if (block) {
      block->lines.append(line);
      continue;
    }
    if (line.startsWith(u'#')) {
      if (line.size() == 1) Fail(kTextBadMemoFormat, i, line);
      block.emplace();
      block->id = IdOf(GetField(line, 1, u';').mid(1), i, line);
      block->language = owner;
      block->line = i;
      continue;
    }
    TLanguageString element;
    element.id = IdOf(GetField(line, 1, u';'), i, line);
    element.text = Trim(GetField(line, 2, u';'));
    if (element.text.isEmpty()) Fail(kTextBadStringFormat, i, line);
    // A cut that lands after a blank leaves no blank at the end.
    element.text = TrimRight(element.text.left(kMaxLanguageText));
    element.language = owner;
    element.line = i;
    table.strings.push_back(std::move(element));
  }
  return table;
}
