#include "installer/wizard/cmp_TTranslator.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/rtl/ProcessState.h"

#include <array>

const TEnumInfo kOndxLanguageIdents{
    "olChineseSimplified", "olCzech",   "olDanish",  "olEnglish", "olFrench",   "olGerman",
    "olGreek",             "olHebrew",  "olItalian", "olJapanese", "olKorean",  "olPolish",
    "olPortugese",         "olRussian", "olSpanish", "olUser",     "olVietnamese"};

namespace {

// The translators the process knows of; neither is owned here (forms own
// them), so the holder only forgets them.
struct TTranslatorGlobals {
  TTranslator* global = nullptr;
  TTranslator* autoCreated = nullptr;
  ~TTranslatorGlobals() {
    if (global != nullptr) SetExceptionTranslator(nullptr);
  }
};

TTranslatorGlobals* Globals() { return FindProcessObject<TTranslatorGlobals>(); }

struct TLanguageSeed {
  TOndxLanguage ident;
  const char* bitmap;
  const char* textFile;
};

constexpr std::array<TLanguageSeed, 16> kLanguageSeeds{{
    {olChineseSimplified, "BM_LANG_SIMPCHINESE", "ondiChineseSimplified.txt"},
    {olCzech, "BM_LANG_CZECH", "ondiCzech.txt"},
    {olDanish, "BM_LANG_DANISH", "ondiDanish.txt"},
    {olEnglish, "BM_LANG_ENGLISH", "ondiEnglish.txt"},
    {olFrench, "BM_LANG_FRENCH", "ondiFrench.txt"},
    {olGerman, "BM_LANG_GERMAN", "ondiGerman.txt"},
    {olGreek, "BM_LANG_GREEK", "ondiGreek.txt"},
    {olHebrew, "BM_LANG_HEBREW", "ondiHebrew.txt"},
    {olItalian, "BM_LANG_ITALIAN", "ondiItalian.txt"},
    {olJapanese, "BM_LANG_JAPANESE", "ondiJapanese.txt"},
    {olKorean, "BM_LANG_KOREAN", "ondiKorean.txt"},
    {olPolish, "BM_LANG_POLISH", "ondiPolish.txt"},
    {olPortugese, "BM_LANG_PORTUGESE", "ondiPortugese.txt"},
    {olRussian, "BM_LANG_RUSSIAN", "ondiRussian.txt"},
    {olSpanish, "BM_LANG_SPANISH", "ondiSpanish.txt"},
    {olVietnamese, "BM_LANG_VIETNAMESE", "ondiVietnamese.txt"},
}};

}  // namespace

// ---- TLangFormatStrings

void TLangFormatStrings::Change(const std::function<void()>& change) {
  if (depth_ > 0 || !language_->autoParse_) {
    change();
    return;
  }
  const int lines = Count();
  QStringList before;
  before.reserve(lines);
  for (int i = 0; i < lines; ++i) before.append(Get(i));
  ++depth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{depth_};
  auto restore = [&] {
    TStringList::Clear();
    for (const QString& line : before) TStringList::Add(line);
  };
  try {
    change();
    language_->table_ = ParseLanguageTable(*this, language_);
  } catch (...) {
    restore();
    throw;
  }
}

int TLangFormatStrings::Add(const QString& s) {
  int index = -1;
  Change([&] { index = TStringList::Add(s); });
  return index;
}
void TLangFormatStrings::AddStrings(const TStrings& strings) {
  Change([&] { TStringList::AddStrings(strings); });
}
void TLangFormatStrings::Insert(int index, const QString& s) {
  Change([&] { TStringList::Insert(index, s); });
}
void TLangFormatStrings::Put(int index, const QString& s) {
  Change([&] { TStringList::Put(index, s); });
}
// Re-read like every other change, so a deleted line's text is gone too.
void TLangFormatStrings::Delete(int index) {
  Change([&] { TStringList::Delete(index); });
}
void TLangFormatStrings::Clear() {
  Change([&] { TStringList::Clear(); });
}
void TLangFormatStrings::Move(int curIndex, int newIndex) {
  Change([&] { TStringList::Move(curIndex, newIndex); });
}
void TLangFormatStrings::Exchange(int index1, int index2) {
  Change([&] { TStringList::Exchange(index1, index2); });
}
void TLangFormatStrings::Sort() {
  Change([&] { TStringList::Sort(); });
}
void TLangFormatStrings::SetText(const QString& text) {
  Change([&] { TStringList::SetText(text); });
}
void TLangFormatStrings::LoadFromStream(TStream& stream) {
  Change([&] { TStringList::LoadFromStream(stream); });
}
// Assign and LoadFromFile leave the language's auto-parse flag on.
void TLangFormatStrings::Assign(const TStrings& source) {
  language_->autoParse_ = true;
  Change([&] { TStringList::Assign(source); });
}
void TLangFormatStrings::LoadFromFile(const QString& fileName) {
  language_->autoParse_ = true;
  Change([&] { TStringList::LoadFromFile(fileName); });
}

