#pragma once
// TListView (report style): rows of items with a caption and sub-items under
// column headers, on a Qt tree widget without a tree.
//
// Columns is a collection (stored in form files: Caption, Width, Alignment);
// Items owns its TListItems. An item's SubItems fill columns 1, 2, ...
// OnChange fires after an item's text (ctText), image (ctImage) or state
// (ctState: selection, check mark) changed, from the user or from code.
// Images come from SmallImages with a StateImages image before them; with
// Checkboxes each row has a check box (Checked). Other view styles are kept
// but shown as the report.

#include "platform/classes/Collection.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Label.h"
#include "platform/controls/NativeControl.h"
#include "platform/controls/ViewImages.h"
#include "platform/rtl/StringList.h"

#include <memory>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;
class TCustomListView;
class TListItems;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
extern const TEnumInfo kViewStyleIdents;
enum TItemChange { ctText, ctImage, ctState };

class TListColumn : public TCollectionItem {
 public:
  explicit TListColumn(TCollection* collection);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  QString DisplayName() const override { return caption_; }
  void Assign(TPersistent* source) override;

  static void DeclareProperties(TClassBuilder<TListColumn, TCollectionItem>& b);

 private:
  friend class TCustomListView;
  QString caption_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
};

class TListColumns : public TCollection {
 public:
  explicit TListColumns(TCustomListView* view);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TCustomListView* view_;
};

class TListItem {
 public:
  TListItem(const TListItem&) = delete;
  TListItem& operator=(const TListItem&) = delete;
  ~TListItem();

  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  QString Caption() const;
  void SetCaption(const QString& v);
  TStrings* SubItems() const { return subItems_.get(); }
  void SetSubItems(TStrings* v) { subItems_->Assign(*v); }
  void* Data() const { return data_; }
  void SetData(void* v) { data_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int v);
  bool Checked() const;
  void SetChecked(bool v);
  bool Selected() const;
  void SetSelected(bool v);
  int Index() const;
  void Delete();

  QTreeWidgetItem* WidgetItem() const { return item_; }

 private:
  friend class TListItems;
  friend class TCustomListView;
  class TSubItems;
  TListItem(TListItems* owner, QTreeWidgetItem* item);
  void SubItemsChanged();

  TListItems* owner_;
  QTreeWidgetItem* item_;
  std::unique_ptr<TStringList> subItems_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int stateIndex_ = -1;
};

class TListItems {
 public:
  explicit TListItems(TCustomListView* owner) : owner_(owner) {}
  TListItems(const TListItems&) = delete;
  TListItems& operator=(const TListItems&) = delete;
  ~TListItems();

  TCustomListView* Owner() const { return owner_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Out of range: EListError.
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  int IndexOf(const TListItem* item) const;
  TListItem* ItemOf(const QTreeWidgetItem* item) const;

 private:
  TCustomListView* owner_;
  std::vector<std::unique_ptr<TListItem>> items_;
};

using TLVChangeEvent = std::function<void(TObject* sender, TListItem* item, TItemChange change)>;

class TCustomListView : public TNativeControl {
 public:
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;

  TListColumns* Columns() const { return columns_.get(); }
  TListItems* Items() const { return items_.get(); }
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  // The first selected item; nullptr when none. Setting selects only it.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  int SelCount() const;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool Checkboxes() const { return checkboxes_; }
  void SetCheckboxes(bool v);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool v);
  TImageList* SmallImages() const { return images_.Images(); }
  void SetSmallImages(TImageList* v);
  TImageList* StateImages() const { return images_.StateImages(); }
  void SetStateImages(TImageList* v);
  // The item at a client point; nullptr when none.
  TListItem* GetItemAt(int x, int y) const;

  QTreeWidget* Tree() const;
  void Notification(TComponent* component, TOperation operation) override;

  TLVChangeEvent OnChange;

  static void DeclareProperties(TClassBuilder<TCustomListView, TNativeControl>& b);

 protected:
  virtual void Change(TListItem* item, TItemChange change);

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  void ColumnsChanged();
  QList<TListColumn*> ReadyColumns() const;
  void ApplyItem(TListItem* item);
  void UpdateIcon(TListItem* item);
  void UpdateAllIcons();
  void QtItemChanged(QTreeWidgetItem* item, int column);
  void QtSelectionChanged();

  std::unique_ptr<TListColumns> columns_;
  std::unique_ptr<TListItems> items_;
  TViewStyle viewStyle_ = vsIcon;
  bool multiSelect_ = false;
  bool readOnly_ = false;
  bool rowSelect_ = false;
  bool checkboxes_ = false;
  bool showColumnHeaders_ = true;
  TViewImages images_{this, [this] { UpdateAllIcons(); }};
  int fromCode_ = 0;
  QList<QTreeWidgetItem*> lastSelection_;
};

class TListView : public TCustomListView {
 public:
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};
