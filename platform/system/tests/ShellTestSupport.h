#pragma once
// Checks of desktop entries, directory files and menu files for the shell
// tests.

#include "platform/system/ProgramGroups.h"
#include "platform/system/ShellLinkEntry.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdio>

namespace shelltest {

// What desktop-file-validate says about the file ("" when it passes); a
// file that fails gets its exit code in front. Without the validator on
// PATH the check is skipped with a message.
inline QString ValidatorComplaints(const QString& file) {
  const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
  if (validator.isEmpty()) {
    std::fprintf(stderr, "desktop-file-validate is not on PATH: %s not validated\n",
                 qPrintable(file));
    return {};
  }
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(validator, {file});
  if (!process.waitForFinished(30000))
    return QStringLiteral("desktop-file-validate did not finish");
  const QString output = QString::fromUtf8(process.readAll());
  if (process.exitCode() != 0 || output.contains(QLatin1String("error")) ||
      output.contains(QLatin1String("warning")))
    return QString::number(process.exitCode()) + QLatin1Char(' ') + output;
  return {};
}

// The keys of the file's "Desktop Entry" group (empty when there is none).
inline QMap<QString, QString> EntryKeys(const QString& file) {
  return ReadDesktopGroup(qxtest::ReadBytes(file), QStringLiteral("Desktop Entry"))
      .value_or(QMap<QString, QString>());
}

// A menu file as "Applications>A>B dir=<directory> [ids...]" for its
// innermost menu.
inline QString MenuSummary(const QString& menuFile) {
  QFile file(menuFile);
  if (!file.open(QIODevice::ReadOnly))
    return QStringLiteral("<missing>");
  QXmlStreamReader xml(&file);
  QStringList names, ids;
  QString directory;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement)
      continue;
    if (xml.name() == QLatin1String("Name"))
      names << xml.readElementText();
    else if (xml.name() == QLatin1String("Directory"))
      directory = xml.readElementText();
    else if (xml.name() == QLatin1String("Filename"))
      ids << xml.readElementText();
  }
  if (xml.hasError())
    return QStringLiteral("<bad xml: %1>").arg(xml.errorString());
  return names.join(QLatin1Char('>')) + QStringLiteral(" dir=") + directory + QStringLiteral(" [") +
         ids.join(QLatin1Char(' ')) + QLatin1Char(']');
}

// A file in the running test's applications folder.
inline QString AppsPath(const QString& relative) {
  return ApplicationsMenuFolder() + QLatin1Char('/') + relative;
}

// An executable file with a line of shell script in it.
inline QString MakeProgram(const QString& path) {
  qxtest::WriteBytes(path, "#!/bin/sh\nexit 0\n");
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  return path;
}

}  // namespace shelltest
