#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/DateTime.h"
#include "log/LogDescription.h"
#include "log/W2SearchPat.h"

namespace {

const std::string L1 = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /a.gif HTTP/1.0\" 200 2326";
const std::string L2 = L1 + " \"http://www.example.com/start.html\" \"Mozilla/4.08 [en] (Win98; I ;Nav)\"";

std::vector<TLogFieldDef> CommonFields() {
  return {{"IP", ' ', ' '},      {"user", ' ', ' '},    {"auth", ' ', ' '},  {"Date", '[', ']'},
          {"Request", '"', '"'}, {"StatusCode", ' ', ' '}, {"Bytes", ' ', ' '}};
}

std::vector<TLogFieldDef> CombinedFields() {
  auto fields = CommonFields();
  fields.push_back({"Referrer", '"', '"'});
  fields.push_back({"UserAgent", '"', '"'});
  return fields;
}

struct TSplit {
  bool Fits = false;
  std::vector<std::string> Texts;  // a date as its ISO text
};

TSplit Split(const TLogDescription& description, const std::string& line) {
  std::vector<TFieldSpan> spans;
  TSplit result;
  result.Fits = description.Split(line, spans);
  for (const TFieldSpan& span : spans)
    result.Texts.push_back(span.IsDate ? IsoDateTime(span.Date) : line.substr(span.Offset, span.Length));
  return result;
}

std::vector<std::string> Tokens(const std::string& line, char left, char right, int count) {
  std::vector<std::string> tokens;
  int pos = 0;
  for (int i = 0; i < count; ++i) tokens.emplace_back(TDSearchPattern::NextToken(pos, line, left, right));
  return tokens;
}

}  // namespace

