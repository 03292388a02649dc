#include "installer/engine/cmp_TNetInstallLocation.h"

#include "installer/engine/InstallHost.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/ProcessState.h"

#include <QUrl>

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <exception>
#include <iterator>
#include <mutex>

namespace {

// Process-wide settings; they own nothing.
struct TNetState {
  TCustomNetInstallLocation* lastConnected = nullptr;
  bool aborted = false;
  int lastError = 0;
  QString lastResponse;
};

TNetState& State() {
  static TNetState state;  // cleared by the reset hook
  return state;
}

const TResetHook kResetNetState([] { State() = TNetState(); });

constexpr int kBlockSize = 8192;
// A server's reply goes into a message the user reads: one line of
// printable text, shortened.
constexpr int kMaxResponse = 200;

// Internet error codes the messages name.
constexpr int kErrInternalError = 12004;
constexpr int kErrTimeout = 12002;
constexpr int kErrExtendedError = 12003;
constexpr int kErrInvalidUrl = 12005;
constexpr int kErrUnrecognizedScheme = 12006;
constexpr int kErrNameNotResolved = 12007;
constexpr int kErrLoginFailure = 12015;
constexpr int kErrOperationCancelled = 12017;
constexpr int kErrItemNotFound = 12028;
constexpr int kErrCannotConnect = 12029;
constexpr int kErrConnectionAborted = 12030;
constexpr int kErrConnectionReset = 12031;
constexpr int kErrInvalidServerResponse = 12152;

int InternetErrorOf(CURLcode code, bool http) {
  // An HTTP request names only http: an unknown protocol is the server's
  // reply that is no HTTP.
  if (http && (code == CURLE_UNSUPPORTED_PROTOCOL || code == CURLE_WEIRD_SERVER_REPLY))
    return kErrInvalidServerResponse;
  switch (code) {
    case CURLE_OK: return 0;
    case CURLE_UNSUPPORTED_PROTOCOL: return kErrUnrecognizedScheme;
    case CURLE_URL_MALFORMAT: return kErrInvalidUrl;
    case CURLE_COULDNT_RESOLVE_HOST: return kErrNameNotResolved;
    case CURLE_COULDNT_CONNECT: return kErrCannotConnect;
    case CURLE_OPERATION_TIMEDOUT: return kErrTimeout;
    case CURLE_LOGIN_DENIED: return kErrLoginFailure;
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_REMOTE_FILE_NOT_FOUND:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_FTP_WEIRD_PASV_REPLY:
    case CURLE_FTP_WEIRD_227_FORMAT:
    case CURLE_FTP_COULDNT_RETR_FILE:
    case CURLE_FTP_COULDNT_SET_TYPE: return kErrExtendedError;
    case CURLE_ABORTED_BY_CALLBACK:
    case CURLE_WRITE_ERROR: return kErrOperationCancelled;
    case CURLE_RECV_ERROR:
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING: return kErrConnectionAborted;
    case CURLE_SEND_ERROR: return kErrConnectionReset;
    default: return kErrInternalError;
  }
}

void SetLastError(int code) {
  State().lastError = code;
}

// Printable ASCII only (each run of anything else becomes one blank),
// at most kMaxResponse characters, "..." marking a cut.
QString PrintableResponse(const QByteArray& bytes) {
  QString text;
  bool gap = false;
  for (const char c : bytes) {
    if (c >= 0x20 && c < 0x7f) {
      if (gap && !text.isEmpty())
        text += QLatin1Char(' ');
      gap = false;
      text += QLatin1Char(c);
    } else {
      gap = true;
    }
    if (text.size() > kMaxResponse)
      break;
  }
  text = text.trimmed();
  if (text.size() > kMaxResponse)
    text = text.left(kMaxResponse - 3) + QStringLiteral("...");
  return text;
}

void NoteResponse(const QByteArray& line) {
  const QString text = PrintableResponse(line);
  if (!text.isEmpty())
    State().lastResponse = text;
}

QString NilMessage(const QString& text) {
  const TCustomNetInstallLocation* last = State().lastConnected;
  const QString host = last ? last->LoginInformation()->Hostname() : QString();
  const QString response =
      State().lastResponse.isEmpty() ? QString::fromLatin1(kNilNoResponse) : State().lastResponse;
  return Format(QString::fromLatin1(kNilMessage),
                {text, NetErrorCodeName(State().lastError), host, response});
}

QString Text(const char* text) {
  return QString::fromLatin1(text);
}

QByteArray EncodedPath(const QString& path) {
  return QUrl::toPercentEncoding(path, "/");
}

using TCurlList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

}  // namespace

