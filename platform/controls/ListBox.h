#pragma once
// TListBox: a list of strings on a Qt list widget.
//
// Items is a TStrings view of the list (objects ride along with their
// strings). ItemIndex is -1 when nothing is selected; setting an index out of
// range selects nothing. Selected(i) out of range raises EListError. OnClick
// fires when the user changes the selection, not when code does. Sorted
// keeps the strings in case-insensitive order as they are added.
//
// lbOwnerDrawFixed rows are ItemHeight pixels high and drawn by OnDrawItem
// on Canvas (brush and font set for the row's state, as the class library
// prepares them); without a handler the row is filled and its text drawn.

#include "platform/controls/ControlItems.h"
#include "platform/controls/NativeControl.h"
#include "platform/rtl/StringList.h"

class QListWidget;
class TCustomListBox;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
extern const TEnumInfo kListBoxStyleIdents;

enum TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

using TDrawItemEvent =
    std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;

class TListBoxStrings : public TControlItems {
 public:
  explicit TListBoxStrings(TCustomListBox* box) : box_(box) {}
  int Count() const override;
  QString Get(int index) const override;
  void Put(int index, const QString& s) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* obj) override;
  void Insert(int index, const QString& s) override;
  void Delete(int index) override;
  void Clear() override;

 protected:
  bool SortedItems() const override;

 private:
  TCustomListBox* box_;
};

class TCustomListBox : public TNativeControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(*v); }
  int ItemIndex() const;
  void SetItemIndex(int v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool v);
  bool Selected(int index) const;
  void SetSelected(int index, bool v);
  // -1 unless MultiSelect.
  int SelCount() const;
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle v);
  int ItemHeight() const;
  void SetItemHeight(int v);
  int TopIndex() const;
  void SetTopIndex(int v);
  // The row at pos (client coordinates); when none, -1 if existing, else Count.
  int ItemAtPos(TPoint pos, bool existing) const;
  TRect ItemRect(int index) const;
  void Clear() { items_->Clear(); }
  TCanvas* Canvas() { return ControlCanvas(); }

  QListWidget* List() const;

  TDrawItemEvent OnDrawItem;

  static void DeclareProperties(TClassBuilder<TCustomListBox, TNativeControl>& b);

 protected:
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);

 private:
  friend class TListBoxStrings;
  friend class TListBoxDelegate;
  void ApplySelectionMode();
  void SelectionChangedByQt();

  std::unique_ptr<TListBoxStrings> items_;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  int fromCode_ = 0;
};

class TListBox : public TCustomListBox {
 public:
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};
