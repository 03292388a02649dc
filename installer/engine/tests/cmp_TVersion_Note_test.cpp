#include "installer/engine/cmp_TVersion_Note.h"

#include "ElfImage.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <random>

namespace {

using elfimage::Le;

QByteArray VersionNote(const TVersionNote& note = elfimage::SampleNote(), int align = 4) {
  return elfimage::Note(QByteArray("QXVersion", 10), kVersionNoteType, elfimage::Descriptor(note), align);
}

std::optional<TVersionNote> ReadImage(const QByteArray& image) {
  const QString path = qxtest::TempPath(QStringLiteral("image.elf"));
  qxtest::WriteBytes(path, image);
  return ReadVersionNote(path);
}

void ExpectSample(const std::optional<TVersionNote>& note) {
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(note->FileVersionMS, 0x00010002u);
  EXPECT_EQ(note->FileVersionLS, 0x00030004u);
  EXPECT_EQ(note->ProductVersionLS, 0x00070008u);
  EXPECT_EQ(note->FileOS, 0x40004u);
  ASSERT_EQ(note->Tables.size(), 1);
  EXPECT_EQ(note->Tables[0].Language, 0x0409);
  EXPECT_EQ(note->Tables[0].CodePage, 1252);
  ASSERT_EQ(note->Tables[0].Entries.size(), 2);
  EXPECT_EQ(note->Tables[0].Entries[1].second, QStringLiteral("Trovaly"));
}

TEST(VersionNoteStamp, TheStampedProgramCarriesItsVersionBlock) {
  const std::optional<TVersionNote> note = ReadVersionNote(QStringLiteral(QX_STAMPED_PROGRAM));
  ASSERT_TRUE(note.has_value());
  EXPECT_EQ(note->FileVersionMS, 0x00010002u);
  EXPECT_EQ(note->FileVersionLS, 0x00030004u);
  EXPECT_EQ(note->ProductVersionMS, 0x00050006u);
  EXPECT_EQ(note->ProductVersionLS, 0x00070008u);
  EXPECT_EQ(note->FileType, 1u);
  ASSERT_EQ(note->Tables.size(), 1);
  EXPECT_EQ(note->Tables[0].Language, 0x0409);
  EXPECT_EQ(note->Tables[0].CodePage, 1252);
  const QList<QPair<QString, QString>> expected = {
      {QStringLiteral("CompanyName"), QStringLiteral("Qx Test Company")},
      {QStringLiteral("FileDescription"), QStringLiteral("Stamped test program")},
      {QStringLiteral("FileVersion"), QStringLiteral("1.2.3.4")},
      {QStringLiteral("InternalName"), QStringLiteral("engine_stamped_program")},
      {QStringLiteral("OriginalFileName"), QStringLiteral("engine_stamped_program")},
      {QStringLiteral("ProductName"), QStringLiteral("Qx Stamp Test")},
      {QStringLiteral("ProductVersion"), QStringLiteral("5.6.7.8")}};
  EXPECT_EQ(note->Tables[0].Entries, expected);
}

TEST(VersionNoteStamp, AnUnstampedProgramHasNoVersion) {
  EXPECT_FALSE(ReadVersionNote(QCoreApplication::applicationFilePath()).has_value());
}

struct ShapeCase {
  const char* name;
  elfimage::Options options;
};

class VersionNoteShapes : public testing::TestWithParam<ShapeCase> {};

TEST_P(VersionNoteShapes, FoundThroughEitherHeaderTable) {
  const elfimage::Options& o = GetParam().options;
  ExpectSample(ReadImage(elfimage::Build(VersionNote(elfimage::SampleNote(), o.align), o)));
}

INSTANTIATE_TEST_SUITE_P(
    Elf, VersionNoteShapes,
    testing::Values(ShapeCase{"elf64_both", {true, true, true, 4}},
                    ShapeCase{"elf64_sections", {true, true, false, 4}},
                    ShapeCase{"elf64_segments", {true, false, true, 4}},
                    ShapeCase{"elf32_sections", {false, true, false, 4}},
                    ShapeCase{"elf32_segments", {false, false, true, 4}},
                    ShapeCase{"elf64_align8", {true, true, false, 8}}),
    [](const testing::TestParamInfo<ShapeCase>& param) { return std::string(param.param.name); });

TEST(VersionNoteScan, SkipsOtherNotesBeforeIt) {
  const QByteArray notes = elfimage::Note(QByteArray("GNU", 4), 3, QByteArray(20, 'x')) +
                           elfimage::Note(QByteArray("QXVersion", 10), 2, QByteArray(8, '\0')) +
                           VersionNote();
  ExpectSample(ReadImage(elfimage::Build(notes, {})));
}

TEST(VersionNoteScan, AnInvalidVersionNoteIsPassedForALaterValidOne) {
  QByteArray bad = elfimage::Descriptor(elfimage::SampleNote());
  bad[0] = 9;  // unknown format
  const QByteArray notes = elfimage::Note(QByteArray("QXVersion", 10), kVersionNoteType, bad) + VersionNote();
  ExpectSample(ReadImage(elfimage::Build(notes, {})));
}

TEST(VersionNoteScan, NoVersionWithoutTheNote) {
  const QByteArray notes = elfimage::Note(QByteArray("GNU", 4), 3, QByteArray(20, 'x'));
  EXPECT_FALSE(ReadImage(elfimage::Build(notes, {})).has_value());
  EXPECT_FALSE(ReadImage(elfimage::Build(QByteArray(), {})).has_value());
}

TEST(VersionNoteFiles, MissingEmptyAndNonElfFilesHaveNoVersion) {
  EXPECT_FALSE(ReadVersionNote(qxtest::TempPath(QStringLiteral("missing"))).has_value());
  EXPECT_FALSE(ReadVersionNote(QString()).has_value());
  EXPECT_FALSE(ReadVersionNote(qxtest::TempRoot()).has_value());  // a folder
  EXPECT_FALSE(ReadImage(QByteArray()).has_value());
  EXPECT_FALSE(ReadImage(QByteArray("MZ this is not an ELF file at all")).has_value());
}

TEST(VersionNoteFiles, BigEndianAndUnknownClassesHaveNoVersion) {
  QByteArray image = elfimage::Build(VersionNote(), {});
  image[5] = 2;
  EXPECT_FALSE(ReadImage(image).has_value());
  image[5] = 1;
  image[4] = 3;
  EXPECT_FALSE(ReadImage(image).has_value());
}

TEST(VersionNoteHostile, EveryTruncationIsSafe) {
  for (const bool is64 : {true, false}) {
    const elfimage::Options o{is64, true, true, 4};
    const QByteArray image = elfimage::Build(VersionNote(), o);
    const elfimage::Layout l = elfimage::LayoutOf(o, static_cast<int>(VersionNote().size()));
    for (qsizetype n = 0; n < image.size(); ++n) {
      const std::optional<TVersionNote> note = ReadImage(image.left(n));
      // The PT_NOTE entry still reaches the whole note once the notes are in.
      EXPECT_EQ(note.has_value(), n >= l.notesAt + VersionNote().size()) << "length " << n;
    }
  }
}

struct PatchCase {
  const char* name;
  bool is64;
  int field;  // 0 shoff, 1 phoff, 2 note section offset, 3 section size, 4 segment size
  std::uint64_t value;
};

class VersionNoteBadHeaders : public testing::TestWithParam<PatchCase> {};

TEST_P(VersionNoteBadHeaders, BadOffsetsAndSizesGiveNoVersion) {
  const PatchCase& c = GetParam();
  const elfimage::Options o{c.is64, true, c.field == 1 || c.field == 4, 4};
  QByteArray image = elfimage::Build(VersionNote(), o);
  const elfimage::Layout l = elfimage::LayoutOf(o, static_cast<int>(VersionNote().size()));
  const int w = c.is64 ? 8 : 4;
  const int at[] = {l.shoffAt, l.phoffAt, l.noteSectionAt + (c.is64 ? 24 : 16),
                    l.noteSectionAt + (c.is64 ? 32 : 20), l.noteSegmentAt + (c.is64 ? 32 : 16)};
  image.replace(at[c.field], w, Le(c.value, w));
  if (c.field == 1 || c.field == 4)  // the sections must not find it first
    image.replace(l.shoffAt, w, Le(0, w));
  EXPECT_FALSE(ReadImage(image).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Elf, VersionNoteBadHeaders,
    testing::Values(PatchCase{"shoff_past_end", true, 0, 1u << 30},
                    PatchCase{"shoff_wraps", true, 0, ~std::uint64_t{0} - 7},
                    PatchCase{"shoff_wraps32", false, 0, 0xFFFFFFF0u},
                    PatchCase{"phoff_wraps", true, 1, ~std::uint64_t{0} - 55},
                    PatchCase{"note_offset_huge", true, 2, ~std::uint64_t{0} - 2},
                    PatchCase{"note_offset_past_end32", false, 2, 0xFFFFFF00u},
                    PatchCase{"note_size_huge", true, 3, std::uint64_t{1} << 62},
                    PatchCase{"note_size_too_big", true, 3, 1u << 20},
                    PatchCase{"note_size_huge32", false, 3, 0xFFFFFFFFu},
                    PatchCase{"segment_size_huge", true, 4, ~std::uint64_t{0}}),
    [](const testing::TestParamInfo<PatchCase>& param) { return std::string(param.param.name); });

TEST(VersionNoteHostile, HugeNameAndDescriptorSizesGiveNoVersion) {
  for (const int at : {0, 4}) {  // namesz, descsz
    QByteArray notes = VersionNote();
    notes.replace(at, 4, Le(0xFFFFFFFFu, 4));
    EXPECT_FALSE(ReadImage(elfimage::Build(notes, {})).has_value()) << at;
    notes.replace(at, 4, Le(0xFFFFFFF0u, 4));
    EXPECT_FALSE(ReadImage(elfimage::Build(notes, {})).has_value()) << at;
  }
}

TEST(VersionNoteHostile, ZeroEntrySizeOrCountIsNotFollowed) {
  const elfimage::Options o{true, true, false, 4};
  QByteArray image = elfimage::Build(VersionNote(), o);
  const elfimage::Layout l = elfimage::LayoutOf(o, static_cast<int>(VersionNote().size()));
  image.replace(l.shentsizeAt, 2, Le(0, 2));
  EXPECT_FALSE(ReadImage(image).has_value());
  image.replace(l.shentsizeAt, 2, Le(64, 2));
  image.replace(l.shnumAt, 2, Le(0xFFFF, 2));  // far more sections than the file holds
  ExpectSample(ReadImage(image));
}

struct DescriptorCase {
  const char* name;
  QByteArray descriptor;
};

QByteArray SampleDescriptor() { return elfimage::Descriptor(elfimage::SampleNote()); }

QByteArray Patched(int at, std::uint64_t value, int width) {
  QByteArray d = SampleDescriptor();
  d.replace(at, width, Le(value, width));
  return d;
}

class VersionNoteBadDescriptors : public testing::TestWithParam<DescriptorCase> {};

TEST_P(VersionNoteBadDescriptors, AreRejected) {
  EXPECT_FALSE(DecodeVersionNote(GetParam().descriptor).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Descriptor, VersionNoteBadDescriptors,
    testing::Values(DescriptorCase{"empty", QByteArray()},
                    DescriptorCase{"short_header", SampleDescriptor().left(35)},
                    DescriptorCase{"wrong_format", Patched(0, 2, 4)},
                    DescriptorCase{"too_many_tables", Patched(32, 65, 4)},
                    DescriptorCase{"tables_missing", Patched(32, 2, 4)},
                    DescriptorCase{"table_length_huge", Patched(40, 0xFFFFFFFFu, 4)},
                    DescriptorCase{"table_length_past_end", Patched(40, 1000, 4)},
                    DescriptorCase{"table_header_cut", SampleDescriptor().left(40)},
                    DescriptorCase{"text_unterminated", Patched(40, 30, 4)},
                    DescriptorCase{"name_unterminated", Patched(40, 5, 4)}),
    [](const testing::TestParamInfo<DescriptorCase>& param) { return std::string(param.param.name); });

TEST(VersionNoteDescriptor, EmptyTablesAndNoTablesAreValid) {
  TVersionNote note = elfimage::SampleNote();
  note.Tables[0].Entries.clear();
  const std::optional<TVersionNote> decoded = DecodeVersionNote(elfimage::Descriptor(note));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_TRUE(decoded->Tables[0].Entries.isEmpty());
  EXPECT_TRUE(DecodeVersionNote(Patched(32, 0, 4).left(36))->Tables.isEmpty());
}

TEST(VersionNoteHostile, RandomCorruptionNeverCrashes) {
  const QByteArray image = elfimage::Build(VersionNote(), {});
  std::mt19937 random(20261209);
  for (int round = 0; round < 300; ++round) {
    QByteArray damaged = image;
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < flips; ++i)
      damaged[static_cast<qsizetype>(random() % image.size())] = static_cast<char>(random());
    const std::optional<TVersionNote> note = ReadImage(damaged);
    if (note) {  // whatever is found keeps the limits
      EXPECT_LE(note->Tables.size(), 64);
    }
  }
}

}  // namespace
