#pragma once
// The "drives" of the components page. On this system a destination's
// drive is the volume that holds its nearest existing folder: its mount
// point names it and its file system tells the free space.

#include <QList>
#include <QString>

#include <cstdint>

class TFileContainer;

struct TVolumeSpace {
  QString mountPoint;
  std::int64_t available = 0;
};

// The volume of path (an absolute path whose folders need not exist yet);
// an empty mount point when not even "/" can be asked.
TVolumeSpace VolumeOf(const QString& path);

struct TDriveRow {
  QString mountPoint;
  std::int64_t required = 0;
  std::int64_t available = 0;
};

// The page's drive table, rows in the order first met. Destinations that
// are not absolute name no drive.
class TDriveSpaceTable {
 public:
  static constexpr int kMaxDrives = 25;
  // Adds bytes to the drive of destination; a drive beyond the table's
  // capacity is left out.
  void Add(const QString& destination, std::int64_t bytes);
  const QList<TDriveRow>& Rows() const { return rows_; }

 private:
  QList<TDriveRow> rows_;
};

// A group counts for install when it is included and either its install
// type is itAlways or itCustom or its types hold itAlways or that type.
bool IsGroupSelected(TFileContainer* group);

// Walks group and, while selected, its sub-groups into table.
void AddGroupSpace(TFileContainer* group, TDriveSpaceTable& table);

// The drive panel's height for that many rows.
int DrivePanelHeight(int rows);
