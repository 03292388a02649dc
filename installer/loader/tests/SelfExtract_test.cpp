// The trailer rules the loader and the engine share, and the loader's
// reading of hostile setup images (the fuzz target's inputs).

#include "installer/loader/SelfExtract.h"

#include "installer/loader/LoaderArchive.h"
#include "installer/loader/fuzz/LoaderCheck.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace {

using selfextract::TSelfExtractInfo;

TEST(SelfExtractTrailer, EncodesTheLayoutAndDecodesOnlyOrderedPartsInsideTheFile) {
  const TSelfExtractInfo good{1000, 1999, 2000, 4999};
  const selfextract::TTrailer bytes = selfextract::EncodeTrailer(good);
  EXPECT_EQ(bytes[0], 14);
  EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 15), "SELFEXTRACTING");
  EXPECT_EQ(bytes[15], 0);
  EXPECT_EQ(bytes[16], 1000 & 0xff);
  EXPECT_EQ(bytes[17], 1000 >> 8);
  for (int i = 32; i < 56; ++i)
    EXPECT_EQ(bytes[static_cast<size_t>(i)], 0) << i;

  const struct {
    const char* what;
    TSelfExtractInfo info;
    std::int64_t fileSize;
    bool accepted;
  } cases[] = {
      {"both parts", good, 5056, true},
      {"no files.1", {1000, 1999, 0, 0}, 2056, true},
      {"one byte each", {1, 1, 2, 2}, 59, true},
      {"files.1 runs into the trailer", good, 5055, false},
      {"setup.1 at the start", {0, 1999, 2000, 4999}, 5056, false},
      {"setup.1 backwards", {1999, 1000, 2000, 4999}, 5056, false},
      {"files.1 before setup.1 ends", {1000, 1999, 1999, 4999}, 5056, false},
      {"files.1 backwards", {1000, 1999, 4999, 2000}, 5056, false},
      {"only one files.1 field", {1000, 1999, 0, 4999}, 5056, false},
      {"negative", {-5, 1999, 0, 0}, 5056, false},
      {"file smaller than the trailer", {1, 1, 0, 0}, 40, false},
  };
  for (const auto& c : cases) {
    TSelfExtractInfo read;
    EXPECT_EQ(selfextract::DecodeTrailer(selfextract::EncodeTrailer(c.info), c.fileSize, read),
              c.accepted)
        << c.what;
    if (c.accepted) {
      EXPECT_EQ(read, c.info) << c.what;
    }
  }
  selfextract::TTrailer badMagic = bytes;
  badMagic[5] = 'x';
  TSelfExtractInfo read;
  EXPECT_FALSE(selfextract::DecodeTrailer(badMagic, 5056, read));
  selfextract::TTrailer badZero = bytes;
  badZero[15] = 1;
  EXPECT_FALSE(selfextract::DecodeTrailer(badZero, 5056, read));
}

TEST(SelfExtractTrailer, CacheRootFollowsAnAbsoluteXdgCacheHome) {
  const QByteArray saved = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", "/var/cache-test");
  EXPECT_EQ(selfextract::CacheRoot(), "/var/cache-test/qx");
  qputenv("XDG_CACHE_HOME", "relative");
  EXPECT_EQ(selfextract::CacheRoot(), qgetenv("HOME").toStdString() + "/.cache/qx");
  qputenv("XDG_CACHE_HOME", saved);
}

// A seed the fuzz target starts from is a sound image: its members list
// with the file names of their stored paths.
TEST(LoaderImage, SeedImageListsItsMembers) {
  const QString path =
      QDir::cleanPath(qxtest::DataPath(QStringLiteral("../../fuzz/corpus/two_members.exe")));
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  selfextract::TTrailer trailer{};
  const off_t size = ::lseek(fd, 0, SEEK_END);
  ASSERT_EQ(::pread(fd, trailer.data(), trailer.size(), size - 56), 56);
  TSelfExtractInfo info;
  ASSERT_TRUE(selfextract::DecodeTrailer(trailer, size, info));
  EXPECT_TRUE(info.HasFiles1());
  const std::vector<loader::TMember> members =
      loader::ReadMembers(fd, info.Setup1Start, info.Setup1End - info.Setup1Start + 1);
  ::close(fd);
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members[0].Name, "velmio");
  EXPECT_EQ(members[1].Name, "notes.txt");
  EXPECT_EQ(members[1].FileSize, 5);
}

// A member appears under its name only once it is whole: a damaged one
// leaves at most its temporary (which the loader removes with its folder),
// and a second member of the same name never replaces the first.
TEST(LoaderImage, AMemberTakesItsNameOnlyWhenWhole) {
  const QString seed =
      QDir::cleanPath(qxtest::DataPath(QStringLiteral("../../fuzz/corpus/two_members.exe")));
  QFile image(seed);
  ASSERT_TRUE(image.open(QIODevice::ReadOnly));
  const QByteArray sound = image.readAll();
  selfextract::TTrailer trailer{};
  std::copy_n(sound.constData() + sound.size() - 56, 56, trailer.begin());
  TSelfExtractInfo info;
  ASSERT_TRUE(selfextract::DecodeTrailer(trailer, sound.size(), info));
  const QString folder = qxtest::TempPath(QStringLiteral("extract"));
  QDir().mkpath(folder);
  const auto extract = [&](const QByteArray& bytes, const std::string& target) {
    const QString copy = qxtest::TempPath(QStringLiteral("image.exe"));
    qxtest::WriteBytes(copy, bytes);
    loader::TFd fd(::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC));
    const std::vector<loader::TMember> members =
        loader::ReadMembers(fd.Get(), info.Setup1Start, info.Setup1End - info.Setup1Start + 1);
    loader::ExtractMember(fd.Get(), info.Setup1Start, members.at(1), target, 0600);
  };
  const std::string notes = (folder + QStringLiteral("/notes.txt")).toStdString();
  extract(sound, notes);
  EXPECT_EQ(qxtest::ReadBytes(QString::fromStdString(notes)).size(), 5);
  EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"notes.txt"});
  EXPECT_THROW(extract(sound, notes), loader::TLoaderError);
  EXPECT_EQ(qxtest::ReadBytes(QString::fromStdString(notes)).size(), 5);

  QByteArray damaged = sound;
  loader::TFd fd(::open(QFile::encodeName(seed).constData(), O_RDONLY | O_CLOEXEC));
  const std::vector<loader::TMember> members =
      loader::ReadMembers(fd.Get(), info.Setup1Start, info.Setup1End - info.Setup1Start + 1);
  damaged[info.Setup1Start + members[1].DataStart + 2] ^= 0x5a;
  const std::string other = (folder + QStringLiteral("/other.txt")).toStdString();
  EXPECT_THROW(extract(damaged, other), loader::TLoaderError);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(other)));
  EXPECT_EQ(loader::TemporaryName(other), (folder + QStringLiteral("/.other.txt.part")).toStdString());
}

TEST(LoaderImage, FuzzInputsAreReadSoundly) {
  qxtest::ReplayFuzzInputs(loadercheck::CheckSetupImage);
}

}  // namespace
