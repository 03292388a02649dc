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
// What went wrong while reading an archive, so that an install can tell the
// user what to do; the texts are the compressor's own.
// The archive's bytes are damaged or cut short: headers, positions, a
// member's stream or its size.
QX_EXCEPTION(EocDamaged, EOndxCompress);
// The archive holds no member of the name asked for.
QX_EXCEPTION(EocNotInArchive, EOndxCompress);
// The archive (or one of its parts) is there but cannot be opened.
QX_EXCEPTION(EocCannotOpenArchive, EOndxCompress);
// The part of a disk was not found where it was looked for.
QX_EXCEPTION(EocWrongDisk, EOndxCompress);
// A file being written (an extracted member, a copy, an archive) could not
// be created, completed or synced.
QX_EXCEPTION(EocCannotWrite, EOndxCompress);

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
