#pragma once
// What the uninstaller's suites share: running a program, a product
// installed by the engine into the test's home, and the state of the home
// (files and registry) to compare before and after.

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/tests/InstallHostTestSupport.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/registry/RegistryApi.h"
#include "tests/support/HomeSnapshot.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace qxtest {

struct TRun {
  int exitCode = -1;
  QString out;
  QString err;
  bool killed = false;
};

// The product name goes unquoted, as the uninstall command passes it.
// exitCode is -1 when the program was killed (killed is set then) or did
// not end in time.
inline TRun RunProgram(const QString& program, const QStringList& arguments,
                       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  TRun run;
  if (!process.waitForFinished(30000)) return run;
  run.killed = process.exitStatus() == QProcess::CrashExit;
  run.exitCode = run.killed ? -1 : process.exitCode();
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

// The product's script in small: the uninstaller, a program, a help file,
// a shared library, a self-registering program, the settings keys, and a
// menu folder with links to the program, the help, the uninstaller and the
// web.
inline QByteArray ProductScript(const QString& src, const QString& uninstall) {
  const auto file = [&](const char* object, const char* name, const char* extra) {
    return QStringLiteral("  object %1: TInstallFile\n"
                          "    Container = FileGroup1\n"
                          "    DestDirType = psContainerDestDir\n"
                          "    ArchiveFileType = psContainerArchiveFile\n"
                          "    IncludeFromDir = '%2'\n"
                          "    FileName = '%3'\n"
                          "    DestName = '%3'\n%4"
                          "  end\n")
        .arg(QLatin1String(object), src, QLatin1String(name), QLatin1String(extra));
  };
  const auto link = [](const char* object, const char* name, const char* target) {
    return QStringLiteral("  object %1: TInstallMainLink\n"
                          "    Container = MainFolder1\n"
                          "    LinkName = '%2'\n%3"
                          "  end\n")
        .arg(QLatin1String(object), QLatin1String(name), QLatin1String(target));
  };
  return (QStringLiteral(
              "object Script: TDataModule\n"
              "  object psMainArchiveFile: TpsMainArchiveFile\n  end\n"
              "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
              "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
              "  object psProgramFiles: TpsProgramFiles\n  end\n"
              "  object psProgramMenu: TpsProgramMenu\n  end\n"
              "  object psObjectLink: TpsObjectLink\n  end\n"
              "  object Install1: TInstall\n"
              "    DestDirType = psProgramFiles\n"
              "    DestDir = '/Trovaly'\n"
              "    Information.ProductName = 'Trovaly 1.0'\n"
              "    RunAutomatic = False\n"
              "  end\n"
              "  object UninstallEXE2: TUninstallEXE\n"
              "    Container = Install1\n"
              "    DestDirType = psContainerDestDir\n"
              "    ArchiveFileType = psContainerArchiveFile\n"
              "    IncludeFromDir = '%1'\n"
              "    FileName = 'uninstall'\n"
              "    DestName = 'uninstall'\n"
              "  end\n"
              "  object FileGroup1: TInstallFileGroup\n"
              "    Container = Install1\n"
              "    DestDirType = psContainerDestDir\n"
              "    DestDir = '/Trovaly 1.0'\n"
              "    ArchiveFileType = psContainerArchiveFile\n"
              "    GroupName = 'Trovaly 1.0'\n"
              "  end\n")
              .arg(uninstall) +
          file("InstallFile1", "trovaly", "") + file("InstallFile2", "LINNUT1.vrb", "") +
          file("InstallFile3", "libjaettu.so", "    UpdateDLLCounter = True\n") +
          file("InstallFile4", "trovaly10.html", "    RegisterAsHelp = True\n") +
          file("InstallFile5", "palvelin.exe", "    ActiveX = True\n") +
          QStringLiteral(
              "  object Registry: TInstallRegistry\n"
              "    Container = Install1\n"
              "    Key = '\\Software\\QXTrovaly'\n"
              "    RootKey = hkCurrentUser\n"
              "  end\n"
              "  object Registry1: TInstallRegistry\n"
              "    Container = Install1\n"
              "    Entries = <\n"
              "      item\n        EntryType = retInteger\n        Ident = 'fon_koko'\n"
              "        Integer = 11\n      end\n"
              "      item\n        EntryType = retText\n        Ident = 'fon_nimi'\n"
              "        Text = 'Times New Roman'\n      end>\n"
              "    Key = '\\Software\\QXTrovaly\\Ruudukko'\n"
              "    RootKey = hkCurrentUser\n"
              "  end\n"
              "  object MainFolder1: TMainLinkGroup\n"
              "    Container = Install1\n"
              "    DestDir = '/Trovaly 1.0'\n"
              "  end\n") +
          link("InstallMainLink1", "Poista Trovaly .LNK",
               "    ObjectLink = UninstallEXE2\n    ObjectLocationType = psObjectLink\n") +
          link("InstallMainLink2", "Trovaly.lnk",
               "    ObjectLink = InstallFile1\n    ObjectLocationType = psObjectLink\n") +
          link("InstallMainLink3", "Trovaly ohje.LNK",
               "    ObjectLink = InstallFile4\n    ObjectLocationType = psObjectLink\n") +
          link("InstallMainLink4", "Word Puzzles.URL",
               "    ObjectLocation = 'http://www.example.com/word+puzzles'\n") +
          QStringLiteral("end\n"))
      .toUtf8();
}

// Every folder and file of the test's tree, with the files' contents, but
// the system's own (the registry's store, the Windows folder) and the
// runtime folder.
inline QStringList TreeState() {
  const QString root = qxtest::TempRoot();
  QStringList state;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.startsWith(root + QStringLiteral("/data/qx")) ||
        path.startsWith(root + QStringLiteral("/runtime")))
      continue;
    const QFileInfo info(path);
    state << path + (info.isDir() ? QStringLiteral("/") : QStringLiteral(" ") + QString::fromLatin1(qxtest::ReadBytes(path).toHex().left(16)));
  }
  state.sort();
  return state;
}

