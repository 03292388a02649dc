// System folders and the path meta variables of shortcut texts.

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"

#include <QDir>
#include <QStorageInfo>

namespace {

constexpr char kTextANil[] = "Cannot expand the %a meta variable because the component is Nil";
constexpr char kTextCNil[] = "Cannot expand the %c meta variable because the component is Nil";
constexpr char kTextCNoContainer[] =
    "Cannot expand the %c meta variable because the Container property is Nil";
constexpr char kTextINoInstall[] =
    "Cannot expand the %i meta variable because there is no TInstall component";

QString ShellFolder(const char* value, const QString& def) {
  return RemoveBackslash(ReadRegString(hkCurrentUser, QString::fromLatin1(kShellFoldersKey),
                                       QString::fromLatin1(value), def));
}

QString ProgramFilesValue(const char* value, const QString& def) {
  return RemoveBackslash(ReadRegString(hkLocalMachine, QString::fromLatin1(kProgramFilesKey),
                                       QString::fromLatin1(value), def));
}

QString Under(const QString& dir, const char* rest) {
  return dir + QLatin1Char('/') + QString::fromLatin1(rest);
}

template <class E>
[[noreturn]] void RaiseTranslated(const char* text) {
  throw E(TranslateExceptionText(QString::fromLatin1(text)));
}

QString MetaVariable(QChar letter, TInstallContainer* component) {
  switch (letter.toLower().unicode()) {
    case 'a':
      if (component == nullptr) RaiseTranslated<EAICannotExpandContainerDirMV>(kTextANil);
      return RemoveBackslash(component->GetExpandedDestDir());
    case 'b':
      return ExpandProgramsDir();
    case 'c': {
      if (component == nullptr) RaiseTranslated<EAICannotExpandContainerDirMV>(kTextCNil);
      TInstallContainer* container = component->ContainerOf();
      if (container == nullptr) RaiseTranslated<EAICannotExpandContainerDirMV>(kTextCNoContainer);
      return RemoveBackslash(container->GetExpandedDestDir());
    }
    case 'd':
      return ExpandDesktopDir();
    case 'f':
      return ExpandCommonFilesDir();
    case 'i': {
      TCustomInstall* install = CurrentInstall();
      if (install == nullptr) RaiseTranslated<EAICannotExpandInstallDirMV>(kTextINoInstall);
      return RemoveBackslash(install->GetExpandedDestDir());
    }
    case 'm':
      return ExpandStartMenuDir();
    case 'p':
      return ExpandProgramFilesDir();
    case 's':
      return RemoveBackslash(GetSystemDir());
    case 'w':
      return RemoveBackslash(GetWindowsDir());
    default:
      return QString();  // an unknown variable vanishes with its "%"
  }
}

}  // namespace

QString CurrentDriveDir() {
  const QStorageInfo volume(QDir::currentPath());
  const QString root = volume.isValid() ? volume.rootPath() : QStringLiteral("/");
  return RemoveBackslash(root);
}

QString ExpandStartMenuDir() {
  return ShellFolder("Start Menu", Under(RemoveBackslash(GetWindowsDir()), "Startmen"));
}

QString ExpandProgramsDir() {
  return ShellFolder("Programs", Under(ExpandStartMenuDir(), "Programs"));
}

QString ExpandDesktopDir() {
  return ShellFolder("Desktop", Under(RemoveBackslash(GetWindowsDir()), "Desktop"));
}

QString ExpandStartupDir() {
  return ShellFolder("Startup", Under(RemoveBackslash(GetWindowsDir()), "Startup"));
}

QString ExpandProgramFilesDir() {
  return ProgramFilesValue("ProgramFilesDir", Under(CurrentDriveDir(), "Program Files"));
}

QString ExpandCommonFilesDir() {
  return ProgramFilesValue("CommonFilesDir", Under(CurrentDriveDir(), "Program Files/Common Files"));
}

QString ExpandMetaVariables(const QString& text, TInstallContainer* component) {
  return ExpandPercentText(text, [component](QChar c) { return MetaVariable(c, component); });
}