// The libcurl handle; its connection cache is the kept connection.
class TNetSession {
 public:
  TNetSession() : handle_(curl_easy_init()) {}
  ~TNetSession() {
    if (handle_ != nullptr)
      curl_easy_cleanup(handle_);
  }
  TNetSession(const TNetSession&) = delete;
  TNetSession& operator=(const TNetSession&) = delete;
  CURL* Handle() const { return handle_; }

 private:
  CURL* handle_;
};

// One request on the session, with its replies parsed as they come and the
// body handed over block by block. Exceptions of the handlers are kept and
// raised again after libcurl returns.
class TCustomNetInstallLocation::TDownload {
 public:
  TDownload(TCustomNetInstallLocation& location, bool http)
      : location_(location), http_(http) {}

  // Runs the request; false when libcurl reported a failure (code()).
  bool Perform(const QByteArray& url, bool noBody) {
    CURL* h = location_.session_->Handle();
    curl_easy_reset(h);
    const TLoginInformation& login = *location_.LoginInformation();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, http_ ? "http" : "ftp");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_BUFFERSIZE, static_cast<long>(kBlockSize));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(location_.connectTimeoutMs_));
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(1, (location_.transferTimeoutMs_ + 999) / 1000)));
    if (noBody)
      curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    QByteArray user;
    QByteArray password;
    if (!login.Anonymous()) {
      user = login.Username().toUtf8();
      password = login.Password().toUtf8();
      curl_easy_setopt(h, CURLOPT_USERNAME, user.constData());
      curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData());
      if (http_)
        curl_easy_setopt(h, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
    }
    TCurlList headers(nullptr, &curl_slist_free_all);
    if (http_) {
      headers.reset(curl_slist_append(nullptr, "Accept: */*"));
      curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    }
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &TDownload::HeaderThunk);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &TDownload::WriteThunk);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(h, CURLOPT_PREREQFUNCTION, &TDownload::PrereqThunk);
    curl_easy_setopt(h, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &TDownload::ProgressThunk);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);

    State().lastResponse.clear();
    lastActivity_ = Clock::now();
    code_ = curl_easy_perform(h);
    if (failure_)
      std::rethrow_exception(failure_);
    if (timedOut_)
      code_ = CURLE_OPERATION_TIMEDOUT;
    if (http_ && code_ == CURLE_OK) {
      long status = 0;
      curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
      status_ = static_cast<int>(status);
    }
    SetLastError(InternetErrorOf(code_, http_));
    return code_ == CURLE_OK;
  }

  CURLcode Code() const { return code_; }
  bool Connected() const { return connected_; }
  bool Opened() const { return opened_; }
  bool Aborted() const { return aborted_; }
  int Status() const { return status_; }
  int Total() const { return total_; }

  // Makes the downloaded file the local file.
  void Commit() {
    try {
      if (file_)
        file_->Commit();
    } catch (const EAtomicFileError&) {
      RaiseWriteError();
    }
  }

 private:
  using Clock = std::chrono::steady_clock;

  static size_t HeaderThunk(char* data, size_t size, size_t count, void* self) {
    auto* d = static_cast<TDownload*>(self);
    d->lastActivity_ = Clock::now();
    d->Header(QByteArray(data, static_cast<qsizetype>(size * count)));
    return size * count;
  }
  static size_t WriteThunk(char* data, size_t size, size_t count, void* self) {
    auto* d = static_cast<TDownload*>(self);
    d->lastActivity_ = Clock::now();
    try {
      return d->Body(data, size * count) ? size * count : 0;
    } catch (...) {
      d->failure_ = std::current_exception();
      return 0;
    }
  }
  static int PrereqThunk(void* self, char*, char*, int, int) {
    auto* d = static_cast<TDownload*>(self);
    d->connected_ = true;
    d->lastActivity_ = Clock::now();
    return CURL_PREREQFUNC_OK;
  }
  static int ProgressThunk(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* d = static_cast<TDownload*>(self);
    if (!d->connected_)
      return 0;  // libcurl's connect time-out holds until then
    const auto idle =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - d->lastActivity_);
    if (idle.count() <= d->location_.transferTimeoutMs_)
      return 0;
    d->timedOut_ = true;
    return 1;
  }

  void Header(const QByteArray& line) {
    if (http_) {
      if (line.startsWith("HTTP/")) {
        NoteResponse(line);
        const QList<QByteArray> parts = line.simplified().split(' ');
        status_ = parts.size() > 1 ? parts[1].toInt() : 0;
        contentLength_ = 0;
      } else if (line.toLower().startsWith("content-length:")) {
        bool ok = false;
        const qint64 length = line.mid(15).trimmed().toLongLong(&ok);
        contentLength_ = ok && length > 0 && length <= INT_MAX ? static_cast<int>(length) : 0;
      }
      return;
    }
    NoteResponse(line);
    // The only 213 reply asked for is the one to SIZE.
    if (line.startsWith("213 ")) {
      bool ok = false;
      const qint64 size = line.mid(4).trimmed().toLongLong(&ok);
      ftpSize_ = ok && size > 0 && size <= INT_MAX ? static_cast<int>(size) : 0;
    } else if (line.startsWith("150") || line.startsWith("125")) {
      opened_ = true;
    }
  }

  bool Body(const char* data, size_t size) {
    if (http_) {
      if (status_ < 200 || status_ > 299)
        return false;  // an error page is no file: not read
      opened_ = true;
    }
    const int fileSize = http_ ? contentLength_ : ftpSize_;
    while (size > 0) {
      const int block = static_cast<int>(std::min<size_t>(size, kBlockSize));
      if (total_ > INT_MAX - block)
        throw ENIL_ReadFile(Text(kNilReadFile), {location_.remoteFileName_});
      total_ += block;
      const QString& remote = location_.remoteFileName_;
      if (location_.OnDataReceived)
        location_.OnDataReceived(&location_, remote, block, total_, fileSize, data);
      if (location_.DataReceivedHook)
        location_.DataReceivedHook(&location_, remote, block, total_, fileSize, data);
      ProcessInstallMessages();
      if (DownloadAborted()) {
        aborted_ = true;
        return false;
      }
      try {
        if (!file_)
          file_ = std::make_unique<TAtomicFile>(location_.localFileName_);
        file_->Write(data, block);
      } catch (const EAtomicFileError&) {
        RaiseWriteError();
      }
      data += block;
      size -= static_cast<size_t>(block);
    }
    return true;
  }

  [[noreturn]] void RaiseWriteError() const {
    throw ENIL_WriteDestFile(Text(kNilWriteDestFile),
                             {location_.Name(), location_.localFileName_});
  }

  TCustomNetInstallLocation& location_;
  bool http_;
  CURLcode code_ = CURLE_OK;
  std::exception_ptr failure_;
  Clock::time_point lastActivity_;
  bool connected_ = false;
  bool opened_ = false;
  bool aborted_ = false;
  bool timedOut_ = false;
  int status_ = 0;
  int contentLength_ = 0;
  int ftpSize_ = 0;
  int total_ = 0;
  std::unique_ptr<TAtomicFile> file_;
};

