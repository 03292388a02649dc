#pragma once
// The client calls of the dynamic data exchange library, over the services
// of this process (DdeServices.h).
//
// An instance (DdeInitialize) owns its string handles, conversations and
// data handles; DdeUninitialize frees what is left. A conversation is with
// one registered service on one topic it accepts. Transactions run at once:
// the service answers before DdeClientTransaction returns, whatever the
// time-out (TIMEOUT_ASYNC included), so a refused command is always
// reported as refused. Text travels as CF_TEXT in UTF-8 with a terminating
// NUL. Calls that fail record a DMLERR_* code for DdeGetLastError.

#include "platform/rtl/WinError.h"

#include <QString>

#include <cstdint>

using HCONV = std::uintptr_t;
using HSZ = std::uintptr_t;
using HDDEDATA = std::uintptr_t;
using BYTE = std::uint8_t;

// Not called: client-only instances get no callbacks.
using PFNCALLBACK = HDDEDATA (*)(UINT type, UINT fmt, HCONV conv, HSZ hsz1, HSZ hsz2,
                                 HDDEDATA data, std::uintptr_t data1, std::uintptr_t data2);

struct CONVCONTEXT {
  UINT cb = sizeof(CONVCONTEXT);
  UINT wFlags = 0;
  int iCountryID = 0;
  int iCodePage = 0;
  DWORD dwLangID = 0;
  DWORD dwSecurity = 0;
};

// DdeInitialize flags.
inline constexpr DWORD APPCLASS_STANDARD = 0x00000000;
inline constexpr DWORD APPCMD_CLIENTONLY = 0x00000010;
inline constexpr DWORD CBF_FAIL_ALLSVRXACTIONS = 0x0003F000;

// Transaction types.
inline constexpr UINT XTYP_ADVSTART = 0x1030;
inline constexpr UINT XTYP_ADVSTOP = 0x8040;
inline constexpr UINT XTYP_EXECUTE = 0x4050;
inline constexpr UINT XTYP_POKE = 0x4090;
inline constexpr UINT XTYP_REQUEST = 0x20B0;

inline constexpr UINT CF_TEXT = 1;
inline constexpr DWORD TIMEOUT_ASYNC = 0xFFFFFFFF;

// Code pages for string handles.
inline constexpr int CP_WINANSI = 1004;
inline constexpr int CP_WINUNICODE = 1200;

// Flags of a transaction's result (pdwResult).
inline constexpr DWORD DDE_FACK = 0x8000;
inline constexpr DWORD DDE_FBUSY = 0x4000;
inline constexpr DWORD DDE_FNOTPROCESSED = 0x0000;

// Error codes.
inline constexpr UINT DMLERR_NO_ERROR = 0;
inline constexpr UINT DMLERR_ADVACKTIMEOUT = 0x4000;
inline constexpr UINT DMLERR_BUSY = 0x4001;
inline constexpr UINT DMLERR_DATAACKTIMEOUT = 0x4002;
inline constexpr UINT DMLERR_DLL_NOT_INITIALIZED = 0x4003;
inline constexpr UINT DMLERR_DLL_USAGE = 0x4004;
inline constexpr UINT DMLERR_EXECACKTIMEOUT = 0x4005;
inline constexpr UINT DMLERR_INVALIDPARAMETER = 0x4006;
inline constexpr UINT DMLERR_LOW_MEMORY = 0x4007;
inline constexpr UINT DMLERR_MEMORY_ERROR = 0x4008;
inline constexpr UINT DMLERR_NOTPROCESSED = 0x4009;
inline constexpr UINT DMLERR_NO_CONV_ESTABLISHED = 0x400A;
inline constexpr UINT DMLERR_POKEACKTIMEOUT = 0x400B;
inline constexpr UINT DMLERR_POSTMSG_FAILED = 0x400C;
inline constexpr UINT DMLERR_REENTRANCY = 0x400D;
inline constexpr UINT DMLERR_SERVER_DIED = 0x400E;
inline constexpr UINT DMLERR_SYS_ERROR = 0x400F;
inline constexpr UINT DMLERR_UNADVACKTIMEOUT = 0x4010;
inline constexpr UINT DMLERR_UNFOUND_QUEUE_ID = 0x4011;

// Makes an instance; *pidInst must be 0 (DMLERR_INVALIDPARAMETER
// otherwise, or for a null pidInst). Returns DMLERR_NO_ERROR.
UINT DdeInitialize(DWORD* pidInst, PFNCALLBACK callback, DWORD afCmd, DWORD ulRes);
// Frees the instance with its conversations and handles; FALSE for an
// unknown instance.
bool DdeUninitialize(DWORD idInst);
// The error of the instance's last failed call, cleared by reading.
UINT DdeGetLastError(DWORD idInst);

// A handle for text (compared without regard to case); 0 on failure.
HSZ DdeCreateStringHandle(DWORD idInst, const QString& text, int codePage);
bool DdeFreeStringHandle(DWORD idInst, HSZ hsz);
// The text of a string handle ("" for an unknown one).
QString DdeQueryString(DWORD idInst, HSZ hsz);

// A conversation with the service on the topic; 0 with
// DMLERR_NO_CONV_ESTABLISHED when no service of that name accepts the
// topic, DMLERR_INVALIDPARAMETER for unknown handles.
HCONV DdeConnect(DWORD idInst, HSZ hszService, HSZ hszTopic, const CONVCONTEXT* context);
bool DdeDisconnect(HCONV conv);

// XTYP_EXECUTE: data is the command (cbData bytes, text up to the first
// NUL); returns 1 (and DDE_FACK) when the service carried it out, 0 with
// DMLERR_NOTPROCESSED or DMLERR_BUSY when it refused.
// XTYP_REQUEST: hszItem names the item, wFmt CF_TEXT; returns a data
// handle, or 0 with DMLERR_NOTPROCESSED when the service has no data.
// Other types: 0 with DMLERR_INVALIDPARAMETER (no service takes them).
HDDEDATA DdeClientTransaction(const BYTE* data, DWORD cbData, HCONV conv, HSZ hszItem,
                              UINT wFmt, UINT wType, DWORD timeout, DWORD* pdwResult);

// Copies up to cbMax bytes of the data from offset cbOff into dst and
// returns the count; with dst null returns the data's size.
DWORD DdeGetData(HDDEDATA data, BYTE* dst, DWORD cbMax, DWORD cbOff);
bool DdeFreeDataHandle(HDDEDATA data);
