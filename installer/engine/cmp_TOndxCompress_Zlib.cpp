#include "installer/engine/cmp_TOndxCompress_Zlib.h"

#include "installer/engine/routines_Exceptions.h"

#include <QString>

#include <new>

const char* OcZlibText(int code) {
  return zError(code);
}

void OcRaiseZlib(int code) {
  if (code == Z_MEM_ERROR)
    throw std::bad_alloc();
  throw EOndxCompress(QString::fromLatin1(OcZlibText(code)));
}

TOcDeflater::TOcDeflater(int level, Sink sink) : sink_(std::move(sink)) {
  const int rc = deflateInit(&stream_, level);
  if (rc != Z_OK)
    OcRaiseZlib(rc);
}

TOcDeflater::~TOcDeflater() {
  deflateEnd(&stream_);
}

void TOcDeflater::Feed(const char* data, std::int64_t size) {
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  stream_.avail_in = static_cast<uInt>(size);
  Run(Z_NO_FLUSH);
}

void TOcDeflater::Finish() {
  stream_.next_in = nullptr;
  stream_.avail_in = 0;
  Run(Z_FINISH);
}

// Deflates until the input is used up (or, finishing, the stream ends);
// every full output buffer goes to the sink.
void TOcDeflater::Run(int flush) {
  for (;;) {
    if (stream_.next_out == nullptr || stream_.avail_out == 0) {
      stream_.next_out = reinterpret_cast<Bytef*>(buffer_);
      stream_.avail_out = kBufferSize;
    }
    const int rc = deflate(&stream_, flush);
    if (rc < 0 && rc != Z_BUF_ERROR)
      OcRaiseZlib(rc);
    const bool ended = rc == Z_STREAM_END;
    if (stream_.avail_out == 0 || ended) {
      const std::int64_t n = kBufferSize - stream_.avail_out;
      if (n > 0)
        sink_(buffer_, n);
      stream_.next_out = nullptr;
    }
    if (ended || (flush == Z_NO_FLUSH && stream_.avail_in == 0 && stream_.avail_out != 0))
      return;
  }
}

TOcInflater::TOcInflater() {
  const int rc = inflateInit(&stream_);
  if (rc != Z_OK)
    OcRaiseZlib(rc);
}

TOcInflater::~TOcInflater() {
  inflateEnd(&stream_);
}

void TOcInflater::SetInput(const char* data, std::int64_t size) {
  stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
  stream_.avail_in = static_cast<uInt>(size);
}

int TOcInflater::Inflate(char* out, int outSize, int& produced) {
  stream_.next_out = reinterpret_cast<Bytef*>(out);
  stream_.avail_out = static_cast<uInt>(outSize);
  const int rc = inflate(&stream_, Z_NO_FLUSH);
  produced = outSize - static_cast<int>(stream_.avail_out);
  return rc;
}
