#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryApi.h"
#include "platform/system/ProgramGroups.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/RestartService.h"
#include "platform/system/SelfRegister.h"
#include "setup/uninstall/UninstallLog.h"
#include "setup/uninstall/Uninstaller.h"
#include "setup/uninstall/tests/UninstallTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

#include <deque>
#include <memory>

namespace {

using qxtest::RegistryLines;
using qxtest::RunProgram;
using qxtest::TreeState;
using qxtest::TRun;

const QString kProduct = QStringLiteral("Trovaly 1.0");
const QString kLogKey = QString::fromLatin1(kUninstallKeyBase) + kProduct;
const QString kSettingsKey = QStringLiteral("\\Software\\QXTrovaly");

TRun RunUninstall(const QStringList& arguments) {
  return RunProgram(QStringLiteral(QX_UNINSTALL), arguments);
}

// A run in this process, as the program makes it.
TRun RunInProcess(const QStringList& arguments, TAsking asking, const QString& program) {
  TRun run;
  QTextStream out(&run.out);
  QTextStream err(&run.err);
  const TUninstallRequest request = ParseUninstallArguments(arguments);
  run.exitCode = ::RunUninstall(request, asking, program, out, err);
  return run;
}

void WriteUninstallString(const QString& product, const QString& program) {
  const QString key = QString::fromLatin1(kUninstallKeyBase) + product;
  WriteRegString(hkLocalMachine, key, QStringLiteral("DisplayName"), product);
  WriteRegString(hkLocalMachine, key, QStringLiteral("UninstallString"),
                 program + QStringLiteral(" ") + product);
}

bool KeyExists(HKEY root, const QString& key) {
  TRegistry registry;
  registry.SetRootKey(root);
  return registry.KeyExists(key);
}

TEST(Uninstall, RemovesExactlyWhatTheLogNames) {
  const QString program = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly"));
  const QString menu = qxtest::TempPath(QStringLiteral("menu/Trovaly 1.0"));
  ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/puzzles")));
  ASSERT_TRUE(QDir().mkpath(menu));
  // A link on the desktop was all the desktop held: the desktop stays.
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  const QStringList logged = {program + QStringLiteral("/trovaly"),
                              program + QStringLiteral("/puzzles/LINNUT1.grd"),
                              menu + QStringLiteral("/trovaly.desktop"),
                              desktop + QStringLiteral("/Trovaly.desktop")};
  for (const QString& path : logged) {
    qxtest::WriteBytes(path, "installed");
    IfLogInstalledFile(kLogKey, path);
  }
  // A self-registering program is asked to unregister before it goes.
  const QString server = program + QStringLiteral("/palvelin");
  const QString marker = qxtest::TempPath(QStringLiteral("unregistered"));
  qxtest::WriteBytes(server, QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(marker).toUtf8());
  ASSERT_TRUE(QFile::setPermissions(server, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  IfLogSelfRegisteringFile(kLogKey, server, true);
  // The installed uninstaller, started as the menu entry starts it: no
  // words, so it finds its product by its own path.
  const QString uninstaller = program + QStringLiteral("/uninstall");
  ASSERT_TRUE(QFile::copy(QStringLiteral(QX_UNINSTALL), uninstaller));
  WriteUninstallString(kProduct, uninstaller);
  const QString userFile = program + QStringLiteral("/oma.grd");
  qxtest::WriteBytes(userFile, "mine");

  // The install's value and one the user set later in the same key.
  WriteRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Fontti"), QStringLiteral("Arial"));
  WriteRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Oma"), QStringLiteral("1"));
  const QString record = kLogKey + QStringLiteral("\\RegistryKeys\\RegistryKey1");
  WriteRegString(hkLocalMachine, record, QStringLiteral("Key"), kSettingsKey);
  WriteRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkCurrentUser);
  WriteRegString(hkLocalMachine, record + QStringLiteral("\\Entries"), QStringLiteral("Fontti"),
                 QStringLiteral("Arial"));
  WriteRegString(hkLocalMachine, kLogKey + QStringLiteral("\\RegistryKeys"),
                 QStringLiteral("Entries"), QStringLiteral("1"));

  const TRun run = RunProgram(uninstaller, {QStringLiteral("-y")});
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();

  for (const QString& path : logged) EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
  EXPECT_FALSE(QFileInfo::exists(uninstaller));
  EXPECT_FALSE(QFileInfo::exists(server));
  EXPECT_EQ(qxtest::ReadBytes(marker).trimmed(), QByteArray(kUnregServerSwitch));
  EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("/puzzles")));
  EXPECT_FALSE(QFileInfo::exists(menu));
  EXPECT_TRUE(QFileInfo(desktop).isDir()) << desktop.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(userFile), QByteArray("mine"));
  EXPECT_TRUE(run.out.contains(QStringLiteral("Kept, not installed: ") + userFile)) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains(
      QStringLiteral("Kept, it holds what the install did not write (value Oma): "
                     "HKEY_CURRENT_USER\\Software\\QXTrovaly")))
      << run.out.toStdString();
  EXPECT_TRUE(QFileInfo::exists(program));

  EXPECT_EQ(ReadRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Fontti"), QStringLiteral("-")),
            QStringLiteral("-"));
  EXPECT_EQ(ReadRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Oma"), QString()),
            QStringLiteral("1"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));
}

