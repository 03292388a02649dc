// The game's printout on a 300 dpi page image and in a real PDF file.
#include "components/PrnCells.h"
#include "game/mainprint.h"
#include "game/tests/FakeBoard.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/PrintFile.h"
#include "platform/printing/Printer.h"
#include "platform/printing/QtPrintBackend.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kDpi = 300;

int Px(double centimetres) { return static_cast<int>(std::lround(centimetres / 2.54 * kDpi)); }

bool Inked(const QImage& page, int left, int top, int right, int bottom) {
  for (int y = std::max(top, 0); y < std::min(bottom, page.height()); ++y)
    for (int x = std::max(left, 0); x < std::min(right, page.width()); ++x)
      if ((page.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
        return true;
  return false;
}

// Ink in word row n (1..50), right of the grid; a pixel's margin each side.
bool RowInked(const QImage& page, int n) {
  const double top = 2.0 + 0.5 * (n - 1);
  return Inked(page, Px(12.0), Px(top) + 2, page.width(), Px(top + 0.5) - 2);
}

class GamePrintout : public testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<TImagePrintBackend>(kDpi);
    backend_ = backend.get();
    SetPrinter(std::make_unique<TPrinter>(std::move(backend)));
    cells_ = new TPrnCells(nullptr);
    board_.SetRows(QStringList(12, QStringLiteral("KISSAKOIRAHIIRI").left(12)));
  }
  void TearDown() override {
    cells_->Free();
    SetPrinter(nullptr);
  }
  QImage Print() {
    PrintPuzzle(board_, *cells_);
    EXPECT_EQ(backend_->PageCount(), 1);
    EXPECT_EQ(backend_->JobTitle(), QStringLiteral("koe"));
    return backend_->PageCount() == 1 ? backend_->Page(0) : QImage();
  }
  QString RowsInked(const QImage& page) {
    QString rows;
    for (int n = 1; n <= 50; ++n) rows += RowInked(page, n) ? u'#' : u'.';
    return rows;
  }

  TFakeBoard board_;
  TPrnCells* cells_ = nullptr;
  TImagePrintBackend* backend_ = nullptr;
};

TEST_F(GamePrintout, WordsTitleAndFramedGridOnOnePage) {
  board_.SetWords({QStringLiteral("KISSA"), QStringLiteral("KOIRA"), QStringLiteral("HIIRI")});
  board_.State().PrintTitle = QStringLiteral("Trovaly 1.0 - elaimet");
  const QImage page = Print();
  EXPECT_EQ(RowsInked(page), QStringLiteral("###") + QString(46, u'.') + QStringLiteral("#"));
  // The outline at 2 cm and 11.6 cm, two pixels wide, and no inner lines.
  const int mid = Px(6.8);
  for (int edge : {Px(2.0), Px(11.6)}) {
    EXPECT_EQ(page.pixel(edge, mid) & 0xFFFFFFu, 0u) << edge;
    EXPECT_EQ(page.pixel(mid, edge) & 0xFFFFFFu, 0u) << edge;
    EXPECT_EQ(page.pixel(edge - 1, mid) & 0xFFFFFFu, 0u) << edge;
    EXPECT_FALSE(Inked(page, edge + 1, mid - 5, edge + 3, mid + 5)) << edge;
  }
  EXPECT_FALSE(Inked(page, Px(2.0) - 5, Px(2.0) - 8, Px(11.6) + 5, Px(2.0) - 2));
  for (int k = 1; k < 12; ++k) {
    const int line = Px(2.0 + 0.8 * k);
    EXPECT_FALSE(Inked(page, line - 1, Px(2.0) + 3, line + 1, Px(11.6) - 3)) << "column " << k;
    EXPECT_FALSE(Inked(page, Px(2.0) + 3, line - 1, Px(11.6) - 3, line + 1)) << "row " << k;
  }
  // Every cell shows its letter, centred.
  for (int c = 0; c < 12; ++c) {
    const double left = 2.0 + 0.8 * c;
    EXPECT_TRUE(Inked(page, Px(left + 0.2), Px(2.2), Px(left + 0.6), Px(2.6))) << c;
  }
}

TEST_F(GamePrintout, NumbersModePrintsHintsAndCodes) {
  board_.SetWords({QStringLiteral("KISSA")});
  TGameState& state = board_.State();
  state.NumbersMode = true;
  state.Letters[FirstHintSlot] = QStringLiteral("12 = K");
  state.Letters[FirstHintSlot + 1] = QStringLiteral("3 = I");
  board_.Grid().SetCells(0, 0, QStringLiteral("12"));
  const QImage page = Print();
  // No title before a puzzle is opened; hints in rows 15 and 16.
  EXPECT_EQ(RowsInked(page),
            QStringLiteral("#") + QString(13, u'.') + QStringLiteral("##") + QString(34, u'.'));
  EXPECT_EQ(cells_->Select(QStringLiteral("ruudukkoR1C1"))->Text(), QStringLiteral("12"));
  EXPECT_EQ(cells_->Select(QStringLiteral("ruudukkoR1C2"))->Text(), QStringLiteral("I"));
}

