// A picture saved to a full disk.
#include "platform/graphics/Bitmap.h"

#include "platform/rtl/Exceptions.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(GraphicDisk, FullDiskRaisesAndKeepsTheOldPicture) {
  qxtest::TSmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.SkipReason().toStdString();
  const QString path = disk.FilePath(QStringLiteral("kuva.bmp"));
  TBitmap small;
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  small.SetImage(image);
  small.SaveToFile(path);
  const QByteArray old = qxtest::ReadBytes(path);
  ASSERT_FALSE(old.isEmpty());
  TBitmap big;
  QImage large(60, 60, QImage::Format_RGB32);  // about 10 KB as a BMP
  large.fill(Qt::blue);
  big.SetImage(large);
  const QString full = QStringLiteral("Cannot create file \"%1\". No space left on device").arg(path);
  EXPECT_EQ(qxtest::MessagesWhenFull<EFCreateError>(disk, [&] { big.SaveToFile(path); }),
            (QStringList{full, full}));
  EXPECT_EQ(qxtest::ReadBytes(path), old);
  EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden),
            (QStringList{"filler.bin", "kuva.bmp"}));
}

}  // namespace
