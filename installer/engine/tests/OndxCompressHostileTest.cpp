// Archives are untrusted input: each hand-made fault below fails with its
// error (the corrupt text for a bad header block, zlib's text for damaged
// data; a damaged archive as EocDamaged, one that cannot be opened as
// EocCannotOpenArchive), writes nothing outside the extraction folder, leaves no temporary
// file and keeps memory flat. Faults of the header block are found before
// any member is inflated.
#include "OndxCompressTestSupport.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "platform/rtl/FileUtils.h"

#include <QDirIterator>
#include <QFile>

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <functional>

#include <sys/stat.h>

namespace {

using octest::Content;

QByteArray Deflate(const QByteArray& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  QByteArray out(static_cast<int>(size), '\0');
  compress2(reinterpret_cast<Bytef*>(out.data()), &size,
            reinterpret_cast<const Bytef*>(data.constData()), static_cast<uLong>(data.size()), 9);
  out.truncate(static_cast<int>(size));
  return out;
}

// A stream of size bytes of one value, made without holding them in memory.
QByteArray DeflateRepeated(char value, std::int64_t size) {
  const QByteArray block(1 << 20, value);
  z_stream z{};
  deflateInit(&z, 9);
  QByteArray out;
  char buffer[65536];
  for (std::int64_t left = size; left >= 0; left -= block.size()) {
    const bool last = left <= block.size();
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(block.constData()));
    z.avail_in = static_cast<uInt>(last ? left : block.size());
    do {
      z.next_out = reinterpret_cast<Bytef*>(buffer);
      z.avail_out = sizeof buffer;
      deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
      out.append(buffer, static_cast<int>(sizeof buffer - z.avail_out));
    } while (z.avail_out == 0);
    if (last)
      break;
  }
  deflateEnd(&z);
  return out;
}

struct Member {
  QString name;
  std::int32_t fileSize;
  QByteArray stream;
};

// A layout 0 archive with consistent positions.
QByteArray Layout0(const std::vector<Member>& members) {
  QByteArray out(5, '\0');
  out[0] = static_cast<char>(members.size());
  for (const Member& m : members) {
    TFileHeaderRec rec;
    rec.Number = 1;
    rec.SourceName = m.name;
    rec.FileSize = m.fileSize;
    rec.DataStart = out.size() + 164;
    rec.CompressedSize = m.stream.size();
    rec.LastByte = rec.DataStart + rec.CompressedSize - 1;
    rec.NextHeader = rec.LastByte + 1;
    QByteArray h(164, '\0');
    h = EncodeFileHeader(rec);
    out += h + m.stream;
  }
  return out;
}

const QString kA = QStringLiteral("/build/a.txt");
const QString kB = QStringLiteral("/build/b.txt");

QByteArray Good() {
  return Layout0({{kA, 3000, Deflate(Content(3000))}, {kB, 5000, Deflate(Content(5000, 2))}});
}

