#include "platform/system/Dde.h"

#include "platform/rtl/ProcessState.h"
#include "platform/system/DdeServices.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace {

struct TConversation {
  DWORD inst = 0;
  std::weak_ptr<const TDdeServiceHandlers> service;
  QString topic;
};

struct TData {
  DWORD inst = 0;
  QByteArray bytes;
};

struct TInstance {
  UINT lastError = DMLERR_NO_ERROR;
  std::map<HSZ, QString> strings;
};

// Every handle is unique in the process, whatever its kind, so a stale or
// foreign handle is never taken for another.
struct TDdeState {
  DWORD nextInstance = 1;
  std::uintptr_t nextHandle = 0x100;
  std::map<DWORD, TInstance> instances;
  std::map<HCONV, TConversation> conversations;
  std::map<HDDEDATA, TData> data;
};

TDdeState& State() {
  return ProcessObject<TDdeState>();
}

TInstance* FindInstance(DWORD idInst) {
  auto& instances = State().instances;
  const auto it = instances.find(idInst);
  return it == instances.end() ? nullptr : &it->second;
}

const QString* FindString(TInstance& instance, HSZ hsz) {
  const auto it = instance.strings.find(hsz);
  return it == instance.strings.end() ? nullptr : &it->second;
}

bool AcceptsTopic(const TDdeServiceHandlers& service, const QString& topic) {
  return service.topics.isEmpty() ||
         std::any_of(service.topics.begin(), service.topics.end(), [&](const QString& t) {
           return t.compare(topic, Qt::CaseInsensitive) == 0;
         });
}

// Records the refusal (when the instance still exists: a service may end
// it while it answers).
HDDEDATA Refuse(DWORD idInst, UINT error, DWORD* pdwResult, DWORD flags) {
  if (TInstance* instance = FindInstance(idInst))
    instance->lastError = error;
  if (pdwResult)
    *pdwResult = flags;
  return 0;
}

TDdeExecuteResult Execute(const TDdeServiceHandlers& service, const QString& topic,
                          const BYTE* data, DWORD cbData) {
  const char* text = reinterpret_cast<const char*>(data);
  const QString command = QString::fromUtf8(text, qsizetype(strnlen(text, cbData)));
  try {
    if (service.execute)
      return service.execute(topic, command);
  } catch (...) {
  }
  return TDdeExecuteResult::NotProcessed;
}

std::optional<QString> Request(const TDdeServiceHandlers& service, const QString& topic,
                               const QString& item, UINT wFmt) {
  try {
    if (service.request && wFmt == CF_TEXT)
      return service.request(topic, item);
  } catch (...) {
  }
  return std::nullopt;
}

HDDEDATA NewData(DWORD idInst, const QString& text) {
  TDdeState& state = State();
  const HDDEDATA handle = state.nextHandle++;
  QByteArray bytes = text.toUtf8();
  bytes.append('\0');
  state.data.emplace(handle, TData{idInst, bytes});
  return handle;
}

}  // namespace

UINT DdeInitialize(DWORD* pidInst, PFNCALLBACK, DWORD, DWORD) {
  if (!pidInst || *pidInst != 0)
    return DMLERR_INVALIDPARAMETER;
  TDdeState& state = State();
  *pidInst = state.nextInstance++;
  state.instances.emplace(*pidInst, TInstance{});
  return DMLERR_NO_ERROR;
}

bool DdeUninitialize(DWORD idInst) {
  TDdeState& state = State();
  if (!state.instances.erase(idInst))
    return false;
  std::erase_if(state.conversations, [&](const auto& c) { return c.second.inst == idInst; });
  std::erase_if(state.data, [&](const auto& d) { return d.second.inst == idInst; });
  return true;
}

UINT DdeGetLastError(DWORD idInst) {
  TInstance* instance = FindInstance(idInst);
  if (!instance)
    return DMLERR_DLL_NOT_INITIALIZED;
  return std::exchange(instance->lastError, DMLERR_NO_ERROR);
}

HSZ DdeCreateStringHandle(DWORD idInst, const QString& text, int) {
  TInstance* instance = FindInstance(idInst);
  if (!instance)
    return 0;
  const HSZ handle = State().nextHandle++;
  instance->strings.emplace(handle, text);
  return handle;
}

