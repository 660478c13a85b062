#include <gtest/gtest.h>

#include <filesystem>

#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

using testsupport::TParserFixture;

namespace {

const std::string Google = "http://www.google.de/search?hl=de&q=the+log+analyser&btnG=Go";

// The tables the phrases below are worked out with: no replacement unless a test names
// some, "the" as the only spare word, google as the only engine.
void WritePhraseTables(TParserFixture& fixture, const std::vector<std::vector<std::string>>& replacements = {}) {
  std::vector<std::vector<std::string>> replace = {{"hexChar", "search", "replace"}};
  replace.insert(replace.end(), replacements.begin(), replacements.end());
  fixture.WriteConfig("replace.lac", TParserFixture::TableText(replace));
  fixture.WriteConfig("spare.lac", TParserFixture::TableText({{"spareText"}, {"the"}}));
  fixture.WriteConfig("search.txt", TParserFixture::TableText({{"machine", "text"}, {"google", "q="}}));
}

}  // namespace

TEST(SearchPhrase, PhrasesOfReferrers) {
  TParserFixture setup;
  WritePhraseTables(setup);
  auto parser = setup.NewParser();
  struct TCase {
    std::string Referrer;
    bool WithHost;
    std::string Phrase;
  };
  const TCase cases[] = {
      {Google, true, "www.google.de - analyser,log"},
      {Google, false, "analyser,log"},
      {"http://www.example.com/search?q=log", false, ""},
      {"http://www.example.com/google?q=log", false, ""},         // google after the host's "/"
      {"https://www.google.de/search?q=log", false, "log"},       // secure scheme: host ends at its "/"
      {"https://www.google.de/search?q=log", true, "www.google.de - log"},
      {"https://www.example.com/google?q=log", false, ""},
      {"http://www.google.de/search?hl=de", true, "http://www.google.de/search?hl=de"},  // q= missing
      {"http://www.google.de/search?q=++log", false, "log"},
      {"http://www.google.de/search?q=log+log", false, "log,log"},
      {"http://www.google.de/search?q=Log+Files&x=1", false, "files,log"},
      {"http://www.google.de/search?q=b+%41+a", false, "A,a,b"},  // escapes decoded after lower case
      {"http://www.google.de/search?q=%22a%22+b%2Cc+x%20y", false, "\"\"\"a\"\"\",\"b,c\",\"x y\""},
      {"http://www.google.de/search?q=the", true, "www.google.de - "},
      {"http://www.google.de/search?q=", false, ""},
      {"http://www.google.de/url?sa=t&q=&esrc=s", false, ""},  // an empty value has no words
      {"http://www.google.de/url?sa=t&q=&esrc=s", true, "www.google.de - "},
      {"http://google.de", false, ""},                              // no "/" after the host
      {"google.de/x/y?q=log", false, "log"},                        // the name may open the text
  };
  for (const TCase& c : cases)
    EXPECT_EQ(parser->GetSearchPhrase(c.Referrer, "", c.WithHost), c.Phrase) << c.Referrer;
  EXPECT_EQ(parser->GetSearchPhrase("http://www.example.com/", "Some DEFAULT", true), "some default");
  EXPECT_EQ(parser->FindEngineParameter(Google), "q=");
  EXPECT_EQ(parser->FindEngineParameter("http://www.example.com/"), "");
  EXPECT_TRUE(setup.Dialogs.Shown.empty());
}

TEST(SearchPhrase, EnginesAreTriedInFileOrder) {
  TParserFixture setup;
  WritePhraseTables(setup);
  setup.WriteConfig("search.txt", TParserFixture::TableText({{"machine", "text"}, {"search", "p="}, {"yahoo", "va="},
                                                             {"google", "q="}}));
  auto parser = setup.NewParser();
  EXPECT_EQ(parser->FindEngineParameter("http://search.yahoo.com/bin?p=a&va=b"), "p=");
  EXPECT_EQ(parser->FindEngineParameter("http://de.yahoo.com/bin?p=a&va=b"), "va=");
  EXPECT_EQ(parser->GetSearchPhrase("http://de.yahoo.com/bin?p=a&va=b+c", "", false), "b,c");
}

TEST(SearchPhrase, AChangedEngineTableIsUsedAtOnce) {
  TParserFixture setup;
  WritePhraseTables(setup);
  auto parser = setup.NewParser();
  const std::string url = "http://www.example.org/find?w=x";
  EXPECT_EQ(parser->FindEngineParameter(url), "");
  parser->kbmSearch.Append();
  parser->kbmSearch.SetString(0, "example.org");
  parser->kbmSearch.SetString(1, "w=");
  parser->kbmSearch.Post();
  EXPECT_EQ(parser->FindEngineParameter(url), "w=");
  parser->kbmSearch.Edit();
  parser->kbmSearch.SetString(1, "find?w=");
  parser->kbmSearch.Post();
  EXPECT_EQ(parser->FindEngineParameter(url), "find?w=");
}

TEST(SearchPhrase, TheReplacementTableAppliesFirst) {
  TParserFixture setup;
  WritePhraseTables(setup, {{"+", "+", " "}});
  auto parser = setup.NewParser();
  // %2B becomes "+", which the same row turns into a space: one word holding a space.
  EXPECT_EQ(parser->GetSearchPhrase("http://www.google.de/search?q=c%2B%2Bbook", "", false), "\"c  book\"");
}

TEST(SearchPhrase, AMissingEngineTableIsShownAndLeavesNoEngines) {
  TParserFixture setup;
  WritePhraseTables(setup);
  std::filesystem::remove(setup.ConfigDir() + "search.txt");
  auto parser = setup.NewParser();
  ASSERT_EQ(setup.Dialogs.TextsOf("error").size(), 1U);
  EXPECT_NE(setup.Dialogs.TextsOf("error")[0].find("search.txt"), std::string::npos);
  EXPECT_EQ(parser->kbmSearch.RecordCount(), 0);
  EXPECT_EQ(parser->GetSearchPhrase(Google, "", false), "");
}
