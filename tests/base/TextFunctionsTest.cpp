#include <gtest/gtest.h>

#include "base/TextFunctions.h"
#include "config/WSGlobal.h"

TEST(TextFunctions, DecodeEscapes) {
  struct TCase {
    const char* Text;
    const char* OnlyChar;
    const char* Expected;
  };
  const TCase cases[] = {
      {"a%20b", "", "a b"},
      {"%4a%4A", "", "JJ"},
      {"%41%42", "B", "%41B"},
      {"%41%42", "", "AB"},
      {"%2B%2b", "+", "++"},
      {"no escapes", "", "no escapes"},
      // Not two hex digits: the escape is consumed but kept as written.
      {"100%", "", "100%"},
      {"%4", "", "%4"},
      {"%zz%41", "", "%zzA"},
      {"%%41", "", "%%41"},
      {"a%C3%A9", "", "a\xC3\xA9"},
  };
  for (const TCase& c : cases) EXPECT_EQ(DecodeEscapes(c.Text, c.OnlyChar), c.Expected) << c.Text;
  EXPECT_EQ(DecodeAllEscapes("%00x"), std::string("\0x", 2));
  EXPECT_EQ(DecodeAllEscapes("%4a%4A"), "JJ");
}

TEST(TextFunctions, ReplaceFirstAndAll) {
  EXPECT_EQ(ReplaceFirst("a+b+c", "+", " "), "a b+c");
  EXPECT_EQ(ReplaceFirst("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceFirst("abc", "", "y"), "abc");
  EXPECT_EQ(ReplaceAll("a+b+c", "+", " "), "a b c");
  EXPECT_EQ(ReplaceAll("a     b  c", "  ", " "), "a b c");  // cascades
  EXPECT_EQ(ReplaceAll("aaab", "ab", "b"), "b");               // cascades leftwards
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  // A replacement that holds its search would repeat for ever.
  EXPECT_EQ(ReplaceAll("a+b", "+", "++"), "a+b");
  EXPECT_EQ(ReplaceAll("xabab", "ab", "b"), "xbb");
  EXPECT_EQ(ReplaceAll("aab", "ab", "ba"), "baa");  // a cascade rightwards, within the limit
}

// Found with the search-phrase fuzz target: "ab" -> "bba" moves each "a" rightwards past the "b"s while doubling
// them, so 24 letters grew to 2^24 and more. Such a cascade gives up and leaves the text.
TEST(TextFunctions, ReplaceAllStopsACascadeThatGrowsTheText) {
  const std::string text = std::string(24, 'a') + "b";
  EXPECT_EQ(ReplaceAll(text, "ab", "bba"), text);
  EXPECT_EQ(ReplaceAll("ab", "ab", "bba"), "bba");
  EXPECT_EQ(ReplaceAll("aab", "ab", "bba"), "bbbbaa");
  // Long cascades that shrink the text still run to their end.
  EXPECT_EQ(ReplaceAll(std::string(5000, ' '), "  ", " "), " ");
  EXPECT_EQ(ReplaceAll(std::string(5000, 'a') + "b", "ab", "b"), "b");
}

// Rows that feed each other (a -> 20 b, b -> 20 c, ...) multiplied a referrer twentyfold per
// row, to gigabytes at the fifth. The growth is bound; the row where it stops is told.
TEST(TextFunctions, ReplacementsStopAtTheLengthBound) {
  std::vector<TReplaceRow> feeding;
  for (char c = 'a'; c < 'f'; ++c) feeding.push_back({"", std::string(1, c), std::string(20, static_cast<char>(c + 1))});
  const struct {
    std::size_t Letters;
    std::vector<bool> Stopped;
    std::size_t Length;  // of the result
  } cases[] = {
      {10, {false, false, true, false, false}, 4000},  // 10 -> 200 b -> 4000 c; 80,000 d would pass 4106
      {200, {false, true, false, false, false}, 4000},  // 200 -> 4000 b; 80,000 c would pass 4296
      {5000, {true, false, false, false, false}, 5000}, // 100,000 b would pass 9096
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Letters);
    std::vector<bool> stopped;
    const std::string result = ApplyReplaceTable(std::string(c.Letters, 'a'), feeding, &stopped);
    EXPECT_EQ(stopped, c.Stopped);
    EXPECT_EQ(result.size(), c.Length);
  }
  std::string out;
  EXPECT_FALSE(ReplaceAllWithin("aaaa", "a", "bb", 7, out));
  EXPECT_TRUE(ReplaceAllWithin("aaaa", "a", "bb", 8, out));
  EXPECT_EQ(out, "bbbbbbbb");
  EXPECT_EQ(ReplaceAll(std::string(500, 'a'), "a", std::string(20, 'b')), std::string(500, 'a'));
  EXPECT_EQ(ReplaceAll(std::string(200, 'a'), "a", std::string(20, 'b')), std::string(4000, 'b'));
  // A growing row within the bound and shrinking rows are not stopped.
  std::vector<bool> stopped;
  EXPECT_EQ(ApplyReplaceTable("a;b  c", {{"", ";", "%3B"}, {"+", "  ", " "}}, &stopped), "a%3Bb c");
  EXPECT_EQ(stopped, std::vector<bool>());
}

TEST(TextFunctions, ApplyReplaceTable) {
  EXPECT_EQ(ApplyReplaceTable("q=%2B", {}), "q=%2B");
  // The row decodes its character's escapes, then replaces it.
  EXPECT_EQ(ApplyReplaceTable("a%2Bb+c", {{"+", "+", " "}}), "a b c");
  // Rows apply in order; an empty HexChar decodes every escape.
  EXPECT_EQ(ApplyReplaceTable("%41+%2C", {{"", ",", ";"}, {"", "+", "_"}}), "A_;");
  // A row whose replacement holds its search is skipped whole, the rows after it still apply.
  std::vector<bool> stopped;
  EXPECT_EQ(ApplyReplaceTable("x%41y", {{"", "x", "xx"}, {"A", "y", "z"}}, &stopped), "xAz");
  EXPECT_EQ(stopped, (std::vector<bool>{true, false}));
}
