// The transfer of a self-extracting setup to floppies (-f). The disks are
// folders: disk 1 is the folder that stands for the drive "a:" (asked for
// with the folder browser and remembered when none is named), disk n that
// folder with n appended, unless the user picks another at its prompt. A
// disk holds at most the drive's capacity.

#include "installer/engine/InstallHost.h"
#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_FilesFinally.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <memory>

namespace {

constexpr char kTextFloppiesOnlySelfExtract[] =
    "Sorry... You can only transfer this installation to floppies through the self-extracting "
    "file. Usage example: setup.exe *TODISK";
constexpr char kTextTransferring[] = "Transferring this installation to floppies. Please wait...";
constexpr char kTextFloppySetupExe[] = "Cannot create setup.exe on the A drive. Probably not enough room";
constexpr char kTextFloppySetup1[] = "Cannot create setup.1 on the A drive. Probably not enough room";
constexpr char kTextCapacityNeeded[] = "The disk holds %d bytes; the first disk needs at least %d bytes.";
constexpr char kTextInsertFloppy[] = "Please insert disk %d";
constexpr char kTextAbortedByUser[] = "Aborted by user";
constexpr char kTextChooseFloppyFolder[] = "Choose the folder that stands for the floppy drive";
// The folders follow, one a line.
constexpr char kTextFloppiesWritten[] = "The installation is on %d disks, in these folders:%s";

constexpr int kDefaultCapacity = 1457664;
constexpr std::int64_t kBlock = 8192;

[[noreturn]] void AbortedByUser() {
  throw IEInstall(QString::fromLatin1(kTextAbortedByUser));
}

// One transfer. Until it is done, everything it wrote and every folder it
// made is taken back when it ends, so a failed or cancelled transfer leaves
// the disks as they were found.
class TFloppyTransfer {
 public:
  TFloppyTransfer(TCustomInstall& install, const QString& program)
      : install_(install), program_(program), info_(ReadSelfExtractInfo(program)) {}
  ~TFloppyTransfer() {
    if (done_) return;
    for (const QString& file : written_) QFile::remove(file);
    for (const QString& folder : madeFolders_) QDir().rmdir(folder);
  }
  TFloppyTransfer(const TFloppyTransfer&) = delete;
  TFloppyTransfer& operator=(const TFloppyTransfer&) = delete;

  void Run() {
    ChooseFirstDisk();
    install_.ShowStatusMessage(QString::fromLatin1(kTextTransferring));
    CheckFirstDiskRoom();
    MakeFolder(disk1_);
    for (const char* name : {"setup.exe", "setup.1", "files.1"}) NoteWrite(disk1_ + PathDelim + QLatin1String(name));
    CopyPart(0, info_.Setup1Start, QStringLiteral("setup.exe"), kTextFloppySetupExe, true);
    CopyPart(info_.Setup1Start, std::int64_t{info_.Setup1End} - info_.Setup1Start + 1, QStringLiteral("setup.1"),
             kTextFloppySetup1, false);
    install_.HideStatusMessage();
    SplitArchive();
    done_ = true;
    TellWhereTheDisksAre();
  }

 private:
  // Disk 1's folder: the one the registry names, else the one the user
  // chooses, which is remembered for the next transfer.
  void ChooseFirstDisk() {
    capacity_ = ReadRegInteger(hkLocalMachine, QString::fromLatin1(kFloppyDriveKey), QStringLiteral("Capacity"),
                               kDefaultCapacity);
    disk1_ = FloppyFolder(1);
    if (!disk1_.isEmpty()) {
      folders_ << disk1_;
      return;
    }
    TPromptRequest request;
    request.id = TPromptId::ChooseFloppyFolder;
    request.sourceText = QString::fromLatin1(kTextChooseFloppyFolder);
    request.text = TranslateExceptionText(request.sourceText);
    request.disk = 1;
    request.path = QDir::homePath();
    request.sender = &install_;
    const TPromptAnswer answer = Ask(request);
    if (answer.button == TPromptButton::Cancel || Trim(answer.path).isEmpty()) AbortedByUser();
    WriteRegString(hkLocalMachine, QString::fromLatin1(kFloppyDriveKey), QStringLiteral("Folder"),
                   RemoveBackslash(answer.path));
    disk1_ = FloppyFolder(1);
    folders_ << disk1_;
  }

