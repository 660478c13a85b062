// The short statistics over small combined logs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "agents/AgentClassifier.h"
#include "analyses/W2FrmGeneral.h"
#include "base/DateTime.h"
#include "log/W2SearchPat.h"
#include "platform/PlainLocalFormat.h"
#include "support/ParserFixture.h"

namespace {

using testsupport::TCombinedLine;
using testsupport::TParserFixture;
using TRows = std::vector<std::vector<std::string>>;

constexpr double FiveMinutes = 5.0 / 1440.0;

TCombinedLine Line(const std::string& ip, const std::string& date, const std::string& bytes = "100",
                   const std::string& status = "200", const std::string& agent = "Mozilla/5.0") {
  TCombinedLine line;
  line.Ip = ip;
  line.Date = date;
  line.Bytes = bytes;
  line.Status = status;
  line.Agent = agent;
  return line;
}

TRows Rows(const TMemTable& table) {
  TRows rows;
  for (int row = 0; row < table.RecordCount(); ++row) {
    rows.emplace_back();
    for (int field = 0; field < table.FieldCount(); ++field) rows.back().push_back(table.AsStringAt(row, field));
  }
  return rows;
}

double Now() {
  double day = 0;
  TryEncodeDate(2020, 1, 1, day);
  return day + 0.5;
}

// One analysis over one log; Run goes through the whole run protocol.
class GeneralAnalysisTest : public ::testing::Test {
protected:
  void Start(const std::vector<TCombinedLine>& lines) {
    for (const auto& line : lines) FLines.push_back(line.Text());
    FParser = &FFixture.Start(FLines);
    FAnalysis = std::make_unique<TGeneralAnalysis>(FFixture.Globals(), FFormat, FAgents);
    FAnalysis->CreateSearchUser(FiveMinutes);
  }
  void Run() {
    FAnalysis->PrepareRun(Now());
    for (const auto& line : FLines) FAnalysis->HandleLine(line, *FParser);
    FAnalysis->ShowResults(static_cast<std::int64_t>(FLines.size()));
  }
  void Run(const std::vector<TCombinedLine>& lines) {
    Start(lines);
    Run();
  }
  TRows General() const { return Rows(FAnalysis->kbmGeneral); }

