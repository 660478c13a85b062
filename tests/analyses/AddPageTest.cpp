#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analyses/W2frmAddPage.h"
#include "base/DateTime.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "support/FakeCheckList.h"
#include "support/Fakes.h"
#include "support/ParserFixture.h"

namespace {

using testsupport::TCombinedLine;

const std::string CheckListKey = std::string(MainKey) + "\\ProccesCheckList";

double At(const std::string& time) {  // "hh:mm:ss" on 1 March 2024
  double day = 0;
  TryEncodeDate(2024, 3, 1, day);
  return day + EncodeTime(std::stoi(time.substr(0, 2)), std::stoi(time.substr(3, 2)), std::stoi(time.substr(6, 2)));
}

std::string TimeText(double dateTime) { return IsoDateTime(dateTime).substr(11); }

struct TRequest {
  std::string Address;
  std::string Time;
  std::string Page;
};

class AddPage : public testing::Test {
protected:
  testsupport::TParserFixture Fixture;
  testsupport::TFakeHostLookup Lookup;
  std::unique_ptr<TAddPageAnalysis> Analysis;

  void SetUp() override {
    Fixture.Store.CreateKey(MainKey);
    Fixture.Store.WriteValue(MainKey, "MainPage", std::string("/index.html"));
    Fixture.WriteConfig(NotShownListFile, ".gif\r\n<Images>\r\n.png\r\n<Scripts>\r\n.js\r\n");
    Fixture.Start({TCombinedLine{}.Text()});
    Analysis = std::make_unique<TAddPageAnalysis>(Fixture.Globals(), Fixture.Dialogs, Lookup);
    Analysis->CreateTree();
  }

  void Collect(const std::vector<TRequest>& requests) {
    Analysis->PrepareRun();
    for (const auto& r : requests) Analysis->AddRequest(r.Address, At(r.Time), "GET " + r.Page + " HTTP/1.1");
    Analysis->FinishRun();
  }

  // Each visit as "address time: page time, page time, ...".
  std::vector<std::string> Visits() const {
    std::vector<std::string> visits;
    const TVisitList& list = Analysis->Visits();
    for (int i = 0; i < Analysis->VisitCount(); ++i) {
      std::string text = std::string(list.Address(i).Text) + " " + TimeText(list.Address(i).Time) + ":";
      for (int p = 0; p < list.PageCount(i); ++p)
        text += (p == 0 ? " " : ", ") + std::string(list.Page(i, p).Text) + " " + TimeText(list.Page(i, p).Time);
      visits.push_back(text);
    }
    return visits;
  }

  // The path shown, one "Process time viewed" text per row ("-" for no time viewed).
  std::vector<std::string> Path() const {
    std::vector<std::string> rows;
    const TMemTable& path = Analysis->kbmProcess;
    if (!path.Active()) return rows;
    for (int row = 0; row < path.RecordCount(); ++row)
      rows.push_back(path.AsStringAt(row, 1) + " " + TimeText(path.AsDateTimeAt(row, 2)) + " " +
                     (path.IsNullAt(row, 3) ? "-" : IsoTime(path.AsDateTimeAt(row, 3))));
    return rows;
  }

  // A run over log lines with these requests, through the parser.
  void RunLines(const std::vector<std::string>& requests) {
    TCombinedLine line;
    std::vector<std::string> lines;
    for (const auto& request : requests) {
      line.Request = request;
      lines.push_back(line.Text());
    }
    TDSearchPattern& parser = Fixture.Start(lines);
    Analysis = std::make_unique<TAddPageAnalysis>(Fixture.Globals(), Fixture.Dialogs, Lookup);
    Analysis->CreateTree();
    Analysis->PrepareRun();
    EXPECT_FALSE(Analysis->DataEnabled());
    for (const auto& text : lines) Analysis->HandleLine(text, parser);
    Analysis->FinishRun();
  }

  std::vector<std::string> Pages() const {
    std::vector<std::string> pages;
    for (int row = 0; row < Analysis->kbmData.RecordCount(); ++row) pages.push_back(Analysis->kbmData.AsStringAt(row, 4));
    return pages;
  }