// ---------------------------------------------------------------- login

TCustomLoginInformation::TCustomLoginInformation(TCustomNetInstallLocation* location)
    : location_(location) {}

void TCustomLoginInformation::Changed() {
  if (location_ != nullptr)
    location_->LoginChanged();
}

void TCustomLoginInformation::SetAnonymous(bool value) {
  anonymous_ = value;
  Changed();
}
void TCustomLoginInformation::SetDirectory(const QString& value) {
  directory_ = value;
}
void TCustomLoginInformation::SetHostname(const QString& value) {
  hostname_ = value;
  Changed();
}
void TCustomLoginInformation::SetPassword(const QString& value) {
  password_ = value;
  Changed();
}
void TCustomLoginInformation::SetProtocol(TInternetProtocol value) {
  protocol_ = value;
  Changed();
}
void TCustomLoginInformation::SetUsername(const QString& value) {
  username_ = value;
  Changed();
}

bool TCustomLoginInformation::IsComplete() const {
  if (anonymous_)
    return !hostname_.trimmed().isEmpty();
  return !hostname_.trimmed().isEmpty() || !password_.trimmed().isEmpty() ||
         !username_.trimmed().isEmpty();
}

void TCustomLoginInformation::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCustomLoginInformation*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  SetAnonymous(other->anonymous_);
  SetDirectory(other->directory_);
  SetHostname(other->hostname_);
  SetPassword(other->password_);
  SetProtocol(other->protocol_);
  SetUsername(other->username_);
}

