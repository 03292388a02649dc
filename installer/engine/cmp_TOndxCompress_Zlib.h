#pragma once
// Thin RAII bindings of zlib's deflate and inflate streams (zlib format with
// header and Adler-32 checksum).

#include <zlib.h>

#include <cstdint>
#include <functional>

// Compresses into a fixed output buffer; Sink receives each full buffer and,
// at the end, the rest.
class TOcDeflater {
 public:
  using Sink = std::function<void(const char* data, std::int64_t size)>;
  static constexpr int kBufferSize = 65536;

  // level: 0, 1, Z_DEFAULT_COMPRESSION (-1) or 9.
  TOcDeflater(int level, Sink sink);
  TOcDeflater(const TOcDeflater&) = delete;
  TOcDeflater& operator=(const TOcDeflater&) = delete;
  ~TOcDeflater();

  void Feed(const char* data, std::int64_t size);
  void Finish();

 private:
  void Run(int flush);

  z_stream stream_{};
  Sink sink_;
  char buffer_[kBufferSize];
};

// Decompresses one stream step by step.
class TOcInflater {
 public:
  TOcInflater();
  TOcInflater(const TOcInflater&) = delete;
  TOcInflater& operator=(const TOcInflater&) = delete;
  ~TOcInflater();

  void SetInput(const char* data, std::int64_t size);
  std::int64_t AvailIn() const { return stream_.avail_in; }
  // Inflates into out; produced is the bytes written there. Returns zlib's
  // code (Z_OK, Z_STREAM_END, Z_BUF_ERROR when no progress was possible, or
  // a negative error).
  int Inflate(char* out, int outSize, int& produced);

 private:
  z_stream stream_{};
};

// zlib's text for a result code.
const char* OcZlibText(int code);
// The binding's error for a failed zlib call: EOndxCompress with zlib's text
// ("data error", "need dictionary", ...); out of memory is std::bad_alloc.
[[noreturn]] void OcRaiseZlib(int code);
