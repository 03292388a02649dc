#include "platform/system/FilesInUse.h"

#include <QByteArray>
#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct TIdentity {
  dev_t dev = 0;
  ino_t ino = 0;
  bool operator==(const TIdentity&) const = default;
};

bool IdentityOf(const char* path, TIdentity& id) {
  struct stat st {};
  if (::stat(path, &st) != 0)
    return false;
  id = {st.st_dev, st.st_ino};
  return true;
}

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using TDir = std::unique_ptr<DIR, TDirCloser>;

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsPid(const char* name) {
  if (!*name)
    return false;
  for (const char* c = name; *c; ++c)
    if (*c < '0' || *c > '9')
      return false;
  return true;
}

// Opening a running program's file for writing fails with ETXTBSY; the
// open neither truncates nor writes, and a FIFO or device is never opened.
bool RefusesWriting(const char* path) {
  struct stat st {};
  if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode))
    return false;
  const int fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == ETXTBSY;
}

// A maps line: "start-end perms offset major:minor inode   path". The device
// is the one the mapping's file really lives on, which on stacked file
// systems (overlayfs) differs from what stat reports; a line whose path
// names the file therefore matches too (stacked file systems keep the
// inode number of the file beneath).
bool MapsLineMatches(const char* line, const TIdentity& file) {
  char perms[8];
  unsigned long long offset = 0, inode = 0;
  unsigned major = 0, minor = 0;
  int pathStart = 0;
  if (std::sscanf(line, "%*x-%*x %7s %llx %x:%x %llu %n", perms, &offset, &major, &minor, &inode,
                  &pathStart) < 5)
    return false;
  if (ino_t(inode) != file.ino)
    return false;
  if (makedev(major, minor) == file.dev)
    return true;
  std::string path(line + pathStart);
  while (!path.empty() && (path.back() == '\n' || path.back() == ' '))
    path.pop_back();
  if (path.empty() || path[0] != '/')
    return false;
  TIdentity mapped;
  return IdentityOf(path.c_str(), mapped) && mapped == file;
}

bool MapsFile(const std::string& proc, const TIdentity& file) {
  std::unique_ptr<std::FILE, TFileCloser> maps(std::fopen((proc + "/maps").c_str(), "re"));
  if (!maps)
    return false;
  char line[8192];
  while (std::fgets(line, sizeof line, maps.get()))
    if (MapsLineMatches(line, file))
      return true;
  return false;
}

bool OpensFile(const std::string& proc, const TIdentity& file) {
  const std::string fdDir = proc + "/fd";
  TDir dir(::opendir(fdDir.c_str()));
  if (!dir)
    return false;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!IsPid(entry->d_name))
      continue;
    TIdentity opened;
    if (IdentityOf((fdDir + '/' + entry->d_name).c_str(), opened) && opened == file)
      return true;
  }
  return false;
}

int UsesOf(const std::string& proc, const TIdentity& file) {
  int uses = 0;
  TIdentity exe;
  if (IdentityOf((proc + "/exe").c_str(), exe) && exe == file)
    uses |= int(TFileUse::Runs);
  if (MapsFile(proc, file))
    uses |= int(TFileUse::Maps);
  if (OpensFile(proc, file))
    uses |= int(TFileUse::Opens);
  return uses;
}

}  // namespace

std::vector<TFileUser> FileUsers(const QString& path) {
  std::vector<TFileUser> users;
  TIdentity file;
  if (!IdentityOf(QFile::encodeName(path).constData(), file))
    return users;
  TDir proc(::opendir("/proc"));
  if (!proc)
    return users;
  while (const dirent* entry = ::readdir(proc.get())) {
    if (!IsPid(entry->d_name))
      continue;
    // Processes of other users whose entries cannot be read give nothing.
    const int uses = UsesOf(std::string("/proc/") + entry->d_name, file);
    if (uses)
      users.push_back({std::strtoll(entry->d_name, nullptr, 10), uses});
  }
  std::sort(users.begin(), users.end(),
            [](const TFileUser& a, const TFileUser& b) { return a.pid < b.pid; });
  return users;
}

bool IsFileInUse(const QString& path) {
  return RefusesWriting(QFile::encodeName(path).constData()) || !FileUsers(path).empty();
}