TPersistent* TCustomLoginInformation::GetOwner() const {
  return location_;
}

namespace {
const TEnumInfo kInternetProtocolIdents{"ipFTP", "ipHTTP"};
}  // namespace

void TCustomLoginInformation::DeclareProperties(
    TClassBuilder<TCustomLoginInformation, TPersistent>& b) {
  using L = TCustomLoginInformation;
  b.Property("Anonymous", &L::Anonymous, &L::SetAnonymous).Default(true);
  b.Property("Directory", &L::Directory, &L::SetDirectory);
  b.Property("Hostname", &L::Hostname, &L::SetHostname);
  b.Property("Password", &L::Password, &L::SetPassword);
  b.Property("Protocol", &L::Protocol, &L::SetProtocol, kInternetProtocolIdents).Default(ipFTP);
  b.Property("Username", &L::Username, &L::SetUsername);
}

// ---------------------------------------------------------------- location

TCustomNetInstallLocation::TCustomNetInstallLocation(TComponent* owner)
    : TComponent(owner), loginInformation_(std::make_unique<TLoginInformation>(this)) {}

TCustomNetInstallLocation::~TCustomNetInstallLocation() {
  if (State().lastConnected == this)
    State().lastConnected = nullptr;
  session_.reset();
}

void TCustomNetInstallLocation::SetLoginInformation(TLoginInformation* value) {
  loginInformation_->Assign(value);
}

void TCustomNetInstallLocation::LoginChanged() {
  connected_ = false;
}

void TCustomNetInstallLocation::LoadWinInet() {
  static std::once_flag once;
  static CURLcode init = CURLE_OK;
  std::call_once(once, [] { init = curl_global_init(CURL_GLOBAL_DEFAULT); });
  if (init != CURLE_OK)
    throw ENIL_FailLoadWININET(Text(kNilFailLoadWININET));
  const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
  bool ftp = false;
  bool http = false;
  for (const char* const* p = info->protocols; p != nullptr && *p != nullptr; ++p) {
    ftp = ftp || qstrcmp(*p, "ftp") == 0;
    http = http || qstrcmp(*p, "http") == 0;
  }
  if (!ftp)
    throw ENIL_FailLoadDLLProc(Text(kNilFailLoadDLLProc), {QStringLiteral("FtpOpenFile")});
  if (!http)
    throw ENIL_FailLoadDLLProc(Text(kNilFailLoadDLLProc), {QStringLiteral("HttpOpenRequest")});
  loaded_ = true;
}

