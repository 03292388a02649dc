// The setup's wizard pages with their real components, as the setup script
// places them: each page shown by its manager and by its component alone,
// the script's page order, the language page over every table the setup
// carries, and the pictures of all pages, whose theme, button panel and
// buttons share one geometry.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/dlgcmp_EndPages.h"
#include "installer/wizard/dlgcmp_FileGroups.h"
#include "installer/wizard/dlgcmp_InstallType.h"
#include "installer/wizard/dlgcmp_Readme.h"
#include "installer/wizard/dlgcmp_SelectFolder.h"
#include "installer/wizard/dlgcmp_Welcome.h"
#include "installer/wizard/ordlg_Common.h"
#include "installer/wizard/ordlg_License.h"
#include "installer/wizard/ordlg_SelectLanguage.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Label.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/TreeView.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Picture.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

// The setup script's translator, read from the script itself: the fifteen
// tables the setup carries (the Finnish texts in the Spanish one).
std::unique_ptr<TTranslator> SetupTranslator() {
  const QByteArray script = qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("../../../../setup/velmioform.form")));
  EXPECT_FALSE(script.isEmpty());
  QByteArray object;
  bool inside = false;
  for (const QByteArray& line : script.split('\n')) {
    if (line.startsWith("  object MainTranslator: TTranslator")) inside = true;
    if (!inside) continue;
    object += line.mid(2) + '\n';
    if (line == "  end") break;
  }
  auto translator = std::make_unique<TTranslator>(nullptr);
  ReadRootComponent(static_cast<TComponent*>(translator.get()), object, QStringLiteral("velmioform.form"));
  return translator;
}

// A bitmap of one colour, as a script's ThemeBitmap.
std::unique_ptr<TBitmap> Plain(TColor color) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(136, 316);
  bitmap->Canvas()->Brush()->SetColor(color);
  bitmap->Canvas()->FillRect(TRect{0, 0, 136, 316});
  return bitmap;
}

// A page as drawn, with the place of its parts.
struct TShot {
  QString name;
  QImage image;
};

// The rectangles of the buttons in the button panel: the outermost regions
// that differ from the panel's colour below its bevel line.
std::vector<QRect> ButtonsOf(const QImage& image) {
  const int panelTop = image.height() - 52;
  const QRgb panel = image.pixel(2, image.height() - 3);
  std::vector<std::vector<bool>> seen(static_cast<std::size_t>(image.width()),
                                      std::vector<bool>(static_cast<std::size_t>(image.height())));
  std::vector<QRect> boxes;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = panelTop + 2; y < image.height(); ++y) {
      if (seen[x][y] || image.pixel(x, y) == panel) continue;
      QRect box(x, y, 1, 1);
      std::vector<QPoint> todo{{x, y}};
      seen[x][y] = true;
      while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        box = box.united(QRect(p, QSize(1, 1)));
        for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
          const QPoint n = p + d;
          if (n.x() < 0 || n.x() >= image.width() || n.y() <= panelTop + 1 || n.y() >= image.height())
            continue;
          if (seen[n.x()][n.y()] || image.pixel(n) == panel) continue;
          seen[n.x()][n.y()] = true;
          todo.push_back(n);
        }
      }
      boxes.push_back(box);
    }
  }
  // A button's face is the panel's colour: its frame is one region, its
  // glyph and caption others inside it.
  std::vector<QRect> buttons;
  for (const QRect& box : boxes) {
    bool inside = false;
    for (const QRect& other : boxes)
      if (other != box && other.contains(box)) inside = true;
    if (!inside) buttons.push_back(box);
  }
  return buttons;
}

