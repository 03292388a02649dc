#include "platform/registry/fuzz/IniCheck.h"

#include "platform/registry/IniDocument.h"
#include "tests/support/FuzzCheck.h"

#include <QStringDecoder>

namespace {

bool IsUtf8(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);  // decodes on conversion only
  return !utf8.hasError();
}

// Every line ends with CR LF, or every line with LF and no CR stands
// anywhere; the last line has its end too.
bool UniformLines(const QByteArray& bytes) {
  if (bytes.isEmpty())
    return true;
  const qsizetype crlf = bytes.count("\r\n");
  const bool ends = crlf > 0 ? bytes.endsWith("\r\n") : bytes.endsWith('\n');
  return ends && bytes.count('\r') == crlf && (crlf == 0 || bytes.count('\n') == crlf);
}

QString FirstDifference(const IniDocument& a, const IniDocument& b) {
  if (a.Sections() != b.Sections())
    return QStringLiteral("the sections read back changed");
  for (const QString& section : a.Sections()) {
    const QStringList keys = a.Keys(section);
    if (keys != b.Keys(section))
      return QStringLiteral("the keys of [%1] read back changed").arg(section);
    for (const QString& key : keys)
      if (a.Value(section, key) != b.Value(section, key))
        return QStringLiteral("[%1] %2 read back changed").arg(section, key);
  }
  return {};
}

QString Check(const QByteArray& bytes) {
  const IniDocument first = IniDocument::FromBytes(bytes);
  const QByteArray written = first.ToBytes();
  if (IsUtf8(bytes) && UniformLines(bytes) && written != bytes)
    return QStringLiteral("a UTF-8 file of uniform lines writes to other bytes");
  const IniDocument second = IniDocument::FromBytes(written);
  if (const QString diff = FirstDifference(first, second); !diff.isEmpty())
    return diff;
  if (second.ToBytes() != written)
    return QStringLiteral("a written file reads and writes to other bytes");
  return {};
}

}  // namespace

QString CheckIni(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
