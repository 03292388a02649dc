// Fuzzes the archive reader: every input is read as an archive, its members
// listed and extracted into a scratch folder. Seeds: corpus/.
// Run: engine_archive_fuzz -max_len=200000 installer/engine/fuzz/corpus
#include "installer/engine/cmp_TOndxCompress.h"

#include "platform/rtl/Exceptions.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

const QTemporaryDir& Scratch() {
  static const QTemporaryDir dir;
  return dir;
}

void ReadArchive(const QString& path, const QString& out) {
  TOndxCompress c(nullptr);
  c.SetCompressedFile(path);
  c.SetExtractDirectory(out);
  try {
    const int count = c.FileCount();
    for (int i = 0; i < count; ++i) {
      TlzhFileStats stats;
      c.GetFileStats(i, stats);
      c.FilesToProcess()->Add(stats.FileName);
    }
    c.Extract();
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString path = Scratch().filePath(QStringLiteral("input.1"));
  const QString out = Scratch().filePath(QStringLiteral("out"));
  {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return 0;
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  QDir().mkpath(out);
  ReadArchive(path, out);
  QDir(out).removeRecursively();
  return 0;
}
