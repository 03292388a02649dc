#include "platform/system/SelfRegister.h"

#include "platform/system/LastError.h"

TSelfRegisterResult RegisterLibraryServer(const QString&, bool) {
  return {TSelfRegisterFailure::CannotLoad, S_OK, ERROR_MOD_NOT_FOUND, {}};
}
TSelfRegisterResult RegisterProgramServer(const QString&, bool, int) {
  return {TSelfRegisterFailure::CannotStart, S_OK, ERROR_FILE_NOT_FOUND, {}};
}
