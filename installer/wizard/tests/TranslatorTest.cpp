// Translating texts, memos, forms and fonts; the global translator and the
// installer exceptions that speak its language.
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Form.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/ListView.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

const char* const kEnglish[] = {
    "* Common strings for standard dialogs", "3;Hello", "4;< Previous", "5;Next >", "6;Cancel",
    "60;Cancel", "8;Only English", "20;Ääni", "#12;", "Line one", "Line two", "#",
    "80;Cannot run this dialog %s with a blank Container property",
    "81;Installation aborted by the user"};
const char* const kFinnish[] = {
    "* TWelcomeDlg/TWelcomeForm", "3;Hei", "4;< Edellinen", "5;Seuraava >", "6;Peruuta",
    "60;Toinen", "20;Sound", "#12;", "Rivi yksi", "Rivi kaksi", "Rivi kolme", "#",
    "80;Dialogia %s ei voi ajaa ilman Container-ominaisuutta",
    "81;Käyttäjä keskeytti asennuksen"};

template <std::size_t N>
void Fill(TLanguage* language, const char* const (&lines)[N]) {
  TStringList table;
  for (const char* line : lines) table.Add(QString::fromUtf8(line));
  language->Strings()->Assign(table);
}

class Translator : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFormClasses();
    RegisterLabelClasses();
    RegisterTranslateControlClasses();
    translator = std::make_unique<TTranslator>(nullptr);
    Fill(translator->lgEnglish(), kEnglish);
    // The product keeps its Finnish texts in the Spanish table.
    Fill(translator->lgSpanish(), kFinnish);
    translator->SetTranslateIntoLanguage(olSpanish);
  }
  std::unique_ptr<TTranslator> translator;
};

TEST_F(Translator, TextsByTheirEnglishWording) {
  struct Row {
    const char* text;
    const char* expected;
  };
  const Row rows[] = {
      {"hello", "Hei"},             // case-insensitive match
      {"HELLO", "Hei"},
      {"Hello!", "Hello!"},         // not in the table
      {"Cancel", "Peruuta"},        // twice in English: the first id wins
      {"Only English", "Only English"},  // no Finnish text of that id
      {"ÄÄNI", "Sound"},            // letters outside ASCII fold too
      {"", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TranslateText(QString::fromUtf8(row.text)), QString::fromUtf8(row.expected))
        << row.text;
  }
  EXPECT_EQ(translator->TranslateById(5, QStringLiteral("x")), QStringLiteral("Seuraava >"));
  EXPECT_EQ(translator->TranslateById(8, QStringLiteral("x")), QStringLiteral("x"));
  // A source language without the text, or no current table, leaves it.
  EXPECT_EQ(translator->TranslateString(olGerman, QStringLiteral("Hello")), QStringLiteral("Hello"));
  translator->SetTranslateIntoLanguage(olGerman);
  EXPECT_EQ(TranslateText(QStringLiteral("Hello")), QStringLiteral("Hello"));
}

TEST_F(Translator, MemosByTheirWholeText) {
  TStringList lines, result;
  lines.Add(QStringLiteral("Line one"));
  lines.Add(QStringLiteral("Line two"));
  translator->TranslateMemo(olEnglish, lines, result);
  EXPECT_EQ(result.Text(), QStringLiteral("Rivi yksi\r\nRivi kaksi\r\nRivi kolme\r\n"));
  lines.Put(1, QStringLiteral("line two"));  // exact comparison
  translator->TranslateMemo(olEnglish, lines, result);
  EXPECT_EQ(result.Text(), lines.Text());
}

TEST_F(Translator, LanguageChangeNotifiesButTemporaryTargetsDoNot) {
  int changes = 0;
  translator->OnLanguageChange = [&](TObject*) { ++changes; };
  translator->SetTranslateIntoLanguage(olSpanish);
  EXPECT_EQ(changes, 1);
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Hello"));
  EXPECT_EQ(TranslateFormInto(olEnglish, olGerman, &form), olEnglish);  // German is empty
  EXPECT_THROW(SetFormFontInto(olHebrew, &form, true), Exception);
  EXPECT_EQ(translator->TranslateIntoLanguage(), olSpanish);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(TranslateFormInto(olEnglish, olSpanish, &form), olSpanish);
  EXPECT_EQ(form.Caption(), QStringLiteral("Hei"));
}

