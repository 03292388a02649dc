// The colour dialog and the printer setup dialog answered through the modal
// driver.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/ColorDialog.h"
#include "platform/controls/PrinterSetupDialog.h"
#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/Printer.h"

#include <QColorDialog>
#include <QListWidget>

namespace {

class ColorDialogTest : public ControlsTest {
 protected:
  bool Run(TCommonDialog* dialog, const std::function<void(TCommonDialog*)>& answer) {
    app->ModalDriver = [answer](TObject* modal) { answer(dynamic_cast<TCommonDialog*>(modal)); };
    return dialog->Execute();
  }
};

TEST_F(ColorDialogTest, ChosenColourComesBack) {
  auto* dialog = new TColorDialog(app.get());
  dialog->SetColor(clTeal);
  QColor shown;
  ASSERT_TRUE(Run(dialog, [&](TCommonDialog*) {
    QColorDialog* qt = dialog->ColorDialogWidget();
    ASSERT_NE(qt, nullptr);
    shown = qt->currentColor();
    qt->setCurrentColor(QColor(0x12, 0x34, 0x56));
    qt->accept();
  }));
  EXPECT_EQ(shown, QColor(0, 0x80, 0x80));
  EXPECT_EQ(dialog->Color(), ColorOf(0x563412));
}

TEST_F(ColorDialogTest, CancelKeepsTheColour) {
  auto* dialog = new TColorDialog(app.get());
  dialog->SetColor(clTeal);
  EXPECT_FALSE(Run(dialog, [&](TCommonDialog*) {
    dialog->ColorDialogWidget()->setCurrentColor(Qt::red);
    dialog->ColorDialogWidget()->reject();
  }));
  EXPECT_EQ(dialog->Color(), clTeal);
}

TEST_F(ColorDialogTest, CustomColoursGoInAndComeBack) {
  const QColor before = QColorDialog::customColor(0);
  auto* dialog = new TColorDialog(app.get());
  dialog->CustomColors()->Add("ColorA=0000FF");  // red as a TColor
  dialog->CustomColors()->Add("ColorC=FF8000");
  dialog->CustomColors()->Add("ColorD=roska");
  QColor a;
  QColor c;
  ASSERT_TRUE(Run(dialog, [&](TCommonDialog*) {
    a = QColorDialog::customColor(0);
    c = QColorDialog::customColor(2);
    QColorDialog::setCustomColor(1, QColor(0x11, 0x22, 0x33));
    dialog->ColorDialogWidget()->accept();
  }));
  EXPECT_EQ(a, QColor(Qt::red));
  EXPECT_EQ(c, QColor(0x00, 0x80, 0xFF));
  TStrings* custom = dialog->CustomColors();
  EXPECT_EQ(custom->Values("ColorA"), "0000FF");
  EXPECT_EQ(custom->Values("ColorB"), "332211");
  EXPECT_EQ(custom->Values("ColorC"), "FF8000");
  EXPECT_EQ(custom->Values("ColorD"), "FFFFFF");  // unreadable: white
  EXPECT_EQ(custom->Values("ColorP"), "FFFFFF");
  EXPECT_EQ(QColorDialog::customColor(0), before);  // Qt's own list is put back
}

// A printer with three queues.
class TThreePrinters : public TImagePrintBackend {
 public:
  TThreePrinters() : TImagePrintBackend(96) {}
  QStringList PrinterNames() override { return {"Toimisto", "Kotona", "PDF"}; }
};

class PrinterSetupDialogTest : public ColorDialogTest {
 protected:
  void SetUp() override {
    ColorDialogTest::SetUp();
    SetPrinter(std::make_unique<TPrinter>(std::make_unique<TThreePrinters>()));
  }
};

TEST_F(PrinterSetupDialogTest, ListsPrintersAndSelectsTheChosenOne) {
  auto* dialog = new TPrinterSetupDialog(app.get());
  QStringList names;
  int current = -2;
  ASSERT_TRUE(Run(dialog, [&](TCommonDialog*) {
    QListWidget* list = dialog->PrinterList();
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->count(); ++i) names.append(list->item(i)->text());
    current = list->currentRow();
    list->setCurrentRow(2);
    dialog->ActiveDialog()->accept();
  }));
  EXPECT_EQ(names, (QStringList{"Toimisto", "Kotona", "PDF"}));
  EXPECT_EQ(current, 0);
  EXPECT_EQ(Printer()->PrinterIndex(), 2);
}

TEST_F(PrinterSetupDialogTest, CancelKeepsThePrinter) {
  Printer()->SetPrinterIndex(1);
  auto* dialog = new TPrinterSetupDialog(app.get());
  EXPECT_FALSE(Run(dialog, [&](TCommonDialog*) {
    dialog->PrinterList()->setCurrentRow(2);
    dialog->ActiveDialog()->reject();
  }));
  EXPECT_EQ(Printer()->PrinterIndex(), 1);
}

}  // namespace
