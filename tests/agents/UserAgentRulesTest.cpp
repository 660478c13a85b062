// The rules on small hand-made data: the order of the rules, replacements, crawler names,
// the required texts of patterns, the user's table over the data, and damaged data files.
#include <gtest/gtest.h>

#include <filesystem>

#include "agents/AgentDataFile.h"
#include "agents/PatternPrefilter.h"
#include "agents/UserAgentRules.h"
#include "base/FileError.h"
#include "support/TestSupport.h"

namespace {

using testsupport::TTempDir;
using testsupport::WriteBytes;
using testsupport::ReadBytes;

TAgentRuleSpec Rule(TAgentRuleKind kind, std::string regex, std::string name = {}, std::string version = {}) {
  return {kind, std::move(regex), false, std::move(name), std::move(version)};
}

std::shared_ptr<const TUserAgentRules> Rules(std::vector<TAgentRuleSpec> data, std::vector<TUserAgentRow> user = {}) {
  std::vector<std::string> notes;
  auto rules = std::make_shared<const TUserAgentRules>(std::move(data), std::move(user), notes);
  EXPECT_TRUE(notes.empty());
  return rules;
}

TEST(PatternPrefilter, RequiredTextsOfPatterns) {
  struct TCase {
    const char* Pattern;
    std::vector<std::string> Texts;
  } cases[] = {
      {"(Chrome)/(\\d+)\\.(\\d+)", {"Chrome/"}},
      {"(Edge|Edg)/(\\d+)", {"Edg/", "Edge/"}},
      {"[wW]get", {"Wget", "wget"}},
      {"Ahrefs(Bot|SiteAudit)", {"AhrefsBot", "AhrefsSiteAudit"}},
      // The rarest text is chosen over the tokens every browser sends.
      {"Mozilla.{1,200}Android.{1,200}(GSA)/(\\d+)", {"GSA/"}},
      {"^(.{0,200})/(\\d+)(?:\\.(\\d+)|)(?:\\.(\\d+)|) CFNetwork", {" CFNetwork"}},
      {"(?:abc)?defg|xyz", {"defg", "xyz"}},
      {"a{2}bcd", {"bcd"}},
      {"\\[FB.{0,300};(FBAV)/(\\d+)", {";FBAV/"}},
      // Nothing known, or nothing long enough: tried on every agent.
      {"(\\w+)/(\\d+)", {}},
      {"Foo|.*", {}},
      {"(abc)?", {}},
      {"ab(?=cde)", {}},
      {"(abc)\\1", {}},
      {"x[a-z]y", {}},
  };
  for (const TCase& c : cases) EXPECT_EQ(PrefilterOf(c.Pattern, false).Texts, c.Texts) << c.Pattern;
  EXPECT_TRUE(PrefilterOf("(?i)googlebot", false).Caseless);
  EXPECT_TRUE(PrefilterOf("googlebot", true).Caseless);
  EXPECT_FALSE(PrefilterOf("googlebot", false).Caseless);
}

TEST(PatternPrefilter, WiderPatternsLiftBoundsInGroupsOfTheirOwn) {
  const TPatternPrefilter p = PrefilterOf("(Ver)/(\\d+).{0,100}?x[a-z]{1,50}(?:y(z)){2,9}", false);
  EXPECT_EQ(p.Wider, "(Ver)/(\\d+)(.*?)x([a-z]+)(?:y(z)){2,9}");
  EXPECT_EQ(p.WiderGroup, (std::vector<int>{0, 1, 2, 5}));
  ASSERT_EQ(p.Bounds.size(), 2u);
  EXPECT_EQ(p.Bounds[0].Group, 3);
  EXPECT_EQ(p.Bounds[0].Max, 100u);
  EXPECT_EQ(p.Bounds[1].Group, 4);
  EXPECT_EQ(p.Bounds[1].Max, 50u);
  EXPECT_TRUE(PrefilterOf("a{2,300}b.{0,4}", false).Wider.empty());  // no single character to 5 or more
}

// Where a lifted bound is passed the pattern itself decides, and the next rule may match.
TEST(UserAgentRules, BoundsOfTheDataHold) {
  auto rules = Rules({Rule(TAgentRuleKind::Browser, "(Version)/(\\d+).{0,10}Safari", "Near"),
                      Rule(TAgentRuleKind::Browser, "Version/(\\d+).*(Safari)", "Far", "$1")});
  for (const auto& [agent, name] : {std::pair{"Version/5 12345 Safari", "Near"}, {"Version/5 12345678901 Safari", "Far"}}) {
    EXPECT_EQ(rules->Classify(agent).Browser, name) << agent;
    EXPECT_EQ(rules->ClassifyByScan(agent).Browser, name) << agent;
    EXPECT_EQ(rules->Classify(agent).BrowserVersion, "5") << agent;
  }
}

TEST(UserAgentRules, TheFirstMatchingRuleOfEachKindDecides) {
  // The first rule needs no particular text, so it is tried on every agent, before the second.
  auto rules = Rules({Rule(TAgentRuleKind::Browser, "([A-Z][a-z]+)/(\\d+)", "First"),
                      Rule(TAgentRuleKind::Browser, "(Chrome)/(\\d+)", "Second"),
                      Rule(TAgentRuleKind::System, "(Windows) NT (\\d+)"),
                      Rule(TAgentRuleKind::System, "Win", "Also Windows"),
                      Rule(TAgentRuleKind::Crawler, "(^| )sentry\\/"),
                      Rule(TAgentRuleKind::Crawler, "Spider[\\s\\S]*spider\\.com"),
                      Rule(TAgentRuleKind::Crawler, "[wW]get")});
  struct TCase {
    const char* Agent;
    TUserAgentClass Expected;
  } cases[] = {
      {"Chrome/120 (Windows NT 10.0)", {"First", "120", "Windows", ""}},
      {"chrome/120", {"", "", "", ""}},
      {"x sentry/1.0", {"", "", "", "sentry"}},
      {"Spider; +https://www.spider.com", {"", "", "", "Spider"}},
      {"wget/1.2 Win", {"", "", "Also Windows", "wget"}},
      // Bytes that are no UTF-8 do not stop a match.
      {"\xff\xfe Chrome/7", {"First", "7", "", ""}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(rules->Classify(c.Agent), c.Expected) << c.Agent;
    EXPECT_EQ(rules->ClassifyByScan(c.Agent), c.Expected) << c.Agent;
  }
}

TEST(UserAgentRules, ReplacementsTakeTheGroups) {
  auto rules = Rules({Rule(TAgentRuleKind::Browser, "(Opera) Mini/(\\d+)", "$1 Mini"),
                      Rule(TAgentRuleKind::Browser, "Brw/(\\d+)\\.(\\d+)", "Brw", "$2"),
                      Rule(TAgentRuleKind::Browser, "(NoVersion)"),
                      Rule(TAgentRuleKind::System, "(Mac OS X) (\\d+)_", "$1 ")});
  EXPECT_EQ(rules->Classify("Opera Mini/8"), (TUserAgentClass{"Opera Mini", "8", "", ""}));
  EXPECT_EQ(rules->Classify("Brw/3.4"), (TUserAgentClass{"Brw", "4", "", ""}));
  EXPECT_EQ(rules->Classify("NoVersion"), (TUserAgentClass{"NoVersion", "", "", ""}));
  EXPECT_EQ(rules->Classify("(Mac OS X) 10_15"), (TUserAgentClass{}));
  EXPECT_EQ(rules->Classify("Mac OS X 10_15").System, "Mac OS X");
}

TEST(UserAgentRules, UserRowsComeFirstAndSetWhatTheyName) {
  auto data = std::vector<TAgentRuleSpec>{Rule(TAgentRuleKind::Browser, "(Chrome)/(\\d+)"),
                                          Rule(TAgentRuleKind::System, "(Linux)"),
                                          Rule(TAgentRuleKind::Crawler, "^curl")};
  std::vector<TUserAgentRow> user = {
      {"^InHouseMon/", "", "", "", "In-house monitor", "t, line 2"},
      {"Brave/(\\d+)", "Brave", "$1", "", "", "t, line 3"},
      {"^curl/", "", "", "", "-", "t, line 4"},
      {"Chrome", "", "", "Any Chrome OS", "", "t, line 5"},
  };
  auto rules = Rules(data, user);
  EXPECT_EQ(rules->Classify("InHouseMon/2 (Linux) Chrome/9"),
            (TUserAgentClass{"Chrome", "9", "Any Chrome OS", "In-house monitor"}));
  EXPECT_EQ(rules->Classify("Chrome/117 Brave/117 (Linux)"), (TUserAgentClass{"Brave", "117", "Any Chrome OS", ""}));
  EXPECT_EQ(rules->Classify("curl/8.4"), (TUserAgentClass{}));
  EXPECT_EQ(rules->Classify("xcurl"), (TUserAgentClass{}));
  EXPECT_EQ(rules->Classify("(Linux)"), (TUserAgentClass{"", "", "Linux", ""}));
}

TEST(UserAgentRules, AnInvalidUserExpressionIsNamedAndItsRowSkipped) {
  std::vector<std::string> notes;
  TUserAgentRules rules({}, {{"(unclosed", "", "", "", "X", "agents.lac, line 3"}, {"ok", "", "", "", "Y", "line 4"}},
                        notes);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NE(notes[0].find("agents.lac, line 3"), std::string::npos) << notes[0];
  EXPECT_NE(notes[0].find("(unclosed"), std::string::npos) << notes[0];
  EXPECT_EQ(rules.UserRowCount(), 1u);
  EXPECT_EQ(rules.Classify("ok (unclosed").Crawler, "Y");
}

// A configuration folder with data made from a few rules.
class TAgentFiles : public ::testing::Test {
protected:
  void SetUp() override {
    SaveAgentData({Rule(TAgentRuleKind::Browser, "(Chrome)/(\\d+)"), Rule(TAgentRuleKind::Crawler, "bot")},
                  {"test data"}, Data());
  }
  std::string Data() const { return FDir.File(AgentDataFileName); }
  std::string User() const { return FDir.File(UserAgentsFileName); }
  std::string Dir() const { return FDir.Path().string(); }

  TTempDir FDir;
};

TEST_F(TAgentFiles, TheDataAndTheUsersTableLoad) {
  WriteBytes(User(),
             "'regex';'browser';'version';'system';'crawler'\r\n"
             "'^Mon/';;;;'Monitor'\r\n"
             "\r\n"
             "'[';;;;'Broken'\r\n"
             ";'Nothing';;;\r\n"
             "'Chrome/(\\d+)';'Mine';'$1';;\r\n");
  std::vector<std::string> notes;
  auto rules = TUserAgentRules::Load(Dir(), notes);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NE(notes[0].find(User() + ", line 5: no regular expression"), std::string::npos) << notes[0];
  EXPECT_NE(notes[1].find(User() + ", line 4: the regular expression '['"), std::string::npos) << notes[1];
  EXPECT_EQ(rules->Classify("Mon/1 bot"), (TUserAgentClass{"", "", "", "Monitor"}));
  EXPECT_EQ(rules->Classify("Chrome/5"), (TUserAgentClass{"Mine", "5", "", ""}));
  EXPECT_EQ(rules->Classify("a bot"), (TUserAgentClass{"", "", "", "bot"}));
}

TEST_F(TAgentFiles, WithoutAUsersTableOnlyTheDataCounts) {
  std::vector<std::string> notes;
  auto rules = TUserAgentRules::Load(Dir(), notes);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(rules->Classify("Chrome/5"), (TUserAgentClass{"Chrome", "5", "", ""}));
}

TEST_F(TAgentFiles, AUsersTableWithoutExpressionsIsRefused) {
  WriteBytes(User(), "\r\n'browser';'crawler'\r\n'x';'y'\r\n");
  std::vector<std::string> notes;
  try {
    TUserAgentRules::Load(Dir(), notes);
    FAIL() << "no error";
  } catch (const EAgentDataError& e) {
    EXPECT_NE(std::string(e.what()).find(User() + ", line 2"), std::string::npos) << e.what();
  }
}

TEST_F(TAgentFiles, DamagedDataIsRefusedNamingTheFile) {
  const std::string good = ReadBytes(Data());
  std::vector<std::string> notes;
  const auto loadFails = [&](const std::string& bytes, const std::string& expected) {
    WriteBytes(Data(), bytes);
    try {
      TUserAgentRules::Load(Dir(), notes);
      ADD_FAILURE() << "no error for " << bytes;
    } catch (const EAgentDataError& e) {
      EXPECT_NE(std::string(e.what()).find(Data()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  };
  loadFails(good.substr(0, good.rfind("'end'")), "cut short");
  std::string changed = good;
  changed[changed.find("Chrome")] = 'X';
  loadFails(changed, "line 5: damaged");
  std::string kind = good;
  kind.replace(kind.find("'crawler'"), 9, "'robot'");
  loadFails(kind, "line 4: damaged (unknown kind 'robot')");
  loadFails("'kind';'name'\r\n'end';'0'\r\n", "no 'regex' column");
  std::filesystem::remove(Data());
  EXPECT_THROW(TUserAgentRules::Load(Dir(), notes), EQelFileError);
}

}  // namespace