bool DdeFreeStringHandle(DWORD idInst, HSZ hsz) {
  TInstance* instance = FindInstance(idInst);
  return instance && instance->strings.erase(hsz) == 1;
}

QString DdeQueryString(DWORD idInst, HSZ hsz) {
  TInstance* instance = FindInstance(idInst);
  const QString* text = instance ? FindString(*instance, hsz) : nullptr;
  return text ? *text : QString();
}

HCONV DdeConnect(DWORD idInst, HSZ hszService, HSZ hszTopic, const CONVCONTEXT*) {
  TInstance* instance = FindInstance(idInst);
  if (!instance)
    return 0;
  const QString* service = FindString(*instance, hszService);
  const QString* topic = FindString(*instance, hszTopic);
  if (!service || !topic) {
    instance->lastError = DMLERR_INVALIDPARAMETER;
    return 0;
  }
  const std::shared_ptr<const TDdeServiceHandlers> handlers = FindDdeService(*service);
  if (!handlers || !AcceptsTopic(*handlers, *topic)) {
    instance->lastError = DMLERR_NO_CONV_ESTABLISHED;
    return 0;
  }
  TDdeState& state = State();
  const HCONV conv = state.nextHandle++;
  state.conversations.emplace(conv, TConversation{idInst, handlers, *topic});
  return conv;
}

bool DdeDisconnect(HCONV conv) {
  return State().conversations.erase(conv) == 1;
}

HDDEDATA DdeClientTransaction(const BYTE* data, DWORD cbData, HCONV conv, HSZ hszItem,
                              UINT wFmt, UINT wType, DWORD, DWORD* pdwResult) {
  TDdeState& state = State();
  const auto it = state.conversations.find(conv);
  if (it == state.conversations.end())
    return 0;
  const DWORD idInst = it->second.inst;
  const QString topic = it->second.topic;
  // Held for the call: the service may go while it answers.
  const std::shared_ptr<const TDdeServiceHandlers> service = it->second.service.lock();
  if (!service)
    return Refuse(idInst, DMLERR_SERVER_DIED, pdwResult, DDE_FNOTPROCESSED);
  if (wType == XTYP_EXECUTE) {
    if (!data)
      return Refuse(idInst, DMLERR_INVALIDPARAMETER, pdwResult, DDE_FNOTPROCESSED);
    const TDdeExecuteResult result = Execute(*service, topic, data, cbData);
    if (result == TDdeExecuteResult::Busy)
      return Refuse(idInst, DMLERR_BUSY, pdwResult, DDE_FBUSY);
    if (result != TDdeExecuteResult::Processed)
      return Refuse(idInst, DMLERR_NOTPROCESSED, pdwResult, DDE_FNOTPROCESSED);
    if (pdwResult)
      *pdwResult = DDE_FACK;
    return 1;
  }
  if (wType == XTYP_REQUEST) {
    const QString* item = FindString(state.instances.at(idInst), hszItem);
    if (!item)
      return Refuse(idInst, DMLERR_INVALIDPARAMETER, pdwResult, DDE_FNOTPROCESSED);
    const std::optional<QString> reply = Request(*service, topic, QString(*item), wFmt);
    if (!reply || !FindInstance(idInst))
      return Refuse(idInst, DMLERR_NOTPROCESSED, pdwResult, DDE_FNOTPROCESSED);
    if (pdwResult)
      *pdwResult = DDE_FACK;
    return NewData(idInst, *reply);
  }
  return Refuse(idInst, DMLERR_INVALIDPARAMETER, pdwResult, DDE_FNOTPROCESSED);
}

DWORD DdeGetData(HDDEDATA data, BYTE* dst, DWORD cbMax, DWORD cbOff) {
  const auto& all = State().data;
  const auto it = all.find(data);
  if (it == all.end())
    return 0;
  const QByteArray& bytes = it->second.bytes;
  if (!dst)
    return DWORD(bytes.size());
  if (cbOff >= DWORD(bytes.size()))
    return 0;
  const DWORD count = std::min<DWORD>(cbMax, DWORD(bytes.size()) - cbOff);
  std::memcpy(dst, bytes.constData() + cbOff, count);
  return count;
}

bool DdeFreeDataHandle(HDDEDATA data) {
  return State().data.erase(data) == 1;
}
