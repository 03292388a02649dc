#include "platform/rtl/TextFile.h"

#include "platform/rtl/Codec1252.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"

#include <QFile>

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kBufferSize = 64 * 1024;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

QString FolderOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  if (slash < 0)
    return QStringLiteral(".");
  return slash == 0 ? QStringLiteral("/") : fileName.left(slash);
}

// The runtime code of a failed open; fallback is used for errors that have
// no code of their own.
int OpenErrorCode(int err, const QString& fileName, bool creating, int fallback) {
  switch (err) {
    case ENOENT:
      return creating || !DirectoryExists(FolderOf(fileName)) ? EInOutError::PathNotFound
                                                              : EInOutError::FileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return EInOutError::PathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return EInOutError::AccessDenied;
    case EMFILE:
    case ENFILE:
      return EInOutError::TooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return EInOutError::DiskWriteError;
    default:
      return fallback;
  }
}

}  // namespace

// The routines' access to a file's state.
class TextFileIO {
 public:
  static void OpenInput(TextFile& f, int flags) { Open(f, flags, TextFile::Mode::Input); }
  static void OpenOutput(TextFile& f, int flags) { Open(f, flags, TextFile::Mode::Output); }

  static void Close(TextFile& f) {
    if (f.mode_ == TextFile::Mode::Closed)
      throw EInOutError(EInOutError::FileNotOpen);
    const bool output = f.mode_ == TextFile::Mode::Output;
    const bool flushed = !output || FlushQuietly(f);
    const bool closed = ::close(f.fd_) == 0;
    f.fd_ = -1;
    f.mode_ = TextFile::Mode::Closed;
    f.buffer_.clear();
    f.bufPos_ = 0;
    if (output && (!flushed || !closed))
      throw EInOutError(EInOutError::DiskWriteError);
  }

  static void CloseQuietly(TextFile& f) {
    if (f.mode_ == TextFile::Mode::Output)
      FlushQuietly(f);
    if (f.fd_ >= 0)
      ::close(f.fd_);
    f.fd_ = -1;
    f.mode_ = TextFile::Mode::Closed;
  }

  static void CloseIfOpen(TextFile& f) {
    if (f.mode_ != TextFile::Mode::Closed)
      Close(f);
  }

  static void SetName(TextFile& f, const QString& name) {
    f.name_ = name;
    f.assigned_ = true;
  }

  // ---- input

  static void CheckInput(const TextFile& f) {
    if (f.mode_ == TextFile::Mode::Closed)
      throw EInOutError(EInOutError::FileNotOpen);
    if (f.mode_ != TextFile::Mode::Input)
      throw EInOutError(EInOutError::FileNotOpenForInput);
  }

  // The next byte, or -1 at the end of the file.
  static int Peek(TextFile& f) {
    if (f.bufPos_ >= f.buffer_.size() && !Fill(f))
      return -1;
    return static_cast<unsigned char>(f.buffer_[f.bufPos_]);
  }

  static void Skip(TextFile& f) { ++f.bufPos_; }

  // Takes the bytes up to the next line end (not the line end itself).
  static QByteArray TakeLine(TextFile& f) {
    QByteArray line;
    for (;;) {
      if (f.bufPos_ >= f.buffer_.size() && !Fill(f))
        return line;
      const qsizetype start = f.bufPos_;
      qsizetype end = start;
      while (end < f.buffer_.size() && f.buffer_[end] != '\r' && f.buffer_[end] != '\n')
        ++end;
      line.append(f.buffer_.constData() + start, end - start);
      f.bufPos_ = end;
      if (end < f.buffer_.size())
        return line;
    }
  }

  // Moves past a line end: CR LF, LF or CR.
  static void SkipLineEnd(TextFile& f) {
    const int c = Peek(f);
    if (c == '\r') {
      Skip(f);
      if (Peek(f) == '\n')
        Skip(f);
    } else if (c == '\n') {
      Skip(f);
    }
  }

  // ---- output

  static void CheckOutput(const TextFile& f) {
    if (f.mode_ == TextFile::Mode::Closed)
      throw EInOutError(EInOutError::FileNotOpen);
    if (f.mode_ != TextFile::Mode::Output)
      throw EInOutError(EInOutError::FileNotOpenForOutput);
  }

  static void Put(TextFile& f, const QByteArray& bytes) {
    CheckOutput(f);
    f.buffer_.append(bytes);
    if (f.buffer_.size() >= kBufferSize && !FlushQuietly(f))
      throw EInOutError(EInOutError::DiskWriteError);
  }