TEST(Uninstall, MissingLogIsAnErrorAndRemovesNothing) {
  const QString file = qxtest::TempPath(QStringLiteral("keep"));
  qxtest::WriteBytes(file, "x");
  const TRun run = RunUninstall({QStringLiteral("--yes"), QStringLiteral("Ei"), QStringLiteral("Ole")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains(QStringLiteral("No uninstall information for \"Ei Ole\"")))
      << run.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(file));
}

// A run without words removes the one product whose uninstall command
// starts this program, whatever path the command takes to it.
TEST(Uninstall, FindsItsProductByItsOwnPath) {
  const QString folder = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly"));
  const QString program = folder + QStringLiteral("/uninstall");
  const QString other = qxtest::TempPath(QStringLiteral("Ohjelmat/Muu/uninstall"));
  const QString link = qxtest::TempPath(QStringLiteral("Linkki"));
  qxtest::WriteBytes(program, "uninstaller");
  qxtest::WriteBytes(other, "other");
  ASSERT_TRUE(QFile::link(folder, link));
  const QString base = QString::fromLatin1(kUninstallKeyBase).chopped(1);
  const QString gone = folder + QStringLiteral("/poistettu");
  struct Row {
    const char* name;
    QList<QPair<QString, QString>> keys;  // product, the program its command starts
    int exitCode;
    QString removed;  // the product whose log goes
    QString message;  // on stdout when removed, else on stderr
  };
  const Row rows[] = {
      {"one, through a link",
       {{QStringLiteral("Muu 2.0"), other}, {kProduct, link + QStringLiteral("/uninstall")},
        {QStringLiteral("Vanha"), gone}},
       0, kProduct, kProduct + QStringLiteral(" was removed.")},
      {"none", {{QStringLiteral("Muu 2.0"), other}, {QStringLiteral("Vanha"), gone}}, 1, QString(),
       QStringLiteral("No uninstall information names this program (%1).").arg(program)},
      {"several",
       {{QStringLiteral("Trovaly 1.1"), program}, {kProduct, folder + QStringLiteral("/./uninstall")}},
       1, QString(), QStringLiteral("Several products name this program: Trovaly 1.0, Trovaly 1.1.")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    qxtest::WriteBytes(program, "uninstaller");
    for (const auto& [product, path] : row.keys) WriteUninstallString(product, path);
    const TRun run = RunInProcess({QStringLiteral("-y")}, akNoQuestion, program);
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_TRUE((row.exitCode == 0 ? run.out : run.err).contains(row.message))
        << run.out.toStdString() << run.err.toStdString();
    for (const auto& [product, path] : row.keys)
      EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, base + QStringLiteral("\\") + product),
                product != row.removed) << product.toStdString();
    EXPECT_EQ(QFileInfo::exists(program), row.removed.isEmpty());
    DeleteRegKeyTree(hkLocalMachine, base);
  }
}

