#include "installer/engine/cmp_TPathSpecifier.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"

namespace {

constexpr char kTextNilSpecifier[] = "Tried to add a nil object to the path specifier list";
constexpr char kTextNotFound[] = "Could not find the path specifier";
constexpr char kTextWrongClass[] = "%s must be a %s to use the %s path specifier";
constexpr char kTextArchiveNoContainer[] =
    "Cannot use ddContainerArchiveFile for %s unless you assign a Container";
constexpr char kTextArchiveNotFileRelated[] =
    "Cannot use the ddContainerArchiveFile path specifier for %s because the Container is not a "
    "TFileRelated descendant";
constexpr char kTextDestDirNoContainer[] =
    "Cannot use ddContainerDestDir for %s unless you assign a Container";
constexpr char kTextNoObjectLink[] =
    "Cannot use ddObjectLink for %s unless you assign a value to ObjectLink";
constexpr char kTextNoInstall[] =
    "There is no TInstall component so the path specifier could not be expanded for %s";
constexpr char kTextMainInstallSelf[] =
    "Cannot use the ddMainInstallDir path specifier for a TInstall component";
constexpr char kTextNoSelfExtractor[] =
    "You forgot to pass in the name of the self-extracting executable. Usage example: "
    "\"-eSetup.exe\"";
constexpr char kCdeKey[] = "\\Software\\Corvane\\Database Engine";

QString NameOf(TComponent* component) {
  return component != nullptr ? component->Name() : QString();
}

QString Join(const QString& dir, const char* rest) {
  return AddBackslash(dir) + QString::fromLatin1(rest);
}

TInstallObject* RequireInstallObject(TComponent* component, const char* fixedName) {
  auto* object = dynamic_cast<TInstallObject*>(component);
  if (object == nullptr) {
    throw IEPathSpecifier(QString::fromLatin1(kTextWrongClass),
                          {NameOf(component), QStringLiteral("TInstallObject"),
                           QString::fromLatin1(fixedName)});
  }
  return object;
}

TCustomInstall* RequireInstall(TComponent* component) {
  TCustomInstall* install = CurrentInstall();
  if (install == nullptr) throw IEPathSpecifier(QString::fromLatin1(kTextNoInstall), {NameOf(component)});
  return install;
}

struct TSpecifierLists {
  TPathSpecifierList all;
  TStandardPathSpecList standard;
};

}  // namespace

// ---------------------------------------------------------------------------
// Lists.

void TPathSpecifierList::Add(TCustomPathSpecifier* specifier) {
  if (specifier == nullptr) throw IEPathSpecifierList(QString::fromLatin1(kTextNilSpecifier));
  items_.append(specifier);
}

void TPathSpecifierList::Remove(TCustomPathSpecifier* specifier) {
  items_.removeAll(specifier);
}

TCustomPathSpecifier* TPathSpecifierList::Items(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[index];
}

bool TPathSpecifierList::Contains(const TCustomPathSpecifier* specifier) const {
  return items_.contains(const_cast<TCustomPathSpecifier*>(specifier));
}

void TPathSpecifierList::RaiseNotFound() {
  throw IEPathSpecifier(QString::fromLatin1(kTextNotFound));
}

TPathSpecifierList& PathSpecifierList() {
  return ProcessObject<TSpecifierLists>().all;
}

TStandardPathSpecList& StandardPathSpecList() {
  return ProcessObject<TSpecifierLists>().standard;
}

TPathSpecifierList* FindPathSpecifierList() {
  // The lists exist for the whole life of the unit: made on the first ask.
  return &PathSpecifierList();
}

TStandardPathSpecList* FindStandardPathSpecList() {
  return &StandardPathSpecList();
}

namespace {
TSpecifierLists* HeldLists() {
  return FindProcessObject<TSpecifierLists>();
}
}  // namespace

