#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/DateTime.h"
#include "log/LogDate.h"
#include "log/W2SearchPat.h"

TEST(LogDate, ConvertsToUtc) {
  struct TCase {
    const char* Text;
    const char* Utc;
  };
  const TCase cases[] = {
      {"10/Oct/2000:13:55:36 -0700", "2000-10-10T20:55:36"},
      {"10/OCT/2000:13:55:36 -0700", "2000-10-10T20:55:36"},
      {"10/oct/2000:13:55:36 -0700", "2000-10-10T20:55:36"},
      {"10/Oct/2000:13:55:36 +0200", "2000-10-10T11:55:36"},
      {"01/Jan/2001:00:30:00 +0100", "2000-12-31T23:30:00"},
      {"31/Dec/2000:23:30:00 -0100", "2001-01-01T00:30:00"},
      {"29/Feb/2000:12:00:00 +0000", "2000-02-29T12:00:00"},
      {"1/Dec/1995:00:00:01 -0400", "1995-12-01T04:00:01"},
      {"17/May/2015:10:05:03 +0000", "2015-05-17T10:05:03"},
      {"10/Oct/2000:13:55:36 +0530", "2000-10-10T08:25:36"},
  };
  for (const TCase& c : cases) {
    ASSERT_TRUE(TDSearchPattern::IsLogDate(c.Text)) << c.Text;
    EXPECT_EQ(IsoDateTime(TDSearchPattern::ParseLogDate(c.Text)), c.Utc) << c.Text;
  }
  EXPECT_EQ(TDSearchPattern::ParseLogDate("10/Oct/2000:13:55:36 -0000"),
            TDSearchPattern::ParseLogDate("10/Oct/2000:13:55:36 +0000"));
}

TEST(LogDate, RejectsWhatIsNoLogDate) {
  const char* const texts[] = {
      "31/Feb/2001:10:00:00 +0000",  // impossible date
      "29/Feb/2001:10:00:00 +0000",
      "10/Okt/2000:10:00:00 +0000",  // no such month
      "10/Oct/2000:10:00:00",        // no zone, hence no space and no time
      "[10/Oct/2000:13:55:36 -0700]",
      "10/Oct/2000:24:00:00 +0000",
      "10/Oct/2000:10:60:00 +0000",
      "10/Oct/2000:10:00:00 +2400",
      "10/Oct/2000:10:00:00 +00x0",
      "10/Oct/200:10:00:00 +0000",
      "10-Oct-2000 10:00:00 +0000",
      "0/Oct/2000:10:00:00 +0000",
      "10/Oct/2000: +0000",
      "2002-05-24 20:18:01",
      "-",
      "",
      "31/Jan/2015:14:29:44 ",  // a zone left empty
  };
  for (const char* text : texts) {
    EXPECT_FALSE(TDSearchPattern::IsLogDate(text)) << text;
    EXPECT_THROW(TDSearchPattern::ParseLogDate(text), EConvertError) << text;
  }
}

TEST(LogDate, SeparatorsMustLieWithinTheFirst127Characters) {
  // A day of k digits puts the space before the zone, the farthest separator, at k + 19.
  const auto withDayDigits = [](std::size_t k) { return std::string(k - 1, '0') + "1/Oct/2000:13:55:36 -0700"; };
  ASSERT_EQ(withDayDigits(108).find(' ') + 1, 127U);
  EXPECT_TRUE(TDSearchPattern::IsLogDate(withDayDigits(108)));
  EXPECT_FALSE(TDSearchPattern::IsLogDate(withDayDigits(109)));
}

