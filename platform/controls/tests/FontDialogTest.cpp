// The font dialog answered through the modal driver: size limits, effects,
// colour and the face check.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/FontDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QListWidget>

namespace {

class FontDialogTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    dialog = new TFontDialog(app.get());
    dialog->Font()->SetName(QFontDatabase::families().value(0));
    dialog->Font()->SetSize(12);
    dialog->Font()->SetColor(clBlack);
  }

  // Runs the dialog; step is called with the Qt form each time the dialog
  // shows or a check kept it open, until it closes.
  bool Run(const std::function<void(TFontDialogForm*, int round)>& step) {
    app->ModalDriver = [this, step](TObject* modal) {
      if (auto* box = dynamic_cast<TMessageForm*>(modal)) {
        boxes.append({box->Caption(), box->Text(), box->Icon()});
        box->ClickButton(mrOk);
        return;
      }
      TFontDialogForm* form = dialog->FontDialogForm();
      ASSERT_NE(form, nullptr);
      for (int round = 0; form->isVisible() && round < 5; ++round) step(form, round);
      if (form->isVisible()) form->reject();
    };
    return dialog->Execute();
  }

  static QStringList Sizes(const TFontDialogForm* form) {
    QStringList sizes;
    for (int i = 0; i < form->sizeList->count(); ++i) sizes.append(form->sizeList->item(i)->text());
    return sizes;
  }

  TFontDialog* dialog = nullptr;
};

TEST_F(FontDialogTest, LimitsListAndAcceptOnlySizesInRange) {
  dialog->SetOptions({fdEffects, fdLimitSize});
  dialog->SetMinFontSize(10);
  dialog->SetMaxFontSize(24);
  QStringList listed;
  const bool ok = Run([&](TFontDialogForm* form, int round) {
    if (round == 0) {
      listed = Sizes(form);
      form->sizeEdit->setText("36");
    } else if (round == 1) {
      form->sizeEdit->setText("9");
    } else {
      form->sizeEdit->setText("24");
    }
    form->accept();
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(listed, (QStringList{"10", "11", "12", "14", "16", "18", "20", "22", "24"}));
  EXPECT_EQ(boxes.size(), 2);  // 36 and 9 were refused
  EXPECT_TRUE(boxes.value(0).text.contains("10"));
  EXPECT_EQ(dialog->Font()->Size(), 24);
}

TEST_F(FontDialogTest, WithoutLimitSizeEverySizeGoes) {
  dialog->SetOptions({fdEffects});
  dialog->SetMinFontSize(10);
  dialog->SetMaxFontSize(24);
  QStringList listed;
  ASSERT_TRUE(Run([&](TFontDialogForm* form, int) {
    listed = Sizes(form);
    form->sizeEdit->setText("72");
    form->accept();
  }));
  EXPECT_EQ(listed.size(), 16);
  EXPECT_TRUE(boxes.isEmpty());
  EXPECT_EQ(dialog->Font()->Size(), 72);
}

TEST_F(FontDialogTest, SizeThatIsNoNumberIsRefused) {
  ASSERT_TRUE(Run([](TFontDialogForm* form, int round) {
    form->sizeEdit->setText(round == 0 ? "iso" : "14");
    form->accept();
  }));
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(dialog->Font()->Size(), 14);
}

TEST_F(FontDialogTest, EffectsStyleAndColourComeBack) {
  QString shownSize;
  bool effectsShown = false;
  ASSERT_TRUE(Run([&](TFontDialogForm* form, int) {
    shownSize = form->sizeEdit->text();
    effectsShown = !form->underlineBox->isHidden() && !form->underlineBox->parentWidget()->isHidden();
    form->styleList->setCurrentRow(3);  // Bold Italic
    form->underlineBox->setChecked(true);
    form->strikeOutBox->setChecked(true);
    form->colorCombo->setCurrentIndex(form->colorCombo->findText("Red"));
    form->accept();
  }));
  EXPECT_EQ(shownSize, "12");
  EXPECT_TRUE(effectsShown);
  const TFontStyles style = dialog->Font()->Style();
  EXPECT_TRUE(style.Contains(fsBold));
  EXPECT_TRUE(style.Contains(fsItalic));
  EXPECT_TRUE(style.Contains(fsUnderline));
  EXPECT_TRUE(style.Contains(fsStrikeOut));
  EXPECT_EQ(dialog->Font()->Color(), clRed);
}

TEST_F(FontDialogTest, ColourListHoldsTheSixteenClassicColours) {
  dialog->Font()->SetColor(clTeal);
  int count = 0;
  QString current;
  ASSERT_FALSE(Run([&](TFontDialogForm* form, int) {
    count = form->colorCombo->count();
    current = form->colorCombo->currentText();
    form->reject();
  }));
  EXPECT_EQ(count, 16);
  EXPECT_EQ(current, "Teal");
}

TEST_F(FontDialogTest, WithoutEffectsTheyStayAsTheyWere) {
  dialog->SetOptions({});
  dialog->Font()->SetStyle({fsUnderline});
  dialog->Font()->SetColor(clBlue);
  bool hidden = false;
  ASSERT_TRUE(Run([&](TFontDialogForm* form, int) {
    hidden = form->underlineBox->parentWidget()->isHidden();
    form->underlineBox->setChecked(false);
    form->colorCombo->setCurrentIndex(0);
    form->accept();
  }));
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(dialog->Font()->Style().Contains(fsUnderline));
  EXPECT_EQ(dialog->Font()->Color(), clBlue);
}

TEST_F(FontDialogTest, ForceFontExistRefusesAnUnknownFace) {
  dialog->SetOptions({fdForceFontExist});
  const QString known = QFontDatabase::families().value(0);
  ASSERT_TRUE(Run([&](TFontDialogForm* form, int round) {
    form->faceEdit->setText(round == 0 ? "Ei Tällaista Kirjasinta" : known);
    form->accept();
  }));
  EXPECT_EQ(boxes.size(), 1);
  EXPECT_EQ(dialog->Font()->Name(), known);
}

TEST_F(FontDialogTest, CancelLeavesTheFont) {
  ASSERT_FALSE(Run([](TFontDialogForm* form, int) {
    form->sizeEdit->setText("30");
    form->reject();
  }));
  EXPECT_EQ(dialog->Font()->Size(), 12);
  EXPECT_EQ(dialog->FontDialogForm(), nullptr);
}

}  // namespace
