// Fuzzes the version-note reader: every input is read as an ELF file (its
// section and program headers walked, notes decoded) and, whole, as a note
// descriptor. Run: engine_version_note_fuzz -max_len=65536
#include "installer/engine/cmp_TVersion_Note.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

const QTemporaryDir& Scratch() {
  static const QTemporaryDir dir;
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  (void)DecodeVersionNote(bytes);
  const QString path = Scratch().filePath(QStringLiteral("input.elf"));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return 0;
    f.write(bytes);
  }
  (void)ReadVersionNote(path);
  return 0;
}
