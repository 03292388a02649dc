#include "installer/engine/cmp_TInstall_SelfExtract.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>

namespace {

constexpr qint64 kCopyBlock = 65536;

// Copies the whole of source into out; false when it cannot be read whole.
bool AppendFile(const QString& source, TAtomicFile& out) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return false;
  const qint64 size = in.size();
  qint64 copied = 0;
  while (copied < size) {
    const QByteArray block = in.read(std::min(kCopyBlock, size - copied));
    if (block.isEmpty())
      return false;
    out.Write(block);
    copied += block.size();
  }
  return true;
}

}  // namespace

void WriteSelfExtractingProgram(const QString& setupExe, const QString& setup1,
                                const QString& files1) {
  const auto fail = [&setupExe](const QString& part) {
    return IEInstall(QString::fromLatin1(kTextCannotCreateSelfExtract), {part, setupExe});
  };
  const qint64 loader = QFileInfo(setupExe).size();
  const qint64 setupSize = QFileInfo(setup1).size();
  const bool withFiles = QFileInfo(files1).isFile();
  const qint64 filesSize = withFiles ? QFileInfo(files1).size() : 0;
  if (!QFileInfo(setupExe).isFile() || setupSize < 1)
    throw fail(setup1);
  if (loader + setupSize + filesSize + selfextract::kTrailerSize > INT32_MAX)
    throw fail(withFiles ? files1 : setup1);

  TAtomicFile out(setupExe);
  if (!AppendFile(setupExe, out) || QFileInfo(setupExe).size() != loader)
    throw fail(setupExe);
  TSelfExtractInfo info;
  info.Setup1Start = static_cast<std::int32_t>(loader);
  if (!AppendFile(setup1, out))
    throw fail(setup1);
  info.Setup1End = static_cast<std::int32_t>(loader + setupSize - 1);
  if (withFiles) {
    info.Files1Start = info.Setup1End + 1;
    if (!AppendFile(files1, out))
      throw fail(files1);
    info.Files1End = static_cast<std::int32_t>(info.Files1Start + filesSize - 1);
  }
  const selfextract::TTrailer trailer = selfextract::EncodeTrailer(info);
  out.Write(reinterpret_cast<const char*>(trailer.data()), static_cast<qint64>(trailer.size()));
  out.Commit();
}

TSelfExtractInfo ReadSelfExtractInfo(const QString& path) {
  QFile file(path);
  selfextract::TTrailer trailer{};
  TSelfExtractInfo info;
  const qint64 size = file.open(QIODevice::ReadOnly) ? file.size() : -1;
  const bool read = size >= selfextract::kTrailerSize && file.seek(size - selfextract::kTrailerSize) &&
                    file.read(reinterpret_cast<char*>(trailer.data()), selfextract::kTrailerSize) ==
                        selfextract::kTrailerSize;
  if (!read || !selfextract::DecodeTrailer(trailer, size, info))
    throw IEInstall(QString::fromLatin1(selfextract::kTextNoExtractionInfo), {path});
  return info;
}

QString LoaderFolderOf(const QString& programPath) {
  const QString root = QString::fromStdString(selfextract::CacheRoot());
  if (root.isEmpty())
    return QString();
  const QFileInfo program(programPath);
  const QString folder = program.absoluteDir().canonicalPath();
  const QString canonicalRoot = QDir(root).canonicalPath();
  if (folder.isEmpty() || canonicalRoot.isEmpty() ||
      QFileInfo(folder).dir().canonicalPath() != canonicalRoot ||
      !QFileInfo(folder).fileName().startsWith(QLatin1String(selfextract::kFolderPrefix)))
    return QString();
  const QFileInfo marker(folder + QLatin1Char('/') + QLatin1String(selfextract::kMarkerName));
  if (marker.isSymLink() || !marker.isFile() || marker.size() > 4096)
    return QString();
  QFile file(marker.filePath());
  if (!file.open(QIODevice::ReadOnly))
    return QString();
  const QByteArray content = file.readAll();
  if (!content.endsWith('\n'))
    return QString();
  const QString named = QFileInfo(QFile::decodeName(content.chopped(1))).canonicalFilePath();
  return named == folder ? folder : QString();
}

bool RemoveLoaderFolder(const QString& programPath) {
  const QString folder = LoaderFolderOf(programPath);
  return !folder.isEmpty() && QDir(folder).removeRecursively();
}
