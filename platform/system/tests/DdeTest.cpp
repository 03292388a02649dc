#include "platform/system/Dde.h"

#include "platform/system/DdeClientConv.h"
#include "platform/system/DdeServices.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace {

// A service whose answers follow the command: "ok", "no", "busy", "throw".
void RegisterEcho(QStringList* seen) {
  TDdeServiceHandlers handlers;
  handlers.topics = QStringList{QStringLiteral("Main")};
  handlers.execute = [seen](const QString& topic, const QString& command) {
    *seen << topic + QLatin1Char(':') + command;
    if (command == QLatin1String("throw"))
      throw std::runtime_error("handler failed");
    if (command == QLatin1String("busy"))
      return TDdeExecuteResult::Busy;
    return command.startsWith(QLatin1String("ok")) ? TDdeExecuteResult::Processed
                                                    : TDdeExecuteResult::NotProcessed;
  };
  handlers.request = [](const QString&, const QString& item) -> std::optional<QString> {
    if (item == QLatin1String("Items"))
      return QStringLiteral("eka\r\ntoka ä\r\n");
    return std::nullopt;
  };
  DdeRegisterService(QStringLiteral("Echo"), handlers);
}

HDDEDATA Execute(HCONV conv, const QByteArray& command, DWORD* result) {
  return DdeClientTransaction(reinterpret_cast<const BYTE*>(command.constData()),
                              DWORD(command.size() + 1), conv, 0, CF_TEXT, XTYP_EXECUTE, 1000,
                              result);
}

TEST(Dde, ClientCallsKeepTheirResultCodes) {
  QStringList seen;
  RegisterEcho(&seen);
  DWORD inst = 7;
  EXPECT_EQ(DdeInitialize(&inst, nullptr, APPCMD_CLIENTONLY, 0), DMLERR_INVALIDPARAMETER);
  EXPECT_EQ(DdeInitialize(nullptr, nullptr, APPCMD_CLIENTONLY, 0), DMLERR_INVALIDPARAMETER);
  inst = 0;
  ASSERT_EQ(DdeInitialize(&inst, nullptr, APPCMD_CLIENTONLY, 0), DMLERR_NO_ERROR);
  const HSZ echo = DdeCreateStringHandle(inst, QStringLiteral("ECHO"), CP_WINUNICODE);
  const HSZ main = DdeCreateStringHandle(inst, QStringLiteral("main"), CP_WINUNICODE);
  const HSZ other = DdeCreateStringHandle(inst, QStringLiteral("Other"), CP_WINUNICODE);
  EXPECT_EQ(DdeQueryString(inst, echo), "ECHO");

  EXPECT_EQ(DdeConnect(inst, other, main, nullptr), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_NO_CONV_ESTABLISHED);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_NO_ERROR);  // reading clears it
  EXPECT_EQ(DdeConnect(inst, echo, other, nullptr), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_NO_CONV_ESTABLISHED);
  EXPECT_EQ(DdeConnect(inst, echo, 12345, nullptr), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_INVALIDPARAMETER);
  const HCONV conv = DdeConnect(inst, echo, main, nullptr);
  ASSERT_NE(conv, 0u);

  struct TRow {
    const char* command;
    bool done;
    UINT error;
    DWORD flags;
  };
  const TRow rows[] = {
      {"ok 1", true, DMLERR_NO_ERROR, DDE_FACK},
      {"no", false, DMLERR_NOTPROCESSED, DDE_FNOTPROCESSED},
      {"busy", false, DMLERR_BUSY, DDE_FBUSY},
      {"throw", false, DMLERR_NOTPROCESSED, DDE_FNOTPROCESSED},
  };
  for (const TRow& row : rows) {
    DWORD result = 0x1234;
    EXPECT_EQ(Execute(conv, row.command, &result) != 0, row.done) << row.command;
    EXPECT_EQ(result, row.flags) << row.command;
    EXPECT_EQ(DdeGetLastError(inst), row.error) << row.command;
  }
  EXPECT_EQ(seen, QStringList({"main:ok 1", "main:no", "main:busy", "main:throw"}));

  const HSZ items = DdeCreateStringHandle(inst, QStringLiteral("Items"), CP_WINUNICODE);
  DWORD result = 0;
  const HDDEDATA data =
      DdeClientTransaction(nullptr, 0, conv, items, CF_TEXT, XTYP_REQUEST, 1000, &result);
  ASSERT_NE(data, 0u);
  EXPECT_EQ(result, DDE_FACK);
  const QByteArray expected = QStringLiteral("eka\r\ntoka ä\r\n").toUtf8() + '\0';
  ASSERT_EQ(DdeGetData(data, nullptr, 0, 0), DWORD(expected.size()));
  std::vector<BYTE> part(4);
  EXPECT_EQ(DdeGetData(data, part.data(), 4, 5), 4u);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(part.data()), 4), "toka");
  EXPECT_EQ(DdeGetData(data, part.data(), 4, 100), 0u);
  EXPECT_TRUE(DdeFreeDataHandle(data));
  EXPECT_FALSE(DdeFreeDataHandle(data));
  EXPECT_EQ(DdeClientTransaction(nullptr, 0, conv, main, CF_TEXT, XTYP_REQUEST, 1000, &result), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_NOTPROCESSED);
  EXPECT_EQ(DdeClientTransaction(nullptr, 0, conv, items, CF_TEXT, XTYP_POKE, 1000, &result), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_INVALIDPARAMETER);
  EXPECT_EQ(DdeClientTransaction(nullptr, 0, conv, 0, CF_TEXT, XTYP_EXECUTE, 1000, &result), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_INVALIDPARAMETER);

  // The service goes while the conversation is open.
  EXPECT_TRUE(DdeUnregisterService(QStringLiteral("echo")));
  EXPECT_EQ(Execute(conv, "ok 2", &result), 0u);
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_SERVER_DIED);
  EXPECT_TRUE(DdeDisconnect(conv));
  EXPECT_FALSE(DdeDisconnect(conv));
  EXPECT_EQ(Execute(conv, "ok 3", &result), 0u);
  EXPECT_TRUE(DdeFreeStringHandle(inst, echo));
  EXPECT_FALSE(DdeFreeStringHandle(inst, echo));
  EXPECT_TRUE(DdeUninitialize(inst));
  EXPECT_FALSE(DdeUninitialize(inst));
  EXPECT_EQ(DdeGetLastError(inst), DMLERR_DLL_NOT_INITIALIZED);
  EXPECT_EQ(seen.size(), 4);
}

