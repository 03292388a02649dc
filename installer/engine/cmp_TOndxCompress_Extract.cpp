// Extract: writes the members named in FilesToProcess into ExtractDirectory.
// A member's stream is checked as it is inflated: it may not grow past its
// stored size and must end, with its checksum, exactly where its data ends.
// Damaged data raises zlib's own text ("data error", "need dictionary");
// faults of the positions and sizes raise the corrupt text; both as
// EocDamaged.
#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/cmp_TOndxCompress_Files.h"
#include "installer/engine/cmp_TOndxCompress_Overwrite.h"
#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/cmp_TOndxCompress_Zlib.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {

constexpr std::int64_t kInputBlock = 65536;
constexpr int kOutputChunk = 4096;
constexpr std::int64_t kWriteBlock = 65536;
constexpr std::int64_t kWriteBackSlice = 1 << 20;

[[noreturn]] void Corrupt() {
  throw EocDamaged(QString::fromLatin1(kOcCorrupt));
}

}  // namespace

void TOndxCompress::Extract() {
  RunOperation([this] {
    struct TClear {
      TOndxCompress* self;
      ~TClear() {
        self->mode_ = mdNone;
        self->filesToProcess_->Clear();
        self->destFileName_.clear();
      }
    } clear{this};
    DoExtract();
  });
}

void TOndxCompress::DoExtract() {
  mode_ = mdExtracting;
  EnsureHeaders();
  currentDisk_ = 0;
  StatsTotals();
  for (int i = 0; i < filesToProcess_->Count(); ++i)
    ExtractOne(filesToProcess_->Get(i));
  if (!syncHeld_)
    SyncWrittenFiles();
}

void TOndxCompress::ExtractOne(const QString& entry) {
  skipFile_ = false;
  const QString name = GetField(entry, 1, QLatin1Char(';'));
  int index = 0;
  while (index < headers_.Count() && !SameText(headers_.FileHeaders(index).Rec().SourceName, name))
    ++index;
  if (index == headers_.Count())
    throw EocNotInArchive(QString::fromLatin1(kOcNotInArchive), {entry, compressedFile_});
  const TFileHeaderRec rec = headers_.FileHeaders(index).Rec();
  StatsFromHeader(rec);
  if (destFileName_.trimmed().isEmpty())
    destFileName_ = MemberFileName(rec.SourceName);
  Fire(OnBeforeExtracting);
  QString target = CheckedTarget();
  bool write = true;
  if (FileExists(target))
    write = AcceptReplace(OcCompareStored(rec, target, overwrite_), target);
  if (write && !skipFile_) {
    ExtractMember(rec, target);
  } else {
    stats_.Done = true;
    Fire(OnStatus);
  }
  destFileName_.clear();
}

QString TOndxCompress::CheckedTarget() const {
  const QString name = MemberFileName(destFileName_);
  const QString target = AddBackslash(extractDirectory_) + name;
  if (!IsSafeFileName(name))
    throw EocCannotWrite(QString::fromLatin1(kOcCannotCreate), {target});
  return target;
}

void TOndxCompress::ExtractMember(const TFileHeaderRec& rec, const QString& target) {
  TOndxFile part;
  OpenReadPart(part, rec.StartDisk == 0 ? 1 : rec.StartDisk);
  currentDisk_ = rec.StartDisk;
  const QString dir = ExtractFileDir(target);
  if (!dir.isEmpty() && !DirectoryExists(dir)) {
    written_->AddNewFolders(dir);
    ForceDirectories(dir);
  }
  if (written_->AddFolder(dir))
    OcRemoveStaleTemporaries(dir);
  TOcReplacingFile out(target);
  const std::int64_t start = std::int64_t{offset_} + rec.DataStart;
  if (part.Stream().Seek(start, soBeginning) != start)
    Corrupt();
  Inflate(rec, part, out.File());
  stats_.Done = true;
  Fire(OnStatus);
  if (out.File().Stream().Size() != rec.FileSize)
    throw EocDamaged(QString::fromLatin1(kOcSizeMismatch), {rec.SourceName});
  if (FileSetDate(out.TempName(), rec.FileDate) != 0)
    throw EocCannotWrite(QString::fromLatin1(kOcCannotSetDate));
  out.Commit(std::nullopt, written_.get());
}

