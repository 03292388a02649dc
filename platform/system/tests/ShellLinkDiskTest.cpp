// Links and internet shortcuts written to a full disk.
#include "platform/rtl/AtomicFile.h"
#include "platform/system/ShellLink.h"
#include "platform/system/ShellLinkUrl.h"
#include "platform/system/tests/ShellTestSupport.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(ShellLinkDisk, FullDiskFailsAndKeepsTheOldFiles) {
  qxtest::TSmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.SkipReason().toStdString();
  const QString program = shelltest::MakeProgram(qxtest::TempPath(QStringLiteral("opt/trovaly")));
  const QString lnk = disk.FilePath(QStringLiteral("Trovaly.lnk"));
  const QString url = disk.FilePath(QStringLiteral("Koti.URL"));
  TShellLink link;
  link.SetPath(program);
  ASSERT_EQ(link.Save(lnk, true), S_OK);
  WriteURLShortcut(url, QStringLiteral("http://www.example.com/"));
  const QByteArray oldLink = qxtest::ReadBytes(link.CurFile());
  const QByteArray oldUrl = qxtest::ReadBytes(url);

  // Larger than the one page left free in the second round.
  link.SetDescription(QString(6000, QLatin1Char('k')));
  EXPECT_EQ(qxtest::MessagesWhenFull<EOleSysError>(disk, [&] { OleCheck(link.Save(lnk, true)); }),
            QStringList(2, QStringLiteral("There is not enough space on the disk")));
  EXPECT_TRUE(link.LastErrorText().contains(QLatin1String("No space left on device")));
  const QString longUrl = QStringLiteral("http://www.example.com/") + QString(6000, QLatin1Char('u'));
  const QString full = QStringLiteral("Cannot create file \"%1\". No space left on device").arg(url);
  EXPECT_EQ(qxtest::MessagesWhenFull<EAtomicFileError>(disk, [&] { WriteURLShortcut(url, longUrl); }),
            QStringList(2, full));

  EXPECT_EQ(qxtest::ReadBytes(link.CurFile()), oldLink);
  EXPECT_EQ(qxtest::ReadBytes(url), oldUrl);
  QStringList left = QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden);
  left.sort();
  EXPECT_EQ(left, QStringList({"Koti.URL", "Trovaly.desktop", "filler.bin"}));
}

}  // namespace
