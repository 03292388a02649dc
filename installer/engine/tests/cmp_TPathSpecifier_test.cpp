#include "installer/engine/cmp_TPathSpecifier.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer.h"
#include "installer/engine/routines_API.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/tests/InstallTestSupport.h"
#include "platform/classes/DataModule.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

namespace {

template <int Rank>
using TRanked = qxtest::TRankedObject<Rank>;

// Stand-ins for the later kinds: this unit only asks whether a container is
// file-related or a link (AsFileRelated / AsShellLink never dereferenced).
class TFakeFileRelated : public TRanked<rtFileContainer> {
 public:
  using qxtest::TRankedObject<rtFileContainer>::TRankedObject;
  TFileRelated* AsFileRelated() override { return reinterpret_cast<TFileRelated*>(this); }
  QString GetExpandedArchiveFile() override { return QStringLiteral("/arch/files.1/"); }
};
class TFakeInstalledFile : public TRanked<rtInstallFile> {
 public:
  using qxtest::TRankedObject<rtInstallFile>::TRankedObject;
  QString GetInstalledPath() override { return GetExpandedDestDir() + QStringLiteral("/trovaly"); }
};
class TFakeLink : public TRanked<rtLink> {
 public:
  using qxtest::TRankedObject<rtLink>::TRankedObject;
  TCustomInstallShellLink* AsShellLink() override {
    return reinterpret_cast<TCustomInstallShellLink*>(this);
  }
  TInstallContainer* GetObjectLink() const override { return target; }
  TInstallContainer* target = nullptr;
};

const QString kShell = QString::fromLatin1(kShellFoldersKey);
const QString kProgramFiles = QString::fromLatin1(kProgramFilesKey);
const QString kCde = QStringLiteral("\\Software\\Corvane\\Database Engine");

// A registry change a row makes first; a null value deletes.
struct TRegEdit {
  TRootKeys root;
  QString key;
  QString name;
  std::optional<QString> value;
};
TRegEdit Set(TRootKeys root, const QString& key, const char* name, const char* value) {
  return {root, key, QString::fromLatin1(name), QString::fromLatin1(value)};
}
TRegEdit Drop(TRootKeys root, const QString& key, const char* name) {
  return {root, key, QString::fromLatin1(name), std::nullopt};
}

void Apply(const std::vector<TRegEdit>& edits) {
  for (const TRegEdit& e : edits) {
    if (e.value) {
      WriteRegString(e.root, e.key, e.name, *e.value);
      continue;
    }
    TRegistry registry;
    SetRegistryRoot(registry, e.root);
    ASSERT_TRUE(registry.OpenKey(e.key, true));
    registry.DeleteValue(e.name);
  }
}

// The paths a row's expectation names: {W} the Windows folder, {PF} the
// program-files folder now, {DRIVE} the current directory's volume.
QString Expand(QString text) {
  text.replace(QStringLiteral("{W}"), GetWindowsDir());
  text.replace(QStringLiteral("{DRIVE}"), CurrentDriveDir());
  text.replace(QStringLiteral("{PF}"), ExpandProgramFilesDir());
  return text;
}

enum TWho { kNone, kLone, kChild, kPlain, kTheInstall, kInFileRelated, kLink, kLinkNoTarget };
enum TInstallSetup { kNoInstall, kWithInstall, kSelfExtract, kBlankSelfExtract };

// The objects a row may ask for.
class TWorld {
 public:
  explicit TWorld(TInstallSetup setup) {
    if (setup != kNoInstall) {
      QStringList line{QStringLiteral("-s/src/")};
      if (setup == kSelfExtract) line << QStringLiteral("-eSetup.exe");
      if (setup == kBlankSelfExtract) line << QStringLiteral("-e ");
      SetInstallCommandLine(line);
      install = Named<TInstall>("Install1");
      install->Loaded();
    }
    box = Named<TRanked<rtFileContainer>>("Box");
    box->SetDestDir(QStringLiteral("/box/"));
    child = Named<TRanked<rtInstallFile>>("Child");
    child->SetContainer(box);
    lone = Named<TRanked<rtInstallFile>>("Lone");
    plain = new TComponent(&module);
    plain->SetName(QStringLiteral("Plain"));
    auto* related = Named<TFakeFileRelated>("Related");
    inRelated = Named<TRanked<rtInstallFile>>("InRelated");
    inRelated->SetContainer(related);
    auto* target = Named<TFakeInstalledFile>("Target");
    target->SetDestDir(QStringLiteral("/dest"));
    link = Named<TFakeLink>("Link");
    link->target = target;
    linkNoTarget = Named<TFakeLink>("LinkNoTarget");
  }

