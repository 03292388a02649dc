#pragma once
// Builds small ELF images in memory for the version reader tests.

#include "installer/engine/cmp_TVersion_Note.h"

#include <QByteArray>

#include <cstdint>

namespace elfimage {

QByteArray Le(std::uint64_t value, int width);
// One note record: header, name and descriptor, each padded to align.
QByteArray Note(const QByteArray& name, std::uint32_t type, const QByteArray& desc, int align = 4);
// A version note descriptor in the stamped layout.
QByteArray Descriptor(const TVersionNote& note);
// A version note with one US English / 1252 table holding the entries.
TVersionNote SampleNote();

struct Options {
  bool is64 = true;
  bool sections = true;  // a section header table with one SHT_NOTE section
  bool segments = true;  // a program header table with one PT_NOTE entry
  int align = 4;
};
// A little-endian ELF file whose only note area holds notes.
QByteArray Build(const QByteArray& notes, const Options& options);

// Offsets of header fields within a built image, for corrupting it.
struct Layout {
  int shoffAt, phoffAt, shentsizeAt, shnumAt, phnumAt;
  int noteSectionAt;  // the note section's header
  int noteSegmentAt;  // the PT_NOTE program header
  int notesAt;        // the note area
};
Layout LayoutOf(const Options& options, int notesSize);

}  // namespace elfimage
