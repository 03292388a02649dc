// The network road of a whole installation: a dtWeb or dtTraditionalNet
// script built with -b, its server tree served from 127.0.0.1 (Python's
// http.server or pyftpdlib), and the built setup.exe run as a program of
// its own over an older installed version. The remote file list gives each
// file its date, so newer files replace the installed ones and the same
// versions stay untouched. A server that sends garbage ends the setup with
// the error's own text; one that stalls runs into the time-out.

#include "InstallFileTestSupport.h"
#include "InstallHostTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "install/ScriptForm.h"
#include "installer/engine/cmp_TNetInstallLocation.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/routines_Registry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/FileUtils.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using qxtest::ReadBytes;

struct TRoadCase {
  const char* distribute;  // the script's DistributeType
  TInternetProtocol protocol;
};

void PrintTo(const TRoadCase& c, std::ostream* os) { *os << c.distribute; }

// A server of net_server.py on the port it prints.
class TServer {
 public:
  // port 0: a free one.
  TServer(const QStringList& arguments, int port)
      : process_(QStringLiteral(QX_DEBIAN_PYTHON),
                 QStringList{qxtest::DataPath(QStringLiteral("net_server.py")), QStringLiteral("--port"),
                             QString::number(port)} +
                     arguments) {
    const QString line = process_.ReadLine();
    if (line.startsWith(QLatin1String("PORT "))) port_ = line.mid(5).toInt();
  }
  int Port() const { return port_; }

 private:
  qxtest::TPeerProcess process_;
  int port_ = 0;
};