// The 4 KB chunks are gathered into writes of kWriteBlock: each chunk still
// gets its events, but the file sees a sixteenth of the write calls.
void TOndxCompress::Inflate(const TFileHeaderRec& rec, TOndxFile& part, TOndxFile& target) {
  TOcInflater inflater;
  auto input = std::make_unique<char[]>(kInputBlock);
  auto output = std::make_unique<char[]>(kWriteBlock);
  std::int64_t held = 0;
  std::int64_t written = 0;
  std::int64_t sent = 0;  // bytes whose write-back has been started
  bool inputDone = false;
  for (;;) {
    if (inflater.AvailIn() == 0 && !inputDone) {
      std::int64_t got = 0;
      FillInput(rec, part, input.get(), got);
      inputDone = got == 0;
      inflater.SetInput(input.get(), got);
    }
    int produced = 0;
    const int rc = inflater.Inflate(output.get() + held, kOutputChunk, produced);
    // A preset dictionary cannot be given: the stream cannot go on.
    if (rc == Z_MEM_ERROR)
      OcRaiseZlib(rc);
    if (rc == Z_NEED_DICT || (rc < 0 && rc != Z_BUF_ERROR))
      throw EocDamaged(QString::fromLatin1(OcZlibText(rc)));
    if (produced > 0) {
      if (written + produced > rec.FileSize)
        Corrupt();
      ExtractChunk(produced);
      held += produced;
      written += produced;
      if (held + kOutputChunk > kWriteBlock) {
        WriteOut(target, output.get(), held);
        held = 0;
        // A large file goes to the disk while the rest is inflated.
        if (written - sent >= kWriteBackSlice) {
          target.StartWriteBack(sent, written - sent);
          sent = written;
        }
      }
    }
    if (rc == Z_STREAM_END) {
      if (inflater.AvailIn() != 0 || !InputUsedUp(rec, part))
        Corrupt();
      WriteOut(target, output.get(), held);
      return;
    }
    if (produced == 0 && inflater.AvailIn() == 0 && inputDone)
      Corrupt();  // the stream stops before its end and checksum
  }
}

// The next block of the member's data: up to its last byte on the end disk,
// else to the end of the part and on to the next disk's part.
void TOndxCompress::FillInput(const TFileHeaderRec& rec, TOndxFile& part, char* buffer,
                              std::int64_t& got) {
  for (;;) {
    if (currentDisk_ >= rec.EndDisk) {
      const std::int64_t pos = part.Stream().Seek(0, soCurrent);
      const std::int64_t n = std::min(kInputBlock, std::int64_t{offset_} + rec.LastByte - pos + 1);
      got = n > 0 ? part.Stream().Read(buffer, n) : 0;
      if (got != std::max<std::int64_t>(n, 0))
        Corrupt();  // the part ends before the member's last byte
      return;
    }
    got = part.Stream().Read(buffer, kInputBlock);
    if (got > 0)
      return;
    ++currentDisk_;
    OpenReadPart(part, currentDisk_);
  }
}

// CompressedFile follows the part also when it is not found, so that the
// error's archive is the part that was looked for.
void TOndxCompress::OpenReadPart(TOndxFile& part, int disk) {
  QString path = compressedFile_;
  struct TFollow {
    TOndxCompress* self;
    const QString& path;
    ~TFollow() { self->SetCompressedFile(path); }
  } follow{this, path};
  OpenPart(part, path, disk, TOndxFile::omRead, headers_.Layout() == 1);
}

bool TOndxCompress::InputUsedUp(const TFileHeaderRec& rec, TOndxFile& part) const {
  return currentDisk_ >= rec.EndDisk &&
         part.Stream().Seek(0, soCurrent) == std::int64_t{offset_} + rec.LastByte + 1;
}

void TOndxCompress::ExtractChunk(int size) {
  CheckAbort();
  PumpMessages();
  stats_.BytesDone += size;
  stats_.TotalDone += size;
  stats_.FilePercent = OcPercent(stats_.BytesDone, stats_.FileSize);
  stats_.TotalPercent = OcPercent(stats_.TotalDone, stats_.TotalSize);
  Fire(OnStatus);
}

void TOndxCompress::WriteOut(TOndxFile& target, const char* data, std::int64_t size) {
  if (size > 0 && WriteLimited(target, data, size) != size)
    DiskFull();
}
