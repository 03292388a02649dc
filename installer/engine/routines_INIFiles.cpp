#include "installer/engine/routines_INIFiles.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

#include <QFile>
#include <QRegularExpression>

namespace {

QStringList ReadLines(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%s\". %s"), {fileName, file.errorString()});
  static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
  return QString::fromUtf8(file.readAll()).split(lineEnd);
}

}  // namespace

void ReadIniSections(const QString& fileName, TStrings* list) {
  if (list == nullptr)
    return;
  const QStringList lines = ReadLines(fileName);
  TUpdateScope batch(*list);
  list->Clear();
  for (const QString& line : lines) {
    const QString trimmed = Trim(line);
    if (trimmed.size() > 1 && trimmed.startsWith(QLatin1Char('[')))
      list->Add(trimmed.mid(1, trimmed.size() - 2));
  }
  batch.Close();
}
