// The network location against servers started beside the test on
// 127.0.0.1 (an HTTP server of Python's http.server and a pyftpdlib FTP
// server), and its path, login and message rules.

#include "installer/engine/cmp_TNetInstallLocation.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace {

// Bytes whose first block holds "404" as text, as an installation's notes may.
QByteArray Payload(int size) {
  QByteArray out("Build 4040 notes\n");
  std::uint32_t x = 7;
  while (out.size() < size) {
    x = x * 1103515245u + 12345u;
    out.append(static_cast<char>(x >> 24));
  }
  return out.left(size);
}

// A server script of the suite as a child process, on the port it prints.
class TServer {
 public:
  explicit TServer(const QStringList& arguments)
      : process_(QStringLiteral(QX_DEBIAN_PYTHON),
                 QStringList{qxtest::DataPath(QStringLiteral("net_server.py"))} + arguments) {
    const QString line = process_.ReadLine();
    if (line.startsWith(QLatin1String("PORT ")))
      port_ = line.mid(5).toInt();
  }
  // Whether the port takes connections, polled within a bound.
  bool Ready() const {
    QElapsedTimer timer;
    timer.start();
    while (port_ > 0 && timer.elapsed() < qxtest::WaitMs(qxtest::PeerWaitBoundMs)) {
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(static_cast<std::uint16_t>(port_));
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
      const bool up = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      ::close(fd);
      if (up)
        return true;
      ::usleep(50000);
    }
    return false;
  }
  QString Host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

 private:
  qxtest::TPeerProcess process_;
  int port_ = 0;
};

class NetLocationTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = qxtest::TempPath(QStringLiteral("served"));
    qxtest::WriteBytes(root_ + QStringLiteral("/setup/files/group.1"), Payload(100000));
    qxtest::WriteBytes(root_ + QStringLiteral("/setup/empty.1"), QByteArray());
    local_ = qxtest::TempPath(QStringLiteral("local/group.1"));
    QDir().mkpath(qxtest::TempPath(QStringLiteral("local")));
    location_ = std::make_unique<TNetInstallLocation>(nullptr);
    location_->SetName(QStringLiteral("NetLocation1"));
    // Generous for a busy machine; the stall test sets its own.
    location_->SetConnectTimeoutMs(10000);
    location_->SetTransferTimeoutMs(10000);
  }

  std::unique_ptr<TServer> Start(const QStringList& arguments) {
    auto server = std::make_unique<TServer>(arguments);
    EXPECT_TRUE(server->Ready());
    return server;
  }
  std::unique_ptr<TServer> StartHttp(bool login = false) {
    QStringList args{QStringLiteral("http"), root_};
    if (login)
      args << QStringLiteral("setupuser") << QStringLiteral("secret");
    return Start(args);
  }
  std::unique_ptr<TServer> StartFtp() {
    return Start({QStringLiteral("ftp"), root_, QStringLiteral("setupuser"),
                  QStringLiteral("secret")});
  }

  void Login(const TServer& server, TInternetProtocol protocol, const QString& directory,
             const QString& password = QString()) {
    TLoginInformation* login = location_->LoginInformation();
    login->SetHostname(server.Host());
    login->SetProtocol(protocol);
    login->SetDirectory(directory);
    login->SetAnonymous(password.isEmpty());
    login->SetUsername(password.isEmpty() ? QString() : QStringLiteral("setupuser"));
    login->SetPassword(password);
  }

  QString root_;
  QString local_;
  std::unique_ptr<TNetInstallLocation> location_;
};

struct TProtocolCase {
  TInternetProtocol protocol;
  const char* directory;  // FTP: relative to the login folder
};

class NetLocationDownload : public NetLocationTest,
                            public testing::WithParamInterface<TProtocolCase> {
 protected:
  std::unique_ptr<TServer> StartFor(TInternetProtocol protocol) {
    return protocol == ipHTTP ? StartHttp() : StartFtp();
  }
};

