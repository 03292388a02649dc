#pragma once
// Colours: TColor is $00BBGGRR for a plain colour; with the high bit set the
// low byte is a system colour index (clBtnFace = $8000000F). The system
// colours take the classic standard scheme, which also feeds the Qt palette.

#include <QColor>
#include <QPalette>
#include <QString>

#include <cstdint>
#include <optional>

using TColor = std::int32_t;

// Builds a TColor from the literal $xxxxxxxx form (keeps the bit pattern).
constexpr TColor ColorOf(std::uint32_t value) { return static_cast<TColor>(value); }

inline constexpr TColor clBlack = ColorOf(0x000000);
inline constexpr TColor clMaroon = ColorOf(0x000080);
inline constexpr TColor clGreen = ColorOf(0x008000);
inline constexpr TColor clOlive = ColorOf(0x008080);
inline constexpr TColor clNavy = ColorOf(0x800000);
inline constexpr TColor clPurple = ColorOf(0x800080);
inline constexpr TColor clTeal = ColorOf(0x808000);
inline constexpr TColor clGray = ColorOf(0x808080);
inline constexpr TColor clSilver = ColorOf(0xC0C0C0);
inline constexpr TColor clRed = ColorOf(0x0000FF);
inline constexpr TColor clLime = ColorOf(0x00FF00);
inline constexpr TColor clYellow = ColorOf(0x00FFFF);
inline constexpr TColor clBlue = ColorOf(0xFF0000);
inline constexpr TColor clFuchsia = ColorOf(0xFF00FF);
inline constexpr TColor clAqua = ColorOf(0xFFFF00);
inline constexpr TColor clLtGray = ColorOf(0xC0C0C0);
inline constexpr TColor clDkGray = ColorOf(0x808080);
inline constexpr TColor clWhite = ColorOf(0xFFFFFF);
inline constexpr TColor clMoneyGreen = ColorOf(0xC0DCC0);
inline constexpr TColor clSkyBlue = ColorOf(0xF0CAA6);
inline constexpr TColor clCream = ColorOf(0xF0FBFF);
inline constexpr TColor clMedGray = ColorOf(0xA4A0A0);

inline constexpr TColor clNone = ColorOf(0x1FFFFFFF);
inline constexpr TColor clDefault = ColorOf(0x20000000);

// System colour indexes (the low byte of a system colour).
enum : int {
  COLOR_SCROLLBAR = 0,
  COLOR_BACKGROUND = 1,
  COLOR_ACTIVECAPTION = 2,
  COLOR_INACTIVECAPTION = 3,
  COLOR_MENU = 4,
  COLOR_WINDOW = 5,
  COLOR_WINDOWFRAME = 6,
  COLOR_MENUTEXT = 7,
  COLOR_WINDOWTEXT = 8,
  COLOR_CAPTIONTEXT = 9,
  COLOR_ACTIVEBORDER = 10,
  COLOR_INACTIVEBORDER = 11,
  COLOR_APPWORKSPACE = 12,
  COLOR_HIGHLIGHT = 13,
  COLOR_HIGHLIGHTTEXT = 14,
  COLOR_BTNFACE = 15,
  COLOR_BTNSHADOW = 16,
  COLOR_GRAYTEXT = 17,
  COLOR_BTNTEXT = 18,
  COLOR_INACTIVECAPTIONTEXT = 19,
  COLOR_BTNHIGHLIGHT = 20,
  COLOR_3DDKSHADOW = 21,
  COLOR_3DLIGHT = 22,
  COLOR_INFOTEXT = 23,
  COLOR_INFOBK = 24,
  COLOR_SYSCOUNT = 25,
};

constexpr TColor SysColor(int index) { return ColorOf(0x80000000u | static_cast<unsigned>(index)); }

inline constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
inline constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
inline constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
inline constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
inline constexpr TColor clMenu = SysColor(COLOR_MENU);
inline constexpr TColor clWindow = SysColor(COLOR_WINDOW);
inline constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
inline constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
inline constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
inline constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
inline constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
inline constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
inline constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
inline constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
inline constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
inline constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
inline constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
inline constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
inline constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
inline constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
inline constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
inline constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
inline constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
inline constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
inline constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);

// The standard scheme's value of a system colour index ($00BBGGRR); black for
// an index outside the table.
TColor GetSysColor(int index);

// A system colour becomes its scheme value; any other value is returned as is.
TColor ColorToRGB(TColor color);

// The colour's red, green and blue (system colours resolved; the top byte of
// a plain colour is ignored).
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);
// The colour's 24 bits as a Qt 0xAARRGGBB value with full alpha.
unsigned ColorToQRgb(TColor color);
TColor QRgbToColor(unsigned rgb);

class TEnumInfo;

// The colour names form files use, for colour properties of a class table.
const TEnumInfo& ColorIdents();

// Names as form files write them: "clBtnFace", else "$00FF0000".
bool ColorToIdent(TColor color, QString& ident);
bool IdentToColor(const QString& ident, TColor& color);
QString ColorToString(TColor color);
// An identifier or a number ("$00FF0000", "255"); EConvertError otherwise.
TColor StringToColor(const QString& text);

// The Qt palette matching the system colour table (disabled texts grey).
QPalette SystemPalette();
