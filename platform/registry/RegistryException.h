#pragma once
// The registry's exception: failed reads and writes of data ("Failed to get
// data for '%s'", "Failed to set data for '%s'", "Invalid data type for
// '%s'"), keys that cannot be created, and hive files that cannot be opened.
// A failure of a registry call keeps the call's result code; when the store
// itself failed (a full disk, an I/O error) its text follows the message.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/WinError.h"

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
  ERegistryException(const QString& msg, LONG errorCode) : Exception(msg), errorCode_(errorCode) {}
  // The registry call's result code (ERROR_SUCCESS when none was involved).
  LONG ErrorCode() const { return errorCode_; }

 private:
  LONG errorCode_ = ERROR_SUCCESS;
};