// The menu entry's run: no terminal, so the question and the outcome come
// in boxes, answered here as the user would.
TEST(Uninstall, AsksInABoxAndShowsTheOutcome) {
  const QString folder = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly"));
  const QString program = folder + QStringLiteral("/uninstall");
  const QString game = folder + QStringLiteral("/trovaly");
  const QString userFile = folder + QStringLiteral("/oma.grd");
  qxtest::WriteBytes(program, "uninstaller");
  qxtest::WriteBytes(game, "installed");
  qxtest::WriteBytes(userFile, "mine");
  IfLogInstalledFile(kLogKey, game);
  WriteUninstallString(kProduct, program);
  // A key the install logged, where the game wrote a value of its own.
  WriteRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Oma"), QStringLiteral("1"));
  const QString record = kLogKey + QStringLiteral("\\RegistryKeys\\RegistryKey1");
  WriteRegString(hkLocalMachine, record, QStringLiteral("Key"), kSettingsKey);
  WriteRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkCurrentUser);

  auto app = std::make_unique<TApplication>();
  std::deque<TModalResult> answers = {mrNo, mrYes, mrOk};
  QStringList boxes;
  app->ModalDriver = [&](TObject* modal) {
    auto* box = dynamic_cast<TMessageForm*>(modal);
    if (box == nullptr) return;
    boxes << box->Text();
    if (answers.empty() || !box->ClickButton(answers.front())) {
      box->SetModalResult(mrCancel);
      return;
    }
    answers.pop_front();
  };
  const QString question = QStringLiteral("Poistetaanko Trovaly 1.0 ja kaikki sen osat?");

  TRun run = RunInProcess({}, akBox, program);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(boxes, QStringList{question});
  EXPECT_TRUE(run.out.contains(QStringLiteral("Nothing was removed."))) << run.out.toStdString();
  for (const QString& path : {program, game, userFile})
    EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));

  boxes.clear();
  run = RunInProcess({}, akBox, program);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  EXPECT_EQ(boxes,
            (QStringList{question,
                         QStringLiteral("Trovaly 1.0 poistettiin; alla luetellut säilytettiin.\n"
                                        "Säilytettiin, siinä on mitä asennus ei kirjoittanut "
                                        "(arvo Oma): HKEY_CURRENT_USER\\Software\\QXTrovaly\n"
                                        "Säilytettiin, ei asennettu: ") +
                             userFile + QStringLiteral("\nSäilytettiin, ei tyhjä: ") + folder}));
  EXPECT_TRUE(answers.empty());
  EXPECT_FALSE(QFileInfo::exists(game));
  EXPECT_FALSE(QFileInfo::exists(program));
  EXPECT_EQ(qxtest::ReadBytes(userFile), QByteArray("mine"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));
}