  // Disk 1 takes the loader, setup.1 and at least the archive's header
  // block with one byte: a smaller disk is refused at once, naming what it
  // needs.
  void CheckFirstDiskRoom() {
    std::int64_t headers = 0;
    if (info_.HasFiles1()) {
      TOndxCompress reader(nullptr);
      reader.SetOffset(info_.Files1Start);
      reader.SetCompressedFile(program_);
      headers = 5 + std::int64_t{kOcHeaderSize} * reader.FileCount() + 1;
    }
    const std::int64_t setup1 = std::int64_t{info_.Setup1End} - info_.Setup1Start + 1;
    const std::int64_t needed = info_.Setup1Start + setup1 + headers;
    if (needed <= FreeSpace(disk1_, true)) return;
    const char* text = info_.Setup1Start > FreeSpace(disk1_, true) ? kTextFloppySetupExe : kTextFloppySetup1;
    throw IEInstall(TranslateExceptionText(QString::fromLatin1(text)) + QStringLiteral(". ") +
                    Format(TranslateExceptionText(QString::fromLatin1(kTextCapacityNeeded)),
                           {static_cast<qint64>(capacity_), static_cast<qint64>(needed)}));
  }

  // Copies size bytes of the program from start to name on disk 1, in
  // blocks with the window messages processed after each; the loader keeps
  // its execute bits.
  void CopyPart(std::int64_t start, std::int64_t size, const QString& name, const char* error, bool program) {
    const QString target = disk1_ + PathDelim + name;
    if (size > FreeSpace(disk1_)) throw IEInstall(QString::fromLatin1(error));
    QFile source(program_);
    if (!source.open(QIODevice::ReadOnly) || !source.seek(start))
      throw IEInstall(QString::fromLatin1(selfextract::kTextNoExtractionInfo), {program_});
    try {
      TAtomicFile out(target);
      if (program) out.SetMode(ProgramMode());
      QByteArray block;
      for (std::int64_t left = size; left > 0; left -= block.size()) {
        block = source.read(std::min(kBlock, left));
        if (block.isEmpty()) throw IEInstall(QString::fromLatin1(error));
        out.Write(block);
        ProcessInstallMessages();
      }
      out.Commit();
    } catch (const EAtomicFileError&) {
      throw IEInstall(QString::fromLatin1(error));
    }
  }

  // The mode of the program being transferred, execute bits included.
  unsigned ProgramMode() const {
    const QFileDevice::Permissions p = QFileInfo(program_).permissions();
    unsigned mode = 0;
    if (p & QFileDevice::ReadOwner) mode |= 0400;
    if (p & QFileDevice::WriteOwner) mode |= 0200;
    if (p & QFileDevice::ExeOwner) mode |= 0100;
    if (p & QFileDevice::ReadGroup) mode |= 0040;
    if (p & QFileDevice::ExeGroup) mode |= 0010;
    if (p & QFileDevice::ReadOther) mode |= 0004;
    if (p & QFileDevice::ExeOther) mode |= 0001;
    return mode | 0500;
  }

  // The archive, laid out headers first, over disk 1 and the next disks.
  void SplitArchive() {
    TOndxCompress* compressor = TOndxCompress::Global();
    if (compressor == nullptr) throw IEInstall(QString::fromLatin1(kTextFloppySetup1));
    compressor->OnNewDisk = [this](TOndxCompress*, int disk, QString& path) { AskForDisk(disk, path); };
    compressor->OnStatus = [this](TOndxCompress* sender, const TlzhFileStats& stats) {
      if (install_.OnFloppyStatus) install_.OnFloppyStatus(sender, stats);
      ProcessInstallMessages();
    };
    compressor->FreeSpaceHook = [this](const QString& folder) { return FreeSpace(folder); };
    compressor->SetOffset(info_.Files1Start);
    compressor->SetCompressedFile(program_);
    IfTryFinally([&] { compressor->SplitToDisks(disk1_, QStringLiteral("files.1")); },
                 [&] {
                   compressor->OnNewDisk = nullptr;
                   compressor->OnStatus = nullptr;
                   compressor->FreeSpaceHook = nullptr;
                   compressor->SetOffset(0);
                 });
  }