// ---- TLanguage

TLanguage::TLanguage(TTranslator* translator, TOndxLanguage ident, QString bitmapName,
                     QString textFileName)
    : translator_(translator),
      ident_(ident),
      bitmapName_(std::move(bitmapName)),
      textFileName_(std::move(textFileName)),
      font_(std::make_unique<TFont>()),
      strings_(std::make_unique<TLangFormatStrings>(this)) {}

TLanguage::~TLanguage() = default;

void TLanguage::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TLanguage*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  strings_->Assign(*other->strings_);
  font_->Assign(other->font_.get());
  fontOverride_ = other->fontOverride_;
}

QString TLanguage::DisplayName() const { return LangIdToString(ident_); }

void TLanguage::Parse() { table_ = ParseLanguageTable(*strings_, this); }

const TLanguageString* TLanguage::FindString(int id) const {
  for (const TLanguageString& s : table_.strings)
    if (s.id == id) return &s;
  return nullptr;
}

const TLanguageMemo* TLanguage::FindMemo(int id) const {
  for (const TLanguageMemo& m : table_.memos)
    if (m.id == id) return &m;
  return nullptr;
}

const TLanguageString* TLanguage::FindStringByText(const QString& text) const {
  for (const TLanguageString& s : table_.strings)
    if (s.text.compare(text, Qt::CaseInsensitive) == 0) return &s;
  return nullptr;
}

const TLanguageMemo* TLanguage::FindMemoByLines(const TStrings& lines) const {
  const QString wanted = lines.Text();
  for (const TLanguageMemo& m : table_.memos) {
    QString text;
    for (const QString& line : m.lines) text += line + QStringLiteral("\r\n");
    if (text == wanted) return &m;
  }
  return nullptr;
}

void TLanguage::DeclareProperties(TClassBuilder<TLanguage, TPersistent>& b) {
  b.Object("Font", &TLanguage::Font);
  b.Property("FontOverride", &TLanguage::FontOverride, &TLanguage::SetFontOverride).Default(false);
  b.Property("LanguageIdent", &TLanguage::LanguageIdent, kOndxLanguageIdents);
  b.Object("Strings", &TLanguage::Strings);
}

// ---- TTranslator

TTranslator::TTranslator(TComponent* owner) : TComponent(owner) {
  TTranslatorGlobals& globals = ProcessObject<TTranslatorGlobals>();
  if (TTranslator* automatic = globals.autoCreated) {
    globals.autoCreated = nullptr;
    automatic->Free();
  }
  for (const TLanguageSeed& seed : kLanguageSeeds) {
    languages_.push_back(std::make_unique<TLanguage>(this, seed.ident,
                                                     QString::fromLatin1(seed.bitmap),
                                                     QString::fromLatin1(seed.textFile)));
  }
  into_ = olUser;
  if (globals.global == nullptr) {
    globals.global = this;
    SetExceptionTranslator([](const QString& text) { return TranslateText(text); });
  }
}

TTranslator::~TTranslator() {
  if (TTranslatorGlobals* globals = Globals()) {
    if (globals->autoCreated == this) globals->autoCreated = nullptr;
    if (globals->global == this) {
      globals->global = nullptr;
      SetExceptionTranslator(nullptr);
    }
  }
}

TLanguage* TTranslator::language(TOndxLanguage ident) const { return FindLanguage(ident); }

void TTranslator::SetTranslateIntoLanguage(TOndxLanguage value) {
  into_ = value;
  if (OnLanguageChange) OnLanguageChange(this);
}

TLanguage* TTranslator::FindLanguage(TOndxLanguage ident) const {
  for (const auto& language : languages_)
    if (language->LanguageIdent() == ident) return language.get();
  return nullptr;
}

TLanguage* TTranslator::UserLanguage() const {
  const int primary = UserPrimaryLangId();
  return primary < 0 ? nullptr : FindLanguage(LanguageFromLangId(primary));
}

TLanguage* TTranslator::CurrentLanguage() const {
  return into_ == olUser ? UserLanguage() : FindLanguage(into_);
}

