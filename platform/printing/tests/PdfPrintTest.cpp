#include "platform/printing/PrintFile.h"
#include "platform/printing/Printer.h"
#include "platform/printing/QtPrintBackend.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Page objects of a PDF file ("/Type /Page", not the "/Pages" tree).
int PdfPageCount(const QByteArray& pdf) {
  static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
  return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class PdfPrinting : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = qxtest::TempPath(QStringLiteral("out"));
    ASSERT_TRUE(QDir().mkpath(folder_));
    SetPrintFileNotice([this](const QString& path) { notices_ << path; });
  }

  std::unique_ptr<TPrinter> MakePrinter(const QString& folder) {
    TQtPrintOptions options;
    options.SystemPrinters = false;
    options.FileFolder = folder;
    auto backend = std::make_unique<TQtPrintBackend>(options);
    backend_ = backend.get();
    return std::make_unique<TPrinter>(std::move(backend));
  }

  // Prints pages pages under title; each page gets a box and a line of text.
  void PrintPages(TPrinter& printer, const QString& title, int pages) {
    printer.SetTitle(title);
    printer.BeginDoc();
    for (int i = 0; i < pages; ++i) {
      if (i > 0)
        printer.NewPage();
      TCanvas* canvas = printer.Canvas();
      canvas->Brush()->SetColor(clBlack);
      canvas->FillRect(Rect(100, 100, 400, 160));
      canvas->Brush()->SetStyle(bsClear);
      canvas->Font()->SetName(QStringLiteral("Arial"));
      canvas->TextOut(100, 300, QStringLiteral("Sivu %1").arg(i + 1));
    }
    printer.EndDoc();
  }

  QString folder_;
  QStringList notices_;
  TQtPrintBackend* backend_ = nullptr;
};

TEST_F(PdfPrinting, WithoutPrintersTheOnlyChoiceIsAFile) {
  auto printer = MakePrinter(folder_);
  ASSERT_EQ(printer->Printers()->Count(), 1);
  EXPECT_EQ(printer->Printers()->Strings(0), QStringLiteral("PDF file"));
  EXPECT_EQ(printer->PrinterIndex(), 0);
  EXPECT_TRUE(backend_->PrintsToFile());
}

TEST_F(PdfPrinting, PageMeasuresComeFromTheFileResolution) {
  auto printer = MakePrinter(folder_);
  EXPECT_EQ(GetDeviceCaps(*printer, LOGPIXELSX), 600);
  EXPECT_EQ(GetDeviceCaps(*printer, LOGPIXELSY), 600);
  const int width = printer->PageWidth();
  const int height = printer->PageHeight();
  EXPECT_GT(width, 4000);  // A4 or Letter at 600 dpi
  EXPECT_GT(height, width);
  EXPECT_GE(GetDeviceCaps(*printer, PHYSICALWIDTH), width + GetDeviceCaps(*printer, PHYSICALOFFSETX));
  EXPECT_GE(GetDeviceCaps(*printer, PHYSICALHEIGHT), height + GetDeviceCaps(*printer, PHYSICALOFFSETY));
  printer->SetOrientation(poLandscape);
  EXPECT_EQ(printer->PageWidth(), height);
  EXPECT_EQ(printer->PageHeight(), width);
}

TEST_F(PdfPrinting, WritesAPdfWithEveryPageAndTellsWhere) {
  auto printer = MakePrinter(folder_);
  PrintPages(*printer, QStringLiteral("koe"), 3);

  const QString expected = QDir(folder_).filePath(QStringLiteral("koe.pdf"));
  EXPECT_EQ(backend_->LastFile(), expected);
  const QByteArray pdf = qxtest::ReadBytes(expected);
  ASSERT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_EQ(PdfPageCount(pdf), 3);
  EXPECT_EQ(notices_, QStringList{expected});
}

TEST_F(PdfPrinting, NeverOverwritesAnExistingFile) {
  const QString taken = QDir(folder_).filePath(QStringLiteral("koe.pdf"));
  qxtest::WriteBytes(taken, "keep me");
  auto printer = MakePrinter(folder_);
  PrintPages(*printer, QStringLiteral("koe"), 1);
  PrintPages(*printer, QStringLiteral("koe"), 2);

  EXPECT_EQ(qxtest::ReadBytes(taken), QByteArray("keep me"));
  const QString second = QDir(folder_).filePath(QStringLiteral("koe (2).pdf"));
  const QString third = QDir(folder_).filePath(QStringLiteral("koe (3).pdf"));
  EXPECT_EQ(notices_, (QStringList{second, third}));
  EXPECT_EQ(PdfPageCount(qxtest::ReadBytes(second)), 1);
  EXPECT_EQ(PdfPageCount(qxtest::ReadBytes(third)), 2);
}

TEST_F(PdfPrinting, AbortLeavesNoFileAndNoNotice) {
  auto printer = MakePrinter(folder_);
  printer->SetTitle(QStringLiteral("koe"));
  printer->BeginDoc();
  printer->Canvas()->FillRect(Rect(0, 0, 50, 50));
  printer->NewPage();
  printer->Abort();
  EXPECT_TRUE(printer->Aborted());
  EXPECT_TRUE(FilesIn(folder_).isEmpty());
  EXPECT_TRUE(notices_.isEmpty());
}

