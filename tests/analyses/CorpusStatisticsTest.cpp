// Short statistics and hits per hour over a real combined log whose seconds are shuffled
// within each minute (lines out of time order) and whose last line is cut off.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "agents/AgentClassifier.h"
#include "analyses/W2FrmGeneral.h"
#include "analyses/W2PopulareTime.h"
#include "log/W2SearchPat.h"
#include "platform/PlainLocalFormat.h"
#include "support/ParserFixture.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST(CorpusStatistics, ElasticApacheLog) {
  const std::string path = testsupport::CorpusDir() + "/apache/elastic_apache_logs_2015.log";
  if (!std::filesystem::exists(path)) GTEST_SKIP() << "corpus not present";
  const std::vector<std::string> lines = ReadLines(path);
  ASSERT_EQ(lines.size(), 10000u);

  testsupport::TParserFixture fixture;
  TDSearchPattern& parser = fixture.Start({lines.front()});
  TPlainLocalFormat format;
  TAgentClassifier agents;
  TGeneralAnalysis general(fixture.Globals(), format, agents);
  TPopulareTimeAnalysis hours;
  general.CreateSearchUser(5.0 / 1440.0);
  hours.CreateSearchUser(5.0 / 1440.0);

  general.PrepareRun(50000);  // 2036, after every line
  hours.PrepareRun(0, 0);
  for (const std::string& line : lines) {
    general.HandleLine(line, parser);
    hours.HandleLine(line, parser);
  }
  general.ShowResults(static_cast<std::int64_t>(lines.size()));
  hours.FinishRun();

  std::vector<std::string> values;
  for (int row = 0; row < general.kbmGeneral.RecordCount(); ++row)
    values.push_back(general.kbmGeneral.AsStringAt(row, 1));
  EXPECT_EQ(values, (std::vector<std::string>{"4 Day(s)", "2015-05-17 10:05:00", "2015-05-20 21:05:59", "10000",
                                              "3052", "878.56 megabytes", "2896 hits"}));
  ASSERT_GT(general.kbmStatusCodes.RecordCount(), 0);
  EXPECT_EQ(general.kbmStatusCodes.AsStringAt(0, 0), "200 OK");
  EXPECT_EQ(general.kbmStatusCodes.AsIntegerAt(0, 1), 9126);  // the cut last line included

  const TMemTable& bars = hours.kbmPopulareTime;
  ASSERT_EQ(bars.RecordCount(), 24);
  int total = 0;
  for (int row = 0; row < 24; ++row) total += bars.AsIntegerAt(row, 2);
  EXPECT_EQ(total, 10000);
  EXPECT_EQ(bars.AsStringAt(0, 1), "24");
  EXPECT_EQ(bars.AsIntegerAt(0, 2), 361);
  EXPECT_EQ(bars.AsIntegerAt(12, 2), 462);
  EXPECT_EQ(bars.AsIntegerAt(13, 2), 475);
}

}  // namespace
