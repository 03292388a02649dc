#include "platform/printing/tests/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using prntest::ImagePrinter;

const QString kPrinting = QStringLiteral("Printing in progress");
const QString kNotPrinting = QStringLiteral("Printer is not currently printing");
const QString kInvalid = QStringLiteral("Printer selected is not valid");

struct Misuse {
  const char* name;
  bool inJob;  // whether a job runs when the call is made
  std::function<void(TPrinter&)> call;
  QString message;
};

class PrinterMisuse : public testing::TestWithParam<Misuse> {};

TEST_P(PrinterMisuse, RaisesEPrinterAndKeepsTheState) {
  const Misuse& row = GetParam();
  ImagePrinter p(50, 50);
  if (row.inJob)
    p.printer->BeginDoc();
  try {
    row.call(*p.printer);
    FAIL() << "no exception";
  } catch (const EPrinter& e) {
    EXPECT_EQ(e.Message(), row.message);
  }
  EXPECT_EQ(p.printer->Printing(), row.inJob);
  EXPECT_EQ(p.printer->PrinterIndex(), 0);
  EXPECT_EQ(p.printer->Orientation(), poPortrait);
  if (row.inJob) {
    p.printer->EndDoc();
    EXPECT_EQ(p.backend->PageCount(), 1);
    EXPECT_EQ(p.printer->PageNumber(), 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Printer, PrinterMisuse,
    testing::Values(
        Misuse{"EndDocWithoutBeginDoc", false, [](TPrinter& p) { p.EndDoc(); }, kNotPrinting},
        Misuse{"NewPageWithoutBeginDoc", false, [](TPrinter& p) { p.NewPage(); }, kNotPrinting},
        Misuse{"AbortWithoutBeginDoc", false, [](TPrinter& p) { p.Abort(); }, kNotPrinting},
        Misuse{"DrawingOutsideAJob", false,
               [](TPrinter& p) { p.Canvas()->FillRect(Rect(0, 0, 4, 4)); }, kNotPrinting},
        Misuse{"BeginDocTwice", true, [](TPrinter& p) { p.BeginDoc(); }, kPrinting},
        Misuse{"SelectingDuringAJob", true, [](TPrinter& p) { p.SetPrinterIndex(0); }, kPrinting},
        Misuse{"TurningDuringAJob", true, [](TPrinter& p) { p.SetOrientation(poLandscape); },
               kPrinting},
        Misuse{"CopiesDuringAJob", true, [](TPrinter& p) { p.SetCopies(2); }, kPrinting},
        Misuse{"IndexPastTheList", false, [](TPrinter& p) { p.SetPrinterIndex(1); }, kInvalid},
        Misuse{"IndexBelowDefault", false, [](TPrinter& p) { p.SetPrinterIndex(-2); }, kInvalid}),
    [](const testing::TestParamInfo<Misuse>& row) { return row.param.name; });

TEST(PrinterMisuse, TextIsMeasuredOutsideAJob) {
  ImagePrinter p(50, 50);
  EXPECT_GT(p.printer->Canvas()->TextWidth(QStringLiteral("sana")), 0);
}

TEST(PrinterMisuse, EndDocAfterEndDocRaises) {
  ImagePrinter p(50, 50);
  p.printer->BeginDoc();
  p.printer->EndDoc();
  EXPECT_THROW(p.printer->EndDoc(), EPrinter);
  EXPECT_EQ(p.backend->PageCount(), 1);
}

}  // namespace