// A host name that would change the address it is put into is refused.
void TCustomNetInstallLocation::CheckHostname() const {
  const QString host = loginInformation_->Hostname();
  bool bad = host.trimmed().isEmpty();
  for (QChar c : host)
    bad = bad || c.unicode() <= 0x20 || QStringLiteral("/\\@?#%").contains(c);
  if (bad)
    throw ENIL_OpenService(Text(kNilOpenService), {host});
}

void TCustomNetInstallLocation::Connect() {
  State().lastConnected = this;
  if (!loaded_)
    LoadWinInet();
  if (!session_) {
    auto session = std::make_unique<TNetSession>();
    if (session->Handle() == nullptr)
      throw ENIL_OpenSession(Text(kNilOpenSession));
    session_ = std::move(session);
  }
  const bool login = !connected_;
  if (login) {
    if (OnBeforeLogin)
      OnBeforeLogin(this);
    CheckHostname();
    if (loginInformation_->Protocol() == ipHTTP) {
      connected_ = true;
      if (OnAfterLogin)
        OnAfterLogin(this);
      return;
    }
  }
  if (loginInformation_->Protocol() == ipFTP)
    ConnectFtp();
}

namespace {

QByteArray FtpDirectoryUrl(const TLoginInformation& login) {
  QString path = NetServerPath(login.Directory());
  if (!path.endsWith(QLatin1Char('/')))
    path += QLatin1Char('/');
  return "ftp://" + login.Hostname().toUtf8() + "/" + EncodedPath(path);
}

QByteArray HttpUrl(const TLoginInformation& login, const QString& remoteName) {
  const QString path = NetHttpObjectPath(login.Directory(), remoteName);
  const QByteArray slash = path.startsWith(QLatin1Char('/')) ? "" : "/";
  return "http://" + login.Hostname().toUtf8() + slash + EncodedPath(path);
}

// Failures of the connection itself, before any reply to a request.
bool IsConnectFailure(CURLcode code) {
  return code == CURLE_LOGIN_DENIED || code == CURLE_COULDNT_CONNECT ||
         code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_URL_MALFORMAT;
}

}  // namespace

// Logs in (when not connected) and changes to the directory in one request.
void TCustomNetInstallLocation::ConnectFtp() {
  const bool login = !connected_;
  TDownload request(*this, false);
  if (request.Perform(FtpDirectoryUrl(*loginInformation_), true)) {
    connected_ = true;
    if (login && OnAfterLogin)
      OnAfterLogin(this);
    return;
  }
  if (IsConnectFailure(request.Code()) || !request.Connected()) {
    connected_ = false;
    throw ENIL_OpenService(Text(kNilOpenService), {loginInformation_->Hostname()});
  }
  connected_ = true;
  if (login && OnAfterLogin)
    OnAfterLogin(this);
  throw ENIL_FTPSetDir(Text(kNilFTPSetDir), {NetServerPath(loginInformation_->Directory())});
}

