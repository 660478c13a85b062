// The cache of classifications: one entry per distinct agent, kept while the files of the
// rules stay as they were.
#include <gtest/gtest.h>

#include <filesystem>

#include "agents/AgentClassifier.h"
#include "agents/AgentDataFile.h"
#include "agents/UserAgentRules.h"
#include "support/TestSupport.h"

namespace {

using testsupport::TTempDir;
using testsupport::WriteBytes;

class TAgentClassifierTest : public ::testing::Test {
protected:
  void SetUp() override {
    SaveAgentData({{TAgentRuleKind::Crawler, "bot", false, "", ""}}, {}, FDir.File(AgentDataFileName));
  }
  void WriteUserTable(const std::string& rows) {
    WriteBytes(FDir.File(UserAgentsFileName), "'regex';'crawler'\r\n" + rows);
    // A later time, as an edit a second after the last one would leave.
    std::filesystem::last_write_time(FDir.File(UserAgentsFileName),
                                     std::filesystem::file_time_type::clock::now() + std::chrono::seconds(++FEdits));
  }
  void Refresh(std::vector<std::string>* notes = nullptr) {
    std::vector<std::string> ignored;
    FAgents.Refresh(FDir.Path().string(), notes ? *notes : ignored);
  }

  TTempDir FDir;
  TAgentClassifier FAgents;
  int FEdits = 0;
};

TEST_F(TAgentClassifierTest, EachDistinctAgentIsClassifiedOnce) {
  Refresh();
  const TAgentClassifier::TEntry& first = FAgents.Classify("a bot");
  const TAgentClassifier::TEntry& other = FAgents.Classify("a person");
  EXPECT_EQ(&FAgents.Classify(std::string("a ") + "bot"), &first);  // another string of the same text
  EXPECT_EQ(&FAgents.Classify("a person"), &other);
  EXPECT_EQ(first.Id, 0u);
  EXPECT_EQ(other.Id, 1u);
  EXPECT_EQ(first.Class.Crawler, "bot");
  EXPECT_FALSE(other.Class.IsCrawler());
  EXPECT_EQ(FAgents.Size(), 2u);
}

TEST_F(TAgentClassifierTest, RulesAreLoadedAgainOnlyWhenTheirFilesChange) {
  WriteUserTable("'[';'broken'\r\n");
  std::vector<std::string> notes;
  Refresh(&notes);
  EXPECT_EQ(notes.size(), 1u);
  FAgents.Classify("a person");
  notes.clear();
  Refresh(&notes);
  EXPECT_TRUE(notes.empty());  // not read again
  EXPECT_EQ(FAgents.Size(), 1u);

  WriteUserTable("'person';'Person-shaped robot'\r\n");
  Refresh();
  EXPECT_EQ(FAgents.Size(), 0u);
  EXPECT_EQ(FAgents.Classify("a person").Class.Crawler, "Person-shaped robot");
}

TEST_F(TAgentClassifierTest, AFailedLoadIsTriedAgainNextTime) {
  WriteBytes(FDir.File(AgentDataFileName), "'kind';'regex'\r\n'crawler';'bot'\r\n");
  EXPECT_THROW(Refresh(), EAgentDataError);
  EXPECT_FALSE(FAgents.Classify("a bot").Class.IsCrawler());  // nothing kept of the folder
  SaveAgentData({{TAgentRuleKind::Crawler, "bot", false, "", ""}}, {}, FDir.File(AgentDataFileName));
  Refresh();
  EXPECT_TRUE(FAgents.Classify("a bot").Class.IsCrawler());
}

}  // namespace