void Put32(QByteArray& b, int pos, std::int32_t v) {
  for (int i = 0; i < 4; ++i)
    b[pos + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
}

// Positions in Good(): header A at 5, its fields at 5 + offset.
constexpr int kHeadA = 5;
int HeadB() {
  return kHeadA + 164 + Deflate(Content(3000)).size();
}

// A stream that needs a preset dictionary (FDICT set in its header).
QByteArray DeflateWithDictionary(const QByteArray& data) {
  z_stream z{};
  deflateInit(&z, 9);
  static const char kDictionary[] = "abcdefgh";
  deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(kDictionary), sizeof kDictionary - 1);
  QByteArray out(static_cast<int>(deflateBound(&z, static_cast<uLong>(data.size()))), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.truncate(static_cast<int>(z.total_out));
  deflateEnd(&z);
  return out;
}

void PutDouble(QByteArray& b, int pos, double v) {
  std::uint64_t u = 0;
  std::memcpy(&u, &v, sizeof u);
  for (int i = 0; i < 8; ++i)
    b[pos + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

QByteArray With(const std::function<void(QByteArray&)>& change) {
  QByteArray b = Good();
  change(b);
  return b;
}

enum class Operation { Extract, SplitOntoTinyDisk };

struct HostileCase {
  HostileCase(const char* n, std::function<QByteArray()> b, const char* m = kOcCorrupt)
      : name(n), bytes(std::move(b)), message(m) {}

  const char* name;
  std::function<QByteArray()> bytes;
  const char* message;
  // Puts something other than a file at the archive's path instead.
  std::function<void(const QString& path)> make;
  Operation operation = Operation::Extract;
  // Found with the header block: no member event may come.
  bool beforeData = false;
};

// A fault of the header block that is found before any data is read.
HostileCase HeaderFault(const char* name, std::function<QByteArray()> bytes,
                        const char* message = kOcCorrupt) {
  HostileCase c(name, std::move(bytes), message);
  c.beforeData = true;
  return c;
}

HostileCase NotAFile(const char* name, std::function<void(const QString& path)> make) {
  HostileCase c = HeaderFault(name, {}, kOcCannotOpenArchive);
  c.make = std::move(make);
  return c;
}

// A date put into the first header.
HostileCase BadDate(const char* name, double date) {
  return HeaderFault(name, [date] { return With([date](QByteArray& b) { PutDouble(b, kHeadA + 4, date); }); });
}

QByteArray Renamed(const QByteArray& rawName) {
  return With([&](QByteArray& b) {
    b[kHeadA + 20] = static_cast<char>(rawName.size());
    for (int i = 0; i < rawName.size(); ++i)
      b[kHeadA + 21 + i] = rawName[i];
  });
}

std::vector<HostileCase> Cases() {
  return {
      {"huge_count", [] { return With([](QByteArray& b) { Put32(b, 0, 0x7fffffff); }); }},
      {"negative_count", [] { return With([](QByteArray& b) { Put32(b, 0, -1); }); }},
      {"count_one_too_many", [] { return With([](QByteArray& b) { Put32(b, 0, 3); }); }},
      {"layout_two", [] { return With([](QByteArray& b) { b[4] = 2; }); }},
      {"chain_loops_to_itself", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 124, kHeadA); }); }},
      {"chain_points_back_to_zero", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 124, 0); }); }},
      {"chain_points_past_the_end", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 124, 0x7ffffff0); }); }},
      {"name_length_beyond_field", [] { return With([](QByteArray& b) { b[kHeadA + 20] = char(200); }); }},
      {"version_length_beyond_field", [] { return With([](QByteArray& b) { b[kHeadA + 141] = 50; }); }},
      {"negative_data_start", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 132, -100); }); }},
      {"negative_file_size", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 128, -1); }); }},
      {"data_overlaps_header", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 132, 100); }); }},
      {"compressed_size_beyond_file", [] { return With([](QByteArray& b) { Put32(b, kHeadA + 136, 0x7fff0000); }); }},
      {"last_byte_beyond_file", [] { return With([](QByteArray& b) { Put32(b, HeadB() + 16, 0x7fff0000); }); }},
      {"disk_numbers_in_layout_zero", [] { return With([](QByteArray& b) { b[kHeadA + 140] = 2; }); }},
      {"truncated_in_second_member", [] { return Good().left(HeadB() + 200); }},
      {"truncated_in_first_header", [] { return Good().left(100); }},
      {"truncated_before_count", [] { return Good().left(3); }, kOcCannotReadCount},
      {"flipped_data_byte", [] { return With([](QByteArray& b) { b[kHeadA + 164 + 40] ^= 0x5A; }); },
       "data error"},
      {"flipped_checksum_byte", [] { return With([](QByteArray& b) { b[HeadB() - 1] ^= 0x01; }); },
       "data error"},
      {"preset_dictionary",
       [] { return Layout0({{kA, 3000, DeflateWithDictionary(Content(3000))}}); }, "need dictionary"},
      BadDate("date_nan", std::nan("")),
      BadDate("date_infinity", HUGE_VAL),
      BadDate("date_minus_infinity", -HUGE_VAL),
      BadDate("date_1e300", 1e300),
      BadDate("date_after_year_9999", 2958466.0),
      BadDate("date_before_year_1", -693594.0),
      NotAFile("fifo_as_archive",
               [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }),
      NotAFile("folder_as_archive", [](const QString& path) { ASSERT_TRUE(QDir().mkpath(path)); }),
      [] {
        HostileCase c = HeaderFault("split_onto_disk_smaller_than_header_block", Good, kOcTooLittleSpace);
        c.operation = Operation::SplitOntoTinyDisk;
        return c;
      }(),
      {"stream_inflates_past_its_size",
       [] { return Layout0({{kA, 10, DeflateRepeated('z', std::int64_t{1} << 28)}}); }},
      {"stream_shorter_than_its_size", [] { return Layout0({{kA, 4000, Deflate(Content(3000))}}); },
       kOcSizeMismatch},
      {"stream_without_checksum",
       [] { const QByteArray s = Deflate(Content(3000)); return Layout0({{kA, 3000, s.left(s.size() - 4)}}); }},
      {"garbage_after_stream", [] { return Layout0({{kA, 3000, Deflate(Content(3000)) + "xyz"}}); }},
      {"raw_deflate_without_header", [] { return Layout0({{kA, 3000, Deflate(Content(3000)).mid(2)}}); },
       "data error"},
      {"name_dot_dot", [] { return Renamed(".."); }},
      {"name_ending_in_dot_dot", [] { return Renamed("/x/.."); }},
      {"name_backslash_dot_dot", [] { return Renamed("x\\.."); }},
      {"name_ending_in_slash", [] { return Renamed("/etc/"); }},
      {"name_ending_in_backslash", [] { return Renamed("x\\"); }},
      {"name_blank", [] { return Renamed("   "); }},
      {"name_with_control_character", [] { return Renamed("a\nb"); }},
  };
}

// Every file under root, except those inside skip.
QStringList FilesUnder(const QString& root, const QString& skip) {
  QStringList out;
  QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString f = it.next();
    if (!f.startsWith(skip + QLatin1Char('/')))
      out << f;
  }
  out.sort();
  return out;
}