// Every registry value, one line each: "<root>\<key> "<name>"=<type>:<data>".
inline QStringList RegistryLines() {
  QStringList lines;
  for (const auto& [value, data] : RegistryState()) lines << value + u'=' + QString::fromLatin1(data.toHex());
  return lines;
}


// The calls of the product's self-registering program so far, one switch
// a line.
inline QString Registrations() { return TempPath(QStringLiteral("runtime/registrations")); }

// A small product ready to install: its files, its script, and the build
// folder that holds its archive.
struct TProductSetup {
  QString src;
  QString build;
  QString form;
  QString setup;
};

// Reads the script and builds its archive, or installs from it as a setup
// run does, in this process.
inline void RunScript(const TProductSetup& product, bool build) {
  SetInstallHost(std::make_unique<TTestHost>(product.setup));
  SetInstallCommandLine({QStringLiteral("-s") + product.build});
  {
    TOndxCompress compressor(nullptr);
    TDataModule root(nullptr);
    ReadRootComponentFile(&root, product.form);
    if (build)
      CurrentInstall()->Compress(coRebuildOtherArchives | coBuildBit2 | coIncludeExcluded |
                                 coForceNetFilesLocal);
    else
      CurrentInstall()->Run();
  }
  SetInstallHost(nullptr);
}

// The product's files and script, with its archive built; the uninstaller
// it carries is the build's, or a stand-in (quicker to build into the
// archive) for tests that start the build's.
inline TProductSetup PrepareProduct(bool realUninstaller = true) {
  TProductSetup product;
  product.src = TempPath(QStringLiteral("src"));
  product.build = TempPath(QStringLiteral("build"));
  QDir().mkpath(product.build);
  WriteBytes(product.src + QStringLiteral("/trovaly"), "#!/bin/sh\nexit 0\n");
  WriteBytes(product.src + QStringLiteral("/LINNUT1.vrb"), "12\r\n12\r\n");
  WriteBytes(product.src + QStringLiteral("/libjaettu.so"), "shared");
  WriteBytes(product.src + QStringLiteral("/trovaly10.html"), "<html></html>");
  // A self-registering program that notes each call, outside the home
  // that the tests compare.
  const QString server = product.src + QStringLiteral("/palvelin.exe");
  WriteBytes(server, QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(Registrations()).toUtf8());
  QFile::setPermissions(server, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QString uninstall = QFileInfo(QStringLiteral(QX_UNINSTALL)).absolutePath();
  if (!realUninstaller) {
    uninstall = product.src;
    WriteBytes(uninstall + QStringLiteral("/uninstall"), "#!/bin/sh\nexit 1\n");
    QFile::setPermissions(uninstall + QStringLiteral("/uninstall"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  product.form = TempPath(QStringLiteral("script.form"));
  WriteBytes(product.form, ProductScript(product.src, uninstall));
  product.setup = TempPath(QStringLiteral("setup/velmio"));
  WriteBytes(product.setup, "setup");
  RegisterInstallClasses();
  RegisterInstallFileClasses();
  RegisterInstallRegistryClasses();
  RegisterInstallShellLinkClasses();
  RunScript(product, true);
  return product;
}

// Installs the product as a setup run does.
inline void InstallProduct(const TProductSetup& product) { RunScript(product, false); }

// Where the product's script installs.
inline QString ProductFolder() {
  return qEnvironmentVariable("QX_PROGRAM_FILES_DIR") + QStringLiteral("/Trovaly");
}

}  // namespace qxtest
