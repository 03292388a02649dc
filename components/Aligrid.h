#pragma once
// Unit Aligrid: TStringAlignGrid, a string grid whose cells, columns and rows
// each carry their own alignment, edit permission, font, brush, selected
// colours and (cells only) hint text; TNewInplaceEdit, its cell editor;
// TMyFont and TMyBrush, a font and a brush that remember having changed;
// TObjectList, a list that owns its objects; and the chain of show-hint
// handlers through which every grid gives its cells their own hints.
//
// Attribute look-up order (first present wins): cell, column, row, grid-wide
// value. For a fixed cell the column and row levels of alignment, font and
// brush come from the fixed-column and fixed-row tables.

#include "components/AligridTables.h"
#include "platform/controls/Application.h"
#include "platform/controls/Grids.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/PenBrush.h"
#include "platform/rtl/List.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Scoped: the platform's TAlign already uses the names alLeft and alRight.
enum class TMyAlign : std::uint8_t { alRight = 0, alLeft = 1, alCenter = 2 };

enum T_nextcell {
  nc_rightdown,
  nc_downright,
  nc_leftdown,
  nc_downleft,
  nc_leftup,
  nc_upleft,
  nc_rightup,
  nc_upright
};
enum t_lastcell { lc_newcolrow, lc_stop, lc_first };
enum t_relation { rel_greater, rel_equal, rel_less };

extern const TEnumInfo kMyAlignIdents;
extern const TEnumInfo kNextCellIdents;
extern const TEnumInfo kLastCellIdents;

using TCellEvent = std::function<void(TObject* sender, int col, int row)>;
using TCompareFunction =
    std::function<t_relation(TObject* sender, int colrow, int compare1, int compare2)>;

// Messages a grid posts to itself; WParam = column, LParam = row. 3027 is
// sent when the editor opens where no edit was running, and posted behind
// 3026 when the editor moves on from an edited cell, so OnAfterEdit of the
// cell left always comes before OnBeforeEdit of the next.
inline constexpr UINT AM_CANCELEDIT = 3024;   // Esc in the editor
inline constexpr UINT AM_ACCEPTEDIT = 3025;   // Enter in the editor
inline constexpr UINT AM_LEAVECELL = 3026;    // the editor moved to another cell
inline constexpr UINT AM_BEGINEDIT = 3027;    // the editor opened on a cell
inline constexpr UINT AM_RESHOWEDITOR = 3028; // focus came back: show the editor

// Registers TStringAlignGrid (and the base grids) for form files. Idempotent.
void RegisterAligridClasses();

// The opposite direction (what Shift+Tab takes).
T_nextcell OppositeDirection(T_nextcell direction);

// A font with a changed flag: every change notification sets it first.
class TMyFont : public TFont {
 public:
  bool IsChanged() const { return changed_; }
  void SetIsChanged(bool v) { changed_ = v; }

 protected:
  void Changed() override;

 private:
  bool changed_ = false;
};

// A brush with a changed flag, as TMyFont.
class TMyBrush : public TBrush {
 public:
  bool IsChanged() const { return changed_; }
  void SetIsChanged(bool v) { changed_ = v; }

 protected:
  void Changed() override;

 private:
  bool changed_ = false;
};

// A list that owns its objects: deleting a slot frees its object, and the
// list frees what it holds from the last to the first when destroyed.
class TObjectList : public TList {
 public:
  TObjectList() = default;
  ~TObjectList() override;

  int Add(TObject* object);
  TObject* Items(int index) const;
  // Frees the object at index and removes the slot.
  void Delete(int index);
  // Finds object by identity; deletes its slot (freeing it) and returns the
  // index, or -1 when absent.
  int Remove(TObject* object);
  void Clear();
};

// The chain of the application's show-hint handlers. The first grid created
// while an application object lives installs the chain as that
// application's OnShowHint (a handler assigned before becomes the chain's
// first entry); the chain goes with the application, which gets its old
// handler back. Dispatch calls the entries from the last joined to the
// first. An entry is the pair (object, routine); routine tells apart several
// handlers of one object.
void JoinHintChain(TObject* object, const void* routine, TShowHintEvent handler);
// Removes every entry of the pair; nothing happens when the chain is gone.
void LeaveHintChain(TObject* object, const void* routine);
// Entries in the chain (0 when there is none).
int HintChainCount();

