#pragma once
// A product's setup as a user gets it, built in the test: a form file's
// script (the headless installation program's "script.form") built with -b
// into setup.1, files.1 and setup.exe, which the test then runs as a
// program of its own in the test's XDG tree.

#include "InstallHostTestSupport.h"
#include "InstallTestSupport.h"
#include "OndxCompressTestSupport.h"
#include "install/ScriptForm.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/routines_Registry.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qxtest {

struct TSetupRun {
  int exitCode = -1;  // -2: killed or crashed
  QString errors;
};

// The install file object name of a file of group.
inline QString FileObject(const QString& src, const QString& group, const QString& name,
                          const QString& extra = {}) {
  const QString object = group + QLatin1Char('_') + QString(name).replace(QLatin1Char('.'), QLatin1Char('_'));
  return ScriptFormFile(object, group, src, name, extra);
}

// The whole script of a product: two file groups (the first with three
// files, the second with a library that registers itself and a help file),
// three registry values and a menu folder with program, help and web
// links; sharedExtra goes into the last file of the first group.
inline QByteArray ProductForm(const QString& src, const QString& sharedExtra = {}) {
  return (ScriptFormHead(QStringLiteral("    RunAutomatic = False\n"),
                         QStringLiteral("  object psProgramMenu: TpsProgramMenu\n  end\n")) +
          QStringLiteral(
              "  object Lib: TInstallFileGroup\n"
              "    Container = Install1\n"
              "    DestDirType = psContainerDestDir\n"
              "    DestDir = '/lib'\n"
              "    ArchiveFileType = psContainerArchiveFile\n"
              "    GroupName = 'Lib'\n"
              "  end\n"
              "%1%2%3%4%5"
              "  object Settings: TInstallRegistry\n"
              "    Container = Install1\n"
              "    Entries = <\n"
              "      item\n        EntryType = retInteger\n        Ident = 'fon_koko'\n"
              "        Integer = 11\n      end\n"
              "      item\n        EntryType = retText\n        Ident = 'fon_nimi'\n"
              "        Text = 'Times New Roman'\n      end\n"
              "      item\n        EntryType = retInteger\n        Ident = 'fon_vari'\n"
              "        Integer = 128\n      end>\n"
              "    Key = '\\Software\\QXTrovaly\\Ruudukko'\n"
              "    RootKey = hkCurrentUser\n"
              "  end\n"
              "  object MainGroup: TMainLinkGroup\n"
              "    Container = Install1\n"
              "    DestDir = '/Trovaly'\n"
              "  end\n"
              "  object PeliLink: TInstallMainLink\n"
              "    LinkName = 'Trovaly.lnk'\n"
              "    ObjectLocation = '/Trovaly/Game/f0.bin'\n"
              "    ObjectLocationType = psProgramFiles\n"
              "  end\n"
              "  object OhjeLink: TInstallMainLink\n"
              "    LinkName = 'Ohje Trovaly.lnk'\n"
              "    ObjectLocation = '/Trovaly/lib/trovaly10.hlp'\n"
              "    ObjectLocationType = psProgramFiles\n"
              "  end\n"
              "  object WebLink: TInstallMainLink\n"
              "    LinkName = 'Kotisivu.URL'\n"
              "    ObjectLocation = 'http://www.example.com/trovaly'\n"
              "  end\n"
              "end\n")
              .arg(FileObject(src, QStringLiteral("Game"), QStringLiteral("f0.bin")),
                   FileObject(src, QStringLiteral("Game"), QStringLiteral("f1.bin")),
                   FileObject(src, QStringLiteral("Game"), QStringLiteral("f2.bin"), sharedExtra),
                   FileObject(src, QStringLiteral("Lib"), QStringLiteral("selfreg.ocx"),
                              QStringLiteral("    ActiveX = True\n")),
                   FileObject(src, QStringLiteral("Lib"), QStringLiteral("trovaly10.hlp"))))
      .toUtf8();
}

