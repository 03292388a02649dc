// The run's windows and end pages in Finnish: every text fits its control
// and no two visible controls overlap. With QX_DESKTOP_SHOTS set to a
// folder, each window is saved there as a picture (run under Xvfb to see
// them as a desktop draws them).
#include "installer/engine/cmp_TInstall.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/dlgcmp_CopyFile.h"
#include "installer/wizard/dlgcmp_InstallStatus.h"
#include "installer/wizard/ordlg_ChangeDisk.h"
#include "installer/wizard/ordlg_CopyFile.h"
#include "installer/wizard/ordlg_EndPages.h"
#include "installer/wizard/ordlg_InstallStatus.h"
#include "installer/wizard/tests/TextInk.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/rtl/Format.h"

#include <QDir>
#include <QFontMetrics>
#include <QTextLayout>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

struct TText {
  int id;
  const char* english;
  const char* finnish;
};

// The Finnish texts live in the Spanish table.
const TText kTexts[] = {
    {4, "< Previous", "< Edellinen"},
    {5, "Next >", "Seuraava >"},
    {6, "Cancel", "Peruuta"},
    {13, "Copying installation files", "Asennustiedostoja kopioidaan"},
    {14, "Processing", "Käsitellään"},
    {15, "File progress", "Tiedoston edistyminen"},
    {16, "Total progress", "Koko asennuksen edistyminen"},
    {37, "Setup complete", "Asennus on suoritettu"},
    {38, "The software has been properly installed. You may start the software by clicking on the icon.",
     "Ohjelmisto on asennettu oikein. Voit käynnistää ohjelmiston napsauttamalla sen kuvaketta."},
    {44, "Setup needs the next disk", "Asennus tarvitsee seuraavan levyn"},
    {45, "Please insert disk number %d", "Aseta asemaan levy numero %d"},
    {46, "If the files on this disk can be found in another location, for example, in another drive, "
         "enter its full path or click the Browse button to select its path.",
     "Jos tämän levyn tiedostot löytyvät muualta, esimerkiksi toiselta asemalta, kirjoita niiden "
     "koko polku tai valitse polku Selaa-painikkeella."},
    {47, "Path:", "Polku:"},
    {48, "&Browse...", "&Selaa..."},
    {49, "Proceed", "Jatka"},
    {51, "Log in again", "Kirjaudu uudelleen sisään"},
    {52, "Some files could not be replaced because they are in use. They will be put in place when you "
         "next log in. Until you log out and log in again, the software will probably not work correctly.",
     "Joitakin tiedostoja ei voitu korvata, koska ne ovat käytössä. Ne asennetaan paikoilleen, kun "
     "kirjaudut seuraavan kerran sisään. Ohjelmisto ei luultavasti toimi oikein ennen kuin kirjaudut "
     "ulos ja uudelleen sisään."},
    {53, "Yes, I will log out and log in again now", "Kyllä, kirjaudun ulos ja uudelleen sisään nyt"},
    {54, "No, I will log in again later", "Ei, kirjaudun uudelleen sisään myöhemmin"},
    {60, "This software has not been properly installed and will not work correctly if you try to use it.",
     "Ohjelmistoa ei ole asennettu oikein, eikä se toimi oikein, jos yrität käyttää sitä."},
    {61, "Setup incomplete", "Asennus jäi kesken"},
    {72, "Finish", "Valmis"},
    {75, "Reading file information...", "Luetaan tiedostojen tietoja..."},
    {98, "The setup did not finish. Everything it had changed has been put back, so your computer is as it "
         "was before.",
     "Asennus ei valmistunut. Kaikki sen tekemät muutokset on peruttu, joten tietokoneesi on ennallaan."},
    {99, "Changes taken back - files: %d, folders: %d, registry values: %d.",
     "Perutut muutokset - tiedostoja: %d, kansioita: %d, rekisteriarvoja: %d."},
    {100, "Changes of an earlier setup that was stopped, taken back - files: %d, folders: %d, registry values: %d.",
     "Aiemman, keskeytyneen asennuksen perutut muutokset - tiedostoja: %d, kansioita: %d, rekisteriarvoja: %d."},
    {101, "These changes could not be taken back:", "Näitä muutoksia ei voitu perua:"},
};

