#pragma once
// Form text of setup scripts: the install component into "/Trovaly" under
// the program files with its group "Game" into "/Game" from the main
// archive, and the install files of a group. Shared by the tests, the
// programs they start and the setup benchmark.

#include <QString>

namespace qxtest {

// From "object Script" to the end of the group "Game"; installExtra goes
// into the install component, specifiers are more specifier objects.
inline QString ScriptFormHead(const QString& installExtra = {}, const QString& specifiers = {}) {
  return QStringLiteral(
             "object Script: TDataModule\n"
             "  object psMainArchiveFile: TpsMainArchiveFile\n  end\n"
             "  object psContainerArchiveFile: TpsContainerArchiveFile\n  end\n"
             "  object psContainerDestDir: TpsContainerDestDir\n  end\n"
             "  object psProgramFiles: TpsProgramFiles\n  end\n%1"
             "  object Install1: TInstall\n"
             "    DestDirType = psProgramFiles\n"
             "    DestDir = '/Trovaly'\n"
             "    Information.ProductName = 'Trovaly'\n%2"
             "  end\n"
             "  object Game: TInstallFileGroup\n"
             "    Container = Install1\n"
             "    DestDirType = psContainerDestDir\n"
             "    DestDir = '/Game'\n"
             "    ArchiveFileType = psMainArchiveFile\n"
             "    GroupName = 'Game'\n"
             "  end\n")
      .arg(specifiers, installExtra);
}

// An install file object of group, name from the folder src, into the
// group's folder from the group's archive.
inline QString ScriptFormFile(const QString& object, const QString& group, const QString& src,
                              const QString& name, const QString& extra = {}) {
  return QStringLiteral(
             "  object %1: TInstallFile\n"
             "    Container = %2\n"
             "    DestDirType = psContainerDestDir\n"
             "    ArchiveFileType = psContainerArchiveFile\n"
             "    IncludeFromDir = '%3'\n"
             "    FileName = '%4'\n"
             "    DestName = '%4'\n%5"
             "  end\n")
      .arg(object, group, src, name, extra);
}

}  // namespace qxtest