// The whole file arrives byte for byte, in blocks of at most 8192 bytes with
// the server's size, and the events come in their order.
TEST_P(NetLocationDownload, DownloadsByteIdenticalInBlocksWithEvents) {
  const TProtocolCase c = GetParam();
  auto server = StartFor(c.protocol);
  Login(*server, c.protocol, QString::fromLatin1(c.directory));
  QStringList events;
  int blocks = 0;
  int lastTotal = 0;
  location_->OnBeforeLogin = [&](TObject*) { events << QStringLiteral("BeforeLogin"); };
  location_->OnAfterLogin = [&](TObject*) { events << QStringLiteral("AfterLogin"); };
  location_->OnBeforeDownload = [&](TObject*) {
    events << QStringLiteral("BeforeDownload");
    lastTotal = 0;
  };
  location_->OnAfterDownload = [&](TObject*, bool aborted) {
    events << (aborted ? QStringLiteral("Aborted") : QStringLiteral("AfterDownload"));
  };
  int hooked = 0;
  location_->DataReceivedHook = [&](TObject*, const QString&, int, int, int, const char*) {
    ++hooked;
  };
  location_->OnDataReceived = [&](TObject* sender, const QString& name, int bytes, int total,
                                  int size, const char* buffer) {
    EXPECT_EQ(sender, location_.get());
    EXPECT_EQ(name, QStringLiteral("group.1"));
    EXPECT_GT(bytes, 0);
    EXPECT_LE(bytes, 8192);
    EXPECT_EQ(total, lastTotal + bytes);
    EXPECT_EQ(size, 100000);
    EXPECT_EQ(QByteArray(buffer, bytes), Payload(100000).mid(lastTotal, bytes));
    lastTotal = total;
    ++blocks;
  };
  location_->DownloadFile(QStringLiteral("group.1"), local_);
  EXPECT_EQ(qxtest::ReadBytes(local_), Payload(100000));
  EXPECT_GE(blocks, 13);
  EXPECT_EQ(hooked, blocks);
  EXPECT_EQ(LastConnectedNetLocation(), location_.get());

  // The connection is kept: a second download logs in no more.
  location_->DownloadFile(QStringLiteral("group.1"), local_);
  EXPECT_EQ(events, (QStringList{"BeforeLogin", "AfterLogin", "BeforeDownload", "AfterDownload",
                                 "BeforeDownload", "AfterDownload"}));
}

// A missing file and an empty one are "not found" and leave the local file.
TEST_P(NetLocationDownload, MissingAndEmptyFilesLeaveTheLocalFile) {
  const TProtocolCase c = GetParam();
  auto server = StartFor(c.protocol);
  Login(*server, c.protocol, QString::fromLatin1(c.directory));
  qxtest::WriteBytes(local_, "before");
  if (c.protocol == ipHTTP) {
    EXPECT_THROW(location_->DownloadFile(QStringLiteral("missing.1"), local_), ENIL_FileNotFound);
  } else {
    EXPECT_THROW(location_->DownloadFile(QStringLiteral("missing.1"), local_), ENIL_FTPOpenFile);
  }
  EXPECT_EQ(qxtest::ReadBytes(local_), QByteArray("before"));
  location_->LoginInformation()->SetDirectory(
      c.protocol == ipHTTP ? QStringLiteral("\\setup\\") : QStringLiteral("setup"));
  try {
    location_->DownloadFile(QStringLiteral("empty.1"), local_);
    ADD_FAILURE() << "an empty file was taken";
  } catch (const ENIL_FileNotFound& e) {
    EXPECT_TRUE(e.Message().startsWith(
        QStringLiteral("Could not find the file empty.1 on the server. Error message ")))
        << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains(QStringLiteral(". Server 127.0.0.1:")));
  }
  EXPECT_EQ(qxtest::ReadBytes(local_), QByteArray("before"));
}

// A cancel through the progress event stops the download at once: the
// local file is as before, OnAfterDownload hears of it, the run gets the
// user's abort and the flag is clear for the next download.
TEST_P(NetLocationDownload, AbortInTheMiddleIsReportedAndCleared) {
  const TProtocolCase c = GetParam();
  auto server = StartFor(c.protocol);
  Login(*server, c.protocol, QString::fromLatin1(c.directory));
  qxtest::WriteBytes(local_, "before");
  int blocks = 0;
  bool afterAborted = false;
  location_->OnDataReceived = [&](TObject*, const QString&, int, int, int, const char*) {
    if (++blocks == 3)
      SetDownloadAborted(true);
  };
  location_->OnAfterDownload = [&](TObject*, bool aborted) { afterAborted = aborted; };
  EXPECT_THROW(location_->DownloadFile(QStringLiteral("group.1"), local_), EAIUserAbort);
  EXPECT_EQ(blocks, 3);
  EXPECT_TRUE(afterAborted);
  EXPECT_FALSE(DownloadAborted());
  EXPECT_EQ(qxtest::ReadBytes(local_), QByteArray("before"));

  location_->OnDataReceived = nullptr;
  location_->DownloadFile(QStringLiteral("group.1"), local_);
  EXPECT_FALSE(afterAborted);
  EXPECT_EQ(qxtest::ReadBytes(local_), Payload(100000));
}