TEST_F(Translator, WholeFormByIdTextItemsColumnsAndMemo) {
  TForm form(nullptr);
  form.SetName(QStringLiteral("Hello"));
  form.SetCaption(QStringLiteral("Hello"));
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetCaption(QStringLiteral("Cancel"));
  auto make = [&](int glid, const char* caption) {
    auto* label = new TTranslateLabel(&form);
    label->SetParent(panel);
    label->SetGLID(glid);
    label->SetCaption(QString::fromUtf8(caption));
    return label;
  };
  TTranslateLabel* byId = make(4, "anything");
  TTranslateLabel* byText = make(0, "Next >");
  TTranslateLabel* kept = make(-1, "Hello");
  TTranslateLabel* missingId = make(8, "Stays");
  auto* button = new TTranslateBitBtn(&form);
  button->SetParent(&form);
  button->SetGLID(6);
  button->SetCaption(QStringLiteral("Cancel?"));
  auto* plain = new TLabel(&form);
  plain->SetParent(&form);
  plain->SetCaption(QStringLiteral("HELLO"));
  auto* hidden = new TLabel(&form);
  hidden->SetParent(&form);
  hidden->SetVisible(false);
  hidden->SetCaption(QStringLiteral("Hello"));
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->Lines()->SetText(QStringLiteral("Line one\r\nLine two\r\n"));
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->Items()->SetText(QStringLiteral("Hello\r\nCancel\r\nelse\r\n"));
  auto* combo = new TComboBox(&form);
  combo->SetParent(&form);
  combo->Items()->SetText(QStringLiteral("Next >\r\n"));
  auto* group = new TRadioGroup(&form);
  group->SetParent(&form);
  group->Items()->SetText(QStringLiteral("< Previous\r\nHello\r\n"));
  auto* view = new TListView(&form);
  view->SetParent(&form);
  view->Columns()->Add()->SetCaption(QStringLiteral("Hello"));
  view->Columns()->Add()->SetCaption(QStringLiteral("Nothing"));

  EXPECT_EQ(TranslateForm(olEnglish, &form), olSpanish);

  EXPECT_EQ(form.Caption(), QStringLiteral("Hei"));
  EXPECT_EQ(form.Name(), QStringLiteral("Hello"));
  EXPECT_EQ(panel->Caption(), QStringLiteral("Peruuta"));
  EXPECT_EQ(byId->Caption(), QStringLiteral("< Edellinen"));
  EXPECT_EQ(byText->Caption(), QStringLiteral("Seuraava >"));
  EXPECT_EQ(kept->Caption(), QStringLiteral("Hello"));
  EXPECT_EQ(missingId->Caption(), QStringLiteral("Stays"));
  EXPECT_EQ(button->Caption(), QStringLiteral("Peruuta"));
  EXPECT_EQ(plain->Caption(), QStringLiteral("Hei"));
  EXPECT_EQ(hidden->Caption(), QStringLiteral("Hei"));
  EXPECT_EQ(memo->Lines()->Text(), QStringLiteral("Rivi yksi\r\nRivi kaksi\r\nRivi kolme\r\n"));
  EXPECT_EQ(list->Items()->Text(), QStringLiteral("Hei\r\nPeruuta\r\nelse\r\n"));
  EXPECT_EQ(combo->Items()->Text(), QStringLiteral("Seuraava >\r\n"));
  EXPECT_EQ(group->Items()->Text(), QStringLiteral("< Edellinen\r\nHei\r\n"));
  EXPECT_EQ(static_cast<TListColumn*>(view->Columns()->Items(0))->Caption(), QStringLiteral("Hei"));
  EXPECT_EQ(static_cast<TListColumn*>(view->Columns()->Items(1))->Caption(),
            QStringLiteral("Nothing"));
  // Visibility and auto-size are as before.
  EXPECT_TRUE(byId->Visible());
  EXPECT_TRUE(byId->AutoSize());
  EXPECT_FALSE(hidden->Visible());
  EXPECT_TRUE(panel->Visible());

  // Into an empty table nothing changes and the source language comes back.
  translator->SetTranslateIntoLanguage(olGerman);
  EXPECT_EQ(TranslateForm(olSpanish, &form), olSpanish);
  EXPECT_EQ(form.Caption(), QStringLiteral("Hei"));
  // Back from Finnish to English by the Finnish wording.
  translator->SetTranslateIntoLanguage(olEnglish);
  EXPECT_EQ(TranslateForm(olSpanish, &form), olEnglish);
  EXPECT_EQ(form.Caption(), QStringLiteral("Hello"));
  EXPECT_EQ(byText->Caption(), QStringLiteral("Next >"));
  EXPECT_EQ(TranslateForm(olEnglish, nullptr), olEnglish);
}

