// Add: compresses the files of FilesToProcess into the archive. The member
// count at the start is written last, once every member is complete; a
// failure leaves the old archive as it was.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Files.h"
#include "installer/engine/cmp_TOndxCompress_Overwrite.h"
#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/cmp_TOndxCompress_Zlib.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <limits>

#include <unistd.h>

namespace {

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kReadBlock = 65536;
constexpr std::int64_t kWriteBackSlice = 1 << 20;

int ZlibLevel(TCompressionLevel level) {
  switch (level) {
    case colNone: return 0;
    case colFastest: return 1;
    case colDefault: return Z_DEFAULT_COMPRESSION;
    case colMax: break;
  }
  return 9;
}

// Runs f when the scope ends, also by an exception.
template <class F>
class TOnExit {
 public:
  explicit TOnExit(F f) : f_(std::move(f)) {}
  TOnExit(const TOnExit&) = delete;
  TOnExit& operator=(const TOnExit&) = delete;
  ~TOnExit() { f_(); }

 private:
  F f_;
};

}  // namespace

void TOndxCompress::Add(bool append) {
  RunOperation([&] { DoAdd(append); });
}

void TOndxCompress::DoAdd(bool append) {
  mode_ = mdAdding;
  offset_ = 0;
  TOnExit done([this] {
    mode_ = mdNone;
    headersLoaded_ = false;
    filesToProcess_->Clear();
  });
  const QString dir = ExtractFileDir(compressedFile_);
  if (!dir.isEmpty() && !DirectoryExists(dir))
    ForceDirectories(dir);

  std::unique_ptr<TOcReplacingFile> fresh;
  TOndxFile existing;
  TOndxFile* out = &existing;
  std::int64_t oldSize = -1;
  if (append && FileExists(compressedFile_)) {
    if (!existing.Open(compressedFile_, TOndxFile::omReadWrite))
      throw EOndxCompress(QString::fromLatin1(kOcCannotCreate), {compressedFile_});
    LoadHeaders();
    if (headers_.Layout() != 0)
      throw EOndxCompress(QString::fromLatin1(kOcCannotAppendSplit), {compressedFile_});
    oldSize = existing.Stream().Size();
  } else {
    headers_.Clear();
    headers_.SetLayout(0);
    OcRemoveStaleTemporaries(dir);
    fresh = std::make_unique<TOcReplacingFile>(compressedFile_);
    out = &fresh->File();
    WriteHeaderBlock(out->Stream(), headers_);  // room for the count, written last
  }
  try {
    AddAll(*out);
  } catch (...) {
    if (oldSize >= 0)
      ::ftruncate(existing.Stream().Handle(), oldSize);
    throw;
  }
  if (fresh)
    fresh->Commit(OcNewFileMode(false));
}

void TOndxCompress::AddAll(TOndxFile& out) {
  const int firstNew = headers_.Count();
  // An entry "path;name" stores the file under name; else under its path.
  QStringList sources;
  for (int i = 0; i < filesToProcess_->Count(); ++i) {
    const QString entry = filesToProcess_->Get(i);
    const QString path = GetField(entry, 1, QLatin1Char(';'));
    const QString name = GetField(entry, 2, QLatin1Char(';'));
    const TFileHeaderRec rec = NewHeader(path, name.trimmed().isEmpty() ? path : name, i + 1);
    for (int k = 0; k < headers_.Count(); ++k)
      if (SameText(headers_.FileHeaders(k).Rec().SourceName, rec.SourceName))
        throw EOndxCompress(QString::fromLatin1(kOcDuplicateName), {rec.SourceName, compressedFile_});
    headers_.Add(false, rec);
    sources << path;
  }
  std::int64_t total = 0;
  for (int i = 0; i < headers_.Count(); ++i)
    total += headers_.FileHeaders(i).Rec().FileSize;
  if (total > kMaxInt32)
    throw EOndxCompress(QString::fromLatin1(kOcArchiveTooLarge), {compressedFile_});
  StatsTotals();
  stats_.TotalCompressed = 0;
  out.Stream().Seek(0, soEnd);
  for (int i = firstNew; i < headers_.Count(); ++i)
    AddMember(headers_.FileHeaders(i).Rec(), sources[i - firstNew], out);
  WriteHeaderBlock(out.Stream(), headers_);
  if (!out.Sync())
    DiskFull();
}