INSTANTIATE_TEST_SUITE_P(Protocols, NetLocationDownload,
                         testing::Values(TProtocolCase{ipHTTP, "setup\\files"},
                                         TProtocolCase{ipFTP, "setup/files"}),
                         [](const testing::TestParamInfo<TProtocolCase>& param) {
                           return param.param.protocol == ipHTTP ? "Http" : "Ftp";
                         });

// A wrong password fails the login, with the server's answer in the text.
TEST_F(NetLocationTest, WrongPasswordFailsTheLoginOverBoth) {
  auto http = StartHttp(true);
  Login(*http, ipHTTP, QStringLiteral("setup\\files"), QStringLiteral("secret"));
  location_->DownloadFile(QStringLiteral("group.1"), local_);
  EXPECT_EQ(qxtest::ReadBytes(local_), Payload(100000));
  Login(*http, ipHTTP, QStringLiteral("setup\\files"), QStringLiteral("wrong"));
  try {
    location_->DownloadFile(QStringLiteral("group.1"), local_);
    ADD_FAILURE() << "HTTP login accepted";
  } catch (const ENIL_OpenService& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("401"))) << e.Message().toStdString();
  }

  auto ftp = StartFtp();
  Login(*ftp, ipFTP, QStringLiteral("setup"), QStringLiteral("wrong"));
  bool afterLogin = false;
  location_->OnAfterLogin = [&](TObject*) { afterLogin = true; };
  try {
    location_->DownloadFile(QStringLiteral("empty.1"), local_);
    ADD_FAILURE() << "FTP login accepted";
  } catch (const ENIL_OpenService& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot connect to host ") + ftp->Host()));
    EXPECT_TRUE(e.Message().contains(QStringLiteral("ERROR_INTERNET_LOGIN_FAILURE")))
        << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains(QStringLiteral("Response from server 530")));
  }
  EXPECT_FALSE(afterLogin);
  EXPECT_FALSE(location_->Connected());
}

// A directory the FTP server does not have fails after the login.
TEST_F(NetLocationTest, MissingFtpDirectoryFailsToSetIt) {
  auto ftp = StartFtp();
  Login(*ftp, ipFTP, QStringLiteral("\\nowhere\\"), QStringLiteral("secret"));
  try {
    location_->Connect();
    ADD_FAILURE() << "directory set";
  } catch (const ENIL_FTPSetDir& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot set directory on server to /nowhere/")))
        << e.Message().toStdString();
  }
  EXPECT_TRUE(location_->Connected());
  location_->LoginInformation()->SetDirectory(QStringLiteral("\\setup\\files"));
  location_->DownloadFile(QStringLiteral("group.1"), local_);
  EXPECT_EQ(qxtest::ReadBytes(local_), Payload(100000));
}

// A server that stops sending, or never answers, runs into the time-outs.
TEST_F(NetLocationTest, StalledServersRunIntoTheTimeOuts) {
  constexpr int kTimeOutMs = 1000;
  location_->SetConnectTimeoutMs(kTimeOutMs);
  location_->SetTransferTimeoutMs(kTimeOutMs);
  qxtest::WriteBytes(local_, "before");
  auto stall = Start({QStringLiteral("stall-http"), QStringLiteral("100000")});
  Login(*stall, ipHTTP, QString());
  int received = 0;
  location_->OnDataReceived = [&](TObject*, const QString&, int bytes, int, int, const char*) {
    received += bytes;
  };
  QElapsedTimer timer;
  timer.start();
  try {
    location_->DownloadFile(QStringLiteral("group.1"), local_);
    ADD_FAILURE() << "stalled download ended";
  } catch (const ENIL_ReadFile& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("ERROR_INTERNET_TIMEOUT")))
        << e.Message().toStdString();
  }
  EXPECT_EQ(received, 4096);
  // The time-out is applied (a loose bound, for a loaded machine).
  EXPECT_LT(timer.elapsed(), 10 * kTimeOutMs);
  EXPECT_EQ(qxtest::ReadBytes(local_), QByteArray("before"));

  auto silent = Start({QStringLiteral("silent")});
  Login(*silent, ipFTP, QString());
  timer.restart();
  try {
    location_->Connect();
    ADD_FAILURE() << "silent server logged in";
  } catch (const ENIL_OpenService& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral("ERROR_INTERNET_TIMEOUT")))
        << e.Message().toStdString();
  }
  EXPECT_LT(timer.elapsed(), 10 * kTimeOutMs);
}

