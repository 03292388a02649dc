#pragma once
// The built-in pictures of the bitmap button kinds, drawn in code: 18 x 18,
// fuchsia where transparent. A green check mark for OK, Yes and All, a red
// cross for Cancel, No and Abort, a door for Close, a question mark for Help,
// a circular arrow for Retry and an arrow past a bar for Ignore.

#include "platform/controls/Buttons.h"

#include <memory>

inline constexpr int kKindGlyphSize = 18;

// The picture of kind; nullptr for bkCustom.
std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind);
