// The two extra screen cursors, drawn here as 32 x 32 two-colour pictures.

#include "components/KvUtils.h"

#include "platform/controls/Screen.h"

#include <QBitmap>
#include <QCursor>
#include <QImage>

#include <array>

namespace {

using Picture = std::array<const char*, 32>;

// 'X' black, 'o' white, '.' transparent. Hot spot at the fingertip (6, 16).
constexpr Picture kHand = {
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "...............XXXX.............", "..............XooooX............",
    ".............XoooooXXXXXXX......", ".............XooooooooooooX.....",
    "........XXXXXXooooooooooooX.....", ".......XoooooooooooooooooooX....",
    "......XooooooooooooooooooooX....", ".......XoooooooooooooooooooX....",
    "........XXXXXXXooooooooooooX....", ".............XoooooooooooooX....",
    "............XoooooXoooooooooX...", ".............XXXXXoooooooooX....",
    ".............XoooooXoooooooX....", ".............XXXXXXooooooooX....",
    "..............XooooXooooooX.....", "..............XXXXXoooooooX.....",
    "...................XXXXXXX......", "................................",
    "................................", "................................",
    "................................", "................................",
};

// Hot spot in the middle of the fist (15, 16).
constexpr Picture kFist = {
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "..........XX.XX.XX..............",
    ".........XooXooXooXXX...........", ".........XooXooXooXooX..........",
    ".........XooXooXooXooXX.........", ".......XXXooXooXooXooXoX........",
    "......XoooXoooooooooooooX.......", "......XooooXooooooooooooX.......",
    "......XoooooXoooooooooooX.......", ".......XoooooXooooooooooX.......",
    "........XoooooooooooooooX.......", ".........XoooooooooooooX........",
    "..........XooooooooooooX........", "...........XoooooooooooX........",
    "............XooooooooooX........", "............XooooooooooX........",
    "............XXXXXXXXXXXX........", "................................",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
};

// A cursor bitmap has 1 (drawn black) where the picture is black; the mask
// has 1 where the picture shows.
QCursor MakeCursor(const Picture& picture, int hotX, int hotY) {
  QImage bits(32, 32, QImage::Format_Mono);
  QImage mask(32, 32, QImage::Format_Mono);
  // Index 0 is white and 1 black, the order a cursor bitmap takes as is.
  const QList<QRgb> table = {qRgb(255, 255, 255), qRgb(0, 0, 0)};
  bits.setColorTable(table);
  mask.setColorTable(table);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      const char c = picture[static_cast<std::size_t>(y)][x];
      bits.setPixel(x, y, c == 'X' ? 1 : 0);
      mask.setPixel(x, y, c == '.' ? 0 : 1);
    }
  }
  return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), hotX, hotY);
}

}  // namespace

void RegisterCursors() {
  if (Screen == nullptr)
    return;
  Screen->SetCursors(crKvHand, MakeCursor(kHand, 6, 16));
  Screen->SetCursors(crKvDrag, MakeCursor(kFist, 15, 16));
}
