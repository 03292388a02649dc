// The archive's bytes: a one-member archive at level 0 built field by field
// from the format's table, header coding, and the percent rule.
#include "OndxCompressTestSupport.h"

#include "installer/engine/cmp_TOndxCompress_Format.h"
#include "installer/engine/cmp_TOndxCompress_Stats.h"
#include "platform/rtl/FileUtils.h"

#include <zlib.h>

#include <cstring>

namespace {

using octest::OcTest;

void Int32At(QByteArray& b, int pos, std::int32_t v) {
  for (int i = 0; i < 4; ++i)
    b[pos + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
}

QByteArray Le32(std::int32_t v) {
  QByteArray b(4, '\0');
  Int32At(b, 0, v);
  return b;
}

// A zlib stream holding data in one final stored block (what level 0 makes
// of a short input): header 78 01, block type 00, LEN, NLEN, data, Adler-32.
QByteArray StoredStream(const QByteArray& data) {
  QByteArray s("\x78\x01\x01", 3);
  const auto len = static_cast<std::uint16_t>(data.size());
  s.append(static_cast<char>(len & 0xFF)).append(static_cast<char>(len >> 8));
  s.append(static_cast<char>(~len & 0xFF)).append(static_cast<char>((~len >> 8) & 0xFF));
  s.append(data);
  const uLong a = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()),
                          static_cast<uInt>(data.size()));
  for (int shift = 24; shift >= 0; shift -= 8)
    s.append(static_cast<char>((a >> shift) & 0xFF));
  return s;
}

TEST_F(OcTest, OneMemberArchiveAtLevelZeroHasTheDocumentedBytes) {
  const QByteArray content("Hyvaa paivaa, sanaristikko!");
  const QString path = Source(QStringLiteral("tervehdys.txt"), content);
  c_->SetCompressionLevel(colNone);
  AddFiles({path});

  const QByteArray stream = StoredStream(content);
  const QByteArray name = path.toUtf8();
  QByteArray expected;
  expected += Le32(1);             // count
  expected += '\0';                // layout 0
  QByteArray h(164, '\0');
  Int32At(h, 0, 1);                // Number
  const double date = FileAge(path);
  std::memcpy(h.data() + 4, &date, 8);  // FileDate, little-endian float64
  h[12] = 0;                        // EndDisk
  Int32At(h, 16, 5 + 164 + stream.size() - 1);  // LastByte
  h[20] = static_cast<char>(name.size());
  std::memcpy(h.data() + 21, name.constData(), static_cast<size_t>(name.size()));
  Int32At(h, 124, 5 + 164 + stream.size());     // NextHeader
  Int32At(h, 128, content.size());              // FileSize
  Int32At(h, 132, 5 + 164);                     // DataStart
  Int32At(h, 136, stream.size());               // CompressedSize
  h[140] = 0;                                   // StartDisk
  h[141] = 0;                                   // Version: empty
  expected += h;
  expected += stream;

  EXPECT_EQ(qxtest::ReadBytes(archive_).toHex(), expected.toHex());
}

TEST(OcFormat, HeaderFieldsLandAtTheirOffsets) {
  TFileHeaderRec rec;
  rec.Number = 0x01020304;
  rec.FileDate = 45000.5;
  rec.EndDisk = 7;
  rec.LastByte = 0x11223344;
  rec.SourceName = QStringLiteral("a/b.txt");
  rec.NextHeader = 0x55667788;
  rec.FileSize = 0x0A0B0C0D;
  rec.DataStart = 0x21222324;
  rec.CompressedSize = 0x31323334;
  rec.StartDisk = 6;
  rec.Version = QStringLiteral("1.2.3.4");
  const QByteArray b = EncodeFileHeader(rec);
  ASSERT_EQ(b.size(), 164);
  EXPECT_EQ(b.mid(0, 4), QByteArray("\x04\x03\x02\x01", 4));
  EXPECT_EQ(b[12], 7);
  EXPECT_EQ(b.mid(16, 4), QByteArray("\x44\x33\x22\x11", 4));
  EXPECT_EQ(b.mid(20, 8), QByteArray("\x07" "a/b.txt"));
  EXPECT_EQ(b.mid(124, 4), QByteArray("\x88\x77\x66\x55", 4));
  EXPECT_EQ(b.mid(128, 4), QByteArray("\x0D\x0C\x0B\x0A", 4));
  EXPECT_EQ(b.mid(132, 4), QByteArray("\x24\x23\x22\x21", 4));
  EXPECT_EQ(b.mid(136, 4), QByteArray("\x34\x33\x32\x31", 4));
  EXPECT_EQ(b[140], 6);
  EXPECT_EQ(b.mid(141, 8), QByteArray("\x07" "1.2.3.4"));
  EXPECT_EQ(b.mid(13, 3), QByteArray(3, '\0'));
  EXPECT_EQ(b.mid(121, 3), QByteArray(3, '\0'));
  EXPECT_EQ(b.mid(162, 2), QByteArray(2, '\0'));
  EXPECT_EQ(DecodeFileHeader(b), rec);
}