TFileHeaderRec TOndxCompress::NewHeader(const QString& name, const QString& storedName, int number) {
  TFileHeaderRec rec;
  rec.SourceName = storedName;
  CheckHeaderFits(rec);
  TOndxFile source;
  if (!source.Open(name, TOndxFile::omRead))
    throw EOndxCompress(QString::fromLatin1(kOcCannotOpen), {name});
  const std::int64_t size = source.Stream().Size();
  if (size > kMaxInt32)
    throw EOndxCompress(QString::fromLatin1(kOcFileTooLarge), {name});
  rec.FileDate = FileAge(name);
  if (!IsValidFileDate(rec.FileDate))
    throw EOndxCompress(QString::fromLatin1(kOcBadFileDate), {name});  // no reader would take it
  rec.FileSize = static_cast<std::int32_t>(size);
  rec.Version = OcFileVersion(name);
  rec.Number = number;
  CheckHeaderFits(rec);
  return rec;
}

// The member's data is compressed straight into the output behind room for
// its header, which is written once the compressed size is known. The output
// is itself a new file renamed into place at the end, or an archive cut back
// to its old size on failure, so no half member is ever seen.
void TOndxCompress::AddMember(TFileHeaderRec& rec, const QString& path, TOndxFile& out) {
  TOndxFile source;
  if (!source.Open(path, TOndxFile::omRead))
    throw EOndxCompress(QString::fromLatin1(kOcCannotOpen), {path});
  StatsFromHeader(rec);
  rec.CompressedSize = 0;
  Fire(OnBeforeAdding);

  const std::int64_t pos = out.Stream().Seek(0, soEnd);
  rec.DataStart = static_cast<std::int32_t>(pos + kOcHeaderSize);
  const QByteArray room = EncodeFileHeader(rec);
  if (WriteLimited(out, room.constData(), kOcHeaderSize) != kOcHeaderSize)
    DiskFull();
  const std::int64_t packed = CompressInto(source, out, rec.FileSize, pos + kOcHeaderSize);
  stats_.Ratio = OcPercent(packed, rec.FileSize);
  stats_.Done = true;
  AddProgress(rec.FileSize, packed);
  stats_.Done = false;

  rec.LastByte = static_cast<std::int32_t>(pos + kOcHeaderSize + packed - 1);
  rec.NextHeader = rec.LastByte + 1;
  rec.CompressedSize = static_cast<std::int32_t>(packed);
  const QByteArray head = EncodeFileHeader(rec);
  if (out.Stream().Seek(pos, soBeginning) != pos ||
      out.Stream().Write(head.constData(), kOcHeaderSize) != kOcHeaderSize)
    DiskFull();
  out.Stream().Seek(0, soEnd);
  stats_.TotalCompressed += static_cast<std::int32_t>(packed);
  stats_.Header = rec;
  stats_.CompressedSize = rec.CompressedSize;
  Fire(OnAfterAdding);
}

// Deflates size bytes of source to the end of out, whose data starts at
// start; a progress step after every block read. The compressed size.
std::int64_t TOndxCompress::CompressInto(TOndxFile& source, TOndxFile& out, std::int64_t size,
                                         std::int64_t start) {
  std::int64_t packed = 0;
  std::int64_t sent = 0;  // bytes whose write-back has been started
  TOcDeflater deflater(ZlibLevel(level_), [&](const char* data, std::int64_t n) {
    if (start + packed + n - 1 > kMaxInt32)
      throw EOndxCompress(QString::fromLatin1(kOcArchiveTooLarge), {compressedFile_});
    if (WriteLimited(out, data, n) != n)
      DiskFull();
    packed += n;
    // The archive goes to the disk while the rest is compressed, so its
    // sync at the end finds little left.
    if (packed - sent >= kWriteBackSlice) {
      out.StartWriteBack(start + sent, packed - sent);
      sent = packed;
    }
  });
  auto block = std::make_unique<char[]>(kReadBlock);
  std::int64_t done = 0;
  while (done < size) {
    const std::int64_t n = source.Stream().Read(block.get(), std::min(kReadBlock, size - done));
    if (n <= 0)
      break;
    deflater.Feed(block.get(), n);
    done += n;
    AddProgress(done, packed);
  }
  deflater.Finish();
  return packed;
}

void TOndxCompress::AddProgress(std::int64_t position, std::int64_t packed) {
  CheckAbort();
  PumpMessages();
  stats_.TotalDone += static_cast<std::int32_t>(position - stats_.BytesDone);
  stats_.BytesDone = static_cast<std::int32_t>(position);
  stats_.CompressedSize = static_cast<std::int32_t>(packed);
  stats_.FilePercent = OcPercent(stats_.BytesDone, stats_.FileSize);
  stats_.TotalPercent = OcPercent(stats_.TotalDone, stats_.TotalSize);
  Fire(OnStatus);
}
