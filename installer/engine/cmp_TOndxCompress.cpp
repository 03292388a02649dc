#include "installer/engine/cmp_TOndxCompress.h"

#include "installer/engine/InstallHost.h"
#include "installer/engine/cmp_TOndxCompress_Files.h"
#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"

#include <QFile>

#include <cerrno>

namespace {

TOndxCompress*& GlobalSlot() {
  static TOndxCompress* global = nullptr;  // set and cleared by the instances
  return global;
}

const TResetHook kResetGlobal([] { GlobalSlot() = nullptr; });

}  // namespace

TOndxCompress::TOndxCompress(TComponent* owner)
    : TComponent(owner),
      filesToProcess_(std::make_unique<TStringList>()),
      written_(std::make_unique<TOcSyncBatch>()) {
  if (GlobalSlot() == nullptr)
    GlobalSlot() = this;
}

TOndxCompress::~TOndxCompress() {
  if (GlobalSlot() == this)
    GlobalSlot() = nullptr;
}

TOndxCompress* TOndxCompress::Global() {
  return GlobalSlot();
}

// Moving between the parts of one split archive keeps the headers: the
// names compare equal once both extensions are ".1".
void TOndxCompress::SetCompressedFile(const QString& value) {
  if (SameText(value, compressedFile_))
    return;
  if (headersLoaded_ &&
      !SameText(ChangeFileExt(value, QStringLiteral(".1")),
                ChangeFileExt(compressedFile_, QStringLiteral(".1"))))
    headersLoaded_ = false;
  compressedFile_ = value;
}

void TOndxCompress::SetFilesToProcess(const TStrings& value) {
  filesToProcess_->Clear();
  for (int i = 0; i < value.Count(); ++i)
    if (!value.Get(i).trimmed().isEmpty())
      filesToProcess_->Add(value.Get(i));
}

void TOndxCompress::LoadHeaders() {
  TOndxFile file;
  if (!file.Open(compressedFile_, TOndxFile::omRead))
    throw EocCannotOpenArchive(QString::fromLatin1(kOcCannotOpenArchive), {compressedFile_});
  headersLoaded_ = false;
  try {
    ReadHeaderBlock(file.Stream(), offset_, headers_);
  } catch (...) {
    headers_.Clear();
    throw;
  }
  headersLoaded_ = true;
}

void TOndxCompress::EnsureHeaders() {
  if (!headersLoaded_)
    LoadHeaders();
}

int TOndxCompress::FileCount() {
  if (!headersLoaded_ && mode_ != mdAdding)
    LoadHeaders();
  return headers_.Count();
}

void TOndxCompress::GetFileStats(int index, TlzhFileStats& stats) {
  EnsureHeaders();
  if (index < 0 || index >= headers_.Count())
    throw EOndxCompress(QString::fromLatin1(kOcBadFileIndex), {index});
  StatsTotals();
  StatsFromHeader(headers_.FileHeaders(index).Rec());
  stats = stats_;
}

int TOndxCompress::IndexOf(const QString& name) {
  EnsureHeaders();
  for (int i = 0; i < headers_.Count(); ++i)
    if (SameText(headers_.FileHeaders(i).Rec().SourceName, name))
      return i;
  return -1;
}

void TOndxCompress::DiskFull() {
  if (!OnFullDisk)
    throw EocDiskFull();
  OnFullDisk(this);
  // The handler took the error over; the operation cannot go on.
  throw EAbort();
}

void TOndxCompress::SyncWrittenFiles() {
  QString failed;
  int error = 0;
  if (written_->Sync(failed, error))
    return;
  if (error == ENOSPC || error == EDQUOT)
    DiskFull();
  throw EocCannotWrite(QString::fromLatin1(kOcCannotCreate), {failed});
}

void TOndxCompress::RunOperation(const std::function<void()>& body) {
  abort_ = false;
  try {
    body();
  } catch (const EocAborted&) {
    if (OnAborted)
      OnAborted(this);
  } catch (const EAbort&) {
  } catch (...) {
    abort_ = true;
    throw;
  }
}

