#include "platform/registry/tests/HookedDisk.h"

#include "platform/registry/Hive.h"

#include <QByteArray>
#include <QFile>

#include <sqlite3.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regtest {

namespace {

const char kDiskVariable[] = "QX_TEST_DISK";
const char kBytesVariable[] = "QX_TEST_DISK_BYTES";
const char kLockName[] = ".disk-lock";
constexpr std::int64_t kBlock = 4096;

// The hooked disk of this process: its folder (as the kernel names it), size
// and lock. Plain data: it owns nothing past the disk's end.
struct HookedDisk {
  QByteArray folder;
  std::int64_t bytes = 0;
  int lock = -1;
};

HookedDisk& Hooked() {
  static HookedDisk disk;
  return disk;
}

// The lock of the disk, shared by every process on it.
class DiskLock {
 public:
  DiskLock() { flock(Hooked().lock, LOCK_EX); }
  ~DiskLock() { flock(Hooked().lock, LOCK_UN); }
  DiskLock(const DiskLock&) = delete;
  DiskLock& operator=(const DiskLock&) = delete;
};

std::int64_t UsedBytes(const QByteArray& folder) {
  std::int64_t used = 0;
  DIR* dir = opendir(folder.constData());
  if (dir == nullptr)
    return 0;
  while (const dirent* entry = readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0 ||
        std::strcmp(entry->d_name, kLockName) == 0)
      continue;
    const QByteArray path = folder + '/' + entry->d_name;
    struct stat st {};
    if (lstat(path.constData(), &st) != 0)
      continue;
    if (S_ISDIR(st.st_mode))
      used += UsedBytes(path);
    else if (S_ISREG(st.st_mode))
      used += std::int64_t(st.st_blocks) * 512;
  }
  closedir(dir);
  return used;
}

std::int64_t FreeBytes() { return Hooked().bytes - UsedBytes(Hooked().folder); }

// Whether a file of st may reach end: the blocks it lacks fit. Under DiskLock.
bool Fits(const struct stat& st, std::int64_t end) {
  const std::int64_t have = std::int64_t(st.st_blocks) * 512;
  const std::int64_t need = (end + kBlock - 1) / kBlock * kBlock - have;
  return need <= 0 || need <= FreeBytes();
}

int HookedAllocate(int fd, int mode, std::int64_t offset, std::int64_t length) {
  DiskLock lock;
  struct stat st {};
  if (fstat(fd, &st) != 0)
    return errno;
  if (!Fits(st, offset + length))
    return ENOSPC;
  if (mode == 0)
    return posix_fallocate(fd, offset, length);
  return fallocate(fd, mode, offset, length) == 0 ? 0 : errno;
}

// SQLite's files through a layer over the unix VFS: a write that makes a
// file on the disk longer than its blocks takes room only when it fits.
struct DiskFile {
  sqlite3_file base;
  sqlite3_file* real;
  const char* path;  // on the disk; null for others
};

constexpr int kRealOffset = (sizeof(DiskFile) + 7) / 8 * 8;

sqlite3_vfs* UnixVfs() { return sqlite3_vfs_find("unix"); }

sqlite3_file* Real(sqlite3_file* file) { return reinterpret_cast<DiskFile*>(file)->real; }

int DiskWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
  sqlite3_file* real = Real(file);
  const char* path = reinterpret_cast<DiskFile*>(file)->path;
  if (path == nullptr)
    return real->pMethods->xWrite(real, data, amount, offset);
  DiskLock lock;
  struct stat st {};
  if (stat(path, &st) == 0 && !Fits(st, offset + amount))
    return SQLITE_FULL;
  return real->pMethods->xWrite(real, data, amount, offset);
}

