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
// stderr and, on a display, in a box, and exit code 1. Folders of earlier
// runs that are over (SweepStaleFolders) go before the new one is filled.
//
// The switches are read as UTF-8: when the started file's name is not, -e
// names the folder's link to it (-s the folder); when its folder's name is
// not, on the disk road, -s names the folder's link to that folder. A
// cache folder whose name is not UTF-8 is refused before anything is made.
//
// A setup.exe without the trailer (the first of a set of disks) takes the
// setup archive from "setup.1" beside it and starts the program without -e:
// it installs from the files.1 there.

#include "installer/loader/LoaderArchive.h"
#include "installer/loader/LoaderBox.h"
#include "installer/loader/LoaderFolder.h"
#include "installer/loader/SelfExtract.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using loader::TExtractFolder;
using loader::TLoaderError;

std::string SelfPath() {
  std::vector<char> buffer(4096);
  const ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (got <= 0)
    throw TLoaderError("Cannot find the setup program's own file");
  return std::string(buffer.data(), static_cast<size_t>(got));
}

constexpr char kTextRootNotUtf8[] =
    "Cannot unpack the setup into %s: the name of that folder is not UTF-8";
constexpr char kTextNotUtf8[] =
    "Cannot start the setup from %s: the name is not UTF-8. Give the setup and its folder names "
    "that are, and start it again";

std::string FormatPath(const char* text, const std::string& path) {
  std::string out(text);
  const size_t at = out.find("%s");
  return at == std::string::npos ? out : out.replace(at, 2, path);
}

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
  if (!loader::IsUtf8(root))
    throw TLoaderError(FormatPath(kTextRootNotUtf8, root));
  TExtractFolder folder(root);
  // Runs that are over (killed) left their folders: they go now.
  loader::SweepStaleFolders(root);
  for (size_t i = 0; i < members.size(); ++i) {
    const std::string target = folder.Path() + "/" + members[i].Name;
    folder.Adding(target);
    loader::ExtractMember(archive, start, members[i], target, i == 0 ? 0700 : 0600);
  }
  // Without the link (a file system that has none) the installation
  // program knows the setup by -s and -e alone.
  const bool linked = folder.AddLink(selfextract::kStartedLinkName, self);
  // The installation program reads its switches as UTF-8: a name that is
  // not is reached through the folder's links instead.
  std::string source = selfDir;
  std::string name = self.substr(slash + 1);
  if (selfExtracting && !loader::IsUtf8(self)) {
    if (!linked)
      throw TLoaderError(FormatPath(kTextNotUtf8, self));
    source = folder.Path();
    name = selfextract::kStartedLinkName;
  } else if (!selfExtracting && !loader::IsUtf8(selfDir)) {
    if (!folder.AddLink(selfextract::kSourceLinkName, selfDir))
      throw TLoaderError(FormatPath(kTextNotUtf8, selfDir));
    source = folder.Path() + "/" + selfextract::kSourceLinkName;
  }
  folder.Sync();

  const std::string program = folder.Path() + "/" + members[0].Name;
  std::vector<std::string> args{program};
  if (selfExtracting)
    args.push_back("-e" + name);
  args.push_back("-s" + source);
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
