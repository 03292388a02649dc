// What a file that cannot be unpacked tells the user: each error of the
// archive met while a file is installed (damaged data, an archive cut
// short, a member missing, an archive that cannot be opened, a next disk
// not found, a target that cannot be written, anything else) becomes the
// install file's error in the user's language, naming the archive and the
// member and saying what to do. A full disk and a cancel stay as they are.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <deque>
#include <functional>

#include "InstallFileTestSupport.h"
#include "InstallHostTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/Format.h"

#include <ostream>

// Readable texts in failure messages.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

using qxtest::ReadBytes;
using qxtest::TInstallScript;
using qxtest::WriteBytes;

// The texts as a translator gives them: marked, so a message shows that
// its text went through the translator and which text it was.
QString Translated(const QString& text) {
  return QStringLiteral("[fi] ") + text;
}

class InstallFileErrorsTest : public testing::Test {
 protected:
  void TearDown() override {
    script_.reset();
    SetExceptionTranslator(nullptr);
    SetInstallPrompter(nullptr);
  }
  // A fresh tree: the script's two files built into the archive, nothing
  // installed, the texts through the translator.
  void Prepare() {
    script_.reset();
    for (const char* folder : {"build", "opt", "disk1", "disk2", "wrong"})
      QDir(qxtest::TempPath(QLatin1String(folder))).removeRecursively();
    script_ = std::make_unique<TInstallScript>();
    TInstallFileGroup* group = script_->Group(QStringLiteral("Game"), QStringLiteral("/Game"));
    first_ = script_->File(group, QStringLiteral("a.bin"), octest::Content(20000, 1));
    second_ = script_->File(group, QStringLiteral("b.bin"), octest::Content(60000, 2));
    script_->Build();
    archive_ = script_->Archive();
    SetExceptionTranslator(Translated);
    SetInstallPrompter(nullptr);
  }

  // A member's header, as the archive holds it.
  TFileHeaderRec Header(const QString& member) const {
    TOndxCompress reader(nullptr);
    reader.SetCompressedFile(archive_);
    TlzhFileStats stats;
    reader.GetFileStats(reader.IndexOf(member), stats);
    return stats.Header;
  }
  // Changes the archive's bytes.
  void Change(const std::function<void(QByteArray&)>& change) const {
    QByteArray bytes = ReadBytes(archive_);
    change(bytes);
    WriteBytes(archive_, bytes);
  }
  // The archive split onto two disks ("disk1", "disk2"), b.bin running
  // from the first onto the second; disk 1's part takes the archive's place.
  void SplitOntoTwoDisks() {
    const QString disk1 = qxtest::TempPath(QStringLiteral("disk1"));
    const QString disk2 = qxtest::TempPath(QStringLiteral("disk2"));
    QDir().mkpath(disk1);
    QDir().mkpath(disk2);
    const std::int64_t room = QFileInfo(archive_).size() - Header(second_->ArchiveName()).CompressedSize + 2000;
    TOndxCompress splitter(nullptr);
    splitter.SetCompressedFile(archive_);
    octest::LimitFolders(splitter, {{disk1, room}});
    splitter.OnNewDisk = [&](TOndxCompress*, int, QString& path) { path = disk2; };
    splitter.SplitToDisks(disk1, QStringLiteral("files.1"));
    ASSERT_TRUE(QFile::exists(disk2 + QStringLiteral("/files.2")));
    QFile::remove(archive_);
    ASSERT_TRUE(QFile::copy(disk1 + QStringLiteral("/files.1"), archive_));
  }

  std::unique_ptr<TInstallScript> script_;
  TInstallFile* first_ = nullptr;
  TInstallFile* second_ = nullptr;
  QString archive_;
};

