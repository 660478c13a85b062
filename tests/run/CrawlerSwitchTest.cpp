// The combined run with the installed agent data: crawlers named in the short statistics,
// left out of every analysis on request, and the data loaded when a run starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "agents/AgentClassifier.h"
#include "agents/AgentDataFile.h"
#include "analyses/W2FrmGeneral.h"
#include "analyses/W2FrmTabMGrid.h"
#include "analyses/W2PopulareTime.h"
#include "analyses/W2frmAddPage.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "platform/PlainLocalFormat.h"
#include "run/AnalysisRun.h"
#include "run/CombinedRun.h"
#include "support/Fakes.h"
#include "support/ParserFixture.h"

using namespace testsupport;

namespace {

const std::string Chrome =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36";
const std::string Googlebot = "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)";
const std::string Curl = "curl/8.4.0";

std::string Line(const std::string& ip, const std::string& time, const std::string& page, const std::string& agent,
                 const std::string& referrer = "-") {
  TCombinedLine line;
  line.Ip = ip;
  line.Date = "10/Oct/2000:" + time + " +0000";
  line.Request = "GET " + page + " HTTP/1.1";
  line.Referrer = referrer;
  line.Agent = agent;
  return line.Text();
}

// Two people and two crawlers.
std::vector<std::string> Mixed() {
  return {
      Line("1.1.1.1", "10:00:00", "/index.html", Chrome, "http://www.google.com/search?q=red+shoes"),
      Line("9.9.9.9", "10:00:30", "/index.html", Googlebot),
      Line("1.1.1.1", "10:01:00", "/shop.html", Chrome),
      Line("8.8.8.8", "11:00:00", "/robots.txt", Curl),
      Line("2.2.2.2", "12:00:00", "/shop.html", "Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:120.0) Gecko/20100101 Firefox/120.0"),
      Line("9.9.9.9", "12:00:05", "/shop.html", Googlebot),
  };
}

using TRows = std::vector<std::pair<std::string, std::string>>;

TRows RowsOf(const TMemTable& table) {
  TRows rows;
  for (int row = 0; row < table.RecordCount(); ++row) rows.emplace_back(table.AsStringAt(row, 0), table.AsStringAt(row, 1));
  return rows;
}

// Every analysis of the combined run over a program folder with the installed agent data.
class CrawlerSwitchTest : public ::testing::Test {
protected:
  CrawlerSwitchTest() {
    Fixture.WriteConfig(AgentDataFileName, ReadBytes(std::string(TREVALO_INSTALLED_CONFIG) + "/" + AgentDataFileName));
    Fixture.WriteConfig("notschown.lst", "");
  }

  void Start(const std::vector<std::string>& lines) {
    Fixture.Start(lines);
    Globals = &Fixture.Globals();
    Run = std::make_unique<TAnalysisRun>(*Globals, Fixture.Dialogs, Host);
    General = std::make_unique<TGeneralAnalysis>(*Globals, Format, Agents);
    Search = std::make_unique<TTabMGridAnalysis>(Fixture.Dialogs);
    Pages = std::make_unique<TTabMGridAnalysis>(Fixture.Dialogs);
    AddPage = std::make_unique<TAddPageAnalysis>(*Globals, Fixture.Dialogs, Lookup);
    Search->CreateLists();
    Pages->CreateLists();
    AddPage->CreateTree();
    Commands = std::make_unique<TCombinedRun>(*Globals, *Run, *General, Hours, *Search, *Pages, *AddPage, Agents,
                                              [] { return 40000.0; });
  }
  void RunAll() { Commands->RunAll({Fixture.LogPath()}, 0, 0); }
  std::string Summary(const std::string& caption) const {
    for (const auto& [description, value] : RowsOf(General->kbmGeneral))
      if (description == caption) return value;
    return "<none>";
  }
  int Sum(const TTabMGridAnalysis& ranked) const {
    int sum = 0;
    const int summe = ranked.kbmSummen.FieldNo("Summe");
    for (int row = 0; row < ranked.kbmSummen.RecordCount(); ++row) sum += ranked.kbmSummen.AsIntegerAt(row, summe);
    return sum;
  }

