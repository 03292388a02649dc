#pragma once
// The installer engine's exception tree. Each class names the component family
// that raised it and carries only its message. The English texts below are also
// the keys of the language tables, so they are kept word for word.
//
// IException and its descendants translate their text through the process-wide
// exception translator (set by the translator component); without one the
// English text stands.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <QString>

#include <functional>
#include <initializer_list>

// Fixed English texts of the tree and of the routine collections.
inline constexpr char kTextDiskFull[] = "The disk is full";
inline constexpr char kTextOperationAborted[] = "Operation aborted by user";
inline constexpr char kTextInstallAborted[] = "Installation aborted by the user";
inline constexpr char kTextNoWindowsVersion[] =
    "Could not get information about the current version of Windows";
inline constexpr char kTextNoTempFile[] = "Cannot create a temporary file";
inline constexpr char kTextNoSystemDir[] =
    "Could not retrieve the system directroy from windows";
inline constexpr char kTextNoWindowsDir[] =
    "Could not retrieve the windows directory from windows";
inline constexpr char kTextCannotWriteRegValue[] =
    "Cannot install into registry. Key: %s Ident: %s Value %s";
inline constexpr char kTextNoOndrixPath[] =
    "Cannot find the the Ondrix directory on the ZPK library search path";

// Root of the engine's own errors.
QX_EXCEPTION(ECustomOndrixAbnormal, Exception);
QX_EXCEPTION(EOndrixAbnormal, ECustomOndrixAbnormal);

// Archive compressor.
QX_EXCEPTION(EOndxCompress, EOndrixAbnormal);
class EocDiskFull : public EOndxCompress {
 public:
  EocDiskFull() : EOndxCompress(QString::fromLatin1(kTextDiskFull)) {}
  using EOndxCompress::EOndxCompress;
};
class EocAborted : public EOndxCompress {
 public:
  EocAborted() : EOndxCompress(QString::fromLatin1(kTextOperationAborted)) {}
  using EOndxCompress::EOndxCompress;
};

// Operating-system queries (routines_API).
QX_EXCEPTION(EAPIRoutines, EOndrixAbnormal);

// Installation aborts.
QX_EXCEPTION(EAI, Exception);
class EAIUserAbort : public EAI {
 public:
  EAIUserAbort() : EAI(QString::fromLatin1(kTextInstallAborted)) {}
  using EAI::EAI;
};
QX_EXCEPTION(EAICannotExpandContainerDirMV, EAI);
QX_EXCEPTION(EAICannotExpandInstallDirMV, EAI);

// The exception translator: maps an English text (or format) to the current
// language. Process-wide; cleared by ResetProcessState.
using TExceptionTranslator = std::function<QString(const QString&)>;
void SetExceptionTranslator(TExceptionTranslator translator);
// The text through the translator, or unchanged when none is set.
QString TranslateExceptionText(const QString& text);

// Root of the install object model's errors; translates its text before use.
class IException : public ECustomOndrixAbnormal {
 public:
  explicit IException(const QString& msg);
  // The format is translated, the arguments are not. A translated format that
  // does not fit the arguments falls back to the English format.
  IException(const QString& fmt, std::initializer_list<TVarRec> args);
};

QX_EXCEPTION(IEInstall, IException);
QX_EXCEPTION(IEInstallContainer, IException);
QX_EXCEPTION(IEFileRelated, IException);
QX_EXCEPTION(IEFileContainer, IException);
QX_EXCEPTION(IEfcDuplicateFile, IEFileContainer);
QX_EXCEPTION(IEObjectRepositoryEntry, IException);
QX_EXCEPTION(IEInstallCDE, IException);
class IEcdeCannotFindOndrixPath : public IEInstallCDE {
 public:
  IEcdeCannotFindOndrixPath() : IEInstallCDE(QString::fromLatin1(kTextNoOndrixPath)) {}
  using IEInstallCDE::IEInstallCDE;
};
QX_EXCEPTION(IERegistryEntry, IException);
QX_EXCEPTION(IERegistryEntries, IException);
QX_EXCEPTION(IEInstallRegistry, IException);
QX_EXCEPTION(IEInstallRegistryList, IException);
QX_EXCEPTION(IEInstallShellLink, IException);
QX_EXCEPTION(IEShellLinkGroup, IException);
QX_EXCEPTION(IEInstallShellLinkList, IException);
QX_EXCEPTION(IECustomInstallFile, IException);
QX_EXCEPTION(IEUninstallEXE, IException);
QX_EXCEPTION(IECustomInstallFileList, IException);
QX_EXCEPTION(IEFileGroupSelectForm, IException);
QX_EXCEPTION(IEPathSpecifierList, IException);
QX_EXCEPTION(IEPathSpecifier, IException);

// Registry writes (routines_Registry).
QX_EXCEPTION(EIRCannotWriteValue, Exception);
