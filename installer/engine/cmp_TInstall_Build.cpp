// The build mode (-b): the distribution of a setup script in the build
// folder that BUILD.INF names, ending in a self-extracting setup.exe; and
// the transfer of a self-extracting setup to floppies (-f), whose disks are
// folders.

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
constexpr char kTextFloppiesOnlySelfExtract[] =
    "Sorry... You can only transfer this installation to floppies through the self-extracting "
    "file. Usage example: setup.exe *TODISK";

// The folder that stands for the floppy drive "a:" and its capacity.
constexpr const char* kFloppyKey = kFloppyDriveKey;
constexpr char kTextNoFloppy[] = "No folder stands for the floppy drive: %s has no Folder value";
constexpr char kTextTransferring[] = "Transferring this installation to floppies. Please wait...";
constexpr char kTextFloppySetupExe[] = "Cannot create setup.exe on the A drive. Probably not enough room";
constexpr char kTextFloppySetup1[] = "Cannot create setup.1 on the A drive. Probably not enough room";
constexpr char kTextInsertFloppy[] = "Please insert disk %d";
constexpr char kTextAbortedByUser[] = "Aborted by user";

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
    BuildDistribution(InstallExeName(), lines[0], true);
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
    try {
      BuildSetupArchive(buildDir, exeName);
    } catch (const EocDiskFull&) {
      throw IEInstall(QString::fromLatin1(kTextSetup1DiskFull));
    }
    const QString setupExe = dir + QStringLiteral("setup.exe");
    const QString loader = AddBackslash(LibraryFolder()) + QLatin1String(kLoaderProgram);
    if (!FileExists(loader)) throw IEInstall(QString::fromLatin1(kTextNoLoader), {loader});
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

QString FloppyFolder(int disk) {
  const QString first = ReadRegString(hkLocalMachine, QString::fromLatin1(kFloppyKey),
                                      QStringLiteral("Folder"), {});
  if (Trim(first).isEmpty()) return QString();
  return disk <= 1 ? RemoveBackslash(first) : RemoveBackslash(first) + QString::number(disk);
}

void TCustomInstall::TransferToFloppies(const QString& root) {
  TInstallHost* host = CurrentInstallHost();
  TOndxCompress* compressor = TOndxCompress::Global();
  if (host != nullptr) host->SetBusyCursor(true);
  try {
    if (!HasSwitch(swSelfExtractor)) throw IEInstall(QString::fromLatin1(kTextFloppiesOnlySelfExtract));
    const QString program = GetExpandedArchiveFile();
    const TSelfExtractInfo info = ReadSelfExtractInfo(program);
    // "a:" is the folder the registry names; disk n is that folder with n.
    (void)root;
    const QString disk1 = FloppyFolder(1);
    if (disk1.isEmpty()) throw IEInstall(QString::fromLatin1(kTextNoFloppy), {QString::fromLatin1(kFloppyKey)});
    const std::int64_t capacity =
        ReadRegInteger(hkLocalMachine, QString::fromLatin1(kFloppyKey), QStringLiteral("Capacity"), 1457664);
    const auto freeSpace = [capacity](const QString& folder) -> std::int64_t {
      std::int64_t used = 0;
      for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden)) used += f.size();
      return std::max<std::int64_t>(0, capacity - used);
    };
    // A spread that fails or is cancelled takes back what it wrote: the
    // disks are left as they were found.
    QStringList written;
    QStringList madeFolders;
    const auto makeFolder = [&madeFolders](const QString& folder) {
      if (!QDir(folder).exists()) madeFolders.prepend(folder);
      ForceDirectories(folder);
    };
    const auto noteWrite = [&written](const QString& file) {
      if (!QFileInfo::exists(file)) written << file;
    };
    try {
      ShowStatusMessage(QString::fromLatin1(kTextTransferring));
      QFile source(program);
      if (!source.open(QIODevice::ReadOnly)) throw IEInstall(QString::fromLatin1(selfextract::kTextNoExtractionInfo), {program});
      const auto copyPart = [&](qint64 start, qint64 size, const QString& target, const char* error) {
        makeFolder(disk1);
        QByteArray bytes;
        if (source.seek(start)) bytes = source.read(size);
        if (bytes.size() != size || size > freeSpace(disk1)) throw IEInstall(QString::fromLatin1(error));
        noteWrite(target);
        try {
          WriteFileAtomically(target, bytes);
        } catch (const Exception&) {
          throw IEInstall(QString::fromLatin1(error));
        }
      };
      copyPart(0, info.Setup1Start, disk1 + QStringLiteral("/setup.exe"), kTextFloppySetupExe);
      copyPart(info.Setup1Start, info.Setup1End - info.Setup1Start + 1, disk1 + QStringLiteral("/setup.1"),
               kTextFloppySetup1);
      source.close();
      HideStatusMessage();
      if (compressor == nullptr) throw IEInstall(QString::fromLatin1(kTextFloppySetup1));
      noteWrite(disk1 + QStringLiteral("/files.1"));
      compressor->OnNewDisk = [&, this](TOndxCompress*, int disk, QString& path) {
        TPromptRequest request;
        request.id = TPromptId::InsertFloppy;
        request.sourceText = QString::fromLatin1(kTextInsertFloppy);
        request.text = Format(TranslateExceptionText(request.sourceText), {disk});
        request.disk = disk;
        request.path = FloppyFolder(disk);
        request.sender = this;
        const TPromptAnswer answer = AskPrompt(request);
        if (answer.button == TPromptButton::Cancel) throw IEInstall(QString::fromLatin1(kTextAbortedByUser));
        path = answer.path.isEmpty() ? request.path : answer.path;
        makeFolder(path);
        noteWrite(AddBackslash(path) + QStringLiteral("files.") + QString::number(disk));
      };
      compressor->FreeSpaceHook = freeSpace;
      compressor->SetOffset(info.Files1Start);
      compressor->SetCompressedFile(program);
      IfTryFinally([&] { compressor->SplitToDisks(disk1, QStringLiteral("files.1")); },
                   [&] {
                     compressor->OnNewDisk = nullptr;
                     compressor->FreeSpaceHook = nullptr;
                     compressor->SetOffset(0);
                   });
    } catch (const Exception&) {
      for (const QString& file : written) QFile::remove(file);
      for (const QString& folder : madeFolders) QDir().rmdir(folder);
      throw;
    }
  } catch (const Exception& e) {
    HideStatusMessage();
    ShowInstallError(e.Message());
    if (host != nullptr) host->SetExitCode(1);
  }
  if (host != nullptr) {
    host->SetBusyCursor(false);
    host->Terminate();
  }
}
