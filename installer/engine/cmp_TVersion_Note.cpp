#include "installer/engine/cmp_TVersion_Note.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr std::uint64_t kMaxNoteRegion = 4u << 20;  // bytes read of one note area
constexpr std::uint32_t kMaxTables = 64;
constexpr std::uint32_t kShtNote = 7;
constexpr std::uint32_t kPtNote = 4;

// Bounded little-endian reads; callers check Has() first.
class LeBytes {
 public:
  explicit LeBytes(const QByteArray& bytes) : bytes_(bytes) {}
  std::uint64_t Size() const { return static_cast<std::uint64_t>(bytes_.size()); }
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= Size() && count <= Size() - offset;
  }
  std::uint64_t Read(std::uint64_t offset, int width) const {
    std::uint64_t value = 0;
    for (int i = width - 1; i >= 0; --i)
      value = value << 8 | static_cast<std::uint8_t>(bytes_[static_cast<qsizetype>(offset) + i]);
    return value;
  }
  std::uint16_t U16(std::uint64_t offset) const { return static_cast<std::uint16_t>(Read(offset, 2)); }
  std::uint32_t U32(std::uint64_t offset) const { return static_cast<std::uint32_t>(Read(offset, 4)); }
  QByteArray Mid(std::uint64_t offset, std::uint64_t count) const {
    return bytes_.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(count));
  }

 private:
  const QByteArray& bytes_;
};

std::uint64_t AlignUp(std::uint64_t value, std::uint64_t align) {
  return (value + align - 1) / align * align;
}

// "Name\0Text\0" pairs; false when a text is not terminated.
bool DecodeEntries(const QByteArray& entries, TVersionStringTable& table) {
  qsizetype pos = 0;
  while (pos < entries.size()) {
    const qsizetype nameEnd = entries.indexOf('\0', pos);
    if (nameEnd < 0)
      return false;
    const qsizetype textEnd = entries.indexOf('\0', nameEnd + 1);
    if (textEnd < 0)
      return false;
    table.Entries.append({QString::fromUtf8(entries.mid(pos, nameEnd - pos)),
                          QString::fromUtf8(entries.mid(nameEnd + 1, textEnd - nameEnd - 1))});
    pos = textEnd + 1;
  }
  return true;
}

// One file region, checked against the file's size.
struct Region {
  std::uint64_t Offset = 0;
  std::uint64_t Size = 0;
  std::uint64_t Align = 4;
};

class ElfReader {
 public:
  explicit ElfReader(const QString& fileName) : file_(fileName) {}

  std::optional<TVersionNote> Read();

 private:
  std::optional<QByteArray> ReadAt(std::uint64_t offset, std::uint64_t count);
  bool ReadLayout();
  QList<Region> NoteRegions(bool sections);
  std::optional<TVersionNote> ScanRegion(const Region& region);

  QFile file_;
  std::uint64_t fileSize_ = 0;
  bool is64_ = false;
  std::uint64_t tableOffset_[2] = {0, 0};  // program headers, section headers
  std::uint64_t entrySize_[2] = {0, 0};
  std::uint64_t entryCount_[2] = {0, 0};
};

std::optional<QByteArray> ElfReader::ReadAt(std::uint64_t offset, std::uint64_t count) {
  if (offset > fileSize_ || count > fileSize_ - offset)
    return std::nullopt;
  if (!file_.seek(static_cast<qint64>(offset)))
    return std::nullopt;
  QByteArray bytes = file_.read(static_cast<qint64>(count));
  if (static_cast<std::uint64_t>(bytes.size()) != count)
    return std::nullopt;
  return bytes;
}

bool ElfReader::ReadLayout() {
  const std::optional<QByteArray> ident = ReadAt(0, 16);
  if (!ident || !ident->startsWith("\x7f" "ELF") || (*ident)[5] != 1)  // little-endian only
    return false;
  const char elfClass = (*ident)[4];
  if (elfClass != 1 && elfClass != 2)
    return false;
  is64_ = elfClass == 2;
  const std::optional<QByteArray> header = ReadAt(0, is64_ ? 64 : 52);
  if (!header)
    return false;
  const LeBytes h(*header);
  const int word = is64_ ? 8 : 4;
  const std::uint64_t tables = is64_ ? 32 : 28;  // e_phoff, then e_shoff
  const std::uint64_t sizes = is64_ ? 54 : 42;   // e_phentsize, e_phnum, e_shentsize, e_shnum
  tableOffset_[0] = h.Read(tables, word);
  tableOffset_[1] = h.Read(tables + word, word);
  entrySize_[0] = h.U16(sizes);
  entryCount_[0] = h.U16(sizes + 2);
  entrySize_[1] = h.U16(sizes + 4);
  entryCount_[1] = h.U16(sizes + 6);
  return true;
}