  TComponent* Who(TWho who) {
    switch (who) {
      case kNone: return nullptr;
      case kLone: return lone;
      case kChild: return child;
      case kPlain: return plain;
      case kTheInstall: return install;
      case kInFileRelated: return inRelated;
      case kLink: return link;
      case kLinkNoTarget: return linkNoTarget;
    }
    return nullptr;
  }

  TDataModule module{nullptr};
  TInstall* install = nullptr;
  TInstallObject* box = nullptr;
  TInstallObject* child = nullptr;
  TInstallObject* lone = nullptr;
  TComponent* plain = nullptr;
  TInstallObject* inRelated = nullptr;
  TFakeLink* link = nullptr;
  TFakeLink* linkNoTarget = nullptr;

 private:
  template <class T>
  T* Named(const char* name) {
    auto* object = new T(&module);
    object->SetName(QString::fromLatin1(name));
    return object;
  }
};

// ---------------------------------------------------------------------------
// Specifiers.

struct TSpecifierCase {
  const char* title;
  std::function<TCustomPathSpecifier*(TDataModule&)> find;
  TWho who;
  TInstallSetup setup;
  std::vector<TRegEdit> edits;
  QString expected;  // the path, or the error text
  bool raises;
};
void PrintTo(const TSpecifierCase& c, std::ostream* os) { *os << c.title; }

template <class T>
std::function<TCustomPathSpecifier*(TDataModule&)> SpecifierOf() {
  return [](TDataModule& m) -> TCustomPathSpecifier* {
    return EnsureSpecifier<T>(&m, true);
  };
}

class SpecifierPaths : public testing::TestWithParam<TSpecifierCase> {};

TEST_P(SpecifierPaths, GiveTheirPathOrTheirError) {
  const TSpecifierCase& row = GetParam();
  TWorld world(row.setup);
  Apply(row.edits);
  TCustomPathSpecifier* specifier = row.find(world.module);
  QString path = QStringLiteral("<unset>");
  QString error;
  try {
    specifier->GetPath(world.Who(row.who), path);
  } catch (const Exception& e) {
    error = e.Message();
  }
  if (row.raises) {
    EXPECT_EQ(error, row.expected);
  } else {
    EXPECT_EQ(error, QString());
    EXPECT_EQ(path, Expand(row.expected));
  }
}

const QString kWrongObject =
    QStringLiteral("Plain must be a TInstallObject to use the psContainerDestDir path specifier");

INSTANTIATE_TEST_SUITE_P(
    Table, SpecifierPaths,
    testing::Values(
        TSpecifierCase{"CDE first item keeps its delimiter", SpecifierOf<TpsCDEDLL>(), kNone, kNoInstall,
                  {Set(hkLocalMachine, kCde, "DLLPath", "/cde/one/;/cde/two")}, "/cde/one/", false},
        TSpecifierCase{"CDE single", SpecifierOf<TpsCDEDLL>(), kNone, kNoInstall,
                  {Set(hkLocalMachine, kCde, "DLLPath", "/cde/x")}, "/cde/x", false},
        TSpecifierCase{"CDE default under program files", SpecifierOf<TpsCDEDLL>(), kNone, kNoInstall,
                  {Set(hkLocalMachine, kProgramFiles, "ProgramFilesDir", "/pf/")},
                  "/pf/Corvane/Common Files/CDE", false},
        TSpecifierCase{"common files", SpecifierOf<TpsCommonFiles>(), kNone, kNoInstall,
                  {Set(hkLocalMachine, kProgramFiles, "CommonFilesDir", "/pf/cf/")}, "/pf/cf", false},
        TSpecifierCase{"common files default", SpecifierOf<TpsCommonFiles>(), kNone, kNoInstall,
                  {Drop(hkLocalMachine, kProgramFiles, "CommonFilesDir")},
                  "{DRIVE}/Program Files/Common Files", false},
        TSpecifierCase{"container archive", SpecifierOf<TpsContainerArchiveFile>(), kInFileRelated, kNoInstall,
                  {}, "/arch/files.1", false},
        TSpecifierCase{"container archive, no container", SpecifierOf<TpsContainerArchiveFile>(), kLone,
                  kNoInstall, {},
                  "Cannot use ddContainerArchiveFile for Lone unless you assign a Container", true},
        TSpecifierCase{"container archive, not file-related", SpecifierOf<TpsContainerArchiveFile>(), kChild,
                  kNoInstall, {},
                  "Cannot use the ddContainerArchiveFile path specifier for Child because the "
                  "Container is not a TFileRelated descendant",
                  true},
        TSpecifierCase{"container archive, not an install object", SpecifierOf<TpsContainerArchiveFile>(),
                  kPlain, kNoInstall, {},
                  "Plain must be a TInstallObject to use the psContainerArchiveFile path specifier",
                  true},
        TSpecifierCase{"container dest dir", SpecifierOf<TpsContainerDestDir>(), kChild, kNoInstall, {}, "/box",
                  false},
        TSpecifierCase{"container dest dir, no container", SpecifierOf<TpsContainerDestDir>(), kLone,
                  kNoInstall, {}, "Cannot use ddContainerDestDir for Lone unless you assign a Container",
                  true},
        TSpecifierCase{"container dest dir, nil", SpecifierOf<TpsContainerDestDir>(), kNone, kNoInstall, {},
                  " must be a TInstallObject to use the psContainerDestDir path specifier", true},
        TSpecifierCase{"container dest dir, wrong class", SpecifierOf<TpsContainerDestDir>(), kPlain,
                  kNoInstall, {}, kWrongObject, true},
        TSpecifierCase{"desktop", SpecifierOf<TpsDesktopMenu>(), kNone, kNoInstall,
                  {Set(hkCurrentUser, kShell, "Desktop", "/home/u/Desktop/")}, "/home/u/Desktop", false},
        TSpecifierCase{"desktop empty value", SpecifierOf<TpsDesktopMenu>(), kNone, kNoInstall,
                  {Set(hkCurrentUser, kShell, "Desktop", "")}, "", false},
        TSpecifierCase{"desktop default", SpecifierOf<TpsDesktopMenu>(), kNone, kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Desktop")}, "{W}/Desktop", false},
        TSpecifierCase{"install source", SpecifierOf<TpsInstallSource>(), kChild, kWithInstall, {}, "/src", false},
        TSpecifierCase{"install source without install", SpecifierOf<TpsInstallSource>(), kChild, kNoInstall,
                  {}, "There is no TInstall component so the path specifier could not be expanded for Child",
                  true},
        TSpecifierCase{"main install", SpecifierOf<TpsMainInstall>(), kChild, kWithInstall, {},
                  "{PF}/MyApplication", false},
        TSpecifierCase{"main install for the install", SpecifierOf<TpsMainInstall>(), kTheInstall, kWithInstall,
                  {}, "Cannot use the ddMainInstallDir path specifier for a TInstall component", true},
        TSpecifierCase{"main install without install", SpecifierOf<TpsMainInstall>(), kLone, kNoInstall, {},
                  "There is no TInstall component so the path specifier could not be expanded for Lone",
                  true},
        TSpecifierCase{"program files", SpecifierOf<TpsProgramFiles>(), kNone, kNoInstall,
                  {Set(hkLocalMachine, kProgramFiles, "ProgramFilesDir", "/opt/")}, "/opt", false},
        TSpecifierCase{"program files default", SpecifierOf<TpsProgramFiles>(), kNone, kNoInstall,
                  {Drop(hkLocalMachine, kProgramFiles, "ProgramFilesDir")}, "{DRIVE}/Program Files",
                  false},
        TSpecifierCase{"programs", SpecifierOf<TpsProgramMenu>(), kNone, kNoInstall,
                  {Set(hkCurrentUser, kShell, "Programs", "/menu/Programs")}, "/menu/Programs", false},
        TSpecifierCase{"programs default under the start menu", SpecifierOf<TpsProgramMenu>(), kNone,
                  kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Programs"), Set(hkCurrentUser, kShell, "Start Menu", "/menu/")},
                  "/menu/Programs", false},
        TSpecifierCase{"start menu", SpecifierOf<TpsStartMenu>(), kNone, kNoInstall,
                  {Set(hkCurrentUser, kShell, "Start Menu", "/menu")}, "/menu", false},
        TSpecifierCase{"start menu default", SpecifierOf<TpsStartMenu>(), kNone, kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Start Menu")}, "{W}/Startmen", false},
        TSpecifierCase{"startup", SpecifierOf<TpsStartupMenu>(), kNone, kNoInstall,
                  {Set(hkCurrentUser, kShell, "Startup", "/auto/")}, "/auto", false},
        TSpecifierCase{"startup default", SpecifierOf<TpsStartupMenu>(), kNone, kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Startup")}, "{W}/Startup", false},
        TSpecifierCase{"system", SpecifierOf<TpsSystem>(), kNone, kNoInstall, {}, "{W}/system", false},
        TSpecifierCase{"windows", SpecifierOf<TpsWindow>(), kNone, kNoInstall, {}, "{W}", false},
        TSpecifierCase{"main archive", SpecifierOf<TpsMainArchiveFile>(), kChild, kWithInstall, {},
                  "/src/files.1", false},
        TSpecifierCase{"main archive self-extracting", SpecifierOf<TpsMainArchiveFile>(), kChild, kSelfExtract,
                  {}, "/src/Setup.exe", false},
        TSpecifierCase{"main archive blank -e", SpecifierOf<TpsMainArchiveFile>(), kChild, kBlankSelfExtract,
                  {},
                  "You forgot to pass in the name of the self-extracting executable. Usage "
                  "example: \"-eSetup.exe\"",
                  true},
        TSpecifierCase{"main archive without install", SpecifierOf<TpsMainArchiveFile>(), kChild, kNoInstall,
                  {}, "There is no TInstall component so the path specifier could not be expanded for Child",
                  true},
        TSpecifierCase{"object link to a file", SpecifierOf<TpsObjectLink>(), kLink, kNoInstall, {},
                  "/dest/trovaly", false},
        TSpecifierCase{"object link without target", SpecifierOf<TpsObjectLink>(), kLinkNoTarget, kNoInstall,
                  {}, "Cannot use ddObjectLink for LinkNoTarget unless you assign a value to ObjectLink",
                  true},
        TSpecifierCase{"object link for a non-link", SpecifierOf<TpsObjectLink>(), kChild, kNoInstall, {},
                  "Child must be a TCustomInstallShellLink to use the psObjectLink path specifier",
                  true}));

TEST(SpecifierPaths, ErrorsAreIEPathSpecifierOrIEInstall) {
  TWorld world(kBlankSelfExtract);
  auto* destDir = EnsureSpecifier<TpsContainerDestDir>(&world.module, true);
  QString path;
  EXPECT_THROW(destDir->GetPath(world.lone, path), IEPathSpecifier);
  EXPECT_THROW(destDir->CheckComponent(world.plain), IEPathSpecifier);
  EXPECT_NO_THROW(destDir->CheckComponent(world.child));
  auto* archive = EnsureSpecifier<TpsMainArchiveFile>(&world.module, true);
  EXPECT_THROW(archive->PathFor(world.child), IEInstall);
}

TEST(SpecifierDescriptions, AreTheFixedTexts) {
  TDataModule module(nullptr);
  CreateStandardSpecifiers(&module, true);
  auto* link = EnsureSpecifier<TpsObjectLink>(&module, true);
  const std::vector<std::pair<const char*, const char*>> rows{
      {"psCDEDLL", "Corvane Database Engine DLL Path"},
      {"psCommonFiles", "Path of the common files directory under the program files directory"},
      {"psContainerArchiveFile", "Path to the archive file of the container"},
      {"psContainerDestDir", "Path of the destination directory of the container"},
      {"psDesktopMenu", "Path of the Desktop"},
      {"psInstallSource", "Path from which the user ran the install"},
      {"psMainInstall", "Path of the destination directory of the TInstall"},
      {"psProgramFiles", "Path of the program files directory"},
      {"psProgramMenu", "Path of the Programs folder under the Start Menu"},
      {"psStartMenu", "Path of Start Menu"},
      {"psStartupMenu", "Path of the Startup folder in the Programs folder under the Start Menu"},
      {"psSystem", "Path of system directory"},
      {"psMainArchiveFile", "Archive containing most or all non-internet installation files"},
      {"psWindow", "Path of the Windows directory"},
      {"psObjectLink", "Path of the file or file group in the ObjectLink property"}};
  ASSERT_EQ(StandardPathSpecList().Count(), 15);
  for (int i = 0; i < 15; ++i) {
    TCustomPathSpecifier* specifier = StandardPathSpecList().Items(i);
    QString text;
    specifier->GetDescription(text);
    EXPECT_EQ(specifier->Name(), rows[static_cast<std::size_t>(i)].first);
    EXPECT_EQ(specifier->FixedName(), rows[static_cast<std::size_t>(i)].first);
    EXPECT_EQ(text, rows[static_cast<std::size_t>(i)].second);
  }
  EXPECT_EQ(StandardPathSpecList().Items(14), link);

  auto* user = new TPathSpecifier(&module);
  QString text;
  user->GetDescription(text);
  EXPECT_EQ(text, "My cool new path specifier");
  EXPECT_EQ(user->FixedName(), QString());
  EXPECT_EQ(user->PathFor(nullptr), QString());  // no handler: empty
  user->OnGetPath = [](TComponent* c, QString& path) {
    EXPECT_TRUE(path.isEmpty());
    path = QStringLiteral("/user/") + (c != nullptr ? c->Name() : QStringLiteral("none"));
  };
  EXPECT_EQ(user->PathFor(&module), "/user/");
  EXPECT_EQ(user->PathFor(link), "/user/psObjectLink");
  EXPECT_EQ(PathSpecifierList().Count(), 16);
}

TEST(SpecifierLists, HoldTheLiveSpecifiersAndFindByClass) {
  EXPECT_EQ(
      [] {
        try {
          PathSpecifierList().Add(nullptr);
        } catch (const IEPathSpecifierList& e) {
          return e.Message();
        }
        return QString();
      }(),
      "Tried to add a nil object to the path specifier list");
  EXPECT_THROW(StandardPathSpecList().FindByClass<TpsWindow>(), IEPathSpecifier);
  TDataModule module(nullptr);
  auto* user = new TPathSpecifier(&module);
  auto* window = EnsureSpecifier<TpsWindow>(&module, true);
  EXPECT_EQ(EnsureSpecifier<TpsWindow>(&module, true), window);  // found, not made
  EXPECT_EQ(StandardPathSpecList().FindByClass<TpsWindow>(), window);
  EXPECT_EQ(PathSpecifierList().FindByClass<TCustomPathSpecifier>(), user);
  EXPECT_EQ(StandardPathSpecList().FindByClass<TStandardPathSpecifier>(), window);
  EXPECT_FALSE(StandardPathSpecList().Contains(user));
  window->Free();
  user->Free();
  EXPECT_EQ(PathSpecifierList().Count(), 0);
  EXPECT_EQ(StandardPathSpecList().Count(), 0);
  try {
    StandardPathSpecList().FindByClass<TpsWindow>();
    ADD_FAILURE() << "found a freed specifier";
  } catch (const IEPathSpecifier& e) {
    EXPECT_EQ(e.Message(), "Could not find the path specifier");
  }
}

TEST(SpecifierLists, CreateStandardSpecifiersFillsOnlyTheGaps) {
  TDataModule module(nullptr);
  CreateStandardSpecifiers(nullptr, true);
  EXPECT_EQ(StandardPathSpecList().Count(), 0);
  CreateStandardSpecifiers(&module, true);
  EXPECT_EQ(StandardPathSpecList().Count(), 14);
  module.FindComponent(QStringLiteral("psWindow"))->Free();
  CreateStandardSpecifiers(&module, true);
  EXPECT_EQ(StandardPathSpecList().Count(), 14);
  EXPECT_NE(module.FindComponent(QStringLiteral("psWindow")), nullptr);
}

// ---------------------------------------------------------------------------
// ExpandPathSpecifierText.

struct TTextCase {
  const char* text;
  const char* path;
  const char* expected;
};
class SpecifierText : public testing::TestWithParam<TTextCase> {};

TEST_P(SpecifierText, ReplacesPercentP) {
  EXPECT_EQ(ExpandPathSpecifierText(QString::fromLatin1(GetParam().text),
                                    QString::fromLatin1(GetParam().path)),
            QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Table, SpecifierText,
                         testing::Values(TTextCase{"%p/Data", "/Prog", "/Prog/Data"},
                                         TTextCase{"%P and %p", "X", "X and X"},
                                         TTextCase{"100%%", "X", "100%"},
                                         TTextCase{"%x", "X", "x"},
                                         TTextCase{"%%p", "X", "%p"},
                                         TTextCase{"end%", "X", "end"},
                                         TTextCase{"", "X", ""},
                                         TTextCase{"plain", "X", "plain"}));

// ---------------------------------------------------------------------------
// Meta variables.

struct TMetaCase {
  const char* text;
  TWho who;
  TInstallSetup setup;
  std::vector<TRegEdit> edits;
  QString expected;
  const char* error;  // nullptr: none
};
void PrintTo(const TMetaCase& c, std::ostream* os) { *os << c.text; }

class MetaVariables : public testing::TestWithParam<TMetaCase> {};

TEST_P(MetaVariables, ExpandOrRaise) {
  const TMetaCase& row = GetParam();
  TWorld world(row.setup);
  Apply(row.edits);
  auto* component = dynamic_cast<TInstallContainer*>(world.Who(row.who));
  QString result;
  QString error;
  try {
    result = ExpandMetaVariables(QString::fromLatin1(row.text), component);
  } catch (const EAICannotExpandContainerDirMV& e) {
    error = QStringLiteral("container: ") + e.Message();
  } catch (const EAICannotExpandInstallDirMV& e) {
    error = QStringLiteral("install: ") + e.Message();
  }
  if (row.error != nullptr) {
    EXPECT_EQ(error, QString::fromLatin1(row.error));
  } else {
    EXPECT_EQ(error, QString());
    EXPECT_EQ(result, Expand(row.expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MetaVariables,
    testing::Values(
        TMetaCase{"%w/notepad.exe", kNone, kNoInstall, {}, "{W}/notepad.exe", nullptr},
        TMetaCase{"%W", kNone, kNoInstall, {}, "{W}", nullptr},
        TMetaCase{"%s/x", kNone, kNoInstall, {}, "{W}/system/x", nullptr},
        TMetaCase{"100%%", kNone, kNoInstall, {}, "100%", nullptr},
        TMetaCase{"a%xb", kNone, kNoInstall, {}, "ab", nullptr},
        TMetaCase{"tail%", kNone, kNoInstall, {}, "tail", nullptr},
        TMetaCase{"%%%w", kNone, kNoInstall, {}, "%{W}", nullptr},
        TMetaCase{"%b", kNone, kNoInstall, {Set(hkCurrentUser, kShell, "Programs", "/menu/P/")},
                  "/menu/P", nullptr},
        TMetaCase{"%B", kNone, kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Programs"), Set(hkCurrentUser, kShell, "Start Menu", "/menu")},
                  "/menu/Programs", nullptr},
        TMetaCase{"%b", kNone, kNoInstall,
                  {Drop(hkCurrentUser, kShell, "Programs"), Drop(hkCurrentUser, kShell, "Start Menu")},
                  "{W}/Startmen/Programs", nullptr},
        TMetaCase{"%m", kNone, kNoInstall, {Set(hkCurrentUser, kShell, "Start Menu", "/sm/")}, "/sm", nullptr},
        TMetaCase{"%d", kNone, kNoInstall, {Set(hkCurrentUser, kShell, "Desktop", "/desk")}, "/desk", nullptr},
        TMetaCase{"%d", kNone, kNoInstall, {Drop(hkCurrentUser, kShell, "Desktop")}, "{W}/Desktop", nullptr},
        TMetaCase{"%f", kNone, kNoInstall, {Set(hkLocalMachine, kProgramFiles, "CommonFilesDir", "/cf/")},
                  "/cf", nullptr},
        TMetaCase{"%F", kNone, kNoInstall, {Drop(hkLocalMachine, kProgramFiles, "CommonFilesDir")},
                  "{DRIVE}/Program Files/Common Files", nullptr},
        TMetaCase{"%p", kNone, kNoInstall, {Set(hkLocalMachine, kProgramFiles, "ProgramFilesDir", "/opt/")},
                  "/opt", nullptr},
        TMetaCase{"%p", kNone, kNoInstall, {Drop(hkLocalMachine, kProgramFiles, "ProgramFilesDir")},
                  "{DRIVE}/Program Files", nullptr},
        TMetaCase{"%a/run", kChild, kNoInstall, {}, "/box/run", nullptr},
        TMetaCase{"%A", kLone, kNoInstall, {}, "", nullptr},
        TMetaCase{"%c/bin", kChild, kNoInstall, {}, "/box/bin", nullptr},
        TMetaCase{"%i/x", kChild, kWithInstall, {}, "{PF}/MyApplication/x", nullptr},
        TMetaCase{"%I", kNone, kWithInstall, {}, "{PF}/MyApplication", nullptr},
        TMetaCase{"%a", kNone, kNoInstall, {}, "",
                  "container: Cannot expand the %a meta variable because the component is Nil"},
        TMetaCase{"%c", kNone, kNoInstall, {}, "",
                  "container: Cannot expand the %c meta variable because the component is Nil"},
        TMetaCase{"%c", kLone, kNoInstall, {}, "",
                  "container: Cannot expand the %c meta variable because the Container property is Nil"},
        TMetaCase{"%i", kChild, kNoInstall, {}, "",
                  "install: Cannot expand the %i meta variable because there is no TInstall component"}));

TEST(MetaVariables, FailureTextsAreTranslatedAndDeriveFromEAI) {
  SetExceptionTranslator([](const QString& text) { return QStringLiteral("[fi] ") + text; });
  try {
    ExpandMetaVariables(QStringLiteral("%i"), nullptr);
    ADD_FAILURE() << "nothing raised";
  } catch (const EAI& e) {
    EXPECT_EQ(e.Message(),
              "[fi] Cannot expand the %i meta variable because there is no TInstall component");
  }
}

}  // namespace
