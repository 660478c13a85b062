#include <gtest/gtest.h>

#include <charconv>
#include <functional>

#include "base/DateTime.h"
#include "log/W2SearchPat.h"
#include "support/ParserFixture.h"

using testsupport::TParserFixture;

namespace {
const std::string& L1 = testsupport::CommonLine;
const std::string& L2 = testsupport::CombinedLine;

class FieldAccess : public ::testing::Test {
protected:
  FieldAccess() {
    Setup.WriteConfig("LogTypes/common.lf", TParserFixture::CommonDescription());
    Parser = Setup.ParserFor(L1);
  }
  TParserFixture Setup;
  std::unique_ptr<TDSearchPattern> Parser;
};

std::string Message(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

TEST_F(FieldAccess, FieldsOfACommonLine) {
  EXPECT_EQ(Parser->GetField(L1, TFieldKind::IP), "1.2.3.4");
  EXPECT_EQ(Parser->GetField(L1, TFieldKind::Request), "GET /a.gif HTTP/1.0");
  EXPECT_EQ(Parser->GetInteger(L1, TFieldKind::StatusCode), 200);
  EXPECT_EQ(Parser->GetInteger(L1, TFieldKind::Bytes), 2326);
  EXPECT_EQ(IsoDateTime(Parser->GetDateTime(L1)), "2000-10-10T20:55:36");
  // The date's text form reads back to the same value.
  const std::string_view text = Parser->GetField(L1, TFieldKind::Date);
  double value = 0;
  ASSERT_EQ(std::from_chars(text.data(), text.data() + text.size(), value).ec, std::errc());
  EXPECT_EQ(value, Parser->GetDateTime(L1));
  EXPECT_EQ(value, TDSearchPattern::ParseLogDate("10/Oct/2000:13:55:36 -0700"));
}

TEST_F(FieldAccess, AKindMissingFromTheDescription) {
  EXPECT_EQ(Message([&] { Parser->GetField(L1, TFieldKind::UserAgent); }),
            "TDSearchPattern Error, part \"UserAgent\" not found in configuration!");
  EXPECT_THROW(Parser->GetInteger(L1, TFieldKind::Referrer), ETDSearchPatternError);
}

TEST_F(FieldAccess, AFieldTheLineLacks) {
  const std::string badDate = "1.2.3.4 - - [10/Okt/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 1";
  EXPECT_EQ(Parser->GetField(badDate, TFieldKind::IP), "1.2.3.4");
  EXPECT_EQ(Message([&] { Parser->GetField(badDate, TFieldKind::Date); }),
            "TDSearchPattern Error, field 4 (\"Date\") missing in line");
  EXPECT_THROW(Parser->GetDateTime(badDate), ETDSearchPatternError);
  EXPECT_THROW(Parser->GetInteger(badDate, TFieldKind::Bytes), ETDSearchPatternError);
  EXPECT_THROW(Parser->GetField("1.2.3.4", TFieldKind::Request), ETDSearchPatternError);
}

TEST_F(FieldAccess, ByteCounts) {
  const std::string head = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 ";
  EXPECT_EQ(Parser->GetInteger(head + "-", TFieldKind::Bytes), 0);
  EXPECT_EQ(Parser->GetField(head + "-", TFieldKind::Bytes), "");
  // Byte counts beyond 32 bits are valid; only GetInt64 carries them.
  const std::string big = head + "3221225472";
  EXPECT_TRUE(Parser->MatchesLine(big));
  EXPECT_EQ(Parser->GetInt64(big, TFieldKind::Bytes), 3221225472LL);
  EXPECT_EQ(Message([&] { Parser->GetInteger(big, TFieldKind::Bytes); }), "'3221225472' is not a valid integer value");
  EXPECT_THROW(Parser->GetInteger(big, TFieldKind::Bytes), EConvertError);
}

TEST_F(FieldAccess, TheCacheFollowsTheLineAskedAbout) {
  const std::string other = "5.6.7.8 - - [01/Jan/2001:00:30:00 +0100] \"POST /b HTTP/1.1\" 404 -";
  std::string line = L1;
  const std::string_view ip = Parser->GetField(line, TFieldKind::IP);
  // Other kinds of the same line come from the same split.
  EXPECT_EQ(Parser->GetField(line, TFieldKind::Request).data(), ip.data() + L1.find("GET"));
  // The reader reuses one string for every line: the content decides.
  line = other;
  EXPECT_EQ(Parser->GetField(line, TFieldKind::IP), "5.6.7.8");
  EXPECT_EQ(IsoDateTime(Parser->GetDateTime(line)), "2000-12-31T23:30:00");
  EXPECT_EQ(Parser->GetField(line, TFieldKind::Date), Parser->GetField(other, TFieldKind::Date));
  line = L1;
  EXPECT_EQ(Parser->GetInteger(line, TFieldKind::StatusCode), 200);
  EXPECT_EQ(IsoDateTime(Parser->GetDateTime(line)), "2000-10-10T20:55:36");
  // A line of the same length but another content is split anew.
  std::string twin = L1;
  twin[0] = '9';
  EXPECT_EQ(Parser->GetField(twin, TFieldKind::IP), "9.2.3.4");
}

TEST_F(FieldAccess, SplitLineHandsOutTexts) {
  std::vector<std::string> fields{"old", "values", "here", "and", "more", "than", "needed", "x"};
  EXPECT_TRUE(Parser->SplitLine(L1, fields));
  ASSERT_EQ(fields.size(), 7U);
  EXPECT_EQ(fields[4], "GET /a.gif HTTP/1.0");
  double value = 0;
  std::from_chars(fields[3].data(), fields[3].data() + fields[3].size(), value);
  EXPECT_EQ(IsoDateTime(value), "2000-10-10T20:55:36");
  EXPECT_FALSE(Parser->SplitLine(L2, fields));
}

TEST(W3CFieldAccess, FieldsByTheirW3CNames) {
  TParserFixture setup;
  auto parser = setup.NewParser();
  const std::string l5 = "2002-05-24 20:18:01 10.0.0.1 GET /x.htm 200";
  ASSERT_TRUE(parser->SelectLogType({setup.WriteLog("ex.log",
      "#Software: x\r\n#Fields: date time c-ip cs-method cs-uri-stem sc-status\r\n" + l5 + "\r\n")}));
  EXPECT_EQ(parser->GetField(l5, TFieldKind::Date), "2002-05-24 20:18:01");
  EXPECT_EQ(IsoDateTime(parser->GetDateTime(l5)), "2002-05-24T20:18:01");
  EXPECT_EQ(parser->GetField(l5, TFieldKind::Request), "GET /x.htm");
  EXPECT_EQ(parser->GetField(l5, TFieldKind::IP), "10.0.0.1");
  EXPECT_EQ(parser->GetInteger(l5, TFieldKind::Bytes), 0);
  EXPECT_EQ(parser->GetInteger(l5, TFieldKind::StatusCode), 200);
  EXPECT_EQ(parser->GetField(l5, TFieldKind::Referrer), "");
  EXPECT_EQ(parser->GetField(l5, TFieldKind::UserAgent), "");

  // Space-separated fields missing at the end of a line come out empty.
  const std::string shortLine = "2002-05-24 20:18:01 10.0.0.1";
  EXPECT_EQ(parser->GetField(shortLine, TFieldKind::Request), "");
  EXPECT_EQ(parser->GetInteger(shortLine, TFieldKind::StatusCode), 0);
  EXPECT_EQ(parser->GetField(shortLine, TFieldKind::IP), "10.0.0.1");
  // Fields that do not convert.
  const std::string badStatus = "2002-05-24 20:18:01 10.0.0.1 GET /x.htm abc";
  EXPECT_THROW(parser->GetInteger(badStatus, TFieldKind::StatusCode), EConvertError);
  EXPECT_EQ(parser->GetInteger("2002-05-24 20:18:01 10.0.0.1 GET /x.htm -", TFieldKind::StatusCode), 0);
  EXPECT_THROW(parser->GetDateTime("2002-05-32 20:18:01 10.0.0.1 GET /x.htm 200"), EConvertError);
}

TEST(W3CFieldAccess, ReferrerIsTheRefererField) {
  TParserFixture setup;
  auto parser = setup.NewParser();
  const std::string line =
      "2015-01-13 00:32:17 GET /a.htm x=1 157.55.39.146 Mozilla/5.0 http://www.google.de/search?q=log 200 1405";
  ASSERT_TRUE(parser->SelectLogType({setup.WriteLog("iis.log",
      "#Software: IIS\r\n#Version: 1.0\r\n"
      "#Fields: date time cs-method cs-uri-stem cs-uri-query c-ip cs(User-Agent) cs(Referer) sc-status sc-bytes\r\n" +
      line + "\r\n")}));
  EXPECT_EQ(parser->GetField(line, TFieldKind::Referrer), "http://www.google.de/search?q=log");
  EXPECT_EQ(parser->GetField(line, TFieldKind::UserAgent), "Mozilla/5.0");
  EXPECT_EQ(parser->GetInt64(line, TFieldKind::Bytes), 1405);
}
