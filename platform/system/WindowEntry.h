#pragma once
// One process's entry in the window directory: "<pid>.entry", a small JSON
// document replaced as a whole (temporary file + rename) on every change:
//
//   {"format": 1, "pid": 1234, "socket": "1234.sock",
//    "windows": [{"id": 1, "title": "Muokkain", "visible": true}, ...]}
//
// "socket" names the process's message socket in the same folder. Readers
// treat the file as hostile: an entry that is too large, not JSON, of
// another format, or with a missing or ill-typed field is ignored whole.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct TPublishedWindow {
  std::uint32_t id = 0;
  QString title;
  bool visible = false;

  bool operator==(const TPublishedWindow&) const = default;
};

struct TWindowEntry {
  std::uint32_t pid = 0;
  QString socketName;
  std::vector<TPublishedWindow> windows;

  bool operator==(const TWindowEntry&) const = default;
};

inline constexpr qint64 MaxWindowEntrySize = 256 * 1024;

QString WindowEntryFileName(std::uint32_t pid);
QString WindowSocketName(std::uint32_t pid);

QByteArray EncodeWindowEntry(const TWindowEntry& entry);
std::optional<TWindowEntry> DecodeWindowEntry(const QByteArray& bytes);

// Replaces the file atomically; raises EFCreateError when it cannot.
void WriteWindowEntry(const QString& path, const TWindowEntry& entry);
// nullopt when the file is missing, unreadable or not a valid entry.
std::optional<TWindowEntry> ReadWindowEntry(const QString& path);

// The bytes of an entry file, no more than MaxWindowEntrySize + 1 (a longer
// file is no entry). nullopt when it cannot be opened or read; *missing
// then tells whether there is no such file.
std::optional<QByteArray> ReadWindowEntryBytes(const QString& path, bool* missing = nullptr);
