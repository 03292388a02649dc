#pragma once
// The class library's DDE client conversation on the client calls of
// Dde.h: one instance per object, one conversation with a service and
// topic at a time.

#include "platform/system/Dde.h"

#include <QString>
#include <QStringList>

enum TDataMode { ddeAutomatic, ddeManual };

class TDdeClientConv {
 public:
  TDdeClientConv();
  // Closes the link and frees the instance.
  ~TDdeClientConv();
  TDdeClientConv(const TDdeClientConv&) = delete;
  TDdeClientConv& operator=(const TDdeClientConv&) = delete;

  // ddeAutomatic (the default) opens the link as soon as it is set.
  TDataMode ConnectMode() const { return connectMode_; }
  void SetConnectMode(TDataMode mode) { connectMode_ = mode; }

  // Closes an open link and names the new one; in ddeAutomatic mode opens
  // it and answers whether that worked, in ddeManual mode answers true.
  bool SetLink(const QString& service, const QString& topic);
  const QString& DdeService() const { return service_; }
  const QString& DdeTopic() const { return topic_; }

  // Opens the conversation named by SetLink; true when it is open.
  bool OpenLink();
  void CloseLink();
  bool Connected() const { return conv_ != 0; }
  HCONV Conv() const { return conv_; }

  // Sends cmd as an execute; true when the service carried it out. The
  // service answers at once, so waitFlg changes nothing.
  bool ExecuteMacro(const QString& cmd, bool waitFlg);
  // Sends the lines joined by CR LF as one execute.
  bool ExecuteMacroLines(const QStringList& cmd, bool waitFlg);
  // The item's data; empty when there is none or no link.
  QString RequestData(const QString& item);

  // The DMLERR_* code of the last call that failed (DMLERR_NO_ERROR after
  // a success).
  UINT LastError() const { return lastError_; }

 private:
  bool Fail(UINT error);

  DWORD inst_ = 0;
  HCONV conv_ = 0;
  TDataMode connectMode_ = ddeAutomatic;
  QString service_;
  QString topic_;
  UINT lastError_ = DMLERR_NO_ERROR;
};