ino_t Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class NetRoadTest : public testing::TestWithParam<TRoadCase> {
 protected:
  void SetUp() override {
    setupDir_ = qxtest::TempPath(QStringLiteral("setupdir"));
    build_ = qxtest::TempPath(QStringLiteral("out"));
    served_ = qxtest::TempPath(QStringLiteral("served"));
    dest_ = qxtest::TempPath(QStringLiteral("programfiles/Trovaly/Game"));
    src_ = qxtest::TempPath(QStringLiteral("src"));
    const QString library = qxtest::TempPath(QStringLiteral("library"));
    for (const QString& dir : {setupDir_, served_, library, src_}) QDir().mkpath(dir);
    qxtest::WriteBytes(library + QStringLiteral("/Q32V31.TXT"), "");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), library + QStringLiteral("/OndrixLoadProgram")));
    WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\Library"),
                   QStringLiteral("SearchPath"), library);
    program_ = setupDir_ + QStringLiteral("/velmio");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_HEADLESS_SETUP), program_));
    form_ = setupDir_ + QStringLiteral("/script.form");
    qxtest::WriteBytes(setupDir_ + QStringLiteral("/BUILD.INF"), build_.toUtf8() + "\n");
    server_ = StartServer(ServerArguments(), 0);
    ASSERT_GT(server_->Port(), 0);
    port_ = server_->Port();
    host_ = QStringLiteral("127.0.0.1:%1").arg(port_);
  }

  QStringList ServerArguments() const {
    return GetParam().protocol == ipHTTP
               ? QStringList{QStringLiteral("http"), served_}
               : QStringList{QStringLiteral("ftp"), served_, QStringLiteral("setupuser"),
                             QStringLiteral("secret")};
  }
  // The script names the port of the first server: each later one takes it.
  static std::unique_ptr<TServer> StartServer(const QStringList& arguments, int port) {
    auto server = std::make_unique<TServer>(arguments, port);
    EXPECT_TRUE(port == 0 || server->Port() == port) << "port " << port << " not taken again";
    return server;
  }

  // The script: newer.bin, same.bin and fresh.bin by date (each in an
  // archive of its own on the server), readme.txt always (in the group's
  // archive); under dtTraditionalNet local.txt stays in files.1.
  void WriteScript() {
    const TRoadCase c = GetParam();
    const bool web = QLatin1String(c.distribute) == QLatin1String("dtWeb");
    const QString install = QStringLiteral(
                                "    RunAutomatic = False\n"
                                "    DistributeType = %1\n"
                                "    LoginInformation.Hostname = '%2'\n"
                                "    LoginInformation.Protocol = %3\n")
                                .arg(QString::fromLatin1(c.distribute), host_,
                                     c.protocol == ipHTTP ? QStringLiteral("ipHTTP") : QStringLiteral("ipFTP"));
    QString form = qxtest::ScriptFormHead(install);
    const QString net = web ? QString() : QStringLiteral("    Net = True\n");
    const QString byDate = net + QStringLiteral("    OverwriteMode = owDate\n");
    for (const char* name : {"newer.bin", "same.bin", "fresh.bin"})
      form += File(QString::fromLatin1(name), byDate);
    form += File(QStringLiteral("readme.txt"), net);
    if (!web) form += File(QStringLiteral("local.txt"), QStringLiteral("    OverwriteMode = owDate\n"));
    form += QStringLiteral("end\n");
    qxtest::WriteBytes(form_, form.toUtf8());
    names_ = web ? QStringList{"fresh.bin", "newer.bin", "readme.txt", "same.bin"}
                 : QStringList{"fresh.bin", "local.txt", "newer.bin", "readme.txt", "same.bin"};
    for (int i = 0; i < names_.size(); ++i)
      qxtest::WriteBytes(src_ + QLatin1Char('/') + names_[i], octest::Content(60000 + 1000 * i, 70 + i));
  }

  QString File(const QString& name, const QString& extra) const {
    return qxtest::ScriptFormFile(QString(name).remove(QLatin1Char('.')), QStringLiteral("Game"), src_,
                                  name, extra);
  }

  // -b in process, as the program started with it does; then the server
  // tree of the build goes to the served folder.
  void BuildAndServe() {
    auto host = std::make_unique<qxtest::TTestHost>(program_);
    qxtest::TTestHost* raw = host.get();
    SetInstallHost(std::move(host));
    SetInstallPrompter(std::make_unique<qxtest::TScriptedPrompter>(std::deque<qxtest::TScriptedPrompter::TStep>{}));
    SetInstallCommandLine({QStringLiteral("-b")});
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    RegisterInstallRegistryClasses();
    RegisterInstallShellLinkClasses();
    {
      TOndxCompress compressor(nullptr);
      compressor.SetCompressionLevel(colFastest);
      TDataModule root(nullptr);
      ReadRootComponentFile(&root, form_);
      CurrentInstall()->PresetupFiles()->Add(form_);
      ASSERT_EQ(raw->queued.size(), 1u);
      raw->RunQueued();
      EXPECT_EQ(raw->exitCode, 0);
    }
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
    const QString tree = build_ + QStringLiteral("/127.0.0.1%1/%2 Root directory")
                                      .arg(port_)
                                      .arg(GetParam().protocol == ipHTTP ? QStringLiteral("HTTP")
                                                                         : QStringLiteral("FTP"));
    ASSERT_TRUE(QFile::exists(tree + QStringLiteral("/filelist.lst"))) << tree.toStdString();
    for (const QString& name : QDir(tree).entryList(QDir::Files))
      ASSERT_TRUE(QFile::copy(tree + QLatin1Char('/') + name, served_ + QLatin1Char('/') + name));
  }

  // The version installed before: newer.bin older than the new one (and
  // other bytes), same.bin the very file with its date.
  void InstallOlderVersion() {
    QDir().mkpath(dest_);
    const QString newer = dest_ + QStringLiteral("/newer.bin");
    qxtest::WriteBytes(newer, "the old version");
    FileSetDate(newer, FileAge(src_ + QStringLiteral("/newer.bin")) - 30);
    ASSERT_TRUE(QFile::copy(src_ + QStringLiteral("/same.bin"), dest_ + QStringLiteral("/same.bin")));
    FileSetDate(dest_ + QStringLiteral("/same.bin"), FileAge(src_ + QStringLiteral("/same.bin")));
    sameInode_ = Inode(dest_ + QStringLiteral("/same.bin"));
  }

  struct TRun {
    int exitCode = -1;
    QString errors;
    qint64 ms = 0;
  };
  TRun RunSetup() {
    QProcess process;
    process.setWorkingDirectory(qxtest::TempRoot());
    QElapsedTimer timer;
    timer.start();
    process.start(build_ + QStringLiteral("/setup.exe"));
    TRun run;
    if (!process.waitForFinished(qxtest::WaitMs(60000))) {
      process.kill();
      process.waitForFinished();
      return run;
    }
    run.ms = timer.elapsed();
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
  }

  // What the older version left stands as it was.
  void ExpectOlderVersion() {
    EXPECT_EQ(ReadBytes(dest_ + QStringLiteral("/newer.bin")), QByteArray("the old version"));
    EXPECT_EQ(Inode(dest_ + QStringLiteral("/same.bin")), sameInode_);
    EXPECT_FALSE(QFile::exists(dest_ + QStringLiteral("/fresh.bin")));
  }

  QString setupDir_, build_, served_, dest_, src_, program_, form_, host_;
  int port_ = 0;
  QStringList names_;
  ino_t sameInode_ = 0;
  std::unique_ptr<TServer> server_;
};

