#include "installer/loader/fuzz/LoaderCheck.h"

#include "installer/loader/LoaderArchive.h"
#include "installer/loader/SelfExtract.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/mman.h>
#include <unistd.h>

namespace loadercheck {

namespace {

// The image as a file descriptor, as the loader reads itself.
int MemoryFile(const QByteArray& bytes) {
  const int fd = ::memfd_create("image", MFD_CLOEXEC);
  if (fd >= 0 && ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) !=
                     static_cast<ssize_t>(bytes.size())) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

QString CheckSetupImage(const QByteArray& image) {
  if (image.size() < selfextract::kTrailerSize)
    return QString();
  selfextract::TTrailer trailer{};
  std::copy_n(image.constData() + image.size() - selfextract::kTrailerSize, trailer.size(),
              reinterpret_cast<char*>(trailer.data()));
  selfextract::TSelfExtractInfo info;
  if (!selfextract::DecodeTrailer(trailer, image.size(), info))
    return QString();
  if (info.Setup1End >= image.size() - selfextract::kTrailerSize)
    return QStringLiteral("trailer accepted with setup.1 beyond the image");
  loader::TFd file(MemoryFile(image));
  if (file.Get() < 0)
    return QStringLiteral("no memory file");
  QTemporaryDir scratch;
  std::vector<loader::TMember> members;
  try {
    members = loader::ReadMembers(file.Get(), info.Setup1Start,
                                  std::int64_t{info.Setup1End} - info.Setup1Start + 1);
    for (const loader::TMember& m : members) {
      if (m.Name.find('/') != std::string::npos || m.Name == ".." || m.Name == ".")
        return QStringLiteral("unsafe member name accepted: ") + QString::fromStdString(m.Name);
      const QString target = scratch.path() + QLatin1Char('/') + QString::fromStdString(m.Name);
      loader::ExtractMember(file.Get(), info.Setup1Start, m, target.toStdString(), 0600);
      if (QFileInfo(target).size() != m.FileSize)
        return QStringLiteral("extracted size differs from the header: ") + target;
    }
  } catch (const loader::TLoaderError&) {
    return QString();  // refused with the loader's own text
  }
  if (members.empty())
    return QStringLiteral("an archive without members was accepted");
  const QStringList made = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                          QDir::Hidden);
  if (made.size() != static_cast<qsizetype>(members.size()))
    return QStringLiteral("files outside the member list: ") + made.join(QLatin1Char(' '));
  return QString();
}

}  // namespace loadercheck
