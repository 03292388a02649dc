#include "platform/rtl/fuzz/WordListCheck.h"

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "tests/support/FuzzCheck.h"

namespace {

void Load(TStringList& list, const QByteArray& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  list.LoadFromStream(stream);
}

QByteArray Save(const TStringList& list) {
  TMemoryStream stream;
  list.SaveToStream(stream);
  return stream.Bytes();
}

// Every CR starts a CR LF, every LF ends one, and the last line has its end.
bool OnlyCrLfLines(const QByteArray& bytes) {
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
      return false;
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
      return false;
  }
  return bytes.isEmpty() || bytes.endsWith("\r\n");
}

QString Check(const QByteArray& bytes) {
  TStringList first;
  Load(first, bytes);
  const QByteArray saved = Save(first);
  if (OnlyCrLfLines(bytes) && saved != bytes)
    return QStringLiteral("a list of CR LF lines saves to other bytes");
  TStringList second;
  Load(second, saved);
  if (second.Count() != first.Count())
    return QStringLiteral("%1 words read back as %2").arg(first.Count()).arg(second.Count());
  for (int i = 0; i < first.Count(); ++i)
    if (second.Strings(i) != first.Strings(i))
      return QStringLiteral("word %1 read back changed").arg(i);
  return {};
}

}  // namespace

QString CheckWordList(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
