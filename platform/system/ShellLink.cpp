#include "platform/system/ShellLink.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/CommandLine.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLinkEntry.h"
#include "platform/system/WinExec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {

thread_local int comDepth = 0;
const TResetHook kResetCom([] { comDepth = 0; });

const QString kGroup = QStringLiteral("Desktop Entry");
const QString kHotKeyKey = QStringLiteral("X-QX-HotKey");
const QString kOpener = QStringLiteral("xdg-open");

HRESULT ResultOfErrno(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR: return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EROFS: return E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT: return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    default: return E_FAIL;
  }
}

bool IsProgram(const QString& path) {
  const QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

// The file an absolute target names, with the program-start rules
// (WinExec.h: parts matched without regard to case, "x.exe" found as "x").
QString ExistingTarget(const QString& path) {
  if (QFileInfo::exists(path) || !QDir::isAbsolutePath(path))
    return path;
  const TProgramLookup lookup = ResolveProgramPath(path);
  return lookup.error == 0 ? lookup.path : path;
}

// One argument of a Windows-style command line (CommandLine.h reads it back).
QString QuoteWindowsArgument(const QString& arg) {
  if (!arg.isEmpty() && !arg.contains(QLatin1Char(' ')) && !arg.contains(QLatin1Char('\t')) &&
      !arg.contains(QLatin1Char('"')))
    return arg;
  QString out = QStringLiteral("\"");
  int backslashes = 0;
  for (QChar c : arg) {
    if (c == QLatin1Char('\\')) {
      ++backslashes;
      continue;
    }
    out += QString(c == QLatin1Char('"') ? backslashes * 2 + 1 : backslashes, QLatin1Char('\\'));
    backslashes = 0;
    out += c;
  }
  return out + QString(backslashes * 2, QLatin1Char('\\')) + QLatin1Char('"');
}

void AddKey(QByteArray& text, const QString& key, const QString& value) {
  text += key.toUtf8();
  text += '=';
  text += EscapeDesktopString(value).toUtf8();
  text += '\n';
}

}  // namespace

HRESULT CoInitialize(void*) {
  return comDepth++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  if (comDepth > 0)
    --comDepth;
}

QString OleErrorMessage(HRESULT code) {
  switch (std::uint32_t(code)) {
    case 0x00000000u: return QStringLiteral("The operation completed successfully");
    case 0x8000FFFFu: return QStringLiteral("Catastrophic failure");
    case 0x80004001u: return QStringLiteral("Not implemented");
    case 0x80004005u: return QStringLiteral("Unspecified error");
    case 0x80040110u: return QStringLiteral("Class does not support aggregation");
    case 0x80040154u: return QStringLiteral("Class not registered");
    case 0x80070002u: return QStringLiteral("The system cannot find the file specified");
    case 0x80070003u: return QStringLiteral("The system cannot find the path specified");
    case 0x80070005u: return QStringLiteral("Access is denied");
    case 0x8007000Eu: return QStringLiteral("Not enough memory is available to complete this operation");
    case 0x80070057u: return QStringLiteral("The parameter is incorrect");
    case 0x80070070u: return QStringLiteral("There is not enough space on the disk");
    default:
      return QStringLiteral("Error %1")
          .arg(QString::number(std::uint32_t(code), 16).rightJustified(8, QLatin1Char('0')).toUpper());
  }
}

void OleCheck(HRESULT code) {
  if (FAILED(code))
    throw EOleSysError(OleErrorMessage(code), code);
}

QString ShellLinkFileName(const QString& linkFileName) {
  static constexpr QLatin1StringView kLnk(".lnk");
  static constexpr QLatin1StringView kDesktop(".desktop");
  if (linkFileName.endsWith(kLnk, Qt::CaseInsensitive))
    return linkFileName.chopped(kLnk.size()) + kDesktop;
  if (linkFileName.endsWith(kDesktop))
    return linkFileName;
  return linkFileName + kDesktop;
}

HRESULT TShellLink::SetPath(const QString& path) {
  if (path.isEmpty())
    return E_INVALIDARG;
  path_ = path;
  return S_OK;
}

HRESULT TShellLink::SetArguments(const QString& arguments) {
  arguments_ = arguments;
  return S_OK;
}

HRESULT TShellLink::SetWorkingDirectory(const QString& dir) {
  workingDirectory_ = dir;
  return S_OK;
}

HRESULT TShellLink::SetDescription(const QString& description) {
  description_ = description;
  return S_OK;
}

