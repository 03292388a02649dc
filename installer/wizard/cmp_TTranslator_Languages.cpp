// Languages: the user's language, names, character sets and the font rules.

#include "installer/wizard/cmp_TTranslator.h"
#include "platform/controls/QtLanguage.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <array>
#include <utility>

namespace {

TUserLocaleSource& LocaleSource() {
  static TUserLocaleSource source;
  return source;
}

void ResetLocaleSource() { LocaleSource() = nullptr; }

const TResetHook kResetUserLocale(ResetLocaleSource);

// Locale language codes and the Windows primary language ids they stand for.
struct TLocaleId {
  const char* code;
  int primaryId;
};
constexpr std::array<TLocaleId, 39> kLocaleIds{{
    {"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06},
    {"de", 0x07}, {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C},
    {"he", 0x0D}, {"iw", 0x0D}, {"hu", 0x0E}, {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11},
    {"ko", 0x12}, {"nl", 0x13}, {"no", 0x14}, {"nb", 0x14}, {"nn", 0x14}, {"pl", 0x15},
    {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sr", 0x1A}, {"sk", 0x1B},
    {"sq", 0x1C}, {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"uk", 0x22}, {"sl", 0x24},
    {"et", 0x25}, {"lt", 0x27}, {"vi", 0x2A},
}};

constexpr int kLangEnglish = 0x09;

}  // namespace

void SetUserLocaleSource(TUserLocaleSource source) { LocaleSource() = std::move(source); }

int PrimaryLangIdOfLocale(const QString& locale) {
  QString code = locale.section(u'.', 0, 0).section(u'@', 0, 0).section(u'_', 0, 0).toLower();
  if (code.isEmpty() || code == QLatin1String("c") || code == QLatin1String("posix"))
    return kLangEnglish;
  for (const TLocaleId& entry : kLocaleIds)
    if (code == QLatin1String(entry.code)) return entry.primaryId;
  return 0;
}

int UserPrimaryLangId() {
  const TUserLocaleSource& source = LocaleSource();
  const QString locale = source ? source() : UserMessageLanguage();
  if (locale.isNull()) return -1;
  return PrimaryLangIdOfLocale(locale);
}

TOndxLanguage LanguageFromLangId(int primaryId) {
  switch (primaryId) {
    case 4: return olChineseSimplified;
    case 5: return olCzech;
    case 6: return olDanish;
    case 7: return olGerman;
    case 8: return olGreek;
    case 10: return olSpanish;
    case 12: return olFrench;
    case 13: return olHebrew;
    case 16: return olItalian;
    case 17: return olJapanese;
    case 18: return olKorean;
    case 21: return olPolish;
    case 22: return olPortugese;
    case 25: return olRussian;
    case 42: return olVietnamese;
    default: return olEnglish;
  }
}

QString LangIdToString(TOndxLanguage language) {
  static constexpr std::array<const char*, 17> kNames{
      "ChineseSimplified", "Czech",  "Danish",  "English", "French",    "German",
      "Greek",             "Hebrew", "Italian", "Japanese", "Korean",   "Polish",
      "Portugese",         "Russian", "Spanish", "",        "Vietnamese"};
  if (language != olUser) return QString::fromLatin1(kNames.at(static_cast<std::size_t>(language)));
  const int primary = UserPrimaryLangId();
  if (primary < 0) return QString();
  const TOndxLanguage user = LanguageFromLangId(primary);
  if (user == olUser) throw Exception(TranslateText(QString::fromLatin1(kTextLangIdRecursion)));
  return LangIdToString(user);
}

TFontCharset LanguageCharset(TOndxLanguage language) {
  switch (language) {
    case olChineseSimplified: return 134;
    case olCzech:
    case olPolish:
    case olPortugese: return 238;
    case olHebrew: return 177;
    case olJapanese: return 128;
    case olKorean: return 129;
    case olRussian: return 204;
    case olVietnamese: return 163;
    case olUser: throw Exception(QString::fromLatin1(kTextUnrecognizedLanguage));
    default: return 0;
  }
}

// The far-east faces are byte strings in their language's code page; here
// they are those bytes decoded. The Chinese face's 7 bytes end in a lead
// byte without its trail byte, which decodes to nothing.
TLanguageFace LanguageFace(TOndxLanguage language) {
  switch (language) {
    case olChineseSimplified: return {QStringLiteral("\u65B0\u7D30\u660E"), 9};
    case olGerman: return {QStringLiteral("MS Sans Serif"), 8};
    case olGreek: return {QStringLiteral("SGreek"), 8};
    case olJapanese:
      return {QStringLiteral("\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"), 9};
    case olKorean: return {QStringLiteral("\uBC14\uD0D5"), 9};
    case olHebrew:
    case olUser: throw Exception(QString::fromLatin1(kTextUnrecognizedLanguage));
    default: return {QStringLiteral("Arial"), 8};
  }
}

void TTranslator::SetControlFont(TControl* control, TLanguage* language) const {
  if (control == nullptr || language == nullptr) return;
  TFont* font = control->Font();
  if (language->FontOverride()) {
    font->Assign(language->Font());
  } else {
    const TFontCharset charset = LanguageCharset(language->LanguageIdent());
    const TLanguageFace face = LanguageFace(language->LanguageIdent());
    font->SetCharset(charset);
    font->SetName(face.face);
    if (font->Size() < face.minimumSize) font->SetSize(face.minimumSize);
  }
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
    for (int i = 0; i < windowed->ControlCount(); ++i)
      SetControlFont(windowed->Controls(i), language);
  }
}
