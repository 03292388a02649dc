#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Dialogs.h"
#include "platform/registry/Registry.h"
#include "platform/system/SelfRegister.h"
#include "setup/uninstall/Uninstaller.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <deque>
#include <memory>

namespace {

const QString kProduct = QStringLiteral("Trovaly 1.0");
const QString kLogKey = QString::fromLatin1(kUninstallKeyBase) + kProduct;
const QString kSettingsKey = QStringLiteral("\\Software\\QXTrovaly");

struct TRun {
  int exitCode = -1;
  QString out;
  QString err;
};

// The product name goes unquoted, as the uninstall command passes it.
TRun RunProgram(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  TRun run;
  if (!process.waitForFinished(30000)) return run;
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

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
  const QStringList logged = {program + QStringLiteral("/trovaly"),
                              program + QStringLiteral("/puzzles/LINNUT1.grd"),
                              menu + QStringLiteral("/trovaly.desktop")};
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
  EXPECT_EQ(qxtest::ReadBytes(userFile), QByteArray("mine"));
  EXPECT_TRUE(run.out.contains(QStringLiteral("Left in place: ") + userFile)) << run.out.toStdString();
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
  EXPECT_EQ(boxes, (QStringList{question, QStringLiteral("Trovaly 1.0 poistettiin.\n"
                                                         "Jätettiin paikalleen: ") + userFile}));
  EXPECT_TRUE(answers.empty());
  EXPECT_FALSE(QFileInfo::exists(game));
  EXPECT_FALSE(QFileInfo::exists(program));
  EXPECT_EQ(qxtest::ReadBytes(userFile), QByteArray("mine"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));
}

}  // namespace
