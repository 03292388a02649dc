// How links are made: shell links (desktop entries), internet shortcuts and
// program-manager items.
#include "installer/engine/cmp_TInstallShellLink.h"

#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/cmp_TProgramManager.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLink.h"
#include "platform/system/ShellLinkUrl.h"

namespace {

bool IsBlank(const QString& text) { return Trim(text).isEmpty(); }

// The entry the program manager keeps for an item of a group (its groups
// are menu folders directly below the applications folder); empty when
// there is none.
QString ProgmanItemFile(const QString& group, const QString& itemName) {
  const QString file = ApplicationsMenuFolder() + PathDelim + group + PathDelim + itemName +
                       QStringLiteral(".desktop");
  return FileExists(file) ? file : QString();
}

// A link's folder, with its parents; in the applications menu also the
// files that make it a submenu.
void CreateLinkFolder(const QString& folder) { CreateLinkGroup(folder); }

QString ShellLinkErrorText(HRESULT code, const QString& fallback) {
  switch (static_cast<std::uint32_t>(code)) {
    case 0x8000FFFFu:
      return TranslateExceptionText(QStringLiteral("Indicates an unexpected error occurred"));
    case 0x80040110u:
      return TranslateExceptionText(
          QStringLiteral("Indicates this class cannot be created as part of an aggregate"));
    case 0x80040154u:
      return TranslateExceptionText(QStringLiteral(
          "Indicates that a specified class is not registered in the registration database"));
    case 0x8007000Eu:
      return TranslateExceptionText(QStringLiteral("Out of memory"));
    case 0x80070057u:
      return TranslateExceptionText(QStringLiteral("Indicates one or more arguments are invalid"));
    default:
      return fallback;
  }
}

}  // namespace

void TCustomInstallShellLink::RaiseBlankName() const {
  throw IEInstallShellLink(QString::fromLatin1(kTextLinkNameBlank), {Name()});
}

void TCustomInstallShellLink::RequireLinkName() const {
  if (IsBlank(linkName_)) RaiseBlankName();
}

void TCustomInstallShellLink::SaveShellLink(const QString& target, const QString& arguments) {
  TShellLink link;
  OleCheck(link.SetPath(target));
  OleCheck(link.SetHotkey(hotKey_));
  OleCheck(link.SetArguments(arguments));
  OleCheck(link.SetWorkingDirectory(RemoveBackslash(ExtractFilePath(target))));
  const QString fileName = GetLinkFileName();
  OleCheck(link.Save(fileName, true));
  writtenFile_ = ShellLinkFileName(fileName);
}

void TCustomInstallShellLink::CreateShellLink() {
  comInitialized_ = true;
  if (objectLink_ != nullptr && dynamic_cast<TCustomShellLinkGroup*>(objectLink_) != nullptr)
    CreateLinkFolder(objectLink_->GetExpandedDestDir());
  RequireLinkName();
  try {
    CreateLinkFolder(GetExpandedDestDir());
    const QString arguments = ExpandMetaVariables(parameters_, this);
    SaveShellLink(GetObjectPath(), arguments);
  } catch (const EOleSysError& e) {
    throw IEInstallShellLink(
        QString::fromLatin1(kTextLinkNotInstalledCode),
        {Name(), ShellLinkErrorText(e.ErrorCode(), e.Message()), static_cast<int>(e.ErrorCode())});
  } catch (const Exception& e) {
    throw IEInstallShellLink(QString::fromLatin1(kTextLinkNotInstalled), {Name(), e.Message()});
  }
}

void TCustomInstallShellLink::CreateURLShortcut() {
  RequireLinkName();
  CreateLinkFolder(GetExpandedDestDir());
  const QString fileName = GetLinkFileName();
  WriteURLShortcut(fileName, objectLocation_);
  writtenFile_ = fileName;
}

void TCustomInstallShellLink::CreateProgmanItem() {
  if (dynamic_cast<TpsProgramMenu*>(DestDirType()) == nullptr) return;
  const QString group = ExtractFileName(RemoveBackslash(GetExpandedDestDir()));
  if (IsBlank(group)) RaiseBlankName();
  TProgramManager& progman = ProgramManager();
  progman.CreateGroup(group);
  const QString itemName = ChangeFileExt(linkName_, QString());
  if (progman.FindItem(itemName) != -1) progman.ReplaceItem(itemName);
  const QString arguments = ExpandMetaVariables(parameters_, this);
  const QString target = GetObjectPath();
  const QString quote = QStringLiteral("\"");
  progman.AddItem(quote + target + quote + QLatin1Char(' ') + arguments, itemName, QString(), 0,
                  quote + RemoveBackslash(ExtractFilePath(target)) + quote, QString());
  writtenFile_ = ProgmanItemFile(group, itemName);
}