void CreateStandardSpecifiers(TComponent* owner, bool searchFirst) {
  if (owner == nullptr) return;
  EnsureSpecifier<TpsCDEDLL>(owner, searchFirst);
  EnsureSpecifier<TpsCommonFiles>(owner, searchFirst);
  EnsureSpecifier<TpsContainerArchiveFile>(owner, searchFirst);
  EnsureSpecifier<TpsContainerDestDir>(owner, searchFirst);
  EnsureSpecifier<TpsDesktopMenu>(owner, searchFirst);
  EnsureSpecifier<TpsInstallSource>(owner, searchFirst);
  EnsureSpecifier<TpsMainInstall>(owner, searchFirst);
  EnsureSpecifier<TpsProgramFiles>(owner, searchFirst);
  EnsureSpecifier<TpsProgramMenu>(owner, searchFirst);
  EnsureSpecifier<TpsStartMenu>(owner, searchFirst);
  EnsureSpecifier<TpsStartupMenu>(owner, searchFirst);
  EnsureSpecifier<TpsSystem>(owner, searchFirst);
  EnsureSpecifier<TpsMainArchiveFile>(owner, searchFirst);
  EnsureSpecifier<TpsWindow>(owner, searchFirst);
}

QString ExpandPercentText(const QString& text, const std::function<QString(QChar)>& letter) {
  QString result;
  bool afterPercent = false;
  for (QChar c : text) {
    if (c == QLatin1Char('%')) {
      if (afterPercent) result += c;
      afterPercent = !afterPercent;
    } else if (afterPercent) {
      result += letter(c);
      afterPercent = false;
    } else {
      result += c;
    }
  }
  return result;
}

QString ExpandPathSpecifierText(const QString& text, const QString& path) {
  return ExpandPercentText(text, [&path](QChar c) {
    return c == QLatin1Char('p') || c == QLatin1Char('P') ? path : QString(c);
  });
}

// ---------------------------------------------------------------------------
// TCustomPathSpecifier.

TCustomPathSpecifier::TCustomPathSpecifier(TComponent* owner) : TComponent(owner) {
  PathSpecifierList().Add(this);
  inLists_ = true;
}

TCustomPathSpecifier::~TCustomPathSpecifier() {
  LeaveLists();
}

void TCustomPathSpecifier::BeforeDestruction() {
  LeaveLists();
  TComponent::BeforeDestruction();
}

void TCustomPathSpecifier::LeaveLists() {
  if (!inLists_) return;
  inLists_ = false;
  if (TSpecifierLists* lists = HeldLists()) lists->all.Remove(this);
}

void TCustomPathSpecifier::CheckComponent(TComponent*) {}

void TCustomPathSpecifier::GetDescription(QString& text) {
  text = QStringLiteral("Unspecified");
}

void TCustomPathSpecifier::GetPath(TComponent* component, QString& path) {
  path.clear();
  if (OnGetPath) OnGetPath(component, path);
}

QString TCustomPathSpecifier::PathFor(TComponent* component) {
  QString path;
  GetPath(component, path);
  return path;
}

TPathSpecifier::TPathSpecifier(TComponent* owner) : TCustomPathSpecifier(owner) {}

void TPathSpecifier::GetDescription(QString& text) {
  text = description_;
}

void TPathSpecifier::DeclareProperties(TClassBuilder<TPathSpecifier, TCustomPathSpecifier>& b) {
  b.Property("Description", &TPathSpecifier::Description, &TPathSpecifier::SetDescription)
      .Default(QStringLiteral("My cool new path specifier"));
  b.Event("OnGetPath", &TPathSpecifier::OnGetPath);
}

TStandardPathSpecifier::TStandardPathSpecifier(TComponent* owner) : TCustomPathSpecifier(owner) {
  StandardPathSpecList().Add(this);
  inStandardList_ = true;
}

TStandardPathSpecifier::~TStandardPathSpecifier() {
  LeaveStandardList();
}

void TStandardPathSpecifier::BeforeDestruction() {
  LeaveStandardList();
  TCustomPathSpecifier::BeforeDestruction();
}

void TStandardPathSpecifier::LeaveStandardList() {
  if (!inStandardList_) return;
  inStandardList_ = false;
  if (TSpecifierLists* lists = HeldLists()) lists->standard.Remove(this);
}

