#pragma once
// The game's splash and about-box pictures, and the glyphs of its tool
// buttons.

#include <QByteArray>
#include <QImage>

#include <array>

// The splash window is 410 x 311 and holds the picture in a lowered panel,
// so the picture leaves a margin on every side.
inline constexpr int SplashWidth = 380;
inline constexpr int SplashHeight = 280;
inline constexpr int AboutSize = 96;

QImage DrawSplashPicture();
QImage DrawAboutPicture();

// Tool-button glyphs: square, in the 16 standard colours, drawn on the
// button face colour (silver) so that the bottom-left pixel, which a button
// takes as its transparent colour, is background.
inline constexpr int ToolGlyphSize = 20;
enum class ToolGlyph { OpenFolder, PencilOnGrid, HelpBalloon, Stopwatch, ArrowRight, ArrowDown };

struct ToolGlyphButton {
  const char* button;     // the button's name in the game's main form
  ToolGlyph glyph;
  const char* className;  // TSpeedButton (a Glyph) or TRepSpeedBtn (a Picture)
  int columns;            // 2: the glyph and its disabled look side by side
};
extern const std::array<ToolGlyphButton, 6> GameToolButtons;

// Format_Indexed8 with the 16-colour palette.
QImage DrawToolGlyph(ToolGlyph glyph);
// The glyph as a 4-bit BMP file.
QByteArray ToolGlyphBmp(ToolGlyph glyph);
// The glyph and, with 2 columns, beside it its disabled look: the figure in
// dark grey with a white shadow one pixel down and right.
QImage DrawToolPicture(ToolGlyph glyph, int columns);
// What the button's form entry holds: a TSpeedButton's "Glyph.Data" (a
// 32-bit byte count and the BMP file) or a TRepSpeedBtn's "Picture.Data"
// (the graphic's class name after a length byte, then the same).
QByteArray ToolButtonProperty(const ToolGlyphButton& button);
QByteArray ToolButtonData(const ToolGlyphButton& button);

// The form file text with every button of GameToolButtons given its glyph
// or picture (and NumGlyphs when it has 2 columns) and no caption; other
// lines stay as they are. Running it twice changes nothing.
// std::runtime_error when a button is not in the text.
QByteArray PutToolGlyphsIntoForm(const QByteArray& formText);
