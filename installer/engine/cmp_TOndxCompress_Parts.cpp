// The disk parts rule: finding the part of a disk, asking for the disk (the
// folder that holds it) through OnNewDisk when it is not there.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include "platform/rtl/ProcessState.h"

#include <QHash>

namespace {
constexpr int kDiskAttempts = 4;

// Parts found through OnNewDisk, by file name: the path found. Kept for the
// process, as every file of an install extracts through a compressor of
// its own or the global one.
struct TFoundParts {
  QHash<QString, QString> paths;
};
}

// A part found in another folder than looked in is remembered by its name,
// so the next member on the same disk is read from there without asking
// again.
void TOndxCompress::OpenPart(TOndxFile& file, QString& path, int disk, TOndxFile::TMode mode,
                            bool numbered) {
  bool asked = false;
  for (int attempt = 0; attempt < kDiskAttempts; ++attempt) {
    file.Close();
    if (numbered)
      path = ChangeFileExt(path, QLatin1Char('.') + QString::number(disk));
    const QString known = ProcessObject<TFoundParts>().paths.value(ExtractFileName(path));
    if (!FileExists(path) && !known.isEmpty() && FileExists(known))
      path = known;
    if (FileExists(path)) {
      if (!file.Open(path, mode))
        throw EocCannotOpenArchive(QString::fromLatin1(kOcCannotOpenArchive), {path});
      if (asked)
        ProcessObject<TFoundParts>().paths.insert(ExtractFileName(path), path);
      return;
    }
    asked = true;
    if (!OnNewDisk)
      throw EocWrongDisk(QString::fromLatin1(kOcWrongDisk), {disk});
    QString folder = ExtractFileDir(path);
    OnNewDisk(this, disk, folder);
    const QString name = ExtractFileName(path);
    path = folder.isEmpty() ? name : ExcludeTrailingPathDelimiter(folder) + PathDelim + name;
  }
  throw EocWrongDisk(QString::fromLatin1(kOcCannotOpenArchive), {path});
}
