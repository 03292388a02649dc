#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstring>

QString EInOutError::TextOf(int code) {
  switch (code) {
    case FileNotFound: return QStringLiteral("File not found");
    case PathNotFound: return QStringLiteral("Path not found");
    case TooManyOpenFiles: return QStringLiteral("Too many open files");
    case AccessDenied: return QStringLiteral("Access denied");
    case DiskReadError: return QStringLiteral("Disk read error");
    case DiskWriteError: return QStringLiteral("Disk write error");
    case FileNotAssigned: return QStringLiteral("File not assigned");
    case FileNotOpen: return QStringLiteral("File not open");
    case FileNotOpenForInput: return QStringLiteral("File not open for input");
    case FileNotOpenForOutput: return QStringLiteral("File not open for output");
    case InvalidNumericFormat: return QStringLiteral("Invalid numeric input");
    default: return QStringLiteral("I/O error %1").arg(code);
  }
}

EInOutError::EInOutError(int code) : Exception(TextOf(code)), errorCode_(code) {}

void RaiseLastOSError() {
  const int code = errno;
  if (code == 0)
    throw EOSError(0, QStringLiteral("A call to an OS function failed"));
  throw EOSError(code, QStringLiteral("System Error.  Code: %1.\n%2")
                           .arg(code)
                           .arg(QString::fromLocal8Bit(std::strerror(code))));
}
