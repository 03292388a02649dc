// The build mode (-b): the distribution of a setup script in the build
// folder that BUILD.INF names, ending in a self-extracting setup.exe. The
// transfer to floppies (-f) is in cmp_TInstall_Floppies.cpp.

#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_Ondrix.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TNetInstallLocation_FileList.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

#include "platform/rtl/Format.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <QFile>

namespace {

constexpr char kBuildInfFile[] = "BUILD.INF";
constexpr char kTextNoBuildInf[] =
    "Need to have a BUILD.INF file in this directory with the first line specifying the build "
    "directory";
constexpr char kTextBuildInfLines[] =
    "Must be 1 line in BUILD.INF. This line should specify the build directory";
constexpr char kTextNoStandAlone[] =
    "Cannot build a stand alone executable if the UseLoadingProgram property of the TInstall is "
    "set to False";
constexpr char kTextSetup1DiskFull[] =
    "The disk that you have specified has been determined to be either too full or is corrupt "
    "while trying to copy the SETUP.1 archive file. You should probably clear all files off of "
    "the drive. Minimally, you should leave enough space on the drive for the SETUP.1 archive "
    "file.";
constexpr char kLibraryMarker[] = "Q32V31.TXT";
constexpr char kTextNoLibrary[] =
    "The HKEY_LOCAL_MACHINE | %s key in the registry is either missing or points to an invalid "
    "Ondrix directory";
constexpr char kOndrixKey[] = "\\Software\\Orvanne\\Q32V31";
// The loader is an ELF program: it has no ".exe".
constexpr char kLoaderProgram[] = "OndrixLoadProgram";
constexpr char kTextNoLoader[] = "The loader program %s was not found";
constexpr char kTextCannotCopyLoader[] = "Cannot copy the loading program from %s to %s";
constexpr char kTextCannotCopyProgram[] = "Cannot copy the installation application from %s to %s";
constexpr char kTextBlankExe[] = "Cannot create setup file. Executable is blank";
constexpr char kTextNoExe[] = "TInstall: Cannot find the executable file %s";

// Copies from to to, replacing to as a whole.
bool CopyReplacing(const QString& from, const QString& to) {
  QFile source(from);
  if (!source.open(QIODevice::ReadOnly)) return false;
  try {
    WriteFileAtomically(to, source.readAll());
  } catch (const Exception&) {
    return false;
  }
  QFile::setPermissions(to, QFile::permissions(from));
  return true;
}

// The installer library's folder: the first folder of the library search
// path that holds its marker file.
QString LibraryFolder() {
  const QString searchPath =
      ReadRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey), QStringLiteral("SearchPath"), {});
  if (!Trim(searchPath).isEmpty()) {
    for (const QString& folder : searchPath.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      if (FileExists(AddBackslash(folder) + QLatin1String(kLibraryMarker))) return RemoveBackslash(folder);
    }
  }
  throw IEInstall(QString::fromLatin1(kTextNoLibrary), {QString::fromLatin1(kOndrixKey)});
}

}  // namespace

void TCustomInstall::BuildMode() {
  TInstallHost* host = CurrentInstallHost();
  try {
    const QString inf = AddBackslash(ExtractFileDir(InstallExeName())) + QLatin1String(kBuildInfFile);
    if (!FileExists(inf)) throw IEInstall(QString::fromLatin1(kTextNoBuildInf));
    TStringList lines;
    lines.LoadFromFile(inf);
    if (lines.Count() == 0) throw IEInstall(QString::fromLatin1(kTextBuildInfLines));
    // A relative build folder is BUILD.INF's own folder's: the setup folder
    // builds wherever it is copied to.
    QString buildDir = lines[0];
    if (!Trim(buildDir).isEmpty() && !QDir::isAbsolutePath(buildDir))
      buildDir = AddBackslash(ExtractFileDir(inf)) + buildDir;
    BuildDistribution(InstallExeName(), buildDir, true);
  } catch (const Exception& e) {
    // A failed build says why and ends with a failure: nothing waits on a box
    // when no prompter answers.
    ShowInstallError(e.Message());
    if (host != nullptr) host->SetExitCode(1);
  }
  if (host != nullptr) host->Terminate();
}

