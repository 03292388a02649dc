#pragma once
// TIniFile: an INI file read and written by the profile rules (IniDocument.h).
//
// A file name without a folder part, or any relative name, lies in the
// "Windows" folder ($XDG_DATA_HOME/qx/windows, created when first written).
// Every read reads the file afresh; a missing file reads as empty. Every
// change is one locked read-modify-write: under an exclusive lock on the
// sidecar file "<name>.lock" the file is read again, the change applied and
// the new content written to a temporary file that is renamed over the old
// one, so concurrent writers lose nothing and readers never see half a file.
// Writing into a folder that does not exist fails; a file that exists but
// cannot be read is never rewritten. Both raise EIniFileException.

#include "platform/rtl/Exceptions.h"

#include <QString>

class TStrings;
class IniDocument;

QX_EXCEPTION(EIniFileException, Exception);

class TIniFile {
 public:
  explicit TIniFile(const QString& fileName);
  TIniFile(const TIniFile&) = delete;
  TIniFile& operator=(const TIniFile&) = delete;
  virtual ~TIniFile();

  QString FileName() const { return fileName_; }

  // The value without surrounding blanks and one pair of matching quotes;
  // def when the section or key is missing.
  QString ReadString(const QString& section, const QString& ident, const QString& def) const;
  void WriteString(const QString& section, const QString& ident, const QString& value);
  // Decimal or 0x hexadecimal; def when missing or not a number.
  int ReadInteger(const QString& section, const QString& ident, int def) const;
  void WriteInteger(const QString& section, const QString& ident, int value);
  // "0" is false, other numbers true; def otherwise.
  bool ReadBool(const QString& section, const QString& ident, bool def) const;
  void WriteBool(const QString& section, const QString& ident, bool value);

  void ReadSection(const QString& section, TStrings* strings) const;
  void ReadSections(TStrings* strings) const;
  void ReadSectionValues(const QString& section, TStrings* strings) const;
  void EraseSection(const QString& section);
  void DeleteKey(const QString& section, const QString& ident);
  // True when the section holds at least one key.
  bool SectionExists(const QString& section) const;
  bool ValueExists(const QString& section, const QString& ident) const;
  // Changes are on disk when each call returns; nothing is pending.
  void UpdateFile();

  // The file actually read and written.
  QString Path() const { return path_; }

 private:
  IniDocument Load() const;
  template <typename Change>
  void Modify(Change change);

  QString fileName_;
  QString path_;
};

// The "Windows" folder that holds INI files named without a folder.
QString IniWindowsFolder();
