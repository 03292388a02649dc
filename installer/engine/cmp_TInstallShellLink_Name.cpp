#include "installer/engine/cmp_TInstallShellLink_Name.h"

#include "installer/engine/routines_Strings.h"

namespace {

constexpr int kNameMaxBytes = 255;
const QString kURLExt = QStringLiteral(".URL");

QString DropControls(const QString& text) {
  QString result;
  result.reserve(text.size());
  for (const QChar c : text) {
    if (c.category() != QChar::Other_Control) result += c;
  }
  return result;
}

QString TrimName(QString name) {
  qsizetype first = 0;
  while (first < name.size() && (name[first] == QLatin1Char('.') || name[first].isSpace()))
    ++first;
  name.remove(0, first);
  while (!name.isEmpty() && name.back().isSpace()) name.chop(1);
  return name;
}

// Cuts whole characters (never half a surrogate pair) until the UTF-8 form fits.
QString FitBytes(QString name, int maxBytes) {
  while (name.toUtf8().size() > maxBytes) {
    name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
  }
  return name;
}

}  // namespace

std::optional<QString> URLLinkName(const QString& location) {
  for (const char* scheme : {"HTTP://", "FTP://"}) {
    const QString mark = QString::fromLatin1(scheme);
    const qsizetype at = location.indexOf(mark, 0, Qt::CaseInsensitive);
    if (at < 0) continue;
    const QString rest = location.mid(at + mark.size());
    const QString name = TrimName(DropControls(CleanFileName(rest)));
    if (name.isEmpty()) return QString();
    return FitBytes(name, kNameMaxBytes - static_cast<int>(kURLExt.size())) + kURLExt;
  }
  return std::nullopt;
}
