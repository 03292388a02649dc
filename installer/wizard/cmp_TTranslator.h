#pragma once
// TTranslator: one text table per language, keyed by numeric ids (GLID).
//
// A text is translated by finding it, by its English wording, in the source
// language's table, taking its id and looking that id up in the current
// language's table. The first translator created is the process's global
// translator: the installer's messages, its IE exceptions and the wizard's
// forms all go through it. Without one every text stays English.
//
// Table format (the lines of a language's Strings, each trimmed first):
//   (empty)          ignored
//   *anything        a comment, also inside a memo block
//   <id>;<text>      a string; the text is the second ';' field, trimmed, cut
//                    to 255 characters and trimmed again at its end (so it
//                    cannot hold ';')
//   #<id>;           opens a memo block; its lines follow, trimmed, without
//                    empty lines and comments
//   #                closes the block
// Ids may repeat; lookups take the first. A block still open at the end is
// dropped. Errors (plain Exception; %d the 0-based line, %s the trimmed line):
//   "Found the end of memo marker # at line %d. Was not in a memo however"
//   "The %d'th string (%s) does not have the proper format of .GLID;"
//   "The %d'th string (%s) does not have the proper format of GLID;Text"
//   "The %d'th string (%s) does not have the proper format of GLID;Text or .GLID;"
// A change of the lines that makes the table unreadable is undone: the
// error is raised and the lines and their parsed texts stay as they were.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/classes/Persistent.h"
#include "platform/graphics/Font.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TControl;

enum TOndxLanguage {
  olChineseSimplified,
  olCzech,
  olDanish,
  olEnglish,
  olFrench,
  olGerman,
  olGreek,
  olHebrew,
  olItalian,
  olJapanese,
  olKorean,
  olPolish,
  olPortugese,
  olRussian,
  olSpanish,
  olUser,
  olVietnamese
};

extern const TEnumInfo kOndxLanguageIdents;

inline constexpr char kTextEndOfMemoOutside[] =
    "Found the end of memo marker # at line %d. Was not in a memo however";
inline constexpr char kTextBadMemoFormat[] =
    "The %d'th string (%s) does not have the proper format of .GLID;";
inline constexpr char kTextBadStringFormat[] =
    "The %d'th string (%s) does not have the proper format of GLID;Text";
inline constexpr char kTextBadIdFormat[] =
    "The %d'th string (%s) does not have the proper format of GLID;Text or .GLID;";
inline constexpr char kTextUnrecognizedLanguage[] = "Unrecognized language";
inline constexpr char kTextLangIdRecursion[] =
    "Recursion about to happen in the LangIdToString procedure in the cmp_TTranslator unit";

// Longest text of a string element; longer texts are cut.
inline constexpr int kMaxLanguageText = 255;

class TLanguage;
class TTranslator;

struct TLanguageElement {
  int id = 0;
  TLanguage* language = nullptr;
  int line = 0;  // 0-based line that defined it (a memo: its opening marker)
};
struct TLanguageString : TLanguageElement {
  QString text;
};
struct TLanguageMemo : TLanguageElement {
  QStringList lines;
};

// The parsed elements of one table.
struct TLanguageTable {
  std::vector<TLanguageString> strings;
  std::vector<TLanguageMemo> memos;
};

// Parses lines in the format above; raises Exception on the first error.
TLanguageTable ParseLanguageTable(const TStrings& lines, TLanguage* owner);

// A language's table text. Every change re-reads the table (once for a
// batch: Assign, AddStrings, SetText, loading); while the language's
// auto-parse flag is off nothing is read.
class TLangFormatStrings : public TStringList {
 public:
  explicit TLangFormatStrings(TLanguage* language) : language_(language) {}

  int Add(const QString& s) override;
  void AddStrings(const TStrings& strings) override;
  void Insert(int index, const QString& s) override;
  void Put(int index, const QString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void Move(int curIndex, int newIndex) override;
  void Exchange(int index1, int index2) override;
  void Sort() override;
  void Assign(const TStrings& source) override;
  void SetText(const QString& text) override;
  void LoadFromStream(TStream& stream) override;
  void LoadFromFile(const QString& fileName) override;

 private:
  // Runs change; at the outermost level re-reads the table, and when that
  // fails puts the old lines back and raises.
  void Change(const std::function<void()>& change);

  TLanguage* language_;
  int depth_ = 0;
};

class TLanguage : public TPersistent {
 public:
  TLanguage(TTranslator* translator, TOndxLanguage ident, QString bitmapName, QString textFileName);
  ~TLanguage() override;

  void Assign(TPersistent* source) override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value) { font_->Assign(value); }
  bool FontOverride() const { return fontOverride_; }
  void SetFontOverride(bool value) { fontOverride_ = value; }
  TOndxLanguage LanguageIdent() const { return ident_; }
  TLangFormatStrings* Strings() const { return strings_.get(); }
  void SetStrings(TStrings* value) { strings_->Assign(*value); }

  TTranslator* Translator() const { return translator_; }
  bool AutoParse() const { return autoParse_; }
  void SetAutoParse(bool value) { autoParse_ = value; }
  QString BitmapName() const { return bitmapName_; }
  QString TextFileName() const { return textFileName_; }
  QString DisplayName() const;
  const TLanguageTable& Table() const { return table_; }
  // Re-reads the table from Strings (Exception on an error; nothing changes).
  void Parse();

  // Lookups; nullptr when none.
  const TLanguageString* FindString(int id) const;
  const TLanguageMemo* FindMemo(int id) const;
  // Compared without regard to case.
  const TLanguageString* FindStringByText(const QString& text) const;
  // The memo whose lines' whole text equals that of lines, exactly.
  const TLanguageMemo* FindMemoByLines(const TStrings& lines) const;