  TParserFixture FFixture;
  TPlainLocalFormat FFormat;
  TAgentClassifier FAgents;  // without rules, so that agents get BrowserName
  std::vector<std::string> FLines;
  TDSearchPattern* FParser = nullptr;
  std::unique_ptr<TGeneralAnalysis> FAnalysis;
};

TEST_F(GeneralAnalysisTest, LinesOfOneInstant) {
  Run({Line("1.1.1.1", "10/Oct/2000:13:55:36 -0700", "100"), Line("1.1.1.1", "10/Oct/2000:13:55:36 -0700", "250"),
       Line("2.2.2.2", "10/Oct/2000:13:55:36 -0700", "-")});
  EXPECT_EQ(General(), (TRows{{"Time Area", "1 Day(s)"},
                              {"Start Recording", "2000-10-10 20:55:36"},
                              {"End Recording", "2000-10-10 20:55:36"},
                              {"Hits", "3"},
                              {"Visitors", "2"},
                              {"Average Data Transferred per Day", "350 bytes"},
                              {"Average Hits per Day", "3 hits"}}));
  EXPECT_EQ(FAnalysis->StartRecording(), FAnalysis->EndRecording());
}

TEST_F(GeneralAnalysisTest, TwoCalendarDaysWithinOnePeriodAndDayTotalsAbove32Bits) {
  Run({Line("1.1.1.1", "01/Jan/2001:23:00:00 +0000", "1000"),
       Line("1.1.1.1", "02/Jan/2001:00:30:00 +0000", "3000000000"),
       Line("1.1.1.1", "02/Jan/2001:01:00:00 +0000", "2000000000")});
  const TRows rows = General();
  EXPECT_EQ(rows[0][1], "1 Day(s)");
  EXPECT_EQ(rows[1][1], "2001-01-01 23:00:00");
  EXPECT_EQ(rows[2][1], "2001-01-02 01:00:00");
  EXPECT_EQ(rows[4][1], "3");  // gaps of 90 and 30 minutes
  EXPECT_EQ(rows[5][1], "5 gigabytes");
  EXPECT_EQ(rows[6][1], "2 hits");
}

TEST_F(GeneralAnalysisTest, LinesOutOfTimeOrderGiveTheEarliestAndLatest) {
  Run({Line("1.1.1.1", "10/Oct/2000:12:00:00 +0000"), Line("1.1.1.1", "09/Oct/2000:08:00:00 +0000"),
       Line("1.1.1.1", "12/Oct/2000:18:00:00 +0000"), Line("1.1.1.1", "10/Oct/2000:12:00:00 +0000")});
  const TRows rows = General();
  EXPECT_EQ(rows[0][1], "4 Day(s)");  // 3 days 10 hours
  EXPECT_EQ(rows[1][1], "2000-10-09 08:00:00");
  EXPECT_EQ(rows[2][1], "2000-10-12 18:00:00");
  EXPECT_EQ(rows[5][1], "200 bytes");
  EXPECT_EQ(rows[6][1], "2 hits");
}

TEST_F(GeneralAnalysisTest, NoLineHandled) {
  Start({Line("1.1.1.1", "10/Oct/2000:12:00:00 +0000")});
  FAnalysis->PrepareRun(Now());
  FAnalysis->ShowResults(0);
  EXPECT_EQ(General(), (TRows{{"Time Area", "43832 Day(s)"},
                              {"Start Recording", "2020-01-01 12:00:00"},
                              {"End Recording", "1899-12-30"},
                              {"Hits", "0"},
                              {"Visitors", "0"},
                              {"Average Data Transferred per Day", "0 bytes"},
                              {"Average Hits per Day", "0 hits"}}));
  EXPECT_TRUE(FAnalysis->kbmStatusCodes.IsEmpty());
  EXPECT_TRUE(FAnalysis->kbmBrowser.IsEmpty());
}

TEST_F(GeneralAnalysisTest, StatusCodesAreCountedByTheirTexts) {
  // 301 and 302 have texts that differ only in letter case: one entry, spelled as met first.
  FFixture.WriteConfig("errorcodes.lac", TParserFixture::TableText({{"Index", "Text"},
                                                                    {"0", "no status"},
                                                                    {"200", "OK"},
                                                                    {"301", "Moved"},
                                                                    {"302", "MOVED"},
                                                                    {"200", "second row for 200"}}));
  const std::string date = "10/Oct/2000:12:00:00 +0000";
  Run({Line("a", date, "1", "302"), Line("a", date, "1", "200"), Line("a", date, "1", "-"),
       Line("a", date, "1", "999"), Line("a", date, "1", "301"), Line("a", date, "1", "200"),
       Line("a", date, "1", "200"), Line("a", date, "1", "999")});
  EXPECT_EQ(Rows(FAnalysis->kbmStatusCodes), (TRows{{"OK", "3"},
                                                    {"MOVED", "2"},
                                                    {"unknown status code (999)", "2"},
                                                    {"no status", "1"}}));
}

TEST_F(GeneralAnalysisTest, BrowsersAreCountedByNameAndOrderedByCount) {
  const std::string date = "10/Oct/2000:12:00:00 +0000";
  Run({Line("a", date, "1", "200", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"),
       Line("a", date, "1", "200", "Mozilla/5.0 (Windows; U; Windows NT 5.1; de-DE; rv:1.4) Gecko"),
       Line("a", date, "1", "200", "Mozilla/4.0 (compatible; MSIE 6.0; Windows 98)"),
       Line("a", date, "1", "200", "-"),
       Line("a", date, "1", "200", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)"),
       Line("a", date, "1", "200", "")});
  EXPECT_EQ(Rows(FAnalysis->kbmBrowser), (TRows{{"MSIE 6.0", "3"}, {"unknown", "2"}, {"Mozilla/5.0", "1"}}));
}

TEST_F(GeneralAnalysisTest, ASecondRunGivesTheSameResults) {
  Start({Line("a", "10/Oct/2000:12:00:00 +0000", "10", "200", "Opera 7.11"),
         Line("b", "10/Oct/2000:12:01:00 +0000", "20", "404"),
         Line("a", "10/Oct/2000:12:30:00 +0000", "30", "200", "Opera 7.11")});
  Run();
  const TRows general = General();
  const TRows status = Rows(FAnalysis->kbmStatusCodes);
  const TRows browser = Rows(FAnalysis->kbmBrowser);
  EXPECT_EQ(general[4][1], "3");
  Run();
  EXPECT_EQ(General(), general);
  EXPECT_EQ(Rows(FAnalysis->kbmStatusCodes), status);
  EXPECT_EQ(Rows(FAnalysis->kbmBrowser), browser);
}

TEST_F(GeneralAnalysisTest, ClearingRemovesTheCaptionsAndTheNextStartBringsThemBack) {
  Start({Line("a", "10/Oct/2000:12:00:00 +0000")});
  FAnalysis->PrepareRun(Now());
  EXPECT_TRUE(FAnalysis->kbmGeneral.ControlsDisabled());  // the grids wait for the results
  FAnalysis->ShowResults(1);
  EXPECT_FALSE(FAnalysis->kbmGeneral.ControlsDisabled());

  FAnalysis->ClearResults();
  for (const TMemTable* table : {&FAnalysis->kbmGeneral, &FAnalysis->kbmStatusCodes, &FAnalysis->kbmBrowser})
    EXPECT_FALSE(table->Active());

  FAnalysis->PrepareRun(Now());
  const TRows rows = General();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Time Area", ""}));
  EXPECT_EQ(rows[6], (std::vector<std::string>{"Average Hits per Day", ""}));

  // A run that ends without results leaves the display suspended until the next clear.
  FAnalysis->ClearResults();
  EXPECT_FALSE(FAnalysis->kbmGeneral.ControlsDisabled());
}

TEST_F(GeneralAnalysisTest, ParserErrorsPassThrough) {
  FFixture.WriteConfig("LogTypes/combined.lf", TParserFixture::TableText({{"Name", "LeftChar", "RightChar"},
                                                                           {"IP", " ", " "},
                                                                           {"user", " ", " "},
                                                                           {"auth", " ", " "},
                                                                           {"Date", "[", "]"},
                                                                           {"Request", "\"", "\""},
                                                                           {"StatusCode", " ", " "},
                                                                           {"Bytes", " ", " "},
                                                                           {"Referrer", "\"", "\""},
                                                                           {"Agent", "\"", "\""}}));
  Start({Line("a", "10/Oct/2000:12:00:00 +0000")});
  FAnalysis->PrepareRun(Now());
  EXPECT_THROW(FAnalysis->HandleLine(FLines[0], *FParser), ETDSearchPatternError);
}

}  // namespace