// Lowers the peak to the resident size now, so a growth shows.
void ResetPeak() {
  QFile f(QStringLiteral("/proc/self/clear_refs"));
  if (f.open(QIODevice::WriteOnly))
    f.write("5");
}

std::int64_t PeakKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  if (!f.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  return 0;
}

class OcHostile : public testing::TestWithParam<HostileCase> {};

TEST_P(OcHostile, FailsWithItsErrorAndWritesNothingOutside) {
  const HostileCase& hostile = GetParam();
  const QString archive = qxtest::TempPath(QStringLiteral("hostile.1"));
  if (hostile.make)
    hostile.make(archive);
  else
    qxtest::WriteBytes(archive, hostile.bytes());
  const QString target = qxtest::TempPath(QStringLiteral("out/inner"));
  QDir().mkpath(target);
  const QStringList before = FilesUnder(qxtest::TempRoot(), target);
  ResetPeak();
  const std::int64_t peakBefore = PeakKb();

  TOndxCompress c(nullptr);
  int events = 0;
  c.OnBeforeExtracting = c.OnStatus = [&](TOndxCompress*, const TlzhFileStats&) { ++events; };
  c.SetCompressedFile(archive);
  try {
    if (hostile.operation == Operation::SplitOntoTinyDisk) {
      // Room for less than the count and two headers.
      octest::LimitFolders(c, {{target, 300}});
      c.SplitToDisks(target, QStringLiteral("files.1"));
    } else {
      c.SetExtractDirectory(target);
      c.FilesToProcess()->Add(kA);
      c.FilesToProcess()->Add(kB);
      c.Extract();
    }
    ADD_FAILURE() << "no error";
  } catch (const EOndxCompress& e) {
    // Messages with a name are compared up to it.
    const QString expected = QString::fromLatin1(hostile.message).section(QStringLiteral("%s"), 0, 0);
    EXPECT_TRUE(e.Message().startsWith(expected)) << e.Message().toStdString();
    // An install tells the user what to do by the kind.
    if (hostile.operation == Operation::Extract) {
      if (hostile.message == kOcCannotOpenArchive)
        EXPECT_NE(dynamic_cast<const EocCannotOpenArchive*>(&e), nullptr);
      else
        EXPECT_NE(dynamic_cast<const EocDamaged*>(&e), nullptr) << "not told as damaged";
    }
  }
  EXPECT_EQ(FilesUnder(qxtest::TempRoot(), target), before);
  for (const QString& name : octest::FolderFiles(target))
    EXPECT_FALSE(name.startsWith(QLatin1Char('.'))) << name.toStdString();
  if (hostile.beforeData) {
    EXPECT_EQ(events, 0) << "a member was worked on";
    EXPECT_TRUE(octest::FolderFiles(target).isEmpty());
  }
  EXPECT_LT(PeakKb() - peakBefore, 48 * 1024) << "memory grew while reading";
}

INSTANTIATE_TEST_SUITE_P(Table, OcHostile, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<HostileCase>& p) {
                           return std::string(p.param.name);
                         });

TEST(OcHostileLayout1, OutOfOrderMembersAreCorrupt) {
  // A valid one-part split archive, then member B moved before member A.
  const QString src = qxtest::TempPath(QStringLiteral("src"));
  qxtest::WriteBytes(src + QStringLiteral("/a"), Content(3000));
  qxtest::WriteBytes(src + QStringLiteral("/b"), Content(4000, 3));
  TOndxCompress c(nullptr);
  c.SetCompressedFile(qxtest::TempPath(QStringLiteral("arc/files.1")));
  c.FilesToProcess()->Add(src + QStringLiteral("/a"));
  c.FilesToProcess()->Add(src + QStringLiteral("/b"));
  c.Add(false);
  QDir().mkpath(qxtest::TempPath(QStringLiteral("disk")));
  c.SplitToDisks(qxtest::TempPath(QStringLiteral("disk")), QStringLiteral("files.1"));
  const QString part = qxtest::TempPath(QStringLiteral("disk/files.1"));
  QByteArray b = qxtest::ReadBytes(part);
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(part);
  ASSERT_EQ(reader.FileCount(), 2);

  QByteArray swapped = b;
  Put32(swapped, 5 + 132, DecodeFileHeader(b.mid(5 + 164, 164)).DataStart);
  qxtest::WriteBytes(part, swapped);
  reader.SetCompressedFile(QStringLiteral("/elsewhere"));
  reader.SetCompressedFile(part);
  try {
    reader.FileCount();
    FAIL();
  } catch (const EOndxCompress& e) {
    EXPECT_EQ(e.Message(), QString::fromLatin1(kOcCorrupt));
  }
  QByteArray zeroDisk = b;
  zeroDisk[5 + 140] = 0;
  qxtest::WriteBytes(part, zeroDisk);
  reader.SetCompressedFile(QStringLiteral("/elsewhere"));
  reader.SetCompressedFile(part);
  EXPECT_THROW(reader.FileCount(), EOndxCompress);
}

}  // namespace