const sqlite3_io_methods kDiskMethods = {
    3,
    [](sqlite3_file* f) { return Real(f)->pMethods->xClose(Real(f)); },
    [](sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
      return Real(f)->pMethods->xRead(Real(f), data, amount, offset);
    },
    DiskWrite,
    [](sqlite3_file* f, sqlite3_int64 size) { return Real(f)->pMethods->xTruncate(Real(f), size); },
    // Durability is not what the disk stands in for, and syncing the file
    // system below it would only make the tests slow.
    [](sqlite3_file*, int) { return SQLITE_OK; },
    [](sqlite3_file* f, sqlite3_int64* size) {
      return Real(f)->pMethods->xFileSize(Real(f), size);
    },
    [](sqlite3_file* f, int level) { return Real(f)->pMethods->xLock(Real(f), level); },
    [](sqlite3_file* f, int level) { return Real(f)->pMethods->xUnlock(Real(f), level); },
    [](sqlite3_file* f, int* out) { return Real(f)->pMethods->xCheckReservedLock(Real(f), out); },
    [](sqlite3_file* f, int op, void* arg) {
      return Real(f)->pMethods->xFileControl(Real(f), op, arg);
    },
    [](sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); },
    [](sqlite3_file* f) { return Real(f)->pMethods->xDeviceCharacteristics(Real(f)); },
    [](sqlite3_file* f, int region, int size, int extend, void volatile** out) {
      return Real(f)->pMethods->xShmMap(Real(f), region, size, extend, out);
    },
    [](sqlite3_file* f, int offset, int n, int flags) {
      return Real(f)->pMethods->xShmLock(Real(f), offset, n, flags);
    },
    [](sqlite3_file* f) { Real(f)->pMethods->xShmBarrier(Real(f)); },
    [](sqlite3_file* f, int remove) { return Real(f)->pMethods->xShmUnmap(Real(f), remove); },
    [](sqlite3_file* f, sqlite3_int64 offset, int amount, void** out) {
      return Real(f)->pMethods->xFetch(Real(f), offset, amount, out);
    },
    [](sqlite3_file* f, sqlite3_int64 offset, void* page) {
      return Real(f)->pMethods->xUnfetch(Real(f), offset, page);
    },
};

int DiskOpen(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
  auto* disk = reinterpret_cast<DiskFile*>(file);
  disk->real = reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kRealOffset);
  const QByteArray& folder = Hooked().folder;
  disk->path = name != nullptr && std::strncmp(name, folder.constData(), folder.size()) == 0 &&
                       name[folder.size()] == '/'
                   ? name
                   : nullptr;
  sqlite3_vfs* unix = UnixVfs();
  const int rc = unix->xOpen(unix, name, disk->real, flags, outFlags);
  file->pMethods = disk->real->pMethods != nullptr ? &kDiskMethods : nullptr;
  return rc;
}

sqlite3_vfs& DiskVfs() {
  static sqlite3_vfs vfs = [] {
    sqlite3_vfs made = *UnixVfs();
    made.pNext = nullptr;
    made.zName = "qxtestdisk";
    made.szOsFile = kRealOffset + made.szOsFile;
    made.xOpen = DiskOpen;
    return made;
  }();
  return vfs;
}

}  // namespace

void StartHookedDisk(const QString& folder, std::int64_t bytes, void (*step)(const char* name)) {
  HookedDisk& disk = Hooked();
  char real[PATH_MAX];
  const QByteArray native = QFile::encodeName(folder);
  disk.folder = realpath(native.constData(), real) != nullptr ? QByteArray(real) : native;
  disk.bytes = bytes;
  disk.lock = ::open((disk.folder + '/' + kLockName).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                     0600);
  sqlite3_vfs_register(&DiskVfs(), 1);
  SetHiveDiskHooks(HiveDiskHooks{HookedAllocate, step});
}

void EndHookedDisk() {
  SetHiveDiskHooks(HiveDiskHooks{});
  sqlite3_vfs_register(UnixVfs(), 1);
  sqlite3_vfs_unregister(&DiskVfs());
  ::close(Hooked().lock);
  Hooked() = HookedDisk{};
}

void SetHookedDiskEnvironment(bool set) {
  if (!set) {
    qunsetenv(kDiskVariable);
    qunsetenv(kBytesVariable);
    return;
  }
  qputenv(kDiskVariable, Hooked().folder);
  qputenv(kBytesVariable, QByteArray::number(Hooked().bytes));
}

void FillHookedDisk(int fd) {
  DiskLock lock;
  struct stat st {};
  const std::int64_t room = FreeBytes() / kBlock * kBlock;
  if (room > 0 && fstat(fd, &st) == 0)
    posix_fallocate(fd, st.st_size, room);
}

void UseDiskOfEnvironment(void (*step)(const char* name)) {
  const QByteArray folder = qgetenv(kDiskVariable);
  if (folder.isEmpty()) {
    SetHiveDiskHooks(HiveDiskHooks{nullptr, step});
    return;
  }
  StartHookedDisk(QFile::decodeName(folder), qgetenv(kBytesVariable).toLongLong(), step);
}

}  // namespace regtest
