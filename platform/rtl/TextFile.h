#pragma once
// The runtime's text files: assign a name, open with Reset (read), Rewrite
// (create or truncate) or Append (write at the end), read and write lines,
// close. Text is Windows-1252 on disk. Lines end with CR LF on writing; on
// reading a line ends at CR LF, a bare LF or a bare CR. Reads and writes are
// buffered; lines have no length limit.
//
// Every failure raises EInOutError with the runtime's code:
//   2   Reset/Append of a file that does not exist
//   3   a folder of the path does not exist
//   4   too many open files
//   5   no permission, or the name is a folder
//   100 the read itself failed
//   101 a write failed (disk full); buffered data is written at the latest
//       by CloseFile, which then reports it
//   102 the file has no name (AssignFile was not called)
//   103 the file is not open
//   104 reading from a file opened for writing
//   105 writing to a file opened for reading
//   106 the number read is not an optional sign followed by decimal digits,
//       or does not fit in an int
//
// End of file is not an error for the line and number reads: ReadLn at end
// of file gives an empty line, and Read of a number where only blanks and
// line ends remain gives 0. A file that ends early therefore reads as if it
// went on with empty lines; the grid reader relies on this.

#include <QByteArray>
#include <QString>

class TextFile {
 public:
  TextFile() = default;
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;
  // Writes what is buffered (errors are lost then: call CloseFile) and
  // closes the file.
  ~TextFile();

  const QString& FileName() const { return name_; }

 private:
  friend class TextFileIO;
  enum class Mode { Closed, Input, Output };

  QString name_;
  bool assigned_ = false;
  int fd_ = -1;
  Mode mode_ = Mode::Closed;
  QByteArray buffer_;     // input: bytes read ahead; output: bytes not yet written
  qsizetype bufPos_ = 0;  // input: next byte of buffer_
};

// Names the file; an open file is closed first.
void AssignFile(TextFile& f, const QString& fileName);
void Reset(TextFile& f);
void Rewrite(TextFile& f);
void Append(TextFile& f);
void CloseFile(TextFile& f);

// Reads the rest of the line (without its line end) and moves past the end.
void ReadLn(TextFile& f, QString& line);
// Skips the rest of the line.
void ReadLn(TextFile& f);
// Skips blanks, tabs and line ends, then reads an optional sign and decimal
// digits, which must end at a blank, a line end or the end of the file.
void Read(TextFile& f, int& value);
// Read of the number, then the rest of its line is skipped.
void ReadLn(TextFile& f, int& value);

void Write(TextFile& f, const QString& text);
void Write(TextFile& f, int value);
void WriteLn(TextFile& f);
void WriteLn(TextFile& f, const QString& text);
void WriteLn(TextFile& f, int value);

// True when no byte is left to read.
bool Eof(TextFile& f);
// True at a line end or at the end of the file.
bool Eoln(TextFile& f);
