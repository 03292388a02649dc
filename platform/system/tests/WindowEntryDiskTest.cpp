// A window entry written to a full runtime folder.
#include "platform/system/WindowEntry.h"

#include "platform/rtl/Exceptions.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(WindowEntryDisk, FullFolderRaisesAndKeepsTheOldEntry) {
  qxtest::TSmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.SkipReason().toStdString();
  const QString path = disk.FilePath(QStringLiteral("4242.entry"));
  TWindowEntry entry{4242, QStringLiteral("4242.sock"), {{1, QStringLiteral("Trovaly"), true}}};
  WriteWindowEntry(path, entry);
  const QByteArray old = qxtest::ReadBytes(path);
  ASSERT_FALSE(old.isEmpty());
  for (std::uint32_t id = 2; id < 200; ++id)
    entry.windows.push_back({id, QStringLiteral("Ikkuna %1").arg(id), false});
  const QString full = QStringLiteral("Cannot write window entry %1: No space left on device").arg(path);
  EXPECT_EQ(qxtest::MessagesWhenFull<EFCreateError>(disk, [&] { WriteWindowEntry(path, entry); }),
            (QStringList{full, full}));
  EXPECT_EQ(qxtest::ReadBytes(path), old);
  EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"4242.entry", "filler.bin"}));
}

}  // namespace