// The cell editor: aligns its text as its cell and reports Enter and Esc.
class TNewInplaceEdit : public TInplaceEdit {
 public:
  explicit TNewInplaceEdit(TComponent* owner);

  using TInplaceEdit::SetAlignment;
  // Alignment of the text; a change re-applies the edit style and selects
  // the whole text.
  TMyAlign CellAlignment() const { return cellAlignment_; }
  void SetCellAlignment(TMyAlign v);

  // The cell being edited; (-1, -1) for none.
  int EditCol() const { return editCol_; }
  int EditRow() const { return editRow_; }
  void SetEditCell(int col, int row) {
    editCol_ = col;
    editRow_ = row;
  }
  bool EditStarted() const { return editStarted_; }
  void SetEditStarted(bool v) { editStarted_ = v; }
  // The cell's text when its editing began.
  QString StartText() const { return startText_; }
  void SetStartText(const QString& v) { startText_ = v; }

 protected:
  void KeyPress(char& key) override;

 private:
  TMyAlign cellAlignment_ = TMyAlign::alLeft;
  int editCol_ = -1;
  int editRow_ = -1;
  bool editStarted_ = false;
  QString startText_;
};

class TStringAlignGrid : public TStringGrid {
 public:
  explicit TStringAlignGrid(TComponent* owner);
  ~TStringAlignGrid() override;

  // Published properties.
  TMyAlign Alignment() const { return alignment_; }
  void SetAlignment(TMyAlign v);
  bool Editable() const { return editable_; }
  void SetEditable(bool v) { editable_ = v; }
  // Hides the base setter: the fixed-cell brush follows the colour.
  void SetFixedColor(TColor v);
  bool ShowCellHints() const { return showCellHints_; }
  void SetShowCellHints(bool v) { showCellHints_ = v; }
  TCellEvent OnAfterEdit;
  TCellEvent OnCancelEdit;
  TCellEvent OnBeforeEdit;
  TColor SelectedCellColor() const { return selectedCellColor_; }
  void SetSelectedCellColor(TColor v);
  TColor SelectedFontColor() const { return selectedFontColor_; }
  void SetSelectedFontColor(TColor v);
  bool AutoEditNextCell() const { return autoEditNextCell_; }
  void SetAutoEditNextCell(bool v) { autoEditNextCell_ = v; }
  T_nextcell NextCellEdit() const { return nextCellEdit_; }
  void SetNextCellEdit(T_nextcell v) { nextCellEdit_ = v; }
  T_nextcell NextCellTab() const { return nextCellTab_; }
  void SetNextCellTab(T_nextcell v) { nextCellTab_ = v; }
  t_lastcell AfterLastCellEdit() const { return afterLastCellEdit_; }
  void SetAfterLastCellEdit(t_lastcell v) { afterLastCellEdit_ = v; }
  t_lastcell AfterLastCellTab() const { return afterLastCellTab_; }
  void SetAfterLastCellTab(t_lastcell v) { afterLastCellTab_ = v; }
  bool DrawSelection() const { return drawSelection_; }
  void SetDrawSelection(bool v);
  TCompareFunction OnCompareRow;
  TCompareFunction OnCompareCol;
  TNotifyEvent OnColWidthsChanged;
  TNotifyEvent OnRowHeightsChanged;

  // Effective attributes (cell, column, row, grid-wide).
  TMyAlign GetCellAlignment(int col, int row) const;
  bool GetCellEditable(int col, int row) const;
  TFont* ResolveCellFont(int col, int row) const;
  TBrush* ResolveCellBrush(int col, int row) const;
  TColor GetCellColor(int col, int row) const;
  TColor ResolveSelectedCellColor(int col, int row) const;
  TColor ResolveSelectedFontColor(int col, int row) const;
  bool IsFixedCell(int col, int row) const;

  // The cell's own font or brush, made from the grid's font or own brush
  // when it has none; changing it repaints the grid.
  TMyFont* GetCellFont(int col, int row);
  TMyBrush* GetCellBrush(int col, int row);
  TMyBrush* GetColBrush(int index);
  TMyBrush* GetFixedColBrush(int index);
  TMyBrush* GetRowBrush(int index);
  TMyBrush* GetFixedRowBrush(int index);
  void SetCellColor(int col, int row, TColor color);
  void SetCellHint(int col, int row, const QString& text);
  QString GetCellHint(int col, int row) const;

