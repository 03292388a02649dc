#include "platform/system/DdeClientConv.h"

#include <QByteArray>

#include <utility>
#include <vector>

namespace {

// A string handle of the instance, freed when it goes out of scope.
class TStringHandle {
 public:
  TStringHandle(DWORD inst, const QString& text)
      : inst_(inst), hsz_(DdeCreateStringHandle(inst, text, CP_WINUNICODE)) {}
  ~TStringHandle() {
    if (hsz_)
      DdeFreeStringHandle(inst_, hsz_);
  }
  TStringHandle(const TStringHandle&) = delete;
  TStringHandle& operator=(const TStringHandle&) = delete;
  HSZ Get() const { return hsz_; }

 private:
  DWORD inst_;
  HSZ hsz_;
};

}  // namespace

TDdeClientConv::TDdeClientConv() {
  lastError_ = DdeInitialize(&inst_, nullptr, APPCMD_CLIENTONLY, 0);
}

TDdeClientConv::~TDdeClientConv() {
  CloseLink();
  if (inst_)
    DdeUninitialize(inst_);
}

bool TDdeClientConv::Fail(UINT error) {
  lastError_ = error;
  return false;
}

bool TDdeClientConv::SetLink(const QString& service, const QString& topic) {
  CloseLink();
  service_ = service;
  topic_ = topic;
  if (connectMode_ == ddeAutomatic)
    return OpenLink();
  return true;
}

bool TDdeClientConv::OpenLink() {
  if (conv_)
    return true;
  if (!inst_)
    return Fail(DMLERR_DLL_NOT_INITIALIZED);
  const TStringHandle service(inst_, service_);
  const TStringHandle topic(inst_, topic_);
  conv_ = DdeConnect(inst_, service.Get(), topic.Get(), nullptr);
  if (!conv_)
    return Fail(DdeGetLastError(inst_));
  lastError_ = DMLERR_NO_ERROR;
  return true;
}

void TDdeClientConv::CloseLink() {
  if (conv_)
    DdeDisconnect(std::exchange(conv_, 0));
}

bool TDdeClientConv::ExecuteMacro(const QString& cmd, bool waitFlg) {
  if (!conv_)
    return Fail(DMLERR_NO_CONV_ESTABLISHED);
  QByteArray bytes = cmd.toUtf8();
  bytes.append('\0');
  DWORD result = 0;
  const HDDEDATA done =
      DdeClientTransaction(reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size()),
                           conv_, 0, CF_TEXT, XTYP_EXECUTE, waitFlg ? 10000 : TIMEOUT_ASYNC,
                           &result);
  if (!done)
    return Fail(DdeGetLastError(inst_));
  lastError_ = DMLERR_NO_ERROR;
  return true;
}

bool TDdeClientConv::ExecuteMacroLines(const QStringList& cmd, bool waitFlg) {
  return ExecuteMacro(cmd.join(QStringLiteral("\r\n")), waitFlg);
}

QString TDdeClientConv::RequestData(const QString& item) {
  if (!conv_) {
    Fail(DMLERR_NO_CONV_ESTABLISHED);
    return {};
  }
  const TStringHandle hszItem(inst_, item);
  DWORD result = 0;
  const HDDEDATA data =
      DdeClientTransaction(nullptr, 0, conv_, hszItem.Get(), CF_TEXT, XTYP_REQUEST, 10000, &result);
  if (!data) {
    Fail(DdeGetLastError(inst_));
    return {};
  }
  std::vector<BYTE> bytes(DdeGetData(data, nullptr, 0, 0));
  DdeGetData(data, bytes.data(), DWORD(bytes.size()), 0);
  DdeFreeDataHandle(data);
  lastError_ = DMLERR_NO_ERROR;
  const char* text = reinterpret_cast<const char*>(bytes.data());
  return QString::fromUtf8(text, qsizetype(qstrnlen(text, uint(bytes.size()))));
}
