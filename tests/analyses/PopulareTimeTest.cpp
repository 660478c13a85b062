// Hits per hour of the day and per day of the week over small combined logs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "analyses/W2PopulareTime.h"
#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

namespace {

using testsupport::TCombinedLine;
using testsupport::TParserFixture;

constexpr int AllHits = 0, PerUser = 1;
constexpr int Hours = 0, Weekdays = 1;

struct TBar {
  int Id;
  std::string Name;
  int Sum;
  bool operator==(const TBar&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TBar& bar) {
  return out << "{" << bar.Id << ", " << bar.Name << ", " << bar.Sum << "}";
}

std::string At(const std::string& ip, const std::string& date) {
  TCombinedLine line;
  line.Ip = ip;
  line.Date = date;
  return line.Text();
}

class PopulareTimeTest : public ::testing::Test {
protected:
  // A whole run over the lines; the parser is set up from the first line given to Start.
  std::vector<TBar> Run(int analyseIndex, int chooseIndex, const std::vector<std::string>& lines) {
    FAnalysis.PrepareRun(analyseIndex, chooseIndex);
    for (const auto& line : lines) FAnalysis.HandleLine(line, *FParser);
    FAnalysis.FinishRun();
    return Bars();
  }
  void Start(const std::vector<std::string>& lines) {
    FParser = &FFixture.Start(lines);
    FAnalysis.CreateSearchUser(5.0 / 1440.0);
  }
  std::vector<TBar> Bars() const {
    const TMemTable& table = FAnalysis.kbmPopulareTime;
    std::vector<TBar> bars;
    for (int row = 0; row < table.RecordCount(); ++row)
      bars.push_back({table.AsIntegerAt(row, 0), table.AsStringAt(row, 1), table.AsIntegerAt(row, 2)});
    return bars;
  }

  TParserFixture FFixture;
  TDSearchPattern* FParser = nullptr;
  TPopulareTimeAnalysis FAnalysis;
};

TEST(TPopulareTimeAnalysis, ListItems) {
  EXPECT_EQ(TPopulareTimeAnalysis::ChooseItems(),
            (std::vector<std::string>{"most popular hour of the day", "most popular day of the week"}));
  EXPECT_EQ(TPopulareTimeAnalysis::AnalyseItems(), (std::vector<std::string>{"all hits", "per user"}));
}

TEST_F(PopulareTimeTest, HoursOfTheDayWithMidnightLabelled24) {
  const std::vector<std::string> lines{At("a", "10/Oct/2000:00:30:00 +0000"), At("a", "10/Oct/2000:00:45:00 +0000"),
                                       At("a", "10/Oct/2000:13:10:00 +0000")};
  Start(lines);
  const std::vector<TBar> bars = Run(AllHits, Hours, lines);
  ASSERT_EQ(bars.size(), 24u);
  for (int hour = 0; hour < 24; ++hour) {
    const int expected = hour == 0 ? 2 : hour == 13 ? 1 : 0;
    EXPECT_EQ(bars[hour], (TBar{hour, hour == 0 ? "24" : std::to_string(hour), expected}));
  }
}

TEST_F(PopulareTimeTest, HoursFollowUtc) {
  const std::vector<std::string> lines{At("a", "10/Oct/2000:13:55:36 -0700")};
  Start(lines);
  EXPECT_EQ(Run(AllHits, Hours, lines)[20].Sum, 1);
}

TEST_F(PopulareTimeTest, WeekdaysStartWithTheDayOfTheFirstCountedLine) {
  // 11 October 2000 was a Wednesday, 16 October a Monday.
  const std::vector<std::string> lines{At("a", "11/Oct/2000:10:00:00 +0000"), At("a", "16/Oct/2000:10:00:00 +0000"),
                                       At("b", "11/Oct/2000:23:59:59 +0000")};
  Start(lines);
  EXPECT_EQ(Run(AllHits, Weekdays, lines), (std::vector<TBar>{{0, "Wednesday", 2},
                                                              {1, "Thursday", 0},
                                                              {2, "Friday", 0},
                                                              {3, "Saturday", 0},
                                                              {4, "Sunday", 0},
                                                              {5, "Monday", 1},
                                                              {6, "Tuesday", 0}}));
}

TEST_F(PopulareTimeTest, PerUserCountsTheLinesThatBeginAVisit) {
  const std::vector<std::string> lines{At("a", "10/Oct/2000:10:00:00 +0000"), At("a", "10/Oct/2000:10:03:00 +0000"),
                                       At("a", "10/Oct/2000:10:20:00 +0000")};
  Start(lines);
  EXPECT_EQ(Run(PerUser, Hours, lines)[10].Sum, 2);
  EXPECT_EQ(Run(AllHits, Hours, lines)[10].Sum, 3);
  // The lookup starts empty at every run, so a second run counts the same.
  EXPECT_EQ(Run(PerUser, Hours, lines)[10].Sum, 2);
}

TEST_F(PopulareTimeTest, ARunThatCountsNothing) {
  Start({At("a", "10/Oct/2000:10:00:00 +0000")});
  EXPECT_TRUE(Run(AllHits, Weekdays, {}).empty());
  EXPECT_TRUE(FAnalysis.kbmPopulareTime.Active());

  const std::vector<TBar> bars = Run(AllHits, Hours, {});
  ASSERT_EQ(bars.size(), 24u);
  EXPECT_EQ(bars[0], (TBar{0, "24", 0}));
  EXPECT_EQ(bars[23], (TBar{23, "23", 0}));
}

TEST_F(PopulareTimeTest, ClearEmptiesAndClosesTheTable) {
  const std::vector<std::string> lines{At("a", "10/Oct/2000:10:00:00 +0000")};
  Start(lines);
  FAnalysis.PrepareRun(AllHits, Hours);
  EXPECT_TRUE(FAnalysis.kbmPopulareTime.ControlsDisabled());  // the chart waits for FinishRun
  FAnalysis.ClearResults();
  EXPECT_FALSE(FAnalysis.kbmPopulareTime.Active());
  EXPECT_FALSE(FAnalysis.kbmPopulareTime.ControlsDisabled());
  EXPECT_EQ(Run(AllHits, Hours, lines)[10].Sum, 1);
}

}  // namespace
