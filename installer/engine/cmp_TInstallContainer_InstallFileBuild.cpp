// The install file's information and build steps: reading its size, date
// and version from the source or the archive, compressing it into its
// archive and copying it to a folder.
#include <QFile>

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TNetInstallLocation_FileList.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TOndxCompress_Overwrite.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/Streams.h"

namespace {

// The global compressor, or a new one held in own when there is none.
TOndxCompress& GlobalOrOwn(std::unique_ptr<TOndxCompress>& own) {
  if (TOndxCompress* global = TOndxCompress::Global())
    return *global;
  own = std::make_unique<TOndxCompress>(nullptr);
  return *own;
}

}  // namespace

TOndxCompress& TCustomInstallFile::CompressorFor(const QString& path,
                                                 std::unique_ptr<TOndxCompress>& own) {
  TCustomInstall* install = CurrentInstall();
  TOndxCompress* global = TOndxCompress::Global();
  if (install != nullptr && global != nullptr && SameText(path, install->GetExpandedArchiveFile()))
    return *global;
  own = std::make_unique<TOndxCompress>(nullptr);
  return *own;
}

void TCustomInstallFile::ReadInfoFromArchive() {
  const int distribute = GetDistributeType();
  if (distribute == 0 || (distribute == 2 && !Net())) {
    ReadInfoFromArchiveFile(TFileRelated::GetExpandedArchiveFile());
    return;
  }
  if (HasOwnNetArchive() && IsArchiveLocal()) {
    QString recorded;
    ReadInfoFromArchiveFile(LocalArchive().trimmed().isEmpty() && GetRecordedLocalFile(recorded)
                                ? recorded
                                : LocalArchive());
    return;
  }
  TFileContainer* group = FileContainer();
  if (group == nullptr)
    throw IECustomInstallFile(QString::fromLatin1(kIfNoContainerForInfo), {Name()});
  if (group->IsArchiveLocal())
    ReadInfoFromArchiveFile(group->GetLocalArchivePath());
}

void TCustomInstallFile::ReadInfoFromArchiveFile(const QString& path) {
  if (path.trimmed().isEmpty())
    throw IECustomInstallFile(QString::fromLatin1(kIfArchiveBlank), {fileName_});
  std::unique_ptr<TOndxCompress> own;
  TOndxCompress& compressor = CompressorFor(path, own);
  compressor.SetCompressedFile(path);
  TlzhFileStats stats;
  try {
    const int index = compressor.IndexOf(MemberIn(compressor));
    if (index < 0)
      return;
    compressor.GetFileStats(index, stats);
  } catch (const EOndxCompress& e) {
    RaiseUnpackError(e, path);
  }
  archivedSize_ = stats.Header.CompressedSize;
  date_ = stats.Header.FileDate;
  size_ = stats.Header.FileSize;
  version_ = stats.Header.Version.left(20);
}

void TCustomInstallFile::ReadFileInfo() {
  QFile file(SourcePath());
  if (!file.open(QIODevice::ReadOnly))
    throw IECustomInstallFile(QString::fromLatin1(kIfCannotReadInfo), {SourcePath()});
  date_ = FileAge(SourcePath());
  size_ = static_cast<int>(file.size());
  version_ = OcFileVersion(SourcePath()).left(20);
}

void TCustomInstallFile::BuildStep(TInstallFileState state, void (TCustomInstallFile::*step)()) {
  state_ = state;
  IfTryFinally(
      [&] {
        try {
          (this->*step)();
        } catch (const EAbort&) {
        }
      },
      [&] {
        state_ = ifsNone;
        try {
          BroadcastMessage(this, scOperationEnded, nullptr);
        } catch (...) {
          // A compression stopped by its listener stops the build.
          if (TOndxCompress* global = TOndxCompress::Global(); global && state == ifsCompress)
            global->SetAbort(true);
          throw;
        }
      });
}

void TCustomInstallFile::Copy() {
  BuildStep(ifsCopying, &TCustomInstallFile::DoCopy);
}

void TCustomInstallFile::DoCopy() {
  if (OnBeforeCopy)
    OnBeforeCopy(this);
  SendInformation(icBeforeCopy, this);
  if (!Include())
    return;
  if (GetExpandedDestDir().trimmed().isEmpty())
    throw IECustomInstallFile(QString::fromLatin1(kIfDestBlank), {Name()});
  ForceDirectories(GetExpandedDestDir());
  std::unique_ptr<TOndxCompress> own;
  TOndxCompress& compressor = GlobalOrOwn(own);
  IfTryFinally(
      [&] {
        compressor.OnStatus = [this](TOndxCompress* c, const TlzhFileStats& s) {
          ReportStatus(c, s);
        };
        compressor.CopyOneFile(SourcePath(), GetDestPath());
      },
      [&] { compressor.OnStatus = nullptr; });
  if (OnAfterCopy)
    OnAfterCopy(this);
  SendInformation(icAfterCopy, this);
}

void TCustomInstallFile::Compress() {
  BuildStep(ifsCompress, &TCustomInstallFile::DoCompress);
}

void TCustomInstallFile::DoCompress() {
  if (OnBeforeCompress)
    OnBeforeCompress(this);
  SendInformation(icBeforeCompress, this);
  const QString archive = GetExpandedArchiveFile();
  if (archive.trimmed().isEmpty())
    throw IECustomInstallFile(QString::fromLatin1(kIfArchiveBlank), {fileName_});
  if (!Include())
    return;
  ForceDirectories(ExtractFileDir(archive));
  std::unique_ptr<TOndxCompress> own;
  TOndxCompress& compressor = GlobalOrOwn(own);
  IfTryFinally(
      [&] {
        compressor.OnAborted = [this](TObject*) { RaiseUserAbort(); };
        compressor.OnStatus = [this](TOndxCompress* c, const TlzhFileStats& s) {
          ReportStatus(c, s);
        };
        compressor.FilesToProcess()->Clear();
        compressor.FilesToProcess()->Add(SourcePath() + QLatin1Char(';') + ArchiveName());
        compressor.SetCompressedFile(archive);
        compressor.Add(AddToArchive() == lzcOnlyAdd);
      },
      [&] {
        compressor.OnAborted = nullptr;
        compressor.OnStatus = nullptr;
      });
  buildMark_ = 2;
  compressedInto_ = archive;
  if (OnAfterCompress)
    OnAfterCompress(this);
  SendInformation(icAfterCompress, this);
}

void TCustomInstallFile::WriteFileListRecord(TStream& stream) {
  TFileListRecord r;
  r.Size = size_;
  r.Date = date_;
  r.Name = Name();
  r.Version = version_;
  const QByteArray record = EncodeFileListRecord(r);
  stream.WriteBuffer(record.constData(), record.size());
}
