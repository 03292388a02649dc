#pragma once
// Menu shortcuts: a TShortCut packs a virtual-key code (low byte) with the
// modifier bits scShift, scCtrl and scAlt. Texts name the modifiers in the
// order Shift, Ctrl, Alt ("Shift+Ctrl+F1", "Ctrl+O", "Shift+Del").

#include "platform/controls/Control.h"

#include <QString>

#include <cstdint>

using TShortCut = std::uint16_t;

inline constexpr TShortCut scNone = 0;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// key | the bits of shift (Shift, Ctrl, Alt); 0 when key is no virtual key
// (above 255).
TShortCut ShortCut(std::uint16_t key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift);
// "" for scNone and for keys without a name.
QString ShortCutToText(TShortCut shortCut);
// Modifier names and key names compare without regard to case; 0 for a text
// that names no shortcut.
TShortCut TextToShortCut(const QString& text);
