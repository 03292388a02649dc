#include "platform/system/RestartService.h"

#include "platform/registry/RegistryApi.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/system/LastError.h"
#include "platform/system/RestartRecords.h"
#include "platform/system/SafeMove.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QUuid>

#include <cerrno>

#include <sys/stat.h>

#include <optional>

namespace {

QString PendingKey() {
  return QString::fromLatin1(kPendingMovesKey);
}

bool Fails(DWORD code) {
  SetLastError(code);
  return code != ERROR_SUCCESS;
}

// One record: each string ends with a zero byte, the list with one more.
QByteArray EncodeMove(DWORD flags, const QString& source, const QString& target) {
  QByteArray data;
  for (const QString& text : {QString::number(flags), source, target}) {
    data += text.toUtf8();
    data += '\0';
  }
  data += '\0';
  return data;
}

std::optional<TPendingMove> DecodeMove(const QString& id, DWORD type, const QByteArray& data) {
  if (type != REG_MULTI_SZ || !data.endsWith('\0'))
    return std::nullopt;
  QList<QByteArray> parts = data.chopped(1).split('\0');
  if (parts.size() != 4 || !parts.last().isEmpty())
    return std::nullopt;
  bool ok = false;
  const DWORD flags = QString::fromUtf8(parts[0]).toUInt(&ok);
  const QString source = QString::fromUtf8(parts[1]);
  if (!ok || source.isEmpty())
    return std::nullopt;
  return TPendingMove{id, source, QString::fromUtf8(parts[2]), flags};
}

// A path as the runner will see it: absolute, from whatever folder it runs.
QString Absolute(const QString& path) {
  return QFileInfo(path).absoluteFilePath();
}

QString ProgramFolder() {
  if (QCoreApplication::instance())
    return QCoreApplication::applicationDirPath();
  return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

// An argument of a desktop entry's Exec: quoted, with the characters the
// quoting reserves escaped, and then every backslash escaped once more as
// the value's own escape; "%" is doubled as field codes require.
QString DesktopExecArgument(const QString& text) {
  QString quoted;
  for (const QChar c : text) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

bool MoveFileEx(const QString& existingFileName, const QString& newFileName, DWORD flags) {
  if (existingFileName.isEmpty())
    return !Fails(ERROR_INVALID_PARAMETER);
  const bool replace = flags & MOVEFILE_REPLACE_EXISTING;
  if (!(flags & MOVEFILE_DELAY_UNTIL_REBOOT)) {
    if (newFileName.isEmpty())
      return !Fails(SafeDelete(existingFileName, nullptr));
    return !Fails(
        SafeMove(existingFileName, newFileName, replace, flags & MOVEFILE_COPY_ALLOWED, nullptr));
  }
  // As on Windows, a delayed move cannot also be a copy.
  if (flags & MOVEFILE_COPY_ALLOWED)
    return !Fails(ERROR_INVALID_PARAMETER);
  struct stat st {};
  if (::lstat(QFile::encodeName(existingFileName).constData(), &st) != 0)
    return !Fails(ERROR_FILE_NOT_FOUND);
  const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
  const QString target = newFileName.isEmpty() ? QString() : Absolute(newFileName);
  const LONG written = WritePendingMove(
      id, EncodeMove(flags & MOVEFILE_REPLACE_EXISTING, Absolute(existingFileName), target));
  if (written != ERROR_SUCCESS)
    return !Fails(DWORD(written));
  try {
    ScheduleRestartRunner();
  } catch (const Exception&) {
    // Registered work that nothing will start is no registration.
    RemovePendingMove(id);
    return !Fails(ERROR_ACCESS_DENIED);
  }
  return !Fails(ERROR_SUCCESS);
}

LONG WritePendingMove(const QString& id, const QByteArray& record) {
  TRegKey key;
  LONG result = RegCreateKeyEx(HKEY_LOCAL_MACHINE, PendingKey(), KEY_ALL_ACCESS, &key.handle);
  if (result == ERROR_SUCCESS)
    result = RegSetValueEx(key.handle, id, REG_MULTI_SZ, record);
  if (result == ERROR_SUCCESS)
    result = RegFlushKey(key.handle);
  return result;
}

LONG RemovePendingMove(const QString& id) {
  TRegKey key;
  LONG result = RegOpenKeyEx(HKEY_LOCAL_MACHINE, PendingKey(), KEY_ALL_ACCESS, &key.handle);
  if (result == ERROR_SUCCESS)
    result = RegDeleteValue(key.handle, id);
  if (result == ERROR_SUCCESS)
    result = RegFlushKey(key.handle);
  return result;
}

std::vector<TPendingMove> PendingMoves() {
  std::vector<TPendingMove> moves;
  for (const TRegValue& value : ReadValues(HKEY_LOCAL_MACHINE, PendingKey()))
    if (auto move = DecodeMove(value.name, value.type, value.data))
      moves.push_back(*move);
  return moves;
}

std::vector<TRegValue> ReadValues(HKEY root, const QString& path) {
  std::vector<TRegValue> values;
  TRegKey key;
  if (RegOpenKeyEx(root, path, KEY_READ, &key.handle) != ERROR_SUCCESS)
    return values;
  TRegValue value;
  for (DWORD i = 0;
       RegEnumValue(key.handle, i, &value.name, &value.type, &value.data) == ERROR_SUCCESS; ++i)
    values.push_back(value);
  return values;
}

void ScheduleRestartRunner() {
  PlaceRestartRunner();
  const QString path = RestartRunnerAutostartPath();
  ForceDirectories(QFileInfo(path).absolutePath());
  const QString entry = QStringLiteral(
                            "[Desktop Entry]\n"
                            "Type=Application\n"
                            "Name=Pending file replacements\n"
                            "Comment=Finishes the file replacements and commands left for the "
                            "next login\n"
                            "Exec=%1\n"
                            "Terminal=false\n"
                            "NoDisplay=true\n")
                            .arg(DesktopExecArgument(RestartRunnerPath()));
  WriteFileAtomically(path, entry.toUtf8());
}

QString RestartRunnerFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/qx/bin");
}

QString RestartRunnerPath() {
  return RestartRunnerFolder() + QLatin1Char('/') + QLatin1String(kRestartRunnerName);
}

QString CarriedRestartRunnerPath() {
  const QString beside = ProgramFolder() + QLatin1Char('/') + QLatin1String(kRestartRunnerName);
  return QFileInfo(beside).isExecutable() ? beside : QString();
}

void PlaceRestartRunner() {
  const QString target = RestartRunnerPath();
  const QString source = CarriedRestartRunnerPath();
  if (source.isEmpty() || QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
    if (QFileInfo(target).isExecutable())
      return;
    throw EAtomicFileError(target, ENOENT);
  }
  QFile carried(source);
  if (!carried.open(QIODevice::ReadOnly))
    throw EAtomicFileError(target, ENOENT);
  const QByteArray program = carried.readAll();
  QFile placed(target);
  if (placed.open(QIODevice::ReadOnly) && placed.readAll() == program &&
      QFileInfo(target).isExecutable())
    return;
  placed.close();
  ForceDirectories(RestartRunnerFolder());
  TAtomicFile file(target);
  file.SetMode(0755);
  file.Write(program);
  file.Commit();
}

QString RestartRunnerAutostartPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/autostart/") + QLatin1String(kRestartRunnerName) +
         QStringLiteral(".desktop");
}

bool TRestartReport::AllDone() const {
  for (const TRestartStep& step : steps)
    if (!step.done && !step.skipped)
      return false;
  return true;
}