 private:
  static void Open(TextFile& f, int flags, TextFile::Mode mode) {
    if (!f.assigned_)
      throw EInOutError(EInOutError::FileNotAssigned);
    if (f.mode_ != TextFile::Mode::Closed)
      Close(f);
    const bool creating = (flags & O_CREAT) != 0;
    const int fallback = mode == TextFile::Mode::Input ? EInOutError::DiskReadError
                                                       : EInOutError::DiskWriteError;
    const int fd = ::open(QFile::encodeName(f.name_).constData(), flags | O_CLOEXEC, 0666);
    if (fd < 0)
      throw EInOutError(OpenErrorCode(errno, f.name_, creating, fallback));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
      ::close(fd);
      throw EInOutError(EInOutError::AccessDenied);
    }
    f.fd_ = fd;
    f.mode_ = mode;
    f.buffer_.clear();
    f.bufPos_ = 0;
  }

  static bool Fill(TextFile& f) {
    f.buffer_.resize(kBufferSize);
    f.bufPos_ = 0;
    for (;;) {
      const ssize_t n = ::read(f.fd_, f.buffer_.data(), static_cast<size_t>(kBufferSize));
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0) {
        f.buffer_.clear();
        throw EInOutError(EInOutError::DiskReadError);
      }
      f.buffer_.resize(n);
      return n > 0;
    }
  }

  // Writes the buffer; what failed to go out is dropped so the error is
  // reported once.
  static bool FlushQuietly(TextFile& f) {
    const char* p = f.buffer_.constData();
    qsizetype left = f.buffer_.size();
    bool ok = true;
    while (left > 0) {
      const ssize_t n = ::write(f.fd_, p, static_cast<size_t>(left));
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0) {
        ok = false;
        break;
      }
      p += n;
      left -= n;
    }
    f.buffer_.clear();
    return ok;
  }
};

TextFile::~TextFile() { TextFileIO::CloseQuietly(*this); }

void AssignFile(TextFile& f, const QString& fileName) {
  TextFileIO::CloseIfOpen(f);
  TextFileIO::SetName(f, fileName);
}

void Reset(TextFile& f) { TextFileIO::OpenInput(f, O_RDONLY); }

void Rewrite(TextFile& f) {
  TextFileIO::OpenOutput(f, O_WRONLY | O_CREAT | O_TRUNC);
}

void Append(TextFile& f) { TextFileIO::OpenOutput(f, O_WRONLY | O_APPEND); }

void CloseFile(TextFile& f) { TextFileIO::Close(f); }

void ReadLn(TextFile& f, QString& line) {
  TextFileIO::CheckInput(f);
  line = DecodeWin1252(TextFileIO::TakeLine(f));
  TextFileIO::SkipLineEnd(f);
}

void ReadLn(TextFile& f) {
  TextFileIO::CheckInput(f);
  TextFileIO::TakeLine(f);
  TextFileIO::SkipLineEnd(f);
}

namespace {

// Optional sign and decimal digits, the whole token, within int.
bool ParseInt(const QByteArray& token, int& value) {
  qsizetype i = 0;
  const bool negative = !token.isEmpty() && token[0] == '-';
  if (!token.isEmpty() && (token[0] == '-' || token[0] == '+'))
    ++i;
  if (i == token.size())
    return false;
  long long v = 0;
  for (; i < token.size(); ++i) {
    if (token[i] < '0' || token[i] > '9')
      return false;
    v = v * 10 + (token[i] - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
      return false;
  }
  v = negative ? -v : v;
  if (v > std::numeric_limits<int>::max())
    return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

void Read(TextFile& f, int& value) {
  TextFileIO::CheckInput(f);
  int c = TextFileIO::Peek(f);
  while (c >= 0 && IsBlank(static_cast<char>(c))) {
    TextFileIO::Skip(f);
    c = TextFileIO::Peek(f);
  }
  value = 0;
  if (c < 0)
    return;  // only blanks were left: the number is 0
  QByteArray token;
  while (c >= 0 && !IsBlank(static_cast<char>(c))) {
    token.append(static_cast<char>(c));
    TextFileIO::Skip(f);
    c = TextFileIO::Peek(f);
  }
  if (!ParseInt(token, value)) {
    value = 0;
    throw EInOutError(EInOutError::InvalidNumericFormat);
  }
}

void ReadLn(TextFile& f, int& value) {
  Read(f, value);
  ReadLn(f);
}

void Write(TextFile& f, const QString& text) { TextFileIO::Put(f, EncodeWin1252(text)); }

void Write(TextFile& f, int value) { TextFileIO::Put(f, QByteArray::number(value)); }

void WriteLn(TextFile& f) { TextFileIO::Put(f, QByteArrayLiteral("\r\n")); }

void WriteLn(TextFile& f, const QString& text) { TextFileIO::Put(f, EncodeWin1252(text) + "\r\n"); }

void WriteLn(TextFile& f, int value) { TextFileIO::Put(f, QByteArray::number(value) + "\r\n"); }

bool Eof(TextFile& f) {
  TextFileIO::CheckInput(f);
  return TextFileIO::Peek(f) < 0;
}

bool Eoln(TextFile& f) {
  TextFileIO::CheckInput(f);
  const int c = TextFileIO::Peek(f);
  return c < 0 || c == '\r' || c == '\n';
}