void TOndxCompress::StatsTotals() {
  std::int64_t size = 0;
  std::int64_t compressed = 0;
  for (int i = 0; i < headers_.Count(); ++i) {
    size += headers_.FileHeaders(i).Rec().FileSize;
    compressed += headers_.FileHeaders(i).Rec().CompressedSize;
  }
  stats_ = TlzhFileStats();
  stats_.TotalSize = static_cast<std::int32_t>(size);
  stats_.TotalCompressed = static_cast<std::int32_t>(compressed);
  stats_.TotalRatio = OcPercent(compressed, size);
}

void TOndxCompress::StatsFromHeader(const TFileHeaderRec& rec) {
  stats_.Header = rec;
  stats_.FileName = rec.SourceName;
  stats_.FileSize = rec.FileSize;
  stats_.CompressedSize = rec.CompressedSize;
  stats_.Ratio = OcPercent(rec.CompressedSize, rec.FileSize);
  stats_.BytesDone = 0;
  stats_.FilePercent = 0;
  stats_.Done = false;
}

void TOndxCompress::Fire(const TlzhFileStatsEvent& event) {
  if (event)
    event(this, stats_);
}

void TOndxCompress::CheckAbort() const {
  if (abort_)
    throw EocAborted();
}

void TOndxCompress::PumpMessages() {
  ProcessInstallMessages();
}

std::int64_t TOndxCompress::WriteLimited(TOndxFile& file, const void* data, std::int64_t size) {
  if (FreeSpaceHook) {
    const std::int64_t free = FreeSpaceHook(ExtractFileDir(file.Path()));
    if (free >= 0 && free < size)
      size = free;
  }
  return size > 0 ? file.Stream().Write(data, size) : 0;
}


namespace {
const TEnumInfo kCompressionLevelIdents{"colNone", "colFastest", "colDefault", "colMax"};
const TEnumInfo kOverwriteIdents{"owAlways", "owNever", "owVersion", "owDate", "owVersionDate"};
}  // namespace

void TOndxCompress::DeclareProperties(TClassBuilder<TOndxCompress, TComponent>& b) {
  b.Property("Abort", &TOndxCompress::Abort, &TOndxCompress::SetAbort).Default(false);
  b.Property("CompressedFile", &TOndxCompress::CompressedFile, &TOndxCompress::SetCompressedFile);
  b.Property("CompressionLevel", &TOndxCompress::CompressionLevel,
             &TOndxCompress::SetCompressionLevel, kCompressionLevelIdents)
      .Default(colMax);
  b.Property("ExtractDirectory", &TOndxCompress::ExtractDirectory,
             &TOndxCompress::SetExtractDirectory);
  b.Object("FilesToProcess", &TOndxCompress::FilesToProcess);
  b.Property("Offset", &TOndxCompress::Offset, &TOndxCompress::SetOffset).Default(0);
  b.Property("Overwrite", &TOndxCompress::Overwrite, &TOndxCompress::SetOverwrite, kOverwriteIdents)
      .Default(owAlways);
  b.Event("OnAborted", &TOndxCompress::OnAborted);
  b.Event("OnAfterAdding", &TOndxCompress::OnAfterAdding);
  b.Event("OnBeforeAdding", &TOndxCompress::OnBeforeAdding);
  b.Event("OnAfterExtracting", &TOndxCompress::OnAfterExtracting);
  b.Event("OnBeforeExtracting", &TOndxCompress::OnBeforeExtracting);
  b.Event("OnListing", &TOndxCompress::OnListing);
  b.Event("OnReplace", &TOndxCompress::OnReplace);
  b.Event("OnStatus", &TOndxCompress::OnStatus);
  b.Event("OnFullDisk", &TOndxCompress::OnFullDisk);
  b.Event("OnNewDisk", &TOndxCompress::OnNewDisk);
}
