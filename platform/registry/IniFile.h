#pragma once
// TIniFile: an INI file read and written by the profile rules (IniDocument.h).
//
// A file name without a folder part, or any relative name, lies in the
// "Windows" folder ($XDG_DATA_HOME/qx/windows, created when first written).
// Every read reads the file afresh; a missing file reads as empty, any other
// failure to read raises. Every change is one locked read-modify-write:
// under an exclusive lock on the sidecar file "<name>.lock" the file is read
// again, the change applied and the new content written through TAtomicFile
// (platform/rtl/AtomicFile.h), so concurrent writers lose nothing, readers
// never see half a file and a full disk or a crash leaves the old file as it
// was. Temporaries of writers that died are removed when a TIniFile of the
// file is created. Writing into a folder that does not exist fails; a file
// that exists but cannot be read is never rewritten. Every failure raises
// EIniFileException, with the system's text where the system gave one.

#include "platform/rtl/Exceptions.h"

#include <QString>

#include <functional>
#include <vector>

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
  // Changes are on disk when each call returns (outside a TIniFileBatch);
  // nothing is pending.
  void UpdateFile();

  // The file actually read and written.
  QString Path() const { return path_; }

 private:
  friend class TIniFileBatch;
  // Returns whether the document changed.
  using Change = std::function<bool(IniDocument&)>;

  // The file with the changes of an open batch applied.
  IniDocument Load() const;
  IniDocument LoadFile() const;
  void Modify(Change change);
  void Rewrite(const std::vector<Change>& changes);

  QString fileName_;
  QString path_;
  std::vector<Change> pending_;  // gathered by open batches
  int batchDepth_ = 0;
};

// Gathers the changes made through one TIniFile (a section erased and its
// keys written anew, say) into one rewrite of the file on Commit, so other
// processes and a crash see either none or all of them. Reads through the
// file see the gathered changes. A batch left without Commit (an exception)
// drops what was gathered since it began. In nested batches the outermost
// Commit writes. A null file makes a batch that does nothing.
class TIniFileBatch {
 public:
  explicit TIniFileBatch(TIniFile* ini);
  ~TIniFileBatch();
  TIniFileBatch(const TIniFileBatch&) = delete;
  TIniFileBatch& operator=(const TIniFileBatch&) = delete;

  void Commit();

 private:
  TIniFile* ini_;
  std::size_t start_ = 0;  // the first change of this batch in pending_
};

// The "Windows" folder that holds INI files named without a folder.
QString IniWindowsFolder();