TEST_P(NetRoadTest, NewerFilesReplaceTheInstalledOnesAndBadServersEndWithTheirError) {
  WriteScript();
  BuildAndServe();
  InstallOlderVersion();
  const bool http = GetParam().protocol == ipHTTP;
  server_.reset();

  // A server that answers with garbage: the setup ends at once with the
  // error's own text, in printable characters, and nothing is touched.
  {
    auto junk = StartServer({QStringLiteral("garbage")}, port_);
    const TRun bad = RunSetup();
    EXPECT_EQ(bad.exitCode, 1) << bad.errors.toStdString();
    const QString expected = http ? QStringLiteral("Cannot send request for file filelist.lst to the server. "
                                                   "Error message ERROR_HTTP_INVALID_SERVER_RESPONSE. Server ") +
                                        host_
                                  : QStringLiteral("Cannot connect to host ") + host_;
    EXPECT_TRUE(bad.errors.contains(expected)) << bad.errors.toStdString();
    for (QChar ch : bad.errors) {
      const bool printable = ch == QLatin1Char('\n') || (ch.unicode() >= 0x20 && ch.unicode() < 0x7f);
      ASSERT_TRUE(printable) << bad.errors.toStdString();
    }
    std::printf("garbage: %d ms: %s\n", static_cast<int>(bad.ms), qPrintable(bad.errors.section('\n', 0, 0)));
    ExpectOlderVersion();
  }

  // A server that stalls (HTTP: after the first bytes; FTP: before its
  // greeting), with the time-outs short: the same script read and run in
  // this process ends by the time-out, and nothing is touched.
  {
    auto stall = StartServer(http ? QStringList{QStringLiteral("stall-http"), QStringLiteral("100000")}
                                  : QStringList{QStringLiteral("silent")},
                             port_);
    SetInstallHost(std::make_unique<qxtest::TTestHost>(program_));
    SetInstallCommandLine({QStringLiteral("-s") + build_});
    TOndxCompress compressor(nullptr);
    TDataModule root(nullptr);
    ReadRootComponentFile(&root, form_);
    constexpr int kTimeOutMs = 1500;
    GlobalNetInstallLocation().SetConnectTimeoutMs(kTimeOutMs);
    GlobalNetInstallLocation().SetTransferTimeoutMs(kTimeOutMs);
    QElapsedTimer timer;
    timer.start();
    QString message;
    try {
      CurrentInstall()->Run();
    } catch (const ENIL& e) {
      message = e.Message();
    }
    EXPECT_TRUE(message.contains(QStringLiteral("ERROR_INTERNET_TIMEOUT"))) << message.toStdString();
    EXPECT_TRUE(message.startsWith(http ? QStringLiteral("Could not read from file filelist.lst on the server")
                                        : QStringLiteral("Cannot connect to host ") + host_))
        << message.toStdString();
    // The time-out is applied: the run ends long before the stalled server
    // would let it (a loose bound, for a loaded machine).
    EXPECT_LT(timer.elapsed(), 10 * kTimeOutMs);
    ExpectOlderVersion();
    SetInstallHost(nullptr);
  }

  // The real server again. Read in this process first: the list gives every
  // file its size and date, so the copy's totals are those of the files.
  auto good = StartServer(ServerArguments(), port_);
  {
    SetInstallHost(std::make_unique<qxtest::TTestHost>(program_));
    SetInstallCommandLine({QStringLiteral("-s") + build_});
    TOndxCompress compressor(nullptr);
    TDataModule root(nullptr);
    ReadRootComponentFile(&root, form_);
    CurrentInstall()->ReadInfoFromArchive();
    qint64 total = 0;
    for (TCustomInstallFile* file : InstallUnitState().installFiles) {
      const QString source = src_ + QLatin1Char('/') + file->FileName();
      total += QFileInfo(source).size();
      EXPECT_EQ(file->Size(), QFileInfo(source).size()) << file->Name().toStdString();
      EXPECT_NEAR(file->Date(), FileAge(source), 1.0 / 86400) << file->Name().toStdString();
    }
    EXPECT_EQ(CurrentInstall()->GetSizeAll(true), total);
    SetInstallHost(nullptr);
  }
  // Then the setup as a program: the list's dates decide.
  const TRun run = RunSetup();
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  for (const QString& name : names_) {
    EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + name), ReadBytes(src_ + QLatin1Char('/') + name))
        << name.toStdString();
  }
  EXPECT_EQ(Inode(dest_ + QStringLiteral("/same.bin")), sameInode_);
  std::printf("install: %d ms\n", static_cast<int>(run.ms));
}

INSTANTIATE_TEST_SUITE_P(Distributions, NetRoadTest,
                         testing::Values(TRoadCase{"dtWeb", ipHTTP}, TRoadCase{"dtTraditionalNet", ipFTP}),
                         [](const testing::TestParamInfo<TRoadCase>& param) {
                           return std::string(param.param.distribute).substr(2);
                         });

}  // namespace