class WizardPages : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardFormClasses();
    RegisterTranslateControlClasses();
    RegisterInstallClasses();
    RegisterBeforeInstallPageClasses();
    RegisterRunWindowClasses();
    RegisterTranslatorClasses();
    ASSERT_TRUE(QDir().mkpath(qxtest::TempPath(QStringLiteral("data/applications/Pelit"))));
    app = std::make_unique<TApplication>();
    setup = std::make_unique<TForm>(nullptr);
    install = new TInstall(setup.get());
    install->SetName(QStringLiteral("Install1"));
    install->SetGroupName(QStringLiteral("Trovaly"));
    install->SetDestDir(qxtest::TempPath(QStringLiteral("opt/Trovaly")));
    install->SetInstallTypes({itDefault, itCustom});
    install->SetInstallType(itCustom);
    game = new TInstallFileGroup(setup.get());
    game->SetName(QStringLiteral("Game"));
    game->SetGroupName(QStringLiteral("Peli"));
    game->SetContainer(install);
    game->SetDestDir(qxtest::TempPath(QStringLiteral("opt/Trovaly/peli")));
    links = new TMainLinkGroup(setup.get());
    links->SetName(QStringLiteral("MainFolder1"));
    links->SetContainer(install);
    links->SetDestDir(QStringLiteral("/"));
    SetUserAbortQuestion([] { return true; });
    SetRebootNeeded(false);
  }
  void TearDown() override {
    setup.reset();
    translator.reset();
    app.reset();
  }
  TDialogManager* AddManager(TManagerType type) {
    auto* manager = new TDialogManager(setup.get());
    manager->SetContainer(install);
    manager->SetManagerType(type);
    return manager;
  }
  template <class T>
  T* Add(TDialogManager* manager) {
    auto* dlg = new T(setup.get());
    if (dynamic_cast<TSelectFolderDlg*>(dlg) == nullptr) dlg->SetContainer(install);
    dlg->SetDialogManager(manager);
    return dlg;
  }
  // The script's pages: five before the copying, three after it.
  void AddScriptPages(bool withManagers) {
    auto manager = [&](TManagerType type) { return withManagers ? AddManager(type) : nullptr; };
    TDialogManager* before = manager(dmBeforeInstall);
    Add<TWelcomeDlg>(before);
    Add<TReadmeDlg>(before)->ReadmeText()->Add(QStringLiteral("TROVALY 1.0"));
    Add<TInstallTypeDlg>(before);
    Add<TInstallFileGroupsDlg>(before);
    Add<TSelectFolderDlg>(before);
    Add<TGoodInstallationDlg>(manager(dmAfterGoodInstall));
    Add<TBadInstallationDlg>(manager(dmAfterBadInstall));
    Add<TRebootDlg>(manager(dmReboot));
  }
  void UseSetupTexts() {
    translator = SetupTranslator();
    translator->SetTranslateIntoLanguage(olSpanish);
  }

  std::unique_ptr<TApplication> app;
  std::unique_ptr<TForm> setup;
  std::unique_ptr<TTranslator> translator;
  TInstall* install = nullptr;
  TInstallFileGroup* game = nullptr;
  TMainLinkGroup* links = nullptr;
};