TEST_F(InstallFileErrorsTest, AnArchiveErrorNamesTheArchiveAndTheMemberInTheUsersLanguage) {
  const QString wrong = qxtest::TempPath(QStringLiteral("wrong"));
  // The members, by the names the archive holds them under.
  QString a, b;
  struct Row {
    const char* what;
    std::function<void()> damage;
    const char* text;
    // The message's arguments, once damaged.
    std::function<QStringList()> args;
    int diskPrompts;
  };
  const Row rows[] = {
      {"a byte of b.bin's data changed",
       [&] { Change([&](QByteArray& bytes) { bytes[Header(b).DataStart + 100] ^= 0x55; }); },
       kIfArchiveDamaged, [&] { return QStringList{archive_, b}; }, 0},
      {"b.bin's stream shorter than its size",
       [&] {
         TFileHeaderRec rec = Header(b);
         rec.FileSize += 1;
         Change([&](QByteArray& bytes) { bytes.replace(rec.DataStart - 164, 164, EncodeFileHeader(rec)); });
       },
       kIfArchiveDamaged, [&] { return QStringList{archive_, b}; }, 0},
      // Found with the header block, before anything is unpacked: the
      // first file is the one that cannot be.
      {"the archive cut short inside b.bin",
       [&] { Change([&](QByteArray& bytes) { bytes.truncate(Header(b).DataStart + 500); }); },
       kIfArchiveDamaged, [&] { return QStringList{archive_, a}; }, 0},
      {"b.bin not in the archive",
       [&] {
         const QByteArray stored = b.toUtf8();
         const int name = Header(b).DataStart - 164 + 21;
         Change([&](QByteArray& bytes) {
           ASSERT_EQ(bytes.mid(name, stored.size()), stored);
           bytes[name + stored.size() - 1] = 'X';
         });
       },
       kIfNotInArchive, [&] { return QStringList{archive_, b}; }, 0},
      {"the archive cannot be opened",
       [&] {
         QFile::remove(archive_);
         QDir().mkpath(archive_);
       },
       kIfCannotOpenArchive, [&] { return QStringList{archive_, a}; }, 0},
      {"the next disk not in the folder given",
       [&] {
         SplitOntoTwoDisks();
         QDir().mkpath(wrong);
         SetInstallPrompter(std::make_unique<qxtest::TScriptedPrompter>(std::deque<qxtest::TScriptedPrompter::TStep>(
             4, {TPromptId::InsertDisk, {TPromptButton::Ok, wrong}})));
       },
       kIfWrongDisk, [&] { return QStringList{wrong + QStringLiteral("/files.2"), b}; }, 4},
      {"a folder where b.bin goes",
       [&] { QDir().mkpath(second_->GetDestPath() + QStringLiteral("/inside")); },
       kIfCannotWrite, [&] { return QStringList{second_->GetDestPath(), b, archive_}; }, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Prepare();
    a = first_->ArchiveName();
    b = second_->ArchiveName();
    row.damage();
    if (HasFatalFailure()) return;
    const QString message = qxtest::MessageOf<IECustomInstallFile>([&] { script_->Run(); });
    const QStringList args = row.args();
    std::vector<TVarRec> values(args.begin(), args.end());
    EXPECT_EQ(message, Format(Translated(QString::fromLatin1(row.text)), values.data(), static_cast<int>(values.size())));
    if (auto* prompter = dynamic_cast<qxtest::TScriptedPrompter*>(CurrentInstallPrompter())) {
      EXPECT_EQ(prompter->Requests.size(), row.diskPrompts);
      EXPECT_TRUE(prompter->Failures.isEmpty()) << prompter->Failures.join(u' ').toStdString();
    }
    // Nothing half-written where b.bin goes.
    EXPECT_FALSE(QFileInfo(second_->GetDestPath()).isFile());
  }
}

// The run reads every file's size and date from the archive before it
// begins: a damaged header block is told there the same way.
TEST_F(InstallFileErrorsTest, ADamagedArchiveIsToldWhenTheFilesInformationIsRead) {
  Prepare();
  Change([](QByteArray& bytes) { bytes[4] = 7; });  // no such layout
  EXPECT_EQ(qxtest::MessageOf<IECustomInstallFile>([&] { script_->Install()->TFileContainer::ReadInfoFromArchive(); }),
            Format(Translated(QString::fromLatin1(kIfArchiveDamaged)), {archive_, first_->ArchiveName()}));
}

// Anything else the compressor raises is told with its own words, the
// archive and the member around them.
TEST_F(InstallFileErrorsTest, AnyOtherCompressorErrorIsToldWithTheArchiveAndTheMember) {
  Prepare();
  const QString other = QStringLiteral("Error comparing file versions in TOndxCompress");
  const QString b = second_->ArchiveName();
  TOndxCompress::Global()->OnBeforeExtracting = [&](TOndxCompress*, const TlzhFileStats& stats) {
    if (stats.FileName == b) throw EOndxCompress(other);
  };
  EXPECT_EQ(qxtest::MessageOf<IECustomInstallFile>([&] { script_->Run(); }),
            Format(Translated(QString::fromLatin1(kIfCannotUnpack)), {b, archive_, other}));
}

// A full disk goes on to the run, which says where and how much room is
// missing; a cancel ends the run as the user's.
TEST_F(InstallFileErrorsTest, AFullDiskAndACancelStayWhatTheyAre) {
  Prepare();
  const QString folder = second_->GetExpandedDestDir();
  QDir().mkpath(folder);
  octest::LimitFolders(*TOndxCompress::Global(), {{folder, 30000}});
  EXPECT_EQ(qxtest::MessageOf<EocDiskFull>([&] { script_->Run(); }), QStringLiteral("The disk is full"));

  Prepare();
  second_->OnStatus = [](TCustomInstallFile*, int filePercent, int) {
    if (filePercent > 0) TOndxCompress::Global()->SetAbort(true);
  };
  EXPECT_EQ(qxtest::MessageOf<EAIUserAbort>([&] { script_->Run(); }),
            QStringLiteral("Installation aborted by the user"));
}

}  // namespace