QList<Region> ElfReader::NoteRegions(bool sections) {
  QList<Region> regions;
  const int t = sections ? 1 : 0;
  // Field offsets in one header: type, file offset, size, alignment.
  const std::uint64_t minEntry = sections ? (is64_ ? 64 : 40) : (is64_ ? 56 : 32);
  const std::uint64_t offsetAt = sections ? (is64_ ? 24 : 16) : (is64_ ? 8 : 4);
  const std::uint64_t sizeAt = sections ? (is64_ ? 32 : 20) : (is64_ ? 32 : 16);
  const std::uint64_t alignAt = sections ? (is64_ ? 48 : 32) : (is64_ ? 48 : 28);
  const std::uint32_t wanted = sections ? kShtNote : kPtNote;
  // An offset beyond the file would also let the sums below wrap around.
  if (tableOffset_[t] == 0 || tableOffset_[t] > fileSize_ || entrySize_[t] < minEntry)
    return regions;
  const int word = is64_ ? 8 : 4;
  for (std::uint64_t i = 0; i < entryCount_[t]; ++i) {
    const std::optional<QByteArray> entry = ReadAt(tableOffset_[t] + i * entrySize_[t], minEntry);
    if (!entry)
      break;
    const LeBytes e(*entry);
    if (e.U32(sections ? 4 : 0) != wanted)
      continue;
    Region region{e.Read(offsetAt, word), e.Read(sizeAt, word), e.Read(alignAt, word) == 8 ? 8u : 4u};
    if (region.Size <= kMaxNoteRegion)
      regions.append(region);
  }
  return regions;
}

std::optional<TVersionNote> ElfReader::ScanRegion(const Region& region) {
  const std::optional<QByteArray> bytes = ReadAt(region.Offset, region.Size);
  if (!bytes)
    return std::nullopt;
  const LeBytes notes(*bytes);
  std::uint64_t pos = 0;
  while (notes.Has(pos, 12)) {
    const std::uint32_t nameSize = notes.U32(pos);
    const std::uint32_t descSize = notes.U32(pos + 4);
    const std::uint32_t type = notes.U32(pos + 8);
    const std::uint64_t descAt = pos + 12 + AlignUp(nameSize, region.Align);
    if (!notes.Has(pos + 12, nameSize) || !notes.Has(descAt, descSize))
      return std::nullopt;
    const QByteArray name = notes.Mid(pos + 12, nameSize);
    if (type == kVersionNoteType && name == QByteArray(kVersionNoteName, sizeof kVersionNoteName)) {
      if (std::optional<TVersionNote> note = DecodeVersionNote(notes.Mid(descAt, descSize)))
        return note;
    }
    pos = descAt + AlignUp(descSize, region.Align);
  }
  return std::nullopt;
}

std::optional<TVersionNote> ElfReader::Read() {
  if (!QFileInfo(file_.fileName()).isFile() || !file_.open(QIODevice::ReadOnly))
    return std::nullopt;
  fileSize_ = static_cast<std::uint64_t>(file_.size());
  if (!ReadLayout())
    return std::nullopt;
  for (const bool sections : {true, false}) {
    for (const Region& region : NoteRegions(sections)) {
      if (std::optional<TVersionNote> note = ScanRegion(region))
        return note;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<TVersionNote> DecodeVersionNote(const QByteArray& descriptor) {
  const LeBytes d(descriptor);
  if (!d.Has(0, 36) || d.U32(0) != kVersionNoteFormat)
    return std::nullopt;
  TVersionNote note;
  note.FileVersionMS = d.U32(4);
  note.FileVersionLS = d.U32(8);
  note.ProductVersionMS = d.U32(12);
  note.ProductVersionLS = d.U32(16);
  note.FileOS = d.U32(20);
  note.FileType = d.U32(24);
  note.FileSubType = d.U32(28);
  const std::uint32_t tableCount = d.U32(32);
  if (tableCount > kMaxTables)
    return std::nullopt;
  std::uint64_t pos = 36;
  for (std::uint32_t i = 0; i < tableCount; ++i) {
    if (!d.Has(pos, 8))
      return std::nullopt;
    TVersionStringTable table;
    table.Language = d.U16(pos);
    table.CodePage = d.U16(pos + 2);
    const std::uint32_t length = d.U32(pos + 4);
    if (!d.Has(pos + 8, length) || !DecodeEntries(d.Mid(pos + 8, length), table))
      return std::nullopt;
    note.Tables.append(table);
    pos = AlignUp(pos + 8 + length, 4);
  }
  return note;
}

std::optional<TVersionNote> ReadVersionNote(const QString& fileName) {
  return ElfReader(fileName).Read();
}