TEST_F(WizardPages, TheLanguagePageTakesEveryTableTheSetupCarries) {
  UseSetupTexts();
  int tables = 0;
  for (const auto& language : translator->Languages())
    if (language->Strings()->Count() > 1) ++tables;
  ASSERT_EQ(tables, 15);
  // Every language of the enumeration as the current one, Vietnamese (the
  // last) and the tableless user and Hebrew languages among them.
  for (int ident = olChineseSimplified; ident <= olVietnamese; ++ident) {
    const auto current = static_cast<TOndxLanguage>(ident);
    SCOPED_TRACE(LangIdToString(current).toStdString());
    translator->SetTranslateIntoLanguage(current);
    TSelectLanguageForm page(nullptr);
    page.InitializeForm();
    ASSERT_EQ(page.LanguageGrid->RowCount(), 8);
    int cells = 0;
    for (int row = 0; row < page.LanguageGrid->RowCount(); ++row)
      for (int col = 0; col < page.LanguageGrid->ColCount(); ++col)
        if (page.LanguageGrid->Objects(col, row) != nullptr) ++cells;
    EXPECT_EQ(cells, 15);
    auto* selected = dynamic_cast<TLanguage*>(page.LanguageGrid->Objects(page.LanguageGrid->Col(), page.LanguageGrid->Row()));
    const bool hasTable = current != olUser && current != olHebrew;
    if (hasTable) {
      ASSERT_NE(selected, nullptr);
      EXPECT_EQ(selected->LanguageIdent(), current);
    }
    // Every flag is drawn: no cell with a language stays one colour.
    page.Show();
    const QImage grid = page.LanguageGrid->Handle()->grab().toImage();
    for (int row = 0; row < 2; ++row)
      for (int col = 0; col < 2; ++col) {
        const QRect cell(col * 141 + 3, row * 49 + 3, 40, 40);
        std::set<QRgb> colours;
        for (int x = cell.left(); x <= cell.right(); ++x)
          for (int y = cell.top(); y <= cell.bottom(); ++y) colours.insert(grid.pixel(x, y));
        EXPECT_GT(colours.size(), 1u) << col << "," << row;
      }
  }
  // Picking Vietnamese, the last cell, re-translates the pages.
  translator->SetTranslateIntoLanguage(olSpanish);
  TSelectLanguageForm page(nullptr);
  page.InitializeForm();
  page.ApplyLanguage();
  EXPECT_EQ(page.CancelBtn->Caption(), QStringLiteral("Peruuta"));
  page.LanguageGrid->SetCol(0);
  page.LanguageGrid->SetRow(7);
  auto* last = dynamic_cast<TLanguage*>(page.LanguageGrid->Objects(0, 7));
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->LanguageIdent(), olVietnamese);
  page.LanguageGridClick(page.LanguageGrid);
  EXPECT_EQ(translator->TranslateIntoLanguage(), olVietnamese);
  EXPECT_EQ(page.CancelBtn->Caption(), translator->lgVietnamese()->FindString(6)->text);
}

TEST_F(WizardPages, AComponentAloneGivesItsPageWhatAWizardWould) {
  AddScriptPages(false);
  UseSetupTexts();
  install->SetInstallTypes({itDefault, itCustom});
  // Each component its own theme picture.
  std::map<TCustomBaseInstallDlg*, TColor> themes;
  const TColor colours[] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua, clOlive, clNavy};
  int next = 0;
  for (int i = 0; i < setup->ComponentCount(); ++i)
    if (auto* dlg = dynamic_cast<TCustomBaseInstallDlg*>(setup->Components(i))) {
      themes[dlg] = colours[next++];
      dlg->SetThemeBitmap(Plain(themes[dlg]).get());
    }
  ASSERT_EQ(next, 8);
  SetRebootNeeded(true);
  QStringList shown;
  app->ModalDriver = [&](TObject* modal) {
    auto* page = dynamic_cast<TWizardPageForm*>(modal);
    ASSERT_NE(page, nullptr);
    shown << page->ClassName();
    SCOPED_TRACE(page->ClassName().toStdString());
    EXPECT_FALSE(page->BackBtn->Visible());
    ASSERT_NE(page->DC(), nullptr);
    const QImage& theme = page->ThemeBitmap->Picture()->Bitmap()->Image();
    EXPECT_EQ(QColor(theme.pixel(60, 150)), ColorToQColor(themes[page->DC()]));
    EXPECT_EQ(page->ClientWidth(), dynamic_cast<TRebootForm*>(page) != nullptr ? 475 : 470);
    if (auto* type = dynamic_cast<TInstallTypeForm*>(page)) {
      EXPECT_FALSE(type->FullTab->TabVisible());
      EXPECT_TRUE(type->TypicalTab->TabVisible());
      EXPECT_EQ(type->PageControl->ActivePage(), type->CustomTab);
      EXPECT_EQ(type->InstallDirectory->Caption(), install->GetExpandedDestDir());
    }
    if (auto* groups = dynamic_cast<TFileGroupSelectForm*>(page)) {
      ASSERT_EQ(groups->GroupTree()->Items()->Count(), 2);
      EXPECT_EQ(groups->GroupTree()->Items()->Item(1)->Text(), "Peli");
    }
    if (auto* folder = dynamic_cast<TSelectFolderForm*>(page)) {
      ASSERT_EQ(folder->FolderListBox->Items()->Count(), 1);
      EXPECT_EQ(folder->FolderEdit->Text(), "Pelit");
    }
    if (auto* reboot = dynamic_cast<TRebootForm*>(page)) {
      EXPECT_EQ(reboot->RG->ItemIndex(), 0);
    }
    if (auto* end = dynamic_cast<TEndPageForm*>(page)) {
      EXPECT_EQ(end->FinishBtn->ModalResult(), mrOk);
      EXPECT_EQ(end->CancelBtn, nullptr);
    }
    page->ProceedBtn->Click();
  };
  for (int code : {scWelcome, scReadme, scStartProcessing, scGroupInstall, scProgramFolder,
                   scGoodEndPage, scBadEndPage, scRestart}) {
    // The folder page's component stands in the link group, which sends its code.
    TInstallContainer* sender = code == scProgramFolder ? static_cast<TInstallContainer*>(links) : install;
    sender->BroadcastMessage(sender, code, nullptr);
  }
  EXPECT_EQ(shown, QStringList({"TWelcomeForm", "TReadmeForm", "TInstallTypeForm", "TFileGroupSelectForm",
                                "TSelectFolderForm", "TGoodInstallForm", "TBadInstallForm", "TRebootForm"}));
  SetRebootNeeded(false);
}

