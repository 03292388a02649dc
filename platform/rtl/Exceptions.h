#pragma once
// The exception classes of the runtime and the class library.
// Every failure is an exception of its own class; the message is plain text.

#include "platform/rtl/Format.h"

#include <QByteArray>
#include <QString>

#include <exception>

class Exception : public std::exception {
 public:
  explicit Exception(const QString& msg) : message_(msg), what_(msg.toUtf8()) {}
  Exception(const QString& fmt, std::initializer_list<TVarRec> args)
      : Exception(Format(fmt, args)) {}
  ~Exception() override = default;

  const QString& Message() const { return message_; }
  void SetMessage(const QString& msg) {
    message_ = msg;
    what_ = msg.toUtf8();
  }
  const char* what() const noexcept override { return what_.constData(); }
  // Help context of the failure (0: none).
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int ctx) { helpContext_ = ctx; }

 private:
  QString message_;
  QByteArray what_;
  int helpContext_ = 0;
};

// Declares an exception class that adds nothing but its kind.
#define QX_EXCEPTION(Name, Base)    \
  class Name : public Base {        \
   public:                          \
    using Base::Base;               \
  }

// A silent abort: the application's handler ignores it.
class EAbort : public Exception {
 public:
  EAbort() : Exception(QStringLiteral("Operation aborted")) {}
  using Exception::Exception;
};

// The runtime's I/O error, carrying its result code.
class EInOutError : public Exception {
 public:
  // Runtime I/O result codes.
  enum Code : int {
    FileNotFound = 2,
    PathNotFound = 3,
    TooManyOpenFiles = 4,
    AccessDenied = 5,
    DiskReadError = 100,  // also read past end of file
    DiskWriteError = 101,
    FileNotAssigned = 102,
    FileNotOpen = 103,
    FileNotOpenForInput = 104,
    FileNotOpenForOutput = 105,
    InvalidNumericFormat = 106,
  };
  explicit EInOutError(int code);
  EInOutError(int code, const QString& msg) : Exception(msg), errorCode_(code) {}
  int ErrorCode() const { return errorCode_; }

  // The class library's text for a code ("File not found", ...).
  static QString TextOf(int code);

 private:
  int errorCode_;
};

QX_EXCEPTION(EConvertError, Exception);
QX_EXCEPTION(EListError, Exception);
QX_EXCEPTION(EStringListError, Exception);
QX_EXCEPTION(EComponentError, Exception);
QX_EXCEPTION(EOutOfResources, Exception);
QX_EXCEPTION(EStreamError, Exception);
QX_EXCEPTION(EFileStreamError, EStreamError);
QX_EXCEPTION(EFOpenError, EFileStreamError);
QX_EXCEPTION(EFCreateError, EFileStreamError);
QX_EXCEPTION(EFilerError, EStreamError);
QX_EXCEPTION(EReadError, EFilerError);
QX_EXCEPTION(EWriteError, EFilerError);
QX_EXCEPTION(EClassNotFound, EFilerError);
QX_EXCEPTION(EInvalidOperation, Exception);
QX_EXCEPTION(EInvalidPointer, Exception);
QX_EXCEPTION(EVariantError, Exception);

// An operating-system call failed; carries the errno-style code.
class EOSError : public Exception {
 public:
  EOSError(int code, const QString& msg) : Exception(msg), errorCode_(code) {}
  int ErrorCode() const { return errorCode_; }

 private:
  int errorCode_;
};

// Raises EOSError for the current errno with its system text.
[[noreturn]] void RaiseLastOSError();
