// The build and copy steps of a file container: each helper is compressed
// into the archive it belongs to for the build (re-homed for its duration),
// or copied to its destination.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {

constexpr char kBothNetOptions[] =
    "Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress";
constexpr char kCannotDeleteArchive[] = "%s cannot delete the archive file %s";

// The archive name with the extension of the first disk's part.
QString FirstPartName(const QString& archive) {
  const QString ext = ExtractFileExt(archive);
  return archive.left(archive.size() - ext.size()) + QStringLiteral(".1");
}

void DeleteArchive(const TComponent& owner, const QString& path) {
  if (FileExists(path) && !DeleteFile(path))
    throw IEFileContainer(QString::fromLatin1(kCannotDeleteArchive), {owner.Name(), path});
}

}  // namespace

bool TFileContainer::BeginBuildStep(bool all) {
  if (OnBeforeProcess)
    OnBeforeProcess(this);
  if (!Include())
    return false;
  SendInformation(icContainerStart, this);
  ReadFileInfo();
  totalSize_ = GetSize(all, true);
  doneBytes_ = 0;
  return true;
}

void TFileContainer::PrepareFiles() {
  state_ = fcsCopy;
  IfTryFinally(
      [&] {
        if (!BeginBuildStep(false))
          return;
        ForFilesThenGroups(&TCustomInstallFile::Copy, &TFileContainer::PrepareFiles);
        if (OnAfterProcess)
          OnAfterProcess(this);
        SendInformation(icContainerEnd, this);
      },
      [&] {
        state_ = fcsNone;
        BroadcastMessage(this, scOperationEnded, nullptr);
      });
}

void TFileContainer::Compress(TCompressOptions options) {
  if ((options & coForceNetFilesLocal) && (options & coForceFilesNet))
    throw IEFileContainer(QString::fromLatin1(kBothNetOptions));
  state_ = fcsCompress;
  IfTryFinally([&] { DoCompress(options); },
               [&] {
                 state_ = fcsNone;
                 BroadcastMessage(this, scOperationEnded, nullptr);
               });
}

QString TFileContainer::OwnNetArchive(TFileRelated* helper) const {
  return ExtractFileDir(const_cast<TFileContainer*>(this)->GetExpandedArchiveFile()) + PathDelim +
         helper->GetNetArchivePath() + PathDelim + helper->Name() + QStringLiteral(".1");
}

void TFileContainer::DoCompress(TCompressOptions options) {
  if (!BeginBuildStep((options & coIncludeExcluded) != 0))
    return;
  const bool netFiles = (options & coForceNetFilesLocal) == 0 &&
                        (HasNetFiles() || ((options & coForceFilesNet) && FileCount() > 0));
  if (netFiles)
    SetLocalArchive(OwnNetArchive(this));
  if (AddToArchive() == lzcOverwrite)
    DeleteArchive(*this, FirstPartName(GetExpandedArchiveFile()));
  if (netFiles)
    DeleteArchive(*this, LocalArchive());
  // Compressing may free nothing, but a handler may: walk a copy.
  QList<TFileRelated*> helpers;
  for (int i = 0; i < HelperCount(); ++i) {
    if (TFileRelated* helper = GetHelper(i)->AsFileRelated())
      helpers << helper;
  }
  for (TFileRelated* helper : helpers)
    RouteHelper(helper, options);
  if (OnAfterProcess)
    OnAfterProcess(this);
  SendInformation(icContainerEnd, this);
}

void TFileContainer::RouteHelper(TFileRelated* h, TCompressOptions options) {
  TCustomInstallFile* file = h->AsInstallFile();
  const bool netFile = file != nullptr && (options & coForceNetFilesLocal) == 0 &&
                       (h->Net() || (options & coForceFilesNet));
  const TlzhCommand savedAdd = h->AddToArchive();
  const QString savedFile = h->ArchiveFile();
  TCustomPathSpecifier* savedType = h->ArchiveFileType();
  const bool savedInclude = h->Include();
  if (options & coIncludeExcluded)
    h->SetInclude(true);
  IfTryFinally(
      [&] {
        const auto rehome = [&](const QString& archive, TlzhCommand add) {
          h->StoreArchiveFileType(nullptr);
          h->StoreArchiveFile(archive);
          h->SetAddToArchive(add);
        };
        if (netFile) {
          if (h->NetLocation() != nullptr || file->HasOwnNetArchive())
            rehome(OwnNetArchive(h), lzcOverwrite);
          else
            rehome(LocalArchive(), lzcOnlyAdd);
          file->SetInNetArchive(true);
        } else if (dynamic_cast<TpsContainerArchiveFile*>(savedType) != nullptr) {
          h->SetAddToArchive(lzcOnlyAdd);
        } else if (dynamic_cast<TpsInstallSource*>(savedType) != nullptr) {
          TCustomInstall* install = CurrentInstall();
          const QString base =
              install != nullptr ? install->GetExpandedArchiveFile() : GetExpandedArchiveFile();
          rehome(ExtractFileDir(base) + PathDelim + savedFile, lzcOverwrite);
        } else if (dynamic_cast<TpsMainArchiveFile*>(savedType) != nullptr) {
          // The main archive is the one this build writes: add to it, never
          // start it anew under another group's members.
          TCustomInstall* install = CurrentInstall();
          rehome(install != nullptr ? install->GetExpandedArchiveFile() : GetExpandedArchiveFile(),
                 lzcOnlyAdd);
        } else if (options & coRebuildOtherArchives) {
          // A drive-letter name keeps what follows its colon; a path of
          // ours has none, so its file name is taken.
          const QString other = h->GetExpandedArchiveFile();
          const QString afterColon = TextAfterColon(other);
          rehome(ExtractFileDir(GetExpandedArchiveFile()) + PathDelim +
                     ExtractFileName(afterColon.isEmpty() ? other : afterColon),
                 lzcOverwrite);
        }
        if (TFileContainer* group = h->AsFileContainer())
          group->Compress(options);
        else if (file != nullptr)
          file->Compress();
      },
      [&] {
        h->SetAddToArchive(savedAdd);
        h->StoreArchiveFileType(savedType);
        h->StoreArchiveFile(savedFile);
        h->SetInclude(savedInclude);
      });
}
