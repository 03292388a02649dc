#include "platform/controls/CursorPicture.h"

#include <QBitmap>
#include <QImage>

#include <cstring>

// A cursor bitmap has 1 (drawn black) where the picture is black; the mask
// has 1 where the picture shows.
QCursor CursorFromPicture(std::span<const char* const> rows, int hotX, int hotY) {
  const int height = static_cast<int>(rows.size());
  const int width = height > 0 ? static_cast<int>(std::strlen(rows[0])) : 0;
  QImage bits(width, height, QImage::Format_Mono);
  QImage mask(width, height, QImage::Format_Mono);
  // Index 0 is white and 1 black, the order a cursor bitmap takes as is.
  const QList<QRgb> table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
  bits.setColorTable(table);
  mask.setColorTable(table);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < height; ++y) {
    const char* row = rows[static_cast<std::size_t>(y)];
    for (int x = 0; x < width && row[x] != '\0'; ++x) {
      bits.setPixel(x, y, row[x] == 'X' ? 1 : 0);
      mask.setPixel(x, y, row[x] == 'X' || row[x] == 'o' ? 1 : 0);
    }
  }
  return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), hotX, hotY);
}