bool Printable(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x20 || c.unicode() > 0x7e)
      return false;
  }
  return true;
}

// Each failure has its own class and error name; what the server sent goes
// into the message as one short line of printable text.
TEST_F(NetLocationTest, ErrorRepliesAndGarbageGetTheirOwnErrorsAndPrintableText) {
  auto http = StartHttp();
  Login(*http, ipHTTP, QStringLiteral("setup\\files"));
  try {
    location_->DownloadFile(QStringLiteral("missing.1"), local_);
    ADD_FAILURE() << "missing file found";
  } catch (const ENIL_FileNotFound& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral(
        "Could not find the file missing.1 on the server. Error message ERROR_INTERNET_ITEM_NOT_FOUND. ")))
        << e.Message().toStdString();
    EXPECT_TRUE(e.Message().contains(QStringLiteral("Response from server HTTP/1.0 404")))
        << e.Message().toStdString();
  }

  auto junk = Start({QStringLiteral("garbage")});
  Login(*junk, ipHTTP, QString());
  try {
    location_->DownloadFile(QStringLiteral("group.1"), local_);
    ADD_FAILURE() << "garbage taken for HTTP";
  } catch (const ENIL_HTTPSendRequest& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral(
        "Cannot send request for file group.1 to the server. Error message "
        "ERROR_HTTP_INVALID_SERVER_RESPONSE. Server ") + junk->Host()))
        << e.Message().toStdString();
    EXPECT_TRUE(Printable(e.Message())) << e.Message().toStdString();
  }

  Login(*junk, ipFTP, QString());
  try {
    location_->Connect();
    ADD_FAILURE() << "garbage taken for a greeting";
  } catch (const ENIL_OpenService& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot connect to host ") + junk->Host()))
        << e.Message().toStdString();
    EXPECT_TRUE(Printable(e.Message())) << e.Message().toStdString();
    const QString response = e.Message().section(QStringLiteral("Response from server "), 1);
    EXPECT_FALSE(response.isEmpty());
    EXPECT_LE(response.size(), 200) << response.toStdString();
  }
  EXPECT_FALSE(location_->Connected());
}

// A host text that would change the address is refused before any request.
TEST_F(NetLocationTest, UnsafeHostNamesAreRefused) {
  for (const char* host : {"", "  ", "evil.example/x", "user@host", "host?x", "a b"}) {
    location_->LoginInformation()->SetHostname(QString::fromLatin1(host));
    EXPECT_THROW(location_->Connect(), ENIL_OpenService) << host;
    EXPECT_FALSE(location_->Connected());
  }
}

