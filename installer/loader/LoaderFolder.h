#pragma once
// The folder the loader unpacks the setup into (SelfExtract.h describes it):
// made, marked and locked for the run, and the folders of runs that are
// gone swept away.

#include <string>
#include <vector>

namespace loader {

// A new folder "setup-XXXXXX" below root (made with the folders above it,
// private to the user) with its marker, which stays locked while this
// process or the program it becomes runs: the marker's descriptor is not
// closed on exec. Everything made goes again unless released.
class TExtractFolder {
 public:
  explicit TExtractFolder(const std::string& root);
  ~TExtractFolder();
  TExtractFolder(const TExtractFolder&) = delete;
  TExtractFolder& operator=(const TExtractFolder&) = delete;

  const std::string& Path() const { return path_; }
  // A member about to be written: its temporary goes too on a failure.
  void Adding(const std::string& file);
  // A symbolic link name in the folder to target (raw bytes); false when
  // the file system has none to make.
  bool AddLink(const std::string& name, const std::string& target);
  // The members (and the marker) and then the folder, in one pass.
  void Sync() const;
  void Release() { released_ = true; }

 private:
  std::string path_;
  int marker_ = -1;
  std::vector<std::string> files_;
  std::vector<std::string> temporaries_;
  std::vector<std::string> links_;
  bool released_ = false;
};

// bytes is well-formed UTF-8 (the only names the installation program
// reads back unchanged).
bool IsUtf8(const std::string& bytes);

// Removes path and everything below it; a symbolic link goes itself,
// whatever it names. True when path is gone.
bool RemoveTree(const std::string& path);

// Removes the folders "setup-*" below root that a loader made (their
// marker names them) and whose run is over: no process holds the marker's
// lock (a killed run, a cancelled one whose clean-up never ran). A folder
// being filled, or whose program runs, keeps its lock and stays; so does
// anything without a marker that names it.
void SweepStaleFolders(const std::string& root);

}  // namespace loader
