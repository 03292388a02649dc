#include "platform/graphics/Colors.h"

#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"

#include <array>

namespace {

// The classic standard scheme, indexed by COLOR_x, as $00BBGGRR.
constexpr std::array<std::uint32_t, COLOR_SYSCOUNT> kSchemeColors = {
    0xC0C0C0,  // scroll bar
    0x808000,  // desktop background (teal)
    0x800000,  // active caption (navy)
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight (navy)
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3-D dark shadow
    0xDFDFDF,  // 3-D light
    0x000000,  // tooltip text
    0xE1FFFF,  // tooltip background
};

}  // namespace

TColor GetSysColor(int index) {
  if (index < 0 || index >= COLOR_SYSCOUNT)
    return clBlack;
  return ColorOf(kSchemeColors[static_cast<std::size_t>(index)]);
}

TColor ColorToRGB(TColor color) {
  if (color < 0)
    return GetSysColor(color & 0xFF);
  return color;
}

unsigned ColorToQRgb(TColor color) {
  const auto c = static_cast<std::uint32_t>(ColorToRGB(color));
  const unsigned r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TColor QRgbToColor(unsigned rgb) {
  const unsigned r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
  return ColorOf(r | (g << 8) | (b << 16));
}

QColor ColorToQColor(TColor color) {
  return QColor::fromRgb(ColorToQRgb(color));
}

TColor QColorToColor(const QColor& color) {
  return QRgbToColor(color.rgb());
}

const TEnumInfo& ColorIdents() {
  // Form files name these colours; the first entry of equal values wins.
  static const TEnumInfo idents{
      TEnumInfo::Entry{clBlack, "clBlack"},
      TEnumInfo::Entry{clMaroon, "clMaroon"},
      TEnumInfo::Entry{clGreen, "clGreen"},
      TEnumInfo::Entry{clOlive, "clOlive"},
      TEnumInfo::Entry{clNavy, "clNavy"},
      TEnumInfo::Entry{clPurple, "clPurple"},
      TEnumInfo::Entry{clTeal, "clTeal"},
      TEnumInfo::Entry{clGray, "clGray"},
      TEnumInfo::Entry{clSilver, "clSilver"},
      TEnumInfo::Entry{clRed, "clRed"},
      TEnumInfo::Entry{clLime, "clLime"},
      TEnumInfo::Entry{clYellow, "clYellow"},
      TEnumInfo::Entry{clBlue, "clBlue"},
      TEnumInfo::Entry{clFuchsia, "clFuchsia"},
      TEnumInfo::Entry{clAqua, "clAqua"},
      TEnumInfo::Entry{clWhite, "clWhite"},
      TEnumInfo::Entry{clMoneyGreen, "clMoneyGreen"},
      TEnumInfo::Entry{clSkyBlue, "clSkyBlue"},
      TEnumInfo::Entry{clCream, "clCream"},
      TEnumInfo::Entry{clMedGray, "clMedGray"},
      TEnumInfo::Entry{clLtGray, "clLtGray"},
      TEnumInfo::Entry{clDkGray, "clDkGray"},
      TEnumInfo::Entry{clScrollBar, "clScrollBar"},
      TEnumInfo::Entry{clBackground, "clBackground"},
      TEnumInfo::Entry{clActiveCaption, "clActiveCaption"},
      TEnumInfo::Entry{clInactiveCaption, "clInactiveCaption"},
      TEnumInfo::Entry{clMenu, "clMenu"},
      TEnumInfo::Entry{clWindow, "clWindow"},
      TEnumInfo::Entry{clWindowFrame, "clWindowFrame"},
      TEnumInfo::Entry{clMenuText, "clMenuText"},
      TEnumInfo::Entry{clWindowText, "clWindowText"},
      TEnumInfo::Entry{clCaptionText, "clCaptionText"},
      TEnumInfo::Entry{clActiveBorder, "clActiveBorder"},
      TEnumInfo::Entry{clInactiveBorder, "clInactiveBorder"},
      TEnumInfo::Entry{clAppWorkSpace, "clAppWorkSpace"},
      TEnumInfo::Entry{clHighlight, "clHighlight"},
      TEnumInfo::Entry{clHighlightText, "clHighlightText"},
      TEnumInfo::Entry{clBtnFace, "clBtnFace"},
      TEnumInfo::Entry{clBtnShadow, "clBtnShadow"},
      TEnumInfo::Entry{clGrayText, "clGrayText"},
      TEnumInfo::Entry{clBtnText, "clBtnText"},
      TEnumInfo::Entry{clInactiveCaptionText, "clInactiveCaptionText"},
      TEnumInfo::Entry{clBtnHighlight, "clBtnHighlight"},
      TEnumInfo::Entry{cl3DDkShadow, "cl3DDkShadow"},
      TEnumInfo::Entry{cl3DLight, "cl3DLight"},
      TEnumInfo::Entry{clInfoText, "clInfoText"},
      TEnumInfo::Entry{clInfoBk, "clInfoBk"},
      TEnumInfo::Entry{clNone, "clNone"},
      TEnumInfo::Entry{clDefault, "clDefault"},
  };
  return idents;
}

bool ColorToIdent(TColor color, QString& ident) {
  return ColorIdents().ToIdent(color, ident);
}

bool IdentToColor(const QString& ident, TColor& color) {
  std::int64_t value = 0;
  if (!ColorIdents().ToValue(ident, value))
    return false;
  color = static_cast<TColor>(value);
  return true;
}

QString ColorToString(TColor color) {
  QString ident;
  if (ColorToIdent(color, ident))
    return ident;
  return QStringLiteral("$%1").arg(static_cast<std::uint32_t>(color), 8, 16, QLatin1Char('0')).toUpper();
}

TColor StringToColor(const QString& text) {
  TColor color = 0;
  if (IdentToColor(text.trimmed(), color))
    return color;
  const QString t = text.trimmed();
  bool ok = false;
  qint64 value = 0;
  if (t.startsWith(QLatin1Char('$')))
    value = t.mid(1).toLongLong(&ok, 16);
  else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
    value = t.mid(2).toLongLong(&ok, 16);
  else
    value = t.toLongLong(&ok, 10);
  if (!ok || value < INT32_MIN || value > static_cast<qint64>(UINT32_MAX))
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return ColorOf(static_cast<std::uint32_t>(value));
}

QPalette SystemPalette() {
  QPalette p;
  const auto set = [&p](QPalette::ColorRole role, TColor c) {
    p.setColor(QPalette::All, role, ColorToQColor(c));
  };
  set(QPalette::Window, clBtnFace);
  set(QPalette::WindowText, clWindowText);
  set(QPalette::Base, clWindow);
  set(QPalette::AlternateBase, clBtnFace);
  set(QPalette::ToolTipBase, clInfoBk);
  set(QPalette::ToolTipText, clInfoText);
  set(QPalette::PlaceholderText, clGrayText);
  set(QPalette::Text, clWindowText);
  set(QPalette::Button, clBtnFace);
  set(QPalette::ButtonText, clBtnText);
  set(QPalette::BrightText, clWhite);
  set(QPalette::Light, clBtnHighlight);
  set(QPalette::Midlight, cl3DLight);
  set(QPalette::Mid, clBtnShadow);
  set(QPalette::Dark, clBtnShadow);
  set(QPalette::Shadow, cl3DDkShadow);
  set(QPalette::Highlight, clHighlight);
  set(QPalette::HighlightedText, clHighlightText);
  set(QPalette::Link, clBlue);
  set(QPalette::LinkVisited, clPurple);
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, ColorToQColor(clGrayText));
  return p;
}