QString Shown(QString caption) {
  return caption.remove(QLatin1Char('&'));
}

// Every visible text control of form: its text fits, and it does not
// overlap a visible sibling.
void ExpectNothingCutOrOverlapping(TForm* form) {
  QList<TControl*> controls;
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (auto* c = dynamic_cast<TControl*>(form->Components(i)); c != nullptr && c->Visible())
      controls << c;
  for (TControl* c : controls) {
    SCOPED_TRACE(c->Name().toStdString());
    const QFontMetrics metrics(c->Font()->ToQFont());
    QString text;
    bool wraps = false;
    int room = c->Width();
    if (auto* label = dynamic_cast<TLabel*>(c)) {
      text = Shown(label->Caption());
      wraps = label->WordWrap();
    } else if (auto* button = dynamic_cast<TButton*>(c)) {
      text = Shown(button->Caption());
      room -= 8;
    }
    if (!text.isEmpty()) {
      if (wraps) {
        const QRect needed = metrics.boundingRect(QRect(0, 0, c->Width(), 10000),
                                                  Qt::TextWordWrap, text);
        EXPECT_LE(needed.height(), c->Height()) << text.toStdString();
      } else {
        EXPECT_LE(metrics.horizontalAdvance(text), room) << text.toStdString();
      }
    }
    // Inside the window's (or its panel's) client area.
    const int parentWidth = c->Parent() != nullptr ? c->Parent()->ClientWidth() : form->ClientWidth();
    const int parentHeight =
        c->Parent() != nullptr ? c->Parent()->ClientHeight() : form->ClientHeight();
    EXPECT_LE(c->Left() + c->Width(), parentWidth);
    EXPECT_LE(c->Top() + c->Height(), parentHeight);
    EXPECT_GE(c->Left(), 0);
    EXPECT_GE(c->Top(), 0);
    for (TControl* other : controls) {
      if (other == c || other->Parent() != c->Parent()) continue;
      const QRect a(c->Left(), c->Top(), c->Width(), c->Height());
      const QRect b(other->Left(), other->Top(), other->Width(), other->Height());
      // A panel holds its children; aligned panels fill around the rest.
      if (c->Align() != alNone || other->Align() != alNone) continue;
      EXPECT_FALSE(a.intersects(b)) << other->Name().toStdString();
    }
  }
}

void Shoot(TForm* form, const QString& name) {
  const QByteArray dir = qgetenv("QX_DESKTOP_SHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(dir));
  form->Handle()->grab().toImage().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name +
                                        QStringLiteral(".png"));
}

class CopyEndShots : public testing::Test {
 protected:
  void SetUp() override {
    RegisterWizardFormClasses();
    RegisterTranslateControlClasses();
    app = std::make_unique<TApplication>();
    translator = std::make_unique<TTranslator>(nullptr);
    for (const TText& t : kTexts) {
      translator->lgEnglish()->Strings()->Add(QString::number(t.id) + QLatin1Char(';') +
                                              QString::fromUtf8(t.english));
      translator->lgSpanish()->Strings()->Add(QString::number(t.id) + QLatin1Char(';') +
                                              QString::fromUtf8(t.finnish));
    }
    translator->SetTranslateIntoLanguage(olSpanish);
  }
  void TearDown() override {
    translator.reset();
    app.reset();
  }
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TTranslator> translator;
};

