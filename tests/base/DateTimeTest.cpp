#include <gtest/gtest.h>

#include "base/DateTime.h"

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

// Texts are written digit by digit where they fit the usual widths and printed otherwise;
// both ways must give what the print format gives.
TEST(DateTime, TextsAtTheEdgesOfTheirWidths) {
  double d = 0;
  ASSERT_TRUE(TryEncodeDate(1, 1, 1, d));
  const double firstDay = d;
  ASSERT_TRUE(TryEncodeDate(9999, 12, 31, d));
  const double lastDay = d;
  const struct {
    double Value;
    const char* DateTime;
  } dates[] = {
      {firstDay, "0001-01-01T00:00:00"},
      {lastDay + EncodeTime(23, 59, 59), "9999-12-31T23:59:59"},
      {lastDay + 1, "10000-01-01T00:00:00"},     // beyond four digits
      {firstDay - 1, "0000-12-31T00:00:00"},     // the year before year 1
      {firstDay - 367, "-001-12-31T00:00:00"},   // a negative year takes the sign into the width
      {-0.25, "1899-12-29T18:00:00"},
  };
  for (const auto& date : dates) EXPECT_EQ(IsoDateTime(date.Value), date.DateTime);

  const struct {
    double Span;
    const char* Time;
  } spans[] = {
      {EncodeTime(99, 59, 59), "99:59:59"},   {EncodeTime(100, 0, 0), "100:00:00"},
      {-EncodeTime(0, 0, 5), "-00:00:05"},    {-EncodeTime(123, 4, 5), "-123:04:05"},
      {0, "00:00:00"},
  };
  for (const auto& span : spans) EXPECT_EQ(IsoTime(span.Span), span.Time);

  std::string text = "x";
  AppendIsoDateTime(text, lastDay);
  AppendIsoTime(text, EncodeTime(1, 2, 3));
  EXPECT_EQ(text, "x9999-12-31T00:00:0001:02:03");
}