// The script's order of the pages, not each page's default.
const char kOrderScript[] = R"(object Script: TDataModule
  object Install1: TInstall
  end
  object MainFolder1: TMainLinkGroup
    Container = Install1
  end
  object Manager1: TDialogManager
    Container = Install1
  end
  object WelcomeDlg1: TWelcomeDlg
    Container = Install1
    DialogManager = Manager1
    Order = 70
  end
  object ReadmeDlg1: TReadmeDlg
    Container = Install1
    DialogManager = Manager1
    Order = 30
  end
  object SelectFolderDlg1: TSelectFolderDlg
    Container = MainFolder1
    DialogManager = Manager1
    Order = 50
  end
end
)";

TEST_F(WizardPages, TheScriptsOrderOfThePagesIsKept) {
  setup.reset();
  TDataModule script(nullptr);
  ReadRootComponent(&script, QByteArray(kOrderScript), QStringLiteral("script.form"));
  auto* scriptInstall = FindComponentAs<TInstall>(&script, QStringLiteral("Install1"));
  auto* welcome = FindComponentAs<TWelcomeDlg>(&script, QStringLiteral("WelcomeDlg1"));
  EXPECT_EQ(welcome->Order(), 70);
  // A helper that comes later renumbers the install's helpers; the pages
  // keep their places all the same.
  auto* later = new TInstallFileGroup(&script);
  later->SetContainer(scriptInstall);
  EXPECT_EQ(welcome->Order(), 70);
  QStringList pages;
  app->ModalDriver = [&](TObject* modal) {
    auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
    ASSERT_NE(frame, nullptr);
    for (int i = 0; i < frame->PageCount(); ++i) pages << frame->Page(i)->ClassName();
    frame->SetModalResult(mrOk);
  };
  scriptInstall->BroadcastMessage(scriptInstall, scBeforeInstallWizard, nullptr);
  EXPECT_EQ(pages, QStringList({"TReadmeForm", "TSelectFolderForm", "TWelcomeForm"}));
}

