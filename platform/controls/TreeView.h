#pragma once
// TTreeView: a tree of text nodes on a Qt tree widget.
//
// Nodes (TTreeNode) belong to the view's Items (TTreeNodes) and are freed by
// it; a node's Data is the caller's pointer and is never freed. Expanding or
// collapsing a node, by the user or by code, asks OnExpanding/OnCollapsing
// first (which may refuse); changing the selection, by the user or by code,
// asks OnChanging and then fires OnChange, as the tree control notifies.
// Child indexes out of range raise EListError. Images come from Images
// (ImageIndex, SelectedIndex when selected) with a StateImages image before
// them (StateIndex, -1 for none).

#include "platform/controls/ImageList.h"
#include "platform/controls/NativeControl.h"
#include "platform/controls/ViewImages.h"

#include <QList>

#include <memory>
#include <unordered_map>

class QTreeWidget;
class QTreeWidgetItem;
class TTreeNodes;
class TCustomTreeView;

class TTreeNode {
 public:
  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  QString Text() const;
  void SetText(const QString& v);
  void* Data() const { return data_; }
  void SetData(void* v) { data_ = v; }
  TTreeNode* Parent() const;
  int Count() const;
  // The child at index; out of range: EListError.
  TTreeNode* Item(int index) const;
  bool Expanded() const;
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  // The node with the focus rectangle (the tree's current node).
  bool Focused() const;
  void SetFocused(bool v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int v);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int v);
  // True with children, or when set to show an expand button without any.
  bool HasChildren() const;
  void SetHasChildren(bool v);
  // 0 for a top-level node.
  int Level() const;
  // Position among its siblings.
  int Index() const;
  bool IsVisible() const;
  // Depth-first: the first child, else the next sibling, else the next
  // sibling of the nearest ancestor that has one; nullptr at the end.
  TTreeNode* GetNext() const;
  TTreeNode* getFirstChild() const;
  TTreeNode* GetFirstChild() const { return getFirstChild(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  TTreeNode* GetLastChild() const;
  // Frees the node and its children.
  void Delete();
  void DeleteChildren();

  QTreeWidgetItem* WidgetItem() const { return item_; }

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  TTreeNode(TTreeNodes* owner, QTreeWidgetItem* item) : owner_(owner), item_(item) {}

  TTreeNodes* owner_;
  QTreeWidgetItem* item_;
  void* data_ = nullptr;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int stateIndex_ = -1;
  bool hasChildren_ = false;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
  TTreeNodes(const TTreeNodes&) = delete;
  TTreeNodes& operator=(const TTreeNodes&) = delete;
  ~TTreeNodes();

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes of the tree.
  int Count() const { return static_cast<int>(nodes_.size()); }
  // The node at a depth-first position; out of range: EListError.
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const;

  // A new last sibling of sibling (a top-level node when sibling is nullptr).
  TTreeNode* Add(TTreeNode* sibling, const QString& text);
  TTreeNode* AddObject(TTreeNode* sibling, const QString& text, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const QString& text);
  // A new last child of parent (a top-level node when parent is nullptr).
  TTreeNode* AddChild(TTreeNode* parent, const QString& text);
  TTreeNode* AddChildObject(TTreeNode* parent, const QString& text, void* data);
  // A new node just before sibling (last top-level node when nullptr).
  TTreeNode* Insert(TTreeNode* sibling, const QString& text);
  TTreeNode* InsertObject(TTreeNode* sibling, const QString& text, void* data);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();

  TTreeNode* NodeOf(const QTreeWidgetItem* item) const;

 private:
  TTreeNode* Attach(QTreeWidgetItem* parent, int index, const QString& text, void* data);
  void Forget(QTreeWidgetItem* item);

  TCustomTreeView* owner_;
  std::unordered_map<const QTreeWidgetItem*, std::unique_ptr<TTreeNode>> nodes_;
};

using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;
using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* sender, TTreeNode* node)>;

class TCustomTreeView : public TNativeControl {
 public:
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  // The selected node; nullptr when none.
  TTreeNode* Selected() const;
  void SetSelected(TTreeNode* node);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v) { showLines_ = v; }
  bool ShowRoot() const;
  void SetShowRoot(bool v);
  TImageList* Images() const { return images_.Images(); }
  void SetImages(TImageList* v);
  TImageList* StateImages() const { return images_.StateImages(); }
  void SetStateImages(TImageList* v);
  // The node at a client point; nullptr when none.
  TTreeNode* GetNodeAt(int x, int y) const;
  void FullExpand();
  void FullCollapse();

  QTreeWidget* Tree() const;
  void Notification(TComponent* component, TOperation operation) override;

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;

  static void DeclareProperties(TClassBuilder<TCustomTreeView, TNativeControl>& b);

 protected:
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual bool CanExpand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  void ExpandNode(TTreeNode* node, bool expand);
  void QtExpanded(QTreeWidgetItem* item, bool expanded);
  void QtCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void UpdateIcon(TTreeNode* node);
  void UpdateAllIcons();

  std::unique_ptr<TTreeNodes> items_;
  bool readOnly_ = false;
  bool showLines_ = true;
  TViewImages images_{this, [this] { UpdateAllIcons(); }};
  int fromCode_ = 0;
};

class TTreeView : public TCustomTreeView {
 public:
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

