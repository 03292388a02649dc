#pragma once
// Checks of freedesktop files by the desktop's own validator.
#include <QProcess>
#include <QString>

// What desktop-file-validate says against a desktop entry; empty when it is valid.
inline QString DesktopFileProblems(const QString& file) {
  QProcess validate;
  validate.start(QStringLiteral("desktop-file-validate"), {file});
  if (!validate.waitForFinished(20000)) return QStringLiteral("desktop-file-validate hangs");
  const QString out = QString::fromUtf8(validate.readAllStandardOutput() + validate.readAllStandardError());
  return validate.exitCode() == 0 ? out.trimmed()
                                  : QStringLiteral("exit %1: %2").arg(validate.exitCode()).arg(out);
}
