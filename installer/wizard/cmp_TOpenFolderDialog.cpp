#include "installer/wizard/cmp_TOpenFolderDialog.h"

#include "installer/wizard/cmp_TTranslator.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString Translated(const char* english) {
  return TranslateText(QString::fromLatin1(english)).remove(QLatin1Char('&'));
}

}  // namespace

QString TOpenFolderDialog::StartFolder(const QString& initialDir) {
  if (initialDir.isEmpty()) return {};
  QString path = QDir::cleanPath(QDir(initialDir).absolutePath());
  while (!QFileInfo(path).isDir()) {
    const QString parent = QFileInfo(path).path();
    if (parent == path) break;
    path = parent;
  }
  return QFileInfo(path).isDir() ? path : QDir::rootPath();
}

bool TOpenFolderDialog::Execute() {
  SetTexts({Translated("Destination Directory"), Translated("Path:"), Translated("Path:"),
            Translated("Proceed"), Translated("Cancel")});
  SetDirectory(StartFolder(initialDir_));
  return TFolderDialog::Execute();
}
