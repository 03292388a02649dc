#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

// ---- positions

TEST(MemoryStreamPositions, ReadWriteSeekAndSize) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Size(), 5);
  EXPECT_EQ(s.Seek(-2, soFromEnd), 3);
  char buf[8] = {};
  EXPECT_EQ(s.Read(buf, 8), 2);
  EXPECT_EQ(QByteArray(buf, 2), QByteArray("lo"));
  EXPECT_EQ(s.Read(buf, 8), 0);  // at the end
  EXPECT_EQ(s.Seek(-4, soFromCurrent), 1);
  s.WriteBuffer("EL", 2);
  EXPECT_EQ(s.Bytes(), QByteArray("hELlo"));
}

TEST(MemoryStreamPositions, WritingPastTheEndFillsWithZeros) {
  TMemoryStream s;
  s.SetPosition(3);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.Bytes(), QByteArray("\0\0\0x", 4));
}

TEST(MemoryStreamPositions, ShrinkingPullsThePositionBack) {
  TMemoryStream s;
  s.WriteBuffer("abcdef", 6);
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(s.Bytes(), QByteArray("ab"));
  s.SetSize(4);
  EXPECT_EQ(s.Bytes(), QByteArray("ab\0\0", 4));
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);
}

TEST(MemoryStreamPositions, NegativePositionMovesNothing) {
  TMemoryStream s;
  s.WriteBuffer("ab", 2);
  s.SetPosition(-1);
  char c = 0;
  EXPECT_EQ(s.Read(&c, 1), 0);
  EXPECT_EQ(s.Write("z", 1), 0);
  EXPECT_EQ(s.Bytes(), QByteArray("ab"));
}

TEST(StringStream, ReadAndWriteStrings) {
  TStringStream s(QByteArray("abcdef"));
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.ReadString(2), QByteArray("ab"));
  s.WriteString("XY");  // overwrites in place, keeps the rest
  EXPECT_EQ(s.DataString(), QByteArray("abXYef"));
  EXPECT_EQ(s.ReadString(100), QByteArray("ef"));
  EXPECT_EQ(s.ReadString(1), QByteArray());
  s.WriteString("!");
  EXPECT_EQ(s.DataString(), QByteArray("abXYef!"));
}

// ---- short reads and writes

TEST(StreamBuffers, ShortReadRaises) {
  TStringStream s(QByteArray("abc"));
  char buf[4];
  try {
    s.ReadBuffer(buf, 4);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
  }
  s.SetPosition(0);
  s.ReadBuffer(buf, 3);
  s.ReadBuffer(buf, 0);  // nothing asked, nothing to fail
}

TEST(StreamBuffers, ShortWriteRaises) {
  TFileStream full(QStringLiteral("/dev/full"), fmOpenWrite);
  try {
    full.WriteBuffer("x", 1);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Stream write error"));
  }
}

TEST(StreamBuffers, WritingAReadOnlyFileRaises) {
  const QString path = qxtest::TempPath(QStringLiteral("r.bin"));
  qxtest::WriteBytes(path, "data");
  TFileStream s(path, fmOpenRead);
  EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("data"));
}

// ---- CopyFrom

TEST(StreamCopy, ZeroCopiesTheWholeSourceFromItsStart) {
  TStringStream src(QByteArray("0123456789"));
  src.SetPosition(7);
  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(src, 0), 10);
  EXPECT_EQ(dst.Bytes(), QByteArray("0123456789"));
}

TEST(StreamCopy, CountCopiesFromThePosition) {
  TStringStream src(QByteArray("0123456789"));
  src.SetPosition(2);
  TStringStream dst(QByteArray(">"));
  dst.Seek(0, soEnd);
  EXPECT_EQ(dst.CopyFrom(src, 3), 3);
  EXPECT_EQ(dst.DataString(), QByteArray(">234"));
  EXPECT_EQ(src.Position(), 5);
  EXPECT_THROW(dst.CopyFrom(src, 6), EReadError);
}

TEST(StreamCopy, LargeFileThroughBlocks) {
  QByteArray data;
  for (int i = 0; i < 300000; ++i)
    data.append(static_cast<char>(i * 7));
  const QString a = qxtest::TempPath(QStringLiteral("a.bin"));
  const QString b = qxtest::TempPath(QStringLiteral("b.bin"));
  qxtest::WriteBytes(a, data);
  {
    TFileStream in(a, fmOpenRead | fmShareDenyWrite);
    TFileStream out(b, fmCreate);
    EXPECT_EQ(out.CopyFrom(in, 0), data.size());
    EXPECT_EQ(out.Size(), data.size());
  }
  EXPECT_EQ(qxtest::ReadBytes(b), data);
}

// ---- file streams