void TCustomNetInstallLocation::DownloadFile(const QString& remoteName, const QString& localName) {
  Connect();
  remoteFileName_ = remoteName;
  localFileName_ = localName;
  if (OnBeforeDownload)
    OnBeforeDownload(this);
  TDownload download(*this, loginInformation_->Protocol() == ipHTTP);
  const QByteArray url = loginInformation_->Protocol() == ipHTTP
                             ? HttpUrl(*loginInformation_, remoteName)
                             : FtpDirectoryUrl(*loginInformation_) + EncodedPath(remoteName);
  const bool done = download.Perform(url, false);
  if (download.Aborted()) {
    if (OnAfterDownload)
      OnAfterDownload(this, true);
    SetDownloadAborted(false);
    throw EAIUserAbort();
  }
  const QString& host = loginInformation_->Hostname();
  if (loginInformation_->Protocol() == ipHTTP) {
    const int status = download.Status();
    // An error page stops the transfer at its first bytes: the answer is its
    // status, not the stop.
    const bool answered = done || download.Code() == CURLE_WRITE_ERROR;
    if (answered && (status == 404 || status == 410)) {
      SetLastError(kErrItemNotFound);
      throw ENIL_FileNotFound(Text(kNilFileNotFound), {remoteName});
    }
    if (answered && (status < 200 || status > 299)) {
      // The server said why: its status line is the response.
      SetLastError(kErrExtendedError);
      if (status == 401 || status == 407)
        throw ENIL_OpenService(Text(kNilOpenService), {host});
      throw ENIL_HTTPOpenFile(Text(kNilHTTPOpenFile), {remoteName});
    }
    if (!done && !download.Opened())
      throw ENIL_HTTPSendRequest(Text(kNilHTTPSendRequest), {remoteName});
  } else if (!done) {
    const CURLcode code = download.Code();
    if (IsConnectFailure(code) || !download.Connected()) {
      connected_ = false;
      throw ENIL_OpenService(Text(kNilOpenService), {host});
    }
    if (!download.Opened())
      throw ENIL_FTPOpenFile(Text(kNilFTPOpenFile), {remoteName});
  }
  if (!done)
    throw ENIL_ReadFile(Text(kNilReadFile), {remoteName});
  if (download.Total() < 1) {
    SetLastError(kErrItemNotFound);
    throw ENIL_FileNotFound(Text(kNilFileNotFound), {remoteName});
  }
  download.Commit();
  if (OnAfterDownload)
    OnAfterDownload(this, false);
}

void TNetInstallLocation::DeclareProperties(
    TClassBuilder<TNetInstallLocation, TCustomNetInstallLocation>& b) {
  using L = TCustomNetInstallLocation;
  b.Object("LoginInformation", &L::LoginInformation);
  b.Event("OnAfterDownload", &L::OnAfterDownload);
  b.Event("OnAfterLogin", &L::OnAfterLogin);
  b.Event("OnBeforeDownload", &L::OnBeforeDownload);
  b.Event("OnBeforeLogin", &L::OnBeforeLogin);
  b.Event("OnDataReceived", &L::OnDataReceived);
}

// ---------------------------------------------------------------- globals

TNetInstallLocation& GlobalNetInstallLocation() {
  return ProcessObject<TNetInstallLocation>(
      [] { return std::make_unique<TNetInstallLocation>(nullptr); });
}

TCustomNetInstallLocation* LastConnectedNetLocation() {
  return State().lastConnected;
}

bool DownloadAborted() {
  return State().aborted;
}

void SetDownloadAborted(bool value) {
  State().aborted = value;
}

int NetLastErrorCode() {
  return State().lastError;
}

QString NetLastResponse() {
  return State().lastResponse;
}

QString NetServerPath(const QString& directory) {
  if (directory.trimmed().isEmpty())
    return QStringLiteral("/");
  QString path = directory;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return path;
}

QString NetHttpObjectPath(const QString& directory, const QString& remoteName) {
  QString dir = directory;
  if (!dir.endsWith(QLatin1Char('\\')))
    dir += QLatin1Char('\\');
  return NetServerPath(dir) + remoteName;
}

