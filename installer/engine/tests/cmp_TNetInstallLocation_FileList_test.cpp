// The remote file list: its records round trip, and a list whose count does
// not fit its size is refused before anything is read.

#include "installer/engine/cmp_TNetInstallLocation_FileList.h"

#include "installer/engine/routines_Exceptions.h"
#include "tests/support/TestSupport.h"

#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray Count(std::int32_t count) {
  QByteArray out(4, '\0');
  qToLittleEndian<std::int32_t>(count, out.data());
  return out;
}

TEST(RemoteFileList, RecordsRoundTripAndTextsKeepTheirFields) {
  const QList<TFileListRecord> records{
      {1234, 45000.5, QStringLiteral("GameFiles"), QStringLiteral("1.2.3.4")},
      {0, 0, QStringLiteral("N") + QString(38, QLatin1Char('x')),
       QStringLiteral("12345678901234567890")},
      {7, 1.25, QStringLiteral("Äänet"), QString()},
  };
  const QString path = qxtest::TempPath(QStringLiteral("filelist.lst"));
  WriteRemoteFileList(path, records);
  const QByteArray bytes = qxtest::ReadBytes(path);
  ASSERT_EQ(bytes.size(), 4 + 3 * kFileListRecordSize);
  EXPECT_EQ(bytes.left(4), Count(3));
  // The name field ends with its NUL; a full version has none.
  EXPECT_EQ(bytes.at(4 + kFileListRecordSize + 12 + 39), '\0');
  EXPECT_EQ(bytes.mid(4 + kFileListRecordSize + 52, 20), QByteArray("12345678901234567890"));
  EXPECT_EQ(static_cast<unsigned char>(bytes.at(4 + 2 * kFileListRecordSize + 12)), 0xC4);
  EXPECT_EQ(ReadRemoteFileList(path), records);

  TFileListRecord longer{1, 2, QString(45, QLatin1Char('n')), QString(25, QLatin1Char('v'))};
  const TFileListRecord cut = DecodeFileListRecord(EncodeFileListRecord(longer));
  EXPECT_EQ(cut.Name, QString(39, QLatin1Char('n')));
  EXPECT_EQ(cut.Version, QString(20, QLatin1Char('v')));
}

TEST(RemoteFileList, DamagedListsAreRefused) {
  const QByteArray record = EncodeFileListRecord({1, 2, QStringLiteral("A"), QString()});
  const struct {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"empty", QByteArray()},
      {"short count", QByteArray("\x01\x00\x00", 3)},
      {"count beyond the records", Count(2) + record},
      {"negative count", Count(-1) + record},
      {"huge count", Count(0x7fffffff) + record},
      {"bytes after the records", Count(1) + record + "x"},
  };
  for (const auto& c : cases) {
    const QString path = qxtest::TempPath(QStringLiteral("list.lst"));
    qxtest::WriteBytes(path, c.bytes);
    try {
      ReadRemoteFileList(path);
      ADD_FAILURE() << c.what;
    } catch (const IEInstall& e) {
      EXPECT_EQ(e.Message(), QStringLiteral("Cannot read the remote list of files: ") + path)
          << c.what;
    }
  }
  EXPECT_THROW(ReadRemoteFileList(qxtest::TempPath(QStringLiteral("none.lst"))), IEInstall);
  qxtest::WriteBytes(qxtest::TempPath(QStringLiteral("zero.lst")), Count(0));
  EXPECT_TRUE(ReadRemoteFileList(qxtest::TempPath(QStringLiteral("zero.lst"))).isEmpty());
}

}  // namespace
