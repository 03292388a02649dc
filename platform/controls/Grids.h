#pragma once
// Grids: TCustomGrid (cells in columns and rows, fixed cells at the top and
// left, a current cell, a selection, scrolling, column and row sizes, an
// in-place cell editor), TDrawGrid (cells drawn by OnDrawCell) and
// TStringGrid (a text and an object per cell), and TInplaceEdit, the editor
// that sits over the current cell.
//
// Coordinates: ACol and ARow count from 0, fixed columns and rows first.
// The current cell (Col, Row) is never a fixed cell. TopRow and LeftCol are
// the first scrollable row and column shown right after the fixed ones.
// Pixel positions are in the grid's client coordinates; a cell's rectangle
// excludes the grid line that follows it (GridLineWidth pixels).

#include "platform/classes/Filer.h"
#include "platform/classes/Set.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Label.h"
#include "platform/controls/Memo.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/Exceptions.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QScrollBar;
class TCustomGrid;

// A grid index or size out of range.
QX_EXCEPTION(EInvalidGridOperation, Exception);

enum TGridOption {
  goFixedVertLine,
  goFixedHorzLine,
  goVertLine,
  goHorzLine,
  goRangeSelect,
  goDrawFocusSelected,
  goRowSizing,
  goColSizing,
  goRowMoving,
  goColMoving,
  goEditing,
  goTabs,
  goRowSelect,
  goAlwaysShowEditor,
  goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
extern const TEnumInfo kGridOptionIdents;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

// What a mouse press started (kept until the release).
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

struct TGridCoord {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

using TDrawCellEvent =
    std::function<void(TObject* sender, int aCol, int aRow, TRect rect, TGridDrawState state)>;
using TSelectCellEvent =
    std::function<void(TObject* sender, int aCol, int aRow, bool& canSelect)>;
using TGetEditEvent = std::function<void(TObject* sender, int aCol, int aRow, QString& value)>;
using TSetEditEvent =
    std::function<void(TObject* sender, int aCol, int aRow, const QString& value)>;
using TMovedEvent = std::function<void(TObject* sender, int fromIndex, int toIndex)>;

// The cell editor. The grid creates it (CreateEditor) and owns it; it shows
// the text of the current cell over that cell, and every change of its text
// goes to the cell at once. Keys it has no use for (Tab, up/down, page keys,
// left/right/Home/End leading out of the text) go to the grid's KeyDown;
// every typed character goes first to the grid's KeyPress (Enter there
// closes the editor unless goAlwaysShowEditor); Esc puts back the text the
// editor opened with and closes it likewise.
class TInplaceEdit : public TCustomEdit {
 public:
  explicit TInplaceEdit(TComponent* owner);

  TCustomGrid* Grid() const { return grid_; }
  TAlignment Alignment() const { return alignment_; }
  virtual void SetAlignment(TAlignment v);

  // Moves the editor over rect (grid client coordinates) and shows it.
  void Move(const TRect& rect);
  // Takes the current cell's text from the grid (GetEditText).
  void UpdateContents();
  // Hides the editor; the grid keeps the focus.
  void HideEditor();
  void Deselect();
  // The text when the editor was last filled from the grid.
  QString OriginalText() const { return originalText_; }
  // Focus moving between the grid and its editor is not an exit or entry
  // of the grid.
  void WndProc(TMessage& message) override;

 protected:
  friend class TCustomGrid;

// A grid index or size out of range.
QX_EXCEPTION(EInvalidGridOperation, Exception);
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  // A derived editor sees the key (Enter 13, Esc 27, ...) before this runs.
  void KeyPress(char& key) override;
  // Every change of the text goes to the cell at once (SetEditText).
  void Change() override;
  // Gives a key to the grid's KeyDown and uses it up.
  void SendToParent(std::uint16_t& key, TShiftState shift);
  void TabOutOfGrid(std::uint16_t& key, TShiftState shift);
  // Fires the grid's OnKeyDown for a key the editor keeps.
  void ParentEvent(std::uint16_t& key, TShiftState shift);

 private:
  void SetGrid(TCustomGrid* grid) { grid_ = grid; }
  void ApplyAlignment();

  TCustomGrid* grid_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  QString originalText_;
  bool filling_ = false;  // UpdateContents sets the text: not an edit
};

class TCustomGrid : public TCustomControl {
 public:
  explicit TCustomGrid(TComponent* owner);
  ~TCustomGrid() override;

