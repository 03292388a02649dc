#pragma once
// TPrnCells: one printed page as named rectangular cells. A caller adds
// cells, splits them into rows and grids, selects them by name patterns,
// sets text, alignment, font and borders on the selection, and prints the
// page as one job on the process-wide printer.
//
// Names are unique regardless of case, but Select matches them exactly. A
// pattern holds one "*" at either end, at both ends, or one in the middle;
// patterns are joined by ";".

#include "components/PCUtils.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

QX_EXCEPTION(ECellError, Exception);

class TPrnCells;

// Border indexes, in drawing order.
enum TCellSide { csLeft, csTop, csRight, csBottom };
// Bits of a SetBorders sides set; the outline bit frames the selection.
inline constexpr std::uint8_t kSideLeft = 1;
inline constexpr std::uint8_t kSideTop = 2;
inline constexpr std::uint8_t kSideRight = 4;
inline constexpr std::uint8_t kSideBottom = 8;
inline constexpr std::uint8_t kSideOutline = 16;

// The formatting a new cell copies from the layout's defaults.
struct TCellFormat {
  std::uint8_t HorzAlign = 2;
  TCellBrush Brush;
  TCellFont Font;
  std::uint8_t VertAlign = 1;
  bool VerticalText = false;
  std::array<TCellBorder, 4> Borders;
  bool ShrinkToFit = false;
  bool WordWrap = true;
};

// A cell: edges in the layout's unit (a width is Right - Left), its content
// and formatting. Only a layout makes cells.
class TCell {
 public:
  TCell(const TCell&) = delete;
  TCell& operator=(const TCell&) = delete;
  ~TCell();

  TPrnCells* Owner() const { return owner_; }

  float Left() const { return left_; }
  float Top() const { return top_; }
  float Right() const { return right_; }
  float Bottom() const { return bottom_; }
  float Width() const { return right_ - left_; }
  float Height() const { return bottom_ - top_; }
  // With Validate on, an edge that would pass its opposite edge (or a
  // negative width or height) raises ECellError "Invalid property error -
  // <name>.<edge>"; in pixels a value is truncated to a whole number first.
  void SetLeft(float value);
  void SetTop(float value);
  void SetRight(float value);
  void SetBottom(float value);
  void SetWidth(float value);
  void SetHeight(float value);

  const QString& Text() const { return text_; }
  // Makes the cell a text cell (a picture or rich text it held goes).
  void SetText(const QString& text);

  std::uint8_t HorzAlign = 2;  // 0 left, 1 right, 2 centred
  TCellBrush Brush;
  bool Validate = true;
  std::uint8_t ContentKind = 0;  // 0 text, 1 picture (TGraphic), 2 rich text (TRichEdit)
  TCellFont Font;
  std::uint8_t VertAlign = 1;  // 0 top, 1 centred, 2 bottom
  std::unique_ptr<TObject> Content;
  bool VerticalText = false;
  std::array<TCellBorder, 4> Borders;  // left, top, right, bottom
  bool ShrinkToFit = false;
  bool Stretch = true;
  bool Visible = true;
  bool WordWrap = true;

 private:
  friend class TPrnCells;
  explicit TCell(TPrnCells* owner) : owner_(owner) {}

  float Value(float v) const;
  // Sets edge to value unless Validate finds it bad.
  template <class Bad>
  void SetEdge(float& edge, float value, Bad bad, const char* name);
  [[noreturn]] void Invalid(const char* edge) const;
  void CopyFormat(const TCellFormat& format);

  TPrnCells* owner_;
  float left_ = 0.0F;
  float top_ = 0.0F;
  float right_ = 0.0F;
  float bottom_ = 0.0F;
  QString text_;
};

using TAddCellEvent = std::function<void(TObject* sender, TCell* newCell)>;

class TPrnCells : public TComponent {
 public:
  explicit TPrnCells(TComponent* owner);
  ~TPrnCells() override;

  TMeasurement Measurement() const { return measurement_; }
  // Converts every cell's edges and font size to the new unit, by the
  // printer's resolution and page size.
  void SetMeasurement(TMeasurement value);

  TAddCellEvent OnAddCell;
  TNotifyEvent BeforePrint;
  TNotifyEvent DuringPrint;
  TNotifyEvent AfterPrint;

  // Makes a cell and selects it alone. Raises ECellError "Cell "<name>"
  // already exists" for a name taken regardless of case, or for an invalid
  // edge; a failed call leaves the layout as it was.
  TCell* AddCell(const QString& name, float left, float top, float width, float height);
  // Replaces the selection with the cells matching the patterns, pattern by
  // pattern, each in creation order; returns the first or nullptr.
  TCell* Select(const QString& patterns);
  // The i-th selected cell gets values[i], the others empty text.
  void SetText(const QStringList& values);
  // The selection's formatting, or the defaults when nothing is selected.
  void SetAlignment(std::uint8_t value);
  void SetFont(const QString& name, TColor color, float size, TFontStyles style);
  void SetBorders(std::uint8_t sides, TColor color, std::uint8_t style, int width);
  // Divides the first selected cell into rows across its width, or into a
  // grid; the new cells are named name + "R" + row and/or "C" + column and
  // selected in place of the base, which goes. A failure leaves the base and
  // the selection as they were, with none of the new cells.
  void SplitCellRows(const QString& name, const TSizeList& rows);
  void SplitCellGrid(const QString& name, const TSizeList& columns, const TSizeList& rows);
  // Prints every visible cell on one page as one job titled title. A
  // failure while drawing ends the job unprinted and passes on.
  void Print(const QString& title);
  // Removes every cell, empties the selection and resets the defaults.
  void Clear();
  // Raises ECellError "Invalid cell" for a cell not in the layout.
  QString CellName(const TCell* cell) const;
  TCell* Selected(int index) const;
  int SelectedCount() const { return static_cast<int>(selection_.size()); }
  // Removes cell, or with nullptr every selected cell.
  void DeleteCell(TCell* cell);

  int CellCount() const { return static_cast<int>(cells_.size()); }
  TCell* Cells(int index) const { return cells_.at(static_cast<size_t>(index)).second.get(); }
  const TCellFormat& Defaults() const { return defaults_; }
  bool BorderPass() const { return borderPass_; }

  static void DeclareProperties(TClassBuilder<TPrnCells, TComponent>& b);

 private:
  using Entry = std::pair<QString, std::unique_ptr<TCell>>;

  TCell* CreateCell(const QString& name, float left, float top, float width, float height);
  void SplitCell(const QString& name, const TSizeList& columns, const TSizeList& rows);
  int IndexOf(const TCell* cell) const;
  bool Exists(const QString& name) const;
  void Unselect(const TCell* cell);
  void Remove(const TCell* cell);
  void DrawCell(TCanvas* canvas, const TCell& cell) const;
  void DrawBorders(TCanvas* canvas, const TCell& cell) const;
  TRect PixelRect(const TCell& cell) const;
  void Notify(const TNotifyEvent& event);

  std::vector<Entry> cells_;
  TCellFormat defaults_;
  TMeasurement measurement_ = mtCentimeters;
  bool borderPass_ = true;
  std::vector<TCell*> selection_;
  // The printer's measures while a page is drawn.
  int dpiX_ = 0;
  int dpiY_ = 0;
  int extentX_ = 0;
  int extentY_ = 0;
};

// Registers TPrnCells as a form class.
void RegisterPrnCellsClasses();