// ---------------------------------------------------------------------------
// The standard specifiers.

#define QX_SPECIFIER_BASICS(Class, Fixed, Description)                               \
  const char* const Class::kFixedName = Fixed;                                         \
  Class::Class(TComponent* owner) : TStandardPathSpecifier(owner) {                    \
    SetFixedName(QString::fromLatin1(kFixedName));                                     \
  }                                                                                    \
  void Class::GetDescription(QString& text) { text = QStringLiteral(Description); }

QX_SPECIFIER_BASICS(TpsCDEDLL, "psCDEDLL", "Corvane Database Engine DLL Path")
QX_SPECIFIER_BASICS(TpsCommonFiles, "psCommonFiles",
                    "Path of the common files directory under the program files directory")
QX_SPECIFIER_BASICS(TpsContainerArchiveFile, "psContainerArchiveFile",
                    "Path to the archive file of the container")
QX_SPECIFIER_BASICS(TpsContainerDestDir, "psContainerDestDir",
                    "Path of the destination directory of the container")
QX_SPECIFIER_BASICS(TpsDesktopMenu, "psDesktopMenu", "Path of the Desktop")
QX_SPECIFIER_BASICS(TpsInstallSource, "psInstallSource", "Path from which the user ran the install")
QX_SPECIFIER_BASICS(TpsMainInstall, "psMainInstall",
                    "Path of the destination directory of the TInstall")
QX_SPECIFIER_BASICS(TpsProgramFiles, "psProgramFiles", "Path of the program files directory")
QX_SPECIFIER_BASICS(TpsProgramMenu, "psProgramMenu",
                    "Path of the Programs folder under the Start Menu")
QX_SPECIFIER_BASICS(TpsStartMenu, "psStartMenu", "Path of Start Menu")
QX_SPECIFIER_BASICS(TpsStartupMenu, "psStartupMenu",
                    "Path of the Startup folder in the Programs folder under the Start Menu")
QX_SPECIFIER_BASICS(TpsSystem, "psSystem", "Path of system directory")
QX_SPECIFIER_BASICS(TpsMainArchiveFile, "psMainArchiveFile",
                    "Archive containing most or all non-internet installation files")
QX_SPECIFIER_BASICS(TpsWindow, "psWindow", "Path of the Windows directory")
QX_SPECIFIER_BASICS(TpsObjectLink, "psObjectLink",
                    "Path of the file or file group in the ObjectLink property")

#undef QX_SPECIFIER_BASICS

// Specifiers without a rule of their own accept every component.
void TpsCDEDLL::CheckComponent(TComponent*) {}
void TpsCommonFiles::CheckComponent(TComponent*) {}
void TpsDesktopMenu::CheckComponent(TComponent*) {}
void TpsProgramFiles::CheckComponent(TComponent*) {}
void TpsProgramMenu::CheckComponent(TComponent*) {}
void TpsStartMenu::CheckComponent(TComponent*) {}
void TpsStartupMenu::CheckComponent(TComponent*) {}
void TpsSystem::CheckComponent(TComponent*) {}
void TpsWindow::CheckComponent(TComponent*) {}

void TpsCDEDLL::GetPath(TComponent*, QString& path) {
  QString text = ReadRegString(hkLocalMachine, QString::fromLatin1(kCdeKey),
                               QStringLiteral("DLLPath"), QString());
  if (text.isEmpty()) text = Join(ExpandProgramFilesDir(), "Corvane/Common Files/CDE");
  // The first ';' item as it stands: its trailing delimiter is kept.
  path = text.section(QLatin1Char(';'), 0, 0);
}

void TpsCommonFiles::GetPath(TComponent*, QString& path) {
  path = ExpandCommonFilesDir();
}

