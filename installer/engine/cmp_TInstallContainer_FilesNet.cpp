// A file-related object's archive over the network: which location serves
// it, where its archives lie on the server, and the download.
#include "installer/engine/cmp_TInstallContainer_Files.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {

constexpr char kNoLocation[] = "Could not find a net install location for %s";
constexpr char kOwnLocationIncomplete[] =
    "%s could not install itself because the TNetLocation component's properties, in the "
    "NetLocation property, have not been filled in";
constexpr char kInstallLoginIncomplete[] =
    "%s could not install itself because the LoginInformation property of the TInstall component "
    "has not been properly filled in";

}  // namespace

TNetInstallLocation* TFileRelated::FindNetLocation(TInstallContainer* object) {
  if (TFileRelated* related = object->AsFileRelated(); related && related->NetLocation())
    return related->NetLocation();
  if (object->AsInstallFile() != nullptr) {
    TInstallContainer* container = object->ContainerOf();
    return container != nullptr && container->AsFileContainer() != nullptr
               ? FindNetLocation(container)
               : nullptr;
  }
  return &GlobalNetInstallLocation();
}

QString TFileRelated::GetNetArchivePath() {
  TNetInstallLocation* location = FindNetLocation(this);
  if (location == nullptr)
    throw IEFileRelated(QString::fromLatin1(kNoLocation), {Name()});
  const TLoginInformation* login = location->LoginInformation();
  QString directory = CleanFileName(login->Directory());
  if (directory.trimmed().isEmpty())
    directory = login->Protocol() == ipFTP ? QStringLiteral("FTP Root directory")
                                           : QStringLiteral("HTTP Root directory");
  return CleanFileName(login->Hostname()) + PathDelim + directory;
}

void TFileRelated::DownloadArchive() {
  QString recorded;
  if (GetRecordedLocalFile(recorded)) {
    localArchive_ = recorded;
    return;
  }
  TNetInstallLocation* location = FindNetLocation(this);
  if (location == nullptr)
    throw IEFileRelated(QString::fromLatin1(kNoLocation), {Name()});
  if (!location->LoginInformation()->IsComplete()) {
    throw IEFileRelated(QString::fromLatin1(netLocation_ != nullptr ? kOwnLocationIncomplete
                                                                    : kInstallLoginIncomplete),
                        {Name()});
  }
  const QString temp = CreateTempFileName(true);
  localArchive_ = temp.left(temp.size() - ExtractFileExt(temp).size()) + QStringLiteral(".1");
  DeleteFile(temp);
  location->DataReceivedHook = [this](TObject* sender, const QString& fileName, int bytes,
                                      int totalBytes, int fileSize, const char* buffer) {
    DataReceived(sender, fileName, bytes, totalBytes, fileSize, buffer);
  };
  try {
    IfTryFinally([&] { location->DownloadFile(Name() + QStringLiteral(".1"), localArchive_); },
                 [&] { location->DataReceivedHook = nullptr; });
  } catch (const EAIUserAbort&) {
    DeleteFile(localArchive_);
    localArchive_.clear();
    throw;
  }
  SetLocalFile(localArchive_);
}