HRESULT TShellLink::SetIconLocation(const QString& iconPath, int iconIndex) {
  iconPath_ = iconPath;
  iconIndex_ = iconIndex;
  return S_OK;
}

HRESULT TShellLink::SetShowCmd(int showCmd) {
  showCmd_ = showCmd;
  return S_OK;
}

HRESULT TShellLink::SetHotkey(WORD hotKey) {
  hotKey_ = hotKey;
  return S_OK;
}

HRESULT TShellLink::Fail(HRESULT code, const QString& why) {
  lastError_ = why;
  return code;
}

QByteArray TShellLink::EntryText(const QString& name) const {
  const QString target = ExistingTarget(path_);
  const QStringList argv = IsProgram(target)
                               ? QStringList{target} + SplitCommandArguments(arguments_)
                               : QStringList{kOpener, target};
  QByteArray text = "[Desktop Entry]\nType=Application\n";
  AddKey(text, QStringLiteral("Name"), name);
  if (!description_.isEmpty())
    AddKey(text, QStringLiteral("Comment"), description_);
  text += "Exec=" + DesktopExecValue(argv).toUtf8() + '\n';
  if (!workingDirectory_.isEmpty())
    AddKey(text, QStringLiteral("Path"), workingDirectory_);
  if (!iconPath_.isEmpty() && QFileInfo(iconPath_).isFile())
    AddKey(text, QStringLiteral("Icon"), QFileInfo(iconPath_).absoluteFilePath());
  text += "Terminal=false\n";
  if (hotKey_ != 0)
    AddKey(text, kHotKeyKey, QString::number(hotKey_));
  return text;
}

HRESULT TShellLink::Save(const QString& fileName, bool remember) {
  lastError_.clear();
  if (path_.isEmpty())
    return Fail(E_INVALIDARG, QStringLiteral("The link has no target"));
  const QString diskName = ShellLinkFileName(fileName);
  const QFileInfo info(diskName);
  const QString name = info.completeBaseName();
  if (name.isEmpty())
    return Fail(E_INVALIDARG, QStringLiteral("The link file \"%1\" has no name").arg(diskName));
  QByteArray text;
  try {
    text = EntryText(name);
  } catch (const EDesktopEntryError& e) {
    return Fail(E_INVALIDARG, e.Message());
  }
  const QString folder = info.absolutePath();
  if (!QFileInfo(folder).isDir())
    return Fail(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
                QStringLiteral("The folder \"%1\" does not exist").arg(folder));
  const bool inMenu = !LinkGroupFilesOf(folder).parts.isEmpty();
  try {
    if (inMenu)
      CreateLinkGroup(folder);
    WriteFileAtomically(diskName, text);
    if (inMenu)
      RefreshLinkGroup(folder);
  } catch (const EAtomicFileError& e) {
    return Fail(ResultOfErrno(e.ErrorCode()), e.Message());
  } catch (const EProgramGroupError& e) {
    return Fail(E_FAIL, e.Message());
  }
  if (remember)
    curFile_ = diskName;
  return S_OK;
}

HRESULT TShellLink::Load(const QString& fileName) {
  lastError_.clear();
  QFile file(fileName);
  if (!file.exists())
    return Fail(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND),
                QStringLiteral("The link file \"%1\" does not exist").arg(fileName));
  if (!file.open(QIODevice::ReadOnly))
    return Fail(ResultOfErrno(EACCES), file.errorString());
  const auto keys = ReadDesktopGroup(file.readAll(), kGroup);
  if (!keys || !keys->contains(QStringLiteral("Exec")))
    return Fail(E_FAIL, QStringLiteral("\"%1\" is no desktop entry of a link").arg(fileName));
  const auto argv = SplitDesktopExec(keys->value(QStringLiteral("Exec")));
  if (!argv || argv->isEmpty())
    return Fail(E_FAIL, QStringLiteral("The Exec key of \"%1\" cannot be read").arg(fileName));
  QStringList args = *argv;
  if (args.size() == 2 && args.first() == kOpener)
    args.removeFirst();
  path_ = args.takeFirst();
  QStringList quoted;
  for (const QString& arg : args)
    quoted << QuoteWindowsArgument(arg);
  arguments_ = quoted.join(QLatin1Char(' '));
  workingDirectory_ = keys->value(QStringLiteral("Path"));
  description_ = keys->value(QStringLiteral("Comment"));
  iconPath_ = keys->value(QStringLiteral("Icon"));
  iconIndex_ = 0;
  hotKey_ = WORD(keys->value(kHotKeyKey).toUShort());
  curFile_ = fileName;
  return S_OK;
}
