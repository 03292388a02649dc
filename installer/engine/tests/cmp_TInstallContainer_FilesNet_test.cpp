// A file group whose archive comes over the network: the build lays it out
// for the server, the install downloads it once (reporting the blocks),
// records it in the install record and extracts the files from it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Registry.h"
#include "platform/classes/DataModule.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

namespace {

using qxtest::ReadBytes;

TEST(FileGroupNetTest, AGroupDownloadsItsArchiveOnceAndInstallsFromIt) {
  const QString served = qxtest::TempPath(QStringLiteral("served"));
  const QString build = qxtest::TempPath(QStringLiteral("build"));
  const QString dest = qxtest::TempPath(QStringLiteral("dest"));
  QDir().mkpath(served);
  qxtest::TPeerProcess server(
      QStringLiteral(QX_DEBIAN_PYTHON),
      {qxtest::DataPath(QStringLiteral("net_server.py")), QStringLiteral("http"), served});
  const QString line = server.ReadLine();
  ASSERT_TRUE(line.startsWith(QLatin1String("PORT "))) << line.toStdString();
  InstallUnitState().installRecordKey = QStringLiteral("\\SOFTWARE\\Ondrix\\Install\\Install0");

  TDataModule root(nullptr);
  CreateStandardSpecifiers(&root, true);
  auto* place = new TPathSpecifier(&root);
  place->OnGetPath = [&](TComponent*, QString& path) { path = build; };
  auto* target = new TPathSpecifier(&root);
  target->OnGetPath = [&](TComponent*, QString& path) { path = dest; };
  auto* location = new TNetInstallLocation(&root);
  location->LoginInformation()->SetHostname(QStringLiteral("127.0.0.1:") + line.mid(5));
  location->LoginInformation()->SetProtocol(ipHTTP);
  auto* group = new TInstallFileGroup(&root);
  group->SetName(QStringLiteral("Web"));
  group->SetDestDirType(target);
  group->SetArchiveFileType(place);
  group->SetArchiveFile(QStringLiteral("/files.1"));
  group->SetNetLocation(location);
  QList<TCustomInstallFile*> files;
  for (int i = 0; i < 2; ++i) {
    const QString source = qxtest::TempPath(QStringLiteral("src/web%1.dat").arg(i));
    qxtest::WriteBytes(source, octest::Content(90000 + i, 40 + i));
    auto* file = new TInstallFile(&root, group, source);
    file->SetName(QStringLiteral("Web%1").arg(i));
    file->SetNet(true);
    files << file;
  }
  group->Compress(coRebuildOtherArchives | coBuildBit2 | coIncludeExcluded);
  // The tree to upload: the host and root folder, then the group's archive.
  const QString built = build + QStringLiteral("/127.0.0.1") + line.mid(5) +
                        QStringLiteral("/HTTP Root directory/Web.1");
  ASSERT_TRUE(QFile::exists(built)) << built.toStdString();
  ASSERT_TRUE(QFile::copy(built, served + QStringLiteral("/Web.1")));
  group->SetLocalArchive(QString());

  auto* dialog = new qxtest::TStageRecorder(&root);
  dialog->SetContainer(group);
  int blocks = 0;
  group->OnDataReceived = [&](TObject*, const QString&, int, int, int, const char*) { ++blocks; };
  group->Process();
  for (TCustomInstallFile* f : files)
    EXPECT_EQ(ReadBytes(f->GetDestPath()), ReadBytes(f->SourcePath())) << f->Name().toStdString();
  EXPECT_GT(blocks, 0);
  EXPECT_TRUE(dialog->Lines().contains(QStringLiteral("Web:-988")));
  // Recorded: a second install finds the archive without the server.
  const QString local =
      ReadRegString(hkLocalMachine, InstallUnitState().installRecordKey + QStringLiteral("\\Web"),
                    QString::fromLatin1(kLocalFileValue), QString());
  EXPECT_EQ(ReadBytes(local), ReadBytes(built));
  QFile::remove(served + QStringLiteral("/Web.1"));
  for (TCustomInstallFile* f : files)
    QFile::remove(f->GetDestPath());
  group->SetLocalArchive(QString());
  group->Process();
  for (TCustomInstallFile* f : files)
    EXPECT_EQ(ReadBytes(f->GetDestPath()), ReadBytes(f->SourcePath()));
}

}  // namespace
