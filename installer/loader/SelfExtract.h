#pragma once
// What the self-extracting setup program and the engine agree on, in plain
// C++ (the loader links nothing of ours but this).
//
// The trailer: the last 56 bytes of "setup.exe" (little-endian; positions
// from the start of the file):
//   off size field
//     0   15 length byte 14 and "SELFEXTRACTING"
//    15    1 zero
//    16    4 int32 first byte of the appended "setup.1"
//    20    4 int32 its last byte
//    24    4 int32 first byte of the appended "files.1" (0 when none)
//    28    4 int32 its last byte (0 when none)
//    32   24 zeros
//
// The extraction folder: a folder "setup-XXXXXX" the loader makes under
// $XDG_CACHE_HOME/qx/ (default ~/.cache/qx/), holding
//   ".qx-loader"  the marker: the folder's own path and a line feed. Only a
//                 folder whose marker names it counts as the loader's. The
//                 loader locks it (flock) before it writes the name, and
//                 the lock stays with the installation program it becomes
//                 until that ends: a marked folder whose lock is free is
//                 left from a run that is over, and the next loader
//                 removes it.
//   ".qx-setup"   a symbolic link to the file the user started (setup.exe,
//                 or the loader alone beside setup.1): the setup that the
//                 install record is kept for.
//   ".qx-source"  only when the started file's folder has a name that is
//                 not UTF-8 (which the installation program cannot read
//                 back): a symbolic link to that folder, passed as -s.
//   the members of the setup archive.
// A restart end moves the folder under $XDG_DATA_HOME/qx/resume/ (the
// engine's ResumeRoot), its marker then naming the new place, so that the
// run at the next login does not depend on the cache.

#include <array>
#include <cstdint>
#include <string>

namespace selfextract {

inline constexpr int kTrailerSize = 56;
inline constexpr char kMagic[] = "SELFEXTRACTING";
inline constexpr char kMarkerName[] = ".qx-loader";
inline constexpr char kFolderPrefix[] = "setup-";
inline constexpr char kStartedLinkName[] = ".qx-setup";
inline constexpr char kSourceLinkName[] = ".qx-source";

inline constexpr char kTextNoExtractionInfo[] =
    "Could not read the extraction info from the archive file %s when trying to find the "
    "correct offset into the self extracting file";

struct TSelfExtractInfo {
  std::int32_t Setup1Start = 0;
  std::int32_t Setup1End = 0;
  std::int32_t Files1Start = 0;
  std::int32_t Files1End = 0;

  bool HasFiles1() const { return Files1Start != 0 || Files1End != 0; }
  bool operator==(const TSelfExtractInfo&) const = default;
};

using TTrailer = std::array<std::uint8_t, kTrailerSize>;

TTrailer EncodeTrailer(const TSelfExtractInfo& info);

// Decodes the trailer of a file of fileSize bytes. False unless the magic
// is there and the parts lie inside the file before the trailer, in order:
// 0 < setup.1 start <= its end < files.1 start <= its end < the trailer
// (files.1 may be absent: both fields 0).
bool DecodeTrailer(const TTrailer& bytes, std::int64_t fileSize, TSelfExtractInfo& info);

// $XDG_CACHE_HOME/qx (an absolute XDG_CACHE_HOME only), else
// $HOME/.cache/qx; empty when neither is known.
std::string CacheRoot();

}  // namespace selfextract
