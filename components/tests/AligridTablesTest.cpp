// The sparse tables, the block records and the owning list under the grid.
#include "components/Aligrid.h"
#include "components/AligridStore.h"

#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using aligrid::TBlockRecord;
using aligrid::TCellTable;
using aligrid::TSparseList;

// The values of a list as text, "-" for an empty slot.
QString Dump(const TSparseList<std::optional<int>>& list) {
  QString out;
  for (int i = 0; i < list.Count(); ++i) {
    const auto* slot = list.Slot(i);
    out += *slot ? QString::number(**slot) : QStringLiteral("-");
  }
  return out;
}

TSparseList<std::optional<int>> ListOf(const QString& pattern) {
  TSparseList<std::optional<int>> list;
  for (int i = 0; i < pattern.size(); ++i)
    if (pattern[i] != QLatin1Char('-')) list.At(i) = pattern[i].digitValue();
  if (!pattern.isEmpty()) list.At(static_cast<int>(pattern.size()) - 1);
  return list;
}

struct MoveCase {
  const char* before;
  int from;
  int to;
  const char* after;
};

class SparseMove : public testing::TestWithParam<MoveCase> {};

TEST_P(SparseMove, TakesOutPadsAndInserts) {
  auto list = ListOf(QString::fromLatin1(GetParam().before));
  list.Move(GetParam().from, GetParam().to);
  EXPECT_EQ(Dump(list), QString::fromLatin1(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SparseMove,
    testing::Values(MoveCase{"123", 0, 2, "231"}, MoveCase{"123", 2, 0, "312"},
                    // Beyond the end: padded to reach from, then to t entries.
                    MoveCase{"12", 1, 4, "1---2"}, MoveCase{"12", 3, 0, "-12-"},
                    MoveCase{"", 0, 2, "---"}, MoveCase{"1-3", 1, 2, "13-"}));

struct InsertCase {
  const char* before;
  int at;
  const char* after;
};

class SparseInsert : public testing::TestWithParam<InsertCase> {};

TEST_P(SparseInsert, InsertsOnlyWhenTheListReachesTheIndex) {
  auto list = ListOf(QString::fromLatin1(GetParam().before));
  list.InsertEmpty(GetParam().at);
  EXPECT_EQ(Dump(list), QString::fromLatin1(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(Cases, SparseInsert,
                         testing::Values(InsertCase{"123", 1, "1-23"}, InsertCase{"123", 3, "123-"},
                                         InsertCase{"123", 4, "123"}, InsertCase{"", 0, "-"}));

TEST(SparseTables, NegativeOrFarIndexReadsEmptyAndNegativeStoreRaises) {
  TCellTable<std::optional<int>> table;
  table.At(2, 3) = 7;
  EXPECT_EQ(table.Find(-1, 3), nullptr);
  EXPECT_EQ(table.Find(2, -1), nullptr);
  EXPECT_EQ(table.Find(9, 3), nullptr);
  EXPECT_EQ(table.Find(2, 9), nullptr);
  ASSERT_NE(table.Find(2, 3), nullptr);
  EXPECT_EQ(**table.Find(2, 3), 7);
  EXPECT_THROW(table.At(-1, 0), EListError);
}

TEST(SparseTables, CellRowMoveAndInsertWorkInEveryColumn) {
  TCellTable<std::optional<int>> table;
  table.At(0, 0) = 1;
  table.At(1, 2) = 2;
  table.MoveRow(2, 0);
  ASSERT_NE(table.Find(1, 0), nullptr);
  EXPECT_EQ(**table.Find(1, 0), 2);
  EXPECT_EQ(**table.Find(0, 1), 1);
  table.InsertRow(1);
  EXPECT_EQ(**table.Find(0, 2), 1);
  table.InsertCol(0);
  EXPECT_EQ(**table.Find(2, 0), 2);
}

// Block records.

struct BlockCase {
  const char* name;
  QByteArray bytes;
  bool cell;
  int maxValue;
};

class CorruptBlock : public testing::TestWithParam<BlockCase> {};

TEST_P(CorruptBlock, IsAReadError) {
  const BlockCase& c = GetParam();
  EXPECT_THROW(aligrid::DecodeBlock(c.bytes, c.cell, c.maxValue, QString::fromLatin1(c.name)),
               EReadError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorruptBlock,
    testing::Values(BlockCase{"AlignCell", QByteArray::fromHex("0100020001"
                                                               "0100"), true, 2},
                    BlockCase{"AlignCell", QByteArray::fromHex("01"), true, 2},
                    BlockCase{"AlignCol", QByteArray::fromHex("010002ff"), false, 2},
                    BlockCase{"AlignCol", QByteArray::fromHex("010003"), false, 2},
                    BlockCase{"EditCell", QByteArray::fromHex("0100020002"), true, 1},
                    BlockCase{"EditRow", QByteArray::fromHex("0000"), false, 1}));

TEST(BlockRecords, RoundTripLittleEndian) {
  QByteArray out;
  aligrid::AppendRecord(out, {0x0102, 0x0304, 2}, true);
  aligrid::AppendRecord(out, {65535, 0, 1}, true);
  EXPECT_EQ(out.toHex(), QByteArray("0201040302ffff000001"));
  const auto records = aligrid::DecodeBlock(out, true, 2, QStringLiteral("AlignCell"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].col, 0x0102);
  EXPECT_EQ(records[0].row, 0x0304);
  EXPECT_EQ(records[0].value, 2);
  EXPECT_EQ(records[1].col, 65535);
  EXPECT_TRUE(aligrid::DecodeBlock({}, false, 2, QStringLiteral("AlignCol")).empty());
}

TEST(BlockRecords, StoredIndexIsModulo65536) {
  EXPECT_EQ(aligrid::StoredIndex(65536 + 5), 5);
  EXPECT_EQ(aligrid::StoredIndex(7), 7);
  EXPECT_EQ(aligrid::StoredIndex(-1), 65535);
}

// TObjectList.

class TCounted : public TObject {
 public:
  TCounted(QList<int>& log, int id) : log_(log), id_(id) {}
  ~TCounted() override { log_.append(id_); }

 private:
  QList<int>& log_;
  int id_;
};

TEST(ObjectList, FreesWhatItHoldsLastFirst) {
  QList<int> freed;
  {
    TObjectList list;
    for (int i = 1; i <= 3; ++i) list.Add(new TCounted(freed, i));
  }
  EXPECT_EQ(freed, QList<int>({3, 2, 1}));
}

TEST(ObjectList, DeleteAndRemoveFreeByIndexAndIdentity) {
  QList<int> freed;
  TObjectList list;
  auto* a = new TCounted(freed, 1);
  auto* b = new TCounted(freed, 2);
  list.Add(a);
  list.Add(b);
  TCounted outsider(freed, 9);
  EXPECT_EQ(list.Remove(&outsider), -1);
  EXPECT_EQ(list.Remove(b), 1);
  EXPECT_EQ(freed, QList<int>({2}));
  list.Delete(0);
  EXPECT_EQ(freed, QList<int>({2, 1}));
  EXPECT_EQ(list.Count(), 0);
}

TEST(Directions, OppositesArePairs) {
  const std::pair<T_nextcell, T_nextcell> pairs[] = {{nc_rightdown, nc_leftup},
                                                     {nc_downright, nc_upleft},
                                                     {nc_leftdown, nc_rightup},
                                                     {nc_downleft, nc_upright}};
  for (auto [a, b] : pairs) {
    EXPECT_EQ(OppositeDirection(a), b);
    EXPECT_EQ(OppositeDirection(b), a);
  }
}

}  // namespace