TEST(Dde, UninitializeEndsConversationsAndTheTableHoldsTheProgramManager) {
  EXPECT_EQ(DdeServiceNames(), QStringList({"PROGMAN"}));
  EXPECT_THROW(DdeRegisterService(QStringLiteral("progman"), {}), EDdeServiceError);
  EXPECT_THROW(DdeRegisterService(QString(), {}), EDdeServiceError);
  QStringList seen;
  RegisterEcho(&seen);
  EXPECT_EQ(DdeServiceNames(), QStringList({"PROGMAN", "Echo"}));
  DWORD inst = 0;
  ASSERT_EQ(DdeInitialize(&inst, nullptr, APPCMD_CLIENTONLY, 0), DMLERR_NO_ERROR);
  const HCONV conv = DdeConnect(inst, DdeCreateStringHandle(inst, "Echo", CP_WINANSI),
                                DdeCreateStringHandle(inst, "Main", CP_WINANSI), nullptr);
  ASSERT_NE(conv, 0u);
  EXPECT_TRUE(DdeUninitialize(inst));
  DWORD result = 0;
  EXPECT_EQ(Execute(conv, "ok", &result), 0u);
  EXPECT_FALSE(DdeDisconnect(conv));
  EXPECT_TRUE(seen.isEmpty());
  EXPECT_FALSE(DdeUnregisterService(QStringLiteral("Nobody")));
}

TEST(DdeClientConv, ManualLinkExecutesAndRequests) {
  QStringList seen;
  RegisterEcho(&seen);
  TDdeClientConv conv;
  conv.SetConnectMode(ddeManual);
  EXPECT_TRUE(conv.SetLink(QStringLiteral("Echo"), QStringLiteral("Main")));
  EXPECT_FALSE(conv.Connected());
  EXPECT_FALSE(conv.ExecuteMacro(QStringLiteral("ok"), false));
  EXPECT_EQ(conv.LastError(), DMLERR_NO_CONV_ESTABLISHED);
  ASSERT_TRUE(conv.OpenLink());
  EXPECT_TRUE(conv.ExecuteMacro(QStringLiteral("ok é"), false));
  EXPECT_EQ(conv.LastError(), DMLERR_NO_ERROR);
  EXPECT_FALSE(conv.ExecuteMacro(QStringLiteral("no"), true));
  EXPECT_EQ(conv.LastError(), DMLERR_NOTPROCESSED);
  EXPECT_TRUE(conv.ExecuteMacroLines({QStringLiteral("ok a"), QStringLiteral("b")}, false));
  EXPECT_EQ(conv.RequestData(QStringLiteral("Items")), QStringLiteral("eka\r\ntoka ä\r\n"));
  EXPECT_EQ(conv.RequestData(QStringLiteral("None")), QString());
  EXPECT_EQ(conv.LastError(), DMLERR_NOTPROCESSED);
  EXPECT_EQ(seen, QStringList({"Main:ok é", "Main:no", "Main:ok a\r\nb"}));

  // Automatic mode opens at once; a missing service leaves no link.
  TDdeClientConv automatic;
  EXPECT_FALSE(automatic.SetLink(QStringLiteral("Nobody"), QStringLiteral("Main")));
  EXPECT_EQ(automatic.LastError(), DMLERR_NO_CONV_ESTABLISHED);
  EXPECT_TRUE(automatic.SetLink(QStringLiteral("Echo"), QStringLiteral("Main")));
  EXPECT_TRUE(automatic.Connected());
  automatic.CloseLink();
  EXPECT_FALSE(automatic.Connected());
  EXPECT_EQ(automatic.RequestData(QStringLiteral("Items")), QString());
}

}  // namespace
