#pragma once
// The loader's reader of the archive appended to it: one archive of members
// laid out header before data (layout 0), read from a file descriptor at an
// offset. It checks every header before anything is written (see the
// engine's archive format) and inflates one member into one new file.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace loader {

// A failure with the text the user is shown.
class TLoaderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Owns a file descriptor (-1: none).
class TFd {
 public:
  explicit TFd(int fd) : fd_(fd) {}
  ~TFd() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return fd_; }
  // Closes now; false when closing failed.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

struct TMember {
  std::string Name;  // the file name part of the stored name
  std::int32_t FileSize = 0;
  std::int32_t DataStart = 0;  // relative to the archive
  std::int32_t CompressedSize = 0;
};

// The members of the archive of length bytes at start in fd; raises the
// archive's own error texts.
std::vector<TMember> ReadMembers(int fd, std::int64_t start, std::int64_t length);

// Inflates member into the new file path (mode, with the owner's execute
// bit when it starts like a program: ELF or "#!"): written as
// TemporaryName(path) and renamed to path once complete, so a killed or
// failed extraction never leaves a partial file under the member's name.
// Nothing is synced: the caller syncs what it extracted once, at the end
// (SyncFiles). Raises on failure (the caller removes what was made, the
// temporary included).
void ExtractMember(int fd, std::int64_t start, const TMember& member, const std::string& path,
                   unsigned mode);

// ".<name>.part" beside path.
std::string TemporaryName(const std::string& path);

// fsyncs every file, then the folder that holds them; false on the first
// failure.
bool SyncFiles(const std::vector<std::string>& files, const std::string& folder);

}  // namespace loader
