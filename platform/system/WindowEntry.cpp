#include "platform/system/WindowEntry.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

namespace {

constexpr int EntryFormat = 1;
constexpr int MaxSocketNameLength = 64;

// A JSON number that is a whole number in [low, high].
std::optional<std::uint32_t> WholeNumber(const QJsonValue& v, double low, double high) {
  if (!v.isDouble())
    return std::nullopt;
  const double d = v.toDouble();
  if (!(d >= low && d <= high) || d != double(std::int64_t(d)))
    return std::nullopt;
  return std::uint32_t(std::int64_t(d));
}

// A bare file name: nothing that could leave the folder.
bool ValidSocketName(const QString& name) {
  return !name.isEmpty() && name.size() <= MaxSocketNameLength && name != QLatin1String(".") &&
         name != QLatin1String("..") && !name.contains(QLatin1Char('/')) &&
         !name.contains(QChar(0));
}

std::optional<TPublishedWindow> DecodeWindow(const QJsonValue& v) {
  if (!v.isObject())
    return std::nullopt;
  const QJsonObject o = v.toObject();
  const auto id = WholeNumber(o.value(QLatin1String("id")), 1, 4294967295.0);
  const QJsonValue title = o.value(QLatin1String("title"));
  const QJsonValue visible = o.value(QLatin1String("visible"));
  if (!id || !title.isString() || !visible.isBool())
    return std::nullopt;
  return TPublishedWindow{*id, title.toString(), visible.toBool()};
}

}  // namespace

QString WindowEntryFileName(std::uint32_t pid) {
  return QString::number(pid) + QStringLiteral(".entry");
}

QString WindowSocketName(std::uint32_t pid) {
  return QString::number(pid) + QStringLiteral(".sock");
}

QByteArray EncodeWindowEntry(const TWindowEntry& entry) {
  QJsonArray windows;
  for (const TPublishedWindow& w : entry.windows)
    windows.append(QJsonObject{{QStringLiteral("id"), double(w.id)},
                               {QStringLiteral("title"), w.title},
                               {QStringLiteral("visible"), w.visible}});
  const QJsonObject root{{QStringLiteral("format"), EntryFormat},
                         {QStringLiteral("pid"), double(entry.pid)},
                         {QStringLiteral("socket"), entry.socketName},
                         {QStringLiteral("windows"), windows}};
  return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

std::optional<TWindowEntry> DecodeWindowEntry(const QByteArray& bytes) {
  if (bytes.size() > MaxWindowEntrySize)
    return std::nullopt;
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject())
    return std::nullopt;
  const QJsonObject root = doc.object();
  const auto format = WholeNumber(root.value(QLatin1String("format")), 0, 1e9);
  const auto pid = WholeNumber(root.value(QLatin1String("pid")), 1,
                               double(std::numeric_limits<std::int32_t>::max()));
  const QJsonValue socket = root.value(QLatin1String("socket"));
  const QJsonValue windows = root.value(QLatin1String("windows"));
  if (format != std::uint32_t(EntryFormat) || !pid || !socket.isString() ||
      !ValidSocketName(socket.toString()) || !windows.isArray())
    return std::nullopt;
  TWindowEntry entry{*pid, socket.toString(), {}};
  for (const QJsonValue& v : windows.toArray()) {
    auto w = DecodeWindow(v);
    if (!w)
      return std::nullopt;
    entry.windows.push_back(std::move(*w));
  }
  return entry;
}

void WriteWindowEntry(const QString& path, const TWindowEntry& entry) {
  try {
    WriteFileAtomically(path, EncodeWindowEntry(entry));
  } catch (const EAtomicFileError& e) {
    throw EFCreateError(QStringLiteral("Cannot write window entry %1: %2").arg(path, e.SystemText()));
  }
}

std::optional<TWindowEntry> ReadWindowEntry(const QString& path) {
  const auto bytes = ReadWindowEntryBytes(path);
  if (!bytes)
    return std::nullopt;
  return DecodeWindowEntry(*bytes);
}

// Sized by the file, so that a small entry - every post reads one - costs
// no buffer of the largest size.
std::optional<QByteArray> ReadWindowEntryBytes(const QString& path, bool* missing) {
  QFile file(path);
  if (missing != nullptr)
    *missing = false;
  if (!file.open(QIODevice::ReadOnly)) {
    if (missing != nullptr)
      *missing = file.error() == QFileDevice::OpenError && !file.exists();
    return std::nullopt;
  }
  QByteArray bytes = file.read(std::min(file.size(), MaxWindowEntrySize) + 1);
  if (file.error() != QFileDevice::NoError)
    return std::nullopt;
  return bytes;
}
