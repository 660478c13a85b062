#include "analyses/WSSearchUser.h"

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

namespace {

constexpr double FiveMinutes = 5.0 / 1440.0;

double At(int hour, int minute, int second = 0) {
  double day = 0;
  TryEncodeDate(2000, 10, 10, day);
  return day + EncodeTime(hour, minute, second);
}

TEST(TSearchUser, AVisitLastsWhileNoGapExceedsTheTimeArea) {
  TSearchUser users(FiveMinutes);
  EXPECT_TRUE(users.IsNewVisitor("1.2.3.4", At(10, 0)));
  EXPECT_FALSE(users.IsNewVisitor("1.2.3.4", At(10, 4)));
  EXPECT_FALSE(users.IsNewVisitor("1.2.3.4", At(10, 8)));
  EXPECT_FALSE(users.IsNewVisitor("1.2.3.4", At(10, 13)));  // exactly 5 minutes later
  EXPECT_TRUE(users.IsNewVisitor("1.2.3.4", At(10, 19)));
  EXPECT_TRUE(users.IsNewVisitor("1.2.3.4", At(10, 24, 1)));  // one second too late
}

TEST(TSearchUser, AGapOfExactlyTheTimeAreaContinuesForEveryMinuteOfTheDay) {
  TSearchUser users(FiveMinutes);
  for (int minute = 0; minute + 5 < 24 * 60; minute += 5) {
    users.ClearUsers();
    users.IsNewVisitor("a", At(minute / 60, minute % 60));
    EXPECT_FALSE(users.IsNewVisitor("a", At((minute + 5) / 60, (minute + 5) % 60))) << minute;
  }
}

TEST(TSearchUser, ALineOutOfOrderContinuesAndMovesTheHeldTimeBack) {
  TSearchUser users(FiveMinutes);
  EXPECT_TRUE(users.IsNewVisitor("a", At(10, 10)));
  EXPECT_FALSE(users.IsNewVisitor("a", At(10, 0)));
  // Held time is now 10:00, so 10:06 is more than 5 minutes later.
  EXPECT_TRUE(users.IsNewVisitor("a", At(10, 6)));
}

TEST(TSearchUser, AddressesCompareWithoutLetterCaseAndEmptyIsAnAddress) {
  TSearchUser users(FiveMinutes);
  EXPECT_TRUE(users.IsNewVisitor("host.example", At(10, 0)));
  EXPECT_TRUE(users.IsNewVisitor("other.example", At(10, 0)));
  EXPECT_FALSE(users.IsNewVisitor("HOST.Example", At(10, 1)));
  EXPECT_TRUE(users.IsNewVisitor("", At(10, 0)));
  EXPECT_FALSE(users.IsNewVisitor("", At(10, 2)));
  EXPECT_EQ(users.UserCount(), 3u);
}

TEST(TSearchUser, ClearUsersForgetsEveryAddressButKeepsTheTimeArea) {
  TSearchUser users(FiveMinutes);
  users.IsNewVisitor("a", At(10, 0));
  users.IsNewVisitor("b", At(10, 0));
  users.ClearUsers();
  EXPECT_EQ(users.UserCount(), 0u);
  EXPECT_TRUE(users.IsNewVisitor("a", At(10, 1)));
  EXPECT_TRUE(users.IsNewVisitor("b", At(10, 1)));
  EXPECT_FALSE(users.IsNewVisitor("a", At(10, 6)));
  EXPECT_EQ(users.TimeArea(), FiveMinutes);
}

TEST(TSearchUser, TakesAddressAndTimeFromTheParser) {
  auto line = [](const std::string& ip, const std::string& date) {
    testsupport::TCombinedLine combined;
    combined.Ip = ip;
    combined.Date = date;
    return combined.Text();
  };
  const std::vector<std::string> lines{
      line("", "10/Oct/2000:10:00:00 -0700"), line("", "10/Oct/2000:10:05:00 -0700"),
      line("Host", "10/Oct/2000:17:10:00 +0000"), line("host", "10/Oct/2000:10:15:00 -0700"),
      line("", "10/Oct/2000:10:10:01 -0700")};
  testsupport::TParserFixture fixture;
  TDSearchPattern& parser = fixture.Start(lines);
  TSearchUser users(FiveMinutes);
  std::vector<bool> isNew;
  for (const auto& text : lines) isNew.push_back(users.IsNewVisitor(text, parser));
  EXPECT_EQ(isNew, (std::vector<bool>{true, false, true, false, true}));
}

}  // namespace
