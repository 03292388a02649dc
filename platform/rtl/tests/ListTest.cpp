#include "platform/rtl/Exceptions.h"
#include "platform/rtl/List.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Items pointing into a fixed array, so tests can name them by value.
class ListTest : public ::testing::Test {
 protected:
  void* P(int i) { return &values_[i]; }
  std::vector<int> Values(const TList& list) const {
    std::vector<int> out;
    for (int i = 0; i < list.Count(); ++i)
      out.push_back(list[i] ? *static_cast<int*>(list[i]) : -1);
    return out;
  }
  int values_[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
};

TEST_F(ListTest, AddInsertDeleteRemove) {
  TList list;
  EXPECT_EQ(list.Add(P(1)), 0);
  EXPECT_EQ(list.Add(P(3)), 1);
  list.Insert(1, P(2));
  list.Insert(0, P(0));
  list.Insert(4, P(4));
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
  list.Delete(0);
  EXPECT_EQ(list.Remove(P(3)), 2);
  EXPECT_EQ(list.Remove(P(9)), -1);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(list.First(), P(1));
  EXPECT_EQ(list.Last(), P(4));
  EXPECT_EQ(list.IndexOf(P(4)), 2);
  EXPECT_EQ(list.IndexOf(P(0)), -1);
}

TEST_F(ListTest, IndexErrorsCarryTheIndex) {
  TList list;
  list.Add(P(0));
  const auto message = [](auto op) {
    try {
      op();
    } catch (const EListError& e) {
      return e.Message();
    }
    return QStringLiteral("no error");
  };
  EXPECT_EQ(message([&] { list.Items(1); }), QStringLiteral("List index out of bounds (1)"));
  EXPECT_EQ(message([&] { list.Delete(-1); }), QStringLiteral("List index out of bounds (-1)"));
  EXPECT_EQ(message([&] { list.Insert(2, nullptr); }), QStringLiteral("List index out of bounds (2)"));
  EXPECT_EQ(message([&] { list.Exchange(0, 3); }), QStringLiteral("List index out of bounds (3)"));
  EXPECT_EQ(message([&] { list.Move(0, 1); }), QStringLiteral("List index out of bounds (1)"));
  list.Clear();
  EXPECT_EQ(message([&] { list.First(); }), QStringLiteral("List index out of bounds (0)"));
  EXPECT_EQ(message([&] { list.Last(); }), QStringLiteral("List index out of bounds (-1)"));
}

TEST_F(ListTest, ExchangeMoveExtractPack) {
  TList list;
  for (int i = 0; i < 5; ++i)
    list.Add(P(i));
  list.Exchange(0, 4);
  EXPECT_EQ(Values(list), (std::vector<int>{4, 1, 2, 3, 0}));
  list.Move(0, 3);
  EXPECT_EQ(Values(list), (std::vector<int>{1, 2, 3, 4, 0}));
  list.Move(4, 0);
  EXPECT_EQ(Values(list), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(list.Extract(P(2)), P(2));
  EXPECT_EQ(list.Extract(P(2)), nullptr);
  list.SetItems(0, nullptr);
  list.Add(nullptr);
  list.Pack();
  EXPECT_EQ(Values(list), (std::vector<int>{1, 3, 4}));
}

TEST_F(ListTest, CountAndCapacity) {
  TList list;
  list.SetCapacity(16);
  EXPECT_GE(list.Capacity(), 16);
  list.SetCount(3);
  EXPECT_EQ(Values(list), (std::vector<int>{-1, -1, -1}));
  list.SetItems(2, P(7));
  list.SetCount(2);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_THROW(list.SetCapacity(1), EListError);
  EXPECT_THROW(list.SetCount(-1), EListError);
}

TEST_F(ListTest, SortWithCompareFunction) {
  TList list;
  for (int i : {5, 2, 8, 2, 0, 9})
    list.Add(P(i));
  list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
  EXPECT_EQ(Values(list), (std::vector<int>{0, 2, 2, 5, 8, 9}));
  list.Sort([](void*, void*) { return 1; });  // an inconsistent order stays harmless
  EXPECT_EQ(list.Count(), 6);
}

}  // namespace
