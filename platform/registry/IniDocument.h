#pragma once
// The lines of an INI file and the profile rules for reading and changing them.
//
// Line kinds, after trimming blanks:
//   "[name]"      a section header; the name runs to the first ']' (to the end
//                 of the line when there is none) and is trimmed
//   ";..."        a comment
//   "key=value"   an entry of the section above it; key and value trimmed;
//                 lines before the first header belong to no section
//   anything else (blank lines, lines without '=', "=x") means nothing
// Every line is kept as it was when the file is written back.
//
// Sections and keys compare by Unicode case folding. The first section of a
// name is the section and its first entry of a key is the entry; later
// duplicates stay in the file but are never read or changed, except that
// EraseSection removes every section of the name and DeleteKey every entry
// of the key in the section.
//
// Bytes: UTF-8 (a byte order mark is kept); a file that is not valid UTF-8 is
// read as Windows-1252. Written back as UTF-8. A line ends at LF; the CRs
// before it (and those ending a last line without LF) belong to its line
// end, which every line keeps as it was, also when its entry changes. New
// lines end with CR LF when a line of the file does, LF otherwise; a last
// line without a line end gets one when a line is added after it.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class IniDocument {
 public:
  static IniDocument FromBytes(const QByteArray& bytes);
  QByteArray ToBytes() const;

  // The entry's trimmed value (quotes not stripped); nullopt when missing.
  std::optional<QString> Value(const QString& section, const QString& key) const;
  // Section names, each once, in file order.
  QStringList Sections() const;
  // Keys of the section, each once, in file order.
  QStringList Keys(const QString& section) const;

  // Each returns whether the document changed.
  bool SetValue(const QString& section, const QString& key, const QString& value);
  bool EraseSection(const QString& section);
  bool DeleteKey(const QString& section, const QString& key);

 private:
  struct Range {
    int header;
    int end;  // the next header or the end of the lines
  };
  struct Line {
    QString text;
    QString end;  // "\n", "\r\n", "\r\r\n", "", ...
  };
  std::optional<Range> FindSection(const QString& folded, int from) const;
  int FindKey(const Range& range, const QString& folded) const;
  void Insert(qsizetype at, const QString& text);
  QString Trimmed(int line) const { return lines_[line].text.trimmed(); }

  QList<Line> lines_;
  QString eol_ = QStringLiteral("\n");
  bool bom_ = false;
};

// A value without one pair of matching surrounding quotes (' or ").
QString StripIniQuotes(const QString& value);

// Decimal, or hexadecimal after "0x" or "$" (up to 32 bits), with an optional
// sign; nullopt for anything else or out of range.
std::optional<int> ParseIniInteger(const QString& text);