TEST_F(GamePrintout, FifteenWordsLeaveNoRoomForHints) {
  QStringList words;
  for (int i = 0; i < 52; ++i) words << QStringLiteral("SANA%1").arg(i);
  board_.SetWords(words);
  board_.State().NumbersMode = true;
  board_.State().Letters[FirstHintSlot] = QStringLiteral("HINT");
  board_.State().PrintTitle = QStringLiteral("TITLE");
  Print();
  EXPECT_EQ(cells_->Select(QStringLiteral("rivitR15"))->Text(), QStringLiteral("SANA14"));
  EXPECT_EQ(cells_->Select(QStringLiteral("rivitR50"))->Text(), QStringLiteral("SANA49"));
  EXPECT_EQ(cells_->CellCount(), 50 + 144);
}

// A picture whose drawing fails.
class TBrokenPicture : public TGraphic {
 public:
  bool Empty() const override { return false; }
  int Width() const override { return 10; }
  int Height() const override { return 10; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void LoadFromStream(TStream&) override {}
  void SaveToStream(TStream&) override {}
  void Draw(TCanvas*, const TRect&) override { throw EInvalidGraphic(QStringLiteral("broken")); }
};

TEST_F(GamePrintout, FailureWhileDrawingLeavesThePrinterReady) {
  TCell* cell = cells_->AddCell(QStringLiteral("kuva"), 1, 1, 2, 2);
  cell->ContentKind = 1;
  cell->Content = std::make_unique<TBrokenPicture>();
  EXPECT_THROW(cells_->Print(QStringLiteral("koe")), EInvalidGraphic);
  EXPECT_FALSE(Printer()->Printing());
  EXPECT_EQ(backend_->PageCount(), 0);
  // A picture smaller than its cell, stretched, fills the cell.
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(4, 4);
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(Rect(0, 0, 4, 4));
  cell->Content = std::move(bitmap);
  cells_->Print(QStringLiteral("koe"));
  ASSERT_EQ(backend_->PageCount(), 1);
  const QImage& page = backend_->Page(0);
  EXPECT_EQ(QRgbToColor(page.pixel(Px(1.0) + 2, Px(1.0) + 2)), clRed);
  EXPECT_EQ(QRgbToColor(page.pixel(Px(3.0) - 2, Px(3.0) - 2)), clRed);
  EXPECT_EQ(QRgbToColor(page.pixel(Px(3.0) + 2, Px(3.0) + 2)), clWhite);
}

TEST(GamePrintoutPdf, WordsAndTitleReadBackFromThePdf) {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  ASSERT_FALSE(pdftotext.isEmpty()) << "no pdftotext (poppler-utils; scripts/setup-debian.sh installs it)";
  const QString folder = qxtest::TempPath(QStringLiteral("pdf"));
  ASSERT_TRUE(QDir().mkpath(folder));
  qxtest::WriteBytes(folder + QStringLiteral("/koe.pdf"), "an earlier job");
  QStringList notices;
  SetPrintFileNotice([&](const QString& path) { notices << path; });
  TQtPrintOptions options;
  options.SystemPrinters = false;
  options.FileFolder = folder;
  SetPrinter(std::make_unique<TPrinter>(std::make_unique<TQtPrintBackend>(options)));
  TFakeBoard board;
  board.SetRows(QStringList(12, QStringLiteral("ABCDEFGHIJKL")));
  board.SetWords({QStringLiteral("KISSA"), QStringLiteral("KOIRA")});
  board.State().PrintTitle = QStringLiteral("Trovaly 1.0 - elaimet");
  TPrnCells cells(nullptr);
  PrintPuzzle(board, cells);
  SetPrinter(nullptr);
  ASSERT_EQ(notices.size(), 1);
  EXPECT_EQ(notices[0], folder + QStringLiteral("/koe (2).pdf"));
  EXPECT_EQ(qxtest::ReadBytes(folder + QStringLiteral("/koe.pdf")), QByteArray("an earlier job"));
  QProcess text;
  text.start(pdftotext, {notices[0], QStringLiteral("-")});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString out = QString::fromUtf8(text.readAllStandardOutput());
  EXPECT_TRUE(out.contains(QStringLiteral("KISSA"))) << out.toStdString();
  EXPECT_TRUE(out.contains(QStringLiteral("KOIRA")));
  EXPECT_TRUE(out.contains(QStringLiteral("Trovaly 1.0 - elaimet")));
  EXPECT_TRUE(out.contains(QStringLiteral("L")));
}

}  // namespace
