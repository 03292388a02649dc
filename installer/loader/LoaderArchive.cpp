#include "installer/loader/LoaderArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loader {

namespace {

constexpr int kHeaderSize = 164;
constexpr int kBlockHead = 5;
constexpr int kMaxName = 100;
constexpr int kMaxVersion = 20;
constexpr size_t kChunk = 65536;

constexpr char kCannotReadCount[] = "Could not read the file header count for the compressed file";
constexpr char kCorrupt[] =
    "Could not read the file headers for the compressed file. The Archive file could possible "
    "be corrupt";
constexpr char kSizeMismatch[] =
    "The decompressed file's size does not match with the actual size of the file.  The file "
    "is ";
constexpr char kCannotCreate[] = "Cannot create the file ";

std::int32_t Int32(const unsigned char* p) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= std::uint32_t{p[i]} << (8 * i);
  return static_cast<std::int32_t>(bits);
}

bool ReadAt(int fd, void* buffer, size_t size, std::int64_t position) {
  auto* out = static_cast<unsigned char*>(buffer);
  while (size > 0) {
    const ssize_t got = ::pread(fd, out, size, position);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    out += got;
    size -= static_cast<size_t>(got);
    position += got;
  }
  return true;
}

// A stored name's last component, refused unless it can only name a file
// inside the folder.
bool SafeName(const std::string& stored, std::string& name) {
  const size_t cut = stored.find_last_of("/\\");
  name = cut == std::string::npos ? stored : stored.substr(cut + 1);
  if (name.empty() || name == "." || name == "..")
    return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f)
      return false;
  return true;
}

TMember ParseHeader(const unsigned char* h, std::int64_t position, std::int64_t length,
                    std::int64_t& next) {
  TMember m;
  const int endDisk = h[12];
  const std::int32_t lastByte = Int32(h + 16);
  const int nameLength = h[20];
  const std::int32_t nextHeader = Int32(h + 124);
  m.FileSize = Int32(h + 128);
  m.DataStart = Int32(h + 132);
  m.CompressedSize = Int32(h + 136);
  const int startDisk = h[140];
  const int versionLength = h[141];
  if (endDisk != 0 || startDisk != 0 || nameLength > kMaxName || versionLength > kMaxVersion ||
      m.FileSize < 0 || m.CompressedSize < 0 || m.DataStart != position + kHeaderSize ||
      std::int64_t{lastByte} != std::int64_t{m.DataStart} + m.CompressedSize - 1 ||
      std::int64_t{nextHeader} != std::int64_t{lastByte} + 1 || nextHeader > length)
    throw TLoaderError(kCorrupt);
  if (!SafeName(std::string(reinterpret_cast<const char*>(h + 21), nameLength), m.Name))
    throw TLoaderError(kCorrupt);
  next = nextHeader;
  return m;
}

class TInflater {
 public:
  TInflater() {
    if (inflateInit(&stream_) != Z_OK)
      throw TLoaderError(zError(Z_MEM_ERROR));
  }
  ~TInflater() { inflateEnd(&stream_); }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
};

bool WriteAll(int fd, const unsigned char* data, size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR)
      continue;
    if (put <= 0)
      return false;
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

std::vector<TMember> ReadMembers(int fd, std::int64_t start, std::int64_t length) {
  unsigned char head[kBlockHead];
  if (length < kBlockHead || !ReadAt(fd, head, sizeof head, start))
    throw TLoaderError(kCannotReadCount);
  const std::int32_t count = Int32(head);
  // Layout 0 only: the setup archive is never split.
  if (head[4] != 0 || count < 1 || count > (length - kBlockHead) / kHeaderSize)
    throw TLoaderError(kCorrupt);
  std::vector<TMember> members;
  std::int64_t position = kBlockHead;
  for (std::int32_t i = 0; i < count; ++i) {
    unsigned char header[kHeaderSize];
    if (position + kHeaderSize > length || !ReadAt(fd, header, sizeof header, start + position))
      throw TLoaderError(kCorrupt);
    members.push_back(ParseHeader(header, position, length, position));
  }
  return members;
}

std::string TemporaryName(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + ".part";
}

bool SyncFiles(const std::vector<std::string>& files, const std::string& folder) {
  std::vector<std::string> all = files;
  all.push_back(folder);
  for (const std::string& path : all) {
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0 || ::fsync(fd.Get()) != 0)
      return false;
  }
  return true;
}

void ExtractMember(int fd, std::int64_t start, const TMember& member, const std::string& path,
                   unsigned mode) {
  const std::string temporary = TemporaryName(path);
  TFd out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (out.Get() < 0)
    throw TLoaderError(kCannotCreate + path);
  TInflater inflater;
  z_stream& z = inflater.Stream();
  std::vector<unsigned char> in(kChunk);
  std::vector<unsigned char> outBuffer(kChunk);
  std::int64_t position = start + member.DataStart;
  std::int64_t left = member.CompressedSize;
  std::int64_t written = 0;
  int result = Z_OK;
  while (result != Z_STREAM_END) {
    if (z.avail_in == 0) {
      if (left == 0)
        throw TLoaderError(kSizeMismatch + member.Name);  // the stream is cut short
      const size_t take = static_cast<size_t>(std::min<std::int64_t>(left, kChunk));
      if (!ReadAt(fd, in.data(), take, position))
        throw TLoaderError(kCorrupt);
      position += static_cast<std::int64_t>(take);
      left -= static_cast<std::int64_t>(take);
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(take);
    }
    z.next_out = outBuffer.data();
    z.avail_out = static_cast<uInt>(outBuffer.size());
    result = inflate(&z, Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END)
      throw TLoaderError(zError(result == Z_BUF_ERROR ? Z_DATA_ERROR : result));
    const size_t produced = outBuffer.size() - z.avail_out;
    // A program the setup carries (the first member, a runner) stays one.
    if (written == 0 && produced >= 2 &&
        (std::memcmp(outBuffer.data(), "#!", 2) == 0 ||
         (produced >= 4 && std::memcmp(outBuffer.data(), "\x7f" "ELF", 4) == 0)) &&
        ::fchmod(out.Get(), static_cast<mode_t>(mode | S_IXUSR)) != 0)
      throw TLoaderError(kCannotCreate + path);
    written += static_cast<std::int64_t>(produced);
    if (written > member.FileSize)
      throw TLoaderError(kSizeMismatch + member.Name);
    if (!WriteAll(out.Get(), outBuffer.data(), produced))
      throw TLoaderError(kCannotCreate + path);
  }
  if (written != member.FileSize || left != 0 || z.avail_in != 0)
    throw TLoaderError(kSizeMismatch + member.Name);
  // Never over another member of the same name.
  if (!out.Close() ||
      ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) != 0)
    throw TLoaderError(kCannotCreate + path);
}

}  // namespace loader
