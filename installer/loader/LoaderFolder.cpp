#include "installer/loader/LoaderFolder.h"

#include "installer/loader/LoaderArchive.h"
#include "installer/loader/SelfExtract.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loader {

namespace {

constexpr char kCannotCreate[] = "Cannot create the file ";
constexpr size_t kMarkerLimit = 4096;

// Creates the folders of path that are missing, private to the user.
bool MakePath(const std::string& path) {
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

std::string RealPath(const std::string& path) {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr)
    return {};
  std::string out(resolved);
  std::free(resolved);
  return out;
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
  ::remove(path);
  return 0;
}

// The marker of folder names folder.
bool NamesItsFolder(int marker, const std::string& folder) {
  std::string content(kMarkerLimit, '\0');
  const ssize_t got = ::read(marker, content.data(), content.size());
  if (got <= 1 || static_cast<size_t>(got) >= content.size() || content[static_cast<size_t>(got) - 1] != '\n')
    return false;
  content.resize(static_cast<size_t>(got) - 1);
  const std::string real = RealPath(folder);
  return !real.empty() && RealPath(content) == real;
}

}  // namespace

TExtractFolder::TExtractFolder(const std::string& root) {
  if (!MakePath(root))
    throw TLoaderError(kCannotCreate + root);
  std::string pattern = root + "/" + selfextract::kFolderPrefix + "XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr)
    throw TLoaderError(kCannotCreate + pattern);
  path_ = pattern;
  const std::string marker = path_ + "/" + selfextract::kMarkerName;
  // Locked before it names the folder: a sweep never finds it unlocked
  // and named. The descriptor stays open into the installation program.
  marker_ = ::open(marker.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);  // NOLINT(android-cloexec-open)
  if (marker_ >= 0)
    files_.push_back(marker);
  const std::string content = path_ + "\n";
  if (marker_ < 0 || ::flock(marker_, LOCK_EX | LOCK_NB) != 0 ||
      ::write(marker_, content.data(), content.size()) != static_cast<ssize_t>(content.size()))
    throw TLoaderError(kCannotCreate + marker);
}

TExtractFolder::~TExtractFolder() {
  if (released_)
    return;
  for (const std::vector<std::string>* list : {&files_, &temporaries_, &links_})
    for (const std::string& file : *list)
      ::unlink(file.c_str());
  ::rmdir(path_.c_str());
  if (marker_ >= 0)
    ::close(marker_);
}

void TExtractFolder::Adding(const std::string& file) {
  temporaries_.push_back(TemporaryName(file));
  files_.push_back(file);
}

bool TExtractFolder::AddLink(const std::string& name, const std::string& target) {
  const std::string link = path_ + "/" + name;
  if (::symlink(target.c_str(), link.c_str()) != 0)
    return false;
  links_.push_back(link);
  return true;
}

void TExtractFolder::Sync() const {
  // The links are entries of the folder: its sync keeps them.
  if (!SyncFiles(files_, path_))
    throw TLoaderError(kCannotCreate + path_);
}

bool IsUtf8(const std::string& bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, minimum = 0x80, code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, minimum = 0x800, code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, minimum = 0x10000, code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size())
      return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80)
        return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not UTF-8.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

bool RemoveTree(const std::string& path) {
  ::nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

void SweepStaleFolders(const std::string& root) {
  DIR* dir = ::opendir(root.c_str());
  if (dir == nullptr)
    return;
  const size_t prefix = std::strlen(selfextract::kFolderPrefix);
  std::vector<std::string> folders;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strncmp(entry->d_name, selfextract::kFolderPrefix, prefix) == 0)
      folders.push_back(root + "/" + entry->d_name);
  }
  ::closedir(dir);
  for (const std::string& folder : folders) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
      continue;
    const std::string name = folder + "/" + selfextract::kMarkerName;
    TFd marker(::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    // The lock is held while the folder goes: no run can take it meanwhile.
    if (marker.Get() >= 0 && NamesItsFolder(marker.Get(), folder) &&
        ::flock(marker.Get(), LOCK_EX | LOCK_NB) == 0)
      RemoveTree(folder);
  }
}

}  // namespace loader
