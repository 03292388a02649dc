// CopyOneFile: copies a plain file under the overwrite rule, with status
// events; the target is replaced only once the copy is complete.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Files.h"
#include "installer/engine/cmp_TOndxCompress_Overwrite.h"
#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <limits>

namespace {
constexpr std::int64_t kCopyBlock = 8192;
}

void TOndxCompress::CopyOneFile(const QString& source, const QString& dest) {
  abort_ = false;
  skipFile_ = false;  // a flag left by an earlier operation must not skip this copy
  offset_ = 0;
  extractDirectory_ = ExtractFileDir(dest);
  destFileName_ = ExtractFileName(dest);
  struct TClear {
    QString& name;
    ~TClear() { name.clear(); }
  } clear{destFileName_};
  QString target = dest;
  bool write = true;
  if (FileExists(dest))
    write = AcceptReplace(OcCompareFiles(source, dest, overwrite_), target);
  if (write && !skipFile_)
    CopyContents(source, target);
  if (!syncHeld_)
    SyncWrittenFiles();
}

bool TOndxCompress::AcceptReplace(int decision, QString& target) {
  if (decision == 0)
    throw EOndxCompress(QString::fromLatin1(kOcCompareFailed));
  if (decision != 2)
    return false;
  Fire(OnReplace);
  target = CheckedTarget();
  return true;
}

void TOndxCompress::CopyContents(const QString& source, const QString& target) {
  stats_ = TlzhFileStats();
  stats_.FileName = source;
  TOndxFile in;
  if (!in.Open(source, TOndxFile::omRead))
    throw EOndxCompress(QString::fromLatin1(kOcCannotOpen), {source});
  const std::int64_t size = in.Stream().Size();
  if (size > std::numeric_limits<std::int32_t>::max())
    throw EOndxCompress(QString::fromLatin1(kOcFileTooLarge), {source});
  stats_.FileSize = static_cast<std::int32_t>(size);
  const QString dir = ExtractFileDir(target);
  if (written_->AddFolder(dir))
    OcRemoveStaleTemporaries(dir);
  TOcReplacingFile out(target);
  char block[kCopyBlock];
  for (;;) {
    if (abort_)
      return;  // stops without an error; the old target stays
    const std::int64_t n = in.Stream().Read(block, kCopyBlock);
    if (WriteLimited(out.File(), block, n) != n)
      DiskFull();
    stats_.TotalDone += static_cast<std::int32_t>(n);
    stats_.BytesDone = stats_.TotalDone;
    stats_.FilePercent = OcPercent(stats_.TotalDone, stats_.FileSize);
    stats_.TotalPercent = stats_.FilePercent;
    Fire(OnStatus);
    PumpMessages();
    if (n < kCopyBlock)
      break;
  }
  FileSetDate(out.TempName(), FileAge(source));  // a date that cannot be set is no error here
  stats_.Done = true;
  Fire(OnStatus);
  out.Commit(OcFileMode(source), written_.get());
}
