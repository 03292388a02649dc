// TTreeView: building and walking nodes, node data, expand and collapse
// events that may refuse, selection events, and images from image lists.

#include "platform/controls/TreeView.h"

#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

#include <QTreeWidget>

namespace {

class TreeViewTest : public NativeControlsTest {
 protected:
  void SetUp() override {
    NativeControlsTest::SetUp();
    tree = Make<TTreeView>();
    TTreeNodes* items = tree->Items();
    root = items->AddObject(nullptr, QStringLiteral("Ohjelmat"), &rootData);
    child1 = items->AddChild(root, QStringLiteral("Peli"));
    child2 = items->AddChildObject(root, QStringLiteral("Editori"), &childData);
    grandchild = items->AddChild(child1, QStringLiteral("Ohje"));
    second = items->Add(root, QStringLiteral("Palapelit"));
  }

  TTreeView* tree = nullptr;
  TTreeNode* root = nullptr;
  TTreeNode* child1 = nullptr;
  TTreeNode* child2 = nullptr;
  TTreeNode* grandchild = nullptr;
  TTreeNode* second = nullptr;
  int rootData = 1;
  int childData = 2;
};

TEST_F(TreeViewTest, CaptionIsNotStored) {
  tree->SetName(QStringLiteral("Programs"));
  tree->SetCaption(QStringLiteral("Ohjelmapuu"));
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_TRUE(text.contains("Programs"));
  EXPECT_FALSE(text.contains("Ohjelmapuu"));
}

TEST_F(TreeViewTest, NodesKnowTheirPlace) {
  TTreeNodes* items = tree->Items();
  EXPECT_EQ(items->Count(), 5);
  EXPECT_EQ(items->GetFirstNode(), root);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(root->Item(1), child2);
  EXPECT_EQ(child2->Parent(), root);
  EXPECT_EQ(root->Parent(), nullptr);
  EXPECT_EQ(grandchild->Level(), 2);
  EXPECT_EQ(child2->Index(), 1);
  EXPECT_EQ(second->Index(), 1);
  EXPECT_TRUE(root->HasChildren());
  EXPECT_FALSE(second->HasChildren());
  EXPECT_EQ(root->getFirstChild(), child1);
  EXPECT_THROW(root->Item(2), EListError);
  EXPECT_THROW(items->Item(5), EListError);
}

TEST_F(TreeViewTest, GetNextWalksDepthFirst) {
  QStringList order;
  for (TTreeNode* n = tree->Items()->GetFirstNode(); n != nullptr; n = n->GetNext()) order.append(n->Text());
  EXPECT_EQ(order, (QStringList{"Ohjelmat", "Peli", "Ohje", "Editori", "Palapelit"}));
  EXPECT_EQ(tree->Items()->Item(3), child2);
}

TEST_F(TreeViewTest, DataIsTheCallersPointer) {
  EXPECT_EQ(root->Data(), &rootData);
  EXPECT_EQ(child2->Data(), &childData);
  EXPECT_EQ(child1->Data(), nullptr);
  child1->SetData(&rootData);
  EXPECT_EQ(child1->Data(), &rootData);
}

TEST_F(TreeViewTest, InsertPutsTheNodeBeforeItsSibling) {
  TTreeNode* n = tree->Items()->Insert(child2, QStringLiteral("Asennus"));
  EXPECT_EQ(n->Parent(), root);
  EXPECT_EQ(n->Index(), 1);
  EXPECT_EQ(child2->Index(), 2);
}

TEST_F(TreeViewTest, DeleteTakesTheSubtree) {
  child1->Delete();
  EXPECT_EQ(tree->Items()->Count(), 3);
  EXPECT_EQ(root->Count(), 1);
  EXPECT_EQ(root->Item(0), child2);
  tree->Items()->Clear();
  EXPECT_EQ(tree->Items()->Count(), 0);
  EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
}

TEST_F(TreeViewTest, ExpandingAsksFirstAndMayBeRefused) {
  QStringList events;
  bool allow = false;
  tree->OnExpanding = [&](TObject*, TTreeNode* node, bool& a) {
    events.append(QStringLiteral("expanding ") + node->Text());
    a = allow;
  };
  tree->OnCollapsing = [&](TObject*, TTreeNode* node, bool& a) {
    events.append(QStringLiteral("collapsing ") + node->Text());
    a = allow;
  };
  root->Expand(false);
  EXPECT_FALSE(root->Expanded());
  allow = true;
  root->SetExpanded(true);
  EXPECT_TRUE(root->Expanded());
  second->Expand(false);  // nothing to expand: no event
  root->Collapse(false);
  EXPECT_FALSE(root->Expanded());
  EXPECT_EQ(events, (QStringList{"expanding Ohjelmat", "expanding Ohjelmat", "collapsing Ohjelmat"}));
}

TEST_F(TreeViewTest, ExpandingByTheUserIsUndoneWhenRefused) {
  tree->OnExpanding = [](TObject*, TTreeNode*, bool& a) { a = false; };
  root->WidgetItem()->setExpanded(true);  // as the tree's expand button does
  EXPECT_FALSE(root->Expanded());
}

TEST_F(TreeViewTest, RecursiveExpandReachesEveryLevel) {
  root->Expand(true);
  EXPECT_TRUE(child1->Expanded());
  root->Collapse(true);
  EXPECT_FALSE(child1->Expanded());
  EXPECT_FALSE(root->Expanded());
}

TEST_F(TreeViewTest, SelectingAsksOnChangingThenFiresOnChange) {
  QStringList events;
  bool allow = true;
  tree->OnChanging = [&](TObject*, TTreeNode* node, bool& a) {
    events.append(QStringLiteral("changing ") + node->Text());
    a = allow;
  };
  tree->OnChange = [&](TObject*, TTreeNode* node) { events.append(QStringLiteral("change ") + node->Text()); };
  EXPECT_EQ(tree->Selected(), nullptr);
  child2->SetSelected(true);
  EXPECT_EQ(tree->Selected(), child2);
  EXPECT_TRUE(child2->Selected());
  EXPECT_TRUE(child2->Focused());
  allow = false;
  tree->SetSelected(second);
  EXPECT_EQ(tree->Selected(), child2);
  tree->Tree()->setCurrentItem(second->WidgetItem());  // as a click does
  EXPECT_EQ(tree->Selected(), child2);
  EXPECT_EQ(events, (QStringList{"changing Editori", "change Editori", "changing Palapelit",
                                 "changing Palapelit"}));
}

TEST_F(TreeViewTest, DeletingTheSelectedNodeLeavesNoDanglingSelection) {
  child1->SetSelected(true);
  child1->Delete();
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(TreeViewTest, ImagesComeFromTheImageLists) {
  auto* images = new TImageList(form.get());
  images->SetWidth(4);
  images->SetHeight(4);
  TBitmap strip;
  strip.SetSize(8, 4);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(Rect(0, 0, 4, 4));
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(Rect(4, 0, 8, 4));
  images->Add(&strip, nullptr);
  tree->SetImages(images);
  second->SetImageIndex(1);
  second->SetSelectedIndex(0);
  const QImage icon = second->WidgetItem()->icon(0).pixmap(4, 4).toImage();
  EXPECT_EQ(QRgbToColor(icon.pixel(1, 1)), clBlue);
  second->SetSelected(true);
  const QImage selected = second->WidgetItem()->icon(0).pixmap(4, 4).toImage();
  EXPECT_EQ(QRgbToColor(selected.pixel(1, 1)), clRed);
  delete images;  // the view forgets it
  EXPECT_EQ(tree->Images(), nullptr);
  EXPECT_TRUE(second->WidgetItem()->icon(0).isNull());
}

TEST_F(TreeViewTest, OptionsReachTheWidget) {
  tree->SetShowRoot(false);
  EXPECT_FALSE(tree->Tree()->rootIsDecorated());
  tree->SetReadOnly(true);
  EXPECT_EQ(tree->Tree()->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(root->WidgetItem()->flags().testFlag(Qt::ItemIsEditable));
  second->SetHasChildren(true);
  EXPECT_TRUE(second->HasChildren());
}

}  // namespace
