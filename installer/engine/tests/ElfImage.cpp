#include "ElfImage.h"

namespace elfimage {

QByteArray Le(std::uint64_t value, int width) {
  QByteArray bytes;
  for (int i = 0; i < width; ++i)
    bytes.append(static_cast<char>(value >> (8 * i) & 0xFF));
  return bytes;
}

namespace {
QByteArray Padded(QByteArray bytes, int align) {
  while (bytes.size() % align != 0)
    bytes.append('\0');
  return bytes;
}
}  // namespace

QByteArray Note(const QByteArray& name, std::uint32_t type, const QByteArray& desc, int align) {
  return Le(static_cast<std::uint64_t>(name.size()), 4) + Le(static_cast<std::uint64_t>(desc.size()), 4) +
         Le(type, 4) + Padded(name, align) + Padded(desc, align);
}

QByteArray Descriptor(const TVersionNote& note) {
  QByteArray d = Le(kVersionNoteFormat, 4);
  for (std::uint32_t v : {note.FileVersionMS, note.FileVersionLS, note.ProductVersionMS,
                          note.ProductVersionLS, note.FileOS, note.FileType, note.FileSubType})
    d += Le(v, 4);
  d += Le(static_cast<std::uint64_t>(note.Tables.size()), 4);
  for (const TVersionStringTable& table : note.Tables) {
    QByteArray entries;
    for (const auto& [name, text] : table.Entries)
      entries += name.toUtf8() + '\0' + text.toUtf8() + '\0';
    d += Le(table.Language, 2) + Le(table.CodePage, 2) + Le(static_cast<std::uint64_t>(entries.size()), 4);
    d += Padded(entries, 4);
  }
  return d;
}

TVersionNote SampleNote() {
  TVersionNote note;
  note.FileVersionMS = 0x0001'0002;
  note.FileVersionLS = 0x0003'0004;
  note.ProductVersionMS = 0x0005'0006;
  note.ProductVersionLS = 0x0007'0008;
  note.FileOS = 0x40004;
  note.FileType = 1;
  TVersionStringTable table;
  table.Language = 0x0409;
  table.CodePage = 1252;
  table.Entries = {{QStringLiteral("CompanyName"), QStringLiteral("Qx Oy")},
                   {QStringLiteral("ProductName"), QStringLiteral("Trovaly")}};
  note.Tables = {table};
  return note;
}

Layout LayoutOf(const Options& o, int notesSize) {
  Layout l{};
  const int header = o.is64 ? 64 : 52;
  const int phentsize = o.is64 ? 56 : 32;
  const int shentsize = o.is64 ? 64 : 40;
  l.phoffAt = o.is64 ? 32 : 28;
  l.shoffAt = o.is64 ? 40 : 32;
  l.shentsizeAt = o.is64 ? 58 : 46;
  l.shnumAt = o.is64 ? 60 : 48;
  l.phnumAt = o.is64 ? 56 : 44;
  l.noteSegmentAt = header;
  l.notesAt = header + (o.segments ? phentsize : 0);
  l.noteSectionAt = l.notesAt + notesSize + shentsize;  // after the null section
  return l;
}

namespace {

QByteArray Header(const Options& o, const Layout& l) {
  const int w = o.is64 ? 8 : 4;
  QByteArray h("\x7f" "ELF", 4);
  h += static_cast<char>(o.is64 ? 2 : 1);  // class
  h += '\x01';                             // little-endian
  h += '\x01';                             // version
  h += QByteArray(9, '\0');
  h += Le(2, 2) + Le(o.is64 ? 62 : 3, 2) + Le(1, 4);  // executable, machine, version
  h += Le(0, w);                                      // entry
  h += Le(o.segments ? static_cast<std::uint64_t>(l.noteSegmentAt) : 0, w);
  h += Le(o.sections ? static_cast<std::uint64_t>(l.noteSectionAt - (o.is64 ? 64 : 40)) : 0, w);
  h += Le(0, 4);                                      // flags
  h += Le(o.is64 ? 64 : 52, 2);
  h += Le(o.is64 ? 56 : 32, 2) + Le(o.segments ? 1 : 0, 2);
  h += Le(o.is64 ? 64 : 40, 2) + Le(o.sections ? 2 : 0, 2) + Le(0, 2);
  return h;
}

QByteArray Segment(const Options& o, const Layout& l, int size) {
  if (o.is64)
    return Le(4, 4) + Le(4, 4) + Le(l.notesAt, 8) + Le(0, 8) + Le(0, 8) + Le(size, 8) + Le(size, 8) +
           Le(o.align, 8);
  return Le(4, 4) + Le(l.notesAt, 4) + Le(0, 4) + Le(0, 4) + Le(size, 4) + Le(size, 4) + Le(4, 4) +
         Le(o.align, 4);
}

QByteArray Section(const Options& o, std::uint32_t type, int offset, int size) {
  if (o.is64)
    return Le(0, 4) + Le(type, 4) + Le(type ? 2 : 0, 8) + Le(0, 8) + Le(offset, 8) + Le(size, 8) +
           Le(0, 4) + Le(0, 4) + Le(o.align, 8) + Le(0, 8);
  return Le(0, 4) + Le(type, 4) + Le(type ? 2 : 0, 4) + Le(0, 4) + Le(offset, 4) + Le(size, 4) +
         Le(0, 4) + Le(0, 4) + Le(o.align, 4) + Le(0, 4);
}

}  // namespace

QByteArray Build(const QByteArray& notes, const Options& o) {
  const int size = static_cast<int>(notes.size());
  const Layout l = LayoutOf(o, size);
  QByteArray image = Header(o, l);
  if (o.segments)
    image += Segment(o, l, size);
  image += notes;
  if (o.sections)
    image += Section(o, 0, 0, 0) + Section(o, 7, l.notesAt, size);
  return image;
}

}  // namespace elfimage