  static void DeclareProperties(TClassBuilder<TLanguage, TPersistent>& b);

 private:
  friend class TLangFormatStrings;

  TTranslator* translator_;
  TOndxLanguage ident_;
  QString bitmapName_;
  QString textFileName_;
  std::unique_ptr<TFont> font_;
  bool fontOverride_ = false;
  bool autoParse_ = true;
  std::unique_ptr<TLangFormatStrings> strings_;
  TLanguageTable table_;
};

class TTranslator : public TComponent {
 public:
  explicit TTranslator(TComponent* owner);
  ~TTranslator() override;

  // The 16 tables, in enumeration order (olUser has none).
  TLanguage* lgChineseSimplified() const { return language(olChineseSimplified); }
  TLanguage* lgCzech() const { return language(olCzech); }
  TLanguage* lgDanish() const { return language(olDanish); }
  TLanguage* lgEnglish() const { return language(olEnglish); }
  TLanguage* lgFrench() const { return language(olFrench); }
  TLanguage* lgGerman() const { return language(olGerman); }
  TLanguage* lgGreek() const { return language(olGreek); }
  TLanguage* lgHebrew() const { return language(olHebrew); }
  TLanguage* lgItalian() const { return language(olItalian); }
  TLanguage* lgJapanese() const { return language(olJapanese); }
  TLanguage* lgKorean() const { return language(olKorean); }
  TLanguage* lgPolish() const { return language(olPolish); }
  TLanguage* lgPortugese() const { return language(olPortugese); }
  TLanguage* lgRussian() const { return language(olRussian); }
  TLanguage* lgSpanish() const { return language(olSpanish); }
  TLanguage* lgVietnamese() const { return language(olVietnamese); }
  // In creation order.
  const std::vector<std::unique_ptr<TLanguage>>& Languages() const { return languages_; }

  TOndxLanguage TranslateIntoLanguage() const { return into_; }
  // Stores the value, then fires OnLanguageChange.
  void SetTranslateIntoLanguage(TOndxLanguage value);
  TNotifyEvent OnLanguageChange;

  TLanguage* FindLanguage(TOndxLanguage ident) const;
  // The table of the user's language; nullptr when it cannot be told.
  TLanguage* UserLanguage() const;
  TLanguage* CurrentLanguage() const;

  QString TranslateString(TOndxLanguage source, const QString& text) const;
  QString TranslateById(int id, const QString& defaultText) const;
  // result := lines, or the current language's memo of the same id.
  void TranslateMemo(TOndxLanguage source, const TStrings& lines, TStrings& result) const;
  // Translates component and everything it owns but forms; returns the
  // language its texts are in afterwards.
  TOndxLanguage TranslateComponent(TOndxLanguage source, TComponent* component);
  TOndxLanguage TranslateComponentInto(TOndxLanguage source, TOndxLanguage target,
                                       TComponent* component);

  // The per-language font rules for control and its children.
  void SetControlFont(TControl* control, TLanguage* language) const;

  // Runs fn with TranslateIntoLanguage set to target (without the change
  // notification), restored afterwards, also on an error.
  template <class Fn>
  auto WithLanguage(TOndxLanguage target, Fn&& fn) {
    struct Restore {
      TTranslator* self;
      TOndxLanguage saved;
      ~Restore() { self->into_ = saved; }
    } restore{this, into_};
    into_ = target;
    return fn();
  }

  static void DeclareProperties(TClassBuilder<TTranslator, TComponent>& b);

 private:
  TLanguage* language(TOndxLanguage ident) const;
  void TranslateProperties(TOndxLanguage source, TComponent* component);

  std::vector<std::unique_ptr<TLanguage>> languages_;
  TOndxLanguage into_ = olUser;
};

// The global translator (the first one created); nullptr when none.
TTranslator* GlobalTranslator();
// The translator made automatically by the install component (nullptr when
// none); the next translator created frees it.
TTranslator* AutoCreatedTranslator();
void SetAutoCreatedTranslator(TTranslator* translator);

// Through the global translator; input unchanged without one.
QString TranslateText(const QString& text);
TOndxLanguage TranslateForm(TOndxLanguage source, TComponent* form);
TOndxLanguage TranslateFormInto(TOndxLanguage source, TOndxLanguage target, TComponent* form);
void SetFormFont(TControl* form, bool keepEmpty);
void SetFormFontInto(TOndxLanguage language, TControl* form, bool keepEmpty);

// The language of a Windows primary language id (the id masked with 1023).
TOndxLanguage LanguageFromLangId(int primaryId);
// The primary language id of a locale's language code ("fi", "de_AT.UTF-8");
// the C locale (empty) counts as English, an unknown language as neutral (0).
int PrimaryLangIdOfLocale(const QString& locale);
// The user's primary language id; -1 when it cannot be told.
int UserPrimaryLangId();
// Where the user's locale comes from (default: the message locale of the
// environment, LC_ALL, LC_MESSAGES, LANG). A null text means it cannot be
// told. Reset by the process-state reset.
using TUserLocaleSource = std::function<QString()>;
void SetUserLocaleSource(TUserLocaleSource source);

QString LangIdToString(TOndxLanguage language);
TFontCharset LanguageCharset(TOndxLanguage language);
// The face and minimum size of the font rules; Exception "Unrecognized
// language" for olHebrew and olUser.
struct TLanguageFace {
  QString face;
  int minimumSize;
};
TLanguageFace LanguageFace(TOndxLanguage language);

void RegisterTranslatorClasses();