TEST(FileStream, CreateTruncatesAndReadsBack) {
  const QString path = qxtest::TempPath(QStringLiteral("f.bin"));
  qxtest::WriteBytes(path, "a much longer old content");
  {
    TFileStream s(path, fmCreate);
    EXPECT_EQ(s.FileName(), path);
    EXPECT_EQ(s.Size(), 0);
    s.WriteBuffer("new", 3);
  }
  TFileStream s(path, fmOpenReadWrite);
  EXPECT_EQ(s.Size(), 3);
  s.Seek(0, soEnd);
  s.WriteBuffer("!", 1);
  s.SetPosition(1);
  char buf[3];
  s.ReadBuffer(buf, 3);
  EXPECT_EQ(QByteArray(buf, 3), QByteArray("ew!"));
  s.SetSize(2);
  EXPECT_EQ(s.Position(), 2);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("ne"));
}

TEST(FileStream, OpenFailuresNameTheFile) {
  const QString missing = qxtest::TempPath(QStringLiteral("none.bin"));
  try {
    TFileStream s(missing, fmOpenRead);
    FAIL() << "opened";
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(missing)));
  }
  const QString noFolder = qxtest::TempPath(QStringLiteral("no/such/f.bin"));
  try {
    TFileStream s(noFolder, fmCreate);
    FAIL() << "created";
  } catch (const EFCreateError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(noFolder)));
  }
  EXPECT_THROW(TFileStream(qxtest::TempRoot(), fmOpenRead), EFOpenError);  // a folder
  EXPECT_THROW(TFileStream(qxtest::TempRoot(), fmCreate), EFCreateError);
}

TEST(FileStream, ShareModes) {
  struct Row {
    unsigned first;
    unsigned second;
    bool secondOpens;
  };
  const Row rows[] = {
      {fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
      {fmOpenRead | fmShareDenyNone, fmOpenRead | fmShareExclusive, false},
      {fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
      {fmOpenRead | fmShareDenyWrite, fmOpenReadWrite | fmShareExclusive, false},
      {fmOpenRead | fmShareDenyNone, fmOpenWrite | fmShareDenyNone, true},
      {fmOpenRead, fmOpenRead, true},
      {fmOpenReadWrite | fmShareDenyRead, fmOpenRead | fmShareDenyNone, false},
      {fmCreate, fmOpenRead | fmShareDenyWrite, false},
      {fmOpenRead | fmShareDenyWrite, fmCreate, false},
  };
  const QString path = qxtest::TempPath(QStringLiteral("shared.bin"));
  for (const Row& r : rows) {
    qxtest::WriteBytes(path, "content");
    std::optional<TFileStream> first(std::in_place, path, r.first);
    const auto openSecond = [&] { TFileStream second(path, r.second); };
    if (r.secondOpens) {
      EXPECT_NO_THROW(openSecond()) << std::hex << r.first << " then " << r.second;
    } else {
      EXPECT_THROW(openSecond(), EFileStreamError) << std::hex << r.first << " then " << r.second;
      if (r.first != fmCreate) {
        EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("content"));  // a refused create truncates nothing
      }
    }
    first.reset();
    EXPECT_NO_THROW(openSecond()) << "lock kept after close";
  }
}

TEST(FileStream, InvalidAccessValueIsRefused) {
  const QString path = qxtest::TempPath(QStringLiteral("x.bin"));
  qxtest::WriteBytes(path, "x");
  EXPECT_THROW(TFileStream(path, 3), EFOpenError);
}

TEST(HandleStream, WorksOnADescriptorItDoesNotOwn) {
  const QString path = qxtest::TempPath(QStringLiteral("h.bin"));
  qxtest::WriteBytes(path, "abc");
  auto owner = std::make_unique<TFileStream>(path, fmOpenReadWrite);
  {
    THandleStream h(owner->Handle());
    EXPECT_EQ(h.Size(), 3);
    h.Seek(0, soEnd);
    h.WriteBuffer("d", 1);
  }
  owner->SetPosition(0);
  char buf[4];
  owner->ReadBuffer(buf, 4);  // still open after the handle stream went
  EXPECT_EQ(QByteArray(buf, 4), QByteArray("abcd"));
}

// ---- memory stream files

TEST(MemoryStreamFiles, LoadAndSave) {
  const QString a = qxtest::TempPath(QStringLiteral("m.bin"));
  qxtest::WriteBytes(a, QByteArray("\0\1\2\xFF", 4));
  TMemoryStream m;
  m.LoadFromFile(a);
  EXPECT_EQ(m.Bytes(), QByteArray("\0\1\2\xFF", 4));
  static_cast<char*>(m.Memory())[1] = 'x';
  const QString b = qxtest::TempPath(QStringLiteral("sub/n.bin"));
  EXPECT_THROW(m.SaveToFile(b), EFCreateError);  // missing folder
  m.SaveToFile(a);
  EXPECT_EQ(qxtest::ReadBytes(a), QByteArray("\0x\2\xFF", 4));
  TMemoryStream copy;
  m.SaveToStream(copy);
  EXPECT_EQ(copy.Bytes(), m.Bytes());
  EXPECT_THROW(m.LoadFromFile(qxtest::TempPath(QStringLiteral("none"))), EFOpenError);
}

}  // namespace
