#pragma once
// Self-registration of shared libraries and programs.
//
// A library registers itself through its exported C functions
//   extern "C" int32_t DllRegisterServer(void);
//   extern "C" int32_t DllUnregisterServer(void);
// which the library is loaded for (dlopen), called and released again
// (dlclose) whatever happens. A program registers itself when started with
// "/REGSERVER" ("/UNREGSERVER" to unregister); it is waited for and its
// exit code is its result, 0 meaning success. The caller chooses the
// current folder (the program runs in its own folder).

#include "platform/rtl/WinError.h"

#include <QString>

#include <cstdint>

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;

inline constexpr char kDllRegisterServer[] = "DllRegisterServer";
inline constexpr char kDllUnregisterServer[] = "DllUnregisterServer";
inline constexpr char kRegServerSwitch[] = "/REGSERVER";
inline constexpr char kUnregServerSwitch[] = "/UNREGSERVER";

// How long a program is given to register itself before it is killed.
inline constexpr int kRegServerTimeoutMs = 60000;

enum class TSelfRegisterFailure {
  None,          // it ran and answered S_OK (result 0)
  CannotLoad,    // the library could not be loaded
  NoEntryPoint,  // the library does not export the function
  Failed,        // the function or program answered a result other than 0
  CannotStart,   // the program could not be started
  TimedOut,      // the program did not end in time and was killed
  Crashed,       // the program ended by a signal
};

struct TSelfRegisterResult {
  TSelfRegisterFailure failure = TSelfRegisterFailure::None;
  HRESULT result = S_OK;            // the function's result or the program's exit code
  DWORD lastError = ERROR_SUCCESS;  // the Windows-style code of a failure
  QString message;                  // an English sentence naming the file and the failure
  bool Succeeded() const { return failure == TSelfRegisterFailure::None; }
};

// Loads the library at path and calls its DllRegisterServer
// (DllUnregisterServer when unregister). Never raises.
TSelfRegisterResult RegisterLibraryServer(const QString& path, bool unregister = false);

// Starts the program at path with "/REGSERVER" ("/UNREGSERVER" when
// unregister) and waits for it at most timeoutMs. Never raises.
TSelfRegisterResult RegisterProgramServer(const QString& path, bool unregister = false,
                                          int timeoutMs = kRegServerTimeoutMs);
