#include "SampleClasses.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TEST(Collections, AddDeleteAndIndices) {
  TSampleItems items(nullptr);
  auto* a = static_cast<TSampleItem*>(items.Add());
  auto* b = static_cast<TSampleItem*>(items.Add());
  auto* c = static_cast<TSampleItem*>(items.Add());
  EXPECT_EQ(items.Count(), 3);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_EQ(b->Collection(), &items);
  EXPECT_EQ(b->GetOwner(), &items);
  c->SetIndex(0);
  EXPECT_EQ(items.Items(0), c);
  int idOfA = a->ID();
  items.Delete(1);  // a
  EXPECT_EQ(items.Count(), 2);
  EXPECT_EQ(items.FindItemID(idOfA), nullptr);
  EXPECT_EQ(items.FindItemID(b->ID()), b);
  EXPECT_THROW(items.Items(2), EListError);
  EXPECT_THROW(items.Delete(-1), EListError);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
}

TEST(Collections, IdsStayUniqueAfterDeletes) {
  TSampleItems items(nullptr);
  items.Add();
  int second = items.Add()->ID();
  items.Delete(1);
  EXPECT_NE(items.Add()->ID(), second);
}

TEST(Collections, ItemMovesBetweenCollections) {
  TSampleItems first(nullptr);
  TSampleItems second(nullptr);
  TCollectionItem* item = first.Add();
  item->SetCollection(&second);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Count(), 1);
  delete item;  // deleting an item removes it
  EXPECT_EQ(second.Count(), 0);
}

TEST(Collections, UpdateOncePerBatch) {
  TSampleItems items(nullptr);
  items.Add();
  EXPECT_EQ(items.updates, 1);
  auto* item = static_cast<TSampleItem*>(items.Items(0));
  item->SetCaption(QStringLiteral("x"));
  EXPECT_EQ(items.updates, 2);
  EXPECT_EQ(items.lastUpdated, item);
  items.BeginUpdate();
  items.Add();
  items.Add();
  item->SetCaption(QStringLiteral("y"));
  EXPECT_EQ(items.updates, 2);
  items.EndUpdate();
  EXPECT_EQ(items.updates, 3);
  EXPECT_EQ(items.lastUpdated, nullptr);
}

TEST(Collections, AssignCopiesItemByItem) {
  TSampleItems from(nullptr);
  static_cast<TSampleItem*>(from.Add())->SetCaption(QStringLiteral("one"));
  static_cast<TSampleItem*>(from.Add())->SetValue(2);
  TSampleItems to(nullptr);
  to.Add();
  to.Add();
  to.Add();
  to.Assign(&from);
  ASSERT_EQ(to.Count(), 2);
  EXPECT_EQ(to.ItemAt(0)->Caption(), QStringLiteral("one"));
  EXPECT_EQ(to.ItemAt(1)->Value(), 2);
  TSampleFont font;
  EXPECT_THROW(to.Assign(&font), EConvertError);
}

TEST(Collections, OwnerIsTheComponent) {
  TSampleWidget w(nullptr);
  EXPECT_EQ(w.Items()->Owner(), &w);
  EXPECT_EQ(&w.Items()->ItemClass(), &MetaClassOf<TSampleItem>());
}

}  // namespace

namespace {

// Items whose batch-end update raises on request.
class TRefusingItems : public TSampleItems {
 public:
  using TSampleItems::TSampleItems;
  bool refuse = false;

 protected:
  void Update(TCollectionItem* item) override {
    TSampleItems::Update(item);
    if (refuse) throw EListError(QStringLiteral("refused"));
  }
};

TEST(Collections, ARaisingUpdateAtTheEndOfABatchReachesTheCallerAndTheBatchCloses) {
  TSampleItems from(nullptr);
  static_cast<TSampleItem*>(from.Add())->SetCaption(QStringLiteral("one"));
  TRefusingItems to(nullptr);
  to.Add();
  to.refuse = true;
  EXPECT_THROW(to.Assign(&from), EListError);
  EXPECT_EQ(to.UpdateCount(), 0);
  EXPECT_EQ(to.ItemAt(0)->Caption(), "one");
  EXPECT_THROW(to.Clear(), EListError);
  EXPECT_EQ(to.UpdateCount(), 0);
  EXPECT_EQ(to.Count(), 0);
  to.refuse = false;
  const int before = to.updates;
  to.Add();
  EXPECT_EQ(to.updates, before + 1);  // not stuck inside a batch
}

}  // namespace
