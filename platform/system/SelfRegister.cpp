#include "platform/system/SelfRegister.h"

#include "platform/system/LastError.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <dlfcn.h>

#include <memory>

namespace {

using TServerEntry = HRESULT (*)();

struct TLibraryCloser {
  void operator()(void* handle) const { ::dlclose(handle); }
};

TSelfRegisterResult Outcome(TSelfRegisterFailure failure, HRESULT result, DWORD lastError,
                            const QString& message) {
  SetLastError(lastError);
  return {failure, result, lastError, message};
}

}  // namespace

TSelfRegisterResult RegisterLibraryServer(const QString& path, bool unregister) {
  const char* entryName = unregister ? kDllUnregisterServer : kDllRegisterServer;
  if (!QFileInfo(path).isFile())
    return Outcome(TSelfRegisterFailure::CannotLoad, S_OK, ERROR_FILE_NOT_FOUND,
                   QStringLiteral("The library \"%1\" does not exist.").arg(path));
  ::dlerror();
  std::unique_ptr<void, TLibraryCloser> library(
      ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL));
  if (!library)
    return Outcome(TSelfRegisterFailure::CannotLoad, S_OK, ERROR_MOD_NOT_FOUND,
                   QStringLiteral("The library \"%1\" cannot be loaded: %2")
                       .arg(path, QString::fromLocal8Bit(::dlerror())));
  ::dlerror();
  // dlsym gives an object pointer; the library exports the function under it.
  auto entry = reinterpret_cast<TServerEntry>(::dlsym(library.get(), entryName));
  if (!entry)
    return Outcome(TSelfRegisterFailure::NoEntryPoint, S_OK, ERROR_PROC_NOT_FOUND,
                   QStringLiteral("The library \"%1\" does not export %2.")
                       .arg(path, QLatin1String(entryName)));
  const HRESULT result = entry();
  if (result != S_OK)
    return Outcome(TSelfRegisterFailure::Failed, result, ERROR_INVALID_FUNCTION,
                   QStringLiteral("%1 of \"%2\" returned %3.")
                       .arg(QLatin1String(entryName), path)
                       .arg(result));
  return Outcome(TSelfRegisterFailure::None, S_OK, ERROR_SUCCESS, {});
}

TSelfRegisterResult RegisterProgramServer(const QString& path, bool unregister, int timeoutMs) {
  const QLatin1String option(unregister ? kUnregServerSwitch : kRegServerSwitch);
  const QFileInfo info(path);
  if (!info.isFile() || !info.isExecutable())
    return Outcome(TSelfRegisterFailure::CannotStart, S_OK,
                   info.exists() ? ERROR_BAD_FORMAT : ERROR_FILE_NOT_FOUND,
                   QStringLiteral("The program \"%1\" cannot be started.").arg(path));
  QProcess process;
  process.setProgram(info.absoluteFilePath());
  process.setArguments({option});
  process.setWorkingDirectory(info.absolutePath());
  process.setStandardInputFile(QProcess::nullDevice());
  process.start();
  if (!process.waitForStarted())
    return Outcome(TSelfRegisterFailure::CannotStart, S_OK, ERROR_BAD_FORMAT,
                   QStringLiteral("The program \"%1\" cannot be started: %2")
                       .arg(path, process.errorString()));
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    return Outcome(TSelfRegisterFailure::TimedOut, S_OK, ERROR_TIMEOUT,
                   QStringLiteral("The program \"%1\" did not finish %2 in %3 ms and was stopped.")
                       .arg(path, option)
                       .arg(timeoutMs));
  }
  if (process.exitStatus() != QProcess::NormalExit)
    return Outcome(
        TSelfRegisterFailure::Crashed, S_OK, ERROR_INVALID_FUNCTION,
        QStringLiteral("The program \"%1\" ended abnormally during %2.").arg(path, option));
  const HRESULT code = process.exitCode();
  if (code != 0)
    return Outcome(TSelfRegisterFailure::Failed, code, ERROR_INVALID_FUNCTION,
                   QStringLiteral("The program \"%1\" ended with the exit code %2 after %3.")
                       .arg(path)
                       .arg(code)
                       .arg(option));
  return Outcome(TSelfRegisterFailure::None, S_OK, ERROR_SUCCESS, {});
}