TEST_F(CopyEndShots, EveryWindowInFinnishFitsItsTexts) {
  TForm setup(nullptr);
  auto* install = new TInstall(&setup);
  SetRebootNeeded(false);
  struct Row {
    const char* name;
    std::function<TForm*(TComponent*)> make;
    const char* caption;
  };
  TDiskParameter disk;
  disk.Disk = 2;
  disk.Path = QStringLiteral("/media/cdrom");
  const Row rows[] = {
      {"copy-progress",
       [](TComponent* o) {
         auto* f = new TCopyFileForm(o);
         f->ShowProgress(false, 40, 70, QStringLiteral("LINNUT1.vrb"));
         return f;
       },
       "Asennustiedostoja kopioidaan"},
      {"disk-prompt",
       [&](TComponent* o) {
         auto* f = new TChangeDiskForm(o);
         f->SetDiskParameter(&disk);
         return f;
       },
       "Asennus tarvitsee seuraavan levyn"},
      {"good-end", [](TComponent* o) { return new TGoodInstallForm(o); }, "Asennus on suoritettu"},
      {"bad-end", [](TComponent* o) { return new TBadInstallForm(o); }, "Asennus jäi kesken"},
      {"restart",
       [](TComponent* o) {
         auto* f = new TRebootForm(o);
         f->InitializeForm();
         return f;
       },
       "Kirjaudu uudelleen sisään"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // Owned by the application, as the run makes them: windows of their own.
    TForm* form = row.make(app.get());
    if (auto* ondrix = dynamic_cast<TBaseOndrixForm*>(form)) {
      ondrix->SetContainer(install);
      ondrix->ApplyLanguage();
    }
    form->Show();
    EXPECT_EQ(form->Caption(), QString::fromUtf8(row.caption));
    ExpectNothingCutOrOverlapping(form);
    Shoot(form, QString::fromLatin1(row.name));
    form->Free();
  }
  // The status window fits its message.
  auto* status = new TInstallStatusDlg(&setup);
  status->SetContainer(install);
  TMessageParameter message;
  message.Message = QStringLiteral("Reading file information...");
  install->BroadcastMessage(install, scShowStatus, &message);
  ASSERT_NE(status->StatusForm(), nullptr);
  EXPECT_EQ(status->StatusForm()->lblMessage->Caption(),
            QStringLiteral("Luetaan tiedostojen tietoja..."));
  ExpectNothingCutOrOverlapping(status->StatusForm());
  Shoot(status->StatusForm(), QStringLiteral("status"));
}

// The widths of the rows of ink in a part of an image.
QList<int> InkRows(const QImage& image, const QRect& area) {
  QList<int> widths;
  for (const qxtest::TInkRow& row : qxtest::InkRows(image, area)) widths << row.width;
  return widths;
}

// A control's place on its form.
QRect OnForm(const TControl* control, const TForm* form) {
  QRect r(control->Left(), control->Top(), control->Width(), control->Height());
  for (const TWinControl* p = control->Parent(); p != nullptr && p != form; p = p->Parent())
    r.translate(p->Left(), p->Top());
  return r;
}

// How a word-wrapped text lies in a label: the width of each line.
QList<int> WrappedLineWidths(const QString& text, const QFont& font, int width) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  QList<int> widths;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    widths << qRound(line.naturalTextWidth());
  }
  layout.endLayout();
  return widths;
}

// The ink of a label's text agrees with its lines: as many rows, each about
// as wide (a glyph's ink may start or end a pixel or two inside its advance).
void ExpectShowsText(const QImage& image, const TForm* form, const TLabel* label, const QString& text) {
  SCOPED_TRACE(label->Name().toStdString());
  const QList<int> rows = InkRows(image, OnForm(label, form));
  const QList<int> lines = WrappedLineWidths(text, label->Font()->ToQFont(), label->Width());
  ASSERT_EQ(rows.size(), lines.size()) << text.toStdString();
  for (int i = 0; i < rows.size(); ++i) EXPECT_NEAR(rows[i], lines[i], 4) << "line " << i;
}

void ExpectBlank(const QImage& image, const TForm* form, const TControl* control) {
  EXPECT_TRUE(InkRows(image, OnForm(control, form)).isEmpty()) << control->Name().toStdString();
}

