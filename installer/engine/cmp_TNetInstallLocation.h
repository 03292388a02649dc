#pragma once
// TNetInstallLocation: the login data of one FTP or HTTP server and the
// download of one remote file into one local file, on libcurl.
//
// The session is one libcurl handle kept for the life of the location, so
// the server connection is reused from one download to the next (a failure
// leaves it open too). FTP logs in and changes to the directory in Connect;
// HTTP connects when the request is sent. Success and "not found" come from
// the protocol: the HTTP status code, the FTP replies; an FTP file's size is
// the server's answer to SIZE.
//
// The local file is written under a temporary name and takes the local name
// only when the download is complete: a failure or a cancel leaves the file
// that was there before, byte for byte.
//
// A cancel reaches the location through the process-wide download abort
// flag (SetDownloadAborted), polled after every block; the download then
// stops, OnAfterDownload gets Aborted true, the flag is cleared and
// EAIUserAbort is raised.
//
// Time-outs: ConnectTimeoutMs bounds the connection and the FTP login;
// TransferTimeoutMs bounds every wait for the server once connected (an
// answer, the next bytes). Both are checked about once a second.

#include "installer/engine/routines_Exceptions.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

enum TInternetProtocol { ipFTP, ipHTTP };

class TCustomNetInstallLocation;

// Login data of a server.
class TCustomLoginInformation : public TPersistent {
 public:
  explicit TCustomLoginInformation(TCustomNetInstallLocation* location = nullptr);

  bool Anonymous() const { return anonymous_; }
  void SetAnonymous(bool value);
  // The directory on the server; may use backslashes.
  QString Directory() const { return directory_; }
  void SetDirectory(const QString& value);
  // The host name, optionally with ":port".
  QString Hostname() const { return hostname_; }
  void SetHostname(const QString& value);
  QString Password() const { return password_; }
  void SetPassword(const QString& value);
  TInternetProtocol Protocol() const { return protocol_; }
  void SetProtocol(TInternetProtocol value);
  QString Username() const { return username_; }
  void SetUsername(const QString& value);

  // The location this belongs to (nullptr when none).
  TCustomNetInstallLocation* Location() const { return location_; }

  // Anonymous: a host is named; otherwise any one of host, password and
  // user name is not blank.
  bool IsComplete() const;

  // Copies the six properties of another login information.
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() const override;

  static void DeclareProperties(
      TClassBuilder<TCustomLoginInformation, TPersistent>& builder);

 private:
  // A changed server or login makes the owner's connection stale.
  void Changed();

  bool anonymous_ = true;
  QString directory_;
  QString hostname_;
  QString password_;
  TInternetProtocol protocol_ = ipFTP;
  QString username_;
  TCustomNetInstallLocation* location_;
};

class TLoginInformation : public TCustomLoginInformation {
 public:
  using TCustomLoginInformation::TCustomLoginInformation;
};

using TNotifyWithAbortFlag = std::function<void(TObject* sender, bool aborted)>;
using TLoginEvent = std::function<void(TObject* sender)>;
// bytes: this block; totalBytes: all blocks so far; fileSize: as the server
// told it (0 when it did not); buffer: the block's bytes.
using TDataReceivedEvent = std::function<void(TObject* sender, const QString& fileName,
                                              int bytes, int totalBytes, int fileSize,
                                              const char* buffer)>;

class TNetSession;

class TCustomNetInstallLocation : public TComponent {
 public:
  explicit TCustomNetInstallLocation(TComponent* owner);
  ~TCustomNetInstallLocation() override;

  TLoginInformation* LoginInformation() const { return loginInformation_.get(); }
  // Copies value.
  virtual void SetLoginInformation(TLoginInformation* value);

  // Prepares the transfer library; ENIL_FailLoadWININET when it cannot be
  // set up, ENIL_FailLoadDLLProc when it lacks FTP or HTTP.
  virtual void LoadWinInet();
  // Opens the session and logs in while there is none; sets the FTP
  // directory on every call.
  virtual void Connect();
  // Downloads remoteName (relative to Directory) into localName.
  virtual void DownloadFile(const QString& remoteName, const QString& localName);

  TNotifyWithAbortFlag OnAfterDownload;
  TLoginEvent OnAfterLogin;
  TNotifyEvent OnBeforeDownload;
  TLoginEvent OnBeforeLogin;
  TDataReceivedEvent OnDataReceived;

  // The downloading install object's own progress hook, called after
  // OnDataReceived; it sets it for the time of its download.
  TDataReceivedEvent DataReceivedHook;

  // Time-outs in milliseconds (defaults 30 s and 60 s).
  int ConnectTimeoutMs() const { return connectTimeoutMs_; }
  void SetConnectTimeoutMs(int value) { connectTimeoutMs_ = value; }
  int TransferTimeoutMs() const { return transferTimeoutMs_; }
  void SetTransferTimeoutMs(int value) { transferTimeoutMs_ = value; }