  // An empty column or row at index at (not before the fixed ones); the
  // texts and attributes from there on move one place on.
  void InsertColumn(int at);
  void InsertRow(int at);

  // One navigation step in direction; past the end, rule decides (the
  // position is (-1, -1) when there is no next cell).
  void NextCell(T_nextcell direction, t_lastcell rule, int& col, int& row);
  // The next cell in NextCellEdit whose edit permission is true; the start
  // cell when there is none, (-1, -1) when the search stopped.
  void NextEditableCell(int& col, int& row);

  // The fixed cells' brush (colour FixedColor) and the grid's own brush
  // (colour Color).
  TBrush* FixedBrush() const { return fixedBrush_.get(); }
  TBrush* OwnBrush() const;

  void WndProc(TMessage& message) override;
  void DefineProperties(TFiler* filer) override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TStringAlignGrid, TStringGrid>& b);

 protected:
  void DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState) override;
  std::unique_ptr<TInplaceEdit> CreateEditor() override;
  bool CanEditShow() override;
  void ColumnMoved(int fromIndex, int toIndex) override;
  void RowMoved(int fromIndex, int toIndex) override;
  void ColWidthsChanged() override;
  void RowHeightsChanged() override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void DoEnter() override;
  void DoExit() override;

 private:
  friend class TAligridStore;

  using TFontSlot = std::unique_ptr<TMyFont>;
  using TBrushSlot = std::unique_ptr<TMyBrush>;
  using TTextSlot = std::optional<QString>;

  TNewInplaceEdit* NewEditor() const;
  std::unique_ptr<TMyFont> NewFont();
  std::unique_ptr<TMyBrush> NewBrush();
  TMyBrush* BrushAt(TBrushSlot& slot);
  void RepaintGrid();
  void PaintCell(int col, int row, const TRect& rect, TGridDrawState state);
  void DrawCellText(int col, int row, const TRect& rect);
  void ShowCellHint(QString& hintStr, bool& canShow, THintInfo& info);
  void CancelHintOnMove(const TMessage& message);
  void HandleGridMessage(TMessage& message);
  void AdvanceAfterEnter(int col, int row);
  void TabMoveCell(bool backward);
  bool CharOpensEditor(TMessage& message);
  void MoveTablesCol(int from, int to);
  void MoveTablesRow(int from, int to);
  bool PastEnd(T_nextcell direction, int col, int row) const;
  void AfterLast(T_nextcell direction, t_lastcell rule, int& col, int& row);
  t_relation CompareTexts(const QString& a, const QString& b) const;

  TMyAlign alignment_ = TMyAlign::alLeft;
  bool editable_ = true;
  bool showCellHints_ = true;
  TColor selectedCellColor_ = clActiveCaption;
  TColor selectedFontColor_ = clWhite;
  bool autoEditNextCell_ = false;
  T_nextcell nextCellEdit_ = nc_rightdown;
  T_nextcell nextCellTab_ = nc_rightdown;
  t_lastcell afterLastCellEdit_ = lc_newcolrow;
  t_lastcell afterLastCellTab_ = lc_first;
  bool drawSelection_ = true;

  aligrid::TAttrTables<std::optional<TMyAlign>> align_;
  aligrid::TAttrTables<std::optional<bool>> edit_;
  aligrid::TAttrTables<TFontSlot> font_;
  aligrid::TAttrTables<TBrushSlot> brush_;
  aligrid::TAttrTables<std::optional<TColor>> selCellColor_;
  aligrid::TAttrTables<std::optional<TColor>> selFontColor_;
  aligrid::TAttrTables<TTextSlot> hint_;
  // Runs f on every attribute table, in the order above.
  template <class F>
  void ForEachTable(F&& f) {
    f(align_);
    f(edit_);
    f(font_);
    f(brush_);
    f(selCellColor_);
    f(selFontColor_);
    f(hint_);
  }
  // Cell texts read from a form, copied into the cells by Loaded.
  std::unique_ptr<aligrid::TCellTable<TTextSlot>> storedTexts_;
  bool storedTextsFlag_ = false;

  std::unique_ptr<TMyBrush> fixedBrush_;
  std::unique_ptr<TBrush> ownBrush_;
  int hintCol_ = -1;
  int hintRow_ = -1;
  bool editing_ = false;
  bool reshowEditor_ = false;
  int savedSelStart_ = 0;
  int savedSelLength_ = 0;
};