TEST(NextToken, SpacesCloseOneFieldAndOpenTheNext) {
  EXPECT_EQ(Tokens("a b", ' ', ' ', 3), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(Tokens("a  b", ' ', ' ', 3), (std::vector<std::string>{"a", "", "b"}));
  // At the start of a line without the closing character the token is empty and pos stays 0.
  int pos = 0;
  EXPECT_EQ(TDSearchPattern::NextToken(pos, "abc", ' ', ' '), "");
  EXPECT_EQ(pos, 0);
  // The first field begins at the first character whatever its opening character is.
  pos = 0;
  EXPECT_EQ(TDSearchPattern::NextToken(pos, "[x] y", '[', ']'), "[x");
  EXPECT_EQ(pos, 3);
}

TEST(NextToken, QuotesAndBracketsPassTheClosingCharacterFirst) {
  const std::string line = "a [b c] \"d e\"";
  int pos = 0;
  EXPECT_EQ(TDSearchPattern::NextToken(pos, line, ' ', ' '), "a");
  EXPECT_EQ(TDSearchPattern::NextToken(pos, line, '[', ']'), "b c");
  EXPECT_EQ(pos, 7);
  EXPECT_EQ(TDSearchPattern::NextToken(pos, line, '"', '"'), "d e");
  EXPECT_EQ(pos, static_cast<int>(line.size()));
  // The next quoted field is missing: pos passes the end by one, the token is empty.
  EXPECT_EQ(TDSearchPattern::NextToken(pos, line, '"', '"'), "");
  EXPECT_EQ(pos, static_cast<int>(line.size()) + 1);
  // An opening character that is found but never closed runs to the end of the line.
  pos = 1;
  EXPECT_EQ(TDSearchPattern::NextToken(pos, "a \"open end", '"', '"'), "open end");
}

TEST(LogDescription, CommonDescriptionFitsL1) {
  const TLogDescription common(CommonFields(), false);
  const TSplit split = Split(common, L1);
  EXPECT_TRUE(split.Fits);
  EXPECT_EQ(split.Texts, (std::vector<std::string>{"1.2.3.4", "-", "-", "2000-10-10T20:55:36", "GET /a.gif HTTP/1.0",
                                                   "200", "2326"}));
  EXPECT_FALSE(Split(common, L2).Fits);

  const TLogDescription combined(CombinedFields(), false);
  EXPECT_FALSE(Split(combined, L1).Fits);
  const TSplit full = Split(combined, L2);
  EXPECT_TRUE(full.Fits);
  ASSERT_EQ(full.Texts.size(), 9U);
  EXPECT_EQ(full.Texts[7], "http://www.example.com/start.html");
  EXPECT_EQ(full.Texts[8], "Mozilla/4.08 [en] (Win98; I ;Nav)");
}

TEST(LogDescription, NumbersAndDatesAreChecked) {
  const TLogDescription common(CommonFields(), false);
  struct TCase {
    std::string Line;
    bool Fits;
    std::size_t FieldCount;  // fields before the one that failed
  };
  const std::string head = "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" ";
  const TCase cases[] = {
      {head + "200 -", true, 7},           // "-" bytes: an empty field
      {head + "- -", true, 7},             // no status code either
      {head + "200 3221225472", true, 7},  // a 3 GB byte count
      {head + "200 12x", false, 6},
      {head + "OK 12", false, 5},
      {"1.2.3.4 - - [10/Okt/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 1", false, 3},
      {"1.2.3.4 - - [31/Jan/2015:14:29:44 ] \"GET / HTTP/1.0\" 200 1", false, 3},
      {head + "200", false, 6},          // the byte count is missing: an empty text is no number
      {head + "200 1 a b", false, 7},    // more fields than the description
      {"", false, 3},
  };
  for (const TCase& c : cases) {
    const TSplit split = Split(common, c.Line);
    EXPECT_EQ(split.Fits, c.Fits) << c.Line;
    EXPECT_EQ(split.Texts.size(), c.FieldCount) << c.Line;
  }
  EXPECT_EQ(Split(common, head + "200 -").Texts[6], "");
  EXPECT_EQ(Split(common, head + "- -").Texts[5], "");
}

TEST(LogDescription, KindsAreLookedUpIgnoringCase) {
  const TLogDescription described({{"ip", ' ', ' '}, {"DATE", '[', ']'}, {"ip", ' ', ' '}}, false);
  EXPECT_EQ(described.RecordOf(TFieldKind::IP), 0);
  EXPECT_EQ(described.RecordOf(TFieldKind::Date), 1);
  EXPECT_EQ(described.RecordOf(TFieldKind::UserAgent), -1);
  EXPECT_EQ(described.RecordOf(static_cast<TFieldKind>(42)), -1);
  EXPECT_STREQ(FieldKindName(static_cast<TFieldKind>(42)), "?");
  EXPECT_STREQ(FieldKindName(TFieldKind::UserAgent), "UserAgent");

  const TLogDescription w3c({{"date", ' ', ' '}, {"time", ' ', ' '}, {"cs-method", ' ', ' '}, {"CS-URI-STEM", ' ', ' '},
                             {"sc-status", ' ', ' '}, {"cs(Referer)", ' ', ' '}},
                            true);
  EXPECT_EQ(w3c.W3CRecordsOf(TFieldKind::Date), (std::vector<int>{0, 1}));
  EXPECT_EQ(w3c.W3CRecordsOf(TFieldKind::Request), (std::vector<int>{2, 3}));
  EXPECT_EQ(w3c.W3CRecordsOf(TFieldKind::Referrer), (std::vector<int>{5}));
  EXPECT_TRUE(w3c.W3CRecordsOf(TFieldKind::Bytes).empty());
  // W3C tokens are taken unchecked, even the one named like a kind with a check.
  std::vector<TFieldSpan> spans;
  EXPECT_TRUE(w3c.Split("2002-05-24 20:18:01 GET /x.htm 200 -", spans));
  ASSERT_EQ(spans.size(), 6U);
  EXPECT_FALSE(spans[0].IsDate);
}

TEST(LogDescription, EmptyDescriptionFitsOnlyAnEmptyLine) {
  const TLogDescription empty;
  std::vector<TFieldSpan> spans;
  EXPECT_TRUE(empty.Split("", spans));
  EXPECT_FALSE(empty.Split("x", spans));
  EXPECT_TRUE(spans.empty());
}