TEST_F(WizardPages, BrowseOpensTheFinnishFolderBrowserAtTheTarget) {
  AddScriptPages(true);
  UseSetupTexts();
  // The group's folder does not exist yet: the browser opens its nearest
  // existing parent, not the setup's own folder.
  const QString parent = QFileInfo(game->GetExpandedDestDir()).path();
  ASSERT_FALSE(QFileInfo::exists(game->GetExpandedDestDir()));
  ASSERT_TRUE(QDir().mkpath(parent));
  const QString chosen = qxtest::TempPath(QStringLiteral("pelit"));
  ASSERT_TRUE(QDir().mkpath(chosen));
  int browsed = 0;
  app->ModalDriver = [&](TObject* modal) {
    if (auto* browser = dynamic_cast<TOpenFolderDialog*>(modal)) {
      ++browsed;
      QFileDialog* dialog = browser->FileDialog();
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Kohdekansio"));
      EXPECT_EQ(dialog->labelText(QFileDialog::LookIn), QStringLiteral("Polku:"));
      EXPECT_EQ(dialog->labelText(QFileDialog::Accept), QStringLiteral("Jatka"));
      EXPECT_EQ(dialog->labelText(QFileDialog::Reject), QStringLiteral("Peruuta"));
      EXPECT_EQ(dialog->viewMode(), QFileDialog::List);
      auto* types = dialog->findChild<QWidget*>(QStringLiteral("fileTypeLabel"));
      EXPECT_TRUE(types == nullptr || types->isHidden());
      EXPECT_EQ(dialog->directory().absolutePath(), parent);
      const QByteArray keep = qgetenv("QX_DESKTOP_SHOTS");
      if (!keep.isEmpty()) {
        QCoreApplication::processEvents();
        dialog->grab().save(QString::fromLocal8Bit(keep) + QStringLiteral("/wizard_folder_browser.png"));
      }
      browser->ChooseFolder(chosen);
      return;
    }
    auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
    ASSERT_NE(frame, nullptr);
    while (dynamic_cast<TFileGroupSelectForm*>(frame->CurrentPage()) == nullptr &&
           frame->ModalResult() == mrNone)
      frame->CurrentPage()->NextPage();
    auto* groups = dynamic_cast<TFileGroupSelectForm*>(frame->CurrentPage());
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->BrowseBtn->Caption(), QStringLiteral("&Selaa..."));
    groups->GroupTree()->SetSelected(groups->NodeOf(game));
    groups->BrowseBtn->Click();
    EXPECT_EQ(groups->DirectoryLabel->Text(), chosen);
    frame->SetModalResult(mrOk);
  };
  install->BroadcastMessage(install, scBeforeInstallWizard, nullptr);
  EXPECT_EQ(browsed, 1);
  EXPECT_EQ(game->DestDir(), chosen);
  // A target that exists opens itself.
  EXPECT_EQ(TOpenFolderDialog::StartFolder(chosen), chosen);
  EXPECT_EQ(TOpenFolderDialog::StartFolder(QStringLiteral("/no/such/folder")), QStringLiteral("/"));
}