TEST(OcFormat, NamesAndVersionsTooLongForTheirFieldsAreRefused) {
  TFileHeaderRec rec;
  rec.SourceName = QString(100, QLatin1Char('n'));
  EXPECT_NO_THROW(EncodeFileHeader(rec));
  rec.SourceName += QLatin1Char('n');
  EXPECT_THROW(EncodeFileHeader(rec), EOndxCompress);
  rec.SourceName = QStringLiteral("x");
  rec.Version = QStringLiteral("65535.65535.65535.655");
  EXPECT_THROW(EncodeFileHeader(rec), EOndxCompress);
}

TEST(OcFormat, MemberFileNameIsTheLastComponent) {
  EXPECT_EQ(MemberFileName(QStringLiteral("/home/a/b.exe")), QStringLiteral("b.exe"));
  EXPECT_EQ(MemberFileName(QStringLiteral("C:\\dir\\b.exe")), QStringLiteral("b.exe"));
  EXPECT_EQ(MemberFileName(QStringLiteral("plain")), QStringLiteral("plain"));
  EXPECT_FALSE(IsSafeFileName(MemberFileName(QStringLiteral("a/.."))));
  EXPECT_FALSE(IsSafeFileName(MemberFileName(QStringLiteral("a\\"))));
  EXPECT_FALSE(IsSafeFileName(QStringLiteral(".")));
  EXPECT_TRUE(IsSafeFileName(QStringLiteral("..a")));
}

struct PercentCase {
  double part, whole;
  int expected;
};

class OcPercentTest : public testing::TestWithParam<PercentCase> {};

TEST_P(OcPercentTest, RoundsHalvesToEven) {
  EXPECT_EQ(OcPercent(GetParam().part, GetParam().whole), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, OcPercentTest,
                         testing::Values(PercentCase{1, 2, 50}, PercentCase{1, 200, 0},
                                         PercentCase{3, 200, 2}, PercentCase{5, 200, 2},
                                         PercentCase{7, 200, 4}, PercentCase{5, 0, 0},
                                         PercentCase{0, 0, 0}, PercentCase{2, 3, 67},
                                         PercentCase{900, 100, 255}));

}  // namespace

namespace {

template <class F>
QString MessageOf(F f) {
  try {
    f();
  } catch (const EOndxCompress& e) {
    return e.Message();
  }
  return QStringLiteral("<no error>");
}

TEST(OcHeaders, ListErrorsCarryTheirTexts) {
  TFileHeaders list;
  EXPECT_EQ(MessageOf([&] { list.FileHeaders(5); }),
            QStringLiteral("5 is an invalid TFileHeader index in TFileHeaders.GetFileHeaders"));
  TFileHeaderRec rec;
  rec.SourceName = QStringLiteral("  ");
  EXPECT_EQ(MessageOf([&] { list.Add(false, rec); }),
            QStringLiteral("Tried to add an invalid file header"));
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(OcTest, StatsOfAFileOutsideTheListAreRefused) {
  AddFiles({Source(QStringLiteral("a"), octest::Content(10))});
  c_->SetCompressedFile(archive_);
  TlzhFileStats stats;
  EXPECT_EQ(MessageOf([&] { c_->GetFileStats(3, stats); }),
            QStringLiteral("Tried to access the 3th file. This file is not defined"));
  EXPECT_EQ(MessageOf([&] {
              c_->SetCompressedFile(qxtest::TempPath(QStringLiteral("none.1")));
              c_->FileCount();
            }),
            QStringLiteral("Cannot open the compressed file ") + qxtest::TempPath(QStringLiteral("none.1")));
}

}  // namespace