TEST(LogDate, W3CDatesAndNumbers) {
  double value = 0;
  ASSERT_TRUE(TryParseW3CDateTime("2002-05-24 20:18:01", value));
  EXPECT_EQ(IsoDateTime(value), "2002-05-24T20:18:01");
  ASSERT_TRUE(TryParseW3CDateTime("2002-05-24", value));
  EXPECT_EQ(IsoDateTime(value), "2002-05-24T00:00:00");
  ASSERT_TRUE(TryParseW3CDateTime("20:18:01", value));
  EXPECT_EQ(IsoTime(value), "20:18:01");
  ASSERT_TRUE(TryParseW3CDateTime("2012-08-15 17:00:00.5", value));
  EXPECT_NEAR((value - std::floor(value)) * 86400, 17 * 3600 + 0.5, 1e-6);
  for (const char* bad : {"2002-13-24 20:18:01", "2002-05-24 25:00:00", "24/May/2002", "2002-05-24 ", "x",
                          "2002-05-24 17:00.5:00", "2002-05-24 17:00:00.", "2002-05-24 17:00:00.x"})
    EXPECT_FALSE(TryParseW3CDateTime(bad, value)) << bad;

  std::int64_t number = 0;
  ASSERT_TRUE(TryParseInteger("3221225472", number));  // 3 GB
  EXPECT_EQ(number, 3221225472LL);
  ASSERT_TRUE(TryParseInteger("-12", number));
  EXPECT_EQ(number, -12);
  for (const char* bad : {"", "-", "+", "12a", " 12", "0x10", "99999999999999999999"})
    EXPECT_FALSE(TryParseInteger(bad, number)) << bad;

  // The text form of a split date reads back exactly.
  const double date = TDSearchPattern::ParseLogDate("10/Oct/2000:13:55:36 -0700");
  std::string text;
  AppendDateText(text, date);
  ASSERT_TRUE(TryReadDateText(text, value));
  EXPECT_EQ(value, date);
}

// The reader of consecutive dates skips the parts a date shares with the one before it: every
// date, read after any other, must read as it reads alone.
TEST(LogDate, TheReaderOfConsecutiveDatesReadsEachAsAlone) {
  const std::string far(120, '0');
  const std::vector<std::string> texts = {
      "10/Oct/2000:13:55:36 -0700",   "10/Oct/2000:13:55:37 -0700",   "10/Oct/2000:13:55:3 -0700",
      "10/Oct/2000:13:55:36.250 -0700", "10/Oct/2000:13:55:36  -0700", "10/Oct/2000:13:55 -0700",
      "10/Oct/2000:25:00:00 -0700",   "10/Oct/2000:13:55:36 +0700",   "10/Oct/2000:13:55:36 -07000",
      "10/Oct/2000:13:55:36",         "10/Oct/2000:",                 "10/Oct/2000:" + far + " -0700",
      "10/Oct/2000:1 3:55:36 -0700",  "10/Oct/2000:13:55:36 x-0700",  "11/Oct/2000:13:55:36 -0700",
      "1:10/Oct/2000 13:55:36 -0700", "10/Oct/2000:13:55:36 -0700 ",  "10/Oct/2000:13:55:36 - 0700",
      "10/Oct/2000:13:55:36 -0700x",  "31/Feb/2001:10:00:00 +0000",   "01/Jan/2001:00:30:00 +0100",
      "-",                            "",
  };
  auto alone = [](const std::string& text, double& value) { return TryParseLogDate(text, value); };
  for (const std::string& before : texts) {
    for (const std::string& text : texts) {
      TLogDateReader reader;
      double ignored = 0, expected = 0, actual = 0;
      reader.TryParse(before, ignored);
      const bool read = alone(text, expected);
      ASSERT_EQ(reader.TryParse(text, actual), read) << "'" << text << "' after '" << before << "'";
      if (read) {
        EXPECT_EQ(actual, expected) << "'" << text << "' after '" << before << "'";
      }
      // And once more, as the same date again.
      ASSERT_EQ(reader.TryParse(text, actual), read) << "'" << text << "' twice";
      if (read) {
        EXPECT_EQ(actual, expected) << "'" << text << "' twice";
      }
    }
  }
}
