// The two extra screen cursors, drawn here as 32 x 32 two-colour pictures.

#include "components/KvUtils.h"

#include "platform/controls/CursorPicture.h"
#include "platform/controls/Screen.h"

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

}  // namespace

void RegisterCursors() {
  if (Screen == nullptr)
    return;
  Screen->SetCursors(crKvHand, CursorFromPicture(kHand, 6, 16));
  Screen->SetCursors(crKvDrag, CursorFromPicture(kFist, 15, 16));
}