  TParserFixture Fixture;
  Tglobals* Globals = nullptr;
  TFakeRunHost Host;
  TFakeHostLookup Lookup;
  TPlainLocalFormat Format;
  TAgentClassifier Agents;
  std::unique_ptr<TAnalysisRun> Run;
  std::unique_ptr<TGeneralAnalysis> General;
  TPopulareTimeAnalysis Hours;
  std::unique_ptr<TTabMGridAnalysis> Search, Pages;
  std::unique_ptr<TAddPageAnalysis> AddPage;
  std::unique_ptr<TCombinedRun> Commands;
};

TEST_F(CrawlerSwitchTest, CrawlersAreCountedByNameAndEveryLineCountsByDefault) {
  Start(Mixed());
  RunAll();
  EXPECT_EQ(Summary("Hits"), "6");
  EXPECT_EQ(Summary(CrawlersLeftOutCaption), "<none>");
  EXPECT_EQ(RowsOf(General->kbmCrawler), (TRows{{"Googlebot", "2"}, {"curl", "1"}}));
  EXPECT_EQ(RowsOf(General->kbmSystem), (TRows{{"unknown", "3"}, {"Windows", "2"}, {"Ubuntu", "1"}}));
  EXPECT_EQ(RowsOf(General->kbmBrowser), (TRows{{"Chrome", "2"}, {"Googlebot", "2"}, {"curl", "1"}, {"Firefox", "1"}}));
  EXPECT_EQ(Sum(*Pages), 6);
}

TEST_F(CrawlerSwitchTest, LeftOutCrawlersReachNoAnalysis) {
  Start(Mixed());
  Commands->SetLeaveOutCrawlers(true);
  RunAll();
  EXPECT_EQ(Summary("Hits"), "3");
  EXPECT_EQ(Summary("Visitors"), "2");
  EXPECT_EQ(Summary(CrawlersLeftOutCaption), "3");
  EXPECT_EQ(General->kbmCrawler.RecordCount(), 0);
  EXPECT_EQ(RowsOf(General->kbmBrowser), (TRows{{"Chrome", "2"}, {"Firefox", "1"}}));
  EXPECT_EQ(Sum(*Pages), 3);
  EXPECT_EQ(Sum(*Search), 1);
  int hours = 0;
  const int sum = Hours.kbmPopulareTime.FieldNo("Sum");
  for (int row = 0; row < Hours.kbmPopulareTime.RecordCount(); ++row) hours += Hours.kbmPopulareTime.AsIntegerAt(row, sum);
  EXPECT_EQ(hours, 3);
  // The visitor paths of people only.
  Commands->StartProcess({Fixture.LogPath()});
  EXPECT_EQ(AddPage->VisitCount(), 2);
}

TEST_F(CrawlerSwitchTest, ALogOfCrawlersOnlyGivesNoHits) {
  Start({Line("9.9.9.9", "10:00:00", "/", Googlebot), Line("8.8.8.8", "10:00:01", "/", Curl)});
  Commands->SetLeaveOutCrawlers(true);
  Commands->StartGeneral({Fixture.LogPath()});
  EXPECT_EQ(Summary("Hits"), "0");
  EXPECT_EQ(Summary("Visitors"), "0");
  EXPECT_EQ(Summary(CrawlersLeftOutCaption), "2");
  EXPECT_EQ(General->kbmBrowser.RecordCount(), 0);
}

TEST_F(CrawlerSwitchTest, TheUsersTableComesFirstAndItsBadRowsAreNamed) {
  Fixture.WriteConfig(UserAgentsFileName,
                      "'regex';'browser';'version';'crawler'\r\n'^curl/';;;'-'\r\n'(';;;'x'\r\n"
                      "'Chrome/(\\d+)';'In-house browser';'$1';'In-house monitor'\r\n");
  Start(Mixed());
  Commands->SetLeaveOutCrawlers(true);
  RunAll();
  EXPECT_EQ(Fixture.Dialogs.TextsOf("warning").size(), 1u);
  EXPECT_NE(Fixture.Dialogs.TextsOf("warning")[0].find(UserAgentsFileName + std::string(", line 3")), std::string::npos);
  EXPECT_EQ(Summary(CrawlersLeftOutCaption), "4");  // two Googlebot, two in-house monitor lines
  EXPECT_EQ(RowsOf(General->kbmBrowser), (TRows{{"curl", "1"}, {"Firefox", "1"}}));
}

TEST_F(CrawlerSwitchTest, DamagedDataStopsTheRunBeforeAnyTabIsTouched) {
  Start(Mixed());
  RunAll();
  const TRows before = RowsOf(General->kbmGeneral);
  std::string data = ReadBytes(Fixture.ConfigDir() + AgentDataFileName);
  data.resize(data.size() / 2);
  WriteBytes(Fixture.ConfigDir() + AgentDataFileName, data);
  try {
    RunAll();
    FAIL() << "no error";
  } catch (const EAgentDataError& e) {
    EXPECT_NE(std::string(e.what()).find(Fixture.ConfigDir() + AgentDataFileName), std::string::npos) << e.what();
  }
  EXPECT_EQ(RowsOf(General->kbmGeneral), before);
  // A run that names no agents and leaves none out does not need the data.
  EXPECT_NO_THROW(Commands->StartPages({Fixture.LogPath()}));
}

TEST_F(CrawlerSwitchTest, ALogWithoutAgentsLeavesNothingOut) {
  Fixture.RemoveConfig("LogTypes/combined.lf");
  Fixture.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  Start({CommonLine, CommonLine});
  Commands->SetLeaveOutCrawlers(true);
  Commands->StartPages({Fixture.LogPath()});
  EXPECT_EQ(Sum(*Pages), 2);
  EXPECT_EQ(Run->LeftOut(), 0);
}

}  // namespace