  // Clicks the request that arrived as the n-th (1-based) of the run.
  void Click(int arrival) {
    ASSERT_TRUE(Analysis->kbmData.Locate("ID", std::to_string(arrival), false));
    Analysis->ShowPath(Analysis->kbmData.RecNo());
  }
};

TEST_F(AddPage, RequestsOfOneAddressSplitAtTheTimeArea) {
  struct TCase {
    std::vector<TRequest> Requests;
    int Visits;
  };
  const TCase cases[] = {
      {{{"A", "10:00:00", "/a"}, {"A", "10:04:59", "/b"}}, 1},
      {{{"A", "10:00:00", "/a"}, {"A", "10:05:00", "/b"}}, 2},
      {{{"A", "10:00:00", "/a"}, {"A", "10:04:00", "/b"}, {"A", "10:08:00", "/c"}, {"A", "10:12:59", "/d"}}, 1},
      {{{"10.0.0.1", "10:00:00", "/a"}, {"10.0.0.1 ", "10:01:00", "/b"}}, 1},  // blanks are removed
      {{{"host", "10:00:00", "/a"}, {"HOST", "10:01:00", "/b"}}, 2},          // letter case counts
      {{}, 0},
  };
  for (const auto& c : cases) {
    Collect(c.Requests);
    EXPECT_EQ(Analysis->VisitCount(), c.Visits) << c.Requests.size() << " requests";
  }
}

TEST_F(AddPage, VisitsBeginInTheOrderOfTheirFirstRequest) {
  Collect({{"B", "10:09:00", "/b2"}, {"A", "10:00:00", "/a1"}, {"B", "10:01:00", "/b1"}, {"A", "10:02:00", "/a2"}});
  EXPECT_EQ(Visits(), (std::vector<std::string>{"A 10:00:00: /a1 10:00:00, /a2 10:02:00",
                                                "B 10:01:00: /b1 10:01:00",
                                                "B 10:09:00: /b2 10:09:00"}));
  EXPECT_EQ(Analysis->Visits().Entry(0).Text, "/index.html");
  // Every row is assigned, the rows are in time order, and the grid takes clicks.
  std::vector<std::string> times;
  for (int row = 0; row < Analysis->kbmData.RecordCount(); ++row) {
    EXPECT_TRUE(Analysis->kbmData.AsBooleanAt(row, 5));
    times.push_back(TimeText(Analysis->kbmData.AsDateTimeAt(row, 2)));
  }
  EXPECT_EQ(times, (std::vector<std::string>{"10:00:00", "10:01:00", "10:02:00", "10:09:00"}));
  EXPECT_TRUE(Analysis->DataEnabled());
  EXPECT_FALSE(Analysis->kbmData.ControlsDisabled());
}

TEST_F(AddPage, ThePathListsTheVisitWithTheTimeEachPageWasViewed) {
  Collect({{"A", "10:00:00", "/a1"}, {"B", "10:01:00", "/b1"}, {"A", "10:02:00", "/a2"}, {"B", "10:09:00", "/b2"}});
  Click(3);  // A's request of 10:02
  EXPECT_EQ(Path(), (std::vector<std::string>{"A 10:00:00 -",
                                              "/index.html 10:00:00 00:00:00",
                                              "/a1 10:00:00 00:02:00",
                                              "/a2 10:02:00 -"}));
  std::vector<int> ids;
  for (int row = 0; row < Analysis->kbmProcess.RecordCount(); ++row) ids.push_back(Analysis->kbmProcess.AsIntegerAt(row, 0));
  EXPECT_EQ(ids, (std::vector<int>{0, 1, 2, 3}));

  Click(4);  // a visit of one request
  EXPECT_EQ(Path(), (std::vector<std::string>{"B 10:09:00 -", "/index.html 10:09:00 00:00:00", "/b2 10:09:00 -"}));
  EXPECT_TRUE(Fixture.Dialogs.TextsOf("message").empty());
  EXPECT_FALSE(Analysis->kbmProcess.ControlsDisabled());
}

TEST_F(AddPage, ARequestMatchedByTwoVisitsShowsTheOneBegunFirst) {
  Collect({{"B", "10:00:00", "/x"}, {"A", "10:00:00", "/x"}, {"A", "10:00:30", "/y"}});
  Click(2);  // A's /x at the same second as B's
  EXPECT_EQ(Path().front(), "B 10:00:00 -");
  Click(3);
  EXPECT_EQ(Path().front(), "A 10:00:00 -");
}

TEST_F(AddPage, AClickThatNoVisitHoldsSaysNotFound) {
  Collect({});
  Analysis->ShowPath(0);
  Collect({{"A", "10:00:00", "/a"}});
  Analysis->ClearResults();
  Analysis->ShowPath(0);
  EXPECT_EQ(Fixture.Dialogs.TextsOf("message"), (std::vector<std::string>{"not found", "not found"}));
  EXPECT_FALSE(Analysis->kbmProcess.Active());
  EXPECT_FALSE(Analysis->kbmProcess.ControlsDisabled());
  EXPECT_EQ(Analysis->VisitCount(), 0);
}

TEST_F(AddPage, LinesPassTheNotShownListAndTheRequestGivesThePage) {
  Fixture.Store.CreateKey(CheckListKey);
  Fixture.Store.WriteValue(CheckListKey, "Scripts", std::int32_t{0});  // switched off: .js hidden
  RunLines({"GET /index.html HTTP/1.0", "GET /PIC.GIF HTTP/1.0", "GET /a.png HTTP/1.0", "GET /app.JS HTTP/1.0",
            "HEAD /a.html HTTP/1.0", "GET /no-protocol",
            "GET /123456789/123456789/123456789/123456789/123456789/tail HTTP/1.1"});
  for (int row = 0; row < Analysis->kbmData.RecordCount(); ++row) {
    EXPECT_EQ(Analysis->kbmData.AsStringAt(row, 1), "1.2.3.4");
    EXPECT_EQ(Analysis->kbmData.AsStringAt(row, 3), "/index.html");
  }
  EXPECT_EQ(Pages(), (std::vector<std::string>{"/index.html", "/a.png", " /a.html", "",
                                             "/123456789/123456789/123456789/123456789/123456789"}));
  EXPECT_EQ(Analysis->VisitCount(), 1);
}

TEST_F(AddPage, CheckListShowsTheGroupsAndStoresTheirStates) {
  Fixture.Store.CreateKey(CheckListKey);
  Fixture.Store.WriteValue(CheckListKey, "Scripts", std::int32_t{7});
  testsupport::TFakeCheckList box;
  Analysis->FillCheckList(box);
  ASSERT_EQ(box.Count(), 2);
  EXPECT_EQ(box.Items[0].Text, "Images");
  EXPECT_TRUE(box.Items[0].Checked);   // met for the first time: on, and stored so at once
  EXPECT_FALSE(box.Items[1].Checked);  // neither 0 nor 1
  EXPECT_EQ(box.Selected, 0);
  EXPECT_EQ(Fixture.Store.ReadValue(CheckListKey, "Images"), TRegValue(std::int32_t{1}));

  box.Items[0].Checked = false;
  Analysis->SaveCheckList(box);
  EXPECT_EQ(Fixture.Store.ReadValue(CheckListKey, "Images"), TRegValue(std::int32_t{0}));
  EXPECT_EQ(Fixture.Store.ReadValue(CheckListKey, "Scripts"), TRegValue(std::int32_t{0}));

  // The next run leaves out the pages of the groups switched off.
  RunLines({"GET /a.png HTTP/1.0", "GET /b.js HTTP/1.0", "GET /c.html HTTP/1.0", "GET /d.gif HTTP/1.0"});
  EXPECT_EQ(Pages(), (std::vector<std::string>{"/c.html"}));

  Fixture.WriteConfig(NotShownListFile, "only.entries\r\n<broken\r\n");
  testsupport::TFakeCheckList empty;
  Analysis->FillCheckList(empty);
  EXPECT_EQ(empty.Count(), 0);
  EXPECT_EQ(empty.Selected, -1);

  Fixture.RemoveConfig(NotShownListFile);
  EXPECT_THROW(Analysis->FillCheckList(empty), EQelFileError);
  EXPECT_THROW(Analysis->PrepareRun(), EQelFileError);
  EXPECT_FALSE(Analysis->DataEnabled());
}

TEST_F(AddPage, AnInterruptedRunLeavesTheGridDisabledUntilTheNextRunCompletes) {
  Analysis->PrepareRun();
  Analysis->AddRequest("A", At("10:00:00"), "GET /a HTTP/1.1");  // the run ends with an error here
  Analysis->ClearResults();
  EXPECT_FALSE(Analysis->DataEnabled());
  EXPECT_FALSE(Analysis->kbmData.ControlsDisabled());
  Collect({{"B", "10:00:00", "/b"}});
  EXPECT_TRUE(Analysis->DataEnabled());
  EXPECT_FALSE(Analysis->kbmData.ControlsDisabled());
  EXPECT_EQ(Visits(), (std::vector<std::string>{"B 10:00:00: /b 10:00:00"}));
}

TEST_F(AddPage, TheHostNameReplacesTheAddressOfTheShownPath) {
  Collect({{"10.1.2.3", "10:00:00", "/a"}, {"10.1.2.3", "10:01:00", "/b"}});
  Click(1);
  ASSERT_EQ(Lookup.Pending.size(), 1u);
  EXPECT_EQ(Lookup.Pending[0].Address, "10.1.2.3");
  Analysis->kbmProcess.SetRecNo(2);
  Lookup.Complete(0, 0, "dial.pool.isp.net");
  EXPECT_EQ(Path(), (std::vector<std::string>{"isp.net 10:00:00 -", "/index.html 10:00:00 00:00:00",
                                              "/a 10:00:00 00:01:00", "/b 10:01:00 -"}));
  EXPECT_EQ(Analysis->kbmProcess.RecNo(), 2);
  EXPECT_FALSE(Analysis->kbmProcess.ControlsDisabled());
}

TEST_F(AddPage, AnswersThatDoNotFitTheShownPathChangeNothing) {
  Collect({{"10.1.2.3", "10:00:00", "/a"}, {"10.9.9.9", "10:00:10", "/b"}, {"host.example", "10:00:20", "/c"},
           {"1.2.3.256", "10:00:30", "/d"}});
  Click(3);
  Click(4);
  EXPECT_TRUE(Lookup.Pending.empty());  // no lookup for a name or a non-address

  const std::vector<std::string> pathOfA = {"10.1.2.3 10:00:00 -", "/index.html 10:00:00 00:00:00", "/a 10:00:00 -"};
  struct TCase {
    const char* Name;
    int Error;
    const char* Answer;
    bool ClickOtherFirst;
    bool ClearFirst;
  };
  const TCase cases[] = {
      {"failure", 11004, "", false, false},
      {"name equal to the address", 0, "10.1.2.3", false, false},
      {"late answer for another path", 0, "dial.isp.net", true, false},
      {"late answer after clear", 0, "dial.isp.net", false, true},
  };
  for (const auto& c : cases) {
    Click(1);
    ASSERT_EQ(Lookup.Pending.size(), 1u) << c.Name;
    if (c.ClickOtherFirst) {
      Click(2);
      Lookup.Pending.pop_back();  // the other path's own lookup
    }
    if (c.ClearFirst) Analysis->ClearResults();
    const auto before = Path();
    Lookup.Complete(0, c.Error, c.Answer);
    EXPECT_EQ(Path(), before) << c.Name;
    if (!c.ClickOtherFirst && !c.ClearFirst) {
      EXPECT_EQ(Path(), pathOfA) << c.Name;
    }
    if (c.ClearFirst) Collect({{"10.1.2.3", "10:00:00", "/a"}, {"10.9.9.9", "10:00:10", "/b"}});
  }

  Lookup.RefuseStart = true;
  Click(1);
  EXPECT_EQ(Path(), pathOfA);
  EXPECT_TRUE(Lookup.Pending.empty());

  Lookup.RefuseStart = false;
  Click(1);
  Analysis.reset();  // an answer after the tab is gone is dropped
  Lookup.Complete(0, 0, "dial.isp.net");
}

// The visits as the rewind scan over the time-ordered rows forms them: a visit begins at the
// first row not yet assigned and collects the rows of its address until a row lies the time
// area or more after the visit's latest row; the scan then goes back to the first row of
// another address met since the visit began.
std::vector<std::vector<int>> RewindScan(const std::vector<std::string>& address, const std::vector<double>& time,
                                         double area) {
  const int n = static_cast<int>(address.size());
  const double margin = 0.5 / 86400000.0;
  std::vector<std::vector<int>> visits;
  std::vector<bool> assigned(static_cast<std::size_t>(n));
  if (n == 0) return visits;
  std::string cursorAddress;
  double cursorTime = time[0] - 2 * area;
  int rewind = -1;
  for (int i = 0;; ++i) {
    if (i < n && !assigned[i] && !visits.empty() && address[i] == cursorAddress && time[i] - cursorTime < area - margin) {
      visits.back().push_back(i);
      cursorTime = time[i];
      assigned[i] = true;
    }
    if (i >= n || time[i] - cursorTime >= area - margin) {
      int y = rewind >= 0 ? rewind : i;
      while (y < n && assigned[y]) ++y;
      if (y >= n) break;
      visits.push_back({y});
      cursorAddress = address[y];
      cursorTime = time[y];
      assigned[y] = true;
      rewind = -1;
      i = y;
    }
    if (i < n && address[i] != cursorAddress && rewind < 0) rewind = i;
  }
  EXPECT_TRUE(std::all_of(assigned.begin(), assigned.end(), [](bool a) { return a; }));
  return visits;
}

// Compares the visits and the visit found for the clicks (every step-th row) with the rewind
// scan over kbmData and with searching the visits one after the other.
void ExpectVisitsAsScannedAndSearched(const TAddPageAnalysis& analysis, int step) {
  const TMemTable& data = analysis.kbmData;
  std::vector<std::string> address, page;
  std::vector<double> time;
  for (int row = 0; row < data.RecordCount(); ++row) {
    address.push_back(data.AsStringAt(row, 1));
    time.push_back(data.AsDateTimeAt(row, 2));
    page.push_back(data.AsStringAt(row, 4));
  }
  auto describe = [](const std::string& text, double at) { return text + " " + IsoDateTime(at); };
  std::vector<std::string> expected, actual;
  for (const auto& visit : RewindScan(address, time, analysis.TimeArea())) {
    std::string text = describe(address[visit[0]], time[visit[0]]) + ":";
    for (int row : visit) text += " " + describe(page[row], time[row]);
    expected.push_back(text);
  }
  const TVisitList& visits = analysis.Visits();
  for (int v = 0; v < analysis.VisitCount(); ++v) {
    std::string text = describe(std::string(visits.Address(v).Text), visits.Address(v).Time) + ":";
    for (int p = 0; p < visits.PageCount(v); ++p)
      text += " " + describe(std::string(visits.Page(v, p).Text), visits.Page(v, p).Time);
    actual.push_back(text);
  }
  ASSERT_EQ(actual, expected);

  // The visit search against looking at every node of every visit in turn.
  auto holds = [&](int v, const std::string& text, double at) {
    if (visits.Address(v).Text == text && visits.Address(v).Time == at) return true;
    if (visits.Entry(v).Text == text && visits.Entry(v).Time == at) return true;
    for (int p = 0; p < visits.PageCount(v); ++p)
      if (visits.Page(v, p).Text == text && visits.Page(v, p).Time == at) return true;
    return false;
  };
  for (int row = 0; row < data.RecordCount(); row += step) {
    int first = -1;
    for (int v = 0; v < analysis.VisitCount() && first < 0; ++v)
      if (holds(v, page[row], time[row])) first = v;
    ASSERT_EQ(analysis.VisitOfRow(row), first) << "row " << row;
  }
}

TEST_F(AddPage, VisitsAndClickedPathsAgreeWithTheRewindScanAndTheVisitSearch) {
  std::mt19937 random(20240301);
  // Addresses that equal a page, pages that equal the main page, many equal times and gaps of
  // exactly the time area.
  const std::vector<std::string> addresses = {"a", "b", "c", "A", "/p1"};
  const std::vector<std::string> pages = {"/p1", "/p2", "/index.html"};
  for (int round = 0; round < 20; ++round) {
    std::vector<TRequest> requests;
    for (int i = 0; i < 60; ++i) {
      int seconds = static_cast<int>(random() % 1800) / 30 * 30;
      char time[16];
      std::snprintf(time, sizeof time, "10:%02d:%02d", seconds / 60, seconds % 60);
      requests.push_back({addresses[random() % addresses.size()], time, pages[random() % pages.size()]});
    }
    Collect(requests);
    SCOPED_TRACE("round " + std::to_string(round));
    ExpectVisitsAsScannedAndSearched(*Analysis, 1);
  }
}

// Real traffic whose seconds are shuffled within each minute.
TEST_F(AddPage, VisitsOfARealLogAgreeWithTheRewindScan) {
  const std::string path = testsupport::CorpusDir() + "/apache/elastic_apache_logs_2015.log";
  std::ifstream file(path, std::ios::binary);
  if (!file) GTEST_SKIP() << "no corpus at " << path;
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  TDSearchPattern& parser = Fixture.Start(lines);
  Analysis = std::make_unique<TAddPageAnalysis>(Fixture.Globals(), Fixture.Dialogs, Lookup);
  Analysis->CreateTree();
  Analysis->PrepareRun();
  for (const auto& line : lines) Analysis->HandleLine(line, parser);
  Analysis->FinishRun();
  ASSERT_GT(Analysis->VisitCount(), 1000);
  ExpectVisitsAsScannedAndSearched(*Analysis, 7);
}

TEST_F(AddPage, EveryVisitCanBeListedInOrder) {
  Collect({{"A", "10:00:00", "/a1"}, {"B", "10:01:00", "/b1"}, {"A", "10:02:00", "/a2"}});
  ASSERT_EQ(Analysis->VisitCount(), 2);
  ASSERT_TRUE(Analysis->ListVisitPath(1));
  EXPECT_EQ(Path(), (std::vector<std::string>{"B 10:01:00 -", "/index.html 10:01:00 00:00:00", "/b1 10:01:00 -"}));
  EXPECT_FALSE(Analysis->ListVisitPath(2));
  EXPECT_TRUE(Lookup.Pending.empty());
}

}  // namespace
