#pragma once
// Disks that really fill, for the full-disk tests of the registry: a small
// tmpfs mounted on a folder of the running test's tree (Mounted, needs the
// right to mount), or that folder standing for a disk of its own size
// through the test hooks (Hooked, HookedDisk.h), which runs everywhere.
//
// The registry lives on the disk (XDG_DATA_HOME). A child process started
// meanwhile inherits the environment and calls UseDiskOfEnvironment().

#include <QString>

#include <cstdint>

namespace regtest {

enum class DiskKind { Mounted, Hooked };

class TestDisk {
 public:
  TestDisk(DiskKind kind, std::int64_t bytes);
  ~TestDisk();
  TestDisk(const TestDisk&) = delete;
  TestDisk& operator=(const TestDisk&) = delete;

  // False when the disk could not be made (Error says why).
  bool Ready() const { return ready_; }
  const QString& Error() const { return error_; }
  const QString& Path() const { return path_; }

  // Writes a filler file until the disk takes no byte more; called again, it
  // takes what was freed meanwhile, as another program would.
  void Fill();
  void Free();

 private:
  QString Filler() const { return path_ + QStringLiteral("/filler"); }

  DiskKind kind_;
  QString path_;
  QString error_;
  bool ready_ = false;
};

}  // namespace regtest
