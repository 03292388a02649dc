#include "installer/loader/SelfExtract.h"

#include <cstdlib>
#include <cstring>

namespace selfextract {

namespace {

void PutInt(TTrailer& out, int offset, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i)
    out[static_cast<size_t>(offset + i)] = static_cast<std::uint8_t>(bits >> (8 * i));
}

std::int32_t GetInt(const TTrailer& in, int offset) {
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i)
    bits |= std::uint32_t{in[static_cast<size_t>(offset + i)]} << (8 * i);
  return static_cast<std::int32_t>(bits);
}

}  // namespace

TTrailer EncodeTrailer(const TSelfExtractInfo& info) {
  TTrailer out{};
  out[0] = static_cast<std::uint8_t>(std::strlen(kMagic));
  std::memcpy(out.data() + 1, kMagic, std::strlen(kMagic));
  PutInt(out, 16, info.Setup1Start);
  PutInt(out, 20, info.Setup1End);
  PutInt(out, 24, info.Files1Start);
  PutInt(out, 28, info.Files1End);
  return out;
}

bool DecodeTrailer(const TTrailer& bytes, std::int64_t fileSize, TSelfExtractInfo& info) {
  const size_t length = std::strlen(kMagic);
  if (bytes[0] != length || std::memcmp(bytes.data() + 1, kMagic, length) != 0 || bytes[15] != 0)
    return false;
  TSelfExtractInfo read;
  read.Setup1Start = GetInt(bytes, 16);
  read.Setup1End = GetInt(bytes, 20);
  read.Files1Start = GetInt(bytes, 24);
  read.Files1End = GetInt(bytes, 28);
  const std::int64_t trailer = fileSize - kTrailerSize;
  if (read.Setup1Start <= 0 || read.Setup1End < read.Setup1Start || read.Setup1End >= trailer)
    return false;
  if (read.HasFiles1() && (read.Files1Start <= read.Setup1End ||
                           read.Files1End < read.Files1Start || read.Files1End >= trailer))
    return false;
  info = read;
  return true;
}

std::string CacheRoot() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/')
    return std::string(cache) + "/qx";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/')
    return std::string(home) + "/.cache/qx";
  return std::string();
}

}  // namespace selfextract
