// The line handling of the "Search Criterion" analysis: the phrase of a line's referrer.
#include <gtest/gtest.h>

#include "analyses/SearchLine.h"
#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

using testsupport::TParserFixture;

namespace {
const std::string& L1 = testsupport::CommonLine;
const std::string& L2 = testsupport::CombinedLine;
}  // namespace

TEST(SearchLine, PhraseOfTheLinesReferrer) {
  TParserFixture setup;
  setup.WriteConfig("replace.lac", TParserFixture::TableText({{"hexChar", "search", "replace"}}));
  auto parser = setup.ParserFor(L2);
  const std::string google = "http://www.google.de/search?hl=de&q=the+log+analyser&btnG=Go";
  const std::string head = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326 ";
  EXPECT_EQ(SearchPhraseOfLine(head + "\"" + google + "\" \"Mozilla/4.0\"", *parser, true),
            "www.google.de - analyser,log");
  EXPECT_EQ(SearchPhraseOfLine(head + "\"" + google + "\" \"Mozilla/4.0\"", *parser, false), "analyser,log");
  EXPECT_EQ(SearchPhraseOfLine(head + "\"http://www.example.com/?q=x\" \"Mozilla/4.0\"", *parser, false), "");

  // Without a "?" the referrer is not asked for: this description has none, which would raise.
  TParserFixture commonSetup;
  commonSetup.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
  auto common = commonSetup.ParserFor(L1);
  EXPECT_EQ(SearchPhraseOfLine(L1, *common, true), "");
  EXPECT_THROW(SearchPhraseOfLine(L1 + "?", *common, true), ETDSearchPatternError);
}
