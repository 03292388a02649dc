// The self-extracting setup program: reads the trailer at its own end,
// extracts the setup archive's members into a folder of its own under the
// user's cache folder and starts the first of them, the installation
// program, in its place:
//
//   <folder>/<program> -e<name of setup.exe> -s<folder of setup.exe> [-f] [args] -c
//
// in the folder of setup.exe. "*TODISK" asks for the transfer to disks
// (-f); other arguments are handed on. -c tells the installation program
// that its folder is the loader's, to be removed at its end. Each member is
// written under a temporary name and renamed once whole; the members and
// the folder are synced once, after the last. Anything that goes wrong
// before the start removes the folder again and ends with the message on
// stderr and, on a display, in a box, and exit code 1.
//
// A setup.exe without the trailer (the first of a set of disks) takes the
// setup archive from "setup.1" beside it and starts the program without -e:
// it installs from the files.1 there.

#include "installer/loader/LoaderArchive.h"
#include "installer/loader/LoaderBox.h"
#include "installer/loader/SelfExtract.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using loader::TLoaderError;

std::string SelfPath() {
  std::vector<char> buffer(4096);
  const ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (got <= 0)
    throw TLoaderError("Cannot find the setup program's own file");
  return std::string(buffer.data(), static_cast<size_t>(got));
}

std::string FormatPath(const char* text, const std::string& path) {
  std::string out(text);
  const size_t at = out.find("%s");
  return at == std::string::npos ? out : out.replace(at, 2, path);
}

// The folder being filled; removed again unless released.
class TExtractFolder {
 public:
  explicit TExtractFolder(const std::string& root) {
    if (!MakePath(root))
      throw TLoaderError(FormatPath("Cannot create the file %s", root));
    std::string pattern = root + "/" + selfextract::kFolderPrefix + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
      throw TLoaderError(FormatPath("Cannot create the file %s", pattern));
    path_ = pattern;
    const std::string marker = path_ + "/" + selfextract::kMarkerName;
    const std::string content = path_ + "\n";
    const int fd = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool written =
        fd >= 0 && ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (fd >= 0)
      ::close(fd);
    files_.push_back(marker);
    if (!written)
      throw TLoaderError(FormatPath("Cannot create the file %s", marker));
  }
  ~TExtractFolder() {
    if (released_)
      return;
    for (const std::string& file : files_)
      ::unlink(file.c_str());
    for (const std::string& file : temporaries_)
      ::unlink(file.c_str());
    ::rmdir(path_.c_str());
  }
  TExtractFolder(const TExtractFolder&) = delete;
  TExtractFolder& operator=(const TExtractFolder&) = delete;

  const std::string& Path() const { return path_; }
  // A member about to be written: its temporary goes too on a failure.
  void Adding(const std::string& file) {
    temporaries_.push_back(loader::TemporaryName(file));
    files_.push_back(file);
  }
  // The members (and the marker) and then the folder, in one pass.
  void Sync() const {
    if (!loader::SyncFiles(files_, path_))
      throw TLoaderError(FormatPath("Cannot create the file %s", path_));
  }
  void Release() { released_ = true; }

 private:
  // Creates the folders of path that are missing, private to the user.
  static bool MakePath(const std::string& path) {
    for (size_t at = path.find('/', 1);; at = path.find('/', at + 1)) {
      const std::string part = path.substr(0, at);
      if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
      if (at == std::string::npos)
        break;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  std::string path_;
  std::vector<std::string> files_;
  std::vector<std::string> temporaries_;
  bool released_ = false;
};

// The setup archive appended to the program: its start and length; false
// when the program ends without the trailer's magic (a loader alone). A
// damaged trailer raises.
bool AppendedArchive(int fd, const std::string& self, std::int64_t& start, std::int64_t& length) {
  const std::string noInfo = FormatPath(selfextract::kTextNoExtractionInfo, self);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0)
    throw TLoaderError(noInfo);
  selfextract::TTrailer trailer{};
  if (st.st_size < selfextract::kTrailerSize ||
      ::pread(fd, trailer.data(), trailer.size(), st.st_size - selfextract::kTrailerSize) !=
          static_cast<ssize_t>(trailer.size()))
    return false;
  if (trailer[0] != sizeof(selfextract::kMagic) - 1 ||
      std::memcmp(trailer.data() + 1, selfextract::kMagic, sizeof(selfextract::kMagic) - 1) != 0)
    return false;
  selfextract::TSelfExtractInfo info;
  if (!selfextract::DecodeTrailer(trailer, st.st_size, info))
    throw TLoaderError(noInfo);
  start = info.Setup1Start;
  length = std::int64_t{info.Setup1End} - start + 1;
  return true;
}

int Run(int argc, char** argv) {
  const std::string self = SelfPath();
  const size_t slash = self.rfind('/');
  const std::string selfDir = slash == 0 ? "/" : self.substr(0, slash);
  loader::TFd file(::open(self.c_str(), O_RDONLY | O_CLOEXEC));
  std::int64_t start = 0;
  std::int64_t length = 0;
  const bool selfExtracting = AppendedArchive(file.Get(), self, start, length);
  // The first disk: setup.1 lies beside the program.
  loader::TFd beside(selfExtracting ? -1 : ::open((selfDir + "/setup.1").c_str(), O_RDONLY | O_CLOEXEC));
  if (!selfExtracting) {
    struct stat st {};
    if (beside.Get() < 0 || ::fstat(beside.Get(), &st) != 0)
      throw TLoaderError(FormatPath(selfextract::kTextNoExtractionInfo, self));
    length = st.st_size;
  }
  const int archive = selfExtracting ? file.Get() : beside.Get();
  const std::vector<loader::TMember> members = loader::ReadMembers(archive, start, length);

  const std::string root = selfextract::CacheRoot();
  if (root.empty())
    throw TLoaderError("Cannot find the user's cache folder");
  TExtractFolder folder(root);
  for (size_t i = 0; i < members.size(); ++i) {
    const std::string target = folder.Path() + "/" + members[i].Name;
    folder.Adding(target);
    loader::ExtractMember(archive, start, members[i], target, i == 0 ? 0700 : 0600);
  }
  folder.Sync();

  const std::string program = folder.Path() + "/" + members[0].Name;
  std::vector<std::string> args{program};
  if (selfExtracting)
    args.push_back("-e" + self.substr(slash + 1));
  args.push_back("-s" + selfDir);
  for (int i = 1; i < argc; ++i)
    args.emplace_back(::strcasecmp(argv[i], "*TODISK") == 0 ? "-f" : argv[i]);
  args.emplace_back("-c");
  std::vector<char*> pointers;
  for (std::string& arg : args)
    pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  if (::chdir(selfDir.c_str()) != 0)
    throw TLoaderError(FormatPath("Cannot open the file %s", selfDir));
  ::execv(program.c_str(), pointers.data());
  throw TLoaderError(FormatPath("Cannot start the installation program %s", program) + ": " +
                     std::strerror(errno));
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    loader::ShowMessageBox("Velmio", e.what());
    return 1;
  }
}