void TpsContainerArchiveFile::CheckComponent(TComponent* component) {
  TInstallObject* object = RequireInstallObject(component, kFixedName);
  if (object->Container() == nullptr)
    throw IEPathSpecifier(QString::fromLatin1(kTextArchiveNoContainer), {NameOf(component)});
  if (object->Container()->AsFileRelated() == nullptr)
    throw IEPathSpecifier(QString::fromLatin1(kTextArchiveNotFileRelated), {NameOf(component)});
}

void TpsContainerArchiveFile::GetPath(TComponent* component, QString& path) {
  CheckComponent(component);
  path = RemoveBackslash(
      dynamic_cast<TInstallObject*>(component)->Container()->GetExpandedArchiveFile());
}

void TpsContainerDestDir::CheckComponent(TComponent* component) {
  TInstallObject* object = RequireInstallObject(component, kFixedName);
  if (object->Container() == nullptr)
    throw IEPathSpecifier(QString::fromLatin1(kTextDestDirNoContainer), {NameOf(component)});
}

void TpsContainerDestDir::GetPath(TComponent* component, QString& path) {
  CheckComponent(component);
  path = RemoveBackslash(dynamic_cast<TInstallObject*>(component)->Container()->GetExpandedDestDir());
}

void TpsDesktopMenu::GetPath(TComponent*, QString& path) {
  path = ExpandDesktopDir();
}

void TpsInstallSource::CheckComponent(TComponent* component) {
  RequireInstall(component);
}

void TpsInstallSource::GetPath(TComponent* component, QString& path) {
  path = RemoveBackslash(RequireInstall(component)->SourceDir());
}

void TpsMainInstall::CheckComponent(TComponent* component) {
  TCustomInstall* install = RequireInstall(component);
  if (component == install) throw IEPathSpecifier(QString::fromLatin1(kTextMainInstallSelf));
}

void TpsMainInstall::GetPath(TComponent* component, QString& path) {
  CheckComponent(component);
  path = RemoveBackslash(CurrentInstall()->GetExpandedDestDir());
}

void TpsProgramFiles::GetPath(TComponent*, QString& path) {
  path = ExpandProgramFilesDir();
}

void TpsProgramMenu::GetPath(TComponent*, QString& path) {
  path = ExpandProgramsDir();
}

void TpsStartMenu::GetPath(TComponent*, QString& path) {
  path = ExpandStartMenuDir();
}

void TpsStartupMenu::GetPath(TComponent*, QString& path) {
  path = ExpandStartupDir();
}

void TpsSystem::GetPath(TComponent*, QString& path) {
  path = RemoveBackslash(GetSystemDir());
}

void TpsMainArchiveFile::CheckComponent(TComponent* component) {
  RequireInstall(component);
}

void TpsMainArchiveFile::GetPath(TComponent* component, QString& path) {
  TCustomInstall* install = RequireInstall(component);
  if (install->HasSwitch(swSelfExtractor)) {
    const QString program = install->SwitchValue(swSelfExtractor);
    if (Trim(program).isEmpty()) throw IEInstall(QString::fromLatin1(kTextNoSelfExtractor));
    path = AddBackslash(install->SourceDir()) + program;
  } else {
    path = AddBackslash(install->SourceDir()) + QStringLiteral("files.1");
  }
}

void TpsWindow::GetPath(TComponent*, QString& path) {
  path = RemoveBackslash(GetWindowsDir());
}

void TpsObjectLink::CheckComponent(TComponent* component) {
  auto* container = dynamic_cast<TInstallContainer*>(component);
  if (container == nullptr || container->AsShellLink() == nullptr) {
    throw IEPathSpecifier(QString::fromLatin1(kTextWrongClass),
                          {NameOf(component), QStringLiteral("TCustomInstallShellLink"),
                           QString::fromLatin1(kFixedName)});
  }
  if (container->GetObjectLink() == nullptr)
    throw IEPathSpecifier(QString::fromLatin1(kTextNoObjectLink), {NameOf(component)});
}

void TpsObjectLink::GetPath(TComponent* component, QString& path) {
  CheckComponent(component);
  path = RemoveBackslash(
      dynamic_cast<TInstallContainer*>(component)->GetObjectLink()->GetInstalledPath());
}
