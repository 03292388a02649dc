#include "platform/rtl/DateTime.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <gtest/gtest.h>

namespace {

TEST(EncodeDateTest, KnownDays) {
  struct Row {
    int y, m, d;
    double value;
  };
  const Row rows[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},   {1900, 1, 1, 2},      {2000, 1, 1, 36526},
      {1899, 12, 29, -1},  {2000, 2, 29, 36585}, {1, 1, 1, -693593},  {9999, 12, 31, 2958465},
      {2024, 3, 1, 45352},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(EncodeDate(r.y, r.m, r.d), r.value) << r.y << "-" << r.m << "-" << r.d;
    int y = 0, m = 0, d = 0;
    DecodeDate(r.value, y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, r.y * 10000 + r.m * 100 + r.d) << r.value;
  }
}

TEST(EncodeDateTest, InvalidPartsRaise) {
  const int bad[][3] = {{2023, 2, 29}, {2000, 13, 1}, {2000, 0, 1}, {2000, 1, 0}, {2000, 4, 31}, {0, 1, 1}, {10000, 1, 1}};
  for (const auto& b : bad)
    EXPECT_THROW(EncodeDate(b[0], b[1], b[2]), EConvertError) << b[0] << "-" << b[1] << "-" << b[2];
}

TEST(EncodeTimeTest, RoundTripsEveryPart) {
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  const int times[][4] = {{0, 0, 0, 0}, {23, 59, 59, 999}, {13, 7, 45, 123}, {0, 0, 0, 1}};
  for (const auto& t : times) {
    int h = -1, n = -1, s = -1, ms = -1;
    DecodeTime(EncodeTime(t[0], t[1], t[2], t[3]), h, n, s, ms);
    EXPECT_EQ(h, t[0]);
    EXPECT_EQ(n, t[1]);
    EXPECT_EQ(s, t[2]);
    EXPECT_EQ(ms, t[3]);
  }
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
  EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
  EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
}

TEST(DecodeTest, NegativeValuesCountDaysBackAndTimeForward) {
  int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
  DecodeDate(-1.25, y, m, d);
  DecodeTime(-1.25, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
  EXPECT_EQ(h, 6);
}

TEST(DecodeTest, AlmostMidnightRoundsToNextDay) {
  int y = 0, m = 0, d = 0, h = -1, n = 0, s = 0, ms = 0;
  const double t = 36526.0 + 0.9999999999;
  DecodeDate(t, y, m, d);
  DecodeTime(t, h, n, s, ms);
  EXPECT_EQ(y * 10000 + m * 100 + d, 20000102);
  EXPECT_EQ(h, 0);
}

TEST(DecodeTest, NonFiniteRaises) {
  int y, m, d;
  EXPECT_THROW(DecodeDate(std::numeric_limits<double>::quiet_NaN(), y, m, d), EConvertError);
  EXPECT_THROW(DecodeDate(1e300, y, m, d), EConvertError);
}

TEST(FormatDateTimeTest, Tokens) {
  const TDateTime t = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 45);
  struct Row {
    const char* format;
    const char* expected;
  };
  const Row rows[] = {
      {"yyyy-mm-dd", "2024-03-05"}, {"d.m.yy", "5.3.24"},          {"hh:nn:ss.zzz", "07:08:09.045"},
      {"h:mm", "7:08"},             {"hh 'mm' mm", "07 mm 08"},     {"dd/mm/yyyy", "05/03/2024"},
      {"\"d\"d", "d5"},            {"z", "45"},                   {"", ""},
  };
  for (const Row& r : rows)
    EXPECT_EQ(FormatDateTime(QString::fromLatin1(r.format), t), QString::fromLatin1(r.expected)) << r.format;
  EXPECT_EQ(DateTimeToStr(t), QStringLiteral("2024-03-05 07:08:09"));
  EXPECT_EQ(DateTimeToStr(EncodeDate(2000, 1, 1)), QStringLiteral("2000-01-01"));
}

TEST(QDateTimeTest, RoundTrip) {
  const TDateTime t = EncodeDate(2021, 6, 15) + EncodeTime(13, 30, 15, 250);
  const QDateTime q = DateTimeToQDateTime(t);
  EXPECT_EQ(q.date(), QDate(2021, 6, 15));
  EXPECT_EQ(q.time(), QTime(13, 30, 15, 250));
  EXPECT_NEAR(QDateTimeToDateTime(q), t, 1e-9);
  EXPECT_THROW(QDateTimeToDateTime(QDateTime()), EConvertError);
}

TEST(FileDateTest, UnixSecondsRoundTrip) {
  const std::int64_t secs[] = {0, 86400, 1700000000, 946684800};
  for (std::int64_t s : secs)
    EXPECT_EQ(DateTimeToFileDate(FileDateToDateTime(s)), s) << s;
  const QDateTime q = QDateTime::fromSecsSinceEpoch(1700000000);
  EXPECT_NEAR(FileDateToDateTime(1700000000), QDateTimeToDateTime(q), 1e-9);
}

TEST(FileDateTest, DropsMilliseconds) {
  const TDateTime t = FileDateToDateTime(1700000000);
  EXPECT_EQ(DateTimeToFileDate(t + EncodeTime(0, 0, 0, 400)), 1700000000);
  EXPECT_EQ(DateTimeToFileDate(t + EncodeTime(0, 0, 0, 999)), 1700000000);
  EXPECT_EQ(DateTimeToFileDate(t + EncodeTime(0, 0, 1, 0)), 1700000001);
  const TDateTime before = FileDateToDateTime(-10);
  EXPECT_EQ(DateTimeToFileDate(before + EncodeTime(0, 0, 0, 500)), -10);
}

TEST(ClockHookTest, NowDateTimeFollowTheHook) {
  const TDateTime fixed = EncodeDate(2022, 1, 2) + EncodeTime(3, 4, 5, 0);
  SetNowHook([fixed] { return fixed; });
  EXPECT_EQ(Now(), fixed);
  EXPECT_EQ(Date(), EncodeDate(2022, 1, 2));
  EXPECT_NEAR(Time(), EncodeTime(3, 4, 5, 0), 1e-12);
  ResetProcessState();
  EXPECT_GT(Now(), EncodeDate(2023, 1, 1));
}

TEST(ClockHookTest, TickCountHookAndReset) {
  std::uint64_t ticks = 1000;
  SetTickCountHook([&ticks] { return ticks; });
  EXPECT_EQ(GetTickCount(), 1000u);
  ticks += 250;
  EXPECT_EQ(GetTickCount(), 1250u);
  SetTickCountHook(nullptr);
  const std::uint64_t a = GetTickCount();
  EXPECT_GE(GetTickCount(), a);
  SetTickCountHook([] { return std::uint64_t{7}; });
  ResetProcessState();
  EXPECT_NE(GetTickCount(), 7u);
}

}  // namespace