// What somebody else still needs stays and is named: a shared library that
// another program counts on (its count goes down), a help registration that
// names another folder, and the runner of the next login while other work
// waits for it; without such work the runner and its autostart entry go,
// and so does the product's own replacement waiting for the next login.
TEST(Uninstall, KeepsWhatOthersStillNeedAndSaysSo) {
  const QString sharedKey = QString::fromLatin1(kSharedDLLsKey);
  const QString helpKey = QString::fromLatin1(kHelpKey);
  const QString runOnce = QString::fromLatin1(kRunOnceKey);
  for (const bool workWaits : {false, true}) {
    SCOPED_TRACE(workWaits ? "work waits for the next login" : "no work waits");
    const QString program = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly"));
    const QString library = program + QStringLiteral("/libjaettu.so");
    const QString help = program + QStringLiteral("/trovaly10.html");
    const QString otherHelp = program + QStringLiteral("/muokkain.html");
    for (const QString& path : {library, help, otherHelp}) {
      qxtest::WriteBytes(path, "installed");
      IfLogInstalledFile(kLogKey, path);
    }
    WriteRegInteger(hkLocalMachine, sharedKey, library, 2);
    // A server that another program counts on stays, registered.
    const QString server = program + QStringLiteral("/palvelin");
    const QString marker = qxtest::TempPath(QStringLiteral("unregistered"));
    qxtest::WriteBytes(server, QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(marker).toUtf8());
    ASSERT_TRUE(QFile::setPermissions(server, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    IfLogSelfRegisteringFile(kLogKey, server, true);
    WriteRegInteger(hkLocalMachine, sharedKey, server, 2);
    IfRegisterHelpFile(QStringLiteral("trovaly10.html"), program);
    IfRegisterHelpFile(QStringLiteral("muokkain.html"), QStringLiteral("/muualla"));
    const QString runner = RestartRunnerPath();
    qxtest::WriteBytes(runner, "runner");
    qxtest::WriteBytes(RestartRunnerAutostartPath(), "[Desktop Entry]\n");
    if (workWaits)
      WriteRegString(hkCurrentUser, runOnce, QStringLiteral("Muu"), QStringLiteral("/muu/ohjelma"));
    // A new help waits for the next login to replace the one in use: it
    // would put a removed file back.
    const QString newHelp = program + QStringLiteral("/trovaly10.1");
    qxtest::WriteBytes(newHelp, "new");
    const QByteArray move = QByteArray::number(MOVEFILE_DELAY_UNTIL_REBOOT) + '\0' +
                            newHelp.toUtf8() + '\0' + help.toUtf8() + '\0' + '\0';
    ASSERT_EQ(WritePendingMove(QStringLiteral("Ohje"), move), ERROR_SUCCESS);
    ASSERT_EQ(PendingMoves().size(), 1u);

    const TRun run = RunInProcess({QStringLiteral("-y"), kProduct}, akNoQuestion, QString());
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const QString& path : {library, server}) {
      EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
      EXPECT_EQ(ReadRegInteger(hkLocalMachine, sharedKey, path, 0), 1) << path.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_TRUE(run.out.contains(QStringLiteral("Kept, other programs use it: ") + library))
        << run.out.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("Kept, not installed: ") + library));
    EXPECT_FALSE(QFileInfo::exists(help));
    EXPECT_FALSE(QFileInfo::exists(otherHelp));
    EXPECT_FALSE(QFileInfo::exists(newHelp));
    EXPECT_TRUE(PendingMoves().empty());
    EXPECT_EQ(ReadRegString(hkLocalMachine, helpKey, QStringLiteral("TROVALY10.HTML"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(ReadRegString(hkLocalMachine, helpKey, QStringLiteral("MUOKKAIN.HTML"), QString()),
              QStringLiteral("/muualla"));
    for (const QString& path : {runner, RestartRunnerAutostartPath()}) {
      EXPECT_EQ(QFileInfo::exists(path), workWaits) << path.toStdString();
      EXPECT_EQ(run.out.contains(path), workWaits) << run.out.toStdString();
    }
    EXPECT_EQ(QFileInfo::exists(QFileInfo(runner).absolutePath()), workWaits);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));
    DeleteRegKeyTree(hkCurrentUser, runOnce);
    DeleteRegKeyTree(hkLocalMachine, sharedKey);
  }
}

// Two runs that read the log at once: the one that comes second to a
// file's step finds it taken and leaves the count alone.
TEST(Uninstall, TwoRunsAtOnceTakeEachStepOnce) {
  const QString library = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly/libjaettu.so"));
  qxtest::WriteBytes(library, "shared");
  IfLogInstalledFile(kLogKey, library);
  const QString sharedKey = QString::fromLatin1(kSharedDLLsKey);
  WriteRegInteger(hkLocalMachine, sharedKey, library, 2);
  const TUninstallLog first = ReadUninstallLog(kLogKey, kProduct);
  const TUninstallLog second = ReadUninstallLog(kLogKey, kProduct);
  ASSERT_EQ(first.files.size(), 1);
  QString why;
  EXPECT_EQ(RemoveLoggedFile(first, first.files[0], {}, &why), TFileStep::Shared);
  EXPECT_EQ(RemoveLoggedFile(second, second.files[0], {}, &why), TFileStep::Taken);
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, sharedKey, library, 0), 1);
  EXPECT_TRUE(QFileInfo::exists(library));
  // A later run finds the step in the journal alone.
  const TUninstallLog later = ReadUninstallLog(kLogKey, kProduct);
  EXPECT_TRUE(later.files.isEmpty());
  ASSERT_EQ(later.done.size(), 1);
  EXPECT_EQ(later.done[0].path, library);
  EXPECT_TRUE(later.done[0].shared);
}