TEST(NetLocationRules, ServerPathsAndObjectPaths) {
  struct {
    const char* directory;
    const char* server;
    const char* object;
  } cases[] = {
      {"", "/", "/file.1"},
      {"  ", "/", "  /file.1"},
      {"\\setup\\", "/setup/", "/setup/file.1"},
      {"setup", "setup", "setup/file.1"},
      {"setup\\files", "setup/files", "setup/files/file.1"},
      {"/a/b/", "/a/b/", "/a/b/\\file.1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NetServerPath(QString::fromLatin1(c.directory)), QString::fromLatin1(c.server))
        << c.directory;
    if (QString::fromLatin1(c.directory).endsWith(QLatin1Char('/')))
      continue;
    EXPECT_EQ(NetHttpObjectPath(QString::fromLatin1(c.directory), QStringLiteral("file.1")),
              QString::fromLatin1(c.object))
        << c.directory;
  }
}

TEST(NetLocationRules, LoginIsCompleteWithAHostOrAnyLoginText) {
  struct {
    bool anonymous;
    const char* host;
    const char* user;
    const char* password;
    bool complete;
  } cases[] = {
      {true, "", "", "", false},          {true, " ", "u", "p", false},
      {true, "host", "", "", true},       {false, "", "", "secret", true},
      {false, "", "user", "", true},      {false, "", " ", " ", false},
      {false, "host", "", "", true},
  };
  for (const auto& c : cases) {
    TLoginInformation login;
    login.SetAnonymous(c.anonymous);
    login.SetHostname(QString::fromLatin1(c.host));
    login.SetUsername(QString::fromLatin1(c.user));
    login.SetPassword(QString::fromLatin1(c.password));
    EXPECT_EQ(login.IsComplete(), c.complete) << c.host << "/" << c.user << "/" << c.password;
  }
}

TEST(NetLocationRules, AssigningLoginCopiesAndDropsTheConnection) {
  TLoginInformation source;
  source.SetAnonymous(false);
  source.SetDirectory(QStringLiteral("\\setup"));
  source.SetHostname(QStringLiteral("files.example"));
  source.SetPassword(QStringLiteral("pw"));
  source.SetProtocol(ipHTTP);
  source.SetUsername(QStringLiteral("me"));
  TNetInstallLocation& global = GlobalNetInstallLocation();
  EXPECT_EQ(&global, &GlobalNetInstallLocation());
  global.SetLoginInformation(&source);
  const TLoginInformation& copy = *global.LoginInformation();
  EXPECT_FALSE(copy.Anonymous());
  EXPECT_EQ(copy.Directory(), QStringLiteral("\\setup"));
  EXPECT_EQ(copy.Hostname(), QStringLiteral("files.example"));
  EXPECT_EQ(copy.Password(), QStringLiteral("pw"));
  EXPECT_EQ(copy.Protocol(), ipHTTP);
  EXPECT_EQ(copy.Username(), QStringLiteral("me"));
  EXPECT_EQ(copy.GetOwner(), &global);
  // HTTP connects when a request goes out; the login text is checked first.
  global.Connect();
  EXPECT_TRUE(global.Connected());
  EXPECT_EQ(LastConnectedNetLocation(), &global);
  global.LoginInformation()->SetHostname(QStringLiteral("other.example"));
  EXPECT_FALSE(global.Connected());
  FreeProcessObject<TNetInstallLocation>();
  EXPECT_EQ(LastConnectedNetLocation(), nullptr);
}

TEST(NetLocationRules, ErrorNamesAndMessageLayout) {
  const std::pair<int, const char*> names[] = {
      {6, "ERROR_INVALID_HANDLE"},
      {12001, "ERROR_INTERNET_OUT_OF_HANDLES"},
      {12002, "ERROR_INTERNET_TIMEOUT"},
      {12031, "ERROR_INTERNET_CONNECTION_RESET"},
      {12032, "ERROR_INTERNET_FORCE_RETRY"},
      {12033, "Unregistered error code"},
      {12036, "ERROR_INTERNET_HANDLE_EXISTS"},
      {12041, "ERROR_INTERNET_MIXED_SECURITY"},
      {12111, "ERROR_FTP_DROPPED"},
      {12138, "ERROR_GOPHER_UNKNOWN_LOCATOR"},
      {12150, "ERROR_HTTP_HEADER_NOT_FOUND"},
      {12155, "ERROR_HTTP_HEADER_ALREADY_EXISTS"},
      {12156, "Unregistered error code"},
      {0, "Unregistered error code"},
  };
  for (const auto& [code, name] : names)
    EXPECT_EQ(NetErrorCodeName(code), QString::fromLatin1(name)) << code;
  const ENIL_FTPOpenFile e(QString::fromLatin1(kNilFTPOpenFile), {QStringLiteral("x.1")});
  EXPECT_EQ(e.Message(), QStringLiteral("Cannot open file x.1 on server. Error message "
                                        "Unregistered error code. Server . Response from server "
                                        "No server response"));
  const ENIL_WriteDestFile w(QString::fromLatin1(kNilWriteDestFile),
                             {QStringLiteral("Loc"), QStringLiteral("/t/f")});
  EXPECT_EQ(w.Message(), QStringLiteral("Loc could not write to the local dest file /t/f"));
}

}  // namespace