QString TTranslator::TranslateString(TOndxLanguage source, const QString& text) const {
  const TLanguage* from = source == olUser ? UserLanguage() : FindLanguage(source);
  if (from == nullptr) return text;
  const TLanguageString* found = from->FindStringByText(text);
  if (found == nullptr) return text;
  const TLanguage* into = CurrentLanguage();
  if (into == nullptr) return text;
  const TLanguageString* translated = into->FindString(found->id);
  return translated != nullptr ? translated->text : text;
}

QString TTranslator::TranslateById(int id, const QString& defaultText) const {
  const TLanguage* into = CurrentLanguage();
  const TLanguageString* found = into != nullptr ? into->FindString(id) : nullptr;
  return found != nullptr ? found->text : defaultText;
}

void TTranslator::TranslateMemo(TOndxLanguage source, const TStrings& lines,
                                TStrings& result) const {
  if (&result != &lines) result.Assign(lines);
  const TLanguage* from = source == olUser ? UserLanguage() : FindLanguage(source);
  if (from == nullptr) return;
  const TLanguageMemo* found = from->FindMemoByLines(lines);
  if (found == nullptr) return;
  const TLanguage* into = CurrentLanguage();
  const TLanguageMemo* translated = into != nullptr ? into->FindMemo(found->id) : nullptr;
  if (translated == nullptr) return;
  TStringList copy;
  for (const QString& line : translated->lines) copy.Add(line);
  result.Assign(copy);
}

TOndxLanguage TTranslator::TranslateComponentInto(TOndxLanguage source, TOndxLanguage target,
                                                  TComponent* component) {
  return WithLanguage(target, [&] { return TranslateComponent(source, component); });
}

void TTranslator::DeclareProperties(TClassBuilder<TTranslator, TComponent>& b) {
  using T = TTranslator;
  b.Object("lgChineseSimplified", &T::lgChineseSimplified);
  b.Object("lgCzech", &T::lgCzech);
  b.Object("lgDanish", &T::lgDanish);
  b.Object("lgEnglish", &T::lgEnglish);
  b.Object("lgFrench", &T::lgFrench);
  b.Object("lgGerman", &T::lgGerman);
  b.Object("lgGreek", &T::lgGreek);
  b.Object("lgHebrew", &T::lgHebrew);
  b.Object("lgItalian", &T::lgItalian);
  b.Object("lgJapanese", &T::lgJapanese);
  b.Object("lgKorean", &T::lgKorean);
  b.Object("lgPolish", &T::lgPolish);
  b.Object("lgPortugese", &T::lgPortugese);
  b.Object("lgRussian", &T::lgRussian);
  b.Object("lgSpanish", &T::lgSpanish);
  b.Object("lgVietnamese", &T::lgVietnamese);
  b.Property("TranslateIntoLanguage", &T::TranslateIntoLanguage, &T::SetTranslateIntoLanguage,
             kOndxLanguageIdents)
      .Default(olUser);
}

// ---- globals

TTranslator* GlobalTranslator() {
  TTranslatorGlobals* globals = Globals();
  return globals != nullptr ? globals->global : nullptr;
}

TTranslator* AutoCreatedTranslator() {
  TTranslatorGlobals* globals = Globals();
  return globals != nullptr ? globals->autoCreated : nullptr;
}

void SetAutoCreatedTranslator(TTranslator* translator) {
  ProcessObject<TTranslatorGlobals>().autoCreated = translator;
}

QString TranslateText(const QString& text) {
  TTranslator* translator = GlobalTranslator();
  return translator != nullptr ? translator->TranslateString(olEnglish, text) : text;
}

TOndxLanguage TranslateForm(TOndxLanguage source, TComponent* form) {
  TTranslator* translator = GlobalTranslator();
  return translator != nullptr ? translator->TranslateComponent(source, form) : source;
}

TOndxLanguage TranslateFormInto(TOndxLanguage source, TOndxLanguage target, TComponent* form) {
  TTranslator* translator = GlobalTranslator();
  return translator != nullptr ? translator->TranslateComponentInto(source, target, form) : source;
}

void SetFormFont(TControl* form, bool keepEmpty) {
  TTranslator* translator = GlobalTranslator();
  if (translator == nullptr) return;
  TLanguage* language = translator->CurrentLanguage();
  if (language == nullptr) return;
  if (language->Strings()->Count() == 0 && !keepEmpty) language = translator->lgEnglish();
  translator->SetControlFont(form, language);
}

void SetFormFontInto(TOndxLanguage language, TControl* form, bool keepEmpty) {
  TTranslator* translator = GlobalTranslator();
  if (translator == nullptr) return;
  translator->WithLanguage(language, [&] { SetFormFont(form, keepEmpty); });
}

void RegisterTranslatorClasses() {
  if (GetClass(QStringLiteral("TTranslator")) == nullptr) RegisterClass<TTranslator>();
}
