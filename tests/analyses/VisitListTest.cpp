#include "analyses/VisitList.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TAdded {
  std::string Text;
  double Time;
  int Visit;
};

// Visits and pages added in random order of time, with many equal times and texts shared
// between addresses, entries and pages.
struct TRandomVisits {
  TVisitList List;
  std::vector<std::string> Addresses, Entries;
  std::vector<double> Starts;
  std::vector<std::vector<TAdded>> Pages;

  TRandomVisits(unsigned seed, bool inTimeOrder) {
    std::mt19937 random(seed);
    const std::vector<std::string> texts = {"a", "b", "/", "/p", "/q"};
    double time = 0;
    for (int i = 0; i < 300; ++i) {
      time = inTimeOrder ? time + static_cast<double>(random() % 3) : static_cast<double>(random() % 40);
      const bool newVisit = Pages.empty() || random() % 4 == 0;
      if (newVisit) {
        Addresses.push_back(texts[random() % texts.size()]);
        Entries.push_back(texts[random() % texts.size()]);
        Starts.push_back(time);
        Pages.emplace_back();
        List.AddVisit(List.Intern(Addresses.back()), List.Intern(Entries.back()), time);
      }
      const int visit = newVisit ? static_cast<int>(Pages.size()) - 1 : static_cast<int>(random() % Pages.size());
      const std::string& page = texts[random() % texts.size()];
      Pages[static_cast<std::size_t>(visit)].push_back({page, newVisit ? time : time + 1, visit});
      List.AddPage(visit, List.Intern(page), Pages[static_cast<std::size_t>(visit)].back().Time);
    }
    List.Finish();
  }

  // Looking at every node of every visit in turn.
  int FirstHolding(const std::string& text, double time) const {
    for (std::size_t v = 0; v < Pages.size(); ++v) {
      if ((Addresses[v] == text || Entries[v] == text) && Starts[v] == time) return static_cast<int>(v);
      for (const TAdded& page : Pages[v])
        if (page.Text == text && page.Time == time) return static_cast<int>(v);
    }
    return -1;
  }
};

TEST(VisitList, KeepsEachVisitsNodesAndFindsTheFirstVisitHoldingANode) {
  for (bool inTimeOrder : {true, false}) {
    SCOPED_TRACE(inTimeOrder ? "pages in time order" : "pages out of time order");
    const TRandomVisits visits(inTimeOrder ? 7 : 11, inTimeOrder);
    const TVisitList& list = visits.List;
    ASSERT_EQ(list.Count(), static_cast<int>(visits.Pages.size()));
    for (int v = 0; v < list.Count(); ++v) {
      const auto index = static_cast<std::size_t>(v);
      EXPECT_EQ(list.Address(v).Text, visits.Addresses[index]);
      EXPECT_EQ(list.Address(v).Time, visits.Starts[index]);
      EXPECT_EQ(list.Entry(v).Text, visits.Entries[index]);
      EXPECT_EQ(list.Entry(v).Time, visits.Starts[index]);
      ASSERT_EQ(list.PageCount(v), static_cast<int>(visits.Pages[index].size()));
      for (int p = 0; p < list.PageCount(v); ++p) {
        EXPECT_EQ(list.Page(v, p).Text, visits.Pages[index][static_cast<std::size_t>(p)].Text);
        EXPECT_EQ(list.Page(v, p).Time, visits.Pages[index][static_cast<std::size_t>(p)].Time);
      }
    }
    for (const std::string text : {"a", "b", "/", "/p", "/q", "unknown"})
      for (double time = -1; time < 45; ++time)
        ASSERT_EQ(list.FindVisit(text, time), visits.FirstHolding(text, time)) << text << " at " << time;
  }
}

TEST(VisitList, APathIsOrderedByTimeAndEachRowViewedUntilTheNext) {
  TVisitList list;
  // Pages out of time order, one at the visit's own time, and one without a time.
  const std::int32_t visit = list.AddVisit(list.Intern("10.0.0.1"), list.Intern("/"), 100);
  list.AddPage(visit, list.Intern("/late"), 130);
  list.AddPage(visit, list.Intern("/first"), 100);
  list.AddPage(visit, list.Intern("/mid"), 110);
  list.AddPage(visit, list.Intern("/none"), 0);
  list.Finish();

  std::vector<TPathRow> rows;
  list.ListPath(visit, rows);
  struct TExpected {
    std::uint32_t ID;
    const char* Text;
    double Time;
    bool HasTimeViewed;
    double TimeViewed;
  };
  const TExpected expected[] = {
      {5, "/none", 0, false, 0},       {0, "10.0.0.1", 100, true, 0}, {1, "/", 100, true, 0},
      {3, "/first", 100, true, 10},    {4, "/mid", 110, true, 20},    {2, "/late", 130, false, 0},
  };
  ASSERT_EQ(rows.size(), std::size(expected));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(expected[i].Text);
    EXPECT_EQ(rows[i].ID, expected[i].ID);
    EXPECT_EQ(rows[i].Text, expected[i].Text);
    EXPECT_EQ(rows[i].Time, expected[i].Time);
    EXPECT_EQ(rows[i].HasTimeViewed, expected[i].HasTimeViewed);
    if (expected[i].HasTimeViewed) {
      EXPECT_EQ(rows[i].TimeViewed, expected[i].TimeViewed);
    }
  }

  // Times before 1899 are negative: a row followed by one at time 0 is given no time viewed.
  TVisitList early;
  const std::int32_t e = early.AddVisit(early.Intern("a"), early.Intern("/"), -10);
  early.AddPage(e, early.Intern("/x"), -10);
  early.AddPage(e, early.Intern("/y"), 0);
  early.AddPage(e, early.Intern("/z"), 3);
  early.Finish();
  early.ListPath(e, rows);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_TRUE(rows[1].HasTimeViewed);
  EXPECT_EQ(rows[2].Text, "/x");
  EXPECT_FALSE(rows[2].HasTimeViewed);
  EXPECT_TRUE(rows[3].HasTimeViewed);
  EXPECT_EQ(rows[3].TimeViewed, 3);
}

}  // namespace