  // Size of the grid in cells. A count below 1 becomes 1; a count at or
  // below its fixed count lowers the fixed count. A fixed count must stay
  // below its count (EInvalidGridOperation); changing it puts the current
  // cell and the scrolling back to the first scrollable column (row).
  int ColCount() const { return colCount_; }
  void SetColCount(int v);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int v);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int v);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int v);

  // Column widths and row heights in pixels. An index outside the counts or
  // a negative size raises EInvalidGridOperation. Setting a default resets
  // every width (height) to it.
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int v);
  int ColWidths(int index) const;
  void SetColWidths(int index, int v);
  int RowHeights(int index) const;
  void SetRowHeights(int index, int v);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int v);
  // The whole grid's width and height in pixels (all columns and lines).
  int GridWidth() const;
  int GridHeight() const;

  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  TGridOptions Options() const { return options_; }
  void SetOptions(TGridOptions v);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor v);
  bool DefaultDrawing() const { return defaultDrawing_; }
  void SetDefaultDrawing(bool v);
  // Per-column tab stops for Tab/Shift+Tab with goTabs; all true by default.
  bool TabStops(int index) const;
  void SetTabStops(int index, bool v);

  // The current cell and the selection.
  int Col() const { return current_.X; }
  void SetCol(int v);
  int Row() const { return current_.Y; }
  void SetRow(int v);
  // Moves the current cell (when SelectCell agrees) and scrolls it into
  // view; a fixed or missing cell raises EInvalidGridOperation. Without
  // moveAnchor (and with goRangeSelect) the selection grows to the cell.
  void FocusCell(int aCol, int aRow, bool moveAnchor = true);
  // The rectangle between the anchor and the current cell (whole rows with
  // goRowSelect). Setting it moves the anchor to its top-left and the
  // current cell to its bottom-right without asking SelectCell.
  TGridRect Selection() const;
  void SetSelection(TGridRect v);

  // Scrolling.
  int TopRow() const { return topLeft_.Y; }
  void SetTopRow(int v);
  int LeftCol() const { return topLeft_.X; }
  void SetLeftCol(int v);
  // Scrollable columns/rows that fit wholly (at least one).
  int VisibleColCount() const;
  int VisibleRowCount() const;

  // The editor. EditorMode on asks for the editor (it shows when
  // CanEditShow allows); off hides it, its text staying in the cell.
  bool EditorMode() const { return editorMode_; }
  void SetEditorMode(bool v);
  void ShowEditor();
  void HideEditor();
  // nullptr until the editor was first shown.
  TInplaceEdit* InplaceEditor() const { return editor_.get(); }

  // Mouse position to cell; (-1, -1) outside the cells.
  void MouseToCell(int x, int y, int& aCol, int& aRow) const;
  TGridCoord MouseCoord(int x, int y) const;
  // The cell's rectangle; empty when it is not visible.
  TRect CellRect(int aCol, int aRow) const;

  // Moves a column (row) with its width (height), tab stop and, in a string
  // grid, its cells; the current cell follows its column (row).
  void MoveColumn(int fromIndex, int toIndex);
  void MoveRow(int fromIndex, int toIndex);

  void InvalidateCell(int aCol, int aRow);
  void InvalidateCol(int aCol);
  void InvalidateRow(int aRow);
  void InvalidateGrid();

  TGridState GridState() const { return gridState_; }

  // Without the scroll bars that show (ScrollBars, when not every column or
  // row fits).
  TRect ClientRect() const override;
  void WndProc(TMessage& message) override;
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TNotifyEvent OnTopLeftChanged;
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;

  static void DeclareProperties(TClassBuilder<TCustomGrid, TCustomControl>& b);

 protected:
  friend class TInplaceEdit;

  virtual void DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState);
  // Makes the editor, once, when it first shows. The grid alone frees it:
  // an owner it was made with gives it up at once.
  virtual std::unique_ptr<TInplaceEdit> CreateEditor();
  // Whether the editor may show on the current cell now: goEditing without
  // goRowSelect, EditorMode, a window, and goAlwaysShowEditor or the focus.
  // Asked again right after the editor was made.
  virtual bool CanEditShow();
  virtual bool CanEditModify();
  virtual bool CanEditAcceptKey(char key);
  virtual QString GetEditText(int aCol, int aRow);
  virtual void SetEditText(int aCol, int aRow, const QString& value);
  // Whether (aCol, aRow) may become the current cell (asks OnSelectCell).
  virtual bool SelectCell(int aCol, int aRow);
  // Called by MoveColumn/MoveRow after the widths (heights) and tab stops
  // moved; the base fires OnColumnMoved/OnRowMoved. TStringGrid's versions
  // first move the cell texts and objects (take out at from, insert at to),
  // so a derived grid can call them directly to shift cells only.
  virtual void ColumnMoved(int fromIndex, int toIndex);
  virtual void RowMoved(int fromIndex, int toIndex);
  // After a width (height) changed: scroll bars, clamping, repaint, editor.
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  // Fires OnTopLeftChanged.
  virtual void TopLeftChanged();
  // Stores the editor's text in the cell it edits (SetEditText).
  void UpdateText();
  // Puts the editor over the current cell when CanEditShow allows it.
  void UpdateEdit();
  // Hides the editor window (its text goes to its cell); EditorMode stays.
  void HideEdit();
  // Opens the editor and types ch into it (a character typed into the grid
  // with goEditing).
  void ShowEditorChar(char ch);
  // The grid or its editor has the focus of its window.
  bool IsActiveControl() const;
  // True while UpdateText stores the editor's text (the editor need not be
  // refilled from the cell).
  bool EditUpdating() const { return editUpdate_ > 0; }
  // The cell the editor shows; (-1, -1) while it is hidden.
  TGridCoord InplaceCell() const { return inplace_; }

  void Paint() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void DoEnter() override;
  void DoExit() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Resize() override;
  void CreateWnd() override;

 public:
  // The layout of columns or rows (the grid's own files use it).
  struct Axis;

 private:
  Axis ColAxis() const;
  Axis RowAxis() const;
  void FocusChanged(bool gained, QWidget* other);
  void ChangeSize(int cols, int rows);
  void MoveCurrent(int aCol, int aRow, bool moveAnchor, bool show);
  void ClampTopLeft();
  void ScrollToCurrent();
  void SetTopLeft(TGridCoord v);
  void ReadColWidths(TReader& reader);
  void WriteColWidths(TWriter& writer) const;
  void ReadRowHeights(TReader& reader);
  void WriteRowHeights(TWriter& writer) const;
  bool ColWidthsStored() const;
  bool RowHeightsStored() const;
  bool TabMove(bool backward);
  void MoveByKey(std::uint16_t key, TShiftState shift);
  void ScrollByKey(std::uint16_t key);
  bool StartSizingOrMoving(int x, int y);
  void TrackSizingOrMoving(int x, int y);
  void EndSizingOrMoving(int x, int y);
  void CheckCol(int aCol) const;
  void CheckRow(int aRow) const;
  // Shows, hides and sets the scroll bars for the current layout.
  void UpdateScrollBars();
  QScrollBar* MakeScrollBar(Qt::Orientation orientation);
  void ScrollBarMoved(Qt::Orientation orientation, bool released);

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  std::vector<int> colWidths_;   // empty: all DefaultColWidth
  std::vector<int> rowHeights_;  // empty: all DefaultRowHeight
  std::vector<bool> tabStops_;   // empty: all true
  TScrollStyle scrollBars_ = ssBoth;
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor fixedColor_ = clBtnFace;
  bool defaultDrawing_ = true;
  TGridCoord current_{1, 1};
  TGridCoord anchor_{1, 1};
  TGridCoord topLeft_{1, 1};
  bool editorMode_ = false;
  std::unique_ptr<TInplaceEdit> editor_;
  TGridCoord inplace_{-1, -1};
  int editUpdate_ = 0;       // >0 while SetEditText stores the editor's text
  bool focusWithin_ = false; // the grid or its editor has the focus
  bool destroying_ = false;  // no editor is made or shown any more
  // Children of the grid's widget (gone with it).
  QPointer<QScrollBar> hBar_;
  QPointer<QScrollBar> vBar_;
  bool hShown_ = false;
  bool vShown_ = false;
  bool updatingBars_ = false;
  TGridState gridState_ = gsNormal;
  int sizingIndex_ = -1;     // column or row being sized or moved
  int sizingStart_ = 0;      // its start pixel while sizing
  int moveTo_ = -1;
};

