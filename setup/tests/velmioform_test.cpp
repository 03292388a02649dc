// The setup program's script: the main window read as the program reads it
// (under a test host that never activates it, so nothing is installed) and
// its language tables. The real program's -b build: SetupBuildTest.cpp.
#include "installer/engine/tests/InstallHostTestSupport.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileTexts.h"
#include "installer/engine/cmp_TInstallContainer_UninstallEXE.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/cmp_TPathSpecifier.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_Backdrop.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "installer/wizard/cmp_TBaseInstallDlg.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/dlgcmp_EndPages.h"
#include "installer/wizard/dlgcmp_Readme.h"
#include "installer/wizard/ordlg_EndPages.h"
#include "installer/wizard/ordlg_Page.h"
#include "platform/controls/Application.h"
#include "platform/rtl/Format.h"
#include "setup/velmioform.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <iconv.h>

#include <array>
#include <map>
#include <memory>
#include <ostream>

// Readable texts in failure messages.
static void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace {

// What FileGroup1 installs, in the script's order (Order 48 falling to 0).
QStringList ScriptFiles() {
  const char* const puzzles[] = {
      "LINNUT1", "LINNUT2", "kuvaDALMATIALAISET", "ELAIMET1", "RUOKA1", "LUONTO1",
      "TALVI1", "KALAT1", "PUUT1", "KUKAT1", "MARJAT1", "VARIT1", "AMMATIT1",
      "KAUPUNGIT1", "URHEILU1", "SOITTIMET1", "KOULU1", "VAATTEET1", "KESA1", "SAA1",
      "LIIKENNE1", "HYONTEISET1"};
  QStringList files{QStringLiteral("trovaly"), QStringLiteral("muokkain"), QStringLiteral("editori.html")};
  for (const char* p : puzzles) {
    const QString base = QString::fromLatin1(p);
    files << base + QStringLiteral(".lst") << base + QStringLiteral(".vrb");
    if (base == QStringLiteral("kuvaDALMATIALAISET")) files << base + QStringLiteral(".bmp");
  }
  files << QStringLiteral("trovaly10.html");
  return files;
}

QStringList Lines(const TStrings* strings) {
  QStringList out;
  for (int i = 0; i < strings->Count(); ++i) out << strings->Strings(i);
  return out;
}

QString ProgramFile(const QString& name) {
  return QStringLiteral(QX_PROGRAM_DIR) + QLatin1Char('/') + name;
}

// The main window read under a test host; the form is never activated.
class VelmioForm : public testing::Test {
 protected:
  void SetUp() override {
    app_ = std::make_unique<TApplication>();
    SetInstallCommandLine({});
    SetInstallHost(std::make_unique<qxtest::TTestHost>(qxtest::TempPath(QStringLiteral("setup/velmio"))));
    RegisterSetupClasses();
    form_ = std::make_unique<TForm1>(nullptr);
  }
  void TearDown() override {
    form_.reset();
    Form1 = nullptr;
    SetInstallHost(nullptr);
    app_.reset();
  }
  template <class T>
  T* Comp(const char* name) const {
    TComponent* c = form_->FindComponent(QString::fromLatin1(name));
    auto* typed = dynamic_cast<T*>(c);
    EXPECT_NE(typed, nullptr) << name << (c == nullptr ? " is missing" : " has another class");
    return typed;
  }
  TComponent* Named(const char* name) const { return form_->FindComponent(QString::fromLatin1(name)); }

  std::unique_ptr<TApplication> app_;
  std::unique_ptr<TForm1> form_;
};

TEST_F(VelmioForm, TheMainWindowHoldsTheWholeInstallationScript) {
  ASSERT_NE(form_->Install1, nullptr);
  ASSERT_NE(form_->MainTranslator, nullptr);
  EXPECT_EQ(Form1, form_.get());
  EXPECT_EQ(form_->Caption(), QStringLiteral(" Trovaly 1.0 - asennus"));
  EXPECT_EQ(form_->Width(), 435);
  EXPECT_EQ(form_->Height(), 300);
  EXPECT_EQ(form_->Font()->Name(), QStringLiteral("MS Sans Serif"));
  EXPECT_EQ(form_->Font()->Size(), 8);
  ASSERT_NE(form_->BackDrop1, nullptr);
  EXPECT_EQ(form_->BackDrop1->StartColor(), clBlue);
  EXPECT_EQ(form_->BackDrop1->EndColor(), clBlack);
  TRotate3DLabel* label = form_->productlabel1;
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption(), QStringLiteral("Trovaly 1.0"));
  EXPECT_EQ((std::array{label->Left(), label->Top(), label->Width(), label->Height()}),
            (std::array{10, 10, 200, 30}));
  EXPECT_EQ(label->Font()->Name(), QStringLiteral("Arial"));
  EXPECT_EQ(label->Font()->Height(), -24);
  EXPECT_TRUE(label->Font()->Style().Contains(fsBold));
  EXPECT_EQ(label->Font()->Color(), clRed);
  EXPECT_FALSE(label->LabelStyle()->AShadeLTSet());

  // The path specifiers, each of its own class.
  const std::map<const char*, bool (*)(TComponent*)> specifiers = {
      {"psCDEDLL", [](TComponent* c) { return dynamic_cast<TpsCDEDLL*>(c) != nullptr; }},
      {"psCommonFiles", [](TComponent* c) { return dynamic_cast<TpsCommonFiles*>(c) != nullptr; }},
      {"psContainerArchiveFile", [](TComponent* c) { return dynamic_cast<TpsContainerArchiveFile*>(c) != nullptr; }},
      {"psContainerDestDir", [](TComponent* c) { return dynamic_cast<TpsContainerDestDir*>(c) != nullptr; }},
      {"psDesktopMenu", [](TComponent* c) { return dynamic_cast<TpsDesktopMenu*>(c) != nullptr; }},
      {"psInstallSource", [](TComponent* c) { return dynamic_cast<TpsInstallSource*>(c) != nullptr; }},
      {"psMainInstall", [](TComponent* c) { return dynamic_cast<TpsMainInstall*>(c) != nullptr; }},
      {"psProgramFiles", [](TComponent* c) { return dynamic_cast<TpsProgramFiles*>(c) != nullptr; }},
      {"psProgramMenu", [](TComponent* c) { return dynamic_cast<TpsProgramMenu*>(c) != nullptr; }},
      {"psStartMenu", [](TComponent* c) { return dynamic_cast<TpsStartMenu*>(c) != nullptr; }},
      {"psStartupMenu", [](TComponent* c) { return dynamic_cast<TpsStartupMenu*>(c) != nullptr; }},
      {"psSystem", [](TComponent* c) { return dynamic_cast<TpsSystem*>(c) != nullptr; }},
      {"psMainArchiveFile", [](TComponent* c) { return dynamic_cast<TpsMainArchiveFile*>(c) != nullptr; }},
      {"psWindow", [](TComponent* c) { return dynamic_cast<TpsWindow*>(c) != nullptr; }},
      {"psObjectLink", [](TComponent* c) { return dynamic_cast<TpsObjectLink*>(c) != nullptr; }},
  };
  EXPECT_EQ(specifiers.size(), 15u);
  for (const auto& [name, isOfClass] : specifiers)
    EXPECT_TRUE(Named(name) != nullptr && isOfClass(Named(name))) << name;

  TCustomInstall* install = form_->Install1;
  EXPECT_EQ(CurrentInstall(), install);
  EXPECT_EQ(install->Tag(), 1);
  EXPECT_EQ(Lines(install->Description()), QStringList{QStringLiteral("Poisto-ohjelma")});
  EXPECT_EQ(install->DestDir(), QStringLiteral("/Trovaly "));
  EXPECT_EQ(install->DestDirType(), Named("psProgramFiles"));
  EXPECT_EQ(install->GroupName(), QStringLiteral("Trovaly"));
  EXPECT_EQ(install->Information()->ProductName(), QStringLiteral("Trovaly 1.0"));
  EXPECT_EQ(install->Information()->Version(), QStringLiteral("1.0"));
  EXPECT_FALSE(install->Information()->CompanyName().trimmed().isEmpty());
  EXPECT_EQ(install->State(), fcsNone);
  EXPECT_TRUE(install->UseLoadingProgram());
  EXPECT_TRUE(install->RunAutomatic());
  EXPECT_EQ(install->BuildInfo()->OCXName(), QStringLiteral("MySetup"));
  EXPECT_FALSE(install->BuildInfo()->SignCode());
  EXPECT_FALSE(install->BuildInfo()->BuildDirectory().isEmpty());
  EXPECT_TRUE(install->BuildInfo()->URLPath().startsWith(QStringLiteral("https://")));
  EXPECT_EQ(install->InstallTypes(), TInstallTypeSet{itAlways});
  EXPECT_EQ(install->CurrentInstallType(), itAlways);

  auto* uninstaller = Comp<TUninstallEXE>("UninstallEXE2");
  ASSERT_NE(uninstaller, nullptr);
  EXPECT_EQ(uninstaller->Container(), install);
  EXPECT_EQ(uninstaller->FileName(), QStringLiteral("uninstall"));
  EXPECT_EQ(uninstaller->DestName(), QStringLiteral("uninstall"));
  EXPECT_EQ(uninstaller->DestDirType(), Named("psContainerDestDir"));
  EXPECT_EQ(uninstaller->ArchiveFileType(), Named("psContainerArchiveFile"));
  EXPECT_EQ(uninstaller->Order(), 0);

  auto* group = Comp<TInstallFileGroup>("FileGroup1");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->Container(), install);
  EXPECT_EQ(group->Tag(), 1);
  EXPECT_EQ(group->GroupName(), QStringLiteral("Trovaly 1.0"));
  EXPECT_EQ(Lines(group->Description()),
            (QStringList{QStringLiteral("Ohjelma- ja ohjetiedostot."), QStringLiteral("Pelejä.")}));
  EXPECT_EQ(group->DestDir(), QStringLiteral("/Trovaly 1.0"));
  EXPECT_EQ(group->DestDirType(), Named("psContainerDestDir"));
  EXPECT_EQ(group->Order(), 0);
  const QStringList files = ScriptFiles();
  ASSERT_EQ(files.size(), 49);
  EXPECT_EQ(group->FileCount(), 49);
  for (int i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i].toStdString());
    const QByteArray name = QStringLiteral("InstallFile%1").arg(i + 1).toLatin1();
    auto* file = Comp<TInstallFile>(name.constData());
    if (file == nullptr) continue;
    EXPECT_EQ(file->Container(), group);
    EXPECT_EQ(file->FileName(), files[i]);
    EXPECT_EQ(file->DestName(), file->FileName());
    EXPECT_EQ(file->Order(), 48 - i);
    EXPECT_EQ(file->DestDirType(), Named("psContainerDestDir"));
    EXPECT_EQ(file->ArchiveFileType(), Named("psContainerArchiveFile"));
    EXPECT_EQ(file->RegisterAsHelp(), files[i].endsWith(QStringLiteral(".html")));
    // Named from the program's folder: nothing built names the tree.
    EXPECT_TRUE(QDir::isRelativePath(file->IncludeFromDir()));
    EXPECT_TRUE(QFileInfo::exists(QFileInfo(QStringLiteral(QX_VELMIO)).absolutePath() + QLatin1Char('/') +
                                  file->IncludeFromDir() + QLatin1Char('/') + file->FileName()));
    EXPECT_TRUE(QFileInfo::exists(ProgramFile(files[i])));
  }

  auto* folder = Comp<TMainLinkGroup>("MainFolder1");
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->Container(), install);
  EXPECT_EQ(folder->DestDir(), QStringLiteral("/Trovaly 1.0"));
  struct LinkRow {
    const char* name;
    const char* linkName;
    const char* target;  // nullptr: an internet shortcut
  };
  const LinkRow links[] = {
      {"InstallMainLink1", "Poista Trovaly .LNK", "UninstallEXE2"},
      {"InstallMainLink2", "Trovaly.lnk", "InstallFile1"},
      {"InstallMainLink3", "Muokkain.lnk", "InstallFile2"},
      {"InstallMainLink4", "Muokkain ohje.LNK", "InstallFile3"},
      {"InstallMainLink5", "Trovaly ohje.LNK", "InstallFile49"},
      {"InstallMainLink6", "Word Puzzles.URL", nullptr},
  };
  for (const LinkRow& row : links) {
    SCOPED_TRACE(row.name);
    auto* link = Comp<TInstallMainLink>(row.name);
    if (link == nullptr) continue;
    EXPECT_EQ(link->Container(), folder);
    EXPECT_EQ(link->LinkName(), QString::fromLatin1(row.linkName));
    EXPECT_EQ(link->HotKey(), 0);
    if (row.target != nullptr) {
      EXPECT_EQ(link->ObjectLink(), Named(row.target));
      EXPECT_EQ(link->ObjectLocationType(), Named("psObjectLink"));
    } else {
      EXPECT_EQ(link->ObjectLink(), nullptr);
      EXPECT_TRUE(link->IsURLLink());
      EXPECT_TRUE(link->ObjectLocation().contains(QStringLiteral("word+puzzles")));
    }
  }

  struct EntryRow {
    const char* ident;
    TRegistryEntryType type;
    int integer;
    const char* text;
  };
  struct RegistryRow {
    const char* name;
    const char* key;
    std::vector<EntryRow> entries;
  };
  const RegistryRow registries[] = {
      {"Registry", "\\Software\\QXTrovaly", {}},
      {"Registry1",
       "\\Software\\QXTrovaly\\Ruudukko",
       {{"fon_koko", retInteger, 11, ""},
        {"fon_nimi", retText, 0, "Times New Roman"},
        {"fon_vari", retInteger, 128, ""},
        {"loydetty_vari", retInteger, 255, ""},
        {"fon_Bold", retText, 0, "fsBold"},
        {"fon_Italic", retText, 0, "fsNorm"}}},
      {"Registry2", "\\Software\\QXTrovaly\\Animaatio", {{"hahmo", retText, 0, "j"}}},
  };
  for (const RegistryRow& row : registries) {
    SCOPED_TRACE(row.name);
    auto* registry = Comp<TInstallRegistry>(row.name);
    if (registry == nullptr) continue;
    EXPECT_EQ(registry->Container(), install);
    EXPECT_EQ(registry->Key(), QString::fromLatin1(row.key));
    EXPECT_EQ(registry->RootKey(), hkCurrentUser);
    EXPECT_EQ(registry->KeySpecifierType(), ksAbsolute);
    ASSERT_EQ(registry->Entries()->Count(), static_cast<int>(row.entries.size()));
    for (int i = 0; i < registry->Entries()->Count(); ++i) {
      const TRegistryEntry* entry = registry->Entries()->Items(i);
      const EntryRow& want = row.entries[static_cast<std::size_t>(i)];
      SCOPED_TRACE(want.ident);
      EXPECT_EQ(entry->Ident(), QString::fromLatin1(want.ident));
      EXPECT_EQ(entry->EntryType(), want.type);
      if (want.type == retInteger)
        EXPECT_EQ(entry->Integer(), want.integer);
      else
        EXPECT_EQ(entry->Text(), QString::fromLatin1(want.text));
    }
  }

  const TManagerType managers[] = {dmBeforeInstall, dmAfterGoodInstall, dmAfterBadInstall,
                                   dmDuringCopyFiles, dmChangeDisk, dmReboot};
  for (int i = 0; i < 6; ++i) {
    const QByteArray name = QStringLiteral("DialogManager%1").arg(i + 1).toLatin1();
    SCOPED_TRACE(name.constData());
    auto* manager = Comp<TDialogManager>(name.constData());
    if (manager == nullptr) continue;
    EXPECT_EQ(manager->Container(), install);
    EXPECT_EQ(manager->ManagerType(), managers[i]);
    EXPECT_EQ(manager->RelativeLeftOffset(), 0);
    EXPECT_EQ(manager->RelativeTopOffset(), 0);
  }

  struct DialogRow {
    const char* name;
    const char* container;
    const char* manager;  // nullptr: stands alone
    int order;            // -1: not given
  };
  const DialogRow dialogs[] = {
      {"WelcomeDlg2", "Install1", "DialogManager1", 10},
      {"ReadmeDlg2", "Install1", "DialogManager1", 30},
      {"InstallTypeDlg2", "Install1", "DialogManager1", 40},
      {"InstallFileGroupsDlg2", "Install1", "DialogManager1", 50},
      {"SelectFolderDlg2", "MainFolder1", "DialogManager1", 60},
      {"GoodInstallationDlg2", "Install1", "DialogManager2", 10},
      {"BadInstallationDlg2", "Install1", "DialogManager3", 10},
      {"ChangeDiskDlg2", "Install1", "DialogManager5", -1},
      {"RebootDlg2", "Install1", "DialogManager6", 10},
      {"CopyFileDlg2", "Install1", nullptr, -1},
      {"InstallStatusDlg2", "Install1", nullptr, -1},
  };
  for (const DialogRow& row : dialogs) {
    SCOPED_TRACE(row.name);
    auto* dialog = Comp<TCustomBaseInstallDlg>(row.name);
    if (dialog == nullptr) continue;
    EXPECT_EQ(dialog->Container(), Named(row.container));
    EXPECT_EQ(dialog->DialogManager(), row.manager != nullptr ? Named(row.manager) : nullptr);
    if (row.order >= 0) {
      EXPECT_EQ(dialog->Order(), row.order);
    }
    EXPECT_FALSE(dialog->OverrideMainTranslator());
    EXPECT_EQ(dialog->TranslateIntoLanguage(), olSpanish);
  }

  auto* readme = Comp<TReadmeDlg>("ReadmeDlg2");
  ASSERT_NE(readme, nullptr);
  const QStringList text = Lines(readme->ReadmeText());
  ASSERT_EQ(text.size(), 7);
  EXPECT_EQ(text[0], QStringLiteral("TROVALY 1.0"));
  EXPECT_TRUE(text[1].startsWith(install->Information()->CompanyName())) << text[1].toStdString();
  EXPECT_TRUE(text[1].contains(QRegularExpression(QStringLiteral("\\b20\\d\\d\\b"))));
  EXPECT_TRUE(text[1].endsWith(QStringLiteral("Ilmaisohjelma")));
  EXPECT_EQ(text.mid(2), (QStringList{QString(), QStringLiteral("Tämä  asennusohjelma lisää rekisteriin avaimen"),
                                      QStringLiteral("HKEY_CURRENT_USER-Software-QXTrovaly."),
                                      QStringLiteral("Poisto-ohjelma poistaa sen."), QString()}));

  // Nothing ran: the activation was taken over but never delivered.
  EXPECT_FALSE(install->Running());
}