TEST_F(PdfPrinting, FreeingAPrinterMidJobLeavesNoFile) {
  auto printer = MakePrinter(folder_);
  printer->BeginDoc();
  printer->Canvas()->FillRect(Rect(0, 0, 50, 50));
  printer.reset();
  EXPECT_TRUE(FilesIn(folder_).isEmpty());
  EXPECT_TRUE(notices_.isEmpty());
}

TEST_F(PdfPrinting, AMissingFolderRefusesTheJob) {
  auto printer = MakePrinter(QDir(folder_).filePath(QStringLiteral("missing")));
  EXPECT_THROW(printer->BeginDoc(), EPrinter);
  EXPECT_FALSE(printer->Printing());
  EXPECT_TRUE(FilesIn(folder_).isEmpty());
}

// Sets XDG_DOCUMENTS_DIR for one scope.
struct DocumentsDir {
  explicit DocumentsDir(const QString& path) { qputenv("XDG_DOCUMENTS_DIR", QFile::encodeName(path)); }
  ~DocumentsDir() { qunsetenv("XDG_DOCUMENTS_DIR"); }
  DocumentsDir(const DocumentsDir&) = delete;
  DocumentsDir& operator=(const DocumentsDir&) = delete;
};

TEST_F(PdfPrinting, WithoutAFolderTheDocumentsFolderIsUsed) {
  const QString documents = qxtest::TempPath(QStringLiteral("Asiakirjat"));
  ASSERT_TRUE(QDir().mkpath(documents));
  DocumentsDir env(documents);
  TQtPrintOptions options;
  options.SystemPrinters = false;
  TPrinter printer(std::make_unique<TQtPrintBackend>(options));
  PrintPages(printer, QStringLiteral("Sanahaku"), 1);
  EXPECT_EQ(notices_, QStringList{QDir(documents).filePath(QStringLiteral("Sanahaku.pdf"))});
}

// The system's printers, or the file when there are none; only listed here,
// never printed on.
TEST(SystemPrinters, OfferAtLeastOneChoice) {
  TPrinter printer;
  ASSERT_GE(printer.Printers()->Count(), 1);
  EXPECT_GE(printer.PrinterIndex(), 0);
  EXPECT_LT(printer.PrinterIndex(), printer.Printers()->Count());
  EXPECT_GT(GetDeviceCaps(printer, LOGPIXELSY), 0);
  EXPECT_GT(printer.PageHeight(), 0);
}

TEST(PrintFileFolder, FallsBackToHomeWithoutADocumentsFolder) {
  qunsetenv("XDG_DOCUMENTS_DIR");
  const QString home = QDir::homePath();
  const QString documents = QDir(home).filePath(QStringLiteral("Documents"));
  if (QFileInfo(documents).isDir())
    GTEST_SKIP() << "the test home has a Documents folder";
  EXPECT_EQ(PrintFileFolder(), home);
  ASSERT_TRUE(QDir().mkpath(documents));
  EXPECT_EQ(PrintFileFolder(), documents);
}

struct NameRow {
  const char* title;
  const char* file;
};

class PrintFileNames : public testing::TestWithParam<NameRow> {};

TEST_P(PrintFileNames, TitleBecomesASafeFileName) {
  const QString folder = qxtest::TempPath(QStringLiteral("names"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString path = ReservePrintFile(folder, QString::fromUtf8(GetParam().title));
  EXPECT_EQ(path, QDir(folder).filePath(QString::fromUtf8(GetParam().file)));
  EXPECT_TRUE(QFileInfo(path).isFile());
  EXPECT_EQ(QFileInfo(path).size(), 0);
}

INSTANTIATE_TEST_SUITE_P(PrintFile, PrintFileNames,
                         testing::Values(NameRow{"koe", "koe.pdf"},
                                         NameRow{"a/b", "a_b.pdf"},
                                         NameRow{"", "document.pdf"},
                                         NameRow{"..", "document.pdf"},
                                         NameRow{"  väli  ", "väli.pdf"},
                                         NameRow{"rivi\nrivi", "rivi_rivi.pdf"}));

TEST(PrintFileName, LongTitlesAreCutToFitAFileName) {
  const QString folder = qxtest::TempPath(QStringLiteral("long"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString title = QString(300, QChar(0x00E4));  // two bytes each in UTF-8
  const QString first = ReservePrintFile(folder, title);
  const QString second = ReservePrintFile(folder, title);
  EXPECT_NE(first, second);
  EXPECT_TRUE(second.endsWith(QStringLiteral(" (2).pdf")));
  EXPECT_LE(QFile::encodeName(QFileInfo(second).fileName()).size(), 255);
  EXPECT_TRUE(QFileInfo(first).fileName().startsWith(QString(100, QChar(0x00E4))));
}

}  // namespace
