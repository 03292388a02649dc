#pragma once
// Shared pieces of the grid tests: a string grid with its protected
// operations opened, on a form shown offscreen, and key/mouse helpers.

#include "platform/controls/Grids.h"
#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>

#include <ostream>

inline void PrintTo(const TGridCoord& c, std::ostream* os) { *os << "(" << c.X << ", " << c.Y << ")"; }
inline void PrintTo(const TGridRect& r, std::ostream* os) {
  *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}

// Opens the protected operations the tests drive directly.
class TTestGrid : public TStringGrid {
 public:
  explicit TTestGrid(TComponent* owner) : TStringGrid(owner) {}
  using TStringGrid::CanEditShow;
  using TStringGrid::ColumnMoved;
  using TStringGrid::KeyDown;
  using TStringGrid::KeyPress;
  using TStringGrid::InplaceCell;
  using TStringGrid::RowMoved;
  bool IsActiveControlForTest() const { return IsActiveControl(); }
};

inline constexpr std::uint16_t kKeyTab = 0x09;
inline constexpr std::uint16_t kKeyReturn = 0x0D;
inline constexpr std::uint16_t kKeyEscape = 0x1B;
inline constexpr std::uint16_t kKeyPrior = 0x21;
inline constexpr std::uint16_t kKeyNext = 0x22;
inline constexpr std::uint16_t kKeyEnd = 0x23;
inline constexpr std::uint16_t kKeyHome = 0x24;
inline constexpr std::uint16_t kKeyLeft = 0x25;
inline constexpr std::uint16_t kKeyUp = 0x26;
inline constexpr std::uint16_t kKeyRight = 0x27;
inline constexpr std::uint16_t kKeyDown = 0x28;
inline constexpr std::uint16_t kKeyF2 = 0x71;

// A form holding one grid at (0, 0): 5 x 5 cells of 20 x 10 pixels with
// 1-pixel lines and one fixed column and row, in a 200 x 100 client.
class GridsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    grid = new TTestGrid(form.get());  // owned by the form
    grid->SetName(QStringLiteral("Grid"));
    grid->SetParent(form.get());
    grid->SetBounds(0, 0, 200, 100);
    grid->SetDefaultColWidth(20);
    grid->SetDefaultRowHeight(10);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }

  void ShowForm() {
    form->Show();
    Pump();
  }

  // Gives the grid the focus; false when the platform gives none.
  bool FocusGrid() {
    ShowForm();
    form->Widget()->activateWindow();
    Pump();
    if (!form->Widget()->isActiveWindow()) return false;
    grid->SetFocus();
    Pump();
    return grid->Focused();
  }

  void Key(std::uint16_t key, TShiftState shift = {}) { grid->KeyDown(key, shift); }

  void Press(int x, int y, WPARAM keys = MK_LBUTTON) {
    grid->Perform(WM_LBUTTONDOWN, keys, MAKELPARAM(x, y));
  }
  void MoveTo(int x, int y) { grid->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { grid->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

  TGridCoord Current() const { return {grid->Col(), grid->Row()}; }

  std::unique_ptr<TForm> form;
  TTestGrid* grid = nullptr;
};

inline TColor GridPixel(const QImage& image, int x, int y) {
  return QRgbToColor(image.pixel(x, y));
}
