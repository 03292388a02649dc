#pragma once
// A small real file system for tests of full disks: a tmpfs mounted on a
// folder of the running test's temporary tree and unmounted again when the
// object goes. Mounting needs root (CAP_SYS_ADMIN); where it is refused the
// test skips, for a reason of the one list (TestSupport.h):
//
//   qxtest::TSmallDisk disk(64 * 1024);
//   if (!disk.Mounted()) GTEST_SKIP() << disk.SkipReason();

#include <QString>
#include <QStringList>

#include <cstdint>

namespace qxtest {

class TSmallDisk {
 public:
  explicit TSmallDisk(std::int64_t bytes);
  // Mounted on folder (which must exist) instead of a folder of its own.
  TSmallDisk(std::int64_t bytes, const QString& folder);
  ~TSmallDisk();
  TSmallDisk(const TSmallDisk&) = delete;
  TSmallDisk& operator=(const TSmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  QString SkipReason() const { return reason_; }
  // The mount point, without a trailing delimiter.
  const QString& Path() const { return path_; }
  QString FilePath(const QString& name) const { return path_ + QLatin1Char('/') + name; }

  // Fills the disk with a filler file until at most bytesFree are left
  // (tmpfs counts whole pages); returns the bytes left free.
  std::int64_t FillLeaving(std::int64_t bytesFree);
  // Removes the filler again.
  void Unfill();
  std::int64_t BytesFree() const;

 private:
  QString path_;
  QString reason_;
  bool mounted_ = false;
};

// Runs write on the disk filled up to leave no byte and then one page free
// (the filler stays) and gives the message of the E each write raised, or
// "<no error>" for a write that went through.
template <class E, class Write>
QStringList MessagesWhenFull(TSmallDisk& disk, Write write) {
  QStringList messages;
  for (const std::int64_t freeBytes : {0, 4096}) {
    disk.Unfill();
    disk.FillLeaving(freeBytes);
    try {
      write();
      messages.append(QStringLiteral("<no error>"));
    } catch (const E& e) {
      messages.append(e.Message());
    }
  }
  return messages;
}

}  // namespace qxtest