// The bad-end page says what the run took back, in Finnish: everything
// (then it does not call the software half-installed), everything of an
// earlier stopped run, or not everything, listing what stays. Without a
// report it says what it always said. Checked on the painted page.
TEST_F(CopyEndShots, TheBadEndPageSaysWhatWasTakenBack) {
  TForm setup(nullptr);
  auto* install = new TInstall(&setup);
  const QString halfInstalled = QStringLiteral(
      "Ohjelmistoa ei ole asennettu oikein, eikä se toimi oikein, jos yrität käyttää sitä.");
  const QString allBack = QStringLiteral("Asennus ei valmistunut. Kaikki sen tekemät muutokset on peruttu, joten "
                                         "tietokoneesi on ennallaan.");
  TUndoReport none;
  TUndoReport all;
  all.files = 12;
  all.folders = 3;
  all.registryValues = 40;
  TUndoReport earlier = all;
  earlier.earlierRun = true;
  TUndoReport partly = all;
  partly.failed << QStringLiteral("/home/u/.local/opt/Trovaly/trovaly: Permission denied")
                << QStringLiteral("HKCU\\Software\\QXTrovaly fon_koko: disk full");
  const struct {
    const char* what;
    const TUndoReport& report;
    QString top;       // the text at the top: TopLabel's or PutBackLabel's
    QString counts;    // empty: none
  } rows[] = {
      {"no report", none, halfInstalled, {}},
      {"all taken back", all, allBack,
       QStringLiteral("Perutut muutokset - tiedostoja: 12, kansioita: 3, rekisteriarvoja: 40.")},
      {"an earlier run taken back", earlier, allBack,
       QStringLiteral("Aiemman, keskeytyneen asennuksen perutut muutokset - tiedostoja: 12, kansioita: 3, "
                      "rekisteriarvoja: 40.")},
      {"not all taken back", partly, halfInstalled,
       QStringLiteral("Perutut muutokset - tiedostoja: 12, kansioita: 3, rekisteriarvoja: 40.")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    auto* page = new TBadInstallForm(app.get());
    page->SetContainer(install);
    page->ShowUndoReport(row.report);
    page->ApplyLanguage();
    page->Show();
    const bool whole = !row.report.Empty() && row.report.failed.isEmpty();
    EXPECT_EQ(page->TopLabel->Visible(), !whole);
    EXPECT_EQ(page->PutBackLabel->Visible(), whole);
    const QImage image = page->PaintToImage();
    ExpectShowsText(image, page, whole ? page->PutBackLabel : page->TopLabel, row.top);
    if (row.counts.isEmpty()) {
      EXPECT_FALSE(page->UndoneLabel->Visible());
      ExpectBlank(image, page, page->UndoneLabel);
    } else {
      EXPECT_EQ(page->UndoneLabel->Caption(), row.counts);
      ExpectShowsText(image, page, page->UndoneLabel, row.counts);
    }
    EXPECT_EQ(page->FailedList->Visible(), !row.report.failed.isEmpty());
    if (row.report.failed.isEmpty()) {
      ExpectBlank(image, page, page->FailedLabel);
      ExpectBlank(image, page, page->FailedList);
    } else {
      ExpectShowsText(image, page, page->FailedLabel, QStringLiteral("Näitä muutoksia ei voitu perua:"));
      // One row of the list for each change that stays, as wide as its text.
      const QRect list = OnForm(page->FailedList, page).adjusted(3, 2, -3, -2);
      const QList<int> inked = InkRows(image, list);
      ASSERT_EQ(inked.size(), row.report.failed.size());
      const QFontMetrics metrics(page->FailedList->Font()->ToQFont());
      for (int i = 0; i < inked.size(); ++i)
        EXPECT_NEAR(inked[i], std::min(metrics.horizontalAdvance(row.report.failed[i]), list.width()), 4) << i;
    }
    ExpectNothingCutOrOverlapping(page);
    Shoot(page, QStringLiteral("bad-end-") + QString::fromLatin1(row.what).replace(u' ', u'-'));
    page->Free();
  }
}

}  // namespace

