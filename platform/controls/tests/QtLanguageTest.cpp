// The user's message language as gettext picks it, Qt's Finnish texts in
// the dialogs, labels whose & marks a key, and message boxes wide enough
// for their titles.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/FileDialogs.h"
#include "platform/controls/FontDialog.h"
#include "platform/controls/QtLanguage.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QTranslator>
#include <QTreeView>

namespace {

TEST(QtLanguage, TheMessageLanguageFollowsGettextsOrder) {
  const struct {
    QMap<QString, QString> env;
    const char* language;
  } rows[] = {
      {{{"LANG", "fi_FI.UTF-8"}}, "fi"},
      {{{"LANG", "fi"}}, "fi"},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "fi_FI.UTF-8"}}, "fi"},
      {{{"LC_ALL", "sv_FI.UTF-8@euro"}, {"LC_MESSAGES", "fi_FI.UTF-8"}}, "sv"},
      {{{"LANG", "en_GB.UTF-8"}, {"LANGUAGE", "fi:en"}}, "fi"},
      {{{"LANG", "fi_FI.UTF-8"}, {"LANGUAGE", ":sv_SE:fi"}}, "sv"},
      // gettext ignores LANGUAGE under the C locale.
      {{{"LANG", "C.UTF-8"}, {"LANGUAGE", "fi"}}, ""},
      {{{"LC_ALL", "POSIX"}, {"LANG", "fi_FI.UTF-8"}}, ""},
      {{}, ""},
  };
  for (const auto& row : rows) {
    const QString got = UserMessageLanguage([&](const char* name) { return row.env.value(QLatin1String(name)); });
    EXPECT_EQ(got, QLatin1String(row.language)) << row.env.keys().join(u' ').toStdString();
  }
}

class QtTextsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    finnish = InstallQtTranslations(QStringLiteral("fi"));
    ASSERT_NE(finnish, nullptr) << "Qt's Finnish catalogue (qt6-translations-l10n) is not installed";
  }
  std::unique_ptr<QTranslator> finnish;
};

TEST_F(QtTextsTest, OnlyFinnishLoadsTheCatalogueAndFreeingItRemovesIt) {
  EXPECT_EQ(InstallQtTranslations(QStringLiteral("sv")), nullptr);
  EXPECT_EQ(InstallQtTranslations(QString()), nullptr);
  EXPECT_EQ(QtText("QFileDialog", "Open", QStringLiteral("Open")), "Avaa");
  EXPECT_EQ(QtText("QFileDialog", "No such text", QStringLiteral("Ours")), "Ours");
  finnish.reset();
  EXPECT_EQ(QtText("QFileDialog", "Open", QStringLiteral("Open")), "Open");
}

TEST_F(QtTextsTest, TheOpenDialogSpeaksFinnishAndItsColumnsFitTheirContents) {
  TOpenDialog dialog(nullptr);
  QString title;
  QList<QHeaderView::ResizeMode> modes;
  app->ModalDriver = [&](TObject*) {
    title = dialog.FileDialog()->windowTitle();
    const auto* view = dialog.FileDialog()->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    for (int c = 0; c < view->header()->count(); ++c) modes.append(view->header()->sectionResizeMode(c));
    dialog.ActiveDialog()->reject();
  };
  dialog.Execute();
  EXPECT_EQ(title, "Avaa");
  EXPECT_EQ(modes, (QList<QHeaderView::ResizeMode>{QHeaderView::ResizeToContents, QHeaderView::ResizeToContents,
                                                   QHeaderView::ResizeToContents,
                                                   QHeaderView::ResizeToContents}));
}

TEST_F(QtTextsTest, FontDialogLabelsMarkTheirKeyAndSpeakFinnish) {
  TFontDialog dialog(nullptr);
  QStringList labels;
  QStringList styles;
  QString maroon;
  app->ModalDriver = [&](TObject*) {
    TFontDialogForm* form = dialog.FontDialogForm();
    maroon = form->colorCombo->itemText(form->colorCombo->findData(static_cast<int>(clMaroon)));
    for (const QLabel* label : form->findChildren<QLabel*>()) {
      if (label->text().contains(u'&')) {
        labels.append(label->text());
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
      }
    }
    for (int i = 0; i < form->styleList->count(); ++i) styles.append(form->styleList->item(i)->text());
    form->reject();
  };
  dialog.Execute();
  EXPECT_TRUE(labels.contains("&Fontti:")) << labels.join(u',').toStdString();
  EXPECT_TRUE(labels.contains("K&oko:")) << labels.join(u',').toStdString();
  EXPECT_EQ(styles, (QStringList{"Normaali", "Kursiivi", "Lihava", "Lihava Kursiivi"}));
  EXPECT_EQ(maroon, "Viininpunainen");
}

TEST_F(QtTextsTest, MessageBoxesSpeakFinnish) {
  QStringList shown;
  QString caption;
  app->ModalDriver = [&](TObject* modal) {
    auto* box = static_cast<TMessageForm*>(modal);
    caption = box->Caption();
    for (const QPushButton* b : box->Widget()->findChildren<QPushButton*>()) shown.append(b->text());
    box->ClickButton(mrNo);
  };
  EXPECT_EQ(MessageDlg(QStringLiteral("Korvataanko?"), mtConfirmation, {mbYes, mbNo, mbCancel}, 0), mrNo);
  EXPECT_EQ(shown, (QStringList{"&Kyllä", "&Ei", "Peru"}));
  EXPECT_EQ(caption, "Vahvista");
  MessageDlg(QStringLiteral("Kaikki?"), mtWarning, {mbAll, mbNo}, 0);
  EXPECT_EQ(shown.mid(3), (QStringList{"&Ei", "&Kaikki"}));
  EXPECT_EQ(caption, "Varoitus");
}

TEST_F(ControlsTest, AMessageBoxIsWideEnoughForItsTitle) {
  const QString title = QStringLiteral("Trovaly 1.0 - pitkä otsikko, jonka ikkunan kehys näyttää kokonaan");
  int width = 0;
  app->ModalDriver = [&](TObject* modal) {
    auto* box = static_cast<TMessageForm*>(modal);
    width = box->ClientWidth();
    box->ClickButton(mrOk);
  };
  MessageBox(QStringLiteral("OK?"), title, MB_OK);
  QFont bold = QApplication::font();
  bold.setBold(true);
  EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(title) + 4 * 32);
}

}  // namespace
