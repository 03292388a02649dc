// File groups: built into a real archive and installed from it, the codes
// and progress they report, and what a failing or cancelled install leaves.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "InstallFileTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TOndxCompress_Format.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/Format.h"

namespace {

using qxtest::ReadBytes;
using qxtest::TInstallScript;

class FileGroupTest : public testing::Test {
 protected:
  void SetUp() override {
    script_ = std::make_unique<TInstallScript>();
    game_ = script_->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
    puzzles_ = script_->Group(QStringLiteral("Puzzles"), QStringLiteral("/Puzzles"));
    a_ = script_->File(game_, QStringLiteral("trovaly.bin"), octest::Content(300000, 1));
    b_ = script_->File(game_, QStringLiteral("trovaly.hlp"), octest::Content(5000, 2));
    c_ = script_->File(puzzles_, QStringLiteral("kissa.vrb"), octest::Content(70000, 3));
    d_ = script_->File(puzzles_, QStringLiteral("empty.lst"), QByteArray());
  }

  QString Installed(TCustomInstallFile* f) const { return f->GetDestPath(); }
  QByteArray Source(TCustomInstallFile* f) const { return ReadBytes(f->SourcePath()); }

  std::unique_ptr<TInstallScript> script_;
  TInstallFileGroup* game_ = nullptr;
  TInstallFileGroup* puzzles_ = nullptr;
  TInstallFile* a_ = nullptr;
  TInstallFile* b_ = nullptr;
  TInstallFile* c_ = nullptr;
  TInstallFile* d_ = nullptr;
};

TEST_F(FileGroupTest, GroupsInstallByteIdenticalFromTheirArchiveWithProgressAndCodes) {
  script_->Build();
  // One archive with the four members, keyed by source path.
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(script_->Archive());
  ASSERT_EQ(reader.FileCount(), 4);
  for (TCustomInstallFile* f : {a_, b_, c_, d_})
    EXPECT_GE(reader.IndexOf(f->ArchiveName()), 0) << f->ArchiveName().toStdString();

  auto* dialog = new qxtest::TStageRecorder(script_->Root());
  dialog->SetName(QStringLiteral("Dialog"));
  dialog->SetContainer(game_);
  QList<int> percents;
  game_->OnStatus = [&](TCustomInstallFile*, int, int total) { percents << total; };
  bool closedAborted = true;
  game_->OnCloseCopyFileDlg = [&](TInstallContainer*, bool aborted) { closedAborted = aborted; };

  script_->Run();

  for (TCustomInstallFile* f : {a_, b_, c_, d_}) {
    EXPECT_TRUE(QFile::exists(Installed(f))) << Installed(f).toStdString();
    EXPECT_EQ(ReadBytes(Installed(f)), Source(f)) << f->Name().toStdString();
    EXPECT_EQ(f->Size(), Source(f).size());
  }
  EXPECT_TRUE(Installed(a_).endsWith(QStringLiteral("/MyApplication/Game/trovaly.bin")));
  EXPECT_TRUE(Installed(c_).endsWith(QStringLiteral("/MyApplication/Puzzles/kissa.vrb")));
  // The group's total climbs to 100 and never falls back.
  ASSERT_FALSE(percents.isEmpty());
  EXPECT_EQ(percents.back(), 100);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(game_->DoneBytes(), game_->TotalSize());
  EXPECT_EQ(game_->TotalSize(), a_->Size() + b_->Size());
  EXPECT_FALSE(closedAborted);
  EXPECT_EQ(game_->State(), fcsNone);
  // The dialog hears the group start, its files' codes and the end.
  const QStringList lines = dialog->Lines();
  EXPECT_EQ(lines.mid(0, 3), QStringList({"Game:-990", "Game:-999", "Game:-992"}));
  EXPECT_TRUE(lines.contains(QStringLiteral("Game:-998")));
  EXPECT_EQ(lines.count(QStringLiteral("Game:-997")), 2);  // each file replaces or writes
  EXPECT_EQ(lines.back(), QStringLiteral("Game:-989"));
  EXPECT_TRUE(lines.contains(QStringLiteral("Game:-996")));
}

// Archives built before members had keys still install: one that names
// its members by the script's IncludeFromDir/FileName, one that names them
// by their bare file names. In an archive with keys a bare name is another
// file's key, so a file whose key is missing is not found there.
TEST_F(FileGroupTest, ArchivesBuiltBeforeKeysInstallAndABareNameIsNoKey) {
  const struct {
    const char* what;
    QString (*name)(TCustomInstallFile*, bool first);
    bool installs;
  } rows[] = {
      {"keys", [](TCustomInstallFile* f, bool) { return f->ArchiveName(); }, true},
      {"source paths as written",
       [](TCustomInstallFile* f, bool) { return f->IncludeFromDir() + u'/' + f->FileName(); }, true},
      {"bare names", [](TCustomInstallFile* f, bool) { return f->FileName(); }, true},
      {"keys and one bare name",
       [](TCustomInstallFile* f, bool first) { return first ? f->FileName() : f->ArchiveName(); }, false},
  };
  const QList<TInstallFile*> files{a_, b_, c_, d_};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    for (TInstallFile* f : files) QFile::remove(Installed(f));
    TOndxCompress& archive = script_->Compressor();
    for (TInstallFile* f : files)
      archive.FilesToProcess()->Add(f->SourcePath() + u';' + row.name(f, f == a_));
    archive.SetCompressedFile(script_->Archive());
    archive.Add(false);
    if (!row.installs) {
      try {
        script_->Run();
        ADD_FAILURE() << "installed";
      } catch (const IECustomInstallFile& e) {
        EXPECT_EQ(e.Message(), Format(QString::fromLatin1(kIfNotInArchive), {script_->Archive(), a_->ArchiveName()}));
      }
      continue;
    }
    script_->Run();
    for (TInstallFile* f : files) {
      EXPECT_EQ(ReadBytes(Installed(f)), Source(f)) << f->Name().toStdString();
      f->SetListedInfo(-1, 0, {});
      f->ReadInfoFromArchive();
      EXPECT_EQ(f->Size(), Source(f).size());
    }
  }
}

