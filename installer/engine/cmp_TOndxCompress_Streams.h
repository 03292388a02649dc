#pragma once
// The compressor's raw file access: TOndxStream finds its size by seeking,
// TOndxNormalHandleStream works on a file descriptor it does not own, and
// TOndxFile owns a descriptor for the time a file is open.

#include "platform/rtl/Streams.h"

#include <QString>

#include <cstdint>

class TOndxStream : public TStream {
 public:
  // Remembers the position, seeks to the end (the size) and back.
  std::int64_t Size() override;
};

class TOndxNormalHandleStream : public TOndxStream {
 public:
  explicit TOndxNormalHandleStream(int handle) : handle_(handle) {}

  // The bytes moved; 0 when the call fails outright. A write that fills the
  // disk part-way returns the bytes that did fit.
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // Seeks to newSize and truncates there; failure raises EOSError.
  void SetSize(std::int64_t newSize) override;
  int Handle() const { return handle_; }
  void SetHandle(int handle) { handle_ = handle; }

 private:
  int handle_;
};

// An open file descriptor with its stream; closed on destruction.
class TOndxFile {
 public:
  enum TMode { omRead, omReadWrite, omCreate };
  TOndxFile() = default;
  TOndxFile(const TOndxFile&) = delete;
  TOndxFile& operator=(const TOndxFile&) = delete;
  ~TOndxFile() { Close(); }

  // False (errno set) when the file cannot be opened or is no regular
  // file (a FIFO or a device is refused without blocking); omCreate
  // creates or truncates.
  bool Open(const QString& path, TMode mode);
  // False when closing reports an error (a write that failed late).
  bool Close();
  bool IsOpen() const { return handle_ >= 0; }
  const QString& Path() const { return path_; }
  TOndxNormalHandleStream& Stream() { return stream_; }
  // Flushes the data to the disk; false on failure.
  bool Sync();
  // Starts writing a range (count 0: to the end) to the disk without
  // waiting, so a later Sync finds less to do. A hint: failures are ignored.
  void StartWriteBack(std::int64_t offset, std::int64_t count);

 private:
  int handle_ = -1;
  QString path_;
  TOndxNormalHandleStream stream_{-1};
};
