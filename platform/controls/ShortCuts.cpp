#include "platform/controls/ShortCuts.h"

#include <array>

namespace {

struct TKeyName {
  std::uint16_t key;
  const char* name;
};

// Named keys other than letters, digits and function keys.
constexpr std::array kKeyNames{
    TKeyName{0x08, "BkSp"},  TKeyName{0x09, "Tab"},   TKeyName{0x0D, "Enter"},
    TKeyName{0x1B, "Esc"},   TKeyName{0x20, "Space"}, TKeyName{0x21, "PgUp"},
    TKeyName{0x22, "PgDn"},  TKeyName{0x23, "End"},   TKeyName{0x24, "Home"},
    TKeyName{0x25, "Left"},  TKeyName{0x26, "Up"},    TKeyName{0x27, "Right"},
    TKeyName{0x28, "Down"},  TKeyName{0x2D, "Ins"},   TKeyName{0x2E, "Del"},
};

struct TModifierName {
  TShortCut bit;
  const char* name;
};
constexpr std::array kModifiers{TModifierName{scShift, "Shift+"}, TModifierName{scCtrl, "Ctrl+"},
                                TModifierName{scAlt, "Alt+"}};

QString KeyName(std::uint16_t key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return QString(QChar(key));
  if (key >= 0x70 && key <= 0x87) return QStringLiteral("F%1").arg(key - 0x70 + 1);
  for (const TKeyName& k : kKeyNames)
    if (k.key == key) return QString::fromLatin1(k.name);
  return {};
}

std::uint16_t KeyOfName(const QString& name) {
  if (name.size() == 1) {
    const QChar c = name.at(0).toUpper();
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z')) return c.unicode();
  }
  for (std::uint16_t key = 0x70; key <= 0x87; ++key)
    if (name.compare(KeyName(key), Qt::CaseInsensitive) == 0) return key;
  for (const TKeyName& k : kKeyNames)
    if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.key;
  return 0;
}

}  // namespace

TShortCut ShortCut(std::uint16_t key, TShiftState shift) {
  if (key > 0xFF) return scNone;
  TShortCut result = key;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

void ShortCutToKey(TShortCut shortCut, std::uint16_t& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = {};
  if (shortCut & scShift) shift.Include(ssShift);
  if (shortCut & scCtrl) shift.Include(ssCtrl);
  if (shortCut & scAlt) shift.Include(ssAlt);
}

QString ShortCutToText(TShortCut shortCut) {
  const QString name = KeyName(shortCut & 0xFF);
  if (name.isEmpty()) return {};
  QString text;
  for (const TModifierName& m : kModifiers)
    if (shortCut & m.bit) text += QLatin1String(m.name);
  return text + name;
}

TShortCut TextToShortCut(const QString& text) {
  QString rest = text.trimmed();
  TShortCut bits = 0;
  for (bool found = true; found;) {
    found = false;
    for (const TModifierName& m : kModifiers) {
      const QLatin1String prefix(m.name);
      // "+" alone is no modifier prefix: keep at least one character after it.
      if (rest.size() > prefix.size() && rest.startsWith(prefix, Qt::CaseInsensitive)) {
        bits |= m.bit;
        rest = rest.mid(prefix.size());
        found = true;
      }
    }
  }
  const std::uint16_t key = KeyOfName(rest);
  return key == 0 ? scNone : static_cast<TShortCut>(key | bits);
}