TEST_F(FileGroupTest, InformationCodesOfAFileAndTheirFinishedBytes) {
  script_->Build();
  auto* top = new qxtest::TInformationRecorder(script_->Root());
  top->SetName(QStringLiteral("Top"));
  top->SetDestDir(script_->Install()->GetExpandedDestDir());
  game_->SetContainer(top);
  game_->SetArchiveFileType(StandardPathSpecList().FindByClass<TpsMainArchiveFile>());
  b_->SetOverwriteMode(owNever);
  qxtest::WriteBytes(Installed(b_), "kept");  // owNever keeps it: 1016
  game_->Process();
  QStringList codes;
  for (const auto& c : top->Codes) {
    if (c.code != icInstallStatus)
      codes << QString::number(c.code);
  }
  EXPECT_EQ(codes, QStringList({"1012", "1002", "1003", "1001", "1002", "1016", "1001", "1013"}));
  EXPECT_EQ(ReadBytes(Installed(b_)), QByteArray("kept"));
  EXPECT_EQ(game_->DoneBytes(), a_->Size() + b_->Size());
  // With no operation under way a container ignores every code.
  const int before = top->Codes.size();
  game_->DoInformationEventControl(a_, icAfterInstall, a_);
  game_->DoInformationEventControl(a_, icInstallStatus, nullptr);
  EXPECT_EQ(top->Codes.size(), before);
}

TEST_F(FileGroupTest, BadInformationParametersRaiseTheirTexts) {
  script_->Build();
  struct TRow {
    int code;
    int kind;  // 0 nil, 1 a file, 2 empty list, 3 [group, x], 4 [file, file], 5 the group
    const char* text;
  };
  const TRow rows[] = {
      {icInstallStatus, 0, "Game got a nil PO parameter"},
      {icReplacing, 5, "DoInformationEventControl parameter is not TInstallFile"},
      {icInstallStatus, 1, "DoInformationEventControl--PO is not a TList object"},
      {icCopyStatus, 2, "DoInformationEventControl--Not engouh parameters for status event"},
      {icCompressStatus, 3, "DoInformationEventControl says bad first parameter"},
      {icInstallStatus, 4, "DoInformationEventControl says bad second parameter"},
      {icNewDisk, 3, "DoInformationEventControl says bad 1 parameter"},
      {icNewDisk, 4, "DoInformationEventControl says bad 2 parameter"},
      {icDataReceived, 1, "The PO object passed to Game is not a TDownloadStatusParameter object"},
      {icInstallSkipped, 5, "DoInformationEventControl says bad first parameter"},
  };
  game_->OnShowCopyFileDlg = [&](TInstallContainer*) {
    for (const TRow& row : rows) {
      TParameterList empty;
      TParameterList wrongFirst{game_, a_};
      TParameterList wrongSecond{a_, a_};
      TObject* po[] = {nullptr, a_, &empty, &wrongFirst, &wrongSecond, game_};
      try {
        game_->DoInformationEventControl(a_, row.code, po[row.kind]);
        ADD_FAILURE() << row.text;
      } catch (const IEFileContainer& e) {
        EXPECT_EQ(e.Message(), QString::fromLatin1(row.text));
      }
    }
    throw EAbort();
  };
  game_->Process();
}

