// SplitToDisks: copies the archive, re-laid out with all headers first
// (layout 1), onto numbered parts; when a disk is full, OnNewDisk names the
// folder of the next one.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <QFile>
#include <QStringList>

#include <limits>

#include <sys/statvfs.h>

namespace {

constexpr std::int64_t kSplitBlock = 8192;

QString JoinPath(const QString& dir, const QString& name) {
  return dir.isEmpty() ? name : ExcludeTrailingPathDelimiter(dir) + PathDelim + name;
}

QString PartName(const QString& fileName, int disk) {
  return ChangeFileExt(ExtractFileName(fileName), QLatin1Char('.') + QString::number(disk));
}

}  // namespace

// The parts a split has created; removed on destruction unless kept.
class TSplitParts {
 public:
  TSplitParts() = default;
  TSplitParts(const TSplitParts&) = delete;
  TSplitParts& operator=(const TSplitParts&) = delete;
  ~TSplitParts() {
    if (kept_)
      return;
    for (const QString& path : paths_)
      DeleteFile(path);
  }
  void Add(const QString& path) { paths_ << path; }
  void Keep() { kept_ = true; }

 private:
  QStringList paths_;
  bool kept_ = false;
};

void TOndxCompress::SplitToDisks(const QString& destDir, const QString& fileName) {
  RunOperation([&] { DoSplit(destDir, fileName); });
}

void TOndxCompress::DoSplit(const QString& destDir, const QString& fileName) {
  EnsureHeaders();
  currentDisk_ = 1;
  TFileHeaders laidOut;  // the archive's own list stays as read
  laidOut.SetLayout(1);
  for (int i = 0; i < headers_.Count(); ++i)
    laidOut.Add(true, headers_.FileHeaders(i).Rec());
  StatsTotals();

  TOndxFile source;
  if (!source.Open(compressedFile_, TOndxFile::omRead))
    throw EocCannotOpenArchive(QString::fromLatin1(kOcCannotOpenArchive), {compressedFile_});
  QString dir = destDir;
  const QString firstPart = JoinPath(dir, ExtractFileName(fileName));
  const QByteArray block = EncodeHeaderBlock(laidOut);
  // The header block is written again at the end: it must fit on disk 1.
  if (FreeBytes(dir) < block.size())
    throw EOndxCompress(QString::fromLatin1(kOcTooLittleSpace));
  TSplitParts parts;
  TOndxFile part;
  CreatePart(part, firstPart, parts);
  if (WriteLimited(part, block.constData(), block.size()) != block.size())
    throw EOndxCompress(QString::fromLatin1(kOcCannotWriteHeaders));

  for (int i = 0; i < laidOut.Count(); ++i) {
    TFileHeaderRec& rec = laidOut.FileHeaders(i).Rec();
    StatsFromHeader(rec);
    const std::int64_t start = std::int64_t{offset_} + rec.DataStart;
    const std::int64_t last = std::int64_t{offset_} + rec.LastByte;
    if (source.Stream().Seek(start, soBeginning) != start)
      throw EocDamaged(QString::fromLatin1(kOcCorrupt));
    rec.DataStart = static_cast<std::int32_t>(part.Stream().Seek(0, soCurrent));
    rec.StartDisk = static_cast<std::uint8_t>(currentDisk_);
    while (SplitStep(source, last, part, dir, fileName, parts) > 0) {
    }
    rec.LastByte = static_cast<std::int32_t>(part.Stream().Seek(0, soCurrent) - 1);
    rec.EndDisk = static_cast<std::uint8_t>(currentDisk_);
  }
  ClosePart(part);
  QString path = firstPart;
  OpenPart(part, path, 1, TOndxFile::omReadWrite, true);
  WriteHeaderBlock(part.Stream(), laidOut);
  ClosePart(part);
  parts.Keep();
}

std::int64_t TOndxCompress::FreeBytes(const QString& folder) const {
  if (FreeSpaceHook) {
    const std::int64_t free = FreeSpaceHook(folder);
    if (free >= 0)
      return free;
  }
  struct statvfs fs {};
  const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
  if (::statvfs(QFile::encodeName(dir).constData(), &fs) != 0)
    return std::numeric_limits<std::int64_t>::max();  // the writes will tell
  return static_cast<std::int64_t>(fs.f_bavail) * static_cast<std::int64_t>(fs.f_frsize);
}

// Parts are created new (never the archive being split) and noted for
// removal should the split fail.
void TOndxCompress::CreatePart(TOndxFile& part, const QString& path, TSplitParts& parts) {
  if (ExpandFileName(path) == ExpandFileName(compressedFile_) || !part.Open(path, TOndxFile::omCreate))
    throw EocCannotWrite(QString::fromLatin1(kOcCannotCreate), {path});
  parts.Add(path);
}

// A part is synced before it is closed: the next disk may take its place.
void TOndxCompress::ClosePart(TOndxFile& part) {
  if (!part.Sync())
    DiskFull();
  part.Close();
}

std::int64_t TOndxCompress::SplitStep(TOndxFile& source, std::int64_t lastByte, TOndxFile& part,
                                      QString& destDir, const QString& fileName,
                                      TSplitParts& parts) {
  CheckAbort();
  const std::int64_t pos = source.Stream().Seek(0, soCurrent);
  if (pos > lastByte)
    return 0;
  const std::int64_t n = std::min(kSplitBlock, lastByte - pos + 1);
  char block[kSplitBlock];
  if (source.Stream().Read(block, n) != n)
    throw EocDamaged(QString::fromLatin1(kOcCorrupt));
  PumpMessages();
  const std::int64_t written = WriteLimited(part, block, n);
  if (written < n) {
    ClosePart(part);
    if (currentDisk_ >= 255)
      throw EOndxCompress(QString::fromLatin1(kOcTooLittleSpace));
    ++currentDisk_;
    if (!OnNewDisk)
      throw EOndxCompress(QString::fromLatin1(kOcNoNewDiskHandler));
    OnNewDisk(this, currentDisk_, destDir);
    CreatePart(part, JoinPath(destDir, PartName(fileName, currentDisk_)), parts);
    if (WriteLimited(part, block + written, n - written) != n - written)
      throw EOndxCompress(QString::fromLatin1(kOcTooLittleSpace));
  }
  stats_.BytesDone += static_cast<std::int32_t>(n);
  stats_.FilePercent = OcPercent(stats_.BytesDone, stats_.CompressedSize);
  stats_.TotalDone += static_cast<std::int32_t>(n);
  stats_.TotalPercent = OcPercent(stats_.TotalDone, stats_.TotalCompressed);
  Fire(OnStatus);
  return n;
}