// The %d and %s of a text, in order.
QStringList Placeholders(const QString& text) {
  static const QRegularExpression pattern(QStringLiteral("%[ds]"));
  QStringList out;
  for (auto it = pattern.globalMatch(text); it.hasNext();) out << it.next().captured();
  return out;
}

TEST_F(VelmioForm, TheLanguageTablesAreCompleteTranslationsOfTheEnglishOne) {
  TTranslator* translator = form_->MainTranslator;
  ASSERT_NE(translator, nullptr);
  EXPECT_EQ(GlobalTranslator(), translator);
  EXPECT_EQ(translator->TranslateIntoLanguage(), olSpanish);
  EXPECT_EQ(translator->lgHebrew()->Strings()->Count(), 0);

  std::map<int, QString> english;
  for (const TLanguageString& s : translator->lgEnglish()->Table().strings) english.emplace(s.id, s.text);
  ASSERT_FALSE(english.empty());
  EXPECT_TRUE(translator->lgEnglish()->Table().memos.empty());
  const std::map<int, const char*> englishTexts = {
      {4, "< Previous"}, {5, "Next >"}, {6, "Cancel"}, {9, "Welcome"},
      {27, "Select components to install"}, {37, "Setup complete"}, {75, "Reading file information..."}};
  for (const auto& [id, want] : englishTexts) EXPECT_EQ(english[id], QString::fromUtf8(want)) << id;

  int tables = 0;
  for (const auto& language : translator->Languages()) {
    if (language->LanguageIdent() == olHebrew) continue;
    ++tables;
    SCOPED_TRACE(language->DisplayName().toStdString());
    EXPECT_NO_THROW(language->Parse());
    EXPECT_EQ(language->Font()->Name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(language->Font()->Size(), 8);
    EXPECT_FALSE(language->FontOverride());
    EXPECT_TRUE(language->Table().memos.empty());
    std::map<int, QString> texts;
    for (const TLanguageString& s : language->Table().strings)
      EXPECT_TRUE(texts.emplace(s.id, s.text).second) << "id " << s.id << " twice";
    QList<int> missing, extra;
    for (const auto& [id, text] : english)
      if (!texts.count(id)) missing << id;
    for (const auto& [id, text] : texts)
      if (!english.count(id)) extra << id;
    EXPECT_TRUE(missing.isEmpty() && extra.isEmpty())
        << "missing " << missing.size() << ", extra " << extra.size();
    // One thousand as the language writes it: the sizes' grouping.
    EXPECT_TRUE(texts[103].contains(QRegularExpression(QStringLiteral("^1\\D?000$")))) << texts[92].toStdString();
    int differing = 0;
    for (const auto& [id, text] : texts) {
      if (!english.count(id)) continue;
      if (text != english[id]) ++differing;
      EXPECT_EQ(Placeholders(text), Placeholders(english[id])) << "id " << id;
    }
    if (language->LanguageIdent() != olEnglish) {
      EXPECT_GE(differing * 100, 60 * static_cast<int>(english.size())) << differing << " differ";
    }
  }
  EXPECT_EQ(tables, 15);

  const std::map<int, const char*> finnish = {
      {4, "< Edellinen"}, {5, "Seuraava >"}, {6, "Peruuta"}, {9, "Tervetuloa"},
      {27, "Valitse asennettavat ohjelman osat"}, {37, "Asennus on suoritettu"}};
  for (const auto& [id, want] : finnish) {
    const TLanguageString* s = translator->lgSpanish()->FindString(id);
    ASSERT_NE(s, nullptr) << id;
    EXPECT_EQ(s->text, QString::fromUtf8(want)) << id;
  }
  EXPECT_EQ(TranslateText(QStringLiteral("Welcome")), QStringLiteral("Tervetuloa"));

  // Sizes are grouped as the Finnish table writes numbers, whatever the
  // process's locale (LANG=C.UTF-8 groups by commas).
  QLocale::setDefault(QLocale::c());
  const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
  const QString space(QChar(0x00a0));
  EXPECT_EQ(BytesText(6496632), QStringLiteral("6") + space + "496" + space + "632 tavua");
}

// What the pages say is what happens here: files in use are put in place
// at the next login, nothing restarts the computer. The restart page's
// caption and choices are translated by their English wording, so its own
// English is the table's; the Finnish page speaks of logging in again.
TEST_F(VelmioForm, ThePagesSpeakOfLoggingInAgainNotOfRestartingTheComputer) {
  TTranslator* translator = form_->MainTranslator;
  ASSERT_NE(translator, nullptr);
  static const QRegularExpression restart(
      QStringLiteral("reboot|restart (the|your) computer|Windows|tietokone\\w* (on )?(k.ynnistett.v. )?uudelleen|"
                     "uudelleenk.ynnist|k.ynnist.. tietokone"),
      QRegularExpression::CaseInsensitiveOption);
  for (TLanguage* language : {translator->lgEnglish(), translator->lgSpanish()}) {
    for (const TLanguageString& s : language->Table().strings)
      EXPECT_FALSE(s.text.contains(restart)) << language->DisplayName().toStdString() << " " << s.id << ": "
                                             << s.text.toStdString();
  }
  // Every table: the welcome page asks to close the other programs, and the
  // restart page's caption, text and choices speak of logging in again in
  // the table's own words, never of Windows or of restarting the computer.
  const struct {
    TOndxLanguage language;
    const char* restart;
    const char* login;
  } tables[] = {
      {olChineseSimplified, "重新启动|重启|计算机", "登录"},
      {olCzech, "restart|počítač", "přihl"},
      {olDanish, "genstart|computer", "log(ger)? (af og )?på"},
      {olEnglish, "reboot|restart|computer", "log in"},
      {olFrench, "redémarr|ordinateur", "connex|connect"},
      {olGerman, "neu start|neustart|computer", "meld"},
      {olGreek, "επανεκκίνηση|υπολογιστ", "συνδε"},
      {olItalian, "riavvi|computer", "acced|access"},
      {olJapanese, "再起動|コンピューター", "ログイン"},
      {olKorean, "다시 시작|컴퓨터", "로그인"},
      {olPolish, "ponownie uruchomi|uruchomić ponownie|komputer", "zalog|logowan"},
      {olPortugese, "reinici|computador", "sessão"},
      {olRussian, "перезагру|компьютер", "вход|войт|войд"},
      {olSpanish, "tietokone|uudelleenk.ynnist", "kirjaud"},
      {olVietnamese, "khởi động lại|máy tính", "đăng nhập"},
  };
  for (const auto& table : tables) {
    TLanguage* language = translator->FindLanguage(table.language);
    ASSERT_NE(language, nullptr);
    SCOPED_TRACE(language->DisplayName().toStdString());
    const QRegularExpression restartWords(QStringLiteral("Windows|") + QString::fromUtf8(table.restart),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression loginWords(QString::fromUtf8(table.login), QRegularExpression::CaseInsensitiveOption);
    for (const int id : {11, 51, 52, 53, 54}) {
      const TLanguageString* s = language->FindString(id);
      ASSERT_NE(s, nullptr) << id;
      EXPECT_FALSE(s->text.contains(restartWords)) << id << ": " << s->text.toStdString();
      if (id != 11) {
        EXPECT_TRUE(s->text.contains(loginWords)) << id << ": " << s->text.toStdString();
      }
    }
  }

  auto* reboot = dynamic_cast<TRebootDlg*>(form_->FindComponent(QStringLiteral("RebootDlg2")));
  ASSERT_NE(reboot, nullptr);
  std::unique_ptr<TForm> page(reboot->FormClass()(nullptr));
  auto* rebootPage = dynamic_cast<TRebootForm*>(page.get());
  ASSERT_NE(rebootPage, nullptr);
  const auto english = [&](int id) { return translator->lgEnglish()->FindString(id)->text; };
  EXPECT_EQ(rebootPage->Caption(), english(51));
  EXPECT_EQ(rebootPage->TopLabel->Caption(), english(52));
  EXPECT_EQ(rebootPage->RG->Items()->Strings(0), english(53));
  EXPECT_EQ(rebootPage->RG->Items()->Strings(1), english(54));
  TranslateForm(olEnglish, rebootPage);
  EXPECT_EQ(rebootPage->Caption(), QStringLiteral("Kirjaudu uudelleen sisään"));
  EXPECT_TRUE(rebootPage->TopLabel->Caption().contains(QStringLiteral("kirjaudut ulos ja uudelleen sisään")));
  EXPECT_EQ(rebootPage->RG->Items()->Strings(0), QStringLiteral("Kyllä, kirjaudun ulos ja uudelleen sisään nyt"));
  EXPECT_EQ(rebootPage->RG->Items()->Strings(1), QStringLiteral("Ei, kirjaudun uudelleen sisään myöhemmin"));
}

// Whether text can be written in a code page (iconv's name for it).
bool FitsCodePage(const QString& text, const char* codePage) {
  const iconv_t cd = ::iconv_open(codePage, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  QByteArray in = text.toUtf8();
  QByteArray out(in.size() * 4 + 16, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = static_cast<size_t>(in.size());
  size_t outLeft = static_cast<size_t>(out.size());
  const size_t done = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  ::iconv_close(cd);
  return done != static_cast<size_t>(-1) && inLeft == 0;
}

// The code page each table is written in.
const char* CodePageOf(TOndxLanguage language) {
  switch (language) {
    case olChineseSimplified: return "GBK";
    case olCzech:
    case olPolish: return "CP1250";
    case olRussian: return "CP1251";
    case olGreek: return "CP1253";
    case olJapanese: return "CP932";
    case olKorean: return "CP949";
    case olVietnamese: return "CP1258";
    default: return "CP1252";
  }
}

// What the user is told when a file cannot be unpacked, and what the bad
// end took back, has its texts in every table, each in its table's code
// page; the engine's and the page's English are the table's keys, so the
// Finnish setup says them in Finnish.
TEST_F(VelmioForm, UnpackErrorsAndTheBadEndsReportSpeakEveryTablesLanguage) {
  TTranslator* translator = form_->MainTranslator;
  ASSERT_NE(translator, nullptr);
  const auto text = [&](TLanguage* language, int id) {
    const TLanguageString* s = language->FindString(id);
    return s != nullptr ? s->text : QStringLiteral("<no %1>").arg(id);
  };
  for (const auto& language : translator->Languages()) {
    if (language->LanguageIdent() == olHebrew) continue;
    SCOPED_TRACE(language->DisplayName().toStdString());
    for (const TLanguageString& s : language->Table().strings)
      EXPECT_TRUE(FitsCodePage(s.text, CodePageOf(language->LanguageIdent()))) << s.id << ": " << s.text.toStdString();
    for (int id = 92; id <= 101; ++id) EXPECT_NE(language->FindString(id), nullptr) << id;
  }
  TLanguage* english = translator->lgEnglish();
  const std::pair<int, const char*> engine[] = {{92, kIfArchiveDamaged}, {93, kIfNotInArchive},
                                                {94, kIfCannotOpenArchive}, {95, kIfWrongDisk},
                                                {96, kIfCannotWrite}, {97, kIfCannotUnpack}};
  for (const auto& [id, english_text] : engine) EXPECT_EQ(text(english, id), QString::fromLatin1(english_text)) << id;

  // The Finnish setup: the error in Finnish.
  TLanguage* finnish = translator->lgSpanish();
  EXPECT_EQ(IECustomInstallFile(QString::fromLatin1(kIfArchiveDamaged), {QStringLiteral("/a/setup.exe"),
                                                                          QStringLiteral("trovaly")})
                .Message(),
            Format(text(finnish, 92), {QStringLiteral("/a/setup.exe"), QStringLiteral("trovaly")}));
  EXPECT_TRUE(text(finnish, 92).startsWith(QStringLiteral("Asennustiedosto %s on vioittunut")));

  // The bad-end page: its English is the table's, its Finnish the table's.
  TBadInstallForm page(nullptr);
  EXPECT_EQ(page.PutBackLabel->Caption(), text(english, 98));
  EXPECT_EQ(page.FailedLabel->Caption(), text(english, 101));
  TUndoReport report;
  report.files = 2;
  report.folders = 1;
  report.registryValues = 5;
  page.ShowUndoReport(report);
  TranslateForm(olEnglish, &page);
  EXPECT_EQ(page.PutBackLabel->Caption(), text(finnish, 98));
  EXPECT_EQ(page.UndoneLabel->Caption(), Format(text(finnish, 99), {2, 1, 5}));
  report.earlierRun = true;
  report.failed << QStringLiteral("/x: Permission denied");
  page.ShowUndoReport(report);
  EXPECT_EQ(page.UndoneLabel->Caption(), Format(text(finnish, 100), {2, 1, 5}));
  EXPECT_EQ(page.FailedLabel->Caption(), text(finnish, 101));
}

}  // namespace