  // The prompt for the next disk names the folder it is written to; the
  // user may pick another.
  void AskForDisk(int disk, QString& path) {
    TPromptRequest request;
    request.id = TPromptId::InsertFloppy;
    request.sourceText = QString::fromLatin1(kTextInsertFloppy);
    request.text = Format(TranslateExceptionText(request.sourceText), {disk});
    request.disk = disk;
    request.path = FloppyFolder(disk);
    request.sender = &install_;
    const TPromptAnswer answer = Ask(request);
    if (answer.button == TPromptButton::Cancel) AbortedByUser();
    path = RemoveBackslash(Trim(answer.path).isEmpty() ? request.path : answer.path);
    MakeFolder(path);
    NoteWrite(AddBackslash(path) + QStringLiteral("files.") + QString::number(disk));
    folders_ << path;
  }

  void TellWhereTheDisksAre() {
    TPromptRequest request;
    request.id = TPromptId::FloppiesWritten;
    request.sourceText = QString::fromLatin1(kTextFloppiesWritten);
    request.text = Format(TranslateExceptionText(request.sourceText),
                          {static_cast<int>(folders_.size()), QLatin1Char('\n') + folders_.join(QLatin1Char('\n'))});
    request.disk = static_cast<int>(folders_.size());
    request.path = disk1_;
    request.sender = &install_;
    Ask(request);
  }

  // The user is asked with the default cursor.
  static TPromptAnswer Ask(const TPromptRequest& request) {
    TInstallHost* host = CurrentInstallHost();
    if (host != nullptr) host->SetBusyCursor(false);
    const TPromptAnswer answer = AskPrompt(request);
    if (host != nullptr) host->SetBusyCursor(true);
    return answer;
  }

  // The capacity less what the folder's files take; with forDisk1, but for
  // the files a transfer writes there (an earlier transfer's, replaced).
  std::int64_t FreeSpace(const QString& folder, bool forDisk1 = false) const {
    static const QRegularExpression ours(QStringLiteral("^(setup\\.exe|setup\\.1|files\\.1)$"));
    std::int64_t used = 0;
    for (const QFileInfo& f : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden))
      if (!forDisk1 || !ours.match(f.fileName()).hasMatch()) used += f.size();
    return std::max<std::int64_t>(0, capacity_ - used);
  }
  void MakeFolder(const QString& folder) {
    if (!QDir(folder).exists()) madeFolders_.prepend(folder);
    ForceDirectories(folder);
  }
  // Before a file is written: a new one is taken back on failure; an
  // earlier transfer's file of that name goes now (it is written over).
  void NoteWrite(const QString& file) {
    if (!QFileInfo::exists(file)) written_ << file;
    else QFile::remove(file);
  }

  TCustomInstall& install_;
  const QString program_;
  const TSelfExtractInfo info_;
  std::int64_t capacity_ = kDefaultCapacity;
  QString disk1_;
  QStringList folders_;
  QStringList written_;
  QStringList madeFolders_;
  bool done_ = false;
};

}  // namespace

QString FloppyFolder(int disk) {
  const QString first = ReadRegString(hkLocalMachine, QString::fromLatin1(kFloppyDriveKey),
                                      QStringLiteral("Folder"), {});
  if (Trim(first).isEmpty()) return QString();
  return DiskFolder(first, disk);
}

QString DiskFolder(const QString& first, int disk) {
  return disk <= 1 ? RemoveBackslash(first) : RemoveBackslash(first) + QString::number(disk);
}

void TCustomInstall::TransferToFloppies(const QString& root) {
  (void)root;  // "a:" is the folder the registry names
  TInstallHost* host = CurrentInstallHost();
  if (host != nullptr) host->SetBusyCursor(true);
  ProcessInstallMessages();
  try {
    if (!HasSwitch(swSelfExtractor)) throw IEInstall(QString::fromLatin1(kTextFloppiesOnlySelfExtract));
    TFloppyTransfer(*this, GetExpandedArchiveFile()).Run();
  } catch (const Exception& e) {
    HideStatusMessage();
    if (host != nullptr) host->SetBusyCursor(false);
    ShowInstallError(e.Message());
    if (host != nullptr) host->SetExitCode(1);
  }
  if (host != nullptr) {
    host->SetBusyCursor(false);
    host->Terminate();
  }
}