void TCustomInstall::BuildDistribution(const QString& exeName, const QString& buildDir,
                                       bool standAlone) {
  if (standAlone && !useLoadingProgram_) throw IEInstall(QString::fromLatin1(kTextNoStandAlone));
  GlobalNetInstallLocation().SetLoginInformation(loginInformation_.get());
  const QString dir = AddBackslash(buildDir);
  const QString setupExe = dir + QStringLiteral("setup.exe");
  const QString setup1 = dir + QStringLiteral("setup.1");
  const QString files1 = dir + QStringLiteral("files.1");
  ForceDirectories(RemoveBackslash(buildDir));
  CopySetupProgram(buildDir, exeName);
  // The install's own archive becomes the build's files.1 for the build.
  TCustomPathSpecifier* savedType = ArchiveFileType();
  const QString savedFile = ArchiveFile();
  StoreArchiveFileType(nullptr);
  StoreArchiveFile(files1);
  IfTryFinally(
      [&] {
        TCompressOptions options = coRebuildOtherArchives | coBuildBit2 | coIncludeExcluded;
        if (DistributeType() == dtTraditional) options |= coForceNetFilesLocal;
        if (DistributeType() == dtWeb) options |= coForceFilesNet;
        Compress(options);
        if (DistributeType() != dtTraditional) {
          QList<TFileListRecord> records;
          for (TCustomInstallFile* file : InstallUnitState().installFiles) {
            if (file->BuildMark() == 0) continue;
            records << TFileListRecord{file->Size(), file->Date(), file->Name(), file->Version()};
          }
          const QString listDir = ExtractFileDir(setupExe) + PathDelim + GetNetArchivePath();
          ForceDirectories(listDir);
          WriteRemoteFileList(listDir + QStringLiteral("/filelist.lst"), records);
        }
      },
      [&] {
        StoreArchiveFileType(savedType);
        StoreArchiveFile(savedFile);
      });
  Notify(OnBuildCompressed);
  if (standAlone) {
    Notify(OnSelfExtractStart);
    WriteSelfExtractingProgram(setupExe, setup1, files1);
    Notify(OnSelfExtractEnd);
  }
}

// The setup program of the build: the loader as setup.exe with setup.1
// beside it, or the installation program itself.
void TCustomInstall::CopySetupProgram(const QString& buildDir, const QString& exeName) {
  const QString dir = AddBackslash(buildDir);
  if (useLoadingProgram_) {
    // The library is looked up first: a build without it fails before the
    // long compression of setup.1.
    const QString loader = AddBackslash(LibraryFolder()) + QLatin1String(kLoaderProgram);
    if (!FileExists(loader)) throw IEInstall(QString::fromLatin1(kTextNoLoader), {loader});
    try {
      BuildSetupArchive(buildDir, exeName);
    } catch (const EocDiskFull&) {
      throw IEInstall(QString::fromLatin1(kTextSetup1DiskFull));
    }
    const QString setupExe = dir + QStringLiteral("setup.exe");
    if (!CopyReplacing(loader, setupExe))
      throw IEInstall(QString::fromLatin1(kTextCannotCopyLoader), {loader, setupExe});
  } else {
    const QString target = dir + ExtractFileName(exeName);
    Notify(OnBeforeCopyProgram);
    if (!CopyReplacing(exeName, target))
      throw IEInstall(QString::fromLatin1(kTextCannotCopyProgram), {exeName, target});
    Notify(OnAfterCopyProgram);
  }
  Notify(OnSetupProgramReady);
}

void TCustomInstall::BuildSetupArchive(const QString& buildDir, const QString& exeName) {
  Notify(OnBuildSetupArchiveStart);
  if (Trim(exeName).isEmpty()) throw IEInstall(QString::fromLatin1(kTextBlankExe));
  if (!FileExists(exeName)) throw IEInstall(QString::fromLatin1(kTextNoExe), {exeName});
  const QString setup1 = AddBackslash(buildDir) + QStringLiteral("setup.1");
  const auto compressOne = [&](const QString& path, TlzhCommand command, bool net) {
    TCustomInstallFile file(nullptr, path);
    // The loader unpacks these side by side under their names: a name is
    // their key, and one name twice is refused here.
    file.SetArchiveName(file.FileName());
    file.SetNet(net);
    file.SetAddToArchive(command);
    file.StoreArchiveFileType(nullptr);
    file.StoreArchiveFile(setup1);
    file.Compress();
  };
  compressOne(exeName, lzcOverwrite, true);
  for (int i = 0; i < presetupFiles_->Count(); ++i)
    compressOne(presetupFiles_->Strings(i), lzcOnlyAdd, false);
  Notify(OnBuildSetupArchiveEnd);
}