TEST_F(FileGroupTest, ACorruptMemberLeavesTheExistingFilesWhole) {
  script_->Build();
  const QByteArray old = "the old trovaly.bin, which must survive";
  qxtest::WriteBytes(Installed(a_), old);
  qxtest::WriteBytes(Installed(b_), old);

  // Corrupt the middle of the first member's data.
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(script_->Archive());
  TlzhFileStats stats;
  reader.GetFileStats(reader.IndexOf(a_->ArchiveName()), stats);
  QByteArray archive = ReadBytes(script_->Archive());
  const int middle = stats.Header.DataStart + stats.Header.CompressedSize / 2;
  for (int i = 0; i < 64; ++i)
    archive[middle + i] = static_cast<char>(archive[middle + i] ^ 0x5a);
  qxtest::WriteBytes(script_->Archive(), archive);
  bool aborted = false;
  game_->OnCloseCopyFileDlg = [&](TInstallContainer*, bool wasAborted) { aborted = wasAborted; };
  EXPECT_THROW(script_->Run(), IECustomInstallFile);  // told as the install file's error
  EXPECT_EQ(ReadBytes(Installed(a_)), old);
  EXPECT_EQ(ReadBytes(Installed(b_)), old);
  EXPECT_TRUE(aborted);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(Installed(a_))),
            QStringList({"trovaly.bin", "trovaly.hlp"}));
}

// The archive split over two disks: the second part is not where the first
// is, so the disk is asked for. An answer with its folder goes on; Cancel
// ends the install as the user's abort and touches nothing.
TEST_F(FileGroupTest, ASplitArchiveAsksForTheNextDiskAndCancelKeepsTheOldFiles) {
  script_->Build();
  const QString disk1 = qxtest::TempPath(QStringLiteral("disk1"));
  const QString disk2 = qxtest::TempPath(QStringLiteral("disk2"));
  QDir().mkpath(disk1);
  QDir().mkpath(disk2);
  {
    TOndxCompress splitter(nullptr);
    splitter.SetCompressedFile(script_->Archive());
    octest::LimitFolders(splitter, {{disk1, 20000}});
    splitter.OnNewDisk = [&](TOndxCompress*, int, QString& path) { path = disk2; };
    splitter.SplitToDisks(disk1, QStringLiteral("files.1"));
  }
  ASSERT_TRUE(QFile::exists(disk2 + QStringLiteral("/files.2")));
  QFile::remove(script_->Archive());
  ASSERT_TRUE(QFile::copy(disk1 + QStringLiteral("/files.1"), script_->Archive()));

  const QByteArray old = "the old trovaly.bin, which must survive";
  qxtest::WriteBytes(Installed(a_), old);
  using TStep = qxtest::TScriptedPrompter::TStep;
  auto cancel = std::make_unique<qxtest::TScriptedPrompter>(
      std::deque<TStep>{{TPromptId::InsertDisk, {TPromptButton::Cancel, {}}}});
  qxtest::TScriptedPrompter* asked = cancel.get();
  SetInstallPrompter(std::move(cancel));
  QList<int> disks;
  game_->OnNewDisk = nullptr;
  auto* dialog = new qxtest::TStageRecorder(script_->Root());
  dialog->SetName(QStringLiteral("Dialog"));
  dialog->SetContainer(a_);
  dialog->OnMessage = [&](TInstallContainer*, int code, TObject* param) {
    if (code == scNewDisk)
      disks << static_cast<TDiskParameter*>(static_cast<TParameterList*>(param)->Items(1))->Disk;
  };
  QStringList order;
  for (TCustomInstallFile* f : {a_, b_, c_, d_})
    f->OnBeforeInstall = [&](TCustomInstallFile* x) { order << x->Name(); };
  EXPECT_THROW(script_->Run(), EAIUserAbort);
  EXPECT_EQ(order, QStringList({"Gametrovalybin"}));
  EXPECT_EQ(disks, QList<int>({2}));
  ASSERT_EQ(asked->Requests.size(), 1);
  EXPECT_TRUE(asked->Failures.isEmpty());
  EXPECT_EQ(asked->Requests[0].text, QStringLiteral("Please insert disk #2"));
  EXPECT_EQ(asked->Requests[0].disk, 2);
  EXPECT_EQ(asked->Requests[0].sender, a_);
  EXPECT_EQ(ReadBytes(Installed(a_)), old);
  EXPECT_EQ(octest::FolderFiles(ExtractFileDir(Installed(a_))), QStringList({"trovaly.bin"}));

  // The files on disk 2 of the next run.
  class TDiskTwo : public TInstallPrompter {
   public:
    explicit TDiskTwo(QString folder) : folder_(std::move(folder)) {}
    TPromptAnswer Ask(const TPromptRequest& request) override {
      asked << request.disk;
      requests << request;
      return {TPromptButton::Ok, folder_};
    }
    QList<int> asked;
    QList<TPromptRequest> requests;

   private:
    QString folder_;
  };
  auto ok = std::make_unique<TDiskTwo>(disk2);
  TDiskTwo* answered = ok.get();
  SetInstallPrompter(std::move(ok));
  // The game group answers for its files itself; the puzzles' files ask.
  QList<TCustomInstallFile*> answeredByGroup;
  game_->OnNewDisk = [&](TCustomInstallFile* file, int, QString& path) {
    answeredByGroup << file;
    path = disk2;
  };
  script_->Run();
  EXPECT_TRUE(answeredByGroup.contains(a_));
  // Disk 2, once found, serves the puzzles' files too: nobody else is asked.
  EXPECT_TRUE(answered->asked.isEmpty());
  for (TCustomInstallFile* f : {a_, b_, c_, d_})
    EXPECT_EQ(ReadBytes(Installed(f)), Source(f)) << f->Name().toStdString();
  SetInstallPrompter(nullptr);
}