namespace {

struct TErrorRange {
  int first;
  const char* const* names;
  int count;
};

const char* const kInvalidHandle[] = {"ERROR_INVALID_HANDLE"};
const char* const kNames12001[] = {"ERROR_INTERNET_OUT_OF_HANDLES", "ERROR_INTERNET_TIMEOUT", "ERROR_INTERNET_EXTENDED_ERROR",
      "ERROR_INTERNET_INTERNAL_ERROR", "ERROR_INTERNET_INVALID_URL",
      "ERROR_INTERNET_UNRECOGNIZED_SCHEME", "ERROR_INTERNET_NAME_NOT_RESOLVED",
      "ERROR_INTERNET_PROTOCOL_NOT_FOUND", "ERROR_INTERNET_INVALID_OPTION",
      "ERROR_INTERNET_BAD_OPTION_LENGTH", "ERROR_INTERNET_OPTION_NOT_SETTABLE",
      "ERROR_INTERNET_SHUTDOWN", "ERROR_INTERNET_INCORRECT_USER_NAME",
      "ERROR_INTERNET_INCORRECT_PASSWORD", "ERROR_INTERNET_LOGIN_FAILURE",
      "ERROR_INTERNET_INVALID_OPERATION", "ERROR_INTERNET_OPERATION_CANCELLED",
      "ERROR_INTERNET_INCORRECT_HANDLE_TYPE", "ERROR_INTERNET_INCORRECT_HANDLE_STATE",
      "ERROR_INTERNET_NOT_PROXY_REQUEST", "ERROR_INTERNET_REGISTRY_VALUE_NOT_FOUND",
      "ERROR_INTERNET_BAD_REGISTRY_PARAMETER", "ERROR_INTERNET_NO_DIRECT_ACCESS",
      "ERROR_INTERNET_NO_CONTEXT", "ERROR_INTERNET_NO_CALLBACK",
      "ERROR_INTERNET_REQUEST_PENDING", "ERROR_INTERNET_INCORRECT_FORMAT",
      "ERROR_INTERNET_ITEM_NOT_FOUND", "ERROR_INTERNET_CANNOT_CONNECT",
      "ERROR_INTERNET_CONNECTION_ABORTED", "ERROR_INTERNET_CONNECTION_RESET",
      "ERROR_INTERNET_FORCE_RETRY"};
const char* const kNames12036[] = {"ERROR_INTERNET_HANDLE_EXISTS"};
const char* const kNames12041[] = {"ERROR_INTERNET_MIXED_SECURITY"};
const char* const kNames12110[] = {"ERROR_FTP_TRANSFER_IN_PROGRESS", "ERROR_FTP_DROPPED"};
const char* const kNames12130[] = {"ERROR_GOPHER_PROTOCOL_ERROR", "ERROR_GOPHER_NOT_FILE", "ERROR_GOPHER_DATA_ERROR",
      "ERROR_GOPHER_END_OF_DATA", "ERROR_GOPHER_INVALID_LOCATOR",
      "ERROR_GOPHER_INCORRECT_LOCATOR_TYPE", "ERROR_GOPHER_NOT_GOPHER_PLUS",
      "ERROR_GOPHER_ATTRIBUTE_NOT_FOUND", "ERROR_GOPHER_UNKNOWN_LOCATOR"};
const char* const kNames12150[] = {"ERROR_HTTP_HEADER_NOT_FOUND", "ERROR_HTTP_DOWNLEVEL_SERVER",
      "ERROR_HTTP_INVALID_SERVER_RESPONSE", "ERROR_HTTP_INVALID_HEADER",
      "ERROR_HTTP_INVALID_QUERY_REQUEST", "ERROR_HTTP_HEADER_ALREADY_EXISTS"};

const TErrorRange kErrorNames[] = {
    {6, kInvalidHandle, static_cast<int>(std::size(kInvalidHandle))},
    {12001, kNames12001, static_cast<int>(std::size(kNames12001))},
    {12036, kNames12036, static_cast<int>(std::size(kNames12036))},
    {12041, kNames12041, static_cast<int>(std::size(kNames12041))},
    {12110, kNames12110, static_cast<int>(std::size(kNames12110))},
    {12130, kNames12130, static_cast<int>(std::size(kNames12130))},
    {12150, kNames12150, static_cast<int>(std::size(kNames12150))},
};

}  // namespace

QString NetErrorCodeName(int code) {
  for (const TErrorRange& range : kErrorNames) {
    const int index = code - range.first;
    if (index >= 0 && index < range.count)
      return QString::fromLatin1(range.names[index]);
  }
  return QStringLiteral("Unregistered error code");
}

// ---------------------------------------------------------------- ENIL

ENIL::ENIL(const QString& msg) : Exception(NilMessage(msg)) {}

ENIL::ENIL(const QString& fmt, std::initializer_list<TVarRec> args)
    : Exception(NilMessage(Format(fmt, args))) {}
