#pragma once
// The game's settings under HKEY_CURRENT_USER\Software\QXTrovaly:
//   Ruudukko\fon_koko       DWORD   grid font size in points
//   Ruudukko\fon_nimi       string  grid font name
//   Ruudukko\fon_vari       DWORD   grid font colour
//   Ruudukko\fon_Bold       string  "fsBold" bold, else "fsNorm"
//   Ruudukko\fon_Italic     string  "fsItalic" italic, else "fsNorm"
//   Ruudukko\loydetty_vari  DWORD   colour of found words
//   Animaatio\hahmo         string  "a" cow, "j" jester, "e" none
// A missing value (or a font size of 0) takes the value the setup program
// writes; a missing or unknown hahmo keeps the current animation choice. A
// value that cannot be converted raises (EVariantError, ERegistryException)
// and ends the read.

#include "game/GameState.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/Variant.h"

#include <QString>

// What the setup program writes; used where a value is missing.
struct TSettingDefaults {
  static constexpr int FontSize = 11;
  static QString FontName() { return QStringLiteral("Times New Roman"); }
  static constexpr TColor FontColor = 128;
  static constexpr bool Bold = true;
  static constexpr bool Italic = false;
  static constexpr TColor FoundColor = 255;
};

// One value "Sub\Name" below Software\QXTrovaly of the current user, through
// the board's registry component. Reading a missing value gives an empty
// Variant; reading from a missing key leaves value unchanged. Writing
// creates the key when missing.
void ReadSetting(TGameBoard& board, const QString& path, Variant& value);
void WriteSetting(TGameBoard& board, const QString& path, const Variant& value);

// Grid font, found colour and animation choice from the registry, then the
// animation menu ticked to match.
void ReadSettings(TGameBoard& board);
// The same values written back.
void WriteSettings(TGameBoard& board);
