#include <gtest/gtest.h>

#include "log/DateTime.h"

TEST(DateTime, EncodesAndDecodesCalendarDates) {
  double d = 0;
  ASSERT_TRUE(TryEncodeDate(1899, 12, 30, d));
  EXPECT_EQ(d, 0);
  ASSERT_TRUE(TryEncodeDate(2000, 10, 10, d));
  EXPECT_EQ(d, 36809);
  EXPECT_EQ(IsoDateTime(d + EncodeTime(20, 55, 36)), "2000-10-10T20:55:36");
  ASSERT_TRUE(TryEncodeDate(2000, 2, 29, d));
  EXPECT_FALSE(TryEncodeDate(2001, 2, 29, d));
  EXPECT_FALSE(TryEncodeDate(2001, 13, 1, d));
  EXPECT_FALSE(TryEncodeDate(2001, 4, 31, d));
}

TEST(DateTime, DayOfTheWeekIsIso) {
  double d = 0;
  ASSERT_TRUE(TryEncodeDate(2026, 12, 10, d));  // a Thursday
  EXPECT_EQ(DayOfTheWeek(d + 0.99), 4);
  ASSERT_TRUE(TryEncodeDate(2026, 12, 13, d));  // a Sunday
  EXPECT_EQ(DayOfTheWeek(d), 7);
  EXPECT_EQ(DayOfTheWeek(0), 6);  // 1899-12-30 was a Saturday
}

TEST(DateTime, TimesRoundToTheNearestSecond) {
  EXPECT_EQ(IsoTime(EncodeTime(0, 2, 0)), "00:02:00");
  EXPECT_EQ(IsoTime(EncodeTime(23, 59, 59) - 0.2 / 86400), "23:59:59");
}