// A grid whose cells OnDrawCell draws.
class TDrawGrid : public TCustomGrid {
 public:
  explicit TDrawGrid(TComponent* owner) : TCustomGrid(owner) {}
};

// A grid with a text and an object (not owned) per cell; its default
// drawing writes the text 2 pixels in from the cell's left and top.
class TStringGrid : public TDrawGrid {
 public:
  explicit TStringGrid(TComponent* owner);
  ~TStringGrid() override;

  QString Cells(int aCol, int aRow) const;
  void SetCells(int aCol, int aRow, const QString& v);
  // Not owned.
  TObject* Objects(int aCol, int aRow) const;
  void SetObjects(int aCol, int aRow, TObject* v);
  // The texts of a column or row.
  QStringList Cols(int index) const;
  void SetCols(int index, const QStringList& v);
  QStringList Rows(int index) const;
  void SetRows(int index, const QStringList& v);

  static void DeclareProperties(TClassBuilder<TStringGrid, TDrawGrid>& b);

 protected:
  // Draws the cell text left-aligned 2 px in when DefaultDrawing is on,
  // then OnDrawCell.
  void DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState) override;
  QString GetEditText(int aCol, int aRow) override;
  void SetEditText(int aCol, int aRow, const QString& value) override;
  // Move the cell texts and objects, then the base handling.
  void ColumnMoved(int fromIndex, int toIndex) override;
  void RowMoved(int fromIndex, int toIndex) override;

 private:
  struct TCellData {
    QString text;
    TObject* object = nullptr;
  };
  const TCellData* Find(int aCol, int aRow) const;
  TCellData& Ensure(int aCol, int aRow);

  // Sparse: columns, each a list of rows; short lists mean empty cells.
  std::vector<std::vector<TCellData>> cells_;
};

// Registers TDrawGrid and TStringGrid for form files. Idempotent.
void RegisterGridClasses();
