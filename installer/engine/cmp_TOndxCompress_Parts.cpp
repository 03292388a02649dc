// The disk parts rule: finding the part of a disk, asking for the disk (the
// folder that holds it) through OnNewDisk when it is not there.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {
constexpr int kDiskAttempts = 4;
}

void TOndxCompress::OpenPart(TOndxFile& file, QString& path, int disk, TOndxFile::TMode mode,
                            bool numbered) {
  for (int attempt = 0; attempt < kDiskAttempts; ++attempt) {
    file.Close();
    if (numbered)
      path = ChangeFileExt(path, QLatin1Char('.') + QString::number(disk));
    if (FileExists(path)) {
      if (!file.Open(path, mode))
        throw EOndxCompress(QString::fromLatin1(kOcCannotOpenArchive), {path});
      return;
    }
    if (!OnNewDisk)
      throw EOndxCompress(QString::fromLatin1(kOcWrongDisk), {disk});
    QString folder = ExtractFileDir(path);
    OnNewDisk(this, disk, folder);
    const QString name = ExtractFileName(path);
    path = folder.isEmpty() ? name : ExcludeTrailingPathDelimiter(folder) + PathDelim + name;
  }
  throw EOndxCompress(QString::fromLatin1(kOcCannotOpenArchive), {path});
}