TEST_F(FileGroupTest, SizesFollowSelectionAndTheCopyCommandCopiesIncludedFiles) {
  script_->Build();
  script_->Install()->SetInstallType(itAlways);
  b_->SetInclude(false);
  game_->ReadInfoFromArchive();
  EXPECT_EQ(game_->GetSize(false, false), a_->Size());
  EXPECT_EQ(game_->GetSize(true, false), a_->Size() + b_->Size());
  EXPECT_EQ(game_->GetArchivedSize(true), a_->ArchivedSize() + b_->ArchivedSize());
  EXPECT_GT(a_->ArchivedSize(), 0);
  EXPECT_EQ(game_->FindFile(a_->SourcePath().toUpper()), a_);
  EXPECT_EQ(game_->FindFile(QStringLiteral("nothing")), nullptr);
  EXPECT_THROW(a_->SetFileName(QStringLiteral("trovaly.hlp")), IEfcDuplicateFile);
  EXPECT_EQ(a_->FileName(), QStringLiteral("trovaly.bin"));
  // Copying to a folder: every included file, byte for byte, with its codes.
  int copied = 0;
  a_->OnAfterCopy = [&](TCustomInstallFile*) { ++copied; };
  b_->OnAfterCopy = [&](TCustomInstallFile*) { ++copied; };
  // A handler that frees a file already copied: the rest are still copied.
  QList<TInstallFile*> extra;
  for (int i = 0; i < 3; ++i) {
    extra << script_->File(game_, QStringLiteral("extra%1.dat").arg(i), "x");
    extra.back()->OnAfterCopy = [&](TCustomInstallFile*) { ++copied; };
  }
  extra[1]->OnBeforeCopy = [&](TCustomInstallFile*) { extra[0]->Free(); };
  game_->SetState(fcsCopy);
  EXPECT_EQ(copied, 4);
  EXPECT_TRUE(QFile::exists(Installed(extra[2])));
  extra[1]->Free();
  extra[2]->Free();
  EXPECT_EQ(ReadBytes(Installed(a_)), Source(a_));
  EXPECT_FALSE(QFile::exists(Installed(b_)));
  EXPECT_EQ(game_->State(), fcsNone);

  QFile::remove(b_->SourcePath());
  game_->RemoveMissingFiles();
  EXPECT_EQ(game_->FileCount(), 1);
  EXPECT_EQ(game_->GetFile(0), a_);
}

}  // namespace

namespace {

TEST_F(FileGroupTest, BuildOptionsIncludeExcludedFilesAndRefuseContradictions) {
  b_->SetInclude(false);
  try {
    game_->Compress(coForceNetFilesLocal | coForceFilesNet);
    ADD_FAILURE();
  } catch (const IEFileContainer& e) {
    EXPECT_EQ(
        e.Message(),
        QStringLiteral("Cannot pass both coForceNetFilesLocal and coForceFilesNet to Compress"));
  }
  const auto members = [&] {
    TOndxCompress reader(nullptr);
    reader.SetCompressedFile(script_->Archive());
    return reader.FileCount();
  };
  game_->Compress(coForceNetFilesLocal);
  EXPECT_EQ(members(), 1);
  EXPECT_EQ(a_->BuildMark(), 2);
  EXPECT_EQ(a_->CompressedInto(), script_->Archive());
  EXPECT_EQ(b_->BuildMark(), 0);
  game_->Compress(coForceNetFilesLocal | coIncludeExcluded);
  EXPECT_EQ(members(), 2);
  EXPECT_FALSE(b_->Include());  // included for the build's duration only
  EXPECT_EQ(b_->BuildMark(), 2);
}

}  // namespace