// A real install by the engine into the test's home, then the installed
// uninstaller: everything the install made goes (files, menu folder and
// group files, help and shared-library registrations, settings, log) but
// the file the user added, which stays and is reported.
TEST(Uninstall, AfterARealInstallNothingTheInstallMadeIsLeft) {
  const qxtest::TProductSetup setup = qxtest::PrepareProduct();
  const QStringList treeBefore = TreeState();
  const QStringList registryBefore = RegistryLines();
  qxtest::InstallProduct(setup);

  const QString product = qxtest::ProductFolder();
  const QString menu = ApplicationsMenuFolder() + QStringLiteral("/Trovaly 1.0");
  ASSERT_TRUE(QFileInfo::exists(product + QStringLiteral("/Trovaly 1.0/trovaly")));
  ASSERT_TRUE(QFileInfo::exists(menu + QStringLiteral("/Word Puzzles.URL")));
  ASSERT_TRUE(LinkGroupExists(menu));
  const QString uninstaller = product + QStringLiteral("/uninstall");
  ASSERT_TRUE(QFileInfo(uninstaller).isExecutable());
  // The user's puzzle, and the game's recent files beside the settings the
  // install wrote.
  const QString mine = product + QStringLiteral("/Trovaly 1.0/oma.vrb");
  qxtest::WriteBytes(mine, "oma");
  WriteRegString(hkCurrentUser, kSettingsKey + QStringLiteral("\\MenunViimeiset"),
                 QStringLiteral("Item_0"), mine);
  const QStringList registryKept = RegistryLines();
  ASSERT_NE(registryKept, registryBefore);

  const TRun run = RunProgram(uninstaller, {QStringLiteral("-y")});
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
  // What stays is named with why, and the end says so.
  EXPECT_EQ(run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            (QStringList{
                QStringLiteral("Kept, it holds what the install did not write (key MenunViimeiset): "
                               "HKEY_CURRENT_USER\\Software\\QXTrovaly"),
                QStringLiteral("Kept, not installed: ") + mine,
                QStringLiteral("Kept, not empty: ") + product + QStringLiteral("/Trovaly 1.0"),
                QStringLiteral("Kept, not empty: ") + product,
                QStringLiteral("Trovaly 1.0 was removed; what is listed above as kept stays.")}))
      << run.out.toStdString();

  QStringList treeAfter = TreeState();
  QStringList expected = treeBefore;
  expected << product + QStringLiteral("/") << product + QStringLiteral("/Trovaly 1.0/")
           << mine + QStringLiteral(" ") + QString::fromLatin1(QByteArray("oma").toHex());
  expected.sort();
  EXPECT_EQ(treeAfter.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
  EXPECT_EQ(qxtest::ReadBytes(qxtest::Registrations()),
            QByteArray(kRegServerSwitch) + '\n' + kUnregServerSwitch + '\n');
  // The settings the install wrote are gone; the game's own stay.
  QStringList registryExpected = registryBefore;
  for (const QString& line : registryKept)
    if (line.contains(QStringLiteral("MenunViimeiset"))) registryExpected << line;
  registryExpected.sort();
  QStringList registryAfter = RegistryLines();
  registryAfter.sort();
  EXPECT_EQ(registryAfter.join(QLatin1Char('\n')).toStdString(),
            registryExpected.join(QLatin1Char('\n')).toStdString());
}

}  // namespace
