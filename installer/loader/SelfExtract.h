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
// The extraction folder: a folder the loader makes under
// $XDG_CACHE_HOME/qx/ (default ~/.cache/qx/), holding the marker file
// ".qx-loader" whose content is the folder's own path and a line feed.
// Only a folder with that marker counts as the loader's.

#include <array>
#include <cstdint>
#include <string>

namespace selfextract {

inline constexpr int kTrailerSize = 56;
inline constexpr char kMagic[] = "SELFEXTRACTING";
inline constexpr char kMarkerName[] = ".qx-loader";
inline constexpr char kFolderPrefix[] = "setup-";

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
