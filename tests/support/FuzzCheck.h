#pragma once
// What a fuzz target and the tests replaying its inputs share: a check is a
// function of the input bytes that names what went wrong (empty when nothing
// did). The fuzz target aborts on a failure; the tests report it.
// Header only: the fuzz targets link no test support.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

namespace qxfuzz {

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
  return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Runs check; an exception the check did not expect is a failure.
template <class F>
QString Guarded(F&& check) {
  try {
    return check();
  } catch (const std::exception& e) {
    return QStringLiteral("unexpected %1: %2")
        .arg(QString::fromLatin1(typeid(e).name()), QString::fromUtf8(e.what()));
  }
}

// The fuzz target's answer for one input.
inline int Verdict(const QString& failure) {
  if (failure.isEmpty())
    return 0;
  std::fprintf(stderr, "fuzz check failed: %s\n", failure.toUtf8().constData());
  std::abort();
}

}  // namespace qxfuzz
