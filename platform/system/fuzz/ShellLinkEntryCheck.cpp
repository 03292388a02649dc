#include "platform/system/fuzz/ShellLinkEntryCheck.h"

#include "platform/system/ShellLinkEntry.h"
#include "tests/support/FuzzCheck.h"

#include <algorithm>

namespace {

bool Carried(const QString& text) {
  return std::none_of(text.begin(), text.end(), [](QChar c) {
    return (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\r') &&
            c != QLatin1Char('\t')) ||
           c.unicode() == 0x7F;
  });
}

QString Check(const QByteArray& bytes) {
  const QString text = QString::fromUtf8(bytes);
  if (Carried(text)) {
    if (UnescapeDesktopString(EscapeDesktopString(text)) != text)
      return QStringLiteral("a string value does not unescape to itself");
  } else {
    try {
      EscapeDesktopString(text);
      return QStringLiteral("a control character was let into a string value");
    } catch (const EDesktopEntryError&) {
    }
  }
  const auto argv = SplitDesktopExec(text);
  if (!argv || argv->isEmpty())
    return {};
  QString value;
  try {
    value = DesktopExecValue(*argv);
  } catch (const EDesktopEntryError&) {
    return {};
  }
  if (SplitDesktopExec(UnescapeDesktopString(value)) != argv)
    return QStringLiteral("Exec arguments quoted back split differently");
  return {};
}

}  // namespace

QString CheckShellLinkEntry(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