class TBuiltSetup : public testing::Test {
 protected:
  void SetUp() override {
    setupDir_ = TempPath(QStringLiteral("setupdir"));
    build_ = TempPath(QStringLiteral("out"));
    dest_ = TempPath(QStringLiteral("programfiles/Trovaly/Game"));
    src_ = TempPath(QStringLiteral("src"));
    const QString library = TempPath(QStringLiteral("library"));
    QDir().mkpath(setupDir_);
    QDir().mkpath(library);
    QDir().mkpath(src_);
    WriteBytes(library + QStringLiteral("/Q32V31.TXT"), "");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_LOADER_PROGRAM), library + QStringLiteral("/OndrixLoadProgram")));
    WriteRegString(hkCurrentUser, QStringLiteral("\\Software\\Corvane\\Tessera\\3.0\\Library"),
                   QStringLiteral("SearchPath"), library);
    program_ = setupDir_ + QStringLiteral("/velmio");
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_HEADLESS_SETUP), program_));
    for (int i = 0; i < 3; ++i) {
      names_ << QStringLiteral("f%1.bin").arg(i);
      contents_ << octest::Content(120000 + 5000 * i, 40 + static_cast<std::uint32_t>(i));
      WriteBytes(src_ + QLatin1Char('/') + names_.back(), contents_.back());
    }
    ASSERT_TRUE(QFile::copy(QStringLiteral(QX_SELFREG_LIBRARY), src_ + QStringLiteral("/selfreg.ocx")));
    WriteBytes(src_ + QStringLiteral("/trovaly10.hlp"), "help");
    form_ = setupDir_ + QStringLiteral("/script.form");
    WriteBytes(setupDir_ + QStringLiteral("/BUILD.INF"), build_.toUtf8() + "\n");
  }

  // The product script (ProductForm), built.
  void BuildProduct(const QString& sharedExtra = QStringLiteral("    UpdateDLLCounter = True\n")) {
    WriteBytes(form_, ProductForm(src_, sharedExtra));
    BuildSetup();
  }

  // -b in process, as the program started with it does; error: the
  // message the build ends with (none: it builds).
  void BuildSetup(const QString& error = {}) {
    auto host = std::make_unique<TTestHost>(program_);
    TTestHost* raw = host.get();
    SetInstallHost(std::move(host));
    std::deque<TScriptedPrompter::TStep> steps;
    if (!error.isEmpty()) steps.push_back({TPromptId::ShowError, {TPromptButton::Ok, {}}});
    auto prompter = std::make_unique<TScriptedPrompter>(steps);
    TScriptedPrompter* asked = prompter.get();
    SetInstallPrompter(std::move(prompter));
    SetInstallCommandLine({QStringLiteral("-b")});
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    RegisterInstallRegistryClasses();
    RegisterInstallShellLinkClasses();
    {
      TOndxCompress compressor(nullptr);
      // The installation program is large in a sanitized build.
      compressor.SetCompressionLevel(colFastest);
      TDataModule root(nullptr);
      ReadRootComponentFile(&root, form_);
      CurrentInstall()->PresetupFiles()->Add(form_);
      // The setup carries the runner that finishes its work at the next login.
      CurrentInstall()->PresetupFiles()->Add(QStringLiteral(QX_RUNONCE_RUNNER));
      ASSERT_EQ(raw->queued.size(), 1u);
      raw->RunQueued();
      EXPECT_EQ(raw->exitCode, error.isEmpty() ? 0 : 1);
      EXPECT_TRUE(asked->Done());
      for (const TPromptRequest& r : asked->Requests)
        if (r.text != error) ADD_FAILURE() << r.text.toStdString();
    }
    SetInstallPrompter(nullptr);
    SetInstallHost(nullptr);
  }

  QString Exe() const { return build_ + QStringLiteral("/setup.exe"); }

  // Runs a program in the test's tree with more environment; errors are
  // what it printed on stderr. boundMs: how long it may take on an idle
  // machine (WaitMs).
  static TSetupRun RunProgram(const QString& exe, const QStringList& arguments = {},
                              const std::vector<std::pair<const char*, QString>>& more = {},
                              int boundMs = PeerWaitBoundMs) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));  // the loader's errors stay on stderr
    for (const auto& [name, value] : more) env.insert(QLatin1String(name), value);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(TempRoot());
    process.start(exe, arguments);
    TSetupRun run;
    if (!process.waitForFinished(WaitMs(boundMs))) {
      process.kill();
      process.waitForFinished();
      return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
  }
  TSetupRun RunSetup(const QString& exe, const QStringList& arguments = {},
                     const std::vector<std::pair<const char*, QString>>& more = {}) {
    return RunProgram(exe, arguments, more);
  }
  // "velmio -b" as a program of its own, from the script beside it. It
  // packs the whole installation program at the default compression, which
  // may take as long as the test may.
  TSetupRun BuildWithVelmio() const { return RunProgram(program_, {QStringLiteral("-b")}, {}, 1000 * 1000); }

  QString setupDir_, build_, dest_, src_, program_, form_;
  QStringList names_;
  QList<QByteArray> contents_;
};

}  // namespace qxtest
