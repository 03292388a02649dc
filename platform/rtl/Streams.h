#pragma once
// Streams: TStream (the abstract byte stream), THandleStream (a POSIX file
// descriptor), TFileStream (a named file with the classic open and share
// modes), TMemoryStream and TStringStream (bytes held in memory).

#include <QByteArray>
#include <QString>

#include <cstdint>

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
// The older names of the origins.
inline constexpr TSeekOrigin soFromBeginning = soBeginning;
inline constexpr TSeekOrigin soFromCurrent = soCurrent;
inline constexpr TSeekOrigin soFromEnd = soEnd;

// File open modes: one access value or'ed with one share value, or fmCreate.
inline constexpr unsigned fmCreate = 0xFFFF;
inline constexpr unsigned fmOpenRead = 0x0000;
inline constexpr unsigned fmOpenWrite = 0x0001;
inline constexpr unsigned fmOpenReadWrite = 0x0002;
// Share modes are enforced among our processes with advisory whole-file
// locks (flock), taken when the file is opened and held until it is closed:
// fmShareExclusive, fmShareDenyRead and fmCreate take an exclusive lock, every
// other mode a shared one. So an exclusive holder keeps every other stream
// off the file, and an exclusive open fails while any stream holds the file.
// An open whose lock conflicts fails at once; fmCreate truncates only after
// it holds its lock.
inline constexpr unsigned fmShareCompat = 0x0000;
inline constexpr unsigned fmShareExclusive = 0x0010;
inline constexpr unsigned fmShareDenyWrite = 0x0020;
inline constexpr unsigned fmShareDenyRead = 0x0030;
inline constexpr unsigned fmShareDenyNone = 0x0040;

class TStream {
 public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Transfer up to count bytes; return the number moved (0 at the end).
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  // Moves the position; returns the new position.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position();
  void SetPosition(std::int64_t pos);
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t newSize) = 0;

  // Exactly count bytes or EReadError "Stream read error" /
  // EWriteError "Stream write error".
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies count bytes from source's position; count 0 copies the whole of
  // source from its start. Returns the bytes copied.
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

// Reads or writes count bytes on a file descriptor, retrying after signals;
// returns the bytes moved (short at end of file or on an error).
std::int64_t ReadDescriptor(int handle, void* buffer, std::int64_t count);
std::int64_t WriteDescriptor(int handle, const void* buffer, std::int64_t count);

// A stream on an open file descriptor, which it does not close.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int handle) : handle_(handle) {}

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t newSize) override;
  int Handle() const { return handle_; }

 protected:
  int handle_;
};

// A named file. Open failures raise EFOpenError "Cannot open file \"%s\". %s",
// create failures EFCreateError "Cannot create file \"%s\". %s" (with the
// system's text).
class TFileStream : public THandleStream {
 public:
  TFileStream(const QString& fileName, unsigned mode);
  ~TFileStream() override;

  const QString& FileName() const { return fileName_; }

 private:
  QString fileName_;
};

// Bytes in memory; the stream grows as it is written past its end.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;

  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return data_.size(); }
  void SetSize(std::int64_t newSize) override;

  // The bytes; valid until the next change of size.
  void* Memory() { return data_.data(); }
  const QByteArray& Bytes() const { return data_; }
  void Clear();
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;
  void LoadFromFile(const QString& fileName);
  void SaveToFile(const QString& fileName) const;

 protected:
  QByteArray data_;
  std::int64_t position_ = 0;
};

// A memory stream presented as a byte string.
class TStringStream : public TMemoryStream {
 public:
  explicit TStringStream(const QByteArray& data = QByteArray());

  const QByteArray& DataString() const { return data_; }
  // Up to count bytes from the position.
  QByteArray ReadString(std::int64_t count);
  void WriteString(const QByteArray& s);
};