// Every page of the script, the language page and the end pages, as the
// wizard draws them in Finnish, against the pages' design: the size of a
// page, the theme strip (the setup's theme picture), the button panel with
// its bevel line (a shadow row over a highlight row), and the buttons each
// page must show on one line, 33 high: Back and Next side by side (one
// region 150 wide), Next alone on the first page, Cancel (89 wide) on every
// page before the copy, Finish alone on an end page. With QX_DESKTOP_SHOTS
// naming a folder the pictures are kept there.
TEST_F(WizardPages, EveryPageHasTheOneLayout) {
  AddScriptPages(true);
  UseSetupTexts();
  std::vector<TShot> shots;
  auto grab = [&](TForm* page) {
    app->ProcessMessages();
    shots.push_back({page->ClassName(), page->Handle()->grab().toImage().convertToFormat(QImage::Format_RGB32)});
  };
  app->ModalDriver = [&](TObject* modal) {
    auto* frame = dynamic_cast<TBaseFormContainer*>(modal);
    ASSERT_NE(frame, nullptr);
    for (int i = 0; i < frame->PageCount(); ++i) {
      if (frame->CurrentIndex() != i) continue;
      grab(frame->CurrentPage());
      frame->CurrentPage()->NextPage();
    }
    frame->SetModalResult(mrOk);
  };
  install->BroadcastMessage(install, scBeforeInstallWizard, nullptr);
  // The language page of the same size, as a wizard would hold it.
  {
    TBaseFormContainer frame(app.get());
    frame.SetHeight(395);
    frame.SetWidth(478);
    auto* language = new TSelectLanguageForm(&frame);
    language->SetBounds(frame.DisplayPanel->Left(), frame.DisplayPanel->Top(), frame.DisplayPanel->Width(),
                        frame.DisplayPanel->Height());
    language->ApplyLanguage();
    language->Show();
    frame.Show();
    language->InitializeForm();
    grab(language);
    frame.Hide();
    language->Free();  // a page goes before its frame's window
  }
  for (int code : {scAfterGoodInstall, scAfterBadInstall, scRestart})
    install->BroadcastMessage(install, code, nullptr);
  const QStringList expected{"TWelcomeForm", "TReadmeForm", "TInstallTypeForm", "TFileGroupSelectForm",
                             "TSelectFolderForm", "TSelectLanguageForm", "TGoodInstallForm",
                             "TBadInstallForm", "TRebootForm"};
  QStringList names;
  for (const TShot& shot : shots) names << shot.name;
  ASSERT_EQ(names, expected);

  const QByteArray keep = qgetenv("QX_DESKTOP_SHOTS");
  // The design: the pages' size, the panel of 52 rows at their foot, the
  // theme strip 136 wide above it, the buttons' left edges and widths.
  const QSize size(478, 395);
  const int panelTop = size.height() - 52;
  const std::vector<std::pair<int, int>> firstPage{{281, 75}, {372, 89}};
  const std::vector<std::pair<int, int>> middlePage{{206, 150}, {372, 89}};
  const std::vector<std::pair<int, int>> endPage{{386, 75}};
  const std::map<QString, std::vector<std::pair<int, int>>> buttons{
      {"TWelcomeForm", firstPage},         {"TReadmeForm", middlePage},    {"TInstallTypeForm", middlePage},
      {"TFileGroupSelectForm", middlePage}, {"TSelectFolderForm", middlePage}, {"TSelectLanguageForm", firstPage},
      {"TGoodInstallForm", endPage},       {"TBadInstallForm", endPage},    {"TRebootForm", endPage}};
  TPicture picture;
  picture.LoadFromResourceName(QStringLiteral("INSTALLTHEME1"));
  const QImage& design = picture.Bitmap()->Image();
  ASSERT_FALSE(design.isNull());
  for (const TShot& shot : shots) {
    SCOPED_TRACE(shot.name.toStdString());
    if (!keep.isEmpty()) {
      QDir().mkpath(QString::fromLocal8Bit(keep));
      shot.image.save(QString::fromLocal8Bit(keep) + QStringLiteral("/wizard_") + shot.name + QStringLiteral(".png"));
    }
    ASSERT_EQ(shot.image.size(), size);
    // The theme picture, centred in its strip.
    const QRect strip(0, 0, 136, panelTop);
    const QRect placed((strip.width() - design.width()) / 2, (strip.height() - design.height()) / 2, design.width(),
                       design.height());
    EXPECT_EQ(shot.image.copy(placed.intersected(strip)),
              design.convertToFormat(QImage::Format_RGB32).copy(placed.intersected(strip).translated(-placed.topLeft())));
    // The bevel line over the whole panel.
    for (int x = 0; x < size.width(); ++x) {
      EXPECT_EQ(QColor(shot.image.pixel(x, panelTop)), ColorToQColor(clBtnShadow)) << x;
      EXPECT_EQ(QColor(shot.image.pixel(x, panelTop + 1)), ColorToQColor(clBtnHighlight)) << x;
    }
    std::vector<std::pair<int, int>> found;
    for (const QRect& b : ButtonsOf(shot.image)) {
      EXPECT_EQ(b.height(), 33) << b.x();
      EXPECT_EQ(b.top(), size.height() - 42) << b.x();
      found.emplace_back(b.x(), b.width());
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, buttons.at(shot.name));
  }
}

}  // namespace