TEST_F(Translator, InstallerExceptionsSpeakTheGlobalLanguage) {
  auto message = [](auto raise) -> QString {
    try {
      raise();
    } catch (const Exception& e) {
      return e.Message();
    }
    return {};
  };
  auto plain = [] { throw IEInstall(QStringLiteral("Installation aborted by the user")); };
  auto formatted = [] {
    throw IEInstallContainer(
        QStringLiteral("Cannot run this dialog %s with a blank Container property"),
        {QStringLiteral("WelcomeDlg2")});
  };
  EXPECT_EQ(message(plain), QStringLiteral("Käyttäjä keskeytti asennuksen"));
  EXPECT_EQ(message(formatted),
            QStringLiteral("Dialogia WelcomeDlg2 ei voi ajaa ilman Container-ominaisuutta"));
  // A second translator is not the global one; freeing the first ends it.
  auto second = std::make_unique<TTranslator>(nullptr);
  EXPECT_EQ(GlobalTranslator(), translator.get());
  translator.reset();
  EXPECT_EQ(GlobalTranslator(), nullptr);
  EXPECT_EQ(message(plain), QStringLiteral("Installation aborted by the user"));
  EXPECT_EQ(message(formatted),
            QStringLiteral("Cannot run this dialog WelcomeDlg2 with a blank Container property"));
}

TEST(TranslatorGlobal, WithoutATranslatorEverythingStays) {
  TForm form(nullptr);
  form.SetCaption(QStringLiteral("Hello"));
  form.Font()->SetSize(6);
  EXPECT_EQ(GlobalTranslator(), nullptr);
  EXPECT_EQ(TranslateText(QStringLiteral("Hello")), QStringLiteral("Hello"));
  EXPECT_EQ(TranslateForm(olFrench, &form), olFrench);
  EXPECT_EQ(TranslateFormInto(olFrench, olGerman, &form), olFrench);
  SetFormFont(&form, false);
  EXPECT_EQ(form.Font()->Size(), 6);
  EXPECT_EQ(form.Caption(), QStringLiteral("Hello"));
}

TEST(TranslatorGlobal, TheNextTranslatorFreesTheAutomaticOne) {
  TForm owner(nullptr);
  auto* automatic = new TTranslator(&owner);
  SetAutoCreatedTranslator(automatic);
  EXPECT_EQ(GlobalTranslator(), automatic);
  TTranslator mine(nullptr);
  EXPECT_EQ(owner.ComponentCount(), 0);
  EXPECT_EQ(AutoCreatedTranslator(), nullptr);
  EXPECT_EQ(GlobalTranslator(), &mine);
}

TEST(TranslatorLanguages, UserLanguageFromTheLocale) {
  struct Row {
    const char* locale;  // nullptr: the locale cannot be told
    std::optional<TOndxLanguage> language;
    const char* name;
  };
  const Row rows[] = {
      {"de_DE.UTF-8", olGerman, "German"},     {"fi_FI.UTF-8", olEnglish, "English"},
      {"", olEnglish, "English"},              {"C", olEnglish, "English"},
      {"pt_BR", olPortugese, "Portugese"},     {"zh_TW.Big5", olChineseSimplified, "ChineseSimplified"},
      {"he", olHebrew, "Hebrew"},              {"sr@latin", olEnglish, "English"},
      {"vi_VN", olVietnamese, "Vietnamese"},   {"xx_YY", olEnglish, "English"},
      {nullptr, std::nullopt, ""},
  };
  TTranslator translator(nullptr);
  for (const Row& row : rows) {
    SetUserLocaleSource([&] { return row.locale ? QString::fromUtf8(row.locale) : QString(); });
    TLanguage* user = translator.UserLanguage();
    if (row.language) {
      ASSERT_NE(user, nullptr) << row.locale;
      EXPECT_EQ(user->LanguageIdent(), *row.language) << row.locale;
    } else {
      EXPECT_EQ(user, nullptr);
    }
    EXPECT_EQ(LangIdToString(olUser), QString::fromUtf8(row.name));
    EXPECT_EQ(translator.CurrentLanguage(), user);  // TranslateIntoLanguage is olUser
  }
  const std::pair<int, TOndxLanguage> ids[] = {
      {4, olChineseSimplified}, {5, olCzech},    {6, olDanish},   {7, olGerman},
      {8, olGreek},             {10, olSpanish}, {12, olFrench},  {13, olHebrew},
      {16, olItalian},          {17, olJapanese}, {18, olKorean}, {21, olPolish},
      {22, olPortugese},        {25, olRussian}, {42, olVietnamese}, {9, olEnglish},
      {11, olEnglish},          {0, olEnglish}};
  for (const auto& [id, language] : ids) EXPECT_EQ(LanguageFromLangId(id), language) << id;
  EXPECT_EQ(translator.Languages().size(), 16u);
  EXPECT_EQ(translator.lgPortugese()->BitmapName(), QStringLiteral("BM_LANG_PORTUGESE"));
  EXPECT_EQ(translator.lgChineseSimplified()->TextFileName(),
            QStringLiteral("ondiChineseSimplified.txt"));
  EXPECT_EQ(translator.lgVietnamese()->DisplayName(), QStringLiteral("Vietnamese"));
  EXPECT_EQ(translator.FindLanguage(olUser), nullptr);
}

