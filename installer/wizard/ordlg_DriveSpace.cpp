#include "installer/wizard/ordlg_DriveSpace.h"

#include "installer/engine/cmp_TInstallContainer_Files.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

bool DeviceOf(const QString& path, dev_t& device) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  device = st.st_dev;
  return true;
}

}  // namespace

TVolumeSpace VolumeOf(const QString& path) {
  QString folder = QDir::cleanPath(path);
  dev_t device = 0;
  while (!DeviceOf(folder, device)) {
    if (folder == QLatin1String("/") || folder.isEmpty()) return {};
    folder = QDir::cleanPath(folder + QLatin1String("/.."));
  }
  // Up to the last folder on the same device: the mount point.
  while (folder != QLatin1String("/")) {
    const QString parent = QDir::cleanPath(folder + QLatin1String("/.."));
    dev_t parentDevice = 0;
    if (!DeviceOf(parent, parentDevice) || parentDevice != device) break;
    folder = parent;
  }
  TVolumeSpace volume;
  volume.mountPoint = folder;
  struct statvfs fs {};
  if (::statvfs(QFile::encodeName(folder).constData(), &fs) == 0)
    volume.available = static_cast<std::int64_t>(fs.f_bavail) * static_cast<std::int64_t>(fs.f_frsize);
  return volume;
}

void TDriveSpaceTable::Add(const QString& destination, std::int64_t bytes) {
  if (destination.isEmpty() || !QDir::isAbsolutePath(destination)) return;
  const TVolumeSpace volume = VolumeOf(destination);
  if (volume.mountPoint.isEmpty()) return;
  for (TDriveRow& row : rows_) {
    if (row.mountPoint == volume.mountPoint) {
      row.required += bytes;
      return;
    }
  }
  if (rows_.size() >= kMaxDrives) return;
  rows_.append({volume.mountPoint, bytes, volume.available});
}

bool IsGroupSelected(TFileContainer* group) {
  if (!group->Include()) return false;
  const TInstallType current = group->CurrentInstallType();
  return current == itAlways || current == itCustom || group->InstallTypes().Contains(itAlways) ||
         group->InstallTypes().Contains(current);
}

void AddGroupSpace(TFileContainer* group, TDriveSpaceTable& table) {
  const bool selected = IsGroupSelected(group);
  table.Add(group->GetExpandedDestDir(), selected ? group->GetSizeOwn(false) : 0);
  if (!selected) return;
  for (int i = 0; i < group->FileContainerCount(); ++i) AddGroupSpace(group->GetFileContainer(i), table);
}

int DrivePanelHeight(int rows) { return rows > 2 ? 61 : rows * 18 + 25; }
