#include "platform/rtl/DateTime.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Draw(int count, int range) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i)
    v.push_back(Random(range));
  return v;
}

TEST(RandomGolden, SeedZero) {
  SetRandSeed(0);
  EXPECT_EQ(Draw(8, 100), (std::vector<int>{0, 3, 86, 20, 27, 67, 31, 16}));
  EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), 0x296B6D78u);
}

TEST(RandomGolden, Seed12345) {
  SetRandSeed(12345);
  EXPECT_EQ(Draw(8, 100), (std::vector<int>{38, 28, 7, 55, 63, 34, 43, 7}));
  EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), 0x144DFC91u);
}

TEST(RandomGolden, NegativeSeedIsItsBitPattern) {
  SetRandSeed(-1);
  EXPECT_EQ(Random(1000), 968);
  EXPECT_EQ(static_cast<std::uint32_t>(RandSeed()), 4160191484u);
}

TEST(RandomGolden, FloatsFromTheSameSteps) {
  SetRandSeed(0);
  EXPECT_DOUBLE_EQ(Random(), 1.0 / 4294967296.0);
  EXPECT_DOUBLE_EQ(Random(), 0x08088406 / 4294967296.0);
  EXPECT_DOUBLE_EQ(Random(), 0xDC6DAC1F / 4294967296.0);
}

TEST(RandomRange, StaysInRangeAndStepsOnZero) {
  SetRandSeed(99);
  for (int i = 0; i < 2000; ++i) {
    const int v = Random(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
    const double f = Random();
    ASSERT_GE(f, 0.0);
    ASSERT_LT(f, 1.0);
  }
  SetRandSeed(0);
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  EXPECT_EQ(RandSeed(), 0x08088406);
}

TEST(RandomSeed, SameSeedSameSequence) {
  SetRandSeed(777);
  const std::vector<int> a = Draw(50, 30);
  SetRandSeed(777);
  EXPECT_EQ(Draw(50, 30), a);
}

TEST(RandomState, ResetRestoresSeedZero) {
  SetRandSeed(12345);
  Random(10);
  ResetProcessState();
  EXPECT_EQ(RandSeed(), 0);
  EXPECT_EQ(Draw(3, 100), (std::vector<int>{0, 3, 86}));
}

TEST(RandomHook, ReplacesTheGeneratorUntilReset) {
  std::vector<std::uint32_t> values = {0u, 0x80000000u, 0xFFFFFFFFu};
  std::size_t next = 0;
  SetRandSeed(5);
  SetRandomHook([&] { return values[next++ % values.size()]; });
  EXPECT_EQ(Draw(3, 30), (std::vector<int>{0, 15, 29}));
  EXPECT_DOUBLE_EQ(Random(), 0.0);
  EXPECT_EQ(RandSeed(), 5);
  ResetProcessState();
  EXPECT_EQ(Draw(2, 100), (std::vector<int>{0, 3}));
}

TEST(RandomSeed, RandomizeUsesTheClock) {
  SetNowHook([] { return EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 1, 0); });
  Randomize();
  const std::int32_t first = RandSeed();
  Randomize();
  EXPECT_EQ(RandSeed(), first);
  const double ms = (36526.0 + 1.0 / 86400.0) * 86400000.0;
  EXPECT_EQ(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms + 0.5) & 0xFFFFFFFFu));
}

}  // namespace