  // Names of the download in progress (or of the last one).
  QString LocalFileName() const { return localFileName_; }
  QString RemoteFileName() const { return remoteFileName_; }
  // True once Connect has opened the connection.
  bool Connected() const { return connected_; }

  // The login information changed: the next Connect logs in again.
  void LoginChanged();

 private:
  class TDownload;

  void CheckHostname() const;
  void ConnectFtp();
  void DownloadFtp();
  void DownloadHttp();

  bool loaded_ = false;
  std::unique_ptr<TNetSession> session_;
  bool connected_ = false;
  QString localFileName_;
  QString remoteFileName_;
  int connectTimeoutMs_ = 30000;
  int transferTimeoutMs_ = 60000;
  std::unique_ptr<TLoginInformation> loginInformation_;
};

class TNetInstallLocation : public TCustomNetInstallLocation {
 public:
  using TCustomNetInstallLocation::TCustomNetInstallLocation;

  static void DeclareProperties(
      TClassBuilder<TNetInstallLocation, TCustomNetInstallLocation>& builder);
};

// The process-wide location without owner (made on first use; the holder
// frees it).
TNetInstallLocation& GlobalNetInstallLocation();
// The location that connected last; nullptr when none (or it is gone).
TCustomNetInstallLocation* LastConnectedNetLocation();

// The process-wide download abort flag: set on a confirmed cancel; a
// download that sees it clears it when it reports the abort. An install run
// clears it when it starts.
bool DownloadAborted();
void SetDownloadAborted(bool value);

// Server path of a directory text: blank gives "/", '\' becomes '/'.
QString NetServerPath(const QString& directory);
// The HTTP object path: the directory with a trailing '\' (when missing),
// as a server path, followed by the remote name.
QString NetHttpObjectPath(const QString& directory, const QString& remoteName);

// The symbolic name of an internet error code ("Unregistered error code"
// for a code without one).
QString NetErrorCodeName(int code);
// The code and the server response that the next ENIL message reports.
int NetLastErrorCode();
QString NetLastResponse();

// Messages.
inline constexpr char kNilMessage[] = "%s. Error message %s. Server %s. Response from server %s";
inline constexpr char kNilNoResponse[] = "No server response";
inline constexpr char kNilOpenSession[] = "Cannot open internet connection";
inline constexpr char kNilOpenService[] = "Cannot connect to host %s";
inline constexpr char kNilFTPSetDir[] = "Cannot set directory on server to %s";
inline constexpr char kNilFTPOpenFile[] = "Cannot open file %s on server";
inline constexpr char kNilFTPCloseFile[] = "Cannot close the file %s on the server";
inline constexpr char kNilHTTPOpenFile[] = "Cannot open file %s on server";
inline constexpr char kNilHTTPSendRequest[] = "Cannot send request for file %s to the server";
inline constexpr char kNilFailDataQuery[] = "Could not query file %s on server";
inline constexpr char kNilReadFile[] = "Could not read from file %s on the server";
inline constexpr char kNilFileNotFound[] = "Could not find the file %s on the server";
inline constexpr char kNilWriteDestFile[] = "%s could not write to the local dest file %s";
inline constexpr char kNilFailLoadWININET[] =
    "Failed to load the Wininet.dll. If this is a hybrid installation, you might want to "
    "include the WININET.DLL file in the PresetupFiles property of the TInstall component";
inline constexpr char kNilFailLoadDLLProc[] = "Failed to load the procedure %s from WININET.DLL";

// Errors of the transfers. The message is the given text followed by the
// name of the last error code, the host of the location that connected last
// and the server's last response (kNilMessage), all taken when the
// exception is made.
class ENIL : public Exception {
 public:
  explicit ENIL(const QString& msg);
  ENIL(const QString& fmt, std::initializer_list<TVarRec> args);
};
QX_EXCEPTION(ENIL_OpenSession, ENIL);
QX_EXCEPTION(ENIL_OpenService, ENIL);
QX_EXCEPTION(ENIL_FailDataQuery, ENIL);
QX_EXCEPTION(ENIL_ReadFile, ENIL);
QX_EXCEPTION(ENIL_FileNotFound, ENIL);
QX_EXCEPTION(ENIL_FTP, ENIL);
QX_EXCEPTION(ENIL_FTPSetDir, ENIL_FTP);
QX_EXCEPTION(ENIL_FTPOpenFile, ENIL_FTP);
QX_EXCEPTION(ENIL_FTPCloseFile, ENIL_FTP);
QX_EXCEPTION(ENIL_HTTP, ENIL);
QX_EXCEPTION(ENIL_HTTPOpenFile, ENIL_HTTP);
QX_EXCEPTION(ENIL_HTTPSendRequest, ENIL_HTTP);
// These carry their text alone.
QX_EXCEPTION(ENIL_FailLoadWININET, Exception);
QX_EXCEPTION(ENIL_FailLoadDLLProc, Exception);
QX_EXCEPTION(ENIL_WriteDestFile, Exception);