TEST(TranslatorFonts, CharsetFaceAndMinimumSizePerLanguage) {
  struct Row {
    TOndxLanguage language;
    int charset;
    QString face;
    int minimum;
  };
  const Row rows[] = {
      {olChineseSimplified, 134, QStringLiteral("\u65B0\u7D30\u660E"), 9},
      {olCzech, 238, QStringLiteral("Arial"), 8},
      {olEnglish, 0, QStringLiteral("Arial"), 8},
      {olGerman, 0, QStringLiteral("MS Sans Serif"), 8},
      {olGreek, 0, QStringLiteral("SGreek"), 8},
      {olJapanese, 128, QStringLiteral("\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF"), 9},
      {olKorean, 129, QStringLiteral("\uBC14\uD0D5"), 9},
      {olPolish, 238, QStringLiteral("Arial"), 8},
      {olPortugese, 238, QStringLiteral("Arial"), 8},
      {olRussian, 204, QStringLiteral("Arial"), 8},
      {olVietnamese, 163, QStringLiteral("Arial"), 8},
  };
  TTranslator translator(nullptr);
  for (const Row& row : rows) {
    for (int size : {6, 12}) {
      TForm form(nullptr);
      auto* child = new TLabel(&form);
      child->SetParent(&form);
      form.Font()->SetSize(size);
      child->Font()->SetSize(size);
      translator.SetControlFont(&form, translator.FindLanguage(row.language));
      for (TControl* control : {static_cast<TControl*>(&form), static_cast<TControl*>(child)}) {
        EXPECT_EQ(control->Font()->Charset(), row.charset) << row.language;
        EXPECT_EQ(control->Font()->Name(), row.face) << row.language;
        EXPECT_EQ(control->Font()->Size(), std::max(size, row.minimum)) << row.language;
      }
    }
  }
  EXPECT_EQ(LanguageCharset(olHebrew), 177);
  TForm form(nullptr);
  EXPECT_THROW(translator.SetControlFont(&form, translator.lgHebrew()), Exception);
  EXPECT_THROW(LanguageCharset(olUser), Exception);
  // An overriding language puts its own font on the controls.
  translator.lgHebrew()->SetFontOverride(true);
  translator.lgHebrew()->Font()->SetName(QStringLiteral("Liberation Serif"));
  translator.lgHebrew()->Font()->SetSize(14);
  translator.SetControlFont(&form, translator.lgHebrew());
  EXPECT_EQ(form.Font()->Name(), QStringLiteral("Liberation Serif"));
  EXPECT_EQ(form.Font()->Size(), 14);
}

TEST(TranslatorFonts, FormFontOfTheCurrentLanguageOrEnglishForAnEmptyTable) {
  TTranslator translator(nullptr);
  translator.SetTranslateIntoLanguage(olGerman);
  TForm form(nullptr);
  SetFormFont(&form, false);  // German table is empty: English rules
  EXPECT_EQ(form.Font()->Name(), QStringLiteral("Arial"));
  SetFormFont(&form, true);
  EXPECT_EQ(form.Font()->Name(), QStringLiteral("MS Sans Serif"));
  translator.lgGerman()->Strings()->Add(QStringLiteral("1;Eins"));
  form.Font()->SetName(QStringLiteral("Arial"));
  SetFormFont(&form, false);
  EXPECT_EQ(form.Font()->Name(), QStringLiteral("MS Sans Serif"));
  SetFormFontInto(olKorean, &form, true);
  EXPECT_EQ(form.Font()->Charset(), 129);
  EXPECT_EQ(translator.TranslateIntoLanguage(), olGerman);
}

}  // namespace
